// Report sections, page splitting and the line-printing stream. The sample
// mine's sections are pinned as golden files (CP1251, CR LF); set
// ARV_UPDATE_GOLDEN=1 to rewrite them after a deliberate change.
#include "reports/ReportSections.h"

#include "calc/engine/FireAnalysis.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/testing/SampleMine.h"
#include "calc/testing/SilentProgress.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace arv {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectGolden(const std::string& name, const std::string& text) {
    const std::string path = std::string(ARV_REPORTS_TEST_DATA) + "/" + name;
    if (std::getenv("ARV_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    EXPECT_EQ(ReadFile(path), text) << "golden " << name;
}

struct SampleSections : ::testing::Test {
    std::unique_ptr<TCalcContext> c = std::make_unique<TCalcContext>();
    std::unique_ptr<TNetworkTables> t = std::make_unique<TNetworkTables>(*c);
    test::TScriptedMessages messages;
    TSectionColumns columns{};
};

TEST_F(SampleSections, SampleMineSectionsMatchTheirGoldenTexts) {
    test::BuildSampleMine(*t);
    Rasc_ERClick(*t, *c);
    ASSERT_EQ(0, c->CalcErrorFlag);
    for (int col : {0, 1, 2, 4, 11, 13, 14, 15}) columns[col] = true;
    t->ActivePage = PageNetwork;
    const char mode = c->CalcOptions[40];
    ExpectGolden("statistics.txt", *SectionText(TReportSection::Statistics, *t, mode, columns));
    ExpectGolden("main-table.txt", *SectionText(TReportSection::MainTable, *t, mode, columns));
    ExpectGolden("fans.txt", *SectionText(TReportSection::Fans, *t, mode, columns));
    ExpectGolden("consumers.txt", *SectionText(TReportSection::Consumers, *t, mode, columns));
    ExpectGolden("pressure.txt", *SectionText(TReportSection::Pressure, *t, mode, columns));
    // The whole report split into pages of 30 lines.
    TLines report;
    for (auto s : {TReportSection::Statistics, TReportSection::MainTable, TReportSection::Fans}) {
        TLines part = SplitLines(*SectionText(s, *t, mode, columns));
        report.insert(report.end(), part.begin(), part.end());
    }
    ExpectGolden("paginated.txt", JoinLines(PaginateReport(report, 30)));
}

// A fire run works on the burning branch split in two (a pseudo-branch and
// node 2001); the statistics still count the sample's 14 branches and 14
// nodes, after the single fire as after the fire summary.
TEST_F(SampleSections, StatisticsCountTheNetworkAfterAFireRunAsAfterANaturalRun) {
    const std::string savedDir = ProgramDir();
    SetProgramDir(test::MakeTestFolder().string());
    test::BuildSampleMine(*t);
    Rasc_ERClick(*t, *c);
    const TLines natural = ComposeStatisticsSection(*t, 'N');
    EXPECT_EQ(Ru("Количество ветвей 14"), natural[2]);
    EXPECT_EQ(Ru("Количество узлов 14"), natural[3]);

    const int inclined = FirstDataRow + 10;
    t->TablDan.SetCells(18, inclined, "5");
    t->TablDan.SetCurrent(0, inclined);
    messages.Expect(mrYes);
    EXPECT_TRUE(Rasc_PogClick(*t, *c));
    EXPECT_EQ(natural, ComposeStatisticsSection(*t, 'N'));

    c->CalcOptions.FireMinSlope = 10;
    c->CalcOptions.FireElapsedTime = 30;
    test::TSilentProgress progress;
    EXPECT_EQ(Rasc_PogUstClick(*t, *c, progress, 1), TSummaryResult::Done);
    EXPECT_GT(c->StabilityRowCount, 3) << "some fire was run";
    EXPECT_EQ(natural, ComposeStatisticsSection(*t, 'N'));
    SetProgramDir(savedDir);
}

TEST_F(SampleSections, EmergencyLinesFollowModeForStatisticsAndPageForTables) {
    t->NameSh = "Mine";
    t->NameVar = "Var";
    t->NameVarAv = "Fire";
    t->BranchCountText = "14";
    t->NodeCountText = "11";
    EXPECT_EQ((TLines{"Mine", "Var", Ru("Количество ветвей 14"), Ru("Количество узлов 11")}),
              ComposeStatisticsSection(*t, 'N'));
    EXPECT_EQ(Ru("Аварийный режим Fire"), ComposeStatisticsSection(*t, 'A')[1]);

    t->TablDan.SetRowCount(2);
    t->TablDanRev.SetRowCount(2);
    t->TablDanRev.SetCells(0, 1, "rev");
    columns[0] = true;
    t->ActivePage = PageReverse;
    TLines rev = SplitLines(*SectionText(TReportSection::MainTable, *t, 'N', columns));
    EXPECT_EQ(Ru("Аварийный режим Fire"), rev[0]);
    EXPECT_EQ("!  rev!", rev[4]);
    t->ActivePage = PageFans;
    EXPECT_EQ(Ru("    О Б Щ А Я  Т А Б Л И Ц А"),
              SplitLines(*SectionText(TReportSection::MainTable, *t, 'A', columns))[0]);
    t->ActivePage = PageNodes;
    EXPECT_FALSE(SectionText(TReportSection::MainTable, *t, 'N', columns));
    EXPECT_FALSE(SectionText(TReportSection::Fans, *t, 'N', columns));
    EXPECT_TRUE(SectionText(TReportSection::Statistics, *t, 'N', columns));
}

TEST(ReportSections, MainTableRulesAndRowLimit) {
    TModGrid g{"g"};
    g.SetColCount(22);
    g.SetRowCount(4);
    g.SetCells(0, 0, "N");
    g.SetCells(0, 1, "");
    g.SetCells(0, 2, "12");
    g.SetCells(0, 3, "1234567"); // wider than its field
    TSectionColumns only0{};
    only0[0] = true;
    EXPECT_EQ((TLines{Ru("    О Б Щ А Я  Т А Б Л И Ц А"), "------!", "!    N!", "!     !",
                      "!-----!", "!   12!", "!1234567!", "------!"}),
              ComposeMainTableSection(g, only0, false, ""));
    TSectionColumns none{};
    EXPECT_EQ((TLines{Ru("    О Б Щ А Я  Т А Б Л И Ц А"), "-", "!", "!", "!", "!", "!", "-"}),
              ComposeMainTableSection(g, none, false, ""));
    // Columns 4 (7) and 15 (15): the rule is 1 + 8 + 16 characters.
    TSectionColumns two{};
    two[4] = two[15] = true;
    g.SetCells(15, 2, "x");
    TLines l = ComposeMainTableSection(g, two, false, "");
    EXPECT_EQ("-" + std::string(23, '-') + "!", l[1]);
    EXPECT_EQ("!       !" + std::string(14, ' ') + "x!", l[5]);

    g.SetRowCount(2000);
    TLines big = ComposeMainTableSection(g, only0, false, "");
    // title, top rule, 1502 rows, the rule after the heads, bottom rule
    EXPECT_EQ(1u + 1 + 1502 + 1 + 1, big.size());
}

TEST(ReportSections, FanLinesCutFanNamesAndFindTheirBranches) {
    TModGrid dan{"TablDan"}, ven{"TablVen"};
    dan.SetRowCount(4);
    dan.SetCells(15, 0, "NameHead");
    dan.SetCells(0, 2, "3");
    dan.SetCells(15, 2, "Short");
    dan.SetCells(0, 3, "9");
    dan.SetCells(15, 3, "A branch name of 26 chars");
    ven.SetRowCount(5);
    ven.SetCells(0, 2, "9");
    ven.SetCells(1, 2, "VOD-30 long fan name");
    ven.SetCells(2, 2, "12,5");
    ven.SetCells(6, 2, "300");
    ven.SetCells(7, 2, "1500");
    ven.SetCells(0, 3, "3");
    ven.SetCells(0, 4, "77"); // no such branch: keeps the previous one
    TLines l = ComposeFansSection(dan, ven, dan, false, "");
    ASSERT_EQ(9u, l.size());
    EXPECT_EQ(std::string(64, '-') + "!", l[1]);
    EXPECT_EQ("!     !" + std::string(15, ' ') + "!       !       !         !       NameHead!",
              l[2]);
    EXPECT_EQ(l[2], l[3]); // neither heading row matches a branch
    EXPECT_EQ("!" + std::string(63, '-') + "!", l[4]);
    EXPECT_EQ("!    9!VOD-30 long fan!   12,5!    300!     1500!A branch name of 26 chars!", l[5]);
    EXPECT_EQ(65u, l[6].size());
    EXPECT_EQ("Short!", l[6].substr(59));
    EXPECT_EQ("Short!", l[7].substr(59));
    EXPECT_EQ(l[1], l[8]);
}

TEST(ReportSections, SizeLimitAndItsMessages) {
    EXPECT_TRUE(SectionFits(10, ReportSizeLimit - 11));
    EXPECT_FALSE(SectionFits(10, ReportSizeLimit - 10));
    EXPECT_TRUE(SectionRefusalIsTold(TReportSection::Fans));
    EXPECT_TRUE(SectionRefusalIsTold(TReportSection::Pressure));
    EXPECT_FALSE(SectionRefusalIsTold(TReportSection::MainTable));
    EXPECT_EQ(Ru("Отчет превышает 32К "), ReportTooLargeMessage());
}

TEST(Pagination, LinesPerPageRoundsHalvesToEven) {
    EXPECT_EQ(67, LinesPerPage(10, 2.5)); // 66.75
    EXPECT_EQ(56, LinesPerPage(12, 2.5)); // 55.625
    EXPECT_EQ(178, LinesPerPage(3, 2));   // 178
    EXPECT_EQ(534, LinesPerPage(1, 2));   // 534
    EXPECT_EQ(44, LinesPerPage(6, 1));    // 44.5
    EXPECT_EQ(134, LinesPerPage(2, 1));   // 133.5
}

std::string P(int n) {
    return Ru("Стр.") + std::to_string(n);
}

TEST(Pagination, PlainReportGetsBreaksAtPageLength) {
    TLines report;
    for (int n = 1; n <= 200; ++n) report.push_back("line " + std::to_string(n));
    TLines out = PaginateReport(report, 67);
    // Breaks in front of report lines 67, 132 and 197.
    TLines expected;
    for (int n = 1; n <= 200; ++n) {
        if (n == 67 || n == 132 || n == 197) {
            expected.push_back("\f");
            expected.push_back(P(n == 67 ? 2 : n == 132 ? 3 : 4));
        }
        expected.push_back("line " + std::to_string(n));
    }
    EXPECT_EQ(expected, out);
    // Splitting again changes nothing: the page lines count as before.
    EXPECT_EQ(out, PaginateReport(out, 67));
}

TEST(Pagination, TableOverAPageEndIsClosedAndItsHeadRepeated) {
    // Page length 10: "a" (1), rule (2), two heads (3, 4), inner rule (5),
    // rows r1.. from line 6; row r5 would be line 10.
    const std::string longHead = "!" + std::string(150, 'h') + "!";
    TLines report{"a", "------!", longHead, "! head2 !", "!-------!"};
    for (int n = 1; n <= 8; ++n) report.push_back("! r" + std::to_string(n) + " !");
    report.push_back("------!");
    report.push_back("after");
    TLines out = PaginateReport(report, 10);
    TLines expected{"a", "------!", longHead, "! head2 !", "!-------!", "! r1 !", "! r2 !",
                    "! r3 !", "! r4 !",
                    // page end: rule, form feed, page line, the head again
                    "------!", "\f", P(2), "------!", longHead, "! head2 !", "!-------!",
                    // count 6 at r5; r9 would be 10
                    "! r5 !", "! r6 !", "! r7 !", "! r8 !",
                    // the closing rule is line 10 and is never split off
                    "------!", "\f", P(3), "after"};
    EXPECT_EQ(expected, out);
}

TEST(Pagination, RuleAtPageEndBreaksOnTheNextLine) {
    // The rule falls on the page's last line and is never split off; the
    // line after it must still start a new page.
    TLines report{"1", "2", "3", "4", "5", "6", "7", "------!", "!h!", "!h2!", "!-!", "!x!"};
    TLines out = PaginateReport(report, 8);
    ASSERT_GE(out.size(), 17u);
    EXPECT_EQ((TLines{"1", "2", "3", "4", "5", "6", "7", "------!", "------!", "\f", P(2),
                      "------!", "!h!", "!h2!", "!-!", "!h!"}),
              TLines(out.begin(), out.begin() + 16));
}

TEST(Pagination, ExistingSeparatorsAreRenumbered) {
    TLines report{"a", "\f~", P(7), "b", "\f~", Ru("Стр."), "c"};
    EXPECT_EQ((TLines{"a", "\f~", P(2), "b", "\f~", P(3), "c"}), PaginateReport(report, 67));
    EXPECT_EQ((TLines{"\f~", Ru("Стр.")}), PageSeparatorLines());
}

TEST(LinePrinting, StreamIndentsLinesAndBreaksBeforeHashLines) {
    EXPECT_EQ((TLines{" ", "      one", "      ", " ", "\f", " ", "      #two"}),
              LinePrintStream({"one", "", "#two"}));
    EXPECT_EQ(TLines{" "}, LinePrintStream({}));
}

} // namespace
} // namespace arv
