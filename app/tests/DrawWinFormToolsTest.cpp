// The real main window, offscreen, on the sample drawing: a branch drawn
// with the mouse between two nodes of the plan, and the tool buttons.
#include "app/ui/DrawWinForm.h"
#include "app/tests/MouseEvents.h"
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "document/Branch.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include <gtest/gtest.h>

using namespace arv;
using test::Click;
using test::Send;

namespace {

struct FormToolsTest : test::SampleProgramTest {
    FormToolsTest() { p = test::StartOnSample(folder, 1000, 700); }
};

} // namespace

TEST_F(FormToolsTest, BranchDrawnWithTheMouseJoinsTwoNodes) {
    TIDrawWin& w = *p->DrawWin;
    w.ViewAllClick();
    TGCollFigure& doc = w.Doc();
    const int figures = doc.Count(), nodes = doc.nodes.Count();
    const auto [a, b] = test::UnjoinedNodes(doc);
    ASSERT_GE(b, 0);
    const int32_t numberA = doc.nodes.Record(a).number, numberB = doc.nodes.Record(b).number;
    QWidget* plan = p->IDrawWinForm->PaintBox1();
    QAction* line = p->IDrawWinForm->Action("BLine");
    ASSERT_NE(nullptr, line);
    line->trigger();
    EXPECT_TRUE(line->isChecked());
    EXPECT_FALSE(p->IDrawWinForm->Action("BSelect")->isChecked());
    EXPECT_EQ(Qt::CrossCursor, plan->cursor().shape());

    // Two pixels off each node's marker: the clicks snap onto the nodes.
    const TPoint sa = doc.nodes.Record(a).screenCentre, sb = doc.nodes.Record(b).screenCentre;
    Click(plan, QPoint(sa.x + 2, sa.y + 2));
    const QImage before = p->IDrawWinForm->PlanImage().copy();
    Send(plan, QEvent::MouseMove, QPoint(sb.x - 2, sb.y + 1), Qt::NoButton, Qt::NoButton);
    // The rubber line shows on the picture without a repaint of the plan.
    EXPECT_NE(before, p->IDrawWinForm->PlanImage());
    Click(plan, QPoint(sb.x - 2, sb.y + 1));
    ASSERT_EQ(figures + 1, doc.Count());
    TGBranch* made = doc.BranchAt(figures);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(numberB, made->beginNode);
    EXPECT_EQ(numberA, made->endNode);
    EXPECT_EQ(nodes, doc.nodes.Count());
    EXPECT_TRUE(w.DrawingModified);

    // The right button goes back to selection.
    Send(plan, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    Send(plan, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(1, w.DrawMode);
    EXPECT_TRUE(p->IDrawWinForm->Action("BSelect")->isChecked());
    EXPECT_FALSE(line->isChecked());
    EXPECT_EQ(Qt::ArrowCursor, plan->cursor().shape());
    w.DrawingModified = false;
    messages.AllowAny();
}

// The move tool drags a node: every step repaints what moves over the rest
// kept from the first step; the release leaves the picture a full repaint
// of the plan as it now is would paint.
TEST_F(FormToolsTest, ANodeDraggedWithTheMoveToolEndsAsAFullRepaint) {
    TIDrawWin& w = *p->DrawWin;
    w.ViewAllClick();
    TGCollFigure& doc = w.Doc();
    // Red names, so that black lines over them show.
    doc.settings.fonts[0].colour = 0x0000FF;
    w.RedrawPlan();
    int32_t node = -1;
    for (int32_t i = 0; i < doc.nodes.Count() && node < 0; ++i)
        if (doc.nodes.Record(i).refCount >= 3) node = i;
    ASSERT_GE(node, 0);
    const TPoint home = doc.nodes.Record(node).point;
    QWidget* plan = p->IDrawWinForm->PaintBox1();
    p->IDrawWinForm->Action("Shaper")->trigger();
    doc.current = -1;
    // Above and left of the node's marker: its number lies below and right.
    const TPoint s = doc.nodes.Record(node).screenCentre;
    const QPoint press(s.x - 1, s.y - 1);
    Send(plan, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(2, w.Edit.ShaperState);
    // Taking hold of the node is no change to the drawing; moving it is.
    EXPECT_FALSE(w.DrawingModified);
    const QImage pressed = p->IDrawWinForm->PlanImage().copy();
    // Onto the name of a level branch that stays where it is: the moving
    // branches are drawn over it, where a full repaint draws it over them.
    const TDrawPart moving = doc.DragPart(w.Edit.Handle);
    QPoint target;
    for (int32_t i : doc.visibleList) {
        TGBranch* b = doc.BranchAt(i);
        if (!b || b->name.empty() || std::count(moving.figures.begin(), moving.figures.end(), i) ||
            std::abs(b->screenBegin.y - b->screenEnd.y) > 3)
            continue;
        target = QPoint(b->nameScreen.x + b->nameSize.cx / 2, b->nameScreen.y - b->nameSize.cy / 2);
        break;
    }
    ASSERT_FALSE(target.isNull());
    for (int k = 1; k <= 4; ++k) {
        Send(plan, QEvent::MouseMove, press + (target - press) * k / 4, Qt::NoButton,
             Qt::LeftButton);
        EXPECT_TRUE(w.Edit.MovingShown);
    }
    EXPECT_NE(home, doc.nodes.Record(node).point);
    EXPECT_TRUE(w.DrawingModified);
    EXPECT_NE(pressed, p->IDrawWinForm->PlanImage());
    QImage full(pressed.size(), QImage::Format_RGB32);
    p->IDrawWinForm->PaintPlan(full, false);
    EXPECT_NE(full, p->IDrawWinForm->PlanImage());
    Send(plan, QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(w.Edit.MovingShown);
    EXPECT_EQ(full, p->IDrawWinForm->PlanImage());
    w.DrawingModified = false;
    messages.AllowAny();
}

TEST_F(FormToolsTest, OneToolButtonShowsPressedWhateverEndsTheTool) {
    TIDrawWinForm& form = *p->IDrawWinForm;
    TIDrawWin& w = *p->DrawWin;
    QWidget* plan = form.PaintBox1();
    auto pressed = [&] {
        std::vector<std::string> down;
        for (const char* name : {"BSelect", "BLine", "BPic", "Printrect", "ZoomRect"})
            if (form.Action(name)->isChecked()) down.push_back(name);
        return down;
    };
    const std::vector<std::string> select{"BSelect"};

    // The picture chooser cancelled while a branch line was half drawn.
    form.Action("BLine")->trigger();
    Click(plan, QPoint(200, 200));
    ASSERT_TRUE(w.Edit.LineRubberActive);
    QTimer::singleShot(0, [] {
        if (QWidget* chooser = QApplication::activeModalWidget()) chooser->close();
    });
    form.Action("BPic")->trigger();
    EXPECT_EQ(select, pressed());
    EXPECT_EQ(1, w.DrawMode);
    EXPECT_EQ(1, WindowState().DrawMode);
    EXPECT_FALSE(w.Edit.LineRubberActive);
    EXPECT_EQ(Qt::ArrowCursor, plan->cursor().shape());

    // "Печать части" gives way to another tool, to Esc and to the right
    // button.
    QAction* printRect = form.Action("Printrect");
    printRect->trigger();
    EXPECT_EQ(std::vector<std::string>{"Printrect"}, pressed());
    form.Action("BLine")->trigger();
    EXPECT_EQ(std::vector<std::string>{"BLine"}, pressed());
    printRect->trigger();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(select, pressed());
    printRect->trigger();
    Send(plan, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    Send(plan, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(select, pressed());
    EXPECT_EQ(Qt::ArrowCursor, plan->cursor().shape());
    messages.AllowAny();
}

// The pan tool's plan has no names, numbers or node marks; whatever ends
// the tool (another tool, "Выбор", Esc, the right button) paints the plan
// with all of them at once.
TEST_F(FormToolsTest, LeavingThePanToolRepaintsThePlanWithItsLabels) {
    TIDrawWinForm& form = *p->IDrawWinForm;
    TIDrawWin& w = *p->DrawWin;
    w.ViewAllClick();
    QWidget* plan = form.PaintBox1();
    // The plan in the same view as the select tool paints it.
    auto labelled = [&] {
        const int32_t mode = WindowState().DrawMode;
        WindowState().DrawMode = 1;
        QImage full(form.PlanImage().size(), QImage::Format_RGB32);
        form.PaintPlan(full, false);
        WindowState().DrawMode = mode;
        return full;
    };
    auto pan = [&] {
        form.Action("ToolButtonMove")->trigger();
        Send(plan, QEvent::MouseButtonPress, QPoint(300, 300), Qt::LeftButton, Qt::LeftButton);
        Send(plan, QEvent::MouseMove, QPoint(320, 310), Qt::NoButton, Qt::LeftButton);
        Send(plan, QEvent::MouseButtonRelease, QPoint(320, 310), Qt::LeftButton, Qt::NoButton);
        ASSERT_EQ(8, w.DrawMode);
        // Drawn without labels while the tool lasts.
        ASSERT_FALSE(labelled() == form.PlanImage());
    };
    pan();
    form.Action("BSelect")->trigger();
    EXPECT_TRUE(labelled() == form.PlanImage());
    pan();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(1, w.DrawMode);
    EXPECT_TRUE(labelled() == form.PlanImage());
    pan();
    form.Action("ZoomRect")->trigger();
    EXPECT_TRUE(labelled() == form.PlanImage());
    pan();
    Send(plan, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    Send(plan, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(labelled() == form.PlanImage());
    messages.AllowAny();
}
