#include "graphlib/ArrayPrimitives.h"
#include "graphlib/BoolVectors.h"
#include "graphlib/NumberVectors.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

void* P(intptr_t v) {
    return reinterpret_cast<void*>(v);
}

} // namespace

TEST(Vector, CapacityGrowsBy4Then16ThenAQuarter) {
    TPointerVector v;
    EXPECT_EQ(0, v.GetCount());
    EXPECT_EQ(0, v.Capacity());
    EXPECT_EQ(nullptr, v.Data());
    EXPECT_EQ(12, v.MemoryUsed());
    std::vector<int32_t> seen;
    for (int i = 1; i <= 121; ++i) {
        v.Add(P(i));
        if (seen.empty() || seen.back() != v.Capacity()) seen.push_back(v.Capacity());
    }
    EXPECT_EQ((std::vector<int32_t>{4, 8, 12, 28, 44, 60, 76, 96, 120, 152}), seen);
    for (int i = 0; i < 121; ++i) ASSERT_EQ(P(i + 1), v.GetItem(i));
}

TEST(Vector, SetCountRoundsAndShrinksTheCapacity) {
    TPointerVector v;
    v.SetCount(5);
    EXPECT_EQ(8, v.Capacity());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(nullptr, v.GetItem(i));
    v.SetCount(2);
    EXPECT_EQ(4, v.Capacity());
    EXPECT_EQ(2, v.GetCount());
}

TEST(Vector, DeleteShrinksOnlyWhenMoreThanAQuarterIsFree) {
    TPointerVector v;
    for (int i = 0; i < 77; ++i) v.Add(P(i + 1));
    ASSERT_EQ(96, v.Capacity());
    for (int i = 0; i < 4; ++i) v.Delete(0);
    ASSERT_EQ(73, v.GetCount());
    EXPECT_EQ(96, v.Capacity());
    v.Delete(0);
    EXPECT_EQ(72, v.GetCount());
    EXPECT_EQ(96, v.Capacity()); // 24 free is not more than 24
    v.Delete(0);
    EXPECT_EQ(72, v.Capacity());
    EXPECT_EQ(P(7), v.GetItem(0));
    v.DeleteRange(0, 10);
    EXPECT_EQ(61, v.GetCount());
    EXPECT_EQ(64, v.Capacity());
    EXPECT_EQ(P(17), v.GetItem(0));
}

TEST(Vector, NewElementsHoldTheFillValueAfterShrinkAndRegrow) {
    TNumberVector<int32_t> n(10, 7);
    n.FillArithmetic(1, 1);
    n.SetCount(6);
    n.SetCount(10);
    EXPECT_EQ(6, n.GetItem(5));
    for (int i = 6; i < 10; ++i) EXPECT_EQ(7, n.GetItem(i));
    n.SetCount(13);
    for (int i = 10; i < 13; ++i) EXPECT_EQ(7, n.GetItem(i));

    TPointerVector p;
    for (int i = 0; i < 10; ++i) p.Add(P(i + 1));
    p.SetCount(5);
    p.SetCount(10);
    for (int i = 5; i < 10; ++i) EXPECT_EQ(nullptr, p.GetItem(i));

    TVector raw(3);
    raw.SetCount(4);
    std::memset(raw.Data(), 0xAB, 12);
    raw.SetCount(1);
    raw.SetCount(4);
    EXPECT_EQ(0xAB, raw.Data()[2]);
    for (int i = 3; i < 12; ++i) EXPECT_EQ(0, raw.Data()[i]);
}

TEST(Vector, SizeErrorsNameTheClassAndLeaveTheVectorAlone) {
    TPointerVector v;
    for (int i = 0; i < 6; ++i) v.Add(P(i + 1));
    EXPECT_EQ("Class TPointerVector: Wrong vector size (5)", ErrorOf([&] { v.SetCapacity(5); }));
    EXPECT_EQ(6, v.GetCount());
    EXPECT_EQ(8, v.Capacity());
    EXPECT_EQ(P(6), v.GetItem(5));
    // A negative count is refused the same way instead of corrupting the block.
    EXPECT_EQ("Class TPointerVector: Wrong vector size (-1)", ErrorOf([&] { v.SetCount(-1); }));
    EXPECT_EQ("Class TPointerVector: Wrong vector size (-3)", ErrorOf([&] { v.Grow(-9); }));
    EXPECT_EQ(6, v.GetCount());
    TVector big(1000);
    EXPECT_EQ("Class TVector: Data too large (2000000000)",
              ErrorOf([&] { big.SetCount(2000000); }));
    EXPECT_EQ(0, big.GetCount());
    EXPECT_EQ("Class TPointerVector: Index out of bounds (6)", ErrorOf([&] { v.Delete(6); }));
    EXPECT_EQ("Class TPointerVector: Index out of bounds (7)", ErrorOf([&] { v.Insert(7, P(1)); }));
    EXPECT_EQ("Class TPointerVector: Index out of bounds (5)",
              ErrorOf([&] { v.ExchangeRange(0, 5, 2); }));
}

TEST(Vector, AssignCopyRangeAndClassChecks) {
    TPointerVector a, b;
    for (int i = 0; i < 5; ++i) a.Add(P(i + 1));
    b.Assign(a);
    EXPECT_TRUE(b.EqualTo(a));
    EXPECT_EQ(8, b.Capacity());
    TVector other(sizeof(void*));
    EXPECT_EQ("Class TPointerVector: Assign error", ErrorOf([&] { b.Assign(other); }));
    TNumberVector<int32_t> ints;
    EXPECT_EQ("Class TPointerVector: Assign error", ErrorOf([&] { b.CopyRange(0, ints, 0, 0); }));
    TVMemStream s;
    EXPECT_EQ("Class TPointerVector: Method not applicable", ErrorOf([&] { a.WriteToStream(s); }));
    EXPECT_EQ("Class TPointerVector: Method not applicable", ErrorOf([&] { a.ReadFromStream(s); }));

    // CopyRange first lengthens the target; the gap holds the fill value.
    TNumberVector<int32_t> src(6, 0), dst(3, -1);
    src.FillArithmetic(10, 1);
    dst.CopyRange(5, src, 2, 4);
    ASSERT_EQ(8, dst.GetCount());
    std::vector<int32_t> got;
    for (int i = 0; i < 8; ++i) got.push_back(dst.GetItem(i));
    EXPECT_EQ((std::vector<int32_t>{-1, -1, -1, -1, -1, 12, 13, 14}), got);
    // A target end beyond the int32 range is refused, not wrapped.
    EXPECT_EQ("Class TNumberVector: Index out of bounds (2147483647)",
              ErrorOf([&] { dst.CopyRange(INT32_MAX, src, 0, 1); }));
    EXPECT_EQ("Class TNumberVector: Index out of bounds (6)",
              ErrorOf([&] { dst.CopyRange(0, src, 5, 6); }));
    EXPECT_EQ(8, dst.GetCount());
}

TEST(Vector, EqualToNeedsTheSameElementSize) {
    // Eight bytes against eight 8-byte elements: once read past the smaller
    // block and could report equal.
    TVector bytes(1), words(8);
    bytes.SetCount(8);
    words.SetCount(8);
    EXPECT_FALSE(bytes.EqualTo(words));
    EXPECT_FALSE(words.EqualTo(bytes));
    TVector same(1);
    same.SetCount(8);
    EXPECT_TRUE(bytes.EqualTo(same));
    same.Data()[7] = 1;
    EXPECT_FALSE(bytes.EqualTo(same));
}

TEST(Vector, StreamFormRoundTripsAndRefusesDamage) {
    TVector v(3);
    v.SetCount(5);
    for (int i = 0; i < 15; ++i) v.Data()[i] = static_cast<uint8_t>(i * 7);
    TVMemStream s;
    v.WriteToStream(s);
    EXPECT_EQ(8 + 15, s.GetSize());
    // A plain vector takes the stored element size.
    TVector w(1);
    s.Seek(0);
    w.ReadFromStream(s);
    EXPECT_EQ(3, w.ElemSize());
    EXPECT_TRUE(w.EqualTo(v));

    // A typed vector refuses a stream of another element size.
    TNumberVector<int32_t> ints(2, 9);
    TNumberVector<double> reals(3, 1.5);
    TVMemStream s2;
    ints.WriteToStream(s2);
    s2.Seek(0);
    EXPECT_EQ("Class TNumberVector: Wrong element size (4)",
              ErrorOf([&] { reals.ReadFromStream(s2); }));
    EXPECT_EQ(3, reals.GetCount());
    EXPECT_EQ(1.5, reals.GetItem(2));

    // Truncated, negative and oversized counts leave the vector as it was.
    for (int32_t cut = 0; cut < s.GetSize(); ++cut) {
        TVMemStream t;
        t.Write(s.Memory(), cut);
        t.Seek(0);
        EXPECT_THROW(w.ReadFromStream(t), Exception) << cut;
        EXPECT_TRUE(w.EqualTo(v));
    }
    TVMemStream neg;
    neg.WriteInt32(-4);
    neg.WriteInt32(3);
    neg.Seek(0);
    EXPECT_EQ("Class TVector: Wrong vector size (-4)", ErrorOf([&] { w.ReadFromStream(neg); }));
    TVMemStream huge;
    huge.WriteInt32(100000000);
    huge.WriteInt32(4);
    huge.Seek(0);
    EXPECT_EQ("Class TVMemStream:\r\nRead after end error",
              ErrorOf([&] { ints.ReadFromStream(huge); }));
    EXPECT_EQ(2, ints.GetCount());
}

TEST(Vector, SortWithPermutesTheCompanionIdentically) {
    std::mt19937 rng(7);
    for (bool ascending : {true, false}) {
        TNumberVector<int32_t> keys;
        TPointerVector tags;
        std::vector<std::pair<int32_t, intptr_t>> pairs;
        for (int i = 0; i < 1000; ++i) {
            int32_t k = static_cast<int32_t>(rng() % 50) - 25;
            keys.InsertItem(keys.GetCount(), k);
            tags.Add(P(i + 1));
            pairs.emplace_back(k, i + 1);
        }
        keys.SortWith(0, keys.GetCount() - 1, &tags, ascending);
        std::vector<std::pair<int32_t, intptr_t>> after;
        for (int i = 0; i < 1000; ++i)
            after.emplace_back(keys.GetItem(i), reinterpret_cast<intptr_t>(tags.GetItem(i)));
        for (int i = 1; i < 1000; ++i)
            ASSERT_TRUE(ascending ? after[i - 1].first <= after[i].first
                                  : after[i - 1].first >= after[i].first);
        std::sort(pairs.begin(), pairs.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(pairs, after);
    }
    TNumberVector<int32_t> keys(3, 0), shortCompanion(2, 0);
    EXPECT_EQ("Class TNumberVector: Wrong vector size (2)",
              ErrorOf([&] { keys.SortAllWith(&shortCompanion); }));
}

TEST(Vector, VirtualSortReverseAndPointerOperations) {
    TPointerVector v;
    for (intptr_t x : {5, 3, 9, 1, 3}) v.Add(P(x));
    v.Sort();
    std::vector<intptr_t> got;
    for (int i = 0; i < 5; ++i) got.push_back(reinterpret_cast<intptr_t>(v.GetItem(i)));
    EXPECT_EQ((std::vector<intptr_t>{1, 3, 3, 5, 9}), got);
    v.SortDesc();
    EXPECT_EQ(P(9), v.GetItem(0));
    EXPECT_EQ(P(1), v.GetItem(4));
    v.Reverse();
    EXPECT_EQ(P(1), v.GetItem(0));
    EXPECT_EQ(P(9), v.GetItem(4));
    TPointerVector empty;
    empty.Reverse();
    empty.Sort();

    EXPECT_EQ(1, v.IndexOf(P(3)));
    EXPECT_EQ(2, v.IndexOfFrom(2, P(3)));
    EXPECT_EQ(2, v.LastIndexOfFrom(99, P(3)));
    EXPECT_EQ(-1, v.IndexOfFrom(3, P(3)));
    EXPECT_EQ(2, v.CountOf(P(3)));
    v.Move(0, 4); // [3 3 5 9 1]
    EXPECT_EQ(P(1), v.GetItem(4));
    EXPECT_EQ(P(3), v.GetItem(0));
    v.Insert(1, P(42));
    EXPECT_EQ(P(42), v.GetItem(1));
    EXPECT_EQ(6, v.GetCount());
    v.AppendVector(v);
    EXPECT_EQ(12, v.GetCount());
    EXPECT_EQ(P(42), v.GetItem(7));
    auto c = v.CreateCompatible();
    EXPECT_EQ(0, c->GetCount());
    EXPECT_STREQ("TPointerVector", c->ClassName());
    v.ClearItems();
    EXPECT_EQ(12, v.GetCount());
    EXPECT_EQ(12, v.CountOf(nullptr));
    v.Clear();
    EXPECT_EQ(0, v.Capacity());
    EXPECT_EQ(nullptr, v.Data());
}

TEST(Vector, BaseVectorsSearchByValue) {
    TNumberVector<uint8_t> b(6, 2);
    b.SetItem(1, 9);
    b.SetItem(4, 9);
    EXPECT_EQ(1, b.IndexOfFrom(-5, 9));
    EXPECT_EQ(4, b.IndexOfFrom(2, 9));
    EXPECT_EQ(-1, b.IndexOfFrom(5, 9));
    EXPECT_EQ(4, b.LastIndexOfFrom(100, 9));
    EXPECT_EQ(1, b.LastIndexOfFrom(3, 9));
    EXPECT_EQ(-1, b.LastIndexOfFrom(0, 9));
    EXPECT_EQ(4, b.CountOf(2));
    b.FillValue(2, 2, 5);
    EXPECT_EQ(5, b.GetItem(2));
    EXPECT_EQ(5, b.GetItem(3));
    EXPECT_EQ(9, b.GetItem(4));

    TNumberVector<double> d(4, 1.7e308);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(1.7e308, d.GetItem(i));
    d.SetItem(2, 0.5);
    EXPECT_EQ(2, d.IndexOfFrom(0, 0.5));
    EXPECT_EQ(3, d.CountOf(1.7e308));
    TNumberVector<int32_t> w(3, -1);
    EXPECT_EQ(0, w.IndexOfFrom(0, -1));
    EXPECT_EQ(3, w.CountOf(-1));
}

TEST(BoolVector, DefaultsOperationsAndCounts) {
    TBoolVector v(3, true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(1, v.Data()[i]);
    EXPECT_EQ(3, v.CountTrue());
    v.SetCount(6);
    EXPECT_EQ(6, v.CountTrue());
    EXPECT_TRUE(v.SetItem(1, false));
    v.NotItem(2);           // 1 0 0 1 1 1
    v.InsertItem(0, false); // 0 1 0 0 1 1 1
    EXPECT_EQ(4, v.CountTrue());
    TBoolVector m(7, false);
    m.SetItem(1, true);
    m.SetItem(4, true);
    TBoolVector x;
    x.Assign(v);
    x.AndVector(m);
    EXPECT_EQ(2, x.CountTrue());
    x.Assign(v);
    x.OrVector(m);
    EXPECT_EQ(4, x.CountTrue());
    x.XorVector(m);
    EXPECT_EQ(2, x.CountTrue()); // 0 0 0 0 0 1 1
    x.NotAll();
    EXPECT_EQ(5, x.CountTrue());
    x.FillAll(false);
    x.OrItem(3, true);
    x.XorItem(3, true);
    x.AndItem(3, true);
    EXPECT_EQ(0, x.CountTrue());
    x.Sort();
    v.SortDesc();
    EXPECT_TRUE(v.GetItem(0));
    EXPECT_FALSE(v.GetItem(6));

    TBoolVector shortOne(2, true);
    EXPECT_EQ("Class TBoolVector: Wrong vector size (2)", ErrorOf([&] { v.AndVector(shortOne); }));
    TPointerVector p;
    EXPECT_EQ("Class TBoolVector: Incompatible classes", ErrorOf([&] { (void)v.EqualTo(p); }));
    EXPECT_EQ("Class TBoolVector: Assign error", ErrorOf([&] { v.Assign(p); }));

    TVMemStream s;
    v.WriteToStream(s);
    s.Seek(0);
    TBoolVector back(1, false);
    back.ReadFromStream(s);
    EXPECT_TRUE(back.EqualTo(v));
    EXPECT_EQ(1, back.DefaultValue);
}

TEST(BoolVector, PackedVectorKeepsBitsAndDefaults) {
    TPackedBoolVector v(3, true);
    v.SetCount(10);
    for (int i = 3; i < 10; ++i) EXPECT_TRUE(v.GetItem(i));
    EXPECT_EQ(2, v.TVector::GetCount()); // bytes in use
    v.Normalise();
    EXPECT_EQ(0x03, v.Data()[1]);

    // Bits beyond the count in the old last byte take the default also when
    // lengthening moves the block.
    TPackedBoolVector p(8, false);
    p.FillAll(true);
    p.SetCount(3);
    p.SetCount(100);
    EXPECT_EQ(3, p.CountTrue());
    for (int i = 3; i < 100; ++i) ASSERT_FALSE(p.GetItem(i)) << i;

    // Insert and delete shift the bits behind.
    TPackedBoolVector q(0, false);
    std::vector<bool> model;
    std::mt19937 rng(3);
    for (int step = 0; step < 400; ++step) {
        int n = static_cast<int>(model.size());
        if (n > 0 && rng() % 3 == 0) {
            int i = static_cast<int>(rng() % n);
            q.Delete(i);
            model.erase(model.begin() + i);
        } else {
            int i = static_cast<int>(rng() % (n + 1));
            bool b = rng() % 2;
            q.InsertItem(i, b);
            model.insert(model.begin() + i, b);
        }
    }
    ASSERT_EQ(static_cast<int32_t>(model.size()), q.GetCount());
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(model[i], q.GetItem(i)) << i;
    EXPECT_EQ(std::count(model.begin(), model.end(), true), q.CountTrue());

    // Plain and packed vectors compare and assign element by element.
    TBoolVector plain;
    plain.Assign(q);
    EXPECT_TRUE(plain.EqualTo(q));
    EXPECT_TRUE(q.EqualTo(plain));
    TPackedBoolVector back;
    back.Assign(plain);
    EXPECT_TRUE(back.EqualTo(q));
    back.NotAll(); // leaves junk above the count, which EqualTo ignores
    back.NotAll();
    EXPECT_TRUE(back.EqualTo(q));
    back.AndVector(plain);
    EXPECT_TRUE(back.EqualTo(q));
    back.XorVector(q);
    EXPECT_EQ(0, back.CountTrue());

    TVMemStream s;
    q.WriteToStream(s);
    s.Seek(0);
    TPackedBoolVector r;
    r.ReadFromStream(s);
    EXPECT_EQ(q.GetCount(), r.GetCount());
    EXPECT_TRUE(r.EqualTo(q));
    EXPECT_EQ("Class TPackedBoolVector: Wrong vector size (4)", ErrorOf([&] { r.SetCapacity(4); }));
}

TEST(ArrayPrimitives, BlockOperations) {
    const char a[] = "abcdefgh", b[] = "abcdefgX";
    EXPECT_TRUE(MemEqual(a, b, 7));
    EXPECT_FALSE(MemEqual(a, b, 8));
    EXPECT_TRUE(MemEqual(a, b, 0));
    EXPECT_FALSE(MemEqual(a, a, -1));
    EXPECT_EQ(3, MemFind("def", 3, a, 8));
    EXPECT_EQ(-1, MemFind("deX", 3, a, 8));
    EXPECT_EQ(-1, MemFind("gh", 2, a, 7));
    char x[] = "12345", y[] = "abcde";
    MemSwap(x, y, 3);
    EXPECT_STREQ("abc45", x);
    EXPECT_STREQ("123de", y);

    uint32_t dw[5];
    FillDword(dw, 5, 7);
    dw[3] = 8;
    EXPECT_EQ(4, CountDword(dw, 5, 7));
    EXPECT_EQ(3, IndexOfDword(dw, 5, 8));
    EXPECT_EQ(4, LastIndexOfDword(dw, 5, 7));
    uint64_t qw[3];
    FillQword(qw, 3, 0x0102030405060708ull);
    EXPECT_EQ(0x0102030405060708ull, qw[2]);
    double d[4] = {1.0, 0.0, -0.0, 1.0};
    EXPECT_EQ(2, CountDouble(d, 4, 0.0)); // floating-point equality: -0 == 0
    EXPECT_EQ(1, IndexOfDouble(d, 4, -0.0));
    EXPECT_EQ(3, LastIndexOfDouble(d, 4, 1.0));
    uint8_t by[4] = {1, 2, 1, 2};
    EXPECT_EQ(2, CountByte(by, 4, 1));
    EXPECT_EQ(1, IndexOfByte(by, 4, 2));
    EXPECT_EQ(3, LastIndexOfByte(by, 4, 2));
    EXPECT_EQ(-1, IndexOfByte(by, 0, 1));
    EXPECT_GT(TotalPhysicalMemory(), 0u);
}
