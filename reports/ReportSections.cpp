#include "ReportSections.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"

#include <cmath>

namespace arv {

const std::array<int, SectionColumnCount> SectionColumnWidths = {5, 4, 4, 5, 7, 5,  5, 5, 5, 6,
                                                                 5, 7, 7, 5, 8, 15, 6, 5, 7, 8};

std::string ReportTooLargeMessage() {
    return Ru("Отчет превышает 32К ");
}

namespace {

// Right-aligned in the width; a longer text stays whole.
std::string Pad(std::string_view s, int width) {
    std::string out;
    if (static_cast<int>(s.size()) < width) out.assign(width - s.size(), ' ');
    out += s;
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string EmergencyLine(std::string_view nameVarAv) {
    return Ru("Аварийный режим ") + std::string(nameVarAv);
}

std::string PageLine(int page) {
    return Ru("Стр.") + IntToStr(page);
}

} // namespace

TLines ComposeStatisticsSection(const TNetworkTables& t, char calcMode) {
    TLines out;
    out.push_back(t.NameSh);
    out.push_back(calcMode == 'N' ? t.NameVar : EmergencyLine(t.NameVarAv));
    out.push_back(Ru("Количество ветвей") + " " + t.BranchCountText);
    out.push_back(Ru("Количество узлов") + " " + t.NodeCountText);
    return out;
}

TLines ComposeMainTableSection(const TModGrid& table, const TSectionColumns& columns,
                               bool reversePage, std::string_view nameVarAv) {
    TLines out;
    if (reversePage) out.push_back(EmergencyLine(nameVarAv));
    out.push_back(Ru("    О Б Щ А Я  Т А Б Л И Ц А"));
    std::string rule = "!";
    for (int col = 0; col < SectionColumnCount; ++col)
        if (columns[col]) rule.append(SectionColumnWidths[col] + 1, '-');
    rule.back() = '!';
    rule.front() = '-';
    out.push_back(rule);
    // The heading rows and at most 1500 data rows.
    for (int row = 0; row < table.RowCount() && row <= 1501; ++row) {
        std::string line = "!";
        for (int col = 0; col < SectionColumnCount; ++col) {
            if (!columns[col]) continue;
            line += Pad(table.Cells(col, row), SectionColumnWidths[col]);
            line += '!';
        }
        out.push_back(line);
        if (row == 1) {
            std::string inner = rule;
            inner.front() = '!';
            out.push_back(inner);
        }
    }
    out.push_back(rule);
    return out;
}

TLines ComposeFansSection(const TModGrid& branchTable, const TModGrid& fanTable,
                          const TModGrid& tablDan, bool reversePage, std::string_view nameVarAv) {
    TLines out;
    if (reversePage) out.push_back(EmergencyLine(nameVarAv));
    out.push_back(Ru("    Х А Р А К Т Е Р И С Т И К А   В Е Н Т И Л Я Т О Р О В"));
    const std::string rule = std::string(64, '-') + "!";
    out.push_back(rule);
    // A fan whose branch is not found keeps the previous fan's branch row.
    int branchRow = 0;
    for (int row = 0; row < fanTable.RowCount(); ++row) {
        const std::string& branch = fanTable.Cells(0, row);
        for (int r = 2; r < branchTable.RowCount(); ++r)
            if (branchTable.Cells(0, r) == branch) branchRow = r;
        std::string line = "!";
        line += Pad(branch, 5) + "!";
        line += Pad(Copy(fanTable.Cells(1, row), 1, 15), 15) + "!";
        line += Pad(fanTable.Cells(2, row), 7) + "!";
        line += Pad(fanTable.Cells(6, row), 7) + "!";
        line += Pad(fanTable.Cells(7, row), 9) + "!";
        line += Pad(tablDan.Cells(15, branchRow), 15) + "!";
        out.push_back(line);
        if (row == 1) out.push_back("!" + std::string(63, '-') + "!");
    }
    out.push_back(rule);
    return out;
}

std::optional<std::string> SectionText(TReportSection section, const TNetworkTables& t,
                                       char calcMode, const TSectionColumns& columns) {
    const bool reversePage = t.ActivePage == PageReverse;
    switch (section) {
    case TReportSection::Statistics:
        return JoinLines(ComposeStatisticsSection(t, calcMode));
    case TReportSection::MainTable:
        if (t.ActivePage > PageReverse) return std::nullopt;
        return JoinLines(ComposeMainTableSection(reversePage ? t.TablDanRev : t.TablDan, columns,
                                                 reversePage, t.NameVarAv));
    case TReportSection::Fans:
        if (t.ActivePage > PageReverse) return std::nullopt;
        return JoinLines(ComposeFansSection(reversePage ? t.TablDanRev : t.TablDan,
                                            reversePage ? t.TablVenRev : t.TablVen, t.TablDan,
                                            reversePage, t.NameVarAv));
    // A memo's text has no line end after its last line; the section gets
    // one, so that what follows starts on a line of its own.
    case TReportSection::Consumers:
        return JoinLines(t.MemoPotr.Lines);
    case TReportSection::Pressure:
        return JoinLines(t.MemoDav.Lines);
    case TReportSection::Stability:
        return JoinLines(t.MemoUst.Lines);
    }
    return std::nullopt;
}

bool SectionFits(size_t sectionLength, size_t reportLength) {
    return sectionLength + reportLength < ReportSizeLimit;
}

bool SectionRefusalIsTold(TReportSection section) {
    return section == TReportSection::Fans || section == TReportSection::Pressure;
}

int LinesPerPage(double fontSize, double pageScale) {
    if (fontSize < 1) fontSize = 1;
    if (!(pageScale > 0)) pageScale = 2.5;
    double lines = (297.0 - 30.0) / (fontSize / pageScale);
    if (!(lines < 1e9)) return 1000000000;
    return static_cast<int>(Round(lines));
}

std::string PageTooShortMessage(int linesPerPage) {
    return Format(Ru("Слишком мало строк на странице (%d); нужно не меньше %d. "
                     "Уменьшите шрифт отчета."),
                  {linesPerPage, MinLinesPerPage});
}

TLines PaginateReport(TLines lines, int linesPerPage, std::vector<bool>* inserted) {
    std::vector<bool> added(lines.size(), false);
    int page = 1;
    int count = 0;
    bool inTable = false;
    TLines head;
    for (size_t i = 0; i < lines.size(); ++i) {
        ++count;
        const bool nextIsPageBreak = i + 1 < lines.size() && StartsWith(lines[i + 1], "\f");
        if (nextIsPageBreak) {
            count = -1;
            ++page;
        }
        const bool isRule = StartsWith(lines[i], "----");
        if (isRule) {
            inTable = !inTable;
            if (inTable)
                head.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                            lines.begin() +
                                static_cast<std::ptrdiff_t>(std::min(i + 4, lines.size())));
        }
        if (StartsWith(lines[i], Ru("Стр."))) lines[i] = PageLine(page);
        // A rule at the page end has been passed over, so a later line may
        // find the count already beyond the page.
        if (count >= linesPerPage && !isRule) {
            TLines newLines;
            if (inTable) newLines.push_back(head.front());
            newLines.push_back("\f");
            ++page;
            newLines.push_back(PageLine(page));
            if (inTable) newLines.insert(newLines.end(), head.begin(), head.end());
            count = static_cast<int>(newLines.size()) - (inTable ? 2 : 1) + 1;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), newLines.begin(),
                         newLines.end());
            added.insert(added.begin() + static_cast<std::ptrdiff_t>(i), newLines.size(), true);
            i += newLines.size();
        }
    }
    if (inserted) *inserted = std::move(added);
    return lines;
}

TLines PageSeparatorLines() {
    return {"\f~", Ru("Стр.")};
}

TLines LinePrintStream(const TLines& report) {
    TLines out{" "};
    for (const std::string& line : report) {
        if (StartsWith(line, "#")) {
            out.push_back(" ");
            out.push_back("\f");
            out.push_back(" ");
        }
        out.push_back("      " + line);
    }
    return out;
}

std::string JoinLines(const TLines& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace arv
