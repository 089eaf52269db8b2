#include "calc/window/NasDlgModel.h"

#include "calc/model/DecimalText.h"
#include "calc/model/FlowUnits.h"

#include "platform/Cp1251.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

namespace arv {

namespace {

const char* const kColumnCaptions[ReportColumnBoxes] = {
    "Номер ветви",
    "Нач.узел",
    "Кон.узел",
    "Тип ветви",
    "Сопротивление",
    "Длина",
    "Сечение",
    "Коэф.аэр.сопр.",
    "Сопр.регулятора",
    "Расч.сопр.рег.",
    "Треб.расход",
    "Расч.расход ",
    "Расход в ав.режиме",
    "Скорость",
    "Депрессия",
    "Наименование",
    "Газовыделение",
    "Конц.газа",
    "Ест.тяга, ТД",
    "Время распр.газов",
    "Высота выработки",
    "Количество людей",
};

// The columns the dialog offers checked before any settings are read.
const bool kColumnChecked[ReportColumnBoxes] = {
    true, true,  true,  false, true, true,  true,  false, false, true,  false,
    true, false, false, true,  true, false, false, false, false, false, false,
};

struct TNumberKey {
    const char* key;
    const char* def;
    const char* caption;
};

const TNumberKey kNumbers[NasDlgNumberCount] = {
    {"KoefPech", "2.5", "Масштаб страницы для расстановки страниц"},
    {"MinUgol", "3.0", "Мин.угол наклона выработки при моделировании пожара"},
    {"TPog", "90.0", "Время после начала пожара при расчете устойчивости схемы"},
    {"RVentOst", "50.0", "Сопротивление остановленного вентилятора"},
    {"RRegAv", "0.05", "Сопротивление нарушенного вент.устройства"},
};

// The options the five numbers set, in the order above.
double TCalcOptions::*const kNumberOptions[NasDlgNumberCount] = {
    &TCalcOptions::PageScale,
    &TCalcOptions::FireMinSlope,
    &TCalcOptions::FireElapsedTime,
    &TCalcOptions::StoppedFanResistance,
    &TCalcOptions::FailedDeviceResistance,
};

// Either decimal separator; blanks are dropped. An empty text is no number.
bool ReadNumber(const std::string& text, double& value) {
    return TryCellToFloat(text, value);
}

} // namespace

std::string ReportColumnCheckKey(int box) {
    return "Chec" + std::to_string(box);
}

std::string ReportColumnTextKey(int box) {
    return std::string(box < 10 ? "SKol0" : "SKol") + std::to_string(box);
}

const char* NasDlgNumberKey(int number) {
    return number >= 0 && number < NasDlgNumberCount ? kNumbers[number].key : "";
}

TNasDlgModel::TNasDlgModel() {
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        CheckBox[i] = kColumnChecked[i];
        SKol[i] = i == 15 ? "4.0" : "1.5";
    }
    for (int n = 0; n < NasDlgNumberCount; ++n) Number[n] = kNumbers[n].def;
}

void LoadNasDlgSettings(const std::string& iniName, TNasDlgModel& d, TCalcOptions& o) {
    // Read once: every key is then looked up in memory, not in the file.
    const TIniFile ini(iniName, true);
    d.WordPath = ini.ReadString("Path", "Word", "");
    d.ExcelPath = ini.ReadString("Path", "Excel", "");
    for (int n = 0; n < NasDlgNumberCount; ++n) {
        std::string text = ini.ReadString("NasDlg", kNumbers[n].key, kNumbers[n].def);
        double value = 0;
        if (!ReadNumber(text, value)) {
            text = kNumbers[n].def;
            ReadNumber(text, value);
        }
        d.Number[n] = text;
        o.*kNumberOptions[n] = value;
    }
    // A box without its key (a first start) keeps the dialog's initial state.
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        d.CheckBox[i] = ini.ReadBool("OtchetTabl", ReportColumnCheckKey(i), kColumnChecked[i]);
        d.SKol[i] = ini.ReadString("OtchetTabl", ReportColumnTextKey(i), i == 15 ? "4.0" : "1.5");
    }
    // The branch number column cannot be left out.
    d.CheckBox[0] = true;
    o.ReportColumnCount = ini.ReadInteger("Otchet", "KolStolb", 10);
}

void NasDlgSetGroupsFromOptions(TNasDlgModel& d, const TCalcOptions& o) {
    d.UnitsIndex = o.FlowUnit == 1 ? 0 : 1;
    d.AccuracyIndex = o[1] == 'D' ? 0 : 1;
    d.AlgorithmIndex = o[4] == 'S' ? 0 : 1;
    d.NewTableIndex = o[5] == 'R' ? 1 : o[5] == 'H' ? 2 : 0;
    d.FanEquationIndex = 1;
}

void NasDlgFormCreate(const std::string& iniName, TNasDlgModel& d, TCalcOptions& o,
                      const TNetworkTables& t, const TDataWindowSettings& window) {
    LoadNasDlgSettings(iniName, d, o);
    NasDlgSetGroupsFromOptions(d, o);
    d.TableFontName = t.TablDan.FontName();
    d.ReportFontName = t.MemoPotr.FontName;
    d.PageFontName = window.TabFont.Name;
    d.Enabled = d.Visible = false;
}

void NasDlgShow(TNasDlgModel& d, const TCalcOptions& o) {
    // Open already: what is being typed stays.
    if (d.Visible) return;
    NasDlgSetGroupsFromOptions(d, o);
    // A field keeps the text it was given (the settings file stores it)
    // unless the value in force is another one.
    for (int n = 0; n < NasDlgNumberCount; ++n) {
        double shown = 0;
        if (!ReadNumber(d.Number[n], shown) || shown != o.*kNumberOptions[n])
            d.Number[n] = FloatToStr(o.*kNumberOptions[n]);
    }
    d.shown_ = {d.UnitsIndex, d.AccuracyIndex, d.AlgorithmIndex, d.NewTableIndex,
                d.CheckBox,   d.SKol,          d.Number};
    d.Enabled = d.Visible = true;
}

bool NasDlgOk(TNasDlgModel& d, TCalcOptions& o, TNetworkTables& t, int* refusedNumber) {
    std::array<double, NasDlgNumberCount> values{};
    for (TNasDlgNumber n : NasDlgNumberPageOrder) {
        if (ReadNumber(d.Number[n], values[n])) continue;
        if (refusedNumber) *refusedNumber = n;
        MessageBox(Ru("В поле \"") + Ru(kNumbers[n].caption) + Ru("\" должно быть число"), "",
                   TMsgButtons::Ok, TMsgIcon::Warning);
        return false;
    }
    o[4] = d.AlgorithmIndex == 0 ? 'S' : 'M';
    const int unitBefore = o.FlowUnit;
    o.FlowUnit = d.UnitsIndex == 0 ? 1 : 60;
    RewriteFlowsInUnit(t, unitBefore, o.FlowUnit);
    o[1] = d.AccuracyIndex == 0 ? 'D' : 'S';
    o[5] = d.NewTableIndex == 1 ? 'R' : d.NewTableIndex == 2 ? 'H' : 'O';
    o[6] = '2';
    for (int n = 0; n < NasDlgNumberCount; ++n) o.*kNumberOptions[n] = values[n];
    int checked = 0;
    for (bool box : d.CheckBox) checked += box ? 1 : 0;
    o.ReportColumnCount = checked;
    d.Enabled = d.Visible = false;
    return true;
}

void NasDlgCancel(TNasDlgModel& d) {
    if (d.Visible) {
        d.UnitsIndex = d.shown_.units;
        d.AccuracyIndex = d.shown_.accuracy;
        d.AlgorithmIndex = d.shown_.algorithm;
        d.NewTableIndex = d.shown_.newTable;
        d.CheckBox = d.shown_.checkBox;
        d.SKol = d.shown_.sKol;
        d.Number = d.shown_.number;
    }
    d.Enabled = d.Visible = false;
}

void NasDlgDataSetReplaced(TNasDlgModel& d, const TCalcOptions& o) {
    if (!d.Visible) return;
    NasDlgSetGroupsFromOptions(d, o);
    d.shown_.units = d.UnitsIndex;
    d.shown_.accuracy = d.AccuracyIndex;
    d.shown_.algorithm = d.AlgorithmIndex;
    d.shown_.newTable = d.NewTableIndex;
}

TFontSpec NasDlgCurrentFont(TNasDlgFont which, const TNetworkTables& t,
                            const TDataWindowSettings& window) {
    switch (which) {
    case TNasDlgFont::Tables:
        return {t.TablDan.FontName(), t.TablDan.FontSize()};
    case TNasDlgFont::Reports:
        return {t.MemoPotr.FontName, t.MemoPotr.FontSize};
    default:
        return window.TabFont;
    }
}

void NasDlgApplyFont(TNasDlgModel& d, TNasDlgFont which, const TFontSpec& font, TNetworkTables& t,
                     TDataWindowSettings& window) {
    switch (which) {
    case TNasDlgFont::Tables:
        window.WindowFont = font;
        for (TModGrid* g : {&t.TablDan, &t.TablVen, &t.TablDanRev, &t.TablVenRev})
            g->SetFont(font.Name, font.Size);
        LibraryWindowHost(TLibraryWindow::Fans).SetGridFont(font);
        LibraryWindowHost(TLibraryWindow::Devices).SetGridFont(font);
        d.TableFontName = font.Name;
        break;
    case TNasDlgFont::Reports:
        for (TMemo* m : {&t.MemoPotr, &t.MemoUst, &t.MemoDav}) {
            m->FontName = font.Name;
            m->FontSize = font.Size;
        }
        d.ReportFontName = font.Name;
        break;
    case TNasDlgFont::Pages:
        window.TabFont = font;
        d.PageFontName = font.Name;
        break;
    }
}

std::string ReportColumnCaption(int box) {
    if (box < 0 || box >= ReportColumnBoxes) return {};
    return Ru(kColumnCaptions[box]);
}

std::string NasDlgNumberCaption(TNasDlgNumber number) {
    if (number < 0 || number >= NasDlgNumberCount) return {};
    return Ru(kNumbers[number].caption);
}

TNasDlgModel& NasDlg() {
    static TNasDlgModel dialog;
    return dialog;
}

} // namespace arv
