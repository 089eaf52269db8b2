// A vector of heap strings that it owns (nil is the empty string). Lookups
// ignore letter case, as the attribute names do.
#pragma once

#include "graphlib/Vectors.h"

#include <string>
#include <string_view>

namespace arv::graphlib {

class TStrLst : public TPointerVector {
public:
    TStrLst() = default;
    ~TStrLst() override;
    const char* ClassName() const override { return "TStrLst"; }

    // Lowering the count frees the dropped strings.
    void SetCount(int32_t n) override;
    void Delete(int32_t i) override;
    void DeleteRange(int32_t i, int32_t n) override;
    // int32 count, then each string with its length prefix.
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    // Copies the strings, never the references.
    void Assign(const TVector& source) override;
    void CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) override;
    bool EqualTo(const TVector& other) const override;
    int Compare(int32_t i, const void* value) const override;
    std::unique_ptr<TPointerVector> CreateCompatible() const override;
    void ClearItems() override;
    void AppendVector(const TPointerVector& other) override;

    std::string Get(int32_t i) const;
    void Set(int32_t i, std::string_view s);
    int32_t Add(std::string_view s);
    void Insert(int32_t i, std::string_view s);
    int32_t IndexOfFrom(int32_t start, std::string_view s) const;
    int32_t IndexOf(std::string_view s) const { return IndexOfFrom(0, s); }
    int32_t LastIndexOfFrom(int32_t start, std::string_view s) const;

private:
    const std::string* Str(int32_t i) const { return ItemAs<std::string>(i); }
    static std::string* NewStr(std::string_view s) {
        return s.empty() ? nullptr : new std::string(s);
    }
    void FreeRange(int32_t first, int32_t last);
};

} // namespace arv::graphlib
