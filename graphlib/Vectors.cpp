#include "graphlib/Vectors.h"

#include "graphlib/ArrayPrimitives.h"
#include "graphlib/QuickSort.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace arv::graphlib {

namespace {

constexpr int64_t kMaxBlockBytes = 1073741823;

int64_t RoundUp4(int64_t n) {
    return (n + 3) & ~int64_t{3};
}

} // namespace

// --- TVector ----------------------------------------------------------------

TVector::TVector(int32_t elemSize) : FElemSize(elemSize) {}

TVector::~TVector() {
    std::free(FData);
}

void TVector::Reallocate(int32_t capacity) {
    if (capacity == FCapacity) return;
    int64_t bytes = int64_t{capacity} * FElemSize;
    if (bytes > kMaxBlockBytes) Error(kDataTooLarge, bytes);
    if (capacity == 0) {
        std::free(FData);
        FData = nullptr;
    } else {
        auto* p = static_cast<uint8_t*>(std::realloc(FData, static_cast<size_t>(bytes)));
        if (!p) throw std::bad_alloc();
        int64_t oldBytes = int64_t{FCapacity} * FElemSize;
        if (bytes > oldBytes) std::memset(p + oldBytes, 0, static_cast<size_t>(bytes - oldBytes));
        FData = p;
    }
    FCapacity = capacity;
}

void TVector::ChangeCapacity(int32_t n) {
    if (n < 0) Error(kWrongVectorSize, n);
    auto c = static_cast<int32_t>(std::min<int64_t>(RoundUp4(n), INT32_MAX - 3));
    Reallocate(c);
    // Runs even when the capacity stayed, so new elements always hold the fill.
    if (c > FCount) FillRange(FCount * FElemSize, c - FCount);
}

void TVector::DoSetCount(int32_t n) {
    if (n < 0) Error(kWrongVectorSize, n);
    if (n < FCount) FCount = n;
    ChangeCapacity(n);
    FCount = n;
}

void TVector::SetCount(int32_t n) {
    DoSetCount(n);
}

void TVector::FillRange(int32_t byteOffset, int32_t n) {
    if (n > 0) std::memset(FData + byteOffset, 0, static_cast<size_t>(n) * FElemSize);
}

void TVector::SetCapacity(int32_t n) {
    if (n < FCount) Error(kWrongVectorSize, n);
    ChangeCapacity(n);
}

void TVector::CheckIndex(int32_t i, int32_t limit) const {
    if (i < 0 || i > limit) Error(kIndexOutOfBounds, i);
}

int32_t TVector::CopyEnd(int32_t dstIndex, int32_t n) const {
    int64_t end = int64_t{dstIndex} + n;
    if (dstIndex < 0 || end > INT32_MAX) Error(kIndexOutOfBounds, dstIndex);
    return static_cast<int32_t>(end);
}

void TVector::WriteBlock(TVStream& stream) const {
    stream.WriteInt32(FCount);
    stream.WriteInt32(FElemSize);
    stream.Write(FData, FCount * FElemSize);
}

void TVector::WriteToStream(TVStream& stream) const {
    WriteBlock(stream);
}

TVector::TRawBlock TVector::ReadBlock(TVStream& stream) const {
    TRawBlock b;
    b.Count = stream.ReadInt32();
    b.ElemSize = stream.ReadInt32();
    if (b.Count < 0) Error(kWrongVectorSize, b.Count);
    if (b.ElemSize <= 0 || (FixedElemSize() && b.ElemSize != FElemSize))
        Error(kWrongElementSize, b.ElemSize);
    int64_t blockBytes = RoundUp4(b.Count) * b.ElemSize;
    if (blockBytes > kMaxBlockBytes) Error(kDataTooLarge, blockBytes);
    int64_t bytes = int64_t{b.Count} * b.ElemSize;
    stream.CheckRemaining(bytes);
    b.Bytes.resize(static_cast<size_t>(bytes));
    stream.ReadExact(b.Bytes.data(), static_cast<int32_t>(bytes));
    return b;
}

void TVector::ApplyBlock(const TRawBlock& block) {
    DoSetCount(0);
    if (!FixedElemSize()) FElemSize = block.ElemSize;
    DoSetCount(block.Count);
    if (!block.Bytes.empty()) std::memcpy(FData, block.Bytes.data(), block.Bytes.size());
}

void TVector::ReadFromStream(TVStream& stream) {
    ApplyBlock(ReadBlock(stream));
}

void TVector::InsertGap(int32_t i) {
    CheckIndex(i, FCount);
    if (FCapacity <= FCount) {
        int32_t inc = FCapacity < 9 ? 4 : (FCapacity < 65 ? 16 : FCapacity / 4);
        ChangeCapacity(FCapacity + inc);
    }
    std::memmove(FData + (i + 1) * FElemSize, FData + i * FElemSize,
                 static_cast<size_t>(FCount - i) * FElemSize);
    ++FCount;
}

void TVector::Assign(const TVector& source) {
    if (&source == this) return;
    if (source.FElemSize != FElemSize) Error(kAssignError);
    Reallocate(static_cast<int32_t>(RoundUp4(source.FCount)));
    FCount = source.FCount;
    if (FCount > 0) std::memcpy(FData, source.FData, static_cast<size_t>(FCount) * FElemSize);
}

void TVector::CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) {
    if (source.FElemSize != FElemSize) Error(kAssignError);
    int32_t n = last - first + 1;
    if (n <= 0) return;
    if (first < 0) Error(kIndexOutOfBounds, first);
    if (last >= source.FCount) Error(kIndexOutOfBounds, last);
    int32_t end = CopyEnd(dstIndex, n);
    if (FCount < end) SetCount(end);
    std::memmove(FData + dstIndex * FElemSize, source.FData + first * FElemSize,
                 static_cast<size_t>(n) * FElemSize);
}

void TVector::ExchangeRange(int32_t i, int32_t j, int32_t n) {
    if (n <= 0) return;
    if (i < 0 || i + n > FCount) Error(kIndexOutOfBounds, i);
    if (j < 0 || j + n > FCount) Error(kIndexOutOfBounds, j);
    MemSwap(FData + i * FElemSize, FData + j * FElemSize, n * FElemSize);
}

bool TVector::EqualTo(const TVector& other) const {
    // Vectors of different element sizes never hold the same elements.
    if (other.FElemSize != FElemSize) return false;
    return FCount == other.FCount && MemEqual(FData, other.FData, FCount * FElemSize);
}

void TVector::Delete(int32_t i) {
    CheckIndex(i, FCount - 1);
    --FCount;
    std::memmove(FData + i * FElemSize, FData + (i + 1) * FElemSize,
                 static_cast<size_t>(FCount - i) * FElemSize);
    if (FCapacity - FCount > FCapacity / 4) ChangeCapacity(FCount);
}

void TVector::DeleteRange(int32_t i, int32_t n) {
    if (n <= 0) return;
    if (i < 0 || int64_t{i} + n > FCount) Error(kIndexOutOfBounds, i);
    std::memmove(FData + i * FElemSize, FData + (i + n) * FElemSize,
                 static_cast<size_t>(FCount - i - n) * FElemSize);
    FCount -= n;
    ChangeCapacity(FCount);
}

void TVector::Clear() {
    SetCount(0);
}

int32_t TVector::MemoryUsed() const {
    return FCount * FElemSize + 12;
}

void TVector::Pack() {
    SetCapacity(GetCount());
}

void TVector::SwapContents(TVector& other) {
    std::swap(FData, other.FData);
    std::swap(FCount, other.FCount);
    std::swap(FCapacity, other.FCapacity);
    std::swap(FElemSize, other.FElemSize);
}

// --- TSortableVector --------------------------------------------------------

void TSortableVector::CheckSortRange(int32_t lo, int32_t hi) const {
    if (lo < 0) Error(kIndexOutOfBounds, lo);
    if (hi >= GetCount()) Error(kIndexOutOfBounds, hi);
}

void TSortableVector::SortWith(int32_t lo, int32_t hi, TSortableVector* companion, bool ascending) {
    if (lo >= hi) return;
    CheckSortRange(lo, hi);
    if (companion && companion->GetCount() <= hi) Error(kWrongVectorSize, companion->GetCount());
    std::vector<uint8_t> pivot(static_cast<size_t>(FElemSize));
    auto take = [&](int32_t i) { GetUntyped(i, pivot.data()); };
    auto cmp = [&](int32_t i) { return Compare(i, pivot.data()); };
    auto exch = [&](int32_t i, int32_t j) {
        Exchange(i, j);
        if (companion) companion->Exchange(i, j);
    };
    QuickSortRange(lo, hi, ascending, take, cmp, exch);
}

void TSortableVector::SortRange(int32_t lo, int32_t hi) {
    SortWith(lo, hi, nullptr, true);
}

void TSortableVector::SortRangeDesc(int32_t lo, int32_t hi) {
    SortWith(lo, hi, nullptr, false);
}

void TSortableVector::Sort() {
    SortRange(0, GetCount() - 1);
}

void TSortableVector::SortDesc() {
    SortRangeDesc(0, GetCount() - 1);
}

void TSortableVector::SortAllWith(TSortableVector* companion) {
    SortWith(0, GetCount() - 1, companion, true);
}

void TSortableVector::Reverse() {
    int32_t n = GetCount();
    for (int32_t i = 0; i < n / 2; ++i) Exchange(i, n - 1 - i);
}

void TSortableVector::Grow(int32_t n) {
    SetCount(
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{GetCount()} + n, INT32_MIN, INT32_MAX)));
}

// --- TBaseVectorOf ----------------------------------------------------------

template <class T> const char* TBaseVectorOf<T>::ClassName() const {
    if constexpr (sizeof(T) == 1)
        return "TBase8Vector";
    else if constexpr (sizeof(T) == 4)
        return "TBase32Vector";
    else
        return "TBase64Vector";
}

template <class T> void TBaseVectorOf<T>::GetUntyped(int32_t i, void* buffer) const {
    std::memcpy(buffer, FData + static_cast<size_t>(i) * sizeof(T), sizeof(T));
}

template <class T> void TBaseVectorOf<T>::FillValue(int32_t byteOffset, int32_t n, T value) {
    if (n <= 0) return;
    if (byteOffset < 0 || byteOffset + int64_t{n} * sizeof(T) > int64_t{FCapacity} * sizeof(T))
        Error(kIndexOutOfBounds, byteOffset);
    for (int32_t k = 0; k < n; ++k)
        std::memcpy(FData + byteOffset + static_cast<size_t>(k) * sizeof(T), &value, sizeof(T));
}

namespace {

// The array primitive for the element width: doubles by value, the 32-bit
// vectors as words.
template <class T> int32_t IndexOfRaw(const void* data, int32_t n, T v) {
    if constexpr (sizeof(T) == 1)
        return IndexOfByte(data, n, v);
    else if constexpr (std::is_floating_point_v<T>)
        return IndexOfDouble(data, n, v);
    else
        return IndexOfDword(data, n, static_cast<uint32_t>(v));
}

template <class T> int32_t LastIndexOfRaw(const void* data, int32_t n, T v) {
    if constexpr (sizeof(T) == 1)
        return LastIndexOfByte(data, n, v);
    else if constexpr (std::is_floating_point_v<T>)
        return LastIndexOfDouble(data, n, v);
    else
        return LastIndexOfDword(data, n, static_cast<uint32_t>(v));
}

template <class T> int32_t CountRaw(const void* data, int32_t n, T v) {
    if constexpr (sizeof(T) == 1)
        return CountByte(data, n, v);
    else if constexpr (std::is_floating_point_v<T>)
        return CountDouble(data, n, v);
    else
        return CountDword(data, n, static_cast<uint32_t>(v));
}

} // namespace

template <class T> int32_t TBaseVectorOf<T>::IndexOfFrom(int32_t start, T value) const {
    if (start < 0) start = 0;
    if (start >= FCount) return -1;
    int32_t r = IndexOfRaw(FData + static_cast<size_t>(start) * sizeof(T), FCount - start, value);
    return r < 0 ? -1 : r + start;
}

template <class T> int32_t TBaseVectorOf<T>::LastIndexOfFrom(int32_t start, T value) const {
    if (start >= FCount) start = FCount - 1;
    if (start < 0) return -1;
    return LastIndexOfRaw(FData, start + 1, value);
}

template <class T> int32_t TBaseVectorOf<T>::CountOf(T value) const {
    return CountRaw(FData, FCount, value);
}

template class TBaseVectorOf<uint8_t>;
template class TBaseVectorOf<int32_t>;
template class TBaseVectorOf<double>;

// --- TPointerVector ---------------------------------------------------------

void TPointerVector::FillRange(int32_t byteOffset, int32_t n) {
    if (n > 0) std::memset(FData + byteOffset, 0, static_cast<size_t>(n) * FElemSize);
}

void TPointerVector::WriteToStream(TVStream&) const {
    Error(kMethodNotApplicable);
}

void TPointerVector::ReadFromStream(TVStream&) {
    Error(kMethodNotApplicable);
}

void TPointerVector::Assign(const TVector& source) {
    if (!dynamic_cast<const TPointerVector*>(&source)) Error(kAssignError);
    TVector::Assign(source);
}

int TPointerVector::Compare(int32_t i, const void* value) const {
    auto a = reinterpret_cast<intptr_t>(GetItem(i));
    intptr_t b;
    std::memcpy(&b, value, sizeof b);
    return a > b ? 1 : (a == b ? 0 : -1);
}

void TPointerVector::Exchange(int32_t i, int32_t j) {
    void* p = GetItem(i);
    SetItem(i, GetItem(j));
    SetItem(j, p);
}

void TPointerVector::GetUntyped(int32_t i, void* buffer) const {
    std::memcpy(buffer, FData + static_cast<size_t>(i) * FElemSize, sizeof(void*));
}

void TPointerVector::SetUntyped(int32_t i, const void* buffer) {
    std::memcpy(FData + static_cast<size_t>(i) * FElemSize, buffer, sizeof(void*));
}

std::unique_ptr<TPointerVector> TPointerVector::CreateCompatible() const {
    return std::make_unique<TPointerVector>();
}

void TPointerVector::ClearItems() {
    if (FCount > 0) std::memset(FData, 0, static_cast<size_t>(FCount) * FElemSize);
}

void TPointerVector::AppendVector(const TPointerVector& other) {
    int32_t old = FCount;
    int32_t n = other.FCount;
    SetCount(old + n);
    if (n > 0)
        std::memcpy(FData + static_cast<size_t>(old) * FElemSize, other.FData,
                    static_cast<size_t>(n) * FElemSize);
}

int32_t TPointerVector::Add(void* p) {
    int32_t i = FCount;
    InsertGap(i);
    SetItem(i, p);
    return i;
}

void TPointerVector::Insert(int32_t i, void* p) {
    InsertGap(i);
    SetItem(i, p);
}

void TPointerVector::Move(int32_t from, int32_t to) {
    if (from == to) return;
    CheckIndex(from, FCount - 1);
    CheckIndex(to, FCount - 1);
    // Plain removal: a moved element is not released by classes that own theirs.
    void* p = GetItem(from);
    TVector::Delete(from);
    Insert(to, p);
}

int32_t TPointerVector::IndexOfFrom(int32_t start, const void* p) const {
    for (int32_t i = std::max(start, 0); i < FCount; ++i)
        if (GetItem(i) == p) return i;
    return -1;
}

int32_t TPointerVector::LastIndexOfFrom(int32_t start, const void* p) const {
    for (int32_t i = std::min(start, FCount - 1); i >= 0; --i)
        if (GetItem(i) == p) return i;
    return -1;
}

int32_t TPointerVector::CountOf(const void* p) const {
    int32_t n = 0;
    for (int32_t i = 0; i < FCount; ++i)
        if (GetItem(i) == p) ++n;
    return n;
}

} // namespace arv::graphlib
