// Spreadsheet workbooks (".xlsx") of one sheet: cells holding a text or a
// number, per-cell borders, alignment and wrapping, column widths, row
// heights, print title rows and the sheet's name. Rows and columns count
// from 1 as the spreadsheet shows them; texts are CP1251. A text is always
// stored as text, so one that begins with "=" never becomes a formula.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace arv {

enum class TXlsxLine { None, Thin, Medium };
enum class TXlsxHAlign { General, Left, Center, Right };
enum class TXlsxVAlign { Bottom, Top, Center };

struct TXlsxStyle {
    TXlsxLine Left = TXlsxLine::None, Top = TXlsxLine::None, Right = TXlsxLine::None,
              Bottom = TXlsxLine::None;
    bool Wrap = false;
    TXlsxHAlign HAlign = TXlsxHAlign::General;
    TXlsxVAlign VAlign = TXlsxVAlign::Bottom;
    auto operator<=>(const TXlsxStyle&) const = default;
    bool IsDefault() const { return *this == TXlsxStyle{}; }
};

enum class TXlsxKind { Blank, Text, Number };

struct TXlsxCell {
    TXlsxKind Kind = TXlsxKind::Blank;
    std::string Value; // CP1251 text
    double Number = 0;
    TXlsxStyle Style;
};

struct TXlsxSheet {
    std::string Name;                               // CP1251; "" gives "Лист1"
    std::map<std::pair<int, int>, TXlsxCell> Cells; // (row, column)
    std::map<int, double> ColumnWidths;             // character units
    std::map<int, double> RowHeights;               // points
    // Rows repeated at the top of every printed page; 0 for none.
    int PrintTitleFirst = 0, PrintTitleLast = 0;

    TXlsxCell& Cell(int row, int column) { return Cells[{row, column}]; }
    const TXlsxCell* Find(int row, int column) const;
};

// Default width of a column and height of a row in a new sheet.
constexpr double XlsxDefaultColumnWidth = 8.43;
constexpr double XlsxDefaultRowHeight = 15;
// Longest text a cell can hold.
constexpr size_t XlsxMaxTextLength = 32767;

// Writes the workbook atomically; false with errorText on failure.
bool WriteXlsx(const TXlsxSheet& sheet, const std::string& fileName,
               std::string* errorText = nullptr);

} // namespace arv
