// The table and service commands of the data window: column search, export
// checks, double clicks, pages, the fixed column and outside programs.
#include "DataWindowFixture.h"
#include "SampleNetwork.h"

#include "calc/window/NotAvailable.h"

using namespace arv;
using arv::test::DataWindowTest;

namespace {

struct SearchTest : DataWindowTest {
    SearchTest() { Create(); }
    // Column 5 ("Длина") of rows 2.. holds the texts given.
    void Lengths(std::initializer_list<const char*> texts) {
        int row = FirstDataRow;
        t.TablDan.SetRowCount(FirstDataRow + static_cast<int>(texts.size()));
        for (const char* text : texts) {
            t.TablDan.SetCells(0, row, std::to_string(row));
            t.TablDan.SetCells(5, row++, text);
        }
        t.TablDan.SetVisibleCounts(8, 10);
    }
};

} // namespace

TEST_F(SearchTest, FindsBelowWithEitherSeparatorAndPreparesTheDialog) {
    Lengths({"1", "2.5", "3", "2,5", " 2 , 5 "});
    t.TablDan.SetCurrent(5, 2);
    fieldDialog.answers = {"2,5"};
    w.Serv_PoiskClick();
    ASSERT_EQ(1u, fieldDialog.shown.size());
    const TFDialog1& d = fieldDialog.shown[0];
    EXPECT_EQ(Ru("Поиск"), d.Caption);
    EXPECT_EQ(Ru("Укажите Длина   м  "), d.Label2);
    EXPECT_EQ("", d.Label1);
    EXPECT_EQ("1", d.Edit1);
    EXPECT_TRUE(d.Enabled);
    EXPECT_EQ(3, t.TablDan.Row());
    EXPECT_EQ(5, t.TablDan.Col());

    // The typed text is normalised as well, and the search goes on below.
    fieldDialog.answers = {"2.5"};
    w.Serv_PoiskClick();
    EXPECT_EQ(5, t.TablDan.Row());
    fieldDialog.answers = {"2.5"};
    w.Serv_PoiskClick();
    EXPECT_EQ(6, t.TablDan.Row());
}

TEST_F(SearchTest, WrapsToTheRowsAboveNormalisedAndKeepsTheTopRowOfAVisibleMatch) {
    Lengths({"7", "2.5", "8", "9", "10", "11"});
    t.TablDan.SetCurrent(5, 6);
    t.TablDan.SetTopRow(3);
    fieldDialog.answers = {"2,5"};
    w.Serv_PoiskClick();
    EXPECT_EQ(3, t.TablDan.Row());
    EXPECT_EQ(3, t.TablDan.TopRow());

    // The current row itself is the last one tried.
    t.TablDan.SetCurrent(5, 3);
    fieldDialog.answers = {"2,5"};
    w.Serv_PoiskClick();
    EXPECT_EQ(3, t.TablDan.Row());
}

TEST_F(SearchTest, AMatchOutOfViewBecomesTheThirdVisibleRow) {
    std::vector<std::string> many(80, "0");
    many[60] = "42";
    t.TablDan.SetRowCount(82);
    for (int i = 0; i < 80; ++i) t.TablDan.SetCells(5, 2 + i, many[i]);
    t.TablDan.SetVisibleCounts(8, 10);
    t.TablDan.SetCurrent(5, 2);
    fieldDialog.answers = {"42"};
    w.Serv_PoiskClick();
    EXPECT_EQ(62, t.TablDan.Row());
    EXPECT_EQ(60, t.TablDan.TopRow());
}

TEST_F(SearchTest, NotFoundAsksAgainAndOkSearchesAgain) {
    Lengths({"1", "2", "3"});
    t.TablDan.SetCurrent(5, 2);
    fieldDialog.answers = {"5", "3"};
    w.Serv_PoiskClick();
    ASSERT_EQ(2u, fieldDialog.shown.size());
    EXPECT_EQ(Ru("Значение не найдено"), fieldDialog.shown[1].Label1);
    EXPECT_EQ(4, t.TablDan.Row());

    fieldDialog.answers = {"5", std::nullopt};
    w.Serv_PoiskClick();
    EXPECT_EQ(2u + 2u, fieldDialog.shown.size());
    EXPECT_EQ(4, t.TablDan.Row());
}

TEST_F(SearchTest, SearchesOnlyTheBranchTableOfTheNetworkAndReversePages) {
    test::SetRow(t.TablDanRev, 2, {{0, "1"}});
    test::SetRow(t.TablDanRev, 3, {{0, "9"}});
    w.TabbedNotebook1Change(PageReverse);
    t.TablDanRev.SetCurrent(0, 2);
    fieldDialog.answers = {"9"};
    w.Serv_PoiskClick();
    EXPECT_EQ(3, t.TablDanRev.Row());
    w.TabbedNotebook1Change(PageFans);
    w.Serv_PoiskClick(); // no dialog
    EXPECT_EQ(1u, fieldDialog.shown.size());
    EXPECT_EQ(-1, FindInColumn(t.TablDanRev, 0, 3, "4"));
}

TEST_F(DataWindowTest, ExportsCheckTheirSources) {
    Create();
    // No consumer: rows without a branch number do not count.
    w.TabbedNotebook1Change(PageConsumers);
    t.TablPotr.SetRowCount(6);
    t.TablPotr.SetCells(5, 3, "name only");
    messages.Expect(mrOk, "Нет потребителей");
    messages.Expect(mrOk, "Нет потребителей");
    w.WordPotrClick();
    w.ExcelPotrClick();
    EXPECT_TRUE(exports.runs.empty());

    // One consumer in three rows is enough for both.
    t.TablDan.SetRowCount(3);
    test::SetRow(t.TablDan, 2, {{0, "4"}, {10, "5"}});
    w.TabbedNotebook1Change(PageNetwork);
    w.WordPotrClick();
    EXPECT_EQ(PageConsumers, w.ActivePage());
    EXPECT_EQ(3, t.TablPotr.RowCount());
    w.ExcelPotrClick();

    messages.Expect(mrOk, "Не проведен расчет");
    messages.Expect(mrOk, "Не проведен расчет");
    w.WordDavlClick();
    w.ExcelDavlClick();
    for (int i = 0; i < 6; ++i) messages.Expect(mrOk, "Устойчивость не расчитана");
    w.WordUstClick();
    w.WordUstSxVUClick();
    w.WordUstSxPClick();
    w.ExcelUstClick();
    w.ExcelUstVUClick();
    w.ExcelUstPogClick();
    w.WordTableClick();
    w.ExcelVentClick();
    calc.PressureText = "p";
    calc.StabilityText = "s";
    calc.DeviceStabilityText = "d";
    calc.FireStabilityText = "f";
    w.WordDavlClick();
    w.ExcelUstClick();
    w.WordUstSxVUClick();
    w.ExcelUstPogClick();
    using P = TOfficeProgram;
    using R = TOfficeReport;
    std::vector<std::pair<P, R>> expected = {
        {P::Word, R::Consumers},       {P::Excel, R::Consumers},    {P::Word, R::MainTable},
        {P::Excel, R::Fans},           {P::Word, R::NodePressure},  {P::Excel, R::BranchStability},
        {P::Word, R::DeviceStability}, {P::Excel, R::FireStability}};
    EXPECT_EQ(expected, exports.runs);

    // Without the export subsystem the command says it is not there yet.
    InstallOfficeExportHost(nullptr);
    messages.Expect(mrOk, Cp1251ToUtf8(NotAvailableText("Excel")));
    w.ExcelTableClick();
}

TEST_F(DataWindowTest, DoubleClicksOpenThePickerOrTheLibraries) {
    Create();
    t.TablDan.SetRowCount(3);
    for (int col : {3, 4, 7, 8, 5}) {
        t.TablDan.Modified = false;
        t.TablDan.SetCurrent(col, 2);
        t.TablDan.DblClick();
        EXPECT_TRUE(t.TablDan.Modified) << col;
    }
    EXPECT_TRUE(t.VybTip.Visible);
    EXPECT_EQ(1, view.typePickers);
    EXPECT_EQ((std::vector<bool>{true, true, true}), deviceLibrary.shows);

    // The picker writes into the table of the page shown.
    t.VybTipMouseDown(2);
    EXPECT_EQ(Ru("В"), t.TablDan.Cells(3, 2));

    t.TablVen.DblClick();
    t.TablVenRev.DblClick();
    EXPECT_EQ((std::vector<bool>{true, true}), fanLibrary.shows);
    w.FindItem("Dan_BiblVen")->OnClick();
    w.FindItem("Dan_BiblVU")->OnClick();
    EXPECT_FALSE(fanLibrary.shows.back());
    EXPECT_FALSE(deviceLibrary.shows.back());

    w.TabbedNotebook1Change(PageReverse);
    t.TablDanRev.SetRowCount(3);
    t.TablDanRev.SetCurrent(3, 2);
    t.TablDanRev.DblClick();
    EXPECT_TRUE(t.TablDanRev.Modified);
    EXPECT_EQ(2, view.typePickers);
    t.VybTip.ItemIndex = 4;
    t.VybTipKeyPress('\r');
    EXPECT_EQ(Ru("Р"), t.TablDanRev.Cells(3, 2));
    EXPECT_EQ("", t.TablDan.Cells(3, 3));
}

TEST_F(DataWindowTest, LeavingAPageRunsTheExitOfItsTable) {
    Create();
    t.TablDan.SetRowCount(4);
    test::SetRow(t.TablDan, 2, {{0, "4"}, {10, "5"}, {15, "Лава"}});
    test::SetRow(t.TablDan, 3, {{0, "6"}});
    w.TabbedNotebook1Change(PageConsumers);
    ASSERT_EQ(3, t.TablPotr.RowCount());
    EXPECT_EQ(Ru("Лава"), t.TablPotr.Cells(5, 2));

    t.TablPotr.SetCells(2, 2, "7");
    w.TabbedNotebook1Change(PageGeneral);
    EXPECT_EQ("7", t.TablDan.Cells(10, 2));

    // A consumer keeps its results when the branch table is left again,
    // another branch in its row does not take them over.
    t.TablPotr.SetCells(3, 2, "   4,50");
    w.TabbedNotebook1Change(PageNetwork);
    w.TabbedNotebook1Change(PageConsumers);
    EXPECT_EQ("   4,50", t.TablPotr.Cells(3, 2));
    w.TabbedNotebook1Change(PageNetwork);
    t.TablDan.SetCells(10, 2, "");
    test::SetRow(t.TablDan, 3, {{10, "2"}});
    w.TabbedNotebook1Change(PageConsumers);
    EXPECT_EQ("6", t.TablPotr.Cells(0, 2));
    EXPECT_EQ("", t.TablPotr.Cells(3, 2));
    w.TabbedNotebook1Change(PageNetwork);
    t.TablDan.SetCells(10, 2, "5");
    t.TablDan.SetCells(10, 3, "");

    // A page a table routine chose is taken over: leaving it later counts.
    t.GotoBranchRow(0, 6);
    w.TabbedNotebook1Change(PageFans);
    EXPECT_EQ(PageFans, w.ActivePage());
    EXPECT_EQ(PageFans, t.ActivePage);
    test::SetRow(t.TablDan, 3, {{10, "1"}});
    t.GotoBranchRow(0, 6);
    w.TabbedNotebook1Change(PageNodes);
    EXPECT_EQ(4, t.TablPotr.RowCount());
}

TEST_F(DataWindowTest, FixedColumnToggles) {
    Create();
    auto& button = w.ToolButtons()[2];
    EXPECT_EQ(Ru("Фиксирование левой колонки"), button.Hint);
    button.OnClick();
    EXPECT_EQ(1, t.TablDan.FixedCols());
    EXPECT_EQ(1, t.TablDan.LeftCol());
    button.OnClick();
    EXPECT_EQ(0, t.TablDan.FixedCols());
    EXPECT_EQ(0, t.TablDan.LeftCol());
}

TEST_F(DataWindowTest, OutsidePrograms) {
    Create();
    std::vector<std::string> started, opened;
    bool startable = false;
    w.StartProgram = [&](const std::string& program, const std::vector<std::string>&) {
        started.push_back(program);
        return startable && started.size() == 2;
    };
    w.OpenDocument = [&](const std::string& document) {
        opened.push_back(document);
        return true;
    };

    messages.Expect(mrOk, "Калькулятор не найден");
    w.Serv_CalcClick();
    EXPECT_EQ(6u, started.size());
    startable = true;
    started.clear();
    w.FindItem("Serv_Calc")->OnClick();
    EXPECT_EQ(2u, started.size());

    messages.Expect(mrOk, "Проверьте наличие WinWord или файла Vent.doc в рабочем каталоге");
    w.Serv_WordClick();
    messages.Expect(mrOk, "Проверьте наличие Excel или файла Vent.xls в рабочем каталоге");
    w.Serv_ExcelClick();
    EXPECT_TRUE(opened.empty());
    Write("VENT.DOC", "doc");
    Write("Vent.xls", "xls");
    w.ToolButtons()[5].OnClick();
    w.ToolButtons()[6].OnClick();
    EXPECT_EQ((std::vector<std::string>{File("VENT.DOC"), File("Vent.xls")}), opened);
    w.OpenDocument = [&](const std::string&) { return false; };
    messages.Expect(mrOk, "Проверьте наличие Excel или файла Vent.xls в рабочем каталоге");
    w.Serv_ExcelClick();

    // Without the guide in the program folder the user learns where it belongs.
    messages.Expect(mrOk, "Не найден файл справки " + File("help/Arvalen.html"));
    w.Hlp_HelpClick();
    messages.Expect(mrOk, "Функция \"О программе\" пока недоступна");
    w.Hlp_AboutClick();
    int about = 0;
    w.ShowAboutBox = [&] { ++about; };
    w.Hlp_AboutClick();
    EXPECT_EQ(1, about);
}

TEST_F(DataWindowTest, SettingsAndReportWindowsAndNotYetBuiltCommands) {
    Create();
    w.NastrClick();
    EXPECT_EQ(1, view.settings);
    w.SetView(nullptr);
    w.FindMenu("Nastr")->OnClick();
    EXPECT_TRUE(nasDlg.Visible);
    EXPECT_TRUE(nasDlg.Enabled);

    messages.Expect(mrOk, "Функция \"Отчет\" пока недоступна");
    w.FindMenu("Otch")->OnClick();
    // The import asks for its file first; cancelled, nothing happens.
    dialogs.Answer(std::nullopt);
    w.FindItem("Serv_Imp")->OnClick();
    // Without the chart window the chart is not available.
    messages.Expect(mrOk, "Функция \"График работы вентилятора\" пока недоступна");
    w.ToolButtons()[4].OnClick();
    EXPECT_FALSE(w.FindItem("Serv_Exp")->OnClick);
}

// Each run of the calculation menus tells the drawing once, when it ends,
// that the tables hold new results (the optimal distribution's save inside
// it does not count); other commands do not.
TEST_F(DataWindowTest, RunsTellTheDrawingOnceTheyEnd) {
    Create();
    messages.AllowAny();
    int told = drawing.resultsWritten;
    for (const char* run : {"Rasc_ER", "Rasc_OR", "Rasc_IR", "Rasc_Konc", "Rasc_TD", "Rasc_ET",
                            "Rasc_Sopr", "Rasc_Ust", "Rasc_Pog", "Rasc_VrPog"}) {
        w.FindItem(run)->OnClick();
        EXPECT_EQ(++told, drawing.resultsWritten) << run;
    }
    w.FindItem("Serv_Sort")->OnClick();
    w.TabbedNotebook1Change(PageFans);
    EXPECT_EQ(told, drawing.resultsWritten);
}
