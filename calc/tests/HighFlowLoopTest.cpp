// Very large flows and loops without resistance in every run that solves:
// a loop that settles at a large flow is a result in each of them, a loop
// that nothing holds back is refused in each of them.
#include "DataWindowFixture.h"

#include "calc/engine/FireAnalysis.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/window/EmergencyCommands.h"

#include <cmath>

using namespace arv;
using arv::test::DataWindowTest;
using arv::test::RowOf;

namespace {

struct TQuietProgress : ISummaryProgress {
    void Start(int) override {}
    void Step() override {}
    bool Cancelled() override { return false; }
    void Finish() override {}
};

// A natural draught of 10 mm drives a loop whose return has the resistance
// r; a fan works a path from the surface beside it:
//
//   surface 1 --1 (0.1, inclined, fire 5 mm)--> 2 --2 (0.1, "АУ" 1)--> 4 --6 fan 100--> surface 5
//                          2 --3 ЕТ 10 mm--> 3 --8 (r)--> 2
//
// The loop settles where r*Q*Q = 10: 20,000 m3/s for r = 2.5e-8 and 25,000
// for r = 1.6e-8, whatever happens on the path.
struct DraughtLoop : DataWindowTest {
    int fireRow = 0, doorRow = 0, returnRow = 0;
    void Build(const char* resistance) {
        Create();
        calc.CalcOptions.SetDefaults();
        calc.CalcOptions[1] = 'S';
        calc.CalcOptions.FailedDeviceResistance = 0.05;
        calc.CalcOptions.FireMinSlope = 5;
        calc.CalcOptions.FireElapsedTime = 20;
        test::TNetworkBuilder b(t);
        fireRow = b.Branch(1, 1, 2, 0.1);
        b.BranchCell(fireRow, 5, "200");
        b.BranchCell(fireRow, 6, "10");
        b.BranchCell(fireRow, 22, "20");
        b.BranchCell(fireRow, 15, "Uklon");
        b.BranchCell(fireRow, 18, "5");
        doorRow = b.Branch(2, 2, 4, 0.1, "АУ");
        b.BranchCell(doorRow, 8, "1");
        b.BranchCell(doorRow, 15, "Door");
        b.Branch(6, 4, 5, 0, "В");
        b.Fan(6, 0, 0, 100);
        const int draught = b.Branch(3, 2, 3, 0, "ЕТ");
        b.BranchCell(draught, 18, "10");
        returnRow = b.Branch(8, 3, 2, 0);
        b.BranchCell(returnRow, 4, resistance);
        b.Surface({1, 5});
        w.CurrentDataFile() = File("loop.dan");
    }
    std::string ReturnFlow(int column) const { return t.TablDan.Cells(column, returnRow); }
};

// The coarse solver goes on to 20,000 m3/s in its first stage; the fine one
// uses up its attempts in the first (1,000 steps of 16 m3/s) and settles
// the loop in the second. Neither gave up on it: it is no loop without
// resistance.
TEST_F(DraughtLoop, SmallResistanceSettlesAtItsExactFlowInBothSolversAndInReverseMode) {
    Build("0,000000025");
    for (char solver : {'S', 'A'}) {
        calc.CalcOptions[4] = solver;
        arv::Rasc_ERClick(t, calc);
        EXPECT_TRUE(messages.Shown().empty()) << solver << " " << messages.ShownUtf8()[0];
        EXPECT_EQ(calc.CalcErrorFlag, 0) << solver;
        // Within the pressure tolerance of each solver: 1e-4 mm is 0.1 m3/s
        // on this flat a curve, 1e-6 mm is 0.001 m3/s.
        EXPECT_NEAR(calc.BranchFlow[8], 20000, solver == 'S' ? 0.1 + 1e-9 : 1e-9) << solver;
        if (solver == 'A') {
            EXPECT_EQ(ReturnFlow(11), "20000,00");
        }
    }

    messages.Expect(mrNo, "Вентилятор 6 реверсировать?");
    fieldDialog.answers = {"1"};
    Av_SDClick(w);
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    Av_RasERClick(w);
    EXPECT_EQ(messages.Shown().size(), 2u);
    EXPECT_NEAR(calc.BranchFlow[8], 20000, 1e-9);
    EXPECT_EQ(t.TablDanRev.Cells(12, returnRow), "20000,00");
}

// Beyond what the fine solver reaches in its attempts (about 31,620 m3/s)
// a loop that resists did not converge; it has no loop without resistance.
// The standard solver settles it at 35,355 m3/s.
TEST_F(DraughtLoop, BeyondTheFineSolversReachTheRunDidNotConverge) {
    Build("0,000000008");
    calc.CalcOptions[4] = 'M';
    messages.Expect(mrCancel, "Ошибка: расчет не сошелся, расход в ветви 8 достиг 31620 м3/с и "
                              "продолжал расти (ветви с таким расходом: 3, 8). Проверьте "
                              "сопротивления выработок и напоры вентиляторов");
    arv::Rasc_ERClick(t, calc);
    EXPECT_EQ(messages.PendingExpectations(), 0u);
    EXPECT_EQ(calc.CalcErrorFlag, 1);
    EXPECT_EQ(ReturnFlow(11), "");
    calc.CalcOptions[4] = 'S';
    arv::Rasc_ERClick(t, calc);
    EXPECT_EQ(calc.CalcErrorFlag, 0);
    EXPECT_NEAR(calc.BranchFlow[8], 35355, 1);
}

// Every run of the fine solver (natural with the fine algorithm, reverse
// natural and fire, fire and device failure, both summaries) keeps the loop
// at 25,000 m3/s and shows its results.
TEST_F(DraughtLoop, SoundNetworkAt25000IsComputedInEveryFineRun) {
    Build("0,000000016");
    calc.CalcOptions[4] = 'A';
    // Only the questions each run asks are shown.
    auto expectResult = [&](const char* run, size_t questions) {
        EXPECT_EQ(messages.Shown().size(), questions) << run << ": " << messages.ShownUtf8().back();
        messages.Clear();
        EXPECT_EQ(calc.CalcErrorFlag, 0) << run;
        EXPECT_NEAR(calc.BranchFlow[8], 25000, 1e-9) << run;
    };

    arv::Rasc_ERClick(t, calc);
    expectResult("natural", 0);
    EXPECT_EQ(ReturnFlow(11), "25000,00");

    t.TablDan.SetCurrent(0, fireRow);
    messages.Expect(mrYes, "Пожар в ветви 1 Uklon Расчитать? ");
    EXPECT_TRUE(Rasc_PogClick(t, calc));
    expectResult("fire", 1);
    EXPECT_EQ(ReturnFlow(12), "25000,00");

    t.TablDan.SetCurrent(0, doorRow);
    messages.Expect(mrNo);
    EXPECT_TRUE(Rasc_UstClick(t, calc));
    expectResult("device failure", 1);
    EXPECT_EQ(ReturnFlow(12), "25000,00");

    TQuietProgress progress;
    for (int threads : {1, 3}) {
        EXPECT_EQ(Rasc_PogUstClick(t, calc, progress, threads), TSummaryResult::Done) << threads;
        expectResult("fire summary", 0);
        EXPECT_EQ(calc.StabilityRowCount, 4) << "one candidate";
        EXPECT_EQ(Rasc_ObUstClick(t, calc, progress, threads), TSummaryResult::Done) << threads;
        expectResult("device summary", 0);
        EXPECT_EQ(calc.StabilityRowCount, 6) << "one device";
    }

    messages.Expect(mrNo, "Вентилятор 6 реверсировать?");
    fieldDialog.answers = {"1"};
    Av_SDClick(w);
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    Av_RasERClick(w);
    expectResult("reverse natural", 2);
    EXPECT_EQ(t.TablDanRev.Cells(12, returnRow), "25000,00");
    t.TablDanRev.SetCells(3, fireRow, Ru("ПЖ"));
    messages.Expect(mrIgnore, "Не проведен расчет нормального режима. Рассчитаь?");
    Av_RasUPClick(w);
    expectResult("reverse fire", 1);
    EXPECT_EQ(t.TablDanRev.Cells(12, returnRow), "25000,00");
}

// Two workings without resistance side by side, and a door that is all the
// resistance of a draught loop:
//
//   surface 1 --1 (0.1)--> 2 ==2, 3 (none, inclined)==> 3 --4 (0.1)--> 4 --6 fan 100--> surface 5
//                                      4 --7 door "АУ" 2--> 6 --8 ЕТ 10 mm--> 7 --9 (none)--> 4
//
// The natural run is sound. A fire in 2 or 3 drives the pair round without
// limit; so does the draught once the door has failed to nothing. Every
// analysis refuses with the message of a single run and shows no results.
struct ZeroResistanceLoops : DataWindowTest {
    int doorRow = 0;
    ZeroResistanceLoops() {
        Create();
        calc.CalcOptions.SetDefaults();
        calc.CalcOptions.FailedDeviceResistance = 0;
        calc.CalcOptions.FireMinSlope = 5;
        calc.CalcOptions.FireElapsedTime = 20;
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        for (int n : {2, 3}) {
            const int row = b.Branch(n, 2, 3, 0);
            b.BranchCell(row, 4, "");
            b.BranchCell(row, 5, "200");
            b.BranchCell(row, 6, "10");
            b.BranchCell(row, 22, "20");
            b.BranchCell(row, 18, "5");
        }
        b.Branch(4, 3, 4, 0.1);
        b.Branch(6, 4, 5, 0, "В");
        b.Fan(6, 0, 0, 100);
        doorRow = b.Branch(7, 4, 6, 0, "АУ");
        b.BranchCell(doorRow, 4, "");
        b.BranchCell(doorRow, 8, "2");
        const int draught = b.Branch(8, 6, 7, 0, "ЕТ");
        b.BranchCell(draught, 18, "10");
        b.BranchCell(b.Branch(9, 7, 4, 0), 4, "");
        b.Surface({1, 5});
    }
    // The last of the `count` messages shown: the refusal.
    std::string Refusal(size_t count) {
        EXPECT_EQ(messages.Shown().size(), count);
        const std::string text = messages.Shown().empty() ? "" : messages.ShownUtf8().back();
        messages.Clear();
        EXPECT_EQ(calc.CalcErrorFlag, 1);
        return text;
    }
    bool AnyEmergencyFlow() const {
        for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
            if (!t.TablDan.Cells(12, r).empty()) return true;
        return false;
    }
};

TEST_F(ZeroResistanceLoops, EveryAnalysisRefusesTheLoopItDrives) {
    arv::Rasc_ERClick(t, calc);
    ASSERT_TRUE(messages.Shown().empty());
    const int fireRow = RowOf(t.TablDan, std::fabs(calc.BranchFlow[2]) > 0 ? 2 : 3);
    // The fire runs and the summaries take the fine solver, which gives the
    // loop up; the coarse one of the device failure goes beyond the bound.
    const std::string fireLoop = "входит в контур без сопротивления (ветви контура: 2, 3): "
                                 "расход растет без предела, расчет остановлен на 31600 м3/с";
    const std::string doorLoop = "Ошибка: ветвь 7 входит в контур без сопротивления (ветви "
                                 "контура: 7, 8, 9): расход ";

    t.TablDan.SetCurrent(0, fireRow);
    messages.Expect(mrYes);
    messages.Expect(mrCancel);
    EXPECT_FALSE(Rasc_PogClick(t, calc));
    EXPECT_NE(Refusal(2).find(fireLoop), std::string::npos);
    EXPECT_FALSE(AnyEmergencyFlow());

    t.TablDan.SetCurrent(0, doorRow);
    messages.Expect(mrNo);
    messages.Expect(mrCancel);
    EXPECT_FALSE(Rasc_UstClick(t, calc));
    EXPECT_EQ(Refusal(2), doorLoop + "превышает 100000 м3/с. Задайте сопротивления выработок "
                                     "контура");
    EXPECT_EQ(t.TablDan.Row(), doorRow);
    EXPECT_FALSE(AnyEmergencyFlow());

    TQuietProgress progress;
    for (int threads : {1, 3}) {
        messages.Expect(mrCancel);
        EXPECT_EQ(Rasc_PogUstClick(t, calc, progress, threads), TSummaryResult::Failed);
        EXPECT_NE(Refusal(1).find(fireLoop), std::string::npos) << threads;
        messages.Expect(mrCancel);
        EXPECT_EQ(Rasc_ObUstClick(t, calc, progress, threads), TSummaryResult::Failed);
        EXPECT_EQ(Refusal(1), doorLoop + "растет без предела, расчет остановлен на 31600 м3/с. "
                                         "Задайте сопротивления выработок контура")
            << threads;
    }
}

} // namespace
