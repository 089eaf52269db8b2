// Growable arrays of fixed-size elements: the storage layer of the graph
// library. One growth policy, virtual element operations, quicksort and a
// binary stream form.
//
// Element i lies at Data() + i * ElemSize(). Spare elements (Count up to
// Capacity) always hold the class's fill value once the capacity changes or
// the vector is lengthened. Typed GetItem/SetItem do not check indices; the
// block operations (insert, delete, copy, exchange, sort) do.
#pragma once

#include "graphlib/GraphErrors.h"
#include "graphlib/VStream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace arv::graphlib {

class TVectorObject : public TObject {
public:
    const char* ClassName() const override { return "TVectorObject"; }

protected:
    [[noreturn]] void Error(std::string_view text) const { RaiseVectorError(*this, text); }
    [[noreturn]] void Error(std::string_view text, long long arg) const {
        RaiseVectorError(*this, text, arg);
    }
    [[noreturn]] void Error(std::string_view text, std::string_view arg) const {
        RaiseVectorError(*this, text, arg);
    }
};

class TVector : public TVectorObject {
public:
    explicit TVector(int32_t elemSize);
    ~TVector() override;
    TVector(const TVector&) = delete;
    TVector& operator=(const TVector&) = delete;

    const char* ClassName() const override { return "TVector"; }

    virtual int32_t GetCount() const { return FCount; }
    // Capacity := n rounded up to a multiple of 4 (shrinking as well as
    // growing), then Count := n; new elements hold the fill value.
    virtual void SetCount(int32_t n);
    // Writes the fill value into n whole elements from a byte offset.
    virtual void FillRange(int32_t byteOffset, int32_t n);
    virtual void SetCapacity(int32_t n);
    // int32 Count, int32 ElemSize, then the raw elements.
    virtual void WriteToStream(TVStream& stream) const;
    // Replaces the contents only when the whole record was read.
    virtual void ReadFromStream(TVStream& stream);
    // Opens a gap at i, growing by 4, 16 or a quarter when full; the gap keeps
    // its old bytes for the caller to overwrite.
    virtual void InsertGap(int32_t i);
    virtual void Assign(const TVector& source);
    virtual void CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last);
    virtual void ExchangeRange(int32_t i, int32_t j, int32_t n);
    virtual bool EqualTo(const TVector& other) const;
    virtual void Delete(int32_t i);
    virtual void DeleteRange(int32_t i, int32_t n);
    virtual void Clear();
    virtual int32_t MemoryUsed() const;
    virtual void Pack();

    int32_t Capacity() const { return FCapacity; }
    int32_t ElemSize() const { return FElemSize; }
    uint8_t* Data() { return FData; }
    const uint8_t* Data() const { return FData; }

protected:
    // A raw stream record read but not yet applied.
    struct TRawBlock {
        int32_t Count = 0;
        int32_t ElemSize = 0;
        std::vector<uint8_t> Bytes;
    };

    // Capacity setting: round n up to a multiple of 4, reallocate when it
    // differs, then fill the spare elements.
    void ChangeCapacity(int32_t n);
    // Reallocation to an already rounded capacity, without fill.
    void Reallocate(int32_t capacity);
    void DoSetCount(int32_t n);
    void CheckIndex(int32_t i, int32_t limit) const;
    // dstIndex + n for a copy into this vector; a negative index or an end
    // beyond the int32 range raises.
    int32_t CopyEnd(int32_t dstIndex, int32_t n) const;
    // Classes with a fixed element size refuse a stream of another size.
    virtual bool FixedElemSize() const { return false; }
    TRawBlock ReadBlock(TVStream& stream) const;
    void ApplyBlock(const TRawBlock& block);
    void WriteBlock(TVStream& stream) const;
    // Exchanges the element blocks of two vectors of one element size.
    void SwapContents(TVector& other);

    uint8_t* FData = nullptr;
    int32_t FCount = 0;
    int32_t FCapacity = 0;
    int32_t FElemSize;
};

class TSortableVector : public TVector {
public:
    using TVector::TVector;
    const char* ClassName() const override { return "TSortableVector"; }

    // Sign of element i against an untyped value of ElemSize bytes.
    virtual int Compare(int32_t i, const void* value) const = 0;
    virtual void Exchange(int32_t i, int32_t j) = 0;
    virtual void GetUntyped(int32_t i, void* buffer) const = 0;
    virtual void SortRange(int32_t lo, int32_t hi);
    virtual void SortRangeDesc(int32_t lo, int32_t hi);
    virtual void Sort();
    virtual void SortDesc();

    // Sorts lo..hi and applies every exchange to the companion as well.
    void SortWith(int32_t lo, int32_t hi, TSortableVector* companion, bool ascending);
    void SortAllWith(TSortableVector* companion);
    void Reverse();
    void Grow(int32_t n);

protected:
    bool FixedElemSize() const override { return true; }
    void CheckSortRange(int32_t lo, int32_t hi) const;
};

// Vectors of 8-bit, 32-bit and Float64 elements with search by value.
template <class T> class TBaseVectorOf : public TSortableVector {
public:
    TBaseVectorOf() : TSortableVector(sizeof(T)) {}
    const char* ClassName() const override;

    void GetUntyped(int32_t i, void* buffer) const override;
    void FillValue(int32_t byteOffset, int32_t n, T value);
    // A start below 0 counts as 0; -1 when absent.
    virtual int32_t IndexOfFrom(int32_t start, T value) const;
    // A start at or beyond Count counts as Count - 1; -1 when absent.
    virtual int32_t LastIndexOfFrom(int32_t start, T value) const;
    virtual int32_t CountOf(T value) const;
};

using TBase8Vector = TBaseVectorOf<uint8_t>;
using TBase32Vector = TBaseVectorOf<int32_t>;
using TBase64Vector = TBaseVectorOf<double>;

extern template class TBaseVectorOf<uint8_t>;
extern template class TBaseVectorOf<int32_t>;
extern template class TBaseVectorOf<double>;

// References (nil by default), pointer-sized. Not owned.
class TPointerVector : public TSortableVector {
public:
    TPointerVector() : TSortableVector(sizeof(void*)) {}
    const char* ClassName() const override { return "TPointerVector"; }

    void FillRange(int32_t byteOffset, int32_t n) override;
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void Assign(const TVector& source) override;
    // Elements compared as signed pointer-sized integers.
    int Compare(int32_t i, const void* value) const override;
    void Exchange(int32_t i, int32_t j) override;
    void GetUntyped(int32_t i, void* buffer) const override;

    virtual std::unique_ptr<TPointerVector> CreateCompatible() const;
    virtual void SetUntyped(int32_t i, const void* buffer);
    // nil into every element; Count unchanged.
    virtual void ClearItems();
    virtual void AppendVector(const TPointerVector& other);

    void* GetItem(int32_t i) const { return reinterpret_cast<void* const*>(FData)[i]; }
    void SetItem(int32_t i, void* p) { reinterpret_cast<void**>(FData)[i] = p; }
    template <class T> T* ItemAs(int32_t i) const { return static_cast<T*>(GetItem(i)); }
    int32_t Add(void* p);
    void Insert(int32_t i, void* p);
    void Move(int32_t from, int32_t to);
    int32_t IndexOf(const void* p) const { return IndexOfFrom(0, p); }
    int32_t IndexOfFrom(int32_t start, const void* p) const;
    int32_t LastIndexOfFrom(int32_t start, const void* p) const;
    int32_t CountOf(const void* p) const;
};

} // namespace arv::graphlib
