#include "calc/files/TreskImport.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace arv {

namespace {

// Plan units to drawing units.
constexpr int64_t kDrawingScale = 10;
// Plan coordinates up to this size stay within 32 bits after the mirror and
// the scale; a mine plan never comes near it.
constexpr int kMaxPlanCoordinate = 100000000;
// The lower Y bound never rises above this, the upper never falls below 0.
constexpr int kLowerYStart = 1000;
constexpr int kUpperYStart = 0;

// A record the import cannot take; the text is shown as it stands.
class ETreskRecordError : public Exception {
public:
    using Exception::Exception;
};

// Fields of a record body, numbered from 1; a field the body lacks is empty.
class TFields {
public:
    // Splits at '|' from left to right. A field that opens with a double
    // quote runs to its closing quote, so a '|' inside a name does not cut
    // it; the quotes are dropped (names never hold one: the converter writes
    // apostrophes instead).
    explicit TFields(std::string_view body) {
        size_t p = 0;
        for (;;) {
            if (p < body.size() && body[p] == '"') {
                size_t close = body.find('"', p + 1);
                if (close != std::string_view::npos) {
                    items_.emplace_back(body.substr(p + 1, close - p - 1));
                    size_t bar = body.find('|', close + 1);
                    if (bar == std::string_view::npos) return;
                    p = bar + 1;
                    continue;
                }
                ++p; // no closing quote: the rest of the field as it is
            }
            size_t bar = body.find('|', p);
            items_.emplace_back(body.substr(p, bar == std::string_view::npos ? bar : bar - p));
            if (bar == std::string_view::npos) return;
            p = bar + 1;
        }
    }

    const std::string& operator[](int n) const {
        static const std::string empty;
        return n >= 1 && n <= static_cast<int>(items_.size()) ? items_[n - 1] : empty;
    }

private:
    std::vector<std::string> items_;
};

std::string WithoutBlanks(std::string_view s) {
    std::string r;
    for (char ch : s)
        if (ch != ' ') r += ch;
    return r;
}

// "##0.00" of a decimal field, or "" when the value is zero.
std::string NonZeroText(double value, std::string_view picture) {
    return value == 0 ? std::string() : FormatFloat(picture, value);
}

class TTreskReader {
public:
    TTreskReader(TNetworkTables& t, TCalcContext& c) : t_(t), c_(c) {}

    // Every data row of the branch, node and fan tables emptied, three rows
    // each, no surface nodes.
    void ClearTables() {
        for (TModGrid* g : {&t_.TablDan, &t_.TablDavl, &t_.TablVen}) {
            const int minLast = g == &t_.TablDan    ? MaxBranchCount
                                : g == &t_.TablDavl ? MaxNodeCount
                                                    : g->RowCount() - 1;
            // Rows an earlier import wrote beyond the usual range go too, so
            // no cell of the old network survives.
            const int last = std::max({minLast, g->RowCount() - 1, g->LastFilledRow()});
            g->BeginUpdate();
            for (int r = FirstDataRow; r <= last; ++r) g->ClearRow(r);
            g->SetRowCount(3);
            g->EndUpdate();
        }
        t_.UzPov.clear();
    }

    // One line of the file. Kinds 0 to 3 are read; any other line, an empty
    // one included, is skipped.
    void ReadLine(std::string_view line, int lineNo) {
        lineNo_ = lineNo;
        // The kind is the first field: "10|" or "30|" would be another kind
        // than 1 or 3.
        size_t bar = line.find('|');
        std::string_view kind = line.substr(0, bar);
        if (kind.size() != 1 || kind[0] < '0' || kind[0] > '3') return;
        std::string_view body =
            bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1);
        TFields f(body);
        switch (kind[0]) {
        case '0':
            t_.NameSh = f[1];
            t_.NameVar = f[2];
            break;
        case '1':
            ReadBranch(f, line.back());
            break;
        case '2':
            ReadNode(f);
            break;
        case '3':
            // One '|' at least: a record of a branch number alone has no point.
            if (body.find('|') != std::string_view::npos) ReadTurn(f);
            break;
        }
    }

    void SetOptions() {
        TCalcOptions& o = c_.CalcOptions;
        o.FlowUnit = 1;
        o[1] = 'D';
        o[2] = 'E';
        o[3] = 'N';
        o[4] = 'M';
        o[5] = 'O';
        t_.Tnar = "20";
        t_.Tsh = "5";
        t_.Pnar = "750";
        t_.Psh = "760";
    }

    void SetRowCounts() {
        t_.TablVen.SetRowCount(fanCount_ == 0 ? 4 : fanCount_ + 2);
        TModGrid& nodes = t_.TablDavl;
        // Without node records the emptied table keeps its three rows. A
        // single node record keeps its number, as in the data text.
        if (nodeRow_ == FirstDataRow) {
            nodes.SetRowCount(4);
        } else if (nodeRow_ > FirstDataRow) {
            nodes.SetRowCount(nodeRow_ + 1);
        }
    }

    // Plan units into drawing units, Y turned downwards, in the node table,
    // in NodeX and NodeY and in the turn points. The coordinates are taken
    // from the node table itself: they are what the arrays would hold, and a
    // node listed twice is then mirrored once per row, not twice.
    void MirrorAndScale() {
        struct TNodeRow {
            int row, node, x, y;
        };
        std::vector<TNodeRow> rows;
        int upper = kUpperYStart, lower = kLowerYStart;
        const TModGrid& g = t_.TablDavl;
        for (int r = FirstDataRow; r < g.RowCount(); ++r) {
            TNodeRow n{r, 0, 0, 0};
            // A row without a number has no node to place.
            if (!CellInt(g.Cells(0, r), n.node) || !CellInt(g.Cells(5, r), n.x) ||
                !CellInt(g.Cells(6, r), n.y) || n.node < 1 || n.node > MaxNodeCount)
                continue;
            upper = std::max(upper, n.y);
            lower = std::min(lower, n.y);
            rows.push_back(n);
        }
        auto mirrorY = [&](int y) {
            return static_cast<int32_t>((int64_t{upper} - y + lower) * kDrawingScale);
        };
        auto scaleX = [](int x) { return static_cast<int32_t>(x * kDrawingScale); };
        for (const TNodeRow& n : rows) {
            c_.NodeX[n.node] = scaleX(n.x);
            c_.NodeY[n.node] = mirrorY(n.y);
            t_.TablDavl.SetCells(5, n.row, IntToStr(c_.NodeX[n.node]));
            t_.TablDavl.SetCells(6, n.row, IntToStr(c_.NodeY[n.node]));
        }
        TModGrid& d = t_.TablDan;
        for (int r = FirstDataRow; r <= branchRow_; ++r) {
            const int count = CellToIntDef0(d.Cells(TreskTurnCountCol, r));
            for (int k = 0; k < count; ++k) {
                const int cx = TreskFirstTurnCol + 2 * k, cy = cx + 1;
                int x = 0, y = 0;
                if (!CellInt(d.Cells(cx, r), x) || !CellInt(d.Cells(cy, r), y)) continue;
                d.SetCells(cx, r, IntToStr(scaleX(x)));
                d.SetCells(cy, r, IntToStr(mirrorY(y)));
            }
        }
    }

private:
    TNetworkTables& t_;
    TCalcContext& c_;
    int branchRow_ = FirstDataRow - 1;
    int nodeRow_ = FirstDataRow - 1;
    int fanCount_ = 0;
    int lineNo_ = 0;
    // First branch row of each branch number, for the turn points.
    std::unordered_map<int, int> branchRowOf_;

    static bool CellInt(std::string_view cell, int& value) {
        return TryStrToInt(ToCommaDecimal(cell), value);
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw ETreskRecordError(Ru("Файл Tresk, строка ") + IntToStr(lineNo_) + ": " + what);
    }

    int IntField(const TFields& f, int n) const {
        try {
            return StrToInt(ToCommaDecimal(f[n]));
        } catch (const EConvertError& e) {
            Fail(Ru("поле ") + IntToStr(n) + ": " + e.Message());
        }
    }

    double RealField(const TFields& f, int n) const {
        try {
            return StrToFloat(ToCommaDecimal(f[n]), ',');
        } catch (const EConvertError& e) {
            Fail(Ru("поле ") + IntToStr(n) + ": " + e.Message());
        }
    }

    int CoordinateField(const TFields& f, int n) const {
        int v = IntField(f, n);
        if (v < -kMaxPlanCoordinate || v > kMaxPlanCoordinate)
            Fail(Ru("поле ") + IntToStr(n) + Ru(": координата ") + IntToStr(v) +
                 Ru(" по модулю больше ") + IntToStr(kMaxPlanCoordinate));
        return v;
    }

    // Kind 1: every field is checked before the row is written, so a bad
    // record leaves no half row behind.
    void ReadBranch(const TFields& f, char lastChar) {
        const int pla = IntField(f, 7);
        const int people = IntField(f, 8);
        const double auxDepression = RealField(f, 10);
        const double flow = RealField(f, 11);
        const double section = RealField(f, 15);
        const double height = RealField(f, 16);
        const double angle = RealField(f, 17);
        const double required = RealField(f, 21);
        const double fixedDepression = RealField(f, 25);

        TModGrid& d = t_.TablDan;
        const int row = ++branchRow_;
        d.SetCells(0, row, f[1]);
        d.SetCells(TreskOutsideTypeCol, row, f[2]);
        d.SetCells(1, row, f[3]);
        d.SetCells(2, row, f[4]);
        d.SetCells(15, row, f[5]);
        // Decimals the file carries are kept to the last digit, written
        // with the tables' decimal comma.
        d.SetCells(5, row, ToCommaDecimal(f[6]));
        d.SetCells(TreskPlaPositionCol, row, pla == 0 ? std::string() : f[7]);
        d.SetCells(21, row, people == 0 ? std::string() : f[8]);
        d.SetCells(4, row, ToCommaDecimal(f[9]));
        d.SetCells(3, row, ToCommaDecimal(f[10]));
        d.SetCells(11, row, FormatFloat("##0.00", flow));
        d.SetCells(6, row, NonZeroText(section, "##0.00"));
        d.SetCells(20, row, NonZeroText(height, "#0.00"));
        d.SetCells(22, row, NonZeroText(angle, "#0.00"));
        d.SetCells(TreskPlaColourCol, row, f[18]);
        d.SetCells(10, row, NonZeroText(required, "##0.00"));
        d.SetCells(18, row, NonZeroText(fixedDepression, "##0.00"));
        // Only the last digit of the last field: the fresh-air flag.
        d.SetCells(TreskFreshAirCol, row, std::string(1, lastChar));

        // An auxiliary depression makes the branch a fan: H = C - R*q^2 with
        // C the depression and R the branch's resistance.
        if (auxDepression == 0) {
            d.SetCells(3, row, "");
        } else {
            ++fanCount_;
            TModGrid& v = t_.TablVen;
            const int fanRow = fanCount_ + 1;
            v.SetCells(0, fanRow, f[1]);
            v.SetCells(3, fanRow, "-" + d.Cells(4, row));
            v.SetCells(5, fanRow, d.Cells(3, row));
            d.SetCells(3, row, BranchType::Fan);
            d.SetCells(4, row, "");
        }
        d.SetRowCount(branchRow_ < 3 ? 4 : branchRow_ + 1);

        int number = 0;
        // A row without a number never takes turn points.
        if (!WithoutBlanks(f[1]).empty() && CellInt(f[1], number))
            branchRowOf_.emplace(number, row);
    }

    void ReadNode(const TFields& f) {
        const std::string& key = f[1];
        if (!WithoutBlanks(key).empty()) {
            const int node = IntField(f, 1);
            // The node arrays end at MaxNodeCount; a larger number has no place.
            if (node < 1 || node > MaxNodeCount)
                Fail(Ru("номер узла ") + IntToStr(node) + Ru(" вне пределов от 1 до ") +
                     IntToStr(MaxNodeCount));
        }
        CoordinateField(f, 2);
        CoordinateField(f, 3);
        const double elevation = RealField(f, 4);

        TModGrid& g = t_.TablDavl;
        const int row = ++nodeRow_;
        g.SetCells(0, row, key);
        g.SetCells(5, row, f[2]);
        g.SetCells(6, row, f[3]);
        g.SetCells(4, row, NonZeroText(elevation, "##0.00"));
        // Kept as the surface flag for the scheme import.
        g.SetCells(1, row, f[5]);
    }

    // A turn point whose branch is not (yet) in the table has no row to go
    // to and is dropped.
    void ReadTurn(const TFields& f) {
        if (WithoutBlanks(f[1]).empty()) return;
        auto it = branchRowOf_.find(IntField(f, 1));
        if (it == branchRowOf_.end()) return;
        const int x = CoordinateField(f, 2);
        const int y = CoordinateField(f, 3);
        TModGrid& d = t_.TablDan;
        const int row = it->second;
        const int k = CellToIntDef0(d.Cells(TreskTurnCountCol, row));
        d.SetCells(TreskFirstTurnCol + 2 * k, row, IntToStr(x));
        d.SetCells(TreskFirstTurnCol + 2 * k + 1, row, IntToStr(y));
        d.SetCells(TreskTurnCountCol, row, IntToStr(k + 1));
    }
};

} // namespace

bool ImportTreskText(const std::string& fileName, TNetworkTables& t, TCalcContext& c,
                     bool announce) {
    if (announce) ShowMessage(Ru("Импорт файла Tresk"));

    TTreskReader reader(t, c);
    reader.ClearTables();

    std::vector<std::string> lines;
    const bool opened = ReadDataLines(fileName, lines);
    if (opened) {
        t.TablDan.BeginUpdate();
        t.TablDavl.BeginUpdate();
        t.TablVen.BeginUpdate();
        std::string error;
        try {
            for (size_t i = 0; i < lines.size(); ++i)
                reader.ReadLine(lines[i], static_cast<int>(i + 1));
        } catch (const ETreskRecordError& e) {
            error = e.Message();
        }
        t.TablDan.EndUpdate();
        t.TablDavl.EndUpdate();
        t.TablVen.EndUpdate();
        if (!error.empty()) {
            MessageBox(error, "", TMsgButtons::Ok, TMsgIcon::Error);
            return false;
        }
    }

    reader.SetOptions();
    reader.SetRowCounts();
    if (!opened) return false;
    c.DataLoadedFlag = 1;

    if (t.TablDan.RowCount() > 4) {
        // As the data text reader does: the work list of an earlier read
        // would otherwise be added to.
        ResetBranchWorkList(c);
        ReadBranchTable(t, c);
    }
    reader.MirrorAndScale();
    return true;
}

} // namespace arv
