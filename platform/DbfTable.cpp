#include "DbfTable.h"

#include "Cp1251.h"
#include "Cp866.h"
#include "Files.h"

#include <shapefil.h>

#include <system_error>

namespace arv {

namespace {

// shapelib reports through a hook without a context pointer; the reader is
// used from the interface thread only.
thread_local std::string lastShapelibError;

void CaptureError(const char* message) {
    lastShapelibError = message ? message : "";
}

struct TDbfCloser {
    DBFHandle h;
    ~TDbfCloser() {
        if (h) DBFClose(h);
    }
};

} // namespace

bool DbfCodePageIs866(int languageDriver, std::string_view codePage) {
    // Language driver ids 0x26 and 0x65 are the Russian DOS drivers.
    if (languageDriver == 0x26 || languageDriver == 0x65) return true;
    if (codePage == "LDID/38" || codePage == "LDID/101") return true;
    std::string cp = UpperCase(Trim(codePage));
    return cp == "866" || cp == "CP866" || cp == "IBM866" || cp == "OEM866" || cp == "DOS866";
}

bool TDbfTable::Open(std::string_view fileName, std::string* errorText) {
    auto fail = [&](std::string_view utf8Why) {
        if (errorText)
            *errorText = Ru("Не удалось прочитать таблицу dBASE ") + std::string(fileName) + ": " +
                         Ru(utf8Why);
        return false;
    };
    std::error_code ec;
    auto path = NativePath(fileName);
    auto fileSize = std::filesystem::file_size(path, ec);
    if (ec) return fail("файл не открывается");

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = CaptureError;
    lastShapelibError.clear();
    TDbfCloser dbf{DBFOpenLL(path.string().c_str(), "rb", &hooks)};
    if (!dbf.h) return fail("это не таблица dBASE или она повреждена");

    const int recordCount = DBFGetRecordCount(dbf.h);
    const int fieldCount = DBFGetFieldCount(dbf.h);
    // The header's counts are checked against the file before a record is
    // read: a truncated table is refused as a whole.
    const auto needed = static_cast<unsigned long long>(dbf.h->nHeaderLength) +
                        static_cast<unsigned long long>(recordCount) *
                            static_cast<unsigned long long>(dbf.h->nRecordLength);
    if (recordCount < 0 || fieldCount <= 0 || needed > fileSize)
        return fail("таблица короче, чем указано в ее заголовке");

    const char* codePage = DBFGetCodePage(dbf.h);
    const bool cp866 = DbfCodePageIs866(dbf.h->iLanguageDriver, codePage ? codePage : "");

    std::vector<TDbfField> fields;
    for (int i = 0; i < fieldCount; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(dbf.h, i, name, &width, &decimals);
        fields.push_back({name, DBFGetNativeFieldType(dbf.h, i), width, decimals});
    }

    std::vector<std::vector<TValue>> records;
    for (int r = 0; r < recordCount; ++r) {
        if (DBFIsRecordDeleted(dbf.h, r)) continue;
        std::vector<TValue> values(fieldCount);
        for (int i = 0; i < fieldCount; ++i) {
            const char* raw = DBFReadStringAttribute(dbf.h, r, i);
            if (!raw) return fail("запись не читается");
            values[i].Null = DBFIsAttributeNULL(dbf.h, r, i) != 0;
            std::string text = Trim(raw);
            values[i].Text = cp866 ? Cp866ToCp1251(text) : text;
        }
        records.push_back(std::move(values));
    }
    if (!lastShapelibError.empty()) return fail("запись не читается");

    fileName_ = std::string(fileName);
    fields_ = std::move(fields);
    records_ = std::move(records);
    cp866_ = cp866;
    active_ = true;
    return true;
}

void TDbfTable::Close() {
    active_ = false;
    cp866_ = false;
    fields_.clear();
    records_.clear();
}

int TDbfTable::FieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (AnsiSameText(fields_[i].Name, name)) return static_cast<int>(i);
    return -1;
}

const std::string& TDbfTable::Text(int record, int field) const {
    static const std::string empty;
    if (record < 0 || record >= RecordCount() || field < 0 ||
        field >= static_cast<int>(fields_.size()))
        return empty;
    return records_[record][field].Text;
}

bool TDbfTable::IsNull(int record, int field) const {
    if (record < 0 || record >= RecordCount() || field < 0 ||
        field >= static_cast<int>(fields_.size()))
        return true;
    return records_[record][field].Null;
}

} // namespace arv
