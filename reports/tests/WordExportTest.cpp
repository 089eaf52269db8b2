// The Word reports written as ".docx" on the sample mine and read back: the
// paragraphs before the table, the table's rows, cells, widths, bold heading
// and alignment, the page set-up, and what the clipboard holds afterwards.
#include "ExportFixture.h"

#include "reports/WordExport.h"

#include "platform/office/DocxWriter.h"
#include "platform/qt/QtFonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>

#include <numeric>

namespace arv::test {
namespace {

using WordExport = ExportFixture;

std::vector<int> Twips(std::initializer_list<double> points) {
    std::vector<int> out;
    for (double p : points) out.push_back(static_cast<int>(p * 20));
    return out;
}

TEST_F(WordExport, GeneralTableIsLandscapeWithNarrowMarginsAndChosenColumns) {
    settings.CheckBox = {};
    settings.CheckBox[5] = settings.CheckBox[11] = true;
    const std::string file = Run(TOfficeProgram::Word, TOfficeReport::MainTable);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(Ru("Передача в Word"), progress.Caption());
    EXPECT_TRUE(file.starts_with(ProgramDir() + "Export/"));
    EXPECT_TRUE(file.ends_with(Ru("Общая таблица 2026-12-09 08-30-00.docx"))) << U(file);

    TDocxRead d = ReadDocx(file);
    ASSERT_TRUE(d.Ok);
    EXPECT_EQ("landscape", d.Orient);
    EXPECT_GT(d.PageW, d.PageH);
    EXPECT_EQ(200, d.MarginLeft);
    EXPECT_EQ(200, d.MarginRight);
    EXPECT_EQ(20, d.DefaultSizeHalfPoints);
    EXPECT_EQ("ppptp", d.Order);
    EXPECT_EQ(U(t.NameSh), d.Paragraphs[0].Text);
    EXPECT_EQ("Таблица", d.Paragraphs[2].Text);
    ASSERT_EQ(1u, d.Tables.size());
    const TDocxTableRead& tab = d.Tables[0];
    // Number column always, then the two chosen ones; one row per branch.
    EXPECT_EQ(Twips({50, 50, 50}), tab.GridTwips);
    ASSERT_EQ(15u, tab.Rows.size());
    EXPECT_EQ("Номер ветви", tab.Rows[0][0].Text);
    for (const auto& cell : tab.Rows[0]) {
        EXPECT_TRUE(cell.Bold);
        EXPECT_EQ("center", cell.Align);
    }
    EXPECT_EQ("1", tab.Rows[1][0].Text);
    EXPECT_EQ("450", tab.Rows[1][1].Text);
    EXPECT_EQ(U(t.TablDan.Cells(11, 2)), tab.Rows[1][2].Text);
    EXPECT_FALSE(tab.Rows[1][0].Bold);
    // The Word text of the general table stays on the clipboard.
    EXPECT_EQ(BuildMainTableText(t, {true, false, false, false, false, true, false, false, false,
                                     false, false, true})
                  .Text,
              clipboard.GetText());
}

TEST_F(WordExport, GeneralTableWithTheDefaultColumns) {
    TDocxRead d = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::MainTable));
    ASSERT_TRUE(d.Ok);
    ASSERT_EQ(1u, d.Tables.size());
    // Columns 0, 1, 2, 4, 5, 6, 9, 11, 14 and 15 are checked at first.
    EXPECT_EQ(10u, d.Tables[0].GridTwips.size());
    EXPECT_EQ("Номер ветви", d.Tables[0].Rows[0][0].Text);
    EXPECT_EQ("Ствол главный", d.Tables[0].Rows[1][9].Text);
}

// All 22 columns of the general table and a devices summary of ten
// consumers would run off the paper at their own widths: the general table
// shares the page out among its columns, the devices summary's columns each
// give up the same share, and both fit between the margins.
TEST_F(WordExport, TablesWiderThanThePageShrinkToFit) {
    settings.CheckBox.fill(true);
    TDocxRead all = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::MainTable));
    ASSERT_TRUE(all.Ok);
    const std::vector<int>& grid = all.Tables[0].GridTwips;
    ASSERT_EQ(22u, grid.size());
    const int width = all.PageW - all.MarginLeft - all.MarginRight;
    // Each width is rounded to a twip.
    EXPECT_LE(std::accumulate(grid.begin(), grid.end(), 0), width + 11);
    EXPECT_GT(std::accumulate(grid.begin(), grid.end(), 0), width - 22);
    EXPECT_EQ(22u, all.Tables[0].Rows[0].size());

    MakeDeviceStabilityText(c, t, 1, 10);
    TDocxRead dev = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::DeviceStability));
    ASSERT_TRUE(dev.Ok);
    const std::vector<int>& cols = dev.Tables[0].GridTwips;
    ASSERT_EQ(15u, cols.size());
    EXPECT_LE(std::accumulate(cols.begin(), cols.end(), 0),
              dev.PageW - dev.MarginLeft - dev.MarginRight + 8);
    EXPECT_NEAR(cols[0] / static_cast<double>(cols.back()), 150 / 55.0, 0.01);
}

// Measured in the face the word processor sets them in, with the table's
// own cell margins and heading size, the general table breaks no word of a
// heading (the blanks that open one count), no number and no word of a
// name, and fits between the margins: with short names and the first
// columns, and with all 22 columns and a long name, which then takes at most
// two lines.
TEST_F(WordExport, GeneralTableBreaksNoHeadingWordNorNumber) {
    QImage points(1, 1, QImage::Format_RGB32); // 72 dots per inch: a dot is a point
    points.setDotsPerMeterX(2835);
    points.setDotsPerMeterY(2835);
    auto width = [&](const QString& text, int halfPoints, bool bold) {
        QFont font = WindowsFont("Times New Roman", 10);
        font.setPointSizeF(halfPoints ? halfPoints / 2.0 : 10);
        font.setBold(bold);
        return QFontMetricsF(font, &points).horizontalAdvance(text);
    };
    auto check = [&](const TDocxRead& d, size_t name) {
        const TDocxTableRead& tab = d.Tables.at(0);
        EXPECT_LE(std::accumulate(tab.GridTwips.begin(), tab.GridTwips.end(), 0),
                  d.PageW - d.MarginLeft - d.MarginRight);
        auto room = [&](size_t col) {
            return (tab.GridTwips[col] - 2 * tab.CellMarginTwips) / 20.0;
        };
        double longest = 0;
        for (size_t r = 0; r < tab.Rows.size(); ++r)
            for (size_t col = 0; col < tab.Rows[r].size(); ++col) {
                const TDocxCellRead& cell = tab.Rows[r][col];
                const QString text = QString::fromStdString(cell.Text);
                const qsizetype lead = text.indexOf(QRegularExpression("\\S"));
                if (lead < 0) continue;
                // Lines break after blanks; the blanks that open a cell stay
                // before its first word. A number is one word.
                const QString body = text.mid(lead);
                QStringList words = r > 0 && col != name ? QStringList{body.trimmed()}
                                                         : body.split(' ', Qt::SkipEmptyParts);
                words[0] = text.left(lead) + words[0];
                for (const QString& word : words)
                    EXPECT_LE(width(word, cell.SizeHalfPoints, cell.Bold), room(col))
                        << r << " " << col << " " << word.toStdString();
                if (r > 0 && col == name) longest = std::max(longest, width(text, 0, false));
            }
        return 2 * room(name) > longest;
    };
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
        t.TablDan.SetCells(15, r, Ru("Ш" + std::to_string(r)));
    TDocxRead few = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::MainTable));
    ASSERT_TRUE(few.Ok);
    ASSERT_EQ(10u, few.Tables[0].GridTwips.size());
    ASSERT_EQ(" Наименование     выработки    ", few.Tables[0].Rows[0][9].Text);
    check(few, 9);

    settings.CheckBox.fill(true);
    t.TablDan.SetCells(15, FirstDataRow + 3,
                       Ru("Штрек откаточный западный горизонта минус 300 (участок 2)"));
    TDocxRead all = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::MainTable));
    ASSERT_TRUE(all.Ok);
    ASSERT_EQ(22u, all.Tables[0].GridTwips.size());
    EXPECT_TRUE(check(all, 15));
}

TEST_F(WordExport, ConsumersAndFansAlignDataRightAndOneColumnLeft) {
    const std::string potr = Run(TOfficeProgram::Word, TOfficeReport::Consumers);
    TDocxRead d = ReadDocx(potr);
    ASSERT_TRUE(d.Ok);
    EXPECT_EQ("", d.Orient);
    EXPECT_EQ(1000, d.MarginLeft);
    EXPECT_EQ(600, d.MarginRight);
    EXPECT_EQ("Потребители", d.Paragraphs[2].Text);
    ASSERT_EQ(1u, d.Tables.size());
    EXPECT_EQ(Twips({45, 45, 70, 70, 100, 120}), d.Tables[0].GridTwips);
    const auto& rows = d.Tables[0].Rows;
    ASSERT_EQ(static_cast<size_t>(t.TablPotr.RowCount() - 1), rows.size());
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ("right", rows[1][0].Align);
    EXPECT_EQ("left", rows[1][5].Align);
    EXPECT_EQ(U(t.TablPotr.Cells(5, 2)), rows[1][5].Text);
    EXPECT_EQ(U(BuildConsumersText(t).Text), U(clipboard.GetText()));

    const std::string ven = Run(TOfficeProgram::Word, TOfficeReport::Fans);
    TDocxRead f = ReadDocx(ven);
    ASSERT_TRUE(f.Ok);
    EXPECT_NE(potr, ven);
    EXPECT_EQ(Twips({45, 80, 55, 60, 60, 50, 60, 65}), f.Tables[0].GridTwips);
    const auto& fanRows = f.Tables[0].Rows;
    ASSERT_GE(fanRows.size(), 3u);
    EXPECT_EQ("ВЦ-25", fanRows[1][1].Text);
    EXPECT_EQ("left", fanRows[1][1].Align);
    EXPECT_EQ("right", fanRows[1][2].Align);
    EXPECT_EQ("center", fanRows[0][1].Align);
}

TEST_F(WordExport, NodePressureTableStartsAtItsHeadingAndIsNotBold) {
    const std::string before = c.PressureText;
    const std::string file = Run(TOfficeProgram::Word, TOfficeReport::NodePressure);
    TDocxRead d = ReadDocx(file);
    ASSERT_TRUE(d.Ok);
    ASSERT_EQ(1u, d.Tables.size());
    EXPECT_EQ("Давление в узлах", d.Paragraphs[2].Text);
    const auto& rows = d.Tables[0].Rows;
    EXPECT_EQ(Twips({45, 60, 45, 60, 45, 60, 45, 60}), d.Tables[0].GridTwips);
    // Heading plus the lines of pairs; the heading centred, not bold.
    EXPECT_EQ(static_cast<size_t>(ReportLineCount(c.PressureText)), rows.size());
    EXPECT_EQ("Номер узла", rows[0][0].Text);
    EXPECT_FALSE(rows[0][0].Bold);
    EXPECT_EQ("center", rows[0][0].Align);
    EXPECT_EQ("left", rows[1][5].Align);
    EXPECT_EQ("right", rows[1][4].Align);
    EXPECT_EQ(before, c.PressureText);
    // Twice gives the same document.
    const std::string again = Run(TOfficeProgram::Word, TOfficeReport::NodePressure);
    EXPECT_NE(file, again);
    std::string a, b;
    ASSERT_TRUE(ReadZipPart(file, "word/document.xml", a));
    ASSERT_TRUE(ReadZipPart(again, "word/document.xml", b));
    EXPECT_EQ(a, b);
}

TEST_F(WordExport, BranchStabilityTakesTheTableTextWithItsLongHeadings) {
    MakeBranchStabilityTexts(c, 3);
    TDocxRead d = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::BranchStability));
    ASSERT_TRUE(d.Ok);
    EXPECT_EQ("pptp", d.Order);
    EXPECT_TRUE(d.Paragraphs[0].Text.starts_with("Анализ устойчивости для ветви 5"));
    const auto& tab = d.Tables[0];
    ASSERT_EQ(4u, tab.Rows.size());
    EXPECT_EQ("Номер ветви", tab.Rows[0][0].Text);
    // Every word of a bold heading fits its column whole, and the table fits
    // between the margins.
    ASSERT_EQ(8u, tab.GridTwips.size());
    EXPECT_EQ(Twips({45, 40, 66, 75, 65, 80, 84, 60}), tab.GridTwips);
    EXPECT_LE(std::accumulate(tab.GridTwips.begin(), tab.GridTwips.end(), 0),
              d.PageW - d.MarginLeft - d.MarginRight);
    QFont font = WindowsFont("Times New Roman", 10);
    font.setBold(true);
    QImage points(1, 1, QImage::Format_RGB32); // 72 dots per inch: a dot is a point
    points.setDotsPerMeterX(2835);
    points.setDotsPerMeterY(2835);
    const QFontMetricsF metrics(font, &points);
    const double cellMargins = 2 * 5.4;
    for (size_t col = 0; col < tab.Rows[0].size(); ++col)
        for (const QString& word : QString::fromStdString(tab.Rows[0][col].Text).split(' '))
            EXPECT_LE(metrics.horizontalAdvance(word) + cellMargins, tab.GridTwips[col] / 20.0)
                << word.toStdString();
    EXPECT_EQ("left", tab.Rows[1][6].Align);
    EXPECT_EQ(U(c.StabilityTableText), U(clipboard.GetText()));
}

TEST_F(WordExport, SummariesCentreTheirTitleAboveALandscapeTable) {
    MakeFireStabilityText(c, t, 2);
    TDocxRead fire = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::FireStability));
    ASSERT_TRUE(fire.Ok);
    EXPECT_EQ("landscape", fire.Orient);
    EXPECT_EQ("ppptp", fire.Order);
    // The range starts on the variant line's end, so that line is centred
    // too but keeps its plain text.
    EXPECT_EQ("center", fire.Paragraphs[1].Align);
    EXPECT_FALSE(fire.Paragraphs[1].AnyBold);
    EXPECT_EQ("Анализ устойчивости схемы при пожарах", fire.Paragraphs[2].Text);
    EXPECT_TRUE(fire.Paragraphs[2].AnyBold);
    EXPECT_EQ(24, fire.Paragraphs[2].SizeHalfPoints);
    EXPECT_NE("center", fire.Paragraphs[0].Align);
    EXPECT_EQ(Twips({150, 60, 60, 60, 50, 60, 150}), fire.Tables[0].GridTwips);
    EXPECT_EQ(3u, fire.Tables[0].Rows.size());
    EXPECT_EQ("right", fire.Tables[0].Rows[1][1].Align);
    EXPECT_EQ("left", fire.Tables[0].Rows[1][3].Align);

    MakeDeviceStabilityText(c, t, 2, 3);
    TDocxRead dev = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::DeviceStability));
    ASSERT_TRUE(dev.Ok);
    // Title and subtitle, the table, then the note below it.
    EXPECT_EQ("pppptp", dev.Order);
    EXPECT_EQ("left", dev.Paragraphs[1].Align);
    EXPECT_EQ("center", dev.Paragraphs[2].Align);
    EXPECT_EQ("center", dev.Paragraphs[3].Align);
    EXPECT_FALSE(dev.Paragraphs[2].AnyBold);
    EXPECT_EQ(24, dev.Paragraphs[3].SizeHalfPoints);
    EXPECT_TRUE(dev.Paragraphs[4].Text.starts_with("Примечание: "));
    EXPECT_EQ(Twips({150, 70, 85, 80, 80, 55, 55, 55}), dev.Tables[0].GridTwips);
    EXPECT_EQ(3u, dev.Tables[0].Rows.size());
    EXPECT_EQ("right", dev.Tables[0].Rows[1][4].Align);
    EXPECT_EQ("left", dev.Tables[0].Rows[1][5].Align);
}

TEST_F(WordExport, TextWithoutItsTableMarkerGivesParagraphsOnly) {
    c.FireStabilityText = Ru("Шахта\nВариант\nАнализ\nбез таблицы\tи\n");
    TDocxRead d = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::FireStability));
    ASSERT_TRUE(d.Ok);
    EXPECT_EQ("pppp", d.Order);
    EXPECT_EQ("без таблицы\tи", d.Paragraphs[3].Text);
    EXPECT_EQ("left", d.Paragraphs[2].Align);
}

TEST_F(WordExport, CellTextsArriveAsTyped) {
    const char* names[] = {"a;b", "x\ty", "=SUM(A1)", "Штольня «Южная» №2 & <1>"};
    for (int k = 0; k < 4; ++k) t.TablDan.SetCells(15, 2 + k, Ru(names[k]));
    settings.CheckBox = {};
    settings.CheckBox[15] = true;
    TDocxRead d = ReadDocx(Run(TOfficeProgram::Word, TOfficeReport::MainTable));
    ASSERT_TRUE(d.Ok);
    const auto& rows = d.Tables[0].Rows;
    const size_t nameCol = 1;
    for (int k = 0; k < 4; ++k) {
        ASSERT_GT(rows[1 + k].size(), nameCol);
        EXPECT_EQ(names[k], rows[1 + k][nameCol].Text);
    }
}

TEST(DocxWriter, ControlCharactersDoNotSpoilThePackage) {
    TDocxDocument doc;
    TDocxParagraph p;
    p.Runs.push_back({std::string("a\x01\x1b") + "b"});
    doc.Body.push_back(p);
    TDocxTable table;
    table.ColumnWidths = {50, 50};
    table.Rows = {{{"1"}}};
    doc.Body.push_back(table);
    const std::string xml = DocxDocumentXml(doc);
    auto root = ParseXml(xml);
    ASSERT_TRUE(root);
    EXPECT_EQ(std::string::npos, xml.find('\x01'));
    // A table at the end is followed by a paragraph, and short rows are
    // filled to the column count.
    auto body = root->First("w:body");
    ASSERT_TRUE(body);
    EXPECT_EQ("w:p", body->Children[2]->Name);
    EXPECT_EQ(2u, root->Find("w:tc").size());
}

} // namespace
} // namespace arv::test
