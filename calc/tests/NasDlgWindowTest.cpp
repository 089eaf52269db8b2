#include "calc/ui/NasDlgWindow.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/QtTestDesk.h"
#include "platform/testing/ScriptedServices.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct NasDlgWindowTest : ::testing::Test {
    test::TProgramFolder folder;
    TCalcContext calc;
    TNetworkTables t{calc};
    TDataWindowSettings window;
    TNasDlgModel model;

    NasDlgWindowTest() {
        calc.CalcOptions.FlowUnit = 60;
        calc.CalcOptions[5] = 'R';
    }

    static QRadioButton* Radio(QWidget& dlg, const char* utf8) {
        for (auto* b : dlg.findChildren<QRadioButton*>())
            if (b->text() == QString::fromUtf8(utf8)) return b;
        return nullptr;
    }
};

} // namespace

TEST_F(NasDlgWindowTest, ControlsShowTheOptionsAndTheSettings) {
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    EXPECT_EQ(QString::fromUtf8("Настройка"), dlg.windowTitle());
    EXPECT_FALSE(dlg.isVisible());
    auto* pages = dlg.findChild<QTabWidget*>();
    ASSERT_NE(nullptr, pages);
    ASSERT_EQ(4, pages->count());
    EXPECT_EQ(QString::fromUtf8("Расчет"), pages->tabText(0));
    EXPECT_EQ(QString::fromUtf8("Шрифты"), pages->tabText(1));
    EXPECT_EQ(QString::fromUtf8("Таблица"), pages->tabText(2));
    EXPECT_EQ(QString::fromUtf8("Дополнительно"), pages->tabText(3));

    EXPECT_TRUE(Radio(dlg, "м3/мин")->isChecked());
    EXPECT_TRUE(Radio(dlg, "0.1   м3/с")->isChecked());
    EXPECT_TRUE(Radio(dlg, "Стандартный")->isChecked());
    EXPECT_TRUE(Radio(dlg, "Топология+сопр.ветви")->isChecked());
    ASSERT_NE(nullptr, Radio(dlg, "H=A*q2 + C"));
    EXPECT_TRUE(Radio(dlg, "H=A*q2 + C")->isChecked());
    EXPECT_FALSE(Radio(dlg, "H=A*q2 + C")->isEnabledTo(&dlg));

    auto* box0 = dlg.findChild<QCheckBox*>("CheckBox00");
    auto* box21 = dlg.findChild<QCheckBox*>("CheckBox021");
    ASSERT_TRUE(box0 && box21);
    EXPECT_FALSE(box0->isEnabled());
    EXPECT_TRUE(box0->isChecked());
    EXPECT_EQ(QString::fromUtf8("Количество людей"), box21->text());
    EXPECT_EQ("4.0", dlg.findChild<QLineEdit*>("SKol15")->text());
    EXPECT_EQ("90.0", dlg.findChild<QLineEdit*>("TPog")->text());
    EXPECT_DOUBLE_EQ(90.0, calc.CalcOptions.FireElapsedTime);
}

TEST_F(NasDlgWindowTest, OkWritesTheControlsAndCancelForgetsThem) {
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    dlg.ShowSettings();
    EXPECT_TRUE(dlg.isVisible());
    Radio(dlg, "м3/с")->setChecked(true);
    Radio(dlg, "0.001 м3/с")->setChecked(true);
    Radio(dlg, "Модифицированный")->setChecked(true);
    Radio(dlg, "Полная")->setChecked(true);
    dlg.findChild<QCheckBox*>("CheckBox03")->setChecked(true);
    dlg.findChild<QLineEdit*>("RVentOst")->setText("12,5");
    dlg.OKBtnClick();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('M', calc.CalcOptions[4]);
    EXPECT_EQ('O', calc.CalcOptions[5]);
    EXPECT_DOUBLE_EQ(12.5, calc.CalcOptions.StoppedFanResistance);
    EXPECT_DOUBLE_EQ(2.5, calc.CalcOptions.PageScale);
    // The ten initial columns and the branch type's.
    EXPECT_EQ(11, calc.CalcOptions.ReportColumnCount);

    dlg.ShowSettings();
    Radio(dlg, "м3/мин")->setChecked(true);
    dlg.findChild<QCheckBox*>("CheckBox05")->setChecked(false);
    dlg.CancelBtnClick();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_TRUE(Radio(dlg, "м3/с")->isChecked());
    EXPECT_TRUE(dlg.findChild<QCheckBox*>("CheckBox05")->isChecked());
    EXPECT_TRUE(model.CheckBox[5]);
}

// The dialog lives from start-up on; a data set opened since brings its own
// options, and OK after one changed number must keep them.
TEST_F(NasDlgWindowTest, EachOpeningShowsTheOptionsInForce) {
    calc.CalcOptions.FlowUnit = 1;
    calc.CalcOptions[5] = 'O';
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    EXPECT_TRUE(Radio(dlg, "м3/с")->isChecked());

    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[1] = 'S';
    calc.CalcOptions[4] = 'M';
    calc.CalcOptions[5] = 'H';
    calc.CalcOptions.FireMinSlope = 7.5;
    dlg.ShowSettings();
    EXPECT_TRUE(Radio(dlg, "м3/мин")->isChecked());
    EXPECT_TRUE(Radio(dlg, "0.001 м3/с")->isChecked());
    EXPECT_TRUE(Radio(dlg, "Модифицированный")->isChecked());
    EXPECT_TRUE(Radio(dlg, "Топология+давление")->isChecked());
    EXPECT_EQ("7,5", dlg.findChild<QLineEdit*>("MinUgol")->text());
    EXPECT_EQ("50.0", dlg.findChild<QLineEdit*>("RVentOst")->text());

    // A second "Настройка" while open keeps what is being changed.
    Radio(dlg, "Стандартный")->setChecked(true);
    dlg.ShowSettings();
    EXPECT_TRUE(Radio(dlg, "Стандартный")->isChecked());
    Radio(dlg, "Модифицированный")->setChecked(true);

    dlg.findChild<QLineEdit*>("RVentOst")->setText("40");
    dlg.OKBtnClick();
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('M', calc.CalcOptions[4]);
    EXPECT_EQ('H', calc.CalcOptions[5]);
    EXPECT_DOUBLE_EQ(7.5, calc.CalcOptions.FireMinSlope);
    EXPECT_DOUBLE_EQ(40, calc.CalcOptions.StoppedFanResistance);
}

// Esc and the close button are "Отмена" at once, the model closed too: the
// next opening shows the options in force; OK after a changed number keeps them.
TEST_F(NasDlgWindowTest, EscAndTheCloseButtonAreCancel) {
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    for (bool esc : {true, false}) {
        dlg.ShowSettings();
        Radio(dlg, "м3/с")->setChecked(true);
        Radio(dlg, "0.001 м3/с")->setChecked(true);
        if (esc)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            dlg.close();
        EXPECT_FALSE(dlg.isVisible()) << esc;
        EXPECT_FALSE(model.Visible) << esc;
        dlg.ShowSettings();
        EXPECT_TRUE(Radio(dlg, "м3/мин")->isChecked()) << esc;
        EXPECT_TRUE(Radio(dlg, "0.1   м3/с")->isChecked()) << esc;
        dlg.findChild<QLineEdit*>("RVentOst")->setText("40");
        dlg.OKBtnClick();
        EXPECT_EQ(60, calc.CalcOptions.FlowUnit) << esc;
        EXPECT_EQ('D', calc.CalcOptions[1]) << esc;
    }
    // Hidden past its buttons, it shows the options in force when next opened.
    dlg.ShowSettings();
    dlg.hide();
    calc.CalcOptions[4] = 'M';
    dlg.ShowSettings();
    EXPECT_TRUE(Radio(dlg, "Модифицированный")->isChecked());
}

// A number field that is no number: OK names it, the dialog stays open on
// it, and nothing of the dialog reaches the options.
TEST_F(NasDlgWindowTest, OkRefusesAFieldThatIsNoNumber) {
    test::TScriptedMessages messages;
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    const TCalcOptions before = calc.CalcOptions;
    dlg.ShowSettings();
    Radio(dlg, "м3/с")->setChecked(true);
    dlg.findChild<QCheckBox*>("CheckBox03")->setChecked(true);
    dlg.findChild<QLineEdit*>("RVentOst")->setText("75");
    QLineEdit* failed = dlg.findChild<QLineEdit*>("RRegAv");
    failed->setText("abc");
    messages.Expect(mrOk, "В поле \"Сопротивление нарушенного вент.устройства\" должно быть число");
    dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_EQ(QString::fromUtf8("Дополнительно"),
              dlg.findChild<QTabWidget*>()->tabText(dlg.findChild<QTabWidget*>()->currentIndex()));
    EXPECT_EQ(failed, dlg.focusWidget());
    EXPECT_EQ("abc", failed->text());
    EXPECT_EQ("75", dlg.findChild<QLineEdit*>("RVentOst")->text());
    EXPECT_TRUE(Radio(dlg, "м3/с")->isChecked());
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_DOUBLE_EQ(before.StoppedFanResistance, calc.CalcOptions.StoppedFanResistance);
    EXPECT_DOUBLE_EQ(before.FailedDeviceResistance, calc.CalcOptions.FailedDeviceResistance);
    EXPECT_EQ(before.ReportColumnCount, calc.CalcOptions.ReportColumnCount);

    // Mended, the same OK takes everything.
    failed->setText("0,1");
    dlg.OKBtnClick();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_DOUBLE_EQ(75, calc.CalcOptions.StoppedFanResistance);
    EXPECT_DOUBLE_EQ(0.1, calc.CalcOptions.FailedDeviceResistance);
}

TEST_F(NasDlgWindowTest, FontButtonsApplyTheChosenFont) {
    TNasDlg dlg(model, calc.CalcOptions, t, window);
    int changes = 0;
    dlg.OnFontsChanged = [&] { ++changes; };
    dlg.ChooseFont = [](TFontSpec& font) {
        EXPECT_EQ("MS Sans Serif", font.Name);
        font = {Ru("Шрифт"), 15};
        return true;
    };
    dlg.FontBtnClick(TNasDlgFont::Tables);
    EXPECT_EQ(Ru("Шрифт"), t.TablDanRev.FontName());
    EXPECT_EQ(15, t.TablVen.FontSize());
    EXPECT_EQ(1, changes);
    bool found = false;
    for (auto* e : dlg.findChildren<QLineEdit*>()) found |= e->text() == QString::fromUtf8("Шрифт");
    EXPECT_TRUE(found);
    dlg.ChooseFont = [](TFontSpec&) { return false; };
    dlg.FontBtnClick(TNasDlgFont::Pages);
    EXPECT_EQ(1, changes);
    EXPECT_EQ("Times New Roman", window.TabFont.Name);
}

int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
