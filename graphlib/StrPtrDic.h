// Dictionary from names to object references on the red-black tree. Keys are
// compared without regard to letter case (CP1251, Cyrillic included), so two
// keys that differ only in case are one key.
#pragma once

#include "graphlib/RBTree.h"

#include <string>
#include <string_view>

namespace arv::graphlib {

struct TDicItem {
    std::string Key;
    TObject* Value = nullptr;
};

class TDic : public TRBTree<TDicItem> {
public:
    using TRBTree<TDicItem>::TRBTree;
    const char* ClassName() const override { return "TDic"; }
};

class TStrPtrDic : public TDic {
public:
    TStrPtrDic();
    const char* ClassName() const override { return "TStrPtrDic"; }

    // The key as a length-prefixed string, then the value as a pointer-sized
    // integer.
    void WriteItem(TVStream& stream, const TDicItem& item) const override;
    void ReadItem(TVStream& stream, TDicItem& item) const override;
    virtual int CompareKeys(std::string_view a, std::string_view b) const;

    // False when the key was present: its value is then replaced.
    bool Add(std::string_view key, TObject* value);
    // A missing key raises EDicError "Key '<key>' not found".
    void Remove(std::string_view key);
    // The value field of the key's node, nil when absent.
    TObject** Find(std::string_view key);
    using TDic::Find;
    // Frees the object held in every value (nil values are skipped).
    void FreeValues();
};

} // namespace arv::graphlib
