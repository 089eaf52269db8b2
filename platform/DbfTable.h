// dBASE tables read through shapelib's DBF reader. The whole table is read
// when it is opened, deleted records left out, every value kept as the text
// of its field in CP1251 (tables whose language driver or code page file says
// 866 are converted from DOS text).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arv {

struct TDbfField {
    std::string Name; // as stored, upper case in most files
    char Type = 'C';  // 'C', 'N', 'F', 'D', 'L', ...
    int Width = 0;
    int Decimals = 0;
};

class TDbfTable {
public:
    // False with a CP1251 message when the file cannot be read, is not a
    // dBASE table or holds fewer records than its header says; the table
    // then keeps what it had.
    bool Open(std::string_view fileName, std::string* errorText = nullptr);
    void Close();
    bool Active() const { return active_; }
    const std::string& FileName() const { return fileName_; }

    const std::vector<TDbfField>& Fields() const { return fields_; }
    // Without regard to letter case; -1 when the table has no such field.
    int FieldIndex(std::string_view name) const;
    // Live records: deleted ones are not counted.
    int RecordCount() const { return static_cast<int>(records_.size()); }
    // Trimmed text of a value; "" for an empty (NULL) one or indexes out of range.
    const std::string& Text(int record, int field) const;
    bool IsNull(int record, int field) const;
    // The table's texts were DOS text.
    bool WasCp866() const { return cp866_; }

private:
    struct TValue {
        std::string Text;
        bool Null = false;
    };
    bool active_ = false;
    bool cp866_ = false;
    std::string fileName_;
    std::vector<TDbfField> fields_;
    std::vector<std::vector<TValue>> records_;
};

// True when a language driver byte or code page text means CP866.
bool DbfCodePageIs866(int languageDriver, std::string_view codePage);

} // namespace arv
