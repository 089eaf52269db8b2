// Inputs a fuzzer found, kept in tests/data/fuzz (the quick replay of the
// fuzz targets reads them too): what each must now do.
#include "calc/engine/NetworkPreparation.h"
#include "calc/files/NetworkDataText.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace arv;

namespace {

std::string ReadFinding(const std::string& name) {
    std::ifstream in(std::string(ARV_CALC_TEST_DATA) + "/fuzz/" + name, std::ios::binary);
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

} // namespace
