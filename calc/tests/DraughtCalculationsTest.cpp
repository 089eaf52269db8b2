#include "calc/engine/DraughtCalculations.h"
#include "calc/engine/ThermalDepression.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/window/CalcDialogs.h"
#include "calc/window/DraughtWindows.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"

#include "DataWindowFixture.h"
#include "ProgramFolder.h"
#include "calc/testing/SampleMine.h"

#include <gtest/gtest.h>

using namespace arv;
using arv::test::RowOf;
using arv::test::TScriptedMessages;

namespace {

// A two-shaft mine in winter:
//
//   surface 1 (z 250)                    surface 4 (z 200)
//        | 1 ЕТ downcast                       ^ 3 ЕТ upcast
//        v                                     |
//       (2) z -100 ----- 2: R 0.1 ----------> (3) z -100
//
// Outside air -10 °C at 750 mm Hg: rho_n = 0.455*750/263 = 1.2975285;
// mine air 15 °C at 760 mm Hg:     rho_m = 0.455*760/288 = 1.2006944.
// Zmax 250, Zmin 200. Shaft 1: H = 0,  he = 50*rho_m = 60.03472;
//                     shaft 3: H = 50, he = 50*rho_n = 64.87643; hmin = 60.0347222.
// Shaft 1 starts at a source: 60.03472 - 60.0347222 = -0.0000022 -> "0,00".
// Shaft 3 ends at a sink:     64.87643 - 60.0347222 = 4.84171, negated -> "-4,84".
struct TwoShaftMine : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    test::TProgramFolder folder;
    int row1 = 0, row3 = 0;

    void SetUp() override {
        test::TNetworkBuilder b(t);
        row1 = b.Branch(1, 1, 2, 0, "ЕТ");
        b.Branch(2, 2, 3, 0.1);
        row3 = b.Branch(3, 3, 4, 0, "ЕТ");
        b.BranchCell(row1, 15, "Ствол 1");
        b.BranchCell(row3, 15, "Ствол 2");
        b.Node(1, 250);
        b.Node(2, -100);
        b.Node(3, -100);
        b.Node(4, 200);
        b.Surface({1, 4});
        t.NameSh = Ru("Шахта Северная");
        t.NameVar = Ru("Зима");
        t.Tnar = "-10";
        t.Tsh = "15";
        t.Pnar = "750";
        t.Psh = "760";
    }
};

TEST_F(TwoShaftMine, NaturalDraughtFromElevationsTemperaturesAndPressures) {
    t.TablDan.Modified = false;
    Rasc_ETClick(t, c);
    EXPECT_EQ(0u, messages.Shown().size());
    // Written into the table: the data set asks to be saved.
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_EQ("0,00", t.TablDan.Cells(18, row1)); // never "-0,00"
    EXPECT_EQ("-4,84", t.TablDan.Cells(18, row3));
    EXPECT_EQ("", t.TablDan.Cells(18, row3 - 1));

    std::string report;
    ASSERT_TRUE(ReadFileBytes(ProgramDir() + "rvetjaga.txt", report));
    const std::string expected =
        Ru("Шахта Северная\r\n"
           "Зима\r\n"
           "Расчет естественной тяги\r\n"
           "Температура наружного воздуха -10\r\n"
           "Температура воздуха в шахте 15\r\n"
           "Барометрическое давление на поверхности/в шахте, мм.рт.ст. 750/760\r\n"
           "                                                      Таблица\r\n"
           "Номер ветви; Отметка поверхности, м; Естественная тяга, мм.вд.ст.;  Наименование\r\n"
           "1;250;0,00;Ствол 1\r\n"
           "3;200;-4,84;Ствол 2\r\n");
    EXPECT_EQ(Cp1251ToUtf8(expected), Cp1251ToUtf8(report));
}

TEST_F(TwoShaftMine, ABranchBetweenTwoSurfaceNodesTakesItsEnd) {
    t.UzPov = "1;2;4;";
    Rasc_ETClick(t, c);
    std::string report;
    ASSERT_TRUE(ReadFileBytes(ProgramDir() + "rvetjaga.txt", report));
    EXPECT_NE(std::string::npos, report.find("\r\n1;-100;")) << Cp1251ToUtf8(report);
}

TEST_F(TwoShaftMine, EachFaultStopsWithItsMessage) {
    // No surface end.
    t.UzPov = "1;";
    t.TablDan.Modified = false;
    messages.AllowAny(); // the preparation asks about the hanging node 4 first
    Rasc_ETClick(t, c);
    EXPECT_FALSE(t.TablDan.Modified); // stopped before any cell was written
    ASSERT_FALSE(messages.ShownUtf8().empty());
    EXPECT_EQ("Ветвь с типом \"ЕТ\" должна иметь узел поверхности", messages.ShownUtf8().back());
    EXPECT_FALSE(FileExists(ProgramDir() + "rvetjaga.txt"));
    EXPECT_EQ("", t.TablDan.Cells(18, row1));

    // A surface node without its elevation; the node row is shown.
    t.UzPov = "1;4;";
    t.TablDavl.SetCells(4, RowOf(t.TablDavl, 4), "0");
    messages.Clear();
    Rasc_ETClick(t, c);
    ASSERT_FALSE(messages.ShownUtf8().empty());
    EXPECT_EQ("Не указана отметка поверхности для узла 4", messages.ShownUtf8().back());
    EXPECT_EQ(4, CellToIntDef0(t.TablDavl.Cells(0, t.TablDavl.Row())));
}

TEST_F(TwoShaftMine, ABranchWithoutAWayToTheSurfaceIsNamed) {
    // Air goes on from the top of shaft 3 to surface 5: node 4 is no sink
    // and node 3 no source, so the draught of 3 has no exit.
    const int row = t.TablDan.RowCount();
    t.TablDan.SetRowCount(row + 1);
    for (auto [col, text] : {std::pair{0, "4"}, {1, "4"}, {2, "5"}, {4, "0,1"}})
        t.TablDan.SetCells(col, row, text);
    t.UzPov = "1;4;5;";
    messages.AllowAny();
    Rasc_ETClick(t, c);
    ASSERT_FALSE(messages.ShownUtf8().empty());
    EXPECT_EQ("Ветвь с естественной тягой должна иметь выход на пверхность 3",
              messages.ShownUtf8().back());
    EXPECT_EQ(TMsgButtons::Cancel, messages.Shown().back().buttons);
    EXPECT_EQ(row3, t.TablDan.Row());
    EXPECT_FALSE(FileExists(ProgramDir() + "rvetjaga.txt"));
}

// Q0 = 10 m3/s, S = 10 m2, L = 500 m, 30 degrees:
// k = 0.003*(5*10/10 + 4)/sqrt(10) = 0.0085381.
// t = 10: x = (1 + 4)*10/15 = 3.3333; e1 = exp(-10kx) = 0.75233,
//         e2 = exp(-k(500 - x)) = 0.014392; a = 1.81731; c = 1.011763;
//         h = 1.2*0.5*(3.3333/1.3 + ln(a/c)/k) = 0.6*(2.5641 + 68.594) = 42.70.
// t = 50: x = 16.667 -> 93.04;  t = 150: x = 50 -> 120.08.
TEST(ThermalDepression, AtThreeTimesAndFlat) {
    EXPECT_NEAR(42.6967, ThermalDepression(10, 10, 500, 30, 10), 1e-3);
    EXPECT_NEAR(93.0388, ThermalDepression(10, 10, 500, 30, 50), 1e-3);
    EXPECT_NEAR(120.0787, ThermalDepression(10, 10, 500, 30, 150), 1e-3);
    EXPECT_NEAR(-42.6967, ThermalDepression(10, 10, 500, -30, 10), 1e-3);
    EXPECT_EQ(0.0, ThermalDepression(10, 10, 500, 0, 70));
}

struct DraughtWindows : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    int row = 0;
    void SetUp() override {
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        row = b.Branch(7, 2, 3, 0.2);
        b.BranchCell(row, 15, "Штрек 7");
        b.BranchCell(row, 5, "500");
        b.BranchCell(row, 6, "10");
        b.BranchCell(row, 11, "600");
        b.Node(2, -100);
        b.Node(3, -50);
        c.CalcOptions.FlowUnit = 60;
        c.BranchLength[7] = 500;
        c.NodeElevation[2] = -100;
        c.NodeElevation[3] = -50;
        t.TablDan.SetCurrent(0, row);
    }
};

TEST_F(DraughtWindows, ThermalDepressionTableAndItsChoice) {
    TThermalDepressionModel m(t, c);
    EXPECT_EQ(Ru("Время"), m.TablTD.Cells(0, 0));
    EXPECT_EQ("150", m.TablTD.Cells(0, 15));
    m.FormShow();
    // sin a = 50/500 -> 5.74 degrees, shown rounded.
    EXPECT_NEAR(5.739, c.BranchSlope[7], 1e-3);
    EXPECT_EQ("6", m.Edit5);
    EXPECT_EQ("600", m.Edit6);
    m.Edit5 = "30";
    ASSERT_TRUE(m.BitBtnRasClick()); // 600 m3/min is 10 m3/s
    EXPECT_EQ(" 42,70", m.TablTD.Cells(1, 1));
    EXPECT_EQ(" 93,04", m.TablTD.Cells(1, 5));
    EXPECT_EQ("120,08", m.TablTD.Cells(1, 15));
    m.TablTD.SetCurrent(1, 5);
    t.TablDan.Modified = false;
    m.BitBtnVybClick();
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_EQ(" 93,04", t.TablDan.Cells(18, row));
    EXPECT_EQ("30", t.TablDan.Cells(22, row)); // was empty
    EXPECT_EQ(Ru("Штрек 7"), t.TablDan.Cells(15, row));

    m.Edit5 = "0";
    ASSERT_TRUE(m.BitBtnRasClick());
    for (int i = 1; i <= 15; ++i) EXPECT_EQ("  0,00", m.TablTD.Cells(1, i));

    for (auto bad : {std::pair{&m.Edit6, "0"}, {&m.Edit4, "abc"}, {&m.Edit3, "-5"}}) {
        std::string saved = *bad.first;
        *bad.first = bad.second;
        messages.Expect(mrCancel, "Ошибка в данных");
        EXPECT_FALSE(m.BitBtnRasClick());
        *bad.first = saved;
    }
}

// The window lives on between openings: what it computed for one branch is
// not offered for the next, and "Выбор" takes only what was computed.
TEST_F(DraughtWindows, ThermalWindowOffersOnlyWhatWasComputedForItsBranch) {
    const int other = FirstDataRow; // branch 1, 1 -> 2
    TThermalDepressionModel m(t, c);
    m.FormShow();
    m.Edit5 = "30";
    ASSERT_TRUE(m.BitBtnRasClick());
    m.TablTD.SetCurrent(1, 5);
    ASSERT_TRUE(m.CanChoose());

    t.TablDan.SetCurrent(0, other);
    t.TablDan.SetCells(18, other, "2,5");
    t.TablDan.Modified = false;
    m.FormShow();
    EXPECT_EQ("1", m.Edit1);
    for (int i = 1; i <= ThermalDepressionRows; ++i) EXPECT_EQ("", m.TablTD.Cells(1, i)) << i;
    EXPECT_EQ("50", m.TablTD.Cells(0, 5));
    EXPECT_FALSE(m.CanChoose());
    m.BitBtnVybClick();
    EXPECT_EQ("2,5", t.TablDan.Cells(18, other));
    EXPECT_EQ("", t.TablDan.Cells(22, other));
    EXPECT_FALSE(t.TablDan.Modified);

    // A calculation refused for bad data leaves nothing to choose either.
    m.Edit3 = "500";
    m.Edit4 = "10";
    m.Edit6 = "600";
    m.Edit5 = "30";
    ASSERT_TRUE(m.BitBtnRasClick());
    m.Edit4 = "0";
    messages.Expect(mrCancel, "Ошибка в данных");
    EXPECT_FALSE(m.BitBtnRasClick());
    EXPECT_EQ("", m.TablTD.Cells(1, 5));
    m.BitBtnVybClick();
    EXPECT_EQ("2,5", t.TablDan.Cells(18, other));
    EXPECT_FALSE(t.TablDan.Modified);

    m.Edit4 = "10";
    ASSERT_TRUE(m.BitBtnRasClick());
    m.BitBtnVybClick();
    EXPECT_EQ(" 93,04", t.TablDan.Cells(18, other));
    EXPECT_EQ("30", t.TablDan.Cells(22, other));
    EXPECT_TRUE(t.TablDan.Modified);
}

// S = 8 m2: window 2 m2 (s/S = 0.25): (8/2 - 0.65)^2/(2.63*8)^2 = 11.2225/442.68 = 0.02535;
// window 4 m2, exactly half, the same form: 1.8225/442.68 = 0.00412;
// window 6 m2: (8/6 - 1)^2/(2.38*8)^2 = 0.11111/362.52 = 0.00031.
TEST_F(DraughtWindows, RegulatorWindowResistanceAndItsAcceptance) {
    t.TablDan.SetCells(6, row, "8");
    TRegulatorWindowModel m(t, c);
    m.FormShow();
    EXPECT_EQ("7", m.Edit1);
    EXPECT_EQ("8", m.Edit4);
    for (auto [window, text] : {std::pair{"2", " 0,02535"}, {"4", " 0,00412"}, {"6", " 0,00031"}}) {
        m.Edit3 = window;
        ASSERT_TRUE(m.BitBtnRasClick());
        EXPECT_EQ(text, m.Edit5);
    }
    m.Edit3 = "8";
    messages.Expect(mrOk, "Площадь окна должна быть меньше площади выработки");
    EXPECT_FALSE(m.BitBtnRasClick());
    m.Edit3 = "0";
    messages.Expect(mrCancel, "Ошибка в данных");
    EXPECT_FALSE(m.BitBtnRasClick());

    // Before a calculation there is nothing to take: the given regulator
    // resistance stays.
    t.TablDan.SetCells(8, row, "0,7");
    t.TablDan.Modified = false;
    m.FormShow();
    EXPECT_FALSE(m.CanAccept());
    m.BitBtnVybClick();
    EXPECT_EQ("0,7", t.TablDan.Cells(8, row));
    EXPECT_FALSE(t.TablDan.Modified);

    m.Edit3 = "2";
    ASSERT_TRUE(m.BitBtnRasClick());
    EXPECT_TRUE(m.CanAccept());
    c.CalcOptions[2] = 'U'; // a device failure analysis only reads the result
    m.BitBtnVybClick();
    EXPECT_EQ("0,7", t.TablDan.Cells(8, row));
    EXPECT_FALSE(t.TablDan.Modified);
    c.CalcOptions[2] = 'E';
    m.BitBtnVybClick();
    EXPECT_EQ(" 0,02535", t.TablDan.Cells(8, row));
    EXPECT_TRUE(t.TablDan.Modified);
    double v = 0;
    EXPECT_TRUE(TryCellToFloat(t.TablDan.Cells(8, row), v));
}

// Survey of three branches (P1, P2, Q -> |P2 - P1|/Q^2):
//   1: 10, 30, 10  -> 20/100 = 0.20
//   2: 50, 5, -3   -> 45/9   = 5.00
//   3: 7, 9, 0     -> 0.00
TEST(BranchResistances, FromAPressureSurvey) {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    t.TablID.SetColCount(7);
    t.TablID.SetRowCount(7);
    const char* rows[][6] = {{"1", "1", "2", "10", "30", "10"},
                             {"2", "2", "3", "50", "5", "-3"},
                             {"", "", "", "1", "1", "1"}, // no branch: skipped
                             {"3", "3", "1", "7", "9", "0"}};
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 6; ++col) t.TablID.SetCells(col, 2 + r, rows[r][col]);
    t.TablID.SetVisible(false);
    messages.Expect(mrCancel, "Расчет сопротивлений осуществляется только для начальных данных");
    Rasc_SoprClick(t, c);
    t.TablID.SetVisible(true);
    c.CalcOptions[5] = 'H';
    Rasc_SoprClick(t, c);
    EXPECT_EQ("   0,20", t.TablID.Cells(6, 2));
    EXPECT_EQ("   5,00", t.TablID.Cells(6, 3));
    EXPECT_EQ("", t.TablID.Cells(6, 4));
    EXPECT_EQ("   0,00", t.TablID.Cells(6, 5));

    // A cell that is no number stops the calculation there, the cell selected.
    t.TablID.SetCells(4, 3, "5,5,5");
    t.TablID.SetCells(6, 5, "");
    messages.Expect(mrCancel, "Ошибка в данных");
    CalcBranchResistances(t);
    EXPECT_EQ(4, t.TablID.Col());
    EXPECT_EQ(3, t.TablID.Row());
    EXPECT_EQ("", t.TablID.Cells(6, 5));
}

struct TRecordingRegulatorWindow : IRegulatorWindowDialog {
    std::string caption;
    int shown = 0;
    void SetAcceptCaption(const std::string& c) override { caption = c; }
    void ShowModal() override { ++shown; }
    std::string ResistanceText() const override { return {}; }
};

struct TRecordingThermalWindow : IThermalDepressionDialog {
    int shown = 0;
    void ShowModal() override { ++shown; }
};

struct DraughtMenus : test::DataWindowTest {
    TRecordingRegulatorWindow regulatorWindow;
    TRecordingThermalWindow thermalWindow;
    DraughtMenus() {
        InstallRegulatorWindowDialog(&regulatorWindow);
        InstallThermalDepressionDialog(&thermalWindow);
    }
    ~DraughtMenus() override {
        InstallRegulatorWindowDialog(nullptr);
        InstallThermalDepressionDialog(nullptr);
    }
};

TEST_F(DraughtMenus, CommandsRunFromTheCalculationMenu) {
    Create();
    test::BuildSampleMine(t);
    w.CurrentDataFile() = File("mine.grh");
    calc.CalcOptions[1] = 'S';

    // The optimal distribution saves the data first.
    w.FindItem("Rasc_OR")->OnClick();
    EXPECT_EQ(1u, drawing.saved.size());
    ASSERT_FALSE(t.MemoPotr.Lines.empty());
    EXPECT_EQ(Ru("ОПТИМАЛЬНОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ"), t.MemoPotr.Lines[0]);
    w.FindItem("Rasc_IR")->OnClick();
    EXPECT_EQ('I', calc.CalcOptions[2]);
    EXPECT_EQ(2u, drawing.saved.size());

    // The thermal depression computes the flows first when the tables changed.
    t.TablDan.Modified = true;
    t.TablDan.SetCells(11, FirstDataRow, "");
    w.FindItem("Rasc_TD")->OnClick();
    EXPECT_EQ('E', calc.CalcOptions[2]);
    EXPECT_NE("", t.TablDan.Cells(11, FirstDataRow));
    EXPECT_EQ(1, thermalWindow.shown);

    w.FindItem("Rasc_Okno")->OnClick();
    EXPECT_EQ(Ru("Принять как сопр. вент. устр."), regulatorWindow.caption);
    EXPECT_EQ(1, regulatorWindow.shown);

    messages.Expect(mrCancel, "Расчет сопротивлений осуществляется только для начальных данных");
    w.FindItem("Rasc_Sopr")->OnClick();

    w.FindItem("Rasc_ET")->OnClick();
    EXPECT_TRUE(FileExists(ProgramDir() + "rvetjaga.txt"));
}

} // namespace
