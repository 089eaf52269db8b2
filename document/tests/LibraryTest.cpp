#include "DocTestSupport.h"

#include "document/ImageLibrary.h"
#include "document/SymbolLibrary.h"
#include "document/tools/BmpWriter.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtBitmap.h"
#include "platform/testing/TestFolder.h"

#include <filesystem>
#include <fstream>

using namespace arv;
using namespace arv::test;

namespace {

TSymbolRecord Parsed(std::string_view text, std::vector<std::string>* log = nullptr) {
    TGCollUO lib;
    ParseSymbolText(lib, text, log);
    EXPECT_EQ(1, lib.Count()) << text;
    return lib.Count() ? lib.symbols[0] : TSymbolRecord{};
}

void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// The Qt codec for tests that decode pictures.
class Pictures : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        InstallQtBitmapCodec();
    }
    void TearDown() override {
        InstallBitmapCodec(nullptr);
        DocTest::TearDown();
    }
};

} // namespace

TEST(SymbolText, OptionalFieldsAreAbsentOrEmpty) {
    // Nothing after the fourth ';': the pen width stays 0.
    TSymbolRecord a = Parsed("B;x;\rL;-20;0;20;0;\rE;\r");
    ASSERT_EQ(1, a.count);
    EXPECT_EQ('l', a.prims[0].kind);
    EXPECT_EQ(0, a.prims[0].fields[0]);
    EXPECT_EQ((TPoint{-20, 0}), a.prims[0].points[0]);
    EXPECT_EQ((TPoint{20, 0}), a.prims[0].points[1]);
    // One more ';' is an empty fifth field: the default pen width 1.
    TSymbolRecord b = Parsed("B;x;\rL;-20;0;20;0;;\rE;\r");
    EXPECT_EQ(1, b.prims[0].fields[0]);
    EXPECT_EQ(0, b.prims[0].fields[1]);
    TSymbolRecord c = Parsed("B;x;\rL;-20;0;20;0;3;5;1;\rE;\r");
    EXPECT_EQ((std::array<int32_t, 5>{3, 5, 1, 0, 0}), c.prims[0].fields);
}

TEST(SymbolText, EveryCommandStoresItsPoints) {
    TSymbolRecord s = Parsed(Ru("b;Знак;\r"
                                "A;-20;20;20;-20;0;20;20;0;\r"
                                "C;1;2;15;;;;;\r"
                                "R;-10;5;10;-5;2;\r"
                                "S;3;4;Ж;12;7;\r"
                                "T;0;10;-10;-10;10;-10;\r"
                                "e;\r"));
    EXPECT_EQ(Ru("Знак"), s.name);
    ASSERT_EQ(5, s.count);
    const auto& a = s.prims[0];
    EXPECT_EQ('a', a.kind);
    EXPECT_EQ((TPoint{-20, -20}), a.points[0]);
    EXPECT_EQ((TPoint{20, 20}), a.points[1]);
    EXPECT_EQ((TPoint{0, 20}), a.points[2]);
    EXPECT_EQ((TPoint{20, 0}), a.points[3]);
    const auto& c = s.prims[1];
    EXPECT_EQ('c', c.kind);
    EXPECT_EQ((TPoint{1, 2}), c.points[2]);
    EXPECT_EQ((std::array<int32_t, 5>{15, 1, 0, 0, 0}), c.fields);
    const auto& r = s.prims[2];
    EXPECT_EQ(
        (std::array<TPoint, 4>{TPoint{-10, 5}, TPoint{10, 5}, TPoint{10, -5}, TPoint{-10, -5}}),
        r.points);
    EXPECT_EQ(2, r.fields[0]);
    const auto& ch = s.prims[3];
    EXPECT_EQ('s', ch.kind);
    EXPECT_EQ(Ru("Ж")[0], ch.character);
    EXPECT_EQ(12, ch.fields[0]);
    EXPECT_EQ(7, ch.fields[1]);
    const auto& t = s.prims[4];
    EXPECT_EQ((TPoint{10, -10}), t.points[2]);
}

TEST(SymbolText, LineEndsParseAlike) {
    const std::string body = "B;x;|L;0;0;10;10;1;|C;0;0;5;|E;";
    auto with = [&](const std::string& end, bool trailing) {
        std::string s = body;
        for (size_t p; (p = s.find('|')) != std::string::npos;) s.replace(p, 1, end);
        return trailing ? s + end : s;
    };
    TSymbolRecord reference = Parsed(with("\r\n", true));
    EXPECT_EQ(2, reference.count);
    EXPECT_EQ(reference, Parsed(with("\r", true)));
    EXPECT_EQ(reference, Parsed(with("\r", false)));
    EXPECT_EQ(reference, Parsed(with("\r\n", false)));
    EXPECT_EQ(reference, Parsed(with("\n", true)));
    // Only an LF is dropped after a CR: the next command survives.
    TGCollUO lib;
    ParseSymbolText(lib, "B;a;\rE;\rB;b;\rE;\r");
    ASSERT_EQ(2, lib.Count());
    EXPECT_EQ("b", lib.symbols[1].name);
    ParseSymbolText(lib, "");
    EXPECT_EQ(0, lib.Count());
}

TEST(SymbolText, LimitsAndBadLines) {
    std::string text = "B;x;\r";
    for (int i = 0; i < 10; ++i) text += "L;" + std::to_string(i) + ";0;1;1;\r";
    text += "E;\r";
    TSymbolRecord s = Parsed(text);
    EXPECT_EQ(9, s.count); // the tenth primitive is ignored
    EXPECT_EQ(8, s.prims[8].points[0].x);

    // A field that is no number skips that line with one log line; the rest
    // of the symbol and the library stay.
    std::vector<std::string> log;
    TGCollUO lib;
    ParseSymbolText(lib, "B;x;\rL;0;zero;1;1;\rL;0;0;1;1;\rC;1;2;\rE;\rB;y;\rE;\r", &log);
    ASSERT_EQ(2, lib.Count());
    EXPECT_EQ(1, lib.symbols[0].count);
    EXPECT_EQ(2u, log.size()); // the bad number and the circle without radius
    EXPECT_NE(std::string::npos, log[0].find("L;0;zero;1;1;"));

    // A symbol without E is not added; E without B repeats the work record.
    ParseSymbolText(lib, "B;a;\rL;0;0;1;1;\rE;\rE;\rB;open;\rL;0;0;1;1;\r");
    ASSERT_EQ(2, lib.Count());
    EXPECT_EQ("a", lib.symbols[1].name);
    // Lines that start with no command letter are ignored.
    ParseSymbolText(lib, "; comment\r\rX;1;\rB;q;\rE;\r");
    ASSERT_EQ(1, lib.Count());
    EXPECT_EQ("q", lib.symbols[0].name);
}

TEST(SymbolText, TransformScalesAndTurns) {
    TGCollUO lib;
    ParseSymbolText(lib,
                    "B;s;\rC;10;0;5;\rS;0;10;A;12;\rL;0;0;20;0;\rA;-20;20;20;-20;0;20;20;0;\rE;\r");
    TSymbolRecord big;
    TransformSymbol(lib, 0, 80, big, 0.0);
    EXPECT_EQ((TPoint{20, 0}), big.prims[0].points[2]);
    EXPECT_EQ(10, big.prims[0].fields[0]); // radius doubled
    EXPECT_EQ(24, big.prims[1].fields[0]); // character size doubled
    EXPECT_EQ((TPoint{0, 20}), big.prims[1].points[2]);
    EXPECT_EQ((TPoint{40, 0}), big.prims[2].points[1]);
    // A quarter turn about the design origin, size 40.
    TSymbolRecord turned;
    TransformSymbol(lib, 0, 40, turned, kPi / 2);
    EXPECT_EQ((TPoint{0, 10}), turned.prims[0].points[2]);
    EXPECT_EQ((TPoint{0, 20}), turned.prims[2].points[1]);
    // Sector: the ellipse rectangle is not turned, the rays are.
    EXPECT_EQ((TPoint{-20, -20}), turned.prims[3].points[0]);
    EXPECT_EQ((TPoint{-20, 0}), turned.prims[3].points[2]);
    // FindSymbolIndex takes degrees.
    TSymbolRecord found;
    EXPECT_EQ(0, FindSymbolIndex(lib, 40, found, 90, "s"));
    EXPECT_EQ(turned, found);
    TSymbolRecord untouched;
    untouched.name = "keep";
    EXPECT_EQ(-1, FindSymbolIndex(lib, 40, untouched, 0, "S")); // letter case counts
    EXPECT_EQ("keep", untouched.name);
    TransformSymbol(lib, 5, 40, untouched, 0);
    EXPECT_EQ(TSymbolRecord{}, untouched);
}

TEST(SymbolText, FindTakesTheFirstOfEqualNames) {
    TGCollUO lib;
    ParseSymbolText(lib, "B;d;\rC;0;0;1;\rE;\rB;d;\rC;0;0;2;\rE;\r");
    TSymbolRecord rec;
    EXPECT_EQ(0, FindSymbolIndex(lib, 40, rec, 0, "d"));
    EXPECT_EQ(1, rec.prims[0].fields[0]);
}

TEST(ImageLibrary, AddKeepsTheFirstPictureOfAName) {
    TGCollImg lib;
    TBitmap32 a(2, 2, 0xFF00FF00), b(3, 3, 0xFF0000FF);
    a.SetPixel(0, 0, 0xFF112233);
    EXPECT_EQ(0, lib.Add("a", a));
    EXPECT_EQ(1, lib.Add("b", b));
    EXPECT_EQ(0, lib.Add("a", b)); // the existing index, nothing added
    EXPECT_EQ(2, lib.Count());
    EXPECT_EQ(2, lib.entries[0].bitmap.Width);
    EXPECT_EQ(2, lib.Add("A", b)); // names keep their letter case
    // The colour of the bottom-left pixel became transparent.
    EXPECT_EQ(0x0000FF00u, lib.entries[0].bitmap.Pixel(1, 1));
    EXPECT_EQ(0xFF112233u, lib.entries[0].bitmap.Pixel(0, 0));
    EXPECT_EQ(1, FindImageIndex(lib, "b"));
    EXPECT_EQ(-1, FindImageIndex(lib, "B"));
    lib.entries.push_back({"b", a});
    EXPECT_EQ(3, FindImageIndex(lib, "b")); // the later of equal names
}

TEST(ImageLibrary, TurningAPicture) {
    TBitmap32 src(4, 2, 0xFF000000);
    src.SetPixel(3, 0, 0xFFFF0000); // top right
    TBitmap32 quarter = RotatePictureBitmap(src, 90);
    EXPECT_EQ(2, quarter.Width);
    EXPECT_EQ(4, quarter.Height);
    TBitmap32 same = RotatePictureBitmap(src, 0);
    EXPECT_EQ(src, same);
    TBitmap32 odd(5, 3, 0xFF000000);
    odd.SetPixel(4, 0, 0xFFFF0000); // top right
    TBitmap32 half = RotatePictureBitmap(odd, 180);
    EXPECT_EQ(5, half.Width);
    EXPECT_EQ(0xFFFF0000u, half.Pixel(0, 2)); // went to the bottom left
    // Turned by 45 degrees the corners have no source pixel: transparent.
    TBitmap32 square(10, 10, 0xFF336699);
    TBitmap32 diamond = RotatePictureBitmap(square, 45);
    EXPECT_EQ(14, diamond.Width);
    EXPECT_EQ(0u, diamond.Pixel(0, 0));
    EXPECT_EQ(0xFF336699u, diamond.Pixel(7, 7));
    EXPECT_TRUE(RotatePictureBitmap(TBitmap32{}, 30).Empty());
    // The size a turn gives, as the turn itself allocates it.
    EXPECT_EQ(14, TurnedPictureSize(10, 10, 45).width);
    EXPECT_EQ(2, TurnedPictureSize(4, 2, 90).width);
    EXPECT_EQ(4, TurnedPictureSize(4, 2, 90).height);
    EXPECT_GT(TurnedPictureSize(2, 131074, 45).Pixels(), kMaxTurnedPixels);
}

TEST_F(Pictures, LoadingSkipsUnreadableFilesAndFindsNamesWithoutCase) {
    auto dir = MakeTestFolder();
    std::filesystem::create_directories(dir / "img");
    TBitmap32 red(3, 2, 0xFFFF0000);
    WriteBytes(dir / "img" / "B.BMP", EncodeBmp24(red));
    WriteBytes(dir / "img" / "a.bmp", "BM broken");
    WriteBytes(dir / "img" / "c.bmp", EncodeBmp24(TBitmap32(1, 1, 0xFF0000FF)));
    WriteBytes(dir / "img" / "notes.txt", "x");
    TGCollImg lib;
    std::vector<std::string> log;
    LoadImageLibrary(lib, dir.string(), &log);
    ASSERT_EQ(2, lib.Count());
    EXPECT_EQ("B", lib.entries[0].name);
    EXPECT_EQ("c", lib.entries[1].name);
    EXPECT_EQ(3, lib.entries[0].bitmap.Width);
    EXPECT_EQ(1u, log.size());
    // No folder: an empty library.
    LoadImageLibrary(lib, (dir / "nothing").string());
    EXPECT_EQ(0, lib.Count());
}

TEST_F(Pictures, SymbolFilesOfTheFolderLoadInNameOrder) {
    auto dir = MakeTestFolder();
    std::filesystem::create_directories(dir / "IMG");
    WriteBytes(dir / "IMG" / "b.UO", "  B;second;  \r\n  L;0;0;1;1;\r\nE;\r\n");
    WriteBytes(dir / "IMG" / "a.uo", "B;first;\nC;0;0;x;\nC;0;0;4;\nE;\n");
    TGCollUO lib;
    std::vector<std::string> log;
    LoadSymbolLibrary(lib, dir.string(), &log);
    ASSERT_EQ(2, lib.Count());
    EXPECT_EQ("first", lib.symbols[0].name);
    EXPECT_EQ(1, lib.symbols[0].count);
    EXPECT_EQ("second", lib.symbols[1].name);
    ASSERT_EQ(1u, log.size());
    EXPECT_NE(std::string::npos, log[0].find("a.uo"));
}

TEST_F(Pictures, TheShippedLibrariesLoadCompletely) {
    TGCollImg images;
    TGCollUO symbols;
    std::vector<std::string> log;
    const std::string parent = ExtractFilePath(ARV_IMG_DIR); // the program folder
    LoadImageLibrary(images, parent, &log);
    LoadSymbolLibrary(symbols, parent, &log);
    EXPECT_TRUE(log.empty()) << Cp1251ToUtf8(log.empty() ? "" : log[0]);
    EXPECT_GE(FindImageIndex(images, "fire"), 0);
    EXPECT_GE(FindImageIndex(images, "otkazvu"), 0);
    EXPECT_GE(images.Count(), 6);
    EXPECT_GE(symbols.Count(), 8);
    TSymbolRecord fan;
    EXPECT_GE(FindSymbolIndex(symbols, 40, fan, 0, Ru("Вентилятор")), 0);
    EXPECT_GE(fan.count, 2);
    for (const TSymbolRecord& s : symbols.symbols) {
        EXPECT_GT(s.count, 0) << Cp1251ToUtf8(s.name);
        EXPECT_FALSE(s.name.empty());
    }
    // Transparent background, opaque picture.
    const TBitmap32& fire = images.entries[FindImageIndex(images, "fire")].bitmap;
    EXPECT_EQ(0u, fire.Pixel(0, fire.Height - 1) >> 24);
    EXPECT_EQ(0xFFu, fire.Pixel(16, 20) >> 24);
}
