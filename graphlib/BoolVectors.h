// Boolean vectors: one byte per element (the path search reads and writes
// its flags without bit arithmetic) and a packed form with eight per byte.
#pragma once

#include "graphlib/Vectors.h"

namespace arv::graphlib {

class TBoolVector : public TSortableVector {
public:
    // Every element starts at the default.
    explicit TBoolVector(int32_t count = 0, bool defaultValue = false);
    const char* ClassName() const override { return "TBoolVector"; }

    uint8_t DefaultValue = 0;

    void FillRange(int32_t byteOffset, int32_t n) override;
    // The vector's record followed by the DefaultValue byte.
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void Assign(const TVector& source) override;
    void CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) override;
    bool EqualTo(const TVector& other) const override;
    int Compare(int32_t i, const void* value) const override;
    void Exchange(int32_t i, int32_t j) override;
    void GetUntyped(int32_t i, void* buffer) const override;

    virtual bool GetItem(int32_t i) const { return FData[i] != 0; }
    // Returns the element's old value.
    virtual bool SetItem(int32_t i, bool b);
    virtual void InsertItem(int32_t i, bool b);
    virtual void FillAll(bool b);
    virtual void AndVector(const TBoolVector& other);
    virtual void OrVector(const TBoolVector& other);
    virtual void XorVector(const TBoolVector& other);
    virtual void NotAll();
    virtual void AndItem(int32_t i, bool b) { SetItem(i, GetItem(i) && b); }
    virtual void OrItem(int32_t i, bool b) { SetItem(i, GetItem(i) || b); }
    virtual void XorItem(int32_t i, bool b) { SetItem(i, GetItem(i) != b); }
    virtual void NotItem(int32_t i) { SetItem(i, !GetItem(i)); }
    virtual int32_t CountTrue() const;

protected:
    enum class TBoolOp { And, Or, Xor };
    // Both operands of a block operation must cover this vector.
    void CheckOperand(const TBoolVector& other) const;
    void CombineItems(const TBoolVector& other, TBoolOp op);
    bool ItemsEqual(const TBoolVector& other) const;
    void CopyItems(int32_t dstIndex, const TBoolVector& source, int32_t first, int32_t n);
};

// Eight elements per byte, element i in bit i mod 8 of byte i div 8. Counts
// and capacities are in elements; the inherited byte vector holds
// ceil(BitCount / 8) bytes filled with 255 or 0 by the default.
class TPackedBoolVector : public TBoolVector {
public:
    explicit TPackedBoolVector(int32_t count = 0, bool defaultValue = false);
    const char* ClassName() const override { return "TPackedBoolVector"; }

    int32_t GetCount() const override { return FBitCount; }
    // New elements hold the default, also those sharing the old last byte.
    void SetCount(int32_t n) override;
    void FillRange(int32_t byteOffset, int32_t n) override;
    void SetCapacity(int32_t n) override;
    // The Boolean vector's form followed by the int32 element count.
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void InsertGap(int32_t i) override;
    void Assign(const TVector& source) override;
    void CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) override;
    void ExchangeRange(int32_t i, int32_t j, int32_t n) override;
    bool EqualTo(const TVector& other) const override;
    void Delete(int32_t i) override;
    void DeleteRange(int32_t i, int32_t n) override;

    bool GetItem(int32_t i) const override { return (FData[i >> 3] >> (i & 7)) & 1; }
    bool SetItem(int32_t i, bool b) override;
    void FillAll(bool b) override;
    void AndVector(const TBoolVector& other) override;
    void OrVector(const TBoolVector& other) override;
    void XorVector(const TBoolVector& other) override;
    void NotAll() override;
    int32_t CountTrue() const override;

    // Clears the bits beyond the element count in the last byte.
    void Normalise();

private:
    uint8_t FillByte() const { return DefaultValue ? 0xFF : 0x00; }
    uint8_t LastByteMask() const;
    void CombineBytes(const TBoolVector& other, TBoolOp op);

    int32_t FBitCount = 0;
};

} // namespace arv::graphlib
