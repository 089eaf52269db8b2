// The task and service commands in the real main window, offscreen.
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct FormTasksTest : test::SampleProgramTest {
    FormTasksTest() {
        p = StartProgram({File("SampleMine.grh")});
        QApplication::processEvents();
    }
    ~FormTasksTest() override { messages.AllowAny(); }
    QLabel* PanelSost() { return p->IDrawWinForm->findChild<QLabel*>("PanelSost"); }
};

} // namespace

TEST_F(FormTasksTest, MenusAndButtonsRunTheCommands) {
    for (const char* name : {"Zad_ER",          "Zad_OtkazVU",
                             "Zad_Pojar",       "MQData",
                             "MArrowQ",         "MDAVL",
                             "MPrData",         "MOrientBr",
                             "OpVetvi",         "FireVetvi",
                             "NormVozd",        "MRotateBr",
                             "MResteNBr",       "MResetNENd",
                             "MResetBranch",    "MResetBranchAll",
                             "NBrnSearch",      "NNodeSearch",
                             "NPlaSearch",      "ChangeScale",
                             "MContHelp",       "BPla",
                             "ToolButtonImage", "ToolButtonClBrd",
                             "GenButton",       "ToolButtonNavigator",
                             "TBAddBase",       "TBZamSt",
                             "ExtCalc"})
        EXPECT_NE(nullptr, Action(name)) << name;
    EXPECT_FALSE(Action("MOrientBr")->isEnabled());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_V), Action("NBrnSearch")->shortcut());
    EXPECT_EQ(Ru("Найти позицию ПЛА"), FromQString(Action("NPlaSearch")->text()));

    TIDrawWin& w = *p->DrawWin;
    Action("Zad_ER")->trigger();
    EXPECT_EQ(Ru("Нормальное воздухораспределение"), FromQString(PanelSost()->text()));
    EXPECT_TRUE(Action("MQData")->isChecked());
    // The first flow switch after a task keeps them on, the next one hides them.
    Action("MQData")->trigger();
    EXPECT_TRUE(Action("MQData")->isChecked());
    Action("MQData")->trigger();
    EXPECT_FALSE(Action("MQData")->isChecked());
    EXPECT_FALSE(w.MQData);

    // Red only while the panel shows the emergency task's text.
    w.PanelSost = w.TaskPanelText = Ru("Пожар в ветви 5 Лава 1 восточная");
    w.PanelSostColour = 255;
    p->IDrawWinForm->RedrawPlan();
    EXPECT_TRUE(PanelSost()->styleSheet().contains("rgb(255,0,0)"));
    Action("MsxVent")->trigger();
    EXPECT_TRUE(PanelSost()->styleSheet().contains("rgb(0,0,0)"));

    // The plan picture goes to the clipboard.
    QApplication::clipboard()->clear();
    Action("ToolButtonClBrd")->trigger();
    EXPECT_EQ(p->IDrawWinForm->PlanImage().size(), QApplication::clipboard()->image().size());
    // The data window button shows the data window, a minimised one too.
    p->Form1->hide();
    Action("GenButton")->trigger();
    EXPECT_TRUE(p->Form1->isVisible());
    p->Form1->showMinimized();
    QApplication::processEvents();
    Action("GenButton")->trigger();
    EXPECT_TRUE(p->Form1->isVisible());
    EXPECT_FALSE(p->Form1->isMinimized());
}

// The tool button runs the task of the menu: the natural distribution, with
// the task's panel text and the flows shown.
TEST_F(FormTasksTest, TheNaturalDistributionButtonRunsTheTask) {
    TNetworkTables& t = DataWindowController().Tables();
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) t.TablDan.SetCells(11, r, "");
    messages.AllowAny();
    Action("ExtCalc")->trigger();
    EXPECT_EQ(Ru("Нормальное воздухораспределение"), FromQString(PanelSost()->text()));
    EXPECT_TRUE(Action("MQData")->isChecked());
    EXPECT_TRUE(Action("MArrowQ")->isChecked());
    EXPECT_EQ('E', DataWindowController().CalcContext().CalcOptions[2]);
    EXPECT_FALSE(Trim(t.TablDan.Cells(11, FirstDataRow)).empty());
}

TEST_F(FormTasksTest, PlanIsInFrontWhenATaskEnds) {
    // The data window in front, as the calculation's own dialogs leave it.
    for (const char* task : {"Zad_ER", "Zad_Pojar"}) {
        p->Form1->show();
        p->Form1->activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(p->Form1.get(), QApplication::activeWindow()) << task;
        messages.AllowAny();
        Action(task)->trigger();
        QApplication::processEvents();
        EXPECT_EQ(p->IDrawWinForm.get(), QApplication::activeWindow()) << task;
    }
}

TEST_F(FormTasksTest, PlaSchemeColoursTheBranchesByTheirPositions) {
    TIDrawWin& w = *p->DrawWin;
    TGCollFigure& doc = w.Doc();
    // Branch 3 on PLA position 2, drawn red; branch 2 on none.
    TGBranch* onPosition = nullptr;
    TGBranch* without = nullptr;
    for (int32_t i = 0; i < doc.Count(); ++i)
        if (TGBranch* b = doc.BranchAt(i)) {
            if (b->number == 3) onPosition = b;
            if (b->number == 2) without = b;
        }
    ASSERT_TRUE(onPosition && without);
    onPosition->Caption(3).a = 2;
    onPosition->Caption(3).colour = 0x0000FF;
    ASSERT_LT(without->Caption(3).a, 1);
    w.LinkBranchesToCalcData();
    w.ViewAllClick();
    // A quarter of the way along a branch: on its body, away from its labels.
    auto pixel = [&](const TGBranch& b) {
        const TPoint from = doc.WorldToScreen(b.Begin()), to = doc.WorldToScreen(b.End());
        const QImage& plan = p->IDrawWinForm->PlanImage();
        return QColor(plan.pixel((3 * from.x + to.x) / 4, (3 * from.y + to.y) / 4));
    };
    const QColor background = ColorRefToQColor(w.Settings.BackColor);

    Action("MsxPLA")->trigger();
    EXPECT_EQ(QColor(255, 0, 0), pixel(*onPosition));
    EXPECT_EQ(background, pixel(*without));
    // Another scheme ends the PLA view.
    Action("MsxRasch")->trigger();
    EXPECT_NE(QColor(255, 0, 0), pixel(*onPosition));
    EXPECT_FALSE(WindowState().MsxPLA);

    // The menu's check and the plan's colouring are one: every object shown
    // ends both.
    Action("MsxPLA")->trigger();
    ASSERT_EQ(QColor(255, 0, 0), pixel(*onPosition));
    Action("MsxAll")->trigger();
    EXPECT_FALSE(Action("MsxPLA")->isChecked());
    EXPECT_NE(QColor(255, 0, 0), pixel(*onPosition));
    EXPECT_NE(background, pixel(*without));

    // "Позиции ПЛА" unticked in the PLA scheme's options ends both too.
    Action("MsxPLA")->trigger();
    ASSERT_TRUE(Action("MsxPLA")->isChecked());
    QTimer::singleShot(0, [] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_TRUE(options);
        auto* pla = options->findChild<QCheckBox*>("CheckBoxPla");
        ASSERT_TRUE(pla);
        EXPECT_TRUE(pla->isChecked());
        pla->setChecked(false);
        options->findChild<QPushButton*>("Button1")->click();
    });
    Action("Moptions")->trigger();
    EXPECT_FALSE(Action("MsxPLA")->isChecked());
    EXPECT_NE(QColor(255, 0, 0), pixel(*onPosition));
    // And ticked again in another scheme, it checks the item with the view.
    Action("MsxVent")->trigger();
    QTimer::singleShot(0, [] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_TRUE(options);
        options->findChild<QCheckBox*>("CheckBoxPla")->setChecked(true);
        options->findChild<QPushButton*>("Button1")->click();
    });
    Action("Moptions")->trigger();
    EXPECT_TRUE(Action("MsxPLA")->isChecked());
    EXPECT_EQ(QColor(255, 0, 0), pixel(*onPosition));
    w.DrawingModified = false;
}
