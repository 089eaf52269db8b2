// Written documents read back through the zip reader and the XML reader, in
// the terms the tests check: tables, cells, widths, borders, titles.
#pragma once

#include "XmlLite.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace arv::test {

struct TDocxCellRead {
    std::string Text; // UTF-8; a tab element reads as TAB
    bool Bold = false;
    std::string Align;      // "left", "center", "right"
    int SizeHalfPoints = 0; // 0: the document's size
};

struct TDocxTableRead {
    std::vector<int> GridTwips;
    int CellMarginTwips = 0; // on the left of each cell
    std::vector<std::vector<TDocxCellRead>> Rows;
};

struct TDocxParagraphRead {
    std::string Text;
    std::string Align;
    bool AnyBold = false;
    int SizeHalfPoints = 0; // of the first run that sets one
};

struct TDocxRead {
    bool Ok = false;
    std::vector<std::string> Parts;
    std::vector<TDocxParagraphRead> Paragraphs; // outside tables, in order
    std::vector<TDocxTableRead> Tables;
    // Blocks in order: 'p' paragraph, 't' table.
    std::string Order;
    int PageW = 0, PageH = 0, MarginLeft = 0, MarginRight = 0;
    std::string Orient;
    int DefaultSizeHalfPoints = 0;
};

TDocxRead ReadDocx(const std::string& fileName);

struct TXlsxCellRead {
    bool IsNumber = false;
    std::string Text; // UTF-8
    double Number = 0;
    std::string Left, Top, Right, Bottom; // border styles, "" for none
    std::string HAlign, VAlign;
    bool Wrap = false;
};

struct TXlsxRead {
    bool Ok = false;
    std::string SheetName;
    std::string PrintTitles; // value of the print titles name
    std::map<std::pair<int, int>, TXlsxCellRead> Cells;
    std::map<int, double> ColumnWidths;
    std::map<int, double> RowHeights;
    const TXlsxCellRead* At(int row, int col) const;
};

TXlsxRead ReadXlsx(const std::string& fileName);

} // namespace arv::test
