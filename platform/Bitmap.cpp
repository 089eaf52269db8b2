#include "Bitmap.h"

namespace arv {

namespace {
IBitmapCodec*& Codec() {
    static IBitmapCodec* codec = nullptr;
    return codec;
}
} // namespace

TBitmap32::TBitmap32(int32_t width, int32_t height, uint32_t fill)
    : Width(width > 0 ? width : 0), Height(height > 0 ? height : 0),
      Pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height), fill) {}

uint32_t ColorRefToArgb(int32_t colour) {
    auto c = static_cast<uint32_t>(colour);
    uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

int32_t ArgbToColorRef(uint32_t argb) {
    uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return static_cast<int32_t>(r | (g << 8) | (b << 16));
}

void InstallBitmapCodec(IBitmapCodec* codec) {
    Codec() = codec;
}

bool HasBitmapCodec() {
    return Codec() != nullptr;
}

bool LoadBitmapFile(std::string_view fileName, TBitmap32& out) {
    IBitmapCodec* codec = Codec();
    if (!codec) return false;
    TBitmap32 decoded;
    if (!codec->Load(fileName, decoded) || decoded.Empty()) return false;
    out = std::move(decoded);
    return true;
}

} // namespace arv
