// A font as the drawing stores it: the 52-byte font record of the drawing
// file and of text figures.
#pragma once

#include "platform/BinaryIo.h"

#include <cstdint>
#include <string>

namespace arv {

// Factor from points to world units of a font height.
constexpr double kPointsToWorld = 3.527;
// Largest font size, in points either way, a record is read with.
constexpr int32_t kFontSizeLimit = 4096;
// Longest font name a record holds.
constexpr size_t kFontNameMax = 31;

struct TFontRecord {
    uint8_t charset = 204; // Cyrillic
    int32_t colour = 0;
    std::string name = "Arial"; // at most 31 characters
    uint8_t pitch = 0;          // 0 default, 1 variable, 2 fixed
    int32_t size = 10;          // points
    uint8_t style = 0;          // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    bool operator==(const TFontRecord&) const = default;
};

constexpr int kFontRecordSize = 52;
// The 52-byte record: charset, colour, name with its length byte in 32
// bytes, pitch, size, style. The name is cut to 31 characters.
void WriteFontRecord(TBinaryWriter& w, const TFontRecord& f);
// False when the record is truncated or its name is longer than 31.
bool ReadFontRecord(TBinaryReader& r, TFontRecord& f);

} // namespace arv
