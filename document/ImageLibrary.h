// The picture library: the bitmaps of the folder "IMG" under the program
// folder, each known by its file name without the extension.
#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

struct TImageEntry {
    std::string name;
    TBitmap32 bitmap;
};

class TGCollImg {
public:
    std::vector<TImageEntry> entries;
    std::string folder = ".\\img\\";

    int32_t Count() const { return static_cast<int32_t>(entries.size()); }
    // Appends a transparent copy (the colour of the bottom-left pixel becomes
    // transparent) and returns its index; a name already present keeps its
    // picture and returns that picture's index.
    int32_t Add(std::string_view name, const TBitmap32& bitmap);
    void Clear() { entries.clear(); }
};

// Fills the library from the "*.bmp" files of the folder "IMG" under the
// program folder (names without regard to letter case, sorted). A file that
// cannot be decoded is skipped; log receives a line for it.
void LoadImageLibrary(TGCollImg& lib, std::string_view programDir,
                      std::vector<std::string>* log = nullptr);
// Index of the last entry with exactly that name (letter case counts), -1.
int32_t FindImageIndex(const TGCollImg& lib, std::string_view name);

// The bitmap turned by the angle (degrees, counter-clockwise on screen) about
// its middle, nearest-pixel; corners that no source pixel covers are
// transparent. The drawing stretches the result into the picture's rectangle.
// A turned size above kMaxTurnedPixels gives an empty bitmap: the picture is
// skipped like one that cannot be read.
constexpr int64_t kMaxTurnedPixels = 64 * 1024 * 1024;
struct TTurnedSize {
    int64_t width = 0, height = 0;
    int64_t Pixels() const { return width * height; }
};
// The size the turn gives a width x height bitmap, before that bound applies.
TTurnedSize TurnedPictureSize(int32_t width, int32_t height, double angleDegrees);
TBitmap32 RotatePictureBitmap(const TBitmap32& src, double angleDegrees);

} // namespace arv
