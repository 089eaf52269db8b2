#include "reports/WordExport.h"

#include "platform/Cp1251.h"
#include "platform/office/TextWidth.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

constexpr double kDocumentFontSize = 10;
constexpr double kTitleFontSize = 12;

TDocxDocument NewDocument(const TWordTableFormat& format) {
    TDocxDocument doc;
    doc.Landscape = format.Landscape;
    doc.LeftMargin = format.LeftMargin;
    doc.RightMargin = format.RightMargin;
    doc.FontSize = kDocumentFontSize;
    return doc;
}

TDocxParagraph Paragraph(std::string text) {
    TDocxParagraph p;
    if (!text.empty()) p.Runs.push_back({std::move(text)});
    return p;
}

std::vector<double> ColumnWidths(const TWordTableFormat& format, int columns, double textWidth) {
    std::vector<double> widths;
    double given = 0;
    for (int c = 0; c < columns && c < static_cast<int>(format.ColumnWidths.size()); ++c) {
        widths.push_back(format.ColumnWidths[c]);
        given += format.ColumnWidths[c];
    }
    const int rest = columns - static_cast<int>(widths.size());
    if (rest > 0) {
        double w = format.FurtherWidth;
        if (w <= 0) w = std::max(30.0, (textWidth - given) / rest);
        widths.insert(widths.end(), rest, w);
    }
    // A table wider than the page loses its last columns off the paper:
    // then every column gives up the same share.
    double total = 0;
    for (double w : widths) total += w;
    if (total > textWidth && textWidth > 0)
        for (double& w : widths) w *= textWidth / total;
    return widths;
}

TDocxTable Table(const std::vector<TReportRow>& rows, int columns, const TWordTableFormat& format,
                 double textWidth) {
    TDocxTable table;
    table.ColumnWidths = ColumnWidths(format, columns, textWidth);
    table.CellMargin = format.CellMargin;
    auto isRight = [&](int col) {
        return std::find(format.RightColumns.begin(), format.RightColumns.end(), col) !=
               format.RightColumns.end();
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<TDocxCell> cells;
        for (int c = 0; c < columns; ++c) {
            TDocxCell cell;
            if (c < static_cast<int>(rows[r].size())) cell.Text = rows[r][c];
            // The steps of the word processor's formatting, in their order.
            if (format.DataRowsRight && r > 0) cell.Align = TDocxAlign::Right;
            if (format.LeftColumn == c + 1) cell.Align = TDocxAlign::Left;
            if (isRight(c + 1)) cell.Align = TDocxAlign::Right;
            if (r == 0) {
                cell.Align = TDocxAlign::Center;
                cell.Bold = format.HeadingBold;
                cell.FontSize = format.HeadingSize;
            }
            cells.push_back(std::move(cell));
        }
        table.Rows.push_back(std::move(cells));
    }
    return table;
}

int WidestRow(const std::vector<TReportRow>& rows) {
    size_t widest = 0;
    for (const TReportRow& row : rows) widest = std::max(widest, row.size());
    return static_cast<int>(widest);
}

// Cells left empty at the end of every row (a TAB that ends each line of a
// prepared text) do not make a column of their own.
int UsedColumns(const std::vector<TReportRow>& rows) {
    size_t used = 0;
    for (const TReportRow& row : rows) {
        size_t n = row.size();
        while (n > 0 && row[n - 1].empty()) --n;
        used = std::max(used, n);
    }
    return static_cast<int>(std::max<size_t>(used, 1));
}

struct TLine {
    int Start; // offset of its first character
    int End;   // offset of its LF (or the text's end)
    std::string Text;
};

std::vector<TLine> Lines(const std::string& text) {
    std::vector<TLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(
            {static_cast<int>(start), static_cast<int>(end), text.substr(start, end - start)});
        start = end + 1;
    }
    return lines;
}

// The paragraph of a line; the part inside the title range carries the title
// font, and a paragraph the range touches (its mark included) is centred.
TDocxParagraph LineParagraph(const TLine& line, const TWordTextLayout& layout) {
    const int ts = layout.TitleStart, te = layout.TitleEnd;
    if (ts < 0 || te <= ts || line.End < ts || line.Start >= te) return Paragraph(line.Text);
    TDocxParagraph p;
    p.Align = TDocxAlign::Center;
    const int a = std::clamp(ts - line.Start, 0, static_cast<int>(line.Text.size()));
    const int b = std::clamp(te - line.Start, 0, static_cast<int>(line.Text.size()));
    if (a > 0) p.Runs.push_back({line.Text.substr(0, a)});
    if (b > a) p.Runs.push_back({line.Text.substr(a, b - a), layout.TitleBold, kTitleFontSize});
    if (static_cast<int>(line.Text.size()) > b) p.Runs.push_back({line.Text.substr(b)});
    return p;
}

std::string LeadFor(const TNetworkTables& t, const char* titleUtf8) {
    return t.NameSh + "\n" + t.NameVar + "\n" + Ru(titleUtf8) + "\n";
}

// The general table's width for a column with room to spare.
constexpr double kMainTableColumnWidth = 50;
// Grid column of the working's name.
constexpr int kNameGridColumn = 15;

// How the general table's cells are set: the heading row's size and the
// margins inside every cell. The first that lets every heading word and
// every number stand whole in its column is taken: a table of many columns
// gets narrower cell margins, then smaller headings.
struct TMainTableFit {
    double HeadingSize; // points
    double CellMargin;  // points
    // What a cell takes besides its text: its margins and a little for the
    // rules and the rounding to twips.
    double Padding() const { return 2 * CellMargin + 1.5; }
};
constexpr TMainTableFit kMainTableFits[] = {
    {kDocumentFontSize, 5.4}, {kDocumentFontSize, 2.85}, {9, 2.85}, {8, 2.85}};

// Width of a text's widest word, blanks being where lines may break. Blanks
// that open the text stay with its first word: only a line after a break
// starts without them.
double WidestWord(const std::string& text, double size, bool bold) {
    const std::string_view all(text);
    double widest = 0;
    size_t from = 0;
    for (size_t word; (word = all.find_first_not_of(' ', from)) != std::string_view::npos;) {
        const size_t end = std::min(all.find(' ', word), all.size());
        widest = std::max(widest, SerifTextWidth(all.substr(from, end - from), size, bold));
        from = all.find_first_not_of(' ', end);
        if (from == std::string_view::npos) break;
    }
    return widest;
}

// Width of a text that may not break at all (a number), blanks at its end
// hanging past the cell.
double WholeWidth(const std::string& text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos
               ? 0
               : SerifTextWidth(std::string_view(text).substr(0, end + 1), kDocumentFontSize);
}

// Width a text needs to take at most two lines, broken at a blank.
double TwoLineWidth(const std::string& text) {
    double best = SerifTextWidth(text, kDocumentFontSize);
    for (size_t blank = text.find(' '); blank != std::string::npos;
         blank = text.find(' ', blank + 1)) {
        const std::string_view all(text);
        best = std::min(best, std::max(SerifTextWidth(all.substr(0, blank), kDocumentFontSize),
                                       SerifTextWidth(all.substr(blank + 1), kDocumentFontSize)));
    }
    return best;
}

// The least width of each column: every word of its heading, and every cell
// whole, but for the name column, which breaks its names between words.
std::vector<double> LeastColumnWidths(const std::vector<TReportRow>& rows, int columns,
                                      int nameColumn, const TMainTableFit& fit) {
    std::vector<double> least(columns, 0);
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns && c < static_cast<int>(rows[r].size()); ++c) {
            const std::string& text = rows[r][c];
            const double need = r == 0            ? WidestWord(text, fit.HeadingSize, true)
                                : c == nameColumn ? WidestWord(text, kDocumentFontSize, false)
                                                  : WholeWidth(text);
            least[c] = std::max(least[c], need + fit.Padding());
        }
    return least;
}

// The widest name in one line and the width that takes every name in at
// most two.
struct TNameLines {
    double One = 0, Two = 0;
};
TNameLines NameLines(const std::vector<TReportRow>& rows, int nameColumn) {
    TNameLines lines;
    for (size_t r = 1; r < rows.size(); ++r)
        if (nameColumn >= 0 && nameColumn < static_cast<int>(rows[r].size())) {
            const std::string& name = rows[r][nameColumn];
            lines.One = std::max(lines.One, SerifTextWidth(name, kDocumentFontSize));
            lines.Two = std::max(lines.Two, TwoLineWidth(name));
        }
    return lines;
}

// The first set-up whose least widths fit the page with every name in two
// lines at most, else the first that fits them at all, else the last one.
TMainTableFit MainTableFit(const std::vector<TReportRow>& rows, int columns, int nameColumn,
                           double textWidth) {
    const double twoLines = NameLines(rows, nameColumn).Two;
    for (bool namesInTwoLines : {true, false})
        for (const TMainTableFit& fit : kMainTableFits) {
            std::vector<double> least = LeastColumnWidths(rows, columns, nameColumn, fit);
            if (namesInTwoLines && nameColumn >= 0 && nameColumn < columns)
                least[nameColumn] = std::max(least[nameColumn], twoLines + fit.Padding());
            double total = 0;
            for (double w : least) total += w;
            if (total <= textWidth) return fit;
        }
    return std::end(kMainTableFits)[-1];
}

// Widths of the general table. Every column is at least its least width;
// the name column also holds every name in two lines, or in one where the
// others keep 50 pt each beside it. The others share the rest, none below
// its least nor above 50 pt (or its least, when wider). Only least widths
// that together overrun the page give up the same share each, the name
// column's excepted.
std::vector<double> MainTableColumnWidths(const std::vector<TReportRow>& rows, int columns,
                                          int nameColumn, double textWidth,
                                          const TMainTableFit& fit) {
    const std::vector<double> least = LeastColumnWidths(rows, columns, nameColumn, fit);
    const TNameLines names = NameLines(rows, nameColumn);
    std::vector<double> widths(columns), wish(columns);
    double othersLeast = 0, othersWish = 0;
    for (int c = 0; c < columns; ++c) {
        wish[c] = std::max(least[c], kMainTableColumnWidth);
        if (c == nameColumn) continue;
        othersLeast += least[c];
        othersWish += wish[c];
    }
    double rest = textWidth;
    if (nameColumn >= 0 && nameColumn < columns) {
        const double fewest = std::max(least[nameColumn], names.Two + fit.Padding());
        const double name = std::max({fewest, wish[nameColumn],
                                      std::min(names.One + fit.Padding(), textWidth - othersWish)});
        // Never more than the others' minimums leave, unless its own words
        // need it.
        widths[nameColumn] = std::max(least[nameColumn], std::min(name, textWidth - othersLeast));
        rest -= widths[nameColumn];
    }
    if (othersLeast >= rest) {
        const double share = othersLeast > 0 && rest > 0 ? rest / othersLeast : 1;
        for (int c = 0; c < columns; ++c)
            if (c != nameColumn) widths[c] = least[c] * share;
        return widths;
    }
    // The others share the rest: one level for all, each column held
    // between its minimum and its wish; the level is found by halving.
    const double target = std::min(rest, othersWish);
    auto total = [&](double level) {
        double sum = 0;
        for (int c = 0; c < columns; ++c)
            if (c != nameColumn) sum += std::clamp(level, least[c], wish[c]);
        return sum;
    };
    double low = 0, high = textWidth;
    for (int step = 0; step < 60; ++step) {
        const double mid = (low + high) / 2;
        (total(mid) > target ? high : low) = mid;
    }
    for (int c = 0; c < columns; ++c)
        if (c != nameColumn) widths[c] = std::clamp(low, least[c], wish[c]);
    return widths;
}

// Widths in whole twips, none rounded up: together they stay within the
// width they were shared out of.
std::vector<double> DownToTwips(std::vector<double> widths) {
    for (double& w : widths) w = std::floor(w * 20) / 20;
    return widths;
}

TWordTableFormat NetworkTableFormat(std::vector<double> widths, int leftColumn) {
    TWordTableFormat f;
    f.ColumnWidths = std::move(widths);
    f.DataRowsRight = true;
    f.LeftColumn = leftColumn;
    return f;
}

} // namespace

TDocxDocument WordDocumentFromText(const TWordTextLayout& layout, const TWordTableFormat& format) {
    TDocxDocument doc = NewDocument(format);
    const std::vector<TLine> lines = Lines(layout.Text);
    const int count = static_cast<int>(lines.size());
    // The table takes whole paragraphs: from the one holding its start to the
    // one holding its end (a range that ends where a paragraph begins leaves
    // that paragraph out).
    int first = count, last = count;
    if (layout.TableStart >= 0) {
        first = 0;
        while (first < count && lines[first].End < layout.TableStart) ++first;
        if (layout.TableEnd >= 0) {
            last = first;
            while (last < count && lines[last].Start < layout.TableEnd) ++last;
        }
    }
    std::vector<TReportRow> rows;
    for (int i = first; i < last; ++i) {
        std::vector<TReportRow> cells = SplitReportText(lines[i].Text);
        rows.push_back(cells.empty() ? TReportRow{} : std::move(cells.front()));
    }
    for (int i = 0; i < first; ++i) doc.Body.push_back(LineParagraph(lines[i], layout));
    if (!rows.empty()) doc.Body.push_back(Table(rows, UsedColumns(rows), format, doc.TextWidth()));
    for (int i = last; i < count; ++i) doc.Body.push_back(LineParagraph(lines[i], layout));
    return doc;
}

TDocxDocument WordDocumentFromRows(const std::string& lead, const std::vector<TReportRow>& rows,
                                   int columnCount, const TWordTableFormat& format) {
    TDocxDocument doc = NewDocument(format);
    for (const TLine& line : Lines(lead)) doc.Body.push_back(Paragraph(line.Text));
    if (!rows.empty()) {
        const int columns = std::max({columnCount, WidestRow(rows), 1});
        doc.Body.push_back(Table(rows, columns, format, doc.TextWidth()));
    }
    return doc;
}

TWordReport WordReportMainTable(const TNetworkTables& t, const TReportColumns& columns) {
    TReportTable table = BuildMainTableText(t, columns);
    TWordTableFormat f;
    f.Landscape = true;
    f.RightMargin = f.LeftMargin = 10;
    f.FurtherWidth = kMainTableColumnWidth;
    // The name's place among the chosen columns (column 0 always is one).
    int nameColumn = -1;
    if (columns[kNameGridColumn]) {
        nameColumn = 1;
        for (int n = 1; n < kNameGridColumn; ++n)
            if (columns[n]) ++nameColumn;
    }
    const int count = std::max({table.ColumnCount, WidestRow(table.Rows), 1});
    const double textWidth = NewDocument(f).TextWidth();
    const TMainTableFit fit = MainTableFit(table.Rows, count, nameColumn, textWidth);
    f.HeadingSize = fit.HeadingSize;
    f.CellMargin = fit.CellMargin;
    f.ColumnWidths =
        DownToTwips(MainTableColumnWidths(table.Rows, count, nameColumn, textWidth, fit));
    return {WordDocumentFromRows(table.Lead, table.Rows, table.ColumnCount, f), table.Text};
}

TWordReport WordReportConsumers(const TNetworkTables& t) {
    TReportTable table = BuildConsumersText(t);
    TWordTableFormat f = NetworkTableFormat({45, 45, 70, 70, 100, 120}, 6);
    return {WordDocumentFromRows(table.Lead, table.Rows, 6, f), table.Text};
}

TWordReport WordReportFans(const TNetworkTables& t) {
    TReportTable table = BuildFansText(t);
    TWordTableFormat f = NetworkTableFormat({45, 80, 55, 60, 60, 50, 60, 65}, 2);
    return {WordDocumentFromRows(table.Lead, table.Rows, 8, f), table.Text};
}

TWordReport WordReportNodePressure(const TNetworkTables& t, const TCalcContext& c) {
    TWordTextLayout layout;
    // A new string: the prepared text stays as it is for the next export.
    layout.Text = LeadFor(t, "Давление в узлах") + c.PressureText;
    layout.TableStart = MarkerOffset(layout.Text, Ru("Номер"));
    TWordTableFormat f = NetworkTableFormat({45, 60, 45, 60, 45, 60, 45, 60}, 6);
    f.HeadingBold = false;
    return {WordDocumentFromText(layout, f), layout.Text};
}

TWordReport WordReportBranchStability(const TCalcContext& c) {
    TWordTextLayout layout;
    layout.Text = c.StabilityTableText;
    // Both texts share their first two lines, so the table starts at the
    // same place in either.
    layout.TableStart = MarkerOffset(c.StabilityText, Ru("Номер"));
    // Bold 10-point headings fit their columns whole: "Отклонение,%" and
    // "Категория" take their width from the name column.
    TWordTableFormat f = NetworkTableFormat({45, 40, 66, 75, 65, 80, 84, 60}, 7);
    return {WordDocumentFromText(layout, f), layout.Text};
}

TWordReport WordReportFireStability(const TCalcContext& c) {
    TWordTextLayout layout;
    layout.Text = c.FireStabilityText;
    layout.TableStart = MarkerOffset(layout.Text, Ru("Наименование"));
    const int title = MarkerOffset(layout.Text, Ru("Анализ"));
    if (title >= 0 && layout.TableStart >= 0) {
        layout.TitleStart = std::max(0, title - 1);
        layout.TitleEnd = layout.TableStart;
        layout.TitleBold = true;
    }
    TWordTableFormat f;
    f.Landscape = true;
    f.ColumnWidths = {150, 60, 60, 60, 50, 60, 150};
    f.RightColumns = {2, 3};
    return {WordDocumentFromText(layout, f), layout.Text};
}

TWordReport WordReportDeviceStability(const TCalcContext& c) {
    TWordTextLayout layout;
    layout.Text = c.DeviceStabilityText;
    layout.TableStart = MarkerOffset(layout.Text, Ru("Наименование"));
    layout.TableEnd = MarkerOffset(layout.Text, Ru("Примечание"));
    const int title = MarkerOffset(layout.Text, Ru("Анализ"));
    if (title >= 0 && layout.TableStart >= 0) {
        layout.TitleStart = title;
        layout.TitleEnd = layout.TableStart;
        layout.TitleBold = false;
    }
    TWordTableFormat f;
    f.Landscape = true;
    f.ColumnWidths = {150, 70, 85, 80, 80};
    f.FurtherWidth = 55;
    f.RightColumns = {2, 3, 4, 5};
    return {WordDocumentFromText(layout, f), layout.Text};
}

TWordReport BuildWordReport(TOfficeReport report, const TNetworkTables& t, const TCalcContext& c,
                            const TReportColumns& columns) {
    switch (report) {
    case TOfficeReport::MainTable:
        return WordReportMainTable(t, columns);
    case TOfficeReport::Consumers:
        return WordReportConsumers(t);
    case TOfficeReport::Fans:
        return WordReportFans(t);
    case TOfficeReport::NodePressure:
        return WordReportNodePressure(t, c);
    case TOfficeReport::BranchStability:
        return WordReportBranchStability(c);
    case TOfficeReport::FireStability:
        return WordReportFireStability(c);
    case TOfficeReport::DeviceStability:
        return WordReportDeviceStability(c);
    }
    return {};
}

} // namespace arv
