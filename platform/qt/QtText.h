// The one place where program text (CP1251) meets Qt's UTF-16.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace arv {

QString ToQString(std::string_view cp1251);
std::string FromQString(const QString& s);

} // namespace arv
