#include "app/ui/DrawWinForm.h"
#include "app/RxDrawGrid.h"
#include "app/ui/PlanPainter.h"
#include "app/ui/PropDialogsQt.h"
#include "app/ui/ToolIcons.h"
#include "document/Constants.h"
#include "document/EditGeometry.h"
#include "document/WindowHost.h"
#include "platform/qt/QtCanvas.h"

#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSessionManager>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

#ifndef QT_NO_SESSIONMANAGER
class TQtSessionEnd : public ISessionEnd {
public:
    explicit TQtSessionEnd(QSessionManager& manager) : m_(manager) {}
    bool AllowsInteraction() override { return m_.allowsInteraction(); }
    // Qt ends the interaction after the request, with the cancel in it.
    void Cancel() override { m_.cancel(); }

private:
    QSessionManager& m_;
};
#endif

} // namespace

// The drawing area: shows the plan picture and reports its size and presses.
class TPlanWidget : public QWidget {
public:
    explicit TPlanWidget(TIDrawWinForm& form) : form_(form) {
        setObjectName("PaintBox1");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setMinimumSize(100, 100);
        // Rubber bands follow the mouse between clicks.
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QImage& plan = form_.PlanImage();
        // Until the first plan is painted (a message box may come first) and
        // while a resize runs ahead of it, the rest shows the background.
        if (plan.width() < width() || plan.height() < height())
            p.fillRect(rect(), ColorRefToQColor(WindowState().BackColor));
        p.drawImage(0, 0, plan);
    }
    void resizeEvent(QResizeEvent*) override { form_.PlanResized(width(), height()); }
    void mousePressEvent(QMouseEvent* e) override { form_.PlanMouse(0, e); }
    void mouseMoveEvent(QMouseEvent* e) override { form_.PlanMouse(1, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { form_.PlanMouse(2, e); }

private:
    TIDrawWinForm& form_;
};

TIDrawWinForm::TIDrawWinForm(TIDrawWin& controller, QWidget* parent)
    : QMainWindow(parent), w_(controller) {
    setObjectName("IDrawWin");
    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    panelSost_ = new QLabel;
    panelSost_->setObjectName("PanelSost");
    panelSost_->setFrameShape(QFrame::Panel);
    panelSost_->setFrameShadow(QFrame::Sunken);
    panelSost_->setMargin(2);
    panelSost_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    plan1_ = new TPlanWidget(*this);
    scrollBar1_ = new QScrollBar(Qt::Horizontal);
    scrollBar1_->setObjectName("ScrollBar1");
    scrollBar2_ = new QScrollBar(Qt::Vertical);
    scrollBar2_->setObjectName("ScrollBar2");
    for (QScrollBar* bar : {scrollBar1_, scrollBar2_}) {
        bar->setRange(0, 100);
        bar->setPageStep(10);
        bar->setValue(50);
    }
    grid->addWidget(panelSost_, 0, 0, 1, 2);
    grid->addWidget(plan1_, 1, 0);
    grid->addWidget(scrollBar2_, 1, 1);
    grid->addWidget(scrollBar1_, 2, 0);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    setCentralWidget(central);

    // Jog controls: every step moves the view and the thumb goes back.
    auto jog = [this](QScrollBar* bar, bool horizontal) {
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, horizontal](int action) {
            int code = -1;
            if (action == QAbstractSlider::SliderSingleStepSub) code = 0;
            if (action == QAbstractSlider::SliderSingleStepAdd) code = 1;
            if (action == QAbstractSlider::SliderPageStepSub) code = 2;
            if (action == QAbstractSlider::SliderPageStepAdd) code = 3;
            int pos = 50;
            Run([&] {
                if (horizontal)
                    w_.ScrollBar1Scroll(code, pos);
                else
                    w_.ScrollBar2Scroll(code, pos);
            });
            bar->setSliderPosition(pos);
        });
        connect(bar, &QScrollBar::sliderReleased, this, [bar] { bar->setValue(50); });
    };
    jog(scrollBar1_, true);
    jog(scrollBar2_, false);

    const int widths[3] = {150, 200, 50};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel;
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        // The last panel runs to the end of the bar, as status bars do: the
        // offset of a line being drawn is longer than its 50 pixels.
        if (i < 2) {
            panels_[i]->setFixedWidth(widths[i]);
            statusBar()->addWidget(panels_[i]);
        } else {
            panels_[i]->setMinimumWidth(widths[i]);
            statusBar()->addWidget(panels_[i], 1);
        }
    }
    statusBar()->setObjectName("StatusBar1");

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, [this] { Run([this] { w_.Timer1Timer(); }); });

    BuildMenus();
    BuildToolBar();
    BuildCalcLink();
    BuildPrintAndSmallWindows();
    BuildToolModes();
    BuildRoutes();
    BuildPropPanel();
    for (QToolBar* bar : findChildren<QToolBar*>())
        if (bar->window() == this) MakeIconToolBar(bar);
    planPainter_ = std::make_unique<TPlanPainter>();
    measureImage_ = QImage(16, 16, QImage::Format_RGB32);
    measureCanvas_ = std::make_unique<TQtCanvas>(measureImage_);
    w_.SetMeasuringCanvas(measureCanvas_.get());
    w_.SetView(this);
#ifndef QT_NO_SESSIONMANAGER
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        TQtSessionEnd session(manager);
        CommitData(session);
    });
#endif
    // The end of the session reaches the program as the application's quit.
    qApp->installEventFilter(this);
}

TIDrawWinForm::~TIDrawWinForm() {
    // The inspector's widgets go before the grid model they show.
    w_.SetPropDialogs(nullptr);
    w_.Doc().OnChange = nullptr;
    delete panel2_;
    w_.SetView(nullptr);
    w_.SetMeasuringCanvas(nullptr);
}

QWidget* TIDrawWinForm::PaintBox1() const {
    return plan1_;
}

QAction* TIDrawWinForm::AddAction(QMenu* menu, const char* name, const char* caption,
                                  std::function<void()> click, bool checkable) {
    auto* a = menu->addAction(U(caption));
    a->setObjectName(name);
    a->setCheckable(checkable);
    if (click)
        connect(a, &QAction::triggered, this, [this, click] { Run(click); });
    else
        a->setEnabled(false);
    actions_[name] = a;
    return a;
}

QAction* TIDrawWinForm::Action(const std::string& name) const {
    auto i = actions_.find(name);
    return i == actions_.end() ? nullptr : i->second;
}

void TIDrawWinForm::CheckAction(const std::string& name, bool on) const {
    if (QAction* a = Action(name)) a->setChecked(on);
}

void TIDrawWinForm::EnableAction(const std::string& name, bool on) const {
    if (QAction* a = Action(name)) a->setEnabled(on);
}

void TIDrawWinForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(U("Файл"));
    AddAction(file, "New1", "Новый", [this] { w_.New1Click(); })->setShortcut(QKeySequence::New);
    AddAction(file, "Open1", "Открыть...", [this] {
        w_.Open1Click();
    })->setShortcut(QKeySequence::Open);
    AddAction(file, "Save1", "Сохранить", [this] {
        w_.Save1Click();
    })->setShortcut(QKeySequence::Save);
    AddAction(file, "SaveAs1", "Сохранить как...", [this] { w_.SaveAs1Click(); });
    file->addSeparator();
    QMenu* imp = file->addMenu(U("Импорт"));
    AddAction(imp, "Imp_Tresk1", "из Tresk", [this] { w_.Imp_Tresk1Click(); });
    AddAction(imp, "Imp_Veltor", "из Вельтории", nullptr);
    QMenu* exp = file->addMenu(U("Экспорт"));
    AddAction(exp, "Exp_Tresk1", "в Tresk", [this] { w_.Exp_Tresk1Click(); })->setEnabled(false);
    AddAction(exp, "Exp_Veltor", "в Вельторию", [this] { w_.Exp_VeltorClick(); });
    file->addSeparator();
    AddAction(file, "Exit1", "Выход", [this] { w_.Exit1Click(); });

    bookmarks_ = menuBar()->addMenu(U("Избранное"));
    bookmarks_->setObjectName("MBookmarks");
    connect(bookmarks_, &QMenu::aboutToShow, this, [this] { RebuildBookmarkMenu(); });
    RebuildBookmarkMenu();

    QMenu* view = menuBar()->addMenu(U("Вид"));
    BuildViewToggles(view);
    view->addSeparator();
    AddAction(view, "ZoomIn", "Увеличить", [this] { w_.ZoomInClick(); });
    AddAction(view, "ZoomOut", "Уменьшить", [this] { w_.ZoomOutClick(); });
    AddAction(view, "ZoomRect", "Увеличить область", [this] { w_.ZoomRectClick(); });
    AddAction(view, "ViewAll", "Показать всё", [this] { w_.ViewAllClick(); });
    BuildTaskMenus(view);

    BuildSchemeMenus();
}

void TIDrawWinForm::BuildToolBar() {
    QToolBar* bar = addToolBar(U("Инструменты"));
    bar->setObjectName("ToolBar1");
    for (const char* name : {"ZoomIn", "ZoomOut", "ZoomRect", "ViewAll"})
        bar->addAction(actions_[name]);
    bar->addSeparator();
    auto* data = bar->addAction(U("Окно расчетных данных"));
    data->setObjectName("GenButton");
    w_.ShowDataWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "Form1") ShowWindowRestored(*w);
    };
    connect(data, &QAction::triggered, this, [this] { Run([this] { w_.GenButtonClick(); }); });
    actions_["GenButton"] = data;
    BuildTaskToolButtons(bar);
    bar->addSeparator();
    layerBox_ = new QComboBox;
    layerBox_->setObjectName("ComboBox1");
    layerBox_->setMinimumWidth(120);
    connect(layerBox_, &QComboBox::activated, this, [this](int index) {
        w_.LayerBoxIndex = index;
        WindowState().CurrentLayer = index;
    });
    bar->addWidget(layerBox_);
}

void TIDrawWinForm::RebuildBookmarkMenu() {
    bookmarks_->clear();
    AddAction(bookmarks_, "MAddBook", "Добавить в избранное  ...", [this] { w_.MAddBookClick(); });
    AddAction(bookmarks_, "MDelBook", "Удалить из избранного ...", [this] { w_.MDelBookClick(); });
    std::vector<std::string> names = w_.MBookmarksClick();
    if (!names.empty()) bookmarks_->addSeparator();
    for (size_t i = 0; i < names.size(); ++i) {
        auto* a = bookmarks_->addAction(ToQString(names[i]));
        const int tag = static_cast<int>(i) + 1;
        a->setData(tag);
        connect(a, &QAction::triggered, this,
                [this, tag] { Run([this, tag] { w_.OpenBookmarkClick(tag); }); });
    }
}

void TIDrawWinForm::FormCreate(const std::vector<std::string>& args) {
    // The drawing area takes its size before the drawing is fitted to it.
    if (!isVisible()) resize(1200, 800);
    // Until now the drawing area's size changes were not the controller's.
    layout()->activate();
    centralWidget()->layout()->activate();
    w_.PaintWidth = std::max(plan1_->width(), 1);
    w_.PaintHeight = std::max(plan1_->height(), 1);
    w_.FormCreate(args);
    created_ = true;
    RefreshTexts();
}

void TIDrawWinForm::Run(const std::function<void()>& command) {
    // A command that failed may have changed the plan part way.
    if (!RunCommandSafely(command)) RunCommandSafely([this] { RedrawPlan(); });
    RefreshTexts();
    if (w_.TimerEnabled && !timer_->isActive()) timer_->start();
    if (!w_.TimerEnabled) timer_->stop();
}

void TIDrawWinForm::RefreshTexts() {
    setWindowTitle(ToQString(w_.Caption));
    for (int i = 0; i < 3; ++i) panels_[i]->setText(ToQString(w_.StatusPanels[i]));
    panelSost_->setText(ToQString(w_.PanelSost));
    RefreshSchemeChecks();
    RefreshTaskTexts();
    QStringList items;
    for (const std::string& s : w_.LayerBoxItems) items << ToQString(s);
    QStringList current;
    for (int i = 0; i < layerBox_->count(); ++i) current << layerBox_->itemText(i);
    if (items != current) {
        layerBox_->clear();
        layerBox_->addItems(items);
    }
    layerBox_->setCurrentIndex(w_.LayerBoxIndex);
    RefreshPrintControls();
    SyncToolModes();
    SyncPanel2();
}

void TIDrawWinForm::PaintMarker(QImage& image) {
    if (!w_.TimerEnabled) return;
    arv::PaintMarker(image, w_.Doc(), w_.MarkerPoint, w_.MarkerNumber, w_.MarkerKind,
                     w_.MarkerColor);
}

TIDrawWinForm::TPlanUnderlay TIDrawWinForm::Underlay(bool grid) {
    // Worked out here, on the window's thread: the bands that paint it run
    // while the drawing pass still works on the document.
    TPlanUnderlay u;
    u.back = ColorRefToQColor(w_.Settings.BackColor);
    TGCollFigure& doc = w_.Doc();
    const int step = w_.Settings.GridStep;
    if (!grid || !w_.VGrid || step <= 0 || RoundI(step * doc.scale) < 3) return u;
    u.grid = ColorRefToQColor(w_.Settings.GridColor);
    const TRect& v = doc.viewRect;
    // The points clicks snap to.
    const TPoint lt = SnapToGrid({v.left, v.top}, step);
    const TPoint rb = SnapToGrid({v.right, v.bottom}, step);
    const int32_t x0 = lt.x, x1 = rb.x, y0 = lt.y, y1 = rb.y;
    for (int64_t y = y0; y > y1; y -= step)
        for (int64_t x = x0; x < x1; x += step) {
            const TPoint s = doc.WorldXYToScreen(static_cast<int32_t>(x), static_cast<int32_t>(y));
            u.points.emplace_back(s.x, s.y);
        }
    return u;
}

void TIDrawWinForm::PaintUnderlay(QPainter& p, int top, int bottom, int width,
                                  const TPlanUnderlay& u) {
    p.fillRect(QRect(0, top, width, bottom - top), u.back);
    if (u.points.empty()) return;
    p.setPen(u.grid);
    for (const QPoint& point : u.points)
        if (point.y() >= top && point.y() < bottom) p.drawPoint(point);
}

void TIDrawWinForm::PaintPlan(QImage& image, bool exportRendering) {
    const int width = image.width();
    const TPlanUnderlay underlay = Underlay(!exportRendering);
    auto paintUnderlay = [&](QPainter& p, int top, int bottom) {
        PaintUnderlay(p, top, bottom, width, underlay);
    };
    if (exportRendering) return planPainter_->PaintWritten(image, w_.Doc(), paintUnderlay);
    planPainter_->Paint(image, w_.Doc(), paintUnderlay);
    PaintOverlays(image);
}

void TIDrawWinForm::PaintOverlays(QImage& image) {
    TGCollFigure& doc = w_.Doc();
    // Selection marks of the current figure.
    if (TGCustomFigure* f = doc.CurrentFigure()) {
        QPainter m(&image);
        TRect b = doc.WorldRectToScreen(f->box);
        QRect box = QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom)).normalized();
        m.setPen(Qt::black);
        m.setBrush(Qt::white);
        auto mark = [&](int x, int y) { m.drawRect(x, y, 5, 5); };
        mark(box.left(), box.top());
        mark(box.right() - 5, box.top());
        mark(box.left(), box.bottom() - 5);
        mark(box.right() - 5, box.bottom() - 5);
        if (box.height() >= box.width()) {
            mark(box.left(), box.center().y() - 2);
            mark(box.right() - 5, box.center().y() - 2);
        } else {
            mark(box.center().x() - 2, box.top());
            mark(box.center().x() - 2, box.bottom() - 5);
        }
        m.setBrush(Qt::NoBrush);
        m.setPen(QPen(Qt::black, 1, Qt::DotLine));
        m.drawRect(box);
    }
    PaintMarker(image);
}

void TIDrawWinForm::PaintHandleRing(QImage& image) {
    if (!w_.HandleHeld()) return;
    TGCollFigure& doc = w_.Doc();
    // The document's marker size: the ring outlines a held node.
    const int r = RoundI(doc.settings.nodeSize * doc.scale / 2);
    const TPoint c = doc.WorldToScreen(w_.Edit.MovingPoint);
    QPainter p(&image);
    p.setPen(QPen(Qt::red, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(c.x, c.y), r, r);
}

void TIDrawWinForm::RedrawPlan() {
    if (plan_.size() != plan1_->size() || plan_.isNull())
        plan_ = QImage(std::max(plan1_->width(), 1), std::max(plan1_->height(), 1),
                       QImage::Format_RGB32);
    PaintPlan(plan_, false);
    PaintHandleRing(plan_);
    PlanPainted();
}

void TIDrawWinForm::RedrawMoving(const TDrawPart& moving) {
    if (plan_.size() != plan1_->size() || plan_.isNull()) return RedrawPlan();
    const int width = plan_.width();
    const TPlanUnderlay underlay = Underlay(true);
    planPainter_->PaintMoving(plan_, w_.Doc(), moving, [&](QPainter& p, int top, int bottom) {
        PaintUnderlay(p, top, bottom, width, underlay);
    });
    PaintOverlays(plan_);
    PaintHandleRing(plan_);
    // A mouse move of a drag: the command around it refreshes the texts,
    // and the full repaint at the release reports what the drawing met.
    plan1_->update();
}

void TIDrawWinForm::PlanPainted() {
    plan1_->update();
    RefreshTexts();
    // Failures met while painting are told once the paint is over.
    QTimer::singleShot(0, this, [this] { w_.Doc().ReportDrawMessages(); });
}

bool TIDrawWinForm::RenderPlanImage(int width, int height, TBitmap32& out) {
    QImage image(width, height, QImage::Format_RGB32);
    PaintPlan(image, true);
    out = TBitmap32(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) out.SetPixel(x, y, line[x] | 0xFF000000u);
    }
    return true;
}

bool TIDrawWinForm::AskBookmarkName(std::string& name) {
    bool ok = false;
    QString text = QInputDialog::getText(this, U("Добавить в избранное"), U("Название"),
                                         QLineEdit::Normal, ToQString(name), &ok);
    if (!ok) return false;
    name = FromQString(text);
    return true;
}

int TIDrawWinForm::ChooseBookmarkToDelete(const std::vector<std::string>& names) {
    QDialog dialog(this);
    dialog.setWindowTitle(U("Удалить из избранного"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget;
    for (const std::string& n : names) list->addItem(ToQString(n));
    if (!names.empty()) list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(U("Удалить"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return list->currentRow();
}

void TIDrawWinForm::CloseWindow() {
    close();
}

void TIDrawWinForm::ShowWindow() {
    ShowWindowRestored(*this);
}

void TIDrawWinForm::PlanResized(int width, int height) {
    if (!created_) return;
    Run([&] { w_.FormResize(width, height); });
}

void TIDrawWinForm::PlanMousePressed() {
    Run([this] { w_.PlanMouseDown(); });
}

bool TIDrawWinForm::AskBeforeClosing() {
    // The session's end asked when the session was saved; the answers hold
    // while nothing was done since.
    if (sessionQuit_ && sessionAnswered_) return true;
    // Every question comes before the settings file is written, so that a
    // settings file that cannot be written does not cut them short.
    bool may = false;
    Run([&] { may = w_.FormCloseQuery(); });
    return may;
}

void TIDrawWinForm::CommitData(ISessionEnd& session) {
    // The session is saved here; it ends, if it does, with the application's
    // quit afterwards ("save the session now" leaves the program running).
    // Qt closes no window here: without the questions the unsaved work
    // would be lost at that quit.
    sessionAnswered_ = false;
    if (closing_ || !session.AllowsInteraction()) return;
    bool may = false;
    Run([&] { may = w_.FormCloseQuery(); });
    if (!may) {
        session.Cancel();
        return;
    }
    sessionAnswered_ = true;
}

bool TIDrawWinForm::eventFilter(QObject* watched, QEvent* event) {
    // The answers given when the session was saved hold only for the work
    // they were given for: whatever the user does afterwards may change
    // something, and the session's end then asks again about what is unsaved.
    if (sessionAnswered_) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Drop:
            sessionAnswered_ = false;
            break;
        default:
            break;
        }
    }
    // The application quits (the session ends): this window closes first and
    // takes the others with it, so that none of them asks on its own.
    if (watched == qApp && event->type() == QEvent::Quit && !closing_) {
        sessionQuit_ = true;
        const bool closed = close();
        sessionQuit_ = false;
        // "Отмена" at the close's question keeps the program running.
        if (!closed) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TIDrawWinForm::closeEvent(QCloseEvent* event) {
    if (closing_) return event->accept();
    if (!AskBeforeClosing()) return event->ignore();
    closing_ = true;
    // The route window closes only once every answer let the program close:
    // a cancel at the main question keeps it with its routes.
    Run([this] { w_.CloseDrawingCompanions(); });
    RunCommandSafely([this] { w_.FormClose(); });
    plan1_->setEnabled(false);
    event->accept();
    // The program ends with its main window: the other windows close too,
    // the report editor without asking again.
    ReportEditorHost().CloseWithProgram();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
}

void TIDrawWinForm::keyPressEvent(QKeyEvent* event) {
    const bool numpad = event->modifiers() & Qt::KeypadModifier;
    int key = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        key = VK_LEFT;
        break;
    case Qt::Key_Right:
        key = VK_RIGHT;
        break;
    case Qt::Key_Up:
        key = VK_UP;
        break;
    case Qt::Key_Down:
        key = VK_DOWN;
        break;
    case Qt::Key_Escape:
        key = VK_ESCAPE;
        break;
    case Qt::Key_Plus:
        key = '+';
        break;
    case Qt::Key_Minus:
        key = '-';
        break;
    default:
        return QMainWindow::keyPressEvent(event);
    }
    Run([&] { w_.FormKeyDown(key, numpad); });
}

void TIDrawWinForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (created_) Run([this] { w_.FormResize(plan1_->width(), plan1_->height()); });
}

void TIDrawWinForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
}

} // namespace arv
