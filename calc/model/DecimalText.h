// Number texts in the tables carry either separator: users type both, the
// exchange files carry points and the program writes commas.
#pragma once

#include <string>
#include <string_view>

namespace arv {

// Blanks (code 32 only) dropped, '.' becomes ','.
std::string ToCommaDecimal(std::string_view s);
// Blanks dropped, ',' becomes '.'.
std::string ToPointDecimal(std::string_view s);
// Blanks kept, ',' becomes '.', apostrophes become blanks.
std::string ToPointDecimalUnquoted(std::string_view s);
// Blanks kept, '.' becomes ',', apostrophes become blanks.
std::string ToCommaDecimalUnquoted(std::string_view s);

// A cell read as a number: ToPointDecimal, then the locale-free conversion.
bool TryCellToFloat(std::string_view cell, double& value);
// A cell read as an integer with blanks dropped; anything unreadable is 0.
int CellToIntDef0(std::string_view cell);

} // namespace arv
