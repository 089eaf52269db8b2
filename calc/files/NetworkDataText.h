// The network data text: the network tables as one string of tagged records,
// the form in which they travel inside the drawing file. Each record is a tag,
// ';', fields each followed by ';', and '#'; the writer ends the text with one
// more '#'. The older data file carries the same records one per line, so the
// row reading and the option fields are shared with its reader.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>
#include <string_view>
#include <vector>

namespace arv {

// The text of the current tables and fields; the tables are not changed.
// ';' and '#' inside a cell or a name would end a field or a record, so they
// are written as ',' and '№'. A stored route row keeps the cells it was read
// with beyond its table's columns.
std::string BuildNetworkDataText(const TNetworkTables& t, const TCalcContext& c);

// A cell or name as the text stores it, and so as it reads back.
std::string DataTextField(std::string_view text);

// Empties the branch, fan and node tables and the surface node list, then
// fills the tables, the fields and the options from the text. Never fails:
// unknown records are skipped and missing option fields take defaults. With
// at least three branch records the tables are read into the calculation
// arrays at once, which may show the calculation's messages.
void ParseNetworkDataText(const std::string& text, TNetworkTables& t, TCalcContext& c);

// The fields of a record: the text before each ';'. Text after the last ';'
// is no field.
std::vector<std::string> SplitFields(std::string_view body);

// The option fields 3 to 12 of the general record: flow unit, the five
// option letters and the four temperature and pressure texts. fields[0] is
// field 3. A field that is missing gives the option's default or leaves the
// text field as it is.
void ReadOptionFields(const std::vector<std::string>& fields, TNetworkTables& t,
                      TCalcOptions& options);
// Flow unit field: its first two characters as an integer; 60 stays, any
// other text gives 1.
uint8_t ReadFlowUnitField(std::string_view field);
// Option letter field: blanks dropped, the first character or the default.
char ReadLetterField(std::string_view field, char def);

// Reads table rows record by record into the tables, as the data text and
// the older data file both do. Construction empties the branch, fan and node
// tables and the surface node list; Finish sets the row counts and reads the
// branch table into the calculation arrays when it holds three branches.
class TTableRecordReader {
public:
    TTableRecordReader(TNetworkTables& t, TCalcContext& c);
    ~TTableRecordReader();
    TTableRecordReader(const TTableRecordReader&) = delete;
    TTableRecordReader& operator=(const TTableRecordReader&) = delete;
    // A row record ('D', 'V', 'N', 'M', 'S'); false for any other tag.
    bool Row(char tag, std::string_view body);
    void Finish();

private:
    TNetworkTables& t_;
    TCalcContext& c_;
    int branchRow_ = 1, fanRow_ = 1, nodeRow_ = 1, minersRow_ = 0, rescueRow_ = 0;
    bool updating_ = true;
    void EndUpdates();
};

// Puts the fields of a row record into one grid row, from column 0 on, also
// beyond the column count. A body without ';' leaves the row as it is.
void StoreRowFields(TModGrid& grid, int row, std::string_view body);

// The work list, the counters, types and fan curves that the branch table
// reader adds to or sets only for the branches it reads start from zero, so
// that a data set read after another one inherits nothing of it.
void ResetBranchWorkList(TCalcContext& c);

} // namespace arv
