#include "QtText.h"

#include "platform/Cp1251.h"

namespace arv {

QString ToQString(std::string_view cp1251) {
    std::u16string u = Cp1251ToUtf16(cp1251);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString& s) {
    return Utf16ToCp1251(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                             static_cast<size_t>(s.size())));
}

} // namespace arv
