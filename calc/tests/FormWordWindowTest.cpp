// The progress window and the hidden reverse-mode page as windows.
#include "calc/ui/FormWordWindow.h"
#include "calc/ui/Form1Window.h"

#include "DataWindowFixture.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

using namespace arv;

namespace {

TEST(FormWordWindow, DrivesItsBarAndTakesAStop) {
    TFormWord window(nullptr);
    EXPECT_EQ(QString::fromUtf8("Ждите"), window.windowTitle());
    EXPECT_EQ(Ru("Ждите"), window.Caption());
    auto* bar = window.findChild<QProgressBar*>("ProgressBar1");
    ASSERT_NE(bar, nullptr);
    window.Show();
    window.SetBarMax(10);
    window.SetBarPosition(1);
    window.SetBarVisible(true);
    window.StepBar(1);
    window.StepBar(20);
    EXPECT_EQ(window.BarPosition(), 10);
    EXPECT_FALSE(window.CancelRequested());
    // The stop button, or closing the window, asks the work to stop; the
    // window stays until the work closes it.
    window.findChild<QPushButton*>()->click();
    EXPECT_TRUE(window.CancelRequested());
    EXPECT_TRUE(window.isVisible());
    window.Close();
    EXPECT_FALSE(window.isVisible());
    window.Show();
    EXPECT_FALSE(window.CancelRequested());
    window.reject();
    EXPECT_TRUE(window.CancelRequested());
    window.Close();
}

struct ReversePage : test::DataWindowTest {
    ReversePage() { drawing.fileName = File("mine.grh"); }
};

TEST_F(ReversePage, ShowsOnlyWhileAReverseModeCommandUsesIt) {
    TForm1 form(w);
    form.show();
    QTabWidget* pages = form.Notebook();
    EXPECT_FALSE(pages->isTabVisible(PageReverse));
    calc.CalcOptions[40] = 'A';
    w.RunCommand([&] { t.GotoBranchRow(1, FirstDataRow); });
    EXPECT_TRUE(pages->isTabVisible(PageReverse));
    EXPECT_EQ(pages->currentIndex(), PageReverse);
    w.RunCommand([&] { t.ActivePage = PageGeneral; });
    EXPECT_FALSE(pages->isTabVisible(PageReverse));
}

} // namespace
