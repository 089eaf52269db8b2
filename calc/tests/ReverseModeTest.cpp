// The reverse-mode commands on the copy of the network, and the menu items
// of the stability, fire and gas commands.
#include "DataWindowFixture.h"

#include "calc/engine/NaturalDistribution.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/window/EmergencyCommands.h"

using namespace arv;
using arv::test::DataWindowTest;

namespace {

// A ring with a fan and a regulator:
//
//   1 --(1) 0.1--> 2 --(2) 1, regulator 0,5--> 3 --(4 "ОЗ" 1, needs 4)--> 4 --(5 fan 50)--> 5
//                   \---(3) 1------------------------------------------->/
struct ReverseMode : DataWindowTest {
    int fireRow = 0, regulatorRow = 0;
    ReverseMode() {
        Create();
        calc.CalcOptions.SetDefaults();
        calc.CalcOptions[1] = 'S';
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        regulatorRow = b.Branch(2, 2, 3, 1);
        b.BranchCell(regulatorRow, 8, "0,5");
        b.Branch(3, 2, 4, 1);
        fireRow = b.Branch(4, 3, 4, 1, "ОЗ");
        b.BranchCell(fireRow, 10, "4");
        b.BranchCell(fireRow, 15, "Лава");
        b.BranchCell(fireRow, 20, "2,5");
        b.BranchCell(fireRow, 21, "12");
        b.Branch(5, 4, 5, 0, "В");
        b.Fan(5, 0, 0, 50);
        b.Surface({1, 5});
        w.CurrentDataFile() = File("mine.dan");
    }
    // The branch and fan tables as text, to see that nothing changed.
    std::string Normal() const {
        std::string s;
        for (const TModGrid* g : {&t.TablDan, &t.TablVen})
            for (int r = 0; r < g->RowCount(); ++r)
                for (int col = 0; col < 23; ++col) s += g->Cells(col, r) + "|";
        return s;
    }
};

TEST_F(ReverseMode, PreparationCopiesTheInputsAndAsksForRegulatorsAndFans) {
    arv::Rasc_ERClick(t, calc);
    t.TablDanRev.SetCells(20, fireRow, "old");
    fieldDialog.answers = {"0,7"};
    messages.Expect(mrYes, "Вентилятор 5 реверсировать?");
    Av_SDClick(w);
    ASSERT_EQ(fieldDialog.shown.size(), 1u);
    EXPECT_EQ(Cp1251ToUtf8(fieldDialog.shown[0].Label2), "Ветвь 2 регулятор");
    EXPECT_EQ(fieldDialog.shown[0].Edit1, "0,5");
    EXPECT_EQ(t.TablDanRev.Cells(8, regulatorRow), "0,7");
    EXPECT_EQ(t.TablDanRev.Cells(15, fireRow), Ru("Лава"));
    // Results, the height and the people are emptied in the copy.
    EXPECT_EQ(t.TablDanRev.Cells(11, fireRow), "");
    EXPECT_EQ(t.TablDanRev.Cells(20, fireRow), "");
    EXPECT_EQ(t.TablDanRev.Cells(21, fireRow), "");
    const int fanRow = FirstDataRow + 4;
    EXPECT_EQ(t.TablDanRev.Cells(1, fanRow), "5");
    EXPECT_EQ(t.TablDanRev.Cells(2, fanRow), "4");
    EXPECT_EQ(t.TablVenRev.Cells(5, FirstDataRow), "50");
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_TRUE(t.TablVen.Modified);
}

TEST_F(ReverseMode, ReverseRunsUseTheCopyAndLeaveTheNormalTablesAlone) {
    arv::Rasc_ERClick(t, calc);
    const double normalFace = calc.BranchFlow[4];
    messages.Expect(mrNo, "Вентилятор 5 реверсировать?");
    fieldDialog.answers = {"40"};
    Av_SDClick(w);
    const std::string normal = Normal();

    // The preparation made the normal results stale: the question, then Ignore.
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    Av_RasERClick(w);
    EXPECT_EQ(calc.CalcOptions[40], 'A');
    // A regulator of 40 in branch 2 sends the face's air round over 3.
    EXPECT_LT(calc.BranchFlow[4], normalFace);
    EXPECT_FALSE(t.TablDanRev.Cells(12, fireRow).empty());
    EXPECT_EQ(Normal(), normal);
    EXPECT_TRUE(FileExists(File("mine.rev")));

    Av_KoncClick(w);
    EXPECT_EQ(t.TablDanRev.Cells(17, fireRow), "0,000");
    EXPECT_EQ(t.TablDan.Cells(17, fireRow), "");

    t.TablDanRev.SetCells(3, fireRow, Ru("ПЖ"));
    t.TablDanRev.SetCells(18, fireRow, "10");
    messages.Expect(mrYes, "Не рассчитана устойчивость при пожаре. Рассчитаь?");
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    Av_VrPogClick(w);
    EXPECT_EQ(messages.PendingExpectations(), 0u);
    const std::vector<std::string>& page = t.MemoUst.Lines;
    ASSERT_GE(page.size(), 12u);
    EXPECT_EQ(Cp1251ToUtf8(page[0]), "АВАРИЙНЫЙ  РЕЖИМ  ПРОВЕТРИВАНИЯ");
    EXPECT_EQ(Cp1251ToUtf8(page[3]), "ПОЖАР В ВЕТВИ 4 Лава");
    // The face as consumer: its begin node is the fire node of the split.
    EXPECT_EQ(page[10].substr(0, 26), "!   4 !2001     !   4    !");
    EXPECT_FALSE(t.TablDanRev.Cells(19, fireRow).empty());
    EXPECT_EQ(calc.SmokedBranchMark[4], 4);
    EXPECT_EQ(Normal(), normal);
}

TEST_F(ReverseMode, TwoFiresStopAtTheSecondAndNoFireIsAnError) {
    messages.Expect(mrNo);
    fieldDialog.answers = {std::nullopt};
    Av_SDClick(w);
    EXPECT_EQ(t.TablDanRev.Cells(8, regulatorRow), "0,5");
    messages.Expect(mrIgnore);
    messages.Expect(mrCancel, "Нет ветвей с тепловой депрессией (ПЖ)");
    Av_RasUPClick(w);
    EXPECT_EQ(calc.CalcErrorFlag, 1);

    for (int r : {regulatorRow, fireRow}) {
        t.TablDanRev.SetCells(3, r, Ru("ПЖ"));
        t.TablDanRev.SetCells(18, r, "5");
    }
    messages.Expect(mrIgnore);
    messages.Expect(mrCancel, "Расчет устойчивости проводится только для одной выработки");
    Av_RasUPClick(w);
    EXPECT_EQ(t.TablDanRev.Row(), fireRow);
    EXPECT_EQ(w.ActivePage(), PageReverse);
}

// The reverse-mode copy of a loop driven by a natural draught whose return
// working has no resistance typed:
//
//   surface 1 --1 (0.1)--> 2 --2 (0.1, fire 5 mm)--> surface 4
//                          2 --3 ЕТ 10 mm--> 3 --4 (empty)--> 2
//
// Nothing holds the loop's flow back. Both reverse runs refuse as the
// natural run does: the message names branch 4 and selects its reverse
// row, no flow is written, and the gas and spread commands still ask for
// a calculation.
struct ReverseLoop : DataWindowTest {
    int fireRow = 0, loopRow = 0;
    ReverseLoop() {
        Create();
        calc.CalcOptions.SetDefaults();
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        fireRow = b.Branch(2, 2, 4, 0.1);
        const int draught = b.Branch(3, 2, 3, 0, "ЕТ");
        b.BranchCell(draught, 18, "10");
        loopRow = b.Branch(4, 3, 2, 0);
        t.TablDan.SetCells(4, loopRow, "");
        b.Surface({1, 4});
        w.CurrentDataFile() = File("loop.dan");
        Av_SDClick(w);
    }
    bool AnyFlowInTheCopy() const {
        for (int r = FirstDataRow; r < t.TablDanRev.RowCount(); ++r)
            for (int col : {9, 12, 13, 14})
                if (!t.TablDanRev.Cells(col, r).empty()) return true;
        return false;
    }
    void ExpectRefusal() {
        ASSERT_EQ(messages.Shown().size(), 2u);
        EXPECT_EQ(messages.ShownUtf8()[1],
                  "Ошибка: ветвь 4 входит в контур без сопротивления (ветви контура: 3, 4): "
                  "расход растет без предела, расчет остановлен на 31600 м3/с. Задайте "
                  "сопротивления выработок контура");
        EXPECT_EQ(calc.CalcErrorFlag, 1);
        EXPECT_EQ(w.ActivePage(), PageReverse);
        EXPECT_EQ(t.TablDanRev.Row(), loopRow);
        EXPECT_FALSE(AnyFlowInTheCopy());
        EXPECT_FALSE(t.ReverseResults.Valid());
    }
};

TEST_F(ReverseLoop, NaturalRunRefusesAndLeavesNoResults) {
    // Results of an earlier run go as well.
    t.TablDanRev.SetCells(12, loopRow, "5,00");
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    messages.Expect(mrCancel);
    Av_RasERClick(w);
    ExpectRefusal();

    messages.Expect(mrCancel, "Необходимо произвести расчет распределения воздуха");
    Av_KoncClick(w);
    EXPECT_EQ(t.TablDanRev.Cells(17, loopRow), "");
}

TEST_F(ReverseLoop, FireAnalysisRefusesAndTheSpreadTimeIsNotComputed) {
    t.TablDanRev.SetCells(3, fireRow, Ru("ПЖ"));
    t.TablDanRev.SetCells(18, fireRow, "5");
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    messages.Expect(mrCancel);
    Av_RasUPClick(w);
    ExpectRefusal();

    // Asked again, Yes runs the analysis, which refuses again: no spread time.
    messages.Expect(mrYes, "Не рассчитана устойчивость при пожаре. Рассчитаь?");
    messages.Expect(mrIgnore);
    messages.Expect(mrCancel);
    Av_VrPogClick(w);
    EXPECT_EQ(messages.Shown().size(), 5u);
    EXPECT_EQ(t.TablDanRev.Cells(19, fireRow), "");
    EXPECT_EQ(calc.SmokedBranchMark[2], 0);
}

TEST_F(ReverseMode, MenuItemsRunTheirCommands) {
    for (const char* name :
         {"Rasc_Konc", "Rasc_Ust", "Rasc_ObUst", "Rasc_Pog", "Rasc_PogUst", "Rasc_VrPog", "Av_SD",
          "Av_RasER", "Av_RasUP", "Av_Konc", "Av_VrPog"}) {
        TMenuItem* item = w.FindItem(name);
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->OnClick) << name;
    }
    messages.Expect(mrCancel, "Необходимо произвести расчет распределения воздуха");
    w.FindItem("Rasc_Konc")->OnClick();
    // The summary over devices on the progress window's stand-in.
    w.FindItem("Rasc_ObUst")->OnClick();
    EXPECT_EQ(w.ActivePage(), PageStability);
    EXPECT_TRUE(FileExists(File("rvustsxvu.txt")));
}

} // namespace
