// The network data window: eight notebook pages with the tables, fields and
// reports, the menus and the tool bar. Everything it does is the
// controller's; the window shows the controller's state and hands it the
// user's choices.
#pragma once

#include "calc/window/DataWindowController.h"

#include <QMainWindow>

#include <map>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTextEdit;
class QToolBar;
class QWindow;

namespace arv {

class TGridView;
class TNasDlg;

class TForm1 : public QMainWindow, public IDataWindowView {
    Q_OBJECT
public:
    // Builds the window over the controller and runs its start-up.
    explicit TForm1(TDataWindowController& controller, QWidget* parent = nullptr);
    ~TForm1() override;

    TDataWindowController& Controller() { return w_; }
    // "Настройка" shows this dialog (created after the window).
    void SetSettingsDialog(TNasDlg* dialog);

    // The Qt action of a menu item or menu, by component name.
    QAction* Action(const std::string& name) const;
    QTabWidget* Notebook() const { return notebook_; }
    TGridView* GridView(const TModGrid& grid) const;

    void Refresh() override;
    void FocusTypePicker() override;
    void ShowSettingsDialog() override;
    void CloseWindow() override;
    void DataSetReplaced() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildGeneralPage();
    QWidget* GridPage(std::initializer_list<TModGrid*> grids);
    QWidget* MemoPage(QWidget* above, QPlainTextEdit*& memo);
    void ApplyFonts();
    void FocusWindowChanged(QWindow* window);
    void RefreshFields();
    void RefreshMemos();
    void RunCommand(const std::function<void()>& command);

    TDataWindowController& w_;
    TNetworkTables& t_;
    TNasDlg* settingsDialog_ = nullptr;
    TActivationTracker activation_;
    std::map<std::string, QAction*> actions_;
    std::map<const TModGrid*, TGridView*> views_;
    QTabWidget* notebook_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QListWidget* typePicker_ = nullptr;
    std::map<std::string*, QLineEdit*> fields_;
    QLineEdit* branchCount_ = nullptr;
    QLineEdit* nodeCount_ = nullptr;
    QLabel* nameVarAvLabel_ = nullptr;
    QLineEdit* nameVarAv_ = nullptr;
    QPlainTextEdit* memoPotr_ = nullptr;
    QPlainTextEdit* memoDav_ = nullptr;
    QPlainTextEdit* memoUst_ = nullptr;
    bool refreshing_ = false;
};

// The program's data window, once it exists.
extern TForm1* Form1;

} // namespace arv
