// The data window's small windows in the real program, offscreen, on the
// sample drawing: the settings dialog over a data set opened after start-up,
// the commands that write into the branch table, and the libraries' unsaved
// edits at the program's end.
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/model/DecimalText.h"
#include "calc/ui/Form1Window.h"
#include "calc/ui/LibraryWindows.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/LibraryWindows.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/IniFile.h"
#include "platform/qt/GridView.h"
#include "platform/testing/ScriptedServices.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct CalcWindowsScenarioTest : test::SampleProgramTest {
    CalcWindowsScenarioTest() { p = test::StartOnSample(folder, 1000, 700); }
    ~CalcWindowsScenarioTest() override {
        FanLibrary().Grid.Modified = DeviceLibrary().Grid.Modified = false;
        p.reset();
    }
    TCalcOptions& Options() { return DataWindowController().CalcContext().CalcOptions; }
    QDialog* Settings() { return p->Form1->findChild<QDialog*>("NasDlg"); }
    QRadioButton* Radio(const char* utf8) {
        for (auto* radio : Settings()->findChildren<QRadioButton*>())
            if (radio->text() == QString::fromUtf8(utf8)) return radio;
        return nullptr;
    }
    void Ok() { Settings()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }
    void SwitchUnit(const char* unit) { DataCommand("Nastr"), Radio(unit)->click(), Ok(); }
    // Every cell of the tables that hold flows, and the plan's callouts.
    std::vector<std::string> Texts(bool consumers = true) {
        TNetworkTables& t = Tables();
        std::vector<std::string> texts;
        for (TModGrid* g : {&t.TablDan, &t.TablDanRev, &t.TablVen, &t.TablVenRev, &t.TablPotr})
            for (int r = 0; (consumers || g != &t.TablPotr) && r < g->RowCount(); ++r)
                for (const std::string& text : g->Rows(r)) texts.push_back(text);
        for (int32_t i = 0; i < W().Doc().Count(); ++i)
            if (TGBranch* b = W().Doc().BranchAt(i)) texts.push_back(b->callout.texts[0]);
        return texts;
    }
    // The place of a cell in Texts().
    size_t Cell(const TModGrid& g, int col, int row) {
        TNetworkTables& t = Tables();
        size_t at = 0;
        for (const TModGrid* before : {&t.TablDan, &t.TablDanRev, &t.TablVen, &t.TablVenRev}) {
            if (before == &g) return at + row * g.ColCount() + col;
            at += before->RowCount() * before->ColCount();
        }
        return at;
    }
    // Column 11 of every branch row, as numbers.
    std::vector<double> Flows() {
        std::vector<double> flows;
        const TModGrid& g = Tables().TablDan;
        for (int r = FirstDataRow; r < g.RowCount(); ++r) {
            double v = 0;
            EXPECT_TRUE(TryCellToFloat(g.Cells(11, r), v)) << r;
            flows.push_back(v);
        }
        return flows;
    }
};

// The sample's data set kept in m3/min: the flows it gives are given in
// m3/min. The settings dialog was made at start-up over the sample in m3/s;
// OK after one number changed keeps the opened data set's options.
TEST_F(CalcWindowsScenarioTest, SettingsOkKeepsTheOptionsOfADataSetOpenedSince) {
    ASSERT_EQ(1, Options().FlowUnit);
    DataCommand("Rasc_ER");
    const std::vector<double> perSecond = Flows();
    ASSERT_EQ(14u, perSecond.size());

    // The same mine in m3/min: its unit and the required flows of the two
    // faces, 8 and 6 m3/s.
    TModGrid& dan = Tables().TablDan;
    Options().FlowUnit = 60;
    ASSERT_EQ("8", dan.Cells(10, FirstDataRow + 4));
    ASSERT_EQ("6", dan.Cells(10, FirstDataRow + 5));
    dan.SetCells(10, FirstDataRow + 4, "480");
    dan.SetCells(10, FirstDataRow + 5, "360");
    ASSERT_TRUE(W().SaveDrawing(folder.File("PerMinute.grh")));
    Open("SampleMine.grh");
    ASSERT_EQ(1, Options().FlowUnit);

    Open("PerMinute.grh");
    ASSERT_EQ(60, Options().FlowUnit);
    DataCommand("Rasc_ER");
    const std::vector<double> opened = Flows();
    for (size_t i = 0; i < perSecond.size(); ++i)
        EXPECT_NEAR(60 * perSecond[i], opened[i], 0.6) << "branch " << i + 1;

    DataCommand("Nastr");
    ASSERT_TRUE(Settings()->isVisible());
    EXPECT_TRUE(Radio("м3/мин")->isChecked());
    Settings()->findChild<QLineEdit*>("RVentOst")->setText("60");
    Ok();
    ASSERT_FALSE(Settings()->isVisible());
    EXPECT_DOUBLE_EQ(60, Options().StoppedFanResistance);
    EXPECT_EQ(60, Options().FlowUnit);

    DataCommand("Rasc_ER");
    const std::vector<double> after = Flows();
    for (size_t i = 0; i < opened.size(); ++i)
        EXPECT_DOUBLE_EQ(opened[i], after[i]) << "branch " << i + 1;
    // Лава 1: about 814 m3/min, not the flow of the data read in m3/s.
    EXPECT_NEAR(60 * perSecond[4], after[4], 0.6);
    messages.AllowAny();
}

// On the sample in m3/s, and in m3/min with flows m3/s holds in no few
// decimals (1200,5; 0,24 = 0,004 m3/s; 7), unit switches with runs between or
// not, and the files written in both units, leave every text as it was.
TEST_F(CalcWindowsScenarioTest, AUnitSwitchChangesNoFlow) {
    TNetworkTables& t = Tables();
    for (bool perMinute : {false, true}) {
        SCOPED_TRACE(perMinute);
        const char* own = perMinute ? "м3/мин" : "м3/с";
        const char* other = perMinute ? "м3/с" : "м3/мин";
        if (perMinute) {
            Options().FlowUnit = 60;
            for (auto [row, flow] : {std::pair(4, "1200,5"), {5, "0,24"}, {13, "7"}})
                t.TablDan.SetCells(10, FirstDataRow + row, flow);
        }
        // Switched on "Вентиляторы", with a visit of "Потребители" after each.
        p->Form1->Notebook()->setCurrentIndex(PageFans);
        DataCommand("Rasc_ER");
        // The reverse-mode variant: the normal one as it stands.
        for (int r = 0; r < t.TablDan.RowCount(); ++r) t.TablDanRev.SetRows(r, t.TablDan.Rows(r));
        for (int r = 0; r < t.TablVen.RowCount(); ++r) t.TablVenRev.SetRows(r, t.TablVen.Rows(r));
        const std::vector<std::string> before = Texts();
        // Five trips without a run, then two with one in the other unit.
        for (int trip = 0; trip < 7; ++trip) {
            SwitchUnit(other);
            if (trip >= 5) DataCommand("Rasc_ER");
            SwitchUnit(own);
            p->Form1->Notebook()->setCurrentIndex(PageConsumers);
            p->Form1->Notebook()->setCurrentIndex(PageFans);
            EXPECT_EQ(before, Texts()) << trip;
        }
        // No run's flows to write from at the switch back (the draught
        // calculation prepares the network anew); the consumer table is no
        // part of the files.
        DataCommand("Rasc_ET"), DataCommand("Rasc_ER");
        const std::vector<std::string> stored = Texts(false);
        SwitchUnit(other), DataCommand("Rasc_ET"), SwitchUnit(own);
        EXPECT_EQ(stored, Texts(false));
        QAction* saveReverse = p->Form1->Action("Dan_SaveRev");
        saveReverse->setEnabled(true);
        saveReverse->trigger();
        // Saved in the other unit, the files read back what was shown; the
        // way back keeps every typed flow's text (a computed one now holds
        // what the file says, to its last digit).
        SwitchUnit(other);
        const std::vector<std::string> shown = Texts(false);
        // The switch rewrote the reverse-mode tables since their file was
        // written: leaving them asks, and Да writes their file.
        Trigger("Save1");
        messages.Expect(mrYes, "Сохранить данные?");
        Open("SampleMine.grh");
        EXPECT_EQ(shown, Texts(false));
        SwitchUnit(own);
        for (TModGrid* g : {&t.TablDan, &t.TablDanRev})
            for (int r = FirstDataRow; r < g->RowCount(); ++r)
                EXPECT_EQ(stored[Cell(*g, 10, r)], g->Cells(10, r)) << g->Name() << r;
    }
}

// "Настройка" open while File → Открыть brings another data set shows that
// one's options; OK writes them back as they are.
TEST_F(CalcWindowsScenarioTest, SettingsOpenAcrossOpenShowTheDataSetOpened) {
    Options().FlowUnit = 60, Options()[1] = 'S', Options()[4] = 'M';
    ASSERT_TRUE(W().SaveDrawing(folder.File("PerMinute.grh")));
    Open("SampleMine.grh");
    DataCommand("Nastr");
    Open("PerMinute.grh");
    for (const char* shown : {"м3/мин", "0.001 м3/с", "Модифицированный"})
        EXPECT_TRUE(Radio(shown)->isChecked()) << shown;
    Ok();
    EXPECT_TRUE(Options().FlowUnit == 60 && Options()[1] == 'S' && Options()[4] == 'M');
    EXPECT_FALSE(Tables().TablDan.Modified);
}

// The tables show the font of the settings file at start-up as after a run
// refills them: the grid views alone set their fonts.
TEST_F(CalcWindowsScenarioTest, TablesKeepTheSettingsFontThroughARun) {
    p.reset();
    TIniFile(folder.File("Kestrum.ini")).WriteInteger("GridFont", "Size", 14);
    p = test::StartOnSample(folder, 1000, 700);
    auto* view = p->Form1->findChild<TGridView*>("TablDan");
    ASSERT_TRUE(view);
    const QFont atStart = view->font();
    DataCommand("Rasc_ER");
    EXPECT_EQ(atStart, view->font());
    messages.AllowAny();
}

// "Расчет естественной тяги" writes column 18: the data set is modified and
// a way out asks about it.
TEST_F(CalcWindowsScenarioTest, NaturalDraughtMakesTheDataAskToBeSaved) {
    const int row = FirstDataRow + 12; // branch 13, "ЕТ"
    Tables().TablDan.SetCells(18, row, "");
    DataCommand("Rasc_ET");
    ASSERT_EQ("0,00", Tables().TablDan.Cells(18, row));
    messages.Expect(mrCancel, "Сохранить данные?");
    Trigger("New1");
    EXPECT_EQ("0,00", Tables().TablDan.Cells(18, row));
    EXPECT_EQ(0u, messages.PendingExpectations());
    messages.AllowAny();
}

// A library edited and not saved holds the program's end: "Отмена" keeps the
// program and the library window, "Нет" lets both go.
TEST_F(CalcWindowsScenarioTest, UnsavedLibraryIsAskedAboutAtTheProgramsEnd) {
    DataCommand("Dan_BiblVen");
    auto* fans = p->Form1->findChild<TFBiblVen*>();
    ASSERT_TRUE(fans && fans->isVisible());
    int f7 = VK_F7;
    FanLibrary().Grid.SetCurrent(0, FirstDataRow);
    FanLibrary().Grid.KeyDown(f7, {});
    ASSERT_TRUE(FanLibrary().Grid.Modified);

    messages.Expect(mrCancel, "Сохранить изменения?");
    Trigger("Exit1");
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    EXPECT_TRUE(fans->isVisible());
    ASSERT_FALSE(messages.Shown().empty());
    EXPECT_EQ(Ru("Библиотека вентиляторов"), messages.Shown().back().caption);

    messages.Expect(mrNo, "Сохранить изменения?");
    Trigger("Exit1");
    EXPECT_FALSE(p->IDrawWinForm->isVisible());
    EXPECT_FALSE(fans->isVisible());
    EXPECT_FALSE(FileExists(folder.File("rvVent.bib")));
    EXPECT_EQ(2u, messages.Shown().size());
}

} // namespace
