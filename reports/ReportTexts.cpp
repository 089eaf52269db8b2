#include "reports/ReportTexts.h"

#include "reports/ExcelSheet.h"

#include "calc/model/DecimalText.h"
#include "platform/Cp1251.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

namespace {

// A column the grid does not have reads as the empty text, even where a
// hidden cell was once written there.
std::string Cell(const TModGrid& grid, int col, int row) {
    return col < grid.ColCount() ? grid.Cells(col, row) : std::string();
}

std::string LeadLines(const TNetworkTables& t, const char* titleUtf8) {
    return t.NameSh + "\n" + t.NameVar + "\n" + Ru(titleUtf8) + "\n";
}

std::string Join(const TReportRow& row, char separator) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += separator;
        line += row[i];
    }
    return line;
}

TReportRow JoinedHeading(const TModGrid& grid, int columns) {
    TReportRow row;
    for (int c = 0; c < columns; ++c) row.push_back(Cell(grid, c, 0) + " " + Cell(grid, c, 1));
    return row;
}

bool Chosen(const TReportColumns& columns, int n) {
    return n == 0 || columns[n];
}

// A cell of an Excel form: only a number of a number column takes the
// decimal comma; a heading ("Сопрот." over "выраб., km"), a name or a type
// reads as in the table.
std::string ExcelField(const std::string& cell, bool numberColumn) {
    if (!numberColumn) return cell;
    std::string comma = ToCommaDecimalUnquoted(cell);
    double ignored = 0;
    return PastedNumber(comma, ignored) ? comma : cell;
}

// Word consumers and fans: heading over every grid column, data columns
// 0..dataColumns-1 as they stand, LF after every line.
TReportTable WordGridText(const TModGrid& grid, const TNetworkTables& t, const char* titleUtf8,
                          int dataColumns) {
    TReportTable table;
    table.Lead = LeadLines(t, titleUtf8);
    table.Rows.push_back(JoinedHeading(grid, grid.ColCount()));
    for (int r = FirstDataRow; r < grid.RowCount(); ++r) {
        TReportRow row;
        for (int c = 0; c < dataColumns; ++c) row.push_back(Cell(grid, c, r));
        table.Rows.push_back(std::move(row));
    }
    table.Text = table.Lead;
    for (const TReportRow& row : table.Rows) table.Text += Join(row, '\t') + "\n";
    return table;
}

// Excel consumers and fans: fields 0..lastField of every row, LF after every
// line; the columns of words are given.
TReportTable ExcelGridText(const TModGrid& grid, int lastField, std::initializer_list<int> words) {
    TReportTable table;
    for (int c = 0; c <= lastField; ++c)
        table.NumberColumns.push_back(std::find(words.begin(), words.end(), c) == words.end());
    for (int r = 0; r < grid.RowCount(); ++r) {
        TReportRow row;
        for (int c = 0; c <= lastField; ++c)
            row.push_back(ExcelField(Cell(grid, c, r), table.NumberColumns[c]));
        table.Text += Join(row, '\t') + "\n";
        table.Rows.push_back(std::move(row));
    }
    return table;
}

} // namespace

TReportTable BuildMainTableText(const TNetworkTables& t, const TReportColumns& columns) {
    const TModGrid& grid = t.TablDan;
    TReportTable table;
    table.Lead = LeadLines(t, "Таблица");
    TReportRow heading;
    for (int n = 0; n < ReportColumnCount; ++n)
        if (Chosen(columns, n)) heading.push_back(Cell(grid, n, 0) + " " + Cell(grid, n, 1));
    table.Rows.push_back(std::move(heading));
    for (int r = FirstDataRow; r < grid.RowCount(); ++r) {
        TReportRow row;
        for (int n = 0; n < ReportColumnCount; ++n)
            if (Chosen(columns, n)) row.push_back(ToCommaDecimalUnquoted(Cell(grid, n, r)));
        table.ColumnCount = static_cast<int>(row.size());
        table.Rows.push_back(std::move(row));
    }
    table.Text = table.Lead;
    for (size_t i = 0; i < table.Rows.size(); ++i) {
        table.Text += Join(table.Rows[i], ';');
        // The heading line always ends; the last data line does not.
        if (i == 0 || i + 1 < table.Rows.size()) table.Text += "\n";
    }
    return table;
}

TReportTable BuildConsumersText(const TNetworkTables& t) {
    return WordGridText(t.TablPotr, t, "Потребители", 6);
}

TReportTable BuildFansText(const TNetworkTables& t) {
    return WordGridText(t.TablVen, t, "Вентиляторы", 8);
}

TReportTable ExcelMainTableText(const TNetworkTables& t, const TReportColumns& columns) {
    const TModGrid& grid = t.TablDan;
    TReportTable table;
    // The branch type and the working's name are words.
    auto number = [](int n) { return n != 3 && n != 15; };
    for (int n = 0; n < ReportColumnCount; ++n)
        if (Chosen(columns, n)) table.NumberColumns.push_back(number(n));
    for (int r = 0; r < grid.RowCount(); ++r) {
        TReportRow row;
        std::string line;
        for (int n = 0; n < ReportColumnCount; ++n) {
            if (!Chosen(columns, n)) continue;
            row.push_back(ExcelField(Cell(grid, n, r), number(n)));
            line += row.back();
            if (n != ReportColumnCount - 1) line += '\t';
        }
        table.ColumnCount = static_cast<int>(row.size());
        table.Text += line;
        if (r + 1 < grid.RowCount()) table.Text += "\n";
        table.Rows.push_back(std::move(row));
    }
    return table;
}

TReportTable ExcelConsumersText(const TNetworkTables& t) {
    // The branch type and the name.
    return ExcelGridText(t.TablPotr, 6, {1, 5});
}

TReportTable ExcelFansText(const TNetworkTables& t) {
    // The fan's type.
    return ExcelGridText(t.TablVen, 8, {1});
}

void CopyTextToClipboard(std::string_view text) {
    if (!text.empty()) Clipboard().SetText(text);
}

std::vector<TReportRow> SplitReportText(std::string_view text) {
    std::vector<TReportRow> rows;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        TReportRow row;
        size_t cellStart = 0;
        for (;;) {
            size_t tab = line.find('\t', cellStart);
            row.emplace_back(
                line.substr(cellStart, tab == line.npos ? line.npos : tab - cellStart));
            if (tab == line.npos) break;
            cellStart = tab + 1;
        }
        rows.push_back(std::move(row));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return rows;
}

int ReportLineCount(std::string_view text) {
    return static_cast<int>(SplitReportText(text).size());
}

int MarkerOffset(std::string_view text, std::string_view marker) {
    size_t at = text.find(marker);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

} // namespace arv
