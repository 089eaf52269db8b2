// Inputs a fuzzer found, kept in tests/data/fuzz (the quick replay of the
// fuzz targets reads them too): what each must now do.
#include "calc/engine/NetworkPreparation.h"
#include "calc/files/DataFiles.h"
#include "calc/files/Libraries.h"
#include "calc/files/NetworkDataText.h"
#include "calc/files/OldImports.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace arv;

namespace {

std::string FindingPath(const std::string& name) {
    return std::string(ARV_CALC_TEST_DATA) + "/fuzz/" + name;
}

// The data rows a table shows, empty ones at the end left out.
std::vector<std::vector<std::string>> Shown(const TModGrid& g) {
    std::vector<std::vector<std::string>> rows;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) rows.push_back(g.Rows(r));
    while (!rows.empty() && std::all_of(rows.back().begin(), rows.back().end(),
                                        [](const std::string& c) { return c.empty(); }))
        rows.pop_back();
    return rows;
}

std::string ReadFinding(const std::string& name) {
    std::ifstream in(FindingPath(name), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

struct FuzzFindings : ::testing::Test {
    TCalcContext context;
    TNetworkTables tables{context};
    test::TScriptedMessages messages;
    FuzzFindings() { tables.InitTables(); }
};

TEST_F(FuzzFindings, ElevationBeyondAnyMineIsRefusedNamingTheNode) {
    // Node 9 has the elevation 1E30: no length through it means anything,
    // and the calculation stops on it as on any bad number.
    messages.AllowAny();
    ParseNetworkDataText(ReadFinding("data_text/datatext-huge-elevation.txt"), tables, context);
    PrepareNetwork(tables, context);
    EXPECT_NE(0, context.CalcErrorFlag);
    const auto shown = messages.ShownUtf8();
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(std::string::npos, shown.front().find("узел 9")) << shown.front();
    EXPECT_EQ("9", Trim(tables.TablDavl.Cells(0, tables.TablDavl.Row())));
}

TEST_F(FuzzFindings, BadRowLeavesTheTablesAsTheyWereSoASaveReadsTheSame) {
    messages.AllowAny();
    ParseNetworkDataText(ReadFinding("data_text/datatext-not-stable-after-save.txt"), tables,
                         context);
    const std::string once = BuildNetworkDataText(tables, context);
    TCalcContext otherContext;
    TNetworkTables other(otherContext);
    other.InitTables();
    ParseNetworkDataText(once, other, otherContext);
    EXPECT_EQ(once, BuildNetworkDataText(other, otherContext));
}

TEST_F(FuzzFindings, ARecordWithoutItsNumberReadsAsItsSaveDoes) {
    // A branch record without a number stopped the reading of every branch
    // (so the resistances worked out from the geometry were not written);
    // the save dropped the record, and the saved text then read differently.
    messages.AllowAny();
    ParseNetworkDataText(ReadFinding("data_text/datatext-record-without-number.txt"), tables,
                         context);
    EXPECT_EQ(0, context.CalcErrorFlag);
    const std::string once = BuildNetworkDataText(tables, context);
    TCalcContext otherContext;
    TNetworkTables other(otherContext);
    other.InitTables();
    ParseNetworkDataText(once, other, otherContext);
    EXPECT_EQ(once, BuildNetworkDataText(other, otherContext));
}

TEST_F(FuzzFindings, DosImportShowsTheResistanceTheCalculationAndTheSavedDataUse) {
    // Resistance 0.5 with length 10, section 1 and coefficient 1: the
    // calculation takes 4 * 1e-4 * 10 * 1 / 1 = 0.004 from the geometry, and
    // so does the reading of the saved data.
    const std::string file = FindingPath("old_data/ids-import-resistance-changes-on-reopen.ids");
    ASSERT_EQ(TImportStatus::Read, ImportDosFiles(file, tables, context.CalcOptions).Status);
    for (int r = 2; r <= 4; ++r) EXPECT_EQ("0,004", tables.TablDan.Cells(4, r)) << r;
    // The surface node the user adds after an import, as the calculation needs one.
    tables.UzPov = "1;";
    PrepareNetwork(tables, context);
    ASSERT_EQ(0, context.CalcErrorFlag);
    for (int n = 1; n <= 3; ++n) EXPECT_DOUBLE_EQ(0.004, context.BranchResistance[n]) << n;

    TCalcContext otherContext;
    TNetworkTables other(otherContext);
    other.InitTables();
    ParseNetworkDataText(BuildNetworkDataText(tables, context), other, otherContext);
    EXPECT_EQ(Shown(tables.TablDan), Shown(other.TablDan));
}

TEST_F(FuzzFindings, FanNamesWithSeparatorsOrLineBreaksReadBackFromTheSavedLibrary) {
    TModGrid library;
    PrepareLibraryGrid(library, TLibraryKind::Fans);
    ASSERT_TRUE(
        ImportFanLibraryFile(FindingPath("old_data/fan-import-name-with-line-break.bin"), library));
    // Record 1 names "ОМ-12;15;...", record 4 holds CR LF.
    EXPECT_EQ(Ru("ОМ-12 15 -0,90000 0"), library.Cells(0, 2));
    EXPECT_EQ(std::string::npos, library.Cells(0, 5).find_first_of(";\r\n"));
    TModGrid back;
    PrepareLibraryGrid(back, TLibraryKind::Fans);
    const std::string saved = (test::MakeTestFolder() / "rvVent.bib").string();
    ASSERT_TRUE(WriteFileAtomic(saved, LibraryFileText(library)));
    ASSERT_TRUE(ReadLibraryFile(saved, back, TLibraryKind::Fans));
    EXPECT_EQ(library.RowCount(), back.RowCount());
    EXPECT_EQ(Shown(library), Shown(back));

    // A name typed into the library window with the separator or a line
    // break keeps its row whole.
    library.SetCells(0, 3, Ru("ВОД;30\r\nМ"));
    ASSERT_TRUE(WriteFileAtomic(saved, LibraryFileText(library)));
    ASSERT_TRUE(ReadLibraryFile(saved, back, TLibraryKind::Fans));
    EXPECT_EQ(Ru("ВОД 30  М"), back.Cells(0, 3));
    EXPECT_EQ(library.Cells(1, 3), back.Cells(1, 3));
    EXPECT_EQ(library.RowCount(), back.RowCount());
}

TEST_F(FuzzFindings, CarriageReturnsInALibraryEndLinesSoTheSavedLibraryReadsTheSame) {
    const std::string dir = test::MakeTestFolder().string();
    const std::string written = dir + "/in.bib", saved = dir + "/rvVent.bib";
    // The finding (a CR, then ";"), LF CR line ends, a stray CR in front of
    // a number: every CR ends a line (a run of them before LF, one line),
    // none is read into a cell.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {ReadFinding("old_data/bib-cr-in-cell-becomes-blank.bib"), {"", ""}},
        {Ru("ВОД-16;15;\n\rВОД-21;30;\n\r"), {Ru("ВОД-16"), Ru("ВОД-21")}},
        {"A;\r100;-0,5;\r\n", {"A", "100"}},
        // CR CR LF, a file converted twice: one line end each, no blank rows.
        {ReadFinding("old_data/bib-cr-cr-lf-blank-rows.bib"), {"A", "B"}},
    };
    for (const auto& [bytes, firstCells] : cases) {
        for (TLibraryKind kind : {TLibraryKind::Fans, TLibraryKind::Devices}) {
            ASSERT_TRUE(WriteFileAtomic(written, bytes));
            TModGrid library, back;
            PrepareLibraryGrid(library, kind);
            PrepareLibraryGrid(back, kind);
            ASSERT_TRUE(ReadLibraryFile(written, library, kind));
            for (size_t k = 0; k < firstCells.size(); ++k)
                EXPECT_EQ(firstCells[k], library.Cells(0, FirstDataRow + static_cast<int>(k)));
            for (int r = FirstDataRow; r < library.RowCount(); ++r)
                for (const std::string& cell : library.Rows(r))
                    EXPECT_EQ(std::string::npos, cell.find_first_of("\r\n")) << r;
            ASSERT_TRUE(WriteFileAtomic(saved, LibraryFileText(library)));
            ASSERT_TRUE(ReadLibraryFile(saved, back, kind));
            EXPECT_EQ(library.RowCount(), back.RowCount());
            EXPECT_EQ(Shown(library), Shown(back));
        }
    }
    // The initial data table reads those line ends alike.
    ASSERT_TRUE(LoadIdsTable(FindingPath("id_file/id-cr-cr-lf-blank-rows.id"), tables,
                             context.CalcOptions));
    EXPECT_EQ(2, tables.TablID.RowCount());
    EXPECT_EQ("2", tables.TablID.Cells(0, 1));
}

} // namespace
