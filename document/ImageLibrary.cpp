#include "document/ImageLibrary.h"

#include "document/Geometry.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <cmath>
#include <cstdlib>

namespace arv {

int32_t TGCollImg::Add(std::string_view name, const TBitmap32& bitmap) {
    for (int32_t i = 0; i < Count(); ++i) {
        if (entries[i].name == name) return i;
    }
    // The library grows in steps of 20 entries.
    if (entries.size() % 20 == 0) entries.reserve(entries.size() + 20);
    TImageEntry e{std::string(name), bitmap};
    if (!e.bitmap.Empty()) {
        const uint32_t key = e.bitmap.Pixel(0, e.bitmap.Height - 1) & 0x00FFFFFFu;
        for (uint32_t& px : e.bitmap.Pixels) {
            if ((px & 0x00FFFFFFu) == key) px = key;
        }
    }
    entries.push_back(std::move(e));
    return Count() - 1;
}

int32_t FindImageIndex(const TGCollImg& lib, std::string_view name) {
    for (int32_t i = lib.Count() - 1; i >= 0; --i) {
        if (lib.entries[i].name == name) return i;
    }
    return -1;
}

void LoadImageLibrary(TGCollImg& lib, std::string_view programDir, std::vector<std::string>* log) {
    lib.Clear();
    std::string folder = FindFileNoCase(programDir, "IMG");
    if (folder.empty() || !DirectoryExists(folder)) return;
    for (const std::string& file : ListFilesWithExt(folder, ".bmp")) {
        TBitmap32 bitmap;
        std::string name = ExtractFileName(file);
        if (!LoadBitmapFile(file, bitmap)) {
            if (log) log->push_back(Ru("Не удалось прочитать картинку ") + name);
            continue;
        }
        lib.Add(name.substr(0, name.size() - 4), bitmap);
    }
}

TTurnedSize TurnedPictureSize(int32_t w, int32_t h, double angleDegrees) {
    const double a = -angleDegrees * kPi / 180.0;
    const double sn = std::sin(a), cs = std::cos(a);
    return {std::llabs(RoundI(h * sn)) + std::llabs(RoundI(w * cs)),
            std::llabs(RoundI(w * sn)) + std::llabs(RoundI(h * cs))};
}

TBitmap32 RotatePictureBitmap(const TBitmap32& src, double angleDegrees) {
    const int32_t w = src.Width, h = src.Height;
    if (src.Empty()) return {};
    const double a = -angleDegrees * kPi / 180.0;
    const double sn = std::sin(a), cs = std::cos(a);
    const TTurnedSize turned = TurnedPictureSize(w, h, angleDegrees);
    // A turn that would need more memory than any plan picture can use is
    // not made (a damaged header can claim a thin strip of 2 x 131074).
    if (turned.Pixels() > kMaxTurnedPixels) return {};
    const auto w2 = static_cast<int32_t>(turned.width), h2 = static_cast<int32_t>(turned.height);
    TBitmap32 out(w2, h2, 0);
    // Doubled coordinates keep the turn centred on the middle of the bitmap.
    for (int32_t y = h2 - 1; y >= 0; --y) {
        for (int32_t x = w2 - 1; x >= 0; --x) {
            const int64_t dx = 2 * (static_cast<int64_t>(x) - (w2 - w) / 2 - w / 2);
            const int64_t dy = 2 * (static_cast<int64_t>(y) - (h2 - h) / 2 - h / 2);
            const int32_t sx = RoundI(dx * cs - dy * sn) / 2 + w / 2;
            const int32_t sy = RoundI(dx * sn + dy * cs) / 2 + h / 2;
            if (src.Contains(sx, sy)) out.SetPixel(x, y, src.Pixel(sx, sy));
        }
    }
    return out;
}

} // namespace arv
