// A picture file of any bytes in the library folder: it is read or skipped,
// and what is read turns at any angle within the memory a picture may use.
#include "document/ImageLibrary.h"
#include "document/tools/BmpWriter.h"
#include "platform/qt/QtBitmap.h"
#include "platform/testing/FuzzSupport.h"

#include <QImageReader>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path folder = [] {
        auto dir =
            std::filesystem::temp_directory_path() / ("arv-img-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "IMG");
        InstallQtBitmapCodec();
        return dir;
    }();
    const std::filesystem::path file = folder / "IMG" / "fuzz.bmp";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // A header of a few bytes can claim tens of megapixels, which the image
    // decoder (not ours) fills at seconds per input under the sanitizers.
    // Such claims were fuzzed once; the loop keeps to plan-sized pictures.
    constexpr int64_t kPlanSizedPixels = 1 << 16;
    const QSize claimed = QImageReader(QString::fromStdString(file.string())).size();
    // A top-down picture claims a negative height.
    if (std::llabs(int64_t{claimed.width()} * claimed.height()) > kPlanSizedPixels) return 0;
    TGCollImg lib;
    std::vector<std::string> log;
    LoadImageLibrary(lib, folder.string() + "/", &log);
    // Turns the bound refuses are always tried; of the ones it allows only
    // plan-sized ones, since a long strip turned at 45 degrees costs seconds
    // under the sanitizers and tells nothing new.
    for (const auto& entry : lib.entries) {
        for (double angle : {0.0, 30.0, 90.0, 135.0}) {
            const int64_t pixels =
                TurnedPictureSize(entry.bitmap.Width, entry.bitmap.Height, angle).Pixels();
            if (pixels > kPlanSizedPixels && pixels <= kMaxTurnedPixels) continue;
            (void)RotatePictureBitmap(entry.bitmap, angle);
        }
    }
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    TBitmap32 small(5, 3, 0xFF00FF00);
    small.SetPixel(0, 2, 0xFFFFFFFF);
    return {EncodeBmp24(small), EncodeBmp24(TBitmap32(1, 1, 0xFF000000))};
}
