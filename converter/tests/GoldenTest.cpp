// The exchange text, byte for byte: the sample mine through the built
// program, then the writer's corner cases on small files.
#include "converter/tests/MineFileBuilder.h"
#include "converter/tests/SampleMine.h"
#include "converter/tests/TestSupport.h"
#include "platform/Cp1251.h"
#include "platform/testing/TestFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace halvard::test {
namespace {

using arv::Ru;

// Worked out by hand from the sample's fields. Branch lines carry 37 fields:
// kind, number, type (8-bit, signed), nodes, name, length, PLA position,
// people, nine decimals, PLA colour, layer (8-bit, signed), twelve decimals
// (three of them never filled), tag, view, DGS position, an unfilled byte and
// the fresh-air flag.
std::string SampleText() {
    return CrLfLines({
        R"(99|"1.0")",
        Ru(R"(0|"Шахта 'Восточная'"|"Вариант 2024"|1|-2)"),
        Ru(R"(4|"Горизонт -300"|1)"),
        Ru(R"(4|"Слой  Б "|7)"),
        "2|1|100|10|-300.500000|1|0",
        "2|2|200|20|-310.250000|0|0",
        "2|3|300|30|0.000000|1|1",
        "2|4|40000|40|12.125000|0|1",
        Ru(R"(1|10|0|1|2|"Ствол 'Главный'"|150|1|5|)"
           "0.125000|1500.000000|45.500000|0.500000|12.000000|13.000000|12.500000|3.500000|"
           "0.000000|255|0|281.250000|50.000000|0.000000|0.000000|0.000000|0.000000|0.000000|"
           "200.500000|44.750000|45.000000|0.250000|8.000000|44|1|0|0|1"),
        R"(1|11|1|2|3|""|75|0|0|)"
        "2.500000|0.000000|20.250000|0.000000|14.500000|15.000000|8.000000|2.750000|"
        "-12.500000|-1|1|15.500000|20.000000|0.000000|0.000000|0.000000|0.000000|100.000000|"
        "0.000000|0.000000|20.000000|0.250000|6.000000|0|2|7|0|0",
        Ru(R"(1|12|-56|3|4|"Штрек 2"|40000|3|12|)"
           "0.123457|0.000000|-3.750000|1.000000|15.000000|16.750000|0.000000|0.000000|"
           "30.000000|65280|-1|0.000000|0.000000|0.000000|0.000000|0.000000|25.500000|0.000000|"
           "0.000000|0.000000|3.000000|0.000000|4.000000|260|65535|300|0|1"),
        Ru(R"(40|10|"Кабель 6 кВ"|"Труба 300"|"")"),
        Ru(R"(40|12|""|""|"ППТ 100")"),
        Ru(R"(50|"ВОД-21"|750|-3|5)"),
        "60|3|1|2",
        "60|7|-10|20",
        Ru(R"(65|"ТА-1"|1|2|3|4)"),
        R"(66|"2345"|101|202)",
        "67|5|65535",
        "3|12|305|31",
        "3|12|350|36",
        "3|12|-5|38",
        "3|10|150|15",
        Ru(R"(68|"Связь"|3|4)"),
    });
}

int FieldCount(const std::string& line) {
    return 1 + static_cast<int>(std::count(line.begin(), line.end(), '|'));
}

TEST(Golden, SampleMineThroughTheProgram) {
    const auto dir = arv::test::MakeTestFolder();
    ASSERT_TRUE(WriteSampleMine(dir / "sample.MINE"));
    const TProcessResult run = RunProgram(dir, {"sample.MINE", "tresktxt.tresk"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.console, "");
    const std::string text = ReadFile(dir / "tresktxt.tresk");
    const std::string expected = SampleText();
    EXPECT_EQ(text, expected);
    // Compared line by line as well, so a difference names its line.
    std::istringstream got(text), want(expected);
    for (std::string a, b; std::getline(want, b);) {
        std::getline(got, a);
        EXPECT_EQ(a, b);
        if (b.starts_with("1|")) {
            EXPECT_EQ(FieldCount(b), 37) << b;
        }
    }
    EXPECT_EQ(FolderFiles(dir), (std::vector<std::string>{"sample.MINE", "tresktxt.tresk"}));
}

TEST(Golden, VerboseTraceOfTheProgram) {
    const auto dir = arv::test::MakeTestFolder();
    TMineFileBuilder b;
    b.Header("mkLite", 2, 0x10, 0xABCDEF01);
    b.U16s(TagNodeNumbers, {7});
    b.Record(TagPhone, PhoneRecord(1, 2, "12"));
    b.Record(52, "");
    b.Record(TagSymbolPlace, "abc");
    WriteFile(dir / "a.MINE", b.Bytes());
    const TProcessResult run = RunProgram(dir, {"a.MINE", "a.tresk", "-v"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.console, "Set up verbose mode!\n"
                           "Sign=mkLite Ver=0002 HeadSize=00000010 CRC=ABCDEF01 Lite=1\n"
                           "Dromlek Lite file!\n"
                           "TAG: 0001 00000002 00000000 Create NodeNumbers...\n"
                           "Read in file 2 bytes!\n"
                           "TAG: 002C 00000018 00000000 Create Phone...\n"
                           "Read in file 24 bytes!\n"
                           "PhoneCount=1\n"
                           "TAG: 0034 00000000 00000000 Create unknown tag...\n"
                           "Zero length... Skip...\n"
                           "TAG: 002A 00000003 00000000 Create Symbol place...\n"
                           "Read in file 3 bytes!\n"
                           "TAG: 0000 00000000 00000000 \n"
                           "Create text file...\n"
                           "Print version...\n"
                           "Print mine...\n"
                           "Print layer...\n"
                           "Print node...\n"
                           "Print branch...\n"
                           "Print pipe...\n"
                           "Print fan...\n"
                           "Print PLA...\n"
                           "Print BrPhone...\n"
                           "Print phones...Count=1\n"
                           "Print old phones...\n"
                           "Print turn...\n"
                           "Print link...\n");
    EXPECT_EQ(ReadFile(dir / "a.tresk"), CrLfLines({R"(99|"1.0")", R"(0|""|""|0|0)",
                                                    "2|7|0|0|0.000000|0|0", R"(66|"12"|1|2)"}));
}

TEST(Golden, HeaderSignsInTheTrace) {
    for (auto [sign, trace] :
         {std::pair{"mkMine", "Lite=0\nDromlek file!\n"}, std::pair{"MKMINE", "Lite=-1\n"}}) {
        TMineFileBuilder b;
        b.Header(sign, 0xFFFF, 0xFFFFFFFF, 0);
        const TConversion c = Convert(b.Bytes(), true);
        EXPECT_TRUE(c.ok);
        EXPECT_EQ(c.console.substr(0, c.console.find("TAG:")),
                  std::string("Sign=") + sign + " Ver=FFFF HeadSize=FFFFFFFF CRC=00000000 " +
                      trace);
    }
}

// The kind-0 line is the second line even without the mine record.
TEST(Golden, FileWithoutMineInfo) {
    TMineFileBuilder b;
    b.Header();
    const TConversion c = Convert(b.Bytes());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.text, CrLfLines({R"(99|"1.0")", R"(0|""|""|0|0)"}));
}

// One branch per pipe bit; bits above the low byte do not count, a text
// looked up by a number without one prints empty.
TEST(Golden, PipeLinesPerTagBit) {
    TMineFileBuilder b;
    b.Header();
    b.U16s(TagBrNumbers, {1, 2, 3, 4, 5});
    b.U16s(TagBrTag, {4, 8, 32, 0x0800, 8});
    b.Text(TagBrCableCell, 2, "c2");
    b.Text(TagBrDeGazeCell, 3, "d3");
    b.Text(TagBrFireWaterCell, 1, "f1");
    b.Text(TagBrCableCell, 1, "not printed: bit 8 not set");
    const TConversion c = Convert(b.Bytes());
    ASSERT_TRUE(c.ok);
    const std::string pipes = c.text.substr(c.text.find("40|"));
    EXPECT_EQ(pipes, CrLfLines({R"(40|1|""|""|"f1")", R"(40|2|"c2"|""|"")", R"(40|3|""|"d3"|"")",
                                R"(40|5|""|""|"")"}));
}

TEST(Golden, NumbersAsPrintf) {
    TMineFileBuilder b;
    b.Header();
    b.U16s(TagNodeNumbers, {65535, 1, 2, 3, 4, 5});
    b.F64s(TagNodeAlt, {12.5, 2.0 / 3.0, 1e20, -1e-7, -0.0, 999999.9999999});
    b.U8s(TagNodeSurf, {127, 128, 255, 0, 1, 2});
    const TConversion c = Convert(b.Bytes());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.text.substr(c.text.find("2|")),
              CrLfLines({"2|65535|0|0|12.500000|127|0", "2|1|0|0|0.666667|-128|0",
                         "2|2|0|0|100000000000000000000.000000|-1|0", "2|3|0|0|-0.000000|0|0",
                         "2|4|0|0|-0.000000|1|0", "2|5|0|0|1000000.000000|2|0"}));
}

// Texts stop at a NUL; line ends inside them would split the record.
TEST(Golden, TextsStayOnTheirLine) {
    TMineFileBuilder b;
    b.Header();
    b.U16s(TagBrNumbers, {1});
    b.Text(TagBrName, 1, std::string("A\r\nB\0C", 6));
    const TConversion c = Convert(b.Bytes());
    ASSERT_TRUE(c.ok);
    EXPECT_NE(c.text.find(R"(1|1|0|0|0|"A  B"|0|)"), std::string::npos) << c.text;
}

} // namespace
} // namespace halvard::test
