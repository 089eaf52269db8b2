#include "calc/files/NetworkDataText.h"

#include "SampleNetwork.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <random>

using namespace arv;
using arv::test::FillSampleNetwork;
using arv::test::SampleNetworkText;

namespace {

struct DataTextTest : ::testing::Test {
    // Any message the calculation shows while reading fails the test.
    test::TScriptedMessages messages;
    TCalcContext calc;
    TNetworkTables t{calc};

    // Parsed into a fresh set of tables, then written again.
    static std::string Reparse(const std::string& text) {
        TCalcContext c;
        TNetworkTables fresh{c};
        ParseNetworkDataText(text, fresh, c);
        return BuildNetworkDataText(fresh, c);
    }
};

} // namespace

TEST_F(DataTextTest, EmptyTablesWriteTheGeneralAndSurfaceRecordsAndTheFinalMark) {
    test::FillSampleFields(t);
    EXPECT_EQ(Ru("A;Шахта;В1;1; D; E; N; S; O; -5; 18; 760; 770; #U;1;25;##"),
              BuildNetworkDataText(t, calc));

    // Read back: four rows in every table, all empty.
    TCalcContext c2;
    TNetworkTables back{c2};
    ParseNetworkDataText(BuildNetworkDataText(t, calc), back, c2);
    for (const TModGrid* g : {&back.TablDan, &back.TablVen, &back.TablDavl}) {
        EXPECT_EQ(4, g->RowCount()) << g->Name();
        EXPECT_EQ(1, g->LastFilledRow()) << g->Name();
    }
    EXPECT_EQ(Ru("Шахта"), back.NameSh);
    EXPECT_EQ("1;25;", back.UzPov);
    EXPECT_EQ("770", back.Psh);
}

TEST_F(DataTextTest, WriterGivesTheExactBytesOfEveryRecordKind) {
    FillSampleNetwork(t);
    EXPECT_EQ(SampleNetworkText(), BuildNetworkDataText(t, calc));

    // A widened branch table writes every one of its columns.
    t.TablDan.SetColCount(30);
    t.TablDan.SetCells(29, 4, "z");
    std::string wide = BuildNetworkDataText(t, calc);
    std::string expected = SampleNetworkText();
    auto widen = [&](const std::string& record, const std::string& tail) {
        auto at = expected.find(record);
        ASSERT_NE(std::string::npos, at);
        expected.insert(at + record.size() - 1, tail);
    };
    widen(Ru("Ствол;;;;;;;;#"), ";;;;;;;");
    widen("8.5;;;;;;;;;;;;;;;;;#", ";;;;;;z;");
    widen("12;;;;;;;;;;;;7;#", ";;;;;;;");
    EXPECT_EQ(expected, wide);

    // Flows in m3/min and other option letters.
    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[2] = 'P';
    EXPECT_EQ(0u, BuildNetworkDataText(t, calc).find(Ru("A;Шахта;В1;60; D; P; N; S; O; -5;")));
}

TEST_F(DataTextTest, ReadingAndWritingAgainIsAFixedPoint) {
    FillSampleNetwork(t);
    std::string first = BuildNetworkDataText(t, calc);
    EXPECT_EQ(first, Reparse(first));

    // The stored route of row 0 comes back in row 1 and stays there.
    TCalcContext c2;
    TNetworkTables back{c2};
    ParseNetworkDataText(first, back, c2);
    EXPECT_EQ("7", back.TempTableM.Cells(0, 1));
    EXPECT_EQ("", back.TempTableM.Cells(0, 0));
    EXPECT_EQ(2, back.TempTableM.RowCount());
    EXPECT_EQ("8", back.TempTableS.Cells(0, 1));
    // The node lists are rebuilt by the calculation, never stored.
    EXPECT_EQ("", back.TablDavl.Cells(2, 2));
    EXPECT_EQ("3", back.TablDavl.Cells(0, 3));
    EXPECT_EQ(4, back.TablDavl.RowCount());
    EXPECT_EQ(5, back.TablDan.RowCount());
    EXPECT_EQ(4, back.TablVen.RowCount());
    EXPECT_EQ("", back.TablVen.Cells(8, 2));

    // A 30-column text read into a 23-column table keeps the extra cells
    // hidden; the next text has 23 columns and stays so.
    t.TablDan.SetColCount(30);
    t.TablDan.SetCells(29, 4, "z");
    std::string wide = BuildNetworkDataText(t, calc);
    TCalcContext c3;
    TNetworkTables narrow{c3};
    ParseNetworkDataText(wide, narrow, c3);
    EXPECT_EQ("z", narrow.TablDan.Cells(29, 3));
    EXPECT_EQ(23, narrow.TablDan.ColCount());
    std::string second = BuildNetworkDataText(narrow, c3);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second, Reparse(second));
}

TEST_F(DataTextTest, OptionFieldsTakeTheirDefaults) {
    EXPECT_EQ(60, ReadFlowUnitField("60"));
    EXPECT_EQ(60, ReadFlowUnitField("600"));
    EXPECT_EQ(1, ReadFlowUnitField(" 60"));
    EXPECT_EQ(1, ReadFlowUnitField(""));
    EXPECT_EQ(1, ReadFlowUnitField("1"));
    EXPECT_EQ(1, ReadFlowUnitField("6,"));
    EXPECT_EQ(1, ReadFlowUnitField("x"));
    EXPECT_EQ('O', ReadLetterField(" O", 'D'));
    EXPECT_EQ('Q', ReadLetterField("  Q R", 'D'));
    EXPECT_EQ('D', ReadLetterField("   ", 'D'));

    // An 'A' record cut after the names: every option takes the reader's
    // default (position 4 'M', unlike the start-up 'S'); the temperature
    // and pressure fields keep what they held.
    t.Tnar = "keep";
    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[4] = 'S';
    ParseNetworkDataText("A;N;V;60#", t, calc);
    EXPECT_EQ("N", t.NameSh);
    EXPECT_EQ("V", t.NameVar);
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_EQ(std::string("DENMO"),
              std::string({calc.CalcOptions[1], calc.CalcOptions[2], calc.CalcOptions[3],
                           calc.CalcOptions[4], calc.CalcOptions[5]}));
    EXPECT_EQ("keep", t.Tnar);

    // Names are kept as typed, the four texts trimmed.
    ParseNetworkDataText("A; N ; V ;60; S; O; I; M; H;  -5 ; 18;760 ;\t770;#", t, calc);
    EXPECT_EQ(" N ", t.NameSh);
    EXPECT_EQ(" V ", t.NameVar);
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('H', calc.CalcOptions[5]);
    EXPECT_EQ("-5", t.Tnar);
    EXPECT_EQ("760", t.Pnar);
    EXPECT_EQ("770", t.Psh);
}

TEST_F(DataTextTest, RowRecordsFillTheirTablesByTheCounters) {
    // Leftovers of an earlier data set, also below the visible rows.
    t.TablDan.SetCells(0, 2, "old");
    t.TablDan.SetCells(3, 3500, "far");
    t.TablVen.SetCells(40, 7, "old");
    t.UzPov = "9;";
    messages.Expect(mrCancel, "Ошибка: ветвь 1 номер узла неправильный");
    ParseNetworkDataText("D;1;2;#D;no fields#D;;7;#D;3;4;5;6;" + std::string(19, ';') +
                             "x;y;#B;older;#C;older;#Q;?;#V;5;#D;9;#",
                         t, calc);
    // Three branch records: the arrays are read at once, with the
    // calculation's messages.
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(1, calc.CalcErrorFlag);
    EXPECT_EQ("1", t.TablDan.Cells(0, 2));
    EXPECT_EQ("2", t.TablDan.Cells(1, 2));
    EXPECT_EQ("", t.TablDan.Cells(2, 2));
    // Records without a branch number take no row: a save would drop them,
    // and kept until then they would stop the reading of every branch.
    EXPECT_EQ("3", t.TablDan.Cells(0, 3));
    // Fields beyond the column count land in hidden cells.
    EXPECT_EQ("x", t.TablDan.Cells(23, 3));
    EXPECT_EQ("y", t.TablDan.Cells(24, 3));
    EXPECT_EQ("9", t.TablDan.Cells(0, 4));
    EXPECT_EQ(23, t.TablDan.ColCount());
    EXPECT_EQ(5, t.TablDan.RowCount());
    EXPECT_EQ("", t.TablDan.Cells(3, 3500));
    EXPECT_EQ("5", t.TablVen.Cells(0, 2));
    EXPECT_EQ("", t.TablVen.Cells(40, 7));
    EXPECT_EQ(4, t.TablVen.RowCount());
    EXPECT_EQ("", t.UzPov);
}

TEST_F(DataTextTest, ThreeBranchesAreReadIntoTheArraysAfreshEachTime) {
    FillSampleNetwork(t);
    std::string sample = BuildNetworkDataText(t, calc);
    TCalcContext c;
    TNetworkTables back{c};
    ParseNetworkDataText(sample, back, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(3, c.BranchWorkCount);
    EXPECT_EQ(1, c.BranchOccurrence[2]);
    EXPECT_EQ(1, c.BranchCalcKind[1]);
    EXPECT_DOUBLE_EQ(120, c.FanCoefC[1]);
    EXPECT_EQ(25, c.SurfaceNodeList[2]);

    // The same data set again, then another one: nothing of the earlier
    // reading is left in the work list, the counts or the fan curves.
    ParseNetworkDataText(sample, back, c);
    EXPECT_EQ(3, c.BranchWorkCount);
    EXPECT_EQ(1, c.BranchOccurrence[1]);
    ParseNetworkDataText("A;;;1; D; E; N; S; O; ; ; ; ; #U;1;#D;5;1;2;#D;6;2;3;#D;7;3;1;##", back,
                         c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(3, c.BranchWorkCount);
    EXPECT_EQ(5, c.BranchWorkList[1]);
    EXPECT_EQ(0, c.BranchOccurrence[1]);
    EXPECT_EQ(0, c.BranchCalcKind[1]);
    EXPECT_DOUBLE_EQ(0, c.FanCoefC[1]);

    // Two branches are not read into the arrays.
    TCalcContext c2;
    ParseNetworkDataText("D;1;1;2;#D;2;2;3;##", back, c2);
    EXPECT_EQ(4, back.TablDan.RowCount());
    EXPECT_EQ(0, c2.BranchWorkCount);
    EXPECT_EQ(0, c2.BranchBeginNode[1]);
}

TEST_F(DataTextTest, OneNodeRecordKeepsItsNodeNumber) {
    ParseNetworkDataText("N;17;;;;250;1;2;##", t, calc);
    EXPECT_EQ(4, t.TablDavl.RowCount());
    EXPECT_EQ("17", t.TablDavl.Cells(0, 2));
    EXPECT_EQ("250", t.TablDavl.Cells(4, 2));
    EXPECT_EQ("", t.TablDavl.Cells(0, 3));
    // Two records: n + 2 rows.
    ParseNetworkDataText("N;17;;;;250;#N;18;;;;260;#N;19;;;;270;##", t, calc);
    EXPECT_EQ(5, t.TablDavl.RowCount());
    EXPECT_EQ("19", t.TablDavl.Cells(0, 4));
}

TEST_F(DataTextTest, EveryByteIsExaminedButAnUnterminatedTailIsNoRecord) {
    // Without the writer's extra '#', the last record is still read.
    ParseNetworkDataText("V;4;a;#V;5;b;#", t, calc);
    EXPECT_EQ("5", t.TablVen.Cells(0, 3));
    // A cut record is not taken.
    ParseNetworkDataText("V;4;a;#V;5;b;", t, calc);
    EXPECT_EQ("4", t.TablVen.Cells(0, 2));
    EXPECT_EQ("", t.TablVen.Cells(0, 3));
    EXPECT_EQ(4, t.TablVen.RowCount());
}

TEST_F(DataTextTest, SeparatorsTypedIntoCellsAndNamesCannotBreakTheText) {
    t.NameSh = "a;b#c";
    t.Tsh = "1;5";
    t.UzPov = "1;2#;";
    t.TablDan.SetCells(0, 2, "1");
    t.TablDan.SetCells(15, 2, Ru("Штрек #2; северный"));
    t.TablVen.SetCells(0, 2, "1");
    t.TablVen.SetCells(1, 2, "X#;Y");
    std::string text = BuildNetworkDataText(t, calc);
    EXPECT_NE(std::string::npos, text.find(Ru("A;a,b№c;")));
    EXPECT_NE(std::string::npos, text.find(Ru("; 1,5; ")));
    EXPECT_NE(std::string::npos, text.find(Ru("U;1;2№;#")));
    EXPECT_NE(std::string::npos, text.find(Ru("Штрек №2, северный;")));
    // The tables themselves are not changed.
    EXPECT_EQ(Ru("Штрек #2; северный"), t.TablDan.Cells(15, 2));

    TCalcContext c2;
    TNetworkTables back{c2};
    ParseNetworkDataText(text, back, c2);
    EXPECT_EQ(Ru("a,b№c"), back.NameSh);
    EXPECT_EQ(Ru("Штрек №2, северный"), back.TablDan.Cells(15, 2));
    EXPECT_EQ("", back.TablDan.Cells(16, 2));
    EXPECT_EQ(Ru("X№,Y"), back.TablVen.Cells(1, 2));
    EXPECT_EQ("", back.TablVen.Cells(2, 2));
}

TEST_F(DataTextTest, TruncatedAndGarbledTextsNeverCrash) {
    messages.AllowAny();
    FillSampleNetwork(t);
    std::string text = BuildNetworkDataText(t, calc);
    for (size_t n = 0; n <= text.size(); ++n) {
        TCalcContext c;
        TNetworkTables cut{c};
        ParseNetworkDataText(text.substr(0, n), cut, c);
        EXPECT_GE(cut.TablDan.RowCount(), 4);
    }
    std::mt19937 rng(7);
    std::string alphabet = "#;ADVNMSUB 0123456789,.-\xC2\xB9";
    for (int round = 0; round < 300; ++round) {
        std::string noise;
        int length = static_cast<int>(rng() % 200);
        for (int i = 0; i < length; ++i)
            noise +=
                rng() % 8 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
        TCalcContext c;
        TNetworkTables garbled{c};
        ParseNetworkDataText(noise, garbled, c);
        std::string again = BuildNetworkDataText(garbled, c);
        EXPECT_EQ('#', again.back());
    }
}

TEST_F(DataTextTest, MoreRecordsThanTheArraysHoldAreKeptAndRefusedByTheCalculation) {
    // 3500 branches: the tables keep every one, the arrays stop at 3001 with
    // the calculation's message, and the next text carries them all again.
    std::string text = "A;;;1; D; E; N; S; O; ; ; ; ; #U;1;#";
    const int branches = 3500;
    for (int i = 1; i <= branches; ++i)
        text += "D;" + std::to_string(i) + ";" + std::to_string(i % 2000 + 1) + ";" +
                std::to_string((i + 1) % 2000 + 1) + ";;0.1;#";
    for (int k = 1; k <= 2100; ++k) text += "N;" + std::to_string(k) + ";;;;1;;;#";
    text += "#";
    messages.Expect(mrCancel, "Ошибка номера ветви 3002");
    ParseNetworkDataText(text, t, calc);
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(1, calc.CalcErrorFlag);
    EXPECT_EQ(branches + 2, t.TablDan.RowCount());
    EXPECT_EQ("3500", t.TablDan.Cells(0, branches + 1));
    EXPECT_EQ(2102, t.TablDavl.RowCount());
    EXPECT_EQ("2100", t.TablDavl.Cells(0, 2101));
    const std::string again = BuildNetworkDataText(t, calc);
    size_t records = 0;
    for (size_t at = again.find("#D;"); at != std::string::npos; at = again.find("#D;", at + 1))
        ++records;
    EXPECT_EQ(static_cast<size_t>(branches), records);
    messages.Expect(mrCancel, "Ошибка номера ветви 3002");
    EXPECT_TRUE(again == Reparse(again));
}
