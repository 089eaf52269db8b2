#include "SampleMine.h"

#include "NetworkBuilder.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

namespace arv::test {

namespace {

struct TWorking {
    int number, begin, end;
    double resistance;
    const char* type;
    const char* length;
    const char* section;
    const char* name;
};

// Resistances in the table's unit; lengths in m, sections in m2.
const TWorking kWorkings[] = {
    {1, 1, 2, 0.003, "", "450", "28,3", "Ствол главный"},
    {2, 2, 3, 0.008, "", "320", "12", "Квершлаг главный"},
    {3, 3, 4, 0.02, "", "640", "10", "Штрек откаточный восточный"},
    {4, 3, 5, 0.025, "", "700", "10", "Штрек откаточный западный"},
    {5, 4, 6, 1.5, "ОЗ", "180", "6", "Лава 1 восточная"},
    {6, 5, 7, 0.12, "=", "160", "6", "Лава 2 западная"},
    {7, 6, 8, 0.03, "", "620", "9", "Штрек вентиляционный восточный"},
    {8, 7, 8, 0.03, "Р", "680", "9", "Штрек вентиляционный западный"},
    {9, 8, 9, 0.004, "", "430", "20", "Ствол вентиляционный №1"},
    {10, 9, 10, 0, "В", "", "", "Вентилятор ВЦ-25 №1"},
    {11, 2, 11, 0.3, "", "900", "8", "Уклон вспомогательный"},
    {12, 11, 12, 0, "В", "", "", "Вентилятор ВОД-21 №2"},
    {13, 13, 14, 0, "ЕТ", "", "", "Естественная тяга штольни"},
    {14, 14, 3, 0.05, "", "1100", "9", "Штольня вентиляционная"},
};

struct TPoint {
    int node;
    double elevation;
    int x, y;
};

const TPoint kNodes[] = {
    {1, 150, 0, 0},     {2, -300, 0, 0},     {3, -300, 320, 0},    {4, -310, 960, 0},
    {5, -305, -380, 0}, {6, -280, 960, 180}, {7, -285, -380, 160}, {8, -270, 300, 600},
    {9, 160, 300, 600}, {10, 160, 340, 600}, {11, -200, 0, -900},  {12, 155, 0, -940},
    {13, 140, 1400, 0}, {14, 140, 1360, 0},
};

} // namespace

void BuildSampleMine(TNetworkTables& t) {
    TNetworkBuilder b(t);
    t.NameSh = Ru("Шахта «Северная»");
    t.NameVar = Ru("Основной вариант");
    t.Tnar = "5";
    t.Tsh = "18";
    t.Pnar = "760";
    t.Psh = "745";
    for (const TWorking& w : kWorkings) {
        int row = b.Branch(w.number, w.begin, w.end, w.resistance, w.type);
        if (w.resistance == 0) b.BranchCell(row, 4, "");
        b.BranchCell(row, 5, w.length);
        b.BranchCell(row, 6, w.section);
        b.BranchCell(row, 15, w.name);
    }
    // Row 5: the east face needs 8 m3/s; row 6: the west face is held at 6.
    b.BranchCell(FirstDataRow + 4, 10, "8");
    b.BranchCell(FirstDataRow + 5, 10, "6");
    b.BranchCell(FirstDataRow + 4, 21, "24");
    b.BranchCell(FirstDataRow + 5, 21, "18");
    // The regulator window in the west return.
    b.BranchCell(FirstDataRow + 7, 8, "0,2");
    // Natural draught of the adit, mm w.c.
    b.BranchCell(FirstDataRow + 12, 18, "12");
    int fan1 = b.Fan(10, -0.03, 0, 300);
    int fan2 = b.Fan(12, -0.05, 0, 150);
    t.TablVen.SetCells(1, fan1, Ru("ВЦ-25"));
    t.TablVen.SetCells(2, fan1, "30");
    t.TablVen.SetCells(1, fan2, Ru("ВОД-21"));
    t.TablVen.SetCells(2, fan2, "25");
    for (const TPoint& p : kNodes) b.Node(p.node, p.elevation, p.x, p.y);
    b.Surface({1, 10, 12, 13});
}

std::vector<std::string> SampleMineDanLines(const TNetworkTables& t, const TCalcOptions& o) {
    auto row = [](char tag, const TModGrid& g, int r, int cols) {
        std::string line(1, tag);
        line += ';';
        for (int c = 0; c < cols; ++c) line += g.Cells(c, r) + ";";
        return line;
    };
    std::vector<std::string> lines;
    lines.push_back("A;" + t.NameSh);
    lines.push_back("B;" + t.NameVar);
    std::string options = "C; " + IntToStr(o.FlowUnit) + ";";
    for (int p = 1; p <= 5; ++p) options += std::string(" ") + o[p] + ";";
    for (const std::string* f : {&t.Tnar, &t.Tsh, &t.Pnar, &t.Psh}) options += " " + *f + ";";
    lines.push_back(options);
    lines.push_back("U;" + t.UzPov);
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
        lines.push_back(row('D', t.TablDan, r, 23));
    for (int r = FirstDataRow; r < t.TablVen.RowCount(); ++r)
        lines.push_back(row('V', t.TablVen, r, 8));
    for (int r = FirstDataRow; r < t.TablDavl.RowCount(); ++r)
        lines.push_back(row('N', t.TablDavl, r, 7));
    return lines;
}

} // namespace arv::test
