// Number vectors of 8-bit unsigned, 32-bit signed and Float64 elements with
// their arithmetic and statistics.
//
// TGenericNumberVector<T> implements every operation through the virtual
// GetItem/SetItem, so it works across classes; TNumberVector<T> accesses its
// block directly and takes the direct path whenever both operands are of its
// own class. Integer arithmetic wraps at the element width; an integer
// division by zero raises "Division by zero" and leaves the vector unchanged.
#pragma once

#include "graphlib/Vectors.h"

#include <type_traits>

namespace arv::graphlib {

template <class T> class TGenericNumberVector : public TBaseVectorOf<T> {
public:
    static constexpr bool kInteger = std::is_integral_v<T>;
    // Integer sums are 64-bit (wrapping), real sums Float64.
    using TSum = std::conditional_t<kInteger, int64_t, double>;

    TGenericNumberVector(int32_t count, T defaultValue);
    const char* ClassName() const override { return "TGenericNumberVector"; }

    T DefaultValue;

    void FillRange(int32_t byteOffset, int32_t n) override;
    int Compare(int32_t i, const void* value) const override;
    void Exchange(int32_t i, int32_t j) override;

    virtual T GetItem(int32_t i) const = 0;
    virtual void SetItem(int32_t i, T x) = 0;
    virtual void FillDefault() { FillAll(DefaultValue); }
    virtual void FillAll(T x);
    virtual void InsertItem(int32_t i, T x);
    virtual void AppendVector(const TGenericNumberVector& other);
    virtual void AddScalar(T x);
    virtual void SubScalar(T x);
    virtual void AddVector(const TGenericNumberVector& other);
    virtual void AddScaled(T k, const TGenericNumberVector& other);
    virtual void SubVector(const TGenericNumberVector& other);
    virtual void MulVector(const TGenericNumberVector& other);
    virtual void DivVector(const TGenericNumberVector& other);
    virtual void MulScalar(T x);
    // Integer vectors divide; the Float64 vector multiplies by 1 / x.
    virtual void DivScalar(T x);
    virtual void FillArithmetic(T first, T step);
    virtual T Min() const;
    virtual T Max() const;
    // Index of the first smallest (largest) element at or after start with its
    // value in x; -1 when no element lies there.
    virtual int32_t MinFrom(int32_t start, T& x) const;
    virtual int32_t MaxFrom(int32_t start, T& x) const;
    virtual TSum Sum() const;
    virtual TSum SumOfSquares() const;
    virtual TSum DotProduct(const TGenericNumberVector& other) const;
    virtual TSum SquaredDistance(const TGenericNumberVector& other) const;
    virtual TSum ManhattanDistance(const TGenericNumberVector& other) const;
    virtual T AddAt(int32_t i, T x);
    virtual T SubAt(int32_t i, T x);
    virtual T MulAt(int32_t i, T x);
    virtual T DivAt(int32_t i, T x);
    // Bitwise, integer vectors only. The bodies sit behind `if constexpr` as
    // well: clang instantiates constrained members of an explicitly
    // instantiated class whatever their constraint says.
    T OrAt(int32_t i, T x) requires kInteger {
        if constexpr (kInteger)
            return SetBits(i, static_cast<T>(GetItem(i) | x));
        else
            return x;
    }
    T XorAt(int32_t i, T x) requires kInteger {
        if constexpr (kInteger)
            return SetBits(i, static_cast<T>(GetItem(i) ^ x));
        else
            return x;
    }
    T AndAt(int32_t i, T x) requires kInteger {
        if constexpr (kInteger)
            return SetBits(i, static_cast<T>(GetItem(i) & x));
        else
            return x;
    }
    T NotAt(int32_t i) requires kInteger {
        if constexpr (kInteger)
            return SetBits(i, static_cast<T>(~GetItem(i)));
        else
            return GetItem(i);
    }

protected:
    T SetBits(int32_t i, T v) {
        SetItem(i, v);
        return v;
    }
    // True for the leaf class, whose elements are read straight from the block.
    virtual bool Direct() const { return false; }
    T* Items() { return reinterpret_cast<T*>(this->FData); }
    const T* Items() const { return reinterpret_cast<const T*>(this->FData); }
    void CheckOperand(const TGenericNumberVector& other) const;
    void CheckDivisor(T x) const;
    template <class F> void Each(F f);
    template <class F> void EachWith(const TGenericNumberVector& other, F f);
    // Integer terms are summed in 64-bit unsigned arithmetic, so they wrap.
    using TAcc = std::conditional_t<kInteger, uint64_t, double>;
    template <class F> TSum Reduce(F term) const;
    template <class F> TSum ReduceWith(const TGenericNumberVector& other, F term) const;
    template <class Better> int32_t BestFrom(int32_t start, T& x, Better better) const;
};

template <class T> class TNumberVector final : public TGenericNumberVector<T> {
public:
    explicit TNumberVector(int32_t count = 0, T defaultValue = T{})
        : TGenericNumberVector<T>(count, defaultValue) {}
    const char* ClassName() const override { return "TNumberVector"; }

    T GetItem(int32_t i) const override { return this->Items()[i]; }
    void SetItem(int32_t i, T x) override { this->Items()[i] = x; }

    void Assign(const TVector& source) override;
    void CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) override;
    void ExchangeRange(int32_t i, int32_t j, int32_t n) override;
    bool EqualTo(const TVector& other) const override;
    int Compare(int32_t i, const void* value) const override;
    void Exchange(int32_t i, int32_t j) override;
    void SortRange(int32_t lo, int32_t hi) override;
    void SortRangeDesc(int32_t lo, int32_t hi) override;

protected:
    bool Direct() const override { return true; }

private:
    void TypedSort(int32_t lo, int32_t hi, bool ascending);
};

extern template class TGenericNumberVector<uint8_t>;
extern template class TGenericNumberVector<int32_t>;
extern template class TGenericNumberVector<double>;
extern template class TNumberVector<uint8_t>;
extern template class TNumberVector<int32_t>;
extern template class TNumberVector<double>;

} // namespace arv::graphlib
