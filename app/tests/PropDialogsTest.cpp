// The picture chooser's state and its symbol preview.
#include "app/PropDialogs.h"

#include "document/Document.h"
#include "document/Render.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace arv::test {

namespace {

TSymbolRecord Symbol(const std::string& name) {
    TSymbolRecord r;
    r.name = name;
    r.count = 3;
    // A circle of radius 10 at (5, 5) filled blue, a line and an
    // unfilled rectangle, on the 40-unit design grid about its centre.
    r.prims[0].kind = 'c';
    r.prims[0].fields = {10, 1, 2, 1, 0};
    r.prims[0].points[2] = {5, 5};
    r.prims[1].kind = 'l';
    r.prims[1].points[0] = {-20, 0};
    r.prims[1].points[1] = {20, 0};
    r.prims[2].kind = 'r';
    r.prims[2].fields = {1, 0, 1, 0, 0};
    r.prims[2].points = {TPoint{-5, -5}, {5, -5}, {5, 5}, {-5, 5}};
    return r;
}

} // namespace

TEST(EnterPic, ListsFollowTheRadioButtonsAndRememberTheSymbol) {
    TGCollFigure doc;
    doc.symbols.Add(Symbol("door"));
    doc.symbols.Add(Symbol("fan"));
    doc.images.Add("pump", TBitmap32(1, 1));
    EnterPicLastIndex() = 1;
    TEnterPicState s;
    EnterPicFormCreate(s, doc);
    EXPECT_FALSE(s.SPicChecked);
    EXPECT_EQ((std::vector<std::string>{"door", "fan"}), s.SelList);
    EXPECT_EQ(1, s.ItemIndex);
    EXPECT_EQ("fan", EnterPicChosenName(s));
    // Pictures: the remembered index is past this list, nothing is chosen.
    EnterPicSPicClick(s, doc);
    EXPECT_EQ((std::vector<std::string>{"pump"}), s.SelList);
    EXPECT_EQ(-1, s.ItemIndex);
    EXPECT_EQ("", EnterPicChosenName(s));
    EnterPicSelListChange(s, 0);
    EXPECT_EQ(1, EnterPicLastIndex()); // only symbols are remembered
    EnterPicSUOClick(s, doc);
    EnterPicSelListChange(s, 0);
    EXPECT_EQ(0, EnterPicLastIndex());
    // An empty library chooses nothing.
    TGCollFigure empty;
    EnterPicFormCreate(s, empty);
    EXPECT_TRUE(s.SelList.empty());
    EXPECT_EQ(-1, s.ItemIndex);
    EnterPicLastIndex() = 0;
}

TEST(EnterPic, PreviewDrawsAboutTheCentreWithYUpwards) {
    TRecordingCanvas c;
    DrawSymbolPreview(c, Symbol("s"), 100, 80, 0xC0C0C0);
    ASSERT_EQ(4u, c.calls.size());
    EXPECT_EQ("FillRect", c.calls[0].op);
    // Circle: centre (5, 5) is (55, 35) on the preview, radius 10.
    EXPECT_EQ("Ellipse", c.calls[1].op);
    EXPECT_EQ((std::vector<int32_t>{45, 25, 65, 45}), c.calls[1].args);
    EXPECT_EQ(SymbolColors[2], c.calls[1].brush.colour);
    EXPECT_EQ(TBrushStyle::Solid, c.calls[1].brush.style);
    EXPECT_EQ(1, c.calls[1].pen.width);
    EXPECT_EQ(0, c.calls[1].pen.colour);
    EXPECT_EQ("LineTo", c.calls[2].op);
    EXPECT_EQ((std::vector<int32_t>{70, 40}), c.calls[2].args);
    EXPECT_EQ(30, c.calls[2].from.x);
    // Colour code 0: a clear brush in the button face.
    EXPECT_EQ("Polygon", c.calls[3].op);
    EXPECT_EQ(TBrushStyle::Clear, c.calls[3].brush.style);
    EXPECT_EQ(0xC0C0C0, c.calls[3].brush.colour);
}

TEST(FormAngle, DegreesWholeAndWithinACircle) {
    EXPECT_EQ(90, WholeDegrees(kPi / 2));
    EXPECT_EQ(270, WholeDegrees(-kPi / 2));
    EXPECT_EQ(0, WholeDegrees(2 * kPi));
    TFormAngleState s;
    s.MaskEditAngle = " 45 ";
    int d = 0;
    EXPECT_TRUE(ReadAngleDegrees(s, d));
    EXPECT_EQ(45, d);
    s.MaskEditAngle = "4 5";
    EXPECT_FALSE(ReadAngleDegrees(s, d));
}

} // namespace arv::test
