// The inspector in the real main window, offscreen, on the sample drawing.
#include "app/RxDrawGrid.h"
#include "app/tests/PropPanelSupport.h"
#include "app/tests/SampleProgramFolder.h"
#include "app/ui/DrawWinForm.h"
#include "app/ui/ProgramStart.h"
#include "app/ui/PropDialogsQt.h"
#include "app/ui/RxDrawGridWidget.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/ToolFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace arv;
using namespace arv::test;

namespace {

struct PropPanelTest : PropPanelProgram {
    // Makes the first branch of the drawing the current figure, as a click
    // does; its index, -1 when the drawing has none.
    static int SelectFirstBranch(TIDrawWin& w) {
        int branch = -1;
        for (int i = 0; i < w.Doc().Count() && branch < 0; ++i)
            if (w.Doc().BranchAt(i)) branch = i;
        if (branch < 0) return -1;
        w.Doc().current = branch;
        w.Doc().DoChange();
        QApplication::processEvents();
        return branch;
    }
    // Pictures for a person to look at, when asked for.
    static void Shot(QWidget* w, const char* name) {
        if (const char* folder = std::getenv("ARV_PROP_SHOTS"))
            w->grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
    }
};

} // namespace

TEST_F(PropPanelTest, PropButtonShowsTheRowsOfTheSelectedBranch) {
    auto* panel = form.findChild<QDockWidget*>("Panel2");
    ASSERT_NE(nullptr, panel);
    EXPECT_FALSE(panel->isVisible());
    const int planWidth = form.PaintBox1()->width();
    PropButton();
    EXPECT_TRUE(panel->isVisible());
    // The plan gave the panel its room and the document knows.
    EXPECT_LT(form.PaintBox1()->width(), planWidth);
    EXPECT_EQ(form.PaintBox1()->width(), w.Doc().clientWidth);

    const int branch = SelectFirstBranch(w);
    ASSERT_GE(branch, 0);
    ASSERT_NE(nullptr, grid);
    EXPECT_EQ(18, grid->Grid().RowCount());
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(Cp1251ToUtf8(w.Doc().BranchAt(branch)->name),
              Cp1251ToUtf8(w.PropValues[static_cast<size_t>(w.MapPropertyRow(2, false))]));
    EXPECT_FALSE(w.NameStat.empty());
    Shot(&form, "main_window_props");

    // Typing into the value cell of "Название" and Enter rename the branch.
    TRxDrawGrid& model = grid->Grid();
    const int nameRow = w.MapPropertyRow(2, false);
    TCanvasRect cell = model.CellRect(1, nameRow);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.left + 4, cell.top + 4));
    ASSERT_EQ(nameRow, model.Row());
    ASSERT_NE(nullptr, grid->Editor());
    grid->Editor()->selectAll();
    // Cyrillic keys go in as key events carrying their text.
    for (QChar ch : QString::fromUtf8("Штрек 5")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(grid->Editor(), &press);
    }
    QTest::keyClick(grid->Editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ("Штрек 5", Cp1251ToUtf8(w.Doc().BranchAt(branch)->name));
    EXPECT_TRUE(w.DrawingModified);

    // A click on the caption "Ветвь" pops its menu up; "Выводить?" hides
    // the branch number.
    const int numberRow = w.MapPropertyRow(3, false);
    cell = model.CellRect(0, numberRow);
    bool popped = false;
    QTimer::singleShot(50, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            popped = true;
            Shot(menu, "value_menu");
            menu->actions().at(0)->trigger();
            menu->close();
        }
    });
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.left + 4, cell.top + 4));
    QApplication::processEvents();
    EXPECT_TRUE(popped);
    EXPECT_EQ(0, w.Doc().BranchAt(branch)->switchB);

    // The data page, then back: the rows are shown again, forced.
    auto* book = form.findChild<QTabWidget*>("PageBook");
    book->setCurrentIndex(1);
    QApplication::processEvents();
    Shot(panel, "data_page");
    EXPECT_FALSE(w.PagePropActive);
    book->setCurrentIndex(0);
    EXPECT_TRUE(w.GridProp.Enabled);

    // The dialogs as they look.
    TPenBrushDlgState pb = PenBrushStateOf(w.Doc(), *w.Doc().Figure(branch));
    TFPenBrushDlg penBrush(pb, &form);
    penBrush.show();
    QApplication::processEvents();
    Shot(&penBrush, "pen_brush");
    TFormAngle angle(&form);
    angle.Show({"45", Ru("Параллельно: 27"), false});
    angle.show();
    QApplication::processEvents();
    Shot(&angle, "angle");
    TEnterPicState pic;
    EnterPicFormCreate(pic, w.Doc());
    TEnterPic chooser(pic, w.Doc(), &form);
    chooser.show();
    QApplication::processEvents();
    Shot(&chooser, "enter_pic");
    EXPECT_EQ(static_cast<size_t>(w.Doc().symbols.Count()), pic.SelList.size());

    PropButton();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(PropPanelTest, DataPageWritesTheBranchRowOnEnter) {
    form.Action("Prop")->trigger();
    ASSERT_TRUE(w.Doc().HasBranchNumber(2));
    w.Doc().DoChange();
    QApplication::processEvents();
    form.findChild<QTabWidget*>("PageBook")->setCurrentIndex(1);
    auto* page = form.findChild<QTableWidget*>("Datagrid");
    ASSERT_NE(nullptr, page);
    TModGrid& table = DataWindowController().Tables().TablDan;
    int row = -1;
    for (int r = table.FixedRows(); r < table.RowCount() && row < 0; ++r)
        if (Trim(table.Cells(0, r)) == "2") row = r;
    ASSERT_GE(row, 0);
    const int length = 5; // "Длина  м"
    ASSERT_EQ(ToQString(table.Cells(length, row)), page->item(length, 1)->text());
    table.Modified = false;
    // The line editor open on the page, if any (closed ones go first).
    auto editorOpen = [page] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return page->findChild<QLineEdit*>();
    };

    // Typed into the value and Enter: the table's cell takes it.
    page->setFocus();
    page->setCurrentCell(length, 1);
    QTest::keyClick(page, Qt::Key_7);
    QLineEdit* editor = editorOpen();
    ASSERT_NE(nullptr, editor);
    QTest::keyClicks(editor, "45");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor commits after its key
    EXPECT_EQ("745", table.Cells(length, row));
    EXPECT_TRUE(table.Modified);
    EXPECT_EQ("745", page->item(length, 1)->text().toStdString());

    // Left with Escape: neither the table nor the page changes.
    QTest::keyClick(page, Qt::Key_1);
    editor = editorOpen();
    ASSERT_NE(nullptr, editor);
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ("745", table.Cells(length, row));
    EXPECT_EQ("745", page->item(length, 1)->text().toStdString());

    // The titles take no edits.
    page->setCurrentCell(length, 0);
    QTest::keyClick(page, Qt::Key_9);
    EXPECT_EQ(nullptr, editorOpen());
    EXPECT_TRUE(messages.Shown().empty());
    w.DrawingModified = false;
    table.Modified = false;
}

// One click on another row moves the editor there, also when that click
// brings the window back (its activation refreshes the rows).
TEST_F(PropPanelTest, OneClickAfterEnterTakesTheClickedRow) {
    form.Action("Prop")->trigger();
    const int branch = SelectFirstBranch(w);
    ASSERT_GE(branch, 0);
    TRxDrawGrid& model = grid->Grid();
    auto clickValue = [&](int id) {
        const TCanvasRect cell = model.CellRect(1, w.MapPropertyRow(id, false));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(cell.left + 4, cell.top + 4));
    };
    auto type = [&](const char* text) { TypeAndEnter(*grid, text); };

    clickValue(2);
    type("Name5");
    // The user looks at the data window, then clicks the number's cell,
    // which brings the main window back.
    p->Form1->show();
    p->Form1->activateWindow();
    QApplication::processEvents();
    clickValue(3);
    form.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(w.MapPropertyRow(3, false), model.Row());
    type("15");
    EXPECT_EQ("Name5", Cp1251ToUtf8(w.Doc().BranchAt(branch)->name));
    EXPECT_EQ(15, w.Doc().BranchAt(branch)->number);
    messages.AllowAny();
}

// After a value typed into "Позиция ПЛА" and Enter, each branch chosen on the
// plan shows its own values: the editor closes, and the grid shows the
// figure's (the editor's mask could not hold the sign of -1 anyway).
TEST_F(PropPanelTest, ABranchChosenAfterAnEditShowsItsOwnValues) {
    form.Action("Prop")->trigger();
    w.ViewAllClick();
    QApplication::processEvents();
    const int first = SelectFirstBranch(w);
    ASSERT_GE(first, 0);
    ClickValue(*grid, w, kPropPla);
    TypeAndEnter(*grid, "7");
    EXPECT_EQ(7, doc.BranchAt(first)->Caption(3).a);

    int chosen = 0;
    for (int i = 0; i < doc.Count() && chosen < 3; ++i) {
        const TGBranch* b = doc.BranchAt(i);
        if (!b || i == first) continue;
        ClickOnPlan(form, w, *b);
        if (doc.current != i) continue; // another figure lies nearer there
        ++chosen;
        SCOPED_TRACE(b->number);
        EXPECT_FALSE(grid->Editor()->isVisible());
        EXPECT_EQ(IntToStr(b->Caption(3).a), Shown(*grid, w, kPropPla));
        EXPECT_EQ(IntToStr(b->number), Shown(*grid, w, kPropBranch));
        EXPECT_EQ(IntToStr(b->Caption(4).a), Shown(*grid, w, kPropStation));
    }
    EXPECT_EQ(3, chosen);
    // The next value typed goes to the branch shown.
    TGBranch& last = *doc.BranchAt(doc.current);
    ClickValue(*grid, w, kPropPla);
    TypeAndEnter(*grid, "3");
    EXPECT_EQ(3, last.Caption(3).a);
    EXPECT_EQ(7, doc.BranchAt(first)->Caption(3).a);
    EXPECT_TRUE(messages.Shown().empty());
}

// A branch drawn anew takes the number typed while its nodes are still
// temporary, with the message that it is not added to the table. A refused
// node leaves the grid showing the figure, and the nodes typed next apply;
// the node edits rename nodes only, and the branch reaches the table through
// "Добавить новую ветвь в таблицу расчета".
TEST_F(PropPanelTest, AfterARefusedEditTheGridShowsTheFigureAndTheNextEditApplies) {
    form.Action("Prop")->trigger();
    TModGrid& table = DataWindowController().Tables().TablDan;
    const int rows = table.RowCount();
    auto* b = static_cast<TGBranch*>(AddTwoPointFigure(doc, kKindLine, {-900, -900}, {-500, -900}));
    doc.BuildVisibleList();
    doc.DoChange();
    QApplication::processEvents();
    ASSERT_LT(b->beginNode, 0);
    ASSERT_LT(b->endNode, 0);
    const int32_t end = b->endNode;

    messages.Expect(mrOk, "Один из узлов ветви отрицательный. Ветвь не добавлена");
    ClickValue(*grid, w, kPropBranch);
    TypeAndEnter(*grid, "50");
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(50, b->number);
    EXPECT_EQ(rows, table.RowCount());
    EXPECT_EQ("50", Shown(*grid, w, kPropBranch));

    // A node number another branch uses is refused: the grid shows the
    // branch's own number again, sign and all.
    messages.Expect(mrOk);
    ClickValue(*grid, w, kPropEndNode);
    TypeAndEnter(*grid, "2");
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(end, b->endNode);
    EXPECT_EQ(IntToStr(end), Shown(*grid, w, kPropEndNode));

    ClickValue(*grid, w, kPropEndNode);
    TypeAndEnter(*grid, "101");
    ClickValue(*grid, w, kPropBeginNode);
    TypeAndEnter(*grid, "102");
    EXPECT_EQ(101, b->endNode);
    EXPECT_EQ(102, b->beginNode);
    EXPECT_EQ("101", Shown(*grid, w, kPropEndNode));
    EXPECT_EQ(rows, table.RowCount());
    EXPECT_TRUE(w.StatusPanels[2].empty());

    QAction* add = form.Action("AddExt");
    ASSERT_TRUE(add->isEnabled());
    add->trigger();
    QApplication::processEvents();
    ASSERT_EQ(rows + 1, table.RowCount());
    EXPECT_EQ("50", Trim(table.Cells(0, rows)));
    EXPECT_EQ("102", Trim(table.Cells(1, rows)));
    EXPECT_EQ("101", Trim(table.Cells(2, rows)));
    messages.AllowAny();
}

// Rows whose value comes from their caption's menu or file dialog take no
// typing: a key there is refused at once, not kept in sight until Enter
// drops it. "Изображение" changes through its file dialog.
TEST_F(PropPanelTest, RowsSetThroughTheirCaptionRefuseTyping) {
    form.Action("Prop")->trigger();
    const int branch = SelectFirstBranch(w);
    ASSERT_GE(branch, 0);
    TGBranch& b = *w.Doc().BranchAt(branch);
    b.image = "lava.jpg";
    w.ShowProperties(false);
    for (int id : {kPropPhoto, kPropVisible, kPropLayer, kPropFlows}) {
        SCOPED_TRACE(id);
        const std::string before = Shown(*grid, w, id);
        ClickValue(*grid, w, id);
        for (char c : std::string("shaft.jpg")) QTest::keyClick(QApplication::focusWidget(), c);
        EXPECT_EQ(before, Shown(*grid, w, id));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(before, Shown(*grid, w, id));
    }
    EXPECT_EQ("lava.jpg", b.image);

    dialogs.Answer(folder.File("Foto/shaft.jpg"));
    const TCanvasRect caption = grid->Grid().CellRect(0, w.MapPropertyRow(kPropPhoto, false));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      QPoint(caption.left + 4, caption.top + 4));
    QApplication::processEvents();
    EXPECT_EQ("shaft.jpg", b.image);
    EXPECT_EQ("shaft.jpg", Shown(*grid, w, kPropPhoto));
    EXPECT_TRUE(messages.Shown().empty());
}

// The value masks hold digits only, so the editor opened on a negative
// value shows it without its sign; Enter or leaving the cell without a key
// typed still keeps the figure's value, sign and all.
TEST_F(PropPanelTest, AnUntouchedEditorKeepsANegativeValue) {
    form.Action("Prop")->trigger();
    auto* b = static_cast<TGBranch*>(AddTwoPointFigure(doc, kKindLine, {-900, -900}, {-500, -900}));
    b->Caption(3).a = -1;
    doc.BuildVisibleList();
    doc.DoChange();
    QApplication::processEvents();
    const int32_t begin = b->beginNode;
    ASSERT_LT(begin, 0);
    for (int id : {kPropPla, kPropBeginNode}) {
        SCOPED_TRACE(id);
        const std::string shown = Shown(*grid, w, id);
        ClickValue(*grid, w, id);
        ASSERT_TRUE(grid->Editor()->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        ClickValue(*grid, w, id);
        ClickValue(*grid, w, kPropName);
        EXPECT_EQ(shown, Shown(*grid, w, id));
    }
    EXPECT_EQ(-1, b->Caption(3).a);
    EXPECT_EQ(begin, b->beginNode);
    EXPECT_TRUE(messages.Shown().empty());
}
