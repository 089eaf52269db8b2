#include "graphlib/AnsiText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace arv::graphlib {

namespace {

// Unicode code points of CP1251 bytes 0x80..0xFF.
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

char16_t ToWide(unsigned char c) {
    return c < 0x80 ? static_cast<char16_t>(c) : kHigh[c - 0x80];
}

char16_t UpperWide(char16_t u) {
    if (u >= 'a' && u <= 'z') return static_cast<char16_t>(u - 32);
    if (u >= 0x0430 && u <= 0x044F) return static_cast<char16_t>(u - 0x20);
    if (u >= 0x0450 && u <= 0x045F) return static_cast<char16_t>(u - 0x50);
    if (u == 0x0491) return 0x0490;
    return u;
}

// Sort weight of each byte after upper-casing: the code point, with Ё placed
// between Е and Ж.
const std::array<int, 256>& Weights() {
    static const std::array<int, 256> w = [] {
        std::array<int, 256> r{};
        for (int i = 0; i < 256; ++i) {
            char16_t u = UpperWide(ToWide(static_cast<unsigned char>(i)));
            r[i] = u == 0x0401 ? 0x0415 * 4 + 2 : static_cast<int>(u) * 4;
        }
        return r;
    }();
    return w;
}

unsigned char FromWide(char16_t u) {
    if (u < 0x80) return static_cast<unsigned char>(u);
    static const std::array<std::pair<char16_t, unsigned char>, 128> sorted = [] {
        std::array<std::pair<char16_t, unsigned char>, 128> a{};
        for (int i = 0; i < 128; ++i) a[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(a.begin(), a.end());
        return a;
    }();
    auto it = std::lower_bound(sorted.begin(), sorted.end(),
                               std::make_pair(u, static_cast<unsigned char>(0)));
    if (it != sorted.end() && it->first == u) return it->second;
    return '?';
}

} // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
    const auto& w = Weights();
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int wa = w[static_cast<unsigned char>(a[i])];
        int wb = w[static_cast<unsigned char>(b[i])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareTextNoCase(a, b) == 0;
}

std::u16string AnsiToWide(std::string_view s) {
    std::u16string r;
    r.reserve(s.size());
    for (char c : s) r += ToWide(static_cast<unsigned char>(c));
    return r;
}

std::string WideToAnsi(std::u16string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char16_t u : s) r += static_cast<char>(FromWide(u));
    return r;
}

std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

std::string TrimText(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return std::string(s.substr(b, e - b));
}

} // namespace arv::graphlib
