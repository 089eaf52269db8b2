#include "graphlib/VStream.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

struct TCountingHook : TVStreamReadHook {
    std::vector<int32_t> reads;
    void AfterRead(TVStream&, int32_t n) override { reads.push_back(n); }
};

} // namespace

TEST(MemStream, CapacityGrowsBy16ThenAQuarterThenAnEighth) {
    TVMemStream s;
    std::vector<int32_t> caps;
    for (int i = 0; i < 100; ++i) {
        s.WriteByte(static_cast<uint8_t>(i));
        if (caps.empty() || caps.back() != s.Capacity()) caps.push_back(s.Capacity());
    }
    EXPECT_EQ((std::vector<int32_t>{16, 32, 48, 64, 80, 100}), caps);
    EXPECT_EQ(100, s.GetSize());

    // A large write takes the size it needs; beyond 1 MiB the step is an
    // eighth plus 128 KiB.
    TVMemStream big;
    std::vector<uint8_t> block(1048576, 1);
    big.Write(block.data(), static_cast<int32_t>(block.size()));
    EXPECT_EQ(1048576, big.Capacity());
    big.WriteByte(0);
    EXPECT_EQ(1048576 + 262144, big.Capacity());
    big.SetSize(big.Capacity());
    big.Seek(big.GetSize());
    big.WriteByte(0);
    EXPECT_EQ(1310720 + 1310720 / 8 + 131072, big.Capacity());
}

TEST(MemStream, TypedValuesRoundTrip) {
    TVMemStream s;
    s.WriteByte(200);
    s.WriteInt32(-123456789);
    s.WriteString("\xC2\xE5\xF1 abc"); // "Вес abc" in CP1251
    s.WriteWideString(u"\u0412\u0435\u0441 x");
    s.WriteString("");
    EXPECT_EQ(1 + 4 + 4 + 7 + 4 + 10 + 4, s.GetSize());
    EXPECT_EQ(0xEB, s.Memory()[1]); // little-endian: -123456789 = F8A432EB
    s.Seek(0);
    EXPECT_EQ(200, s.ReadByte());
    EXPECT_EQ(-123456789, s.ReadInt32());
    EXPECT_EQ("\xC2\xE5\xF1 abc", s.ReadString());
    EXPECT_EQ(u"\u0412\u0435\u0441 x", s.ReadWideString());
    EXPECT_EQ("", s.ReadString());
    EXPECT_TRUE(s.EndOfStream());
}

TEST(MemStream, ReadsPastTheEndAndBadPositionsRaise) {
    TVMemStream s;
    s.Write("abc", 3);
    s.Seek(0);
    EXPECT_EQ("Class TVMemStream:\r\nRead after end error", ErrorOf([&] { s.ReadInt32(); }));
    s.Seek(0);
    char buf[8];
    EXPECT_EQ(3, s.Read(buf, 8));
    EXPECT_EQ(0, s.Read(buf, 8));
    EXPECT_EQ("Class TVMemStream:\r\nSeek error (4)", ErrorOf([&] { s.Seek(4); }));
    EXPECT_EQ("Class TVMemStream:\r\nError in parameters", ErrorOf([&] { s.SetCapacity(-1); }));
    // A damaged length prefix is refused before anything is allocated.
    TVMemStream d;
    d.WriteInt32(2000000000);
    d.Write("xy", 2);
    d.Seek(0);
    EXPECT_EQ("Class TVMemStream:\r\nRead after end error", ErrorOf([&] { d.ReadString(); }));
    d.Seek(0);
    EXPECT_THROW(d.ReadWideString(), EVStream);
    TVMemStream n;
    n.WriteInt32(-5);
    n.Seek(0);
    EXPECT_THROW(n.ReadString(), EVStream);
    s.SetSize(1);
    EXPECT_EQ(1, s.GetSize());
    EXPECT_EQ(1, s.GetPosition());
    s.SetSize(6);
    s.Seek(1);
    EXPECT_EQ(0, s.ReadByte()); // grown bytes are zero
}

TEST(MemStream, ReadHookSeesEveryRead) {
    TVMemStream s;
    s.WriteInt32(7);
    s.Seek(0);
    TCountingHook hook;
    s.ReadHook = &hook;
    s.ReadInt32();
    char c;
    s.Read(&c, 1);
    EXPECT_EQ((std::vector<int32_t>{4, 0}), hook.reads);
}

TEST(MemStream, SearchBytesAcrossRefillsAndWithinTheLimit) {
    TVMemStream s;
    std::string data(70000, '.');
    data.replace(32775, 5, "MARK!"); // spans the first refill
    data.replace(69000, 5, "MARK!");
    s.Write(data.data(), static_cast<int32_t>(data.size()));
    s.Seek(10);
    ASSERT_TRUE(s.SearchBytes("MARK!", 5, 60000));
    EXPECT_EQ(32775, s.GetPosition());
    s.Seek(32776);
    EXPECT_FALSE(s.SearchBytes("MARK!", 5, 36228)); // match would end one byte too far
    EXPECT_EQ(32776, s.GetPosition());
    ASSERT_TRUE(s.SearchBytes("MARK!", 5, 36229));
    EXPECT_EQ(69000, s.GetPosition());
    s.Seek(69001);
    EXPECT_FALSE(s.SearchBytes("MARK!", 5, 1000000));
    EXPECT_EQ(69001, s.GetPosition());
}

TEST(TextLines, LinesAndQuotes) {
    TVMemStream s;
    WriteLine(s, "first");
    s.Write("  second \nthird\rfourth", 22);
    EXPECT_EQ(7 + 22, s.GetSize());
    s.Seek(0);
    EXPECT_EQ("first", ReadLine(s));
    EXPECT_EQ("second", ReadTrimmedLine(s));
    EXPECT_EQ("third", ReadLine(s));
    EXPECT_FALSE(EndOfText(s));
    EXPECT_EQ("fourth", ReadLine(s));
    EXPECT_TRUE(EndOfText(s));
    EXPECT_EQ("", ReadLine(s));

    EXPECT_EQ("'it''s'", QuotedStr("it's"));
    EXPECT_EQ("\"a\"\"b\"", QuoteStr("a\"b", '"'));
    EXPECT_EQ("it's", Dequote("'it''s'"));
    EXPECT_EQ("a\"b", Dequote("\"a\"\"b\""));
    EXPECT_EQ("", Dequote("''"));
    EXPECT_EQ("'", Dequote("'"));
    EXPECT_EQ("'abc\"", Dequote("'abc\""));
    EXPECT_EQ("plain", Dequote("plain"));
    EXPECT_EQ(3, CharCount("a=b=c=", '='));
    EXPECT_EQ(3, CharPos('=', "a=b=c", 2));
    EXPECT_EQ(-1, CharPos('=', "a=b=c", 4));
    EXPECT_TRUE(IsAsciiText(u"plain text"));
    EXPECT_FALSE(IsAsciiText(u"\u0412"));
}
