#include "app/ui/OptionForm.h"

#include "platform/Files.h"
#include "platform/Services.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStorageInfo>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct TSpinBinding {
    const char* name;
    int TOption::*field;
};
constexpr TSpinBinding kSpins[] = {
    {"UpDown1", &TOption::UpDown1},
    {"UpDown2", &TOption::UpDown2},
    {"OUSize", &TOption::OUSize},
    {"UpDown6", &TOption::UpDown6},
    {"UpDownStepNet", &TOption::UpDownStepNet},
    {"UpDownScArrow", &TOption::UpDownScArrow},
    {"UpDownShArrow", &TOption::UpDownShArrow},
    {"UpDownPr", &TOption::UpDownPr},
};

struct TSchemeSpinBinding {
    const char* name;
    int TSchemeOptionsState::*field;
};
constexpr TSchemeSpinBinding kSchemeSpins[] = {
    {"UpDownWidth", &TSchemeOptionsState::UpDownWidth},
    {"UpDownPenWidth", &TSchemeOptionsState::UpDownPenWidth},
    {"UpDown3", &TSchemeOptionsState::UpDown3},
    {"UpDown5", &TSchemeOptionsState::UpDown5},
};

struct TCheckBinding {
    const char* name;
    bool TOption::*field;
};
constexpr TCheckBinding kChecks[] = {
    {"Positive", &TOption::Positive},       {"CBNodeOutput", &TOption::CBNodeOutput},
    {"CBPicOutput", &TOption::CBPicOutput}, {"PrSoprag", &TOption::PrSoprag},
    {"Arrcaption", &TOption::Arrcaption},   {"PrRash", &TOption::PrRash},
    {"PrSechenie", &TOption::PrSechenie},   {"PrSpeed", &TOption::PrSpeed},
    {"PrLength", &TOption::PrLength},       {"PrRectEnable", &TOption::PrRectEnable},
};

struct TFontBinding {
    const char* name;
    const char* caption;
    TFontRecord TOption::*field;
    void (TOption::*click)();
};
const TFontBinding kFonts[] = {
    {"BrnF", "Шрифт для наименов.", &TOption::BrnF, &TOption::BrnFClick},
    {"NodeF", "Шрифт для №  узлов", &TOption::NodeF, &TOption::NodeFClick},
    {"BrN", "Шрифт для № ветвей", &TOption::BrN, &TOption::BrNClick},
    {"ExtB", "Шрифт для рас. данных", &TOption::ExtB, &TOption::ExtBClick},
};

const char* const kLineTypes[] = {"Одинарная", "Двойная", "Двойная с заливкой"};

} // namespace

template <class T> T* TOptionForm::Named(T* widget, const char* name) {
    widget->setObjectName(name);
    controls_[name] = widget;
    return widget;
}

TOptionForm::TOptionForm(TOption& option, QWidget* parent) : QDialog(parent), o_(option) {
    setObjectName("Option");
    setWindowTitle(U("Настройка"));
    auto* layout = new QVBoxLayout(this);
    pages_ = Named(new QTabWidget, "PageControl1");
    pages_->addTab(BuildGeneralPage(), U("Общие"));
    pages_->addTab(BuildCalcDataPage(), U("Расчетные данные"));
    pages_->addTab(BuildFolderPage(foto_, "Путь к фото по умолчанию", false), U("Путь к Фото"));
    pages_->addTab(BuildFolderPage(pla_, "Путь к позиции ПЛА по умолчанию", true), U("Путь к ПЛА"));
    schemePage_ = BuildSchemePage();
    pages_->addTab(schemePage_, QString());
    pages_->addTab(BuildLayerPage(), U("Слои (Коммуникации)"));
    layout->addWidget(pages_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = Named(new QPushButton(U("Принять")), "Button1");
    auto* cancel = Named(new QPushButton(U("Отмена")), "Button2");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        ReadControls();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // Wide enough for every page's tab.
    setMinimumWidth(800);
    o_.SetView(this);
    ShowState();
}

TOptionForm::~TOptionForm() {
    if (o_.View() == this) o_.SetView(nullptr);
}

QWidget* TOptionForm::Control(const std::string& name) const {
    auto i = controls_.find(name);
    return i == controls_.end() ? nullptr : i->second;
}

QSpinBox* TOptionForm::Spin(const char* name, TOption::TRange range, int step) {
    auto* s = Named(new QSpinBox, name);
    s->setRange(range.Min, range.Max);
    s->setSingleStep(step);
    return s;
}

QCheckBox* TOptionForm::Check(const char* name, const char* caption) {
    return Named(new QCheckBox(U(caption)), name);
}

QPushButton* TOptionForm::Button(const char* name, const char* caption,
                                 void (TOption::*handler)()) {
    auto* b = Named(new QPushButton(U(caption)), name);
    connect(b, &QPushButton::clicked, this, [this, handler] { Run(handler); });
    return b;
}

QLabel* TOptionForm::Sample(const char* name, const char* caption) {
    auto* l = Named(new QLabel(U(caption)), name);
    l->setAutoFillBackground(true);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(120);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

void TOptionForm::Run(void (TOption::*handler)()) {
    if (loading_) return;
    RunCommandSafely([this, call = std::mem_fn(handler)] {
        ReadControls();
        call(o_);
    });
    ShowState();
}

QWidget* TOptionForm::BuildGeneralPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(Button("ButtonBackColor", "Цвет фона", &TOption::ButtonBackColorClick), 0, 0);
    grid->addWidget(Sample("ColorText", "Цвет фона"), 0, 1);
    auto* sizes = new QFormLayout;
    sizes->addRow(U("Размер стрелок"), Spin("UpDown1", TOption::kArrowSize));
    sizes->addRow(U("Размер узлов"), Spin("UpDown2", TOption::kNodeSize));
    sizes->addRow(U("Размер УО"), Spin("OUSize", TOption::kSymbolSize));
    sizes->addRow(U("Отступ данных"), Spin("UpDown6", TOption::kDataOffset));
    sizes->addRow(U("Шаг сетки"), Spin("UpDownStepNet", TOption::kGridStep, 5));
    sizes->addRow(U("Масштаб стрелки"), Spin("UpDownScArrow", TOption::kArrowScale));
    sizes->addRow(U("Отступ стрелки"), Spin("UpDownShArrow", TOption::kArrowOffset));
    grid->addLayout(sizes, 1, 0);
    auto* flags = new QVBoxLayout;
    flags->addWidget(Check("Positive", "Выводить отр. значения"));
    flags->addWidget(Check("CBNodeOutput", "Узлы с отр. номерами"));
    flags->addWidget(Check("CBPicOutput", "Рисовать картинки"));
    flags->addWidget(Check("PrSoprag", "Сопряжения"));
    flags->addWidget(Check("Arrcaption", "Стрелка внутри"));
    flags->addStretch();
    grid->addLayout(flags, 1, 1);
    auto* fonts = new QGridLayout;
    int row = 0;
    for (const TFontBinding& f : kFonts) {
        fonts->addWidget(Button(f.name, f.caption, f.click), row, 0);
        auto* l = new QLabel;
        fontLabels_[f.name] = l;
        fonts->addWidget(l, row++, 1);
    }
    grid->addLayout(fonts, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TOptionForm::BuildCalcDataPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(Check("PrRash", "Выводить расходы"));
    v->addWidget(Check("PrSechenie", "Выводить сечение"));
    v->addWidget(Check("PrSpeed", "Выводить скорость"));
    v->addWidget(Check("PrLength", "Выводить длину"));
    v->addWidget(Check("PrRectEnable", "Выводить рамку"));
    auto* colour = new QHBoxLayout;
    colour->addWidget(
        Button("ButtonPrRectColor", "Цвет прямоугольника", &TOption::ButtonPrRectColorClick));
    colour->addWidget(Sample("ColorPrRect", "Цвет прямоугольника"));
    v->addLayout(colour);
    auto* leader = new QFormLayout;
    leader->addRow(U("Длина выноски"), Spin("UpDownPr", TOption::kLeader, 5));
    v->addLayout(leader);
    v->addStretch();
    return page;
}

QWidget* TOptionForm::BuildFolderPage(TFolderControls& c, const char* checkCaption, bool pla) {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    c.edit = Named(new QLineEdit, pla ? "PLAPath" : "FotoPath");
    c.check = Check(pla ? "CheckBoxPLAPath" : "CheckBoxFoto", checkCaption);
    c.drives = Named(new QComboBox, pla ? "DriveComboBox" : "DriveComboBox1");
    c.dirs = Named(new QListWidget, pla ? "DirectoryListBox" : "DirectoryListBox1");
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        if (s.isValid() && s.isReady()) c.drives->addItem(s.rootPath());
    v->addWidget(c.edit);
    v->addWidget(c.check);
    v->addWidget(c.drives);
    v->addWidget(c.dirs, 1);
    auto handler = pla ? &TOption::CheckBoxPLAPathClick : &TOption::CheckBoxFotoClick;
    connect(c.check, &QCheckBox::clicked, this, [this, handler] { Run(handler); });
    // Entering a folder of the list or choosing a drive changes the folder.
    auto change = [this, pla](const QString& dir) {
        if (loading_) return;
        ReadControls();
        const std::string d = FromQString(QDir::cleanPath(dir));
        if (pla)
            o_.DirectoryListBoxChange(d);
        else
            o_.DirectoryListBox1Change(d);
        ShowState();
    };
    connect(c.dirs, &QListWidget::itemActivated, this,
            [change](QListWidgetItem* item) { change(item->data(Qt::UserRole).toString()); });
    connect(c.drives, &QComboBox::activated, this,
            [drives = c.drives, change](int index) { change(drives->itemText(index)); });
    return page;
}

QWidget* TOptionForm::BuildSchemePage() {
    auto* page = Named(new QWidget, "TabSheet1");
    auto* grid = new QGridLayout(page);
    const char* names[8] = {"CheckBoxBrN", "CheckBoxNdN",  "CheckBoxBrName", "CheckBoxBrQ",
                            "CheckBoxAr",  "CheckBoxDavl", "CheckBoxRD",     "CheckBoxPla"};
    const char* captions[8] = {"Номера ветвей",    "Номера узлов", "Наименования",
                               "Расходы",          "Стрелки",      "Давления в узлах",
                               "Расчетные данные", "Позиции ПЛА"};
    auto* shows = new QGroupBox(U("Выводить"));
    auto* sv = new QVBoxLayout(shows);
    for (int i = 0; i < 8; ++i) {
        showChecks_[static_cast<size_t>(i)] = Check(names[i], captions[i]);
        sv->addWidget(showChecks_[static_cast<size_t>(i)]);
    }
    grid->addWidget(shows, 0, 0, 2, 1);
    auto* line = new QFormLayout;
    auto* type = Named(new QComboBox, "LineType");
    for (const char* t : kLineTypes) type->addItem(U(t));
    line->addRow(U("Тип линии"), type);
    line->addRow(U("Ширина линий"), Spin("UpDownWidth", TOption::kWidth));
    line->addRow(U("Толщина пера"), Spin("UpDownPenWidth", TOption::kWidth));
    auto* colour = new QHBoxLayout;
    colour->addWidget(Button("ButtonLineColor", "Цвет линии", &TOption::ButtonLineColorClick));
    colour->addWidget(Sample("ColorLine", "Цвет линии"));
    line->addRow(colour);
    grid->addLayout(line, 0, 1);
    auto* layers = Named(new QListWidget, "CheckListBoxLajer");
    grid->addWidget(new QLabel(U("Слои")), 1, 1, Qt::AlignTop);
    grid->addWidget(layers, 2, 0, 1, 2);
    return page;
}

QWidget* TOptionForm::BuildLayerPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    auto* combo = Named(new QComboBox, "ComboBoxLajer");
    combo->setMinimumWidth(200);
    connect(combo, &QComboBox::activated, this, [this] {
        Run(&TOption::ComboBoxLajerChange);
        Run(&TOption::ComboBoxLajerExit);
    });
    top->addWidget(combo, 1);
    top->addWidget(Button("BitBtnAddLajer", "Добавить", &TOption::BitBtnAddLajerClick));
    top->addWidget(Button("BitBtnDeLajer", "Удалить", &TOption::BitBtnDeLajerClick));
    v->addLayout(top);
    layerPanel_ = Named(new QGroupBox, "PanelLajer");
    auto* form = new QFormLayout(layerPanel_);
    form->addRow(U("Наименование"), Named(new QLineEdit, "Edit7"));
    auto* type = Named(new QComboBox, "ComboLineType");
    for (const char* t : kLineTypes) type->addItem(U(t));
    form->addRow(U("Тип линии"), type);
    form->addRow(U("Ширина линий"), Spin("UpDown3", TOption::kWidth));
    form->addRow(U("Толщина пера"), Spin("UpDown5", TOption::kWidth));
    auto* colour = new QHBoxLayout;
    colour->addWidget(Button("Button4", "Цвет линии", &TOption::Button4Click));
    colour->addWidget(Sample("ColorLineLajer", "Цвет линии"));
    form->addRow(colour);
    form->addRow(Button("BitBtnChangeLajer", "Сохранить", &TOption::BitBtnChangeLajerClick));
    v->addWidget(layerPanel_);
    v->addStretch();
    return page;
}

void TOptionForm::ShowSample(QLabel* label, int colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, ColorRefToQColor(colour));
    p.setColor(QPalette::WindowText, ColorRefToQColor(TColorSample{colour}.TextColor()));
    label->setPalette(p);
}

void TOptionForm::ShowFolder(const TFolderControls& c, const TFolderPage& page) {
    c.edit->setText(ToQString(page.Path));
    c.check->setChecked(page.Default);
    c.drives->setEnabled(page.Enabled);
    c.dirs->setEnabled(page.Enabled);
    c.dirs->clear();
    QDir dir(ToQString(page.Directory));
    if (page.Directory.empty() || !dir.exists()) return;
    auto add = [&](const QString& caption, const QString& path) {
        auto* item = new QListWidgetItem(caption, c.dirs);
        item->setData(Qt::UserRole, path);
    };
    add(dir.absolutePath(), dir.absolutePath());
    if (!dir.isRoot()) add(QStringLiteral(".."), dir.absoluteFilePath(QStringLiteral("..")));
    for (const QString& d : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        add(QStringLiteral("  ") + d, dir.absoluteFilePath(d));
}

void TOptionForm::ShowState() {
    loading_ = true;
    for (const TSpinBinding& b : kSpins)
        static_cast<QSpinBox*>(controls_[b.name])->setValue(o_.*b.field);
    for (const TSchemeSpinBinding& b : kSchemeSpins)
        static_cast<QSpinBox*>(controls_[b.name])->setValue(o_.Scheme.*b.field);
    for (const TCheckBinding& b : kChecks)
        static_cast<QCheckBox*>(controls_[b.name])->setChecked(o_.*b.field);
    for (const TFontBinding& f : kFonts) {
        const TFontRecord& font = o_.*f.field;
        fontLabels_[f.name]->setText(ToQString(font.name) + ", " + QString::number(font.size));
        fontLabels_[f.name]->setFont(WindowsFont(font.name, 9));
    }
    ShowSample(static_cast<QLabel*>(controls_["ColorText"]), o_.ColorText.Color);
    ShowSample(static_cast<QLabel*>(controls_["ColorPrRect"]), o_.ColorPrRect.Color);
    ShowSample(static_cast<QLabel*>(controls_["ColorLine"]), o_.Scheme.ColorLine);
    ShowSample(static_cast<QLabel*>(controls_["ColorLineLajer"]), o_.Scheme.ColorLineLajer);
    ShowFolder(foto_, o_.Foto);
    ShowFolder(pla_, o_.Pla);
    pages_->setTabText(pages_->indexOf(schemePage_), ToQString(o_.TabSheet1Caption));
    for (size_t i = 0; i < showChecks_.size(); ++i)
        showChecks_[i]->setChecked(o_.Scheme.ShowChecks[i]);
    static_cast<QComboBox*>(controls_["LineType"])->setCurrentIndex(o_.Scheme.LineTypeIndex);
    auto* list = static_cast<QListWidget*>(controls_["CheckListBoxLajer"]);
    auto* combo = static_cast<QComboBox*>(controls_["ComboBoxLajer"]);
    list->clear();
    combo->clear();
    for (size_t i = 0; i < o_.LayerItems.size(); ++i) {
        auto* item = new QListWidgetItem(ToQString(o_.LayerItems[i]), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = i < o_.Scheme.LayerChecks.size() && o_.Scheme.LayerChecks[i];
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        combo->addItem(ToQString(o_.LayerItems[i]));
    }
    combo->setCurrentIndex(o_.Scheme.ComboBoxLajer);
    layerPanel_->setVisible(o_.LayerPanelVisible);
    controls_["BitBtnDeLajer"]->setEnabled(o_.DeleteLayerEnabled);
    static_cast<QLineEdit*>(controls_["Edit7"])->setText(ToQString(o_.Scheme.Edit7));
    // The layer's style byte counts from 1; 0 (none) shows no type.
    static_cast<QComboBox*>(controls_["ComboLineType"])
        ->setCurrentIndex(o_.Scheme.ComboLineType - 1);
    loading_ = false;
}

void TOptionForm::ReadControls() {
    for (const TSpinBinding& b : kSpins)
        o_.*b.field = static_cast<QSpinBox*>(controls_[b.name])->value();
    for (const TSchemeSpinBinding& b : kSchemeSpins)
        o_.Scheme.*b.field = static_cast<QSpinBox*>(controls_[b.name])->value();
    for (const TCheckBinding& b : kChecks)
        o_.*b.field = static_cast<QCheckBox*>(controls_[b.name])->isChecked();
    o_.Foto.Path = FromQString(foto_.edit->text());
    o_.Foto.Default = foto_.check->isChecked();
    o_.Pla.Path = FromQString(pla_.edit->text());
    o_.Pla.Default = pla_.check->isChecked();
    for (size_t i = 0; i < showChecks_.size(); ++i)
        o_.Scheme.ShowChecks[i] = showChecks_[i]->isChecked();
    o_.Scheme.LineTypeIndex =
        std::max(0, static_cast<QComboBox*>(controls_["LineType"])->currentIndex());
    auto* list = static_cast<QListWidget*>(controls_["CheckListBoxLajer"]);
    o_.Scheme.LayerChecks.resize(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        o_.Scheme.LayerChecks[static_cast<size_t>(i)] = list->item(i)->checkState() == Qt::Checked;
    o_.Scheme.ComboBoxLajer = static_cast<QComboBox*>(controls_["ComboBoxLajer"])->currentIndex();
    o_.Scheme.Edit7 = FromQString(static_cast<QLineEdit*>(controls_["Edit7"])->text());
    const int type = static_cast<QComboBox*>(controls_["ComboLineType"])->currentIndex();
    if (type >= 0) o_.Scheme.ComboLineType = type + 1;
}

bool TOptionForm::ShowModal() {
    ShowState();
    return exec() == QDialog::Accepted;
}

bool TOptionForm::ChooseColor(int& colour) {
    QColor c = QColorDialog::getColor(ColorRefToQColor(colour), this);
    if (!c.isValid()) return false;
    colour = QColorToColorRef(c);
    return true;
}

bool TOptionForm::ChooseFont(TFontRecord& font) {
    bool ok = false;
    QFont initial = WindowsFont(font.name, font.size);
    initial.setBold(font.style & 1);
    initial.setItalic(font.style & 2);
    initial.setUnderline(font.style & 4);
    initial.setStrikeOut(font.style & 8);
    QFont chosen = QFontDialog::getFont(&ok, initial, this);
    if (!ok) return false;
    std::string name = FromQString(chosen.family());
    if (name.size() > kFontNameMax) name.resize(kFontNameMax);
    font.name = name;
    font.size = chosen.pointSize() > 0 ? chosen.pointSize() : font.size;
    font.style = static_cast<uint8_t>((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) |
                                      (chosen.underline() ? 4 : 0) | (chosen.strikeOut() ? 8 : 0));
    return true;
}

} // namespace arv
