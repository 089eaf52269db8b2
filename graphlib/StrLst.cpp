#include "graphlib/StrLst.h"

#include "graphlib/AnsiText.h"

#include <algorithm>
#include <cstring>

namespace arv::graphlib {

namespace {

std::string_view View(const std::string* s) {
    return s ? std::string_view(*s) : std::string_view();
}

const TStrLst& AsStrLst(const TVector& v, const TVectorObject& self, std::string_view error) {
    const auto* s = dynamic_cast<const TStrLst*>(&v);
    if (!s) RaiseVectorError(self, error);
    return *s;
}

} // namespace

TStrLst::~TStrLst() {
    FreeRange(0, FCount - 1);
}

void TStrLst::FreeRange(int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i) {
        delete ItemAs<std::string>(i);
        SetItem(i, nullptr);
    }
}

void TStrLst::SetCount(int32_t n) {
    if (n >= 0 && n < FCount) FreeRange(n, FCount - 1);
    TPointerVector::SetCount(n);
}

void TStrLst::Delete(int32_t i) {
    CheckIndex(i, FCount - 1);
    FreeRange(i, i);
    TPointerVector::Delete(i);
}

void TStrLst::DeleteRange(int32_t i, int32_t n) {
    if (n <= 0) return;
    if (i < 0 || int64_t{i} + n > FCount) Error(kIndexOutOfBounds, i);
    FreeRange(i, i + n - 1);
    TPointerVector::DeleteRange(i, n);
}

void TStrLst::WriteToStream(TVStream& stream) const {
    stream.WriteInt32(FCount);
    for (int32_t i = 0; i < FCount; ++i) stream.WriteString(View(Str(i)));
}

void TStrLst::ReadFromStream(TVStream& stream) {
    int32_t n = stream.ReadInt32();
    if (n < 0) Error(kWrongVectorSize, n);
    stream.CheckRemaining(int64_t{n} * 4);
    std::vector<std::string> items(static_cast<size_t>(n));
    for (auto& s : items) s = stream.ReadString();
    SetCount(0);
    for (const auto& s : items) Add(s);
}

void TStrLst::Assign(const TVector& source) {
    const TStrLst& src = AsStrLst(source, *this, kAssignError);
    if (&src == this) return;
    SetCount(0);
    SetCapacity(src.FCount);
    for (int32_t i = 0; i < src.FCount; ++i) Add(View(src.Str(i)));
}

void TStrLst::CopyRange(int32_t dstIndex, const TVector& source, int32_t first, int32_t last) {
    const TStrLst& src = AsStrLst(source, *this, kAssignError);
    int32_t n = last - first + 1;
    if (n <= 0) return;
    if (first < 0) Error(kIndexOutOfBounds, first);
    if (last >= src.FCount) Error(kIndexOutOfBounds, last);
    int32_t end = CopyEnd(dstIndex, n);
    std::vector<std::string> items;
    for (int32_t k = first; k <= last; ++k) items.emplace_back(View(src.Str(k)));
    if (FCount < end) SetCount(end);
    for (int32_t k = 0; k < n; ++k) Set(dstIndex + k, items[k]);
}

bool TStrLst::EqualTo(const TVector& other) const {
    const TStrLst& o = AsStrLst(other, *this, kIncompatibleClasses);
    if (FCount != o.FCount) return false;
    for (int32_t i = 0; i < FCount; ++i)
        if (View(Str(i)) != View(o.Str(i))) return false;
    return true;
}

int TStrLst::Compare(int32_t i, const void* value) const {
    const std::string* v;
    std::memcpy(&v, value, sizeof v);
    return CompareTextNoCase(View(Str(i)), View(v));
}

std::unique_ptr<TPointerVector> TStrLst::CreateCompatible() const {
    return std::make_unique<TStrLst>();
}

void TStrLst::ClearItems() {
    FreeRange(0, FCount - 1);
}

void TStrLst::AppendVector(const TPointerVector& other) {
    const TStrLst& src = AsStrLst(other, *this, kAssignError);
    int32_t n = src.FCount;
    for (int32_t i = 0; i < n; ++i) Add(View(src.Str(i)));
}

std::string TStrLst::Get(int32_t i) const {
    return std::string(View(Str(i)));
}

void TStrLst::Set(int32_t i, std::string_view s) {
    std::string* fresh = NewStr(s);
    delete ItemAs<std::string>(i);
    SetItem(i, fresh);
}

int32_t TStrLst::Add(std::string_view s) {
    int32_t i = FCount;
    Insert(i, s);
    return i;
}

void TStrLst::Insert(int32_t i, std::string_view s) {
    std::string* fresh = NewStr(s);
    try {
        InsertGap(i);
    } catch (...) {
        delete fresh;
        throw;
    }
    SetItem(i, fresh);
}

int32_t TStrLst::IndexOfFrom(int32_t start, std::string_view s) const {
    for (int32_t i = std::max(start, 0); i < FCount; ++i)
        if (SameTextNoCase(View(Str(i)), s)) return i;
    return -1;
}

int32_t TStrLst::LastIndexOfFrom(int32_t start, std::string_view s) const {
    for (int32_t i = std::min(start, FCount - 1); i >= 0; --i)
        if (SameTextNoCase(View(Str(i)), s)) return i;
    return -1;
}

} // namespace arv::graphlib
