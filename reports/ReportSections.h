// The report's ready-made sections as fixed-width text ("!" between cells,
// rules of "-" round tables), the page splitting that numbers pages and
// repeats a table's head over a page end, and the lines that line printing
// sends. All work on CP1251 lines without line ends.
#pragma once

#include "calc/model/NetworkTables.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

using TLines = std::vector<std::string>;

// Columns 0 to 19 of the branch table that the general table may take.
constexpr int SectionColumnCount = 20;
using TSectionColumns = std::array<bool, SectionColumnCount>;
// Field widths of those columns.
extern const std::array<int, SectionColumnCount> SectionColumnWidths;

// A report may not reach this many characters.
constexpr size_t ReportSizeLimit = 3200000;
// "Отчет превышает 32К "
std::string ReportTooLargeMessage();

enum class TReportSection { Statistics, MainTable, Fans, Consumers, Pressure, Stability };

// Mine name, variant (or emergency variant when the calculation mode at
// option position 40 is not 'N'), branch and node counts.
TLines ComposeStatisticsSection(const TNetworkTables& t, char calcMode);
// The general table of one branch table; the emergency line stands first
// when the reverse-mode page is shown.
TLines ComposeMainTableSection(const TModGrid& table, const TSectionColumns& columns,
                               bool reversePage, std::string_view nameVarAv);
// The fans of one fan table with the names of their branches; names come
// from TablDan's column 15 at the row of the chosen branch table that holds
// the fan's branch number.
TLines ComposeFansSection(const TModGrid& branchTable, const TModGrid& fanTable,
                          const TModGrid& tablDan, bool reversePage, std::string_view nameVarAv);

// The text a menu item inserts, every line (the last too) ended by CR LF;
// nothing when the data window's page offers no table for it.
std::optional<std::string> SectionText(TReportSection section, const TNetworkTables& t,
                                       char calcMode, const TSectionColumns& columns);
// Whether the section may join a report of reportLength characters, and
// whether a refusal is told to the user.
bool SectionFits(size_t sectionLength, size_t reportLength);
bool SectionRefusalIsTold(TReportSection section);

// Lines per printed page for the base font size and the page scale; halves
// round to even (size 10 at scale 2.5 gives 67).
int LinesPerPage(double fontSize, double pageScale);
// Shortest page the splitting accepts: the page line, a repeated table
// head and at least one line of text must fit.
constexpr int MinLinesPerPage = 8;
std::string PageTooShortMessage(int linesPerPage);

// Splits the report into pages of linesPerPage lines: every "Стр." line is
// renumbered, a line holding only a form feed and a "Стр." line go in front
// of the line that would fill a page, and a table ("----" rule to rule)
// cut by a page end is closed by its rule and gets its rule and three head
// lines again on the new page.
// `inserted`, when given, tells for each line given back whether the
// splitting added it.
TLines PaginateReport(TLines lines, int linesPerPage, std::vector<bool>* inserted = nullptr);

// The two lines the page separator inserts: the form feed with "~", "Стр.".
TLines PageSeparatorLines();

// What line printing sends, line by line: a leading blank line, every report
// line behind six blanks, and before a line that begins with "#" a blank, a
// form feed and a blank line.
TLines LinePrintStream(const TLines& report);

// Lines ended by CR LF, as the scratch text of a section holds them.
std::string JoinLines(const TLines& lines);

} // namespace arv
