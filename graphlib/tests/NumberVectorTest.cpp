#include "graphlib/BoolVectors.h"
#include "graphlib/NumberVectors.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

template <class T> std::vector<T> Items(const TGenericNumberVector<T>& v) {
    std::vector<T> r;
    for (int32_t i = 0; i < v.GetCount(); ++i) r.push_back(v.GetItem(i));
    return r;
}

template <class T> void Put(TNumberVector<T>& v, std::initializer_list<T> xs) {
    for (T x : xs) v.InsertItem(v.GetCount(), x);
}

// A number vector of another class: every operation on it takes the generic
// path through GetItem and SetItem.
class TOtherIntVector : public TGenericNumberVector<int32_t> {
public:
    explicit TOtherIntVector(int32_t count) : TGenericNumberVector<int32_t>(count, 0) {}
    int32_t GetItem(int32_t i) const override {
        int32_t v;
        std::memcpy(&v, Data() + 4 * i, 4);
        return v;
    }
    void SetItem(int32_t i, int32_t x) override { std::memcpy(Data() + 4 * i, &x, 4); }
};

} // namespace

TEST(NumberVector, FillSumsAndExtremes) {
    TNumberVector<int32_t> v(4, 7);
    EXPECT_EQ(28, v.Sum());
    v.FillArithmetic(1, 2);
    EXPECT_EQ((std::vector<int32_t>{1, 3, 5, 7}), Items(v));
    EXPECT_EQ(7, v.Max());
    EXPECT_EQ(1, v.Min());
    EXPECT_EQ(1 + 9 + 25 + 49, v.SumOfSquares());
    v.FillDefault();
    EXPECT_EQ(4, v.CountOf(7));

    TNumberVector<int32_t> m;
    Put<int32_t>(m, {5, 1, 4, 4});
    int32_t x = 0;
    EXPECT_EQ(2, m.MinFrom(2, x));
    EXPECT_EQ(4, x);
    EXPECT_EQ(0, m.MaxFrom(-3, x));
    EXPECT_EQ(5, x);
    EXPECT_EQ(-1, m.MinFrom(4, x));

    TNumberVector<double> empty;
    EXPECT_EQ("Class TNumberVector: Wrong vector size (0)", ErrorOf([&] { empty.Min(); }));
    double y = 0;
    EXPECT_EQ("Class TNumberVector: Wrong vector size (0)", ErrorOf([&] { empty.MaxFrom(0, y); }));
}

TEST(NumberVector, ElementWiseArithmeticByHand) {
    TNumberVector<int32_t> a;
    Put<int32_t>(a, {1, 2, 3});
    TNumberVector<int32_t> b;
    Put<int32_t>(b, {10, 20, 30, 40});
    a.AddVector(b);    // 11 22 33
    a.AddScaled(2, b); // 31 62 93
    a.SubVector(b);    // 21 42 63
    EXPECT_EQ((std::vector<int32_t>{21, 42, 63}), Items(a));
    a.MulVector(b); // 210 840 1890
    a.DivVector(b);
    EXPECT_EQ((std::vector<int32_t>{21, 42, 63}), Items(a));
    a.AddScalar(-1);
    a.SubScalar(1);
    a.MulScalar(3);
    a.DivScalar(2); // (19*3)/2 = 28, 40*3/2 = 60, 61*3/2 = 91
    EXPECT_EQ((std::vector<int32_t>{28, 60, 91}), Items(a));
    EXPECT_EQ(28 * 10 + 60 * 20 + 91 * 30, a.DotProduct(b));
    EXPECT_EQ(18 * 18 + 40 * 40 + 61 * 61, a.SquaredDistance(b));
    EXPECT_EQ(18 + 40 + 61, a.ManhattanDistance(b));
    EXPECT_EQ(30, a.AddAt(0, 2));
    EXPECT_EQ(25, a.SubAt(0, 5));
    EXPECT_EQ(-50, a.MulAt(0, -2));
    EXPECT_EQ(-16, a.DivAt(0, 3));           // truncates towards zero
    EXPECT_EQ(0x3C | 0x03, a.OrAt(1, 0x03)); // 60 = 0x3C
    EXPECT_EQ(0x3F ^ 0x0F, a.XorAt(1, 0x0F));
    EXPECT_EQ(0x30 & 0x10, a.AndAt(1, 0x10));
    EXPECT_EQ(~0x10, a.NotAt(1));

    // The operand must cover this vector.
    EXPECT_EQ("Class TNumberVector: Wrong vector size (3)", ErrorOf([&] { b.AddVector(a); }));

    TNumberVector<double> r;
    Put<double>(r, {1.0, 2.5, -3.0});
    auto s = r.DotProduct(r);
    EXPECT_EQ(1.0 + 6.25 + 9.0, s);
    TNumberVector<double> q;
    q.Assign(r);
    r.DivScalar(4);
    q.MulScalar(0.25);
    EXPECT_TRUE(r.EqualTo(q));
    EXPECT_EQ(0.25, r.GetItem(0));
}

TEST(NumberVector, IntegerArithmeticWrapsAndDivisionByZeroRaises) {
    TNumberVector<int32_t> a;
    Put<int32_t>(a, {INT_MAX, INT_MIN, 3});
    a.AddScalar(1);
    EXPECT_EQ((std::vector<int32_t>{INT_MIN, INT_MIN + 1, 4}), Items(a));
    a.MulScalar(2);
    EXPECT_EQ((std::vector<int32_t>{0, 2, 8}), Items(a));
    TNumberVector<int32_t> m;
    Put<int32_t>(m, {INT_MIN});
    m.DivScalar(-1);
    EXPECT_EQ(INT_MIN, m.GetItem(0));
    m.SubScalar(1);
    EXPECT_EQ(INT_MAX, m.GetItem(0));
    TNumberVector<int32_t> big;
    Put<int32_t>(big, {INT_MAX, INT_MIN});
    EXPECT_EQ(int64_t{INT_MAX} * INT_MAX + int64_t{INT_MIN} * INT_MIN, big.SumOfSquares());
    TNumberVector<int32_t> far;
    Put<int32_t>(far, {INT_MIN, INT_MAX});
    TNumberVector<int32_t> near;
    Put<int32_t>(near, {INT_MAX, INT_MIN});
    EXPECT_EQ(int64_t{0xFFFFFFFF} * 2, far.ManhattanDistance(near));

    TNumberVector<uint8_t> u;
    Put<uint8_t>(u, {255, 0, 16});
    u.AddScalar(1);
    EXPECT_EQ((std::vector<uint8_t>{0, 1, 17}), Items(u));
    u.SubScalar(2);
    EXPECT_EQ((std::vector<uint8_t>{254, 255, 15}), Items(u));
    u.MulScalar(17);
    EXPECT_EQ((std::vector<uint8_t>{222, 239, 255}), Items(u));
    EXPECT_EQ(222 + 239 + 255, u.Sum());

    // A zero divisor raises and leaves the vector unchanged.
    TNumberVector<int32_t> d;
    Put<int32_t>(d, {6, 8, 10});
    TNumberVector<int32_t> z;
    Put<int32_t>(z, {2, 0, 5});
    EXPECT_EQ("Class TNumberVector: Division by zero", ErrorOf([&] { d.DivScalar(0); }));
    EXPECT_EQ("Class TNumberVector: Division by zero", ErrorOf([&] { d.DivVector(z); }));
    EXPECT_EQ("Class TNumberVector: Division by zero", ErrorOf([&] { d.DivAt(2, 0); }));
    EXPECT_THROW(u.DivScalar(0), EVectorError);
    EXPECT_EQ((std::vector<int32_t>{6, 8, 10}), Items(d));
    // Real division by zero follows IEEE arithmetic.
    TNumberVector<double> f;
    Put<double>(f, {1.0});
    f.DivScalar(0.0);
    EXPECT_TRUE(std::isinf(f.GetItem(0)));
}

TEST(NumberVector, TypedSortMatchesTheStandardSort) {
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        TNumberVector<double> v;
        std::vector<double> ref;
        int n = static_cast<int>(rng() % 300);
        for (int i = 0; i < n; ++i) {
            double x = static_cast<double>(rng() % 40) / 4.0 - 5;
            v.InsertItem(i, x);
            ref.push_back(x);
        }
        v.Sort();
        std::sort(ref.begin(), ref.end());
        ASSERT_EQ(ref, Items(v));
        v.SortDesc();
        std::reverse(ref.begin(), ref.end());
        ASSERT_EQ(ref, Items(v));
    }
    TNumberVector<uint8_t> part;
    Put<uint8_t>(part, {9, 8, 7, 6, 5});
    part.SortRange(1, 3);
    EXPECT_EQ((std::vector<uint8_t>{9, 6, 7, 8, 5}), Items(part));
    EXPECT_EQ("Class TNumberVector: Index out of bounds (5)",
              ErrorOf([&] { part.SortRange(0, 5); }));
}

TEST(NumberVector, SameClassUsesBlocksOtherClassesGoElementWise) {
    TOtherIntVector other(3);
    other.FillArithmetic(5, 5); // 5 10 15
    TNumberVector<int32_t> a;
    Put<int32_t>(a, {1, 1, 1});
    a.AddVector(other);
    EXPECT_EQ((std::vector<int32_t>{6, 11, 16}), Items(a));
    other.AddVector(a);
    EXPECT_EQ((std::vector<int32_t>{11, 21, 31}), Items(other));
    TNumberVector<int32_t> b;
    b.Assign(other);
    EXPECT_TRUE(b.EqualTo(other));
    b.SetItem(2, 0);
    EXPECT_FALSE(b.EqualTo(other));
    b.CopyRange(4, other, 1, 2);
    EXPECT_EQ((std::vector<int32_t>{11, 21, 0, 0, 21, 31}), Items(b));
    b.AppendVector(b);
    EXPECT_EQ(12, b.GetCount());
    EXPECT_EQ(31, b.GetItem(11));
    other.Sort();
    other.SortDesc();
    EXPECT_EQ(31, other.GetItem(0));
    TNumberVector<int32_t> ones(4, 1);
    EXPECT_EQ(63, other.DotProduct(ones));

    TBoolVector flags;
    TNumberVector<double> reals;
    EXPECT_EQ("Class TNumberVector: Incompatible classes",
              ErrorOf([&] { (void)b.EqualTo(flags); }));
    EXPECT_EQ("Class TNumberVector: Assign error", ErrorOf([&] { b.Assign(reals); }));
    EXPECT_EQ("Class TNumberVector: Assign error", ErrorOf([&] { b.CopyRange(0, reals, 0, 0); }));
}
