#include "converter/MineReader.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <new>
#include <ostream>

namespace halvard {

namespace {

constexpr const char* kUnknownTag = "unknown tag";

constexpr size_t HeaderSize = 16;
constexpr size_t TagHeaderSize = 10;
constexpr size_t MineInfoSize = 366;

uint16_t LoadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t LoadI32(const uint8_t* p) {
    return static_cast<int32_t>(LoadU32(p));
}

double LoadF64(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

template <class T> T Load(const uint8_t* p);
template <> uint8_t Load<uint8_t>(const uint8_t* p) {
    return *p;
}
template <> uint16_t Load<uint16_t>(const uint8_t* p) {
    return LoadU16(p);
}
template <> int32_t Load<int32_t>(const uint8_t* p) {
    return LoadI32(p);
}
template <> double Load<double>(const uint8_t* p) {
    return LoadF64(p);
}

// Element sizes in the file.
template <class T> constexpr size_t FileSize();
template <> constexpr size_t FileSize<uint8_t>() {
    return 1;
}
template <> constexpr size_t FileSize<uint16_t>() {
    return 2;
}
template <> constexpr size_t FileSize<int32_t>() {
    return 4;
}
template <> constexpr size_t FileSize<double>() {
    return 8;
}

// A length-prefixed text inside a record. A length byte larger than the
// field is cut to the field, and the text ends at a NUL as a C string does.
std::string FieldText(const uint8_t* record, size_t lengthOffset, size_t fieldSize) {
    const size_t length = std::min<size_t>(record[lengthOffset], fieldSize);
    const uint8_t* first = record + lengthOffset + 1;
    const uint8_t* last = std::find(first, first + length, uint8_t{0});
    return std::string(first, last);
}

std::string CString(TBytes bytes) {
    auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
    return std::string(bytes.begin(), end);
}

void ReplaceQuotes(std::string& text) {
    std::replace(text.begin(), text.end(), '"', '\'');
}

template <class T> void Resize(std::vector<T>& table, size_t n) {
    table.assign(n, T{});
}

} // namespace

const char* TagName(uint16_t tag) {
    static const char* const names[] = {
        nullptr,
        "NodeNumbers",
        "NodeX",
        "NodeY",
        "NodeAlt",
        "NodeExit",
        "NodeSurf",
        "BrNumbers",
        "BrStartN",
        "BrEndN",
        "BrLen",
        "BrPla",
        "BrPeople",
        "BrResist",
        "BrAuxDepr",
        "BrAirDebt",
        "BrAlpha",
        "BrStartTemperature",
        "BrEndTemperature",
        "BrSquare",
        "BrHeight",
        "BrAngle",
        "BrTag",
        "BrView",
        "BrType",
        "BrPosDGS",
        "BrName",
        "BrFresh",
        "BrPLAColors",
        "BrDepr",
        "BrQtr",
        "BrTurn",
        "MineInfo",
        "MineLayer",
        "NodeLogical",
        "FanList",
        "BrLayer",
        "BrFixDepr",
        "BrResistZkr",
        "BrHmes",
        "BrQmes",
        "BrQnorm",
        "Symbol place",
        "PLALabels",
        "Phone",
        "BrVmin",
        "BrVmax",
        "PhoneOld",
        "LinkList",
        "BrCableCell",
        "BrDeGazeCell",
        "BrFireWaterCell",
        nullptr,
        nullptr,
        nullptr,
        "BranchPhone",
    };
    if (tag < std::size(names) && names[tag]) return names[tag];
    return kUnknownTag;
}

TMineReader::TMineReader(TBytes file, TMineTables& tables, std::ostream& console, bool verbose)
    : file_(file), tables_(tables), console_(console), verbose_(verbose) {}

bool TMineReader::ReadMine() {
    ReadHeader();
    TTag tag;
    while (GetTag(tag)) {
        bool ok = false;
        try {
            ok = ReadBody(tag);
        } catch (const std::bad_alloc&) {
            ok = ReportError(TagName(tag.Tag));
        }
        if (!ok) return false;
        if (std::strcmp(TagName(tag.Tag), kUnknownTag) != 0) ++knownRecords_;
    }
    return true;
}

void TMineReader::ReadHeader() {
    uint8_t raw[HeaderSize] = {};
    const size_t got = std::min(HeaderSize, file_.size());
    if (got > 0) std::memcpy(raw, file_.data(), got);
    // Records start right after the header whatever HeadSize says.
    pos_ = got;

    TMineHeader& h = tables_.Header;
    std::memcpy(h.Sign.data(), raw, h.Sign.size());
    h.Ver = LoadU16(raw + 6);
    h.HeadSize = LoadU32(raw + 8);
    h.CRC = LoadU32(raw + 12);
    if (std::memcmp(raw, "mkMine", 6) == 0)
        h.Lite = 0;
    else if (std::memcmp(raw, "mkLite", 6) == 0)
        h.Lite = 1;
    else
        h.Lite = -1;

    if (!verbose_) return;
    char line[96];
    std::snprintf(line, sizeof line, " Ver=%.4X HeadSize=%.8X CRC=%.8X Lite=%d\n",
                  static_cast<unsigned>(h.Ver), static_cast<unsigned>(h.HeadSize),
                  static_cast<unsigned>(h.CRC), h.Lite);
    console_ << "Sign=";
    console_.write(h.Sign.data(), static_cast<std::streamsize>(h.Sign.size()));
    console_ << line;
    if (h.Lite == 1) console_ << "Dromlek Lite file!\n";
    if (h.Lite == 0) console_ << "Dromlek file!\n";
}

bool TMineReader::GetTag(TTag& tag) {
    uint8_t raw[TagHeaderSize] = {};
    const size_t got = std::min(TagHeaderSize, file_.size() - pos_);
    if (got > 0) std::memcpy(raw, file_.data() + pos_, got);
    pos_ += got;
    tag.Tag = LoadU16(raw);
    tag.Size = LoadU32(raw + 2);
    tag.Extra = LoadU32(raw + 6);
    if (verbose_) {
        char line[48];
        std::snprintf(line, sizeof line, "TAG: %.4X %.8X %.8X ", static_cast<unsigned>(tag.Tag),
                      static_cast<unsigned>(tag.Size), static_cast<unsigned>(tag.Extra));
        console_ << line;
    }
    // A header cut short, or one with nothing after it, ends the records.
    const bool atEnd = got < TagHeaderSize || pos_ >= file_.size();
    if (atEnd && verbose_) console_ << '\n';
    return !atEnd;
}

int TMineReader::SmartRead(const char* name, size_t len, TBytes& body) {
    if (verbose_) console_ << "Create " << name << "...\n";
    const size_t got = std::min(len, file_.size() - pos_);
    body = file_.subspan(pos_, got);
    pos_ += got;
    if (got < len) {
        console_ << "Error reading file (" << name << ")!\n";
        return 1;
    }
    if (verbose_) {
        if (len == 0)
            console_ << "Zero length... Skip...\n";
        else
            console_ << "Read in file " << got << " bytes!\n";
    }
    return 0;
}

bool TMineReader::ReportError(const char* name) {
    console_ << "Error reading file (" << name << ")!\n";
    return false;
}

void TMineReader::CreateNodes(size_t n) {
    TMineTables& t = tables_;
    Resize(t.NodeNumbers, n);
    Resize(t.NodeX, n);
    Resize(t.NodeY, n);
    Resize(t.NodeAlt, n);
    Resize(t.NodeExit, n);
    Resize(t.NodeSurf, n);
    t.NodesCreated = true;
}

void TMineReader::CreateBranches(size_t n) {
    TMineTables& t = tables_;
    for (auto* table : {&t.BrNumbers, &t.BrStartN, &t.BrEndN, &t.BrLen, &t.BrPla, &t.BrPeople,
                        &t.BrTag, &t.BrView, &t.BrPosDGS})
        Resize(*table, n);
    for (auto* table : {&t.BrType, &t.BrFresh, &t.BrLayer}) Resize(*table, n);
    Resize(t.BrPLAColors, n);
    for (auto* table :
         {&t.BrResist, &t.BrAuxDepr, &t.BrAirDebt, &t.BrAlpha, &t.BrStartTemperature,
          &t.BrEndTemperature, &t.BrSquare, &t.BrHeight, &t.BrAngle, &t.BrDepr, &t.BrQtr,
          &t.BrFixDepr, &t.BrResistZkr, &t.BrHmes, &t.BrQmes, &t.BrQnorm, &t.BrVmin, &t.BrVmax})
        Resize(*table, n);
    for (auto* texts : {&t.BrNames, &t.BrCableCell, &t.BrDeGazeCell, &t.BrFireWaterCell})
        texts->clear();
    t.BranchesCreated = true;
}

bool TMineReader::ReadCountTag(const TTag& tag, bool nodes) {
    const size_t n = tag.Size / 2;
    TBytes body;
    // The count is only trusted once its numbers were found in the file.
    if (SmartRead(TagName(tag.Tag), n * 2, body)) return false;
    if (nodes)
        CreateNodes(n);
    else
        CreateBranches(n);
    auto& numbers = nodes ? tables_.NodeNumbers : tables_.BrNumbers;
    for (size_t i = 0; i < n; ++i) numbers[i] = LoadU16(body.data() + 2 * i);
    return true;
}

template <class T>
bool TMineReader::ReadArray(const TTag& tag, std::vector<T>& table, bool nodeTable) {
    const char* name = TagName(tag.Tag);
    const bool created = nodeTable ? tables_.NodesCreated : tables_.BranchesCreated;
    // Before its count tag an array has nowhere to go.
    if (!created && tag.Size > 0) return ReportError(name);
    TBytes body;
    if (SmartRead(name, table.size() * FileSize<T>(), body)) return false;
    for (size_t i = 0; i < table.size(); ++i) table[i] = Load<T>(body.data() + i * FileSize<T>());
    return true;
}

bool TMineReader::ReadNodeLogical(const TTag& tag) {
    const char* name = TagName(tag.Tag);
    if (!tables_.NodesCreated && tag.Size > 0) return ReportError(name);
    TBytes body;
    if (SmartRead(name, tables_.NodeCount() * 2, body)) return false;
    for (size_t i = 0; i < tables_.NodeCount(); ++i) {
        const uint16_t v = LoadU16(body.data() + 2 * i);
        tables_.NodeExit[i] = v & 1;
        tables_.NodeSurf[i] = (v >> 1) & 1;
    }
    return true;
}

bool TMineReader::ReadText(const TTag& tag) {
    TBytes body;
    if (SmartRead(TagName(tag.Tag), tag.Size, body)) return false;
    std::string text = CString(body);
    const int32_t key = static_cast<int32_t>(tag.Extra) >> 16;
    int32_t slot = key;
    TTextTable* table = nullptr;
    switch (tag.Tag) {
    case 26:
        ReplaceQuotes(text);
        slot = key - 1;
        table = &tables_.BrNames;
        break;
    case 49:
        table = &tables_.BrCableCell;
        break;
    case 50:
        table = &tables_.BrDeGazeCell;
        break;
    default:
        table = &tables_.BrFireWaterCell;
        break;
    }
    // A slot outside the table has no place; the text is dropped.
    if (slot >= 0 && slot < TextSlotCount) (*table)[slot] = std::move(text);
    return true;
}

bool TMineReader::ReadMineInfo(const TTag& tag) {
    TBytes body;
    if (SmartRead(TagName(tag.Tag), MineInfoSize, body)) return false;
    const uint8_t* p = body.data();
    TMineInfo& info = tables_.MineInfo;
    info.Name = FieldText(p, 0, 69);
    info.Value70 = LoadI32(p + 70);
    info.Value74 = LoadI32(p + 74);
    info.Text = FieldText(p, 110, 255);
    // The importer takes both texts between double quotes.
    ReplaceQuotes(info.Name);
    ReplaceQuotes(info.Text);
    return true;
}

template <class TRecord, class TDecode>
bool TMineReader::ReadRecords(const TTag& tag, size_t recordSize, std::vector<TRecord>& list,
                              TDecode decode) {
    TBytes body;
    if (SmartRead(TagName(tag.Tag), tag.Size, body)) return false;
    const size_t count = body.size() / recordSize;
    list.clear();
    list.reserve(count);
    for (size_t i = 0; i < count; ++i) list.push_back(decode(body.data() + i * recordSize));
    return true;
}

bool TMineReader::ReadBody(const TTag& tag) {
    TMineTables& t = tables_;
    switch (tag.Tag) {
    case 1:
        return ReadCountTag(tag, true);
    case 2:
        return ReadArray(tag, t.NodeX, true);
    case 3:
        return ReadArray(tag, t.NodeY, true);
    case 4:
        return ReadArray(tag, t.NodeAlt, true);
    case 5:
        return ReadArray(tag, t.NodeExit, true);
    case 6:
        return ReadArray(tag, t.NodeSurf, true);
    case 7:
        return ReadCountTag(tag, false);
    case 8:
        return ReadArray(tag, t.BrStartN, false);
    case 9:
        return ReadArray(tag, t.BrEndN, false);
    case 10:
        return ReadArray(tag, t.BrLen, false);
    case 11:
        return ReadArray(tag, t.BrPla, false);
    case 12:
        return ReadArray(tag, t.BrPeople, false);
    case 13:
        return ReadArray(tag, t.BrResist, false);
    case 14:
        return ReadArray(tag, t.BrAuxDepr, false);
    case 15:
        return ReadArray(tag, t.BrAirDebt, false);
    case 16:
        return ReadArray(tag, t.BrAlpha, false);
    case 17:
        return ReadArray(tag, t.BrStartTemperature, false);
    case 18:
        return ReadArray(tag, t.BrEndTemperature, false);
    case 19:
        return ReadArray(tag, t.BrSquare, false);
    case 20:
        return ReadArray(tag, t.BrHeight, false);
    case 21:
        return ReadArray(tag, t.BrAngle, false);
    case 22:
        return ReadArray(tag, t.BrTag, false);
    case 23:
        return ReadArray(tag, t.BrView, false);
    case 24:
        return ReadArray(tag, t.BrType, false);
    case 25:
        return ReadArray(tag, t.BrPosDGS, false);
    case 26:
    case 49:
    case 50:
    case 51:
        return ReadText(tag);
    case 27:
        return ReadArray(tag, t.BrFresh, false);
    case 28:
        return ReadArray(tag, t.BrPLAColors, false);
    case 29:
        return ReadArray(tag, t.BrDepr, false);
    case 30:
        return ReadArray(tag, t.BrQtr, false);
    case 31:
        return ReadRecords(tag, 10, t.BrTurn, [](const uint8_t* p) {
            return TBrTurn{LoadU16(p), LoadI32(p + 2), LoadI32(p + 6)};
        });
    case 32:
        return ReadMineInfo(tag);
    case 33:
        return ReadRecords(tag, 68, t.MineLayer, [](const uint8_t* p) {
            return TMineLayer{FieldText(p, 0, 63), LoadI32(p + 64)};
        });
    case 34:
        return ReadNodeLogical(tag);
    case 35:
        return ReadRecords(tag, 38, t.FanList, [](const uint8_t* p) {
            return TFanRecord{FieldText(p, 0, 33), LoadU16(p + 34), static_cast<int8_t>(p[36]),
                              static_cast<int8_t>(p[37])};
        });
    case 36:
        return ReadArray(tag, t.BrLayer, false);
    case 37:
        return ReadArray(tag, t.BrFixDepr, false);
    case 38:
        return ReadArray(tag, t.BrResistZkr, false);
    case 39:
        return ReadArray(tag, t.BrHmes, false);
    case 40:
        return ReadArray(tag, t.BrQmes, false);
    case 41:
        return ReadArray(tag, t.BrQnorm, false);
    case 43:
        return ReadRecords(tag, 12, t.PLALabels, [](const uint8_t* p) {
            return TPlaLabel{LoadI32(p), LoadI32(p + 4), LoadI32(p + 8)};
        });
    case 44: {
        const bool ok = ReadRecords(tag, 24, t.Phone, [](const uint8_t* p) {
            // Digits are kept byte for byte: they are written one character each.
            const size_t length = std::min<size_t>(p[8], 15);
            return TPhone{LoadI32(p), LoadI32(p + 4), std::string(p + 9, p + 9 + length)};
        });
        if (verbose_) console_ << "PhoneCount=" << t.Phone.size() << '\n';
        return ok;
    }
    case 45:
        return ReadArray(tag, t.BrVmin, false);
    case 46:
        return ReadArray(tag, t.BrVmax, false);
    case 47:
        return ReadRecords(tag, 6, t.PhoneOld, [](const uint8_t* p) {
            return TPhoneOld{LoadI32(p), LoadU16(p + 4)};
        });
    case 48:
        return ReadRecords(tag, 19, t.LinkList, [](const uint8_t* p) {
            return TLink{LoadI32(p), LoadI32(p + 4), FieldText(p, 8, 10)};
        });
    case 55:
        return ReadRecords(tag, 32, t.BranchPhone, [](const uint8_t* p) {
            return TBranchPhone{LoadI32(p), LoadI32(p + 4), LoadI32(p + 8), LoadI32(p + 12),
                                FieldText(p, 16, 15)};
        });
    default: {
        // "Symbol place" and unknown tags: read and dropped. A body cut short
        // fails the run as any other does: a file that is no mine file (a
        // drawing picked by mistake) must not pass for a converted one.
        TBytes body;
        return SmartRead(TagName(tag.Tag), tag.Size, body) == 0;
    }
    }
}

} // namespace halvard
