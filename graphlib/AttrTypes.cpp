#include "graphlib/AttrTypes.h"

#include "graphlib/AnsiText.h"
#include "graphlib/GraphErrors.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace arv::graphlib {

namespace {

constexpr std::string_view kTypeNames[] = {"Int8",   "UInt8",   "Bool",    "Char",    "Int16",
                                           "UInt16", "Int32",   "UInt32",  "Pointer", "AutoFree",
                                           "String", "Float32", "Float64", "Float80", "WideString"};
constexpr int32_t P = static_cast<int32_t>(sizeof(void*));
constexpr int32_t kTypeSizes[] = {1, 1, 1, 1, 2, 2, 4, 4, P, P, P, 4, 8, 10, P};

// Decimal digits of |x| as 0.d1d2... x 10^exponent, first taken to 18
// significant digits, then rounded half away from zero to `keep` digits,
// trailing zeros dropped.
struct TDecimal {
    std::string digits;
    int exponent = 0;
};

TDecimal ToDecimal(long double x, int keep) {
    TDecimal d;
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 17);
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    size_t e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    int exp10 = 0;
    std::string_view es = text.substr(e + 1);
    if (!es.empty() && es[0] == '+') es.remove_prefix(1);
    std::from_chars(es.data(), es.data() + es.size(), exp10);
    d.exponent = exp10 + 1;
    if (static_cast<int>(d.digits.size()) > keep) {
        bool up = d.digits[keep] >= '5';
        d.digits.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
            if (i < 0) {
                d.digits.insert(d.digits.begin(), '1');
                d.digits.pop_back();
                ++d.exponent;
            } else {
                ++d.digits[i];
            }
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

} // namespace

bool IsAttrType(int type) {
    return type >= 1 && type <= AttrType::Last;
}

std::string_view AttrTypeName(int type) {
    return IsAttrType(type) ? kTypeNames[type - 1] : std::string_view();
}

int32_t AttrTypeSize(int type) {
    return IsAttrType(type) ? kTypeSizes[type - 1] : 0;
}

bool AttrTypeOwnsMemory(int type) {
    return type == AttrType::AutoFree || type == AttrType::String || type == AttrType::WideString;
}

uint8_t AttrTypeByName(std::string_view name) {
    std::string upper = UpperAscii(name);
    for (int i = 0; i < AttrType::Last; ++i)
        if (UpperAscii(kTypeNames[i]) == upper) return static_cast<uint8_t>(i + 1);
    throw Exception("AttrTypeByName error: " +
                    FormatMessageText("wrong attribute name '%s'", name));
}

std::string FloatToText(long double x) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    if (x == 0) return "0";
    const int precision = 15;
    TDecimal d = ToDecimal(x, precision);
    std::string s;
    int n = static_cast<int>(d.digits.size());
    if (d.exponent > precision || d.exponent < -3) {
        s += d.digits[0];
        if (n > 1) s += "." + d.digits.substr(1);
        int e = d.exponent - 1;
        s += "E" + std::string(e < 0 ? "-" : "") + std::to_string(e < 0 ? -e : e);
    } else if (d.exponent <= 0) {
        s = "0." + std::string(static_cast<size_t>(-d.exponent), '0') + d.digits;
    } else {
        for (int i = 0; i < d.exponent; ++i) s += i < n ? d.digits[i] : '0';
        if (n > d.exponent) s += "." + d.digits.substr(static_cast<size_t>(d.exponent));
    }
    return x < 0 ? "-" + s : s;
}

bool TryTextToFloat(std::string_view s, long double& value) {
    std::string t = TrimText(s);
    if (t.find('.') == std::string::npos)
        for (auto& c : t)
            if (c == ',') c = '.';
    // The forms FloatToText writes for values no number text holds (a Float32
    // given 1e300 becomes INF): what is written must read back.
    if (t == "INF" || t == "-INF" || t == "NAN") {
        value = t == "NAN" ? std::numeric_limits<long double>::quiet_NaN()
                : t[0] == '-' ? -std::numeric_limits<long double>::infinity()
                              : std::numeric_limits<long double>::infinity();
        return true;
    }
    std::string_view body = t;
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    // Only plain decimal numbers: no "inf", "nan" or hexadecimal forms.
    if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body[0])) || body[0] == '.'))
        return false;
    long double v = 0;
    auto res = std::from_chars(body.data(), body.data() + body.size(), v);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size()) return false;
    value = negative ? -v : v;
    return true;
}

long double TextToFloat(std::string_view s) {
    long double v;
    if (!TryTextToFloat(s, v))
        throw EConvertError(FormatMessageText("Can't convert '%s' to float", s));
    return v;
}

std::string CharToText(char c) {
    auto code = static_cast<unsigned char>(c);
    if (code < 32) return "#" + std::to_string(code);
    return std::string(1, c);
}

char TextToChar(std::string_view s) {
    if (s.size() == 1) return s[0];
    if (s.size() >= 2 && s.size() <= 4 && s[0] == '#') {
        int code = 0;
        auto res = std::from_chars(s.data() + 1, s.data() + s.size(), code);
        if (res.ec == std::errc() && res.ptr == s.data() + s.size() && s[1] != '-' && code < 256)
            return static_cast<char>(code);
    }
    throw Exception(FormatMessageText("Illegal character '%s'", s));
}

int64_t TextToInteger(std::string_view s) {
    std::string_view t = s;
    while (!t.empty() && static_cast<unsigned char>(t[0]) <= ' ') t.remove_prefix(1);
    std::string_view digits = t;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    if (!digits.empty() && t[0] == '+') t.remove_prefix(1);
    int64_t v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v);
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits[0])) ||
        res.ec != std::errc() || res.ptr != t.data() + t.size())
        throw EConvertError(FormatMessageText("'%s' is not a valid integer value", s));
    return v;
}

void EncodeFloat80(long double x, uint8_t out[10]) {
    uint64_t mantissa = 0;
    int exponent = 0;
    if (std::isnan(x)) {
        mantissa = 0xC000000000000000ull;
        exponent = 0x7FFF;
    } else if (std::isinf(x)) {
        mantissa = 0x8000000000000000ull;
        exponent = 0x7FFF;
    } else if (x != 0) {
        int e;
        long double m = std::frexp(std::fabs(x), &e); // [0.5, 1)
        mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
        exponent = e - 1 + 16383;
        if (exponent <= 0) { // denormal
            mantissa = 1 - exponent < 64 ? mantissa >> (1 - exponent) : 0;
            exponent = 0;
        } else if (exponent >= 0x7FFF) {
            mantissa = 0x8000000000000000ull;
            exponent = 0x7FFF;
        }
    }
    if (std::signbit(x)) exponent |= 0x8000;
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    out[8] = static_cast<uint8_t>(exponent);
    out[9] = static_cast<uint8_t>(exponent >> 8);
}

long double DecodeFloat80(const uint8_t in[10]) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= uint64_t{in[i]} << (8 * i);
    int exponent = in[8] | ((in[9] & 0x7F) << 8);
    bool negative = (in[9] & 0x80) != 0;
    long double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                 : std::numeric_limits<long double>::quiet_NaN();
    else
        v = std::ldexp(static_cast<long double>(mantissa),
                       (exponent == 0 ? 1 : exponent) - 16383 - 63);
    return negative ? -v : v;
}

} // namespace arv::graphlib
