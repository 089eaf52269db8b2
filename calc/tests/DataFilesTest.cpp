#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"

#include "SampleNetwork.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct DataFilesTest : ::testing::Test {
    test::TScriptedMessages messages;
    std::filesystem::path dir = test::MakeTestFolder();
    TCalcContext calc;
    TNetworkTables t{calc};

    std::string File(const char* name) const { return (dir / name).string(); }
    static std::string Read(const std::string& name) {
        std::string bytes;
        ReadFileBytes(name, bytes);
        return bytes;
    }
    std::string Write(const char* name, const std::string& bytes) const {
        std::string file = File(name);
        EXPECT_TRUE(WriteFileAtomic(file, bytes));
        return file;
    }
};

// The sample as an older data file: names and options on lines of their own.
std::string SampleDanFile() {
    return Ru("A;Шахта\r\nB;В1\r\nC; 60; S; O; N; S; R; -5; 18; 760; 770;\r\nU;1;25;\r\n"
              "D;1;1;2;В;;;;;;;;;;;;Ствол;;;;;;;;\r\nD;2;2;3;;0,012;100;8.5;\r\n"
              "V;1;ВОД-21;25;-0.5;0;120;;;\r\nN;1;;;;100;10;20;\r\nM;7;Путь;\r\nS;8;;\r\n");
}

} // namespace

TEST_F(DataFilesTest, OlderDataFileFillsTablesFieldsAndOptions) {
    calc.CalcOptions.FlowUnit = 1;
    ASSERT_TRUE(LoadNetworkData(Write("mine.dan", SampleDanFile()), t, calc));
    EXPECT_EQ(1, calc.DataLoadedFlag);
    EXPECT_EQ(Ru("Шахта"), t.NameSh);
    EXPECT_EQ(Ru("В1"), t.NameVar);
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('O', calc.CalcOptions[2]);
    EXPECT_EQ('R', calc.CalcOptions[5]);
    EXPECT_EQ("-5", t.Tnar);
    EXPECT_EQ("770", t.Psh);
    EXPECT_EQ("1;25;", t.UzPov);
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ("8.5", t.TablDan.Cells(6, 3));
    EXPECT_EQ(4, t.TablDan.RowCount());
    EXPECT_EQ(Ru("ВОД-21"), t.TablVen.Cells(1, 2));
    EXPECT_EQ("100", t.TablDavl.Cells(4, 2));
    EXPECT_EQ(4, t.TablDavl.RowCount());
    EXPECT_EQ(Ru("Путь"), t.TempTableM.Cells(1, 1));
    EXPECT_EQ("8", t.TempTableS.Cells(0, 1));

    // Written back as a data text, the data set is the same one.
    TCalcContext c2;
    TNetworkTables fromText{c2};
    ParseNetworkDataText(BuildNetworkDataText(t, calc), fromText, c2);
    EXPECT_EQ(BuildNetworkDataText(t, calc), BuildNetworkDataText(fromText, c2));
}

TEST_F(DataFilesTest, OlderDataFileOptionLineAndMissingLines) {
    // "C;" straight before the number keeps its first digit.
    ASSERT_TRUE(LoadNetworkData(Write("a.dan", "C;60; D; E; N; M; O; 1; 2; 3; 4;\n"), t, calc));
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('M', calc.CalcOptions[4]);
    EXPECT_EQ("4", t.Psh);
    // With the usual blank after "C;".
    ASSERT_TRUE(LoadNetworkData(Write("b.dan", "C; 1; S;\n"), t, calc));
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('E', calc.CalcOptions[2]);

    // No 'C' line: the options in force stay; no 'U' line: no surface nodes.
    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[5] = 'H';
    t.UzPov = "3;";
    ASSERT_TRUE(LoadNetworkData(Write("c.dan", "A;X\nV;2;\n\n"), t, calc));
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('H', calc.CalcOptions[5]);
    EXPECT_EQ("", t.UzPov);
    EXPECT_EQ("2", t.TablVen.Cells(0, 2));
}

TEST_F(DataFilesTest, UnknownTagGivesOneMessagePerLineAndTheLineIsSkipped) {
    messages.Expect(mrOk, "Нверный формат файла");
    messages.Expect(mrOk, "Нверный формат файла");
    ASSERT_TRUE(
        LoadNetworkData(Write("bad.dan", "D;1;2;3;\r\nXYZ;D;D;D;\r\nD;4;5;6;\r\n#\r\n"), t, calc));
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(TMsgIcon::Information, messages.Shown().at(0).icon);
    EXPECT_EQ("4", t.TablDan.Cells(0, 3));
    EXPECT_EQ("", t.TablDan.Cells(0, 4));
    EXPECT_EQ(4, t.TablDan.RowCount());
}

TEST_F(DataFilesTest, MissingOrBrokenOlderFilesNeverCrashNorLoseTheTables) {
    test::FillSampleNetwork(t);
    EXPECT_FALSE(LoadNetworkData(File("none.dan"), t, calc));
    EXPECT_EQ(0, calc.DataLoadedFlag);
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));

    messages.AllowAny();
    std::string full = SampleDanFile();
    for (size_t n = 0; n <= full.size(); n += 3) {
        TCalcContext c;
        TNetworkTables cut{c};
        EXPECT_TRUE(LoadNetworkData(Write("cut.dan", full.substr(0, n)), cut, c));
        EXPECT_GE(cut.TablDan.RowCount(), 4);
    }
    std::string binary;
    for (int i = 0; i < 2000; ++i) binary += static_cast<char>((i * 73) % 256);
    TCalcContext c;
    TNetworkTables garbled{c};
    EXPECT_TRUE(LoadNetworkData(Write("garbled.dan", binary), garbled, c));
    EXPECT_FALSE(messages.Shown().empty());
    EXPECT_EQ(4, garbled.TablDan.RowCount());
}

TEST_F(DataFilesTest, InitialDataFileIsWrittenByteExactAndReadBack) {
    t.BuildTablID('R');
    t.TablID.SetCells(0, 2, "1");
    t.TablID.SetCells(1, 2, "1");
    t.TablID.SetCells(2, 2, "2");
    t.TablID.SetCells(3, 2, "0,5");
    t.TablID.SetCells(0, 3, "2");
    t.TablID.SetCells(3, 3, "a;b");
    t.TablID.Modified = true;
    calc.CalcOptions[5] = 'R';
    calc.CalcOptions[3] = ' ';
    std::string name = File("mine.id");
    ASSERT_TRUE(SaveIdTable(name, t, calc.CalcOptions));
    EXPECT_EQ(Ru("R\r\nНомер;Нач.;Кон.;Сопрот.;\r\nветви;узел;узел;выраб., km;\r\n"
                 "1;1;2;0,5;\r\n2;;;a,b;\r\n"),
              Read(name));
    EXPECT_EQ('N', calc.CalcOptions[3]);
    EXPECT_FALSE(t.TablID.Modified);

    TCalcContext c2;
    TNetworkTables back{c2};
    back.BuildTablID('H');
    back.TablID.SetCells(6, 9, "stale");
    ASSERT_TRUE(LoadIdsTable(name, back, c2.CalcOptions));
    EXPECT_EQ('R', c2.CalcOptions[5]);
    EXPECT_EQ(4, back.TablID.RowCount());
    EXPECT_EQ(4, back.TablID.ColCount());
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(col == 3 && r == 3 ? "a,b" : t.TablID.Cells(col, r),
                      back.TablID.Cells(col, r));
    EXPECT_EQ("", back.TablID.Cells(6, 9));
}

TEST_F(DataFilesTest, InitialDataFileCutOrMissing) {
    // The last line lost its tail: the columns of the rows above stay.
    ASSERT_TRUE(LoadIdsTable(Write("cut.id", "H\r\na;b;c;d;e;f;g;\r\n1;2;3;4;5;6;7;\r\n2;3"), t,
                             calc.CalcOptions));
    EXPECT_EQ('H', calc.CalcOptions[5]);
    EXPECT_EQ(7, t.TablID.ColCount());
    EXPECT_EQ(3, t.TablID.RowCount());
    EXPECT_EQ("2", t.TablID.Cells(0, 2));

    calc.CalcOptions[5] = 'O';
    EXPECT_FALSE(LoadIdsTable(File("none.id"), t, calc.CalcOptions));
    EXPECT_FALSE(LoadIdsTable(Write("empty.id", ""), t, calc.CalcOptions));
    EXPECT_EQ('O', calc.CalcOptions[5]);
    EXPECT_EQ("g", t.TablID.Cells(6, 0));

    // A file that cannot be created changes nothing.
    t.TablID.Modified = true;
    calc.CalcOptions[3] = ' ';
    EXPECT_FALSE(SaveIdTable(File("no/such/folder/x.id"), t, calc.CalcOptions));
    EXPECT_TRUE(t.TablID.Modified);
    EXPECT_EQ(' ', calc.CalcOptions[3]);
}

TEST_F(DataFilesTest, ReverseFileIsWrittenByteExactAndReadBack) {
    t.NameSh = Ru("Шахта");
    t.NameVarAv = Ru("Пожар 1");
    test::SetRow(t.TablDanRev, 2, {{0, "1"}, {1, "1"}, {2, "2"}, {9, "0,3"}, {22, "5"}});
    test::SetRow(t.TablDanRev, 3, {{1, "no number"}});
    test::SetRow(t.TablVenRev, 2, {{0, "1"}, {1, "ВОД"}, {5, "120"}});
    t.TablDanRev.Modified = t.TablVenRev.Modified = true;
    std::string name = File("mine.rev");
    ASSERT_TRUE(SaveReverseData(name, t));
    EXPECT_EQ(Ru("A;Шахта\r\nB;Пожар 1\r\nD;1;1;2;;;;;;;0,3;") + std::string(12, ';') +
                  Ru("5;0,3;м3/с;\r\nV;1;ВОД;;;;120;;;\r\n"),
              Read(name));
    EXPECT_FALSE(t.TablDanRev.Modified);
    EXPECT_FALSE(t.TablVenRev.Modified);

    TCalcContext c2;
    TNetworkTables back{c2};
    ASSERT_TRUE(LoadReverseData(name, back));
    EXPECT_EQ(Ru("Шахта"), back.NameSh);
    EXPECT_EQ(Ru("Пожар 1"), back.NameVarAv);
    EXPECT_EQ(3, back.TablDanRev.RowCount());
    EXPECT_EQ(3, back.TablVenRev.RowCount());
    EXPECT_EQ("5", back.TablDanRev.Cells(22, 2));
    // The second copy of column 9 lands beyond the columns, unseen.
    EXPECT_EQ("0,3", back.TablDanRev.Cells(23, 2));
    EXPECT_EQ(Ru("ВОД"), back.TablVenRev.Cells(1, 2));
    ASSERT_TRUE(SaveReverseData(File("again.rev"), back));
    EXPECT_EQ(Read(name), Read(File("again.rev")));
}

TEST_F(DataFilesTest, ReverseFileEmptyLinesForeignTagsAndFailedWrites) {
    // An empty line no longer ends the reading before the counts are set.
    ASSERT_TRUE(LoadReverseData(Write("gap.rev", "A;M\r\n\r\nD;1;\r\nD;2;\r\n\r\n"), t));
    EXPECT_EQ(4, t.TablDanRev.RowCount());
    EXPECT_EQ("2", t.TablDanRev.Cells(0, 3));
    EXPECT_EQ(2, t.TablVenRev.RowCount());

    // A DOS end-of-file byte ends the file, a foreign tag the reading: the
    // rows read are shown, so that a save keeps them.
    for (const std::string end : {"\x1A\r\nD;4;\r\n", "X;\r\nD;4;\r\n"}) {
        TCalcContext c2;
        TNetworkTables other{c2};
        ASSERT_TRUE(LoadReverseData(Write("end.rev", "D;1;\r\nD;2;\r\nD;3;\r\n" + end), other));
        EXPECT_EQ(5, other.TablDanRev.RowCount()) << end;
    }
    // Before any row, a foreign tag leaves the counts as they were.
    ASSERT_TRUE(LoadReverseData(Write("foreign.rev", "X;\r\nD;4;\r\n"), t));
    EXPECT_EQ(4, t.TablDanRev.RowCount());

    EXPECT_FALSE(LoadReverseData(File("none.rev"), t));
    t.TablDanRev.Modified = t.TablVenRev.Modified = true;
    EXPECT_FALSE(SaveReverseData(File("no/such/folder/x.rev"), t));
    EXPECT_TRUE(t.TablDanRev.Modified);
    EXPECT_TRUE(t.TablVenRev.Modified);
}
