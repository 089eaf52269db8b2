// Edit masks are written in the notation of the original program's masked
// edit ("99999;0; "); the Qt line edit takes its own notation. One mapping,
// used by every masked edit line of the program.
#pragma once

#include <string>
#include <string_view>

namespace arv {

struct TQtEditMask {
    // The mask for QLineEdit::setInputMask, blank character included
    // ("00000; "); empty when the source mask is empty (no mask).
    std::string InputMask;
    // Second field of the source mask: whether literal characters belong to
    // the text the edit gives back (true unless the field is '0').
    bool SaveLiterals = true;
    // The character shown in unfilled positions.
    char Blank = '_';
};

// Character by character: '0' (digit required) becomes '9' and '9' (digit
// optional) becomes '0'; 'L' 'l' 'A' 'a' 'C' 'c' become 'A' 'a' 'N' 'n' 'X'
// 'x'; '#', '>' and '<' stay; "<>" becomes '!'; '\' keeps the next character
// literal; ':' and '/' are the time and date separators (':' and '.');
// '_' is a literal blank; the leading-blank switch '!' has no counterpart and
// is dropped. Every other character is a literal and is escaped where Qt
// would read it as a mask character.
TQtEditMask DelphiMaskToQt(std::string_view mask);

// Text of a masked edit as the program reads it, from what the edit shows
// (QLineEdit::displayText, one character per mask position): literals left
// out when the mask does not save them, unfilled positions left out (so
// "99999;0; " with "12" typed reads "12", a number the strict conversions
// take).
std::string MaskedEditText(std::string_view delphiMask, std::string_view displayText);

} // namespace arv
