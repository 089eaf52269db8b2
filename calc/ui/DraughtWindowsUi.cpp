#include "DraughtWindowsUi.h"

#include "calc/files/Settings.h"
#include "calc/window/DataWindowController.h"

#include "platform/IniFile.h"
#include "platform/Services.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QLineEdit* AddEdit(QFormLayout* form, const char* label) {
    auto* edit = new QLineEdit;
    form->addRow(U(label), edit);
    return edit;
}

void PlaceFromSettings(QWidget* w, const char* section, TWindowPlace def) {
    const TWindowPlace p = ReadWindowPlace(TIniFile(SettingsFileName()), section, def);
    w->setGeometry(p.Left, p.Top, p.Width, p.Height);
}

} // namespace

TFTeplD::TFTeplD(TThermalDepressionModel& model, QWidget* parent) : QDialog(parent), m_(model) {
    setObjectName("FTeplD");
    setWindowTitle(U("Расчет тепловой депрессии"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    const char* labels[] = {"Номер ветви",         "Наименование",
                            "Длина выработки, м",  "Сечение выработки, м2",
                            "Угол наклона, град.", "Расход воздуха до пожара"};
    for (int i = 0; i < 6; ++i) edits_[i] = AddEdit(form, labels[i]);
    left->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* ras = new QPushButton(U("Расчет"));
    choose_ = new QPushButton(U("Выбор"));
    auto* vyx = new QPushButton(U("Выход"));
    ras->setObjectName("BitBtnRas");
    choose_->setObjectName("BitBtnVyb");
    vyx->setObjectName("BitBtnVyx");
    for (QPushButton* b : {ras, choose_, vyx}) buttons->addWidget(b);
    left->addLayout(buttons);
    left->addStretch();
    layout->addLayout(left);
    grid_ = new TGridView(m_.TablTD);
    grid_->setObjectName("TablTD");
    layout->addWidget(grid_);
    connect(ras, &QPushButton::clicked, this, Safely([this] { BitBtnRasClick(); }));
    connect(choose_, &QPushButton::clicked, this, Safely([this] { BitBtnVybClick(); }));
    connect(vyx, &QPushButton::clicked, this, Safely([this] { BitBtnVyxClick(); }));
    PlaceFromSettings(this, "FTeplD", TWindowPlace{100, 100, 560, 440});
}

// A window that is gone leaves the plain stand-in to later callers.
TFTeplD::~TFTeplD() {
    if (&FTeplD() == this) InstallThermalDepressionDialog(nullptr);
}

void TFTeplD::ShowModal() {
    m_.FormShow();
    ModelToControls();
    exec();
}

void TFTeplD::ModelToControls() {
    const std::string* fields[] = {&m_.Edit1, &m_.Edit2, &m_.Edit3,
                                   &m_.Edit4, &m_.Edit5, &m_.Edit6};
    for (int i = 0; i < 6; ++i) edits_[i]->setText(ToQString(*fields[i]));
    choose_->setEnabled(m_.CanChoose());
}

void TFTeplD::ControlsToModel() {
    std::string* fields[] = {&m_.Edit1, &m_.Edit2, &m_.Edit3, &m_.Edit4, &m_.Edit5, &m_.Edit6};
    for (int i = 0; i < 6; ++i) *fields[i] = FromQString(edits_[i]->text());
}

void TFTeplD::BitBtnRasClick() {
    ControlsToModel();
    m_.BitBtnRasClick();
    choose_->setEnabled(m_.CanChoose());
}

void TFTeplD::BitBtnVybClick() {
    ControlsToModel();
    if (!m_.CanChoose()) return;
    m_.BitBtnVybClick();
    accept();
}

void TFTeplD::BitBtnVyxClick() {
    reject();
}

TFR_Okno::TFR_Okno(TRegulatorWindowModel& model, QWidget* parent) : QDialog(parent), m_(model) {
    setObjectName("FR_Okno");
    setWindowTitle(U("Расчет сопротивления окна"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const char* labels[] = {"Номер ветви", "Наименование", "Площадь окна, м2",
                            "Площадь сечения выработки, м2", "Сопртивление окна"};
    for (int i = 0; i < 5; ++i) edits_[i] = AddEdit(form, labels[i]);
    QFont bold = edits_[4]->font();
    bold.setBold(true);
    edits_[4]->setFont(bold);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* ras = new QPushButton(U("Расчет"));
    accept_ = new QPushButton(ToQString(m_.AcceptCaption));
    auto* vyx = new QPushButton(U("Выход"));
    ras->setObjectName("BitBtnRas");
    accept_->setObjectName("BitBtnVyb");
    vyx->setObjectName("BitBtnVyx");
    for (QPushButton* b : {ras, accept_, vyx}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(ras, &QPushButton::clicked, this, Safely([this] { BitBtnRasClick(); }));
    connect(accept_, &QPushButton::clicked, this, Safely([this] { BitBtnVybClick(); }));
    // The result field may also be typed into; an empty one is nothing to take.
    connect(edits_[4], &QLineEdit::textChanged, this, [this](const QString& text) {
        m_.Edit5 = FromQString(text);
        accept_->setEnabled(m_.CanAccept());
    });
    connect(vyx, &QPushButton::clicked, this, Safely([this] { BitBtnVyxClick(); }));
    PlaceFromSettings(this, "FR_Okno", TWindowPlace{120, 120, 460, 240});
}

TFR_Okno::~TFR_Okno() {
    if (&FR_Okno() == this) InstallRegulatorWindowDialog(nullptr);
}

void TFR_Okno::SetAcceptCaption(const std::string& caption) {
    m_.AcceptCaption = caption;
    accept_->setText(ToQString(caption));
}

void TFR_Okno::ShowModal() {
    m_.FormShow();
    ModelToControls();
    exec();
}

void TFR_Okno::ModelToControls() {
    const std::string* fields[] = {&m_.Edit1, &m_.Edit2, &m_.Edit3, &m_.Edit4, &m_.Edit5};
    for (int i = 0; i < 5; ++i) edits_[i]->setText(ToQString(*fields[i]));
    accept_->setEnabled(m_.CanAccept());
}

void TFR_Okno::ControlsToModel() {
    std::string* fields[] = {&m_.Edit1, &m_.Edit2, &m_.Edit3, &m_.Edit4, &m_.Edit5};
    for (int i = 0; i < 5; ++i) *fields[i] = FromQString(edits_[i]->text());
}

void TFR_Okno::BitBtnRasClick() {
    ControlsToModel();
    m_.BitBtnRasClick();
    ModelToControls();
}

void TFR_Okno::BitBtnVybClick() {
    ControlsToModel();
    if (!m_.CanAccept()) return;
    m_.BitBtnVybClick();
    accept();
}

void TFR_Okno::BitBtnVyxClick() {
    // The calculated resistance stays for the caller that opened the window.
    ControlsToModel();
    reject();
}

void CreateDraughtWindows(QWidget* owner) {
    TDataWindowController& w = DataWindowController();
    TNetworkTables& t = w.Tables();
    TCalcContext& c = w.CalcContext();
    static TThermalDepressionModel thermal(t, c);
    static TRegulatorWindowModel regulator(t, c);
    auto* fTeplD = new TFTeplD(thermal, owner);
    auto* frOkno = new TFR_Okno(regulator, owner);
    InstallThermalDepressionDialog(fTeplD);
    InstallRegulatorWindowDialog(frOkno);
}

} // namespace arv
