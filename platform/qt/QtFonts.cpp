#include "platform/qt/QtFonts.h"

#include "platform/FontTable.h"

#include <QString>
#include <string>

namespace arv {

QFont WindowsFont(std::string_view faceName, int pointSize, bool fixedPitch) {
    std::string_view family = SubstituteFontFamily(faceName, fixedPitch);
    QFont f(QString::fromLatin1(family.data(), static_cast<qsizetype>(family.size())));
    if (pointSize > 0) f.setPointSize(pointSize);
    f.setStyleHint(fixedPitch ? QFont::Monospace : QFont::AnyStyle);
    return f;
}

QFont SubstitutedFont(const QFont& f) {
    QFont out = f;
    std::string family = f.family().toStdString();
    std::string_view to = SubstituteFontFamily(family, f.fixedPitch());
    out.setFamily(QString::fromLatin1(to.data(), static_cast<qsizetype>(to.size())));
    return out;
}

} // namespace arv
