#include "graphlib/StrPtrDic.h"

#include "graphlib/AnsiText.h"

#include <cstring>

namespace arv::graphlib {

namespace {

int CompareDicItems(void* context, const TDicItem& a, const TDicItem& b) {
    return static_cast<const TStrPtrDic*>(context)->CompareKeys(a.Key, b.Key);
}

} // namespace

TStrPtrDic::TStrPtrDic() : TDic(&CompareDicItems, this) {}

int TStrPtrDic::CompareKeys(std::string_view a, std::string_view b) const {
    return CompareTextNoCase(a, b);
}

void TStrPtrDic::WriteItem(TVStream& stream, const TDicItem& item) const {
    stream.WriteString(item.Key);
    auto v = reinterpret_cast<std::uintptr_t>(item.Value);
    stream.Write(&v, sizeof v);
}

void TStrPtrDic::ReadItem(TVStream& stream, TDicItem& item) const {
    item.Key = stream.ReadString();
    std::uintptr_t v;
    stream.ReadExact(&v, sizeof v);
    item.Value = reinterpret_cast<TObject*>(v);
}

bool TStrPtrDic::Add(std::string_view key, TObject* value) {
    bool inserted;
    TNode* node = InsertUnique(TDicItem{std::string(key), value}, inserted);
    if (!inserted) node->Item.Value = value;
    return inserted;
}

void TStrPtrDic::Remove(std::string_view key) {
    TNode* node;
    if (!Find(TDicItem{std::string(key), nullptr}, node))
        throw EDicError(FormatMessageText("Key '%s' not found", key));
    DeleteNode(node);
}

TObject** TStrPtrDic::Find(std::string_view key) {
    TNode* node;
    return Find(TDicItem{std::string(key), nullptr}, node) ? &node->Item.Value : nullptr;
}

void TStrPtrDic::FreeValues() {
    ForEach(
        [](void*, TDicItem& item) {
            delete item.Value;
            item.Value = nullptr;
        },
        nullptr);
}

} // namespace arv::graphlib
