#include "graphlib/AttrSet.h"

#include "graphlib/AnsiText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace arv::graphlib {

namespace {

constexpr int32_t P = static_cast<int32_t>(sizeof(void*));
constexpr int64_t kMaxRecord = 1073741823;

// The end of the last attribute that starts inside a record of count bytes:
// bytes past it hold no attribute, so the stream form ends the record there.
int64_t RecordEnd(const TAttrMap* map, int64_t count) {
    int64_t end = 0;
    for (int32_t i = 0; map && i < map->Count(); ++i)
        if (map->OffsetAt(i) < count)
            end = std::max<int64_t>(end, int64_t{map->OffsetAt(i)} + AttrTypeSize(map->TypeAt(i)));
    return end;
}
constexpr std::string_view kCantConvert = "Can't convert '%s' to float";

// A WideString slot holds an 8-bit std::string when every character is below
// 128, else a std::u16string with bit 0 of the reference set.
constexpr std::uintptr_t kWideTag = 1;

void FreeOwned(void* p, uint8_t type) {
    if (!p) return;
    if (type == AttrType::AutoFree) {
        delete static_cast<TObject*>(p);
    } else if (type == AttrType::String) {
        delete static_cast<std::string*>(p);
    } else if (type == AttrType::WideString) {
        auto bits = reinterpret_cast<std::uintptr_t>(p);
        if (bits & kWideTag)
            delete reinterpret_cast<std::u16string*>(bits & ~kWideTag);
        else
            delete static_cast<std::string*>(p);
    }
}

// Real values out of a narrower type's range become infinities rather than
// undefined conversions.
template <class T> T Narrow(long double v) {
    if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<T>::max())
        return v < 0 ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
    return static_cast<T>(v);
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (s == w) return true;
    return false;
}

} // namespace

// --- TAttrSet ---------------------------------------------------------------

TAttrSet::TAttrSet(TAttrMap* map) : TVector(1) {
    SetMap(map);
}

TAttrSet::~TAttrSet() {
    ReleaseValues();
    SetMap(nullptr);
}

void TAttrSet::SetMap(TAttrMap* map) {
    if (FMap) FMap->Detach(this);
    FMap = map;
    if (FMap) FMap->Attach(this);
}

void TAttrSet::SwapWith(TAttrSet& other) {
    SwapContents(other);
    TAttrMap* a = FMap;
    TAttrMap* b = other.FMap;
    SetMap(b);
    other.SetMap(a);
}

TAttrSet::TSlot TAttrSet::Lookup(std::string_view name) const {
    if (!FMap) Error(kAttrNotDefined, name);
    int32_t offset = FMap->Offset(name);
    return {offset, FMap->TypeOf(name)};
}

void TAttrSet::EnsureLength(int64_t n) {
    if (n <= FCount) return;
    if (n > kMaxRecord) Error(kDataTooLarge, n);
    DoSetCount(static_cast<int32_t>(n));
}

void TAttrSet::EnsureSlot(int32_t offset, size_t size) {
    if (offset < 0) Error(kIndexOutOfBounds, offset);
    EnsureLength(int64_t{offset} + static_cast<int64_t>(size));
}

void TAttrSet::ReadBytes(int32_t offset, void* dst, int32_t n) const {
    int32_t inside = std::clamp(FCount - offset, 0, n);
    if (offset < 0) inside = 0;
    if (inside > 0) std::memcpy(dst, FData + offset, static_cast<size_t>(inside));
    if (inside < n) std::memset(static_cast<uint8_t*>(dst) + inside, 0, n - inside);
}

void* TAttrSet::ReadPointer(int32_t offset) const {
    if (offset < 0 || int64_t{offset} + P > FCount) return nullptr;
    void* p;
    std::memcpy(&p, FData + offset, sizeof p);
    return p;
}

void TAttrSet::WritePointer(int32_t offset, void* p) {
    EnsureSlot(offset, sizeof p);
    std::memcpy(FData + offset, &p, sizeof p);
}

void TAttrSet::ReleaseSlot(int32_t offset, uint8_t type) {
    void* p = ReadPointer(offset);
    if (!p) return;
    WritePointer(offset, nullptr);
    FreeOwned(p, type);
}

void TAttrSet::ReleaseValues() {
    if (!FMap) return;
    for (int32_t i = 0; i < FMap->Count(); ++i)
        if (AttrTypeOwnsMemory(FMap->TypeAt(i))) ReleaseSlot(FMap->OffsetAt(i), FMap->TypeAt(i));
}

void TAttrSet::SetCount(int32_t n) {
    if (FMap && n >= 0 && n < FCount) {
        for (int32_t i = 0; i < FMap->Count(); ++i) {
            int32_t offset = FMap->OffsetAt(i);
            if (AttrTypeOwnsMemory(FMap->TypeAt(i)) && int64_t{offset} + P > n)
                ReleaseSlot(offset, FMap->TypeAt(i));
        }
    }
    TVector::SetCount(n);
}

bool TAttrSet::Compatible(uint8_t defined, uint8_t given) const {
    if (defined == given) return true;
    return !AttrTypeOwnsMemory(defined) && !AttrTypeOwnsMemory(given) &&
           AttrTypeSize(defined) == AttrTypeSize(given);
}

std::string TAttrSet::StringValue(int32_t offset) const {
    auto* p = static_cast<const std::string*>(ReadPointer(offset));
    return p ? *p : std::string();
}

std::u16string TAttrSet::WideStringValue(int32_t offset) const {
    auto bits = reinterpret_cast<std::uintptr_t>(ReadPointer(offset));
    if (!bits) return {};
    if (bits & kWideTag) return *reinterpret_cast<const std::u16string*>(bits & ~kWideTag);
    return AnsiToWide(*reinterpret_cast<const std::string*>(bits));
}

long double TAttrSet::GetFloat80At(int32_t offset) {
    EnsureSlot(offset, 10);
    return DecodeFloat80(FData + offset);
}

void TAttrSet::SetFloat80At(int32_t offset, long double v) {
    EnsureSlot(offset, 10);
    EncodeFloat80(v, FData + offset);
}

std::string TAttrSet::GetStringAt(int32_t offset) {
    EnsureSlot(offset, P);
    return StringValue(offset);
}

void TAttrSet::SetStringAt(int32_t offset, std::string_view s) {
    EnsureSlot(offset, P);
    void* old = ReadPointer(offset);
    WritePointer(offset, s.empty() ? nullptr : new std::string(s));
    FreeOwned(old, AttrType::String);
}

std::u16string TAttrSet::GetWideStringAt(int32_t offset) {
    EnsureSlot(offset, P);
    return WideStringValue(offset);
}

void TAttrSet::SetWideStringAt(int32_t offset, std::u16string_view s) {
    EnsureSlot(offset, P);
    void* fresh = nullptr;
    if (s.empty())
        fresh = nullptr;
    else if (IsAsciiText(s))
        fresh = new std::string(WideToAnsi(s));
    else
        fresh = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(new std::u16string(s)) |
                                        kWideTag);
    void* old = ReadPointer(offset);
    WritePointer(offset, fresh);
    FreeOwned(old, AttrType::WideString);
}

void TAttrSet::GetValue(std::string_view name, uint8_t type, void* buffer) const {
    TSlot s = Lookup(name);
    if (!IsAttrType(type)) return;
    // A read reinterprets the bytes at the offset in the type asked for; only
    // an owned value read as another type (or another type read as one) is
    // refused, since that would follow bytes that are no such reference.
    if (s.Type != type && (AttrTypeOwnsMemory(s.Type) || AttrTypeOwnsMemory(type)))
        Error(kAttrDifferentType, name);
    switch (type) {
    case AttrType::String:
        *static_cast<std::string*>(buffer) = StringValue(s.Offset);
        break;
    case AttrType::WideString:
        *static_cast<std::u16string*>(buffer) = WideStringValue(s.Offset);
        break;
    case AttrType::Pointer:
        *static_cast<void**>(buffer) = ReadPointer(s.Offset);
        break;
    case AttrType::AutoFree:
        *static_cast<TObject**>(buffer) = static_cast<TObject*>(ReadPointer(s.Offset));
        break;
    case AttrType::Bool: {
        uint8_t b;
        ReadBytes(s.Offset, &b, 1);
        *static_cast<bool*>(buffer) = b != 0;
        break;
    }
    case AttrType::Float80: {
        uint8_t raw[10];
        ReadBytes(s.Offset, raw, 10);
        *static_cast<long double*>(buffer) = DecodeFloat80(raw);
        break;
    }
    default:
        ReadBytes(s.Offset, buffer, AttrTypeSize(type));
    }
}

void TAttrSet::SetValue(std::string_view name, uint8_t type, const void* buffer) {
    TSlot s = Lookup(name);
    if (!IsAttrType(type)) return;
    if (!Compatible(s.Type, type)) Error(kAttrDifferentType, name);
    switch (type) {
    case AttrType::String:
        SetStringAt(s.Offset, *static_cast<const std::string*>(buffer));
        break;
    case AttrType::WideString:
        SetWideStringAt(s.Offset, *static_cast<const std::u16string*>(buffer));
        break;
    case AttrType::AutoFree: {
        // The set owns the object: a replaced one is freed.
        TObject* obj = *static_cast<TObject* const*>(buffer);
        EnsureSlot(s.Offset, P);
        void* old = ReadPointer(s.Offset);
        WritePointer(s.Offset, obj);
        if (old != obj) FreeOwned(old, AttrType::AutoFree);
        break;
    }
    case AttrType::Pointer:
        WritePointer(s.Offset, *static_cast<void* const*>(buffer));
        break;
    case AttrType::Bool:
        SetBoolAt(s.Offset, *static_cast<const bool*>(buffer));
        break;
    case AttrType::Float80:
        SetFloat80At(s.Offset, *static_cast<const long double*>(buffer));
        break;
    default:
        EnsureSlot(s.Offset, static_cast<size_t>(AttrTypeSize(type)));
        std::memcpy(FData + s.Offset, buffer, static_cast<size_t>(AttrTypeSize(type)));
    }
}

bool TAttrSet::GetBool(std::string_view name) const {
    bool b = false;
    GetValue(name, AttrType::Bool, &b);
    return b;
}

void TAttrSet::SetBool(std::string_view name, bool b) {
    SetValue(name, AttrType::Bool, &b);
}

int32_t TAttrSet::GetInt32(std::string_view name) const {
    int32_t v = 0;
    GetValue(name, AttrType::Int32, &v);
    return v;
}

void TAttrSet::SetFloat64(std::string_view name, double x) {
    SetValue(name, AttrType::Float64, &x);
}

void* TAttrSet::GetPointer(std::string_view name) const {
    void* p = nullptr;
    GetValue(name, AttrType::Pointer, &p);
    return p;
}

void TAttrSet::SetPointer(std::string_view name, void* p) {
    SetValue(name, AttrType::Pointer, &p);
}

uint8_t TAttrSet::CheckedTypeOf(std::string_view name) const {
    uint8_t t = TypeOf(name);
    if (t == 0) Error(kAttrNotDefined, name);
    return t;
}

std::string TAttrSet::GetAsString(std::string_view name) const {
    TSlot s = Lookup(name);
    if (s.Offset >= FCount) return {};
    return ValueText(s);
}

std::string TAttrSet::ValueText(TSlot s) const {
    auto peek = [&](auto v) {
        ReadBytes(s.Offset, &v, sizeof v);
        return v;
    };
    switch (s.Type) {
    case AttrType::Int8:
        return std::to_string(peek(int8_t{}));
    case AttrType::UInt8:
        return std::to_string(peek(uint8_t{}));
    case AttrType::Bool:
        return peek(uint8_t{}) ? "True" : "False";
    case AttrType::Char:
        return CharToText(peek(char{}));
    case AttrType::Int16:
        return std::to_string(peek(int16_t{}));
    case AttrType::UInt16:
        return std::to_string(peek(uint16_t{}));
    case AttrType::Int32:
        return std::to_string(peek(int32_t{}));
    case AttrType::UInt32:
        return std::to_string(peek(uint32_t{}));
    case AttrType::String:
        return StringValue(s.Offset);
    case AttrType::Float32:
        return FloatToText(peek(float{}));
    case AttrType::Float64:
        return FloatToText(peek(double{}));
    case AttrType::Float80: {
        uint8_t raw[10];
        ReadBytes(s.Offset, raw, 10);
        return FloatToText(DecodeFloat80(raw));
    }
    case AttrType::WideString:
        return WideToAnsi(WideStringValue(s.Offset));
    default: // Pointer, AutoFree
        return {};
    }
}

void TAttrSet::SetAsString(std::string_view name, std::string_view text) {
    TSlot s = Lookup(name);
    auto real = [&] {
        long double v;
        if (!TryTextToFloat(text, v)) Error(kCantConvert, text);
        return v;
    };
    switch (s.Type) {
    case AttrType::Int8:
    case AttrType::UInt8:
        SetAt(s.Offset, static_cast<uint8_t>(TextToInteger(text)));
        break;
    case AttrType::Int16:
    case AttrType::UInt16:
        SetAt(s.Offset, static_cast<uint16_t>(TextToInteger(text)));
        break;
    case AttrType::Int32:
    case AttrType::UInt32:
        SetAt(s.Offset, static_cast<uint32_t>(TextToInteger(text)));
        break;
    case AttrType::Bool: {
        // ASCII upper-casing only: Cyrillic words match in capitals alone.
        std::string word = UpperAscii(TrimText(text));
        if (IsOneOf(word, {"TRUE", "YES", "Y", "1", "\xC4\xC0", "\xC4"})) // ДА, Д
            SetBoolAt(s.Offset, true);
        else if (IsOneOf(word, {"FALSE", "NO", "N", "0", "\xCD\xC5\xD2", "\xCD"})) // НЕТ, Н
            SetBoolAt(s.Offset, false);
        else
            Error(kAttrDifferentType, name);
        break;
    }
    case AttrType::Char:
        SetCharAt(s.Offset, TextToChar(text));
        break;
    case AttrType::String:
        SetStringAt(s.Offset, text);
        break;
    case AttrType::Float32:
        SetFloat32At(s.Offset, Narrow<float>(real()));
        break;
    case AttrType::Float64:
        SetFloat64At(s.Offset, Narrow<double>(real()));
        break;
    case AttrType::Float80:
        SetFloat80At(s.Offset, real());
        break;
    case AttrType::WideString:
        SetWideStringAt(s.Offset, AnsiToWide(text));
        break;
    default: // Pointer, AutoFree
        // A pointer has no text: the empty value WriteText gives it reads
        // back and leaves the pointer alone; any other text is refused.
        if (TrimText(text).empty()) break;
        Error(kAttrDifferentType, name);
    }
}

void TAttrSet::WriteText(TVStream& stream) const {
    if (!FMap) return;
    for (int32_t i = 0; i < FMap->Count(); ++i) {
        std::string name = FMap->NameAt(i);
        uint8_t t = FMap->TypeAt(i);
        // A value never set is written as the zero it reads as, so the
        // reader takes the text back.
        std::string value = ValueText(Lookup(name));
        if (t == AttrType::String || t == AttrType::WideString) value = QuotedStr(value);
        WriteLine(stream, name + "=" + value);
    }
}

void TAttrSet::ReadText(TVStream& stream) {
    int32_t n = FMap ? FMap->Count() : 0;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int32_t i = 0; i < n; ++i) {
        std::string line = ReadLine(stream);
        // A name may itself hold '=': the split is at the longest name
        // before an '=' that the map defines ("a=b=2" is "a=b" when both "a"
        // and "a=b" are defined; numbers never hold '=').
        size_t eq = std::string::npos;
        for (size_t at = line.find('='); at != std::string::npos; at = line.find('=', at + 1))
            if (FMap->IndexOf(TrimText(line.substr(0, at))) >= 0) eq = at;
        if (eq == std::string::npos) eq = line.find('=');
        if (eq == std::string::npos) Error(kWrongTextStreamFormat);
        pairs.emplace_back(TrimText(line.substr(0, eq)), Dequote(TrimText(line.substr(eq + 1))));
    }
    // Tried on a scratch set first: a bad value leaves this set as it was.
    TAttrSet scratch(FMap);
    for (const auto& [name, value] : pairs) scratch.SetAsString(name, value);
    for (const auto& [name, value] : pairs) SetAsString(name, value);
}

void TAttrSet::ClearValue(std::string_view name) {
    TSlot s = Lookup(name);
    if (s.Offset >= FCount) return;
    if (AttrTypeOwnsMemory(s.Type)) {
        ReleaseSlot(s.Offset, s.Type);
    } else {
        int32_t n = std::min(AttrTypeSize(s.Type), FCount - s.Offset);
        std::memset(FData + s.Offset, 0, static_cast<size_t>(n));
    }
}

void TAttrSet::WriteToStream(TVStream& stream) const {
    // Bytes past the last attribute inside the record are not written; the
    // record length stops there too, so the reader can check every claim.
    const int32_t length = static_cast<int32_t>(std::min<int64_t>(FCount, RecordEnd(FMap, FCount)));
    stream.WriteInt32(length);
    if (length == 0) return;
    for (int32_t i = 0; i < FMap->Count(); ++i) {
        int32_t offset = FMap->OffsetAt(i);
        uint8_t t = FMap->TypeAt(i);
        if (offset >= length) continue;
        if (t == AttrType::String) {
            stream.WriteString(StringValue(offset));
        } else if (t == AttrType::WideString) {
            stream.WriteWideString(WideStringValue(offset));
        } else if (t == AttrType::Pointer || t == AttrType::AutoFree) {
            // An address means nothing outside this process (the reader takes
            // nil), and writing it would make equal sets stream differently.
            const uint8_t nil[sizeof(void*)] = {};
            stream.Write(nil, AttrTypeSize(t));
        } else {
            uint8_t raw[16];
            ReadBytes(offset, raw, AttrTypeSize(t));
            stream.Write(raw, AttrTypeSize(t));
        }
    }
}

void TAttrSet::ReadFromStream(TVStream& stream) {
    int32_t length = stream.ReadInt32();
    if (length < 0) Error(kWrongVectorSize, length);
    if (length > kMaxRecord) Error(kDataTooLarge, length);
    // The writer ends the record at its last attribute (see WriteToStream),
    // so a longer claim is damage, refused before anything is allocated.
    if (length > RecordEnd(FMap, length)) Error(kWrongStreamFormat);
    // The values first, the record after them: a length that the stream does
    // not back with the value ending it allocates nothing.
    struct TValue {
        int32_t offset;
        uint8_t type;
        std::string text;
        std::u16string wide;
        uint8_t raw[16];
    };
    std::vector<TValue> values;
    for (int32_t i = 0; FMap && length > 0 && i < FMap->Count(); ++i) {
        TValue v{FMap->OffsetAt(i), FMap->TypeAt(i), {}, {}, {}};
        if (v.offset >= length) continue;
        if (v.type == AttrType::String)
            v.text = stream.ReadString();
        else if (v.type == AttrType::WideString)
            v.wide = stream.ReadWideString();
        else
            stream.ReadExact(v.raw, AttrTypeSize(v.type));
        values.push_back(std::move(v));
    }
    TAttrSet scratch(FMap);
    scratch.EnsureLength(length);
    for (const TValue& v : values) {
        if (v.type == AttrType::String)
            scratch.SetStringAt(v.offset, v.text);
        else if (v.type == AttrType::WideString)
            scratch.SetWideStringAt(v.offset, v.wide);
        else if (v.type == AttrType::Pointer || v.type == AttrType::AutoFree)
            scratch.WritePointer(v.offset, nullptr);
        else
            scratch.SetBytes(v.offset, v.raw, AttrTypeSize(v.type));
    }
    scratch.SetCount(length);
    ReleaseValues();
    SwapContents(scratch);
}

void TAttrSet::ZeroBytes(int32_t offset, int32_t size) {
    if (offset < 0 || offset >= FCount) return;
    std::memset(FData + offset, 0, static_cast<size_t>(std::min(size, FCount - offset)));
}

void TAttrSet::SetBytes(int32_t offset, const void* src, int32_t n) {
    EnsureSlot(offset, static_cast<size_t>(n));
    std::memcpy(FData + offset, src, static_cast<size_t>(n));
}

void TAttrSet::Assign(const TVector& source) {
    const auto* src = dynamic_cast<const TAttrSet*>(&source);
    if (!src) Error(kIncompatibleClasses);
    if (src == this || !src->FMap || !FMap) return;
    // Checked first, so a clash changes nothing.
    std::vector<std::pair<std::string, uint8_t>> copies;
    for (int32_t i = 0; i < src->FMap->Count(); ++i) {
        std::string name = src->FMap->NameAt(i);
        uint8_t t = src->FMap->TypeAt(i);
        uint8_t mine = FMap->TypeOf(name);
        if (mine == 0 || t == AttrType::AutoFree) continue;
        if (!Compatible(mine, t)) Error(kAttrDifferentType, name);
        copies.emplace_back(name, t);
    }
    for (const auto& [name, t] : copies) {
        if (t == AttrType::String) {
            std::string v;
            src->GetValue(name, t, &v);
            SetValue(name, t, &v);
        } else if (t == AttrType::WideString) {
            std::u16string v;
            src->GetValue(name, t, &v);
            SetValue(name, t, &v);
        } else {
            alignas(16) uint8_t buf[16];
            src->GetValue(name, t, buf);
            SetValue(name, t, buf);
        }
    }
}

// --- TAutoAttrSet -----------------------------------------------------------

TAutoAttrSet::TAutoAttrSet() : TAttrSet(new TAttrMap) {}

TAutoAttrSet::~TAutoAttrSet() {
    ReleaseValues();
    delete FMap; // detaches this set
}

void TAutoAttrSet::WriteToStream(TVStream& stream) const {
    FMap->WriteToStream(stream);
    TAttrSet::WriteToStream(stream);
}

void TAutoAttrSet::ReadFromStream(TVStream& stream) {
    TAutoAttrSet scratch;
    scratch.FMap->ReadFromStream(stream);
    scratch.TAttrSet::ReadFromStream(stream);
    ReleaseValues();
    SwapWith(scratch);
}

void TAutoAttrSet::Assign(const TVector& source) {
    const auto* src = dynamic_cast<const TAttrSet*>(&source);
    if (!src) Error(kIncompatibleClasses);
    if (src == this) return;
    TAutoAttrSet scratch;
    if (src->Map()) scratch.FMap->Assign(*src->Map());
    scratch.TAttrSet::Assign(*src);
    ReleaseValues();
    SwapWith(scratch);
}

void TAutoAttrSet::WriteText(TVStream& stream) const {
    FMap->WriteText(stream);
    TAttrSet::WriteText(stream);
}

void TAutoAttrSet::ReadText(TVStream& stream) {
    TAutoAttrSet scratch;
    scratch.FMap->ReadText(stream);
    scratch.TAttrSet::ReadText(stream);
    ReleaseValues();
    SwapWith(scratch);
}

} // namespace arv::graphlib
