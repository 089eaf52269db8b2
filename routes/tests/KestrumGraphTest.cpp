#include "routes/KestrumGraph.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"
#include "routes/tests/TestNetwork.h"

#include <gtest/gtest.h>

namespace arv::routes {
namespace {

using test::TBranchSpec;
using test::TTestNetwork;

struct TGraphFixture : ::testing::Test {
    arv::test::TScriptedMessages messages;
    TTestNetwork net;
    TRouteNetwork view;
    TRescueParams rescue;
    TRouteExclusions excl;

    std::unique_ptr<TKestrum_Graph> Length() {
        view = net.View();
        auto g = TKestrum_Graph::Create(view, rescue, excl, 0);
        g->BuildLengthGraph();
        return g;
    }
    std::unique_ptr<TKestrum_Graph> Timed(int kind) {
        view = net.View();
        auto g = TKestrum_Graph::CreateTimed(view, rescue, excl, 0);
        g->BuildTimeGraph(kind);
        return g;
    }
};

//   (7) --1-- (3) --3-- (9)        branch 2 has no end node: left out
//               \--4--/             branches 3 and 4 run in parallel
TEST_F(TGraphFixture, VerticesInOrderOfFirstAppearanceAndEdgesPerBranch) {
    net.Add(1, 7, 3, 10).Add(2, TBranchSpec{3, 0}).Add(3, 3, 9, 20).Add(4, 9, 3, 30);
    auto g = Length();
    EXPECT_EQ(g->GraphKind, 1);
    EXPECT_EQ(g->NodeMap, (std::vector<int32_t>{7, 3, 9}));
    EXPECT_EQ(g->EdgeCount, 3);
    EXPECT_EQ(g->EdgeBranch, (std::vector<int32_t>{1, 3, 4}));
    EXPECT_EQ(g->EdgePairs, (std::vector<int32_t>{0, 1, 1, 2, 2, 1}));
    EXPECT_EQ(g->EdgeWeight, (std::vector<double>{10, 20, 30}));
    // Parallel branches: the lower number, whichever way round.
    EXPECT_EQ(g->BranchBetween(2, 1), 3);
    EXPECT_EQ(g->BranchBetween(0, 2), 0);

    auto t = Timed(0);
    EXPECT_EQ(t->EdgeCount, 6);
    EXPECT_EQ(t->EdgeBranch, (std::vector<int32_t>{1, 1, 3, 3, 4, 4}));
    EXPECT_EQ(t->EdgePairs, (std::vector<int32_t>{0, 1, 1, 0, 1, 2, 2, 1, 2, 1, 1, 2}));
    EXPECT_DOUBLE_EQ(t->EdgeWeight[0], 10 / 52.5);

    messages.Expect(mrOk, "Ошибка поиска индекса узла по его номеру");
    EXPECT_EQ(t->NodeIndex(5), -1);
    EXPECT_EQ(t->NodeIndex(9), 2);
}

TEST_F(TGraphFixture, MinersTimesUpAndDownTheSlope) {
    // 100 m, 2.0 m high, rising 25° from node 1 to node 2.
    net.Add(1, TBranchSpec{1, 2, 100, 2.0, 25});
    // The same working falling: the directions swap tables.
    net.Add(2, TBranchSpec{3, 4, 100, 2.0, -25});
    // 1.0 m high, 15°: row 3.
    net.Add(3, TBranchSpec{5, 6, 70, 1.0, 15});
    auto g = Timed(0);
    EXPECT_NEAR(g->EdgeWeight[0], 4.0816, 1e-4); // 100 / 24.5
    EXPECT_NEAR(g->EdgeWeight[1], 3.1746, 1e-4); // 100 / 31.5
    EXPECT_NEAR(g->EdgeWeight[2], 3.1746, 1e-4);
    EXPECT_NEAR(g->EdgeWeight[3], 4.0816, 1e-4);
    EXPECT_DOUBLE_EQ(g->EdgeWeight[4], 4.0); // 70 / 17.5
    EXPECT_DOUBLE_EQ(g->EdgeWeight[5], 70.0 / 21);
}

TEST_F(TGraphFixture, RescueTimesFollowTheChosenTable) {
    net.Add(1, TBranchSpec{1, 2, 100, 2.5, 0});
    net.Add(2, TBranchSpec{2, 3, 100, 0.9, 12}); // row 2, column 2
    net.Add(3, TBranchSpec{3, 4, 100, 0, -35});  // not given: row 7, column 5
    auto g = Timed(1);                           // fit air, reconnaissance
    EXPECT_NEAR(g->EdgeWeight[0], 1.8519, 1e-4); // 100 / 54 both ways
    EXPECT_NEAR(g->EdgeWeight[1], 1.8519, 1e-4);
    EXPECT_DOUBLE_EQ(g->EdgeWeight[2], 100 / 9.8);  // 2 -> 3 goes up: table 2
    EXPECT_DOUBLE_EQ(g->EdgeWeight[3], 100 / 10.3); // down: table 1
    EXPECT_DOUBLE_EQ(g->EdgeWeight[4], 100 / 20.9); // 3 -> 4 goes down: table 1
    EXPECT_DOUBLE_EQ(g->EdgeWeight[5], 100 / 16.2);

    rescue = {0, 2}; // unfit air, carrying a casualty: tables 9 and 10
    g = Timed(1);
    EXPECT_DOUBLE_EQ(g->EdgeWeight[2], 100 / 4.1);
    EXPECT_DOUBLE_EQ(g->EdgeWeight[3], 100 / 4.8);
}

TEST_F(TGraphFixture, ImpassableBranches) {
    net.Add(1, TBranchSpec{1, 2, 100, 0.5});                 // low
    net.Add(2, TBranchSpec{2, 3, 100, 0.6});                 // just passable
    net.Add(3, TBranchSpec{3, 4, 80, 2, 0, 1, false, true}); // on fire
    net.Add(4, TBranchSpec{4, 5, 50, -1});                   // negative: as not given
    // Miners never walk through the fire; a rescue team does.
    auto len = Length();
    EXPECT_EQ(len->EdgeWeight, (std::vector<double>{ImpassableWeight, 100, ImpassableWeight, 50}));
    len->RecalcWeights(1);
    EXPECT_EQ(len->EdgeWeight, (std::vector<double>{ImpassableWeight, 100, 80, 50}));
    auto t = Timed(0);
    EXPECT_EQ(t->EdgeWeight[0], ImpassableWeight);
    EXPECT_EQ(t->EdgeWeight[1], ImpassableWeight);
    EXPECT_DOUBLE_EQ(t->EdgeWeight[2], 100 / 21.0);
    EXPECT_EQ(t->EdgeWeight[4], ImpassableWeight);
    EXPECT_EQ(t->EdgeWeight[5], ImpassableWeight);
    EXPECT_DOUBLE_EQ(t->EdgeWeight[6], 50 / 52.5);
    auto r = Timed(1);
    EXPECT_DOUBLE_EQ(r->EdgeWeight[2], 100 / 10.2);
    EXPECT_DOUBLE_EQ(r->EdgeWeight[6], 50 / 54.0);

    // Picked on the plan: impassable at the next weighting, listed once.
    excl.ExcludeRouteBranch(4);
    excl.ExcludeRouteBranch(4);
    EXPECT_EQ(excl.ExcludedRouteBranches.size(), 1u);
    excl.ExcludeRouteBranch2(2);
    t->RecalcWeights(0);
    EXPECT_EQ(t->EdgeWeight[2], ImpassableWeight);
    EXPECT_EQ(t->EdgeWeight[7], ImpassableWeight);
    len->RecalcWeights(1);
    EXPECT_EQ(len->EdgeWeight,
              (std::vector<double>{ImpassableWeight, ImpassableWeight, 80, ImpassableWeight}));
    // Negative or missing lengths would break the search.
    net.Add(5, TBranchSpec{5, 6, -20});
    EXPECT_EQ(Length()->EdgeWeight.back(), ImpassableWeight);
}

TEST_F(TGraphFixture, RescueChoicesWithoutATableGiveOneMessage) {
    for (int b = 1; b <= 5; ++b) net.Add(b, TBranchSpec{b, b + 1, 100, 2, 5.0 * b});
    rescue = {0, 1};
    messages.Expect(mrOk, "Ошибка! VGSCH_speed_Edge: выход за размеры массива");
    auto g = Timed(1);
    for (double w : g->EdgeWeight) EXPECT_EQ(w, ImpassableWeight);
    g->RecalcWeights(1);
    EXPECT_EQ(messages.Shown().size(), 1u);
}

//   1 --1--> 2 --2--> 3      flows: branch 1 forward, branch 2 backward (air 3 -> 2),
//                            branch 3 (3 -> 4) still air
TEST_F(TGraphFixture, SmokedArcsBlockTravelAgainstTheAirAndInStillAir) {
    net.Add(1, TBranchSpec{1, 2, 10, 0, 0, 5, true});
    net.Add(2, TBranchSpec{2, 3, 10, 0, 0, -5, true});
    net.Add(3, TBranchSpec{3, 4, 10, 0, 0, 0, true});
    net.Add(4, TBranchSpec{4, 5, 10, 0, 0, -5, false});
    auto g = Length();
    // vertices: 1->0, 2->1, 3->2, 4->3, 5->4
    EXPECT_FALSE(g->IsSmokedArc(1, 0, 1));
    EXPECT_TRUE(g->IsSmokedArc(1, 1, 0));
    EXPECT_TRUE(g->IsSmokedArc(2, 1, 2));
    EXPECT_FALSE(g->IsSmokedArc(2, 2, 1));
    EXPECT_TRUE(g->IsSmokedArc(3, 2, 3));
    EXPECT_TRUE(g->IsSmokedArc(3, 3, 2));
    EXPECT_FALSE(g->IsSmokedArc(4, 4, 3));
    EXPECT_FALSE(g->IsSmokedArc(4, 3, 4));
    EXPECT_TRUE(g->IsSmokedBranch(3));
    EXPECT_FALSE(g->IsSmokedBranch(4));
}

TEST_F(TGraphFixture, EmptyBestPathMessages) {
    net.Add(1, 1, 2, 10);
    auto g = Length();
    messages.Expect(mrOk, "Путь нулевой длины");
    messages.Expect(mrOk, "Ошибка: не найден путь");
    EXPECT_FALSE(g->PathToBranches(0));
    EXPECT_FALSE(g->PathToBranches(5));
    messages.Expect(mrOk, "Ошибка! Подсчет времени движения:  путь нулевой длины!");
    messages.Expect(mrOk, "Ошибка! Подсчет времени движения:  не найден путь !");
    EXPECT_EQ(g->CalcPeopleTravelTime(), 0);
    EXPECT_EQ(g->CalcRescueTravelTime(), 0);
}

} // namespace
} // namespace arv::routes
