#include "Cp866.h"

#include "Cp1251.h"

#include <array>

namespace arv {

namespace {

// Upper half of CP866 (0x80..0xFF) as Unicode.
constexpr char16_t kHigh866[128] = {
    // 0x80: А..Я
    0x0410,
    0x0411,
    0x0412,
    0x0413,
    0x0414,
    0x0415,
    0x0416,
    0x0417,
    0x0418,
    0x0419,
    0x041A,
    0x041B,
    0x041C,
    0x041D,
    0x041E,
    0x041F,
    0x0420,
    0x0421,
    0x0422,
    0x0423,
    0x0424,
    0x0425,
    0x0426,
    0x0427,
    0x0428,
    0x0429,
    0x042A,
    0x042B,
    0x042C,
    0x042D,
    0x042E,
    0x042F,
    // 0xA0: а..п
    0x0430,
    0x0431,
    0x0432,
    0x0433,
    0x0434,
    0x0435,
    0x0436,
    0x0437,
    0x0438,
    0x0439,
    0x043A,
    0x043B,
    0x043C,
    0x043D,
    0x043E,
    0x043F,
    // 0xB0: box drawing
    0x2591,
    0x2592,
    0x2593,
    0x2502,
    0x2524,
    0x2561,
    0x2562,
    0x2556,
    0x2555,
    0x2563,
    0x2551,
    0x2557,
    0x255D,
    0x255C,
    0x255B,
    0x2510,
    0x2514,
    0x2534,
    0x252C,
    0x251C,
    0x2500,
    0x253C,
    0x255E,
    0x255F,
    0x255A,
    0x2554,
    0x2569,
    0x2566,
    0x2560,
    0x2550,
    0x256C,
    0x2567,
    0x2568,
    0x2564,
    0x2565,
    0x2559,
    0x2558,
    0x2552,
    0x2553,
    0x256B,
    0x256A,
    0x2518,
    0x250C,
    0x2588,
    0x2584,
    0x258C,
    0x2590,
    0x2580,
    // 0xE0: р..я
    0x0440,
    0x0441,
    0x0442,
    0x0443,
    0x0444,
    0x0445,
    0x0446,
    0x0447,
    0x0448,
    0x0449,
    0x044A,
    0x044B,
    0x044C,
    0x044D,
    0x044E,
    0x044F,
    // 0xF0
    0x0401,
    0x0451,
    0x0404,
    0x0454,
    0x0407,
    0x0457,
    0x040E,
    0x045E,
    0x00B0,
    0x2219,
    0x00B7,
    0x221A,
    0x2116,
    0x00A4,
    0x25A0,
    0x00A0,
};

struct TTables {
    std::array<char, 256> to1251{};
    std::array<char, 256> to866{};
};

const TTables& Tables() {
    static const TTables t = [] {
        TTables r;
        for (int i = 0; i < 128; ++i) {
            r.to1251[i] = static_cast<char>(i);
            r.to866[i] = static_cast<char>(i);
        }
        for (int i = 128; i < 256; ++i) r.to866[i] = '?';
        for (int i = 128; i < 256; ++i) {
            bool ok = false;
            unsigned char c = UnicodeToCp1251(kHigh866[i - 128], &ok);
            r.to1251[i] = ok ? static_cast<char>(c) : '?';
            if (ok) r.to866[c] = static_cast<char>(i);
        }
        return r;
    }();
    return t;
}

std::string Map(std::string_view s, const std::array<char, 256>& table) {
    std::string out(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i) out[i] = table[static_cast<unsigned char>(s[i])];
    return out;
}

} // namespace

std::string Cp866ToCp1251(std::string_view s) {
    return Map(s, Tables().to1251);
}

std::string Cp1251ToCp866(std::string_view s) {
    return Map(s, Tables().to866);
}

} // namespace arv
