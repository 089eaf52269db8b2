// The menus and the tool bar of the data window as the window is delivered:
// captions, shortcuts, hidden items and the command behind each.
#include "calc/window/DataWindowController.h"

#include "calc/window/EmergencyCommands.h"
#include "calc/window/NotAvailable.h"

#include "platform/Cp1251.h"

namespace arv {

namespace {

struct TButtonSpec {
    const char* name;
    const char* hint; // UTF-8 source text
    const char* caption;
};

TMenu Menu(const char* name, const char* caption) {
    TMenu m;
    m.Name = name;
    m.Caption = Ru(caption);
    return m;
}

// Hidden items are neither visible nor enabled, so their shortcuts are dead.
TMenuItem& Add(TMenu& menu, const char* name, const char* caption, std::function<void()> onClick,
               const char* shortCut = "", bool hidden = false) {
    TMenuItem item;
    item.Name = name;
    item.Caption = Ru(caption);
    item.ShortCut = shortCut;
    item.Visible = item.Enabled = !hidden;
    item.OnClick = std::move(onClick);
    menu.Items.push_back(std::move(item));
    return menu.Items.back();
}


} // namespace

void TDataWindowController::BuildMenus() {
    auto& w = *this;
    menus_.clear();

    TMenu dan = Menu("Dan", "Данные");
    Add(
        dan, "Dan_New", "Новые", [&w] { w.Dan_NewClick(TNewPurpose::UserNew); }, "", true);
    Add(
        dan, "Dan_Open", "Загрузить", [&w] { w.Dan_OpenClick(); }, "F3", true);
    Add(
        dan, "Dan_Save", "Сохранить", [&w] { w.Dan_SaveClick(); }, "F2", true);
    Add(
        dan, "Dan_SaveAs", "Сохранить как...", [&w] { w.Dan_SaveAsClick(); }, "", true);
    Add(
        dan, "Dan_OpenID", "Загрузить нач.данные", [&w] { w.Dan_OpenIDClick(); }, "", true);
    Add(
        dan, "Dan_SaveRev", "Сохр.данных  рев.реж.", [&w] { w.Dan_SaveRevClick(); }, "", true);
    Add(dan, "Dan_BiblVen", "База вентиляторов", [&w] { w.Dan_BiblVenClick(); });
    Add(dan, "Dan_BiblVU", "База вент. устройств", [&w] { w.Dan_BiblVUClick(); });
    Add(
        dan, "Dan_Close", "Закрыть", [&w] { w.Dan_CloseClick(); }, "", true);
    menus_.push_back(std::move(dan));

    TMenu rasc = Menu("Rasc", "Расчеты");
    Add(
        rasc, "Rasc_ER", "Естест.распределение", [&w] { w.Rasc_ERClick(); }, "F5");
    Add(rasc, "Rasc_OR", "Опт.распределение", [&w] { w.Rasc_ORClick(); });
    Add(rasc, "Rasc_IR", "Идеальн.распределение", [&w] { w.Rasc_IRClick(); });
    Add(rasc, "Rasc_Konc", "Расчет концентраций газа", [&w] { Rasc_KoncClick(w); });
    Add(rasc, "Rasc_TD", "Расчет тепловой депрессии", [&w] { w.Rasc_TDClick(); });
    Add(rasc, "Rasc_ET", "Расчет естественной тяги", [&w] { w.Rasc_ETClick(); });
    Add(rasc, "Rasc_Sopr", "Расчет сопротивлений", [&w] { w.Rasc_SoprClick(); });
    Add(rasc, "Rasc_Okno", "Расчет сопротивления окна", [&w] { w.Rasc_OknoClick(); });
    Add(rasc, "Rasc_Ust", "Отказ вентиляционного устройства", [&w] { Rasc_UstClick(w); });
    Add(rasc, "Rasc_ObUst", "Сводный расчет устойчивости для вент.устройств",
        [&w] { Rasc_ObUstClick(w); });
    Add(rasc, "Rasc_Pog", "Пожар в выработке", [&w] { Rasc_PogClick(w); });
    Add(rasc, "Rasc_PogUst", "Сводный расчет устойчивость при пожарах",
        [&w] { Rasc_PogUstClick(w); });
    Add(rasc, "Rasc_VrPog", "Расчет времени распр. газов", [&w] { Rasc_VrPogClick(w); });
    menus_.push_back(std::move(rasc));

    TMenu av = Menu("Av", "Рев.реж");
    av.Visible = av.Enabled = false;
    Add(av, "Av_SD", "Подготовка данных", [&w] { Av_SDClick(w); });
    Add(av, "Av_RasER", "Расчет ест.распределения", [&w] { Av_RasERClick(w); });
    Add(av, "Av_RasUP", "Анализ устойч. при пожаре", [&w] { Av_RasUPClick(w); });
    Add(av, "Av_Konc", "Расчет концентраций газа", [&w] { Av_KoncClick(w); });
    Add(av, "Av_VrPog", "Расчет времени распр.пожара", [&w] { Av_VrPogClick(w); });
    menus_.push_back(std::move(av));

    TMenu otch = Menu("Otch", "Отчет");
    otch.OnClick = [&w] { w.OtchClick(); };
    menus_.push_back(std::move(otch));

    using C = TDataWindowController;
    struct TExportItem {
        const char* word;
        const char* excel;
        const char* caption;
        void (C::*wordClick)();
        void (C::*excelClick)();
    };
    const TExportItem exportItems[] = {
        {"WordTable", "ExcelTable", "Общая таблица", &C::WordTableClick, &C::ExcelTableClick},
        {"WordPotr", "ExcelPotr", "Потребители", &C::WordPotrClick, &C::ExcelPotrClick},
        {"WordVent", "ExcelVent", "Вентиляторы", &C::WordVentClick, &C::ExcelVentClick},
        {"WordDavl", "ExcelDavl", "Давление", &C::WordDavlClick, &C::ExcelDavlClick},
        {"WordUst", "ExcelUst", "Устойчивость для 1 ветви", &C::WordUstClick, &C::ExcelUstClick},
        {"WordUstSxVU", "ExcelUstVU", "Сводный расчет устойчивости схемы для вент.устройств",
         &C::WordUstSxVUClick, &C::ExcelUstVUClick},
        {"WordUstSxP", "ExcelUstPog", "Сводный расчет устойчивости схемы при пожарах",
         &C::WordUstSxPClick, &C::ExcelUstPogClick},
    };
    TMenu word = Menu("Word", "Word");
    TMenu excel = Menu("Excel", "Excel");
    for (const TExportItem& e : exportItems) {
        Add(word, e.word, e.caption, [&w, click = e.wordClick] { (w.*click)(); });
        Add(excel, e.excel, e.caption, [&w, click = e.excelClick] { (w.*click)(); });
    }
    menus_.push_back(std::move(word));
    menus_.push_back(std::move(excel));

    TMenu nastr = Menu("Nastr", "Настройка");
    nastr.OnClick = [&w] { w.NastrClick(); };
    menus_.push_back(std::move(nastr));

    TMenu serv = Menu("Serv", "Сервис");
    Add(
        serv, "ImpId", "Импорт ИД из ДОС", [&w] { w.ImpIdClick(); }, "", true);
    Add(serv, "Serv_Imp", "Импорт из Тровел", [&w] { w.Serv_ImpClick(); });
    Add(serv, "Serv_Imp2", "Импорт из Тровел 2", [&w] { w.Serv_Imp2Click(); });
    Add(
        serv, "ImpBib", "Импорт библ.вент.", [&w] { w.ImpBibClick(); }, "", true);
    Add(
        serv, "Serv_ImpOrnal", "Импорт из Орнал (dbf)", [&w] { w.Serv_ImpOrnalClick(); }, "", true);
    Add(
        serv, "Tresk1", "Импорт схемы Tresk", [&w] { w.Tresk1Click(); }, "", true);
    Add(serv, "Serv_Exp", "Экспорт в Word, Excel", nullptr);
    Add(serv, "Serv_Word", "Word", [&w] { w.Serv_WordClick(); });
    Add(serv, "Serv_Excel", "Excell", [&w] { w.Serv_ExcelClick(); });
    Add(
        serv, "Serv_Calc", "Калькулятор", [&w] { w.Serv_CalcClick(); }, "Ctrl+F5");
    Add(
        serv, "Serv_Poisk", "Поиск по колонке", [&w] { w.Serv_PoiskClick(); }, "F4");
    Add(serv, "Serv_Sort", "Сортировка по колонке", [&w] { w.Serv_SortClick(); });
    Add(serv, "Serv_Graf", "График вентилятора", [&w] { w.Serv_GrafClick(); });
    Add(serv, "Serv_Sxema", "Схема вентиляции", [&w] { w.Serv_SxemaClick(); });
    menus_.push_back(std::move(serv));

    TMenu hlp = Menu("Hlp", "Справка");
    Add(hlp, "Hlp_Help", "Справка", [&w] { w.Hlp_HelpClick(); });
    Add(hlp, "Hlp_About", "О программе", [&w] { w.Hlp_AboutClick(); });
    Add(hlp, "Hlp_Web", "Страница в Интернете", [&w] { w.Hlp_WebClick(); });
    menus_.push_back(std::move(hlp));

    const TButtonSpec buttons[] = {
        {"SpeedButton1", "Расчет ест.распр.", ""},
        {"SpeedButton2", "калькулятор", ""},
        {"SpeedButton3", "Фиксирование левой колонки", ""},
        {"SpeedButton4", "Поиск в текущей колонке", ""},
        {"SpeedButton5", "График работы вентиляторов", ""},
        {"SpeedButton6", "Запустить Word", "W"},
        {"SpeedButton7", "Запустить Excel", "X"},
        {"SpeedButton8", "Сортировка по колонке", ""},
        {"SpeedButton9", "Схема вентиляции", ""},
    };
    toolButtons_.clear();
    for (const TButtonSpec& b : buttons)
        toolButtons_.push_back({b.name, Ru(b.hint), b.caption, {}});
    // Button 3 is bound in the form itself; the others at start-up.
    toolButtons_[2].OnClick = [&w] { w.FixColumnClick(); };
}

void TDataWindowController::BindToolButtons() {
    auto item = [this](const char* name) {
        TMenuItem* i = FindItem(name);
        return i ? i->OnClick : std::function<void()>();
    };
    toolButtons_[0].OnClick = item("Rasc_ER");
    toolButtons_[1].OnClick = item("Serv_Calc");
    toolButtons_[3].OnClick = item("Serv_Poisk");
    toolButtons_[4].OnClick = item("Serv_Graf");
    toolButtons_[5].OnClick = item("Serv_Word");
    toolButtons_[6].OnClick = item("Serv_Excel");
    toolButtons_[7].OnClick = item("Serv_Sort");
    toolButtons_[8].OnClick = item("Serv_Sxema");
}

} // namespace arv
