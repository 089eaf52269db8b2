#include "calc/files/ExchangeExport.h"

#include "calc/files/TreskImport.h"
#include "calc/testing/NetworkBuilder.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace arv;
using arv::test::TNetworkBuilder;
using arv::test::TScriptedMessages;

namespace {

std::string ReadUtf8(const std::filesystem::path& path) {
    return Cp1251ToUtf8(test::FileBytes(path.string()));
}

// Three workings and a fan between four nodes:
//
//   1 (100,900) --b1--> 2 (300,500) --b2--> 3 (300,900) --b3 fan--> 4 (100,500)
//
// b1 has a typed resistance with a comma and no regulator, b2 an empty
// resistance and a regulator, b3 is the fan with A = -0,5 and C = 120.
struct TExportFixture : ::testing::Test {
    TExportFixture() : tables(context), build((tables.InitTables(), tables)) {
        tables.NameSh = Ru("Шахта «Северная»");
        tables.NameVar = Ru("Вариант 1");
        int r1 = build.Branch(1, 1, 2, 0);
        build.BranchCell(r1, 4, "0,0123");
        build.BranchCell(r1, 5, "120,5");
        build.BranchCell(r1, 6, "12,4");
        build.BranchCell(r1, 15, "Штрек, 'главный'");
        build.BranchCell(r1, 21, "7");
        int r2 = build.Branch(2, 2, 3, 0);
        build.BranchCell(r2, 4, "");
        build.BranchCell(r2, 8, "0,5");
        build.BranchCell(r2, 5, "abc");
        build.BranchCell(r2, 10, "15,5");
        int r3 = build.Branch(3, 3, 4, 0, "В");
        build.BranchCell(r3, 4, "");
        build.BranchCell(r3, 18, "12");
        build.Fan(3, -0.5, 0, 120);
        build.Node(1, 250);
        build.Node(2, 240);
        build.Node(3, 230);
        build.Node(4, 0);
        plan.Nodes = {{1, 100, 900, true},
                      {2, 300, 500, false},
                      {3, 300, 900, false},
                      {4, 100, 500, true},
                      {-1, 5000, 5000, false}};
        plan.Branches = {{1, 4, 255, true, false}, {1, 9, 1, false, true}, {2, 0, 77, false, true}};
        plan.PolylineBends = {{2, {{200, 700}, {250, 600}}}};
    }
    TCalcContext context;
    TNetworkTables tables;
    TNetworkBuilder build;
    TExchangePlan plan;
    std::filesystem::path dir = test::MakeTestFolder();
    TScriptedMessages messages;
};

TEST_F(TExportFixture, TreskTextByteForByte) {
    auto file = dir / "out.tresk";
    ExportWrittenFlag() = 1;
    WriteTreskText(file.string(), tables, plan);
    EXPECT_EQ(1, ExportWrittenFlag());
    // Width 10*round(1.1*200/100) = 20, height 10*round(1.1*400/100) = 40;
    // node x = (x-100)/10, y = (900-y)/10. The first figure of branch 1
    // wins; branch 2's PLA position 0 gives colour 16777215; branch 3 has no
    // figure. A length that is no number counts as 0.
    const std::string expected =
        "99|\"1.0\"\r\n"
        "0|\"Шахта «Северная»\"|\"Вариант 1\"|20|40\r\n"
        "1|1|0|1|2|\"Штрек.  главный \"|  "
        "120|4|7|0.012300|0.0|0.0|0.0|0.0|0.0|12.4|0.0|0.0|255|0|0.0|0.0|0.0|"
        "0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.15|12.0|0|0|0|0|1\r\n"
        "1|2|1|2|3|\"\"|    "
        "0|0|0|0.500001|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0.0|16777215|0|0.0|15.5|0.0|0.0|"
        "0.0|0.0|0.0|0.0|0.0|0.0|0.15|12.0|0|0|0|0|0\r\n"
        "1|3|0|3|4|\"\"|0|0|0|0.50000|120.00000|0.0|0.0|0.0|0.0|0.0|0.0|0.0|0|0|0.0|0.0|0.0|0.0|0."
        "0|12|"
        "0.0|0.0|0.0|0.0|0.15|12.0|0|0|0|0|0\r\n"
        "2|1|0|0|250|1|1\r\n"
        "2|2|20|40|240|0|0\r\n"
        "2|3|20|0|230|0|0\r\n"
        "2|4|0|40|0|1|1\r\n"
        "3|2|10|20\r\n"
        "3|2|15|30\r\n";
    EXPECT_EQ(expected, ReadUtf8(file));
}

TEST_F(TExportFixture, VeltorTextByteForByte) {
    auto file = dir / "out.veltor";
    tables.TablDan.SetCells(5, 3, "88,5"); // the Veltor length must convert
    tables.TablDavl.SetCells(5, 2, "100");
    tables.TablDavl.SetCells(6, 2, "900");
    WriteVeltorText(file.string(), tables, plan);
    EXPECT_EQ(1, ExportWrittenFlag());
    const std::string expected =
        "99|\"1.0\"\r\n"
        "0|\"Шахта «Северная»\"|\"Вариант 1\"\r\n"
        "1|1|1|2|\"\"|\"Штрек.  главный \"|  "
        "120|12.4|0.0|0.012300|0.000|0.0|0.0|0.0|7|0.0|4|255|1\r\n"
        "1|2|2|3|\"\"|\"\"|   88|0.0|0.0|0.000001|0.500|15.5|0.0|0.0|0|0.0|0|16777215|0\r\n"
        "1|3|3|4|\"В\"|\"\"|0|0.0|0.0|0.50000|120.00000|0.0|12|0.0|0|0.0|0|0|0\r\n"
        "2|1|0|0|100|900|250|1\r\n"
        "2|2|200|400|0|0|240|0\r\n"
        "2|3|200|0|0|0|230|0\r\n"
        "2|4|0|400|0|0|0|1\r\n";
    EXPECT_EQ(expected, ReadUtf8(file));
}

TEST_F(TExportFixture, BadTableDataWritesNothingAndLeavesTheFlagDown) {
    auto file = dir / "out.tresk";
    {
        std::ofstream old(file, std::ios::binary);
        old << "old";
    }
    // The Veltor length must be a number: the conversion error stops it.
    messages.Expect(mrOk, "'abc' is not a valid floating point value");
    ExportWrittenFlag() = 1;
    WriteVeltorText(file.string(), tables, plan);
    EXPECT_EQ(0, ExportWrittenFlag());
    EXPECT_EQ("old", ReadUtf8(file));

    // A node row without its number: the node table was not computed.
    tables.TablDavl.SetCells(0, 3, "");
    messages.Expect(mrOk, "Неверные данные в таблице узлов. Произведите расчет.");
    WriteTreskText(file.string(), tables, plan);
    EXPECT_EQ(0, ExportWrittenFlag());
    EXPECT_EQ("old", ReadUtf8(file));
}

TEST_F(TExportFixture, DrawingWithoutNodesHasNoExtent) {
    plan.Nodes.clear();
    plan.PolylineBends.clear();
    auto file = dir / "out.tresk";
    WriteTreskText(file.string(), tables, plan);
    std::string text = ReadUtf8(file);
    EXPECT_NE(std::string::npos, text.find("\"Вариант 1\"|0|0\r\n"));
}

TEST_F(TExportFixture, TreskExportReadsBackThroughTheImport) {
    auto file = dir / "out.tresk";
    WriteTreskText(file.string(), tables, plan);
    TCalcContext otherContext;
    TNetworkTables other(otherContext);
    other.InitTables();
    messages.AllowAny();
    ASSERT_TRUE(ImportTreskText(file.string(), other, otherContext));
    // Numbers, ends, names, lengths and the resistance with its regulator
    // folded in come back; the fan comes back as a fan with its A and C.
    const TModGrid& d = other.TablDan;
    EXPECT_EQ("1", d.Cells(0, 2));
    EXPECT_EQ("2", d.Cells(2, 2));
    EXPECT_EQ(Ru("Штрек.  главный "), d.Cells(15, 2));
    EXPECT_EQ("120", d.Cells(5, 2));
    EXPECT_EQ("0,012300", d.Cells(4, 2));
    EXPECT_EQ("0,500001", d.Cells(4, 3));
    EXPECT_EQ(Ru("В"), d.Cells(3, 4));
    EXPECT_EQ("3", other.TablVen.Cells(0, 2));
    EXPECT_EQ("120,00000", other.TablVen.Cells(5, 2));
    EXPECT_EQ("250,00", other.TablDavl.Cells(4, 2));
}

} // namespace
