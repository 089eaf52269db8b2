#include "NetworkBuilder.h"

#include "calc/model/DecimalText.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

namespace arv::test {

namespace {

int AppendRow(TModGrid& g) {
    int row = g.RowCount();
    g.SetRowCount(row + 1);
    g.ClearRow(row);
    return row;
}

void Empty(TModGrid& g) {
    int last = std::max(g.RowCount(), g.LastFilledRow() + 1);
    for (int r = FirstDataRow; r < last; ++r) g.ClearRow(r);
    g.SetRowCount(FirstDataRow);
}

} // namespace

std::string CellText(double value) {
    return FloatToStr(value);
}

int RowOf(const TModGrid& g, int number) {
    for (int r = FirstDataRow; r < g.RowCount(); ++r)
        if (CellToIntDef0(g.Cells(0, r)) == number) return r;
    return -1;
}

TNetworkBuilder::TNetworkBuilder(TNetworkTables& t) : t_(t) {
    Empty(t.TablDan);
    Empty(t.TablVen);
    Empty(t.TablDavl);
}

int TNetworkBuilder::Branch(int number, int begin, int end, double resistance,
                            std::string_view typeUtf8) {
    TModGrid& g = t_.TablDan;
    int row = AppendRow(g);
    g.SetCells(0, row, IntToStr(number));
    g.SetCells(1, row, IntToStr(begin));
    g.SetCells(2, row, IntToStr(end));
    g.SetCells(3, row, Ru(typeUtf8));
    g.SetCells(4, row, CellText(resistance));
    return row;
}

void TNetworkBuilder::BranchCell(int row, int col, std::string_view text) {
    t_.TablDan.SetCells(col, row, Ru(text));
}

int TNetworkBuilder::Fan(int number, double a, double b, double c) {
    TModGrid& g = t_.TablVen;
    int row = AppendRow(g);
    g.SetCells(0, row, IntToStr(number));
    g.SetCells(3, row, CellText(a));
    g.SetCells(4, row, CellText(b));
    g.SetCells(5, row, CellText(c));
    return row;
}

int TNetworkBuilder::Node(int node, double elevation, int x, int y) {
    TModGrid& g = t_.TablDavl;
    int row = AppendRow(g);
    g.SetCells(0, row, IntToStr(node));
    g.SetCells(4, row, CellText(elevation));
    g.SetCells(5, row, IntToStr(x));
    g.SetCells(6, row, IntToStr(y));
    return row;
}

void TNetworkBuilder::Surface(std::initializer_list<int> nodes) {
    t_.UzPov.clear();
    for (int k : nodes) t_.UzPov += IntToStr(k) + ";";
}

} // namespace arv::test
