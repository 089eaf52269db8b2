// One object's attribute values: a byte record laid out by a shared map.
//
// Bytes beyond the record read as zero; every write first lengthens the
// record to offset + size. String, WideString and AutoFree values belong to
// the set: they are released when replaced, cleared, cut off, undefined in
// the map or when the set goes.
//
// Buffers of GetValue/SetValue hold the C++ value of the type: int8_t ...
// uint32_t, bool, char, float, double, long double (Float80), void*
// (Pointer), TObject* (AutoFree), std::string (String) and std::u16string
// (WideString).
#pragma once

#include "graphlib/AttrMap.h"

#include <cstring>

namespace arv::graphlib {

class TAttrSet : public TVector {
public:
    explicit TAttrSet(TAttrMap* map);
    ~TAttrSet() override;
    const char* ClassName() const override { return "TAttrSet"; }

    TAttrMap* Map() const { return FMap; }

    // Lowering the length releases the owned values cut off.
    void SetCount(int32_t n) override;
    // int32 record length, then the values of the map's attributes in key
    // order that start inside the record: strings with a length prefix, the
    // other types as raw bytes.
    void WriteToStream(TVStream& stream) const override;
    // Applied only when the whole record was read. References (Pointer,
    // AutoFree) from a stream cannot be valid here and are read as nil.
    void ReadFromStream(TVStream& stream) override;
    // Copies by name every attribute of the source's map that this map also
    // defines; strings are copied, AutoFree objects are not (each set frees
    // its own).
    void Assign(const TVector& source) override;

    // Reads the bytes at the attribute's offset as the given type; an owned
    // value read as another type, or another type read as one, is refused.
    virtual void GetValue(std::string_view name, uint8_t type, void* buffer) const;
    // A type that differs from the defined one is refused when either owns
    // memory or their sizes differ; codes above 15 write nothing.
    virtual void SetValue(std::string_view name, uint8_t type, const void* buffer);
    virtual std::string GetAsString(std::string_view name) const;
    virtual void SetAsString(std::string_view name, std::string_view text);
    // "<name>=<value>" per attribute in key order; strings in apostrophes.
    virtual void WriteText(TVStream& stream) const;
    // As many lines as the map has attributes; applied only when all parse.
    virtual void ReadText(TVStream& stream);
    virtual void ClearValue(std::string_view name);

    bool GetBool(std::string_view name) const;
    void SetBool(std::string_view name, bool b);
    int32_t GetInt32(std::string_view name) const;
    void SetFloat64(std::string_view name, double x);
    void* GetPointer(std::string_view name) const;
    void SetPointer(std::string_view name, void* p);
    uint8_t TypeOf(std::string_view name) const { return FMap ? FMap->TypeOf(name) : 0; }
    uint8_t CheckedTypeOf(std::string_view name) const;

    // Typed access by offset. Each lengthens the record to offset + size
    // first, so a read past the end gives zero and leaves the record longer.
    int8_t GetInt8At(int32_t offset) { return GetAt<int8_t>(offset); }
    void SetInt8At(int32_t offset, int8_t v) { SetAt(offset, v); }
    uint8_t GetUInt8At(int32_t offset) { return GetAt<uint8_t>(offset); }
    void SetUInt8At(int32_t offset, uint8_t v) { SetAt(offset, v); }
    bool GetBoolAt(int32_t offset) { return GetAt<uint8_t>(offset) != 0; }
    void SetBoolAt(int32_t offset, bool v) { SetAt<uint8_t>(offset, v ? 1 : 0); }
    char GetCharAt(int32_t offset) { return GetAt<char>(offset); }
    void SetCharAt(int32_t offset, char v) { SetAt(offset, v); }
    int16_t GetInt16At(int32_t offset) { return GetAt<int16_t>(offset); }
    void SetInt16At(int32_t offset, int16_t v) { SetAt(offset, v); }
    uint16_t GetUInt16At(int32_t offset) { return GetAt<uint16_t>(offset); }
    void SetUInt16At(int32_t offset, uint16_t v) { SetAt(offset, v); }
    int32_t GetInt32At(int32_t offset) { return GetAt<int32_t>(offset); }
    void SetInt32At(int32_t offset, int32_t v) { SetAt(offset, v); }
    uint32_t GetUInt32At(int32_t offset) { return GetAt<uint32_t>(offset); }
    void SetUInt32At(int32_t offset, uint32_t v) { SetAt(offset, v); }
    float GetFloat32At(int32_t offset) { return GetAt<float>(offset); }
    void SetFloat32At(int32_t offset, float v) { SetAt(offset, v); }
    double GetFloat64At(int32_t offset) { return GetAt<double>(offset); }
    void SetFloat64At(int32_t offset, double v) { SetAt(offset, v); }
    long double GetFloat80At(int32_t offset);
    void SetFloat80At(int32_t offset, long double v);
    std::string GetStringAt(int32_t offset);
    void SetStringAt(int32_t offset, std::string_view s);
    std::u16string GetWideStringAt(int32_t offset);
    void SetWideStringAt(int32_t offset, std::u16string_view s);

    // Frees every owned value and zeroes its bytes; the record keeps its length.
    void ReleaseValues();
    // Zeroes the bytes of a slot as far as they lie inside the record, without
    // releasing anything: for a slot that has just been laid out.
    void ZeroBytes(int32_t offset, int32_t size);

protected:
    friend class TAttrMap;

    struct TSlot {
        int32_t Offset;
        uint8_t Type;
    };
    TSlot Lookup(std::string_view name) const;
    // The text of a slot's value; bytes beyond the record read as zero.
    std::string ValueText(TSlot slot) const;
    void EnsureLength(int64_t n);
    // Refuses a negative offset, then lengthens the record over the slot.
    void EnsureSlot(int32_t offset, size_t size);
    // Copies n bytes from the record; bytes beyond it read as zero.
    void ReadBytes(int32_t offset, void* dst, int32_t n) const;
    void* ReadPointer(int32_t offset) const;
    void WritePointer(int32_t offset, void* p);
    void SetBytes(int32_t offset, const void* src, int32_t n);
    void ReleaseSlot(int32_t offset, uint8_t type);
    bool Compatible(uint8_t defined, uint8_t given) const;
    std::string StringValue(int32_t offset) const;
    std::u16string WideStringValue(int32_t offset) const;
    // Exchanges records and maps with another set.
    void SwapWith(TAttrSet& other);
    void SetMap(TAttrMap* map);

    template <class T> T GetAt(int32_t offset) {
        EnsureSlot(offset, sizeof(T));
        T v;
        ReadBytes(offset, &v, sizeof(T));
        return v;
    }
    template <class T> void SetAt(int32_t offset, T v) {
        EnsureSlot(offset, sizeof(T));
        std::memcpy(FData + offset, &v, sizeof(T));
    }

    TAttrMap* FMap = nullptr;
    TAttrSet* FPrevSet = nullptr;
    TAttrSet* FNextSet = nullptr;
};

// A set with a private map, created and freed with it. Its stream, text and
// Assign carry the map's definitions along with the values.
class TAutoAttrSet : public TAttrSet {
public:
    TAutoAttrSet();
    ~TAutoAttrSet() override;
    const char* ClassName() const override { return "TAutoAttrSet"; }

    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void Assign(const TVector& source) override;
    void WriteText(TVStream& stream) const override;
    void ReadText(TVStream& stream) override;
};

} // namespace arv::graphlib
