#include "calc/ui/DraughtWindowsUi.h"

#include "ProgramFolder.h"
#include "calc/testing/NetworkBuilder.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace arv;

namespace {

struct DraughtWindowsUi : ::testing::Test {
    test::TProgramFolder folder;
    TCalcContext c;
    TNetworkTables t{c};
    test::TScriptedMessages messages;
    int row = 0;
    DraughtWindowsUi() {
        test::TNetworkBuilder b(t);
        row = b.Branch(4, 1, 2, 0.1);
        b.BranchCell(row, 6, "8");
        b.BranchCell(row, 15, "Штрек 4");
        t.TablDan.SetCurrent(0, row);
    }
};

TEST_F(DraughtWindowsUi, RegulatorWindowCalculatesAndIsAccepted) {
    TRegulatorWindowModel model(t, c);
    TFR_Okno dlg(model);
    InstallRegulatorWindowDialog(&dlg);
    FR_Okno().SetAcceptCaption(Ru("Принять как нарушенное устройство"));
    EXPECT_EQ(QString::fromUtf8("Принять как нарушенное устройство"), dlg.AcceptButton()->text());

    // The window shows the row, the user types the window area, calculates
    // and accepts.
    QTimer::singleShot(0, &dlg, [&dlg] {
        EXPECT_EQ(QString::fromUtf8("Штрек 4"), dlg.Edit(2)->text());
        dlg.Edit(3)->setText("2");
        dlg.findChild<QPushButton*>("BitBtnRas")->click();
        dlg.findChild<QPushButton*>("BitBtnVyb")->click();
    });
    c.CalcOptions[2] = 'E';
    FR_Okno().ShowModal();
    EXPECT_EQ(" 0,02535", FR_Okno().ResistanceText());
    EXPECT_EQ(" 0,02535", t.TablDan.Cells(8, row));

    // Bad input keeps the window open with the message.
    QTimer::singleShot(0, &dlg, [&dlg] {
        dlg.Edit(3)->setText("x");
        dlg.findChild<QPushButton*>("BitBtnRas")->click();
        EXPECT_TRUE(dlg.isVisible());
        dlg.findChild<QPushButton*>("BitBtnVyx")->click();
    });
    messages.Expect(mrCancel, "Ошибка в данных");
    FR_Okno().ShowModal();
    InstallRegulatorWindowDialog(nullptr);
}

TEST_F(DraughtWindowsUi, ThermalWindowWritesTheChosenTime) {
    t.TablDan.SetCells(5, row, "500");
    t.TablDan.SetCells(6, row, "10");
    t.TablDan.SetCells(11, row, "10");
    t.TablDan.SetCells(22, row, "30");
    TThermalDepressionModel model(t, c);
    {
        TFTeplD dlg(model);
        InstallThermalDepressionDialog(&dlg);
        QTimer::singleShot(0, &dlg, [&dlg, &model] {
            dlg.findChild<QPushButton*>("BitBtnRas")->click();
            model.TablTD.SetCurrent(1, 1);
            if (const char* shot = std::getenv("ARVALEN_SHOT")) dlg.grab().save(shot);
            dlg.findChild<QPushButton*>("BitBtnVyb")->click();
        });
        FTeplD().ShowModal();
        EXPECT_EQ(" 42,70", t.TablDan.Cells(18, row));
    }
    // The window is gone: the plain stand-in answers again.
    FTeplD().ShowModal();
}

// Each opening is about the current branch only; the buttons that write
// into the table take nothing until a calculation gave it.
TEST_F(DraughtWindowsUi, ButtonsTakeOnlyWhatThisOpeningComputed) {
    TRegulatorWindowModel regulator(t, c);
    TFR_Okno okno(regulator);
    InstallRegulatorWindowDialog(&okno);
    t.TablDan.SetCells(8, row, "0,7");
    t.TablDan.Modified = false;
    c.CalcOptions[2] = 'E';
    QTimer::singleShot(0, &okno, [&okno] {
        QPushButton* accept = okno.AcceptButton();
        EXPECT_FALSE(accept->isEnabled());
        accept->click();
        EXPECT_TRUE(okno.isVisible());
        // A resistance typed in is one to take; emptied again, it is not.
        okno.Edit(5)->setText("0,3");
        EXPECT_TRUE(accept->isEnabled());
        okno.Edit(5)->clear();
        EXPECT_FALSE(accept->isEnabled());
        okno.Edit(3)->setText("2");
        okno.findChild<QPushButton*>("BitBtnRas")->click();
        EXPECT_TRUE(accept->isEnabled());
        okno.findChild<QPushButton*>("BitBtnVyx")->click();
    });
    FR_Okno().ShowModal();
    EXPECT_EQ("0,7", t.TablDan.Cells(8, row));
    EXPECT_FALSE(t.TablDan.Modified);
    InstallRegulatorWindowDialog(nullptr);

    // The thermal window: computed and chosen for this branch...
    const int other = t.TablDan.RowCount();
    t.TablDan.SetRowCount(other + 1);
    for (auto [col, text] : {std::pair{0, "5"}, {1, "2"}, {2, "3"}, {4, "0,2"}})
        t.TablDan.SetCells(col, other, text);
    for (auto [col, text] : {std::pair{5, "500"}, {6, "10"}, {11, "10"}, {22, "30"}})
        t.TablDan.SetCells(col, row, text);
    t.TablDan.SetCells(18, other, "1,5");
    t.TablDan.SetCurrent(0, row);
    TThermalDepressionModel thermal(t, c);
    TFTeplD teplD(thermal);
    InstallThermalDepressionDialog(&teplD);
    QTimer::singleShot(0, &teplD, [&teplD, &thermal] {
        EXPECT_FALSE(teplD.ChooseButton()->isEnabled());
        teplD.findChild<QPushButton*>("BitBtnRas")->click();
        EXPECT_TRUE(teplD.ChooseButton()->isEnabled());
        thermal.TablTD.SetCurrent(1, 2);
        teplD.ChooseButton()->click();
    });
    FTeplD().ShowModal();
    const std::string chosen = t.TablDan.Cells(18, row);
    EXPECT_NE("", chosen);
    EXPECT_TRUE(t.TablDan.Modified);

    // ... and opened again for another branch: none of it is there.
    t.TablDan.Modified = false;
    t.TablDan.SetCurrent(0, other);
    QTimer::singleShot(0, &teplD, [&teplD, &thermal] {
        EXPECT_EQ("5", teplD.Edit(1)->text());
        for (int i = 1; i <= ThermalDepressionRows; ++i) EXPECT_EQ("", thermal.TablTD.Cells(1, i));
        EXPECT_FALSE(teplD.ChooseButton()->isEnabled());
        teplD.ChooseButton()->click();
        EXPECT_TRUE(teplD.isVisible());
        teplD.findChild<QPushButton*>("BitBtnVyx")->click();
    });
    FTeplD().ShowModal();
    EXPECT_EQ("1,5", t.TablDan.Cells(18, other));
    EXPECT_EQ(chosen, t.TablDan.Cells(18, row));
    EXPECT_FALSE(t.TablDan.Modified);
    InstallThermalDepressionDialog(nullptr);
}

} // namespace
