#include "graphlib/BoolVectors.h"

#include <array>
#include <cstring>
#include <typeinfo>

namespace arv::graphlib {

namespace {

const TPackedBoolVector* AsPacked(const TVector& v) {
    return dynamic_cast<const TPackedBoolVector*>(&v);
}

bool Combine(bool a, bool b, int op) {
    return op == 0 ? (a && b) : (op == 1 ? (a || b) : (a != b));
}

constexpr std::array<uint8_t, 256> kBitCounts = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int n = 0;
        for (int b = i; b; b >>= 1) n += b & 1;
        t[i] = static_cast<uint8_t>(n);
    }
    return t;
}();

} // namespace

// --- TBoolVector ------------------------------------------------------------

TBoolVector::TBoolVector(int32_t count, bool defaultValue)
    : TSortableVector(1), DefaultValue(defaultValue ? 1 : 0) {
    SetCount(count);
}

void TBoolVector::FillRange(int32_t byteOffset, int32_t n) {
    if (n > 0) std::memset(FData + byteOffset, DefaultValue, static_cast<size_t>(n));
}

void TBoolVector::WriteToStream(TVStream& stream) const {
    WriteBlock(stream);
    stream.WriteByte(DefaultValue);
}

void TBoolVector::ReadFromStream(TVStream& stream) {
    TRawBlock block = ReadBlock(stream);
    uint8_t def = stream.ReadByte();
    ApplyBlock(block);
    for (int32_t i = 0; i < FCount; ++i) FData[i] = FData[i] ? 1 : 0;
    DefaultValue = def ? 1 : 0;
}

void TBoolVector::Assign(const TVector& source) {
    const auto* b = dynamic_cast<const TBoolVector*>(&source);
    if (!b) Error(kAssignError);
    if (b == this) return;
    DefaultValue = b->DefaultValue;
    if (AsPacked(source)) {
        int32_t n = b->GetCount();
        SetCount(n);
        for (int32_t i = 0; i < n; ++i) FData[i] = b->GetItem(i) ? 1 : 0;
    } else {
        TVector::Assign(source);
    }
}

void TBoolVector::CopyItems(int32_t dstIndex, const TBoolVector& source, int32_t first, int32_t n) {
    if (n <= 0) return;
    if (first < 0) Error(kIndexOutOfBounds, first);
    if (int64_t{first} + n > source.GetCount()) Error(kIndexOutOfBounds, first);
    int32_t end = CopyEnd(dstIndex, n);
    // Through a copy: source and destination may be one vector.
    std::vector<bool> items(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) items[k] = source.GetItem(first + k);
    if (GetCount() < end) SetCount(end);
    for (int32_t k = 0; k < n; ++k) SetItem(dstIndex + k, items[k]);
}

void TBoolVector::CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) {
    const auto* b = dynamic_cast<const TBoolVector*>(&source);
    if (!b) Error(kAssignError);
    if (AsPacked(source))
        CopyItems(dstIndex, *b, first, last - first + 1);
    else
        TVector::CopyRange(dstIndex, source, first, last);
}

bool TBoolVector::ItemsEqual(const TBoolVector& other) const {
    int32_t n = GetCount();
    if (n != other.GetCount()) return false;
    for (int32_t i = 0; i < n; ++i)
        if (GetItem(i) != other.GetItem(i)) return false;
    return true;
}

bool TBoolVector::EqualTo(const TVector& other) const {
    const auto* b = dynamic_cast<const TBoolVector*>(&other);
    if (!b) Error(kIncompatibleClasses);
    if (typeid(*b) == typeid(*this)) return TVector::EqualTo(other);
    return ItemsEqual(*b);
}

int TBoolVector::Compare(int32_t i, const void* value) const {
    return (GetItem(i) ? 1 : 0) - *static_cast<const uint8_t*>(value);
}

void TBoolVector::Exchange(int32_t i, int32_t j) {
    bool a = GetItem(i);
    SetItem(i, GetItem(j));
    SetItem(j, a);
}

void TBoolVector::GetUntyped(int32_t i, void* buffer) const {
    *static_cast<uint8_t*>(buffer) = GetItem(i) ? 1 : 0;
}

bool TBoolVector::SetItem(int32_t i, bool b) {
    bool old = FData[i] != 0;
    FData[i] = b ? 1 : 0;
    return old;
}

void TBoolVector::InsertItem(int32_t i, bool b) {
    InsertGap(i);
    SetItem(i, b);
}

void TBoolVector::FillAll(bool b) {
    if (FCount > 0) std::memset(FData, b ? 1 : 0, static_cast<size_t>(FCount));
}

void TBoolVector::CheckOperand(const TBoolVector& other) const {
    if (other.GetCount() < GetCount()) Error(kWrongVectorSize, other.GetCount());
}

void TBoolVector::CombineItems(const TBoolVector& other, TBoolOp op) {
    int32_t n = GetCount();
    for (int32_t i = 0; i < n; ++i)
        SetItem(i, Combine(GetItem(i), other.GetItem(i), static_cast<int>(op)));
}

void TBoolVector::AndVector(const TBoolVector& other) {
    CheckOperand(other);
    if (typeid(other) != typeid(*this)) return CombineItems(other, TBoolOp::And);
    for (int32_t i = 0; i < FCount; ++i) FData[i] &= other.FData[i];
}

void TBoolVector::OrVector(const TBoolVector& other) {
    CheckOperand(other);
    if (typeid(other) != typeid(*this)) return CombineItems(other, TBoolOp::Or);
    for (int32_t i = 0; i < FCount; ++i) FData[i] |= other.FData[i];
}

void TBoolVector::XorVector(const TBoolVector& other) {
    CheckOperand(other);
    if (typeid(other) != typeid(*this)) return CombineItems(other, TBoolOp::Xor);
    for (int32_t i = 0; i < FCount; ++i) FData[i] ^= other.FData[i];
}

void TBoolVector::NotAll() {
    for (int32_t i = 0; i < FCount; ++i) FData[i] = FData[i] ? 0 : 1;
}

int32_t TBoolVector::CountTrue() const {
    int32_t n = 0;
    for (int32_t i = 0; i < FCount; ++i) n += FData[i] == 1;
    return n;
}

// --- TPackedBoolVector ------------------------------------------------------

TPackedBoolVector::TPackedBoolVector(int32_t count, bool defaultValue)
    : TBoolVector(0, defaultValue) {
    SetCount(count);
}

uint8_t TPackedBoolVector::LastByteMask() const {
    int r = FBitCount & 7;
    return r == 0 ? 0xFF : static_cast<uint8_t>((1 << r) - 1);
}

void TPackedBoolVector::SetCount(int32_t n) {
    if (n < 0) Error(kWrongVectorSize, n);
    int32_t old = FBitCount;
    TVector::SetCount(static_cast<int32_t>((int64_t{n} + 7) / 8));
    FBitCount = n;
    // Bits of the old last byte above the old count may hold anything:
    // whether the block stayed or moved, they take the default.
    int32_t end = std::min(n, (old + 7) & ~7);
    for (int32_t k = old; k < end; ++k) SetItem(k, DefaultValue != 0);
}

void TPackedBoolVector::FillRange(int32_t byteOffset, int32_t n) {
    if (n > 0) std::memset(FData + byteOffset, FillByte(), static_cast<size_t>(n));
}

void TPackedBoolVector::SetCapacity(int32_t n) {
    if (n < FBitCount) Error(kWrongVectorSize, n);
    TVector::SetCapacity(static_cast<int32_t>((int64_t{n} + 7) / 8));
}

void TPackedBoolVector::WriteToStream(TVStream& stream) const {
    TBoolVector::WriteToStream(stream);
    stream.WriteInt32(FBitCount);
}

void TPackedBoolVector::ReadFromStream(TVStream& stream) {
    TRawBlock block = ReadBlock(stream);
    uint8_t def = stream.ReadByte();
    int32_t bits = stream.ReadInt32();
    if (bits < 0 || (int64_t{bits} + 7) / 8 != block.Count) Error(kWrongVectorSize, bits);
    ApplyBlock(block);
    DefaultValue = def ? 1 : 0;
    FBitCount = bits;
}

void TPackedBoolVector::InsertGap(int32_t i) {
    CheckIndex(i, FBitCount);
    int32_t n = FBitCount;
    SetCount(n + 1);
    for (int32_t k = n; k > i; --k) SetItem(k, GetItem(k - 1));
}

void TPackedBoolVector::Assign(const TVector& source) {
    const auto* b = dynamic_cast<const TBoolVector*>(&source);
    if (!b) Error(kAssignError);
    if (b == this) return;
    DefaultValue = b->DefaultValue;
    if (const auto* p = AsPacked(source)) {
        TVector::Assign(source);
        FBitCount = p->FBitCount;
    } else {
        int32_t n = b->GetCount();
        SetCount(n);
        for (int32_t i = 0; i < n; ++i) SetItem(i, b->GetItem(i));
    }
}

void TPackedBoolVector::CopyRange(int32_t dstIndex, const TVector& source, int32_t first,
                                  int32_t last) {
    const auto* b = dynamic_cast<const TBoolVector*>(&source);
    if (!b) Error(kAssignError);
    CopyItems(dstIndex, *b, first, last - first + 1);
}

void TPackedBoolVector::ExchangeRange(int32_t i, int32_t j, int32_t n) {
    if (n <= 0) return;
    if (i < 0 || i + n > FBitCount) Error(kIndexOutOfBounds, i);
    if (j < 0 || j + n > FBitCount) Error(kIndexOutOfBounds, j);
    for (int32_t k = 0; k < n; ++k) Exchange(i + k, j + k);
}

bool TPackedBoolVector::EqualTo(const TVector& other) const {
    const auto* b = dynamic_cast<const TBoolVector*>(&other);
    if (!b) Error(kIncompatibleClasses);
    const auto* p = AsPacked(other);
    if (!p || typeid(*p) != typeid(*this)) return ItemsEqual(*b);
    // Compared as if both were normalised.
    if (FBitCount != p->FBitCount) return false;
    if (FCount == 0) return true;
    if (std::memcmp(FData, p->FData, static_cast<size_t>(FCount - 1)) != 0) return false;
    uint8_t m = LastByteMask();
    return (FData[FCount - 1] & m) == (p->FData[FCount - 1] & m);
}

void TPackedBoolVector::Delete(int32_t i) {
    CheckIndex(i, FBitCount - 1);
    for (int32_t k = i; k < FBitCount - 1; ++k) SetItem(k, GetItem(k + 1));
    SetCount(FBitCount - 1);
}

void TPackedBoolVector::DeleteRange(int32_t i, int32_t n) {
    if (n <= 0) return;
    if (i < 0 || int64_t{i} + n > FBitCount) Error(kIndexOutOfBounds, i);
    for (int32_t k = i; k + n < FBitCount; ++k) SetItem(k, GetItem(k + n));
    SetCount(FBitCount - n);
}

bool TPackedBoolVector::SetItem(int32_t i, bool b) {
    uint8_t& byte = FData[i >> 3];
    auto bit = static_cast<uint8_t>(1 << (i & 7));
    bool old = (byte & bit) != 0;
    byte = b ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
    return old;
}

void TPackedBoolVector::FillAll(bool b) {
    if (FCount > 0) std::memset(FData, b ? 0xFF : 0x00, static_cast<size_t>(FCount));
}

void TPackedBoolVector::CombineBytes(const TBoolVector& other, TBoolOp op) {
    CheckOperand(other);
    if (!AsPacked(other)) return CombineItems(other, op);
    for (int32_t i = 0; i < FCount; ++i) {
        uint8_t o = other.Data()[i];
        if (op == TBoolOp::And)
            FData[i] &= o;
        else if (op == TBoolOp::Or)
            FData[i] |= o;
        else
            FData[i] ^= o;
    }
}

void TPackedBoolVector::AndVector(const TBoolVector& other) {
    CombineBytes(other, TBoolOp::And);
}

void TPackedBoolVector::OrVector(const TBoolVector& other) {
    CombineBytes(other, TBoolOp::Or);
}

void TPackedBoolVector::XorVector(const TBoolVector& other) {
    CombineBytes(other, TBoolOp::Xor);
}

void TPackedBoolVector::NotAll() {
    for (int32_t i = 0; i < FCount; ++i) FData[i] = static_cast<uint8_t>(~FData[i]);
}

int32_t TPackedBoolVector::CountTrue() const {
    if (FCount == 0) return 0;
    int32_t n = 0;
    for (int32_t i = 0; i < FCount - 1; ++i) n += kBitCounts[FData[i]];
    return n + kBitCounts[FData[FCount - 1] & LastByteMask()];
}

void TPackedBoolVector::Normalise() {
    if (FCount > 0) FData[FCount - 1] &= LastByteMask();
}

} // namespace arv::graphlib
