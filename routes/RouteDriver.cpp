#include "routes/RouteDriver.h"

#include "calc/model/ModGrid.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"
#include "routes/SpeedTables.h"

namespace arv::routes {

TRouteColumns RouteColumns(int routeKind) {
    if (routeKind == RouteKindRescue) return {5, 4, 3, -1};
    return {6, 5, 4, 1};
}

TRouteOutcome SearchMineRoute(const TRouteNetwork& network, const TRescueParams& rescue,
                              TRouteExclusions& exclusions, int32_t startBranch, int fromEnd,
                              int targetKind, int32_t target, int routeKind, int graphKind) {
    TRouteOutcome outcome;
    // Smoke found by an earlier search says nothing about this one.
    exclusions.ExcludedRouteBranches2.clear();
    if (routeKind == RouteKindRescue && RescueTableIndex(rescue, false) > RescueTableCount) {
        // No speed table exists for these choices in either direction: one
        // message instead of one per working, and no route.
        ShowMessage(graphKind == GraphKindTime
                        ? Ru("Ошибка! VGSCH_speed_Edge: выход за размеры массива")
                        : Ru("Ошибка! VGSCH_speed: выход за размеры массива"));
        return outcome;
    }
    int32_t n = 0;
    for (int32_t b = 1; b <= network.LastBranch(); ++b)
        if (network.Included(b)) ++n;
    auto graph = graphKind == GraphKindTime
                     ? TKestrum_Graph::CreateTimed(network, rescue, exclusions, n)
                     : TKestrum_Graph::Create(network, rescue, exclusions, n);
    if (graphKind == GraphKindTime)
        graph->BuildTimeGraph(routeKind);
    else
        graph->BuildLengthGraph();
    const int32_t startNode =
        fromEnd == 0 ? network.BeginNode(startBranch) : network.EndNode(startBranch);
    const int32_t start = graph->NodeIndex(startNode);
    if (start < 0) return outcome;

    double d;
    switch (targetKind) {
    case TargetFreshAir:
        d = graph->FindRouteToFreshAir(start, target, routeKind);
        break;
    case TargetSurface:
        d = graph->FindRouteToSurface(start, target, routeKind);
        break;
    case TargetChosenNode:
        d = graph->FindRouteToChosenNode(start, target, routeKind);
        break;
    case TargetNode:
        d = graph->FindRouteToNode(start, target, routeKind);
        break;
    default:
        return outcome;
    }
    if (graph->Found != 1) return outcome;
    outcome.Found = true;
    outcome.StartNode = graph->NodeMap[start];
    outcome.Branches = graph->BestPathBranches;
    if (graphKind == GraphKindTime) {
        outcome.Time = d;
        outcome.Length = graph->PathLength();
    } else {
        outcome.Length = d;
        outcome.Time = routeKind == RouteKindRescue ? graph->CalcRescueTravelTime()
                                                    : graph->CalcPeopleTravelTime();
    }
    return outcome;
}

std::string RouteText(const std::vector<int32_t>& branches) {
    std::string text;
    for (size_t i = 0; i < branches.size(); ++i) {
        if (i) text += ',';
        text += IntToStr(branches[i]);
    }
    return text;
}

std::string TimeText(double minutes) {
    return IntToStr(Round(minutes)) + Ru(" мин");
}

std::string LengthText(double metres) {
    return FloatToStr(metres) + Ru(" м");
}

const std::string& NoRouteText() {
    static const std::string text = Ru("Путь не найден");
    return text;
}

void WriteRouteRow(TModGrid& table, int routeKind, const TRouteOutcome& outcome) {
    const TRouteColumns cols = RouteColumns(routeKind);
    const int row = table.Row();
    if (!outcome.Found) {
        table.SetCells(cols.Route, row, NoRouteText());
        // The length and time of an earlier route would read as this one's.
        table.SetCells(cols.Time, row, "");
        table.SetCells(cols.Length, row, "");
        return;
    }
    table.SetCells(cols.Route, row, RouteText(outcome.Branches));
    table.SetCells(cols.Time, row, TimeText(outcome.Time));
    table.SetCells(cols.Length, row, LengthText(outcome.Length));
    if (cols.StartNode >= 0)
        table.SetCells(cols.StartNode, row,
                       table.Cells(cols.StartNode, row) + "(" + IntToStr(outcome.StartNode) + ")");
}

void FindMineRoute(TRouteSearchContext& context, int32_t startBranch, int fromEnd, int targetKind,
                   int32_t target, int routeKind, int graphKind) {
    TRouteExclusions scratch;
    TRouteExclusions& exclusions = context.Exclusions ? *context.Exclusions : scratch;
    const TRouteOutcome outcome =
        SearchMineRoute(context.Network, context.Rescue, exclusions, startBranch, fromEnd,
                        targetKind, target, routeKind, graphKind);
    TModGrid* table = routeKind == RouteKindRescue ? context.SaverTable : context.PeopleTable;
    if (table) WriteRouteRow(*table, routeKind, outcome);
}

void FindMineRoute(int32_t startBranch, int fromEnd, int targetKind, int32_t target, int routeKind,
                   int graphKind) {
    TRouteState& state = RouteState();
    TRouteSearchContext context;
    context.Network = TRouteNetwork::FromCalc(Calc());
    context.Rescue = state.Rescue;
    context.Exclusions = &state.Exclusions;
    context.PeopleTable = state.PeopleRouteTable;
    context.SaverTable = state.SaverRouteTable;
    FindMineRoute(context, startBranch, fromEnd, targetKind, target, routeKind, graphKind);
}

} // namespace arv::routes
