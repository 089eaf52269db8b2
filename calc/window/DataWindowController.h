// The network data window without its window: start-up, the file commands,
// the navigation between the tables and the drawing, the column search and
// sort, the outside programs, the checks of the export commands, and the
// menus and tool bar as data. The Qt form shows this state and forwards the
// user's choices; tests drive it directly.
#pragma once

#include "calc/files/Settings.h"
#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"
#include "calc/window/NasDlgModel.h"
#include "calc/window/WindowHosts.h"

#include "platform/Services.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

struct TMenuItem {
    std::string Name;     // component name
    std::string Caption;  // CP1251
    std::string ShortCut; // "F3", "Ctrl+F5"; "" for none
    bool Visible = true;
    bool Enabled = true;
    std::function<void()> OnClick; // null: a caption only
};

struct TMenu {
    std::string Name;
    std::string Caption; // CP1251
    bool Visible = true;
    bool Enabled = true;
    std::vector<TMenuItem> Items;
    // A menu without items is a command of its own ("Отчет", "Настройка").
    std::function<void()> OnClick;
};

struct TToolButton {
    std::string Name;
    std::string Hint;    // CP1251
    std::string Caption; // "" where the button shows a glyph
    std::function<void()> OnClick;
};

// What only a window can do. Without a view the controller still works.
class IDataWindowView {
public:
    virtual ~IDataWindowView() = default;
    // The fields, memos, page, caption or table visibility may have changed.
    virtual void Refresh() = 0;
    // The type picker was made visible: show it at the current cell.
    virtual void FocusTypePicker() = 0;
    virtual void ShowSettingsDialog() = 0;
    virtual void CloseWindow() = 0;
    // Another data set is in force: an open settings dialog shows its options.
    virtual void DataSetReplaced() {}
};

// Decides whether the window's activation is a return from another window
// of the program. Message boxes and dialogs that the window itself opened
// modally do not count, nor does a return from another program.
class TActivationTracker {
public:
    enum TWindowKind { ThisWindow, ProgramWindow, ModalDialog, Outside };
    // The focus moved to a window of that kind; true when the data window
    // got it back from another window of the program.
    bool FocusMovedTo(TWindowKind kind);

private:
    bool awayInProgram_ = false;
};

// Who empties the data set: the user's own New builds the initial data table
// for the tags 'H' and 'R'; emptying before a load never does.
enum class TNewPurpose { UserNew, BeforeLoad };

class TDataWindowController {
public:
    TDataWindowController(TNetworkTables& t, TCalcContext& c, TNasDlgModel& nasDlg);
    TDataWindowController(const TDataWindowController&) = delete;
    TDataWindowController& operator=(const TDataWindowController&) = delete;

    void SetView(IDataWindowView* view) { view_ = view; }
    TNetworkTables& Tables() { return t_; }
    TCalcContext& CalcContext() { return c_; }
    TNasDlgModel& NasDlgModel() { return nasDlg_; }
    TDataWindowSettings& WindowSettings() { return settings_; }

    std::vector<TMenu>& Menus() { return menus_; }
    std::vector<TToolButton>& ToolButtons() { return toolButtons_; }
    // A menu or menu item by its component name; null when there is none.
    TMenuItem* FindItem(std::string_view name);
    TMenu* FindMenu(std::string_view name);

    // The window's caption; other commands may replace it.
    std::string Caption;
    // Full name of the current data set; empty until a name is known.
    std::string& CurrentDataFile() { return settings_.CurrentDataFile; }
    // The data set goes by this name (empty: none yet), and the caption
    // says so.
    void NameDataSet(const std::string& dataFile);
    // Another data set took the place of the one shown (New, Open, a
    // bookmark, an import): an open settings dialog shows its options.
    void DataSetReplaced();
    std::string ReportRtfFileName;
    // The branch that was current when the window last went to the drawing.
    int SchemeBranchNumber = 0;
    // The answer to the last "Сохранить данные?".
    int DialogAnswer = mrNone;

    // The page the window shows.
    int ActivePage() const { return shownPage_; }

    // Start-up, activation and close.
    void FormCreate();
    void FormActivate();
    void FormClose();

    // Edits not saved yet: of the tables the drawing file carries (branches,
    // fans, consumers, nodes), and of those kept in files beside it (the
    // initial data in ".id", the reverse-mode tables in ".rev").
    bool TablesModified() const;
    bool SideTablesModified() const;
    bool DataModified() const { return TablesModified() || SideTablesModified(); }
    // The modified side tables written into the ".id" and ".rev" of that
    // data file's name; false, and said, when one was not written.
    bool SaveSideTables(const std::string& dataFile);
    // The tables the drawing file carries were saved with it.
    void TablesSaved();
    // Every table: nothing of the data set shown is unsaved.
    void ClearModified();

    // "Данные". Each returns false when it was cancelled or saved nothing.
    bool Dan_NewClick(TNewPurpose purpose = TNewPurpose::BeforeLoad);
    // New without the question, for a command of the drawing window that
    // has asked about every unsaved document already.
    void Dan_NewAsked(TNewPurpose purpose = TNewPurpose::BeforeLoad);
    bool Dan_SaveClick();
    bool Dan_SaveAsClick();
    void Dan_OpenClick();
    void Dan_OpenIDClick();
    bool Dan_SaveRevClick();
    void Dan_CloseClick();
    void Dan_BiblVenClick();
    void Dan_BiblVUClick();

    // "Расчеты".
    void Rasc_ERClick();
    // The optimal and the ideal distribution save the data first.
    void Rasc_ORClick();
    void Rasc_IRClick();
    void Rasc_ETClick();
    void Rasc_TDClick();
    void Rasc_SoprClick();
    void Rasc_OknoClick();
    // A command of another file, with the view refreshed once at its end.
    void RunCommand(const std::function<void()>& body) {
        TCommand command(*this);
        body();
    }
    // A calculation of the menus "Расчеты" and "Рев.реж": when the outermost
    // command ends, the drawing follows the results it wrote.
    void RunCalculation(const std::function<void()>& body) {
        TCommand command(*this);
        calculated_ = true;
        body();
    }

    // Notebook and tables.
    void TabbedNotebook1Change(int newPage);
    void TablDanDblClick(TModGrid& grid);
    void TablVenDblClick();
    // Tool button 3: one fixed column in the branch table, or none.
    void FixColumnClick();

    // "Сервис".
    void Serv_PoiskClick();
    // "Импорт схемы Tresk": a Tresk export in the data file format with the
    // scheme drawn from its tables.
    void Tresk1Click();
    void Serv_SortClick();
    void Serv_SxemaClick();
    void Serv_CalcClick();
    void Serv_WordClick();
    void Serv_ExcelClick();
    // Imports of older data, the fan library import and the fan chart.
    void ImpIdClick();
    void Serv_ImpClick();
    void Serv_Imp2Click();
    void Serv_ImpOrnalClick();
    void ImpBibClick();
    void Serv_GrafClick();
    // An open fan chart of a fan table row shows that row's operating point
    // as the last command left it, or none.
    void FollowFanChart();

    // "Справка", "Отчет", "Настройка".
    void Hlp_HelpClick();
    void Hlp_AboutClick();
    void Hlp_WebClick();
    void OtchClick();
    void NastrClick();
    // "Настройка" wrote the tables' flows in another unit: the plan's flow
    // labels and an open fan chart show them anew.
    void FlowsRewritten();

    // The Word and Excel menus: each checks that its source exists.
    void WordTableClick();
    void WordPotrClick();
    void WordVentClick();
    void WordDavlClick();
    void WordUstClick();
    void WordUstSxVUClick();
    void WordUstSxPClick();
    void ExcelTableClick();
    void ExcelPotrClick();
    void ExcelVentClick();
    void ExcelDavlClick();
    void ExcelUstClick();
    void ExcelUstVUClick();
    void ExcelUstPogClick();

    // Starting other programs; tests replace them. StartProgram is false
    // when the program could not be started, OpenDocument when the document
    // could not be handed to a program.
    std::function<bool(const std::string& program, const std::vector<std::string>& args)>
        StartProgram;
    std::function<bool(const std::string& document)> OpenDocument;
    // The program's about box, shown without blocking this window.
    std::function<void()> ShowAboutBox;

private:
    // Refreshes the view once, when the outermost command ends.
    class TCommand {
    public:
        explicit TCommand(TDataWindowController& w) : w_(w) { ++w_.commandDepth_; }
        ~TCommand();
        TCommand(const TCommand&) = delete;
        TCommand& operator=(const TCommand&) = delete;

    private:
        TDataWindowController& w_;
    };

    void BuildMenus();
    void BindToolButtons();
    // "Сохранить данные?" when a table is modified; "Да" saves each into its
    // file. False when the command must stop: a save failed or was
    // cancelled, or "Отмена" where it stops the command.
    bool AskSaveData(bool cancelStops = true);
    // A data file read into tables of its own, before the command replaces
    // anything: false, and said, when it cannot be read, or when `check`
    // (which says itself what is wrong) finds the tables read unfit.
    bool DataFileReads(const std::string& fileName,
                       const std::function<bool(const TNetworkTables&)>& check = {});
    // Another drawing with its data in place of the one shown: through the
    // drawing window's one path when there is one, else after AskSaveData.
    bool ReplaceDrawing(const std::function<bool()>& load);
    // The file name of an import: the data set's name and the caption.
    void TakeImportedFileName(const std::string& fileName);
    void EmptyDataSet(TNewPurpose purpose);
    void ShowBranchTable(bool showTablDan);
    void CopyTablIDIntoTablDan();
    // Shows a page; the branch, fan and consumer tables get their exit
    // handling when their page is left.
    void ShowPage(int page);
    // Takes over a page that a table routine chose directly.
    void SyncPage();
    void LeavePage(int page);
    // The branch table of the page shown (page 1 or the reverse page).
    TModGrid* BranchTableOfPage();
    void Export(TOfficeProgram program, TOfficeReport report);
    bool HasConsumerRows() const;
    void StartOfficeDocument(const char* document, const char* failureUtf8);

    TNetworkTables& t_;
    TCalcContext& c_;
    TNasDlgModel& nasDlg_;
    TDataWindowSettings settings_;
    IDataWindowView* view_ = nullptr;
    std::vector<TMenu> menus_;
    std::vector<TToolButton> toolButtons_;
    int shownPage_ = PageGeneral;
    int commandDepth_ = 0;
    bool calculated_ = false; // a calculation ran in the command under way
};

// Column search: the first row below `fromRow` whose cell in `col` equals
// the text, then from the first data row down to `fromRow`. Both sides are
// compared without blanks and with a decimal comma. -1 when none.
int FindInColumn(const TModGrid& grid, int col, int fromRow, std::string_view text);

// The program's data window over the program's tables, calculation and
// settings dialog.
TDataWindowController& DataWindowController();

} // namespace arv
