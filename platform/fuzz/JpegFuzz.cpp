// libFuzzer entry: any bytes decoded as a JPEG picture at the four scales the
// picture viewer uses. A picture that decodes at full size decodes at every
// reduction, with the size the library's scaled decoding promises.
#include "platform/Jpeg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    arv::TBitmap32 full;
    if (!arv::DecodeJpeg(bytes, 1, full)) return 0;
    if (full.Width <= 0 || full.Height <= 0 ||
        full.Pixels.size() != static_cast<size_t>(full.Width) * full.Height)
        std::abort();
    for (int denom : {2, 4, 8}) {
        arv::TBitmap32 reduced;
        if (!arv::DecodeJpeg(bytes, denom, reduced)) std::abort();
        if (reduced.Width != (full.Width + denom - 1) / denom ||
            reduced.Height != (full.Height + denom - 1) / denom)
            std::abort();
    }
    return 0;
}

#include "platform/testing/FuzzSupport.h"

// Pictures our own encoder writes: a small colour gradient of odd size and a
// single pixel.
std::vector<std::string> ArvFuzzSeeds() {
    arv::TBitmap32 gradient(17, 9);
    for (int32_t y = 0; y < gradient.Height; ++y)
        for (int32_t x = 0; x < gradient.Width; ++x)
            gradient.SetPixel(x, y,
                              0xFF000000u | static_cast<uint32_t>(x * 15) << 16 |
                                  static_cast<uint32_t>(y * 28) << 8 | 0x40u);
    arv::TBitmap32 dot(1, 1, 0xFFFF0000u);
    return {arv::EncodeJpeg(gradient), arv::EncodeJpeg(dot)};
}
