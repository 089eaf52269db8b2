#include "document/ColorNames.h"

#include "platform/Errors.h"
#include "platform/NumberParse.h"

#include <array>
#include <cctype>

namespace arv {

namespace {

struct TColorName {
    std::string_view name;
    uint32_t value;
};

// System colours are 0x80000000 plus the index of the Windows system colour.
constexpr uint32_t kSys = 0x80000000u;

constexpr std::array<TColorName, 52> kColorNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", kSys | 0},
    {"clBackground", kSys | 1},
    {"clActiveCaption", kSys | 2},
    {"clInactiveCaption", kSys | 3},
    {"clMenu", kSys | 4},
    {"clWindow", kSys | 5},
    {"clWindowFrame", kSys | 6},
    {"clMenuText", kSys | 7},
    {"clWindowText", kSys | 8},
    {"clCaptionText", kSys | 9},
    {"clActiveBorder", kSys | 10},
    {"clInactiveBorder", kSys | 11},
    {"clAppWorkSpace", kSys | 12},
    {"clHighlight", kSys | 13},
    {"clHighlightText", kSys | 14},
    {"clBtnFace", kSys | 15},
    {"clBtnShadow", kSys | 16},
    {"clGrayText", kSys | 17},
    {"clBtnText", kSys | 18},
    {"clInactiveCaptionText", kSys | 19},
    {"clBtnHighlight", kSys | 20},
    {"cl3DDkShadow", kSys | 21},
    {"cl3DLight", kSys | 22},
    {"clInfoText", kSys | 23},
    {"clInfoBk", kSys | 24},
    {"clHotLight", kSys | 26},
    {"clGradientActiveCaption", kSys | 27},
    {"clGradientInactiveCaption", kSys | 28},
}};

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool TryStringToColor(std::string_view text, int32_t& value) {
    for (const TColorName& c : kColorNames) {
        if (SameAscii(c.name, text)) {
            value = static_cast<int32_t>(c.value);
            return true;
        }
    }
    if (TryStrToInt(text, value)) return true;
    // Hex texts fill all 32 bits, as "$80000005" (clWindow) is written.
    const size_t first = text.find_first_not_of(' ');
    int64_t wide = 0;
    if (first != std::string_view::npos &&
        (text[first] == '$' || (text.size() > first + 1 && text[first] == '0' &&
                                (text[first + 1] == 'x' || text[first + 1] == 'X'))) &&
        TryStrToInt64(text, wide) && wide >= 0 && wide <= 0xFFFFFFFFLL) {
        value = static_cast<int32_t>(static_cast<uint32_t>(wide));
        return true;
    }
    return false;
}

int32_t StringToColor(std::string_view text) {
    int32_t v = 0;
    if (!TryStringToColor(text, v)) return StrToInt(text); // raises the conversion error
    return v;
}

std::string ColorToString(int32_t colour) {
    const auto value = static_cast<uint32_t>(colour);
    for (const TColorName& c : kColorNames) {
        // The grey aliases read back, but a colour is named by its first name.
        if (c.name == "clLtGray" || c.name == "clDkGray") continue;
        if (c.value == value) return std::string(c.name);
    }
    static const char* const kHex = "0123456789ABCDEF";
    std::string s = "$";
    for (int shift = 28; shift >= 0; shift -= 4) s += kHex[(value >> shift) & 0xF];
    return s;
}

} // namespace arv
