#include "calc/engine/NetworkPreparation.h"

#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/model/TableSort.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace arv {

namespace {

constexpr double kUnbounded = 100000;
// Resistance and regulator marker of a fixed-flow branch.
constexpr double kFixedFlowResistance = 1e-5;
constexpr double kFixedFlowRegulator = 99999;

void Fail(TCalcContext& c, const std::string& text) {
    ShowCalcMessage(text);
    c.CalcErrorFlag = 1;
}

// Fails and selects the branch row: by number (mode 0) or by row index.
void FailAtBranch(TNetworkTables& t, TCalcContext& c, const std::string& text, int mode,
                  int value) {
    Fail(c, text);
    t.GotoBranchRow(mode, value);
}

std::string ColumnName(const TModGrid& g, int col) {
    return Trim(g.Cells(col, 0)) + " " + Trim(g.Cells(col, 1));
}

// A real number of a cell: blanks dropped, either separator, empty as 0.
bool CellReal(std::string_view cell, double& value) {
    if (ToPointDecimal(cell).empty()) {
        value = 0;
        return true;
    }
    return TryCellToFloat(cell, value);
}

// Resistance from the working's geometry: alpha * P * L / S^3 with
// P = factor * sqrt(S) and alpha in units of 1e-4.
double GeometryResistance(double factor, double alpha, double length, double section) {
    return factor * alpha * 0.0001 * length * std::sqrt(section) / (section * section * section);
}

// A computed resistance as the branch table shows it.
std::string ResistanceText(double r) {
    return FormatFloat("###0.#####", r);
}

std::string BadNumberText(const std::string& owner, const TModGrid& g, int col,
                          std::string_view cell) {
    return owner + Ru(": неверное число \"") + std::string(cell) + Ru("\" в столбце \"") +
           ColumnName(g, col) + "\"";
}

// The shape letter after '-' in the alpha column selects the perimeter factor.
double PerimeterFactor(unsigned char letter) {
    switch (letter) {
    case 0xEA: // к
    case 0xCA: // К
        return 3.54;
    case 0xF1: // с
    case 0xD1: // С
        return 3.8;
    case 0xF2: // т
    case 0xD2: // Т
        return 4.16;
    default:
        return 4.0;
    }
}

// The coefficient column: alpha, optionally followed by '-' and a shape
// letter that selects the perimeter factor (4 without one, or when shapes do
// not count). False when alpha is no number.
bool ReadAlphaCell(std::string_view cell, bool shapes, double& alpha, double& factor) {
    std::string alphaText = ToPointDecimal(cell);
    factor = 4.0;
    int dash = Pos("-", alphaText);
    if (dash > 0) {
        if (shapes && dash < static_cast<int>(alphaText.size()))
            factor = PerimeterFactor(static_cast<unsigned char>(alphaText[dash]));
        alphaText = Copy(alphaText, 1, dash - 1);
    }
    return CellReal(alphaText, alpha);
}

// Node elevations are metres; no working lies further from sea level.
constexpr double kMaxElevation = 1e6;
// Fans take their pressure from the fan table, not from column 4.
bool IsFanCode(const std::string& kind) {
    return kind == BranchType::Fan || kind == BranchType::FanReversed ||
           kind == BranchType::FanStopped;
}

// One pass over a branch table (normal or reverse) with its fan table.
class TBranchTableReader {
public:
    TBranchTableReader(TNetworkTables& t, TCalcContext& c, bool reverse)
        : t_(t), c_(c), reverse_(reverse), dan_(reverse ? t.TablDanRev : t.TablDan),
          ven_(reverse ? t.TablVenRev : t.TablVen) {}

    void Read() {
        ClearArrays();
        if (!ReadSurfaceNodes()) return;
        for (int row = FirstDataRow; row < dan_.RowCount(); ++row)
            if (!ReadBranchRow(row)) return;
        if (!ReadFanTable()) return;
        if (!reverse_ && !ReadNodeTable()) return;
        // Only a reading that went through writes back the resistances it
        // computed: a bad row leaves the tables as they were, so a data set
        // saved and read again reads the same.
        for (const auto& [row, text] : computedResistances_) dan_.SetCells(4, row, text);
        if (!reverse_) ComputeGeometry();
    }

private:
    TNetworkTables& t_;
    TCalcContext& c_;
    bool reverse_;
    TModGrid& dan_;
    TModGrid& ven_;
    int fireSplitRow_ = -1;
    int rowUsingFireNode_ = -1;
    std::vector<std::pair<int, std::string>> computedResistances_;

    void ClearArrays() {
        for (int k = 1; k <= MaxNodeCount; ++k) {
            c_.NodeInBranchesText[k].clear();
            c_.NodeOutBranchesText[k].clear();
            c_.NodeInCount[k] = c_.NodeOutCount[k] = 0;
            if (reverse_) continue;
            c_.NodeElevation[k] = 0;
            c_.NodeX[k] = c_.NodeY[k] = 0;
        }
        for (int i = 1; i <= MaxSurfaceNodes; ++i) c_.SurfaceNodeList[i] = 0;
        c_.SurfaceNodeCount = 0;
        if (reverse_) return;
        for (int i = 1; i <= MaxBranchCount; ++i) {
            c_.BranchBeginNode[i] = c_.BranchEndNode[i] = 0;
            c_.BranchResistance[i] = c_.BranchLength[i] = c_.BranchSection[i] = 0;
            c_.BranchSlope[i] = 0;
        }
    }

    // Node numbers each followed by ';'. An empty entry is reported and
    // reading goes on; an entry that is no node number abandons the reading.
    bool ReadSurfaceNodes() {
        const std::string message = Ru("Ошибка в перечне узлов поверхности");
        std::string text = t_.UzPov;
        int count = 0;
        for (int p = Pos(";", text); p > 0; p = Pos(";", text)) {
            std::string entry = Trim(Copy(text, 1, p - 1));
            text = Copy(text, p + 1, static_cast<int>(text.size()));
            ++count;
            // The list has 500 slots and ends at its first 0 entry.
            if (count >= MaxSurfaceNodes) {
                Fail(c_, message);
                return false;
            }
            if (entry.empty()) {
                Fail(c_, message);
                continue;
            }
            int node = 0;
            if (!TryStrToInt(entry, node)) {
                Fail(c_, message + ": \"" + entry + "\"");
                return false;
            }
            if (node < 1 || node > MaxNodeCount) {
                Fail(c_, message + ": " + IntToStr(node));
                return false;
            }
            c_.SurfaceNodeList[count] = node;
        }
        c_.SurfaceNodeCount = count;
        return true;
    }

    bool BranchReal(int n, int row, int col, double& value) {
        const std::string& cell = dan_.Cells(col, row);
        if (CellReal(cell, value)) return true;
        FailAtBranch(t_, c_, BadNumberText(Ru("Ошибка: ветвь ") + IntToStr(n), dan_, col, cell), 1,
                     row);
        return false;
    }

    bool HasFanRow(int n) const {
        for (int r = FirstDataRow; r < ven_.RowCount(); ++r)
            if (CellToIntDef0(ven_.Cells(0, r)) == n) return true;
        return false;
    }

    bool ReadBranchRow(int row) {
        const int n = CellToIntDef0(dan_.Cells(0, row));
        if (n <= 0 || n > MaxBranchCount) {
            FailAtBranch(t_, c_, Ru("Ошибка номера ветви ") + IntToStr(n), 1, row);
            return false;
        }
        const std::string ns = IntToStr(n);
        int begin = CellToIntDef0(dan_.Cells(1, row));
        int end = CellToIntDef0(dan_.Cells(2, row));
        double r = 0, length = 0, section = 0, slope = 0;
        if (!BranchReal(n, row, 4, r) || !BranchReal(n, row, 5, length) ||
            !BranchReal(n, row, 6, section))
            return false;
        if (!reverse_ && !BranchReal(n, row, 22, slope)) return false;

        double alpha = 0, factor = 4.0;
        if (!ReadAlphaCell(dan_.Cells(7, row), !reverse_, alpha, factor)) {
            FailAtBranch(t_, c_,
                         BadNumberText(Ru("Ошибка: ветвь ") + ns, dan_, 7, dan_.Cells(7, row)), 1,
                         row);
            return false;
        }
        double regulator = 0, calcRegulator = 0, required = 0;
        if (!BranchReal(n, row, 8, regulator) || !BranchReal(n, row, 9, calcRegulator) ||
            !BranchReal(n, row, 10, required))
            return false;

        c_.BranchBeginNode[n] = begin;
        c_.BranchEndNode[n] = end;
        c_.BranchResistance[n] = r;
        c_.BranchLength[n] = length;
        c_.BranchSection[n] = section;
        if (!reverse_) c_.BranchSlope[n] = slope;
        c_.RegulatorResistance[n] = regulator;
        c_.CalcRegulatorResistance[n] = calcRegulator;
        std::string& kind = c_.BranchKindCode[n];
        kind = BranchKindOfCell(dan_.Cells(3, row));
        const int flowUnit = c_.CalcOptions.FlowUnit == 0 ? 1 : c_.CalcOptions.FlowUnit;
        c_.RequiredFlow[n] = required / flowUnit;

        if (begin < 1 || begin > MaxNodeCount || end < 1 || end > MaxNodeCount) {
            FailAtBranch(t_, c_, Ru("Ошибка: ветвь ") + ns + Ru(" номер узла неправильный"), 1,
                         row);
            return false;
        }
        if (begin == end) {
            FailAtBranch(t_, c_, Ru("Ошибка: ветвь ") + ns + Ru(" начальный номер равен конечному"),
                         1, row);
            return false;
        }
        // The fire split needs node 2001 for itself.
        if (begin == MaxNodeCount || end == MaxNodeCount) {
            if (fireSplitRow_ >= 0) return FailFireNode(row);
            if (rowUsingFireNode_ < 0) rowUsingFireNode_ = row;
        }

        ++c_.BranchWorkCount;
        ++c_.BranchOccurrence[n];
        // Rows beyond the list's size are counted, not stored; preparation
        // reports the count.
        if (c_.BranchWorkCount <= MaxBranchCount) c_.BranchWorkList[c_.BranchWorkCount] = n;

        c_.NodeOutBranchesText[begin] += ns + "  ";
        c_.NodeInBranchesText[end] += ns + "  ";
        if (!reverse_) {
            ++c_.NodeOutCount[begin];
            ++c_.NodeInCount[end];
        }

        if (length > 0 && section > 0 && alpha > 0) {
            const double computed = GeometryResistance(factor, alpha, length, section);
            c_.BranchResistance[n] = computed;
            if (computed > 0) computedResistances_.emplace_back(row, ResistanceText(computed));
        }
        // A negative resistance would drive the air round a loop for ever.
        if (c_.BranchResistance[n] < 0 && !IsFanCode(kind)) {
            FailAtBranch(t_, c_,
                         Ru("Ошибка: ветвь ") + ns +
                             Ru(": отрицательное сопротивление в столбце \"") +
                             ColumnName(dan_, 4) + "\"",
                         1, row);
            dan_.SetCol(4);
            return false;
        }

        const char run = c_.CalcOptions[2];
        if (run == 'P' && kind == BranchType::Fire) {
            if (rowUsingFireNode_ >= 0) return FailFireNode(rowUsingFireNode_);
            fireSplitRow_ = row;
            kind.clear();
            const int m = MaxBranchCount;
            c_.BranchKindCode[m] = BranchType::Fire;
            c_.BranchBeginNode[m] = begin;
            c_.BranchEndNode[m] = MaxNodeCount;
            c_.BranchResistance[m] = 0;
            // The slot may hold a computed regulator of an earlier branch
            // 3001, which the regulator check would take for this one's.
            c_.CalcRegulatorResistance[m] = 0;
            c_.BranchBeginNode[n] = MaxNodeCount;
            ++c_.BranchWorkCount;
            ++c_.BranchOccurrence[m];
            if (c_.BranchWorkCount <= MaxBranchCount) c_.BranchWorkList[c_.BranchWorkCount] = m;
        }

        if ((run == 'P' || run == 'U') && kind == BranchType::FixedFlow) {
            c_.BranchResistance[n] += c_.CalcRegulatorResistance[n];
            kind.clear();
            c_.RegulatorResistance[n] = 0;
        } else {
            c_.BranchResistance[n] += c_.RegulatorResistance[n];
            c_.CalcRegulatorResistance[n] = 0;
            c_.RegulatorResistance[n] = 0;
        }

        if (!reverse_ && (run == 'O' || run == 'I') && kind == BranchType::NaturalDraught)
            kind.clear();

        bool needsFanRow = kind == BranchType::Fan;
        if (reverse_)
            needsFanRow =
                needsFanRow || kind == BranchType::FanReversed || kind == BranchType::FanStopped;
        if (needsFanRow && !HasFanRow(n)) {
            FailAtBranch(t_, c_, Ru("Ошибка номера вентилятора или типа ветви ") + ns, 1, row);
            return false;
        }
        if (kind == BranchType::FanStopped)
            c_.BranchResistance[n] = c_.CalcOptions.StoppedFanResistance;
        if (kind == BranchType::NaturalDraught) {
            double draught = 0;
            if (!BranchReal(n, row, 18, draught)) return false;
            c_.FanCoefC[n] = draught;
            if (draught != 0) {
                c_.BranchResistance[n] = 0;
                c_.BranchCalcKind[n] = 1;
                c_.FanCoefA[n] = c_.FanCoefB[n] = 0;
                kind = draught > 0 ? BranchType::Fan : BranchType::FanReversed;
            }
        }
        return true;
    }

    bool FailFireNode(int row) {
        int n = CellToIntDef0(dan_.Cells(0, row));
        FailAtBranch(t_, c_,
                     Ru("Ошибка: ветвь ") + IntToStr(n) +
                         Ru(" использует узел 2001, который нужен для расчета пожара"),
                     1, row);
        return false;
    }

    bool ReadFanTable() {
        for (int row = FirstDataRow; row < ven_.RowCount(); ++row) {
            int n = CellToIntDef0(ven_.Cells(0, row));
            if (n < 1 || n > MaxBranchCount) continue;
            const std::string& kind = c_.BranchKindCode[n];
            bool reversed = reverse_ && kind == BranchType::FanReversed;
            if (kind != BranchType::Fan && !reversed) continue;
            double coef[3] = {0, 0, 0};
            for (int i = 0; i < 3; ++i) {
                const std::string& cell = ven_.Cells(3 + i, row);
                if (CellReal(cell, coef[i])) continue;
                Fail(c_, BadNumberText(Ru("Ошибка: вентилятор ветви ") + IntToStr(n), ven_, 3 + i,
                                       cell));
                t_.ActivePage = reverse_ ? PageReverse : PageFans;
                ven_.SetCurrent(3 + i, row);
                return false;
            }
            // A reversed fan's curve seen in the branch's own direction.
            if (reversed) {
                coef[0] = -coef[0];
                coef[2] = -coef[2];
            }
            c_.FanCoefA[n] = coef[0];
            c_.FanCoefB[n] = coef[1];
            c_.FanCoefC[n] = coef[2];
            c_.BranchResistance[n] = 0;
            c_.FanFlowLimit[n] = TCalcContext::FanTopFlow(coef[0], coef[1]);
            if (coef[0] + coef[1] + coef[2] == 0) {
                Fail(c_, Ru("Ошибка коэффициентов вентилятора ") + IntToStr(n));
                return false;
            }
            c_.BranchCalcKind[n] = 1;
        }
        return true;
    }

    bool ReadNodeTable() {
        const TModGrid& g = t_.TablDavl;
        for (int row = FirstDataRow; row < g.RowCount(); ++row) {
            int k = CellToIntDef0(g.Cells(0, row));
            if (k < 1 || k > MaxNodeCount) continue;
            double elevation = 0;
            // An elevation beyond any mine makes every length through the
            // node meaningless (and beyond what the length arithmetic holds).
            if (!CellReal(g.Cells(4, row), elevation) || !std::isfinite(elevation) ||
                std::fabs(elevation) > kMaxElevation) {
                Fail(c_, BadNumberText(Ru("Ошибка: узел ") + IntToStr(k), g, 4, g.Cells(4, row)));
                t_.GotoTableRow(k);
                return false;
            }
            c_.NodeElevation[k] = elevation;
            c_.NodeX[k] = CellToIntDef0(g.Cells(5, row));
            c_.NodeY[k] = CellToIntDef0(g.Cells(6, row));
        }
        return true;
    }

    // Length from the node coordinates where the typed one cannot be right,
    // slope from the elevations. The ends come from the table, so a branch
    // split by a fire keeps the geometry of its real begin node.
    void ComputeGeometry() {
        for (int row = FirstDataRow; row < dan_.RowCount(); ++row) {
            int n = CellToIntDef0(dan_.Cells(0, row));
            int b = CellToIntDef0(dan_.Cells(1, row));
            int e = CellToIntDef0(dan_.Cells(2, row));
            double zb = c_.NodeElevation[b], ze = c_.NodeElevation[e];
            double dz = std::fabs(zb - ze);
            double dx = std::fabs(static_cast<double>(c_.NodeX[b]) - c_.NodeX[e]);
            double dy = std::fabs(static_cast<double>(c_.NodeY[b]) - c_.NodeY[e]);
            double d = std::sqrt(dx * dx + dy * dy);
            double& length = c_.BranchLength[n];
            if (length <= dz && d > 0)
                length = static_cast<double>(Round(std::sqrt(d * d + dz * dz) * 100)) / 100;
            if (length > 0 && zb != 0 && ze != 0) {
                double slope = 0;
                if (dz <= length)
                    slope =
                        static_cast<double>(Round(std::asin(dz / length) * 180 / std::numbers::pi));
                // Only a slope computed here takes its sign from the
                // elevations; a typed one keeps its own.
                if (zb > ze) slope = -slope;
                c_.BranchSlope[n] = slope;
            }
        }
    }
};

// Inserts an empty row below the grid's current row and returns it; a
// heading row never moves down.
int InsertNodeRow(TModGrid& g) {
    if (g.RowCount() < FirstDataRow) g.SetRowCount(FirstDataRow);
    if (g.Row() < FirstDataRow - 1) g.SetCurrent(g.Col(), FirstDataRow - 1);
    g.InsertRowBelow();
    return g.Row();
}

// FindNodeRow for every node in turn: the rows are looked up once and the
// index follows the rows that insertions move down.
class TNodeRowIndex {
public:
    explicit TNodeRowIndex(TModGrid& g) : g_(g), rowOf_(MaxNodeCount + 1, 0) {
        for (int r = g.RowCount() - 1; r >= FirstDataRow; --r) {
            int k = CellToIntDef0(g.Cells(0, r));
            if (k >= 1 && k <= MaxNodeCount) rowOf_[k] = r;
        }
    }
    int Find(int k) {
        if (rowOf_[k] != 0) return rowOf_[k];
        int row = InsertNodeRow(g_);
        for (int& r : rowOf_)
            if (r >= row) ++r;
        rowOf_[k] = row;
        return row;
    }

private:
    TModGrid& g_;
    std::vector<int> rowOf_;
};

void RemoveRow(TModGrid& g, int row) {
    g.SetCurrent(g.Col(), row);
    if (g.Row() == row) g.RemoveCurrentRow();
}

} // namespace

void ShowCalcMessage(std::string_view text) {
    SetScreenCursor(TCursor::Default);
    MessageBox(text, "", TMsgButtons::Cancel, TMsgIcon::Information);
}

std::string BranchKindOfCell(std::string_view cell) {
    std::string kind;
    for (char ch : cell) {
        if (ch == ' ') continue;
        kind += ch;
        if (kind.size() == 2) break;
    }
    return kind;
}

void ReadBranchTable(TNetworkTables& t, TCalcContext& c) {
    TBranchTableReader(t, c, false).Read();
}

void ReadBranchTableAlt(TNetworkTables& t, TCalcContext& c) {
    TBranchTableReader(t, c, true).Read();
}

std::string GeometryResistanceText(const TModGrid& dan, int row) {
    double length = 0, section = 0, alpha = 0, factor = 4.0;
    if (!CellReal(dan.Cells(5, row), length) || !CellReal(dan.Cells(6, row), section) ||
        !ReadAlphaCell(dan.Cells(7, row), true, alpha, factor))
        return {};
    if (!(length > 0 && section > 0 && alpha > 0)) return {};
    const double r = GeometryResistance(factor, alpha, length, section);
    return r > 0 ? ResistanceText(r) : std::string();
}

int FindNodeRow(TNetworkTables& t, int node) {
    TModGrid& g = t.TablDavl;
    for (int r = FirstDataRow; r < g.RowCount(); ++r)
        if (CellToIntDef0(g.Cells(0, r)) == node) return r;
    return InsertNodeRow(g);
}

void CheckNodesAndFillNodeTable(TNetworkTables& t, TCalcContext& c) {
    TModGrid& g = t.TablDavl;
    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount();) {
        g.SetCells(1, r, "");
        if (Trim(g.Cells(0, r)).empty())
            RemoveRow(g, r);
        else
            ++r;
    }

    const std::string surfaceText = ";" + t.UzPov;
    const std::string surfaceWord = Ru("Поверхность");
    TNodeRowIndex index(g);
    for (int k = 1; k < MaxNodeCount; ++k) {
        if (c.NodeIncidenceStart[k + 1] <= c.NodeIncidenceStart[k]) continue;
        int row = index.Find(k);
        g.SetCells(0, row, Format("%5d", {k}));
        if (Pos(";" + IntToStr(k) + ";", surfaceText) > 0) {
            if (c.NodeInBranchesText[k].empty()) c.NodeInBranchesText[k] = surfaceWord;
            if (c.NodeOutBranchesText[k].empty()) c.NodeOutBranchesText[k] = surfaceWord;
        }
        g.SetCells(2, row, c.NodeInBranchesText[k]);
        g.SetCells(3, row, c.NodeOutBranchesText[k]);
    }
    g.EndUpdate();

    for (int k = 1; k <= MaxNodeCount; ++k) {
        if (c.SurfaceNodeFlag[k] != 0) continue;
        int in = c.NodeInCount[k], out = c.NodeOutCount[k];
        if (!((out == 0 && in == 1) || (in == 0 && out == 1))) continue;
        SetScreenCursor(TCursor::Default);
        int answer = MessageBox(Ru("Ошибка: Узел ") + IntToStr(k) +
                                    Ru(" висячий, Внести его в список узлов поверхности?"),
                                "", TMsgButtons::YesCancel, TMsgIcon::Information);
        if (answer == mrYes) {
            t.ActivePage = PageGeneral;
            t.UzPov += IntToStr(k) + ";";
        }
        c.CalcErrorFlag = 1;
    }

    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount();) {
        if (Trim(g.Cells(2, r)).empty() && Trim(g.Cells(3, r)).empty())
            RemoveRow(g, r);
        else
            ++r;
    }
    g.SetFixedRows(2);
    g.EndUpdate();
    // The rows go in node order. Sorting on the cursor's column would sort on
    // the pressure column emptied above (or on the branch lists) and shuffle
    // the rows anew at every calculation.
    const int col = g.Col(), row = g.Row();
    g.SetCol(0);
    SortTableRows(g);
    g.SetCurrent(col, row);
}

void PrepareNetwork(TNetworkTables& t, TCalcContext& c) {
    c.CalcErrorFlag = 0;
    c.SearchResult = 0;
    c.BranchWorkCount = 0;
    for (int i = 1; i <= MaxBranchCount; ++i) {
        c.BranchBeginNode[i] = c.BranchEndNode[i] = 0;
        c.BranchResistance[i] = 0;
        c.RequiredFlow[i] = 0;
        c.FlowLowerBound[i] = -kUnbounded;
        c.FlowUpperBound[i] = kUnbounded;
        c.PressureBase1[i] = c.PressureBase2[i] = 0;
        c.BranchFlow[i] = 0;
        c.BranchWorkList[i] = 0;
        c.BranchOccurrence[i] = 0;
        c.BranchCalcKind[i] = 0;
        c.RegulatorResistance[i] = 0;
        c.BranchVelocity[i] = 0;
        // Types and fan curves of an earlier data set must not survive: a
        // stale fan or consumer would reappear in this calculation.
        c.BranchKindCode[i].clear();
        c.FanCoefA[i] = c.FanCoefB[i] = c.FanCoefC[i] = 0;
        c.FanFlowLimit[i] = 0;
    }
    for (int k = 0; k <= MaxNodeCount + 1; ++k) c.NodeIncidenceStart[k] = 0;
    for (int k = 1; k <= MaxNodeCount; ++k) c.SurfaceNodeFlag[k] = c.NodeWork[k] = 0;
    c.FanFlowSum = c.PrevFanFlowSum = 0;

    if (c.CalcOptions[40] == 'A')
        ReadBranchTableAlt(t, c);
    else
        ReadBranchTable(t, c);
    if (c.CalcErrorFlag) return;

    if (c.BranchWorkCount > MaxBranchCount) {
        Fail(c, Ru("Ошибка: количество ветвей больше ") + IntToStr(MaxBranchCount));
        return;
    }
    const int count = c.BranchWorkCount;
    for (int i = 1; i <= count; ++i) {
        int n = c.BranchWorkList[i];
        if (c.BranchOccurrence[n] != 1) {
            FailAtBranch(t, c, Ru("Ошибка: повторяется ветвь ") + IntToStr(n), 0, n);
            return;
        }
        if (c.BranchKindCode[n] == BranchType::FixedFlow && c.RequiredFlow[n] <= 0) {
            FailAtBranch(t, c,
                         Ru("Ошибка: ветвь ") + IntToStr(n) +
                             Ru(" требуемое количество воздуха должно быть >0"),
                         0, n);
            return;
        }
    }

    // Incidence lists: every branch once at its begin and once at its end
    // node, node after node, in work-list order within a node.
    for (int i = 1; i <= count; ++i) {
        int n = c.BranchWorkList[i];
        ++c.NodeWork[c.BranchBeginNode[n]];
        ++c.NodeWork[c.BranchEndNode[n]];
    }
    c.NodeIncidenceStart[1] = 1;
    for (int k = 1; k <= MaxNodeCount; ++k)
        c.NodeIncidenceStart[k + 1] = c.NodeIncidenceStart[k] + c.NodeWork[k];
    for (int k = 1; k <= MaxNodeCount; ++k) c.NodeWork[k] = c.NodeIncidenceStart[k];
    for (int i = 1; i <= count; ++i) {
        int n = c.BranchWorkList[i];
        c.NodeIncidence[c.NodeWork[c.BranchBeginNode[n]]++] = n;
        c.NodeIncidence[c.NodeWork[c.BranchEndNode[n]]++] = n;
    }
    for (int k = 1; k <= MaxNodeCount; ++k) c.NodeWork[k] = 0;

    c.ConnectedNodeCount = c.SourceNodeCount = c.SinkNodeCount = 0;
    for (int k = 1; k <= MaxNodeCount; ++k) {
        int first = c.NodeIncidenceStart[k], last = c.NodeIncidenceStart[k + 1];
        if (first == last) continue;
        ++c.ConnectedNodeCount;
        bool endsHere = false, beginsHere = false;
        for (int p = first; p < last; ++p) {
            int n = c.NodeIncidence[p];
            if (c.BranchEndNode[n] == k) endsHere = true;
            if (c.BranchBeginNode[n] == k) beginsHere = true;
        }
        if (!endsHere) c.SourceNodeList[++c.SourceNodeCount] = k;
        if (!beginsHere) c.SinkNodeList[++c.SinkNodeCount] = k;
    }

    bool anySurface = false;
    for (int i = 1; i <= MaxSurfaceNodes && c.SurfaceNodeList[i] != 0; ++i) {
        int k = c.SurfaceNodeList[i];
        if (k < 1 || k > MaxNodeCount) continue;
        c.SurfaceNodeFlag[k] = 1;
        anySurface = true;
    }
    if (!anySurface) {
        Fail(c, Ru("Ошибка: не найдено точек поверхности"));
        return;
    }

    CheckNodesAndFillNodeTable(t, c);

    // The window and the report show the network's own counts: a fire run's
    // pseudo-branch and its node 2001 are the calculation's (no table
    // branch may use that node while it is split).
    const int m = MaxBranchCount;
    const int split = c.CalcOptions[2] == 'P' && c.BranchOccurrence[m] == 1 &&
                              c.BranchKindCode[m] == BranchType::Fire &&
                              c.BranchEndNode[m] == MaxNodeCount
                          ? 1
                          : 0;
    t.BranchCountText = IntToStr(count - split);
    t.NodeCountText = IntToStr(c.ConnectedNodeCount - split);
    c.OptimalIteration = 0;
    c.OptimalStage = 0;

    const char run = c.CalcOptions[2];
    for (int i = 1; i <= count; ++i) {
        int n = c.BranchWorkList[i];
        std::string& kind = c.BranchKindCode[n];
        if ((run == 'P' || run == 'U') &&
            (kind == BranchType::MarkedFixedFlow || kind == BranchType::FixedFlow))
            kind.clear();
        if (c.CalcRegulatorResistance[n] < 0) {
            FailAtBranch(
                t, c, Ru("Ошибка: не должно быть ветвей с отриц. расчетным сопротивлением"), 0, n);
            return;
        }
        if (kind == BranchType::FixedFlow) {
            // The optimal distributions find the pressure a consumer needs, so
            // they keep its own resistance in the solve.
            if (!((run == 'O' || run == 'I') && c.BranchResistance[n] > kFixedFlowResistance))
                c.BranchResistance[n] = kFixedFlowResistance;
            if (c.RequiredFlow[n] > 0) {
                c.FlowLowerBound[n] = c.FlowUpperBound[n] = c.RequiredFlow[n];
                c.RegulatorResistance[n] = kFixedFlowRegulator;
            }
        }
    }
}

} // namespace arv
