// Number texts read as the original program's runtime read them, without the
// process locale: the decimal separator is a parameter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arv {

// Leading blanks, an optional sign, decimal digits or a '$' (or "0x") hex
// prefix; trailing blanks are an error. Raises EConvertError with the text
// "'<s>' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

// Blanks around the number are allowed; digits with one decimal separator
// and an optional exponent. Raises EConvertError with the text
// "'<s>' is not a valid floating point value".
double StrToFloat(std::string_view s, char decimalSep = ',');
double StrToFloatDef(std::string_view s, double def, char decimalSep = ',');
bool TryStrToFloat(std::string_view s, double& value, char decimalSep = ',');

// The runtime's Val: the decimal separator is always '.', leading blanks are
// skipped and nothing may follow the number. code is 0 on success, otherwise
// the 1-based position of the first character that does not fit; value then
// holds what was read before it.
void Val(std::string_view s, double& value, int& code);
void Val(std::string_view s, int& value, int& code);
void Val(std::string_view s, int64_t& value, int& code);

} // namespace arv
