// Windows-1251 text: the program keeps every 8-bit string in this code page.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace arv {

// One character of CP1251 as a Unicode code point (undefined 0x98 maps to U+0098).
char16_t Cp1251ToUnicode(unsigned char c);
// A Unicode code point as CP1251; '?' when the code page has no such character.
unsigned char UnicodeToCp1251(char32_t u, bool* ok = nullptr);

std::u16string Cp1251ToUtf16(std::string_view s);
std::string Utf16ToCp1251(std::u16string_view s);
std::string Cp1251ToUtf8(std::string_view s);
std::string Utf8ToCp1251(std::string_view s);

// Russian literal: turns a UTF-8 source literal into the CP1251 string the
// program works with, so that Ru("Номер") compares with table cells.
std::string Ru(std::string_view utf8);
// A fixed list of source literals as CP1251 texts (menu items, names).
template <std::size_t N> std::array<std::string, N> RuTable(const char* const (&utf8)[N]) {
    std::array<std::string, N> t;
    for (std::size_t i = 0; i < N; ++i) t[i] = Ru(utf8[i]);
    return t;
}

// Letter case of CP1251, Cyrillic and Ё included.
unsigned char AnsiUpperChar(unsigned char c);
unsigned char AnsiLowerChar(unsigned char c);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// ASCII-only case change, as the runtime's UpperCase/LowerCase.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// <0, 0, >0 comparing without regard to letter case.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Byte-wise compare with letter case.
int AnsiCompareStr(std::string_view a, std::string_view b);

// Runtime-style trims: every character up to and including ' ' (control
// characters too) is dropped from the ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// 1-based position of sub in s, 0 when absent.
int Pos(std::string_view sub, std::string_view s);
// 1-based substring with clamping, as the runtime's Copy.
std::string Copy(std::string_view s, int index, int count);
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);

} // namespace arv
