#include "document/tools/BmpWriter.h"

#include "platform/BinaryIo.h"

namespace arv {

std::string EncodeBmp24(const TBitmap32& bitmap) {
    const uint32_t rowSize = (static_cast<uint32_t>(bitmap.Width) * 3 + 3) & ~3u;
    const uint32_t imageSize = rowSize * static_cast<uint32_t>(bitmap.Height);
    TBinaryWriter w;
    w.U8('B');
    w.U8('M');
    w.U32(14 + 40 + imageSize);
    w.U32(0);
    w.U32(14 + 40);
    w.U32(40);
    w.I32(bitmap.Width);
    w.I32(bitmap.Height); // bottom-up rows
    w.U16(1);
    w.U16(24);
    w.U32(0); // no compression
    w.U32(imageSize);
    w.I32(2835); // 72 dpi
    w.I32(2835);
    w.U32(0);
    w.U32(0);
    for (int32_t y = bitmap.Height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < bitmap.Width; ++x) {
            const uint32_t px = bitmap.Pixel(x, y);
            w.U8(static_cast<uint8_t>(px));       // blue
            w.U8(static_cast<uint8_t>(px >> 8));  // green
            w.U8(static_cast<uint8_t>(px >> 16)); // red
        }
        for (uint32_t pad = static_cast<uint32_t>(bitmap.Width) * 3; pad < rowSize; ++pad) w.U8(0);
    }
    return w.Take();
}

} // namespace arv
