#include "document/FontRecord.h"

#include <algorithm>

namespace arv {

void WriteFontRecord(TBinaryWriter& w, const TFontRecord& f) {
    w.I32(f.charset);
    w.I32(f.colour);
    const size_t n = std::min(f.name.size(), kFontNameMax);
    w.U8(static_cast<uint8_t>(n));
    w.FixedText(std::string_view(f.name).substr(0, n), 31);
    w.I32(f.pitch);
    w.I32(f.size);
    w.I32(f.style);
}

bool ReadFontRecord(TBinaryReader& r, TFontRecord& f) {
    TFontRecord read;
    read.charset = static_cast<uint8_t>(r.I32());
    read.colour = r.I32();
    const uint8_t n = r.U8();
    std::string name = r.Bytes(31);
    if (r.Failed() || n > kFontNameMax) return false;
    read.name = name.substr(0, n);
    read.pitch = static_cast<uint8_t>(r.I32());
    // A size far beyond any font would overflow the label arithmetic; such a
    // record is damage and is brought into the range fonts can have.
    read.size = std::clamp(r.I32(), -kFontSizeLimit, kFontSizeLimit);
    read.style = static_cast<uint8_t>(r.I32());
    if (r.Failed()) return false;
    f = std::move(read);
    return true;
}

} // namespace arv
