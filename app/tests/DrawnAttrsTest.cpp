// What the plan draws of a figure's line (width, style, pen, brush and the
// two follow-the-layer flags) is what a scheme switch and back, OK in the
// options dialog, and Save and Open bring back, after every command that
// changes it: the group-property tool, the branch resets, the scheme import.
#include "app/tests/PropTestSupport.h"

#include "app/ui/OptionForm.h"
#include "calc/files/SchemeImport.h"
#include "platform/NumberFormat.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace arv::test {
namespace {

std::string Drawn(const TGCustomFigure& f) {
    const TViewAttrs a = f.CurrentViewAttrs();
    return Format("style %d width %d pen %d/%d/%d brush %d/%d flags %d%d",
                  {a.style, a.width, a.pen.colour, a.pen.width, a.pen.style, a.brush.colour,
                   a.brush.style, a.flagA, a.flagB});
}

struct DrawnAttrs : PropTest {
    DrawnAttrs() : PropTest(false) {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
    }
    TGCollFigure& Doc() { return w->Doc(); }
    // Every figure's line as the plan draws it now.
    std::vector<std::string> AllDrawn() {
        std::vector<std::string> out;
        for (int32_t i = 0; i < Doc().Count(); ++i)
            out.push_back(IntToStr(i) + ": " + Drawn(*Doc().Figure(i)));
        return out;
    }
    int32_t IndexOf(const TGCustomFigure* f) {
        for (int32_t i = 0; i < Doc().Count(); ++i)
            if (Doc().Figure(i) == f) return i;
        return -1;
    }
    std::vector<TGBranch*> Branches() {
        std::vector<TGBranch*> out;
        for (int32_t i = 0; i < Doc().Count(); ++i)
            if (TGBranch* b = Doc().BranchAt(i)) out.push_back(b);
        return out;
    }
    // The group-property tool over the whole plan, the last branch taken
    // shown in the grid.
    void GroupAll() {
        w->PropGroupClick();
        const TRect e = Doc().GetExtent();
        const int32_t chosen =
            Doc().SelectGroup({e.left - 10, e.top + 10}, {e.right + 10, e.bottom - 10});
        ASSERT_GT(chosen, 0);
        Select(chosen);
    }
    void OptionsOk() {
        TOptionForm form(w->Option());
        QTimer::singleShot(0,
                           [&] { qobject_cast<QPushButton*>(form.Control("Button1"))->click(); });
        w->MoptionsClick();
    }
    // The plan as drawn survives each way the window loads the figures'
    // attributes again.
    void ExpectKept(const char* what) {
        SCOPED_TRACE(what);
        const std::vector<std::string> drawn = AllDrawn();
        const int32_t scheme = DrawingGlobals().SchemeKind;
        w->SchemeClick((scheme + 1) % kSchemeCount);
        w->SchemeClick(scheme);
        EXPECT_EQ(drawn, AllDrawn()) << "after a scheme switch and back";
        OptionsOk();
        EXPECT_EQ(drawn, AllDrawn()) << "after OK in the options";
        ASSERT_TRUE(w->SaveDrawing(File("drawn.grh")));
        ASSERT_TRUE(w->LoadDrawing(File("drawn.grh")));
        EXPECT_EQ(drawn, AllDrawn()) << "after Save and Open";
    }
};

TEST_F(DrawnAttrs, GroupWidthColourAndLayerStayAsDrawn) {
    Start({File("SampleMine.grh")});
    ASSERT_GE(Branches().size(), 10u);

    GroupAll();
    Type(kPropWidth, "13");
    for (TGBranch* b : Branches()) {
        EXPECT_EQ(13, b->width);
        EXPECT_EQ(0, b->flagA);
    }
    ExpectKept("typed width");

    GroupAll();
    propDialogs.penBrush.push_back([](TPenBrushDlgState& s) {
        s.ComboTypeLine = 1;
        s.PenColor = 0x00AA00;
        s.BrushColor = 0x0000CC;
        s.UpDownPenWidth = 3;
        s.UpDownLineWidth = 9;
        s.ComboPenStyle = 0;
        s.ComboBrushStyle = 6;
        return true;
    });
    Menu(kPropColour, "Изменить");
    for (TGBranch* b : Branches()) {
        EXPECT_EQ(2, b->style);
        EXPECT_EQ(9, b->width);
        EXPECT_EQ(0x0000CC, b->brush.colour);
        EXPECT_EQ(6, b->brush.style);
        EXPECT_EQ(0, b->flagB);
    }
    ExpectKept("pen and brush");

    GroupAll();
    Menu(kPropColour, "По умолчанию");
    GroupAll();
    Menu(kPropWidth, "По умолчанию");
    for (TGBranch* b : Branches()) {
        EXPECT_EQ(1, b->flagA);
        EXPECT_EQ(1, b->flagB);
        EXPECT_EQ(DrawingGlobals().WidthDefault, b->width);
    }
    ExpectKept("width and colour by default");

    // A new layer of its own look: the members follow it now, as they will
    // after a switch or Open.
    const int32_t layer = Doc().layers.Count();
    Doc().layers.AddLayer();
    TLayerRecord& l = Doc().layers.Layer(layer);
    l.style = 2;
    l.colour = 0xCC00CC;
    l.width = 21;
    l.penWidth = 4;
    GroupAll();
    Menu(kPropLayer, Cp1251ToUtf8(l.name));
    for (TGBranch* b : Branches()) {
        EXPECT_EQ(layer, b->layer);
        EXPECT_EQ(21, b->width);
        EXPECT_EQ(0xCC00CC, b->brush.colour);
        EXPECT_EQ(4, b->pen.width);
    }
    ExpectKept("layer");
}

// The layer buttons of the options act at once, also when the dialog is
// cancelled: a branch that follows its layer shows the layer as saved.
TEST_F(DrawnAttrs, ALayerSavedInTheOptionsShowsAtOnceAfterCancel) {
    Start({File("SampleMine.grh")});
    TGBranch* b = Branches().at(1);
    Select(IndexOf(b));
    Menu(kPropLayer, Cp1251ToUtf8(Doc().layers.Layer(1).name));
    ASSERT_EQ(1, b->layer);
    ASSERT_EQ(1, b->flagA);
    TOptionForm form(w->Option());
    QTimer::singleShot(0, [&] {
        qobject_cast<QComboBox*>(form.Control("ComboBoxLajer"))->setCurrentIndex(1);
        qobject_cast<QSpinBox*>(form.Control("UpDown3"))->setValue(33);
        qobject_cast<QPushButton*>(form.Control("BitBtnChangeLajer"))->click();
        qobject_cast<QPushButton*>(form.Control("Button2"))->click();
    });
    w->MoptionsClick();
    ASSERT_EQ(33, Doc().layers.Layer(1).width);
    EXPECT_EQ(33, b->width);
    ExpectKept("layer saved, options cancelled");
}

// A drawing read from a file before version 22 keeps one set of attributes
// for every scheme: a width given there shows in each scheme before Save and
// after Open alike.
TEST_F(DrawnAttrs, AnOlderDrawingKeepsAChangeInEveryScheme) {
    Start({File("SampleMine.grh")});
    // The sample as a drawing of version 21 would be read.
    Doc().header[4] = 21;
    GroupAll();
    Type(kPropWidth, "7");
    std::vector<std::vector<std::string>> drawn;
    for (int k = 0; k < kSchemeCount; ++k) {
        w->SchemeClick(k);
        drawn.push_back(AllDrawn());
    }
    ASSERT_TRUE(w->SaveDrawing(File("old.grh")));
    ASSERT_TRUE(w->LoadDrawing(File("old.grh")));
    for (int k = 0; k < kSchemeCount; ++k) {
        w->SchemeClick(k);
        EXPECT_EQ(drawn[static_cast<size_t>(k)], AllDrawn()) << "scheme " << k;
    }
}

TEST_F(DrawnAttrs, ResetBranchesStayAsDrawn) {
    Start({File("SampleMine.grh")});
    std::vector<TGBranch*> branches = Branches();
    ASSERT_GE(branches.size(), 4u);
    // Branches of a look of their own: a width, a double line.
    for (size_t i = 0; i < 4; ++i) {
        Select(IndexOf(branches[i]));
        Type(kPropWidth, IntToStr(15 + static_cast<int>(i)));
        Menu(kPropType, "Двойная");
    }
    ASSERT_EQ(15, branches[0]->width);
    ASSERT_EQ(2, branches[0]->style);

    w->MResetBranchClick(); // the last one shown
    EXPECT_EQ(1, branches[3]->flagA);
    EXPECT_EQ(0, branches[3]->style);
    ExpectKept("one branch reset");

    w->MResetBranchAllClick();
    for (TGBranch* b : Branches()) {
        EXPECT_EQ(1, b->flagA);
        EXPECT_EQ(1, b->flagB);
        EXPECT_EQ(DrawingGlobals().WidthDefault, b->width);
    }
    ExpectKept("every branch reset");
}

// "Тип" takes no keys, but a line style pasted into it and Enter apply: the
// branch is drawn as the same choice from the row's menu draws it.
TEST_F(DrawnAttrs, TypeGivenInItsRowStaysAsDrawn) {
    Start({File("SampleMine.grh")});
    TGBranch* b = Branches().at(2);
    Select(IndexOf(b));
    Type(kPropType, Ru("Двойная"));
    EXPECT_EQ(2, b->style);
    EXPECT_EQ(1, b->brush.style); // a double line is clear inside
    ExpectKept("type");
}

// Imported outside branches (type 1 or 14) are dashed and thin:
//   1 (0, 0) --(1)--> 2 (100, 0) --(2, outside 1)--> 3 (200, 0)
//   3 --(3, outside 14, bent at (250, 50))--> 4 (300, 0)
TEST_F(DrawnAttrs, ImportedOutsideBranchesKeepTheirDashedLine) {
    Start();
    TBaseData& base = BaseData();
    base.Clear();
    for (int32_t n = 1; n <= 4; ++n) base.BaseNodes.push_back({n, 100 * (n - 1), 0, 0});
    base.BaseBranches.push_back(TBaseBranch{1, 1, 2, 0, 0, -1, 1, 0});
    base.BaseBranches.push_back(TBaseBranch{2, 2, 3, 0, 0, -1, 0, 1});
    base.BaseBranches.push_back(TBaseBranch{3, 3, 4, 0, 0, 0, 0, 14});
    base.BaseBranchNames = {"a", "b", "c"};
    base.BaseTurns.resize(1);
    base.BaseTurns[0].Points.push_back({250, 50});
    base.TurnCount = 1;
    w->BuildSchemeFromBase();
    ASSERT_EQ(3, Doc().Count());
    for (int32_t i = 1; i <= 2; ++i) {
        const TGBranch& b = *Doc().BranchAt(i);
        EXPECT_EQ(4, b.style) << i;
        EXPECT_EQ(1, b.width) << i;
        EXPECT_EQ(0, b.flagA) << i;
        EXPECT_EQ(0, b.flagB) << i;
    }
    EXPECT_EQ(1, Doc().BranchAt(0)->flagB);
    ExpectKept("imported");
    EXPECT_EQ(4, Doc().BranchAt(2)->style);
}

} // namespace
} // namespace arv::test
