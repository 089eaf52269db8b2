// The reader on small synthetic files: where each tag's values land, and
// the named malformed cases (cut short, counts and slots out of range,
// length bytes over their field).
#include "converter/MineReader.h"
#include "converter/tests/MineFileBuilder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace halvard::test {
namespace {

struct TRead {
    bool ok = false;
    TMineTables tables;
    std::string console;
};

TRead Read(const TMineFileBuilder& b) {
    TRead r;
    std::ostringstream console;
    const std::string& bytes = b.Bytes();
    TMineReader reader(TBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                       r.tables, console, false);
    r.ok = reader.ReadMine();
    r.console = console.str();
    return r;
}

std::string Slot(const TTextTable& table, int slot) {
    auto it = table.find(slot);
    return it == table.end() ? std::string() : it->second;
}

TMineFileBuilder Mine() {
    TMineFileBuilder b;
    b.Header();
    return b;
}

TEST(Reader, HeaderIsNotChecked) {
    TMineFileBuilder b;
    b.Header("mkLite", 9, 1000, 0x12345678); // records still start at byte 16
    b.U16s(TagNodeNumbers, {5});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tables.Header.Lite, 1);
    EXPECT_EQ(r.tables.Header.Ver, 9);
    EXPECT_EQ(r.tables.Header.HeadSize, 1000u);
    EXPECT_EQ(r.tables.Header.CRC, 0x12345678u);
    EXPECT_EQ(r.tables.NodeNumbers, std::vector<uint16_t>{5});

    TMineFileBuilder other;
    other.Header("mkMinE");
    EXPECT_EQ(Read(other).tables.Header.Lite, -1);
    // A file shorter than the header has no records.
    EXPECT_TRUE(Read(TMineFileBuilder().Raw("mkMi")).ok);
}

TEST(Reader, NodeAndBranchTables) {
    TMineFileBuilder b = Mine();
    b.U16s(TagNodeNumbers, {3, 4});
    b.U16s(TagNodeX, {10, 65535});
    b.F64s(TagNodeAlt, {-1.5, 2});
    b.U16s(TagBrNumbers, {7});
    b.I32s(TagBrPLAColors, {-5});
    b.F64s(TagBrQnorm, {4.25});
    b.U8s(TagBrType, {200});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok) << r.console;
    EXPECT_EQ(r.tables.NodeX, (std::vector<uint16_t>{10, 65535}));
    EXPECT_EQ(r.tables.NodeY, (std::vector<uint16_t>{0, 0})); // no tag: zeros
    EXPECT_EQ(r.tables.NodeAlt, (std::vector<double>{-1.5, 2}));
    EXPECT_EQ(r.tables.BrPLAColors, std::vector<int32_t>{-5});
    EXPECT_EQ(r.tables.BrQnorm, std::vector<double>{4.25});
    EXPECT_EQ(r.tables.BrType, std::vector<uint8_t>{200});
}

TEST(Reader, NodeLogicalSetsExitAndSurfaceFlags) {
    TMineFileBuilder b = Mine();
    b.U16s(TagNodeNumbers, {1, 2, 3, 4});
    b.U8s(TagNodeExit, {9, 9, 9, 9});
    b.U16s(TagNodeLogical, {0, 1, 2, 3 | 0xFFF0});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tables.NodeExit, (std::vector<uint8_t>{0, 1, 0, 1}));
    EXPECT_EQ(r.tables.NodeSurf, (std::vector<uint8_t>{0, 0, 1, 1}));
}

// Array tags read count × element size, not their Size field.
TEST(Reader, ArraysReadTheirCountNotTheirSize) {
    TMineFileBuilder b = Mine();
    b.U16s(TagNodeNumbers, {1, 2});
    b.Tag(TagNodeX, 400).Raw(std::string("\x05\x00\x06\x00", 4));
    b.U16s(TagNodeY, {7, 8});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tables.NodeX, (std::vector<uint16_t>{5, 6}));
    EXPECT_EQ(r.tables.NodeY, (std::vector<uint16_t>{7, 8}));
}

TEST(Reader, BranchNamesByPositionAndPipeTextsByNumber) {
    TMineFileBuilder b = Mine();
    b.U16s(TagBrNumbers, {40, 41});
    b.Text(TagBrName, 1, "a \"b\" c");
    b.Text(TagBrName, 2, "x");
    b.Text(TagBrName, 2, "second");   // a later text replaces the slot
    b.Text(TagBrName, 0, "no place"); // position -1
    b.Text(TagBrCableCell, 41, "cable \"1\"");
    b.Text(TagBrFireWaterCell, 9999, "last slot");
    b.Text(TagBrDeGazeCell, 10000, "past the table");
    b.Record(TagBrName, "negative", 0xFFFF0000u);
    b.Record(TagBrName, std::string("cut\0here", 8), 3u << 16);
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    const TMineTables& t = r.tables;
    EXPECT_EQ(t.BrNames, (TTextTable{{0, "a 'b' c"}, {1, "second"}, {2, "cut"}}));
    EXPECT_EQ(Slot(t.BrCableCell, 41), "cable \"1\""); // pipe texts keep their quotes
    EXPECT_EQ(Slot(t.BrFireWaterCell, 9999), "last slot");
    EXPECT_TRUE(t.BrDeGazeCell.empty());
}

TEST(Reader, BranchCountTagEmptiesTheTextTables) {
    TMineFileBuilder b = Mine();
    b.Text(TagBrName, 1, "before");
    b.Text(TagBrCableCell, 3, "before");
    b.U16s(TagBrNumbers, {1, 2, 3});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.tables.BrNames.empty());
    EXPECT_TRUE(r.tables.BrCableCell.empty());
}

// Length bytes larger than their field are cut to the field.
TEST(Reader, LengthBytesLongerThanTheirField) {
    const std::string x200(200, 'x');
    TMineFileBuilder b = Mine();
    b.Record(TagMineInfo, ShortText(x200, 69, 250) + std::string(296, '\0'));
    b.Record(TagMineLayer, ShortText(x200, 63, 255) + std::string(4, '\0'));
    b.Record(TagFanList, ShortText(x200, 33, 200) + std::string(4, '\0'));
    b.Record(TagPhone, std::string(8, '\0') + ShortText("123456789012345678", 15, 200));
    b.Record(TagLinkList, std::string(8, '\0') + ShortText(x200, 10, 99));
    b.Record(TagBranchPhone, std::string(16, '\0') + ShortText(x200, 15, 255));
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok) << r.console;
    const TMineTables& t = r.tables;
    EXPECT_EQ(t.MineInfo.Name, std::string(69, 'x'));
    EXPECT_EQ(t.MineInfo.Text, "");
    ASSERT_EQ(t.MineLayer.size(), 1u);
    EXPECT_EQ(t.MineLayer[0].Name, std::string(63, 'x'));
    ASSERT_EQ(t.FanList.size(), 1u);
    EXPECT_EQ(t.FanList[0].Name, std::string(33, 'x'));
    ASSERT_EQ(t.Phone.size(), 1u);
    EXPECT_EQ(t.Phone[0].Digits, "123456789012345");
    ASSERT_EQ(t.LinkList.size(), 1u);
    EXPECT_EQ(t.LinkList[0].Name, std::string(10, 'x'));
    ASSERT_EQ(t.BranchPhone.size(), 1u);
    EXPECT_EQ(t.BranchPhone[0].Name, std::string(15, 'x'));
}

TEST(Reader, RecordTags) {
    TMineFileBuilder b = Mine();
    // A tag of MineInfo is always 366 bytes, whatever its size says.
    b.Tag(TagMineInfo, 5).Raw(MineInfoBody("m \"1\"", -7, 8, "t \"2\""));
    b.Record(TagBrTurn, TurnRecord(65535, -1, 2147483647) + TurnRecord(2, 3, 4) + "xyz");
    b.Record(TagPLALabels, PlaRecord(1, 2, 3));
    b.Record(TagPhoneOld, PhoneOldRecord(-4, 65535) + PhoneOldRecord(5, 6));
    b.Record(TagFanList, FanRecord("fan", 65535, -128, 127));
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok) << r.console;
    const TMineTables& t = r.tables;
    EXPECT_EQ(t.MineInfo.Name, "m '1'");
    EXPECT_EQ(t.MineInfo.Text, "t '2'");
    EXPECT_EQ(t.MineInfo.Value70, -7);
    EXPECT_EQ(t.MineInfo.Value74, 8);
    ASSERT_EQ(t.BrTurn.size(), 2u); // the 3 bytes left over make no record
    EXPECT_EQ(t.BrTurn[0].Branch, 65535);
    EXPECT_EQ(t.BrTurn[0].X, -1);
    EXPECT_EQ(t.BrTurn[0].Y, 2147483647);
    ASSERT_EQ(t.PLALabels.size(), 1u);
    EXPECT_EQ(t.PLALabels[0].Value8, 3);
    ASSERT_EQ(t.PhoneOld.size(), 2u);
    EXPECT_EQ(t.PhoneOld[0].Value0, -4);
    EXPECT_EQ(t.PhoneOld[0].Value4, 65535);
    ASSERT_EQ(t.FanList.size(), 1u);
    EXPECT_EQ(t.FanList[0].Value34, 65535);
    EXPECT_EQ(t.FanList[0].Value36, -128);
    EXPECT_EQ(t.FanList[0].Value37, 127);
}

TEST(Reader, EndOfFileInsideOrRightAfterATagHeader) {
    TMineFileBuilder b = Mine();
    b.U16s(TagNodeNumbers, {1});
    TMineFileBuilder afterHeader = b;
    afterHeader.Tag(TagBrNumbers, 50);
    TRead r = Read(afterHeader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.console, "");
    EXPECT_FALSE(r.tables.BranchesCreated);

    TMineFileBuilder insideHeader = b;
    insideHeader.Raw(std::string("\x07\x00\x02", 3));
    r = Read(insideHeader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.tables.NodeNumbers, std::vector<uint16_t>{1});
}

TEST(Reader, UnknownTagsAreSkipped) {
    TMineFileBuilder b = Mine();
    b.Record(52, std::string(100, '\x07'));
    b.Record(0, "zero");
    b.Record(56, "");
    b.Record(TagSymbolPlace, "symbols");
    b.U16s(TagNodeNumbers, {9});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tables.NodeNumbers, std::vector<uint16_t>{9});
}

// Bodies cut short: the tag's name is reported and the run fails, for the
// record tags and unknown tags too (a drawing picked as the mine file).
TEST(Reader, BodiesCutShortAreReadErrors) {
    struct TCase {
        const char* name;
        TMineFileBuilder file;
    };
    std::vector<TCase> cases;
    auto add = [&](const char* name) -> TMineFileBuilder& {
        cases.push_back({name, Mine()});
        return cases.back().file;
    };
    add("NodeNumbers").Tag(TagNodeNumbers, 6).Raw("ab");
    add("BrNumbers").Tag(TagBrNumbers, 0xFFFFFFFF).Raw("abcd"); // no 8 GB allocation
    add("NodeAlt").U16s(TagNodeNumbers, {1, 2}).Tag(TagNodeAlt, 16).Raw("12345678");
    add("BrVmax").U16s(TagBrNumbers, {1}).Tag(TagBrVmax, 8).Raw("1234567");
    add("BrName").Tag(TagBrName, 100, 1u << 16).Raw("only a few");
    add("BrFireWaterCell").Tag(TagBrFireWaterCell, 0x7FFFFFFF, 1u << 16).Raw("x");
    add("BrTurn").Tag(TagBrTurn, 20).Raw(TurnRecord(1, 2, 3));
    add("MineInfo").Tag(TagMineInfo, 0).Raw(std::string(365, 'm'));
    add("MineLayer").Tag(TagMineLayer, 68 * 2).Raw(LayerRecord("a", 1));
    add("NodeLogical").U16s(TagNodeNumbers, {1, 2}).Tag(TagNodeLogical, 4).Raw("ab\x01");
    add("FanList").U16s(TagNodeNumbers, {1}).Tag(TagFanList, 38 * 5).Raw(FanRecord("one", 1, 2, 3));
    add("unknown tag").U16s(TagNodeNumbers, {1}).Tag(99, 0xFFFFFFF0).Raw("tail");
    for (TCase& c : cases) {
        const TRead r = Read(c.file);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.console, std::string("Error reading file (") + c.name + ")!\n");
    }
}

// An array has nowhere to go before the tag that gives its count.
TEST(Reader, ArrayBeforeItsCountTag) {
    TMineFileBuilder nodes = Mine();
    nodes.U16s(TagNodeX, {1, 2}).U16s(TagNodeNumbers, {1, 2});
    TRead r = Read(nodes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.console, "Error reading file (NodeX)!\n");

    TMineFileBuilder branches = Mine();
    branches.U16s(TagNodeNumbers, {1}).F64s(TagBrResist, {1.5});
    r = Read(branches);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.console, "Error reading file (BrResist)!\n");

    // Empty arrays before the count lose nothing.
    TMineFileBuilder empty = Mine();
    empty.U16s(TagNodeLogical, {}).U8s(TagBrFresh, {}).U16s(TagNodeNumbers, {3});
    r = Read(empty);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.tables.NodeNumbers, std::vector<uint16_t>{3});
}

TEST(Reader, CountTagsRepeatedStartAfresh) {
    TMineFileBuilder b = Mine();
    b.U16s(TagBrNumbers, {1, 2, 3}).U16s(TagBrLen, {4, 5, 6});
    b.U16s(TagBrNumbers, {8});
    const TRead r = Read(b);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.tables.BrNumbers, std::vector<uint16_t>{8});
    EXPECT_EQ(r.tables.BrLen, std::vector<uint16_t>{0});
}

} // namespace
} // namespace halvard::test
