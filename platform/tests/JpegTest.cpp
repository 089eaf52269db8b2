#include "platform/Jpeg.h"
#include "platform/Files.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace arv;

namespace {

// Four flat quadrants: red, green, blue, white. Flat areas survive the lossy
// coding almost exactly, so the colours can be checked with a small margin.
TBitmap32 Quadrants(int w, int h) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool right = x >= w / 2, lower = y >= h / 2;
            uint32_t c =
                !lower ? (right ? 0xFF00FF00u : 0xFFFF0000u) : (right ? 0xFFFFFFFFu : 0xFF0000FFu);
            b.SetPixel(x, y, c);
        }
    return b;
}

bool Near(uint32_t a, uint32_t b, int margin = 12) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > margin)
            return false;
    return true;
}

} // namespace

TEST(Jpeg, RoundTripAtEachScale) {
    auto dir = test::MakeTestFolder();
    std::string name = (dir / "plan.jpg").string();
    TBitmap32 picture = Quadrants(160, 96);
    ASSERT_TRUE(SaveJpegFile(picture, name));

    struct {
        int denom, w, h;
    } cases[] = {{1, 160, 96}, {2, 80, 48}, {4, 40, 24}, {8, 20, 12}};
    for (auto c : cases) {
        TBitmap32 back;
        ASSERT_TRUE(LoadJpegFile(name, c.denom, back)) << c.denom;
        EXPECT_EQ(c.w, back.Width);
        EXPECT_EQ(c.h, back.Height);
        // Quadrant centres.
        EXPECT_TRUE(Near(0xFFFF0000u, back.Pixel(c.w / 4, c.h / 4)))
            << std::hex << back.Pixel(c.w / 4, c.h / 4);
        EXPECT_TRUE(Near(0xFF00FF00u, back.Pixel(3 * c.w / 4, c.h / 4)));
        EXPECT_TRUE(Near(0xFF0000FFu, back.Pixel(c.w / 4, 3 * c.h / 4)));
        EXPECT_TRUE(Near(0xFFFFFFFFu, back.Pixel(3 * c.w / 4, 3 * c.h / 4)));
    }
    TBitmap32 untouched(3, 3, 7);
    EXPECT_FALSE(LoadJpegFile(name, 3, untouched));
    EXPECT_EQ(TBitmap32(3, 3, 7), untouched);
}

TEST(Jpeg, DamagedFilesAreRefused) {
    std::string bytes = EncodeJpeg(Quadrants(64, 64));
    ASSERT_GT(bytes.size(), 200u);
    TBitmap32 out(1, 1, 5);
    std::string error;
    EXPECT_FALSE(DecodeJpeg("", 1, out, &error));
    EXPECT_FALSE(DecodeJpeg("not a picture at all", 1, out, &error));
    EXPECT_FALSE(error.empty());
    // Cut inside the header tables.
    EXPECT_FALSE(DecodeJpeg(std::string_view(bytes).substr(0, 100), 1, out));
    EXPECT_EQ(TBitmap32(1, 1, 5), out);
    // Cut inside the picture data: the library fills the rest and goes on.
    TBitmap32 cut;
    EXPECT_TRUE(DecodeJpeg(std::string_view(bytes).substr(0, bytes.size() - 40), 1, cut));
    EXPECT_EQ(64, cut.Width);
    // A header that claims an enormous picture is refused before allocation.
    std::string huge = bytes;
    size_t sof = huge.find("\xFF\xC0", 0, 2);
    ASSERT_NE(std::string::npos, sof);
    huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = '\xFF';
    EXPECT_FALSE(DecodeJpeg(huge, 1, out));

    EXPECT_FALSE(LoadJpegFile("/no/such/file.jpg", 1, out, &error));
    EXPECT_EQ("", EncodeJpeg(TBitmap32()));
}
