#include "graphlib/AttrSet.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

// CP1251 texts.
const std::string kCyrillic = "\xC2\xE5\xF1 \xE8 \xB8\xEB\xEA\xE0"; // Вес и ёлка
const std::u16string kCyrillicWide = u"\u0412\u0435\u0441 \u0438 \u0451\u043B\u043A\u0430";

void* RawSlot(TAttrSet& s, int32_t offset) {
    void* p;
    std::memcpy(&p, s.Data() + offset, sizeof p);
    return p;
}

} // namespace

TEST(AttrTypes, TableNamesAndSizes) {
    EXPECT_EQ("Int8", AttrTypeName(1));
    EXPECT_EQ("WideString", AttrTypeName(15));
    EXPECT_EQ("", AttrTypeName(16));
    EXPECT_EQ(10, AttrTypeSize(AttrType::Float80));
    EXPECT_EQ(static_cast<int32_t>(sizeof(void*)), AttrTypeSize(AttrType::String));
    EXPECT_EQ(AttrType::Float64, AttrTypeByName("float64"));
    EXPECT_EQ(AttrType::WideString, AttrTypeByName("WIDESTRING"));
    EXPECT_EQ("AttrTypeByName error: wrong attribute name 'Int64'",
              ErrorOf([] { AttrTypeByName("Int64"); }));
}

TEST(AttrTypes, FloatTextLikeTheRuntimesGeneralFormat) {
    EXPECT_EQ("2.5", FloatToText(2.5));
    EXPECT_EQ("-2.5", FloatToText(-2.5));
    EXPECT_EQ("0", FloatToText(-0.0));
    EXPECT_EQ("100", FloatToText(100));
    EXPECT_EQ("0.1", FloatToText(0.1));
    EXPECT_EQ("0.0001", FloatToText(0.0001));
    EXPECT_EQ("1E-5", FloatToText(0.00001));
    EXPECT_EQ("1.5E-7", FloatToText(1.5e-7));
    EXPECT_EQ("999999999999999", FloatToText(999999999999999.0));
    EXPECT_EQ("1E15", FloatToText(1e15));
    EXPECT_EQ("1E20", FloatToText(1e20));
    EXPECT_EQ("0.333333333333333", FloatToText(1.0 / 3));
    EXPECT_EQ("0.666666666666667", FloatToText(2.0 / 3));
    EXPECT_EQ("1.23456789012346E17", FloatToText(123456789012345678.0));
    EXPECT_EQ("0.100000001490116", FloatToText(0.1f));
    EXPECT_EQ("1.7E308", FloatToText(1.7e308));
    EXPECT_EQ("INF", FloatToText(std::numeric_limits<double>::infinity()));

    EXPECT_EQ(2.5L, TextToFloat(" 2,5 "));
    EXPECT_EQ(2.5L, TextToFloat("2.5"));
    EXPECT_EQ(-1000.0L, TextToFloat("-1e3"));
    EXPECT_EQ(3.0L, TextToFloat("+3"));
    EXPECT_EQ(0.5L, TextToFloat(".5"));
    for (const char* bad : {"abc", "", "1,000.5", "inf", "nan", "0x10", "1e", "--1", "2.5x"})
        EXPECT_EQ(std::string("Can't convert '") + bad + "' to float",
                  ErrorOf([&] { TextToFloat(bad); }))
            << bad;
}

TEST(AttrTypes, CharsIntegersAndExtendedFloats) {
    EXPECT_EQ("#9", CharToText('\t'));
    EXPECT_EQ("#0", CharToText('\0'));
    EXPECT_EQ("A", CharToText('A'));
    EXPECT_EQ("\xC6", CharToText('\xC6'));
    EXPECT_EQ('A', TextToChar("#65"));
    EXPECT_EQ('#', TextToChar("#"));
    EXPECT_EQ('\xFF', TextToChar("#255"));
    for (const char* bad : {"#300", "ab", "", "#-1", "#x"})
        EXPECT_EQ(std::string("Illegal character '") + bad + "'",
                  ErrorOf([&] { TextToChar(bad); }));

    EXPECT_EQ(-42, TextToInteger("  -42"));
    EXPECT_EQ(4294967295, TextToInteger("4294967295"));
    EXPECT_EQ("'4 2' is not a valid integer value", ErrorOf([] { TextToInteger("4 2"); }));
    EXPECT_THROW(TextToInteger(""), EConvertError);
    EXPECT_THROW(TextToInteger("+-1"), EConvertError);

    uint8_t raw[10];
    EncodeFloat80(1.0L, raw);
    const uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(0, std::memcmp(one, raw, 10));
    for (long double x :
         {0.0L, -0.0L, 1.0L, -2.5L, 1e300L, 1e-300L, 1e-4940L, 1.0L / 3,
          std::numeric_limits<long double>::max(), std::numeric_limits<long double>::infinity()}) {
        EncodeFloat80(x, raw);
        long double back = DecodeFloat80(raw);
        EXPECT_EQ(x, back);
        EXPECT_EQ(std::signbit(x), std::signbit(back));
    }
    EncodeFloat80(std::numeric_limits<long double>::quiet_NaN(), raw);
    EXPECT_TRUE(std::isnan(DecodeFloat80(raw)));
}

TEST(AttrMap, FirstFitOffsets) {
    TAttrMap m;
    EXPECT_EQ(0, m.Define("a", AttrType::Int32));
    EXPECT_EQ(4, m.Define("b", AttrType::Float64));
    EXPECT_EQ(12, m.Define("c", AttrType::Bool));
    EXPECT_TRUE(m.Undefine("b"));
    EXPECT_FALSE(m.Undefine("b"));
    EXPECT_EQ(4, m.Define("d", AttrType::Int16)); // first fit in the 8-byte gap
    EXPECT_EQ(13, m.Define("e", AttrType::Float64));
    EXPECT_TRUE(m.Undefine("a"));
    EXPECT_EQ(6, m.Define("f", AttrType::Int32)); // the 4 bytes at 0 stay unused
    EXPECT_EQ(21, m.Define("g", AttrType::Float80));
    EXPECT_EQ(4, m.Offset("D"));
    EXPECT_EQ(AttrType::Float80, m.TypeOf("G"));
    EXPECT_EQ(0, m.TypeOf("a"));
    EXPECT_EQ("Class TAttrMap: attribute 'a' not defined", ErrorOf([&] { m.Offset("a"); }));
}

TEST(AttrMap, NamesIgnoreCaseAndErrorsQuoteTheNameAsGiven) {
    TAttrMap m;
    EXPECT_EQ(0, m.Define(".Weight", AttrType::Float64));
    EXPECT_EQ(-1, m.Define(".weight", AttrType::Float64));
    EXPECT_EQ("Class TAttrMap: attribute '.WEIGHT' already defined",
              ErrorOf([&] { m.Define(".WEIGHT", AttrType::Int32); }));
    EXPECT_EQ("Class TAttrMap: attribute '.weight' already defined",
              ErrorOf([&] { m.DefineOrError(".weight", AttrType::Float64); }));
    EXPECT_EQ("Class TAttrMap: Error in parameters",
              ErrorOf([&] { m.Define("", AttrType::Int8); }));
    EXPECT_EQ("Class TAttrMap: Error in parameters", ErrorOf([&] { m.Define("x", 16); }));
    m.Define("\xC2\xE5\xF1", AttrType::Int8);                // Вес
    EXPECT_EQ(-1, m.Define("\xC2\xC5\xD1", AttrType::Int8)); // ВЕС
    m.Define("Alpha", AttrType::Char);
    // Key order through the index cache, rebuilt after every change.
    ASSERT_EQ(3, m.Count());
    EXPECT_EQ(".Weight", m.NameAt(0));
    EXPECT_EQ("Alpha", m.NameAt(1));
    EXPECT_EQ(AttrType::Int8, m.TypeAt(2));
    EXPECT_EQ(9, m.OffsetAt(1));
    EXPECT_EQ(1, m.IndexOf("ALPHA"));
    m.Define("Beta", AttrType::Bool);
    EXPECT_EQ(2, m.IndexOf("beta"));
    EXPECT_EQ(-1, m.IndexOf("gamma"));
    EXPECT_EQ("Class TAttrMap: Index out of bounds (4)", ErrorOf([&] { m.NameAt(4); }));
}

TEST(AttrMap, StreamAndTextFormsRoundTripAndRefuseDamage) {
    TAttrMap m;
    m.Define("a", AttrType::Int32);
    m.Define("name", AttrType::String);
    m.Define("b", AttrType::Float64);
    m.Undefine("a");
    TVMemStream s;
    m.WriteToStream(s);
    TAttrMap back;
    s.Seek(0);
    back.ReadFromStream(s);
    ASSERT_EQ(2, back.Count());
    EXPECT_EQ(4, back.Offset("name")); // stored offsets are kept
    EXPECT_EQ(4 + sizeof(void*), static_cast<size_t>(back.Offset("b")));

    for (int32_t cut = 0; cut < s.GetSize(); ++cut) {
        TVMemStream t;
        t.Write(s.Memory(), cut);
        t.Seek(0);
        EXPECT_THROW(back.ReadFromStream(t), Exception);
        EXPECT_EQ(2, back.Count());
    }
    auto entry = [](TVStream& t, const char* name, uint8_t type, int32_t offset) {
        t.WriteString(name);
        t.WriteByte(type);
        t.WriteInt32(offset);
    };
    TVMemStream overlap, twice, badType;
    overlap.WriteInt32(2);
    entry(overlap, "x", AttrType::Float64, 0);
    entry(overlap, "y", AttrType::String, 4);
    twice.WriteInt32(2);
    entry(twice, "x", AttrType::Int8, 0);
    entry(twice, "X", AttrType::Int8, 1);
    badType.WriteInt32(1);
    entry(badType, "x", 99, 0);
    for (TVMemStream* bad : {&overlap, &twice, &badType}) {
        bad->Seek(0);
        EXPECT_EQ("Class TAttrMap: Wrong stream format",
                  ErrorOf([&] { back.ReadFromStream(*bad); }));
        EXPECT_EQ(2, back.Count());
    }

    TVMemStream text;
    m.WriteText(text);
    EXPECT_EQ("{\r\nb: Float64\r\nname: String\r\n}\r\n",
              std::string(reinterpret_cast<const char*>(text.Memory()), text.GetSize()));
    text.Seek(0);
    TAttrMap fromText;
    fromText.ReadText(text);
    EXPECT_EQ(0, fromText.Offset("b")); // laid out anew
    EXPECT_EQ(AttrType::String, fromText.TypeOf("NAME"));
    for (const char* bad : {"b: Float64\r\n}\r\n", "{\r\nb Float64\r\n}\r\n",
                            "{\r\nb: Float65\r\n}\r\n", "{\r\nb: Float64\r\n"}) {
        TVMemStream t;
        t.Write(bad, static_cast<int32_t>(std::strlen(bad)));
        t.Seek(0);
        EXPECT_EQ("Class TAttrMap: Wrong text stream format",
                  ErrorOf([&] { fromText.ReadText(t); }));
        EXPECT_EQ(2, fromText.Count());
    }
    TAttrMap copy;
    copy.Define("zzz", AttrType::Int8);
    copy.Assign(m);
    EXPECT_EQ(2, copy.Count());
    EXPECT_EQ(0, copy.TypeOf("zzz"));
}

TEST(AttrSet, ReadingPastTheEndGivesZeroAndLengthens) {
    TAttrMap m;
    TAttrSet s(&m);
    EXPECT_EQ(0, s.GetCount());
    EXPECT_EQ(0.0, s.GetFloat64At(8));
    EXPECT_EQ(16, s.GetCount());
    m.Define("a", AttrType::Int32);
    m.Define("b", AttrType::Float64);
    TAttrSet t(&m);
    EXPECT_EQ(0, t.GetInt32("a"));
    EXPECT_EQ(0, t.GetCount()); // named reads do not lengthen
    EXPECT_EQ("", t.GetAsString("b"));
    t.SetFloat64("b", 2.5);
    EXPECT_EQ(12, t.GetCount());
    EXPECT_EQ("2.5", t.GetAsString("b"));
    EXPECT_EQ("0", t.GetAsString("a"));
    EXPECT_EQ("Class TAttrSet: Index out of bounds (-1)", ErrorOf([&] { t.SetInt8At(-1, 0); }));
}

TEST(AttrSet, TextConversionsByDefinedType) {
    TAttrMap m;
    for (int type = 1; type <= AttrType::Last; ++type)
        m.Define(std::string(AttrTypeName(type)), static_cast<uint8_t>(type));
    TAttrSet s(&m);
    s.SetAsString("Int8", "300");
    EXPECT_EQ("44", s.GetAsString("Int8")); // truncated to the width
    s.SetAsString("UInt8", "-1");
    EXPECT_EQ("255", s.GetAsString("UInt8"));
    s.SetAsString("Int16", "-1");
    EXPECT_EQ("-1", s.GetAsString("Int16"));
    s.SetAsString("UInt16", "-1");
    EXPECT_EQ("65535", s.GetAsString("UInt16"));
    s.SetAsString("UInt32", "4294967295");
    EXPECT_EQ("4294967295", s.GetAsString("UInt32"));
    s.SetAsString("Int32", "-7");
    EXPECT_EQ(-7, s.GetInt32("Int32"));
    EXPECT_EQ("'x' is not a valid integer value", ErrorOf([&] { s.SetAsString("Int32", "x"); }));

    for (const char* yes : {"yes", " Y ", "1", "TRUE", "\xC4\xC0" /* ДА */, "\xC4" /* Д */}) {
        s.SetBool("Bool", false);
        s.SetAsString("Bool", yes);
        EXPECT_TRUE(s.GetBool("Bool")) << yes;
    }
    for (const char* no : {"no", "n", "0", "False", "\xCD\xC5\xD2" /* НЕТ */, "\xCD" /* Н */}) {
        s.SetBool("Bool", true);
        s.SetAsString("Bool", no);
        EXPECT_FALSE(s.GetBool("Bool")) << no;
    }
    EXPECT_EQ("False", s.GetAsString("Bool"));
    // Upper-casing is ASCII only: Cyrillic words match only in capitals.
    EXPECT_EQ("Class TAttrSet: attribute 'Bool' has different type",
              ErrorOf([&] { s.SetAsString("Bool", "\xE4\xE0"); })); // да
    EXPECT_EQ("Class TAttrSet: attribute 'Pointer' has different type",
              ErrorOf([&] { s.SetAsString("Pointer", "1"); }));
    EXPECT_EQ("", s.GetAsString("Pointer"));

    s.SetAsString("Float64", "2,5");
    EXPECT_EQ(2.5, s.GetFloat64At(m.Offset("Float64")));
    EXPECT_EQ("2.5", s.GetAsString("Float64"));
    s.SetAsString("Float32", "0.1");
    EXPECT_EQ("0.100000001490116", s.GetAsString("Float32"));
    s.SetAsString("Float32", "1e300");
    EXPECT_EQ("INF", s.GetAsString("Float32"));
    // What the set writes it reads back, infinities and NaN included.
    for (const char* written : {"INF", "-INF", "NAN"}) {
        s.SetAsString("Float32", written);
        EXPECT_EQ(written, s.GetAsString("Float32"));
        s.SetAsString("Float64", written);
        EXPECT_EQ(written, s.GetAsString("Float64"));
    }
    s.SetAsString("Float80", "1.25E-4000");
    EXPECT_EQ(1.25e-4000L, s.GetFloat80At(m.Offset("Float80")));
    EXPECT_EQ("Class TAttrSet: Can't convert '2.5.1' to float",
              ErrorOf([&] { s.SetAsString("Float64", "2.5.1"); }));

    s.SetCharAt(m.Offset("Char"), '\t');
    EXPECT_EQ("#9", s.GetAsString("Char"));
    s.SetAsString("Char", "#65");
    EXPECT_EQ("A", s.GetAsString("Char"));
    EXPECT_EQ("Illegal character '#300'", ErrorOf([&] { s.SetAsString("Char", "#300"); }));

    s.SetAsString("String", kCyrillic);
    EXPECT_EQ(kCyrillic, s.GetAsString("String"));
    s.SetAsString("WideString", kCyrillic);
    EXPECT_EQ(kCyrillicWide, s.GetWideStringAt(m.Offset("WideString")));
    EXPECT_EQ(kCyrillic, s.GetAsString("WideString"));
}

TEST(AttrSet, TypedValuesByNameAndTheirTypeCheck) {
    TAttrMap m;
    m.Define("i", AttrType::Int32);
    m.Define("s", AttrType::String);
    m.Define("w", AttrType::WideString);
    m.Define("p", AttrType::Pointer);
    m.Define("x", AttrType::Float80);
    TAttrSet set(&m);
    int32_t i = -5;
    set.SetValue("i", AttrType::Int32, &i);
    uint32_t u = 0;
    set.GetValue("I", AttrType::UInt32, &u); // same size, no ownership: allowed
    EXPECT_EQ(0xFFFFFFFBu, u);
    std::string text = kCyrillic;
    set.SetValue("s", AttrType::String, &text);
    std::string got;
    set.GetValue("s", AttrType::String, &got);
    EXPECT_EQ(kCyrillic, got);
    long double x = 1.0L / 3;
    set.SetValue("x", AttrType::Float80, &x);
    long double xBack = 0;
    set.GetValue("x", AttrType::Float80, &xBack);
    EXPECT_EQ(x, xBack);
    int marker = 0;
    set.SetPointer("p", &marker);
    EXPECT_EQ(&marker, set.GetPointer("P"));

    // A value of another type that owns memory or has another size is refused:
    // it would overwrite a neighbour or be freed as something it is not.
    double d = 1.5;
    EXPECT_EQ("Class TAttrSet: attribute 'i' has different type",
              ErrorOf([&] { set.SetValue("i", AttrType::Float64, &d); }));
    EXPECT_EQ("Class TAttrSet: attribute 'i' has different type",
              ErrorOf([&] { set.SetValue("i", AttrType::String, &text); }));
    EXPECT_EQ("Class TAttrSet: attribute 's' has different type",
              ErrorOf([&] { set.SetValue("s", AttrType::Pointer, &d); }));
    EXPECT_EQ("Class TAttrSet: attribute 's' has different type",
              ErrorOf([&] { set.GetValue("s", AttrType::WideString, &d); }));
    EXPECT_EQ(-5, set.GetInt32("i"));
    EXPECT_EQ(kCyrillic, set.GetAsString("s"));
    set.SetValue("i", 16, &d); // codes above the table write nothing
    EXPECT_EQ(-5, set.GetInt32("i"));
    EXPECT_EQ("Class TAttrMap: attribute 'q' not defined", ErrorOf([&] { set.GetInt32("q"); }));
    EXPECT_EQ("Class TAttrSet: attribute 'q' not defined",
              ErrorOf([&] { set.CheckedTypeOf("q"); }));
    EXPECT_EQ(AttrType::Pointer, set.CheckedTypeOf("p"));

    // ASCII wide text is kept as 8-bit text, other text as UTF-16.
    int32_t w = m.Offset("w");
    set.SetWideStringAt(w, u"plain");
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(RawSlot(set, w)) & 1);
    EXPECT_EQ(u"plain", set.GetWideStringAt(w));
    set.SetWideStringAt(w, kCyrillicWide);
    EXPECT_EQ(1u, reinterpret_cast<std::uintptr_t>(RawSlot(set, w)) & 1);
    EXPECT_EQ(kCyrillicWide, set.GetWideStringAt(w));
    set.SetWideStringAt(w, u"");
    EXPECT_EQ(nullptr, RawSlot(set, w));
}

TEST(AttrSet, OwnedValuesAreFreedExactlyOnce) {
    int alive = 0;
    {
        TAttrMap m;
        m.Define("s", AttrType::String);
        m.Define("w", AttrType::WideString);
        m.Define("obj", AttrType::AutoFree);
        m.Define("n", AttrType::Int32);
        TAttrSet a(&m), b(&m);
        a.SetAsString("s", "Latin text");
        a.SetAsString("w", kCyrillic);
        TObject* obj = new TTracked(&alive);
        a.SetValue("obj", AttrType::AutoFree, &obj);
        TObject* same = obj;
        a.SetValue("obj", AttrType::AutoFree, &same); // storing it again keeps it
        EXPECT_EQ(1, alive);

        // Assign copies strings and never the owned object.
        b.SetAsString("s", kCyrillic);
        b.Assign(a);
        EXPECT_EQ("Latin text", b.GetAsString("s"));
        EXPECT_EQ(kCyrillic, b.GetAsString("w"));
        TObject* inB = nullptr;
        b.GetValue("obj", AttrType::AutoFree, &inB);
        EXPECT_EQ(nullptr, inB);

        // Replacing, clearing and cutting off release what they drop.
        TObject* other = new TTracked(&alive);
        a.SetValue("obj", AttrType::AutoFree, &other);
        EXPECT_EQ(1, alive);
        a.ClearValue("s");
        EXPECT_EQ("", a.GetAsString("s"));
        a.ClearValue("obj");
        EXPECT_EQ(0, alive);
        b.SetCount(m.Offset("w"));
        EXPECT_EQ(u"", b.GetWideStringAt(m.Offset("w")));

        // Undefining an owning attribute releases its values in every set.
        TObject* third = new TTracked(&alive);
        b.SetValue("obj", AttrType::AutoFree, &third);
        EXPECT_EQ(1, alive);
        EXPECT_TRUE(m.Undefine("obj"));
        EXPECT_EQ(0, alive);
        m.Undefine("s");
        m.Define("t", AttrType::String); // reuses the slot: must read empty
        EXPECT_EQ("", a.GetAsString("t"));
        b.SetAsString("t", "fresh");
        TObject* last = new TTracked(&alive);
        m.Define("obj2", AttrType::AutoFree);
        a.SetValue("obj2", AttrType::AutoFree, &last);
        EXPECT_EQ("Class TAttrSet: Incompatible classes", ErrorOf([&] {
                      TVector plain(1);
                      a.Assign(plain);
                  }));
    }
    EXPECT_EQ(0, alive);
    {
        // A map that goes first releases the values of its sets.
        auto* m = new TAttrMap;
        m->Define("s", AttrType::String);
        TAttrSet s(m);
        s.SetAsString("s", kCyrillic);
        delete m;
        EXPECT_EQ(nullptr, s.Map());
        EXPECT_EQ("Class TAttrSet: attribute 's' not defined",
                  ErrorOf([&] { s.GetAsString("s"); }));
    }
}

// a Int16 at 0, b Int16 at 2: a read by name takes the bytes at the
// attribute's offset in the type asked for, whatever width was defined.
TEST(AttrSet, ReadingAsAnotherPlainTypeTakesTheBytesAtTheOffset) {
    TAttrMap m;
    m.Define("a", AttrType::Int16);
    m.Define("b", AttrType::Int16);
    m.Define("s", AttrType::String);
    TAttrSet set(&m);
    set.SetAsString("a", "4369"); // 0x1111
    set.SetAsString("b", "8738"); // 0x2222
    int32_t wide = 0;
    set.GetValue("a", AttrType::Int32, &wide);
    EXPECT_EQ(0x22221111, wide);
    uint8_t low = 0;
    set.GetValue("b", AttrType::UInt8, &low);
    EXPECT_EQ(0x22, low);
    uint32_t past = 0xFFFFFFFF;
    set.GetValue("b", AttrType::UInt32, &past); // beyond the record: zero bytes
    EXPECT_EQ(0x2222u, past);
    EXPECT_EQ(4, set.GetCount());
    // Reading a reference as a string of another form stays refused.
    std::string text;
    EXPECT_EQ("Class TAttrSet: attribute 'a' has different type",
              ErrorOf([&] { set.GetValue("a", AttrType::String, &text); }));
}

TEST(AttrSet, AssignRefusesClashingTypesBeforeChangingAnything) {
    TAttrMap m1, m2;
    m1.Define("a", AttrType::Int32);
    m1.Define("b", AttrType::String);
    m2.Define("a", AttrType::Int32);
    m2.Define("b", AttrType::Float64);
    TAttrSet s1(&m1), s2(&m2);
    s1.SetAsString("a", "7");
    s1.SetAsString("b", "x");
    EXPECT_EQ("Class TAttrSet: attribute 'b' has different type", ErrorOf([&] { s2.Assign(s1); }));
    EXPECT_EQ(0, s2.GetInt32("a"));
    m2.Undefine("b");
    s2.Assign(s1);
    EXPECT_EQ(7, s2.GetInt32("a"));
}

TEST(AttrSet, TextAndStreamFormsRoundTrip) {
    TAttrMap m;
    m.Define("n", AttrType::Int16);
    m.Define("name", AttrType::String);
    m.Define("wide", AttrType::WideString);
    m.Define("flag", AttrType::Bool);
    m.Define("x", AttrType::Float64);
    m.Define("ext", AttrType::Float80);
    m.Define("ref", AttrType::Pointer);
    TAttrSet s(&m);
    s.SetAsString("n", "-12");
    s.SetAsString("name", "it's " + kCyrillic);
    s.SetWideStringAt(m.Offset("wide"), kCyrillicWide);
    s.SetBool("flag", true);
    s.SetFloat64("x", 0.1);
    s.SetFloat80At(m.Offset("ext"), 1.0L / 3);
    int marker;
    s.SetPointer("ref", &marker);

    TVMemStream text;
    s.WriteText(text);
    std::string written(reinterpret_cast<const char*>(text.Memory()), text.GetSize());
    EXPECT_EQ("ext=0.333333333333333\r\nflag=True\r\nn=-12\r\nname='it''s " + kCyrillic +
                  "'\r\nref=\r\nwide='" + kCyrillic + "'\r\nx=0.1\r\n",
              written);

    TVMemStream bin;
    s.WriteToStream(bin);
    bin.Seek(0);
    TAttrSet back(&m);
    back.ReadFromStream(bin);
    EXPECT_EQ(s.GetCount(), back.GetCount());
    EXPECT_EQ(-12, back.GetInt16At(m.Offset("n")));
    EXPECT_EQ("it's " + kCyrillic, back.GetAsString("name"));
    EXPECT_EQ(kCyrillicWide, back.GetWideStringAt(m.Offset("wide")));
    EXPECT_TRUE(back.GetBool("flag"));
    EXPECT_EQ(0.1, back.GetFloat64At(m.Offset("x")));
    EXPECT_EQ(1.0L / 3, back.GetFloat80At(m.Offset("ext")));
    EXPECT_EQ(nullptr, back.GetPointer("ref")); // a stored address means nothing here

    // Damaged streams leave the set as it was.
    for (int32_t cut = 0; cut < bin.GetSize(); ++cut) {
        TVMemStream t;
        t.Write(bin.Memory(), cut);
        t.Seek(0);
        EXPECT_THROW(back.ReadFromStream(t), Exception) << cut;
        ASSERT_EQ("it's " + kCyrillic, back.GetAsString("name"));
    }

    // The text form reads back, the Pointer's empty line included (it leaves
    // the pointer alone); other Pointer text is refused.
    text.Seek(0);
    TAttrSet withRef(&m);
    withRef.ReadText(text);
    EXPECT_EQ("it's " + kCyrillic, withRef.GetAsString("name"));
    EXPECT_EQ(nullptr, withRef.GetPointer("ref"));
    // The same conversions without the Pointer.
    m.Undefine("ref");
    TVMemStream text2;
    s.WriteText(text2);
    text2.Seek(0);
    TAttrSet fromText(&m);
    fromText.ReadText(text2);
    EXPECT_EQ("it's " + kCyrillic, fromText.GetAsString("name"));
    EXPECT_EQ(kCyrillicWide, fromText.GetWideStringAt(m.Offset("wide")));
    EXPECT_EQ(0.1, fromText.GetFloat64At(m.Offset("x")));
    EXPECT_EQ(-12, fromText.GetInt16At(m.Offset("n")));

    const char* bad = "ext=1\r\nflag=maybe\r\nn=1\r\nname=a\r\nwide=b\r\nx=2\r\n";
    TVMemStream t;
    t.Write(bad, static_cast<int32_t>(std::strlen(bad)));
    t.Seek(0);
    EXPECT_THROW(fromText.ReadText(t), EVectorError);
    EXPECT_EQ(-12, fromText.GetInt16At(m.Offset("n"))); // nothing applied
    const char* noEquals = "ext 1\r\n";
    TVMemStream t2;
    t2.Write(noEquals, static_cast<int32_t>(std::strlen(noEquals)));
    t2.Seek(0);
    EXPECT_EQ("Class TAttrSet: Wrong text stream format", ErrorOf([&] { fromText.ReadText(t2); }));
}

TEST(AutoAttrSet, CarriesItsDefinitionsAlong) {
    TAutoAttrSet a;
    a.Map()->Define("label", AttrType::String);
    a.Map()->Define("size", AttrType::UInt16);
    a.SetAsString("label", kCyrillic);
    a.SetAsString("size", "640");

    TVMemStream s;
    a.WriteToStream(s);
    s.Seek(0);
    TAutoAttrSet b;
    b.Map()->Define("old", AttrType::String);
    b.SetAsString("old", "dropped");
    b.ReadFromStream(s);
    EXPECT_EQ(2, b.Map()->Count());
    EXPECT_EQ(0, b.TypeOf("old"));
    EXPECT_EQ(kCyrillic, b.GetAsString("label"));
    EXPECT_EQ("640", b.GetAsString("size"));

    TVMemStream text;
    a.WriteText(text);
    text.Seek(0);
    TAutoAttrSet c;
    c.ReadText(text);
    EXPECT_EQ(kCyrillic, c.GetAsString("label"));
    EXPECT_EQ("640", c.GetAsString("size"));

    TAttrMap shared;
    shared.Define("k", AttrType::Float64);
    TAttrSet plain(&shared);
    plain.SetFloat64("k", 4.5);
    TAutoAttrSet d;
    d.Assign(plain);
    EXPECT_EQ(AttrType::Float64, d.TypeOf("k"));
    EXPECT_EQ("4.5", d.GetAsString("k"));
    for (int32_t cut = 0; cut < s.GetSize(); ++cut) {
        TVMemStream t;
        t.Write(s.Memory(), cut);
        t.Seek(0);
        EXPECT_THROW(d.ReadFromStream(t), Exception);
        ASSERT_EQ("4.5", d.GetAsString("k"));
    }
}

TEST(StrLst, OwnedStringsAndCaseInsensitiveLookup) {
    TStrLst l;
    l.Add("beta");
    l.Add("");
    l.Add(kCyrillic);
    l.Insert(0, "Alpha");
    EXPECT_EQ(4, l.GetCount());
    EXPECT_EQ(nullptr, l.GetItem(2)); // the empty string is nil
    EXPECT_EQ("", l.Get(2));
    EXPECT_EQ(0, l.IndexOf("ALPHA"));
    EXPECT_EQ(3, l.IndexOf("\xC2\xC5\xD1 \xC8 \xA8\xCB\xCA\xC0")); // the same in capitals
    EXPECT_EQ(-1, l.IndexOfFrom(1, "alpha"));
    l.Set(1, "alpha");
    EXPECT_EQ(1, l.LastIndexOfFrom(10, "ALPHA"));
    l.Move(0, 3);
    EXPECT_EQ("Alpha", l.Get(3));
    l.Sort();
    EXPECT_EQ("", l.Get(0));
    EXPECT_EQ(kCyrillic, l.Get(3));

    TStrLst copy;
    copy.Assign(l);
    EXPECT_TRUE(copy.EqualTo(l));
    copy.Set(0, "changed");
    EXPECT_FALSE(copy.EqualTo(l));
    copy.AppendVector(l);
    copy.CopyRange(6, l, 0, 3);
    EXPECT_EQ(10, copy.GetCount());
    copy.Delete(0);
    copy.DeleteRange(0, 2);
    copy.SetCount(3);
    copy.ClearItems();
    EXPECT_EQ(3, copy.GetCount());

    TVMemStream s;
    l.WriteToStream(s);
    s.Seek(0);
    TStrLst back;
    back.ReadFromStream(s);
    EXPECT_TRUE(back.EqualTo(l));
    EXPECT_STREQ("TStrLst", back.CreateCompatible()->ClassName());
    TPointerVector p;
    EXPECT_EQ("Class TStrLst: Assign error", ErrorOf([&] { back.Assign(p); }));
    EXPECT_EQ("Class TStrLst: Incompatible classes", ErrorOf([&] { (void)back.EqualTo(p); }));
}
