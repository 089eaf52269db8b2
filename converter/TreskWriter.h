// Writer of the exchange text: one record per line, fields separated by '|',
// the record kind first, texts in double quotes. The text is built in
// memory as CP1251 bytes with CR LF line ends; numbers are printed the same
// whatever the locale (integers in decimal, decimals with a point and six
// decimals).
#pragma once

#include "converter/MineTables.h"

#include <iosfwd>
#include <string>

namespace halvard {

// The whole text of the tables. In verbose mode each section is announced on
// `console`.
std::string WriteTreskText(const TMineTables& tables, std::ostream& console, bool verbose);

} // namespace halvard
