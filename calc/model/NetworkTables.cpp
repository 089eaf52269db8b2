#include "calc/model/NetworkTables.h"

#include "calc/model/CalcModel.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <map>

namespace arv {

namespace {

const char* const kTypePickerLines[] = {
    "         Выработка",         "=      Фикс.расход",  "В      Вентилятор",
    "ВО   Вентилятор остановлен", "Р      Регулятор",    "ЕТ  Ест.тяга",
    "ОЗ  Очистной забой",         "ТЗ  Тупиковый забой", "ВМП Место установки ВМП",
    "АУ  Анализ устойчивости",
};

std::string WithoutBlanks(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != ' ') r += c;
    return r;
}

void SetHeadings(TModGrid& grid, const std::vector<std::pair<std::string, std::string>>& h) {
    for (int c = 0; c < static_cast<int>(h.size()); ++c) {
        grid.SetCells(c, 0, h[c].first);
        grid.SetCells(c, 1, h[c].second);
    }
}

void CopyColumn(const TModGrid& from, int fromCol, TModGrid& to, int toCol) {
    for (int r = 0; r < from.RowCount(); ++r) to.SetCells(toCol, r, from.Cells(fromCol, r));
}

} // namespace

std::string TMemo::Text() const {
    std::string t;
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i) t += "\r\n";
        t += Lines[i];
    }
    return t;
}

TNetworkTables::TNetworkTables(TCalcContext& calc) : calc_(calc) {
    NormalResults.Watch(TablDan);
    NormalResults.Watch(TablVen);
    ReverseResults.Watch(TablDanRev);
    ReverseResults.Watch(TablVenRev);
    for (const char* line : kTypePickerLines) VybTip.Items.push_back(Ru(line));
    for (TModGrid* g : {&TablDan, &TablVen, &TablPotr, &TablDavl, &TablID, &TablDanRev, &TablVenRev,
                        &TempTableM, &TempTableS}) {
        g->SetFixedCols(0);
        g->SetRowCount(4);
        g->SetFixedRows(2);
        // Without a fixed column the first column is the leftmost one shown.
        g->SetLeftCol(0);
        g->SetCurrent(0, g->FixedRows());
    }
    for (TModGrid* g : {&TempTableM, &TempTableS}) {
        g->SetFixedRows(0);
        g->SetVisible(false);
    }
    TempTableM.SetColCount(8);
    TempTableS.SetColCount(7);
    TablID.SetVisible(false);
    TablDanRev.SetVisible(false);
    TablVenRev.SetVisible(false);

    TablDan.OnExit = [this](TStringGridModel&) { TablDanExit(); };
    TablPotr.OnExit = [this](TStringGridModel&) { TablPotrExit(); };
    TablPotr.OnSelectCell = [this](TStringGridModel&, int c, int r, bool& can) {
        TablPotrSelectCell(c, r, can);
    };
    TablPotr.OnKeyDown = [this](TStringGridModel&, int& key, TShiftState s) {
        TablPotrKeyDown(key, s);
    };
    InitTables();
}

void TNetworkTables::WriteHeadings() {
    SetHeadings(TablDan, Headings("TablDan"));
    SetHeadings(TablVen, Headings("TablVen"));
    SetHeadings(TablPotr, Headings("TablPotr"));
    SetHeadings(TablDavl, Headings("TablDavl"));
}

void TNetworkTables::InitTables() {
    TablDan.BeginUpdate();
    TablVen.BeginUpdate();
    WriteHeadings();
    TablDan.SetColCount(23);
    TablVen.SetColCount(8);
    TablPotr.SetColCount(6);
    TablDavl.SetColCount(7);
    for (int r = FirstDataRow; r <= MaxBranchCount; ++r) TablDan.ClearRow(r);
    for (int r = FirstDataRow; r <= MaxFanRows; ++r) TablVen.ClearRow(r);
    TablDan.SetFixedRows(2);
    TablVen.SetFixedRows(2);
    TablDavl.SetFixedRows(2);
    TablDan.EndUpdate();
    TablVen.EndUpdate();
    CopyHeadingsToReverseTables();
}

void TNetworkTables::CopyHeadingsToReverseTables() {
    auto copy = [](const TModGrid& from, TModGrid& to) {
        to.BeginUpdate();
        to.SetColCount(from.ColCount());
        to.SetRowCount(from.RowCount());
        to.SetFixedRows(from.FixedRows());
        for (int c = 0; c < from.ColCount(); ++c) {
            to.SetCells(c, 0, from.Cells(c, 0));
            to.SetCells(c, 1, from.Cells(c, 1));
        }
        to.EndUpdate();
    };
    copy(TablDan, TablDanRev);
    copy(TablVen, TablVenRev);
}

void TNetworkTables::BuildTablID(char tag) {
    if (tag != 'H' && tag != 'R') return;
    TablID.BeginUpdate();
    TablID.ClearAll();
    TablID.SetColCount(tag == 'H' ? 7 : 4);
    TablID.SetRowCount(std::max(TablDan.RowCount(), 4));
    for (int c = 0; c < 3; ++c) CopyColumn(TablDan, c, TablID, c);
    if (tag == 'H') {
        auto h = Headings("TablIDPressure");
        for (int c = 0; c < 3; ++c) {
            TablID.SetCells(3 + c, 0, h[c].first);
            TablID.SetCells(3 + c, 1, h[c].second);
        }
        CopyColumn(TablDan, 4, TablID, 6);
    } else {
        CopyColumn(TablDan, 4, TablID, 3);
    }
    TablID.SetRowCount(4);
    TablID.SetFixedRows(2);
    TablID.SetFont(TablDan.FontName(), TablDan.FontSize());
    TablID.EndUpdate();
}

void TNetworkTables::EmptyAllTables() {
    for (TModGrid* g : {&TablDan, &TablVen, &TablPotr, &TablDavl, &TablID, &TablDanRev, &TablVenRev,
                        &TempTableM, &TempTableS}) {
        g->BeginUpdate();
        int fixed = g->FixedRows();
        int last = std::max(g->RowCount(), g->LastFilledRow() + 1);
        for (int r = fixed; r < last; ++r) g->ClearRow(r);
        g->EndUpdate();
    }
    for (TModGrid* g : {&TablDan, &TablVen, &TablDavl, &TablPotr, &TempTableM, &TempTableS})
        g->SetRowCount(4);
}

void TNetworkTables::TablDanExit() {
    TablPotr.BeginUpdate();
    // Each consumer keeps the results it was shown with (also those of a row
    // hidden for a while), when another consumer moves it to another row as
    // well; no row shows another one's results.
    std::map<std::string, std::pair<std::string, std::string>> results;
    int last = std::max(TablPotr.RowCount() - 1, TablPotr.LastFilledRow());
    for (int r = FirstDataRow; r <= last; ++r) {
        std::string key = Trim(TablPotr.Cells(0, r));
        if (!key.empty())
            results.emplace(key, std::pair(TablPotr.Cells(3, r), TablPotr.Cells(4, r)));
    }
    TablPotr.SetRowCount(2);
    for (int r = FirstDataRow; r < TablDan.RowCount(); ++r) {
        if (WithoutBlanks(TablDan.Cells(10, r)).empty()) continue;
        int row = TablPotr.RowCount();
        TablPotr.SetRowCount(row + 1);
        TablPotr.ClearRow(row);
        auto kept = results.find(Trim(TablDan.Cells(0, r)));
        if (kept != results.end()) {
            TablPotr.SetCells(3, row, kept->second.first);
            TablPotr.SetCells(4, row, kept->second.second);
        }
        TablPotr.SetCells(0, row, TablDan.Cells(0, r));
        TablPotr.SetCells(1, row, TablDan.Cells(3, r));
        TablPotr.SetCells(2, row, TablDan.Cells(10, r));
        TablPotr.SetCells(5, row, TablDan.Cells(15, r));
    }
    if (TablPotr.RowCount() > 2) TablPotr.SetFixedRows(2);
    TablPotr.EndUpdate();
}

bool ShowsRequiredFlow(std::string_view consumerCell, std::string_view branchCell) {
    if (consumerCell == branchCell) return true;
    double value = 0;
    return TryCellToFloat(branchCell, value) && consumerCell == Format("%8.2f", {value});
}

void TNetworkTables::WriteBackConsumers() {
    // Only what was changed here goes back: the consumer table shows the
    // required flows rounded, and a visit must not make 0,13 of 0,125.
    for (int p = FirstDataRow; p < TablPotr.RowCount(); ++p) {
        std::string key = Trim(TablPotr.Cells(0, p));
        // A consumer row without a branch number belongs to no branch.
        if (key.empty()) continue;
        for (int d = FirstDataRow; d < TablDan.RowCount(); ++d) {
            if (Trim(TablDan.Cells(0, d)) != key) continue;
            // The consumer's edit is the branch table's now, unsaved.
            auto take = [&](int danCol, int potrCol) {
                TablDan.SetCells(danCol, d, TablPotr.Cells(potrCol, p));
                TablDan.Modified = true;
            };
            if (TablPotr.Cells(1, p) != TablDan.Cells(3, d)) take(3, 1);
            if (!ShowsRequiredFlow(TablPotr.Cells(2, p), TablDan.Cells(10, d))) take(10, 2);
            if (TablPotr.Cells(5, p) != TablDan.Cells(15, d)) take(15, 5);
        }
    }
}

void TNetworkTables::CommitConsumerEdits() {
    if (!TablPotr.Modified) return;
    WriteBackConsumers();
    TablPotr.Modified = false;
}

void TNetworkTables::TablPotrExit() {
    WriteBackConsumers();
}

void TNetworkTables::TablPotrSelectCell(int, int, bool&) {
    CommitConsumerEdits();
}

void TNetworkTables::TablPotrKeyDown(int& key, TShiftState) {
    if (key != VK_F8 || TablPotr.Row() <= 1) return;
    int number = CellToIntDef0(TablPotr.Cells(0, TablPotr.Row()));
    for (int d = FirstDataRow; d < TablDan.RowCount(); ++d) {
        if (CellToIntDef0(TablDan.Cells(0, d)) != number) continue;
        TablDan.SetCells(3, d, "");
        TablDan.SetCells(10, d, "");
        break;
    }
}

void TNetworkTables::ShowTypePicker() {
    VybTip.Visible = true;
}

void TNetworkTables::WriteSelectedType() {
    if (VybTip.ItemIndex < 0 || VybTip.ItemIndex >= static_cast<int>(VybTip.Items.size())) return;
    std::string code = Trim(Copy(VybTip.Items[VybTip.ItemIndex], 1, 3));
    TModGrid* grid = ActivePage == PageNetwork   ? &TablDan
                     : ActivePage == PageReverse ? &TablDanRev
                                                 : nullptr;
    // Without data rows the cursor stands on a heading row.
    if (grid && grid->Row() >= FirstDataRow) grid->SetCells(3, grid->Row(), code);
}

void TNetworkTables::VybTipKeyPress(char key) {
    if (key == '\r') WriteSelectedType();
    VybTip.Visible = false;
}

void TNetworkTables::VybTipMouseDown(int index) {
    if (index >= 0 && index < static_cast<int>(VybTip.Items.size())) VybTip.ItemIndex = index;
    WriteSelectedType();
    VybTip.Visible = false;
}

void ScrollRowIntoView(TModGrid& grid, int row) {
    if (row < grid.TopRow() || row > grid.TopRow() + grid.VisibleRowCount())
        grid.SetTopRow(std::max(row - 2, 2));
}

void TNetworkTables::ShowRow(TModGrid& grid, int row) {
    grid.SetLeftCol(grid.FixedCols());
    ScrollRowIntoView(grid, row);
    // Column 0, unless the branch number column is fixed: the cursor cannot
    // stand in a fixed column.
    grid.SetCurrent(grid.FixedCols(), row);
}

void TNetworkTables::GotoBranchRow(int mode, int value) {
    char m = calc_.CalcOptions[40];
    TModGrid* grid;
    if (m == 'N') {
        grid = &TablDan;
        ActivePage = PageNetwork;
    } else if (m == 'A') {
        grid = &TablDanRev;
        ActivePage = PageReverse;
    } else {
        return;
    }
    if (grid->RowCount() <= FirstDataRow) return;
    int row = -1;
    if (mode == 0) {
        for (int r = FirstDataRow; r < grid->RowCount(); ++r)
            if (CellToIntDef0(grid->Cells(0, r)) == value) {
                row = r;
                break;
            }
        if (row < 0) return;
    } else {
        // A row index from outside the table shows the nearest row.
        row = std::clamp(value, FirstDataRow, grid->RowCount() - 1);
    }
    ShowRow(*grid, row);
}

void TNetworkTables::GotoTableRow(int node) {
    ActivePage = PageNodes;
    for (int r = FirstDataRow; r < TablDavl.RowCount(); ++r)
        if (CellToIntDef0(TablDavl.Cells(0, r)) == node) {
            ShowRow(TablDavl, r);
            return;
        }
}

TNetworkTables& NetworkTables() {
    static TNetworkTables tables;
    return tables;
}

} // namespace arv
