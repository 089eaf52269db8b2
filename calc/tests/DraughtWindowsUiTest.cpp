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

} // namespace
