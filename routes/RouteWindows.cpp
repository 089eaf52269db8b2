#include "routes/RouteWindows.h"

#include "calc/model/DecimalText.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "routes/RouteDriver.h"

#include <algorithm>

namespace arv::routes {

namespace {

TRouteWindows* gRouteWindows = nullptr;

struct TToolText {
    const char* name;
    const char* hint;
};
constexpr TToolText kTools[RouteToolCount] = {
    {"ToolChoose", "Выбрать ветвь на схеме"},
    {"ToolList", "Выбрать ветвь из списка"},
    {"ToolCreate", "Построить маршрут"},
    {"ToolView", "Показать маршрут"},
    {"ToolEdit", "Редактировать маршрут"},
    {"ToolSave", "Сохранить маршрут"},
    {"ToolTrash", "Очистить список исключенных ветвей"},
    {"ToolWayOpen", "Перейти к форме 'Маршруты'"},
    {"ToolWayClose", "Закрыть форму 'Маршруты'"},
};

constexpr const char* kPeopleHeadings[] = {
    "Откуда", "Узел", "Куда", "Ветвь", "Длина", "Продолжительность", "Маршрут"};
constexpr const char* kSaverHeadings[] = {"Отделение",         "Откуда", "Куда", "Длина",
                                          "Продолжительность", "Маршрут"};

void Error(const char* utf8) {
    MessageBox(Ru(utf8), "", TMsgButtons::Ok, TMsgIcon::Error);
}

bool Filled(const TModGrid& g, int col, int row) {
    return !g.Cells(col, row).empty();
}

// The cells of a row from column `first` to its last filled one.
std::vector<std::string> RowCells(const TModGrid& g, int row, int first) {
    std::vector<std::string> cells;
    const int last = g.LastFilledCol(row);
    for (int c = first; c <= last; ++c) cells.push_back(g.Cells(c, row));
    return cells;
}

// Whether route cells hold text in the window's columns.
bool ShowsText(const std::vector<std::string>& cells, int shownCols) {
    for (size_t c = 0; c < cells.size() && c < static_cast<size_t>(shownCols); ++c)
        if (!cells[c].empty()) return true;
    return false;
}

// The stored table of a window kind and its column count.
TModGrid& StoredTable(TNetworkTables& t, int kind) {
    return kind == RouteFormPeople ? t.TempTableM : t.TempTableS;
}

} // namespace

const char* RouteToolName(int tool) {
    return tool >= 0 && tool < RouteToolCount ? kTools[tool].name : "";
}

const char* RouteToolHint(int tool) {
    return tool >= 0 && tool < RouteToolCount ? kTools[tool].hint : "";
}

std::string TRouteComboBox::Text() const {
    return ItemIndex >= 0 && static_cast<size_t>(ItemIndex) < Items.size() ? Items[ItemIndex] : "";
}

// ---------------------------------------------------------------- the form

TRouteForm::TRouteForm(int kind) : kind_(kind) {
    const int cols = kind == RouteFormPeople ? 7 : 6;
    InfoWayPeople.SetColCount(cols);
    InfoWayPeople.SetFixedCols(0);
    InfoWayPeople.SetRowCount(3);
    InfoWayPeople.SetFixedRows(1);
    InfoWayPeople.SetLeftCol(0);
    for (int c = 0; c < cols; ++c)
        InfoWayPeople.SetCells(
            c, 0, Ru(kind == RouteFormPeople ? kPeopleHeadings[c] : kSaverHeadings[c]));
    InfoWayPeople.SetCurrent(0, 1);
    ColWidths.assign(cols, 60);
}

const char* TRouteForm::Name() const {
    return kind_ == RouteFormPeople ? "FormPeople" : "FormSaver";
}

std::string TRouteForm::Caption() const {
    return Ru(kind_ == RouteFormPeople ? "Маршруты вывода горнорабочих"
                                       : "Маршруты движения горноспасателей");
}

namespace {
const char* Section(int kind) {
    return kind == RouteFormPeople ? "WayPeople" : "WaySaver";
}
} // namespace

void TRouteForm::ReadLayout() {
    TIniFile ini(ProgramFile("Kestrum.ini"));
    Width = ini.ReadInteger(Section(kind_), "Width", 730);
    Height = ini.ReadInteger(Section(kind_), "Height", 480);
    for (size_t c = 0; c < ColWidths.size(); ++c) {
        ColWidths[c] = ini.ReadInteger(Section(kind_), "ColWidths" + IntToStr(int(c)), 60);
        InfoWayPeople.SetColWidths(int(c), ColWidths[c]);
    }
}

void TRouteForm::WriteLayout() const {
    TIniFile ini(ProgramFile("Kestrum.ini"), true);
    ini.WriteInteger(Section(kind_), "Width", Width);
    ini.WriteInteger(Section(kind_), "Height", Height);
    for (size_t c = 0; c < ColWidths.size(); ++c)
        ini.WriteInteger(Section(kind_), "ColWidths" + IntToStr(int(c)), ColWidths[c]);
    // A settings file that cannot be written keeps its old layout.
    ini.UpdateFile();
}

// ------------------------------------------------------------------ lists

TListPointModel::TListPointModel() {
    List.SetColCount(4);
    List.SetFixedCols(0);
    List.SetRowCount(2);
    List.SetFixedRows(1);
    List.SetLeftCol(0);
    const char* headings[] = {"№", "Тип ветви", "Наименование выработки", "Количество людей"};
    for (int c = 0; c < 4; ++c) List.SetCells(c, 0, Ru(headings[c]));
    List.SetCurrent(0, 1);
}

void TListPointModel::FormActivate(const TModGrid& branches) {
    static const std::string face = Ru("ОЗ"), deadEnd = Ru("ТЗ");
    for (int r = 1; r < std::max(List.RowCount(), List.LastFilledRow() + 1); ++r) List.ClearRow(r);
    int row = 1;
    for (int r = FirstDataRow; r < branches.RowCount(); ++r) {
        const std::string& type = branches.Cells(3, r);
        if (type != face && type != deadEnd) continue;
        int c = 0;
        for (int src : {0, 3, 15, 21}) List.SetCells(c++, row, branches.Cells(src, r));
        ++row;
    }
    List.SetRowCount(row + 1);
    List.SetCurrent(0, 1);
}

std::string TListPointModel::Choice() const {
    const int r = List.Row();
    if (r < 1 || Trim(List.Cells(0, r)).empty()) return {};
    return List.Cells(0, r) + " " + List.Cells(2, r);
}

// ------------------------------------------------------------- free helpers

const std::vector<std::string>& TargetKindTexts() {
    static const std::vector<std::string> texts = {
        Ru("ближайший узел поверхности"), Ru("выбранный на схеме узел"), Ru("свежая струя")};
    return texts;
}

int TargetKindOf(const std::string& text) {
    const auto& t = TargetKindTexts();
    if (text == t[0]) return TargetSurface;
    if (text == t[1]) return TargetChosenNode;
    if (text == t[2]) return TargetFreshAir;
    return -1;
}

int32_t LeadingBranchNumber(const std::string& cell) {
    const size_t blank = cell.find(' ');
    return StrToIntDef(cell.substr(0, blank), 0);
}

void RefreshBranchHeights(const TModGrid& branches, TCalcContext& calc) {
    const auto limit = static_cast<int32_t>(
        std::min<size_t>(calc.BranchHeight.size(), static_cast<size_t>(MaxBranchCount) + 1));
    for (int r = FirstDataRow; r < branches.RowCount(); ++r) {
        const int32_t number = CellToIntDef0(branches.Cells(0, r));
        // A number the array has no slot for would write past it.
        if (number < 1 || number >= limit) continue;
        double h = 0;
        if (!TryCellToFloat(branches.Cells(20, r), h)) h = 0;
        calc.BranchHeight[static_cast<size_t>(number)] = h;
    }
}

std::vector<std::string> PlaDocumentNames(const std::string& entry) {
    std::vector<std::string> names;
    auto add = [&names](const std::string& n) {
        if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    };
    add(ToPointDecimal(entry + ".doc"));
    size_t digits = 0;
    while (digits < entry.size() && entry[digits] >= '0' && entry[digits] <= '9') ++digits;
    if (digits == 0) return names;
    const std::string position = entry.substr(0, digits);
    // The accident letter follows the number; fire has none.
    if (digits < entry.size() && entry[digits] != ' ') add(position + entry[digits] + ".doc");
    add(position + ".doc");
    return names;
}

TRouteWindows* RouteWindows() {
    return gRouteWindows;
}

void SetRouteWindows(TRouteWindows* windows) {
    gRouteWindows = windows;
}

// -------------------------------------------------------------- controller

TRouteWindows::TRouteWindows(IRouteWindowHost& host, TNetworkTables& tables, TCalcContext& calc,
                             TRouteState& state)
    : host_(host), tables_(tables), calc_(calc), state_(state) {}

TRouteWindows::~TRouteWindows() {
    if (form_) FreeForm();
}

bool TRouteWindows::FireMode() {
    return host_.EmergencyMode() == 3;
}

void TRouteWindows::SetRouteToolState(int state, bool enabled) {
    static const std::vector<int> groups[] = {
        {ToolView, ToolEdit, ToolSave},
        {ToolChoose, ToolList},
        {ToolCreate},
        {ToolChoose, ToolList, ToolCreate, ToolView, ToolEdit, ToolSave, ToolTrash, ToolWayOpen,
         ToolWayClose},
        {ToolTrash, ToolView, ToolWayOpen, ToolWayClose},
    };
    if (state < 0 || state > 4) return;
    if (state <= 2 && !FireMode()) return;
    for (int tool : groups[state]) SetTool(tool, enabled);
}

void TRouteWindows::SetTool(int tool, bool enabled) {
    bool& slot = ToolEnabled[static_cast<size_t>(tool)];
    if (slot == enabled) return;
    slot = enabled;
    if (ToolsChanged) ToolsChanged();
}

void TRouteWindows::Refresh() {
    if (form_ && form_->View) form_->View->Refresh();
}

void TRouteWindows::Minimise() {
    if (form_ && form_->View) form_->View->Minimise();
}

void TRouteWindows::Restore() {
    if (form_ && form_->View) form_->View->ShowNormal();
}

void TRouteWindows::Redraw() {
    host_.RedrawPlan();
}

void TRouteWindows::PushRoute() {
    host_.SetRouteDisplay(ShowRoute != 0, RouteBranches);
}

void TRouteWindows::CreateForm(int kind) {
    form_ = std::make_unique<TRouteForm>(kind);
    form_->ReadLayout();
    TRouteForm* f = form_.get();
    f->InfoWayPeople.OnSelectCell = [this](TStringGridModel&, int col, int row, bool&) {
        InfoWayPeopleSelectCell(col, row);
    };
    state_.RouteKind = kind == RouteFormPeople ? 1 : 2;
    state_.PeopleRouteTable = kind == RouteFormPeople ? &f->InfoWayPeople : nullptr;
    state_.SaverRouteTable = kind == RouteFormSaver ? &f->InfoWayPeople : nullptr;
    state_.Rescue.Atmosphere = f->RGAtmosohera;
    state_.Rescue.Work = f->RGWork;
    if (CreateFormView) f->View = CreateFormView(*f);
    FormActivate();
}

void TRouteWindows::FreeForm() {
    state_.RouteKind = 0;
    state_.PeopleRouteTable = nullptr;
    state_.SaverRouteTable = nullptr;
    std::unique_ptr<TRouteForm> gone = std::move(form_);
    if (gone->View && FreeFormView) FreeFormView(*gone);
    gone->View = nullptr;
}

void TRouteWindows::WayWorkerClick() {
    OpenRoutes(RouteFormPeople);
}

void TRouteWindows::WayVGSHClick() {
    OpenRoutes(RouteFormSaver);
}

void TRouteWindows::OpenRoutes(int kind) {
    const int other = kind == RouteFormPeople ? RouteFormSaver : RouteFormPeople;
    const uint8_t otherKind = other == RouteFormPeople ? 1 : 2;
    if (state_.RouteKind == otherKind) {
        const char* question = other == RouteFormPeople
                                   ? "Форма маршруты горнорабочих активна и будет закрыта. Закрыть?"
                                   : "Форма маршруты горноспасателей активна и будет закрыта. "
                                     "Закрыть?";
        if (MessageBox(Ru(question), "", TMsgButtons::YesNo, TMsgIcon::Question) != mrYes) return;
        if (!Open(other)) {
            Error("Ошибка закрытия формы");
            state_.RouteKind = 0;
        } else if (!FormClose()) {
            // The other window stays open; two at once are not allowed.
            return;
        }
    }

    int32_t number = 0, position = 0;
    std::string name;
    const bool isBranch = host_.CurrentBranch(number, name, position);
    if (!(isBranch && position >= 1) && !FireMode()) {
        Error("Для выбранного объекта отсутствует позиция ПЛА");
        return;
    }
    if (!FireMode()) {
        const TModGrid& stored = StoredTable(tables_, kind);
        const std::string key = IntToStr(position);
        bool any = false;
        for (int r = 0; r < stored.RowCount() && !any; ++r) any = stored.Cells(0, r) == key;
        if (!any) {
            MessageBox(Ru("Для позиции ПЛА № ") + key +
                           Ru(" маршруты не сформированы. Построение маршрутов осуществляется "
                              "только в режиме \"Пожар\""),
                       "", TMsgButtons::Ok, TMsgIcon::Error);
            return;
        }
    }
    if (Open(kind)) {
        // The open window comes forward as it is; its stored rows come back
        // over it only once what it holds unsaved was asked about.
        if (!AskSaveRoutes()) {
            Restore();
            return;
        }
    } else {
        CreateForm(kind);
    }
    TRouteForm& f = *form_;
    if (FireMode()) {
        if (kind == RouteFormPeople)
            for (int tool : {ToolChoose, ToolList, ToolTrash, ToolWayOpen, ToolWayClose})
                SetTool(tool, true);
        else
            // The rescue window steps aside for every pick and route as the
            // miners' does: the tool bar brings it back, or closes it.
            for (int tool : {ToolWayOpen, ToolWayClose}) SetTool(tool, true);
        LoadPLA(kind, host_.CurrentPlaPosition());
        f.TextMain = Ru("Ветвь ") + IntToStr(host_.FireBranchNumber()) + "  " +
                     host_.FireBranchName() + Ru("             Позиция ПЛА №") +
                     IntToStr(host_.CurrentPlaPosition()) + Ru("   Пожар");
    } else {
        LoadPLA(kind, position);
        for (int t = 0; t < RouteToolCount; ++t)
            SetTool(t, t == ToolView || t == ToolWayOpen || t == ToolWayClose);
        host_.SetCurrentPlaPosition(position);
        f.TextMain = Ru("Позиция ПЛА № ") + IntToStr(position);
    }
    // The table now shows what is stored.
    f.Modified = false;
    Refresh();
    Restore();
}

void TRouteWindows::LoadPLA(int kind, int32_t position) {
    TRouteForm* f = Open(kind);
    if (!f) return;
    TModGrid& g = f->InfoWayPeople;
    const TModGrid& stored = StoredTable(tables_, kind);
    const std::string key = IntToStr(position);
    // Rows left from an earlier load would come back as the count grows.
    for (int r = 1; r <= std::max(g.RowCount() - 1, g.LastFilledRow()); ++r) g.ClearRow(r);
    g.SetRowCount(1);
    for (int r = 0; r < stored.RowCount(); ++r) {
        if (stored.Cells(0, r) != key) continue;
        const int row = g.RowCount();
        g.SetRowCount(row + 1);
        // Every route column comes back, the route text included; stored
        // cells beyond the window's columns ride along unseen, so a Save
        // writes them back.
        const int last = stored.LastFilledCol(r);
        for (int c = 0; c < last; ++c) g.SetCells(c, row, stored.Cells(c + 1, r));
    }
    if (kind == RouteFormPeople ? g.RowCount() < 3 : g.RowCount() < 2) g.SetRowCount(3);
    g.SetFixedRows(1);
    Refresh();
}

void TRouteWindows::ToolSaveClick() {
    TRouteForm* f = form_.get();
    if (!f) return;
    host_.SetDrawingModified();
    TModGrid& stored = StoredTable(tables_, f->Kind());
    const std::string key = IntToStr(host_.CurrentPlaPosition());
    const TModGrid& g = f->InfoWayPeople;
    // Every row goes back with the cells the window does not show. A row
    // with nothing in the window's columns goes back only as it was stored:
    // when the user emptied it, it goes, its unseen cells with it.
    std::vector<std::vector<std::string>> unseenRows;
    for (int r = stored.RowCount() - 1; r >= 0; --r) {
        if (stored.Cells(0, r) != key) continue;
        std::vector<std::string> cells = RowCells(stored, r, 1);
        if (!ShowsText(cells, g.ColCount())) unseenRows.push_back(std::move(cells));
        stored.DeleteRow(r);
    }
    for (int r = 1; r < g.RowCount(); ++r) {
        const std::vector<std::string> cells = RowCells(g, r, 0);
        if (cells.empty()) continue;
        if (!ShowsText(cells, g.ColCount())) {
            auto same = std::find(unseenRows.begin(), unseenRows.end(), cells);
            if (same == unseenRows.end()) continue;
            unseenRows.erase(same);
        }
        const int row = stored.RowCount();
        stored.SetRowCount(row + 1);
        stored.ClearRow(row);
        stored.SetCells(0, row, key);
        for (size_t c = 0; c < cells.size(); ++c)
            stored.SetCells(static_cast<int>(c) + 1, row, cells[c]);
    }
}

void TRouteWindows::SetCreateState(int row) {
    if (!form_) return;
    const TModGrid& g = form_->InfoWayPeople;
    const bool ready = form_->Kind() == RouteFormPeople
                           ? Filled(g, 0, row) && Filled(g, 2, row)
                           : Filled(g, 0, row) && Filled(g, 1, row) && Filled(g, 2, row);
    SetRouteToolState(2, ready);
}

void TRouteWindows::InfoWayPeopleSelectCell(int col, int row) {
    if (!form_) return;
    TRouteForm& f = *form_;
    const TModGrid& g = f.InfoWayPeople;
    if (f.Kind() == RouteFormPeople) {
        if (col == 0 || col == 3) {
            SetRouteToolState(1, row % 2 == 1);
            SetRouteToolState(0, Filled(g, 6, row));
        } else {
            SetRouteToolState(1, false);
            SetCreateState(row);
        }
        if (FireMode() && row >= 1 && row % 2 == 1 && col == 2) {
            f.ComboBox1.Items = TargetKindTexts();
            if (f.ComboBox1.ItemIndex < 0) f.ComboBox1.ItemIndex = 0;
            f.ComboBox1.Col = col;
            f.ComboBox1.Row = row;
            f.ComboBox1.Visible = true;
        }
    } else {
        if (col == 1 || col == 2) {
            SetRouteToolState(1, true);
            SetRouteToolState(0, Filled(g, 5, row));
        } else {
            SetRouteToolState(1, false);
            SetCreateState(row);
        }
        if (FireMode() && row >= 1 && col == 0) {
            f.ComboBox1.Items.clear();
            for (int i = 1; i <= 5; ++i) f.ComboBox1.Items.push_back(IntToStr(i));
            if (f.ComboBox1.ItemIndex < 0) f.ComboBox1.ItemIndex = 0;
            f.ComboBox1.Col = col;
            f.ComboBox1.Row = row;
            f.ComboBox1.Visible = true;
        }
    }
    Refresh();
}

void TRouteWindows::ComboBox1Change(int itemIndex) {
    if (!form_) return;
    TRouteComboBox& cb = form_->ComboBox1;
    cb.ItemIndex = itemIndex;
    form_->InfoWayPeople.SetCells(cb.Col, cb.Row, cb.Text());
    // A choice that completes the row makes the route buildable at once.
    SetCreateState(cb.Row);
    cb.Visible = false;
    Refresh();
    if (form_->View) form_->View->FocusTable();
}

void TRouteWindows::ComboBox1Exit(int itemIndex) {
    if (!form_) return;
    TRouteComboBox& cb = form_->ComboBox1;
    if (!cb.Visible) return;
    cb.ItemIndex = itemIndex;
    form_->InfoWayPeople.SetCells(cb.Col, cb.Row, cb.Text());
    SetCreateState(cb.Row);
    cb.Visible = false;
    Refresh();
}

void TRouteWindows::TypeWayGraphClick(int index) {
    if (form_) form_->TypeWayGraph = index;
}

void TRouteWindows::RGAtmosoheraClick(int index) {
    if (!form_) return;
    form_->RGAtmosohera = index;
    // Work does not matter where the air cannot be breathed.
    form_->RGWorkEnabled = index != 0;
    state_.Rescue.Atmosphere = index;
    Refresh();
}

void TRouteWindows::RGWorkClick(int index) {
    if (!form_) return;
    form_->RGWork = index;
    state_.Rescue.Work = index;
}

void TRouteWindows::ToolChooseClick() {
    if (!form_) return;
    TRouteForm& f = *form_;
    TModGrid& g = f.InfoWayPeople;
    const int col = g.Col(), row = g.Row();
    const bool routeCell =
        f.Kind() == RouteFormPeople ? col != 1 && col != 2 : col == 1 || col == 2;
    if (row >= 1 && routeCell && Filled(g, col, row)) {
        if (MessageBox(Ru("Данные по маршруту будут уничтожены.Продолжить?"), "",
                       TMsgButtons::YesNo, TMsgIcon::Question) != mrYes) {
            if (f.View) f.View->FocusTable();
            return;
        }
        const int last = f.Kind() == RouteFormPeople ? row + 1 : row;
        // The cells the window does not show go with the route.
        for (int r = row; r <= last; ++r) g.ClearRow(r);
    }
    host_.SetToolMode(1);
    RoutePickPending = 1;
    Minimise();
    host_.ShowMainWindow();
}

bool TRouteWindows::PlanBranchPicked(int32_t number, const std::string& name) {
    if (!RoutePickPending || !form_) return false;
    RoutePickPending = 0;
    TModGrid& g = form_->InfoWayPeople;
    g.SetCells(g.Col(), g.Row(), IntToStr(number) + " " + name);
    SetCreateState(g.Row());
    Refresh();
    Restore();
    return true;
}

void TRouteWindows::ToolListClick() {
    if (!form_) return;
    TModGrid& g = form_->InfoWayPeople;
    const int col = g.Col(), row = g.Row();
    if (row < 1 || Filled(g, col, row)) return;
    TListPointModel list;
    list.FormActivate(tables_.TablDan);
    if (!ShowListPointModal || !ShowListPointModal(list)) return;
    const std::string choice = list.Choice();
    // The list's empty last row names no branch.
    if (choice.empty()) return;
    g.SetCells(col, row, choice);
    Refresh();
}

void TRouteWindows::FindRoute(int32_t start, int fromEnd, int targetKind, int32_t target,
                              int routeKind, int graph) {
    TRouteSearchContext context;
    context.Network = TRouteNetwork::FromCalc(calc_);
    context.Rescue = state_.Rescue;
    context.Exclusions = &state_.Exclusions;
    context.PeopleTable = state_.PeopleRouteTable;
    context.SaverTable = state_.SaverRouteTable;
    FindMineRoute(context, start, fromEnd, targetKind, target, routeKind, graph);
}

void TRouteWindows::ToolCreateClick() {
    if (!form_) return;
    TRouteForm& f = *form_;
    TModGrid& g = f.InfoWayPeople;
    const int graph = f.TypeWayGraph == 1 ? GraphKindLength : GraphKindTime;
    if (f.Kind() == RouteFormPeople) {
        if (g.Row() >= 2 && g.Row() % 2 == 0) g.SetRow(g.Row() - 1);
        int row = g.Row();
        if (row < 1) return;
        for (int c = 4; c <= 6; ++c) g.SetCells(c, row, "");
        const int32_t start = LeadingBranchNumber(g.Cells(0, row));
        const int kind = TargetKindOf(g.Cells(2, row));
        const int32_t target = LeadingBranchNumber(g.Cells(3, row));
        g.SetCells(1, row, Ru("Из начального "));
        if (start <= 0 || kind < 0) {
            ShowMessage(Ru("Проверьте правильность заполнения полей"));
            Refresh();
            return;
        }
        FindRoute(start, 0, kind, target, RouteKindPeople, graph);
        if (row + 2 >= g.RowCount()) g.SetRowCount(g.RowCount() + 2);
        g.SetRow(row + 1);
        ++row;
        for (int c : {0, 2, 3}) g.SetCells(c, row, g.Cells(c, row - 1));
        g.SetCells(1, row, Ru("Из конечного "));
        for (int c = 4; c <= 6; ++c) g.SetCells(c, row, "");
        FindRoute(start, 1, kind, target, RouteKindPeople, graph);
        if (Filled(g, 6, row)) SetRouteToolState(0, true);
        host_.SetDrawingModified();
        f.Modified = true;
        Refresh();
        ToolViewClick();
        return;
    }
    const int row = g.Row();
    const int32_t start = row >= 1 ? LeadingBranchNumber(g.Cells(1, row)) : 0;
    const int32_t target = row >= 1 ? LeadingBranchNumber(g.Cells(2, row)) : 0;
    if (start <= 0 || target <= 0) {
        ShowMessage(Ru("Проверьте правильность заполнения полей"));
        return;
    }
    // The team sets out from the end node of its start branch.
    FindRoute(start, 1, TargetNode, target, RouteKindRescue, graph);
    f.Modified = true;
    Refresh();
    ToolViewClick();
    host_.SetDrawingModified();
    if (Filled(g, 5, row))
        for (int t : {ToolView, ToolEdit, ToolSave}) SetTool(t, true);
}

void TRouteWindows::ToolViewClick() {
    if (!form_) return;
    TRouteForm& f = *form_;
    const TModGrid& g = f.InfoWayPeople;
    ShowRoute = 1;
    const int row = g.Row();
    std::string text = g.Cells(f.RouteCol(), row);
    if (text.empty() && f.Kind() == RouteFormPeople && row > 1)
        text = g.Cells(f.RouteCol(), row - 1);
    if (text.empty()) {
        PushRoute();
        ShowMessage(Ru("Не построен маршрут"));
        return;
    }
    FillMasWay(text);
    Minimise();
    Redraw();
}

void TRouteWindows::ToolEditClick() {
    if (!form_) return;
    const TModGrid& g = form_->InfoWayPeople;
    const std::string& text = g.Cells(form_->RouteCol(), g.Row());
    if (text.empty()) {
        Error("Невозможно редактировать маршрут. Нет маршрута.");
        return;
    }
    FillMasWay(text);
    Minimise();
    routeEdit_ = true;
    host_.SetToolMode(21);
    Redraw();
    ShowMessage(Ru("Выберите исключаемую ветвь"));
}

bool TRouteWindows::PlanRouteBranchExcluded(int32_t number) {
    if (!routeEdit_ || !form_) return false;
    routeEdit_ = false;
    state_.Exclusions.ExcludeRouteBranch(number);
    host_.SetToolMode(1);
    ToolCreateClick();
    if (form_) {
        const TModGrid& g = form_->InfoWayPeople;
        FillMasWay(g.Cells(form_->RouteCol(), g.Row()));
        Redraw();
    }
    return true;
}

void TRouteWindows::ToolTrashClick() {
    state_.Exclusions.ExcludedRouteBranches.clear();
}

void TRouteWindows::ToolWayOpenClick() {
    host_.SetPlaSchemeShown(host_.MsxPlaChecked());
    Redraw();
    Restore();
}

void TRouteWindows::ToolWayCloseClick() {
    RouteBranches.clear();
    PushRoute();
    if (form_) FormClose();
    host_.SetMsxPlaChecked(true);
    host_.SetPlaSchemeShown(host_.MsxPlaChecked());
    ShowRoute = 0;
    PushRoute();
    Redraw();
}

void TRouteWindows::FillMasWay(const std::string& text) {
    RouteBranches.clear();
    if (text != NoRouteText()) {
        const std::string t = Trim(text);
        size_t from = 0;
        while (true) {
            const size_t comma = t.find(',', from);
            const std::string piece =
                t.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
            int number = 0;
            // A stored text is file content: a piece that is no number is
            // no branch.
            if (TryStrToInt(Trim(piece), number)) RouteBranches.push_back(number);
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    PushRoute();
}

void TRouteWindows::FormActivate() {
    RefreshBranchHeights(tables_.TablDan, calc_);
}

bool TRouteWindows::AskSaveRoutes() {
    if (!form_ || !form_->Modified) return true;
    const int answer = MessageBox(Ru("Сохранить изменения в файл?"), "", TMsgButtons::YesNoCancel,
                                  TMsgIcon::Question);
    if (answer == mrCancel) return false;
    if (answer == mrYes) {
        ToolSaveClick();
        form_->Modified = false;
    }
    return true;
}

bool TRouteWindows::FormClose(bool ask) {
    if (!form_) return true;
    if (ask && !AskSaveRoutes()) return false;
    SetRouteToolState(3, false);
    RouteBranches.clear();
    state_.Exclusions.ExcludedRouteBranches.clear();
    state_.RouteKind = 0;
    RoutePickPending = 0;
    // The plan leaves the route-edit tool with the route it was editing.
    if (routeEdit_) host_.SetToolMode(1);
    routeEdit_ = false;
    if (form_->View) form_->View->StoreLayout();
    form_->WriteLayout();
    FreeForm();
    PushRoute();
    Redraw();
    return true;
}

void TRouteWindows::DrawingClosed() {
    if (form_) FormClose(false);
    // A route of the drawing that goes: nothing of it is shown or avoided
    // on the next one.
    ShowRoute = 0;
    RouteBranches.clear();
    RoutePickPending = 0;
    state_.Exclusions = {};
    SetRouteToolState(3, false);
    PushRoute();
}

bool TRouteWindows::BitBtnShowClick() {
    TListPlaModel& l = ListPla;
    int32_t number = 0, position = 0;
    std::string name;
    if (l.ItemIndex < 0 || static_cast<size_t>(l.ItemIndex) >= l.ListBoxPLA.size() ||
        !host_.CurrentBranch(number, name, position))
        return false;
    const std::string folder = host_.PlaFolder();
    const std::vector<std::string> names = PlaDocumentNames(l.ListBoxPLA[l.ItemIndex]);
    std::string path;
    for (const std::string& n : names)
        if (FileExists(folder + "/" + n)) {
            path = folder + "/" + n;
            break;
        }
    if (path.empty()) {
        ShowMessage(Ru("Файл ") + folder + "/" + names.front() +
                    Ru(" не найден. Проверьте путь и наличие файла. Проверьте соответствие "
                       "имени файла и вида аварии."));
        return false;
    }
    if (!OpenWithDefaultProgram(path))
        MessageBox(Ru("Проверьте наличие WinWord или файла ") + path, "", TMsgButtons::Ok,
                   TMsgIcon::Error);
    return true;
}

} // namespace arv::routes
