#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace arv;

TEST(Cp1251, EveryByteRoundTripsThroughUtf16AndUtf8) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(all, Utf16ToCp1251(Cp1251ToUtf16(all)));
    EXPECT_EQ(all, Utf8ToCp1251(Cp1251ToUtf8(all)));
    // The 128 high characters are 128 different code points.
    std::u16string u = Cp1251ToUtf16(all.substr(128));
    std::sort(u.begin(), u.end());
    EXPECT_EQ(u.end(), std::adjacent_find(u.begin(), u.end()));
}

TEST(Cp1251, RussianLiteralsAndKnownBytes) {
    EXPECT_EQ("\xCD\xEE\xEC\xE5\xF0", Ru("Номер"));
    EXPECT_EQ("\xA8\xB8", Ru("Ёё"));
    EXPECT_EQ("\xB9", Ru("№"));
    EXPECT_EQ("?", Ru("漢"));
    EXPECT_EQ("a?b", Utf8ToCp1251("a\xD0"
                                  "b")); // broken sequence
    EXPECT_EQ("\xD0\xE0\xF1\xF7\xE5\xF2", Ru("Расчет"));
}

TEST(Cp1251, LetterCaseOfCyrillicAndLatin) {
    EXPECT_EQ(Ru("ВЕС ЁЖ ABC"), AnsiUpperCase(Ru("Вес ёж abc")));
    EXPECT_EQ(Ru("вес ёж abc"), AnsiLowerCase(Ru("ВЕС ЁЖ ABC")));
    EXPECT_EQ(Ru("Вес ABC"), UpperCase(Ru("Вес abc")));
    EXPECT_TRUE(AnsiSameText(Ru("Вес"), Ru("ВЕС")));
    EXPECT_TRUE(AnsiSameText(".Weight", ".WEIGHT"));
    EXPECT_FALSE(AnsiSameText(Ru("Вес"), Ru("Вас")));
    EXPECT_EQ(0, AnsiCompareText(Ru("ёлка"), Ru("ЁЛКА")));
    // Ё sorts after Е and before Ж.
    EXPECT_LT(AnsiCompareText(Ru("Е"), Ru("Ё")), 0);
    EXPECT_LT(AnsiCompareText(Ru("Ё"), Ru("Ж")), 0);
    EXPECT_LT(AnsiCompareText("abc", "abd"), 0);
    EXPECT_LT(AnsiCompareText("ab", "abc"), 0);
    EXPECT_LT(AnsiCompareText("Z", Ru("А")), 0);
}

TEST(StringHelpers, TrimPosCopy) {
    EXPECT_EQ("a b", Trim("  a b \t\r\n"));
    EXPECT_EQ("a  ", TrimLeft("  a  "));
    EXPECT_EQ("  a", TrimRight("  a  "));
    EXPECT_EQ("", Trim("   "));
    EXPECT_EQ(3, Pos("c", "abcd"));
    EXPECT_EQ(0, Pos("x", "abcd"));
    EXPECT_EQ("bc", Copy("abcd", 2, 2));
    EXPECT_EQ("cd", Copy("abcd", 3, 100));
    EXPECT_EQ("", Copy("abcd", 9, 1));
    EXPECT_EQ("ab", Copy("abcd", 0, 2));
    EXPECT_EQ("x.y.z", StringReplaceAll("x,y,z", ",", "."));
}
