#include "Cp1251.h"

#include <algorithm>
#include <array>

namespace arv {

namespace {

constexpr char16_t kHigh[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    std::array<int, 256> weight{};
};

char32_t UnicodeUpper(char32_t u) {
    if (u >= 'a' && u <= 'z') return u - 32;
    if (u >= 0x0430 && u <= 0x044F) return u - 0x20;
    if (u >= 0x0450 && u <= 0x045F) return u - 0x50;
    if (u == 0x0491) return 0x0490;
    return u;
}

char32_t UnicodeLower(char32_t u) {
    if (u >= 'A' && u <= 'Z') return u + 32;
    if (u >= 0x0410 && u <= 0x042F) return u + 0x20;
    if (u >= 0x0400 && u <= 0x040F) return u + 0x50;
    if (u == 0x0490) return 0x0491;
    return u;
}

const CaseTables& Tables() {
    static const CaseTables t = [] {
        CaseTables r;
        for (int i = 0; i < 256; ++i) {
            auto c = static_cast<unsigned char>(i);
            char32_t u = Cp1251ToUnicode(c);
            r.upper[i] = UnicodeToCp1251(UnicodeUpper(u));
            r.lower[i] = UnicodeToCp1251(UnicodeLower(u));
        }
        // Collation weight of an upper-case byte: Cyrillic letters in
        // alphabetical order, Ё right after Е; everything else by code point.
        for (int i = 0; i < 256; ++i) {
            char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(i));
            int w = static_cast<int>(u) * 4;
            if (u == 0x0401) w = 0x0415 * 4 + 2;
            r.weight[i] = w;
        }
        return r;
    }();
    return t;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

char16_t Cp1251ToUnicode(unsigned char c) {
    return c < 0x80 ? static_cast<char16_t>(c) : kHigh[c - 0x80];
}

unsigned char UnicodeToCp1251(char32_t u, bool* ok) {
    if (ok) *ok = true;
    if (u < 0x80) return static_cast<unsigned char>(u);
    static const std::array<std::pair<char16_t, unsigned char>, 128> sorted = [] {
        std::array<std::pair<char16_t, unsigned char>, 128> a{};
        for (int i = 0; i < 128; ++i) a[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(a.begin(), a.end());
        return a;
    }();
    if (u <= 0xFFFF) {
        auto key = static_cast<char16_t>(u);
        auto it =
            std::lower_bound(sorted.begin(), sorted.end(), std::make_pair(key, (unsigned char)0));
        if (it != sorted.end() && it->first == key) return it->second;
    }
    if (ok) *ok = false;
    return '?';
}

std::u16string Cp1251ToUtf16(std::string_view s) {
    std::u16string r;
    r.reserve(s.size());
    for (char c : s) r += Cp1251ToUnicode(static_cast<unsigned char>(c));
    return r;
}

std::string Utf16ToCp1251(std::u16string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        r += static_cast<char>(UnicodeToCp1251(u));
    }
    return r;
}

std::string Cp1251ToUtf8(std::string_view s) {
    std::string r;
    r.reserve(s.size() * 2);
    for (char c : s) AppendUtf8(r, Cp1251ToUnicode(static_cast<unsigned char>(c)));
    return r;
}

std::string Utf8ToCp1251(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        char32_t u;
        int extra;
        if (b < 0x80) {
            u = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            u = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            u = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            u = b & 0x07;
            extra = 3;
        } else {
            r += '?';
            ++i;
            continue;
        }
        bool bad = false;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                bad = true;
                break;
            }
            u = (u << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (bad) {
            r += '?';
            ++i;
            continue;
        }
        r += static_cast<char>(UnicodeToCp1251(u));
        i += extra + 1;
    }
    return r;
}

std::string Ru(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

unsigned char AnsiUpperChar(unsigned char c) {
    return Tables().upper[c];
}
unsigned char AnsiLowerChar(unsigned char c) {
    return Tables().lower[c];
}

std::string AnsiUpperCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(c)));
    return r;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(AnsiLowerChar(static_cast<unsigned char>(c)));
    return r;
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    const auto& t = Tables();
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int wa = t.weight[t.upper[static_cast<unsigned char>(a[i])]];
        int wb = t.weight[t.upper[static_cast<unsigned char>(b[i])]];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto& t = Tables();
    for (size_t i = 0; i < a.size(); ++i)
        if (t.upper[static_cast<unsigned char>(a[i])] != t.upper[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlankOrControl(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlankOrControl(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    auto p = s.find(sub);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > static_cast<int>(s.size())) return {};
    size_t start = static_cast<size_t>(index - 1);
    size_t len = std::min(static_cast<size_t>(count), s.size() - start);
    return std::string(s.substr(start, len));
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    size_t i = 0;
    while (true) {
        auto p = s.find(from, i);
        if (p == std::string_view::npos) break;
        r.append(s.substr(i, p - i));
        r.append(to);
        i = p + from.size();
    }
    r.append(s.substr(i));
    return r;
}

} // namespace arv
