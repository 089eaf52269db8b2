// A small data set with every kind of record, for the data text and file
// tests.
//
//   1 --(1, fan В)--> 2 --(2)--> 3 --(3, "=" 12)--> 1
//
// Surface nodes 1 and 25; one fan row, two node rows with an elevation
// (node 2 has none), one stored route of each kind.
#pragma once

#include "calc/model/NetworkTables.h"

#include "platform/Cp1251.h"

#include <string>

namespace arv::test {

inline void SetRow(TModGrid& grid, int row,
                   std::initializer_list<std::pair<int, const char*>> cells) {
    if (grid.RowCount() <= row) grid.SetRowCount(row + 1);
    for (auto [col, text] : cells) grid.SetCells(col, row, Ru(text));
}

// The names, temperatures, pressures and surface nodes of the sample.
inline void FillSampleFields(TNetworkTables& t) {
    t.NameSh = Ru("Шахта");
    t.NameVar = Ru("В1");
    t.Tnar = "-5";
    t.Tsh = "18";
    t.Pnar = "760";
    t.Psh = "770";
    t.UzPov = "1;25;";
}

inline void FillSampleNetwork(TNetworkTables& t) {
    FillSampleFields(t);
    SetRow(t.TablDan, 2, {{0, "1"}, {1, "1"}, {2, "2"}, {3, "В"}, {15, "Ствол"}});
    // A row without a branch number is not data, whatever else it holds.
    SetRow(t.TablDan, 3, {{5, "40"}});
    SetRow(t.TablDan, 4, {{0, "2"}, {1, "2"}, {2, "3"}, {4, "0,012"}, {5, "100"}, {6, "8.5"}});
    SetRow(t.TablDan, 5,
           {{0, "3"}, {1, "3"}, {2, "1"}, {3, "="}, {4, "0.5"}, {10, "12"}, {22, "7"}});
    SetRow(t.TablVen, 2, {{0, "1"}, {1, "ВОД-21"}, {2, "25"}, {3, "-0.5"}, {4, "0"}, {5, "120"}});
    // Beyond the eight fan columns: never written.
    t.TablVen.SetCells(8, 2, "hidden");
    SetRow(t.TablDavl, 2,
           {{0, "1"}, {1, "12,5"}, {2, "3  "}, {3, "1  "}, {4, "100"}, {5, "10"}, {6, "20"}});
    SetRow(t.TablDavl, 3, {{0, "2"}, {5, "30"}});
    SetRow(t.TablDavl, 4, {{0, "3"}, {4, "0"}});
    SetRow(t.TempTableM, 0, {{0, "7"}, {1, "Путь"}, {7, "end"}});
    SetRow(t.TempTableS, 1, {{0, "8"}, {6, "s"}});
}

// n separators: a run of empty fields.
inline std::string Empty(int n) {
    return std::string(n, ';');
}

// The exact text the writer gives for the sample with a 23-column branch
// table, built field by field.
inline std::string SampleNetworkText() {
    std::string s = Ru("A;Шахта;В1;1; D; E; N; S; O; -5; 18; 760; 770; #");
    s += "U;1;25;#";
    s += Ru("D;1;1;2;В;") + Empty(11) + Ru("Ствол;") + Empty(7) + "#";
    s += "D;2;2;3;;0,012;100;8.5;" + Empty(16) + "#";
    s += "D;3;3;1;=;0.5;" + Empty(5) + "12;" + Empty(11) + "7;#";
    s += Ru("V;1;ВОД-21;25;-0.5;0;120;;;#");
    s += "N;1;12,5;;;100;10;20;#";
    s += "N;3;;;;0;;;#";
    s += Ru("M;7;Путь;") + Empty(5) + "end;#";
    s += "S;8;" + Empty(5) + "s;#";
    s += "#";
    return s;
}

} // namespace arv::test
