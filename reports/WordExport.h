// The seven Word reports as word-processor documents: the text that the
// clipboard gets, the lines before the table as paragraphs, the table with
// its column widths and alignment, and the title of the two summaries.
#pragma once

#include "reports/ReportTexts.h"

#include "calc/model/CalcModel.h"
#include "calc/window/WindowHosts.h"
#include "platform/office/DocxWriter.h"

#include <string>
#include <vector>

namespace arv {

// How one report's table is laid out on the page. Column numbers count
// from 1 as the word processor counts them.
struct TWordTableFormat {
    bool Landscape = false;
    double RightMargin = 30, LeftMargin = 50; // points
    std::vector<double> ColumnWidths;         // points, column 1 first
    // Width of the columns after those listed; 0 shares the rest of the text
    // width out evenly.
    double FurtherWidth = 0;
    bool DataRowsRight = false;
    int LeftColumn = 0; // 0: none
    std::vector<int> RightColumns;
    bool HeadingBold = true;
    double HeadingSize = 0;  // points; 0 keeps the document's size
    double CellMargin = 5.4; // points, inside each cell on the left and the right
};

struct TWordReport {
    TDocxDocument Document;
    // What the clipboard holds after the export.
    std::string ClipboardText;
};

// The text pasted into a new document, split at the 0-based character
// positions where the table starts and ends (-1 for no end). A start of -1
// (its marker missing) gives paragraphs only, no table. The title range, when
// titleStart is not below 0, is centred and set in 12 points, bold or not.
struct TWordTextLayout {
    std::string Text;
    int TableStart = -1;
    int TableEnd = -1;
    int TitleStart = -1, TitleEnd = -1;
    bool TitleBold = false;
};

// A document from a pasted text and the table format.
TDocxDocument WordDocumentFromText(const TWordTextLayout& layout, const TWordTableFormat& format);
// A document from lead lines and table rows kept as rows.
TDocxDocument WordDocumentFromRows(const std::string& lead, const std::vector<TReportRow>& rows,
                                   int columnCount, const TWordTableFormat& format);

// The report of each menu item; the sources are the tables, the prepared
// texts of the calculation and the general table's column choice.
TWordReport WordReportMainTable(const TNetworkTables& t, const TReportColumns& columns);
TWordReport WordReportConsumers(const TNetworkTables& t);
TWordReport WordReportFans(const TNetworkTables& t);
TWordReport WordReportNodePressure(const TNetworkTables& t, const TCalcContext& c);
TWordReport WordReportBranchStability(const TCalcContext& c);
TWordReport WordReportFireStability(const TCalcContext& c);
TWordReport WordReportDeviceStability(const TCalcContext& c);

TWordReport BuildWordReport(TOfficeReport report, const TNetworkTables& t, const TCalcContext& c,
                            const TReportColumns& columns);

} // namespace arv
