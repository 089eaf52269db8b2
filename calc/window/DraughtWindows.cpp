#include "calc/window/DraughtWindows.h"

#include "calc/engine/DraughtCalculations.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/ThermalDepression.h"
#include "calc/model/DecimalText.h"
#include "calc/window/CalcDialogs.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <cmath>
#include <numbers>

namespace arv {

namespace {

// The current data row of the branch table, -1 when it has none.
int CurrentDataRow(const TModGrid& g) {
    const int row = g.Row();
    return row >= FirstDataRow && row < g.RowCount() ? row : -1;
}

bool PositiveNumber(const std::string& text, double& value) {
    return TryCellToFloat(text, value) && value > 0;
}

void SetIfEmpty(TModGrid& g, int col, int row, const std::string& text) {
    if (Trim(g.Cells(col, row)).empty()) g.SetCells(col, row, text);
}

} // namespace

TThermalDepressionModel::TThermalDepressionModel(TNetworkTables& t, TCalcContext& c)
    : t_(t), c_(c) {
    FormCreate();
}

void TThermalDepressionModel::FormCreate() {
    TablTD.SetColCount(2);
    TablTD.SetRowCount(ThermalDepressionRows + 1);
    TablTD.SetFixedRows(1);
    TablTD.SetFixedCols(0);
    TablTD.SetColWidths(0, 70);
    TablTD.SetColWidths(1, 100);
    TablTD.SetFont(t_.TablDan.FontName(), t_.TablDan.FontSize());
    TablTD.SetCells(0, 0, Ru("Время"));
    TablTD.SetCells(1, 0, Ru("Депрессия"));
    for (int i = 1; i <= ThermalDepressionRows; ++i) TablTD.SetCells(0, i, IntToStr(10 * i));
}

void TThermalDepressionModel::ClearDepressions() {
    TablTD.BeginUpdate();
    for (int i = 1; i <= ThermalDepressionRows; ++i) TablTD.SetCells(1, i, "");
    TablTD.EndUpdate();
    computed_ = false;
}

void TThermalDepressionModel::FormShow() {
    TablTD.SetFont(t_.TablDan.FontName(), t_.TablDan.FontSize());
    // The window lives on between openings; another branch's depressions
    // must not be offered for this one.
    ClearDepressions();
    const TModGrid& g = t_.TablDan;
    row_ = CurrentDataRow(g);
    if (row_ < 0) {
        Edit1 = Edit2 = Edit3 = Edit4 = Edit5 = Edit6 = "";
        return;
    }
    const int b = CellToIntDef0(g.Cells(0, row_));
    const int begin = CellToIntDef0(g.Cells(1, row_));
    const int end = CellToIntDef0(g.Cells(2, row_));
    auto elevation = [this](int node) {
        return node >= 1 && node <= MaxNodeCount ? c_.NodeElevation[node] : 0.0;
    };
    if (b >= 1 && b <= MaxBranchCount) {
        const double length = c_.BranchLength[b];
        const double sine = length > 0 ? (elevation(end) - elevation(begin)) / length : 0;
        if (std::fabs(sine) < 1) {
            double slope = std::asin(std::fabs(sine)) * 180 / std::numbers::pi;
            c_.BranchSlope[b] = sine < 0 ? -slope : slope;
        }
    }
    Edit1 = g.Cells(0, row_);
    Edit2 = g.Cells(15, row_);
    Edit3 = g.Cells(5, row_);
    Edit4 = g.Cells(6, row_);
    Edit6 = g.Cells(11, row_);
    Edit5 = g.Cells(22, row_);
    if (Edit5.empty() && b >= 1 && b <= MaxBranchCount) Edit5 = IntToStr(Round(c_.BranchSlope[b]));
}

bool TThermalDepressionModel::BitBtnRasClick() {
    const int unit = c_.CalcOptions.FlowUnit == 0 ? 1 : c_.CalcOptions.FlowUnit;
    double flow = 0, slope = 0, section = 0, length = 0;
    const bool read = TryCellToFloat(Edit6, flow) && TryCellToFloat(Edit5, slope) &&
                      PositiveNumber(Edit4, section) && PositiveNumber(Edit3, length);
    const double q0 = std::fabs(flow / unit);
    // Depressions of other field values would be taken for these.
    ClearDepressions();
    if (!read || !(q0 > 0)) {
        ShowCalcMessage(Ru("Ошибка в данных"));
        return false;
    }
    TablTD.BeginUpdate();
    for (int i = 1; i <= ThermalDepressionRows; ++i) {
        const double h = ThermalDepression(q0, section, length, slope, 10.0 * i);
        TablTD.SetCells(1, i, Format("%6.2f", {h}));
    }
    TablTD.EndUpdate();
    computed_ = true;
    return true;
}

bool TThermalDepressionModel::CanChoose() const {
    const int tdRow = TablTD.Row();
    return computed_ && row_ >= 0 && row_ < t_.TablDan.RowCount() && tdRow >= 1 &&
           tdRow <= ThermalDepressionRows && !Trim(TablTD.Cells(1, tdRow)).empty();
}

void TThermalDepressionModel::BitBtnVybClick() {
    if (!CanChoose()) return;
    TModGrid& g = t_.TablDan;
    g.SetCells(18, row_, TablTD.Cells(1, TablTD.Row()));
    SetIfEmpty(g, 15, row_, Edit2);
    SetIfEmpty(g, 5, row_, Edit3);
    SetIfEmpty(g, 6, row_, Edit4);
    SetIfEmpty(g, 22, row_, Edit5);
    g.Modified = true;
}

TRegulatorWindowModel::TRegulatorWindowModel(TNetworkTables& t, TCalcContext& c)
    : AcceptCaption(Ru("Принять как сопр. вент. устр.")), t_(t), c_(c) {}

void TRegulatorWindowModel::FormShow() {
    const TModGrid& g = t_.TablDan;
    row_ = CurrentDataRow(g);
    Edit1 = row_ >= 0 ? g.Cells(0, row_) : std::string();
    Edit2 = row_ >= 0 ? g.Cells(15, row_) : std::string();
    Edit3.clear();
    Edit4 = row_ >= 0 ? g.Cells(6, row_) : std::string();
    Edit5.clear();
}

bool TRegulatorWindowModel::BitBtnRasClick() {
    double section = 0, window = 0;
    if (!PositiveNumber(Edit4, section) || !PositiveNumber(Edit3, window)) {
        ShowCalcMessage(Ru("Ошибка в данных"));
        return false;
    }
    if (window >= section) {
        SetScreenCursor(TCursor::Default);
        ShowMessage(Ru("Площадь окна должна быть меньше площади выработки"));
        return false;
    }
    Edit5 = Format("%8.5f", {RegulatorWindowResistance(section, window)});
    return true;
}

bool TRegulatorWindowModel::CanAccept() const {
    double resistance = 0;
    return TryCellToFloat(Edit5, resistance);
}

void TRegulatorWindowModel::BitBtnVybClick() {
    if (c_.CalcOptions[2] == 'U') return;
    TModGrid& g = t_.TablDan;
    // An empty result must not replace the given regulator resistance.
    if (row_ < 0 || row_ >= g.RowCount() || !CanAccept()) return;
    g.SetCells(15, row_, Edit2);
    g.SetCells(8, row_, Edit5);
    g.SetCells(6, row_, Edit4);
    g.Modified = true;
}

void Rasc_TDClick(TNetworkTables& t, TCalcContext& c) {
    if (t.TablDan.Modified || t.TablVen.Modified) Rasc_ERClick(t, c);
    FTeplD().ShowModal();
}

void Rasc_OknoClick() {
    FR_Okno().SetAcceptCaption(Ru("Принять как сопр. вент. устр."));
    FR_Okno().ShowModal();
}

} // namespace arv
