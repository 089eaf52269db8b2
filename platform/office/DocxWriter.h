// Word-processor documents in the Office Open XML package (".docx"): a page
// set-up, paragraphs of runs and tables with fixed column widths. Text is
// CP1251 like all program text; the writer turns it into UTF-8. Sizes are in
// points, as the word processor's own settings are given.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace arv {

enum class TDocxAlign { Left, Center, Right };

struct TDocxRun {
    std::string Text; // CP1251; TAB and LF become a tab and a line break
    bool Bold = false;
    double FontSize = 0; // points; 0 keeps the document's size
};

struct TDocxParagraph {
    std::vector<TDocxRun> Runs;
    TDocxAlign Align = TDocxAlign::Left;
};

struct TDocxCell {
    std::string Text; // CP1251
    TDocxAlign Align = TDocxAlign::Left;
    bool Bold = false;
    double FontSize = 0; // points; 0 keeps the document's size
};

struct TDocxTable {
    std::vector<double> ColumnWidths; // points, one per column
    double CellMargin = 5.4;          // points, inside each cell on the left and the right
    // Rows shorter than the column count are filled with empty cells.
    std::vector<std::vector<TDocxCell>> Rows;
};

// A paragraph or, when IsTable, a table.
struct TDocxBlock {
    bool IsTable = false;
    TDocxParagraph Paragraph;
    TDocxTable Table;
    TDocxBlock(TDocxParagraph p) : Paragraph(std::move(p)) {}
    TDocxBlock(TDocxTable t) : IsTable(true), Table(std::move(t)) {}
};

struct TDocxDocument {
    // A4, portrait unless Landscape (the sides are then swapped).
    double PageWidth = 595.3, PageHeight = 841.9;
    bool Landscape = false;
    double LeftMargin = 85.05, RightMargin = 42.55, TopMargin = 56.7, BottomMargin = 56.7;
    std::string FontName = "Times New Roman";
    double FontSize = 12;
    std::vector<TDocxBlock> Body;

    // Width of the text between the side margins.
    double TextWidth() const;
};

// The main part (word/document.xml) as UTF-8 XML.
std::string DocxDocumentXml(const TDocxDocument& doc);
// Writes the whole package atomically; false with errorText on failure.
bool WriteDocx(const TDocxDocument& doc, const std::string& fileName,
               std::string* errorText = nullptr);

} // namespace arv
