#include "DocTestSupport.h"

#include "calc/files/SchemeImport.h"
#include "document/ColorNames.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/Errors.h"
#include "platform/StringGrid.h"
#include "platform/testing/ScriptedServices.h"

using namespace arv;
using namespace arv::test;

namespace {

// Three branches drawn with the line tool, then numbered as the table has them:
//
//   (5) 0,0 --b1--> (6) 100,0 --b2--> (7) 200,0
//                    |
//                    b3
//                    v
//                   (9) 100,-100
class NetworkOps : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        b1 = AddLine(doc, {0, 0}, {100, 0});
        b2 = AddLine(doc, {100, 0}, {200, 0});
        b3 = AddLine(doc, {100, 0}, {100, -100});
        Renumber(b1, 1, 5, 6);
        Renumber(b2, 2, 6, 7);
        Renumber(b3, 3, 6, 9);
        doc.current = 0;
    }
    void Renumber(TGBranch* b, int32_t n, int32_t p, int32_t q) {
        b->number = n;
        doc.nodes.Record(b->beginIndex).number = p;
        doc.nodes.Record(b->endIndex).number = q;
        b->beginNode = p;
        b->endNode = q;
    }
    bool Edit(int32_t row, const char* utf8) {
        message.clear();
        return doc.ApplyPropertyEdit(row, Ru(utf8), message);
    }
    std::string MessageUtf8() const { return Cp1251ToUtf8(message); }

    TGCollFigure doc;
    TGLine* b1 = nullptr;
    TGLine* b2 = nullptr;
    TGLine* b3 = nullptr;
    std::string message;
};

} // namespace

TEST(ColourNames, NamesAndNumbers) {
    EXPECT_EQ(0x0000FF, StringToColor("clRed"));
    EXPECT_EQ(0x0000FF, StringToColor("CLRED"));
    EXPECT_EQ(0xFF0000, StringToColor("clBlue"));
    EXPECT_EQ(0xFFFFFF, StringToColor("clWhite"));
    EXPECT_EQ(0xC0C0C0, StringToColor("clLtGray"));
    EXPECT_EQ(static_cast<int32_t>(0x8000000F), StringToColor("clBtnFace"));
    EXPECT_EQ(0x00FF8000, StringToColor("$00FF8000"));
    EXPECT_EQ(static_cast<int32_t>(0x80000005), StringToColor("$80000005"));
    EXPECT_EQ(255, StringToColor("255"));
    EXPECT_EQ(-1, StringToColor("-1"));
    int32_t v = 42;
    EXPECT_FALSE(TryStringToColor("clRedd", v));
    EXPECT_FALSE(TryStringToColor("", v));
    EXPECT_FALSE(TryStringToColor("$1FFFFFFFF", v));
    EXPECT_EQ(42, v);
    EXPECT_THROW(StringToColor("red"), EConvertError);
}

TEST_F(NetworkOps, EditsRefusedWithTheirMessages) {
    doc.current = -1;
    EXPECT_FALSE(Edit(2, "x"));
    EXPECT_EQ("Объект не найден", MessageUtf8());

    doc.current = 0;
    EXPECT_FALSE(Edit(3, "12a"));
    EXPECT_EQ("Недопустимое значение", MessageUtf8());
    EXPECT_FALSE(Edit(7, "clNoSuchColour"));
    EXPECT_EQ("Недопустимое значение", MessageUtf8());
    EXPECT_EQ(1, b1->number);

    EXPECT_FALSE(Edit(3, "2"));
    EXPECT_EQ("Значение ветви уже используется", MessageUtf8());
    EXPECT_EQ(1, b1->number);
    EXPECT_TRUE(Edit(3, "1")); // its own number

    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({0, 0}, {10, 10});
    for (int32_t row : {2, 3, 4, 5}) {
        EXPECT_FALSE(Edit(row, "4")) << row;
        EXPECT_EQ("Недопустимое значение", MessageUtf8());
    }
    // Rows of other figure classes and unknown rows change nothing.
    EXPECT_TRUE(Edit(10, "3"));
    EXPECT_TRUE(Edit(13, "text"));
    EXPECT_TRUE(Edit(99, "anything"));
    EXPECT_TRUE(Edit(6, "7"));
    EXPECT_EQ(7, rect->width);
    EXPECT_TRUE(Edit(7, "clLime"));
    EXPECT_EQ(0x00FF00, rect->brush.colour);
    EXPECT_TRUE(Edit(36, "12"));
    EXPECT_EQ(12, rect->extra);
}

TEST_F(NetworkOps, NodeRenumbering) {
    TScriptedMessages msgs;
    // Node 9 exists: 5 -> 9 is refused without a question.
    EXPECT_FALSE(Edit(4, "9"));
    EXPECT_EQ(
        "Ошибка !!!\n\rНельзя изменить узел [5] на [9]\n\rЗначение узла [9] уже используется!",
        MessageUtf8());
    EXPECT_EQ(5, b1->beginNode);

    // The user says No.
    doc.current = 2;
    msgs.Expect(mrNo, "Вы действительно хотите заменить\n\rузел 6 на узел 16 ???");
    EXPECT_FALSE(Edit(4, "16"));
    EXPECT_EQ("Пользователь отменил операцию !!!", MessageUtf8());
    EXPECT_EQ(6, b1->endNode);
    EXPECT_EQ(6, b2->beginNode);
    EXPECT_EQ(6, b3->beginNode);
    EXPECT_GE(doc.nodes.IndexOfNumber(6), 0);
    EXPECT_EQ(TMsgIcon::Warning, msgs.Shown().back().icon);
    EXPECT_EQ(TMsgButtons::YesNo, msgs.Shown().back().buttons);

    // Yes: every branch end numbered 6 follows, and the node record too.
    int changes = 0;
    doc.OnChange = [&] { ++changes; };
    msgs.Expect(mrYes);
    EXPECT_TRUE(Edit(4, "16"));
    EXPECT_EQ(16, b1->endNode);
    EXPECT_EQ(16, b2->beginNode);
    EXPECT_EQ(16, b3->beginNode);
    EXPECT_EQ(-1, doc.nodes.IndexOfNumber(6));
    EXPECT_EQ(b3->beginIndex, doc.nodes.IndexOfNumber(16));
    EXPECT_EQ(1, changes);

    // Same number: nothing; a temporary number is replaced without asking.
    EXPECT_TRUE(Edit(5, "9"));
    doc.nodes.Record(b3->endIndex).number = -4;
    b3->endNode = -4;
    EXPECT_TRUE(Edit(5, "19"));
    EXPECT_EQ(19, b3->endNode);
    EXPECT_EQ(0u, msgs.PendingExpectations());
    EXPECT_EQ(2u, msgs.Shown().size());
}

TEST_F(NetworkOps, BranchAndFigureFields) {
    EXPECT_TRUE(Edit(2, "Штрек 1"));
    EXPECT_EQ(Ru("Штрек 1"), b1->name);
    EXPECT_TRUE(Edit(11, "44"));
    EXPECT_EQ(44, b1->Caption(4).a);

    // A PLA position takes the colour of its first other branch, or the
    // window's background when it has none.
    b2->Caption(3).a = 3;
    b2->Caption(3).colour = 0x123456;
    b2->Caption(3).flag = 2;
    EXPECT_TRUE(Edit(10, "3"));
    EXPECT_EQ(3, b1->Caption(3).a);
    EXPECT_EQ(3, b1->Caption(3).b);
    EXPECT_EQ(0x123456, b1->Caption(3).colour);
    EXPECT_EQ(2, b1->Caption(3).flag);
    WindowState().BackColor = 0xABCDEF;
    EXPECT_TRUE(Edit(10, "8"));
    EXPECT_EQ(0xABCDEF, b1->Caption(3).colour);

    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    EXPECT_TRUE(Edit(13, "Надпись"));
    EXPECT_EQ(Ru("Надпись"), text->content);

    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    doc.images.entries.push_back({"fan", {}});
    doc.images.entries.push_back({"door", {}});
    EXPECT_TRUE(Edit(15, "1"));
    EXPECT_EQ(1, pic->imageIndex);
    EXPECT_EQ("door", pic->imageName);
    EXPECT_TRUE(Edit(16, "Дверь"));
    EXPECT_EQ(Ru("Дверь"), pic->text);
    EXPECT_TRUE(Edit(24, "-1"));
    EXPECT_EQ(0, pic->value1);
    EXPECT_TRUE(Edit(24, "5"));
    EXPECT_EQ(5, pic->value1);
    EXPECT_TRUE(Edit(25, "-30"));
    EXPECT_EQ(-30, pic->angleDegrees);
    EXPECT_TRUE(Edit(27, "-2"));
    EXPECT_EQ(0, pic->ownSizeFlag);
    EXPECT_TRUE(Edit(27, "70"));
    EXPECT_EQ(70, pic->ownSize);
    EXPECT_EQ(1, pic->ownSizeFlag);

    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    ParseSymbolText(doc.symbols, "B;Door;\r\nL;-16;-12;16;12;2;1;0;\r\nE;\r\n");
    uo->anchor = {1000, 1000};
    EXPECT_TRUE(Edit(17, "0"));
    EXPECT_EQ(0, uo->symbolIndex);
    EXPECT_EQ("Door", uo->placed.name); // placed again, so the edit is drawn and saved
    EXPECT_TRUE(Edit(18, "90"));
    EXPECT_EQ(90, uo->angleDegrees);
    EXPECT_TRUE(Edit(19, "Дверь"));
    EXPECT_EQ(Ru("Дверь"), uo->text);
    EXPECT_TRUE(Edit(29, "-3"));
    EXPECT_EQ(-3, uo->value0);
    EXPECT_TRUE(Edit(30, "-1"));
    EXPECT_EQ(0, uo->ownSizeFlag);
    EXPECT_TRUE(Edit(30, "80"));
    EXPECT_EQ(80, uo->ownSize);
    EXPECT_EQ(1, uo->ownSizeFlag);
    EXPECT_EQ((TRect{980, 1020, 1020, 980}), uo->box);
}

TEST_F(NetworkOps, BranchNumberEntersTheBranchGrid) {
    TStringGridModel grid;
    grid.SetColCount(16);
    grid.SetFixedRows(1);
    grid.SetRowCount(3);
    grid.SetCells(0, 1, "2");
    grid.SetCells(0, 2, "40");
    grid.SetCells(15, 2, "old");
    WindowState().BranchGrid = &grid;
    b1->name = Ru("Уклон");

    EXPECT_TRUE(Edit(3, "40"));
    EXPECT_EQ(40, b1->number);
    EXPECT_EQ((std::vector<std::string>{"40", "5", "6"}),
              (std::vector<std::string>{grid.Cells(0, 2), grid.Cells(1, 2), grid.Cells(2, 2)}));
    EXPECT_EQ(Ru("Уклон"), grid.Cells(15, 2));
    EXPECT_EQ(3, grid.RowCount());

    EXPECT_TRUE(Edit(3, "41"));
    EXPECT_EQ(4, grid.RowCount());
    EXPECT_EQ("41", grid.Cells(0, 3));
    EXPECT_EQ("6", grid.Cells(2, 3));

    // A temporary node: told once, the grid stays as it was.
    TScriptedMessages msgs;
    msgs.Expect(mrOk, "Один из узлов ветви отрицательный. Ветвь не добавлена");
    b1->endNode = -2;
    doc.AddBranchFromData(50);
    EXPECT_EQ(4, grid.RowCount());
    EXPECT_EQ(41, b1->number);
    EXPECT_EQ(TMsgIcon::Information, msgs.Shown().back().icon);

    // Rows are found by number, as the tables write it with blanks or zeros.
    b1->endNode = 6;
    grid.SetRowCount(6);
    grid.SetCells(0, 4, " 7");
    grid.SetCells(0, 5, "08");
    EXPECT_TRUE(Edit(3, "7"));
    EXPECT_TRUE(Edit(3, "8"));
    EXPECT_EQ(6, grid.RowCount());
    EXPECT_EQ("7", grid.Cells(0, 4));
    EXPECT_EQ((std::vector<std::string>{"8", "5", "6"}),
              (std::vector<std::string>{grid.Cells(0, 5), grid.Cells(1, 5), grid.Cells(2, 5)}));
}

TEST_F(NetworkOps, TemporaryNumbersForABranchAndItsNodes) {
    TScriptedMessages msgs;
    doc.RenumberTemporaryBranches(); // numbers 1..3 in use: next is -4
    doc.current = 1;
    doc.ResetBranchNumber();
    EXPECT_EQ(-4, b2->number);
    // Already temporary: kept.
    doc.ResetBranchNumber();
    EXPECT_EQ(-4, b2->number);
    // A branch drawn afterwards never shares the reset number.
    auto* b4 = AddLine(doc, {0, 50}, {0, 80});
    EXPECT_EQ(-5, b4->number);

    // Three nodes appended so far plus one for b4's two ends: -1 .. -5 taken
    // from the counter; the reset takes the next two.
    doc.current = 2;
    const int32_t temp = doc.nodes.nextTempNumber;
    msgs.Expect(mrYes, "Вы действительно хотите заменить\n\rузел 6 на узел " +
                           std::to_string(temp) + " ???");
    msgs.Expect(mrYes);
    doc.ResetBranchNodes();
    EXPECT_EQ(temp, b3->beginNode);
    EXPECT_EQ(temp, b1->endNode);
    EXPECT_EQ(temp, b2->beginNode);
    EXPECT_EQ(temp - 1, b3->endNode);
    EXPECT_EQ(temp - 2, doc.nodes.nextTempNumber);
    EXPECT_EQ(b3->endIndex, doc.nodes.IndexOfNumber(temp - 1));
}

TEST_F(NetworkOps, NodeResetOnALoadedDrawing) {
    // Nodes numbered -1, -2, -3 on disk: the reset must find -4 free.
    TGCollFigure loaded;
    AddLine(loaded, {0, 0}, {10, 0});
    AddLine(loaded, {10, 0}, {20, 0});
    TBinaryWriter w;
    loaded.SaveToStream(w, "");
    TGCollFigure back;
    ASSERT_EQ(0, back.LoadFromStream(w.Data()));
    ASSERT_EQ(3, back.nodes.Count());
    EXPECT_EQ(-4, back.nodes.nextTempNumber);
    back.current = 0;
    const int32_t oldBegin = back.BranchAt(0)->beginNode;
    back.ResetBranchNodes();
    EXPECT_NE(oldBegin, back.BranchAt(0)->beginNode);
    EXPECT_EQ(-4, back.BranchAt(0)->beginNode);
}

TEST_F(NetworkOps, MarksFromAPerBranchArray) {
    b1->marked = 1;
    doc.MarkBranches({0, 0});
    EXPECT_EQ(1, b1->marked);
    b3->number = 30; // beyond the array: unmarked
    doc.MarkBranches({0, 0, 1});
    EXPECT_EQ(0, b1->marked);
    EXPECT_EQ(1, b2->marked);
    EXPECT_EQ(0, b3->marked);
    b2->number = -2;
    doc.MarkBranches({1, 1, 1});
    EXPECT_EQ(1, b1->marked);
    EXPECT_EQ(0, b2->marked);
}

TEST_F(NetworkOps, PlaMarksGoToEveryBranchOfThePosition) {
    for (TGBranch* b : {b1, b2, b3}) b->Caption(3).a = 4;
    b3->Caption(3).a = 5;
    b1->Caption(3).flag = 2;
    b1->Caption(3).colour = 77;
    b1->marks[3].flag = 1;
    b1->marks[3].point = {5, 6};
    b1->marks[3].value = 9;
    doc.CopyPlaMarks(0);
    EXPECT_EQ(2, b2->Caption(3).flag);
    EXPECT_EQ(77, b2->Caption(3).colour);
    EXPECT_EQ(1, b2->marks[3].flag);
    EXPECT_EQ((TPoint{5, 6}), b2->marks[3].point);
    EXPECT_EQ(9, b2->marks[3].value);
    EXPECT_EQ(0, b3->Caption(3).flag);
    EXPECT_EQ(0, b3->marks[3].flag);
    doc.CopyPlaMarks(99); // no branch there
}

TEST_F(NetworkOps, ResetShapeOnLayerZeroAndOnALayer) {
    TDrawingGlobals& g = DrawingGlobals();
    g.DefaultBranchStyle = 3;
    g.DefLineColor = 0x0000FF;
    g.WidthDefault = 12;
    g.BranchPenWidth = 2;
    b1->style = 0;
    b1->hasPointA = 1;
    b1->flagA = 0;
    b1->flagB = 0;
    b1->showFlag = 0;
    b1->Caption(1).flag2 = 1;
    b1->callout.placed = 1;
    b1->labelAngle = 0.5;
    doc.nodes.Record(b1->beginIndex).labelOffset = {40, 40};
    doc.ResetBranchShape();
    EXPECT_EQ(0, b1->hasPointA);
    EXPECT_EQ(1, b1->flagA);
    EXPECT_EQ(1, b1->flagB);
    EXPECT_EQ(1, b1->showFlag);
    EXPECT_EQ(12, b1->width);
    EXPECT_EQ(2, b1->pen.width);
    EXPECT_EQ(0, b1->pen.colour);
    EXPECT_EQ(0x0000FF, b1->brush.colour);
    EXPECT_EQ(0, b1->brush.style);
    EXPECT_EQ(0, b1->Caption(1).flag2);
    EXPECT_EQ(0, b1->callout.placed);
    EXPECT_EQ((TPoint{2, -2}), doc.nodes.Record(b1->beginIndex).labelOffset);
    EXPECT_DOUBLE_EQ(-1.0, b1->labelAngle);
    EXPECT_EQ(0, b1->style);

    // A dashed layer: thin pen, clear brush, the layer's colour and widths.
    doc.layers.AddLayer();
    doc.layers.Layer(1).style = 4;
    doc.layers.Layer(1).colour = 0x00FF00;
    doc.layers.Layer(1).width = 30;
    doc.layers.Layer(1).penWidth = 5;
    b3->layer = 1;
    doc.current = 2;
    doc.ResetBranchShape();
    EXPECT_EQ(30, b3->width);
    EXPECT_EQ(1, b3->pen.width);
    EXPECT_EQ(0x00FF00, b3->pen.colour);
    EXPECT_EQ(2, b3->pen.style);
    EXPECT_EQ(1, b3->brush.style);
    EXPECT_NEAR(-kPi / 2, b3->angle, 1e-12); // straight down
    EXPECT_NEAR(-kPi / 2, b3->Caption(1).angle, 1e-12);

    // A bent branch takes its angle from the last bend.
    auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    poly->EditVertex({0, 0}, {0, 100}, {});
    poly->EditVertex({0, 100}, {100, 100}, {});
    doc.ResetBranchShape();
    EXPECT_NEAR(0.0, poly->angle, 1e-12);
}

TEST_F(NetworkOps, ScaleHalvesEveryFigureAndNode) {
    b1->hasPointA = 1;
    b1->pointA = {31, 41};
    b1->Caption(2).anchor = {-9, 7};
    b1->Caption(2).flag2 = 1;
    b1->callout.anchor = {50, -50};
    auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    poly->EditVertex({-100, 0}, {-100, 100}, {});
    poly->EditVertex({-100, 100}, {-201, 101}, {});
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    text->anchor = {300, 301};
    text->box = {300, 321, 400, 301};
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", -1, 0, 40, 40, {500, 500});
    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    TSymbolRecord rec;
    rec.count = 1;
    rec.prims[0].points[0] = {-10, 10};
    uo->SetSymbol(rec, 0, 0, 0, 40, {600, 600});
    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({10, 10}, {31, -31});
    auto* ellipse = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    ellipse->SetRect({0, 0}, {40, 40}, 0);
    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({100, 0}, {0, 100}, {0, 0});
    auto* aline = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    aline->SetPoints({-7, -7}, {7, 7});
    auto* polygon = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    polygon->AddPoint({0, 0}, {100, 0});
    polygon->AddPoint({100, 0}, {100, -101});

    doc.ChangeScale();

    EXPECT_EQ((TPoint{50, 0}), b1->End());
    EXPECT_EQ((TPoint{15, 20}), b1->pointA);
    EXPECT_EQ(0, b1->hasPointA);
    EXPECT_EQ((TPoint{-4, 3}), b1->Caption(2).anchor);
    EXPECT_EQ(0, b1->Caption(2).flag2);
    EXPECT_EQ((TPoint{25, -25}), b1->callout.anchor);
    EXPECT_EQ((TPoint{50, -50}), b3->End());
    EXPECT_EQ((TRect{50, 0, 50, -50}), b3->box);
    // Every node follows, and the branch ends stay on their nodes.
    for (TGBranch* b :
         {static_cast<TGBranch*>(b1), static_cast<TGBranch*>(b3), static_cast<TGBranch*>(poly)}) {
        EXPECT_EQ(b->Begin(), doc.nodes.Record(b->beginIndex).point);
        EXPECT_EQ(b->End(), doc.nodes.Record(b->endIndex).point);
    }
    EXPECT_EQ((TPoint{100, 0}), doc.nodes.Record(b2->endIndex).point);
    EXPECT_EQ((TPoint{-50, 50}), poly->bends[0]);
    EXPECT_EQ((TPoint{-100, 50}), poly->End()); // -201 div 2 toward zero
    EXPECT_EQ((TRect{-100, 50, -50, 0}), poly->box);
    EXPECT_EQ((TPoint{150, 150}), text->anchor);
    EXPECT_EQ((TRect{150, 170, 250, 150}), text->box);
    EXPECT_EQ((TRect{250, 250, 290, 210}), pic->box);
    EXPECT_EQ((TPoint{300, 300}), uo->anchor);
    EXPECT_EQ((TPoint{290, 310}), uo->placed.prims[0].points[0]);
    EXPECT_EQ((TRect{290, 310, 310, 290}), uo->box);
    EXPECT_EQ((TRect{5, 5, 15, -15}), rect->box);
    EXPECT_EQ((TRect{0, 20, 20, 0}), ellipse->box);
    EXPECT_EQ(10, ellipse->radius);
    EXPECT_EQ((TPoint{50, 0}), arc->First());
    EXPECT_EQ(50, arc->radius);
    EXPECT_EQ((TPoint{3, 3}), aline->Second());
    EXPECT_EQ((TPoint{-6, -6}), aline->difference);
    EXPECT_EQ((TPoint{50, -50}), polygon->vertices[2]);
    EXPECT_EQ((TRect{0, 0, 50, -50}), polygon->box);
}

TEST_F(NetworkOps, PlanFromBaseData) {
    struct THost : IWindowHost {
        std::vector<int32_t> synced;
        void SyncViewMenus(int32_t kind) override { synced.push_back(kind); }
    } host;
    InstallWindowHost(&host);
    WindowState().MOrientBr = true;
    doc.showDirections = 1;
    TGCollFigure plan;
    // Nodes 1 (surface) at 0,0; 2 at 100,0; 3 given twice, the last wins.
    //   1 --10--> 2 --11 (bent at 150,50)--> 3;  12: 2 -> 99 has no node 99.
    TBaseData base;
    base.BaseNodes = {{1, 0, 0, 1}, {2, 100, 0, 0}, {3, 0, 0, 0}, {3, 200, 0, 0}};
    base.BaseBranches = {
        {10, 1, 2, 4, 0x00FF00, -1, 1, 0},
        {11, 2, 3, 4, 0x00FF00, 0, 0, 14},
        {12, 2, 99, 0, 0, -1, 0, 0},
        {13, 3, 1, 0, 0, -1, 0, 0},
    };
    base.BaseBranchNames = {Ru("Ствол"), Ru("Штрек"), "x", Ru("Сбойка")};
    base.BaseTurns = {{1, 1, {{150, 50}}}};
    base.TurnCount = 1;

    EXPECT_EQ(0, plan.AddBaseBranches(base));
    ASSERT_EQ(3, plan.Count());
    TGBranch* a = plan.BranchAt(0);
    auto* bent = dynamic_cast<TGPolyLine*>(plan.BranchAt(1));
    TGBranch* c = plan.BranchAt(2);
    ASSERT_TRUE(a && bent && c);
    EXPECT_EQ(kKindLine, a->kind);
    EXPECT_EQ(10, a->number);
    EXPECT_EQ(Ru("Ствол"), a->name);
    EXPECT_EQ(1, a->beginNode);
    EXPECT_EQ(1, plan.nodes.Record(a->beginIndex).kind);
    EXPECT_EQ(255, a->Caption(5).colour);
    EXPECT_EQ(4, a->Caption(3).a);
    EXPECT_EQ(0x00FF00, a->Caption(3).colour);
    EXPECT_EQ(1, a->Caption(3).shown);

    EXPECT_EQ(11, bent->number);
    EXPECT_EQ(1, bent->bendCount);
    EXPECT_EQ((TPoint{150, 50}), bent->bends[0]);
    EXPECT_EQ((TPoint{200, 0}), bent->End());
    EXPECT_EQ(3, bent->endNode);
    EXPECT_EQ(0, bent->Caption(3).shown); // second branch of position 4
    EXPECT_EQ(16711680, bent->Caption(5).colour);
    EXPECT_EQ(4, bent->style);
    EXPECT_EQ(1, bent->width);
    EXPECT_EQ(0, bent->flagA);

    EXPECT_EQ(13, c->number);
    EXPECT_EQ(-1, c->Caption(3).a);
    EXPECT_EQ(0, c->Caption(3).shown);
    EXPECT_EQ(3, plan.nodes.Count());

    const TDrawingGlobals& g = DrawingGlobals();
    EXPECT_EQ(2, g.SchemeKind);
    const TSchemeRecord& rec = g.SchemeViewFlags[2];
    EXPECT_EQ(3, rec.style);
    EXPECT_EQ(10, rec.width);
    EXPECT_EQ((std::array<uint8_t, 8>{0, 0, 0, 0, 1, 0, 0, 1}), rec.show);
    EXPECT_EQ(std::vector<int32_t>{2}, host.synced);
    EXPECT_FALSE(WindowState().MOrientBr);
    EXPECT_TRUE(base.BaseBranches.empty());
    EXPECT_TRUE(base.BaseNodes.empty());
    EXPECT_EQ(0, base.TurnCount);

    // Nothing to add: told by the result.
    TBaseData none;
    none.BaseBranches = {{1, 5, 6, 0, 0, -1, 0, 0}};
    EXPECT_EQ(-1, plan.AddBaseBranches(none));
    EXPECT_EQ(3, plan.Count());
}
