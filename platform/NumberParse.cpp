#include "NumberParse.h"

#include "Errors.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace arv {

namespace {

// Scans an integer as Val does. Returns the 1-based error position or 0.
int ScanInt(std::string_view s, int64_t& out, int64_t lo, int64_t hi) {
    size_t i = 0;
    out = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return static_cast<int>(i) + 1;
    uint64_t acc = 0;
    uint64_t limit = neg ? static_cast<uint64_t>(-(lo + 1)) + 1 : static_cast<uint64_t>(hi);
    if (base == 16 && !neg && hi == std::numeric_limits<int32_t>::max()) limit = 0xFFFFFFFFull;
    if (base == 16 && !neg && hi == std::numeric_limits<int64_t>::max()) limit = ~0ull;
    size_t start = i;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (acc > (limit - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base))
            return static_cast<int>(i) + 1;
        acc = acc * base + d;
    }
    if (i == start) return static_cast<int>(i) + 1;
    if (neg)
        out = static_cast<int64_t>(0 - acc);
    else if (hi == std::numeric_limits<int32_t>::max() && acc > static_cast<uint64_t>(hi))
        out = static_cast<int32_t>(static_cast<uint32_t>(acc)); // hex beyond Integer wraps
    else
        out = static_cast<int64_t>(acc);
    if (i < s.size()) return static_cast<int>(i) + 1;
    return 0;
}

// Scans a real number with the given separator. Returns the end of the
// number, or npos when there is no number at the start.
bool ScanFloat(std::string_view s, size_t& i, char sep, double& value) {
    std::string text;
    size_t p = i;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) {
        if (s[p] == '-') text += '-';
        ++p;
    }
    bool digits = false;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        text += s[p++];
        digits = true;
    }
    if (p < s.size() && s[p] == sep) {
        ++p;
        text += '.';
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
            text += s[p++];
            digits = true;
        }
    }
    if (!digits) return false;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        size_t q = p + 1;
        std::string e = "e";
        if (q < s.size() && (s[q] == '-' || s[q] == '+')) e += s[q++];
        bool expDigits = false;
        while (q < s.size() && s[q] >= '0' && s[q] <= '9') {
            e += s[q++];
            expDigits = true;
        }
        if (expDigits) {
            text += e;
            p = q;
        }
    }
    if (text.back() == '.') text += '0';
    if (text[0] == '.' || (text[0] == '-' && text[1] == '.'))
        text.insert(text[0] == '-' ? 1 : 0, "0");
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow (a negative exponent) reads as zero; overflow is no number.
        auto e = text.find('e');
        if (e != std::string::npos && text[e + 1] == '-')
            v = 0;
        else
            return false;
    } else if (r.ec != std::errc()) {
        return false;
    }
    value = v;
    i = p;
    return true;
}

std::string Quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

} // namespace

bool TryStrToInt64(std::string_view s, int64_t& value) {
    int64_t v;
    if (ScanInt(s, v, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()) !=
        0)
        return false;
    value = v;
    return true;
}

bool TryStrToInt(std::string_view s, int& value) {
    int64_t v;
    if (ScanInt(s, v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()) !=
        0)
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError(Quoted(s) + " is not a valid integer value");
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) throw EConvertError(Quoted(s) + " is not a valid integer value");
    return v;
}

int StrToIntDef(std::string_view s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToFloat(std::string_view s, double& value, char decimalSep) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    double v;
    if (!ScanFloat(s, i, decimalSep, v)) return false;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i != s.size()) return false;
    value = v;
    return true;
}

double StrToFloat(std::string_view s, char decimalSep) {
    double v;
    if (!TryStrToFloat(s, v, decimalSep))
        throw EConvertError(Quoted(s) + " is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view s, double def, char decimalSep) {
    double v;
    return TryStrToFloat(s, v, decimalSep) ? v : def;
}

void Val(std::string_view s, double& value, int& code) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    double v = 0;
    size_t start = i;
    if (!ScanFloat(s, i, '.', v)) {
        value = 0;
        code = static_cast<int>(start) + 1;
        return;
    }
    value = v;
    code = i < s.size() ? static_cast<int>(i) + 1 : 0;
}

void Val(std::string_view s, int64_t& value, int& code) {
    int64_t v = 0;
    code = ScanInt(s, v, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    value = v;
}

void Val(std::string_view s, int& value, int& code) {
    int64_t v = 0;
    code = ScanInt(s, v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    value = static_cast<int>(v);
}

} // namespace arv
