// A picture file of any bytes in the library folder: it is read or skipped,
// and what is read turns at any angle within the memory a picture may use.
#include "document/ImageLibrary.h"
#include "document/tools/BmpWriter.h"
#include "platform/qt/QtBitmap.h"
#include "platform/testing/FuzzSupport.h"

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
    {
        std::ofstream out(folder / "IMG" / "fuzz.bmp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TGCollImg lib;
    std::vector<std::string> log;
    LoadImageLibrary(lib, folder.string() + "/", &log);
    for (const auto& entry : lib.entries)
        for (double angle : {0.0, 30.0, 90.0, 135.0})
            (void)RotatePictureBitmap(entry.bitmap, angle);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    TBitmap32 small(5, 3, 0xFF00FF00);
    small.SetPixel(0, 2, 0xFFFFFFFF);
    return {EncodeBmp24(small), EncodeBmp24(TBitmap32(1, 1, 0xFF000000))};
}
