// Number texts as the original program's runtime produced them.
//
// Every formatting routine first takes the value to 18 significant decimal
// digits and then rounds half away from zero to the digits shown, so 0.125
// with two decimals gives "0,13" and 12.5 with none gives "13". A result that
// rounds to zero never carries a minus sign. Nothing here reads the process
// locale: the decimal separator is a parameter, ',' by default.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace arv {

constexpr char kDecimalComma = ',';
constexpr char kDecimalPoint = '.';
// Thousands separator of the Russian setting: the no-break space in CP1251.
constexpr char kThousandSep = '\xA0';

// One argument of Format: an integer, a real number or a string.
class TFormatArg {
public:
    enum class Kind { Int, Float, Str };
    TFormatArg(int v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(long v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(long long v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(unsigned v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(unsigned long v) : kind_(Kind::Int), i_(static_cast<int64_t>(v)) {}
    TFormatArg(unsigned long long v) : kind_(Kind::Int), i_(static_cast<int64_t>(v)) {}
    TFormatArg(short v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(unsigned short v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(unsigned char v) : kind_(Kind::Int), i_(v) {}
    TFormatArg(double v) : kind_(Kind::Float), d_(v) {}
    TFormatArg(float v) : kind_(Kind::Float), d_(v) {}
    TFormatArg(long double v) : kind_(Kind::Float), d_(static_cast<double>(v)) {}
    TFormatArg(char c) : kind_(Kind::Str), s_(1, c) {}
    TFormatArg(const char* s) : kind_(Kind::Str), s_(s ? s : "") {}
    TFormatArg(std::string_view s) : kind_(Kind::Str), s_(s) {}
    TFormatArg(const std::string& s) : kind_(Kind::Str), s_(s) {}
    TFormatArg(bool) = delete;

    Kind kind() const { return kind_; }
    int64_t AsInt() const { return i_; }
    double AsFloat() const { return kind_ == Kind::Int ? static_cast<double>(i_) : d_; }
    const std::string& AsString() const { return s_; }

private:
    Kind kind_;
    int64_t i_ = 0;
    double d_ = 0;
    std::string s_;
};

// The runtime's Format: %[index:][-][width][.prec]type with types d u e f g n
// s x and %%; '*' takes width or precision from the arguments. %f defaults to
// two decimals, %e and %g to 15 digits. A bad format or a missing argument
// raises EConvertError.
std::string Format(std::string_view fmt, std::initializer_list<TFormatArg> args,
                   char decimalSep = kDecimalComma);

// Picture formats: '0', '#', '.', ',', "E+"/"E-", quoted literals, up to
// three sections separated by ';' (positive; negative; zero).
std::string FormatFloat(std::string_view format, double value, char decimalSep = kDecimalComma,
                        char thousandSep = kThousandSep);

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        char decimalSep = kDecimalComma, char thousandSep = kThousandSep);
// Shortest general form with up to 15 significant digits.
std::string FloatToStr(double value, char decimalSep = kDecimalComma);
std::string IntToStr(int64_t value);
std::string IntToHex(int64_t value, int digits);

// Halves to even, as the runtime's Round. Both raise EConvertError for a
// value outside the 64-bit range or NaN.
int64_t Round(double value);
// Towards zero.
int64_t Trunc(double value);

// Decimal digits of a value: value = 0.digits × 10^exponent, digits without
// trailing zeros (empty for zero). Rounded to at most `precision` significant
// digits and, when decimals >= 0, to at most `decimals` digits after the point.
struct TFloatRec {
    bool negative = false;
    bool special = false; // infinity or NaN; digits then holds "INF" or "NAN"
    int exponent = 0;
    std::string digits;
};
TFloatRec FloatToDecimal(double value, int precision, int decimals = -1);

} // namespace arv
