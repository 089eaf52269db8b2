// The library files, the fan import file, the curve fits and the layout of
// the fan chart, checked against values worked out by hand.
#include "calc/files/Libraries.h"
#include "calc/model/NetworkTables.h"
#include "calc/window/FanChart.h"

#include "platform/BinaryIo.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace arv;

namespace {

struct LibraryFiles : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string File(const char* name) const { return (dir / name).string(); }
    std::string Bytes(const std::string& name) const {
        std::string b;
        EXPECT_TRUE(ReadFileBytes(name, b));
        return b;
    }
};

void Put(TModGrid& g, int row, std::initializer_list<const char*> cells) {
    int c = 0;
    for (const char* s : cells) g.SetCells(c++, row, Ru(s));
}

std::string FanRecord(std::string_view name, int nameLength, int32_t angle, double a, double b,
                      double c) {
    TBinaryWriter w;
    w.U8(static_cast<uint8_t>(nameLength));
    std::string padded(name);
    padded.resize(19, '\0');
    w.Bytes(padded);
    w.I32(angle);
    w.F64(a);
    w.F64(b);
    w.F64(c);
    w.F64(12345); // not used
    return w.Data();
}

} // namespace

TEST_F(LibraryFiles, BothLibrariesRoundTripByteForByte) {
    TModGrid devices, fans;
    PrepareLibraryGrid(devices, TLibraryKind::Devices);
    PrepareLibraryGrid(fans, TLibraryKind::Fans);
    Put(devices, 2, {"Дверь", "0,8", "", "одна"});
    Put(devices, 4, {"Решетка", "", "0,35", ""}); // row 3 stays empty
    devices.SetRowCount(5);
    Put(fans, 2, {"ВОМ-16", "20", "-0,50000", "0,00000", "300,000", "10", "250", "20", "100"});
    Put(fans, 3, {"", "30", "-0,4", "0", "340"});
    fans.SetRowCount(4);

    for (TModGrid* g : {&devices, &fans}) {
        const bool isFans = g == &fans;
        std::string first = File(isFans ? "rvVent.bib" : "RvVU.bib");
        ASSERT_TRUE(WriteLibraryFile(first, *g));
        TModGrid back;
        PrepareLibraryGrid(back, isFans ? TLibraryKind::Fans : TLibraryKind::Devices);
        ASSERT_TRUE(
            ReadLibraryFile(first, back, isFans ? TLibraryKind::Fans : TLibraryKind::Devices));
        EXPECT_EQ(g->RowCount(), back.RowCount());
        std::string second = File("again.bib");
        ASSERT_TRUE(WriteLibraryFile(second, back));
        EXPECT_EQ(Bytes(first), Bytes(second));
    }
    EXPECT_EQ(Ru("Дверь;0,8;;одна;\r\n;;;;\r\nРешетка;;0,35;;\r\n"), Bytes(File("RvVU.bib")));
}

TEST_F(LibraryFiles, ReadingRulesForShortFilesExtraFieldsAndMissingFiles) {
    TModGrid devices;
    PrepareLibraryGrid(devices, TLibraryKind::Devices);
    // One line: five rows all the same. Fields past the shown columns are kept
    // hidden; text after the last ';' is dropped; LF alone ends a line too.
    ASSERT_TRUE(WriteFileAtomic(File("one.bib"), "a;1;2;n;extra;tail"));
    ASSERT_TRUE(ReadLibraryFile(File("one.bib"), devices, TLibraryKind::Devices));
    EXPECT_EQ(5, devices.RowCount());
    EXPECT_EQ("n", devices.Cells(3, 2));
    EXPECT_EQ("extra", devices.Cells(4, 2));
    EXPECT_EQ("", devices.Cells(5, 2));
    EXPECT_EQ(Ru("Наименование"), devices.Cells(0, 0));

    TModGrid fans;
    PrepareLibraryGrid(fans, TLibraryKind::Fans);
    ASSERT_TRUE(WriteFileAtomic(File("f.bib"), "T;1;\n;2;\n;3;\n"));
    ASSERT_TRUE(ReadLibraryFile(File("f.bib"), fans, TLibraryKind::Fans));
    EXPECT_EQ(5, fans.RowCount());
    EXPECT_EQ("3", fans.Cells(1, 4));

    // Reading again replaces what the rows held.
    ASSERT_TRUE(WriteFileAtomic(File("g.bib"), "U;;\r\n"));
    ASSERT_TRUE(ReadLibraryFile(File("g.bib"), fans, TLibraryKind::Fans));
    EXPECT_EQ(3, fans.RowCount());
    EXPECT_EQ("", fans.Cells(1, 3));

    EXPECT_FALSE(ReadLibraryFile(File("none.bib"), fans, TLibraryKind::Fans));
    EXPECT_EQ("U", fans.Cells(0, 2));
    EXPECT_EQ(3, fans.RowCount());
}

TEST_F(LibraryFiles, FanImportTakesWholeRecordsOnly) {
    std::string bytes = FanRecord(Ru("ВОМ-12"), 6, 15, -0.0123, 1.5, 1234.56789) +
                        FanRecord("LONGNAMEOFTWENTYFIVECHARS", 25, -5, 0, 0, 80) +
                        std::string(30, '\x07'); // a partial record at the end
    ASSERT_EQ(2u * FanImportRecordSize + 30, bytes.size());
    ASSERT_TRUE(WriteFileAtomic(File("fans.dat"), bytes));
    TModGrid fans;
    PrepareLibraryGrid(fans, TLibraryKind::Fans);
    Put(fans, 2, {"old", "1", "2", "3", "4", "q1", "h1", "q2", "h2", "q3", "h3"});
    Put(fans, 9, {"hidden"});
    ASSERT_TRUE(ImportFanLibraryFile(File("fans.dat"), fans));
    EXPECT_EQ(4, fans.RowCount());
    EXPECT_EQ(Ru("ВОМ-12"), fans.Cells(0, 2));
    EXPECT_EQ("15", fans.Cells(1, 2));
    EXPECT_EQ("-0,0123", fans.Cells(2, 2));
    EXPECT_EQ("1,5000", fans.Cells(3, 2));
    EXPECT_EQ("1234,5679", fans.Cells(4, 2));
    for (int c = 5; c <= 10; ++c) EXPECT_EQ("", fans.Cells(c, 2));
    EXPECT_EQ("LONGNAMEOFTWENTYFIV", fans.Cells(0, 3));
    EXPECT_EQ("-5", fans.Cells(1, 3));
    EXPECT_EQ("0,0000", fans.Cells(2, 3));
    EXPECT_EQ("80,0000", fans.Cells(4, 3));
    // No row of the library before comes back when the grid grows.
    EXPECT_EQ(3, fans.LastFilledRow());

    // Nothing whole to import, or no file: the library stays as it is.
    ASSERT_TRUE(WriteFileAtomic(File("short.dat"), bytes.substr(0, 55)));
    std::string error;
    EXPECT_FALSE(ImportFanLibraryFile(File("short.dat"), fans, &error));
    EXPECT_NE(std::string::npos, error.find(Ru("не содержит записей")));
    EXPECT_FALSE(ImportFanLibraryFile(File("none.dat"), fans, &error));
    EXPECT_EQ(4, fans.RowCount());
    EXPECT_EQ(Ru("ВОМ-12"), fans.Cells(0, 2));

    // A name the library file cannot carry (';' ends a cell, CR and LF a
    // row) gets blanks there, so the saved library reads back as shown.
    ASSERT_TRUE(WriteFileAtomic(File("breaks.dat"), FanRecord("A;B\rC\nD", 7, 1, 0, 0, 1)));
    ASSERT_TRUE(ImportFanLibraryFile(File("breaks.dat"), fans));
    EXPECT_EQ("A B C D", fans.Cells(0, 2));
    ASSERT_TRUE(WriteLibraryFile(File("rvVent.bib"), fans));
    TModGrid back;
    PrepareLibraryGrid(back, TLibraryKind::Fans);
    ASSERT_TRUE(ReadLibraryFile(File("rvVent.bib"), back, TLibraryKind::Fans));
    EXPECT_EQ(3, back.RowCount());
    EXPECT_EQ(fans.Rows(2), back.Rows(2));
}

TEST(FanCurve, FitsAgainstHandWorkedCoefficients) {
    // Through (100, 300) and (200, 0) without a linear term:
    // A = (0 - 300) / (200² - 100²) = -0.01, C = (300·200² - 0) / 30000 = 400.
    TFanCurve c;
    ASSERT_TRUE(FitFanCurveTwoPoints(100, 300, 200, 0, c));
    EXPECT_DOUBLE_EQ(-0.01, c.A);
    EXPECT_EQ(0, c.B);
    EXPECT_DOUBLE_EQ(400, c.C);
    EXPECT_EQ("-0,01000", FanCoefAText(c.A));
    EXPECT_EQ("0,00000", FanCoefBText(c.B));
    EXPECT_EQ("400,000", FanCoefCText(c.C));

    // H = -0.5q² + 2q + 100 through (0, 100), (2, 102), (4, 100):
    // s2 = 1, s3 = 0, A = (1 - 0)/(2 - 4) = -0.5, B = (0·2 - 1·4)/(2 - 4) = 2, C = 100.
    ASSERT_TRUE(FitFanCurveThreePoints(0, 100, 2, 102, 4, 100, c));
    EXPECT_DOUBLE_EQ(-0.5, c.A);
    EXPECT_DOUBLE_EQ(2, c.B);
    EXPECT_DOUBLE_EQ(100, c.C);

    // Equal or opposite flows give no curve rather than a division by zero.
    EXPECT_FALSE(FitFanCurveTwoPoints(50, 300, 50, 100, c));
    EXPECT_FALSE(FitFanCurveTwoPoints(-50, 300, 50, 100, c));
    EXPECT_FALSE(FitFanCurveThreePoints(1, 3, 2, 2, 1, 1, c));
    EXPECT_FALSE(FitFanCurveThreePoints(1, 3, 2, 2, 2, 1, c));
}

TEST(FanLibraryRows, TypeNameComesFromTheRowAboveAndNeverFromHeadings) {
    TModGrid lib;
    PrepareLibraryGrid(lib, TLibraryKind::Fans);
    lib.SetRowCount(6);
    Put(lib, 2, {"T1", "10", "-1", "0", "100"});
    Put(lib, 3, {"", "20", "-2", "0,5", "200"});
    Put(lib, 4, {"T2", "30"});
    EXPECT_EQ(2, FanTypeRow(lib, 3));
    EXPECT_EQ(4, FanTypeRow(lib, 5));
    EXPECT_EQ("T1", FanTypeName(lib, 3));

    TModGrid ven;
    ven.SetColCount(8);
    ven.SetRowCount(4);
    ven.SetCells(0, 3, "7");
    ASSERT_TRUE(FillFanRowFromLibrary(lib, 3, ven, 3));
    EXPECT_EQ((std::vector<std::string>{"7", "T1", "20", "-2", "0,5", "200", "", ""}), ven.Rows(3));
    EXPECT_TRUE(ven.Modified);
    EXPECT_FALSE(FillFanRowFromLibrary(lib, 1, ven, 3));

    // A first data row without a name has no type: the heading above is no name.
    lib.SetCells(0, 2, "");
    EXPECT_EQ(-1, FanTypeRow(lib, 3));
    EXPECT_EQ("", FanTypeName(lib, 3));
}

TEST(FanChartLayout, AxesAndCurveOfAHandWorkedFan) {
    // H = -0.01q² + 400 on a 300 × 300 picture: plot 200 × 230 from (40, 30).
    // Zero pressure at q = 200 (division 20); top pressure 400, division
    // 10·Round(4.5) = 40 (halves go to even).
    TFanChartRequest r{"-0,01", "0", "400", "25", Ru("ВОМ"), "", ""};
    TFanChartLayout l = LayoutFanChart(r, 1, 300, 300);
    EXPECT_DOUBLE_EQ(200, l.Qmax);
    EXPECT_DOUBLE_EQ(400, l.Hmax);
    EXPECT_EQ(20, l.FlowDivision);
    EXPECT_EQ(40, l.PressureDivision);
    EXPECT_DOUBLE_EQ(140, l.X(100));
    EXPECT_DOUBLE_EQ(87.5, l.Y(300));
    EXPECT_DOUBLE_EQ(260, l.Y(0));
    // One flow unit per pixel: q = 0 .. 199.
    ASSERT_EQ(200u, l.Curve.size());
    EXPECT_DOUBLE_EQ(400, l.Curve.front().H);
    EXPECT_DOUBLE_EQ(199, l.Curve.back().Q);
    EXPECT_FALSE(l.HasOperatingPoint);
    EXPECT_EQ(Ru("Вентилятор  ВОМ, угол лопаток 25"), l.Title);
    EXPECT_EQ("  0", l.FlowTicks[0]);
    EXPECT_EQ("200", l.FlowTicks[10]);
    EXPECT_EQ("400", l.PressureTicks[10]);

    // A reversed fan (C < 0) is drawn as the normal one.
    TFanChartRequest reversed{"0,01", "0", "-400", "25", "", "", ""};
    TFanChartLayout rl = LayoutFanChart(reversed, 1, 300, 300);
    EXPECT_DOUBLE_EQ(-0.01, rl.A);
    EXPECT_DOUBLE_EQ(400, rl.C);
    EXPECT_EQ(l.Curve.size(), rl.Curve.size());
}

TEST(FanChartLayout, OperatingPointFlatCurvesAndAxisDivisions) {
    // Flow in m3/min with unit 60: -120 is 2 m3/s.
    TFanChartRequest r{"0", "0", "50", "5", "T", "-55,5", "-120"};
    TFanChartLayout l = LayoutFanChart(r, 60, 300, 300);
    ASSERT_TRUE(l.HasOperatingPoint);
    EXPECT_DOUBLE_EQ(2, l.OperatingPoint.Q);
    EXPECT_DOUBLE_EQ(55.5, l.OperatingPoint.H);
    EXPECT_EQ("2,00", l.FlowText);
    EXPECT_EQ(" 55,50", l.DepressionText);
    // A = B = 0: the zero-pressure flow is 100, the range C + 10 = 60.
    EXPECT_DOUBLE_EQ(100, l.Qmax);
    EXPECT_DOUBLE_EQ(60, l.Hmax);
    EXPECT_EQ(10, l.FlowDivision);    // Round(10.5) = 10
    EXPECT_EQ(6, l.PressureDivision); // Round(6.5) = 6

    r.Flow = "0";
    EXPECT_DOUBLE_EQ(100, LayoutFanChart(r, 1, 300, 300).OperatingPoint.Q);

    // A line falling to zero at a negative flow: no curve, axis division 1.
    TFanChartRequest rising{"0", "1", "5", "", "", "", ""};
    TFanChartLayout rl = LayoutFanChart(rising, 1, 300, 300);
    EXPECT_DOUBLE_EQ(-5, rl.Qmax);
    EXPECT_EQ(1, rl.FlowDivision);
    EXPECT_TRUE(rl.Curve.empty());

    EXPECT_EQ(5, FanAxisDivision(45));
    EXPECT_EQ(15, FanAxisDivision(150));
    EXPECT_EQ(20, FanAxisDivision(151));
    EXPECT_EQ(30, FanAxisDivision(201));
    EXPECT_EQ(40, FanAxisDivision(350));
    EXPECT_EQ(1, FanAxisDivision(-30));
    EXPECT_EQ(1, FanAxisDivision(std::nan("")));
    EXPECT_GT(FanAxisDivision(1e300), 1);
    // A picture too small for a plot has no curve.
    EXPECT_TRUE(LayoutFanChart(r, 1, 90, 60).Curve.empty());
}
