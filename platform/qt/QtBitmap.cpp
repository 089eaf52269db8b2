#include "platform/qt/QtBitmap.h"

#include "platform/Files.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstring>

namespace arv {

bool TQtBitmapCodec::Load(std::string_view fileName, TBitmap32& out) {
    QImageReader reader(QString::fromStdString(NativePath(fileName).string()));
    QImage image = reader.read();
    if (image.isNull()) return false;
    // Every source format (palette, 16, 24 or 32 bits) becomes ARGB32.
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return false;
    TBitmap32 bitmap(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(bitmap.Pixels.data() + static_cast<size_t>(y) * bitmap.Width,
                    image.constScanLine(y), static_cast<size_t>(bitmap.Width) * 4);
    }
    out = std::move(bitmap);
    return true;
}

void InstallQtBitmapCodec() {
    static TQtBitmapCodec codec;
    InstallBitmapCodec(&codec);
}

} // namespace arv
