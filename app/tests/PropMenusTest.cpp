// The value menus of the caption cells and the dialogs behind them.
#include "app/tests/PropTestSupport.h"

#include "document/Constants.h"
#include "platform/NumberFormat.h"

#include <cmath>

namespace arv::test {

namespace {

TSymbolRecord Symbol(const std::string& name) {
    TSymbolRecord r;
    r.name = name;
    r.count = 1;
    r.prims[0].kind = 'c';
    r.prims[0].fields = {10, 1, 5, 1, 0};
    return r;
}

} // namespace

TEST_F(PropTest, MenusOfABranchShowTheCurrentState) {
    ThreeBranches();
    auto* b = w->Doc().BranchAt(0);
    b->style = 2;
    b->pointA = {10, 20};
    b->switchA = 0;
    b->marks[1].flag = 1;
    b->Caption(3).anchor = {5, 6};
    Select(0);
    EXPECT_EQ(
        (std::vector<std::string>{"По умолчанию", "Одинарная", "*Двойная", "Двойная с заливкой"}),
        MenuOf(kPropType));
    EXPECT_EQ((std::vector<std::string>{"Выводить?", "-", "Угол", "-", "x=10 : y=20"}),
              MenuOf(kPropName));
    EXPECT_EQ((std::vector<std::string>{"*Выводить?", "-", " Пожар", "*а Взрыв", "б Пожар-Взрыв",
                                        "в Выброс угля", "г Прорыв воды", "д Другое", "-",
                                        "Цвет,стиль", "-", "x= 5 : y=6"}),
              MenuOf(kPropPla));
    EXPECT_EQ((std::vector<std::string>{"*Узел", "Узел поверхности", "-", "Выноска", "-",
                                        "*Выводить?", "-", "x=100 : y=0"}),
              MenuOf(kPropEndNode));
    EXPECT_EQ(kPropBeginNode, w->PopMenu.Tag);
    // A line branch has no arrow angle; a polyline has.
    const TPoint arrow = b->Caption(5).anchor;
    EXPECT_EQ((std::vector<std::string>{"*Выводить?", "Свежая", "Исходящая", "*По умолчанию",
                                        Format("x=%d : y=%d", {arrow.x, arrow.y})}),
              MenuOf(kPropArrow));
    EXPECT_EQ(5u, MenuOf(kPropVisible).size());
    EXPECT_EQ((std::vector<std::string>{"Ветви"}), MenuOf(kPropLayer));

    // Position items do nothing.
    w->DrawingModified = false;
    Menu(kPropName, "x=10 : y=20");
    EXPECT_FALSE(w->DrawingModified);

    // "Замеры" runs the measuring-station command only while its button is
    // enabled, and opens no menu.
    int runs = 0;
    w->RunTBZamSt = [&] { ++runs; };
    EXPECT_TRUE(MenuOf(kPropMeasures).empty());
    w->TBZamStEnabled = true;
    EXPECT_TRUE(MenuOf(kPropMeasures).empty());
    EXPECT_EQ(1, runs);
}

TEST_F(PropTest, NodeMenuChangesTheNode) {
    ThreeBranches();
    Select(1);
    Menu(kPropEndNode, "Узел поверхности");
    const TNodeRecord& n = w->Doc().nodes.Record(w->Doc().BranchAt(1)->endIndex);
    EXPECT_EQ(1, n.kind);
    EXPECT_EQ(3, n.number);
    Menu(kPropEndNode, "Выноска");
    EXPECT_EQ(1, n.flag);
    Menu(kPropEndNode, "Выводить?");
    EXPECT_EQ(0, n.shown);
    EXPECT_TRUE(w->DrawingModified);
}

TEST_F(PropTest, TypeOfATextPictureOrShapeOpensNothing) {
    w->Doc().AddFigure(kKindText);
    w->Doc().AddFigure(kKindPicture);
    w->Doc().AddFigure(kKindEllipse);
    for (int i = 0; i < 3; ++i) {
        Select(i);
        EXPECT_TRUE(MenuOf(kPropType).empty()) << i;
    }
}

TEST_F(PropTest, TypeChoiceAndLayerChangeSetTheStyleAttributes) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    doc.layers.AddLayer();
    TLayerRecord& layer = doc.layers.Layer(1);
    layer.style = 2;
    layer.colour = 0x00FF00;
    layer.penWidth = 3;
    layer.width = 9;
    auto* b = doc.BranchAt(0);
    b->flagB = 1;
    DrawingGlobals().DefLineColor = 0x123456;
    DrawingGlobals().WidthDefault = 6;
    DrawingGlobals().SchemeViewFlags[0].penWidth = 2;
    Select(0);
    // On layer 0 with colours from the defaults: "Двойная с заливкой".
    Menu(kPropType, "Двойная с заливкой");
    EXPECT_EQ(3, b->style);
    EXPECT_EQ(0, b->pen.colour);
    EXPECT_EQ(0x123456, b->brush.colour);
    EXPECT_EQ(2, b->pen.width);
    EXPECT_EQ(0, b->brush.style);
    EXPECT_EQ(Ru("Двойная с заливкой"), Value(kPropType));
    // Without the colour-from-layer flag a type choice keeps the colours.
    b->flagB = 0;
    Menu(kPropType, "Одинарная");
    EXPECT_EQ(1, b->style);
    EXPECT_EQ(0, b->pen.colour);
    // A layer change takes the layer's attributes whatever the flag; style
    // 0 follows the layer's style byte.
    b->style = 0;
    Menu(kPropLayer, "Слой 1");
    EXPECT_EQ(1, b->layer);
    EXPECT_EQ(0x00FF00, b->pen.colour);
    EXPECT_EQ(0x00FF00, b->brush.colour);
    EXPECT_EQ(3, b->pen.width);
    EXPECT_EQ(1, b->brush.style);
    EXPECT_EQ(9, b->width);
    // Attributes go into the record of the scheme in force.
    EXPECT_EQ(0x00FF00, b->schemeAttrs[0].brush.colour);
}

TEST_F(PropTest, ColourDefaultAndThePenBrushDialog) {
    ThreeBranches();
    auto* b = w->Doc().BranchAt(0);
    DrawingGlobals().DefaultBranchStyle = 2;
    DrawingGlobals().DefLineColor = 0x0000FF;
    b->style = 0;
    b->flagB = 0;
    b->brush.style = 0;
    Select(0);
    // "По умолчанию" draws the default style: double, clear inside.
    Menu(kPropColour, "По умолчанию");
    EXPECT_EQ(1, b->flagB);
    EXPECT_EQ(1, b->brush.style);
    EXPECT_EQ(0x0000FF, b->brush.colour);
    EXPECT_EQ("clRed", Value(kPropColour));

    // The dialog opened on that figure shows the default style too.
    propDialogs.penBrush.push_back([](TPenBrushDlgState& s) {
        s.ComboTypeLine = -1; // nothing chosen
        s.PenColor = 0x00FF00;
        s.BrushColor = 0xFF0000;
        s.UpDownPenWidth = 4;
        s.UpDownLineWidth = 11;
        s.ComboPenStyle = 2;
        s.ComboBrushStyle = 6;
        return true;
    });
    Menu(kPropColour, "Изменить");
    ASSERT_EQ(1u, propDialogs.penBrushShown.size());
    const TPenBrushDlgState& shown = propDialogs.penBrushShown[0];
    EXPECT_EQ(1, shown.ComboTypeLine);
    EXPECT_EQ(0x0000FF, shown.PenColor);
    EXPECT_EQ(1, shown.ComboBrushStyle);
    EXPECT_EQ(0xFFFFFF, shown.PlaColor);
    // Nothing chosen keeps the style index.
    EXPECT_EQ(0, b->style);
    EXPECT_EQ(0, b->flagB);
    EXPECT_EQ(0, b->flagA);
    EXPECT_EQ(0x00FF00, b->pen.colour);
    EXPECT_EQ(0xFF0000, b->brush.colour);
    EXPECT_EQ(4, b->pen.width);
    EXPECT_EQ(11, b->width);
    EXPECT_EQ(2, b->pen.style);
    EXPECT_EQ(6, b->brush.style);

    // "Прозрачная" makes a filled line double and leaves a single one.
    TPenBrushDlgState s = PenBrushStateOf(w->Doc(), *b);
    s.ComboTypeLine = 2;
    s.ComboBrushStyle = 1;
    ApplyPenBrushState(s, *b);
    EXPECT_EQ(2, b->style);
    EXPECT_EQ(1, b->brush.style);
    b->brush.style = 0;
    s.ComboTypeLine = 0;
    ApplyPenBrushState(s, *b);
    EXPECT_EQ(1, b->style);
    EXPECT_EQ(0, b->brush.style);

    // Cancel changes nothing.
    const TViewAttrs before = b->CurrentViewAttrs();
    Menu(kPropColour, "Изменить");
    EXPECT_EQ(before, b->CurrentViewAttrs());

    // The PLA colour shows for a branch with a linked position.
    b->Caption(3).b = 2;
    b->Caption(3).colour = 0x00FFFF;
    EXPECT_EQ(0x00FFFF, PenBrushStateOf(w->Doc(), *b).PlaColor);
    EXPECT_EQ(0xFFFFFF, ColorLabelFontColor(0));
    EXPECT_EQ(0, ColorLabelFontColor(0x00FFFF));
}

TEST_F(PropTest, AccidentKindsAreKeptApartFromTheRingKind) {
    ThreeBranches();
    auto* a = w->Doc().BranchAt(0);
    auto* c = w->Doc().BranchAt(2);
    a->Caption(3).a = c->Caption(3).a = 4;
    a->Caption(3).flag = 1; // ring kind of the PLA marker
    Select(0);
    Menu(kPropPla, "в Выброс угля");
    EXPECT_EQ(1, a->marks[3].flag);
    EXPECT_EQ(3, AccidentIndexOf(*a));
    EXPECT_EQ(1, a->Caption(3).flag);
    // The other branch of the position follows.
    EXPECT_EQ(1, c->marks[3].flag);
    EXPECT_EQ(3, AccidentIndexOf(*c));
    EXPECT_EQ(0, w->Doc().BranchAt(1)->marks[3].flag);
    Menu(kPropPla, "а Взрыв");
    EXPECT_EQ(1, AccidentIndexOf(*a));
    Menu(kPropPla, "а Взрыв");
    Menu(kPropPla, "в Выброс угля");
    EXPECT_EQ(0, AccidentIndexOf(*a));
    EXPECT_EQ(1, a->Caption(3).flag);

    propDialogs.colours.push_back([](int32_t& colour) {
        EXPECT_EQ(0, colour);
        colour = 0x00FF00;
        return true;
    });
    Menu(kPropPla, "Цвет,стиль");
    EXPECT_EQ(0x00FF00, a->Caption(3).colour);
    EXPECT_EQ(0x00FF00, c->Caption(3).colour);
}

TEST_F(PropTest, ArrowColoursAndTheAngleOfAReversedPolyline) {
    auto* p = static_cast<TGPolyLine*>(w->Doc().AddFigure(kKindPolyLine));
    TBranchSetup s;
    s.beginNode = 1;
    s.endNode = 2;
    s.number = 5;
    p->EditVertex({0, 0}, {100, 0}, s);
    p->EditVertex({100, 0}, {100, 100}, s);
    Select(0);
    Menu(kPropArrow, "Свежая");
    EXPECT_EQ(255, p->Caption(5).colour);
    Menu(kPropArrow, "Исходящая");
    EXPECT_EQ(16711680, p->Caption(5).colour);
    // Clicking a checked colour takes its mark away and keeps the colour.
    Menu(kPropArrow, "Исходящая");
    EXPECT_EQ(16711680, p->Caption(5).colour);

    //  (0,0) ---- (100,0)
    //                |
    //             (100,100) end: the last segment points up, 90 degrees.
    p->flowReversed = 1;
    p->Caption(5).angle = kPi / 2;
    propDialogs.angles.push_back([](TFormAngleState& a) {
        a.MaskEditAngle = "10";
        return true;
    });
    Menu(kPropArrow, "Угол");
    ASSERT_EQ(1u, propDialogs.anglesShown.size());
    EXPECT_EQ("270", propDialogs.anglesShown[0].MaskEditAngle);
    EXPECT_EQ(Ru("Параллельно: 270"), propDialogs.anglesShown[0].STParallel);
    EXPECT_TRUE(propDialogs.anglesShown[0].AutoSelect);
    EXPECT_NEAR(190 * kPi / 180, p->Caption(5).angle, 1e-12);
    EXPECT_EQ(0, p->showFlag);
}

TEST_F(PropTest, AnglesOfTextsAndLabels) {
    ThreeBranches();
    auto* text = static_cast<TGText*>(w->Doc().AddFigure(kKindText));
    Select(3);
    for (auto [typed, kept] : {std::pair{"120", 90}, {"-100", -90}, {"45", 45}}) {
        propDialogs.angles.push_back([typed = std::string(typed)](TFormAngleState& a) {
            a.MaskEditAngle = typed;
            return true;
        });
        Menu(kPropText, "Угол");
        EXPECT_EQ(kept, text->angle) << typed;
    }
    // A text's angle is shown as it is kept, not turned into 0..359.
    EXPECT_EQ("-90", propDialogs.anglesShown.back().MaskEditAngle);
    // A text that is no number changes nothing.
    propDialogs.angles.push_back([](TFormAngleState& a) {
        a.MaskEditAngle = "abc";
        return true;
    });
    messages.Expect(mrOk, "Недопустимое значение");
    Menu(kPropText, "Угол");
    EXPECT_EQ(45, text->angle);

    // The name label of branch 3, (200,0) to (300,50): parallel 27 degrees.
    auto* b = w->Doc().BranchAt(2);
    Select(2);
    propDialogs.angles.push_back([](TFormAngleState& a) {
        a.MaskEditAngle = "-30";
        return true;
    });
    Menu(kPropName, "Угол");
    EXPECT_EQ(Ru("Параллельно: 27"), propDialogs.anglesShown.back().STParallel);
    EXPECT_NEAR(-30 * kPi / 180, b->labelAngle, 1e-12);
    // Cancel keeps it.
    Menu(kPropName, "Угол");
    EXPECT_NEAR(-30 * kPi / 180, b->labelAngle, 1e-12);
}

TEST_F(PropTest, PictureAndSymbolSizesAndKinds) {
    TGCollFigure& doc = w->Doc();
    doc.settings.symbolSize = 44;
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    Select(0);
    EXPECT_EQ((std::vector<std::string>{"*По умолчанию"}), MenuOf(kPropPictureSize));
    // Unchecking keeps the size shown; checking again takes the symbol size.
    Menu(kPropPictureSize, "По умолчанию");
    EXPECT_EQ(1, pic->ownSizeFlag);
    EXPECT_EQ("44", Value(kPropPictureSize));
    Type(kPropPictureSize, "70");
    EXPECT_EQ("70", Value(kPropPictureSize));
    Menu(kPropPictureSize, "По умолчанию");
    EXPECT_EQ(0, pic->ownSizeFlag);
    EXPECT_EQ(44, pic->ownSize);
    Menu(kPropPictureDevice, "Датчик");
    EXPECT_EQ(6, DeviceKindOf(*pic));
    Menu(kPropPictureName, "Выводить?");
    EXPECT_EQ(1, pic->captionHidden);
    Menu(kPropPictureName, "Снизу");
    EXPECT_EQ(3, pic->captionPosition);

    auto* sym = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    Select(1);
    Menu(kPropSymbolDevice, "ВГП");
    EXPECT_EQ(1, DeviceKindOf(*sym));
    EXPECT_EQ(Ru("ВГП"), Value(kPropSymbolDevice));
    Menu(kPropSymbolName, "Слева");
    EXPECT_EQ(1, sym->captionPosition);
}

TEST_F(PropTest, FontPhotoAndLibraryChoices) {
    TGCollFigure& doc = w->Doc();
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    Select(0);
    propDialogs.fonts.push_back([](TFontRecord& f) {
        f.size = 12;
        f.name = std::string(40, 'F');
        return true;
    });
    w->GridPropFixedCellClick(0, RowOf(kPropFont));
    EXPECT_EQ(31u, text->font.name.size());
    EXPECT_EQ(42, text->fontHeight);
    EXPECT_EQ(Ru("12пт,") + std::string(31, 'F'), Value(kPropFont));
    EXPECT_TRUE(w->DrawingModified);

    // The photo: a chosen file's name without its folder; Cancel keeps it.
    dialogs.Answer(File("photos/shaft.jpg"));
    w->GridPropFixedCellClick(0, RowOf(kPropPhoto));
    EXPECT_EQ("shaft.jpg", text->image);
    EXPECT_EQ(Ru("Графические файлы|*.bmp; *.jpg"), dialogs.Requests().back().filter);
    dialogs.Answer(std::nullopt);
    w->GridPropFixedCellClick(0, RowOf(kPropPhoto));
    EXPECT_EQ("shaft.jpg", text->image);
    EXPECT_EQ("shaft.jpg", Value(kPropPhoto));

    // The picture chooser on a picture: pictures only, its bitmap chosen.
    doc.images.Add("fan", TBitmap32(2, 2, 0xFF0000FFu));
    doc.images.Add("pump", TBitmap32(2, 2, 0xFF00FF00u));
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", 0, 0, 40, 40, {0, 0});
    Select(1);
    propDialogs.pictures.push_back([](TEnterPicState& s) {
        EnterPicSelListChange(s, 1);
        return true;
    });
    w->GridPropFixedCellClick(0, RowOf(kPropBitmap));
    ASSERT_EQ(1u, propDialogs.picturesShown.size());
    EXPECT_TRUE(propDialogs.picturesShown[0].SPicChecked);
    EXPECT_FALSE(propDialogs.picturesShown[0].SUOEnabled);
    EXPECT_EQ(0, propDialogs.picturesShown[0].ItemIndex);
    EXPECT_EQ(1, pic->imageIndex);
    EXPECT_EQ("pump", pic->imageName);

    // The symbol chooser on a legend symbol.
    doc.symbols.Add(Symbol("door"));
    doc.symbols.Add(Symbol("fan"));
    auto* sym = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    sym->symbolIndex = 0;
    Select(2);
    propDialogs.pictures.push_back([](TEnterPicState& s) {
        EnterPicSelListChange(s, 1);
        return true;
    });
    w->GridPropFixedCellClick(0, RowOf(kPropSymbolIcon));
    EXPECT_FALSE(propDialogs.picturesShown[1].SPicChecked);
    EXPECT_FALSE(propDialogs.picturesShown[1].SPicEnabled);
    EXPECT_EQ(1, sym->symbolIndex);
    EXPECT_EQ("fan", Value(kPropSymbolIcon));
    // Cancel leaves it.
    w->GridPropFixedCellClick(0, RowOf(kPropSymbolIcon));
    EXPECT_EQ(1, sym->symbolIndex);
}

TEST_F(PropTest, GroupToolCopiesToTheSelectedFigures) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    w->DrawMode = 25;
    doc.groupList = {{1, kKindLine, 0, 0}, {3, kKindText, 0, 0}, {0, kKindNodeBlock, 0, 0}};
    Select(0);
    // Branch switches go to branches only.
    Menu(kPropName, "Выводить?");
    EXPECT_EQ(0, doc.BranchAt(0)->switchA);
    EXPECT_EQ(0, doc.BranchAt(1)->switchA);
    EXPECT_EQ(1, doc.BranchAt(2)->switchA);
    // Visibility goes to every selected figure.
    Menu(kPropVisible, "Схема ПЛА ");
    EXPECT_EQ(0, doc.BranchAt(1)->schemeVisible[2]);
    EXPECT_EQ(0, text->schemeVisible[2]);
    EXPECT_EQ(1, doc.BranchAt(2)->schemeVisible[2]);
    // A typed PLA position goes to the selected branches.
    Type(kPropPla, "9");
    EXPECT_EQ(9, doc.BranchAt(1)->Caption(3).a);
    EXPECT_EQ(-1, doc.BranchAt(2)->Caption(3).a);
    // A typed width too, with the flag.
    Type(kPropWidth, "13");
    EXPECT_EQ(13, doc.BranchAt(1)->width);
    EXPECT_EQ(0, doc.BranchAt(1)->flagA);
    // Outside the group tool nothing is copied.
    w->DrawMode = 1;
    Menu(kPropCalcData, "Выводить?");
    EXPECT_EQ(0, doc.BranchAt(0)->callout.shown);
    EXPECT_EQ(1, doc.BranchAt(1)->callout.shown);
}

TEST_F(PropTest, PictureToolKeepsTheChoiceOrGoesBackToSelect) {
    TGCollFigure& doc = w->Doc();
    doc.symbols.Add(Symbol("door"));
    doc.symbols.Add(Symbol("fan"));
    EnterPicLastIndex() = 1;
    propDialogs.pictures.push_back([](TEnterPicState& s) {
        EXPECT_EQ(1, s.ItemIndex);
        return true;
    });
    w->BPicClick();
    EXPECT_EQ(6, w->DrawMode);
    EXPECT_EQ("BPic", w->ToolButtonDown);
    EXPECT_EQ("fan", w->PicChosenName);
    EXPECT_EQ(1, w->PicChosenIndex);
    EXPECT_TRUE(w->PicChosenSymbol);

    // Cancelled in the middle of a line: the line tool ends as any other
    // tool choice ends it, and the select tool is chosen as Esc chooses it.
    w->ALineExecute();
    w->PaintBox1MouseDown(TMouseButton::Left, {}, 10, 10);
    ASSERT_TRUE(w->Edit.LineRubberActive);
    w->BPicClick();
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ(1, WindowState().DrawMode);
    EXPECT_EQ("BSelect", w->ToolButtonDown);
    EXPECT_EQ(TPlanCursor::Arrow, w->PlanCursor);
    EXPECT_FALSE(w->Edit.LineRubberActive);
    EnterPicLastIndex() = 0;
}

} // namespace arv::test
