// The network data: the tables and fields of the network data window, held
// without any window so that the calculation, the files and the tests work on
// them directly. The window shows these models and forwards the user's input.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/ModGrid.h"
#include "calc/model/ResultsWatch.h"

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace arv {

// Data rows start below the two heading rows.
constexpr int FirstDataRow = 2;
// Rows the fan table uses (2..100).
constexpr int MaxFanRows = 100;

// Notebook pages of the network data window.
enum TDataPage : int {
    PageGeneral = 0,   // "Общие"
    PageNetwork = 1,   // "Сеть": TablDan, or TablID in its place
    PageFans = 2,      // "Вентиляторы"
    PageConsumers = 3, // "Потребители"
    PagePressure = 4,  // "Давление"
    PageStability = 5, // "Устойчивость"
    PageReverse = 6,   // reverse-mode tables
    PageNodes = 7,     // "Узлы"
};

// A report text shown in a memo field: a list of CP1251 lines.
struct TMemo {
    std::vector<std::string> Lines;
    std::string FontName = "Courier New";
    int FontSize = 10;
    void Clear() { Lines.clear(); }
    void Add(std::string line) { Lines.push_back(std::move(line)); }
    // Lines joined with CR LF, as the field's text.
    std::string Text() const;
};

// The hidden list of branch types that a double click on the type column shows.
struct TTypePicker {
    std::vector<std::string> Items;
    int ItemIndex = 0;
    bool Visible = false;
    std::string FontName = "Times New Roman";
    int FontSize = 10;
};

class TNetworkTables {
public:
    // The tables read the options of this calculation context (the mode of
    // position 40 selects the normal or the reverse branch table).
    explicit TNetworkTables(TCalcContext& calc = Calc());
    TNetworkTables(const TNetworkTables&) = delete;
    TNetworkTables& operator=(const TNetworkTables&) = delete;

    TModGrid TablDan{"TablDan"};
    TModGrid TablVen{"TablVen"};
    TModGrid TablPotr{"TablPotr"};
    TModGrid TablDavl{"TablDavl"};
    TModGrid TablID{"TablID"};
    TModGrid TablDanRev{"TablDanRev"};
    TModGrid TablVenRev{"TablVenRev"};
    TModGrid TempTableM{"TempTableM"};
    TModGrid TempTableS{"TempTableS"};

    // Single fields of the first page.
    std::string NameSh, NameVar, NameVarAv, Tnar, Tsh, Pnar, Psh, UzPov;
    bool NameVarAvVisible = false;
    std::string BranchCountText; // "Количество ветвей"
    std::string NodeCountText;   // "Количество узлов"

    TMemo MemoPotr, MemoDav, MemoUst;
    TTypePicker VybTip;
    int ActivePage = PageGeneral;

    // The last calculation of the normal tables (TablDan, TablVen) and of
    // the reverse-mode tables (TablDanRev, TablVenRev) still fits them.
    TResultsWatch NormalResults, ReverseResults;
    // The flow (m3/s) each computed flow cell was written from at the last
    // unit switch, by table name, column and row: the next switch writes the
    // cell from it while the cell still shows it, also where no run's results
    // are at hand any longer (a draught calculation prepared the network anew).
    std::map<std::tuple<std::string, int, int>, double> SwitchedFlows;

    // Start-up: headings, column counts, data rows of the branch and fan
    // tables emptied, two fixed rows, headings copied to the reverse tables.
    void InitTables();
    // The two heading rows of every table with headings.
    void WriteHeadings();
    // The reverse tables take the counts, fixed rows and headings of the
    // branch and fan tables.
    void CopyHeadingsToReverseTables();
    // The initial data table in the layout of tag 'H' (pressure survey, 7
    // columns) or 'R' (resistances, 4 columns), from whole columns of TablDan.
    void BuildTablID(char tag);
    // Every table emptied, the branch, fan, node and consumer tables and
    // both route tables set to four rows.
    void EmptyAllTables();

    // Consumer table synchronisation.
    void TablDanExit();
    void TablPotrExit();
    void TablPotrSelectCell(int col, int row, bool& canSelect);
    void TablPotrKeyDown(int& key, TShiftState shift);
    // Consumer edits not yet taken into the branch table (TablPotr
    // modified) written back there, as a cell chosen in TablPotr does.
    void CommitConsumerEdits();

    // Branch type picker.
    void ShowTypePicker();
    // Enter writes the selected code; any other key only hides the list.
    void VybTipKeyPress(char key);
    // A mouse press on line `index` writes its code.
    void VybTipMouseDown(int index);

    // Mode 0: value is a branch number searched in column 0; otherwise a row
    // index. Shows the row in the branch table of the current mode.
    void GotoBranchRow(int mode, int value);
    // Shows the node table row of a node number.
    void GotoTableRow(int node);

    // Heading texts (CP1251) of a table as start-up writes them.
    static std::vector<std::pair<std::string, std::string>> Headings(const std::string& table);

    TCalcContext& CalcContext() { return calc_; }

private:
    TCalcContext& calc_;
    void WriteBackConsumers();
    void WriteSelectedType();
    void ShowRow(TModGrid& grid, int row);
};

// A required flow of the consumer table shows the branch table's: the same
// text, or the two decimals the consumer results write.
bool ShowsRequiredFlow(std::string_view consumerCell, std::string_view branchCell);

// A row outside the visible rows becomes the third visible row (the top row
// never above the first data row); a visible row leaves the top row.
void ScrollRowIntoView(TModGrid& grid, int row);

// The one set of network tables of the program.
TNetworkTables& NetworkTables();

} // namespace arv
