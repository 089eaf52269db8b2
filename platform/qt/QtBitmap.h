// Picture decoding with QImage. The header has no Qt in it, so that the
// start-up code and tests of other folders can install the codec.
#pragma once

#include "platform/Bitmap.h"

namespace arv {

class TQtBitmapCodec : public IBitmapCodec {
public:
    bool Load(std::string_view fileName, TBitmap32& out) override;
};

// Installs one codec for the life of the program.
void InstallQtBitmapCodec();

} // namespace arv
