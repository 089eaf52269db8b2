#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace arv;

TEST(Format, RoundsHalfAwayFromZeroAfterEighteenDigits) {
    EXPECT_EQ("    0,13", Format("%8.2f", {0.125}));
    EXPECT_EQ(" 13", Format("%3.0f", {12.5}));
    EXPECT_EQ("-13", Format("%3.0f", {-12.5}));
    EXPECT_EQ("  0,1", Format("%5.1f", {0.05}));
    // 2.675 is 2.67499999999999982236431605997495353221893310546875 in binary:
    // its 18-digit form ends in ...982, so it rounds down.
    EXPECT_EQ("2,67", Format("%.2f", {2.675}));
    // 1.005 is slightly below 1.005: 1.00499999999999989...
    EXPECT_EQ("1,00", Format("%.2f", {1.005}));
    EXPECT_EQ("1000,00", Format("%.2f", {999.995}));
    EXPECT_EQ("0,00", Format("%.2f", {-0.001}));
    EXPECT_EQ("   0,0", Format("%6.1f", {-0.04}));
    EXPECT_EQ("1,50", Format("%f", {1.5}));
}

TEST(Format, IntegersStringsAndPadding) {
    EXPECT_EQ("  42", Format("%4d", {42}));
    EXPECT_EQ("-0042", Format("%.4d", {-42}));
    EXPECT_EQ("ab   |", Format("%-5s|", {"ab"}));
    EXPECT_EQ("  abc", Format("%5s", {std::string("abc")}));
    EXPECT_EQ("ab", Format("%.2s", {"abcdef"}));
    EXPECT_EQ("00FF", Format("%.4x", {255}));
    EXPECT_EQ("FFFFFFFF", Format("%.8X", {-1}));
    EXPECT_EQ("100%", Format("%d%%", {100}));
    EXPECT_EQ("b a", Format("%1:s %0:s", {"a", "b"}));
    EXPECT_EQ("   7", Format("%*d", {4, 7}));
    EXPECT_EQ("1.50", Format("%.2f", {1.5}, '.'));
    EXPECT_EQ("1,5", Format("%g", {1.5}));
}

TEST(Format, BadFormatsRaise) {
    EXPECT_THROW(Format("%d", {1.5}), EConvertError);
    EXPECT_THROW(Format("%d %d", {1}), EConvertError);
    EXPECT_THROW(Format("%s", {3}), EConvertError);
    EXPECT_THROW(Format("%q", {3}), EConvertError);
    EXPECT_THROW(Format("abc%", {}), EConvertError);
}

TEST(FormatFloat, PicturesOfTheProgram) {
    EXPECT_EQ("0,00", FormatFloat("##0.00", -0.001));
    EXPECT_EQ("12,5", FormatFloat("###0.#####", 12.5));
    EXPECT_EQ("12", FormatFloat("###0.#####", 12.0));
    EXPECT_EQ("0,33333", FormatFloat("###0.#####", 1.0 / 3));
    EXPECT_EQ("12,35", FormatFloat("##0.00", 12.345));
    EXPECT_EQ("-12,35", FormatFloat("##0.00", -12.345));
    EXPECT_EQ("1234,50", FormatFloat("##0.00", 1234.5));
    EXPECT_EQ("13", FormatFloat("####0", 12.5));
    EXPECT_EQ("0", FormatFloat("####0", 0.4));
    EXPECT_EQ("0,12346", FormatFloat("#0.00000", 0.123456));
    EXPECT_EQ("0,5", FormatFloat("0.0", 0.45));
    EXPECT_EQ("7", FormatFloat("0", 7.49));
    EXPECT_EQ("", FormatFloat("#", 0.0));
    EXPECT_EQ("5", FormatFloat("#", 5.0));
    EXPECT_EQ("0,000001", FormatFloat("0.000000", 1e-6));
    EXPECT_EQ("1.25", FormatFloat("0.00", 1.25, '.'));
}

TEST(FormatFloat, SectionsThousandsLiteralsExponent) {
    EXPECT_EQ("1\xA0"
              "234\xA0"
              "567",
              FormatFloat("#,##0", 1234567));
    EXPECT_EQ("(5)", FormatFloat("0;(0)", -5));
    EXPECT_EQ("zero", FormatFloat("0;(0);\"zero\"", 0.0));
    EXPECT_EQ("zero", FormatFloat("0;(0);\"zero\"", -0.2));
    EXPECT_EQ("12 m", FormatFloat("0 'm'", 12));
    EXPECT_EQ("1,23E+03", FormatFloat("0.00E+00", 1234.0));
    EXPECT_EQ("1,23E-03", FormatFloat("0.00E+00", 0.00123));
    EXPECT_EQ("2,5", FormatFloat("", 2.5));
}

TEST(FloatToStr, ShortestGeneralForm) {
    EXPECT_EQ("0", FloatToStr(0.0));
    EXPECT_EQ("0,1", FloatToStr(0.1));
    EXPECT_EQ("2,5", FloatToStr(2.5));
    EXPECT_EQ("-3", FloatToStr(-3.0));
    EXPECT_EQ("0,333333333333333", FloatToStr(1.0 / 3));
    EXPECT_EQ("0,3", FloatToStr(0.1 + 0.2));
    EXPECT_EQ("0,0001", FloatToStr(0.0001));
    EXPECT_EQ("1E-5", FloatToStr(0.00001));
    EXPECT_EQ("1,5E-10", FloatToStr(1.5e-10));
    EXPECT_EQ("123456789012345", FloatToStr(123456789012345.0));
    EXPECT_EQ("1E15", FloatToStr(1e15));
    EXPECT_EQ("1E20", FloatToStr(1e20));
    EXPECT_EQ("INF", FloatToStr(std::numeric_limits<double>::infinity()));
    EXPECT_EQ("NAN", FloatToStr(std::nan("")));
    EXPECT_EQ("2.5", FloatToStr(2.5, '.'));
}

TEST(FloatToStrF, FixedGeneralExponentNumber) {
    EXPECT_EQ("3,14", FloatToStrF(3.14159, TFloatFormat::ffFixed, 15, 2));
    EXPECT_EQ("1,235000", FloatToStrF(1.23456789, TFloatFormat::ffFixed, 4, 6));
    EXPECT_EQ("1,2346", FloatToStrF(1.23456789, TFloatFormat::ffGeneral, 5, 0));
    EXPECT_EQ("1,2346E+003", FloatToStrF(1234.56, TFloatFormat::ffExponent, 5, 3));
    EXPECT_EQ("1\xA0"
              "234,56",
              FloatToStrF(1234.56, TFloatFormat::ffNumber, 15, 2));
}

TEST(Rounding, RoundHalvesToEvenTruncTowardsZero) {
    EXPECT_EQ(2, Round(2.5));
    EXPECT_EQ(4, Round(3.5));
    EXPECT_EQ(-2, Round(-2.5));
    EXPECT_EQ(-4, Round(-3.5));
    EXPECT_EQ(3, Round(2.51));
    EXPECT_EQ(0, Round(0.5));
    EXPECT_EQ(-1, Round(-0.51));
    EXPECT_EQ(2, Trunc(2.9));
    EXPECT_EQ(-2, Trunc(-2.9));
}

TEST(Rounding, ValuesBeyondTheIntegerRangeAreRefused) {
    EXPECT_THROW(Round(1e30), EConvertError);
    EXPECT_THROW(Round(-1e19), EConvertError);
    EXPECT_THROW(Trunc(9223372036854775808.0), EConvertError);
    EXPECT_THROW(Trunc(std::nan("")), EConvertError);
    EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EConvertError);
    EXPECT_EQ(INT64_MIN, Trunc(-9223372036854775808.0));
    EXPECT_EQ(9223372036854774784, Round(9223372036854774784.0));
    try {
        Round(1e30);
    } catch (const EConvertError& e) {
        EXPECT_STREQ("'1E30' is not a valid integer value", e.what());
    }
}

TEST(StrToInt, BlanksSignsHexAndFailures) {
    EXPECT_EQ(12, StrToInt(" 12"));
    EXPECT_THROW(StrToInt("12 "), EConvertError);
    EXPECT_EQ(-7, StrToInt("-7"));
    EXPECT_EQ(255, StrToInt("$FF"));
    EXPECT_EQ(255, StrToInt("0xff"));
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("1,5"), EConvertError);
    EXPECT_THROW(StrToInt("2147483648"), EConvertError);
    EXPECT_EQ(-2147483647 - 1, StrToInt("-2147483648"));
    EXPECT_EQ(5, StrToIntDef("x", 5));
    int v = 0;
    EXPECT_FALSE(TryStrToInt("12a", v));
    try {
        StrToInt("12 ");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ("'12 ' is not a valid integer value", e.Message());
    }
}

TEST(StrToFloat, SeparatorIsAParameter) {
    EXPECT_DOUBLE_EQ(2.5, StrToFloat("2,5"));
    EXPECT_DOUBLE_EQ(2.5, StrToFloat(" 2.5 ", '.'));
    EXPECT_THROW(StrToFloat("2.5"), EConvertError);
    EXPECT_DOUBLE_EQ(-1500, StrToFloat("-1,5E3"));
    EXPECT_DOUBLE_EQ(0.5, StrToFloat(",5"));
    EXPECT_DOUBLE_EQ(5, StrToFloat("5,"));
    EXPECT_THROW(StrToFloat(""), EConvertError);
    EXPECT_THROW(StrToFloat("1,2,3"), EConvertError);
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
    EXPECT_THROW(StrToFloat("1e999"), EConvertError);
    double d = 9;
    EXPECT_FALSE(TryStrToFloat("-", d));
    EXPECT_EQ(9, d);
}

TEST(Val, ReportsThePositionOfTheFirstBadCharacter) {
    double d;
    int code;
    Val("3.25", d, code);
    EXPECT_EQ(0, code);
    EXPECT_DOUBLE_EQ(3.25, d);
    Val("  -1e2", d, code);
    EXPECT_EQ(0, code);
    EXPECT_DOUBLE_EQ(-100, d);
    Val("3,25", d, code);
    EXPECT_EQ(2, code);
    Val("", d, code);
    EXPECT_EQ(1, code);
    Val("12 ", d, code);
    EXPECT_EQ(3, code);
    int i;
    Val("$10", i, code);
    EXPECT_EQ(0, code);
    EXPECT_EQ(16, i);
    Val("1x", i, code);
    EXPECT_EQ(2, code);
}

TEST(NumberText, FormattingIgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") || std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ("0,13", Format("%.2f", {0.125}));
        EXPECT_EQ("1.5", FloatToStr(1.5, '.'));
        EXPECT_DOUBLE_EQ(1.5, StrToFloat("1.5", '.'));
    }
    std::setlocale(LC_ALL, saved.c_str());
}
