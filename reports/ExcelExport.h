// The seven Excel reports as one-sheet workbooks: each filler pastes its
// table text into a new sheet, writes the names and titles, frames and
// formats the blocks and names the sheet, as the spreadsheet's own commands
// would have left it.
#pragma once

#include "reports/ReportTexts.h"

#include "calc/model/CalcModel.h"
#include "calc/window/WindowHosts.h"
#include "platform/office/XlsxWriter.h"

#include <string>

namespace arv {

struct TExcelReport {
    TXlsxSheet Sheet;
    // The text the filler put on the clipboard; empty when it did nothing.
    std::string ClipboardText;
    // The filler's message when its source was missing ("" otherwise).
    std::string Message;
};

TExcelReport ExcelFillMainTable(const TNetworkTables& t, const TReportColumns& columns);
TExcelReport ExcelFillFans(const TNetworkTables& t);
TExcelReport ExcelFillConsumers(const TNetworkTables& t);
TExcelReport ExcelFillNodePressure(const TNetworkTables& t, const TCalcContext& c);
TExcelReport ExcelFillBranchStability(const TNetworkTables& t, const TCalcContext& c);
TExcelReport ExcelFillFireStability(const TCalcContext& c);
TExcelReport ExcelFillDeviceStability(const TCalcContext& c);

TExcelReport BuildExcelReport(TOfficeReport report, const TNetworkTables& t, const TCalcContext& c,
                              const TReportColumns& columns);

} // namespace arv
