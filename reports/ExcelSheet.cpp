#include "reports/ExcelSheet.h"

#include "calc/model/DecimalText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace arv {

TCellBlock::TCellBlock(int top, int left, int bottom, int right)
    : Top(std::min(top, bottom)), Left(std::min(left, right)), Bottom(std::max(top, bottom)),
      Right(std::max(left, right)) {}

bool PastedNumber(std::string_view cell, double& value) {
    size_t b = 0, e = cell.size();
    while (b < e && cell[b] == ' ') ++b;
    while (e > b && cell[e - 1] == ' ') --e;
    std::string_view s = cell.substr(b, e - b);
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == ',') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
        size_t expDigits = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++expDigits;
        if (expDigits == 0) return false;
        i = j;
    }
    if (i != s.size()) return false;
    std::string c(s);
    std::replace(c.begin(), c.end(), ',', '.');
    if (c.front() == '+') c.erase(0, 1);
    // from_chars ignores the process locale, which the toolkit sets.
    double v = 0;
    auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

template <class F> void TExcelSheetBuilder::ForEach(const TCellBlock& b, F f) {
    for (int r = b.Top; r <= b.Bottom; ++r)
        for (int c = b.Left; c <= b.Right; ++c) f(r, c, s_.Cell(r, c).Style);
}

void TExcelSheetBuilder::Paste(int row, int column, const std::vector<TReportRow>& rows,
                               const std::vector<bool>& numbers) {
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& text = rows[r][c];
            if (text.empty()) continue;
            TXlsxCell& cell = s_.Cell(row + static_cast<int>(r), column + static_cast<int>(c));
            cell.Value = text;
            // The analyses write their numbers with a decimal point.
            const bool number = c < numbers.size() && numbers[c] &&
                                PastedNumber(ToCommaDecimalUnquoted(text), cell.Number);
            cell.Kind = number ? TXlsxKind::Number : TXlsxKind::Text;
        }
    }
}

void TExcelSheetBuilder::SetText(int row, int column, const std::string& text) {
    TXlsxCell& cell = s_.Cell(row, column);
    cell.Value = text;
    cell.Kind = text.empty() ? TXlsxKind::Blank : TXlsxKind::Text;
}

void TExcelSheetBuilder::Frame(const TCellBlock& b) {
    ForEach(b, [&](int r, int c, TXlsxStyle& st) {
        if (c == b.Left) st.Left = TXlsxLine::Medium;
        if (r == b.Top) st.Top = TXlsxLine::Medium;
        if (r == b.Bottom) st.Bottom = TXlsxLine::Medium;
        if (c == b.Right) st.Right = TXlsxLine::Medium;
    });
    ForEach(b, [&](int, int c, TXlsxStyle& st) {
        if (c > b.Left) st.Left = TXlsxLine::Thin;
        if (c < b.Right) st.Right = TXlsxLine::Thin;
    });
}

void TExcelSheetBuilder::BottomEdge(const TCellBlock& b, TXlsxLine line) {
    ForEach(b, [&](int r, int, TXlsxStyle& st) {
        if (r == b.Bottom) st.Bottom = line;
    });
}

void TExcelSheetBuilder::InsideHorizontal(const TCellBlock& b, TXlsxLine line) {
    ForEach(b, [&](int r, int, TXlsxStyle& st) {
        if (r > b.Top) st.Top = line;
        if (r < b.Bottom) st.Bottom = line;
    });
}

void TExcelSheetBuilder::AutoFitColumns(const TCellBlock& b) {
    for (int c = b.Left; c <= b.Right; ++c) {
        size_t longest = 0;
        for (int r = b.Top; r <= b.Bottom; ++r)
            if (const TXlsxCell* cell = s_.Find(r, c)) {
                std::string_view v = cell->Value;
                if (cell->Kind == TXlsxKind::Number) {
                    // A number shows without the blanks it was pasted with.
                    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
                    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
                }
                longest = std::max(longest, v.size());
            }
        // An empty column goes back to the standard width.
        s_.ColumnWidths[c] =
            longest == 0 ? XlsxDefaultColumnWidth
                         : std::min(255.0, std::ceil(static_cast<double>(longest) * 1.1) + 1);
    }
}

void TExcelSheetBuilder::ColumnWidth(const TCellBlock& b, double width) {
    for (int c = b.Left; c <= b.Right; ++c) s_.ColumnWidths[c] = width;
}

void TExcelSheetBuilder::RowHeight(const TCellBlock& b, double height) {
    for (int r = b.Top; r <= b.Bottom; ++r) s_.RowHeights[r] = height;
}

void TExcelSheetBuilder::WrapText(const TCellBlock& b) {
    ForEach(b, [](int, int, TXlsxStyle& st) { st.Wrap = true; });
}

void TExcelSheetBuilder::HorizontalAlignment(const TCellBlock& b, TXlsxHAlign align) {
    ForEach(b, [&](int, int, TXlsxStyle& st) { st.HAlign = align; });
}

void TExcelSheetBuilder::VerticalAlignment(const TCellBlock& b, TXlsxVAlign align) {
    ForEach(b, [&](int, int, TXlsxStyle& st) { st.VAlign = align; });
}

void TExcelSheetBuilder::PrintTitleRows(int first, int last) {
    s_.PrintTitleFirst = first;
    s_.PrintTitleLast = last;
}

void TExcelSheetBuilder::SetName(const std::string& name) {
    s_.Name = name;
}

} // namespace arv
