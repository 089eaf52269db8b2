// The thermal-depression window (FTeplD) and the regulator-window calculator
// (FR_Okno) without their Qt forms: the fields as text, the handlers of
// their buttons, and what they read from and write into the branch table.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/ModGrid.h"
#include "calc/model/NetworkTables.h"

#include <string>

namespace arv {

// Times of the thermal-depression table, minutes.
constexpr int ThermalDepressionRows = 15;

class TThermalDepressionModel {
public:
    TThermalDepressionModel(TNetworkTables& t, TCalcContext& c);

    std::string Edit1; // "Номер ветви"
    std::string Edit2; // "Наименование"
    std::string Edit3; // "Длина выработки, м"
    std::string Edit4; // "Сечение выработки, м2"
    std::string Edit5; // "Угол наклона, град."
    std::string Edit6; // "Расход воздуха до пожара"
    // Time and depression; row 0 the headings, rows 1..15 every 10 minutes.
    TModGrid TablTD{"TablTD"};

    void FormCreate();
    // The fields from the current row of the branch table; the depressions
    // of an earlier opening are gone.
    void FormShow();
    // The depression at every time; false (after "Ошибка в данных", the
    // depressions emptied) when a field is no number or the flow, section or
    // length is not above 0.
    bool BitBtnRasClick();
    // A depression computed for this opening stands in the table's current
    // row: "Выбор" has something to take.
    bool CanChoose() const;
    // The depression of the table's current row into column 18 of the
    // branch row the window was shown for, with the empty descriptive cells;
    // nothing when there is none to choose.
    void BitBtnVybClick();

private:
    void ClearDepressions();
    TNetworkTables& t_;
    TCalcContext& c_;
    int row_ = -1; // the branch table row of the last FormShow
    bool computed_ = false;
};

class TRegulatorWindowModel {
public:
    TRegulatorWindowModel(TNetworkTables& t, TCalcContext& c);

    std::string Edit1; // "Номер ветви"
    std::string Edit2; // "Наименование"
    std::string Edit3; // "Площадь окна, м2"
    std::string Edit4; // "Площадь сечения выработки, м2"
    std::string Edit5; // "Сопртивление окна"
    std::string AcceptCaption;

    void FormShow();
    bool BitBtnRasClick();
    // The resistance field holds a number (computed, or typed): only then
    // does the accept button take it.
    bool CanAccept() const;
    // Name, resistance and section into the branch row, except when a device
    // failure analysis opened the window or there is no resistance to take.
    void BitBtnVybClick();

private:
    TNetworkTables& t_;
    TCalcContext& c_;
    int row_ = -1;
};

// "Расчет тепловой депрессии": the natural distribution first when the
// branch or fan table changed, then the window.
void Rasc_TDClick(TNetworkTables& t, TCalcContext& c);
// "Расчет сопротивления окна".
void Rasc_OknoClick();

} // namespace arv
