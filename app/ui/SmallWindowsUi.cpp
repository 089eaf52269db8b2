#include "app/ui/SmallWindowsUi.h"

#include "app/ui/PlanPainter.h"
#include "calc/window/NotAvailable.h"
#include "document/WindowHost.h"
#include "platform/Bitmap.h"
#include "platform/Cp1251.h"
#include "platform/Jpeg.h"
#include "platform/Services.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextEditors.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QPointer<TFormNavigator> navigator;
QPointer<TFormImage> imageViewer;
QPointer<TFormEditUO> symbolEditor;
QPointer<TFormExtract> extractWindow;

QRect ScreenRect(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1280, 1024);
}

// What the screen leaves for windows (without panels and docks).
QRect AvailableRect(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
}

QImage ToQImage(const TBitmap32& b) {
    QImage img(reinterpret_cast<const uchar*>(b.Pixels.data()), b.Width, b.Height, b.Width * 4,
               QImage::Format_ARGB32);
    return img.copy();
}

} // namespace

TFormNavigator* FormNavigator() {
    return navigator;
}
TFormImage* FormImage() {
    return imageViewer;
}
TFormEditUO* FormEditUO() {
    return symbolEditor;
}
TFormExtract* FormExtract() {
    return extractWindow;
}

// ---- Navigator ----

class TNavigatorImage : public QWidget {
public:
    explicit TNavigatorImage(TFormNavigator& form) : form_(form) {
        setObjectName("ImageNavigator");
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, form_.Image());
    }
    void mousePressEvent(QMouseEvent* e) override {
        form_.ImageNavigatorMouseDown(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    TFormNavigator& form_;
};

TFormNavigator::TFormNavigator(TIDrawWin& w, QWidget* parent) : QWidget(parent, Qt::Tool), w_(w) {
    setObjectName("FormNavigator");
    setWindowTitle(U("Обзор"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    imageNavigator_ = new TNavigatorImage(*this);
    layout->addWidget(imageNavigator_);
    navigator = this;
    FormCreate();
}

void TFormNavigator::FormCreate() {
    const QRect screen = ScreenRect(this);
    const int width = RoundI(screen.width() * 0.2);
    const int height = RoundI(screen.height() * 0.2);
    resize(width, height);
    move(screen.right() + 1 - width, screen.top() + 5);
}

void TFormNavigator::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormActivate();
}

void TFormNavigator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFormNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) FormActivate();
}

void TFormNavigator::FormActivate() {
    TGCollFigure& doc = w_.Doc();
    const int width = std::max(1, imageNavigator_->width());
    const int height = std::max(1, imageNavigator_->height());
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::white);
    const double savedScale = doc.scale;
    const TRect mainView = doc.viewRect;
    const TRect extent = doc.GetExtent();
    if (NavigatorActivate(nav_, extent, mainView, width, height)) {
        doc.scale = nav_.Scale;
        doc.SetViewRect(extent);
        WindowState().NavigatorDrawing = 1;
        PaintDocument(image_, doc);
        WindowState().NavigatorDrawing = 0;
        doc.SetViewRect(mainView);
        doc.scale = savedScale;
        DrawFrame(Qt::red);
    }
    imageNavigator_->update();
}

void TFormNavigator::DrawFrame(const QColor& colour) {
    QPainter p(&image_);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const TRect& f = nav_.Frame;
    p.drawRect(QRect(QPoint(f.left, f.top), QPoint(f.right - 1, f.bottom - 1)));
}

void TFormNavigator::ImageNavigatorMouseDown(int x, int y) {
    if (!nav_.Valid()) return;
    DrawFrame(Qt::white);
    TRect view;
    if (!NavigatorClick(nav_, x, y, imageNavigator_->width(), imageNavigator_->height(), view))
        return;
    DrawFrame(Qt::red);
    imageNavigator_->update();
    w_.Doc().SetViewRect(view);
    w_.ViewChanged = true;
    w_.RedrawPlan();
}

// ---- Picture viewer ----

TFormImage::TFormImage(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("FormImage");
    setWindowTitle(U("Картинка"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panel1_ = new QWidget;
    panel1_->setObjectName("Panel1");
    auto* pl = new QHBoxLayout(panel1_);
    pl->setContentsMargins(4, 2, 4, 2);
    bitBtn1_ = new QPushButton(U("Больше"));
    bitBtn1_->setObjectName("BitBtn1");
    bitBtn2_ = new QPushButton(U("Меньше"));
    bitBtn2_->setObjectName("BitBtn2");
    pl->addWidget(bitBtn1_);
    pl->addWidget(bitBtn2_);
    pl->addStretch(1);
    connect(bitBtn1_, &QPushButton::clicked, this, &TFormImage::BitBtn1Click);
    connect(bitBtn2_, &QPushButton::clicked, this, &TFormImage::BitBtn2Click);
    layout->addWidget(panel1_);
    // The picture scrolls below the buttons when the screen is too small.
    scrollBox_ = new QScrollArea;
    scrollBox_->setObjectName("ScrollBox");
    scrollBox_->setFrameShape(QFrame::NoFrame);
    auto* pictures = new QWidget;
    auto* pictureLayout = new QVBoxLayout(pictures);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->setSpacing(0);
    image1_ = new QLabel;
    image1_->setObjectName("Image1");
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image2_ = new QLabel;
    image2_->setObjectName("Image2");
    image2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureLayout->addWidget(image1_);
    pictureLayout->addWidget(image2_);
    image2_->hide();
    scrollBox_->setWidget(pictures);
    layout->addWidget(scrollBox_, 1);
    imageViewer = this;
}

void TFormImage::PlaceWindow(int rightGap) {
    // The frame the window manager puts round the window, as last seen; a
    // title bar's worth until the window has been shown framed.
    if (isVisible() && frameGeometry() != geometry()) {
        const QRect f = frameGeometry(), g = geometry();
        frame_ = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                          f.bottom() - g.bottom());
    } else if (frame_.isNull()) {
        const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        frame_ = QMargins(4, title + 4, 4, 4);
    }
    const QRect avail = AvailableRect(this);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBox_);
    const TViewerClient c =
        ViewerClient(state_.Layout, shown_.width(), shown_.height(), panel1_->sizeHint().height(),
                     avail.width() - frame_.left() - frame_.right(),
                     avail.height() - frame_.top() - frame_.bottom(), bar);
    scrollBox_->widget()->setFixedSize(shown_.size());
    scrollBox_->setHorizontalScrollBarPolicy(c.horizontalBar ? Qt::ScrollBarAlwaysOn
                                                             : Qt::ScrollBarAlwaysOff);
    scrollBox_->setVerticalScrollBarPolicy(c.verticalBar ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff);
    setFixedSize(c.width, c.height);
    // At the screen's right edge (less the gap), never off its left or
    // bottom edge.
    const int outerW = c.width + frame_.left() + frame_.right();
    const int outerH = c.height + frame_.top() + frame_.bottom();
    const int x = std::max(avail.left(), avail.right() + 1 - rightGap - outerW);
    const int y =
        std::clamp(pos().y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - outerH));
    move(x, y);
}

bool TFormImage::ShowPicture() {
    state_.PanelHeight = panel1_->sizeHint().height();
    state_.ScreenHeight = AvailableRect(this).height();
    if (state_.IsJpeg()) {
        state_.SyncButtons();
        return ShowJpeg();
    }
    if (state_.WindowHeight <= 0) state_.WindowHeight = std::min(480, state_.ScreenHeight);
    state_.BitBtn1Enabled = state_.BitBtn2Enabled = true;
    return ShowBitmap();
}

bool TFormImage::ShowJpeg() {
    TBitmap32 picture;
    if (!LoadJpegFile(state_.PicturePath(), state_.ScaleDenominator(), picture)) return false;
    shown_ = ToQImage(picture);
    image2_->hide();
    image1_->show();
    image1_->setPixmap(QPixmap::fromImage(shown_));
    bitBtn1_->setEnabled(state_.BitBtn1Enabled);
    bitBtn2_->setEnabled(state_.BitBtn2Enabled);
    image1_->setFixedSize(shown_.size());
    PlaceWindow(10);
    return true;
}

bool TFormImage::ShowBitmap() {
    TBitmap32 picture;
    if (!LoadBitmapFile(state_.PicturePath(), picture) || picture.Empty()) return false;
    const QImage bitmap = ToQImage(picture);
    const int panelH = panel1_->sizeHint().height();
    const int clientH = std::max(1, state_.WindowHeight - panelH);
    const int clientW = std::max(1, RoundI(clientH * bitmap.width() / double(bitmap.height())));
    shown_ = bitmap.scaled(clientW, clientH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image1_->hide();
    image2_->show();
    image2_->setFixedSize(shown_.size());
    image2_->setPixmap(QPixmap::fromImage(shown_));
    bitBtn1_->setEnabled(true);
    bitBtn2_->setEnabled(true);
    PlaceWindow(0);
    return true;
}

void TFormImage::BitBtn1Click() {
    state_.BitBtn1Click();
    ShowPicture();
}

void TFormImage::BitBtn2Click() {
    state_.BitBtn2Click();
    ShowPicture();
}

void TFormImage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The viewer goes away when the user turns to another window.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) hide();
}

// ---- About box ----

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(U("О программе"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(U("СХЕМА ВЕНТИЛЯЦИИ"));
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* name = new QLabel("Arvalen");
    name->setObjectName("ProductName");
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* version = new QLabel(U("Версия 1.0"));
    version->setObjectName("Version");
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    // No link: the program has no web page, as the data window's
    // "Страница в Интернете" says too.
    auto* label2 = new QLabel(ToQString(NoWebPageText()));
    label2->setObjectName("Label2");
    label2->setAlignment(Qt::AlignCenter);
    label2->setTextFormat(Qt::PlainText);
    layout->addWidget(label2);
    auto* ok = new QPushButton("OK");
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

// ---- Symbol editor ----

TFormEditUO::TFormEditUO(TIDrawWin& w, QWidget* parent) : QWidget(parent, Qt::Window), w_(w) {
    setObjectName("FormEditUO");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar;
    QMenu* file = bar->addMenu(U("Файл"));
    auto add = [&](const char* name, const char* caption, void (TFormEditUO::*click)()) {
        QAction* a = file->addAction(U(caption));
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, Safely([this, click] { (this->*click)(); }));
    };
    add("FUOFileNew", "Новый", &TFormEditUO::FUOFileNewClick);
    add("FUOFileOpen", "Загрузить", &TFormEditUO::FUOFileOpenClick);
    add("FUOFileSave", "Сохранить", &TFormEditUO::FUOFileSaveClick);
    add("FUOFileSaveAs", "Сохранить как", &TFormEditUO::FUOFileSaveAsClick);
    layout->setMenuBar(bar);
    editorUO_ = new TPlainTextEditor;
    editorUO_->setObjectName("EditorUO");
    editorUO_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    editorUO_->setFont(mono);
    layout->addWidget(editorUO_);
    resize(520, 600);
    symbolEditor = this;
    FormCreate();
    connect(editorUO_, &QPlainTextEdit::textChanged, this, [this] {
        if (showing_) return;
        TakeMemo();
        w_.DrawingModified = true;
    });
}

void TFormEditUO::FormCreate() {
    TSymbolEditorState& s = w_.SymbolEditor;
    s.Doc = &w_.Doc();
    s.LibraryChanged = [this] { w_.RedrawPlan(); };
    // A drawing loaded brings its own symbols into the memo.
    s.LinesReplaced = [this] { ShowLines(); };
    s.FormCreate();
    ShowLines();
}

void TFormEditUO::ShowLines() {
    TSymbolEditorState& s = w_.SymbolEditor;
    QStringList lines;
    for (const std::string& l : s.Lines) lines << ToQString(l);
    showing_ = true;
    editorUO_->setPlainText(lines.join('\n'));
    showing_ = false;
    ShowCaption();
}

void TFormEditUO::ShowCaption() {
    // Before a file is named the window says what it edits.
    const std::string& c = w_.SymbolEditor.Caption;
    setWindowTitle(c.empty() ? U("Редактор условных обозначений") : ToQString(c));
}

void TFormEditUO::TakeMemo() {
    TSymbolEditorState& s = w_.SymbolEditor;
    s.Lines.clear();
    const QString text = editorUO_->toPlainText();
    if (!text.isEmpty())
        for (const QString& l : text.split('\n')) s.Lines.push_back(FromQString(l));
}

void TFormEditUO::RunFileCommand(void (TSymbolEditorState::*command)()) {
    TSymbolEditorState& s = w_.SymbolEditor;
    const std::string before = s.Text();
    s.ProgramDirPath = w_.ProgramDirPath;
    (s.*command)();
    // A save leaves the text as typed: the cursor, scroll and undo stay.
    if (s.Text() == before) return ShowCaption();
    w_.DrawingModified = true;
    ShowLines();
}

void TFormEditUO::FUOFileNewClick() {
    RunFileCommand(&TSymbolEditorState::FUOFileNewClick);
}

void TFormEditUO::FUOFileOpenClick() {
    RunFileCommand(&TSymbolEditorState::FUOFileOpenClick);
}

void TFormEditUO::FUOFileSaveClick() {
    RunFileCommand(&TSymbolEditorState::FUOFileSaveClick);
}

void TFormEditUO::FUOFileSaveAsClick() {
    RunFileCommand(&TSymbolEditorState::FUOFileSaveAsClick);
}

// ---- Archive extraction ----

TFormExtract::TFormExtract(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("FormExtract");
    setWindowTitle(U("Пути для загрузки базы"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(U("Путь куда будут помещены данные")));
    editEx_ = new QLineEdit;
    editEx_->setObjectName("EditEx");
    layout->addWidget(editEx_);
    layout->addWidget(new QLabel(U("Имя файла")));
    editFile_ = new QLineEdit;
    editFile_->setObjectName("EditFile");
    layout->addWidget(editFile_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(U("Начать"));
    ok->setObjectName("BitBtnOk");
    auto* cancel = new QPushButton(U("Отмена"));
    cancel->setObjectName("BitBtnCancel");
    connect(ok, &QPushButton::clicked, this, &TFormExtract::BitBtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &TFormExtract::BitBtnCancelClick);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(420, 170);
    extractWindow = this;
}

void TFormExtract::BitBtnOkClick() {
    state_.EditEx = FromQString(editEx_->text());
    state_.EditFile = FromQString(editFile_->text());
    state_.Closed = false;
    state_.BitBtnOkClick();
    if (state_.Closed) close();
}

void TFormExtract::BitBtnCancelClick() {
    state_.BitBtnCancelClick();
    close();
}

} // namespace arv
