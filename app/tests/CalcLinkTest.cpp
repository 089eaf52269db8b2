// The link between the plan and the network tables: the indexes, the link
// positions of the branches, the bracketed labels and the drawing built from
// imported tables.
#include "DrawWinTestSupport.h"

#include "calc/files/SchemeImport.h"
#include "platform/RecordingCanvas.h"

using namespace arv;
using namespace arv::test;

namespace {

// The texts a label call wrote, in order.
std::vector<std::string> Texts(const TRecordingCanvas& c) {
    std::vector<std::string> out;
    for (const TCanvasCall* call : c.Calls("TextOut")) out.push_back(call->text);
    return out;
}

struct CalcLinkTest : DrawWinTest {
    CalcLinkTest() {
        t.InitTables();
        w->SetCalcGrids(&t.TablDan, &t.TablDavl);
    }
    void Row(int r, const std::vector<std::string>& cells) {
        if (t.TablDan.RowCount() <= r) t.TablDan.SetRowCount(r + 1);
        for (size_t c = 0; c < cells.size(); ++c) t.TablDan.SetCells(int(c), r, cells[c]);
    }
    void NodeRow(int r, const std::string& number, const std::string& pressure) {
        if (t.TablDavl.RowCount() <= r) t.TablDavl.SetRowCount(r + 1);
        t.TablDavl.SetCells(0, r, number);
        t.TablDavl.SetCells(1, r, pressure);
    }
};

} // namespace

// Rows the index must take, skip, drop or mark: the branch index keeps the
// row of the grid, so a label reads that row wherever the row stands.
TEST_F(CalcLinkTest, IndexesFollowTheRowsOfTheTables) {
    Row(2, {" 5 ", "1", "2"});
    Row(3, {""});                    // empty: skipped
    Row(4, {Ru("ветви"), "x", "y"}); // a heading: skipped
    Row(5, {"5a", "1", "2"});        // not a number: marked, counted, row 0
    Row(6, {"6", "", "3"});          // no start node: dropped
    Row(7, {"7", "q", "4"});         // start node not a number: 0
    NodeRow(2, "1", " 12,5 ");
    NodeRow(3, Ru("№"), "");
    NodeRow(4, Ru("узла"), "");
    NodeRow(5, "x", "1");
    NodeRow(6, "4", "");
    w->IndexCalcDataGrids();
    const auto& index = w->BranchIndex();
    ASSERT_EQ(3, w->BranchIndexCount());
    EXPECT_EQ(5, index[0].number);
    EXPECT_EQ(2, index[0].row);
    EXPECT_EQ(0x0FFFFFFF, index[1].number);
    EXPECT_EQ(0, index[1].row);
    EXPECT_EQ(7, index[2].number);
    EXPECT_EQ(0, index[2].beginNode);
    EXPECT_EQ(4, index[2].endNode);
    EXPECT_EQ(7, index[2].row);
    ASSERT_EQ(2, w->NodeIndexCount());
    EXPECT_EQ(1, w->NodeIndex[0].Number);
    EXPECT_EQ("12,5", w->NodeIndex[0].PressureText);
    EXPECT_EQ(6, w->NodeIndex[1].Row);

    // An unset grid keeps its index.
    w->SetCalcGrids(nullptr, nullptr);
    w->IndexCalcDataGrids();
    EXPECT_EQ(3, w->BranchIndexCount());
    EXPECT_EQ(2, w->NodeIndexCount());

    EXPECT_EQ(-1, w->FindBranchIndexEntry(0, -5));
    EXPECT_EQ(2, w->FindBranchIndexEntry(2, 7));
    EXPECT_EQ(0, w->FindBranchIndexEntry(0, 5)); // hint 0 is not taken, found anyway
    EXPECT_EQ(2, w->FindBranchIndexEntry(1, 7)); // wrong hint: searched
    EXPECT_EQ(-1, w->FindBranchIndexEntry(9, 99));
}

// Link positions: the last record of a number wins; the reversed mark reads
// the flow of the last calculation kind; node positions follow the node
// index and are -1 for a node the table lacks.
TEST_F(CalcLinkTest, LinkSetsPositionsAndReversedMarks) {
    ThreeBranches();
    Row(2, {"1", "1", "2", "", "", "", "", "", "", "", "", "-3,2", "4,0"});
    Row(3, {"2", "2", "3", "", "", "", "", "", "", "", "", "5,0", "-1,0"});
    Row(4, {"2", "2", "3", "", "", "", "", "", "", "", "", "6,0", "-1,0"});
    NodeRow(2, "1", "10");
    NodeRow(3, "2", "20");
    NodeRow(4, "3", "30");
    TGBranch* b1 = w->Doc().BranchAt(0);
    TGBranch* b2 = w->Doc().BranchAt(1);
    TGBranch* b3 = w->Doc().BranchAt(2);
    b1->Caption(3).a = 4;
    b3->beginNodeLink = 7; // stale
    b3->Caption(5).b = 1;  // stale
    w->IndexCalcDataGrids();
    w->LinkBranchesToCalcData();
    EXPECT_EQ(0, b1->Caption(1).b);
    EXPECT_EQ(1, b1->flowReversed);
    EXPECT_EQ(4, b1->Caption(3).b);
    EXPECT_EQ(2, b2->Caption(1).b); // the later of the two rows of branch 2
    EXPECT_EQ(2, b2->Caption(5).b); // the arrow's value
    EXPECT_EQ(0, b2->flowReversed);
    EXPECT_EQ(1, b2->beginNodeLink);
    EXPECT_EQ(2, b2->endNodeLink);
    EXPECT_EQ(2, b3->beginNodeLink);
    EXPECT_EQ(-1, b3->endNodeLink);  // node 4 is not in the table
    EXPECT_EQ(-1, b3->Caption(5).b); // branch 3 is not in the table: no arrow

    // After a fire or a device failure the arrows go with the emergency
    // flows, which the labels show.
    for (char kind : {'P', 'U'}) {
        calc.CalcOptions[2] = kind;
        w->LinkBranchesToCalcData();
        EXPECT_EQ(0, b1->flowReversed) << kind;
        EXPECT_EQ(1, b2->flowReversed) << kind;
    }

    // One branch after a property edit, by the display switches.
    b2->beginNodeLink = b2->endNodeLink = 9;
    b2->Caption(1).b = 9;
    w->Doc().display.caption[4] = 1;
    w->LinkOneBranch(*b2);
    EXPECT_EQ(1, b2->beginNodeLink);
    EXPECT_EQ(9, b2->Caption(1).b);
    w->Doc().display.caption[1] = 1;
    w->LinkOneBranch(*b2);
    EXPECT_EQ(2, b2->Caption(1).b);
    // With arrows shown a number the table lacks takes the arrow away.
    w->Doc().display.caption[5] = 1;
    b2->number = 7;
    w->LinkOneBranch(*b2);
    EXPECT_EQ(-1, b2->Caption(5).b);
}

// Label texts by kind and calculation kind. The index record at position 0
// holds grid row 6, below other rows: the label reads row 6.
TEST_F(CalcLinkTest, LabelsReadTheIndexedRow) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    doc.settings.fonts[3].colour = 0x123456;
    Row(6, {"2", "2", "3", "", "", "", "", "", "", "", "", "7,5", "-2,5"});
    Row(2, {""});
    NodeRow(2, "3", "-41,20");
    w->IndexCalcDataGrids();
    ASSERT_EQ(1, w->BranchIndexCount());
    doc.current = 1;
    auto label = [&](int32_t number, int32_t kind, int32_t position, bool& result) {
        TRecordingCanvas c;
        result = w->GetFigureLabel(c, number, kind, position, &LabelTextOut, doc);
        return c;
    };
    bool result = true;
    for (char kind : {'E', 'O', 'I'}) {
        calc.CalcOptions[2] = kind;
        TRecordingCanvas c = label(2, 1, 0, result);
        EXPECT_FALSE(result);
        ASSERT_EQ(std::vector<std::string>{"[7,5]"}, Texts(c)) << kind;
        EXPECT_EQ(0x123456, c.Calls("TextOut")[0]->font.colour);
    }
    EXPECT_EQ(TRecordingCanvas().TextExtent("[7,5]").cx, doc.BranchAt(1)->Caption(1).size.cx);
    for (char kind : {'P', 'U'}) {
        calc.CalcOptions[2] = kind;
        TRecordingCanvas c = label(2, 1, 0, result);
        ASSERT_EQ(std::vector<std::string>{"[-2,5]"}, Texts(c)) << kind;
        EXPECT_EQ(0, c.Calls("TextOut")[0]->font.colour);
    }
    calc.CalcOptions[2] = 'T';
    EXPECT_TRUE(Texts(label(2, 1, 0, result)).empty());
    EXPECT_FALSE(result);
    calc.CalcOptions[2] = 'E';
    EXPECT_TRUE(Texts(label(3, 1, 0, result)).empty()); // the record is another branch's
    EXPECT_FALSE(result);
    label(2, 1, 1, result);
    EXPECT_TRUE(result); // past the index
    label(-2, 1, 0, result);
    EXPECT_TRUE(result);

    // Node pressure in red; out of the node index nothing.
    TRecordingCanvas node = label(3, 4, 0, result);
    ASSERT_EQ(std::vector<std::string>{"[-41,20]"}, Texts(node));
    EXPECT_EQ(0x0000FF, node.Calls("TextOut")[0]->font.colour);
    EXPECT_FALSE(result);
    EXPECT_TRUE(Texts(label(3, 4, 1, result)).empty());
    EXPECT_TRUE(Texts(label(3, 4, -1, result)).empty());

    // The sample kind draws nothing, in range or not; kind 3 nothing.
    EXPECT_TRUE(Texts(label(2, 5, 0, result)).empty());
    EXPECT_FALSE(result);
    label(2, 5, 4, result);
    EXPECT_TRUE(result);
    EXPECT_TRUE(Texts(label(2, 3, 0, result)).empty());
    EXPECT_FALSE(result);
}

// The drawing from imported tables: the view is centred on the branches and
// fitted with 10 units of margin; the hit tolerance never falls below 5.
//   1 (1000, 1000) --(4)--> 2 (1380, 1000) --(5)--> 3 (1380, 1280)
TEST_F(CalcLinkTest, SchemeFromBaseIsCentredOnWhatItBuilt) {
    TGCollFigure& doc = w->Doc();
    doc.centre = {-7000, -7000};
    TBaseData& base = BaseData();
    base.Clear();
    base.BaseNodes = {{1, 1000, 1000, 1}, {2, 1380, 1000, 0}, {3, 1380, 1280, 0}};
    TBaseBranch a{}, b{};
    a[kBaseTurnIndex] = b[kBaseTurnIndex] = -1;
    a[kBaseNumber] = 4;
    a[kBaseBeginNode] = 1;
    a[kBaseEndNode] = 2;
    b[kBaseNumber] = 5;
    b[kBaseBeginNode] = 2;
    b[kBaseEndNode] = 3;
    base.BaseBranches = {a, b};
    base.BaseBranchNames = {"a", "b"};
    w->BuildSchemeFromBase();
    ASSERT_EQ(2, doc.Count());
    // Built at width 2, then the PLA scheme's record (width 10) is applied
    // as the build switches to that scheme.
    EXPECT_EQ(10, DrawingGlobals().WidthDefault);
    // The extent widened by 10 on each side fits 800 x 600 pixels: a scale
    // near 2, whose tolerance round(2.5) is below 5.
    const TRect e = doc.GetExtent();
    EXPECT_DOUBLE_EQ(std::min(800.0 / (e.right - e.left + 20), 600.0 / (e.top - e.bottom + 20)),
                     doc.scale);
    EXPECT_NEAR(2.0, doc.scale, 0.05);
    EXPECT_EQ(5, doc.hitTolerance);
    EXPECT_EQ((TPoint{HalfSum(e.left, e.right), HalfSum(e.top, e.bottom)}), doc.centre);
    EXPECT_LT(doc.viewRect.left, 1000);
    EXPECT_GT(doc.viewRect.right, 1380);
    EXPECT_TRUE(w->DrawingModified);

    // Nothing to build: the error box, and the drawing stays.
    base.Clear();
    messages.Expect(mrOk, "Ошибка загрузки документа");
    w->BuildSchemeFromBase();
    EXPECT_EQ(2, doc.Count());
}

// The drawing's node-pressure labels show the pressures of the branch's
// nodes, whatever measuring station the branch carries.
TEST_F(CalcLinkTest, PressureLabelsShowTheBranchsNodes) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    NodeRow(2, "3", "30,5");
    NodeRow(3, "2", "20,5");
    TGBranch* b2 = doc.BranchAt(1);
    b2->Caption(4).a = 12; // measuring station
    w->IndexCalcDataGrids();
    w->LinkBranchesToCalcData();
    for (TGBranch* b : {doc.BranchAt(0), doc.BranchAt(2)}) b->Caption(4).shown = 0;
    doc.display.caption = {};
    doc.display.caption[4] = 1;
    doc.display.nodeNumbers = 0;
    doc.UpdateViewSize(800, 600);
    doc.BuildVisibleList();
    TRecordingCanvas c;
    doc.DrawBracketLabels(c, false);
    EXPECT_EQ((std::vector<std::string>{"[20,5]", "[30,5]"}), Texts(c));
}
