// 24-bit BMP files from a 32-bit bitmap (the alpha channel is dropped). Used
// by the generator of the shipped pictures and by tests.
#pragma once

#include "platform/Bitmap.h"

#include <string>

namespace arv {

std::string EncodeBmp24(const TBitmap32& bitmap);

} // namespace arv
