// DOS text (code page 866) in and out of the program's CP1251. Files of DOS
// programs and most dBASE tables of that time carry Cyrillic in CP866.
#pragma once

#include <string>
#include <string_view>

namespace arv {

// Characters CP1251 lacks (the box-drawing set) become '?'.
std::string Cp866ToCp1251(std::string_view s);
std::string Cp1251ToCp866(std::string_view s);

} // namespace arv
