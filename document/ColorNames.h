// Colour texts as the property grid and the settings files give them: the
// names of the Windows colour constants ("clRed", "clBtnFace", ...) or an
// integer, usually "$00BBGGRR" hex.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arv {

// False (value untouched) when the text is neither a colour name (letter
// case ignored) nor an integer.
bool TryStringToColor(std::string_view text, int32_t& value);
// As above; raises EConvertError for a text that is no colour.
int32_t StringToColor(std::string_view text);
// The colour's constant name when it has one, else "$00BBGGRR" (eight
// upper-case hex digits).
std::string ColorToString(int32_t colour);

} // namespace arv
