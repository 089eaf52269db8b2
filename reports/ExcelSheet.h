// What the spreadsheet did with the report tables, done on a sheet model:
// a pasted text becomes cells (numbers where the Russian setting reads a
// number, texts otherwise), and blocks of cells get borders, widths, heights
// and alignment. Rows and columns count from 1.
#pragma once

#include "reports/ReportTexts.h"

#include "platform/office/XlsxWriter.h"

#include <string>
#include <string_view>
#include <vector>

namespace arv {

// A block of cells between two corners; corners given the wrong way round
// are put in order, as the spreadsheet's ranges are.
struct TCellBlock {
    int Top, Left, Bottom, Right;
    TCellBlock(int top, int left, int bottom, int right);
};

// A pasted cell that the spreadsheet, set to Russian, would read as a number:
// optional blanks, an optional sign, digits with a decimal comma, an
// optional exponent. Anything else ("1.5", "=SUM(A1)", "12a") stays text.
bool PastedNumber(std::string_view cell, double& value);

class TExcelSheetBuilder {
public:
    explicit TExcelSheetBuilder(TXlsxSheet& sheet) : s_(sheet) {}

    // The rows go in from (row, column) on, whatever size the block it was
    // pasted into; empty cells stay empty. A cell becomes a number only in
    // a column that holds numbers (`numbers[i]` for the i-th column pasted;
    // the columns after the last one given hold words): a list of branches
    // " 13,14" or a name stays text.
    void Paste(int row, int column, const std::vector<TReportRow>& rows,
               const std::vector<bool>& numbers);
    // A value put as a text.
    void SetText(int row, int column, const std::string& text);

    // Medium left, top, bottom and right edges, thin inside vertical lines.
    void Frame(const TCellBlock& b);
    void BottomEdge(const TCellBlock& b, TXlsxLine line);
    void InsideHorizontal(const TCellBlock& b, TXlsxLine line);
    // Widths fitted to the longest content of each column inside the block.
    void AutoFitColumns(const TCellBlock& b);
    void ColumnWidth(const TCellBlock& b, double width);
    void RowHeight(const TCellBlock& b, double height);
    void WrapText(const TCellBlock& b);
    void HorizontalAlignment(const TCellBlock& b, TXlsxHAlign align);
    void VerticalAlignment(const TCellBlock& b, TXlsxVAlign align);
    void PrintTitleRows(int first, int last);
    void SetName(const std::string& name);

private:
    template <class F> void ForEach(const TCellBlock& b, F f);
    TXlsxSheet& s_;
};

} // namespace arv
