// The route windows on the desktop: TFormPeople and TFormSaver over their
// route form models, and the two modal lists. InstallRouteWindowsUi makes the
// controller open these windows.
#pragma once

#include "routes/RouteWindows.h"

#include <QDialog>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace arv {
class TGridView;
}

namespace arv::routes {

class TRouteFormWindow : public QWidget, public IRouteFormView {
    Q_OBJECT
public:
    TRouteFormWindow(TRouteWindows& controller, TRouteForm& form, QWidget* owner);
    ~TRouteFormWindow() override;

    TRouteForm& Form() { return form_; }
    TGridView* InfoWayPeople() const { return grid_; }
    QComboBox* ComboBox1() const { return combo_; }
    QTabWidget* PageWay() const { return pages_; }

    // IRouteFormView.
    void Minimise() override;
    void ShowNormal() override;
    void FocusTable() override;
    void Refresh() override;
    void StoreLayout() override;

    // The controller freed the form: the window goes without asking again.
    void Detach();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildSettingsPage();
    QButtonGroup* RadioGroup(QWidget* box, const std::vector<const char*>& items, int checked);
    // The place the window stands at, kept for the next showing, and the
    // place it is shown at.
    void KeepPlace();
    void Place();
    // The plan's part of the screen, and the desktop's frame around the
    // window (the owner's until the window has its own).
    QRect FreeArea() const;
    QMargins FrameMargins() const;
    // Columns as wide as their contents within the table, the route column
    // taking what is left; run whenever the table's texts or width change.
    void FitColumns();

    TRouteWindows& w_;
    TRouteForm& form_;
    QLabel* textMain_ = nullptr;
    QTabWidget* pages_ = nullptr;
    TGridView* grid_ = nullptr;
    QComboBox* combo_ = nullptr;
    QButtonGroup* typeWayGraph_ = nullptr;
    QButtonGroup* atmosphere_ = nullptr;
    QButtonGroup* work_ = nullptr;
    QWidget* workBox_ = nullptr;
    QButtonGroup* smoke_ = nullptr;
    QLineEdit* selfRescuer_ = nullptr;
    // The size the window was given to fit the plan, and the frame it was
    // reckoned with.
    QSize fitted_;
    QMargins placedMargins_;
    bool detached_ = false;
    bool refreshing_ = false;
    bool fitting_ = false;
};

// TFormListPoint: "Список ветвей".
class TListPointDialog : public QDialog {
    Q_OBJECT
public:
    TListPointDialog(TListPointModel& model, QWidget* parent);
    TGridView* List() const { return grid_; }

private:
    TGridView* grid_;
};

// TFormListPLA: "Выбор позиции ПЛА".
class TListPlaDialog : public QDialog {
    Q_OBJECT
public:
    TListPlaDialog(TRouteWindows& controller, QWidget* parent);
    QListWidget* ListBoxPLA() const { return list_; }
    void BitBtnShowClick();

private:
    TRouteWindows& w_;
    QListWidget* list_;
};

// The controller's windows become these, owned by owner (the main window).
void InstallRouteWindowsUi(TRouteWindows& controller, QWidget* owner);
// The open route window, or null.
TRouteFormWindow* RouteFormWindow();

} // namespace arv::routes
