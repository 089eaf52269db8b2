#include "NumberFormat.h"

#include "Errors.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace arv {

namespace {

// Rounds the digit string to `keep` digits, half away from zero.
void RoundDigits(TFloatRec& r, int keep) {
    if (keep >= static_cast<int>(r.digits.size())) return;
    if (keep < 0) {
        r.digits.clear();
        return;
    }
    bool up = r.digits[keep] >= '5';
    r.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && r.digits[i] == '9') {
            r.digits.pop_back();
            --i;
        }
        if (i < 0) {
            r.digits = "1";
            r.exponent += 1;
        } else {
            r.digits[i] = static_cast<char>(r.digits[i] + 1);
        }
    }
    while (!r.digits.empty() && r.digits.back() == '0') r.digits.pop_back();
}

std::string Pad(std::string s, int width, bool left) {
    if (width > static_cast<int>(s.size())) {
        std::string fill(width - s.size(), ' ');
        s = left ? s + fill : fill + s;
    }
    return s;
}

std::string InsertThousands(const std::string& intPart, char sep) {
    std::string r;
    int n = static_cast<int>(intPart.size());
    for (int i = 0; i < n; ++i) {
        r += intPart[i];
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) r += sep;
    }
    return r;
}

// Fixed notation of a rounded decimal with exactly `decimals` digits shown.
std::string FixedText(const TFloatRec& r, int decimals, char decimalSep, bool thousands,
                      char thousandSep) {
    std::string intPart;
    if (r.exponent > 0) {
        for (int i = 0; i < r.exponent; ++i)
            intPart += i < static_cast<int>(r.digits.size()) ? r.digits[i] : '0';
    } else {
        intPart = "0";
    }
    if (r.digits.empty()) intPart = "0";
    if (thousands) intPart = InsertThousands(intPart, thousandSep);
    std::string s = intPart;
    if (decimals > 0) {
        s += decimalSep;
        for (int i = 0; i < decimals; ++i) {
            int idx = r.exponent + i;
            char d = '0';
            if (!r.digits.empty() && idx >= 0 && idx < static_cast<int>(r.digits.size()))
                d = r.digits[idx];
            s += d;
        }
    }
    if (r.negative && !r.digits.empty()) s = "-" + s;
    return s;
}

std::string ExponentText(int exp, int minDigits, bool alwaysSign) {
    std::string digits = std::to_string(exp < 0 ? -exp : exp);
    while (static_cast<int>(digits.size()) < minDigits) digits = "0" + digits;
    std::string sign = exp < 0 ? "-" : (alwaysSign ? "+" : "");
    return "E" + sign + digits;
}

std::string SpecialText(const TFloatRec& r) {
    if (r.digits == "NAN") return "NAN";
    return r.negative ? "-INF" : "INF";
}

std::string GeneralText(double value, int precision, int expDigits, char decimalSep) {
    if (precision > 18) precision = 18;
    if (precision < 1) precision = 1;
    TFloatRec r = FloatToDecimal(value, precision);
    if (r.special) return SpecialText(r);
    if (r.digits.empty()) return "0";
    std::string s;
    int n = static_cast<int>(r.digits.size());
    if (r.exponent > precision || r.exponent < -3) {
        s += r.digits[0];
        if (n > 1) {
            s += decimalSep;
            s += r.digits.substr(1);
        }
        s += ExponentText(r.exponent - 1, expDigits, false);
    } else if (r.exponent <= 0) {
        s = "0";
        s += decimalSep;
        s += std::string(-r.exponent, '0');
        s += r.digits;
    } else {
        for (int i = 0; i < r.exponent; ++i) s += i < n ? r.digits[i] : '0';
        if (n > r.exponent) {
            s += decimalSep;
            s += r.digits.substr(r.exponent);
        }
    }
    if (r.negative) s = "-" + s;
    return s;
}

std::string ExponentFormText(double value, int precision, int expDigits, char decimalSep) {
    if (precision > 18) precision = 18;
    if (precision < 1) precision = 1;
    TFloatRec r = FloatToDecimal(value, precision);
    if (r.special) return SpecialText(r);
    std::string s;
    s += r.digits.empty() ? '0' : r.digits[0];
    s += decimalSep;
    for (int i = 1; i < precision; ++i)
        s += i < static_cast<int>(r.digits.size()) ? r.digits[i] : '0';
    s += ExponentText(r.digits.empty() ? 0 : r.exponent - 1, expDigits, true);
    if (r.negative && !r.digits.empty()) s = "-" + s;
    return s;
}

std::string FixedFormText(double value, int precision, int digits, char decimalSep, bool thousands,
                          char thousandSep) {
    if (precision > 18) precision = 18;
    if (digits > 18) digits = 18;
    if (digits < 0) digits = 0;
    TFloatRec r = FloatToDecimal(value, precision, digits);
    if (r.special) return SpecialText(r);
    if (r.exponent > precision) return ExponentFormText(value, precision, 0, decimalSep);
    return FixedText(r, digits, decimalSep, thousands, thousandSep);
}

[[noreturn]] void BadFormat(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

} // namespace

TFloatRec FloatToDecimal(double value, int precision, int decimals) {
    TFloatRec r;
    if (std::isnan(value)) {
        r.special = true;
        r.digits = "NAN";
        return r;
    }
    if (std::isinf(value)) {
        r.special = true;
        r.negative = value < 0;
        r.digits = "INF";
        return r;
    }
    r.negative = std::signbit(value);
    if (value == 0) return r;
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    std::string_view text(buf, res.ptr - buf);
    auto e = text.find('e');
    std::string mant(text.substr(0, e));
    int exp10 = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exp10);
    for (char c : mant)
        if (c != '.') r.digits += c;
    r.exponent = exp10 + 1;
    while (!r.digits.empty() && r.digits.back() == '0') r.digits.pop_back();
    if (precision > 18) precision = 18;
    int keep = precision;
    if (decimals >= 0) keep = std::min(keep, r.exponent + decimals);
    RoundDigits(r, keep);
    return r;
}

namespace {

// A value the 64-bit integer cannot hold (NaN included) is refused rather
// than converted: the conversion would be undefined.
void CheckIntegerRange(double value) {
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (!(value >= -kLimit && value < kLimit))
        throw EConvertError("'" + FloatToStr(value, '.') + "' is not a valid integer value");
}

} // namespace

int64_t Round(double value) {
    double f = std::floor(value);
    CheckIntegerRange(f);
    double diff = value - f;
    if (diff > 0.5) {
        CheckIntegerRange(f + 1);
        return static_cast<int64_t>(f) + 1;
    }
    if (diff < 0.5) return static_cast<int64_t>(f);
    auto i = static_cast<int64_t>(f);
    if (i % 2 == 0) return i;
    CheckIntegerRange(f + 1);
    return i + 1;
}

int64_t Trunc(double value) {
    double t = std::trunc(value);
    CheckIntegerRange(t);
    return static_cast<int64_t>(t);
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

std::string IntToHex(int64_t value, int digits) {
    static const char* hex = "0123456789ABCDEF";
    auto u = static_cast<uint64_t>(value);
    if (value < 0 && value >= INT32_MIN) u &= 0xFFFFFFFFull;
    std::string s;
    do {
        s = hex[u & 15] + s;
        u >>= 4;
    } while (u);
    while (static_cast<int>(s.size()) < digits) s = "0" + s;
    return s;
}

std::string FloatToStr(double value, char decimalSep) {
    return GeneralText(value, 15, 0, decimalSep);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        char decimalSep, char thousandSep) {
    switch (format) {
    case TFloatFormat::ffGeneral:
        return GeneralText(value, precision, digits, decimalSep);
    case TFloatFormat::ffExponent:
        return ExponentFormText(value, precision, digits, decimalSep);
    case TFloatFormat::ffFixed:
        return FixedFormText(value, precision, digits, decimalSep, false, thousandSep);
    case TFloatFormat::ffNumber:
        return FixedFormText(value, precision, digits, decimalSep, true, thousandSep);
    }
    return {};
}

std::string Format(std::string_view fmt, std::initializer_list<TFormatArg> args, char decimalSep) {
    std::vector<const TFormatArg*> list;
    for (const auto& a : args) list.push_back(&a);
    std::string out;
    size_t argIndex = 0;
    size_t i = 0;
    auto nextArg = [&]() -> const TFormatArg& {
        if (argIndex >= list.size())
            throw EConvertError("No argument for format '" + std::string(fmt) + "'");
        return *list[argIndex++];
    };
    while (i < fmt.size()) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= fmt.size()) BadFormat(fmt);
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // [index:]
        size_t save = i;
        int num = -1;
        auto readNumber = [&](int& v, bool allowStar) -> bool {
            if (allowStar && i < fmt.size() && fmt[i] == '*') {
                const TFormatArg& a = nextArg();
                if (a.kind() != TFormatArg::Kind::Int) BadFormat(fmt);
                v = static_cast<int>(a.AsInt());
                ++i;
                return true;
            }
            if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9') return false;
            v = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                v = v * 10 + (fmt[i] - '0');
                if (v > 100000) BadFormat(fmt);
                ++i;
            }
            return true;
        };
        if (readNumber(num, false) && i < fmt.size() && fmt[i] == ':') {
            argIndex = static_cast<size_t>(num);
            ++i;
        } else {
            i = save;
        }
        bool left = false;
        if (i < fmt.size() && fmt[i] == '-') {
            left = true;
            ++i;
        }
        int width = -1;
        readNumber(width, true);
        int prec = -1;
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            if (!readNumber(prec, true)) prec = 0;
        }
        if (i >= fmt.size()) BadFormat(fmt);
        char type = static_cast<char>(fmt[i] | 0x20);
        ++i;
        const TFormatArg& a = nextArg();
        std::string s;
        switch (type) {
        case 'd':
        case 'u': {
            if (a.kind() != TFormatArg::Kind::Int) BadFormat(fmt);
            int64_t v = a.AsInt();
            if (type == 'u' && v < 0 && v >= INT32_MIN)
                v = static_cast<int64_t>(static_cast<uint32_t>(v));
            std::string digits =
                std::to_string(v < 0 ? -static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
            while (prec > 0 && static_cast<int>(digits.size()) < prec) digits = "0" + digits;
            s = (v < 0 ? "-" : "") + digits;
            break;
        }
        case 'x':
            if (a.kind() != TFormatArg::Kind::Int) BadFormat(fmt);
            s = IntToHex(a.AsInt(), prec > 0 ? prec : 0);
            break;
        case 'f':
            if (a.kind() == TFormatArg::Kind::Str) BadFormat(fmt);
            s = FixedFormText(a.AsFloat(), 18, prec < 0 ? 2 : prec, decimalSep, false,
                              kThousandSep);
            break;
        case 'n':
            if (a.kind() == TFormatArg::Kind::Str) BadFormat(fmt);
            s = FixedFormText(a.AsFloat(), 18, prec < 0 ? 2 : prec, decimalSep, true, kThousandSep);
            break;
        case 'e':
            if (a.kind() == TFormatArg::Kind::Str) BadFormat(fmt);
            s = ExponentFormText(a.AsFloat(), prec < 0 ? 15 : prec, 3, decimalSep);
            break;
        case 'g':
            if (a.kind() == TFormatArg::Kind::Str) BadFormat(fmt);
            s = GeneralText(a.AsFloat(), prec < 0 ? 15 : prec, 0, decimalSep);
            break;
        case 's':
            if (a.kind() != TFormatArg::Kind::Str) BadFormat(fmt);
            s = a.AsString();
            if (prec >= 0 && static_cast<int>(s.size()) > prec) s.resize(prec);
            break;
        default:
            BadFormat(fmt);
        }
        out += Pad(s, width, left);
    }
    return out;
}

namespace {

struct TPicture {
    std::string text;        // the section's characters
    int intPlaceholders = 0; // digit placeholders before the decimal point
    int firstIntZero = -1;   // placeholders from the first '0' to the point
    int decPlaceholders = 0; // digit placeholders after the point
    int decZeros = 0;        // position of the last '0' after the point
    bool hasPoint = false;
    bool thousands = false;
    bool scientific = false;
    bool expSign = false;
    int expDigits = 0;
};

std::vector<std::string> SplitSections(std::string_view format) {
    std::vector<std::string> parts(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
            parts.back() += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            parts.back() += c;
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

TPicture Analyse(const std::string& section) {
    TPicture p;
    p.text = section;
    char quote = 0;
    int decIndex = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (p.scientific) {
            continue;
        } else if (c == '0' || c == '#') {
            if (p.hasPoint) {
                ++decIndex;
                ++p.decPlaceholders;
                if (c == '0') p.decZeros = decIndex;
            } else {
                ++p.intPlaceholders;
                if (c == '0' && p.firstIntZero < 0) p.firstIntZero = p.intPlaceholders;
            }
        } else if (c == '.') {
            p.hasPoint = true;
        } else if (c == ',') {
            p.thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < section.size() &&
                   (section[i + 1] == '+' || section[i + 1] == '-')) {
            p.scientific = true;
            p.expSign = section[i + 1] == '+';
            size_t k = i + 2;
            while (k < section.size() && section[k] == '0') {
                ++p.expDigits;
                ++k;
            }
        }
    }
    if (p.firstIntZero >= 0)
        p.firstIntZero = p.intPlaceholders - p.firstIntZero + 1;
    else
        p.firstIntZero = 0;
    return p;
}

std::string ApplyPicture(const TPicture& p, const TFloatRec& r, bool withSign, char decimalSep,
                         char thousandSep) {
    // Integer digits and decimals to show.
    std::string intDigits;
    int exponentShown = 0;
    TFloatRec v = r;
    std::string fracDigits;
    if (p.scientific) {
        int intCount = std::max(1, p.intPlaceholders);
        if (!v.digits.empty()) {
            exponentShown = v.exponent - intCount;
            v.exponent = intCount;
        }
    }
    if (!v.digits.empty() && v.exponent > 0) {
        for (int i = 0; i < v.exponent; ++i)
            intDigits += i < static_cast<int>(v.digits.size()) ? v.digits[i] : '0';
    }
    for (int i = 0; i < p.decPlaceholders; ++i) {
        int idx = v.exponent + i;
        fracDigits += (!v.digits.empty() && idx >= 0 && idx < static_cast<int>(v.digits.size()))
                          ? v.digits[idx]
                          : '0';
    }
    int shownFrac = p.decPlaceholders;
    while (shownFrac > p.decZeros && fracDigits[shownFrac - 1] == '0') --shownFrac;
    int intWidth = std::max(static_cast<int>(intDigits.size()), p.firstIntZero);
    while (static_cast<int>(intDigits.size()) < intWidth) intDigits = "0" + intDigits;

    std::string out;
    if (withSign) out += '-';
    int intSeen = 0;
    int fracSeen = 0;
    bool afterPoint = false;
    char quote = 0;
    bool expDone = false;
    auto emitInt = [&](int from, int to) { // digits with positions (from right) in [to, from)
        for (int pos = from; pos > to; --pos) {
            int idx = static_cast<int>(intDigits.size()) - pos;
            if (idx < 0) continue;
            out += intDigits[idx];
            if (p.thousands && pos - 1 > 0 && (pos - 1) % 3 == 0) out += thousandSep;
        }
    };
    for (size_t i = 0; i < p.text.size(); ++i) {
        char c = p.text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (expDone) {
            if (c == '0' || c == '#') continue;
            out += c;
            continue;
        }
        if (c == '0' || c == '#') {
            if (!afterPoint) {
                int posFromRight = p.intPlaceholders - intSeen; // this placeholder's place
                if (intSeen == 0)
                    emitInt(std::max(static_cast<int>(intDigits.size()), posFromRight),
                            posFromRight - 1);
                else
                    emitInt(posFromRight, posFromRight - 1);
                ++intSeen;
            } else {
                if (fracSeen < shownFrac) out += fracDigits[fracSeen];
                ++fracSeen;
            }
        } else if (c == '.') {
            if (!afterPoint) {
                if (intSeen == 0) emitInt(static_cast<int>(intDigits.size()), 0);
                afterPoint = true;
                if (shownFrac > 0) out += decimalSep;
            }
        } else if (c == ',') {
            // thousands marker: no character of its own
        } else if ((c == 'E' || c == 'e') && p.scientific && i + 1 < p.text.size() &&
                   (p.text[i + 1] == '+' || p.text[i + 1] == '-')) {
            out += c;
            std::string digits = std::to_string(std::abs(exponentShown));
            while (static_cast<int>(digits.size()) < p.expDigits) digits = "0" + digits;
            if (exponentShown < 0)
                out += '-';
            else if (p.expSign)
                out += '+';
            out += digits;
            ++i;
            expDone = true;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string FormatFloat(std::string_view format, double value, char decimalSep, char thousandSep) {
    if (format.empty()) return FloatToStr(value, decimalSep);
    auto sections = SplitSections(format);
    if (std::isnan(value) || std::isinf(value)) return SpecialText(FloatToDecimal(value, 15));
    size_t which = 0;
    bool negative = value < 0;
    if (negative && sections.size() >= 2 && !sections[1].empty()) which = 1;
    TPicture pic = Analyse(sections[which]);
    TFloatRec r;
    auto roundWith = [&](const TPicture& p) {
        if (p.scientific) {
            int sig = std::max(1, p.intPlaceholders) + p.decPlaceholders;
            return FloatToDecimal(value, std::min(sig, 18));
        }
        return FloatToDecimal(value, 18, p.decPlaceholders);
    };
    r = roundWith(pic);
    if (r.digits.empty()) {
        // Rounds to zero: the zero section when there is one, never a sign.
        if (sections.size() >= 3 && !sections[2].empty()) {
            pic = Analyse(sections[2]);
        } else {
            pic = Analyse(sections[0]);
        }
        r = roundWith(pic);
        r.negative = false;
        return ApplyPicture(pic, r, false, decimalSep, thousandSep);
    }
    bool sign = negative && which == 0;
    return ApplyPicture(pic, r, sign, decimalSep, thousandSep);
}

} // namespace arv
