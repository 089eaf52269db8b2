#include "calc/engine/FireAnalysis.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/engine/ThermalDepression.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/SampleMine.h"
#include "calc/testing/SyntheticMine.h"
#include "calc/window/CalcDialogs.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

using namespace arv;
using arv::test::TScriptedMessages;

namespace {

// Counts the steps and stops the summary after `cancelAfter` of them.
struct TRecordingProgress : ISummaryProgress {
    int steps = 0, starts = 0, finishes = 0, cancelAfter = -1;
    void Start(int) override { ++starts; }
    void Step() override { ++steps; }
    bool Cancelled() override { return cancelAfter >= 0 && steps >= cancelAfter; }
    void Finish() override { ++finishes; }
};

struct TScriptedRegulatorWindow : IRegulatorWindowDialog {
    std::string caption, result;
    int shown = 0;
    TScriptedRegulatorWindow() { InstallRegulatorWindowDialog(this); }
    ~TScriptedRegulatorWindow() override { InstallRegulatorWindowDialog(nullptr); }
    void SetAcceptCaption(const std::string& c) override { caption = c; }
    void ShowModal() override { ++shown; }
    std::string ResistanceText() const override { return result; }
};

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

std::string ReadReport(const char* name) {
    return Utf8(test::FileBytes(ProgramDir() + name));
}

// A diagonal network worked by hand (Newton on the node pressures):
//
//            (a) 2 --1.0--> 3 ---(c) 1.0 "ОЗ" needs 8--> 4
//   1 -0.1-> 2                 |(e) 0.5                 4 --fan H=100--> 6
//            (b) 2 --1.0 + regulator 2 "АУ"--> 5 --(d) 2.0--> 4
//   branch a is "ВМП" and needs 8; surface nodes 1 and 6.
//
// Normal mode (Rb = 3): a 6.893, b 3.985, c 6.376, d 4.501, e +0.516 (3 to 5).
// The device of b fails (Rb = 1 + 0.1): a 6.110, b 5.797, c 6.964, d 4.943,
// e -0.854: the diagonal reverses, a loses air (-23.6 %: "ВМП" category II),
// c gets more (-12.9 %: "ОЗ" category I).
struct DiagonalNetwork : ::testing::Test {
    test::TProgramFolder folder;
    TScriptedMessages messages;
    TCalcContext c;
    TNetworkTables t{c};
    int rowB = 0, rowC = 0;

    DiagonalNetwork() {
        c.CalcOptions.SetDefaults();
        c.CalcOptions[1] = 'S';
        c.CalcOptions.FailedDeviceResistance = 0.1;
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        int rowA = b.Branch(2, 2, 3, 1, "ВМП");
        b.BranchCell(rowA, 10, "8");
        b.BranchCell(rowA, 15, "Штрек А");
        rowB = b.Branch(3, 2, 5, 1, "АУ");
        b.BranchCell(rowB, 8, "2");
        b.BranchCell(rowB, 15, "Дверь Б");
        rowC = b.Branch(4, 3, 4, 1, "ОЗ");
        b.BranchCell(rowC, 10, "8");
        b.BranchCell(rowC, 15, "Лава");
        b.Branch(5, 5, 4, 2);
        b.Branch(6, 3, 5, 0.5);
        b.Branch(7, 4, 6, 0, "В");
        b.Fan(7, 0, 0, 100);
        b.Surface({1, 6});
    }
};

TEST_F(DiagonalNetwork, DeviceFailureReversesTheDiagonalAndStarvesTheFirstPath) {
    t.TablDan.SetCurrent(3, rowB);
    messages.Expect(mrNo, "Сопротивление нарушенного устройства на ветви Дверь Б указано   0.1000  "
                          "Изменить?");
    ASSERT_TRUE(Rasc_UstClick(t, c));
    EXPECT_NEAR(c.BranchFlow[2], 6.110, 0.01);
    EXPECT_NEAR(c.BranchFlow[4], 6.964, 0.01);
    EXPECT_NEAR(c.BranchFlow[6], -0.854, 0.01);
    EXPECT_EQ(c.ReversedBranchMark[6], 1);
    EXPECT_EQ(c.ReversedBranchMark[2] + c.ReversedBranchMark[4], 0);

    const std::vector<std::string>& page = t.MemoUst.Lines;
    ASSERT_EQ(page.size(), 14u);
    EXPECT_EQ(Utf8(page[0]), "АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ");
    EXPECT_EQ(Utf8(page[2]), "АНАЛИЗ ДЛЯ ВЕТВИ 3 Дверь Б");
    EXPECT_EQ(Utf8(page[3]), "Сопротивление вент.устройства  2  Сопротивление нарушенного "
                             "устройства   0.1000");
    // Rows: the two consumers, then the reversed diagonal.
    EXPECT_EQ(Utf8(page[9]),
              "!   2 !ВМП  !    8.0!     6.9!     6.1!   -23.6    ! Штрек А                  !    "
              " II  !");
    EXPECT_EQ(Utf8(page[10]),
              "!   4 !ОЗ   !    8.0!     6.4!     7.0!   -12.9    ! Лава                     !    "
              "  I  !");
    EXPECT_EQ(Utf8(page[11]),
              "!   6 !     !    0.0!     0.5!    -0.9!   опр.     !                          !    "
              "     !");
    EXPECT_EQ(page[12], "!" + std::string(84, '-') + "!");
    EXPECT_EQ(c.StabilityRowCount, 7);
    EXPECT_EQ(c.CalcOptions[2], 'U');

    const std::string file = ReadReport("rvust.txt");
    EXPECT_NE(file.find("Анализ для ветви 3 Дверь Б\r\n"), std::string::npos);
    EXPECT_NE(file.find("   2;ВМП;    8.00;    6.89;    6.11; -23.6;Штрек А;II\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("   6;;    0.00;    0.52;   -0.86; опр. ;;\r\n"), std::string::npos);
    // The export text: two heading lines, the cells, the units, three rows.
    EXPECT_EQ(std::count(c.StabilityText.begin(), c.StabilityText.end(), '\n'), 7);
}

// At the coarse accuracy (steps of 0.1 m3/s) and with c at 1.6 or 1.7 the
// diagonal carries +1.06 or +1.12 m3/s in normal mode; with the device of b
// failed it runs back, -0.18 or -0.09 m3/s exactly. The coarse solver
// leaves one step back in both, summed to -0.10000000000000003 in the first
// network and to -0.1 in the second. One step is no flow either way: the
// diagonal is not reported reversed in either network.
TEST_F(DiagonalNetwork, OneStepBackIsNoReversalHoweverItsLastBitsCameOut) {
    c.CalcOptions[1] = 'D';
    c.CalcOptions[4] = 'A';
    t.TablDan.SetCurrent(3, rowB);
    for (const char* resistance : {"1,6", "1,7"}) {
        t.TablDan.SetCells(4, rowC, resistance);
        messages.Expect(mrNo);
        ASSERT_TRUE(Rasc_UstClick(t, c));
        EXPECT_NEAR(c.BranchFlow[6], -0.1, 1e-15) << resistance;
        EXPECT_EQ(c.ReversedBranchMark[6], 0) << resistance;
        // The two consumers only.
        EXPECT_EQ(c.StabilityRowCount, 6) << resistance;
    }
}

TEST_F(DiagonalNetwork, TheRegulatorWindowGivesTheFailedResistanceAndCancelEndsQuietly) {
    TScriptedRegulatorWindow window;
    window.result = "1,9";
    t.TablDan.SetCurrent(3, rowB);
    messages.Expect(mrYes);
    ASSERT_TRUE(Rasc_UstClick(t, c));
    EXPECT_EQ(Utf8(window.caption), "Принять как нарушенное устройство");
    // Rb = 1 + 1.9 is close to normal: no reversal.
    EXPECT_EQ(c.ReversedBranchMark[6], 0);

    messages.Expect(mrCancel);
    EXPECT_FALSE(Rasc_UstClick(t, c));
    EXPECT_EQ(Utf8(t.MemoUst.Lines.back()), "АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ");
    EXPECT_EQ(ReadReport("rvust.txt"), "Анализ устойчивости проветривания\r\n");
}

TEST_F(DiagonalNetwork, AFailedNaturalRunStopsTheAnalysesBeforeAnyQuestion) {
    t.UzPov.clear();
    messages.AllowAny();
    t.TablDan.SetCurrent(3, rowB);
    EXPECT_FALSE(Rasc_UstClick(t, c));
    EXPECT_FALSE(FileExists(ProgramDir() + "rvust.txt"));
    TRecordingProgress progress;
    EXPECT_EQ(Rasc_PogUstClick(t, c, progress, 1), TSummaryResult::Failed);
    EXPECT_EQ(Rasc_ObUstClick(t, c, progress, 1), TSummaryResult::Failed);
    EXPECT_EQ(progress.finishes, 2);
    EXPECT_FALSE(FileExists(ProgramDir() + "rvustsxp.txt"));
    for (const std::string& m : messages.ShownUtf8())
        EXPECT_EQ(m, "Ошибка: не найдено точек поверхности");
}

// A door that is all the resistance of a loop driven by natural draught:
// with the door failed to nothing the loop has none, and its flows are no
// row of the summary. Serial and parallel runs stop alike, with the message
// of a single run.
//
//   1 -0.1-> 2 -0.1-> 4 -fan-> 5          2 -door 2 "АУ"-> 3 -draught 10 Pa-> 7 -0-> 2
TEST(DeviceSummaryLoop, AFailedDeviceThatLeavesALoopWithoutResistanceEndsTheSummary) {
    test::TProgramFolder folder;
    for (int threads : {1, 3}) {
        TScriptedMessages messages;
        TCalcContext c;
        c.CalcOptions.SetDefaults();
        c.CalcOptions.FailedDeviceResistance = 0;
        TNetworkTables t{c};
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        b.Branch(2, 2, 4, 0.1);
        const int door = b.Branch(3, 2, 3, 0, "АУ");
        b.BranchCell(door, 4, "");
        b.BranchCell(door, 8, "2");
        const int draught = b.Branch(7, 3, 7, 0, "ЕТ");
        b.BranchCell(draught, 18, "10");
        const int back = b.Branch(8, 7, 2, 0);
        b.BranchCell(back, 4, "");
        b.Branch(6, 4, 5, 0, "В");
        b.Fan(6, 0, 0, 100);
        b.Surface({1, 5});
        messages.AllowAny();
        TRecordingProgress progress;
        EXPECT_EQ(Rasc_ObUstClick(t, c, progress, threads), TSummaryResult::Failed) << threads;
        int loops = 0;
        for (const auto& m : messages.Shown())
            if (m.text.find(Ru("входит в контур без сопротивления")) != std::string::npos) ++loops;
        EXPECT_EQ(loops, 1) << threads;
    }
}

TEST_F(DiagonalNetwork, DeviceSummaryTakesItsColumnsFromThisNetworkOnly) {
    // A face type left in a slot of no branch must not become a column.
    c.BranchKindCode[2500] = BranchType::WorkingFace;
    TRecordingProgress progress;
    ASSERT_EQ(Rasc_ObUstClick(t, c, progress, 1), TSummaryResult::Done);
    EXPECT_EQ(c.DeviceStabilityColCount, 7);
    const std::vector<std::string>& page = t.MemoUst.Lines;
    EXPECT_EQ(Utf8(page[3]), "! ветви с вент. устройством:выр-ки  :вент.устр.:расход:расход:   "
                             "2(ВМП):   4(ОЗ ):" +
                                 std::string(9 * 9, ' ') + "!");
    // The solver's normal flow of b is 3.984 (3.985 by hand).
    // One device: the row of branch 3, then the closing rule and the note.
    ASSERT_EQ(page.size(), 8u);
    EXPECT_EQ(Utf8(page[5]), "!   3 Дверь Б              :    0.00:    2.0000:  3.98:  5.80: "
                             "-24/-11 : -13/  9 :");
    EXPECT_EQ(page[6], "!" + std::string(162, '-'));
    EXPECT_EQ(progress.steps, t.TablDan.RowCount() - FirstDataRow);
    EXPECT_EQ(c.StabilityRowCount, 6);
    EXPECT_EQ(t.ActivePage, PageStability);
}

TEST(FlowReversal, OnlyAChangeOfDirectionBeyondBothAccuraciesCounts) {
    EXPECT_TRUE(FlowReversed(0.2, 0.01, -0.1, 0.001));
    EXPECT_FALSE(FlowReversed(-1e-12, 0.01, 5, 0.001));
    EXPECT_FALSE(FlowReversed(0.005, 0.01, -3, 0.001));
    EXPECT_FALSE(FlowReversed(3, 0.01, -0.0005, 0.001));
    EXPECT_TRUE(FlowReversed(-3, 0.01, 0.002, 0.001));
    TCalcContext c;
    c.CalcOptions.SetDefaults();
    c.CalcOptions[1] = 'S';
    EXPECT_EQ(RunFlowAccuracy(c, true), 0.001);
    EXPECT_EQ(RunFlowAccuracy(c, false), 0.01);
    c.CalcOptions[1] = 'D';
    EXPECT_EQ(RunFlowAccuracy(c, true), 0.1);
}

TEST(ConsumerCategory, FacesAndAuxiliaryFansHaveTheirOwnLimits) {
    EXPECT_EQ(ConsumerCategory(Ru(" ОЗ "), -20), "I");
    EXPECT_EQ(ConsumerCategory(Ru("=ОЗ"), -20.1), "II");
    EXPECT_EQ(ConsumerCategory(Ru("оз"), -50.1), "III");
    EXPECT_EQ(ConsumerCategory(Ru("ВМП"), -10), "I");
    EXPECT_EQ(ConsumerCategory(Ru("= вмп"), -30), "II");
    EXPECT_EQ(ConsumerCategory(Ru("ВМП"), -30.5), "III");
    EXPECT_EQ(ConsumerCategory(Ru("ТЗ"), -90), "");
}

// Nothing a fire summary lists as reversed stood still in the normal run.
void ExpectNoStillBranchListed(const TNetworkTables& t, const TCalcContext& c) {
    const double accuracy = NaturalRunAccuracy(c);
    int rows = 0;
    for (const std::string& line : t.MemoUst.Lines) {
        size_t colon = line.rfind(" : ");
        // Candidate rows end with ':', headings and rules with '!' or '-'.
        if (line.empty() || line.back() != ':' || colon == std::string::npos) continue;
        ++rows;
        std::string list = line.substr(colon + 3);
        for (size_t p = 0; p < list.size();) {
            size_t q = p;
            while (q < list.size() && std::isdigit(static_cast<unsigned char>(list[q]))) ++q;
            if (q > p) {
                EXPECT_GT(std::fabs(c.SavedNormalFlow[std::stoi(list.substr(p, q - p))]), accuracy);
            }
            p = q + 1;
        }
    }
    EXPECT_EQ(rows, c.StabilityRowCount - 3);
}

// The sample mine with the fire summary's options of the settings.
struct SampleMineSummaries : ::testing::Test {
    test::TProgramFolder folder;
    TScriptedMessages messages;
    TCalcContext c;
    TNetworkTables t{c};
    SampleMineSummaries() {
        c.CalcOptions.SetDefaults();
        c.CalcOptions.FireMinSlope = 10;
        c.CalcOptions.FireElapsedTime = 30;
        c.CalcOptions.FailedDeviceResistance = 0.002;
        test::BuildSampleMine(t);
        messages.AllowAny();
    }
    static std::string Golden(const char* name) {
        return test::FileBytes(std::string(ARV_CALC_TEST_DATA) + "/" + name);
    }
    static std::string Report(const char* name) { return test::FileBytes(ProgramDir() + name); }
};

TEST_F(SampleMineSummaries, FireSummaryReportIsPinned) {
    TRecordingProgress progress;
    ASSERT_EQ(Rasc_PogUstClick(t, c, progress, 1), TSummaryResult::Done);
    EXPECT_EQ(Report("rvustsxp.txt"), Golden("rvustsxp.txt"));
    EXPECT_EQ(progress.starts, 1);
    EXPECT_EQ(progress.finishes, 1);
    // The split of the last candidate is undone; the types are as before.
    EXPECT_EQ(c.BranchBeginNode[MaxBranchCount], 0);
    for (int k = 1; k <= 14; ++k) EXPECT_NE(c.BranchBeginNode[k], MaxNodeCount) << k;
    EXPECT_EQ(t.TablDan.Cells(3, FirstDataRow + 4), Ru("ОЗ"));
    EXPECT_TRUE(c.StabilityText.empty());
    EXPECT_EQ(c.StabilityRowCount,
              3 +
                  static_cast<int>(
                      std::count(c.FireStabilityText.begin(), c.FireStabilityText.end(), '\n')) -
                  4);
    ExpectNoStillBranchListed(t, c);
}

TEST_F(SampleMineSummaries, DeviceSummaryReportIsPinned) {
    // The regulator of the west return as the device under test.
    t.TablDan.SetCells(3, FirstDataRow + 7, Ru("АУ"));
    TRecordingProgress progress;
    ASSERT_EQ(Rasc_ObUstClick(t, c, progress, 1), TSummaryResult::Done);
    EXPECT_EQ(Report("rvustsxvu.txt"), Golden("rvustsxvu.txt"));
}

TEST_F(SampleMineSummaries, CancellingWritesNoReportAndExportsNothing) {
    TRecordingProgress progress;
    progress.cancelAfter = 4;
    EXPECT_EQ(Rasc_PogUstClick(t, c, progress, 1), TSummaryResult::Cancelled);
    EXPECT_FALSE(FileExists(ProgramDir() + "rvustsxp.txt"));
    EXPECT_TRUE(c.FireStabilityText.empty());
    EXPECT_EQ(c.StabilityRowCount, 0);
    EXPECT_EQ(Utf8(t.MemoUst.Lines.back()), "Расчет прерван");
    EXPECT_EQ(progress.finishes, 1);
    progress.steps = 0;
    EXPECT_EQ(Rasc_PogUstClick(t, c, progress, 4), TSummaryResult::Cancelled);
    EXPECT_FALSE(FileExists(ProgramDir() + "rvustsxp.txt"));
}

// Everything a summary writes, for comparing runs.
struct TSummaryOutput {
    std::string file, text;
    std::vector<std::string> page;
    std::vector<double> flows;
    int rows = 0;
    bool operator==(const TSummaryOutput&) const = default;
};

TSummaryOutput RunFireSummary(int threads, bool devices) {
    TCalcContext c;
    c.CalcOptions.SetDefaults();
    c.CalcOptions.FireMinSlope = 2;
    c.CalcOptions.FireElapsedTime = 20;
    c.CalcOptions.FailedDeviceResistance = 0.01;
    TNetworkTables t{c};
    test::TSyntheticMineOptions o;
    o.Levels = 2;
    o.Width = 9;
    o.Depth = 7;
    // Held flows would need negative regulators in some disturbed runs.
    o.Consumers = 0;
    test::BuildSyntheticMine(t, o);
    // Some devices and faces for the device summary.
    for (int r = FirstDataRow + 5, k = 0; r < t.TablDan.RowCount(); r += 17, ++k) {
        if (!Trim(t.TablDan.Cells(3, r)).empty()) continue;
        t.TablDan.SetCells(3, r, Ru(k % 2 ? "АУ" : "ОЗ"));
        if (k % 2) t.TablDan.SetCells(8, r, "0,5");
    }
    // Every third working inclined, up or down, for the fire summary.
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        if (!t.TablDan.Cells(5, r).empty() || t.TablDan.Cells(3, r) == Ru("В")) continue;
        t.TablDan.SetCells(5, r, "200");
        t.TablDan.SetCells(6, r, "10");
        t.TablDan.SetCells(22, r, r % 3 ? "0" : r % 2 ? "6" : "-9");
    }
    TRecordingProgress progress;
    TSummaryResult result = devices ? Rasc_ObUstClick(t, c, progress, threads)
                                    : Rasc_PogUstClick(t, c, progress, threads);
    EXPECT_EQ(result, TSummaryResult::Done);
    if (!devices) ExpectNoStillBranchListed(t, c);
    TSummaryOutput out;
    ReadFileBytes(ProgramDir() + (devices ? "rvustsxvu.txt" : "rvustsxp.txt"), out.file);
    out.text = devices ? c.DeviceStabilityText : c.FireStabilityText;
    out.page = t.MemoUst.Lines;
    out.flows = c.BranchFlow;
    out.rows = c.StabilityRowCount;
    return out;
}

TEST(GeneratedMineSummaries, ParallelRunsWriteWhatTheSerialRunWrites) {
    test::TProgramFolder folder;
    TScriptedMessages messages;
    messages.AllowAny();
    for (bool devices : {false, true}) {
        TSummaryOutput serial = RunFireSummary(1, devices);
        EXPECT_GT(serial.rows, devices ? 5 : 3);
        TSummaryOutput parallel = RunFireSummary(4, devices);
        EXPECT_EQ(serial.file, parallel.file);
        EXPECT_EQ(serial.text, parallel.text);
        EXPECT_EQ(serial.page, parallel.page);
        EXPECT_TRUE(serial == parallel) << "devices " << devices;
    }
}

// Fires need node 2001 for themselves: every candidate's preparation fails
// on the branch that uses it. A parallel run shows the message in its turn,
// as the serial one, and ends there.
TEST(GeneratedMineSummaries, ACandidateThatFailsEndsTheSummaryAsInASerialRun) {
    test::TProgramFolder folder;
    for (int threads : {1, 3}) {
        TScriptedMessages messages;
        TCalcContext c;
        c.CalcOptions.SetDefaults();
        c.CalcOptions.FireElapsedTime = 20;
        TNetworkTables t{c};
        test::TNetworkBuilder b(t);
        for (int k = 1; k <= 4; ++k) {
            int row = b.Branch(k, k, k + 1, 0.1);
            b.BranchCell(row, 5, "100");
            b.BranchCell(row, 6, "5");
            b.BranchCell(row, 22, "20");
        }
        b.Branch(5, 5, 2001, 0.1);
        b.Branch(6, 2001, 6, 0, "В");
        b.Fan(6, 0, 0, 100);
        b.Surface({1, 6});
        messages.Expect(mrCancel, "Ошибка: ветвь 5 использует узел 2001, который нужен для "
                                  "расчета пожара");
        TRecordingProgress progress;
        EXPECT_EQ(Rasc_PogUstClick(t, c, progress, threads), TSummaryResult::Failed);
        EXPECT_EQ(messages.PendingExpectations(), 0u);
        EXPECT_EQ(t.TablDan.Cells(3, FirstDataRow), "");
        std::string file;
        ReadFileBytes(ProgramDir() + "rvustsxp.txt", file);
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 2) << threads;
        EXPECT_EQ(progress.finishes, 1);
    }
}

// The fire summary and the single fire analysis of each of its fires (the
// summary's thermal depression typed into column 18) name the same reversed
// branches, the summary run serially or on several threads.
using TBuildNetwork = std::function<void(TCalcContext&, TNetworkTables&)>;

std::set<int> NumbersOf(const std::string& list) {
    std::set<int> numbers;
    for (size_t p = 0; p < list.size();) {
        size_t q = p;
        while (q < list.size() && std::isdigit(static_cast<unsigned char>(list[q]))) ++q;
        if (q > p) numbers.insert(std::stoi(list.substr(p, q - p)));
        p = q + 1;
    }
    return numbers;
}

// Branch -> the reversed branches its fire gives, from the export text.
std::map<int, std::set<int>> FireSummaryReversals(const TCalcContext& c) {
    std::map<int, std::set<int>> fires;
    std::istringstream lines(c.FireStabilityText);
    std::string line;
    for (int heading = 0; heading < 4 && std::getline(lines, line); ++heading) {
    }
    while (std::getline(lines, line))
        fires[std::atoi(line.c_str())] = NumbersOf(line.substr(line.rfind('\t') + 1));
    return fires;
}

std::map<int, std::set<int>> ExpectSingleFiresAsInTheSummary(const TBuildNetwork& build) {
    std::map<int, std::set<int>> serial;
    for (int threads : {1, 4}) {
        TCalcContext c;
        TNetworkTables t{c};
        build(c, t);
        TRecordingProgress progress;
        EXPECT_EQ(Rasc_PogUstClick(t, c, progress, threads), TSummaryResult::Done) << threads;
        const std::map<int, std::set<int>> fires = FireSummaryReversals(c);
        if (threads == 1) {
            serial = fires;
        } else {
            EXPECT_EQ(fires, serial);
        }
        for (const auto& [n, summary] : fires) {
            const double h = ThermalDepression(std::fabs(c.SavedNormalFlow[n]), c.BranchSection[n],
                                               c.BranchLength[n], c.BranchSlope[n],
                                               c.CalcOptions.FireElapsedTime);
            TCalcContext sc;
            TNetworkTables st{sc};
            build(sc, st);
            int row = FirstDataRow;
            while (CellToIntDef0(st.TablDan.Cells(0, row)) != n) ++row;
            char typed[40];
            std::snprintf(typed, sizeof typed, "%.17g", h);
            std::string cell = typed;
            std::replace(cell.begin(), cell.end(), '.', ',');
            EXPECT_EQ(CellNumber(cell), h);
            st.TablDan.SetCells(18, row, cell);
            st.TablDan.SetCurrent(0, row);
            TScriptedMessages messages;
            messages.Expect(mrYes);
            EXPECT_TRUE(Rasc_PogClick(st, sc)) << n;
            std::set<int> single;
            for (int k = 1; k <= MaxBranchCount; ++k)
                if (sc.ReversedBranchMark[k] != 0) single.insert(k);
            EXPECT_EQ(single, summary) << "fire in " << n << ", threads " << threads;
        }
    }
    return serial;
}

// A bridge worked by the coarse solver in m3/min:
//
//   surface 1 --1 (0.1)--> 2 --2 (1, falling 10°)--> 3 --4 (1)--> 4 --7 fan 100--> surface 6
//                          2 --3 (3, rising 10°)---> 5 --5 (2.97)--> 4
//                          3 --6 (0.5)--> 5, the diagonal
//
// The diagonal carries one step of the coarse solver, 0.01 m3/s, shown as
// "1" (0.6 m3/min). A fire in 2 or in 3 turns it back. One step is no flow:
// neither the summary nor the single analysis lists it.
TEST(FireReversals, SingleAnalysisAndSummaryAgreeInCubicMetresPerMinute) {
    test::TProgramFolder folder;
    TScriptedMessages quiet;
    quiet.AllowAny();
    auto build = [](TCalcContext& c, TNetworkTables& t) {
        c.CalcOptions.SetDefaults();
        c.CalcOptions[1] = 'S';
        c.CalcOptions.FlowUnit = 60;
        c.CalcOptions.FireMinSlope = 5;
        c.CalcOptions.FireElapsedTime = 20;
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        for (auto [n, end, r, slope] : {std::tuple{2, 3, 1.0, "-10"}, {3, 5, 3.0, "10"}}) {
            const int row = b.Branch(n, 2, end, r);
            b.BranchCell(row, 5, "200");
            b.BranchCell(row, 6, "10");
            b.BranchCell(row, 22, slope);
        }
        b.Branch(4, 3, 4, 1);
        b.Branch(5, 5, 4, 2.97);
        b.Branch(6, 3, 5, 0.5);
        b.Branch(7, 4, 6, 0, "В");
        b.Fan(7, 0, 0, 100);
        b.Surface({1, 6});
    };
    TCalcContext c;
    TNetworkTables t{c};
    build(c, t);
    Rasc_ERClick(t, c);
    ASSERT_NEAR(c.BranchFlow[6], 0.01, 1e-12);
    ASSERT_EQ(t.TablDan.Cells(11, FirstDataRow + 5), "1");

    const std::map<int, std::set<int>> fires = ExpectSingleFiresAsInTheSummary(build);
    ASSERT_EQ(fires.size(), 2u);
    for (const auto& [n, reversed] : fires) EXPECT_EQ(reversed.count(6), 0u) << n;
}

// Found among random networks of inclined workings: the fine solver leaves
// the cross-cut 6 at 0.004 m3/s, shown as "0,00", four of its steps of
// accuracy (0.001). A fire in the inclined working 3 or 5 turns it back:
// both the summary and the single analysis list it.
//
//   surface 1 --1--> 2;  2-3, 2-4 (= 4.116), 3-5, 4-5, 3-4 (the cross-cut 6),
//   5-6, 4-6, 3-6, 5-7, 6-7;  7 --12 fan 100--> surface 8
TEST(FireReversals, SingleAnalysisAndSummaryAgreeWithTheFineSolver) {
    test::TProgramFolder folder;
    TScriptedMessages quiet;
    quiet.AllowAny();
    auto build = [](TCalcContext& c, TNetworkTables& t) {
        c.CalcOptions.SetDefaults();
        c.CalcOptions[1] = 'S';
        c.CalcOptions[4] = 'A';
        c.CalcOptions.FireMinSlope = 5;
        c.CalcOptions.FireElapsedTime = 20;
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        const std::tuple<int, int, int, double, const char*> workings[] = {
            {2, 2, 3, 2.834, "10"},  {3, 2, 4, 2.435, "10"},  {4, 3, 5, 1.259, "-10"},
            {5, 4, 5, 2.047, "-10"}, {6, 3, 4, 1.984, "10"},  {7, 5, 6, 0.347, "-10"},
            {8, 4, 6, 2.719, "10"},  {9, 3, 6, 2.941, "-10"}, {10, 5, 7, 0.698, "10"},
            {11, 6, 7, 1.981, "10"}};
        for (auto [n, from, to, r, slope] : workings) {
            const int row = b.Branch(n, from, to, r);
            b.BranchCell(row, 5, "200");
            b.BranchCell(row, 6, "10");
            b.BranchCell(row, 22, slope);
        }
        b.BranchCell(FirstDataRow + 2, 3, "=");
        b.BranchCell(FirstDataRow + 2, 10, "4,116");
        b.Branch(12, 7, 8, 0, "В");
        b.Fan(12, 0, 0, 100);
        b.Surface({1, 8});
    };
    TCalcContext c;
    TNetworkTables t{c};
    build(c, t);
    Rasc_ERClick(t, c);
    ASSERT_TRUE(quiet.Shown().empty());
    ASSERT_NEAR(c.BranchFlow[6], 0.004, 1e-12);
    ASSERT_EQ(t.TablDan.Cells(11, FirstDataRow + 5), "0,00");

    const std::map<int, std::set<int>> fires = ExpectSingleFiresAsInTheSummary(build);
    for (int fire : {3, 5}) {
        ASSERT_EQ(fires.count(fire), 1u) << fire;
        EXPECT_EQ(fires.at(fire).count(6), 1u) << fire;
    }
}

} // namespace
