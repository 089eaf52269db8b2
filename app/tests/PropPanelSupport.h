// What a user does with the property panel of the real main window,
// offscreen: clicks on its cells, keys, the pop-up menus of its captions, and
// clicks on the plan.
#pragma once

#include "app/DrawWin.h"
#include "app/RxDrawGrid.h"
#include "app/tests/SampleProgramFolder.h"
#include "app/ui/DrawWinForm.h"
#include "app/ui/RxDrawGridWidget.h"
#include "document/Branch.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace arv::test {

// The program on the sample drawing in a window of 1200 x 800, with its
// property panel.
struct PropPanelProgram : ::testing::Test {
    TSampleProgramFolder folder;
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    std::unique_ptr<TProgramWindows> p = StartOnSample(folder, 1200, 800);
    TIDrawWinForm& form = *p->IDrawWinForm;
    TIDrawWin& w = *p->DrawWin;
    TGCollFigure& doc = w.Doc();
    TRxDrawGridWidget* grid = form.findChild<TRxDrawGridWidget*>("GridProp");

    // The "Prop" button: the panel shows or hides.
    void PropButton() {
        form.Action("Prop")->trigger();
        QApplication::processEvents();
    }
};

// A click on the value cell of the identifier's row.
inline void ClickValue(TRxDrawGridWidget& grid, TIDrawWin& w, int id) {
    const TCanvasRect cell = grid.Grid().CellRect(1, w.MapPropertyRow(id, false));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.left + 4, cell.top + 4));
    QApplication::processEvents();
}

// Keys typed where the keyboard's focus is, as a user types them (over an
// open editor's selected text, or into the grid, which opens its editor for
// the first character), then Enter.
inline void TypeAndEnter(TRxDrawGridWidget& grid, const char* text) {
    if (grid.Editor()->isVisible()) grid.Editor()->selectAll();
    for (const char* c = text; *c; ++c) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(nullptr, target);
        QTest::keyClick(target, *c);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
}

// What the user reads in the value cell of the identifier's row: the
// editor's text when it is open there, else the grid's cell.
inline std::string Shown(TRxDrawGridWidget& grid, TIDrawWin& w, int id) {
    const int row = w.MapPropertyRow(id, false);
    if (grid.Editor()->isVisible() && grid.Grid().InplaceCell().Y == row)
        return FromQString(grid.Editor()->text());
    return w.GridPropCellText(1, row);
}

// A click on the caption cell of the identifier's row, then on the item of
// the menu that pops up (UTF-8); false when no such item showed.
inline bool ChooseFromCaptionMenu(TRxDrawGridWidget& grid, TIDrawWin& w, int id,
                                  const char* itemUtf8) {
    const TCanvasRect cell = grid.Grid().CellRect(0, w.MapPropertyRow(id, false));
    bool chosen = false;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions())
            if (a->text() == QString::fromUtf8(itemUtf8)) {
                chosen = true;
                a->trigger();
                break;
            }
        menu->close();
    });
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.left + 4, cell.top + 4));
    QApplication::processEvents();
    return chosen;
}

// A click with the select tool in the middle of a branch on the plan.
inline void ClickOnPlan(TIDrawWinForm& form, TIDrawWin& w, const TGBranch& b) {
    const TPoint s =
        w.Doc().WorldToScreen({(b.Begin().x + b.End().x) / 2, (b.Begin().y + b.End().y) / 2});
    QTest::mouseClick(form.PaintBox1(), Qt::LeftButton, {}, QPoint(s.x, s.y));
    QApplication::processEvents();
}

} // namespace arv::test
