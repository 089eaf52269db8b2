// Start-up, activation, close and the file commands of the data window.
#include "DataWindowFixture.h"
#include "SampleNetwork.h"

#include "calc/files/DataFiles.h"
#include "calc/window/NotAvailable.h"

#include "platform/IniFile.h"

using namespace arv;
using arv::test::DataWindowTest;

namespace {

const char* const kDanFile = "A;Шахта Северная\r\nB;Вариант 2\r\nC; 60; S; E; N; S; H; -5; 18; "
                             "760; 770;\r\nU;1;\r\nD;1;1;2;В;;;;;;;;;;;Ствол;\r\n"
                             "D;2;2;3;;0,02;\r\nV;1;ВОД-21;\r\n";

// Marks the branch and fan tables as the user's typing does.
void Type(TModGrid& grid) {
    char key = 'x';
    grid.KeyPress(key);
}

} // namespace

TEST_F(DataWindowTest, StartUpReadsTheDataTextOfTheDrawing) {
    calc.CalcOptions[5] = 'R';
    calc.NetworkDataText = test::SampleNetworkText();
    calc.PressureText = "stale";
    Create();
    EXPECT_EQ(Ru("Arvalen  Тальвер"), w.Caption);
    EXPECT_EQ(File("mine.dan"), w.CurrentDataFile());
    EXPECT_EQ(File("mine.rtf"), w.ReportRtfFileName);
    EXPECT_EQ(PageNetwork, w.ActivePage());
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ(Ru("Шахта"), t.NameSh);
    EXPECT_EQ(Ru("Номер"), t.TablDanRev.Cells(0, 0));
    EXPECT_EQ(23, t.TablDanRev.ColCount());
    EXPECT_EQ(2, t.TablDan.FixedRows());
    // The options start from their defaults; the text then sets its own.
    EXPECT_EQ('O', calc.CalcOptions[5]);
    EXPECT_EQ("", calc.PressureText);
    EXPECT_FALSE(w.FindItem("Dan_Save")->Enabled);
    EXPECT_EQ(&t.TablDan, drawing.branchGrid);
    EXPECT_EQ(&t.TablDavl, drawing.nodeGrid);
    EXPECT_EQ(1, drawing.indexed);
    // Default settings: 64-pixel columns, rows twice the font size.
    EXPECT_EQ(64, t.TablDan.ColWidths(5));
    EXPECT_EQ(20, t.TablDan.DefaultRowHeight());
    EXPECT_EQ((TWindowPlace{10, 10, 400, 400}), w.WindowSettings().Place);
    EXPECT_GE(view.refreshes, 1);
    for (const auto& b : w.ToolButtons()) EXPECT_TRUE(b.OnClick) << b.Name;
}

TEST_F(DataWindowTest, StartUpReadsTheOlderDataFileAndTheSettings) {
    Write("mine.dan", Ru(kDanFile));
    TIniFile ini(SettingsFileName());
    ini.WriteString("GridFont", "Name", "Arial");
    ini.WriteInteger("GridFont", "Size", 12);
    ini.WriteInteger("Form1", "Widhs", 900);
    ini.WriteInteger("TablDavl", "ColWidths1", 99);
    Create();
    EXPECT_EQ(Ru("Шахта Северная"), t.NameSh);
    EXPECT_EQ("2", t.TablDan.Cells(0, 3));
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ(24, t.TablDan.DefaultRowHeight());
    EXPECT_EQ(24, t.TablVenRev.DefaultRowHeight());
    // The node table keeps its own font.
    EXPECT_EQ(2 * t.TablDavl.FontSize(), t.TablDavl.DefaultRowHeight());
    EXPECT_EQ(99, t.TablDavl.ColWidths(1));
    EXPECT_EQ(900, w.WindowSettings().Place.Width);

    // Without a drawing name and data the tables start empty.
    TCalcContext c2;
    TNetworkTables t2{c2};
    TNasDlgModel d2;
    TDataWindowController w2{t2, c2, d2};
    drawing.fileName.clear();
    w2.FormCreate();
    EXPECT_EQ("", w2.CurrentDataFile());
    EXPECT_EQ(4, t2.TablDan.RowCount());
    EXPECT_EQ("", t2.TablDan.Cells(0, 2));
}

TEST_F(DataWindowTest, SaveWritesTheDrawingAndClearsTheFlagsOnlyWhenWritten) {
    Create();
    Type(t.TablDan);
    Type(t.TablVen);
    ASSERT_TRUE(t.TablDan.Modified);
    drawing.saveSucceeds = false;
    EXPECT_FALSE(w.Dan_SaveClick());
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_TRUE(t.TablVen.Modified);
    drawing.saveSucceeds = true;
    EXPECT_TRUE(w.Dan_SaveClick());
    EXPECT_EQ((std::vector<std::string>{File("mine.grh"), File("mine.grh")}), drawing.saved);
    EXPECT_FALSE(t.TablDan.Modified);
    EXPECT_FALSE(t.TablVen.Modified);

    // Without the drawing window nothing can be written yet, and it says so.
    Type(t.TablDan);
    drawing.exists = false;
    messages.Expect(mrOk, Cp1251ToUtf8(NotAvailableText(Ru("Сохранить"))));
    EXPECT_FALSE(w.Dan_SaveClick());
    EXPECT_TRUE(t.TablDan.Modified);
}

TEST_F(DataWindowTest, SaveWithoutANameIsSaveAsAndACancelledDialogKeepsTheFlags) {
    Create();
    w.CurrentDataFile().clear();
    Type(t.TablDan);
    dialogs.Answer(std::nullopt);
    EXPECT_FALSE(w.Dan_SaveClick());
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_TRUE(drawing.saved.empty());
    ASSERT_EQ(1u, dialogs.Requests().size());
    const TFileDialogRequest& r = dialogs.Requests()[0];
    EXPECT_EQ("dan", r.defaultExt);
    EXPECT_EQ(Ru("Данные|*.dan|Все|*.*"), r.filter);
    EXPECT_TRUE(r.overwritePrompt);

    dialogs.Answer(File("other.dan"));
    EXPECT_TRUE(w.Dan_SaveClick());
    EXPECT_EQ(File("other.dan"), w.CurrentDataFile());
    EXPECT_EQ(std::vector<std::string>{File("other.grh")}, drawing.saved);
    EXPECT_FALSE(t.TablDan.Modified);
}

TEST_F(DataWindowTest, SaveAsWithTheInitialDataTableOfTagR) {
    drawing.exists = false;
    Create();
    calc.CalcOptions[5] = 'R';
    ASSERT_TRUE(w.Dan_NewClick(TNewPurpose::UserNew));
    ASSERT_TRUE(t.TablID.Visible());
    ASSERT_FALSE(t.TablDan.Visible());
    EXPECT_EQ(4, t.TablID.ColCount());
    test::SetRow(t.TablID, 2, {{0, "1"}, {1, "1"}, {2, "2"}, {3, "0,5"}});
    test::SetRow(t.TablID, 3, {{0, "2"}, {1, "2"}, {2, "3"}, {3, "0,25"}});
    t.TablID.SetRowCount(4);
    Type(t.TablDan);

    // The name is made absolute; the initial data go to the ".id" beside it.
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder.dir);
    dialogs.Answer("set.dan");
    EXPECT_TRUE(w.Dan_SaveAsClick());
    std::filesystem::current_path(cwd);
    EXPECT_EQ(File("set.dan"), w.CurrentDataFile());
    EXPECT_EQ("0,5", t.TablDan.Cells(4, 2));
    EXPECT_EQ("3", t.TablDan.Cells(2, 3));
    EXPECT_EQ(Ru("Сопрот."), t.TablDan.Cells(4, 0));
    EXPECT_EQ(4, t.TablDan.RowCount());
    EXPECT_TRUE(t.TablDan.Visible());
    EXPECT_FALSE(t.TablID.Visible());
    EXPECT_FALSE(t.TablDan.Modified);
    EXPECT_EQ('N', calc.CalcOptions[3]);
    EXPECT_EQ(Ru("R\r\nНомер;Нач.;Кон.;Сопрот.;\r\nветви;узел;узел;выраб., km;\r\n"
                 "1;1;2;0,5;\r\n2;2;3;0,25;\r\n"),
              Read(File("set.id")));
}

TEST_F(DataWindowTest, SaveAsWithTheInitialDataTableOfTagHAndAFailedWrite) {
    Create();
    calc.CalcOptions[5] = 'H';
    ASSERT_TRUE(w.Dan_NewClick(TNewPurpose::UserNew));
    EXPECT_EQ(7, t.TablID.ColCount());
    EXPECT_EQ(Ru("Нач."), t.TablID.Cells(3, 0));
    test::SetRow(t.TablID, 2, {{0, "7"}, {3, "10"}, {4, "9"}, {5, "3"}, {6, "0,125"}});
    Type(t.TablVen);

    // A folder that does not exist: nothing is written, the flags stay.
    dialogs.Answer(File("none/set.dan"));
    messages.Expect(mrOk);
    EXPECT_FALSE(w.Dan_SaveAsClick());
    EXPECT_NE(std::string::npos, messages.ShownUtf8().back().find("set.id"));
    EXPECT_TRUE(t.TablVen.Modified);
    EXPECT_TRUE(t.TablID.Visible());
    EXPECT_TRUE(drawing.saved.empty());

    dialogs.Answer(File("set.dan"));
    EXPECT_TRUE(w.Dan_SaveAsClick());
    EXPECT_EQ("0,125", t.TablDan.Cells(4, 2));
    EXPECT_EQ("7", t.TablDan.Cells(0, 2));
    EXPECT_EQ(std::vector<std::string>{File("set.grh")}, drawing.saved);
    EXPECT_FALSE(t.TablVen.Modified);
    TCalcContext c2;
    TNetworkTables back{c2};
    ASSERT_TRUE(LoadIdsTable(File("set.id"), back, c2.CalcOptions));
    EXPECT_EQ("0,125", back.TablID.Cells(6, 2));
}

TEST_F(DataWindowTest, SaveQuestionYesNoAndCancel) {
    Create();
    test::FillSampleNetwork(t);
    Type(t.TablVen);

    // Cancel stops New: nothing is emptied.
    messages.Expect(mrCancel, "Сохранить данные?");
    EXPECT_FALSE(w.Dan_NewClick());
    EXPECT_EQ(mrCancel, w.DialogAnswer);
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ(TMsgButtons::YesNoCancel, messages.Shown().back().buttons);
    EXPECT_EQ(TMsgIcon::Warning, messages.Shown().back().icon);

    // Yes with a save that fails stops as well.
    drawing.saveSucceeds = false;
    messages.Expect(mrYes, "Сохранить данные?");
    EXPECT_FALSE(w.Dan_NewClick());
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));

    // Yes saves, then empties.
    drawing.saveSucceeds = true;
    messages.Expect(mrYes, "Сохранить данные?");
    EXPECT_TRUE(w.Dan_NewClick());
    EXPECT_EQ(2u, drawing.saved.size());
    EXPECT_EQ("", t.TablDan.Cells(15, 2));

    // No empties without saving; unmodified tables are not asked about.
    test::FillSampleNetwork(t);
    Type(t.TablDan);
    messages.Expect(mrNo, "Сохранить данные?");
    EXPECT_TRUE(w.Dan_NewClick());
    EXPECT_EQ(2u, drawing.saved.size());
    t.TablDan.Modified = t.TablVen.Modified = false;
    EXPECT_TRUE(w.Dan_NewClick());
}

TEST_F(DataWindowTest, NewEmptiesTheWholeDataSetAndBuildsTheInitialTableOnlyForTheUser) {
    Create();
    test::FillSampleNetwork(t);
    t.NameVarAv = "rev";
    test::SetRow(t.TablDanRev, 2, {{0, "5"}});
    test::SetRow(t.TablVenRev, 2, {{0, "5"}});
    t.MemoPotr.Add("a");
    t.MemoDav.Add("b");
    t.MemoUst.Add("c");
    calc.PressureText = calc.StabilityText = calc.FireStabilityText = "x";
    calc.DeviceStabilityText = calc.StabilityTableText = "x";
    calc.PressureRowCount = 5;
    drawing.surface = "1;";
    calc.CalcOptions[5] = 'H';
    ASSERT_TRUE(w.Dan_NewClick(TNewPurpose::BeforeLoad));
    for (TModGrid* g : {&t.TablDan, &t.TablVen, &t.TablDavl, &t.TablPotr}) {
        EXPECT_EQ(4, g->RowCount()) << g->Name();
        EXPECT_EQ(2, g->FixedRows()) << g->Name();
        EXPECT_EQ(1, g->LastFilledRow()) << g->Name();
    }
    for (TModGrid* g : {&t.TempTableM, &t.TempTableS}) {
        EXPECT_EQ(4, g->RowCount()) << g->Name();
        EXPECT_EQ(-1, g->LastFilledRow()) << g->Name();
    }
    EXPECT_EQ("", t.TablDanRev.Cells(0, 2));
    EXPECT_EQ("", t.TablVenRev.Cells(0, 2));
    EXPECT_EQ("", t.NameSh + t.NameVar + t.NameVarAv + t.UzPov + drawing.surface);
    EXPECT_TRUE(t.MemoPotr.Lines.empty() && t.MemoDav.Lines.empty() && t.MemoUst.Lines.empty());
    EXPECT_EQ("", calc.PressureText + calc.StabilityText + calc.FireStabilityText +
                      calc.DeviceStabilityText + calc.StabilityTableText);
    EXPECT_EQ(0, calc.PressureRowCount);
    // Emptied before a load: the branch table stays in view.
    EXPECT_TRUE(t.TablDan.Visible());
    EXPECT_FALSE(t.TablID.Visible());

    t.TablDan.SetFont("Arial", 14);
    ASSERT_TRUE(w.Dan_NewClick(TNewPurpose::UserNew));
    EXPECT_TRUE(t.TablID.Visible());
    EXPECT_FALSE(t.TablDan.Visible());
    EXPECT_EQ(14, t.TablID.FontSize());
    EXPECT_EQ(Ru("Кон."), t.TablID.Cells(4, 0));
}

// Open goes through the drawing window, which asks about its drawing and the
// data; without it the data window asks. A cancelled dialog asks nothing.
TEST_F(DataWindowTest, OpenReplacesTheDrawingThroughTheDrawingWindow) {
    Create();
    test::FillSampleNetwork(t);
    Type(t.TablDan);
    dialogs.Answer(std::nullopt);
    w.Dan_OpenClick();
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ(Ru("Данные |*.dan"), dialogs.Requests().back().filter);
    EXPECT_EQ(0, drawing.replaced);

    std::string dan = Write("north.dan", Ru(kDanFile));
    dialogs.Answer(dan);
    w.Dan_OpenClick();
    EXPECT_EQ(1, drawing.replaced);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(dan, w.CurrentDataFile());
    EXPECT_EQ(Ru("Шахта Северная"), t.NameSh);
    EXPECT_EQ("", t.TempTableM.Cells(1, 0));
    EXPECT_EQ("2", t.TablDan.Cells(0, 3));
    EXPECT_EQ(2, t.TablDan.FixedRows());
    EXPECT_EQ(File("north.grh"), drawing.fileName);
    EXPECT_EQ(std::vector<std::string>{File("north.grh")}, drawing.loaded);
    EXPECT_EQ(dan, TIniFile(SettingsFileName()).ReadString("Name", "FileName", ""));
    // The tag 'H' of the file builds no initial data table on a load.
    EXPECT_EQ('H', calc.CalcOptions[5]);
    EXPECT_TRUE(t.TablDan.Visible());

    drawing.exists = false;
    w.CurrentDataFile().clear();
    Type(t.TablDan);
    messages.Expect(mrCancel, "Сохранить данные?");
    dialogs.Answer(dan);
    w.Dan_OpenClick();
    EXPECT_EQ("", w.CurrentDataFile());
    EXPECT_TRUE(t.TablDan.Modified);
}

TEST_F(DataWindowTest, OpenInitialData) {
    Create();
    test::FillSampleNetwork(t);
    // A file that cannot be read changes nothing.
    dialogs.Answer(File("none.id"));
    w.Dan_OpenIDClick();
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ(Ru("Начальные данные |*.id"), dialogs.Requests().back().filter);

    dialogs.Answer(Write("start.id", "R\r\nN;a;b;R;\r\nv;u;u;km;\r\n4;1;2;0,7;\r\n"));
    w.Dan_OpenIDClick();
    EXPECT_EQ("", t.TablDan.Cells(15, 2));
    EXPECT_EQ("", t.TablVen.Cells(1, 2));
    EXPECT_EQ("0,7", t.TablID.Cells(3, 2));
    EXPECT_EQ('R', calc.CalcOptions[5]);
    EXPECT_TRUE(t.TablID.Visible());
    EXPECT_FALSE(t.TablDan.Visible());
    EXPECT_EQ("", w.CurrentDataFile());
}

TEST_F(DataWindowTest, ReverseDataAreWrittenAtOnceOrOnceANameIsChosen) {
    Create();
    t.NameVarAv = "V";
    test::SetRow(t.TablDanRev, 2, {{0, "3"}});
    EXPECT_TRUE(w.Dan_SaveRevClick());
    EXPECT_NE(std::string::npos, Read(File("mine.rev")).find("D;3;"));

    w.CurrentDataFile().clear();
    dialogs.Answer(std::nullopt);
    EXPECT_FALSE(w.Dan_SaveRevClick());
    EXPECT_EQ("", w.CurrentDataFile());
    dialogs.Answer(File("alt.rev"));
    EXPECT_TRUE(w.Dan_SaveRevClick());
    EXPECT_EQ(File("alt.dan"), w.CurrentDataFile());
    EXPECT_EQ(Read(File("mine.rev")), Read(File("alt.rev")));

    w.CurrentDataFile() = File("none/x.dan");
    messages.Expect(mrOk);
    EXPECT_FALSE(w.Dan_SaveRevClick());
}

TEST_F(DataWindowTest, ActivationShowsTheBranchOfTheDrawingAndTheFansOfAFan) {
    Create();
    // Branches 198 down to 141 in rows 2 to 59; 141 is a fan.
    t.TablDan.SetRowCount(60);
    for (int r = 2; r < 60; ++r) t.TablDan.SetCells(0, r, std::to_string(200 - r));
    t.TablDan.SetCells(3, 59, Ru(" В "));
    t.TablDan.SetVisibleCounts(10, 10);
    t.TablDan.SetCurrent(4, 40);
    w.Serv_SxemaClick();
    EXPECT_EQ(160, w.SchemeBranchNumber);
    EXPECT_EQ(std::vector<int>{160}, drawing.centred);
    EXPECT_EQ(1, drawing.shown);

    // Sorted in the meantime, the branch is found by its number.
    t.TablDan.SetCurrent(0, 2);
    w.Serv_SortClick();
    EXPECT_EQ(1, drawing.linked);
    EXPECT_EQ("141", t.TablDan.Cells(0, 2));
    drawing.surface = "4;";
    w.FormActivate();
    EXPECT_EQ("4;", t.UzPov);
    EXPECT_EQ(21, t.TablDan.Row());
    EXPECT_EQ(19, t.TablDan.TopRow());
    EXPECT_EQ(PageNetwork, w.ActivePage());

    // A fan in the current row shows the fans page.
    t.TablDan.SetCurrent(0, 2);
    w.Serv_SxemaClick();
    EXPECT_EQ(141, w.SchemeBranchNumber);
    w.FormActivate();
    EXPECT_EQ(PageFans, w.ActivePage());

    // From a heading row the drawing is asked for branch 1.
    t.TablDan.SetCurrent(0, 1);
    w.Serv_SxemaClick();
    EXPECT_EQ(1, w.SchemeBranchNumber);
    InstallDrawingHost(nullptr);
    messages.Expect(mrOk, Cp1251ToUtf8(NotAvailableText(Ru("Схема вентиляции"))));
    w.Serv_SxemaClick();
}

TEST_F(DataWindowTest, ActivationCountsOnlyReturnsFromOtherWindowsOfTheProgram) {
    TActivationTracker a;
    using K = TActivationTracker;
    EXPECT_FALSE(a.FocusMovedTo(K::ThisWindow));
    EXPECT_FALSE(a.FocusMovedTo(K::ModalDialog)); // a message box
    EXPECT_FALSE(a.FocusMovedTo(K::ThisWindow));
    EXPECT_FALSE(a.FocusMovedTo(K::Outside)); // another program
    EXPECT_FALSE(a.FocusMovedTo(K::ThisWindow));
    EXPECT_FALSE(a.FocusMovedTo(K::ProgramWindow));
    EXPECT_FALSE(a.FocusMovedTo(K::ModalDialog));
    EXPECT_FALSE(a.FocusMovedTo(K::Outside));
    EXPECT_TRUE(a.FocusMovedTo(K::ThisWindow));
    EXPECT_FALSE(a.FocusMovedTo(K::ThisWindow));
}

TEST_F(DataWindowTest, CloseWritesTheSettings) {
    Create();
    w.WindowSettings().Place = {30, 40, 800, 600};
    t.TablDan.SetColWidths(3, 77);
    w.Dan_CloseClick();
    EXPECT_EQ(1, view.closes);
    w.FormClose();
    TIniFile ini(SettingsFileName());
    EXPECT_EQ(800, ini.ReadInteger("Form1", "Widhs", 0));
    EXPECT_EQ(77, ini.ReadInteger("TablDan", "ColWidths3", 0));
    EXPECT_EQ(File("mine.dan"), ini.ReadString("Name", "FileName", ""));

    // A data file name holding a line end cannot be kept: written empty, said.
    w.WindowSettings().CurrentDataFile = File("two\n[Form1]\nWidhs=1\n.dan");
    messages.Expect(mrOk, "Значения с переводом строки не записаны в файл настроек " +
                              Cp1251ToUtf8(SettingsFileName()) + ": Name/FileName");
    w.FormClose();
    EXPECT_EQ("", ini.ReadString("Name", "FileName", "-"));
}
