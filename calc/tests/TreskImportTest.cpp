#include "calc/files/TreskImport.h"

#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/model/BranchTypes.h"

#include "converter/tests/SampleMine.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace arv;
using arv::test::TScriptedMessages;

namespace {

using TRowCells = std::map<int, std::string>; // column -> UTF-8 text

// Every non-empty cell of a row, as UTF-8, so that a cell written where none
// should be fails the comparison too.
TRowCells RowCells(const TModGrid& g, int row) {
    TRowCells cells;
    for (int col = 0; col <= g.LastFilledCol(); ++col)
        if (!g.Cells(col, row).empty()) cells[col] = Cp1251ToUtf8(g.Cells(col, row));
    return cells;
}

// The whole content of a grid, hidden cells included.
std::vector<std::vector<std::string>> GridContent(const TModGrid& g) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r <= g.LastFilledRow(); ++r) rows.push_back(g.Rows(r));
    for (int r = 0; r <= g.LastFilledRow(); ++r)
        for (int c = g.ColCount(); c <= g.LastFilledCol(); ++c) rows[r].push_back(g.Cells(c, r));
    rows.push_back({std::to_string(g.RowCount())});
    return rows;
}

std::string Join(const std::vector<std::string>& lines, const std::string& eol) {
    std::string text;
    for (const std::string& line : lines) text += line + eol;
    return text;
}

const std::string kLongName(300, 'x');

// Three nodes on a vertical line (Y 10, 20, 30) and three branches:
//
//   (1) --5 fan--> (2) --6--> (3) --7--> (1)
//
// Branch 6 has three turn points, the fan branch one. Branch lines carry
// the converter's 36 fields: number, type, nodes, name, length, PLA position,
// people, R, auxiliary depression, flow, alpha, two temperatures, section,
// height, angle, PLA colour, layer, depression, required flow, three unused,
// fixed depression, six more decimals, five integers ending with the
// fresh-air flag.
std::vector<std::string> SampleLines() {
    return {
        R"(99|"1.0")",
        Ru(R"(0|"Шахта 'Северная'"|"Вариант 3"|1|-2)"),
        Ru(R"(4|"Горизонт -300"|1)"),
        "2|1|100|10|-250.500000|1|0",
        "2|2|200|20|0.000000|0|0",
        "2|3|300|30|12.125000|0|1",
        Ru(R"(1|5|3|1|2|"Ствол 'Главный'"|120|2|0|0.050000|1500.000000|30.000000|0.500000|)"
           "12.000000|13.000000|12.500000|0.000000|0.000000|255|0|281.250000|50.000000|"
           "0.000000|0.000000|0.000000|0.000000|0.000000|0.000000|0.000000|0.000000|"
           "0.000000|0.000000|0|0|0|0|1"),
        R"(1|6|0|2|3|""|75.25|0|4|2.500000|0.000000|0.000000|0.000000|14.500000|15.000000|)"
        "8.000000|2.750000|-12.500000|-1|1|15.500000|0.000000|0.000000|0.000000|0.000000|"
        "25.500000|100.000000|0.000000|0.000000|20.000000|0.250000|6.000000|0|2|7|0|0",
        Ru(R"(1|7|-56|3|1|"Штрек|2 )") + kLongName +
            R"("|40000|3|12|0.123457|0.000000|-3.750000|1.000000|15.000000|16.750000|)"
            "0.000000|0.000000|30.000000|65280|-1|0.000000|20.000000|0.000000|0.000000|"
            "0.000000|0.000000|0.000000|0.000000|0.000000|3.000000|0.000000|4.000000|260|"
            "65535|300|0|1",
        Ru(R"(40|6|"Кабель"|""|"")"),
        Ru(R"(50|"ВОД-21"|750|-3|5)"),
        "3|6|305|31",
        "3|6|350|36",
        "3|99|1|1",
        "3|6",
        "3|6|-5|38",
        "3|5|150|15",
        // Kinds of two digits are other kinds, whatever their first digit.
        "30|6|1|1",
        "21|9|9|9|0.000000|0|0",
        "",
        Ru(R"(68|"Связь"|3|4)"),
    };
}

struct TreskImportTest : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    std::filesystem::path dir = arv::test::MakeTestFolder();

    std::string Write(const std::string& text, const std::string& name = "tresktxt.tresk") {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(WriteFileAtomic(path, text));
        return path;
    }
    // Imports the text and answers the opening message.
    bool Import(const std::string& text) {
        messages.Expect(mrOk, "Импорт файла Tresk");
        return ImportTreskText(Write(text), t, c);
    }
    // Cells an earlier network left, some of them beyond the usual rows.
    void FillStale() {
        for (TModGrid* g : {&t.TablDan, &t.TablDavl, &t.TablVen}) {
            g->SetRowCount(8);
            for (int r = 2; r < 8; ++r) g->SetCells(0, r, "old");
        }
        t.TablDan.SetCells(40, 3500, "old");
        t.TablDavl.SetCells(3, 2500, "old");
        t.TablVen.SetCells(90, 120, "old");
        t.UzPov = "1;9;";
        c.CalcOptions[4] = 'S';
        c.CalcOptions.FlowUnit = 60;
    }
    void ExpectDefaults() {
        EXPECT_EQ(1, c.CalcOptions.FlowUnit);
        EXPECT_EQ("DENMO", std::string({c.CalcOptions[1], c.CalcOptions[2], c.CalcOptions[3],
                                        c.CalcOptions[4], c.CalcOptions[5]}));
        EXPECT_EQ("20", t.Tnar);
        EXPECT_EQ("5", t.Tsh);
        EXPECT_EQ("750", t.Pnar);
        EXPECT_EQ("760", t.Psh);
        EXPECT_EQ("", t.UzPov);
    }
    void ExpectNoDataRows() {
        for (TModGrid* g : {&t.TablDan, &t.TablDavl, &t.TablVen}) {
            EXPECT_EQ(1, g->LastFilledRow()) << g->Name();
        }
    }
};

TEST_F(TreskImportTest, TestDataHasTheConvertersFieldCounts) {
    for (const std::string& line : SampleLines()) {
        if (!line.starts_with("1|")) continue;
        int fields = 1;
        bool quoted = false;
        for (char ch : line) {
            if (ch == '"') quoted = !quoted;
            if (ch == '|' && !quoted) ++fields;
        }
        EXPECT_EQ(37, fields) << line;
    }
}

TEST_F(TreskImportTest, FillsEveryCellOfBranchesFansAndNodes) {
    FillStale();
    ASSERT_TRUE(Import(Join(SampleLines(), "\r\n")));
    EXPECT_EQ(1, c.DataLoadedFlag);
    ExpectDefaults();
    EXPECT_EQ("Шахта 'Северная'", Cp1251ToUtf8(t.NameSh));
    EXPECT_EQ("Вариант 3", Cp1251ToUtf8(t.NameVar));

    const TModGrid& d = t.TablDan;
    ASSERT_EQ(5, d.RowCount());
    EXPECT_EQ(4, d.LastFilledRow());
    // The fan: type "В", resistance moved into the fan table.
    EXPECT_EQ((TRowCells{{0, "5"},
                         {1, "1"},
                         {2, "2"},
                         {3, "В"},
                         {5, "120"},
                         {6, "12,50"},
                         {10, "50,00"},
                         {11, "30,00"},
                         {15, "Ствол 'Главный'"},
                         {16, "255"},
                         {17, "3"},
                         {19, "1"},
                         {23, "2"},
                         {24, "1"},
                         {25, "1500"},
                         {26, "250"}}),
              RowCells(d, 2));
    // Zero flow still shows; three turn points reach column 30. Decimals
    // copied from the file keep every digit behind the tables' comma.
    EXPECT_EQ((TRowCells{{0, "6"},     {1, "2"},     {2, "3"},     {4, "2,500000"}, {5, "75,25"},
                         {6, "8,00"},  {11, "0,00"}, {16, "-1"},   {17, "0"},       {18, "25,50"},
                         {19, "0"},    {20, "2,75"}, {21, "4"},    {22, "-12,50"},  {24, "3"},
                         {25, "3050"}, {26, "90"},   {27, "3500"}, {28, "40"},      {29, "-50"},
                         {30, "20"}}),
              RowCells(d, 3));
    // A name with '|' and longer than 255 bytes stays whole.
    EXPECT_EQ((TRowCells{{0, "7"},
                         {1, "3"},
                         {2, "1"},
                         {4, "0,123457"},
                         {5, "40000"},
                         {10, "20,00"},
                         {11, "-3,75"},
                         {15, "Штрек|2 " + kLongName},
                         {16, "65280"},
                         {17, "-56"},
                         {19, "1"},
                         {21, "12"},
                         {22, "30,00"},
                         {23, "3"}}),
              RowCells(d, 4));

    ASSERT_EQ(3, t.TablVen.RowCount());
    EXPECT_EQ(2, t.TablVen.LastFilledRow());
    EXPECT_EQ((TRowCells{{0, "5"}, {3, "-0,050000"}, {5, "1500,000000"}}), RowCells(t.TablVen, 2));

    const TModGrid& n = t.TablDavl;
    ASSERT_EQ(5, n.RowCount());
    EXPECT_EQ(4, n.LastFilledRow());
    // Y 10, 20, 30 mirrored into 300, 200, 100; elevation 12.125 rounds up.
    EXPECT_EQ((TRowCells{{0, "1"}, {1, "1"}, {4, "-250,50"}, {5, "1000"}, {6, "300"}}),
              RowCells(n, 2));
    EXPECT_EQ((TRowCells{{0, "2"}, {1, "0"}, {5, "2000"}, {6, "200"}}), RowCells(n, 3));
    EXPECT_EQ((TRowCells{{0, "3"}, {1, "0"}, {4, "12,13"}, {5, "3000"}, {6, "100"}}),
              RowCells(n, 4));
    EXPECT_EQ(1000, c.NodeX[1]);
    EXPECT_EQ(300, c.NodeY[1]);
    EXPECT_EQ(3000, c.NodeX[3]);
    EXPECT_EQ(100, c.NodeY[3]);

    // Three branch rows: the arrays were read from the tables.
    EXPECT_EQ(1, c.BranchBeginNode[5]);
    EXPECT_EQ(3, c.BranchEndNode[6]);
    EXPECT_DOUBLE_EQ(-0.05, c.FanCoefA[5]);
    EXPECT_DOUBLE_EQ(1500, c.FanCoefC[5]);
    EXPECT_EQ(BranchType::Fan, c.BranchKindCode[5]);
    EXPECT_EQ(0, c.CalcErrorFlag);
}

TEST_F(TreskImportTest, CrLfAndLfGiveTheSameTables) {
    ASSERT_TRUE(Import(Join(SampleLines(), "\r\n")));
    std::vector<std::vector<std::vector<std::string>>> crlf;
    for (const TModGrid* g : {&t.TablDan, &t.TablVen, &t.TablDavl}) crlf.push_back(GridContent(*g));
    const std::string names = t.NameSh + t.NameVar;

    // The LF text without an end after its last line.
    std::string lf = Join(SampleLines(), "\n");
    lf.pop_back();
    ASSERT_TRUE(Import(lf));
    std::vector<std::vector<std::vector<std::string>>> got;
    for (const TModGrid* g : {&t.TablDan, &t.TablVen, &t.TablDavl}) got.push_back(GridContent(*g));
    EXPECT_EQ(crlf, got);
    EXPECT_EQ(names, t.NameSh + t.NameVar);
}

// A branch record with its 36 fields, resistance 0.1 and every other value 0.
std::string BranchLine(const std::string& number, int begin, int end) {
    return "1|" + number + "|0|" + std::to_string(begin) + "|" + std::to_string(end) +
           "|\"\"|10|0|0|0.1|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0\r\n";
}

// Three nodes and `count` branches numbered from 1, alternately 2 -> 3 and
// 1 -> 2.
std::string Branches(int count) {
    std::string text = "2|1|0|0|0.000000|0|0\r\n2|2|0|0|0.000000|0|0\r\n2|3|0|0|0.000000|0|0\r\n";
    for (int i = 1; i <= count; ++i) text += BranchLine(std::to_string(i), 1 + i % 2, 2 + i % 2);
    return text;
}

TEST_F(TreskImportTest, RowCountsFollowTheRecords) {
    const int expected[] = {3, 4, 4, 5, 6};
    for (int count = 0; count <= 4; ++count) {
        ASSERT_TRUE(Import(Branches(count))) << count;
        EXPECT_EQ(expected[count], t.TablDan.RowCount()) << count;
        EXPECT_EQ(count + 1, t.TablDan.LastFilledRow()) << count;
        EXPECT_EQ(4, t.TablVen.RowCount());
        EXPECT_EQ(5, t.TablDavl.RowCount());
    }
    // One branch leaves row 3 empty.
    ASSERT_TRUE(Import(Branches(1)));
    EXPECT_TRUE(RowCells(t.TablDan, 3).empty());
}

// The branch work list of the calculation arrays starts afresh: importing the
// same file twice gives the same count, not twice it.
TEST_F(TreskImportTest, ImportingTwiceKeepsTheWorkCount) {
    ASSERT_TRUE(Import(Branches(4)));
    const int32_t first = c.BranchWorkCount;
    EXPECT_GT(first, 0);
    ASSERT_TRUE(Import(Branches(4)));
    EXPECT_EQ(first, c.BranchWorkCount);
}

TEST_F(TreskImportTest, VersionLineAloneGivesEmptyTables) {
    FillStale();
    ASSERT_TRUE(Import("99|\"1.0\"\r\n"));
    EXPECT_EQ(1, c.DataLoadedFlag);
    ExpectDefaults();
    ExpectNoDataRows();
    EXPECT_EQ(3, t.TablDan.RowCount());
    EXPECT_EQ(3, t.TablDavl.RowCount());
    EXPECT_EQ(4, t.TablVen.RowCount());
    // The headings stay.
    EXPECT_FALSE(t.TablDan.Cells(0, 0).empty());
}

TEST_F(TreskImportTest, OneNodeRecordKeepsItsNodeNumber) {
    ASSERT_TRUE(Import("2|7|5|6|0|1|0\r\n"));
    EXPECT_EQ(4, t.TablDavl.RowCount());
    // A numbered node is placed like any other: mirrored and scaled.
    EXPECT_EQ((TRowCells{{0, "7"}, {1, "1"}, {5, "50"}, {6, "60"}}), RowCells(t.TablDavl, 2));
}

TEST_F(TreskImportTest, MirrorKeepsItsBoundsStartValues) {
    // Above 1000 the lower bound stays 1000.
    ASSERT_TRUE(Import("2|1|1|1500|0|0|0\r\n2|2|2|1600|0|0|0\r\n"));
    EXPECT_EQ("11000", t.TablDavl.Cells(6, 2));
    EXPECT_EQ("10000", t.TablDavl.Cells(6, 3));
    EXPECT_EQ("10", t.TablDavl.Cells(5, 2));
    // All below 0: the upper bound stays 0.
    ASSERT_TRUE(Import("2|1|0|-10|0|0|0\r\n2|2|0|-30|0|0|0\r\n"));
    EXPECT_EQ("-200", t.TablDavl.Cells(6, 2)); // (0 + 10 - 30) * 10
    EXPECT_EQ("0", t.TablDavl.Cells(6, 3));
}

TEST_F(TreskImportTest, RowsWithoutNumberGetNoCoordinates) {
    // The unnumbered node row neither moves nor counts for the bounds, and
    // node 1 is mirrored once; an unnumbered branch row takes no turn point.
    ASSERT_TRUE(Import("2||50|5000|0|0|0\r\n2|1|1|10|0|0|0\r\n2|2|2|30|0|0|0\r\n" +
                       BranchLine("", 1, 2) + "3||7|7\r\n3|0|7|7\r\n"));
    EXPECT_EQ((TRowCells{{1, "0"}, {5, "50"}, {6, "5000"}}), RowCells(t.TablDavl, 2));
    EXPECT_EQ("300", t.TablDavl.Cells(6, 3));
    EXPECT_EQ("100", t.TablDavl.Cells(6, 4));
    EXPECT_EQ("", t.TablDan.Cells(TreskTurnCountCol, 2));
}

// The coordinates come from the node rows: a branch error that stops the
// array read before the node table, or a node listed twice, must not move
// the plan.
TEST_F(TreskImportTest, CoordinatesSurviveAFailedArrayRead) {
    messages.Expect(mrOk, "Импорт файла Tresk");
    messages.Expect(mrCancel, "Ошибка: ветвь 3 начальный номер равен конечному");
    ASSERT_TRUE(ImportTreskText(Write("2|1|10|10|0|0|0\r\n2|2|20|20|0|0|0\r\n2|3|30|30|0|0|0\r\n"
                                      "2|2|20|20|0|0|0\r\n" +
                                      BranchLine("1", 1, 2) + BranchLine("2", 2, 3) +
                                      BranchLine("3", 3, 3)),
                                t, c));
    EXPECT_EQ(1, c.CalcErrorFlag);
    std::vector<std::string> cells;
    for (int r = 2; r <= 5; ++r) {
        cells.push_back(t.TablDavl.Cells(5, r));
        cells.push_back(t.TablDavl.Cells(6, r));
    }
    EXPECT_EQ((std::vector<std::string>{"100", "300", "200", "200", "300", "100", "200", "200"}),
              cells);
    EXPECT_EQ(300, c.NodeY[1]);
    EXPECT_EQ(200, c.NodeY[2]);
}

TEST_F(TreskImportTest, TurnRecordsWithoutTheirBranchAreIgnored) {
    // Before its branch, for a branch that never comes, without a point.
    ASSERT_TRUE(Import("3|4|1|1\r\n3|4\r\n" + Branches(4) + "3|9|1|1\r\n3|2|5|6\r\n3|\r\n3\r\n"));
    EXPECT_EQ("1", t.TablDan.Cells(TreskTurnCountCol, 3));
    EXPECT_EQ("50", t.TablDan.Cells(TreskFirstTurnCol, 3));
    for (int r : {2, 4, 5}) EXPECT_EQ("", t.TablDan.Cells(TreskTurnCountCol, r)) << r;
}

TEST_F(TreskImportTest, MissingFileLeavesClearedTablesAndNoFlag) {
    FillStale();
    messages.Expect(mrOk, "Импорт файла Tresk");
    EXPECT_FALSE(ImportTreskText((dir / "none.tresk").string(), t, c));
    EXPECT_EQ(0, c.DataLoadedFlag);
    ExpectDefaults();
    ExpectNoDataRows();
    EXPECT_EQ(3, t.TablDan.RowCount());
    EXPECT_EQ(4, t.TablVen.RowCount());
    EXPECT_EQ(3, t.TablDavl.RowCount());
}

TEST_F(TreskImportTest, BadRecordsStopTheImportWithTheirLine) {
    struct TCase {
        std::string line;
        std::string message;
    };
    const TCase cases[] = {
        {"1|9|0|1|2|\"\"|10|0|0|0.1|0|abc|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0",
         "Файл Tresk, строка 3: поле 11: 'abc' is not a valid floating point value"},
        {"1|9|0|1|2|\"\"|10|x|0|0.1|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0",
         "Файл Tresk, строка 3: поле 7: 'x' is not a valid integer value"},
        // Cut before field 25.
        {"1|9|0|1|2|\"\"|10|0|0|0.1|0|0|0|0|0|0|0|0|0|0|0",
         "Файл Tresk, строка 3: поле 21: '' is not a valid floating point value"},
        {"2|2002|0|0|0|0|0", "Файл Tresk, строка 3: номер узла 2002 вне пределов от 1 до 2001"},
        {"2|0|0|0|0|0|0", "Файл Tresk, строка 3: номер узла 0 вне пределов от 1 до 2001"},
        {"2|5|0|0|high|0|0", "Файл Tresk, строка 3: поле 4: 'high' is not a valid floating point "
                             "value"},
        {"2|5|100000001|0|0|0|0",
         "Файл Tresk, строка 3: поле 2: координата 100000001 по модулю больше 100000000"},
        {"3|1|1|-200000000",
         "Файл Tresk, строка 3: поле 3: координата -200000000 по модулю больше 100000000"},
        {"3|1|1,5|1", "Файл Tresk, строка 3: поле 2: '1,5' is not a valid integer value"},
    };
    const std::string head = "2|1|0|0|0|0|0\r\n" + BranchLine("1", 1, 2);
    for (const TCase& k : cases) {
        c.DataLoadedFlag = 0;
        messages.Expect(mrOk, "Импорт файла Tresk");
        messages.Expect(mrOk, k.message);
        EXPECT_FALSE(ImportTreskText(Write(head + k.line + "\r\n2|3|0|0|0|0|0\r\n"), t, c))
            << k.line;
        EXPECT_EQ(0, c.DataLoadedFlag);
        // The records before the bad one stay; nothing after it is read.
        EXPECT_EQ("1", t.TablDan.Cells(0, 2));
        EXPECT_EQ("1", t.TablDavl.Cells(0, 2));
        EXPECT_EQ("", t.TablDan.Cells(0, 3));
        EXPECT_EQ("", t.TablDavl.Cells(0, 3));
        EXPECT_EQ(4, t.TablDan.RowCount());
    }
    EXPECT_EQ(TMsgIcon::Error, messages.Shown().back().icon);
}

// A converter cut off while writing leaves any prefix of its text behind:
// every one is read or refused with a message, never more.
TEST_F(TreskImportTest, EveryPrefixOfTheTextIsSafe) {
    messages.AllowAny();
    const std::string text = Join(SampleLines(), "\r\n");
    for (size_t n = 0; n <= text.size(); ++n) {
        const bool ok = ImportTreskText(Write(text.substr(0, n)), t, c);
        EXPECT_GE(t.TablDan.RowCount(), 3);
        if (!ok) {
            EXPECT_GE(messages.Shown().size(), 2u);
        }
        messages.Clear();
    }
}

// The built converter turns the sample mine into its text; the import fills
// the tables from it, and the result is a network the calculation accepts.
TEST_F(TreskImportTest, SampleMineThroughTheConverter) {
    const auto mine = dir / "sample mine.MINE";
    ASSERT_TRUE(halvard::test::WriteSampleMine(mine));
    const std::string out = (dir / "tresktxt.tresk").string();
    int exitCode = -1;
    ASSERT_EQ(TRunResult::Finished,
              RunAndWait(HALVARD_PATH, {mine.string(), out}, 30000, exitCode));
    ASSERT_EQ(0, exitCode);

    messages.Expect(mrOk, "Импорт файла Tresk");
    ASSERT_TRUE(ImportTreskText(out, t, c));
    EXPECT_EQ("Шахта 'Восточная'", Cp1251ToUtf8(t.NameSh));
    EXPECT_EQ("Вариант 2024", Cp1251ToUtf8(t.NameVar));

    const TModGrid& d = t.TablDan;
    ASSERT_EQ(5, d.RowCount());
    EXPECT_EQ((TRowCells{{0, "10"},
                         {1, "1"},
                         {2, "2"},
                         {3, "В"},
                         {5, "150"},
                         {6, "12,50"},
                         {10, "50,00"},
                         {11, "45,50"},
                         {15, "Ствол 'Главный'"},
                         {16, "255"},
                         {17, "0"},
                         {19, "1"},
                         {20, "3,50"},
                         {21, "5"},
                         {23, "1"},
                         {24, "1"},
                         {25, "1500"},
                         {26, "350"}}),
              RowCells(d, 2));
    EXPECT_EQ("20,25", Cp1251ToUtf8(d.Cells(11, 3)));
    EXPECT_EQ("", d.Cells(15, 3));
    EXPECT_EQ("25,50", d.Cells(18, 4));
    EXPECT_EQ("-56", d.Cells(TreskOutsideTypeCol, 4));
    EXPECT_EQ("3", d.Cells(TreskTurnCountCol, 4));
    // Turn points (305, 31), (350, 36), (-5, 38) with Y bounds 10 and 40.
    std::vector<std::string> turns;
    for (int col = TreskFirstTurnCol; col < TreskFirstTurnCol + 6; ++col)
        turns.push_back(d.Cells(col, 4));
    EXPECT_EQ((std::vector<std::string>{"3050", "190", "3500", "140", "-50", "120"}), turns);
    EXPECT_EQ((TRowCells{{0, "10"}, {3, "-0,125000"}, {5, "1500,000000"}}), RowCells(t.TablVen, 2));
    EXPECT_EQ(3, t.TablVen.RowCount());
    ASSERT_EQ(6, t.TablDavl.RowCount());
    EXPECT_EQ((TRowCells{{0, "4"}, {1, "0"}, {4, "12,13"}, {5, "400000"}, {6, "100"}}),
              RowCells(t.TablDavl, 5));

    // The surface flags of the file name the surface nodes; the chain 1 to 4
    // with its fan then passes the preparation.
    t.UzPov = "1;4;";
    PrepareNetwork(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(3, c.BranchWorkCount);
    EXPECT_EQ(BranchType::Fan, c.BranchKindCode[10]);
    EXPECT_DOUBLE_EQ(1500, c.FanCoefC[10]);
    EXPECT_DOUBLE_EQ(2.5, c.BranchResistance[11]);

    // The natural distribution runs on the imported tables: one chain, one flow.
    Rasc_ERClick(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_FALSE(d.Cells(11, 2).empty());
    EXPECT_EQ(d.Cells(11, 2), d.Cells(11, 3));
    EXPECT_EQ(d.Cells(11, 2), d.Cells(11, 4));
}

} // namespace
