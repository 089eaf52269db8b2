#include "calc/files/OldImports.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/files/Libraries.h"
#include "calc/files/NetworkDataText.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/Cp866.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

#include <cmath>

namespace arv {

namespace {

bool ReadLinesTwice(const std::string& fileName, std::vector<std::string>& lines, bool dos) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes) && !ReadFileBytes(fileName, bytes)) return false;
    if (dos) bytes = Cp866ToCp1251(bytes);
    // Files of that time may end with the DOS end-of-file byte.
    lines = SplitLines(bytes, true);
    return true;
}

TImportResult Damaged(const std::string& fileName, int line, std::string_view whyUtf8) {
    TImportResult r;
    r.Status = TImportStatus::Damaged;
    r.Error = Ru("Файл ") + fileName + Ru(" поврежден");
    if (line > 0) r.Error += Ru(", строка ") + IntToStr(line);
    r.Error += ": " + Ru(whyUtf8);
    return r;
}

bool IsBlank(std::string_view s) {
    return Trim(s).empty();
}

bool ToInt(std::string_view s, int& v) {
    int code = 0;
    Val(Trim(s), v, code);
    return code == 0 && !Trim(s).empty();
}

bool ToReal(std::string_view s, double& v) {
    int code = 0;
    std::string t = Trim(s);
    Val(t, v, code);
    return code == 0 && !t.empty() && std::isfinite(v);
}

std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = s.find(sep, start);
        parts.emplace_back(s.substr(start, at == std::string_view::npos ? s.npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return parts;
}

// Comma-separated integers of a heading line, counted by position (an empty
// one is 0, a comma at the end adds none); false when one is not a number.
bool HeadingValues(std::string_view line, std::vector<int>& values) {
    values.clear();
    std::vector<std::string> parts = Split(line, ',');
    if (parts.size() > 1 && IsBlank(parts.back())) parts.pop_back();
    for (const std::string& part : parts) {
        int v = 0;
        if (!IsBlank(part) && !ToInt(part, v)) return false;
        values.push_back(v);
    }
    return true;
}

// Blank-separated numbers that may run on over line ends, as the DOS
// program read them.
class TTokenCursor {
public:
    explicit TTokenCursor(const std::vector<std::string>& lines, size_t line)
        : lines_(lines), line_(line) {}
    bool AtEnd() const { return line_ >= lines_.size(); }
    int LineNumber() const { return static_cast<int>(line_) + 1; }
    // Skips lines holding nothing but blanks from the current position on.
    void SkipBlankLines() {
        while (!AtEnd() && IsBlank(std::string_view(lines_[line_]).substr(pos_))) NextLine();
    }
    bool Next(std::string& token) {
        for (;;) {
            if (AtEnd()) return false;
            const std::string& l = lines_[line_];
            while (pos_ < l.size() && IsSpace(l[pos_])) ++pos_;
            if (pos_ < l.size()) break;
            NextLine();
        }
        const std::string& l = lines_[line_];
        size_t start = pos_;
        while (pos_ < l.size() && !IsSpace(l[pos_])) ++pos_;
        token = l.substr(start, pos_ - start);
        return true;
    }
    std::string Rest(size_t count) const {
        if (AtEnd()) return {};
        const std::string& l = lines_[line_];
        return pos_ < l.size() ? l.substr(pos_, count) : std::string();
    }
    void NextLine() {
        ++line_;
        pos_ = 0;
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    const std::vector<std::string>& lines_;
    size_t line_;
    size_t pos_ = 0;
};

struct TDosBranch {
    int Number = 0, Begin = 0, End = 0, Length = 0;
    double Resistance = 0, Section = 0, Coefficient = 0, Regulator = 0, Flow = 0;
    std::string Name;
};

struct TDosFan {
    int Number = 0;
    double A = 0, B = 0, C = 0;
};

std::string IntCell(int v) {
    return ToCommaDecimal(Format("%4d", {v}));
}

std::string RealCell(const char* fmt, double v) {
    return ToCommaDecimal(Format(fmt, {v}));
}

// Imported rows as a save and a reopen of the data give them back, so that
// the tables show what the saved data and the calculation will hold: the
// characters the data text cannot carry are replaced as its writer replaces
// them, and a branch whose length, section and coefficient give its
// resistance shows that one in place of the one read (the calculation and
// the reading of saved data put it there).
void TakeAsSaved(TModGrid& g, int endRow, bool branches) {
    for (int r = FirstDataRow; r < endRow; ++r) {
        const int last = g.LastFilledCol(r);
        for (int c = 0; c <= last; ++c) {
            const std::string& cell = g.Cells(c, r);
            if (cell.find_first_of(";#") != std::string::npos)
                g.SetCells(c, r, DataTextField(cell));
        }
        if (!branches) continue;
        const std::string resistance = GeometryResistanceText(g, r);
        if (!resistance.empty()) g.SetCells(4, r, resistance);
    }
}

} // namespace

TImportResult ImportDosFiles(const std::string& idsName, TNetworkTables& t,
                             const TCalcOptions& options) {
    // Without the branch file the fan file is still read.
    std::vector<std::string> lines;
    const bool haveBranches = ReadLinesTwice(idsName, lines, true);

    std::vector<TDosBranch> branches;
    TTokenCursor in(lines, 1);
    for (;;) {
        in.SkipBlankLines();
        if (in.AtEnd()) break;
        const int line = in.LineNumber();
        std::string tok[9];
        for (std::string& s : tok)
            if (!in.Next(s)) return Damaged(idsName, line, "запись ветви не полная");
        TDosBranch b;
        if (!ToInt(tok[0], b.Number) || !ToInt(tok[1], b.Begin) || !ToInt(tok[2], b.End) ||
            !ToReal(tok[3], b.Resistance) || !ToInt(tok[4], b.Length) ||
            !ToReal(tok[5], b.Section) || !ToReal(tok[6], b.Coefficient) ||
            !ToReal(tok[7], b.Regulator) || !ToReal(tok[8], b.Flow))
            return Damaged(idsName, in.LineNumber(), "не число");
        b.Name = in.Rest(17);
        in.NextLine();
        branches.push_back(std::move(b));
        if (static_cast<int>(branches.size()) > MaxBranchCount)
            return Damaged(idsName, line, "ветвей больше, чем допускает программа");
    }

    // The fan file is read whole before anything changes, like the branches.
    std::vector<TDosFan> fans;
    std::vector<std::string> fanLines;
    const std::string idvPath = ExtractFilePath(idsName);
    std::string idvName = FindFileNoCase(idvPath, ExtractFileName(ChangeFileExt(idsName, ".idv")));
    const bool haveFans = !idvName.empty() && ReadLinesTwice(idvName, fanLines, true);
    if (haveFans) {
        for (size_t i = 0; i < fanLines.size(); ++i) {
            if (IsBlank(fanLines[i])) continue;
            TTokenCursor f(fanLines, i);
            std::string tok[5];
            TDosFan fan;
            int type = 0;
            for (std::string& s : tok)
                if (!f.Next(s) || f.LineNumber() != static_cast<int>(i) + 1)
                    return Damaged(idvName, static_cast<int>(i) + 1,
                                   "запись вентилятора не полная");
            if (!ToInt(tok[0], fan.Number) || !ToInt(tok[1], type) || !ToReal(tok[2], fan.A) ||
                !ToReal(tok[3], fan.B) || !ToReal(tok[4], fan.C))
                return Damaged(idvName, static_cast<int>(i) + 1, "не число");
            fans.push_back(fan);
            if (static_cast<int>(fans.size()) > MaxFanRows - FirstDataRow + 1)
                return Damaged(idvName, static_cast<int>(i) + 1,
                               "вентиляторов больше, чем допускает программа");
        }
    }

    TModGrid& dan = t.TablDan;
    dan.BeginUpdate();
    if (haveBranches) dan.ClearRowsFrom(FirstDataRow);
    int r = FirstDataRow;
    for (const TDosBranch& b : branches) {
        if (b.Number > 0) dan.SetCells(0, r, IntCell(b.Number));
        if (b.Begin > 0) dan.SetCells(1, r, IntCell(b.Begin));
        if (b.End > 0) dan.SetCells(2, r, IntCell(b.End));
        if (b.Length > 0) dan.SetCells(5, r, IntCell(b.Length));
        if (b.Resistance > 0) dan.SetCells(4, r, RealCell("%8.4f", b.Resistance));
        if (b.Section > 0) dan.SetCells(6, r, RealCell("%6.2f", b.Section));
        if (b.Coefficient > 0) dan.SetCells(7, r, RealCell("%5.2f", b.Coefficient));
        if (b.Regulator > 0) dan.SetCells(8, r, RealCell("%6.2f", b.Regulator));
        if (b.Flow > 0) dan.SetCells(10, r, RealCell("%6.2f", options.FlowUnit * b.Flow));
        if (!b.Name.empty()) dan.SetCells(15, r, b.Name);
        ++r;
    }
    if (haveBranches) {
        TakeAsSaved(dan, r, true);
        dan.SetRowCount(r);
        dan.Modified = true;
    }
    dan.EndUpdate();

    if (haveFans) {
        TModGrid& ven = t.TablVen;
        ven.BeginUpdate();
        ven.ClearRowsFrom(FirstDataRow);
        int f = FirstDataRow;
        for (const TDosFan& fan : fans) {
            if (fan.Number > 0) ven.SetCells(0, f, IntCell(fan.Number));
            // Width 9 with its blanks, as the DOS program showed them.
            if (fan.A != 0) ven.SetCells(3, f, Format("%9.5f", {fan.A}));
            if (fan.B != 0) ven.SetCells(4, f, Format("%9.5f", {fan.B}));
            if (fan.C != 0) ven.SetCells(5, f, Format("%9.5f", {fan.C}));
            ++f;
        }
        TakeAsSaved(ven, f, false);
        ven.SetRowCount(f);
        ven.Modified = true;
        ven.EndUpdate();
    }
    TImportResult result;
    result.Status = haveBranches ? TImportStatus::Read : TImportStatus::NotOpened;
    return result;
}

TImportResult ImportTrovelDatFile(const std::string& fileName, TNetworkTables& t) {
    std::vector<std::string> lines;
    if (!ReadLinesTwice(fileName, lines, false)) return {};
    std::vector<int> head;
    if (lines.empty() || !HeadingValues(lines[0], head) || head.size() < 6)
        return Damaged(fileName, 1, "в заголовке нет шести чисел");
    const int n = head[0], fanCount = head[3], fixedCount = head[5];
    if (n < 0 || fanCount < 0 || fixedCount < 0 || fixedCount + fanCount > n + 1 ||
        n + 1 > MaxBranchCount || fanCount > MaxFanRows - FirstDataRow + 1)
        return Damaged(fileName, 1, "неверные числа ветвей");
    if (static_cast<int>(lines.size()) < n + 2)
        return Damaged(fileName, static_cast<int>(lines.size()) + 1, "файл обрывается");

    TModGrid& dan = t.TablDan;
    TModGrid& ven = t.TablVen;
    dan.BeginUpdate();
    ven.BeginUpdate();
    dan.ClearRowsFrom(FirstDataRow);
    ven.ClearRowsFrom(FirstDataRow);
    int fanRow = 1;
    for (int k = 0; k <= n; ++k) {
        const std::string& line = lines[k + 1];
        const int r = FirstDataRow + k;
        dan.SetCells(0, r, ToCommaDecimal(Copy(line, 4, 3)));
        dan.SetCells(1, r, ToCommaDecimal(Copy(line, 8, 3)));
        dan.SetCells(2, r, ToCommaDecimal(Copy(line, 12, 3)));
        dan.SetCells(4, r, ToCommaDecimal(Copy(line, 16, 8)));
        if (k < fixedCount) {
            dan.SetCells(10, r, ToCommaDecimal(Copy(line, 26, 6)));
            dan.SetCells(3, r, "= ");
            dan.SetCells(4, r, "");
        } else if (k < fixedCount + fanCount) {
            ++fanRow;
            dan.SetCells(3, r, Ru("В"));
            dan.SetCells(4, r, "");
            ven.SetCells(0, fanRow, dan.Cells(0, r));
        }
    }
    TakeAsSaved(dan, n + 3, true);
    TakeAsSaved(ven, fanRow + 1, false);
    // The row count takes in one row that was not read: it is shown empty.
    dan.SetRowCount(n + 4);
    ven.SetRowCount(fanRow + 1);
    dan.Modified = true;
    ven.EndUpdate();
    dan.EndUpdate();
    TImportResult result;
    result.Status = TImportStatus::Read;
    return result;
}

TImportResult ImportTrovelDtFile(const std::string& fileName, TNetworkTables& t,
                                 const TCalcOptions& options) {
    std::vector<std::string> lines;
    if (!ReadLinesTwice(fileName, lines, false)) return {};
    std::vector<int> head;
    if (lines.size() < 6 || !HeadingValues(lines[5], head) || head.size() < 4)
        return Damaged(fileName, 6, "в заголовке нет четырех чисел");
    const int n = head[0], fanCount = head[3];
    if (n < 0 || fanCount < 0 || fanCount > n || n > MaxBranchCount ||
        fanCount > MaxFanRows - FirstDataRow + 1)
        return Damaged(fileName, 6, "неверные числа ветвей");
    if (static_cast<int>(lines.size()) < 6 + n)
        return Damaged(fileName, static_cast<int>(lines.size()) + 1, "файл обрывается");

    struct TRow {
        std::vector<std::string> Fields;
        double Resistance = 0;
        double Points[6] = {};
        std::string Name;
    };
    std::vector<TRow> rows(n);
    for (int k = 0; k < n; ++k) {
        const std::string& line = lines[6 + k];
        const int lineNo = 7 + k;
        TRow& row = rows[k];
        // Fields end at the name: it may hold commas of its own.
        const size_t quote = line.find('"');
        row.Fields = Split(std::string_view(line).substr(0, quote), ',');
        const size_t needed = k < fanCount ? 10 : 4;
        if (row.Fields.size() < needed) return Damaged(fileName, lineNo, "не хватает полей");
        if (!ToReal(ToPointDecimal(row.Fields[3]), row.Resistance))
            return Damaged(fileName, lineNo, "сопротивление не число");
        if (k < fanCount)
            for (int p = 0; p < 6; ++p)
                if (!ToReal(row.Fields[4 + p], row.Points[p]))
                    return Damaged(fileName, lineNo, "точка характеристики не число");
        if (quote != std::string::npos) {
            const size_t close = line.find('"', quote + 1);
            row.Name = line.substr(quote + 1, close == std::string::npos ? std::string::npos
                                                                         : close - quote - 1);
        }
    }

    TImportResult result;
    result.Status = TImportStatus::Read;
    TModGrid& dan = t.TablDan;
    TModGrid& ven = t.TablVen;
    t.NameVar = DataTextField(lines[0]);
    dan.BeginUpdate();
    ven.BeginUpdate();
    dan.ClearRowsFrom(FirstDataRow);
    ven.ClearRowsFrom(FirstDataRow);
    int fanRow = 1;
    for (int k = 0; k < n; ++k) {
        const TRow& row = rows[k];
        const int r = FirstDataRow + k;
        for (int c = 0; c < 3; ++c) dan.SetCells(c, r, ToCommaDecimal(row.Fields[c]));
        dan.SetCells(4, r, FormatFloat("####0.00000", row.Resistance));
        if (k < fanCount) {
            ++fanRow;
            const double* p = row.Points;
            if (p[4] != 0) {
                TFanCurve curve;
                bool fitted =
                    options[6] == '2'
                        ? FitFanCurveTwoPoints(p[0], p[1], p[2], p[3], curve)
                        : FitFanCurveThreePoints(p[0], p[1], p[2], p[3], p[4], p[5], curve);
                // An upward-opening curve is no fan curve: the two-point form
                // replaces it.
                if (!fitted || curve.A > 0)
                    fitted = FitFanCurveTwoPoints(p[0], p[1], p[2], p[3], curve);
                if (!fitted || curve.A > 0)
                    result.Warnings.push_back(Ru("Для вентилятора ") + dan.Cells(0, r) +
                                              Ru(" неправильно заданы точки"));
                if (fitted) {
                    ven.SetCells(3, fanRow, FanCoefAText(curve.A));
                    ven.SetCells(4, fanRow, FanCoefBText(curve.B));
                    ven.SetCells(5, fanRow, FanCoefCText(curve.C));
                }
            }
            dan.SetCells(3, r, Ru("В"));
            dan.SetCells(4, r, "");
            ven.SetCells(0, fanRow, dan.Cells(0, r));
        }
        dan.SetCells(15, r, row.Name);
    }
    TakeAsSaved(dan, n + FirstDataRow, true);
    TakeAsSaved(ven, fanRow + 1, false);
    dan.SetRowCount(n + FirstDataRow);
    ven.SetRowCount(fanRow + 1);
    dan.Modified = true;
    ven.EndUpdate();
    dan.EndUpdate();
    return result;
}

namespace {

struct TOrnalField {
    const char* name;
    const char* title;
    int column; // branch table column, -1 when not moved
    bool required;
};

const TOrnalField kOrnalFields[] = {
    {"BRANCH_NO", "Номер ветви", 0, true},     {"BEG_NODE_N", "Нач.номер", 1, true},
    {"END_NODE_N", "Кон.узел", 2, true},       {"RESISTANCE", "Сопротивление", 4, true},
    {"DEPRESSION", "Доп.депр.", 18, true},     {"BR_NAME", "Наименование", 15, true},
    {"BEG_TEMP", "Темпер. в нач.", -1, false}, {"END_TEMP", "Темпер. в конце", 21, true},
    {"BR_LENGTH", "Длина", 5, true},           {"SECTION", "Сечение", 6, true},
    {"PERIMETER", "Высота", -1, false},        {"INCLINE", "Угол", -1, false},
    {"AIR_FLOW", "Расход", 11, true},
};

} // namespace

std::vector<std::string> MissingOrnalFields(const TDbfTable& table) {
    std::vector<std::string> missing;
    for (const TOrnalField& f : kOrnalFields)
        if (f.required && table.FieldIndex(f.name) < 0) missing.push_back(f.name);
    return missing;
}

std::string OrnalFieldTitle(std::string_view field) {
    for (const TOrnalField& f : kOrnalFields)
        if (AnsiSameText(field, f.name)) return Ru(f.title);
    return {};
}

std::string OrnalFieldText(const TDbfTable& table, int record, int field) {
    const std::string& text = table.Text(record, field);
    const char type = table.Fields()[field].Type;
    double v = 0;
    if ((type == 'N' || type == 'F') && TryStrToFloat(text, v, '.')) return FloatToStr(v);
    return text;
}

void TransferOrnalTable(const TDbfTable& table, TNetworkTables& t) {
    TModGrid& dan = t.TablDan;
    TModGrid& ven = t.TablVen;
    const int number = table.FieldIndex("BRANCH_NO");
    const int resistance = table.FieldIndex("RESISTANCE");
    const int depression = table.FieldIndex("DEPRESSION");
    dan.BeginUpdate();
    ven.BeginUpdate();
    // A second transfer from the open window keeps nothing of the first.
    dan.ClearRowsFrom(FirstDataRow);
    ven.ClearRowsFrom(FirstDataRow);
    int r = FirstDataRow, f = FirstDataRow;
    for (int rec = 0; rec < table.RecordCount(); ++rec, ++r) {
        for (const TOrnalField& field : kOrnalFields) {
            const int i = table.FieldIndex(field.name);
            if (field.column >= 0 && i >= 0)
                dan.SetCells(field.column, r, OrnalFieldText(table, rec, i));
        }
        double dep = 0, res = 0;
        TryStrToFloat(table.Text(rec, depression), dep, '.');
        TryStrToFloat(table.Text(rec, resistance), res, '.');
        if (dep > 0 && res != 0) {
            dan.SetCells(3, r, Ru("В"));
            dan.SetCells(4, r, "");
            ven.SetCells(0, f, OrnalFieldText(table, rec, number));
            ven.SetCells(3, f, "-" + OrnalFieldText(table, rec, resistance));
            ven.SetCells(5, f, OrnalFieldText(table, rec, depression));
            ++f;
        }
    }
    TakeAsSaved(dan, r, true);
    TakeAsSaved(ven, f, false);
    dan.SetRowCount(r);
    ven.SetRowCount(f);
    dan.Modified = true;
    ven.Modified = true;
    ven.EndUpdate();
    dan.EndUpdate();
}

} // namespace arv
