// The layout of attribute values: every attribute name has a type and a byte
// offset. Names ignore letter case. Sets that lay their values out by a map
// register with it, so that a value the map stops describing (an attribute
// undefined or the map cleared) is released instead of leaking.
#pragma once

#include "graphlib/AttrTypes.h"
#include "graphlib/NumberVectors.h"
#include "graphlib/StrLst.h"
#include "graphlib/StrPtrDic.h"

#include <string>
#include <string_view>

namespace arv::graphlib {

class TAttrSet;

// Texts shared by the map and the sets.
inline constexpr std::string_view kAttrNotDefined = "attribute '%s' not defined";
inline constexpr std::string_view kAttrAlreadyDefined = "attribute '%s' already defined";
inline constexpr std::string_view kAttrDifferentType = "attribute '%s' has different type";
inline constexpr std::string_view kWrongTextStreamFormat = "Wrong text stream format";

class TAttrMap : public TVectorObject {
public:
    TAttrMap() = default;
    ~TAttrMap() override;
    TAttrMap(const TAttrMap&) = delete;
    TAttrMap& operator=(const TAttrMap&) = delete;

    const char* ClassName() const override { return "TAttrMap"; }

    // The new attribute's offset by first fit; -1 when the name already
    // exists with this type.
    int32_t Define(std::string_view name, uint8_t type);
    int32_t DefineOrError(std::string_view name, uint8_t type);
    // False when absent. Owned values of the attribute are released in every
    // set on this map; other values stay in their bytes.
    bool Undefine(std::string_view name);
    int32_t Offset(std::string_view name) const;
    // 0 when absent.
    uint8_t TypeOf(std::string_view name) const;
    int32_t Count() const { return FItems.Count(); }
    // By position in key order.
    int32_t IndexOf(std::string_view name) const;
    std::string NameAt(int32_t i) const;
    uint8_t TypeAt(int32_t i) const;
    int32_t OffsetAt(int32_t i) const;
    void Clear();
    // Redefines every attribute of the other map, so offsets are laid anew.
    void Assign(const TAttrMap& other);

    // int32 count, then per attribute its name, type byte and int32 offset.
    void WriteToStream(TVStream& stream) const;
    void ReadFromStream(TVStream& stream);
    // "{", one "<name>: <type name>" line per attribute, "}".
    void WriteText(TVStream& stream) const;
    void ReadText(TVStream& stream);

private:
    friend class TAttrSet;

    struct TEntry {
        std::string Name;
        uint8_t Type;
        int32_t Offset;
    };
    // Pre-order, as the tree is walked for streams and Assign.
    std::vector<TEntry> Entries() const;
    void Load(const std::vector<TEntry>& entries);
    void EnsureCache() const;
    void InvalidateCache();
    void ReleaseInSets(int32_t offset, uint8_t type);
    void Attach(TAttrSet* set);
    void Detach(TAttrSet* set);

    mutable TStrPtrDic FItems;
    // Index cache in key order, rebuilt on first use after a change.
    mutable TStrLst FNames;
    mutable TNumberVector<uint8_t> FTypes;
    mutable TNumberVector<int32_t> FOffsets;
    TAttrSet* FFirstSet = nullptr;
};

} // namespace arv::graphlib
