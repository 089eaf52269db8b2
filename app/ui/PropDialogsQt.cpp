#include "app/ui/PropDialogsQt.h"

#include "document/Document.h"
#include "platform/Cp1251.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace arv {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <size_t N> void Fill(QComboBox* box, const std::array<std::string, N>& names) {
    for (const std::string& n : names) box->addItem(ToQString(n));
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

bool RunColorDialog(QWidget* parent, int32_t& colour) {
    const QColor chosen = QColorDialog::getColor(ColorRefToQColor(colour), parent);
    if (!chosen.isValid()) return false;
    colour = QColorToColorRef(chosen);
    return true;
}

bool RunFontDialog(QWidget* parent, TFontRecord& font) {
    QFont start = WindowsFont(font.name, font.size, font.pitch == 2);
    start.setBold(font.style & 1);
    start.setItalic(font.style & 2);
    start.setUnderline(font.style & 4);
    start.setStrikeOut(font.style & 8);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, parent);
    if (!ok) return false;
    font.name = FromQString(chosen.family());
    font.size = chosen.pointSize() > 0 ? chosen.pointSize() : font.size;
    font.style = static_cast<uint8_t>((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) |
                                      (chosen.underline() ? 4 : 0) | (chosen.strikeOut() ? 8 : 0));
    font.pitch = chosen.fixedPitch() ? 2 : font.pitch;
    return true;
}

bool RunEntTextDialog(QWidget* parent, std::string& text, TFontRecord& font) {
    QDialog d(parent);
    d.setWindowTitle(Q("Введите текст"));
    auto* edit1 = new QLineEdit(ToQString(text));
    auto* fontB = new QPushButton(Q("Шрифт ..."));
    QObject::connect(fontB, &QPushButton::clicked, &d, [&] { RunFontDialog(&d, font); });
    auto* buttons = OkCancel(&d);
    buttons->addButton(fontB, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(edit1);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return false;
    text = FromQString(edit1->text());
    return true;
}

TFPenBrushDlg::TFPenBrushDlg(const TPenBrushDlgState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(Q("Цвет, стиль"));
    auto* pen = new QGroupBox(Q("Перо"));
    comboPenStyle_ = new QComboBox;
    Fill(comboPenStyle_, PenStyleNames());
    upDownPenWidth_ = new QSpinBox;
    upDownPenWidth_->setRange(0, 1000);
    lPenColor_ = new QLabel;
    auto* buttonPenColor = new QPushButton(Q("Цвет..."));
    auto* penForm = new QFormLayout(pen);
    penForm->addRow(Q("Стиль"), comboPenStyle_);
    penForm->addRow(Q("Толщина"), upDownPenWidth_);
    auto* penColourRow = new QHBoxLayout;
    penColourRow->addWidget(lPenColor_, 1);
    penColourRow->addWidget(buttonPenColor);
    penForm->addRow(Q("Цвет"), penColourRow);

    auto* fill = new QGroupBox(Q("Заливка"));
    comboTypeLine_ = new QComboBox;
    Fill(comboTypeLine_, TypeLineNames());
    comboBrushStyle_ = new QComboBox;
    Fill(comboBrushStyle_, BrushStyleNames());
    upDownLineWidth_ = new QSpinBox;
    upDownLineWidth_->setRange(0, 1000);
    lBrushColor_ = new QLabel;
    lPlaColor_ = new QLabel(Q("ПЛА"));
    auto* buttonBrushColor = new QPushButton(Q("Цвет..."));
    auto* fillForm = new QFormLayout(fill);
    fillForm->addRow(Q("Тип линии"), comboTypeLine_);
    fillForm->addRow(Q("Заливка"), comboBrushStyle_);
    fillForm->addRow(Q("Ширина"), upDownLineWidth_);
    auto* brushColourRow = new QHBoxLayout;
    brushColourRow->addWidget(lBrushColor_, 1);
    brushColourRow->addWidget(buttonBrushColor);
    fillForm->addRow(Q("Цвет"), brushColourRow);
    fillForm->addRow(Q("Цвет ПЛА"), lPlaColor_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pen);
    layout->addWidget(fill);
    layout->addWidget(OkCancel(this));

    comboPenStyle_->setCurrentIndex(state.ComboPenStyle);
    upDownPenWidth_->setValue(state.UpDownPenWidth);
    comboTypeLine_->setCurrentIndex(state.ComboTypeLine);
    comboBrushStyle_->setCurrentIndex(state.ComboBrushStyle);
    upDownLineWidth_->setValue(state.UpDownLineWidth);
    ShowColour(lPenColor_, state.PenColor);
    ShowColour(lBrushColor_, state.BrushColor);
    ShowColour(lPlaColor_, state.PlaColor);
    connect(buttonPenColor, &QPushButton::clicked, this, &TFPenBrushDlg::ButtonPenColorClick);
    connect(buttonBrushColor, &QPushButton::clicked, this, &TFPenBrushDlg::ButtonBrushColorClick);
}

void TFPenBrushDlg::ShowColour(QLabel* label, int32_t colour) {
    const QColor back = ColorRefToQColor(colour);
    const QColor text = ColorRefToQColor(ColorLabelFontColor(colour));
    label->setAutoFillBackground(true);
    label->setMinimumWidth(60);
    label->setStyleSheet(
        QString("background-color: %1; color: %2; padding: 2px").arg(back.name(), text.name()));
    if (label != lPlaColor_) label->setText(back.name().toUpper());
}

void TFPenBrushDlg::ButtonPenColorClick() {
    if (RunColorDialog(this, state_.PenColor)) ShowColour(lPenColor_, state_.PenColor);
}

void TFPenBrushDlg::ButtonBrushColorClick() {
    if (RunColorDialog(this, state_.BrushColor)) ShowColour(lBrushColor_, state_.BrushColor);
}

TPenBrushDlgState TFPenBrushDlg::State() const {
    TPenBrushDlgState s = state_;
    s.ComboPenStyle = comboPenStyle_->currentIndex();
    s.UpDownPenWidth = upDownPenWidth_->value();
    s.ComboTypeLine = comboTypeLine_->currentIndex();
    s.ComboBrushStyle = comboBrushStyle_->currentIndex();
    s.UpDownLineWidth = upDownLineWidth_->value();
    return s;
}

TFormAngle::TFormAngle(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Q("Введите заданный угол"));
    maskEditAngle_ = new QLineEdit;
    // A sign or digit, then up to three digits.
    maskEditAngle_->setInputMask("#000; ");
    stParallel_ = new QLabel;
    auto* ok = new QPushButton(Q("Ок"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(maskEditAngle_);
    layout->addWidget(stParallel_);
    layout->addWidget(ok);
}

void TFormAngle::Show(const TFormAngleState& state) {
    state_ = state;
    maskEditAngle_->setText(ToQString(state.MaskEditAngle));
    stParallel_->setText(ToQString(state.STParallel));
}

void TFormAngle::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormAngleActivate(state_);
    if (state_.AutoSelect) {
        maskEditAngle_->setFocus();
        maskEditAngle_->selectAll();
    }
}

TFormAngleState TFormAngle::State() const {
    TFormAngleState s = state_;
    s.MaskEditAngle = FromQString(maskEditAngle_->text().remove(' '));
    return s;
}

TEnterPic::TEnterPic(TEnterPicState& state, const TGCollFigure& doc, QWidget* parent)
    : QDialog(parent), state_(state), doc_(doc) {
    setWindowTitle(Q("Выберите картинку"));
    sPic_ = new QRadioButton(Q("Картинка"));
    sUO_ = new QRadioButton(Q("Условное обозначение"));
    selList_ = new QComboBox;
    selList_->setMaxVisibleItems(15);
    image1_ = new QLabel;
    image1_->setFixedSize(120, 120);
    image1_->setFrameShape(QFrame::Box);
    image1_->setAlignment(Qt::AlignCenter);
    auto* radios = new QHBoxLayout;
    radios->addWidget(sPic_);
    radios->addWidget(sUO_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(radios);
    layout->addWidget(selList_);
    layout->addWidget(image1_, 0, Qt::AlignHCenter);
    layout->addWidget(OkCancel(this));
    sPic_->setEnabled(state.SPicEnabled);
    sUO_->setEnabled(state.SUOEnabled);
    Refill();
    connect(sPic_, &QRadioButton::clicked, this, [this] {
        EnterPicSPicClick(state_, doc_);
        Refill();
    });
    connect(sUO_, &QRadioButton::clicked, this, [this] {
        EnterPicSUOClick(state_, doc_);
        Refill();
    });
    connect(selList_, &QComboBox::activated, this, &TEnterPic::SelListChange);
}

void TEnterPic::Refill() {
    filling_ = true;
    (state_.SPicChecked ? sPic_ : sUO_)->setChecked(true);
    selList_->clear();
    for (const std::string& n : state_.SelList) selList_->addItem(ToQString(n));
    selList_->setCurrentIndex(state_.ItemIndex);
    filling_ = false;
    SelListChange(state_.ItemIndex);
}

void TEnterPic::SelListChange(int index) {
    if (filling_) return;
    EnterPicSelListChange(state_, index);
    QImage preview(image1_->width(), image1_->height(), QImage::Format_RGB32);
    preview.fill(palette().button().color());
    if (index >= 0 && state_.SPicChecked && index < doc_.images.Count()) {
        const TBitmap32& b = doc_.images.entries[static_cast<size_t>(index)].bitmap;
        QImage pic(b.Width, b.Height, QImage::Format_ARGB32);
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x) pic.setPixel(x, y, b.Pixel(x, y));
        image1_->setPixmap(QPixmap::fromImage(pic.scaled(image1_->size(), Qt::KeepAspectRatio)));
        return;
    }
    if (index >= 0 && !state_.SPicChecked && index < doc_.symbols.Count()) {
        TQtCanvas canvas(preview);
        const QColor face = palette().button().color();
        DrawSymbolPreview(canvas, doc_.symbols.symbols[static_cast<size_t>(index)], preview.width(),
                          preview.height(), QColorToColorRef(face));
    }
    image1_->setPixmap(QPixmap::fromImage(preview));
}

bool TQtPropDialogs::PenBrushDialog(TPenBrushDlgState& state) {
    TFPenBrushDlg d(state, parent_);
    if (d.exec() != QDialog::Accepted) return false;
    state = d.State();
    return true;
}

bool TQtPropDialogs::AngleDialog(TFormAngleState& state) {
    if (!angle_) angle_ = new TFormAngle(parent_);
    angle_->Show(state);
    if (angle_->exec() != QDialog::Accepted) return false;
    state = angle_->State();
    return true;
}

bool TQtPropDialogs::EnterPicDialog(TEnterPicState& state) {
    TEnterPicState working = state;
    TEnterPic d(working, doc_, parent_);
    if (d.exec() != QDialog::Accepted) return false;
    state = working;
    return true;
}

void TQtPropDialogs::PopupPropMenu(const TPropMenu& menu, int col, int row) {
    QMenu popMenu(parent_);
    for (size_t i = 0; i < menu.Items.size(); ++i) {
        const TPropMenuItem& item = menu.Items[i];
        if (item.Separator) {
            popMenu.addSeparator();
            continue;
        }
        QAction* a = popMenu.addAction(ToQString(item.Caption));
        a->setCheckable(item.Checked);
        a->setChecked(item.Checked);
        a->setData(static_cast<int>(i));
    }
    const QPoint at = CellBottomLeft ? CellBottomLeft(col, row) : QCursor::pos();
    int chosen = -1;
    QObject::connect(&popMenu, &QMenu::triggered, &popMenu,
                     [&chosen](QAction* a) { chosen = a->data().toInt(); });
    popMenu.exec(at);
    if (chosen >= 0 && MenuChosen) MenuChosen(chosen);
}

} // namespace arv
