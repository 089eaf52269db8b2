#include "NasDlgWindow.h"

#include "platform/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QButtonGroup* RadioGroup(QWidget* owner, QLayout* into, const char* title,
                         std::initializer_list<const char*> items, bool enabled = true) {
    auto* box = new QGroupBox(U(title));
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (const char* item : items) {
        auto* button = new QRadioButton(U(item));
        group->addButton(button, id++);
        layout->addWidget(button);
    }
    box->setEnabled(enabled);
    into->addWidget(box);
    return group;
}

void Check(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

// Delphi-style control names: CheckBox00 .. CheckBox09, CheckBox010 ..
QString BoxName(int box) {
    return QString("CheckBox0%1").arg(box);
}

} // namespace

TNasDlg::TNasDlg(TNasDlgModel& model, TCalcOptions& options, TNetworkTables& tables,
                 TDataWindowSettings& window, QWidget* parent)
    : QDialog(parent), model_(model), options_(options), tables_(tables), window_(window) {
    setObjectName("NasDlg");
    setWindowTitle(U("Настройка"));
    setModal(false);
    NasDlgFormCreate(SettingsFileName(), model_, options_, tables_, window_);

    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget;
    pages_->addTab(BuildCalcPage(), U("Расчет"));
    pages_->addTab(BuildFontsPage(), U("Шрифты"));
    pages_->addTab(BuildTablePage(), U("Таблица"));
    morePage_ = BuildMorePage();
    pages_->addTab(morePage_, U("Дополнительно"));
    layout->addWidget(pages_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(U("Отмена"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, Safely([this] { OKBtnClick(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, Safely([this] { CancelBtnClick(); }));

    ChooseFont = [this](TFontSpec& font) {
        bool ok = false;
        QFont chosen = QFontDialog::getFont(&ok, QFont(ToQString(font.Name), font.Size), this);
        if (!ok) return false;
        font.Name = FromQString(chosen.family());
        font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : font.Size;
        return true;
    };
    ModelToControls();
    setEnabled(model_.Enabled);
}

QWidget* TNasDlg::BuildCalcPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    units_ = RadioGroup(this, layout, "Ед.измерения", {"м3/с", "м3/мин"});
    accuracy_ = RadioGroup(this, layout, "Точность", {"0.1   м3/с", "0.001 м3/с"});
    algorithm_ = RadioGroup(this, layout, "Алгоритм", {"Стандартный", "Модифицированный"});
    fanEquation_ =
        RadioGroup(this, layout, "Уравнение вент.", {"H=A*q2 + B*q + C", "H=A*q2 + C"}, false);
    newTable_ = RadioGroup(this, layout, "Новая таблица",
                           {"Полная", "Топология+сопр.ветви", "Топология+давление"});
    layout->addStretch();
    return page;
}

QWidget* TNasDlg::BuildFontsPage() {
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    const char* labels[] = {"Для таблиц", "Для отчетов", "Страницы"};
    const TNasDlgFont fonts[] = {TNasDlgFont::Tables, TNasDlgFont::Reports, TNasDlgFont::Pages};
    for (int i = 0; i < 3; ++i) {
        fontNames_[i] = new QLineEdit;
        fontNames_[i]->setReadOnly(true);
        auto* choose = new QPushButton(U("Выбор"));
        layout->addWidget(new QLabel(U(labels[i])), i, 0);
        layout->addWidget(fontNames_[i], i, 1);
        layout->addWidget(choose, i, 2);
        TNasDlgFont which = fonts[i];
        connect(choose, &QPushButton::clicked, this,
                Safely([this, which] { FontBtnClick(which); }));
    }
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* TNasDlg::BuildTablePage() {
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    const int perColumn = (ReportColumnBoxes + 1) / 2;
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        checkBoxes_[i] = new QCheckBox(ToQString(ReportColumnCaption(i)));
        checkBoxes_[i]->setObjectName(BoxName(i));
        sKol_[i] = new QLineEdit;
        sKol_[i]->setObjectName(ToQString(ReportColumnTextKey(i)));
        sKol_[i]->setMaximumWidth(60);
        int row = i % perColumn, col = (i / perColumn) * 2;
        layout->addWidget(checkBoxes_[i], row, col);
        layout->addWidget(sKol_[i], row, col + 1);
    }
    // The branch number is always in the table.
    checkBoxes_[0]->setEnabled(false);
    return page;
}

QWidget* TNasDlg::BuildMorePage() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    // Shown in the order of the page; stored in the order of the file.
    for (TNasDlgNumber n : NasDlgNumberPageOrder) {
        numbers_[n] = new QLineEdit;
        numbers_[n]->setObjectName(NasDlgNumberKey(n));
        layout->addRow(ToQString(NasDlgNumberCaption(n)), numbers_[n]);
    }
    return page;
}

void TNasDlg::ModelToControls() {
    Check(units_, model_.UnitsIndex);
    Check(accuracy_, model_.AccuracyIndex);
    Check(algorithm_, model_.AlgorithmIndex);
    Check(fanEquation_, model_.FanEquationIndex);
    Check(newTable_, model_.NewTableIndex);
    fontNames_[0]->setText(ToQString(model_.TableFontName));
    fontNames_[1]->setText(ToQString(model_.ReportFontName));
    fontNames_[2]->setText(ToQString(model_.PageFontName));
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        checkBoxes_[i]->setChecked(model_.CheckBox[i]);
        sKol_[i]->setText(ToQString(model_.SKol[i]));
    }
    for (int n = 0; n < NasDlgNumberCount; ++n) numbers_[n]->setText(ToQString(model_.Number[n]));
}

void TNasDlg::ControlsToModel() {
    model_.UnitsIndex = units_->checkedId();
    model_.AccuracyIndex = accuracy_->checkedId();
    model_.AlgorithmIndex = algorithm_->checkedId();
    model_.NewTableIndex = newTable_->checkedId();
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        model_.CheckBox[i] = checkBoxes_[i]->isChecked();
        model_.SKol[i] = FromQString(sKol_[i]->text());
    }
    for (int n = 0; n < NasDlgNumberCount; ++n) model_.Number[n] = FromQString(numbers_[n]->text());
}

void TNasDlg::ShowSettings() {
    // A hidden dialog shows the options in force, whatever hid it: one left
    // without OK drops what it showed.
    if (!isVisible()) {
        if (model_.Visible) NasDlgCancel(model_);
        NasDlgShow(model_, options_);
        ModelToControls();
    }
    setEnabled(true);
    ShowWindowRestored(*this);
}

void TNasDlg::OKBtnClick() {
    ControlsToModel();
    int refused = -1;
    const int unitBefore = options_.FlowUnit;
    if (!NasDlgOk(model_, options_, tables_, &refused)) {
        // The dialog stays open on the field to mend.
        if (refused >= 0 && refused < NasDlgNumberCount) {
            pages_->setCurrentWidget(morePage_);
            numbers_[refused]->setFocus();
            numbers_[refused]->selectAll();
        }
        return;
    }
    ModelToControls();
    setEnabled(false);
    hide();
    if (options_.FlowUnit != unitBefore && OnFlowsRewritten) OnFlowsRewritten();
}

void TNasDlg::CancelBtnClick() {
    NasDlgCancel(model_);
    ModelToControls();
    setEnabled(false);
    hide();
}

void TNasDlg::DataSetReplaced() {
    Check(units_, model_.UnitsIndex);
    Check(accuracy_, model_.AccuracyIndex);
    Check(algorithm_, model_.AlgorithmIndex);
    Check(newTable_, model_.NewTableIndex);
}

void TNasDlg::reject() {
    CancelBtnClick();
}

void TNasDlg::closeEvent(QCloseEvent* event) {
    // Closing the window is Cancel; the window itself lives on.
    CancelBtnClick();
    event->ignore();
}

void TNasDlg::FontBtnClick(TNasDlgFont which) {
    TFontSpec font = NasDlgCurrentFont(which, tables_, window_);
    if (!ChooseFont || !ChooseFont(font)) return;
    NasDlgApplyFont(model_, which, font, tables_, window_);
    fontNames_[0]->setText(ToQString(model_.TableFontName));
    fontNames_[1]->setText(ToQString(model_.ReportFontName));
    fontNames_[2]->setText(ToQString(model_.PageFontName));
    if (OnFontsChanged) OnFontsChanged();
}

} // namespace arv
