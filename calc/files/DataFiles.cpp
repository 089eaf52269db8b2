#include "calc/files/DataFiles.h"

#include "calc/files/NetworkDataText.h"
#include "calc/model/FlowUnits.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

namespace {

// A line of a data file: its tag and the record after the tag and the
// separator that follows it.
struct TRecordLine {
    char tag;
    std::string rest;
};

// Empty lines carry no record (a file may end in two line ends).
bool ReadRecordLines(const std::string& fileName, std::vector<TRecordLine>& records) {
    std::vector<std::string> lines;
    if (!ReadDataLines(fileName, lines)) return false;
    for (const std::string& line : lines)
        if (!line.empty()) records.push_back({line[0], line.size() > 2 ? line.substr(2) : ""});
    return true;
}

// A cell as a field of a line file: ';' would split it and a line break
// would end the record.
void AppendField(std::string& out, std::string_view cell) {
    for (char ch : cell) {
        if (ch == ';')
            out += ',';
        else if (ch == '\r' || ch == '\n')
            out += ' ';
        else
            out += ch;
    }
    out += ';';
}

// A name as the whole rest of a line.
std::string LineText(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

std::string RowLine(std::string_view tag, const TModGrid& grid, int row, int colCount) {
    std::string line(tag);
    for (int col = 0; col < colCount; ++col) AppendField(line, grid.Cells(col, row));
    return line;
}

// The flow unit a ".rev" branch line names: past the 23 columns of the
// branch table and the copy of column 9 at the least.
constexpr int kReverseUnitField = 24;

int FlowUnitOf(const TCalcOptions& o) {
    return o.FlowUnit == 60 ? 60 : 1;
}

std::string UnitName(int unit) {
    return Ru(unit == 60 ? "м3/мин" : "м3/с");
}

// 1 or 60 for a unit's name, 0 for any other text.
int UnitOfName(std::string_view text) {
    return text == UnitName(1) ? 1 : text == UnitName(60) ? 60 : 0;
}

} // namespace

bool ReadDataLines(const std::string& fileName, std::vector<std::string>& lines) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes) && !ReadFileBytes(fileName, bytes)) return false;
    lines = SplitLines(bytes);
    return true;
}

bool LoadNetworkData(const std::string& fileName, TNetworkTables& t, TCalcContext& c) {
    std::vector<TRecordLine> records;
    if (!ReadRecordLines(fileName, records)) return false;
    c.DataLoadedFlag = 1;
    TTableRecordReader rows(t, c);
    for (const auto& [tag, text] : records) {
        std::string_view rest = text;
        switch (tag) {
        case 'A':
            t.NameSh = rest;
            break;
        case 'B':
            t.NameVar = rest;
            break;
        case 'U':
            t.UzPov = rest;
            break;
        case 'C':
            // The options follow "C; "; a line written without that blank
            // keeps its first character.
            if (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
            ReadOptionFields(SplitFields(rest), t, c.CalcOptions);
            break;
        default:
            if (!rows.Row(tag, rest))
                MessageBox(Ru("Нверный формат файла"), "", TMsgButtons::Ok, TMsgIcon::Information);
            break;
        }
    }
    rows.Finish();
    return true;
}

bool LoadIdsTable(const std::string& fileName, TNetworkTables& t, TCalcOptions& options) {
    std::vector<std::string> lines;
    if (!ReadDataLines(fileName, lines) || lines.empty()) return false;
    if (!lines[0].empty()) options[5] = lines[0][0];
    TModGrid& grid = t.TablID;
    grid.BeginUpdate();
    grid.ClearAll();
    int colCount = 0;
    for (size_t r = 1; r < lines.size(); ++r) {
        auto fields = SplitFields(lines[r]);
        for (size_t col = 0; col < fields.size(); ++col)
            grid.SetCells(static_cast<int>(col), static_cast<int>(r - 1), fields[col]);
        // Rows written here all have the same fields; a cut last line must
        // not hide the columns of the rows above it.
        colCount = std::max(colCount, static_cast<int>(fields.size()));
    }
    grid.SetRowCount(static_cast<int>(lines.size()) - 1);
    grid.SetColCount(colCount);
    grid.EndUpdate();
    return true;
}

bool SaveIdTable(const std::string& fileName, TNetworkTables& t, TCalcOptions& options) {
    TTextFileWriter out(fileName);
    out.WriteLine(std::string(1, options[5]));
    const TModGrid& grid = t.TablID;
    for (int r = 0; r < grid.RowCount(); ++r)
        if (!grid.Cells(0, r).empty()) out.WriteLine(RowLine("", grid, r, grid.ColCount()));
    if (!out.Commit()) return false;
    options[3] = 'N';
    t.TablID.Modified = false;
    return true;
}

bool LoadReverseData(const std::string& fileName, TNetworkTables& t) {
    std::vector<TRecordLine> records;
    if (!ReadRecordLines(fileName, records)) return false;
    const int unit = FlowUnitOf(t.CalcContext().CalcOptions);
    // A file without the unit was written in the unit of its data set.
    int fileUnit = unit;
    int branchRow = 1, fanRow = 1;
    for (const auto& [tag, rest] : records) {
        if (tag == 'A') {
            t.NameSh = rest;
        } else if (tag == 'B') {
            t.NameVarAv = rest;
        } else if (tag == 'D') {
            StoreRowFields(t.TablDanRev, ++branchRow, rest);
            const std::vector<std::string> fields = SplitFields(rest);
            const int last = static_cast<int>(fields.size()) - 1;
            // The unit follows the copy of column 9, beyond every column.
            if (last >= kReverseUnitField && UnitOfName(fields[last]) != 0) {
                fileUnit = UnitOfName(fields[last]);
                t.TablDanRev.SetCells(last, branchRow, "");
            }
        } else if (tag == 'V') {
            StoreRowFields(t.TablVenRev, ++fanRow, rest);
        } else {
            // Not a reverse-mode file after all (or a DOS end-of-file byte):
            // stop. The counts stay when no row was read; rows already read
            // are shown, so a save keeps them.
            if (branchRow == 1 && fanRow == 1) return true;
            break;
        }
    }
    // The rows read mean in the data set's unit what they meant in the file's.
    RewriteReverseRowsInUnit(t.TablDanRev, t.TablVenRev, branchRow, fanRow, fileUnit, unit);
    t.TablDanRev.SetRowCount(branchRow + 1);
    t.TablVenRev.SetRowCount(fanRow + 1);
    return true;
}

bool SaveReverseData(const std::string& fileName, TNetworkTables& t) {
    TTextFileWriter out(fileName);
    out.WriteLine("A;" + LineText(t.NameSh));
    out.WriteLine("B;" + LineText(t.NameVarAv));
    const TModGrid& dan = t.TablDanRev;
    for (int r = FirstDataRow; r < dan.RowCount(); ++r) {
        if (dan.Cells(0, r).empty()) continue;
        std::string line = RowLine("D;", dan, r, dan.ColCount());
        // The computed regulator resistance once more, after every column,
        // and the unit of the flows, which readers before it leave unseen.
        AppendField(line, dan.Cells(9, r));
        AppendField(line, UnitName(FlowUnitOf(t.CalcContext().CalcOptions)));
        out.WriteLine(line);
    }
    const TModGrid& ven = t.TablVenRev;
    for (int r = FirstDataRow; r < ven.RowCount(); ++r)
        if (!ven.Cells(0, r).empty()) out.WriteLine(RowLine("V;", ven, r, 8));
    if (!out.Commit()) return false;
    t.TablDanRev.Modified = false;
    t.TablVenRev.Modified = false;
    return true;
}

} // namespace arv
