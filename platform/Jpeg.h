// JPEG pictures through libjpeg: the plan exported as a picture, and pictures
// read back at full size or reduced by the library's scaled decoding (half,
// quarter, eighth), which is much faster than decoding whole and shrinking.
#pragma once

#include "platform/Bitmap.h"

#include <string>
#include <string_view>

namespace arv {

// Encodes with the library's default settings (quality 75) and writes the
// file complete or not at all. False (errorText set) on failure.
bool SaveJpegFile(const TBitmap32& bitmap, std::string_view fileName,
                  std::string* errorText = nullptr);
// The same picture as bytes of a JPEG file; empty on failure.
std::string EncodeJpeg(const TBitmap32& bitmap);

// Decodes at 1/scaleDenom of the size; scaleDenom is 1, 2, 4 or 8 (other
// values give false). A truncated or corrupt file gives false and leaves out
// untouched.
bool DecodeJpeg(std::string_view bytes, int scaleDenom, TBitmap32& out,
                std::string* errorText = nullptr);
bool LoadJpegFile(std::string_view fileName, int scaleDenom, TBitmap32& out,
                  std::string* errorText = nullptr);

} // namespace arv
