// The Excel reports written as ".xlsx" on the sample mine and read back:
// sheet name, cells (numbers only where the Russian setting reads one),
// the frame and its inner lines, print titles, widths and heights.
#include "ExportFixture.h"

#include "reports/ExcelExport.h"
#include "reports/ExcelSheet.h"

namespace arv::test {
namespace {

using ExcelExport = ExportFixture;

// The frame of Excel's border items around rows top..bottom, columns
// 1..right: medium outside, thin between columns, a medium line under the
// heading row `headingLast` and thin lines between the body rows.
void ExpectFramed(const TXlsxRead& x, int top, int bottom, int right, int headingLast) {
    for (int r = top; r <= bottom; ++r)
        for (int c = 1; c <= right; ++c) {
            const TXlsxCellRead* cell = x.At(r, c);
            ASSERT_TRUE(cell) << r << "," << c;
            EXPECT_EQ(c == 1 ? "medium" : "thin", cell->Left) << r << "," << c;
            EXPECT_EQ(c == right ? "medium" : "thin", cell->Right) << r << "," << c;
            if (r == top) {
                EXPECT_EQ("medium", cell->Top) << r << "," << c;
            }
            const char* line = r == bottom || r == headingLast ? "medium"
                               : r > headingLast               ? "thin"
                                                               : "";
            EXPECT_EQ(line, cell->Bottom) << r << "," << c;
        }
    // Nothing right of the frame.
    if (const TXlsxCellRead* out = x.At(top, right + 1)) {
        EXPECT_EQ("", out->Left);
    }
}

TEST_F(ExcelExport, GeneralTableSheet) {
    clipboard.SetText("user's");
    const std::string file = Run(TOfficeProgram::Excel, TOfficeReport::MainTable);
    ASSERT_TRUE(file.ends_with(".xlsx"));
    EXPECT_EQ(Ru("Передача в Excel"), progress.Caption());
    TXlsxRead x = ReadXlsx(file);
    ASSERT_TRUE(x.Ok);
    EXPECT_EQ("Основная таблица", x.SheetName);
    EXPECT_EQ("'Основная таблица'!$5:$6", x.PrintTitles);
    EXPECT_EQ(U(t.NameSh), x.At(2, 1)->Text);
    EXPECT_EQ(U(t.NameVar), x.At(3, 1)->Text);
    EXPECT_FALSE(x.At(4, 2));
    // Ten columns chosen by default; 14 branches and two heading rows.
    const int last = t.TablDan.RowCount() + 4;
    EXPECT_EQ(20, last);
    ExpectFramed(x, 5, last, 10, 6);
    EXPECT_EQ("Номер", x.At(5, 1)->Text);
    EXPECT_EQ("ветви", x.At(6, 1)->Text);
    // Headings read as in the table: no decimal commas.
    EXPECT_EQ("Нач.", x.At(5, 2)->Text);
    EXPECT_EQ("выраб., km", x.At(6, 4)->Text);
    ASSERT_TRUE(x.At(7, 1)->IsNumber);
    EXPECT_EQ(1, x.At(7, 1)->Number);
    // Section "28,3" of the first branch is a number, 28.3.
    ASSERT_TRUE(x.At(7, 6)->IsNumber);
    EXPECT_DOUBLE_EQ(28.3, x.At(7, 6)->Number);
    EXPECT_EQ("Ствол главный", x.At(7, 10)->Text);
    EXPECT_FALSE(x.At(7, 10)->IsNumber);
    // Auto-fitted to the names, not to the title cells above the table.
    EXPECT_GT(x.ColumnWidths[10], 25);
    // Excel exports leave the clipboard empty.
    EXPECT_EQ("", clipboard.GetText());
}

TEST_F(ExcelExport, FansConsumersAndPressureSheets) {
    TXlsxRead fans = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::Fans));
    ASSERT_TRUE(fans.Ok);
    EXPECT_EQ("Вентиляторы", fans.SheetName);
    EXPECT_EQ("Характеристика вентиляторов", fans.At(4, 2)->Text);
    ExpectFramed(fans, 5, t.TablVen.RowCount() + 4, 8, 6);

    TXlsxRead potr = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::Consumers));
    ASSERT_TRUE(potr.Ok);
    EXPECT_EQ("Потребители", potr.SheetName);
    EXPECT_EQ("Потребители", potr.At(4, 2)->Text);
    ExpectFramed(potr, 5, t.TablPotr.RowCount() + 4, 6, 6);

    TXlsxRead p = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::NodePressure));
    ASSERT_TRUE(p.Ok);
    EXPECT_EQ("Давление", p.SheetName);
    EXPECT_EQ("Давление в узлах", p.At(4, 2)->Text);
    EXPECT_EQ("'Давление'!$5:$6", p.PrintTitles);
    // 14 nodes: heading, three full lines of pairs, one of two pairs.
    ASSERT_EQ(2 + 3, c.PressureRowCount);
    ExpectFramed(p, 5, c.PressureRowCount + 4, 8, 6);
    EXPECT_EQ("Номер узла", p.At(5, 1)->Text);
    ASSERT_TRUE(p.At(6, 1)->IsNumber);
    EXPECT_EQ(1, p.At(6, 1)->Number);
    ASSERT_TRUE(p.At(6, 2)->IsNumber);
    EXPECT_FALSE(p.At(9, 5) && p.At(9, 5)->IsNumber);
}

TEST_F(ExcelExport, EmptyPressureTextSaysSoAndLeavesTheClipboard) {
    c.PressureText.clear();
    clipboard.SetText("kept");
    messages.Expect(mrOk, "Не проведен расчет");
    TXlsxRead x = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::NodePressure));
    ASSERT_TRUE(x.Ok);
    EXPECT_EQ("Лист1", x.SheetName);
    EXPECT_TRUE(x.Cells.empty());
    EXPECT_EQ("kept", clipboard.GetText());
}

TEST_F(ExcelExport, BranchStabilitySheetSizedByItsOwnText) {
    MakeBranchStabilityTexts(c, 3);
    // Another analysis ran later and left its own count.
    c.StabilityRowCount = 40;
    TXlsxRead x = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::BranchStability));
    ASSERT_TRUE(x.Ok);
    EXPECT_EQ("Устойчивость", x.SheetName);
    EXPECT_EQ("'Устойчивость'!$7:$8", x.PrintTitles);
    EXPECT_EQ(U(t.NameSh), x.At(2, 1)->Text);
    EXPECT_FALSE(x.At(1, 1));
    EXPECT_FALSE(x.At(4, 1));
    EXPECT_TRUE(x.At(5, 1)->Text.starts_with("Анализ устойчивости для ветви"));
    EXPECT_EQ("Номер", x.At(7, 1)->Text);
    // Seven lines of text from row 5: the frame ends on row 11.
    ExpectFramed(x, 7, 11, 8, 8);
    EXPECT_FALSE(x.At(12, 1));
    EXPECT_DOUBLE_EQ(-18.8, x.At(9, 6)->Number);
}

TEST_F(ExcelExport, FireSheetWrapsBodyAndWidensNameAndReversalColumns) {
    MakeFireStabilityText(c, t, 3);
    TXlsxRead x = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::FireStability));
    ASSERT_TRUE(x.Ok);
    EXPECT_EQ("Устойчивость", x.SheetName);
    EXPECT_EQ("'Устойчивость'!$4:$4", x.PrintTitles);
    EXPECT_EQ(U(t.NameSh), x.At(1, 1)->Text);
    ExpectFramed(x, 4, 7, 7, 4);
    EXPECT_EQ(35, x.RowHeights[4]);
    EXPECT_EQ(13, x.RowHeights[5]);
    EXPECT_EQ("center", x.At(4, 3)->HAlign);
    EXPECT_EQ("right", x.At(5, 3)->HAlign);
    EXPECT_EQ("top", x.At(5, 3)->VAlign);
    EXPECT_TRUE(x.At(5, 3)->Wrap);
    EXPECT_EQ("left", x.At(5, 1)->HAlign);
    EXPECT_EQ("left", x.At(5, 7)->HAlign);
    EXPECT_NEAR(25, x.ColumnWidths[1], 1);
    EXPECT_NEAR(10, x.ColumnWidths[3], 1);
    // The list of two reversed branches stays text, not the number 13.14;
    // the flow, written with a decimal point, is a number.
    EXPECT_EQ(" 13,14", x.At(5, 7)->Text);
    EXPECT_DOUBLE_EQ(12.5, x.At(5, 2)->Number);
}

TEST_F(ExcelExport, DeviceSheetFitsResultColumnsOnlyWhenThereAreAny) {
    MakeDeviceStabilityText(c, t, 2, 3);
    TXlsxRead x = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::DeviceStability));
    ASSERT_TRUE(x.Ok);
    EXPECT_EQ("'Устойчивость'!$5:$5", x.PrintTitles);
    // Rows 5..7 framed; the note in row 8 outside every block.
    ExpectFramed(x, 5, 7, 8, 5);
    EXPECT_TRUE(x.At(8, 1)->Text.starts_with("Примечание"));
    EXPECT_EQ("", x.At(8, 1)->Top);
    EXPECT_EQ(45, x.RowHeights[5]);
    EXPECT_NEAR(25, x.ColumnWidths[1], 1);
    EXPECT_NEAR(13, x.ColumnWidths[2], 1);
    EXPECT_EQ("center", x.At(6, 6)->HAlign);
    EXPECT_EQ("left", x.At(1, 1)->HAlign);

    // Without result columns the sheet has five and nothing is fitted.
    MakeDeviceStabilityText(c, t, 1, 0);
    TXlsxRead y = ReadXlsx(Run(TOfficeProgram::Excel, TOfficeReport::DeviceStability));
    ASSERT_TRUE(y.Ok);
    ExpectFramed(y, 5, 6, 5, 5);
    EXPECT_EQ(0u, y.ColumnWidths.count(6));
}

TEST_F(ExcelExport, CellTextsArriveAsWrittenAndNeverAsFormulas) {
    const char* names[] = {"a;b", "x\ty", "=SUM(A1)", "Штольня «Южная» №2"};
    for (int k = 0; k < 4; ++k) t.TablDan.SetCells(15, 2 + k, Ru(names[k]));
    settings.CheckBox = {};
    settings.CheckBox[15] = true;
    const std::string file = Run(TOfficeProgram::Excel, TOfficeReport::MainTable);
    TXlsxRead x = ReadXlsx(file);
    ASSERT_TRUE(x.Ok);
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(x.At(7 + k, 2));
        EXPECT_EQ(names[k], x.At(7 + k, 2)->Text);
    }
    std::string sheet;
    ASSERT_TRUE(ReadZipPart(file, "xl/worksheets/sheet1.xml", sheet));
    EXPECT_EQ(std::string::npos, sheet.find("<f>"));
}

TEST(PastedNumber, ReadsWhatTheRussianSettingReads) {
    double v = 0;
    EXPECT_TRUE(PastedNumber("  12,50", v));
    EXPECT_DOUBLE_EQ(12.5, v);
    EXPECT_TRUE(PastedNumber("-0,3", v));
    EXPECT_DOUBLE_EQ(-0.3, v);
    EXPECT_TRUE(PastedNumber("1,5E3", v));
    EXPECT_DOUBLE_EQ(1500, v);
    EXPECT_TRUE(PastedNumber(",5", v));
    EXPECT_DOUBLE_EQ(0.5, v);
    for (const char* text : {"1.5", "", "  ", "-", ",", "=1+1", "12a", "1,2,3", "1E", "1e999"})
        EXPECT_FALSE(PastedNumber(text, v)) << text;
}

TEST(ExcelSheetBuilder, BlocksGivenUpsideDownAreTakenInOrder) {
    TXlsxSheet s;
    TExcelSheetBuilder b(s);
    // A body block of a table without data rows runs from row 9 to row 8.
    b.InsideHorizontal(TCellBlock(9, 1, 8, 2), TXlsxLine::Thin);
    EXPECT_EQ(TXlsxLine::Thin, s.Cell(8, 1).Style.Bottom);
    EXPECT_EQ(TXlsxLine::Thin, s.Cell(9, 2).Style.Top);
    EXPECT_EQ(TXlsxLine::None, s.Cell(9, 2).Style.Bottom);
}

TEST_F(ExcelExport, FailedWriteClosesTheProgressWindowAndSaysWhy) {
    // A file where the export folder should be.
    ASSERT_TRUE(WriteFileAtomic(ProgramDir() + "Export", "x"));
    messages.Expect(mrOk);
    clipboard.SetText("before");
    EXPECT_EQ("", Run(TOfficeProgram::Excel, TOfficeReport::Fans));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_TRUE(messages.ShownUtf8()[0].starts_with("Не удалось записать файл "))
        << messages.ShownUtf8()[0];
    EXPECT_EQ(1, progress.Closes);
    EXPECT_TRUE(opener.Opened().empty());
    EXPECT_EQ("", clipboard.GetText());

    messages.Expect(mrOk);
    EXPECT_EQ("", Run(TOfficeProgram::Word, TOfficeReport::Fans));
    EXPECT_EQ(2, progress.Closes);
    EXPECT_EQ(BuildFansText(t).Text, clipboard.GetText());
}

TEST_F(ExcelExport, DocumentThatCannotBeOpenedIsStillWrittenAndNamed) {
    opener.SetResult(false);
    messages.Expect(mrOk);
    exports.Export(TOfficeProgram::Excel, TOfficeReport::Fans);
    ASSERT_FALSE(exports.LastFileName().empty());
    EXPECT_TRUE(FileExists(exports.LastFileName()));
    EXPECT_NE(std::string::npos, messages.Shown()[0].text.find(exports.LastFileName()));
}

} // namespace
} // namespace arv::test
