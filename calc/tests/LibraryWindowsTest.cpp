// The library windows and the fan chart: the choice that fills the table of
// the page in view, the curve fit, the settings, the commands of the data
// window, and the windows themselves drawn offscreen.
#include "calc/ui/LibraryWindows.h"
#include "calc/files/Libraries.h"
#include "calc/window/FanChart.h"
#include "calc/window/LibraryWindows.h"

#include "DataWindowFixture.h"

#include "platform/BinaryIo.h"
#include "platform/IniFile.h"
#include "platform/qt/GridView.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

using namespace arv;
using namespace arv::test;

namespace {

class TFakeChart : public IFanChartWindow {
public:
    std::vector<TFanChartRequest> shown;
    TWindowPlace Place() const override { return {1, 2, 3, 4}; }
    void ShowChart(const TFanChartRequest& r) override { shown.push_back(r); }
};

struct LibraryTest : DataWindowTest {
    TFakeChart chart;
    TIniFile ini{(folder.dir / "Kestrum.ini").string()};
    LibraryTest() {
        InstallFanChartWindow(&chart);
        Create();
        t.TablDan.SetRowCount(4);
        t.TablDanRev.SetRowCount(4);
        t.TablVen.SetRowCount(4);
        t.TablVenRev.SetRowCount(4);
    }
    ~LibraryTest() override { InstallFanChartWindow(nullptr); }
};

void Put(TModGrid& g, int row, std::initializer_list<const char*> cells) {
    int c = 0;
    for (const char* s : cells) g.SetCells(c++, row, Ru(s));
}

} // namespace

TEST_F(LibraryTest, DeviceChoiceGoesIntoTheBranchTableOfThePageInView) {
    TDeviceLibrary lib;
    lib.FormCreate(ini, t.TablDan);
    Put(lib.Grid, 2, {"Дверь", "0,8", "1,2", ""});
    Put(lib.Grid, 3, {"Решетка", "0,3", "0,35", ""});
    lib.Grid.SetCurrent(0, 3);

    t.TablDan.SetCurrent(4, 2);
    lib.Show(true);
    lib.OKBtnClick(w);
    EXPECT_EQ("0,3", t.TablDan.Cells(4, 2));
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_FALSE(lib.Visible);

    // Column 7 takes the coefficient; in reverse mode the reverse table.
    w.TabbedNotebook1Change(PageReverse);
    t.TablDanRev.SetCurrent(7, 3);
    lib.OKBtnClick(w);
    EXPECT_EQ("0,35", t.TablDanRev.Cells(7, 3));
    EXPECT_EQ("", t.TablDan.Cells(7, 3));
    t.TablDanRev.SetCurrent(8, 3);
    lib.OKBtnClick(w);
    EXPECT_EQ("0,3", t.TablDanRev.Cells(8, 3));

    // Other columns, or a library row that is a heading: nothing.
    t.TablDanRev.SetCurrent(5, 3);
    lib.OKBtnClick(w);
    EXPECT_EQ("", t.TablDanRev.Cells(5, 3));
    lib.Grid.SetCurrent(0, 1);
    t.TablDanRev.SetCurrent(4, 2);
    lib.OKBtnClick(w);
    EXPECT_EQ("", t.TablDanRev.Cells(4, 2));
}

TEST_F(LibraryTest, FanChoiceFillsTheFanTableOfThePageInView) {
    TFanLibrary lib;
    lib.FormCreate(ini, t.TablDan, calc.CalcOptions);
    Put(lib.Grid, 2, {"T1", "10", "-1", "0", "100"});
    Put(lib.Grid, 3, {"", "20", "-2", "0,5", "200"});
    lib.Grid.SetRowCount(4);
    lib.Grid.SetCurrent(1, 3);

    // Pages without a fan table: nothing, the window stays.
    lib.Show(true);
    lib.OKBtnClick(w);
    EXPECT_TRUE(lib.Visible);

    w.TabbedNotebook1Change(PageFans);
    t.TablVen.SetCurrent(1, 3);
    lib.OKBtnClick(w);
    std::vector<std::string> row = t.TablVen.Rows(3);
    row.resize(6);
    EXPECT_EQ((std::vector<std::string>{"", "T1", "20", "-2", "0,5", "200"}), row);
    EXPECT_FALSE(lib.Visible);

    w.TabbedNotebook1Change(PageReverse);
    t.TablVenRev.SetCurrent(1, 2);
    lib.Grid.SetCurrent(1, 2);
    lib.OKBtnClick(w);
    EXPECT_EQ("T1", t.TablVenRev.Cells(1, 2));
    EXPECT_EQ("100", t.TablVenRev.Cells(5, 2));

    // The chart of a library row: the type from the row above, no operating point.
    lib.Grid.SetCurrent(0, 3);
    lib.GrafikBtnClick();
    ASSERT_EQ(1u, chart.shown.size());
    EXPECT_EQ((TFanChartRequest{"-2", "0,5", "200", "20", "T1", "", ""}), chart.shown[0]);
}

TEST_F(LibraryTest, CurveFitOfTheCurrentRow) {
    TFanLibrary lib;
    lib.FormCreate(ini, t.TablDan, calc.CalcOptions);
    lib.Grid.SetRowCount(3);
    Put(lib.Grid, 2, {"T", "5", "", "", "", "100", "300", "200", "0", "1", "1"});
    lib.Grid.SetCurrent(5, 2);
    calc.CalcOptions[6] = '3';
    lib.RasKoefBtnClick(calc.CalcOptions);
    EXPECT_EQ('2', calc.CalcOptions[6]);
    EXPECT_EQ("-0,01000", lib.Grid.Cells(2, 2));
    EXPECT_EQ("0,00000", lib.Grid.Cells(3, 2));
    EXPECT_EQ("400,000", lib.Grid.Cells(4, 2));

    // Same flow, opposite flows, same pressure, a point that is no number.
    const char* bad[][4] = {{"50", "300", "50", "100"},
                            {"-50", "300", "50", "100"},
                            {"50", "300", "80", "300"},
                            {"50", "x", "80", "100"}};
    for (auto& p : bad) {
        Put(lib.Grid, 2, {"T", "5", "a", "b", "c", p[0], p[1], p[2], p[3]});
        calc.CalcOptions[6] = '3';
        messages.Expect(mrCancel, "Неправильно заданы точки");
        lib.RasKoefBtnClick(calc.CalcOptions);
        EXPECT_EQ(TMsgButtons::Cancel, messages.Shown().back().buttons);
        EXPECT_EQ("a", lib.Grid.Cells(2, 2));
        EXPECT_EQ('3', calc.CalcOptions[6]);
    }
}

TEST_F(LibraryTest, SettingsAndFilesOfTheProgramFolder) {
    ini.WriteString("FBiblVen", "KolToch", "2");
    ini.WriteInteger("FBiblVen", "Left", 120);
    ini.WriteInteger("TablBiblVen", "ColWidths3", 90);
    ini.WriteInteger("FBiblVU", "Widhs", 333);
    Write("RvVU.bib", Ru("Дверь;0,8;;;\r\n"));
    t.TablDan.SetFont("Arial", 12);

    TFanLibrary fans;
    fans.FormCreate(ini, t.TablDan, calc.CalcOptions);
    EXPECT_EQ('2', calc.CalcOptions[6]);
    EXPECT_EQ((TWindowPlace{120, 50, 200, 200}), fans.Place);
    EXPECT_EQ(90, fans.Grid.ColWidths(3));
    EXPECT_EQ(64, fans.Grid.ColWidths(4));
    EXPECT_EQ("Arial", fans.Grid.FontName());
    EXPECT_EQ(11, fans.Grid.ColCount());

    TDeviceLibrary devices;
    devices.FormCreate(ini, t.TablDan);
    EXPECT_EQ(333, devices.Place.Width);
    EXPECT_EQ(5, devices.Grid.RowCount());
    EXPECT_EQ(Ru("Дверь"), devices.Grid.Cells(0, 2));
    TLibraryHost host(devices);
    host.SetGridFont({"Courier New", 9});
    EXPECT_EQ("Courier New", devices.Grid.FontName());
    EXPECT_EQ(4u, host.ColumnWidths().size());

    // An empty point count keeps the three-point fit.
    ini.WriteString("FBiblVen", "KolToch", "");
    fans.ReadIniFileFBiblVen(ini, calc.CalcOptions);
    EXPECT_EQ('3', calc.CalcOptions[6]);

    devices.Grid.SetCells(1, 3, "7");
    EXPECT_TRUE(devices.SaveBtnClick());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(File("RvVU.bib"), bytes));
    EXPECT_EQ(Ru("Дверь;0,8;;;\r\n;7;;;\r\n;;;;\r\n"), bytes);
}

TEST_F(LibraryTest, FanImportCommandSavesTheLibraryAndChartCommandReadsTheFanRow) {
    TFanLibrary& lib = FanLibrary();
    lib.FormCreate(ini, t.TablDan, calc.CalcOptions);
    TBinaryWriter rec;
    rec.U8(2);
    rec.Bytes(std::string("AB") + std::string(17, '\0'));
    rec.I32(30);
    rec.F64(-0.5);
    rec.F64(0);
    rec.F64(300);
    rec.F64(0);
    std::string name = Write("import.bin", rec.Data() + rec.Data());
    dialogs.Answer(name);
    w.FindItem("ImpBib")->OnClick();
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(File("rvVent.bib"), bytes));
    EXPECT_EQ("AB;30;-0,5000;0,0000;300,0000;;;;;;;\r\nAB;30;-0,5000;0,0000;300,0000;;;;;;;\r\n",
              bytes);

    Put(t.TablVen, 2, {"5", "T", "25", "-0,5", "0", "300", "20", "100"});
    Put(t.TablVenRev, 2, {"5", "R", "30", "-0,4", "0", "250", "-15", "-90"});
    t.TablVen.SetCurrent(1, 2);
    t.TablVenRev.SetCurrent(1, 2);
    w.ToolButtons()[4].OnClick();
    w.TabbedNotebook1Change(PageReverse);
    w.FindItem("Serv_Graf")->OnClick();
    ASSERT_EQ(2u, chart.shown.size());
    EXPECT_EQ((TFanChartRequest{"-0,5", "0", "300", "25", "T", "100", "20", 2, false}),
              chart.shown[0]);
    EXPECT_EQ((TFanChartRequest{"-0,4", "0", "250", "30", "R", "-90", "-15", 2, true}),
              chart.shown[1]);
}

namespace {

bool NearColour(const QImage& image, double x, double y, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if ((image.pixel(static_cast<int>(x) + dx, static_cast<int>(y) + dy) & 0xFFFFFF) ==
                (colour & 0xFFFFFF))
                return true;
    return false;
}

} // namespace

TEST(FanChartPicture, CurveInRedAndOperatingPointInBlueWhereTheLayoutSays) {
    // H = -0.01q² + 400: (100, 300) is at pixel (140, 87.5) on 300 × 300.
    TFanChartRequest r{"-0,01", "0", "400", "25", Ru("ВОМ-16"), "300", "100"};
    TFanChartLayout l = LayoutFanChart(r, 1, 300, 300);
    QImage image = RenderFanChart(l);
    ASSERT_EQ(QSize(300, 300), image.size());
    if (qEnvironmentVariableIsSet("ARV_SAVE_CHART")) image.save("/tmp/fan_chart.png");
    EXPECT_TRUE(NearColour(image, l.X(50), l.Y(375), qRgb(255, 0, 0)));
    EXPECT_TRUE(NearColour(image, l.X(150), l.Y(175), qRgb(255, 0, 0)));
    EXPECT_TRUE(NearColour(image, 140, 87.5, qRgb(0, 0, 255)));
    // Off the curve: the white of the plot.
    EXPECT_EQ(qRgb(255, 255, 255), image.pixel(l.X(50) + 3, l.Y(200) + 3) | 0xFF000000);
    EXPECT_FALSE(NearColour(image, l.X(150), l.Y(100), qRgb(255, 0, 0)));
}

TEST_F(LibraryTest, WindowsShowHideCopyAndComeAtStartUp) {
    InstallFanChartWindow(nullptr);
    auto* owner = new QWidget;
    CreateLibraryWindows(owner);
    auto* fans = owner->findChild<TFBiblVen*>();
    auto* devices = owner->findChild<TFBiblVU*>();
    auto* grafic = owner->findChild<TFGrafic*>();
    ASSERT_TRUE(fans && devices && grafic);
    EXPECT_EQ(fans, &LibraryWindowHost(TLibraryWindow::Fans));

    DataWindowController().Dan_BiblVenClick();
    EXPECT_TRUE(fans->isVisible());
    EXPECT_FALSE(fans->Button("OKBtn")->isEnabled());
    DataWindowController().TablVenDblClick();
    EXPECT_TRUE(fans->Button("OKBtn")->isEnabled());
    fans->Button("CancelBtn")->click();
    EXPECT_FALSE(fans->isVisible());
    DataWindowController().Dan_BiblVUClick();
    EXPECT_TRUE(devices->isVisible());

    grafic->resize(400, 330);
    FanChartWindow().ShowChart({"-0,01", "0", "400", "25", "T", "", ""});
    EXPECT_TRUE(grafic->isVisible());
    EXPECT_FALSE(grafic->Image1().isNull());
    messages.Expect(mrOk, "График помещен в буфер обмена");
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Insert, Qt::ControlModifier);
    QApplication::sendEvent(grafic, &key);
    EXPECT_EQ(grafic->Image1().size(), QGuiApplication::clipboard()->image().size());
    EXPECT_EQ(TMsgIcon::Information, messages.Shown().back().icon);

    delete owner;
    // The plain windows are back once the windows are gone.
    EXPECT_NE(static_cast<IPlacedWindow*>(grafic), &FanChartHost());
    messages.Expect(mrOk);
    DataWindowController().Dan_BiblVenClick();
}

TEST_F(LibraryTest, OpenFanChartFollowsTheOperatingPointOfTheLastRun) {
    InstallFanChartWindow(nullptr);
    auto* owner = new QWidget;
    CreateLibraryWindows(owner);
    auto* grafic = owner->findChild<TFGrafic*>();
    ASSERT_NE(nullptr, grafic);
    grafic->resize(400, 330);
    auto blue = [&] {
        int n = 0;
        const QImage& image = grafic->Image1();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
        return n;
    };
    Put(t.TablVen, 2, {"5", "T", "25", "-0,01", "0", "400", "100", "300"});
    t.TablVen.SetCurrent(1, 2);
    w.FindItem("Serv_Graf")->OnClick();
    ASSERT_TRUE(grafic->isVisible());
    EXPECT_GT(blue(), 0);

    // A run that ends without results leaves the fan's flow empty: no point.
    messages.AllowAny();
    w.Rasc_ERClick();
    messages.AllowAny(false);
    ASSERT_EQ("", t.TablVen.Cells(6, 2));
    ASSERT_NE(nullptr, FanChartWindow().ShownChart());
    EXPECT_EQ("", FanChartWindow().ShownChart()->Flow);
    EXPECT_EQ(0, blue());

    // The next result shows; a row that holds another fan now shows none.
    w.RunCommand([&] { Put(t.TablVen, 2, {"5", "T", "25", "-0,01", "0", "400", "150", "175"}); });
    EXPECT_EQ("150", FanChartWindow().ShownChart()->Flow);
    EXPECT_GT(blue(), 0);
    // The same text in a data set of another unit is another flow.
    w.RunCommand([&] { calc.CalcOptions.FlowUnit = 60; });
    EXPECT_EQ(60, FanChartWindow().ShownChart()->FlowUnit);
    w.RunCommand([&] { t.TablVen.SetCells(5, 2, "500"); });
    EXPECT_EQ(0, blue());
    delete owner;
}

namespace {

// The real library windows over the program's library models, with files
// of this test's program folder.
struct LibraryFormTest : LibraryTest {
    QWidget* owner = new QWidget;
    TFBiblVU* devices = nullptr;
    TFBiblVen* fans = nullptr;
    LibraryFormTest() {
        InstallFanChartWindow(nullptr);
        Write("RvVU.bib", Ru("Дверь;0,8;1,2;глухая;\r\nРешетка;0,3;0,35;;\r\n"));
        Write("rvVent.bib",
              Ru("ВЦ-25;30;-0,03;0;300;;;;;;;\r\nВОД-21;25;;;;50;300;100;100;;;\r\n"));
        CreateLibraryWindows(owner);
        devices = owner->findChild<TFBiblVU*>();
        fans = owner->findChild<TFBiblVen*>();
    }
    ~LibraryFormTest() override {
        // The models outlive the windows: no edit is left for a later test.
        DeviceLibrary().Grid.Modified = FanLibrary().Grid.Modified = false;
        delete owner;
    }
    static std::string Bytes(const std::string& name) { return test::FileBytes(name); }
};

} // namespace

// Whatever size a library window opens at, its name column is in view: the
// rows cannot be told apart without it.
TEST_F(LibraryFormTest, WindowsOpenOnTheNameColumn) {
    ASSERT_TRUE(devices && fans);
    const std::pair<TLibraryForm*, void (TDataWindowController::*)()> windows[] = {
        {devices, &TDataWindowController::Dan_BiblVUClick},
        {fans, &TDataWindowController::Dan_BiblVenClick}};
    for (QSize size : {QSize(200, 200), QSize(330, 260), QSize(900, 400)}) {
        for (auto [form, open] : windows) {
            form->resize(size);
            (DataWindowController().*open)();
            QApplication::processEvents();
            ASSERT_TRUE(form->isVisible());
            TGridView* grid = form->Grid();
            EXPECT_EQ(0, grid->horizontalScrollBar()->value()) << size.width();
            EXPECT_EQ(0, grid->columnAt(1)) << size.width();
            // Scrolled away by the user, it opens on the name column again.
            grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
            form->Button("CancelBtn")->click();
            ASSERT_FALSE(form->isVisible());
        }
    }
    (DataWindowController().*windows[1].second)();
    QApplication::processEvents();
    EXPECT_EQ(0, fans->Grid()->columnAt(1));
}

// Typed cells, computed coefficients and added rows are asked about when the
// window is left; "Отмена" keeps it, "Нет" drops them, "Да" saves them.
TEST_F(LibraryFormTest, UnsavedEditsAreAskedAboutWhenTheWindowIsLeft) {
    ASSERT_TRUE(devices && fans);
    const std::string deviceFile = Bytes(File("RvVU.bib"));
    DataWindowController().Dan_BiblVUClick();
    QApplication::processEvents();
    TGridView* view = devices->Grid();
    view->setFocus();
    view->setCurrentIndex(view->FromGrid(1, 2));
    QTest::keyClick(view, '5');
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ("5", DeviceLibrary().Grid.Cells(1, 2));

    messages.Expect(mrCancel, "Сохранить изменения?");
    devices->Button("CancelBtn")->click();
    EXPECT_TRUE(devices->isVisible());
    ASSERT_FALSE(messages.Shown().empty());
    EXPECT_EQ(Ru("Библиотека вент. устройств"), messages.Shown().back().caption);
    EXPECT_EQ(TMsgButtons::YesNoCancel, messages.Shown().back().buttons);
    // The window's close button is "Выход" too.
    messages.Expect(mrCancel, "Сохранить изменения?");
    QCloseEvent fromWindowManager;
    QApplication::sendEvent(devices->windowHandle(), &fromWindowManager);
    EXPECT_TRUE(devices->isVisible());
    EXPECT_EQ("5", DeviceLibrary().Grid.Cells(1, 2));

    messages.Expect(mrNo, "Сохранить изменения?");
    devices->Button("CancelBtn")->click();
    EXPECT_FALSE(devices->isVisible());
    EXPECT_EQ("0,8", DeviceLibrary().Grid.Cells(1, 2));
    EXPECT_EQ(deviceFile, Bytes(File("RvVU.bib")));
    // Nothing left to ask about.
    DataWindowController().Dan_BiblVUClick();
    devices->Button("CancelBtn")->click();
    EXPECT_FALSE(devices->isVisible());

    // The curve fit's coefficients, then a row added: "Да" saves both.
    DataWindowController().Dan_BiblVenClick();
    FanLibrary().Grid.SetCurrent(5, 3);
    fans->Button("RasKoefBtn")->click();
    ASSERT_EQ("-0,02667", FanLibrary().Grid.Cells(2, 3));
    int f7 = VK_F7;
    FanLibrary().Grid.KeyDown(f7, {});
    ASSERT_EQ(5, FanLibrary().Grid.RowCount());
    messages.Expect(mrYes, "Сохранить изменения?");
    fans->Button("CancelBtn")->click();
    EXPECT_FALSE(fans->isVisible());
    EXPECT_EQ(Ru("ВЦ-25;30;-0,03;0;300;;;;;;;\r\nВОД-21;25;-0,02667;0,00000;366,667;50;300;100;"
                 "100;;;\r\n;;;;;;;;;;;\r\n"),
              Bytes(File("rvVent.bib")));
    EXPECT_EQ(0u, messages.PendingExpectations());
}
