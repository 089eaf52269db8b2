// The main drawing window: the plan with its scroll bars, the status bar, the
// menus of files, bookmarks, view and schemes, the tool bar and the blinking
// marker's timer. Everything it does is the controller's (TIDrawWin); the
// form paints the plan and hands the controller the user's choices.
#pragma once

#include "app/DrawWin.h"
#include "calc/window/DataWindowController.h"

#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <vector>

#include <map>
#include <memory>
#include <string>

class QAction;
class QTabWidget;
class QTableWidget;
class QComboBox;
class QDockWidget;
class QListWidget;
class QLabel;
class QMenu;
class QMouseEvent;
class QPainter;
class QScrollBar;
class QTimer;
class QWindow;
class QToolBar;

namespace arv {

class TAboutBox;
class TPlanWidget;
class TPrintDlg;
class TQtPropDialogs;
class TRxDrawGrid;
class TRxDrawGridWidget;
class TQtCanvas;
class TPlanPainter;

// What the desktop's session manager offers when the session ends.
class ISessionEnd {
public:
    virtual ~ISessionEnd() = default;
    // The user may be asked now.
    virtual bool AllowsInteraction() = 0;
    // The end of the session is called off.
    virtual void Cancel() = 0;
};

class TIDrawWinForm : public QMainWindow, public IDrawWinView {
    Q_OBJECT
public:
    explicit TIDrawWinForm(TIDrawWin& controller, QWidget* parent = nullptr);
    ~TIDrawWinForm() override;
    TPrintDlg* PrintDlg() const { return printDlg_; }

    TIDrawWin& Controller() { return w_; }
    // Runs the controller's start-up with the drawing area's size.
    void FormCreate(const std::vector<std::string>& args);
    // The about box, made when not shown yet.
    TAboutBox* AboutBox();
    QAction* Action(const std::string& name) const;
    // Check mark and enabled state of a command, when the form has it.
    void CheckAction(const std::string& name, bool on) const;
    void EnableAction(const std::string& name, bool on) const;
    // The picture of the plan as last painted.
    const QImage& PlanImage() const { return plan_; }
    QWidget* PaintBox1() const;
    QTimer* Timer1() const { return timer_; }
    // Paints the whole plan into the picture (the grid too unless exporting).
    void PaintPlan(QImage& image, bool exportRendering);

    // IDrawWinView.
    void RedrawPlan() override;
    bool RenderPlanImage(int width, int height, TBitmap32& out) override;
    bool AskBookmarkName(std::string& name) override;
    int ChooseBookmarkToDelete(const std::vector<std::string>& names) override;
    void CloseWindow() override;
    void ShowWindow() override;
    void DrawOnPlan(const std::function<void(TCanvas&)>& draw) override;
    bool AskText(std::string& text, TFontRecord& font) override;
    void ShowPropertyPanel() override;
    void RedrawMoving(const TDrawPart& moving) override;

    // Called once the plan widget has a size.
    void PlanResized(int width, int height);
    void PlanMousePressed();
    // The desktop session is saved (and may end): the close's questions when
    // the user may be asked, and the saves they answer; "Отмена" calls the
    // end off. The program goes on; should the session end, its quit closes
    // the program without asking again, unless the user did something in
    // the program since.
    void CommitData(ISessionEnd& session);
    // Mouse events of the drawing area: 0 press, 1 move, 2 release.
    void PlanMouse(int event, QMouseEvent* e);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* AddAction(QMenu* menu, const char* name, const char* caption,
                       std::function<void()> click, bool checkable = false);
    void BuildMenus();
    void BuildToolBar();
    // The task, result-display and service commands.
    void BuildTaskMenus(QMenu* view);
    void BuildTaskToolButtons(QToolBar* bar);
    void RefreshTaskTexts();
    void RebuildBookmarkMenu();
    void Run(const std::function<void()>& command);
    void RefreshTexts();
    void PaintMarker(QImage& image);
    // What the plan's picture holds under and over the plan: the background
    // and grid points of rows [top, bottom), and the marks drawn after it.
    // The background and the grid's points under the plan.
    struct TPlanUnderlay {
        QColor back, grid;
        std::vector<QPoint> points;
    };
    TPlanUnderlay Underlay(bool grid);
    static void PaintUnderlay(QPainter& painter, int top, int bottom, int width,
                              const TPlanUnderlay& underlay);
    void PaintOverlays(QImage& image);
    // The red ring round the handle the move tool holds.
    void PaintHandleRing(QImage& image);
    // Shows the picture just painted and what the paint noticed.
    void PlanPainted();
    // Scheme views, view toggles and options (DrawWinFormSchemes.cpp).
    void BuildViewToggles(QMenu* view);
    void BuildSchemeMenus();
    void RefreshSchemeChecks();

    // Calculation link: its menu and the log list (DrawWinFormCalcLink.cpp).
    void BuildCalcLink();
    void RefreshLogger();
    // The window's activation runs the check; a message box of the window's
    // own closing is no activation, else a failed check would never stop.
    void FocusWindowChanged(QWindow* window);
    QListWidget* logger_ = nullptr;
    TActivationTracker activation_;
    bool activatedOnce_ = false;

    // Printing and the small windows (DrawWinFormPrint.cpp).
    void BuildPrintAndSmallWindows();
    void RefreshPrintControls();
    void PrintSetup1Click();
    void MaboutClick();
    TPrintDlg* printDlg_ = nullptr;
    QComboBox* comboBox2_ = nullptr;
    // Tool modes (DrawWinFormTools.cpp): their menu and buttons, and the
    // buttons and cursor brought in line with the controller.
    void BuildToolModes();
    void SyncToolModes();

    // Route windows: the "Маршруты" menu, the route tool bar and picking on
    // the plan (DrawWinFormRoutes.cpp); the state is private to that file.
    void BuildRoutes();
    std::shared_ptr<void> routesUi_;

    TIDrawWin& w_;
    TPlanWidget* plan1_ = nullptr;
    QScrollBar* scrollBar1_ = nullptr;
    QScrollBar* scrollBar2_ = nullptr;
    std::array<QLabel*, 3> panels_{};
    QLabel* panelSost_ = nullptr;
    QComboBox* layerBox_ = nullptr;
    QMenu* bookmarks_ = nullptr;
    QTimer* timer_ = nullptr;
    QImage plan_;
    std::unique_ptr<TPlanPainter> planPainter_;
    // Texts are measured on this canvas outside a paint.
    QImage measureImage_;
    std::unique_ptr<TQtCanvas> measureCanvas_;
    std::map<std::string, QAction*> actions_;
    bool created_ = false;
    // Property inspector (DrawWinFormProps.cpp).
    void BuildPropPanel();
    void SyncPropPanel();
    // The panel, its button and its page as the controller has them.
    void SyncPanel2();
    std::unique_ptr<TRxDrawGrid> gridPropModel_;
    std::unique_ptr<TQtPropDialogs> propDialogs_;
    TRxDrawGridWidget* gridProp_ = nullptr;
    QWidget* panel2_ = nullptr;
    QLabel* nameStat_ = nullptr;
    QTabWidget* pageBook_ = nullptr;
    QTableWidget* datagrid_ = nullptr;
    // The close's questions; true when the program may close.
    bool AskBeforeClosing();
    bool closing_ = false;
    // The last save of the session asked the close's questions, and nothing
    // was done in the program since; the application's quit under way comes
    // from the session's end.
    bool sessionAnswered_ = false;
    bool sessionQuit_ = false;
    int shownCursor_ = -1;
};

} // namespace arv
