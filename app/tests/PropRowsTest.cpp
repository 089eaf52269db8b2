// The rows the inspector shows for each kind of figure, and the branch
// status beside them.
#include "app/tests/PropTestSupport.h"

#include "document/ColorNames.h"
#include "document/Constants.h"
#include "platform/NumberFormat.h"

namespace arv::test {

namespace {

std::vector<std::string> Utf8(const std::vector<std::string>& cp1251, int from, int to) {
    std::vector<std::string> out;
    for (int r = from; r < to; ++r) out.push_back(Cp1251ToUtf8(cp1251[static_cast<size_t>(r)]));
    return out;
}

// Branch table rows in the order the index does not follow: branch 2 in
// grid row 2, branch 1 in grid row 4, a stray heading row between.
void FillTable(TNetworkTables& t) {
    t.TablDan.SetRowCount(5);
    const char* rows[3][3] = {{"2", " 2", "3"}, {"", "", ""}, {"1", "1", " 2"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.TablDan.SetCells(c, r + 2, rows[r][c]);
    t.TablDan.SetCells(15, 2, Ru("Ствол"));
    t.TablDan.SetCells(15, 4, Ru("Штрек"));
}

} // namespace

TEST(PropRowMapping, RowsAndIdentifiersMapBothWaysPerKind) {
    // A legend symbol: 1, 19, 29, 18, 30, 31, 17, 33, 34, 35, 36.
    EXPECT_EQ(19, MapPropertyRow(kKindSymbol, 2, true));
    EXPECT_EQ(4, MapPropertyRow(kKindSymbol, 18, false));
    EXPECT_EQ(11, MapPropertyRow(kKindSymbol, 36, false));
    // Outside the list, and with nothing selected, values map to themselves.
    EXPECT_EQ(12, MapPropertyRow(kKindSymbol, 12, true));
    EXPECT_EQ(2, MapPropertyRow(kKindSymbol, 2, false));
    EXPECT_EQ(7, MapPropertyRow(0, 7, true));
    EXPECT_EQ(14, MapPropertyRow(kKindLine, 32, false));
    EXPECT_EQ(7, MapPropertyRow(kKindArc, 36, false));
    EXPECT_EQ(18, PropertyRowCount(kKindPolyLine));
    EXPECT_EQ(8, PropertyRowCount(kKindText));
    EXPECT_EQ(12, PropertyRowCount(kKindPicture));
    EXPECT_EQ(8, PropertyRowCount(kKindEllipse));
}

TEST(PropColourText, NamedColoursByNameOthersAsHex) {
    EXPECT_EQ("clRed", ColorToString(0x0000FF));
    EXPECT_EQ("clGray", ColorToString(0x808080));
    EXPECT_EQ("clSilver", ColorToString(0xC0C0C0));
    EXPECT_EQ("$00123456", ColorToString(0x123456));
    EXPECT_EQ("clBtnFace", ColorToString(static_cast<int32_t>(0x8000000F)));
    int32_t back = 0;
    ASSERT_TRUE(TryStringToColor(ColorToString(0x00ABCDEF), back));
    EXPECT_EQ(0x00ABCDEF, back);
}

TEST_F(PropTest, NothingSelectedLeavesOneEmptyDisabledRow) {
    w->ShowProperties(true);
    EXPECT_EQ(2, w->GridProp.RowCount);
    EXPECT_FALSE(w->GridProp.Enabled);
    EXPECT_EQ("", w->PropCaptions[1]);
    EXPECT_EQ("", w->PropValues[1]);
    EXPECT_EQ(Ru("Свойство"), w->PropCaptions[0]);
    EXPECT_FALSE(w->DatagridEnabled);
    EXPECT_FALSE(w->MRotateBrEnabled);
}

TEST_F(PropTest, BranchRowsInOrderWithTheirValues) {
    ThreeBranches();
    auto* b = w->Doc().BranchAt(1);
    b->style = 2;
    b->name = Ru("Ствол");
    b->flagA = 0;
    b->width = 7;
    b->brush.colour = 0x0000FF;
    b->box = {100, 20, 200, -20};
    b->Caption(3).a = 5;
    b->Caption(4).a = 41;
    b->image = "foto.jpg";
    DrawingGlobals().SchemeKind = 1;
    b->schemeVisible[1] = 0;
    Select(1);

    EXPECT_EQ(18, w->GridProp.RowCount);
    EXPECT_TRUE(w->GridProp.Enabled);
    EXPECT_TRUE(w->GridProp.GoEditing);
    EXPECT_EQ((std::vector<std::string>{"Тип", "Название", "Ветвь", "Нач. узел", "Кон. узел",
                                        "Ширина", "Цвет,стиль", "Координаты", "Расходы",
                                        "Позиция ПЛА", "Номер зам. ст.", "Замеры", "Стрелка",
                                        "Расч. данные", "Изображение", "Видимость", "Слой"}),
              Utf8(w->PropCaptions, 1, 18));
    EXPECT_EQ((std::vector<std::string>{"Двойная", "Ствол", "2", "2", "3", "7", "clRed",
                                        "[100,20],[200,-20]", "", "5", "41", "", "", "", "foto.jpg",
                                        "Нет", "Ветви"}),
              Utf8(w->PropValues, 1, 18));
    EXPECT_EQ(Ru("Ствол (Ветвь 2 Нач.узел 2 Кон.узел 3)"), w->NameStat);
    EXPECT_EQ(2, w->CurrentBranchNumber);
    EXPECT_EQ(5, w->CurrentBranchPlaPosition);
    EXPECT_TRUE(w->MResteNBrEnabled && w->MResetNENdEnabled && w->MRotateBrEnabled &&
                w->MResetBranchEnabled);

    // The default-width flag shows the drawing's default width.
    b->flagA = 1;
    DrawingGlobals().WidthDefault = 4;
    // A layer index past the list names no layer.
    b->layer = 3;
    Select(1);
    EXPECT_EQ("4", Value(kPropWidth));
    EXPECT_EQ(Ru("Не определен"), Value(kPropLayer));
}

TEST_F(PropTest, TextPictureSymbolAndShapeRows) {
    TGCollFigure& doc = w->Doc();
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    text->content = Ru("Уклон");
    text->font.size = 12;
    text->font.name = "Arial";
    text->box = {1, 2, 3, 4};
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->text = Ru("Вентилятор");
    pic->value1 = 17;
    pic->angleDegrees = 45;
    pic->value2 = 2;
    pic->imageIndex = 3;
    pic->extra = 12;
    doc.settings.symbolSize = 55;
    auto* sym = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    sym->text = "UO";
    sym->value0 = 8;
    sym->angleDegrees = 90;
    sym->ownSizeFlag = 1;
    sym->ownSize = 30;
    sym->value1 = 4;
    sym->placed.name = "door";
    sym->layer = -1;
    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->width = 3;
    rect->brush.colour = 0x00FF00;
    rect->flagA = 0;
    rect->flagB = 0;

    Select(0);
    EXPECT_EQ(8, w->GridProp.RowCount);
    EXPECT_EQ((std::vector<std::string>{"Тип", "Текст", "Шрифт", "Координаты", "Изображение",
                                        "Видимость", "Слой"}),
              Utf8(w->PropCaptions, 1, 8));
    EXPECT_EQ((std::vector<std::string>{"Надпись", "Уклон", "12пт,Arial", "[1,2],[3,4]", "", "Да",
                                        "Ветви"}),
              Utf8(w->PropValues, 1, 8));
    EXPECT_FALSE(w->DatagridEnabled);

    Select(1);
    EXPECT_EQ(12, w->GridProp.RowCount);
    EXPECT_EQ(
        (std::vector<std::string>{"Тип", "Название", "Номер", "Угол", "Размер", "Вид вент. устр-ва",
                                  "Иконка", "Изображение", "Видимость", "Слой", "Ветвь"}),
        Utf8(w->PropCaptions, 1, 12));
    // Without its own size a picture shows the drawing's symbol size.
    EXPECT_EQ((std::vector<std::string>{"Картинка", "Вентилятор", "17", "45", "55", "ВМП", "3", "",
                                        "Да", "Ветви", "12"}),
              Utf8(w->PropValues, 1, 12));
    // The bitmap number is not drawn.
    EXPECT_EQ("", w->GridPropCellText(1, RowOf(kPropBitmap)));
    EXPECT_EQ(Ru("Иконка"), w->GridPropCellText(0, RowOf(kPropBitmap)));

    Select(2);
    EXPECT_EQ((std::vector<std::string>{"Тип", "Название", "Номер", "Угол", "Размер", "Тип УО",
                                        "Иконка", "Изображение", "Видимость", "Слой", "Ветвь"}),
              Utf8(w->PropCaptions, 1, 12));
    EXPECT_EQ((std::vector<std::string>{"Условное обозначение", "UO", "8", "90", "30", "Перемычка",
                                        "door", "", "Да", "Не определен", "0"}),
              Utf8(w->PropValues, 1, 12));

    Select(3);
    EXPECT_EQ(8, w->GridProp.RowCount);
    EXPECT_EQ((std::vector<std::string>{"Тип", "Ширина", "Цвет,стиль", "Изображение", "Видимость",
                                        "Слой", "Ветвь"}),
              Utf8(w->PropCaptions, 1, 8));
    EXPECT_EQ("3", Value(kPropWidth));
    EXPECT_EQ("clLime", Value(kPropColour));
    EXPECT_EQ(Ru("Прямоугольник"), Value(kPropType));
    EXPECT_FALSE(w->MRotateBrEnabled);
    // Colour from the layer.
    doc.layers.AddLayer();
    doc.layers.Layer(1).colour = 0xFF0000;
    rect->layer = 1;
    rect->flagB = 1;
    Select(3);
    EXPECT_EQ("clBlue", Value(kPropColour));
}

TEST_F(PropTest, AnArcEnablesTheBranchCommandsAndTheDataTab) {
    auto* arc = static_cast<TGArc*>(w->Doc().AddFigure(kKindArc));
    arc->SetPoints({0, 0}, {10, 10}, {0, 10});
    Select(0);
    EXPECT_TRUE(w->DatagridEnabled);
    EXPECT_TRUE(w->MResteNBrEnabled);
    EXPECT_EQ(Ru("Дуга"), Value(kPropType));
    EXPECT_EQ(8, w->GridProp.RowCount);
}

TEST_F(PropTest, BranchStatusNamesTheFirstMissingItem) {
    AddBranch({0, 0}, {100, 0}, -3, -1, -2);
    AddBranch({100, 0}, {200, 0}, 7, -1, 4);
    AddBranch({200, 0}, {300, 0}, 8, 4, -5);
    AddBranch({0, 500}, {100, 500}, 9, 5, 6);
    Select(0);
    EXPECT_EQ(Ru("Ветвь:не заданы!!!"), w->StatusPanels[2]);
    EXPECT_FALSE(w->FromExtEnabled);
    Select(1);
    EXPECT_EQ(Ru("Узел1:не заданы!!!"), w->StatusPanels[2]);
    Select(2);
    EXPECT_EQ(Ru("Узел2:не заданы!!!"), w->StatusPanels[2]);
    EXPECT_FALSE(w->AddExtEnabled);
    Select(3);
    EXPECT_EQ("", w->StatusPanels[2]);
    EXPECT_TRUE(w->AddExtEnabled);
}

TEST_F(PropTest, DataTabShowsTheIndexedTableRowOfTheBranch) {
    ThreeBranches();
    FillTable(t);
    w->IndexCalcDataGrids();
    // Branch 1 sits in grid row 4, after a blank row: its own row is shown,
    // not the row its index position would give.
    Select(0);
    EXPECT_EQ(4, w->BranchTableRow);
    EXPECT_TRUE(w->FromExtEnabled);
    EXPECT_TRUE(w->DatagridEditing);
    EXPECT_EQ(0, w->DatagridFontColor);
    EXPECT_EQ("1", w->Datagrid.Cells(1, 0));
    EXPECT_EQ(" 2", w->Datagrid.Cells(1, 2));
    EXPECT_EQ(Ru("Штрек"), w->Datagrid.Cells(1, 15));
    EXPECT_EQ(t.TablDan.ColCount(), w->Datagrid.RowCount());
    EXPECT_EQ(Ru("Номер ветви"), w->Datagrid.Cells(0, 0));
    Select(1);
    EXPECT_EQ(2, w->BranchTableRow);
    EXPECT_EQ(Ru("Ствол"), w->Datagrid.Cells(1, 15));

    // A branch the table lacks, with a node missing, shows no table data
    // (not the table's heading row).
    auto* stray = AddBranch({0, 100}, {0, 200}, 40, -7, 41);
    (void)stray;
    Select(3);
    EXPECT_EQ(-1, w->BranchTableRow);
    EXPECT_EQ(0x808080, w->DatagridFontColor);
    EXPECT_FALSE(w->DatagridEditing);
    for (int r = 0; r < w->Datagrid.RowCount(); ++r) EXPECT_EQ("", w->Datagrid.Cells(1, r)) << r;

    // A text empties the first sixteen values and disables the tab.
    Select(1);
    w->Doc().AddFigure(kKindText);
    Select(4);
    EXPECT_FALSE(w->DatagridEnabled);
    EXPECT_EQ("", w->Datagrid.Cells(1, 15));
}

} // namespace arv::test
