// A toolkit-free 32-bit bitmap and the decoding of picture files into it.
// Pixels are 0xAARRGGBB, rows top-down; every file format is converted to
// this one layout when it is read, so code that turns or copies pixels never
// meets another. Decoding goes through an interface that the program
// registers at start-up (the Qt one in platform/qt).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

struct TBitmap32 {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;

    TBitmap32() = default;
    TBitmap32(int32_t width, int32_t height, uint32_t fill = 0);
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < Width && y < Height;
    }
    uint32_t Pixel(int32_t x, int32_t y) const {
        return Pixels[static_cast<size_t>(y) * Width + x];
    }
    void SetPixel(int32_t x, int32_t y, uint32_t argb) {
        Pixels[static_cast<size_t>(y) * Width + x] = argb;
    }
    bool operator==(const TBitmap32&) const = default;
};

// A colour of the program (0x00BBGGRR) as an opaque pixel, and back.
uint32_t ColorRefToArgb(int32_t colour);
int32_t ArgbToColorRef(uint32_t argb);

class IBitmapCodec {
public:
    virtual ~IBitmapCodec() = default;
    // Reads a picture file (BMP and whatever else the codec knows); false
    // when it cannot be read or decoded.
    virtual bool Load(std::string_view fileName, TBitmap32& out) = 0;
};

// null removes the codec; without one no picture can be read.
void InstallBitmapCodec(IBitmapCodec* codec);
bool HasBitmapCodec();
// The file's pixels; false (out untouched) when there is no codec or the file
// cannot be decoded.
bool LoadBitmapFile(std::string_view fileName, TBitmap32& out);

} // namespace arv
