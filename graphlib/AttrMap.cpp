#include "graphlib/AttrMap.h"

#include "graphlib/AnsiText.h"
#include "graphlib/AttrSet.h"

#include <algorithm>
#include <memory>

namespace arv::graphlib {

namespace {

struct TAttrItem : TObject {
    TAttrItem(uint8_t type, int32_t offset) : Type(type), Offset(offset) {}
    const char* ClassName() const override { return "TAttrItem"; }
    uint8_t Type;
    int32_t Offset;
};

const TAttrItem* Item(TObject* const* value) {
    return value ? static_cast<const TAttrItem*>(*value) : nullptr;
}

constexpr int64_t kMaxRecord = 1073741823;

} // namespace

TAttrMap::~TAttrMap() {
    for (const TEntry& e : Entries()) ReleaseInSets(e.Offset, e.Type);
    while (FFirstSet) {
        TAttrSet* s = FFirstSet;
        Detach(s);
        s->FMap = nullptr;
    }
    FItems.FreeValues();
}

std::vector<TAttrMap::TEntry> TAttrMap::Entries() const {
    std::vector<TEntry> entries;
    FItems.ForEach(
        [](void* context, TDicItem& item) {
            const auto* a = static_cast<const TAttrItem*>(item.Value);
            static_cast<std::vector<TEntry>*>(context)->push_back({item.Key, a->Type, a->Offset});
        },
        &entries);
    return entries;
}

int32_t TAttrMap::Define(std::string_view name, uint8_t type) {
    if (name.empty() || !IsAttrType(type)) Error(kErrorInParameters);
    if (const TAttrItem* existing = Item(FItems.Find(name))) {
        if (existing->Type == type) return -1;
        Error(kAttrAlreadyDefined, name);
    }
    InvalidateCache();
    // First fit: the first gap between attributes (sorted by offset) that
    // holds the new type, else behind the last one. Space before the lowest
    // offset is not reused.
    int32_t offset = 0;
    int32_t size = AttrTypeSize(type);
    std::vector<TEntry> entries = Entries();
    auto n = static_cast<int32_t>(entries.size());
    if (n > 0) {
        TNumberVector<int32_t> offsets(n, 0);
        TNumberVector<uint8_t> sizes(n, 0);
        for (int32_t i = 0; i < n; ++i) {
            offsets.SetItem(i, entries[i].Offset);
            sizes.SetItem(i, static_cast<uint8_t>(AttrTypeSize(entries[i].Type)));
        }
        offsets.SortWith(0, n - 1, &sizes, true);
        offset = offsets.GetItem(n - 1) + sizes.GetItem(n - 1);
        for (int32_t i = 0; i + 1 < n; ++i) {
            int32_t end = offsets.GetItem(i) + sizes.GetItem(i);
            if (offsets.GetItem(i + 1) - end >= size) {
                offset = end;
                break;
            }
        }
    }
    // Every attribute fits a record, so every map written reads back.
    if (int64_t{offset} + size > kMaxRecord)
        Error(kDataTooLarge, static_cast<long long>(offset) + size);
    auto item = std::make_unique<TAttrItem>(type, offset);
    FItems.Add(name, item.get());
    item.release();
    // Old bytes there must not pass for a reference the set would free.
    if (AttrTypeOwnsMemory(type))
        for (TAttrSet* s = FFirstSet; s; s = s->FNextSet) s->ZeroBytes(offset, size);
    return offset;
}

int32_t TAttrMap::DefineOrError(std::string_view name, uint8_t type) {
    int32_t offset = Define(name, type);
    if (offset < 0) Error(kAttrAlreadyDefined, name);
    return offset;
}

bool TAttrMap::Undefine(std::string_view name) {
    const TAttrItem* item = Item(FItems.Find(name));
    if (!item) return false;
    ReleaseInSets(item->Offset, item->Type);
    FItems.Remove(name);
    delete item;
    InvalidateCache();
    return true;
}

int32_t TAttrMap::Offset(std::string_view name) const {
    const TAttrItem* item = Item(FItems.Find(name));
    if (!item) Error(kAttrNotDefined, name);
    return item->Offset;
}

uint8_t TAttrMap::TypeOf(std::string_view name) const {
    const TAttrItem* item = Item(FItems.Find(name));
    return item ? item->Type : 0;
}

void TAttrMap::InvalidateCache() {
    FNames.SetCount(0);
    FTypes.SetCount(0);
    FOffsets.SetCount(0);
}

void TAttrMap::EnsureCache() const {
    if (FNames.GetCount() == Count()) return;
    FNames.SetCount(0);
    FTypes.SetCount(0);
    FOffsets.SetCount(0);
    FItems.ForEachInOrder(
        [](void* context, TDicItem& item) {
            auto* map = static_cast<const TAttrMap*>(context);
            const auto* a = static_cast<const TAttrItem*>(item.Value);
            map->FNames.Add(item.Key);
            map->FTypes.InsertItem(map->FTypes.GetCount(), a->Type);
            map->FOffsets.InsertItem(map->FOffsets.GetCount(), a->Offset);
        },
        const_cast<TAttrMap*>(this));
}

int32_t TAttrMap::IndexOf(std::string_view name) const {
    EnsureCache();
    return FNames.IndexOf(name);
}

std::string TAttrMap::NameAt(int32_t i) const {
    EnsureCache();
    if (i < 0 || i >= Count()) Error(kIndexOutOfBounds, i);
    return FNames.Get(i);
}

uint8_t TAttrMap::TypeAt(int32_t i) const {
    EnsureCache();
    if (i < 0 || i >= Count()) Error(kIndexOutOfBounds, i);
    return FTypes.GetItem(i);
}

int32_t TAttrMap::OffsetAt(int32_t i) const {
    EnsureCache();
    if (i < 0 || i >= Count()) Error(kIndexOutOfBounds, i);
    return FOffsets.GetItem(i);
}

void TAttrMap::Clear() {
    for (const TEntry& e : Entries()) ReleaseInSets(e.Offset, e.Type);
    FItems.FreeValues();
    FItems.Clear();
    InvalidateCache();
}

void TAttrMap::Assign(const TAttrMap& other) {
    if (&other == this) return;
    std::vector<TEntry> entries = other.Entries();
    Clear();
    for (const TEntry& e : entries) DefineOrError(e.Name, e.Type);
}

void TAttrMap::Load(const std::vector<TEntry>& entries) {
    Clear();
    for (const TEntry& e : entries) {
        auto item = std::make_unique<TAttrItem>(e.Type, e.Offset);
        FItems.Add(e.Name, item.get());
        item.release();
    }
}

void TAttrMap::WriteToStream(TVStream& stream) const {
    // In key order: the bytes then depend only on the attributes, not on the
    // order they were defined in, so equal maps stream alike.
    std::vector<TEntry> entries = Entries();
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        return CompareTextNoCase(a.Name, b.Name) < 0;
    });
    stream.WriteInt32(static_cast<int32_t>(entries.size()));
    for (const TEntry& e : entries) {
        stream.WriteString(e.Name);
        stream.WriteByte(e.Type);
        stream.WriteInt32(e.Offset);
    }
}

void TAttrMap::ReadFromStream(TVStream& stream) {
    int32_t n = stream.ReadInt32();
    if (n < 0) Error(kWrongStreamFormat);
    stream.CheckRemaining(int64_t{n} * 9);
    std::vector<TEntry> entries;
    for (int32_t i = 0; i < n; ++i) {
        TEntry e;
        e.Name = stream.ReadString();
        e.Type = stream.ReadByte();
        e.Offset = stream.ReadInt32();
        // An attribute must fit a record. The stream's own size is no bound:
        // attributes undefined before the map was written leave their
        // offsets behind them.
        if (e.Name.empty() || !IsAttrType(e.Type) || e.Offset < 0 ||
            int64_t{e.Offset} + AttrTypeSize(e.Type) > kMaxRecord)
            Error(kWrongStreamFormat);
        entries.push_back(e);
    }
    // Two names for one attribute or overlapping values would make sets free
    // one value twice.
    std::vector<TEntry> byName = entries, byOffset = entries;
    std::sort(byName.begin(), byName.end(), [](const TEntry& a, const TEntry& b) {
        return CompareTextNoCase(a.Name, b.Name) < 0;
    });
    std::sort(byOffset.begin(), byOffset.end(),
              [](const TEntry& a, const TEntry& b) { return a.Offset < b.Offset; });
    for (size_t i = 1; i < entries.size(); ++i) {
        if (SameTextNoCase(byName[i - 1].Name, byName[i].Name)) Error(kWrongStreamFormat);
        if (byOffset[i - 1].Offset + AttrTypeSize(byOffset[i - 1].Type) > byOffset[i].Offset)
            Error(kWrongStreamFormat);
    }
    Load(entries);
}

void TAttrMap::WriteText(TVStream& stream) const {
    WriteLine(stream, "{");
    for (int32_t i = 0; i < Count(); ++i)
        WriteLine(stream, NameAt(i) + ": " + std::string(AttrTypeName(TypeAt(i))));
    WriteLine(stream, "}");
}

void TAttrMap::ReadText(TVStream& stream) {
    if (ReadTrimmedLine(stream) != "{") Error(kWrongTextStreamFormat);
    std::vector<std::pair<std::string, uint8_t>> attrs;
    for (;;) {
        if (EndOfText(stream)) Error(kWrongTextStreamFormat);
        std::string line = ReadTrimmedLine(stream);
        if (line == "}") break;
        size_t colon = line.rfind(':');
        if (colon == std::string::npos) Error(kWrongTextStreamFormat);
        std::string name = TrimText(line.substr(0, colon));
        uint8_t type = 0;
        try {
            type = AttrTypeByName(TrimText(line.substr(colon + 1)));
        } catch (const Exception&) {
            Error(kWrongTextStreamFormat);
        }
        attrs.emplace_back(name, type);
    }
    // Laid out in a scratch map first: a bad list leaves this map as it was.
    TAttrMap scratch;
    for (const auto& [name, type] : attrs) scratch.Define(name, type);
    Clear();
    for (const auto& [name, type] : attrs) Define(name, type);
}

void TAttrMap::ReleaseInSets(int32_t offset, uint8_t type) {
    if (!AttrTypeOwnsMemory(type)) return;
    for (TAttrSet* s = FFirstSet; s; s = s->FNextSet) s->ReleaseSlot(offset, type);
}

void TAttrMap::Attach(TAttrSet* set) {
    set->FPrevSet = nullptr;
    set->FNextSet = FFirstSet;
    if (FFirstSet) FFirstSet->FPrevSet = set;
    FFirstSet = set;
}

void TAttrMap::Detach(TAttrSet* set) {
    if (set->FPrevSet)
        set->FPrevSet->FNextSet = set->FNextSet;
    else
        FFirstSet = set->FNextSet;
    if (set->FNextSet) set->FNextSet->FPrevSet = set->FPrevSet;
    set->FPrevSet = set->FNextSet = nullptr;
}

} // namespace arv::graphlib
