// The program as a Linux desktop shows it: tool bars of small icons that fit
// a 1,366 × 768 screen, standard dialogs in Russian, and a main window that
// fills the screen without a window manager.
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "document/WindowHost.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <gtest/gtest.h>

using namespace arv;
namespace fs = std::filesystem;

namespace {

struct DesktopLookTest : test::SampleProgramTest {
    DesktopLookTest() {
        p = StartProgram({File("SampleMine.grh")});
        QApplication::processEvents();
    }
};

// Tool bars whose buttons do not all fit show an extension button and move
// the rest into its menu.
std::vector<std::string> Overflowing(const QMainWindow& window) {
    std::vector<std::string> out;
    for (QToolBar* bar : window.findChildren<QToolBar*>()) {
        if (bar->window() != &window) continue;
        auto* ext = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
        bool hidden = ext && ext->isVisible();
        for (QAction* a : bar->actions())
            if (QWidget* w = bar->widgetForAction(a); w && !w->isVisible()) hidden = true;
        if (hidden) out.push_back(bar->objectName().toStdString());
    }
    return out;
}

} // namespace

TEST_F(DesktopLookTest, ToolBarsOfIconsFitTheSmallestCommonScreen) {
    TIDrawWinForm& form = *p->IDrawWinForm;
    form.showNormal();
    form.setGeometry(0, 0, 1366, 768);
    QApplication::processEvents();
    // The window as the user sees it, drawn in full.
    const QImage shot = form.grab().toImage();
    ASSERT_EQ(QSize(1366, 768), shot.size());
    EXPECT_EQ(std::vector<std::string>{}, Overflowing(form));

    // Every tool button shows an icon and keeps its text as its hint: the
    // theme's icons are installed, the others drawn.
    int buttons = 0;
    for (QToolBar* bar : form.findChildren<QToolBar*>()) {
        if (bar->window() != &form) continue;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator() || qobject_cast<QWidgetAction*>(a)) continue;
            ++buttons;
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
            EXPECT_FALSE(a->icon().pixmap(16, 16).isNull()) << a->objectName().toStdString();
            EXPECT_FALSE(a->toolTip().isEmpty()) << a->objectName().toStdString();
            auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            ASSERT_TRUE(b);
            EXPECT_EQ(Qt::ToolButtonIconOnly, b->toolButtonStyle());
        }
    }
    EXPECT_EQ(42, buttons);
    EXPECT_EQ(QString::fromUtf8("Просмотр позиции ПЛА"), form.Action("BPla")->toolTip());
    // The natural distribution's button has the menu item's text as its hint.
    ASSERT_TRUE(form.Action("ExtCalc"));
    EXPECT_EQ(form.Action("Zad_ER")->text(), form.Action("ExtCalc")->toolTip());
    EXPECT_EQ(QString::fromUtf8("Нормальное воздухораспределение"),
              form.Action("ExtCalc")->toolTip());
    EXPECT_EQ(QString::fromUtf8("Ветвь"), form.Action("BLine")->toolTip());

    // The route tool bar in use: after a fire in branch 3 the miners' route
    // window is open and its nine commands are all on the bar.
    messages.AllowAny();
    WindowState().EmergencyMode = 3;
    WindowState().EmergencyBranch = 3;
    form.Action("WayWorker")->trigger();
    QApplication::processEvents();
    auto* way = form.findChild<QToolBar*>("ToolBarWay");
    ASSERT_TRUE(way);
    int enabled = 0;
    for (QAction* a : way->actions())
        if (a->isEnabled()) ++enabled;
    EXPECT_GT(enabled, 0);
    EXPECT_EQ(9, static_cast<int>(way->actions().size()));
    EXPECT_EQ(std::vector<std::string>{}, Overflowing(form));
}

TEST_F(DesktopLookTest, StandardDialogsAndEditMenusReadInRussian) {
    QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    EXPECT_EQ(QString::fromUtf8("Сохранить"), box.button(QDialogButtonBox::Save)->text());
    EXPECT_EQ(QString::fromUtf8("Отмена"), box.button(QDialogButtonBox::Cancel)->text());

    QFileDialog save(p->IDrawWinForm.get());
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.show();
    QApplication::processEvents();
    QStringList texts;
    for (QPushButton* b : save.findChildren<QPushButton*>()) texts << b->text().remove('&');
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Сохранить"))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Отмена"))) << texts.join('|').toStdString();
    save.reject();

    QLineEdit edit("text");
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions()) items << a->text().remove('&').section('\t', 0, 0);
    EXPECT_TRUE(items.contains(QString::fromUtf8("Копировать"))) << items.join('|').toStdString();
}

TEST_F(DesktopLookTest, MainWindowCoversTheScreenEvenWhenNotMaximised) {
    TIDrawWinForm& form = *p->IDrawWinForm;
    form.showNormal();
    form.setGeometry(10, 10, 600, 240);
    QApplication::processEvents();
    ShowMaximisedOverTheScreen(&form);
    QApplication::processEvents();
    const QRect available = form.screen()->availableGeometry();
    EXPECT_TRUE(form.isMaximized());
    // What a window system that ignores the request leaves on the screen.
    EXPECT_EQ(available, form.normalGeometry());
}
