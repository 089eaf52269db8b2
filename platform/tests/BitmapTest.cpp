#include "platform/Bitmap.h"
#include "platform/qt/QtBitmap.h"
#include "platform/testing/TestFolder.h"

#include <QImage>

#include <fstream>
#include <gtest/gtest.h>

using namespace arv;

namespace {
// Puts the Qt codec in for one test and takes it out again.
struct CodecScope {
    CodecScope() { InstallQtBitmapCodec(); }
    ~CodecScope() { InstallBitmapCodec(nullptr); }
};
} // namespace

TEST(Bitmap, ColoursConvertBothWays) {
    EXPECT_EQ(0xFFFF0000u, ColorRefToArgb(0x0000FF)); // red
    EXPECT_EQ(0xFF0000FFu, ColorRefToArgb(0xFF0000)); // blue
    EXPECT_EQ(0x00123456, ArgbToColorRef(ColorRefToArgb(0x00123456)));
    TBitmap32 b(3, 2, 7);
    EXPECT_EQ(6u, b.Pixels.size());
    EXPECT_TRUE(b.Contains(2, 1));
    EXPECT_FALSE(b.Contains(3, 0));
    EXPECT_TRUE(TBitmap32(-4, 2).Empty());
}

TEST(Bitmap, QtCodecReadsEveryBmpLayoutAsArgb32) {
    CodecScope codec;
    auto dir = test::MakeTestFolder();
    // A 24-bit picture and a paletted one with the same pixels.
    QImage rgb(3, 2, QImage::Format_RGB888);
    rgb.fill(QColor(10, 20, 30));
    rgb.setPixelColor(2, 1, QColor(255, 0, 0));
    ASSERT_TRUE(rgb.save(QString::fromStdString((dir / "rgb.bmp").string()), "BMP"));
    QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8);
    ASSERT_TRUE(indexed.save(QString::fromStdString((dir / "pal.bmp").string()), "BMP"));
    for (const char* name : {"rgb.bmp", "pal.bmp"}) {
        TBitmap32 b;
        ASSERT_TRUE(LoadBitmapFile((dir / name).string(), b)) << name;
        EXPECT_EQ(3, b.Width);
        EXPECT_EQ(2, b.Height);
        EXPECT_EQ(0xFF0A141Eu, b.Pixel(0, 0)) << name;
        EXPECT_EQ(0xFFFF0000u, b.Pixel(2, 1)) << name;
    }
}

TEST(Bitmap, UnreadableFilesAndAMissingCodecFail) {
    auto dir = test::MakeTestFolder();
    std::ofstream(dir / "bad.bmp") << "BM this is not a bitmap";
    TBitmap32 keep(1, 1, 42);
    EXPECT_FALSE(LoadBitmapFile((dir / "bad.bmp").string(), keep)); // no codec yet
    CodecScope codec;
    EXPECT_FALSE(LoadBitmapFile((dir / "bad.bmp").string(), keep));
    EXPECT_FALSE(LoadBitmapFile((dir / "missing.bmp").string(), keep));
    EXPECT_EQ(42u, keep.Pixel(0, 0));
}
