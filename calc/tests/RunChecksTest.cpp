#include "calc/engine/RunChecks.h"

#include "calc/engine/FireAnalysis.h"

#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/OptimalDistribution.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/SampleMine.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

using namespace arv;
using arv::test::RowOf;
using arv::test::TScriptedMessages;

namespace {

bool AnyResultLeft(const TNetworkTables& t) {
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
        for (int col : {9, 11, 12, 13, 14})
            if (!t.TablDan.Cells(col, r).empty()) return true;
    for (int r = FirstDataRow; r < t.TablVen.RowCount(); ++r)
        for (int col : {6, 7})
            if (!t.TablVen.Cells(col, r).empty()) return true;
    for (int r = FirstDataRow; r < t.TablDavl.RowCount(); ++r)
        if (!t.TablDavl.Cells(1, r).empty()) return true;
    return false;
}

struct RunChecks : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    void SetUp() override {
        c.CalcOptions[1] = 'S';
        test::BuildSampleMine(t);
    }
};

// A natural draught of 10 mm drives a loop whose return working has no
// resistance typed:
//
//   surface 1 --1 (0.1)--> 2 --2 (0.1)--> surface 4
//                          2 --3 ЕТ 10 mm--> 3 --4 (empty)--> 2
//
// Nothing holds the loop's flow back; the run names a working of the loop
// and writes nothing, whichever solver runs.
TEST_F(RunChecks, LoopWithoutResistanceStopsTheRunWithoutResults) {
    test::TNetworkBuilder b(t);
    b.Branch(1, 1, 2, 0.1);
    b.Branch(2, 2, 4, 0.1);
    const int draught = b.Branch(3, 2, 3, 0, "ЕТ");
    b.BranchCell(draught, 18, "10");
    const int loopRow = b.Branch(4, 3, 2, 0);
    t.TablDan.SetCells(4, loopRow, "");
    b.Surface({1, 4});
    // Results of an earlier run.
    t.TablDan.SetCells(11, loopRow, "5,00");
    t.TablDan.SetCells(14, loopRow, "1,00");
    messages.Expect(mrCancel);
    Rasc_ERClick(t, c);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Ошибка: ветвь 4 входит в контур без сопротивления (ветви контура: 3, 4): "
              "расход превышает 100000 м3/с. Задайте сопротивления выработок контура",
              messages.ShownUtf8()[0]);
    EXPECT_EQ(loopRow, t.TablDan.Row());
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_FALSE(AnyResultLeft(t));

    // The fine solver gives the loop up in every stage, at 31,620 m3/s: the
    // run refuses all the same and says where it stopped.
    c.CalcOptions[4] = 'A';
    t.TablDan.SetCurrent(0, FirstDataRow);
    messages.Expect(mrCancel);
    Rasc_ERClick(t, c);
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ("Ошибка: ветвь 4 входит в контур без сопротивления (ветви контура: 3, 4): "
              "расход растет без предела, расчет остановлен на 31620 м3/с. Задайте "
              "сопротивления выработок контура",
              messages.ShownUtf8()[1]);
    EXPECT_EQ(loopRow, t.TablDan.Row());
    EXPECT_FALSE(AnyResultLeft(t));
}

// A loop without resistance and without a source carries no air, so the
// natural run is sound; a fire in the loop drives it without limit:
//
//   surface 1 --1 (0.1)--> 2 --2 (0.1)--> surface 4
//                          2 --3 (0)--> 3 --4 (0, fire 5 mm)--> 2
//
// The fire analysis stops with the message and shows no flows of the fire.
TEST_F(RunChecks, FireInALoopWithoutResistanceStopsTheAnalysis) {
    test::TProgramFolder folder;
    test::TNetworkBuilder b(t);
    b.Branch(1, 1, 2, 0.1);
    b.Branch(2, 2, 4, 0.1);
    b.Branch(3, 2, 3, 0);
    const int fireRow = b.Branch(4, 3, 2, 0);
    b.BranchCell(fireRow, 15, "Loop");
    b.BranchCell(fireRow, 18, "5");
    b.Surface({1, 4});
    t.TablDan.SetCurrent(0, fireRow);
    messages.Expect(mrYes, "Пожар в ветви 4 Loop Расчитать? ");
    messages.Expect(mrCancel);
    EXPECT_FALSE(Rasc_PogClick(t, c));
    ASSERT_EQ(2u, messages.Shown().size());
    EXPECT_EQ(messages.ShownUtf8()[1].rfind("Ошибка: ветвь 3 входит в контур без сопротивления", 0),
              0u)
        << messages.ShownUtf8()[1];
    EXPECT_EQ(1, c.CalcErrorFlag);
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
        EXPECT_EQ("", t.TablDan.Cells(12, r)) << r;
    EXPECT_FALSE(t.NormalResults.Valid());
    EXPECT_EQ("", t.TablDan.Cells(3, fireRow)); // its type back
}

TEST_F(RunChecks, NegativeResistanceStopsNamingBranchAndColumn) {
    Rasc_ERClick(t, c);
    ASSERT_TRUE(AnyResultLeft(t));
    const int row = RowOf(t.TablDan, 7);
    t.TablDan.SetCells(4, row, "-5");
    messages.Expect(
        mrCancel, "Ошибка: ветвь 7: отрицательное сопротивление в столбце \"Сопрот. выраб., km\"");
    Rasc_ERClick(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ(row, t.TablDan.Row());
    EXPECT_EQ(4, t.TablDan.Col());
    // The results of the run before are gone with the changed input.
    EXPECT_FALSE(AnyResultLeft(t));
    EXPECT_EQ("", t.TablPotr.Cells(3, FirstDataRow));

    // A fan's own column is not its resistance.
    t.TablDan.SetCells(4, row, "0,03");
    t.TablDan.SetCells(4, RowOf(t.TablDan, 10), "-1");
    Rasc_ERClick(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
}

TEST_F(RunChecks, OptimalRunStoppedOnBadInputEmptiesItsResults) {
    Rasc_ORClick(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    ASSERT_TRUE(AnyResultLeft(t));
    t.TablDan.SetCells(5, RowOf(t.TablDan, 3), "abc");
    messages.AllowAny();
    Rasc_ORClick(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_FALSE(AnyResultLeft(t));
}

} // namespace
