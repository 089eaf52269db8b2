// CP1251 text helpers private to the graph library. The library depends on
// the standard library only, so it keeps its own copy of the code page's
// mapping instead of using the platform layer.
#pragma once

#include <string>
#include <string_view>

namespace arv::graphlib {

// <0, 0, >0 comparing two CP1251 texts without regard to letter case
// (Latin and Cyrillic, Ё included); Ё sorts right after Е.
int CompareTextNoCase(std::string_view a, std::string_view b);
bool SameTextNoCase(std::string_view a, std::string_view b);

std::u16string AnsiToWide(std::string_view s);
// Characters the code page lacks become '?'.
std::string WideToAnsi(std::u16string_view s);

// ASCII-only upper case, as the runtime's UpperCase.
std::string UpperAscii(std::string_view s);
// Drops every character up to and including ' ' from both ends.
std::string TrimText(std::string_view s);

} // namespace arv::graphlib
