// Route searches on small networks worked out by hand. Unless a test says
// otherwise, workings are level, of full height and 52.5 m/min for miners.
#include "calc/model/ModGrid.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"
#include "routes/RouteDriver.h"
#include "routes/tests/TestNetwork.h"

#include <gtest/gtest.h>

namespace arv::routes {
namespace {

using test::TBranchSpec;
using test::TTestNetwork;

struct TRouteFixture : ::testing::Test {
    arv::test::TScriptedMessages messages;
    TTestNetwork net;
    TRescueParams rescue;
    TRouteExclusions excl;
    TModGrid people{"people"}, saver{"saver"};

    void SetUp() override {
        people.SetColCount(7);
        people.SetRowCount(3);
        people.SetFixedRows(1);
        people.SetRow(1);
        people.SetCells(1, 1, Ru("Из начального "));
        saver.SetColCount(6);
        saver.SetRowCount(3);
        saver.SetFixedRows(1);
        saver.SetRow(1);
    }
    TRouteOutcome Search(int32_t start, int fromEnd, int targetKind, int32_t target,
                         int routeKind = RouteKindPeople, int graphKind = GraphKindTime) {
        return SearchMineRoute(net.View(), rescue, excl, start, fromEnd, targetKind, target,
                               routeKind, graphKind);
    }
    // The search as the route tool bar runs it, into the tables.
    void Find(int32_t start, int fromEnd, int targetKind, int32_t target, int routeKind,
              int graphKind) {
        TRouteSearchContext context{net.View(), rescue, &excl, &people, &saver};
        FindMineRoute(context, start, fromEnd, targetKind, target, routeKind, graphKind);
    }
    std::string Cell(TModGrid& g, int col, int row = 1) { return Cp1251ToUtf8(g.Cells(col, row)); }
};

//   1 --b1 100-- 2 --b2 50-- 3 --b6 10-- 7
//                 \          /
//             b4 30 4 --b5 30        b3: 1 -- 3, 400
TEST_F(TRouteFixture, ShortestByLengthAndTheRowItWrites) {
    net.Add(1, 1, 2, 100).Add(2, 2, 3, 50).Add(3, 1, 3, 400);
    net.Add(4, 2, 4, 30).Add(5, 4, 3, 30).Add(6, 3, 7, 10);
    // Target branch 6: its begin node 3 (150 m) beats its end node 7 (160 m).
    Find(1, 0, TargetNode, 6, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(Cell(people, 6), "1,2");
    EXPECT_EQ(Cell(people, 4), "150 м");
    EXPECT_EQ(Cell(people, 5), "3 мин"); // 150 / 52.5 = 2.86
    EXPECT_EQ(Cell(people, 1), "Из начального (1)");
    // From the end node of branch 1 (node 2): 50 m to node 3.
    people.SetRow(2);
    people.SetCells(1, 2, Ru("Из конечного "));
    Find(1, 1, TargetNode, 6, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(Cell(people, 6, 2), "2");
    EXPECT_EQ(Cell(people, 4, 2), "50 м");
    EXPECT_EQ(Cell(people, 5, 2), "1 мин");
    EXPECT_EQ(Cell(people, 1, 2), "Из конечного (2)");
    EXPECT_EQ(Cell(people, 6, 1), "1,2"); // the other row untouched
}

//   1 --b1 100 m, 1.0 m high-- 2           100 / 21         = 4.76 min
//   1 --b2 150 m-- 3 --b3 60 m-- 2         150/52.5 + 60/52.5 = 4.00 min
TEST_F(TRouteFixture, TimeAndLengthGraphsChooseDifferentRoutes) {
    net.Add(1, TBranchSpec{1, 2, 100, 1.0}).Add(2, 1, 3, 150).Add(3, 3, 2, 60);
    net.Add(4, 2, 9, 0.5);
    TRouteOutcome t = Search(1, 0, TargetNode, 4);
    ASSERT_TRUE(t.Found);
    EXPECT_EQ(t.Branches, (std::vector<int32_t>{2, 3}));
    EXPECT_DOUBLE_EQ(t.Time, 150 / 52.5 + 60 / 52.5);
    EXPECT_DOUBLE_EQ(t.Length, 210);
    EXPECT_EQ(TimeText(t.Time), Ru("4 мин"));

    TRouteOutcome l = Search(1, 0, TargetNode, 4, RouteKindPeople, GraphKindLength);
    ASSERT_TRUE(l.Found);
    EXPECT_EQ(l.Branches, (std::vector<int32_t>{1}));
    EXPECT_DOUBLE_EQ(l.Length, 100);
    EXPECT_DOUBLE_EQ(l.Time, 100 / 21.0);
    EXPECT_EQ(TimeText(l.Time), Ru("5 мин"));
}

//   1 --b1 240 m, rising 35° towards 2-- 2
//   1 --b2 300 m, level-- 2
// Up b1: 240 / 17.5 = 13.71 min, worse than b2's 300 / 52.5 = 5.71;
// down b1: 240 / 21 = 11.43 min, still worse. A steep working at 15°
// (b1 at 15°: up 240 / 35 = 6.86, down 240 / 49 = 4.90) wins downhill only.
TEST_F(TRouteFixture, SteepWorkingsAreSlowerUphillThanDown) {
    net.Add(1, TBranchSpec{1, 2, 240, 2.0, 35}).Add(2, 1, 2, 300);
    net.Add(3, 2, 5, 1).Add(4, 1, 6, 1);
    TRouteOutcome up = Search(1, 0, TargetNode, 3);
    EXPECT_EQ(up.Branches, (std::vector<int32_t>{2}));
    net.Add(1, TBranchSpec{1, 2, 240, 2.0, 15});
    up = Search(1, 0, TargetNode, 3);
    EXPECT_EQ(up.Branches, (std::vector<int32_t>{2}));
    EXPECT_DOUBLE_EQ(up.Time, 300 / 52.5);
    TRouteOutcome down = Search(3, 0, TargetNode, 4); // from node 2 to node 1
    EXPECT_EQ(down.Branches, (std::vector<int32_t>{1}));
    EXPECT_DOUBLE_EQ(down.Time, 240 / 49.0);
    // The length graph walks b1 as well and times it the same way.
    TRouteOutcome len = Search(3, 0, TargetNode, 4, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(len.Branches, (std::vector<int32_t>{1}));
    EXPECT_DOUBLE_EQ(len.Time, 240 / 49.0);
    len = Search(1, 0, TargetNode, 3, RouteKindPeople, GraphKindLength);
    EXPECT_DOUBLE_EQ(len.Time, 240 / 35.0);
}

//   start 1
//   b1: 1 -- 2, 10 m, smoke, air 2 -> 1        (walking 1 -> 2 is against it)
//   b2: 2 -- 5, 10 m, fresh
//   b3: 1 -- 3, 100 m, smoke, air 1 -> 3       (with the air: counts 100 times)
//   b4: 3 -- 2, 10 m, fresh
// Fresh-air candidates: 2, 5 (b2), 3, 2 (b4).
//   to 2: 1-2 against the air; again without b1: 1-3-2 = 110 m, with the air: 11000
//   to 5: 1-3-2-5 = 120 m -> 12000
//   to 3: 1-3 = 100 m with the air -> 10000: the best; the row shows 100 m.
TEST_F(TRouteFixture, SmokeAgainstTheAirIsAvoidedAndWithTheAirPenalised) {
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, -1, true});
    net.Add(2, 2, 5, 10);
    net.Add(3, TBranchSpec{1, 3, 100, 0, 0, 1, true});
    net.Add(4, 3, 2, 10);
    TRouteOutcome r = Search(1, 0, TargetFreshAir, 0, RouteKindPeople, GraphKindLength);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{3}));
    EXPECT_DOUBLE_EQ(r.Length, 100);
    // A fresh working of 9000 m from 1 beats 100 times the smoky 100 m.
    net.Add(5, 1, 8, 9000);
    r = Search(1, 0, TargetFreshAir, 0, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{5}));
    // 10001 m does not: its candidate 8 comes later and 10001 < 10000 fails.
    net.Add(5, 1, 8, 10001);
    r = Search(1, 0, TargetFreshAir, 0, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{3}));
    // The time graph: 100 / 52.5 min through smoke with the air.
    r = Search(1, 0, TargetFreshAir, 0);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{3}));
    EXPECT_DOUBLE_EQ(r.Time, 100 / 52.5);
}

// Node 1 joins node 2 by k smoked branches with the air against the walk
// (b1..bk, 10..10+k m) and by a fresh one of 1000 m. Each attempt drops one
// smoked branch; the eleventh search is the last one a candidate gets.
TEST_F(TRouteFixture, ACandidateGetsElevenSearches) {
    auto build = [&](int k) {
        net = TTestNetwork(20);
        for (int b = 1; b <= k; ++b) net.Add(b, TBranchSpec{1, 2, 10.0 + b, 0, 0, -1, true});
        net.Add(20, 1, 2, 1000);
    };
    build(10);
    TRouteOutcome r = Search(1, 0, TargetSurface, 0, RouteKindPeople, GraphKindLength);
    EXPECT_FALSE(r.Found); // no surface nodes at all
    net.SetSurface({2});
    r = Search(1, 0, TargetSurface, 0, RouteKindPeople, GraphKindLength);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{20}));
    EXPECT_EQ(excl.ExcludedRouteBranches2.size(), 10u);
    build(11);
    net.SetSurface({2});
    Find(1, 0, TargetSurface, 0, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(Cell(people, 6), "Путь не найден");
    EXPECT_EQ(Cell(people, 4), "");
}

//   1 --b1 10 m, smoke, air 2 -> 1-- 2 --b2 fresh-- 3
// The only way out walks b1 against the air: no route, and no length or
// time of an earlier one.
TEST_F(TRouteFixture, NoRouteShowsNoLengthOrTime) {
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, -1, true}).Add(2, 2, 3, 10);
    people.SetCells(4, 1, "x");
    people.SetCells(5, 1, "y");
    Find(1, 0, TargetFreshAir, 0, RouteKindPeople, GraphKindTime);
    EXPECT_EQ(Cell(people, 6), "Путь не найден");
    EXPECT_EQ(Cell(people, 4), "");
    EXPECT_EQ(Cell(people, 5), "");
    EXPECT_EQ(Cell(people, 1), "Из начального ");
    // Still air in a smoked branch blocks it too; air with the walk does not.
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, 0, true});
    EXPECT_FALSE(Search(1, 0, TargetFreshAir, 0).Found);
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, 2, true});
    EXPECT_EQ(Search(1, 0, TargetFreshAir, 0).Branches, (std::vector<int32_t>{1}));
}

//   1 --b1 30-- 2        3 --b2 40-- 4       (two pieces)
//   1 --b3 60-- 2        (parallel, longer)
TEST_F(TRouteFixture, UnreachableTargetsParallelBranchesAndZeroLengthPaths) {
    net.Add(1, 1, 2, 30).Add(2, 3, 4, 40).Add(3, 1, 2, 60);
    Find(1, 0, TargetNode, 2, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(Cell(people, 6), "Путь не найден");
    // The branch walked is named, not the lowest-numbered between the nodes.
    net.Add(1, 1, 2, 90).Add(4, 2, 5, 1);
    EXPECT_EQ(Search(1, 0, TargetNode, 4).Branches, (std::vector<int32_t>{3}));
    // A target at the start: a route of no branches.
    net.SetSurface({1});
    people.SetCells(1, 1, Ru("Из начального "));
    Find(3, 0, TargetSurface, 0, RouteKindPeople, GraphKindTime);
    EXPECT_EQ(Cell(people, 6), "");
    EXPECT_EQ(Cell(people, 5), "0 мин");
    EXPECT_EQ(Cell(people, 4), "0 м");
    EXPECT_EQ(Cell(people, 1), "Из начального (1)");
    TRouteOutcome r = Search(1, 1, TargetChosenNode, 3, RouteKindPeople, GraphKindLength);
    EXPECT_TRUE(r.Found);
    EXPECT_TRUE(r.Branches.empty());
}

//   1 --b1 50-- 2 --b2 50-- 4
//   |            \--b3 50-- 5
//   +----b4 100--------------5
// Surface nodes 4 and 5 lie 100 m from the start; 9 is not in the network.
TEST_F(TRouteFixture, SurfaceCandidatesInListOrder) {
    net.Add(1, 1, 2, 50).Add(2, 2, 4, 50).Add(3, 2, 5, 50).Add(4, 1, 5, 100);
    net.SetSurface({5, 4});
    EXPECT_EQ(Search(1, 0, TargetSurface, 0).Branches, (std::vector<int32_t>{4}));
    net.SetSurface({4, 5});
    EXPECT_EQ(Search(1, 0, TargetSurface, 0).Branches, (std::vector<int32_t>{1, 2}));
    messages.Expect(mrOk, "Ошибка поиска индекса узла по его номеру");
    net.SetSurface({9, 5});
    EXPECT_EQ(Search(1, 0, TargetSurface, 0).Branches, (std::vector<int32_t>{4}));
    messages.Expect(mrOk, "Ошибка поиска индекса узла по его номеру");
    net.SetSurface({9});
    Find(1, 0, TargetSurface, 0, RouteKindPeople, GraphKindTime);
    EXPECT_EQ(Cell(people, 6), "Путь не найден");
    // A start branch that is not in the network.
    messages.Expect(mrOk, "Ошибка поиска индекса узла по его номеру");
    EXPECT_FALSE(Search(15, 0, TargetSurface, 0).Found);
}

//   9 --b1 20-- 1 --b3 100 m, on fire-- 2 --b6 106 m-- 5 (surface)
//                \---------------b4 240 m--------------/
// Miners at node 1 never walk through the fire: 4 (240 m) beats 3,6
// (206 m) in the length graph as in the time graph. Miners working in the
// burning branch leave from either of its ends. A rescue team still goes
// the short way through it. Without b4 the miners at node 1 have no way.
TEST_F(TRouteFixture, MinersNeverWalkThroughTheFire) {
    net.Add(1, 9, 1, 20).Add(3, TBranchSpec{1, 2, 100, 0, 0, 1, false, true});
    net.Add(6, 2, 5, 106).Add(4, 1, 5, 240);
    net.SetSurface({5});
    for (int graph : {GraphKindLength, GraphKindTime}) {
        TRouteOutcome r = Search(1, 1, TargetSurface, 0, RouteKindPeople, graph);
        EXPECT_EQ(RouteText(r.Branches), "4") << graph;
        EXPECT_DOUBLE_EQ(r.Length, 240) << graph;
        EXPECT_EQ(RouteText(Search(3, 1, TargetSurface, 0, RouteKindPeople, graph).Branches), "6")
            << graph;
        EXPECT_EQ(RouteText(Search(3, 0, TargetSurface, 0, RouteKindPeople, graph).Branches), "4")
            << graph;
    }
    EXPECT_EQ(RouteText(Search(1, 1, TargetSurface, 0, RouteKindRescue, GraphKindLength).Branches),
              "3,6");

    net.Add(4, 0, 5, 240);
    for (int graph : {GraphKindLength, GraphKindTime}) {
        people.SetCells(6, 1, "");
        Find(1, 1, TargetSurface, 0, RouteKindPeople, graph);
        EXPECT_EQ(Cell(people, 6), "Путь не найден") << graph;
    }
}

//   1 --b1 10-- 2 --b2 10-- 3 (fresh-air branch b2; b1 smoked, air 1 -> 2)
TEST_F(TRouteFixture, FreshAirSkipsTheStartNodeButNotOtherCandidates) {
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, 1, true}).Add(2, 2, 3, 10).Add(3, 4, 1, 500);
    // From node 2 (end of b1): candidates 2 (the start, skipped), 3, 4, 1.
    TRouteOutcome r = Search(1, 1, TargetFreshAir, 0, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{2}));
    EXPECT_EQ(r.StartNode, 2);
    EXPECT_EQ(ScreenCursor(), TCursor::Default);
}

TEST_F(TRouteFixture, ExclusionListsOfTheUserAndOfTheLastSearch) {
    //   1 --b1 10-- 2 --b2 10-- 3,  1 --b3 50-- 3
    net.Add(1, 1, 2, 10).Add(2, 2, 3, 10).Add(3, 1, 3, 50).Add(4, 3, 6, 5);
    excl.ExcludedRouteBranches2 = {2}; // left over from an earlier search
    EXPECT_EQ(Search(1, 0, TargetNode, 4).Branches, (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(excl.ExcludedRouteBranches2.empty());
    excl.ExcludeRouteBranch(2);
    EXPECT_EQ(Search(1, 0, TargetNode, 4).Branches, (std::vector<int32_t>{3}));
    EXPECT_EQ(Search(1, 0, TargetChosenNode, 4).Branches, (std::vector<int32_t>{3}));
    excl.ExcludeRouteBranch(3);
    // Only impassable ways remain.
    EXPECT_FALSE(Search(1, 0, TargetNode, 4).Found);
}

//   1 --b1 100 m, 2.5 m high, level-- 2 --b2 100 m, 0.9 m high, rising 12°-- 3
TEST_F(TRouteFixture, RescueTeamRoutesGoToTheirOwnTable) {
    net.Add(1, TBranchSpec{1, 2, 100, 2.5}).Add(2, TBranchSpec{2, 3, 100, 0.9, 12});
    net.Add(3, 3, 4, 0);
    saver.SetCells(1, 1, "7");
    // Starts at the end node of branch 1; 100 m up b2 with table 2: 100 / 9.8.
    Find(1, 1, TargetNode, 3, RouteKindRescue, GraphKindTime);
    EXPECT_EQ(Cell(saver, 5), "2");
    EXPECT_EQ(Cell(saver, 4), "10 мин");
    EXPECT_EQ(Cell(saver, 3), "100 м");
    EXPECT_EQ(Cell(saver, 1), "7");
    EXPECT_EQ(Cell(people, 6), "");
    // The length graph times the walk the same way: 100/54 + 100/9.8 from node 1.
    TRouteOutcome r = Search(1, 0, TargetNode, 3, RouteKindRescue, GraphKindLength);
    EXPECT_DOUBLE_EQ(r.Time, 100 / 54.0 + 100 / 9.8);
    EXPECT_EQ(RouteText(r.Branches), "1,2");

    // Unfit air and liquidation: no table, one message, no route.
    rescue = {0, 1};
    messages.Expect(mrOk, "Ошибка! VGSCH_speed_Edge: выход за размеры массива");
    Find(1, 1, TargetNode, 3, RouteKindRescue, GraphKindTime);
    EXPECT_EQ(Cell(saver, 5), "Путь не найден");
    EXPECT_EQ(Cell(saver, 4), "");
    EXPECT_EQ(Cell(saver, 3), "");
    messages.Expect(mrOk, "Ошибка! VGSCH_speed: выход за размеры массива");
    EXPECT_FALSE(Search(1, 1, TargetNode, 3, RouteKindRescue, GraphKindLength).Found);
    EXPECT_EQ(Cell(people, 6), "");
}

// A working 0.6 m high is walked and timed (row 3: 100 / 21); one lower than
// that is only walked when its height changes after the search, and then
// gets the warning.
TEST_F(TRouteFixture, LowWorkingsInTheTravelTime) {
    std::vector<double> height(5, 0.0);
    net.Add(1, TBranchSpec{1, 2, 100, 0.6}).Add(2, 2, 3, 52.5).Add(3, 3, 4, 1);
    TRouteNetwork view = net.View();
    auto g = TKestrum_Graph::Create(view, rescue, excl, 2);
    g->BuildLengthGraph();
    g->FindRouteToNode(0, 3, RouteKindPeople);
    ASSERT_EQ(g->Found, 1);
    EXPECT_DOUBLE_EQ(g->CalcPeopleTravelTime(), 100 / 21.0 + 1);
    height[1] = 0.5;
    view.BranchHeight = height;
    TKestrum_Graph g2(view, rescue, excl, 2, 1);
    g2.BuildLengthGraph();
    EXPECT_EQ(g2.FindRouteToNode(0, 3, RouteKindPeople), ImpassableWeight);
    EXPECT_EQ(g2.Found, 0);
    height[1] = 0;
    g2.RecalcWeights(0);
    g2.FindRouteToNode(0, 3, RouteKindPeople);
    height[1] = 0.5;
    messages.Expect(mrOk, "Внимание! В найденном пути ветвь 1 имеет высоту выработки 0,5");
    EXPECT_DOUBLE_EQ(g2.CalcPeopleTravelTime(), 1);
}

//   1 --b1 smoke, with the air-- 2 --b2 smoke, against the air-- 3 --b3-- 4
//   2 --b4 500 m-- 3
// Smoke against the air anywhere on the path blocks it, even after smoke
// walked with the air: the route turns off b2 onto b4.
TEST_F(TRouteFixture, TheWholePathIsCheckedForSmoke) {
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, 1, true}).Add(2, TBranchSpec{2, 3, 10, 0, 0, -1, true});
    net.Add(3, 3, 4, 10).Add(4, 2, 3, 500);
    TRouteOutcome r = Search(1, 0, TargetChosenNode, 3, RouteKindPeople, GraphKindLength);
    EXPECT_EQ(r.Branches, (std::vector<int32_t>{1, 4}));
    EXPECT_DOUBLE_EQ(r.Length, 510);
    EXPECT_EQ(excl.ExcludedRouteBranches2, (std::vector<int32_t>{2}));
}

// Routes are not limited in the number of branches they pass.
TEST_F(TRouteFixture, LongRoutes) {
    net = TTestNetwork(400);
    for (int32_t b = 1; b <= 400; ++b) net.Add(b, b, b + 1, 1.25);
    TRouteOutcome r = Search(1, 0, TargetNode, 400, RouteKindPeople, GraphKindLength);
    ASSERT_TRUE(r.Found);
    EXPECT_EQ(r.Branches.size(), 399u);
    EXPECT_EQ(r.Branches.back(), 399);
    EXPECT_DOUBLE_EQ(r.Length, 399 * 1.25);
}

TEST(RouteTexts, Pinned) {
    EXPECT_EQ(RouteText({12, 15, 7}), "12,15,7");
    EXPECT_EQ(RouteText({}), "");
    EXPECT_EQ(Cp1251ToUtf8(TimeText(2.5)), "2 мин");
    EXPECT_EQ(Cp1251ToUtf8(TimeText(3.5)), "4 мин");
    EXPECT_EQ(Cp1251ToUtf8(LengthText(1234.5)), "1234,5 м");
    EXPECT_EQ(Cp1251ToUtf8(LengthText(0.1 + 0.2)), "0,3 м");
    EXPECT_EQ(Cp1251ToUtf8(NoRouteText()), "Путь не найден");
}

} // namespace
} // namespace arv::routes
