// The report tables as the office exports hand them over: rows of cells kept
// apart until the last step, so that a ';' or a TAB typed into a cell can
// never split a row, and the plain text they make on the clipboard (cells
// separated by TAB, or ';' in the Word form of the general table; rows ended
// by a single LF).
#pragma once

#include "calc/model/NetworkTables.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

// Columns 0 to 21 of the branch table that the general table takes.
constexpr int ReportColumnCount = 22;
using TReportColumns = std::array<bool, ReportColumnCount>;

using TReportRow = std::vector<std::string>;

struct TReportTable {
    // Mine name, variant name and title, each with its LF (Word forms only).
    std::string Lead;
    // Every table row, heading rows first.
    std::vector<TReportRow> Rows;
    // Chosen columns of the general table, counted over the last row built
    // (0 when there is no data row in the Word form).
    int ColumnCount = 0;
    // The whole text, lead lines included, as it goes to the clipboard.
    std::string Text;
    // Excel forms: per field, whether its column holds numbers. Only there
    // does a data cell take the decimal comma and become a number in the
    // sheet; headings, types and names stay as the table shows them.
    std::vector<bool> NumberColumns;
};

// Word forms: lead lines, one heading line (the two heading rows joined by a
// blank), the data rows. Column 0 is always taken, whatever its box says.
TReportTable BuildMainTableText(const TNetworkTables& t, const TReportColumns& columns);
TReportTable BuildConsumersText(const TNetworkTables& t);
TReportTable BuildFansText(const TNetworkTables& t);
// Excel forms: every grid row, the two heading rows as two rows; each number
// with a decimal comma.
TReportTable ExcelMainTableText(const TNetworkTables& t, const TReportColumns& columns);
TReportTable ExcelConsumersText(const TNetworkTables& t);
TReportTable ExcelFansText(const TNetworkTables& t);

// The clipboard holds exactly the text afterwards; an empty text leaves the
// clipboard as it was.
void CopyTextToClipboard(std::string_view text);

// A prepared report text as rows of cells: lines end at LF, cells at TAB. A
// last line without LF counts; nothing after a final LF does.
std::vector<TReportRow> SplitReportText(std::string_view text);
// Number of lines SplitReportText gives.
int ReportLineCount(std::string_view text);
// 0-based offset of the first occurrence of the marker (exact case); -1 when
// it does not occur.
int MarkerOffset(std::string_view text, std::string_view marker);

} // namespace arv
