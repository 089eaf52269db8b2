// The route windows without their windows: the miners' and the rescue teams'
// route tables, the route tool bar of the main window, the branch list of
// workplaces and the PLA document list. The main window is reached only
// through IRouteWindowHost; the Qt windows show these models and call the
// handlers below.
#pragma once

#include "calc/model/ModGrid.h"
#include "calc/model/NetworkTables.h"
#include "routes/RouteState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arv::routes {

// What the route windows need of the main drawing window.
class IRouteWindowHost {
public:
    virtual ~IRouteWindowHost() = default;
    // 3 after a fire calculation; routes are built only then.
    virtual int32_t EmergencyMode() = 0;
    virtual int32_t FireBranchNumber() = 0;
    virtual std::string FireBranchName() = 0;
    virtual int32_t CurrentPlaPosition() = 0;
    virtual void SetCurrentPlaPosition(int32_t position) = 0;
    // False when the drawing's current figure is not a branch.
    virtual bool CurrentBranch(int32_t& number, std::string& name, int32_t& plaPosition) = 0;
    // The route drawn over the plan while show is set.
    virtual void SetRouteDisplay(bool show, const std::vector<int32_t>& branches) = 0;
    virtual void RedrawPlan() = 0;
    virtual void SetDrawingModified() = 0;
    // 1 select (cross cursor), 21 route edit (hand cursor).
    virtual void SetToolMode(int32_t mode) = 0;
    virtual void ShowMainWindow() = 0;
    // The PLA scheme item of the scheme menu and the document flag that
    // follows it.
    virtual bool MsxPlaChecked() = 0;
    virtual void SetMsxPlaChecked(bool checked) = 0;
    virtual void SetPlaSchemeShown(bool shown) = 0;
    // Folder of the PLA documents, without a trailing separator.
    virtual std::string PlaFolder() = 0;
};

// The route tool bar's buttons.
enum TRouteTool : int {
    ToolChoose = 0,
    ToolList,
    ToolCreate,
    ToolView,
    ToolEdit,
    ToolSave,
    ToolTrash,
    ToolWayOpen,
    ToolWayClose,
    RouteToolCount
};
// Object names and hints of the buttons (UTF-8).
const char* RouteToolName(int tool);
const char* RouteToolHint(int tool);

// Window kinds, as LoadPLA numbers them.
constexpr int RouteFormPeople = 0;
constexpr int RouteFormSaver = 1;

// The drop-down laid over a cell of the route table.
struct TRouteComboBox {
    std::vector<std::string> Items; // CP1251
    int ItemIndex = -1;
    bool Visible = false;
    int Col = 0, Row = 0;
    std::string Text() const;
};

class TRouteForm;

// What only a window can do for a route form.
class IRouteFormView {
public:
    virtual ~IRouteFormView() = default;
    // Out of the way while the user works on the plan.
    virtual void Minimise() = 0;
    // Shown in normal state, brought to the front and activated.
    virtual void ShowNormal() = 0;
    virtual void FocusTable() = 0;
    // The model's texts, checks or drop-down changed.
    virtual void Refresh() = 0;
    // Width, height and column widths as the user left them.
    virtual void StoreLayout() = 0;
};

// TFormPeople (kind 0) and TFormSaver (kind 1).
class TRouteForm {
public:
    explicit TRouteForm(int kind);
    int Kind() const { return kind_; }
    const char* Name() const;
    std::string Caption() const;

    TModGrid InfoWayPeople{"InfoWayPeople"};
    std::string TextMain;
    int PageWay = 0;
    // "Брать в качестве весов ветви": 0 time, 1 length.
    int TypeWayGraph = 0;
    // Rescue teams only.
    int RGAtmosohera = 1;
    int RGWork = 0;
    bool RGWorkEnabled = true;
    int RGSmoke = 0;
    std::string SelfRescuerMinutes;
    TRouteComboBox ComboBox1;
    bool Modified = false;
    int Width = 730, Height = 480;
    std::vector<int> ColWidths;
    IRouteFormView* View = nullptr;

    // Columns of the route text, the start branch and the target branch.
    int RouteCol() const { return kind_ == RouteFormPeople ? 6 : 5; }

    void ReadLayout();
    void WriteLayout() const;

private:
    int kind_;
};

// TFormListPoint: the workplaces a miners' route starts from.
struct TListPointModel {
    TModGrid List{"ListPoint"};
    TListPointModel();
    // Rows of "ОЗ" and "ТЗ" branches of the branch table, one empty row after.
    void FormActivate(const TModGrid& branches);
    // Number and name of the current row; "" for the empty row.
    std::string Choice() const;
};

// TFormListPLA: the PLA documents of the current branch.
struct TListPlaModel {
    std::vector<std::string> ListBoxPLA; // CP1251
    int ItemIndex = -1;
};

class TRouteWindows {
public:
    TRouteWindows(IRouteWindowHost& host, TNetworkTables& tables, TCalcContext& calc,
                  TRouteState& state);
    ~TRouteWindows();
    TRouteWindows(const TRouteWindows&) = delete;
    TRouteWindows& operator=(const TRouteWindows&) = delete;

    // The windows: a view is made for each form created and dropped when it
    // is freed; the modal lists answer true for OK.
    std::function<IRouteFormView*(TRouteForm&)> CreateFormView;
    std::function<void(TRouteForm&)> FreeFormView;
    std::function<bool(TListPointModel&)> ShowListPointModal;
    std::function<bool(TListPlaModel&)> ShowListPlaModal;

    // The open route window, or null.
    TRouteForm* Form() { return form_.get(); }
    TRouteForm* People() { return Open(RouteFormPeople); }
    TRouteForm* Saver() { return Open(RouteFormSaver); }

    // Tool bar; the window is told when a button's state changes.
    std::array<bool, RouteToolCount> ToolEnabled{};
    std::function<void()> ToolsChanged;
    void SetRouteToolState(int state, bool enabled);

    // Shown route and picking on the plan.
    std::vector<int32_t> RouteBranches;
    uint8_t ShowRoute = 0;
    int32_t RoutePickPending = 0;

    // "Маршруты" menu.
    void WayWorkerClick();
    void WayVGSHClick();
    // Tool bar commands.
    void ToolChooseClick();
    void ToolListClick();
    void ToolCreateClick();
    void ToolViewClick();
    void ToolEditClick();
    void ToolSaveClick();
    void ToolTrashClick();
    void ToolWayOpenClick();
    void ToolWayCloseClick();

    void LoadPLA(int kind, int32_t position);
    void FillMasWay(const std::string& text);

    // The plan's mouse handling: a branch clicked while a branch is to be
    // picked for the table, or in route-edit mode 21. False when neither
    // was waiting for it.
    bool PlanBranchPicked(int32_t number, const std::string& name);
    bool PlanRouteBranchExcluded(int32_t number);
    bool RouteEditMode() const { return routeEdit_; }

    // Handlers of the open form.
    void FormActivate();
    // Asks about routes changed in the window and stores them on "Да";
    // false when the user cancelled.
    bool AskSaveRoutes();
    // Closes the window, asking first unless `ask` is false (the caller
    // asked); false when the user cancelled the close.
    bool FormClose(bool ask = true);
    // The drawing the routes belong to goes (the command asked about the
    // window already): the window closes and the shown route, the picking
    // on the plan and the excluded branches go with it.
    void DrawingClosed();
    void InfoWayPeopleSelectCell(int col, int row);
    void ComboBox1Change(int itemIndex);
    void ComboBox1Exit(int itemIndex);
    void TypeWayGraphClick(int index);
    void RGAtmosoheraClick(int index);
    void RGWorkClick(int index);

    // TFormListPLA's "Показать": true when the window closes (a document was
    // found, whether or not it could be opened).
    TListPlaModel ListPla;
    bool BitBtnShowClick();

private:
    TRouteForm* Open(int kind) { return form_ && form_->Kind() == kind ? form_.get() : nullptr; }
    void OpenRoutes(int kind);
    void CreateForm(int kind);
    void FreeForm();
    void SetTool(int tool, bool enabled);
    void SetCreateState(int row);
    void PushRoute();
    void Redraw();
    void Minimise();
    void Restore();
    void Refresh();
    void FindRoute(int32_t start, int fromEnd, int targetKind, int32_t target, int routeKind,
                   int graph);
    bool FireMode();

    IRouteWindowHost& host_;
    TNetworkTables& tables_;
    TCalcContext& calc_;
    TRouteState& state_;
    std::unique_ptr<TRouteForm> form_;
    bool routeEdit_ = false;
};

// The three target texts of the miners' table, in the drop-down's order.
const std::vector<std::string>& TargetKindTexts();
// Target kind of a target text: 1 surface, 2 chosen node, 0 fresh air; -1
// for any other text.
int TargetKindOf(const std::string& text);
// The branch number a cell starts with (text up to the first blank); 0
// when it is not a number.
int32_t LeadingBranchNumber(const std::string& cell);
// Branch heights of the branch table into the per-branch array; numbers
// outside the array are ignored.
void RefreshBranchHeights(const TModGrid& branches, TCalcContext& calc);
// Names a PLA list entry's document may have, in the order they are tried.
std::vector<std::string> PlaDocumentNames(const std::string& entry);

// The program's route windows (null before start-up).
TRouteWindows* RouteWindows();
void SetRouteWindows(TRouteWindows* windows);

} // namespace arv::routes
