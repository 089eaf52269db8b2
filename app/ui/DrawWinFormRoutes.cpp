// The main window's part of the route windows: the "Маршруты" menu, the
// route tool bar ToolBarWay, and the press on the plan that picks a branch
// for the route table or excludes one from the route being edited.
#include "app/DrawWinRoutes.h"
#include "app/ui/DrawWinForm.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "routes/ui/RouteFormWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

struct TRoutesUi : QObject {
    TRoutesUi(TIDrawWin& window, QWidget* owner)
        : host(window), routes(host, DataWindowController().Tables(),
                               DataWindowController().CalcContext(), routes::RouteState()),
          doc(window.Doc()), w(window) {
        routes::SetRouteWindows(&routes);
        routes::InstallRouteWindowsUi(routes, owner);
    }
    ~TRoutesUi() override {
        if (routes::RouteWindows() == &routes) routes::SetRouteWindows(nullptr);
        if (w.RoutePicks == &picks) w.RoutePicks = nullptr;
    }
    void RefreshTools() {
        for (int i = 0; i < routes::RouteToolCount; ++i)
            if (tools[i]) tools[i]->setEnabled(routes.ToolEnabled[i]);
    }
    // The plan's selection tool and the route editing tool hand their
    // branches over through this.
    struct TPicks : IRoutePicks {
        TRoutesUi& ui;
        explicit TPicks(TRoutesUi& owner) : ui(owner) {}
        bool PickPending() const override { return ui.routes.RoutePickPending != 0; }
        void BranchPicked(int32_t number, const std::string& name) override {
            ui.routes.PlanBranchPicked(number, name);
            ui.w.RedrawPlan();
            ui.RefreshTools();
        }
        void BranchExcluded(int32_t number) override {
            ui.routes.PlanRouteBranchExcluded(number);
            ui.w.RedrawPlan();
            ui.RefreshTools();
        }
    };

    TDrawWinRouteHost host;
    routes::TRouteWindows routes;
    TGCollFigure& doc;
    TIDrawWin& w;
    std::array<QAction*, routes::RouteToolCount> tools{};
    TPicks picks{*this};
};

void TIDrawWinForm::BuildRoutes() {
    auto ui = std::make_shared<TRoutesUi>(w_, this);
    routesUi_ = ui;
    TRoutesUi* r = ui.get();
    r->routes.ToolsChanged = [r] { r->RefreshTools(); };

    QMenu* menu = menuBar()->addMenu(U("Маршруты"));
    menu->setObjectName("Way");
    AddAction(menu, "WayWorker", "Маршруты вывода горнорабочих",
              [r] { r->routes.WayWorkerClick(); });
    AddAction(menu, "WayVGSH", "Маршруты движения ВГСЧ", [r] { r->routes.WayVGSHClick(); });

    QToolBar* bar = addToolBar(U("Маршруты"));
    bar->setObjectName("ToolBarWay");
    using TCommand = void (routes::TRouteWindows::*)();
    const TCommand commands[routes::RouteToolCount] = {
        &routes::TRouteWindows::ToolChooseClick,  &routes::TRouteWindows::ToolListClick,
        &routes::TRouteWindows::ToolCreateClick,  &routes::TRouteWindows::ToolViewClick,
        &routes::TRouteWindows::ToolEditClick,    &routes::TRouteWindows::ToolSaveClick,
        &routes::TRouteWindows::ToolTrashClick,   &routes::TRouteWindows::ToolWayOpenClick,
        &routes::TRouteWindows::ToolWayCloseClick};
    for (int i = 0; i < routes::RouteToolCount; ++i) {
        auto* a = bar->addAction(U(routes::RouteToolHint(i)));
        a->setObjectName(routes::RouteToolName(i));
        a->setToolTip(U(routes::RouteToolHint(i)));
        const TCommand command = commands[i];
        connect(a, &QAction::triggered, this, [this, r, command] {
            Run([r, command] { (r->routes.*command)(); });
            r->RefreshTools();
        });
        actions_[routes::RouteToolName(i)] = a;
        r->tools[i] = a;
    }
    r->RefreshTools();
    w_.RoutePicks = &r->picks;
    // A branch with several PLA positions lists them to choose from.
    w_.ShowPlaList = [r](const std::vector<std::string>& entries) {
        r->routes.ListPla.ListBoxPLA = entries;
        r->routes.ListPla.ItemIndex = entries.empty() ? -1 : 0;
        if (r->routes.ShowListPlaModal) r->routes.ShowListPlaModal(r->routes.ListPla);
    };
}

} // namespace arv
