// The settings dialog "Настройка" without its window: the state of every
// control and how the controls map to the calculation options, the report
// columns and the fonts. The window shows this model and calls the handlers
// below; the report exports read the column check boxes from it.
#pragma once

#include "calc/files/Settings.h"
#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"
#include "calc/window/WindowHosts.h"

#include <array>
#include <string>

namespace arv {

// Check boxes CheckBox00 .. CheckBox021: columns 0 to 21 of the branch table
// in the general report table.
constexpr int ReportColumnBoxes = 22;

// The five numbers of the page "Дополнительно", in the order of the settings
// file's section NasDlg.
enum TNasDlgNumber : int {
    NumPageScale = 0,              // KoefPech
    NumFireMinSlope = 1,           // MinUgol
    NumFireElapsedTime = 2,        // TPog
    NumStoppedFanResistance = 3,   // RVentOst
    NumFailedDeviceResistance = 4, // RRegAv
    NasDlgNumberCount = 5,
};

// The same five as the page shows them, from the top.
constexpr TNasDlgNumber NasDlgNumberPageOrder[NasDlgNumberCount] = {
    NumPageScale, NumStoppedFanResistance, NumFailedDeviceResistance, NumFireMinSlope,
    NumFireElapsedTime};

// The three "Выбор" buttons of the page "Шрифты".
enum class TNasDlgFont { Tables, Reports, Pages };

struct TNasDlgModel {
    // Page "Расчет": item indexes of the radio groups.
    int UnitsIndex = 0;       // "Ед.измерения": м3/с, м3/мин
    int AccuracyIndex = 0;    // "Точность": 0.1, 0.001 м3/с
    int AlgorithmIndex = 0;   // "Алгоритм": standard, modified
    int FanEquationIndex = 1; // "Уравнение вент.": disabled, always the second form
    int NewTableIndex = 0; // "Новая таблица": full, topology + resistances, + pressures

    // Page "Шрифты": the names shown beside the buttons.
    std::string TableFontName, ReportFontName, PageFontName;

    // Page "Таблица": the column boxes (box 0 stays checked) and the text
    // of the edit field beside each.
    std::array<bool, ReportColumnBoxes> CheckBox{};
    std::array<std::string, ReportColumnBoxes> SKol;

    // Page "Дополнительно": the texts of the five number fields.
    std::array<std::string, NasDlgNumberCount> Number;

    // Program paths; no control sets them.
    std::string WordPath, ExcelPath;

    bool Enabled = false;
    bool Visible = false;

    TNasDlgModel();

private:
    friend void NasDlgShow(TNasDlgModel&, const TCalcOptions&);
    friend void NasDlgCancel(TNasDlgModel&);
    friend void NasDlgDataSetReplaced(TNasDlgModel&, const TCalcOptions&);
    // The controls as they were shown, for Cancel.
    struct TSnapshot {
        int units, accuracy, algorithm, newTable;
        std::array<bool, ReportColumnBoxes> checkBox;
        std::array<std::string, ReportColumnBoxes> sKol;
        std::array<std::string, NasDlgNumberCount> number;
    } shown_{};
};

// Path Word and Excel, the five numbers (text and value), the column boxes
// and their texts, and the report column count of section Otchet. A number
// in the file that does not read as one gives the default.
void LoadNasDlgSettings(const std::string& iniName, TNasDlgModel& dialog, TCalcOptions& options);
// Start-up: the settings above, the radio groups from the options and the
// names of the table, report and tab fonts.
void NasDlgFormCreate(const std::string& iniName, TNasDlgModel& dialog, TCalcOptions& options,
                      const TNetworkTables& t, const TDataWindowSettings& window);
void NasDlgSetGroupsFromOptions(TNasDlgModel& dialog, const TCalcOptions& options);

// Enabled and shown, not modal. Each opening shows what is in force: the
// options may have come with another data set since the last one, and OK
// writes every group back. A dialog already open keeps its controls.
void NasDlgShow(TNasDlgModel& dialog, const TCalcOptions& options);
// The controls into the options. A number field that does not read as a
// number refuses the whole OK: a message names the field (the page's top
// one of several), nothing changes, the dialog stays open and
// `refusedNumber` (when given) says which field. Another flow unit
// rewrites the flows of the tables in it, so that each keeps its meaning.
bool NasDlgOk(TNasDlgModel& dialog, TCalcOptions& options, TNetworkTables& tables,
              int* refusedNumber = nullptr);
// Closes the dialog; the controls return to what they showed when it opened.
void NasDlgCancel(TNasDlgModel& dialog);
// Another data set came in while the dialog is open: the groups of the page
// "Расчет" show its options, so that OK never writes one data set's options
// onto another. The other pages keep what is being typed.
void NasDlgDataSetReplaced(TNasDlgModel& dialog, const TCalcOptions& options);

// The font a "Выбор" button presets the font dialog with.
TFontSpec NasDlgCurrentFont(TNasDlgFont which, const TNetworkTables& t,
                            const TDataWindowSettings& window);
// A font chosen with a "Выбор" button: tables (the data window, the branch
// and fan tables and their reverse twins, the library grids), reports (the
// three memos) or pages (the notebook's tabs). Its name shows in the field.
void NasDlgApplyFont(TNasDlgModel& dialog, TNasDlgFont which, const TFontSpec& font,
                     TNetworkTables& t, TDataWindowSettings& window);

// Keys of the settings file: Chec<n> and SKol<nn> of section OtchetTabl, and
// the keys of section NasDlg.
std::string ReportColumnCheckKey(int box);
std::string ReportColumnTextKey(int box);
const char* NasDlgNumberKey(int number);

// Captions of the controls (CP1251).
std::string ReportColumnCaption(int box);
std::string NasDlgNumberCaption(TNasDlgNumber number);

// The program's one settings dialog.
TNasDlgModel& NasDlg();

} // namespace arv
