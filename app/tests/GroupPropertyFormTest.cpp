// The group-property tool in the real main window, offscreen, on the sample
// drawing: a group spanned with the mouse, a value typed or chosen in the
// property panel, and each member keeps what the command does not name.
#include "app/tests/PropPanelSupport.h"
#include "app/tests/MouseEvents.h"
#include "app/tests/SampleProgramFolder.h"
#include "document/Constants.h"
#include "document/TextFigures.h"
#include "document/ToolFigures.h"
#include "platform/NumberFormat.h"
#include "platform/testing/ScriptedServices.h"

#include <QMouseEvent>

#include <map>

using namespace arv;
using namespace arv::test;

namespace {

// How a branch's PLA position looks: colour, ring kind, accident kinds.
std::string Look(const TGBranch& b) {
    std::string s = Format("colour %d ring %d kinds ", {b.Caption(3).colour, b.Caption(3).flag});
    for (const TMarkSlot& m : b.marks) s += m.flag ? '1' : '0';
    return s;
}

// A branch's PLA record as a text, with or without the parts a command names.
std::string Pla(const TGBranch& b, bool number, bool shown) {
    const TBranchCaption& c = b.Caption(3);
    std::string s = Look(b) + Format(" at %d,%d by hand %d", {c.anchor.x, c.anchor.y, c.flag2});
    if (shown) s += Format(" shown %d", {c.shown});
    if (number) s += Format(" number %d/%d", {c.a, c.b});
    return s;
}

// What "Тип" names for a legend symbol of that style.
std::string SymbolType(int32_t style) {
    return style >= 0 && style < 2 ? SymbolKindNames()[static_cast<size_t>(style)] : "?";
}

std::string Line(const TGCustomFigure& f) {
    const TViewAttrs a = f.CurrentViewAttrs();
    return Format("style %d width %d pen %d/%d/%d brush %d/%d flags %d%d",
                  {a.style, a.width, a.pen.colour, a.pen.width, a.pen.style, a.brush.colour,
                   a.brush.style, a.flagA, a.flagB});
}

struct GroupPropertyFormTest : PropPanelProgram {
    GroupPropertyFormTest() { PropButton(); }
    std::vector<TGBranch*> Branches() {
        std::vector<TGBranch*> out;
        for (int32_t i = 0; i < doc.Count(); ++i)
            if (TGBranch* b = doc.BranchAt(i)) out.push_back(b);
        return out;
    }
    // Every branch with a PLA record of its own: a number, a marker placed
    // by hand, accident kinds and a colour.
    void OwnPlaRecords() {
        int i = 0;
        for (TGBranch* b : Branches()) {
            TBranchCaption& c = b->Caption(3);
            c.a = c.b = 20 + i;
            c.colour = 0x101010 * (i % 15);
            c.flag = static_cast<uint8_t>(i % 3);
            c.anchor = {100 + 10 * i, -i};
            c.flag2 = 1;
            c.shown = static_cast<uint8_t>(i % 2);
            b->marks[static_cast<size_t>(i % 6)].flag = 1;
            ++i;
        }
    }
    // The group-property tool spanned over the whole plan with two clicks.
    void SpanGroupOverThePlan() {
        w.ViewAllClick();
        QApplication::processEvents();
        form.Action("PropGroup")->trigger();
        QWidget* plan = form.PaintBox1();
        Click(plan, QPoint(2, 2));
        Send(plan, QEvent::MouseMove, QPoint(plan->width() - 3, plan->height() - 3), Qt::NoButton,
             Qt::NoButton);
        Click(plan, QPoint(plan->width() - 3, plan->height() - 3));
        QApplication::processEvents();
        ASSERT_EQ(25, w.DrawMode);
        ASSERT_GT(doc.groupList.size(), Branches().size());
        ASSERT_NE(nullptr, doc.BranchAt(doc.current));
    }
};

} // namespace

// A PLA number typed for a group gives every member what it gives one branch:
// the position's colour, ring kind and accident kinds; each member keeps its
// marker's place and show flag. An accident kind toggled for a group changes
// that kind alone on every member.
TEST_F(GroupPropertyFormTest, GroupPlaEditsGiveAPositionOneLook) {
    OwnPlaRecords();
    SpanGroupOverThePlan();
    TGBranch* current = doc.BranchAt(doc.current);
    TGBranch* holder = Branches().back() == current ? Branches().front() : Branches().back();
    holder->Caption(3).a = holder->Caption(3).b = 9;
    std::map<TGBranch*, std::string> place;
    for (TGBranch* b : Branches()) place[b] = Pla(*b, false, true).substr(Look(*b).size());

    ClickValue(*grid, w, kPropPla);
    TypeAndEnter(*grid, "9");
    for (TGBranch* b : Branches())
        EXPECT_EQ(Look(*holder) + place[b] + " number 9/9", Pla(*b, true, true)) << b->number;

    // "а Взрыв" toggled: a member's own "Пожар" stays.
    OwnPlaRecords();
    std::map<TGBranch*, std::string> before;
    for (TGBranch* b : Branches()) before[b] = Pla(*b, true, true);
    const uint8_t blast = current->marks[1].flag;
    ASSERT_TRUE(ChooseFromCaptionMenu(*grid, w, kPropPla, "а Взрыв"));
    EXPECT_NE(blast, current->marks[1].flag);
    for (TGBranch* b : Branches()) {
        SCOPED_TRACE(b->number);
        std::string expected = before[b];
        expected[expected.find("kinds ") + 7] = current->marks[1].flag ? '1' : '0';
        EXPECT_EQ(expected, Pla(*b, true, true));
    }
    EXPECT_TRUE(messages.Shown().empty());
}

// "Выводить?" of "Позиция ПЛА" for a group gives every member the show flag
// and nothing else: each keeps its own number.
TEST_F(GroupPropertyFormTest, PlaShowFlagGoesToTheMembersAlone) {
    OwnPlaRecords();
    SpanGroupOverThePlan();
    TGBranch* current = doc.BranchAt(doc.current);
    const uint8_t wasShown = current->Caption(3).shown;
    std::map<TGBranch*, std::string> before;
    for (TGBranch* b : Branches()) before[b] = Pla(*b, true, false);

    ASSERT_TRUE(ChooseFromCaptionMenu(*grid, w, kPropPla, "Выводить?"));
    EXPECT_NE(wasShown, current->Caption(3).shown);
    for (TGBranch* b : Branches()) {
        SCOPED_TRACE(b->number);
        EXPECT_EQ(current->Caption(3).shown, b->Caption(3).shown);
        EXPECT_EQ(before[b], Pla(*b, true, false));
    }
    EXPECT_TRUE(messages.Shown().empty());
}

// "По умолчанию" of "Цвет,стиль" for a group gives the branches the line of
// the current one; a legend symbol and a text keep theirs, and a rectangle
// keeps its kind.
TEST_F(GroupPropertyFormTest, ColourDefaultReachesOnlyFiguresWithALine) {
    ASSERT_GT(doc.symbols.Count(), 0);
    const TRect e = doc.GetExtent();
    const TPoint middle{HalfSum(e.left, e.right), HalfSum(e.top, e.bottom)};
    ASSERT_TRUE(doc.PlaceSymbol(doc.symbols.symbols[0].name, "", 0, false, middle));
    TGCustomFigure* symbol = doc.CurrentFigure();
    TGCustomFigure* rectangle =
        AddTwoPointFigure(doc, kKindRectangle, middle, {middle.x + 40, middle.y - 40});
    TGCustomFigure* title = nullptr;
    for (int32_t i = 0; i < doc.Count(); ++i)
        if (doc.Figure(i)->kind == kKindText) title = doc.Figure(i);
    ASSERT_NE(nullptr, title);
    doc.BuildVisibleList();
    // Branches of a line of their own.
    for (TGBranch* b : Branches()) {
        b->flagB = 0;
        b->style = 2;
        b->brush.colour = 0x00AA00;
        b->pen.colour = 0x00AA00;
    }
    const std::string symbolLine = Line(*symbol), titleLine = Line(*title);
    const std::string symbolType = SymbolType(symbol->style);
    const int32_t rectangleKind = rectangle->style;

    SpanGroupOverThePlan();
    TGCustomFigure* current = doc.CurrentFigure();
    ASSERT_TRUE(ChooseFromCaptionMenu(*grid, w, kPropColour, "По умолчанию"));
    EXPECT_EQ(1, current->flagB);
    for (TGBranch* b : Branches()) {
        SCOPED_TRACE(b->number);
        EXPECT_EQ(Line(*current), Line(*b));
    }
    EXPECT_EQ(symbolLine, Line(*symbol));
    EXPECT_EQ(symbolType, SymbolType(symbol->style));
    EXPECT_EQ(titleLine, Line(*title));
    EXPECT_EQ(rectangleKind, rectangle->style);
    EXPECT_EQ(1, rectangle->flagB);

    // The symbol's "Тип" still names its kind.
    doc.current = -1;
    for (int32_t i = 0; i < doc.Count(); ++i)
        if (doc.Figure(i) == symbol) doc.current = i;
    doc.DoChange();
    QApplication::processEvents();
    EXPECT_EQ(symbolType, Shown(*grid, w, kPropType));
    EXPECT_TRUE(messages.Shown().empty());
}
