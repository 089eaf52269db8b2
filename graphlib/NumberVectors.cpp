#include "graphlib/NumberVectors.h"

#include "graphlib/QuickSort.h"

#include <cstring>
#include <limits>
#include <typeinfo>
#include <vector>

namespace arv::graphlib {

namespace {

// Integer arithmetic goes through 64-bit unsigned values: it wraps at the
// element width without undefined behaviour.
template <class T> T WrapAdd(T a, T b) {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
    else
        return a + b;
}

template <class T> T WrapSub(T a, T b) {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
    else
        return a - b;
}

template <class T> T WrapMul(T a, T b) {
    if constexpr (std::is_integral_v<T>)
        return static_cast<T>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
    else
        return a * b;
}

// The divisor is checked by the caller. The one signed overflow, the
// smallest value divided by -1, wraps to itself.
template <class T> T WrapDiv(T a, T b) {
    if constexpr (std::is_signed_v<T> && std::is_integral_v<T>)
        if (a == std::numeric_limits<T>::min() && b == -1) return a;
    return static_cast<T>(a / b);
}

template <class T> int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

// --- TGenericNumberVector ---------------------------------------------------

template <class T>
TGenericNumberVector<T>::TGenericNumberVector(int32_t count, T defaultValue)
    : DefaultValue(defaultValue) {
    this->SetCount(count);
}

template <class T> void TGenericNumberVector<T>::FillRange(int32_t byteOffset, int32_t n) {
    this->FillValue(byteOffset, n, DefaultValue);
}

template <class T> int TGenericNumberVector<T>::Compare(int32_t i, const void* value) const {
    T v;
    std::memcpy(&v, value, sizeof v);
    return Sign(GetItem(i), v);
}

template <class T> void TGenericNumberVector<T>::Exchange(int32_t i, int32_t j) {
    T a = GetItem(i);
    SetItem(i, GetItem(j));
    SetItem(j, a);
}

template <class T> void TGenericNumberVector<T>::CheckOperand(const TGenericNumberVector& o) const {
    if (o.GetCount() < this->GetCount()) this->Error(kWrongVectorSize, o.GetCount());
}

template <class T> void TGenericNumberVector<T>::CheckDivisor(T x) const {
    if constexpr (kInteger)
        if (x == 0) this->Error(kDivisionByZero);
}

template <class T> template <class F> void TGenericNumberVector<T>::Each(F f) {
    int32_t n = this->GetCount();
    if (Direct()) {
        T* p = Items();
        for (int32_t i = 0; i < n; ++i) p[i] = f(p[i]);
    } else {
        for (int32_t i = 0; i < n; ++i) SetItem(i, f(GetItem(i)));
    }
}

template <class T>
template <class F>
void TGenericNumberVector<T>::EachWith(const TGenericNumberVector& other, F f) {
    CheckOperand(other);
    int32_t n = this->GetCount();
    if (Direct() && other.Direct()) {
        T* p = Items();
        const T* q = other.Items();
        for (int32_t i = 0; i < n; ++i) p[i] = f(p[i], q[i]);
    } else {
        for (int32_t i = 0; i < n; ++i) SetItem(i, f(GetItem(i), other.GetItem(i)));
    }
}

template <class T>
template <class F>
typename TGenericNumberVector<T>::TSum TGenericNumberVector<T>::Reduce(F term) const {
    TAcc acc{};
    int32_t n = this->GetCount();
    for (int32_t i = 0; i < n; ++i) acc += term(GetItem(i));
    return static_cast<TSum>(acc);
}

template <class T>
template <class F>
typename TGenericNumberVector<T>::TSum
TGenericNumberVector<T>::ReduceWith(const TGenericNumberVector& other, F term) const {
    CheckOperand(other);
    TAcc acc{};
    int32_t n = this->GetCount();
    for (int32_t i = 0; i < n; ++i) acc += term(GetItem(i), other.GetItem(i));
    return static_cast<TSum>(acc);
}

template <class T> void TGenericNumberVector<T>::FillAll(T x) {
    Each([x](T) { return x; });
}

template <class T> void TGenericNumberVector<T>::InsertItem(int32_t i, T x) {
    this->InsertGap(i);
    SetItem(i, x);
}

template <class T> void TGenericNumberVector<T>::AppendVector(const TGenericNumberVector& other) {
    int32_t old = this->GetCount();
    int32_t m = other.GetCount();
    this->SetCount(old + m);
    if (Direct() && other.Direct()) {
        if (m > 0) std::memcpy(Items() + old, other.Items(), static_cast<size_t>(m) * sizeof(T));
    } else {
        for (int32_t k = 0; k < m; ++k) SetItem(old + k, other.GetItem(k));
    }
}

template <class T> void TGenericNumberVector<T>::AddScalar(T x) {
    Each([x](T a) { return WrapAdd(a, x); });
}

template <class T> void TGenericNumberVector<T>::SubScalar(T x) {
    Each([x](T a) { return WrapSub(a, x); });
}

template <class T> void TGenericNumberVector<T>::AddVector(const TGenericNumberVector& other) {
    EachWith(other, [](T a, T b) { return WrapAdd(a, b); });
}

template <class T> void TGenericNumberVector<T>::AddScaled(T k, const TGenericNumberVector& other) {
    EachWith(other, [k](T a, T b) { return WrapAdd(a, WrapMul(b, k)); });
}

template <class T> void TGenericNumberVector<T>::SubVector(const TGenericNumberVector& other) {
    EachWith(other, [](T a, T b) { return WrapSub(a, b); });
}

template <class T> void TGenericNumberVector<T>::MulVector(const TGenericNumberVector& other) {
    EachWith(other, [](T a, T b) { return WrapMul(a, b); });
}

template <class T> void TGenericNumberVector<T>::DivVector(const TGenericNumberVector& other) {
    CheckOperand(other);
    // Every divisor is checked first, so a zero leaves the vector as it was.
    if constexpr (kInteger)
        for (int32_t i = 0; i < this->GetCount(); ++i) CheckDivisor(other.GetItem(i));
    EachWith(other, [](T a, T b) { return WrapDiv(a, b); });
}

template <class T> void TGenericNumberVector<T>::MulScalar(T x) {
    Each([x](T a) { return WrapMul(a, x); });
}

template <class T> void TGenericNumberVector<T>::DivScalar(T x) {
    if constexpr (kInteger) {
        CheckDivisor(x);
        Each([x](T a) { return WrapDiv(a, x); });
    } else {
        T m = 1 / x;
        Each([m](T a) { return a * m; });
    }
}

template <class T> void TGenericNumberVector<T>::FillArithmetic(T first, T step) {
    int32_t n = this->GetCount();
    if (n == 0) return;
    SetItem(0, first);
    for (int32_t i = 1; i < n; ++i) SetItem(i, WrapAdd(GetItem(i - 1), step));
}

template <class T>
template <class Better>
int32_t TGenericNumberVector<T>::BestFrom(int32_t start, T& x, Better better) const {
    int32_t n = this->GetCount();
    if (n == 0) this->Error(kWrongVectorSize, n);
    if (start < 0) start = 0;
    if (start >= n) return -1;
    int32_t best = start;
    T value = GetItem(start);
    for (int32_t i = start + 1; i < n; ++i) {
        T v = GetItem(i);
        if (better(v, value)) {
            best = i;
            value = v;
        }
    }
    x = value;
    return best;
}

template <class T> int32_t TGenericNumberVector<T>::MinFrom(int32_t start, T& x) const {
    return BestFrom(start, x, [](T a, T b) { return a < b; });
}

template <class T> int32_t TGenericNumberVector<T>::MaxFrom(int32_t start, T& x) const {
    return BestFrom(start, x, [](T a, T b) { return a > b; });
}

template <class T> T TGenericNumberVector<T>::Min() const {
    T x{};
    MinFrom(0, x);
    return x;
}

template <class T> T TGenericNumberVector<T>::Max() const {
    T x{};
    MaxFrom(0, x);
    return x;
}

template <class T> typename TGenericNumberVector<T>::TSum TGenericNumberVector<T>::Sum() const {
    return Reduce([](T a) { return static_cast<TAcc>(a); });
}

template <class T>
typename TGenericNumberVector<T>::TSum TGenericNumberVector<T>::SumOfSquares() const {
    return Reduce([](T a) { return static_cast<TAcc>(a) * static_cast<TAcc>(a); });
}

template <class T>
typename TGenericNumberVector<T>::TSum
TGenericNumberVector<T>::DotProduct(const TGenericNumberVector& other) const {
    return ReduceWith(other, [](T a, T b) { return static_cast<TAcc>(a) * static_cast<TAcc>(b); });
}

template <class T>
typename TGenericNumberVector<T>::TSum
TGenericNumberVector<T>::SquaredDistance(const TGenericNumberVector& other) const {
    return ReduceWith(other, [](T a, T b) {
        TAcc d = static_cast<TAcc>(a) - static_cast<TAcc>(b);
        return d * d;
    });
}

template <class T>
typename TGenericNumberVector<T>::TSum
TGenericNumberVector<T>::ManhattanDistance(const TGenericNumberVector& other) const {
    return ReduceWith(other, [](T a, T b) {
        if constexpr (kInteger) {
            int64_t d = int64_t{a} - int64_t{b};
            return static_cast<TAcc>(d < 0 ? -d : d);
        } else {
            return a < b ? b - a : a - b;
        }
    });
}

template <class T> T TGenericNumberVector<T>::AddAt(int32_t i, T x) {
    T v = WrapAdd(GetItem(i), x);
    SetItem(i, v);
    return v;
}

template <class T> T TGenericNumberVector<T>::SubAt(int32_t i, T x) {
    T v = WrapSub(GetItem(i), x);
    SetItem(i, v);
    return v;
}

template <class T> T TGenericNumberVector<T>::MulAt(int32_t i, T x) {
    T v = WrapMul(GetItem(i), x);
    SetItem(i, v);
    return v;
}

template <class T> T TGenericNumberVector<T>::DivAt(int32_t i, T x) {
    CheckDivisor(x);
    T v = WrapDiv(GetItem(i), x);
    SetItem(i, v);
    return v;
}

// --- TNumberVector ----------------------------------------------------------

template <class T> void TNumberVector<T>::Assign(const TVector& source) {
    if (&source == this) return;
    if (typeid(source) == typeid(*this)) {
        TVector::Assign(source);
        this->DefaultValue = static_cast<const TNumberVector&>(source).DefaultValue;
        return;
    }
    const auto* g = dynamic_cast<const TGenericNumberVector<T>*>(&source);
    if (!g) this->Error(kAssignError);
    this->DefaultValue = g->DefaultValue;
    int32_t n = g->GetCount();
    this->SetCount(n);
    for (int32_t i = 0; i < n; ++i) SetItem(i, g->GetItem(i));
}

template <class T>
void TNumberVector<T>::CopyRange(int32_t dstIndex, const TVector& source, int32_t first,
                                 int32_t last) {
    if (typeid(source) == typeid(*this)) return TVector::CopyRange(dstIndex, source, first, last);
    const auto* g = dynamic_cast<const TGenericNumberVector<T>*>(&source);
    if (!g) this->Error(kAssignError);
    int32_t n = last - first + 1;
    if (n <= 0) return;
    if (first < 0) this->Error(kIndexOutOfBounds, first);
    if (last >= g->GetCount()) this->Error(kIndexOutOfBounds, last);
    int32_t end = this->CopyEnd(dstIndex, n);
    if (this->GetCount() < end) this->SetCount(end);
    for (int32_t k = 0; k < n; ++k) SetItem(dstIndex + k, g->GetItem(first + k));
}

template <class T> void TNumberVector<T>::ExchangeRange(int32_t i, int32_t j, int32_t n) {
    TVector::ExchangeRange(i, j, n);
}

template <class T> bool TNumberVector<T>::EqualTo(const TVector& other) const {
    if (typeid(other) == typeid(*this)) return TVector::EqualTo(other);
    const auto* g = dynamic_cast<const TGenericNumberVector<T>*>(&other);
    if (!g) this->Error(kIncompatibleClasses);
    int32_t n = this->GetCount();
    if (n != g->GetCount()) return false;
    for (int32_t i = 0; i < n; ++i)
        if (!(GetItem(i) == g->GetItem(i))) return false;
    return true;
}

template <class T> int TNumberVector<T>::Compare(int32_t i, const void* value) const {
    T v;
    std::memcpy(&v, value, sizeof v);
    return Sign(this->Items()[i], v);
}

template <class T> void TNumberVector<T>::Exchange(int32_t i, int32_t j) {
    std::swap(this->Items()[i], this->Items()[j]);
}

template <class T> void TNumberVector<T>::TypedSort(int32_t lo, int32_t hi, bool ascending) {
    if (lo >= hi) return;
    this->CheckSortRange(lo, hi);
    T* p = this->Items();
    T pivot{};
    auto take = [&](int32_t i) { pivot = p[i]; };
    auto cmp = [&](int32_t i) { return Sign(p[i], pivot); };
    auto exch = [&](int32_t i, int32_t j) { std::swap(p[i], p[j]); };
    QuickSortRange(lo, hi, ascending, take, cmp, exch);
}

template <class T> void TNumberVector<T>::SortRange(int32_t lo, int32_t hi) {
    TypedSort(lo, hi, true);
}

template <class T> void TNumberVector<T>::SortRangeDesc(int32_t lo, int32_t hi) {
    TypedSort(lo, hi, false);
}

template class TGenericNumberVector<uint8_t>;
template class TGenericNumberVector<int32_t>;
template class TGenericNumberVector<double>;
template class TNumberVector<uint8_t>;
template class TNumberVector<int32_t>;
template class TNumberVector<double>;

} // namespace arv::graphlib
