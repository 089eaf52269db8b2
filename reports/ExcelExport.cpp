#include "reports/ExcelExport.h"

#include "reports/ExcelSheet.h"

#include "platform/Cp1251.h"

namespace arv {

namespace {

// The four network tables: names in A2 and A3, the title in B4, the table
// from row 5 with its two heading rows repeated on every printed page.
TExcelReport FillNetworkSheet(const TNetworkTables& t, const TReportTable& table, int rowCount,
                              int lastColumn, const char* titleUtf8, const char* sheetNameUtf8) {
    TExcelReport report;
    report.ClipboardText = table.Text;
    TExcelSheetBuilder b(report.Sheet);
    const int last = rowCount + 4;
    const int c = std::max(1, lastColumn);
    b.Paste(5, 1, table.Rows, table.NumberColumns);
    b.SetText(2, 1, t.NameSh);
    b.SetText(3, 1, t.NameVar);
    if (titleUtf8) b.SetText(4, 2, Ru(titleUtf8));
    const TCellBlock tableBlock(5, 1, last, c);
    b.AutoFitColumns(tableBlock);
    b.Frame(tableBlock);
    b.BottomEdge(TCellBlock(5, 1, 6, c), TXlsxLine::Medium);
    b.InsideHorizontal(TCellBlock(7, 1, last, c), TXlsxLine::Thin);
    b.PrintTitleRows(5, 6);
    b.SetName(Ru(sheetNameUtf8));
    return report;
}

// Count of complete lines plus one: the pressure text ends its heading line
// and every full line of pairs with LF.
int PressureRows(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

TReportTable PreparedText(const std::string& text) {
    TReportTable table;
    table.Rows = SplitReportText(text);
    table.Text = text;
    // Pairs of node numbers and pressures.
    table.NumberColumns.assign(8, true);
    return table;
}

// Which columns of the analyses' texts hold numbers: not the types, the
// names, the lists of reversed branches nor the changes given as "a/b".
using TNumbers = std::vector<bool>;
const TNumbers kBranchStabilityNumbers = {true, false, true, true, true, true, false, true};
const TNumbers kFireStabilityNumbers = {false, true, true, true, true, true, false};
const TNumbers kDeviceStabilityNumbers = {false, true, true, true, true};

} // namespace

TExcelReport ExcelFillMainTable(const TNetworkTables& t, const TReportColumns& columns) {
    TReportTable table = ExcelMainTableText(t, columns);
    return FillNetworkSheet(t, table, t.TablDan.RowCount(), table.ColumnCount, nullptr,
                            "Основная таблица");
}

TExcelReport ExcelFillFans(const TNetworkTables& t) {
    return FillNetworkSheet(t, ExcelFansText(t), t.TablVen.RowCount(), 8,
                            "Характеристика вентиляторов", "Вентиляторы");
}

TExcelReport ExcelFillConsumers(const TNetworkTables& t) {
    return FillNetworkSheet(t, ExcelConsumersText(t), t.TablPotr.RowCount(), 6, "Потребители",
                            "Потребители");
}

TExcelReport ExcelFillNodePressure(const TNetworkTables& t, const TCalcContext& c) {
    if (c.PressureText.empty()) {
        TExcelReport report;
        report.Message = Ru("Не проведен расчет");
        return report;
    }
    // The row count is read off the text itself, so it always fits the text.
    return FillNetworkSheet(t, PreparedText(c.PressureText), PressureRows(c.PressureText), 8,
                            "Давление в узлах", "Давление");
}

TExcelReport ExcelFillBranchStability(const TNetworkTables& t, const TCalcContext& c) {
    TExcelReport report;
    if (c.StabilityText.empty()) return report;
    report.ClipboardText = c.StabilityText;
    // Rows of this text, not the counter the last stability analysis of any
    // kind left behind.
    const int n = ReportLineCount(c.StabilityText);
    TExcelSheetBuilder b(report.Sheet);
    b.Paste(5, 1, SplitReportText(c.StabilityText), kBranchStabilityNumbers);
    b.SetText(2, 1, t.NameSh);
    b.SetText(3, 1, t.NameVar);
    const TCellBlock table(7, 1, n + 4, 8);
    b.AutoFitColumns(table);
    b.Frame(table);
    b.BottomEdge(TCellBlock(7, 1, 8, 8), TXlsxLine::Medium);
    b.InsideHorizontal(TCellBlock(9, 1, n + 4, 8), TXlsxLine::Thin);
    b.PrintTitleRows(7, 8);
    b.SetName(Ru("Устойчивость"));
    return report;
}

TExcelReport ExcelFillFireStability(const TCalcContext& c) {
    TExcelReport report;
    if (c.FireStabilityText.empty()) return report;
    report.ClipboardText = c.FireStabilityText;
    const int n = ReportLineCount(c.FireStabilityText) - 1;
    TExcelSheetBuilder b(report.Sheet);
    b.Paste(1, 1, SplitReportText(c.FireStabilityText), kFireStabilityNumbers);
    const TCellBlock table(4, 1, n + 1, 7);
    b.WrapText(table);
    b.ColumnWidth(table, 10);
    b.RowHeight(table, 13);
    b.VerticalAlignment(table, TXlsxVAlign::Top);
    b.HorizontalAlignment(table, TXlsxHAlign::Right);
    b.Frame(table);
    const TCellBlock heading(4, 1, 4, 7);
    b.BottomEdge(heading, TXlsxLine::Medium);
    b.RowHeight(heading, 35);
    b.HorizontalAlignment(heading, TXlsxHAlign::Center);
    b.InsideHorizontal(TCellBlock(5, 1, n + 1, 7), TXlsxLine::Thin);
    const TCellBlock reversals(5, 7, n + 1, 7);
    b.AutoFitColumns(reversals);
    b.HorizontalAlignment(reversals, TXlsxHAlign::Left);
    const TCellBlock names(5, 1, n + 1, 1);
    b.ColumnWidth(names, 25);
    b.HorizontalAlignment(names, TXlsxHAlign::Left);
    b.PrintTitleRows(4, 4);
    b.SetName(Ru("Устойчивость"));
    return report;
}

TExcelReport ExcelFillDeviceStability(const TCalcContext& c) {
    TExcelReport report;
    if (c.DeviceStabilityText.empty()) return report;
    report.ClipboardText = c.DeviceStabilityText;
    const std::vector<TReportRow> rows = SplitReportText(c.DeviceStabilityText);
    const int n = static_cast<int>(rows.size()) - 1;
    // The heading line (the fifth) tells the columns; a short or damaged
    // text falls back to the analysis's count.
    const int cols =
        rows.size() > 4 ? static_cast<int>(rows[4].size()) : std::max(1, c.DeviceStabilityColCount);
    TExcelSheetBuilder b(report.Sheet);
    b.Paste(1, 1, rows, kDeviceStabilityNumbers);
    const TCellBlock table(5, 1, n, cols);
    b.WrapText(table);
    b.ColumnWidth(table, 13);
    b.RowHeight(table, 13);
    b.VerticalAlignment(table, TXlsxVAlign::Top);
    b.HorizontalAlignment(table, TXlsxHAlign::Right);
    b.Frame(table);
    const TCellBlock heading(5, 1, 5, cols);
    b.BottomEdge(heading, TXlsxLine::Medium);
    b.RowHeight(heading, 45);
    b.HorizontalAlignment(heading, TXlsxHAlign::Center);
    b.InsideHorizontal(TCellBlock(6, 1, n, cols), TXlsxLine::Thin);
    const TCellBlock names(1, 1, n, 1);
    b.ColumnWidth(names, 25);
    b.HorizontalAlignment(names, TXlsxHAlign::Left);
    // Without result columns there is nothing to fit.
    if (cols >= 6) {
        const TCellBlock results(5, 6, n, cols);
        b.AutoFitColumns(results);
        b.HorizontalAlignment(results, TXlsxHAlign::Center);
    }
    b.PrintTitleRows(5, 5);
    b.SetName(Ru("Устойчивость"));
    return report;
}

TExcelReport BuildExcelReport(TOfficeReport report, const TNetworkTables& t, const TCalcContext& c,
                              const TReportColumns& columns) {
    switch (report) {
    case TOfficeReport::MainTable:
        return ExcelFillMainTable(t, columns);
    case TOfficeReport::Consumers:
        return ExcelFillConsumers(t);
    case TOfficeReport::Fans:
        return ExcelFillFans(t);
    case TOfficeReport::NodePressure:
        return ExcelFillNodePressure(t, c);
    case TOfficeReport::BranchStability:
        return ExcelFillBranchStability(t, c);
    case TOfficeReport::FireStability:
        return ExcelFillFireStability(c);
    case TOfficeReport::DeviceStability:
        return ExcelFillDeviceStability(c);
    }
    return {};
}

} // namespace arv
