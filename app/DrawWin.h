// The main drawing window without its window: start-up of the drawing side,
// the view (keys, scroll bars, zoom, view all, resize), the status texts, the
// blinking marker, the scheme display records, the file commands, the
// settings file and the bookmarks, the close question. The Qt form shows this
// state and paints the plan; tests drive it directly.
#pragma once

#include "app/IdrawSettings.h"
#include "app/PrintJob.h"
#include "app/SmallWindows.h"
#include "app/ToolModes.h"
#include "app/PropInspector.h"
#include "calc/files/SchemeImport.h"
#include "calc/window/WindowHosts.h"
#include "document/Document.h"
#include "document/WindowHost.h"
#include "platform/Bitmap.h"
#include "platform/StringGrid.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arv {

class TDataWindowController;
enum class TNewPurpose;
class TOption;
class TGBranch;

// The controls of the options dialog that the scheme records are exchanged
// with (the dialog itself shows this state).
struct TSchemeOptionsState {
    int LineTypeIndex = 0; // LineType item index
    int ColorLine = 0;
    int UpDownWidth = 1;
    // CheckBoxBrN, CheckBoxNdN, CheckBoxBrName, CheckBoxBrQ, CheckBoxAr,
    // CheckBoxDavl, CheckBoxRD, CheckBoxPla.
    std::array<bool, 8> ShowChecks{};
    std::vector<bool> LayerChecks; // CheckListBoxLajer, one per layer
    int UpDownPenWidth = 1;
    // The layer chosen in ComboBoxLajer and its settings.
    int ComboBoxLajer = 0;
    std::string Edit7;
    int ComboLineType = 0;
    int UpDown3 = 1;
    int UpDown5 = 1;
    int ColorLineLajer = 0;
};

// What only a window can do.
class IDrawWinView {
public:
    virtual ~IDrawWinView() = default;
    // Repaints the plan and shows the window's texts and checks again.
    virtual void RedrawPlan() = 0;
    // Paints the plan, as RedrawPlan does but without grid points, into a
    // picture of that size (the JPEG export).
    virtual bool RenderPlanImage(int width, int height, TBitmap32& out) = 0;
    // The bookmark dialog: the name in and out; false when cancelled.
    virtual bool AskBookmarkName(std::string& name) = 0;
    // The list of bookmark names; the one chosen for removal, -1 for none.
    virtual int ChooseBookmarkToDelete(const std::vector<std::string>& names) = 0;
    virtual void CloseWindow() = 0;
    virtual void ShowWindow() = 0;
    // Tool modes: draws on the plan picture as it stands (rubber bands) and
    // shows the result without painting the plan anew.
    virtual void DrawOnPlan(const std::function<void(TCanvas&)>& /*draw*/) {}
    // The text dialog: text and font in and out; false when cancelled.
    virtual bool AskText(std::string& /*text*/, TFontRecord& /*font*/) { return false; }
    // Presses the property button and shows the property panel.
    virtual void ShowPropertyPanel() {}
    // A step of a drag that moves this part of the plan: a view may paint
    // the rest from what it kept since the drag began. The next RedrawPlan
    // paints everything anew.
    virtual void RedrawMoving(const TDrawPart& /*moving*/) { RedrawPlan(); }
};

// Names of the five schemes' menu items, schemes 0 to 4.
extern const std::array<const char*, 5> kSchemeMenuItems;

class TIDrawWin : public IDrawingHost, public ISchemeHost, public IWindowHost {
public:
    TIDrawWin();
    ~TIDrawWin() override;
    TIDrawWin(const TIDrawWin&) = delete;
    TIDrawWin& operator=(const TIDrawWin&) = delete;

    void SetView(IDrawWinView* view) { view_ = view; }
    // The data window whose tables the drawing carries; null in tests of the
    // drawing alone.
    void SetDataWindow(TDataWindowController* dataWindow) { dataWindow_ = dataWindow; }
    TGCollFigure& Doc() { return *doc_; }

    // State of the window. The tool mode is the one the document reads.
    int32_t& DrawMode = WindowState().DrawMode;
    std::string ProgramDirPath;
    std::string IdrawIniPath;
    bool DrawingModified = false;
    bool ViewChanged = false;
    bool ExportRendering = false;
    TIdrawSettings Settings;
    // Check marks of the view menu.
    bool VGrid = true, MNumBr = true, MNumNd = true, MNameBr = true, MOrientBr = false;
    bool MPrData = false, MArrowQ = false, MQData = false, MDAVL = false;
    // "Схема ПЛА": the PLA scheme's item is also the plan's PLA view and the
    // records' PLA-position switch. One flag, kept where the drawing reads
    // it; the menu and the route commands read the same.
    bool& MsxPLA = WindowState().MsxPLA;
    // The scheme whose item is checked (-1 none); the PLA scheme's item
    // shows MsxPLA.
    int SchemeItem = 0;
    bool SchemeChecked(int scheme) const { return scheme == 2 ? MsxPLA : SchemeItem == scheme; }
    // Texts the window shows.
    std::string Caption;
    std::array<std::string, 3> StatusPanels;
    std::string PanelSost;
    std::vector<std::string> LayerBoxItems;
    int LayerBoxIndex = 0;
    // Column 0 of the data tab grid.
    std::vector<std::string> DatagridTitles;
    std::vector<std::string> PropCaptions, PropValues;
    // The blinking marker.
    bool TimerEnabled = false;
    TPoint MarkerPoint;
    int MarkerNumber = 0;
    int MarkerKind = 0;
    int MarkerColor = 0xFFFFFF;
    // Size of the drawing area in pixels.
    int PaintWidth = 0, PaintHeight = 0;

    // Start-up: args are the command-line parameters.
    void FormCreate(const std::vector<std::string>& args);
    void FormResize(int width, int height);
    void FormActivate();
    // Keys as the platform numbers them (Keys.h); numpad: the numeric pad's
    // plus and minus.
    void FormKeyDown(int key, bool numpad);
    void ZoomInClick();
    void ZoomOutClick();
    void ZoomRectClick();
    void ViewAllClick();
    // Scroll codes as the platform's: 0 line up/left, 1 line down/right,
    // 2 page up/left, 3 page down/right, others move nothing. The thumb
    // position comes back as 50.
    void ScrollBar1Scroll(int scrollCode, int& scrollPos);
    void ScrollBar2Scroll(int scrollCode, int& scrollPos);
    void Timer1Timer();
    // A mouse press on the plan stops the marker.
    void PlanMouseDown() { TimerEnabled = false; }
    void RedrawPlan();
    // A step of a drag that moves this part of the plan; the release of the
    // mouse paints the whole plan again.
    void RedrawMoving(const TDrawPart& moving);
    void SchemeClick(int scheme);
    // Checks or clears MsxPLA, and with it the plan's PLA view.
    void SetMsxPla(bool checked);

    // Scheme records and the options dialog.
    void StoreSchemeOptions(int scheme, const TSchemeOptionsState& dialog);
    void LoadSchemeOptions(int scheme, TSchemeOptionsState& dialog) const;

    // File commands.
    void New1Click();
    void Open1Click();
    // A name the drawing only took (an import's) asks before it replaces a
    // file of that name; "Нет" goes to Save As.
    void Save1Click();
    // False when nothing was saved (cancelled or failed).
    bool SaveAs1Click();
    void Exp_Tresk1Click();
    void Exp_VeltorClick();
    void Imp_Tresk1Click();
    void Exit1Click();
    // The dialog's name after its filter became filterIndex.
    static std::string SaveDialogTypeChange(const std::string& fileName, int filterIndex);
    // The open route window's "Сохранить изменения в файл?" when it holds
    // unsaved routes (Yes stores them in the drawing), then "Сохранить
    // данные?" when the drawing, its tables or the report has unsaved
    // changes (typing the symbol text changes the drawing); Yes saves each
    // changed one. False when the command that asked must stop: Cancel at
    // either, or a save that was cancelled or failed (everything is kept
    // then).
    bool AskSaveChanges();
    // The close's questions: the libraries', then AskSaveChanges. True when
    // the window may close.
    bool FormCloseQuery();
    void FormClose();
    void MAddBookClick();
    // The bookmark items of the "Избранное" menu, rebuilt: names in order.
    std::vector<std::string> MBookmarksClick();
    void OpenBookmarkClick(int tag);
    void MDelBookClick();
    void PurgeUnreferencedNodes();
    void FillBranchCaptions();
    // The drawing, the data window's tables or the report was edited since
    // it was saved.
    bool AnythingModified() const;

    // IDrawingHost.
    bool Exists() const override { return true; }
    bool SaveDrawing(const std::string& fileName) override;
    int AskReplaceDrawingFile(const std::string& fileName) override;
    bool LoadDrawing(const std::string& fileName) override;
    // The one way a drawing takes the place of the one shown: AskSaveChanges
    // (false: stopped, everything kept), then load (false: it failed and
    // left everything as it was), then ResetCompanions.
    bool ReplaceDrawing(const std::function<bool()>& load) override;
    std::string CurrentFileName() const override { return currentFileName_; }
    void SetCurrentFileName(const std::string& fileName) override;
    std::string SurfaceNodeText() const override { return surfaceNodes_; }
    void SetSurfaceNodeText(const std::string& text) override { surfaceNodes_ = text; }
    void SetCalcGrids(TModGrid* branches, TModGrid* nodes) override;
    void IndexCalcDataGrids() override;
    void LinkBranchesToCalcData() override;
    void ResultsWritten() override;
    bool CentreOnBranch(int number) override;
    void ShowAndBringToFront() override;

    // The label provider of the document's label pass: true only when the
    // arguments of a flow or sample label are out of range.
    bool GetFigureLabel(TCanvas& dc, int32_t number, int32_t kind, int32_t position,
                        TLabelTextOut draw, TGCollFigure& doc);
    // The canvas texts are measured on outside a paint (the form's).
    void SetMeasuringCanvas(TCanvas* canvas) { measuringCanvas_ = canvas; }
    TCanvas* MeasuringCanvas() override { return measuringCanvas_; }

    // ISchemeHost.
    // The drawing and its tables emptied, without the question and the
    // reset: the load step of New and of the imports. Emptying before an
    // import keeps the branch table shown; the user's New shows the initial
    // data table when the settings ask for one.
    void NewDrawing() override;
    void NewDrawing(TNewPurpose purpose);
    void BuildSchemeFromBase() override;
    void SchemeImported(const std::string& drawingFileName) override;
    // True when the scheme and the tables agree (the check did not fail).
    bool CheckSchemeAgainstCalcData() override;

    // IWindowHost.
    void SyncViewMenus(int32_t schemeKind) override;
    void EnableBlinkTimer() override;
    void LayerBoxRefilled() override;

    // Writers of the exchange texts for the exports; false when the text was
    // not written. Unset: the export says it is not available.
    std::function<bool(const std::string& fileName)> WriteTreskText;
    std::function<bool(const std::string& fileName)> WriteVeltorText;
    // How the converter runs (tests replace it).
    TConverterRunner RunConverter = RunConverterAndWait;
    // Starts the export converter detached; tests replace it.
    std::function<bool(const std::string& program, const std::vector<std::string>& args)>
        StartDetachedProgram;

    // Scheme views, view toggles and the options dialog.
    TOption& Option() { return *option_; }
    void MsxRaschClick() { SchemeClick(0); }
    void MsxVentClick() { SchemeClick(1); }
    void MsxPLAClick() { SchemeClick(2); }
    void MsxPPogClick() { SchemeClick(3); }
    void MsxN4Click() { SchemeClick(4); }
    void MsxAllClick();
    void VGridClick();
    void MNumBrClick();
    void MNumNdClick();
    void MNameBrClick();
    void MoptionsClick();
    // Calculation link and scheme checks (DrawWinCalcLink.cpp, SchemeChecks.cpp,
    // DrawWinCalcCommands.cpp).
    struct TNodeIndexEntry {
        int32_t Number = 0;
        int32_t Row = 0;
        std::string PressureText;
    };
    // The branch index is the document's CalcBranchIndex.
    std::vector<TCalcBranchIndexEntry>& BranchIndex() { return WindowState().CalcBranchIndex; }
    int32_t BranchIndexCount() const;
    std::vector<TNodeIndexEntry> NodeIndex;
    int32_t NodeIndexCount() const { return static_cast<int32_t>(NodeIndex.size()); }
    // The log tab: lines "E:<branch>:<text>" and "W:<branch>:<text>".
    std::vector<std::string> Logger;
    int LoggerItemIndex = -1;
    // Told when the log lines or the panel's page changed (the form shows them).
    std::function<void()> LoggerChanged;
    // The page of the panel shown (2 is the log tab); the panel and its tool
    // button are the inspector's.
    int PageBookIndex = 0;
    void LinkOneBranch(TGCustomFigure& figure);
    int32_t FindBranchIndexEntry(int32_t hint, int32_t number) const;
    void CheckSchemeAgainstCalcData(bool& failed);
    void MEQClick();
    void MGenDanClick();
    void AddExtClick();
    void FromExtClick();
    void DatagridKeyPress(char key);
    void LoggerDblClick();
    // Colour of a log line (0x00BBGGRR); -1 for the default font colour.
    static int32_t LoggerLineColour(const std::string& line);
    // Printing, the sheet-fit zoom and the small windows.
    TPrintRegionState PrintState;
    int ComboBox2Index = 0; // the "Формат" box
    int ScreenWidth = 1280; // pixels of the screen, set by the form
    TSymbolEditorState SymbolEditor;
    // Shows the print dialog modally (the form sets it).
    std::function<void()> ShowPrintDialog;
    void Print1Click();
    void PrintClick() { Print1Click(); }
    void PrintrectClick();
    // Prints the world rectangle dragged with the print tool.
    void PrintRectangle(const TRect& r);
    void ComboBox2Change(int item);
    void ResetPageFormatBox() override { ComboBox2Index = 0; }
    bool SymbolEditorText(std::string& text) override;
    // Tool modes and mouse editing (DrawWinTools.cpp).
    TEditState Edit;
    TPlanCursor PlanCursor = TPlanCursor::Arrow;
    // The tool button shown pressed ("" none); tool buttons exclude each other.
    std::string ToolButtonDown = "BSelect";
    TPicChoice PicChoice;
    IRoutePicks* RoutePicks = nullptr;
    IDrawWinView* View() const { return view_; }
    void PaintBox1MouseDown(TMouseButton button, TMouseShift shift, int x, int y);
    void PaintBox1MouseMove(TMouseShift shift, int x, int y);
    void PaintBox1MouseUp(TMouseButton button, TMouseShift shift, int x, int y);
    void ASelectExecute();
    void AShaperExecute();
    void ALineExecute();
    void APolyLineExecute();
    void ATextExecute();
    void APolygonExecute();
    void BPolygonClick();
    void BALineClick();
    void BElipseClick();
    void BArcClick();
    void BMoveClick();
    void PropGroupClick();
    void TBForwardPlanClick();
    void ToolButtonMoveClick();
    // The picture tool with the item chosen in the picture chooser.
    void BPicChosen(const TPicChoice& choice);
    void PrevExecute();
    void NextExecute();
    void DelExecute();
    // The world point a click at the screen point stands for.
    TPoint SnapPoint(TPoint screen) const;
    void SetRubberPen(TCanvas& canvas) const;
    // Enters a tool mode: ends the tool in progress, sets cursor and button.
    void SetToolMode(int32_t mode);
    // A handle of the move tool is held: the plan rings it and the cursor is
    // the cross until the button is released.
    bool HandleHeld() const { return DrawMode == 7 && Edit.ShaperState != 0; }
    // Tasks, result displays and service commands (DrawWinTasks.cpp, DrawWinService.cpp).
    // The branch the property panel shows; <= 0 when none.
    int32_t CurrentBranchNumber = 0;
    std::string CurrentBranchName;
    int32_t CurrentBranchPlaPosition = 0;
    // 0 normal distribution, 2 ventilation-device failure, 3 fire.
    int32_t EmergencyMode = 0;
    int32_t FireBranchNumber = 0;
    std::string FireBranchName;
    int32_t CurrentPlaPosition = 0;
    // The next flow-display command switches flows on instead of toggling.
    bool ForceFlowDisplay = false;
    int32_t BranchMarkColour = 255;
    std::string PhotoFileName;
    // The check marks of the mark menus are the drawing's (WindowState's
    // OpVetvi and FireVetvi), which scheme commands clear. MOrientBr is never
    // enabled.
    bool MOrientBrEnabled = false;
    // The status panel's text as the last task left it, and its colour (red
    // after an emergency task); other texts of the panel show in black.
    std::string TaskPanelText;
    int32_t PanelSostColour = 0;
    // The folder of the PLA documents: "pla" in the program folder while the
    // option "Путь к позиции ПЛА по умолчанию" is on, else the chosen one.
    std::string PlaDocumentFolder() const;
    // Folder of the objects' photos, without a trailing separator.
    std::string PhotoFileFolder() const;
    // What the picture viewer is asked to show.
    struct TPictureRequest {
        TBitmap32 Picture;
        int Layout = 1; // 0 wide (horizontal scroll bar) .. 3 tall (vertical)
        std::string Caption;
        // The file found for the object's photo name (its letter case may
        // differ from the stored name's).
        std::string Path;
    };
    // Windows of other parts, connected at start-up; unset ones say the
    // window is not available. The viewer says false when it could not show
    // the picture.
    std::function<bool(const TPictureRequest&)> ShowPictureViewer;
    std::function<void(const std::vector<std::string>& entries)> ShowPlaList;
    std::function<void()> ShowNavigator;
    std::function<void()> ShowDataWindow;
    // The plan picture to the clipboard and back (the form's picture).
    std::function<void()> CopyPlanToClipboard;

    // The drawing shown goes (another replaces it, or the program ends):
    // its route windows close without a question (the command asked) and
    // its task state goes: emergency mode, fire branch, the task's current
    // branch, shown route and the fire and reversed marks.
    void CloseDrawingCompanions();
    // The current figure into the current-branch state and PhotoFileName.
    void NoteCurrentBranch();
    // Tasks: true when the calculation ran to its end and its results show.
    bool Zad_ERClick();
    bool Zad_OtkazVUClick();
    bool Zad_PojarClick();
    void qoutExecute();
    void MArrowQClick();
    void MDAVLClick();
    void MPrDataClick();
    void MOrientBrClick();
    void OpVetviClick();
    void FireVetviClick();
    void NormVozdClick();
    void MRotateBrClick();
    void MResteNBrClick();
    void MResetNENdClick();
    void MResetBranchClick();
    void MResetBranchAllClick();
    void NBrnSearchClick();
    void NNodeSearchClick();
    void NPlaSearchClick();
    void ChangeScaleClick();
    void BPlaClick();
    void ToolButtonImageClick();
    void ToolButtonClBrdClick();
    void GenButtonClick();
    void ToolButtonNavigatorClick();
    void MContHelpClick();
    void TBAddBaseClick();
    void TBZamStClick();
    // Viewer layout for a picture's width / height.
    static int PictureLayout(double ratio);
    // Document names tried for a PLA position and the accident kinds set:
    // the first, then the fallback.
    static std::pair<std::string, std::string> PlaDocumentNames(int32_t position,
                                                                const std::array<bool, 6>& kinds);

    // Property inspector: rows, value editing, value menus (DrawWinProp*.cpp).
    TPropGridState GridProp;
    bool PagePropActive = true; // PageProp is the active page of PageBook
    int PagePropTag = 0;
    bool PropDown = false; // the Prop tool button
    bool Panel2Visible = false;
    // The data tab grid: column 0 titles, column 1 the current branch's row.
    TStringGridModel Datagrid{"Datagrid"};
    bool DatagridEnabled = false;
    bool DatagridEditing = false;
    int32_t DatagridFontColor = 0x808080;
    bool FromExtEnabled = false, AddExtEnabled = false;
    bool MResteNBrEnabled = false, MResetNENdEnabled = false, MRotateBrEnabled = false,
         MResetBranchEnabled = false;
    std::string NameStat;
    // Editing state: the entered cell, its value on entry, its identifier.
    bool PropEditing = false;
    int PropCol = -1, PropRow = -1;
    int PropEditCol = -1, PropEditRow = -1; // the cell the editor took up
    std::string PropEntryValue;
    int PropCurrentId = 0;
    bool PropFilling = false;
    int BranchTableRow = -1;
    TPropMenu PopMenu;
    // The picture tool's choice for the next click on the plan.
    std::string PicChosenName;
    int PicChosenIndex = 0;
    bool PicChosenSymbol = false;
    // The measuring-station command of the tool bar button TBZamSt, which a
    // click on "Замеры" runs while the button is enabled (unset: nothing).
    std::function<void()> RunTBZamSt;
    bool TBZamStEnabled = false;
    void SetPropDialogs(IPropDialogs* dialogs) { propDialogs_ = dialogs; }
    int MapPropertyRow(int value, bool rowToId) const;
    void ShowProperties(bool force);
    void PropClick(bool down);
    void PagePropShow();
    void GridPropSelectCell(int col, int row, bool& canSelect);
    void EnterPropCell(int col, int row);
    void LeavePropCell(int col, int row);
    void GridPropGetEditText(int col, int row, std::string& text);
    void GridPropSetEditText(int col, int row, const std::string& text);
    void GridPropKeyPress(char& key);
    void GridPropGetEditMask(int col, int row, std::string& mask);
    bool GridPropAcceptEditKey(char key) const;
    // Text drawn in a cell of the property grid.
    std::string GridPropCellText(int col, int row) const;
    void ApplyPropertyValue();
    void ReplaceNodeInBranchTable(const std::string& oldNumber, const std::string& newNumber);
    void GridPropFixedCellClick(int col, int row);
    void EditPropertyByMenu(int item);
    void BPicClick();

private:
    void PublishTaskState();
    void RefreshPropertyPanel();
    void SetFlowDisplay(bool on);
    void SetArrowDisplay(bool on);
    void ShowTaskResults();
    // Selects the current branch's row for a task; false when it has none.
    bool SelectTaskBranch();
    void CentreOnCurrentFigure();
    void ResetCommandDone();
    void FitView(const TRect& extent);
    void FitDefaultView();
    // The view the fit after loading made, while the user has not moved it:
    // the window may take its final size only after the drawing was loaded
    // (a window manager maximises it later), and the drawing must then show
    // as fitted to that size, not as a small picture in the middle.
    struct TLoadFit {
        bool valid = false;
        double scale = 0;
        TPoint centre;
    };
    TLoadFit loadFit_;
    void Repaint();
    void ShowCaption();
    // No file yet: a save goes through Save As.
    bool Untitled() const;
    // Empties the data window; the command asked about unsaved work first.
    void ClearDataWindow();
    void ClearDataWindow(TNewPurpose purpose);
    bool TablesModified() const;
    void ParseDrawingData();
    // The load step of Open and a bookmark: the drawing file, then its data;
    // false when the file could not be read (nothing was replaced).
    bool LoadDrawingWithData(const std::string& fileName);
    // Open's second filter and "из Tresk".
    void ImportMine(const std::string& mineFileName);
    // After a drawing took the place of another: CloseDrawingCompanions, the
    // task branch from the new plan, the select tool, the symbol library and
    // editor, the data set's name (with the data window's caption) and the
    // tables' indexes, the report started anew under that name.
    void ResetCompanions();
    bool WarnIfEmpty();
    void ExportTresk(const std::string& chosenName);
    void ExportJpeg(const std::string& chosenName);
    void ExportVeltor(const std::string& name);
    void ScrollBy(int direction, int amount);
    TDataWindowController* DataWindow() const { return dataWindow_; }

    std::unique_ptr<TGCollFigure> doc_;
    IDrawWinView* view_ = nullptr;
    TDataWindowController* dataWindow_ = nullptr;
    std::string currentFileName_;
    // The file of that name holds the drawing shown: it was read from there
    // or saved there. An imported drawing only takes its name.
    bool nameHoldsDrawing_ = false;
    std::string surfaceNodes_;
    std::string networkDataText_;
    TModGrid* branchGrid_ = nullptr;
    TModGrid* nodeGrid_ = nullptr;
    TCanvas* measuringCanvas_ = nullptr;
    // Options dialog: created with the window, lives as long.
    std::unique_ptr<TOption> option_;
    void LoadOptions();
    void StoreOptions();
    // The window's settings gathered and written to "Idraw.ini"; a failure
    // is told.
    void WriteSettingsFile();
    // Property inspector.
    void ShowBranchStatus(TGBranch& b);
    void FillDatagridFromTable();
    // The pen and brush of a line figure from its style, its layer or the
    // scheme's defaults, after one of these choices.
    enum TStyleCause { kAfterTypeChoice, kAfterColourDefault, kAfterLayerChange };
    void ApplyStyleAttributes(TGCustomFigure& f, TStyleCause how);
    void EditAngle(int id);
    void CopyToGroup(int id);
    // What of the current branch's PLA record the group-property tool gives
    // the selected branches: the part the command changed (for an accident
    // kind, the one toggled).
    enum class TPlaCopy { Number, Shown, AccidentKind, Colour };
    void CopyPlaToGroup(TPlaCopy what, size_t accidentKind = 0);
    void RunPenBrushDialog();
    void RunPictureChooser(bool symbol);
    IPropDialogs* propDialogs_ = nullptr;
};

// The command-line rule: the drawing named by the parameters (each followed
// by a blank), else the last file; kept only when its trimmed extension is
// exactly ".grh", else "untitled.grh" in the program folder.
std::string ChooseDrawingFile(const std::vector<std::string>& args, const std::string& lastFile,
                              const std::string& programDir);
// Direction from p to q in whole degrees, -180..180.
int SegmentAngle(TPoint p, TPoint q);
// The path up to and including its last separator; "" when none.
std::string ExtractPathPart(const std::string& path);

// The program's drawing window (null before start-up).
TIDrawWin* IDrawWin();
void SetIDrawWin(TIDrawWin* window);

} // namespace arv
