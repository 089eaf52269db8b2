#include "calc/files/Settings.h"
#include "calc/window/NasDlgModel.h"
#include "calc/window/WindowHosts.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

std::string Read(const std::string& name) {
    std::string bytes;
    ReadFileBytes(name, bytes);
    return bytes;
}

// The program folder is a fresh test folder; the plain window stand-ins are
// in place.
struct SettingsTest : ::testing::Test {
    test::TProgramFolder folder;
    std::filesystem::path& dir = folder.dir;
    TCalcContext calc;
    TNetworkTables t{calc};
    TDataWindowSettings window;
    TNasDlgModel dialog;

    std::string Ini() const { return SettingsFileName(); }
};

class TFakeReportEditor : public IReportEditorHost {
public:
    TWindowPlace Place() const override { return {1, 2, 3, 4}; }
    TFontSpec EditorFont() const override { return {Ru("Моноширинный"), 13}; }
    void ShowEditor() override {}
    bool Modified() const override { return false; }
    bool SaveReport() override { return true; }
    void CloseWithProgram() override {}
};

class TFakeLibrary : public ILibraryWindowHost {
public:
    TWindowPlace Place() const override { return {5, 6, 7, 8}; }
    std::vector<int> ColumnWidths() const override { return {90, 91}; }
    void SetGridFont(const TFontSpec& font) override { gridFont = font; }
    void ShowLibrary(bool) override {}
    TFontSpec gridFont;
};

} // namespace

TEST_F(SettingsTest, DefaultsWrittenEqualTheGoldenFileWithEveryKey) {
    LoadSettings(Ini(), t, calc.CalcOptions, window);
    LoadNasDlgSettings(Ini(), dialog, calc.CalcOptions);
    ASSERT_TRUE(SaveSettings(Ini(), t, calc.CalcOptions, window, dialog));
    std::string golden = Read(std::string(ARV_CALC_TEST_DATA) + "/Kestrum_defaults.ini");
    ASSERT_FALSE(golden.empty());
    golden = StringReplaceAll(golden, "@PROGRAMDIR@", ProgramDir());
    EXPECT_EQ(golden, Read(Ini()));
    // Nothing is left beside the file.
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(1, files);
}

TEST_F(SettingsTest, FirstStartWithoutTheFileGivesTheDefaults) {
    t.TablDan.SetColWidths(3, 10);
    LoadSettings(Ini(), t, calc.CalcOptions, window);
    EXPECT_EQ((TWindowPlace{10, 10, 400, 400}), window.Place);
    EXPECT_EQ("", window.CurrentDataFile);
    for (const TModGrid* g :
         {&t.TablDan, &t.TablPotr, &t.TablVen, &t.TablDanRev, &t.TablVenRev, &t.TablDavl})
        for (int col = 0; col < g->ColCount(); ++col) EXPECT_EQ(64, g->ColWidths(col)) << g->Name();
    EXPECT_EQ(21, calc.CalcOptions.ReportColumnCount);
    EXPECT_EQ("Times New Roman", t.TablVenRev.FontName());
    EXPECT_EQ(10, t.TablDanRev.FontSize());
    EXPECT_EQ("Times New Roman", t.VybTip.FontName);
    EXPECT_EQ("Courier New", t.MemoDav.FontName);
    EXPECT_EQ((TFontSpec{"Times New Roman", 10}), window.TabFont);

    LoadNasDlgSettings(Ini(), dialog, calc.CalcOptions);
    EXPECT_EQ(10, calc.CalcOptions.ReportColumnCount);
    EXPECT_DOUBLE_EQ(2.5, calc.CalcOptions.PageScale);
    EXPECT_DOUBLE_EQ(3.0, calc.CalcOptions.FireMinSlope);
    EXPECT_DOUBLE_EQ(90.0, calc.CalcOptions.FireElapsedTime);
    EXPECT_DOUBLE_EQ(50.0, calc.CalcOptions.StoppedFanResistance);
    EXPECT_DOUBLE_EQ(0.05, calc.CalcOptions.FailedDeviceResistance);
    EXPECT_EQ("0.05", dialog.Number[NumFailedDeviceResistance]);
    for (int i = 0; i < ReportColumnBoxes; ++i) {
        EXPECT_EQ(TNasDlgModel().CheckBox[i], dialog.CheckBox[i]) << i;
        EXPECT_EQ(i == 15 ? "4.0" : "1.5", dialog.SKol[i]);
    }
}

TEST_F(SettingsTest, RoundTripKeepsEveryValueAndForeignSections) {
    ASSERT_TRUE(WriteFileAtomic(Ini(), Ru("[WayPeople]\r\nLeft=77\r\n; заметка\r\n\r\n[FOtchet]\r\n"
                                          "Left=31\r\nTop=32\r\nWidhs=33\r\nHeight=34\r\n"
                                          "[TablBiblVen]\r\nColWidths10=99\r\n")));
    // Blanks and quotes at the ends are the value's own.
    window.CurrentDataFile = Ru("/шахты/Северная.dan ");
    window.Place = {20, 30, 640, 480};
    window.TabFont = {"Arial", 9};
    t.TablDan.SetColCount(30);
    t.TablDan.SetColWidths(29, 12);
    t.TablDavl.SetColWidths(6, 101);
    t.TablDan.SetFont("Liberation Serif", 12);
    t.MemoPotr.FontName = "Liberation Mono";
    t.MemoPotr.FontSize = 11;
    calc.CalcOptions.ReportColumnCount = 7;
    calc.CalcOptions[6] = '3';
    dialog.CheckBox[3] = true;
    dialog.CheckBox[4] = false;
    dialog.SKol[21] = "'2,25'";
    dialog.Number[NumFireElapsedTime] = "45,5";
    ASSERT_TRUE(SaveSettings(Ini(), t, calc.CalcOptions, window, dialog));

    TIniFile ini(Ini());
    EXPECT_EQ("77", ini.ReadString("WayPeople", "Left", ""));
    EXPECT_NE(std::string::npos, Read(Ini()).find(Ru("; заметка")));
    // The plain stand-ins give back what the file held for their windows.
    EXPECT_EQ(33, ini.ReadInteger("FOtchet", "Widhs", 0));
    EXPECT_EQ(99, ini.ReadInteger("TablBiblVen", "ColWidths10", 0));
    EXPECT_EQ(64, ini.ReadInteger("TablBiblVU", "ColWidths3", 0));
    EXPECT_EQ("Courier New Cyr", ini.ReadString("OtchetFont", "Name", ""));
    EXPECT_EQ("3", ini.ReadString("FBiblVen", "KolToch", ""));
    EXPECT_EQ(ProgramDir(), ini.ReadString("Name", "PathExeFile", ""));

    TCalcContext c2;
    TNetworkTables back{c2};
    back.TablDan.SetColCount(30);
    TDataWindowSettings w2;
    TNasDlgModel d2;
    LoadSettings(Ini(), back, c2.CalcOptions, w2);
    EXPECT_EQ(7, c2.CalcOptions.ReportColumnCount);
    LoadNasDlgSettings(Ini(), d2, c2.CalcOptions);
    EXPECT_EQ(window.CurrentDataFile, w2.CurrentDataFile);
    EXPECT_EQ(window.Place, w2.Place);
    EXPECT_EQ(window.TabFont, w2.TabFont);
    EXPECT_EQ((TFontSpec{"Liberation Serif", 12}), w2.WindowFont);
    EXPECT_EQ(12, back.TablDan.ColWidths(29));
    EXPECT_EQ(101, back.TablDavl.ColWidths(6));
    EXPECT_EQ("Liberation Serif", back.TablVen.FontName());
    EXPECT_EQ("Liberation Mono", back.MemoUst.FontName);
    EXPECT_EQ(11, back.MemoDav.FontSize);
    EXPECT_EQ(dialog.CheckBox, d2.CheckBox);
    EXPECT_EQ(dialog.SKol, d2.SKol);
    EXPECT_EQ(dialog.Number, d2.Number);
    EXPECT_DOUBLE_EQ(45.5, c2.CalcOptions.FireElapsedTime);
    EXPECT_EQ(7, c2.CalcOptions.ReportColumnCount);

    // Saving what was read gives the same file (the fan library reads its
    // own KolToch).
    c2.CalcOptions[6] = '3';
    std::string first = Read(Ini());
    ASSERT_TRUE(SaveSettings(Ini(), back, c2.CalcOptions, w2, d2));
    EXPECT_EQ(first, Read(Ini()));
}

TEST_F(SettingsTest, InstalledWindowsReportTheirOwnPlacesFontsAndWidths) {
    TFakeReportEditor editor;
    TFakeLibrary fans;
    InstallReportEditorHost(&editor);
    InstallLibraryWindowHost(TLibraryWindow::Fans, &fans);
    ASSERT_TRUE(SaveSettings(Ini(), t, calc.CalcOptions, window, dialog));
    InstallReportEditorHost(nullptr);
    InstallLibraryWindowHost(TLibraryWindow::Fans, nullptr);
    TIniFile ini(Ini());
    EXPECT_EQ(4, ini.ReadInteger("FOtchet", "Height", 0));
    EXPECT_EQ(Ru("Моноширинный"), ini.ReadString("OtchetFont", "Name", ""));
    EXPECT_EQ(13, ini.ReadInteger("OtchetFont", "Size", 0));
    EXPECT_EQ(7, ini.ReadInteger("FBiblVen", "Widhs", 0));
    EXPECT_EQ(91, ini.ReadInteger("TablBiblVen", "ColWidths1", 0));
    EXPECT_FALSE(ini.ValueExists("TablBiblVen", "ColWidths2"));
    EXPECT_EQ(200, ini.ReadInteger("FBiblVu", "Height", 0));
    EXPECT_EQ(300, ini.ReadInteger("FGrafic", "Widhs", 0));
    // Without a drawing window nothing is saved with a drawing.
    EXPECT_FALSE(DrawingHost().Exists());
    EXPECT_FALSE(DrawingHost().SaveDrawing("x.grh"));
}

TEST_F(SettingsTest, LastDataFileNameAndAFailedWriteKeepsTheOldFile) {
    ASSERT_TRUE(WriteLastDataFileName(Ini(), Ru("/данные/шахта.dan")));
    EXPECT_EQ(Ru("/данные/шахта.dan"), TIniFile(Ini()).ReadString("name", "filename", ""));
    std::string before = Read(Ini());
    // A folder where the file should be cannot be written over.
    std::string blocked = (dir / "blocked.ini").string();
    std::filesystem::create_directory(dir / "blocked.ini");
    EXPECT_FALSE(SaveSettings(blocked, t, calc.CalcOptions, window, dialog));
    EXPECT_TRUE(DirectoryExists(blocked));
    EXPECT_FALSE(FileExists(blocked + ".new"));
    EXPECT_EQ(before, Read(Ini()));
}

TEST_F(SettingsTest, SettingsDialogMapsItsControlsToTheOptions) {
    ASSERT_TRUE(WriteFileAtomic(Ini(), "[NasDlg]\r\nKoefPech=abc\r\nRRegAv=0,07\r\n[OtchetTabl]\r\n"
                                       "Chec0=0\r\nChec1=0\r\n[Otchet]\r\nKolStolb=12\r\n"));
    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[1] = 'S';
    calc.CalcOptions[4] = 'M';
    calc.CalcOptions[5] = 'H';
    t.MemoPotr.FontName = "Mono";
    LoadSettings(Ini(), t, calc.CalcOptions, window);
    t.MemoPotr.FontName = "Mono";
    window.TabFont = {"Tabs", 8};
    NasDlgFormCreate(Ini(), dialog, calc.CalcOptions, t, window);
    // Unreadable number in the file: its default; either separator reads.
    EXPECT_EQ("2.5", dialog.Number[NumPageScale]);
    EXPECT_DOUBLE_EQ(2.5, calc.CalcOptions.PageScale);
    EXPECT_DOUBLE_EQ(0.07, calc.CalcOptions.FailedDeviceResistance);
    EXPECT_TRUE(dialog.CheckBox[0]);
    EXPECT_FALSE(dialog.CheckBox[1]);
    EXPECT_EQ(12, calc.CalcOptions.ReportColumnCount);
    EXPECT_EQ(1, dialog.UnitsIndex);
    EXPECT_EQ(1, dialog.AccuracyIndex);
    EXPECT_EQ(1, dialog.AlgorithmIndex);
    EXPECT_EQ(2, dialog.NewTableIndex);
    EXPECT_EQ(1, dialog.FanEquationIndex);
    EXPECT_EQ("Times New Roman", dialog.TableFontName);
    EXPECT_EQ("Mono", dialog.ReportFontName);
    EXPECT_EQ("Tabs", dialog.PageFontName);
    EXPECT_FALSE(dialog.Visible);

    NasDlgShow(dialog, calc.CalcOptions);
    EXPECT_TRUE(dialog.Visible && dialog.Enabled);
    dialog.UnitsIndex = 0;
    dialog.AccuracyIndex = 0;
    dialog.AlgorithmIndex = 0;
    dialog.NewTableIndex = 1;
    dialog.Number[NumStoppedFanResistance] = " 75,5 ";
    calc.CalcOptions[6] = ' ';
    // A field that is no number (or empty) refuses the whole OK: it is
    // named, nothing reaches the options and the dialog stays open.
    test::TScriptedMessages messages;
    const std::pair<TNasDlgNumber, const char*> refused[] = {
        {NumPageScale, "В поле \"Масштаб страницы для расстановки страниц\" должно быть число"},
        {NumFireMinSlope, "В поле \"Мин.угол наклона выработки при моделировании пожара\" должно "
                          "быть число"}};
    dialog.Number[NumFireMinSlope] = "3,0x";
    dialog.Number[NumPageScale] = "";
    for (const auto& [number, text] : refused) {
        messages.Expect(mrOk, text);
        int which = -1;
        EXPECT_FALSE(NasDlgOk(dialog, calc.CalcOptions, t, &which));
        EXPECT_EQ(number, which);
        EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
        EXPECT_EQ('S', calc.CalcOptions[1]);
        EXPECT_DOUBLE_EQ(50.0, calc.CalcOptions.StoppedFanResistance);
        EXPECT_EQ(12, calc.CalcOptions.ReportColumnCount);
        EXPECT_TRUE(dialog.Visible && dialog.Enabled);
        dialog.Number[number] = number == NumPageScale ? "2,5" : "4";
    }
    EXPECT_TRUE(NasDlgOk(dialog, calc.CalcOptions, t));
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('D', calc.CalcOptions[1]);
    EXPECT_EQ('S', calc.CalcOptions[4]);
    EXPECT_EQ('R', calc.CalcOptions[5]);
    EXPECT_EQ('2', calc.CalcOptions[6]);
    EXPECT_DOUBLE_EQ(75.5, calc.CalcOptions.StoppedFanResistance);
    EXPECT_DOUBLE_EQ(4.0, calc.CalcOptions.FireMinSlope);
    EXPECT_DOUBLE_EQ(2.5, calc.CalcOptions.PageScale);
    // The ten initial columns but the start node's.
    EXPECT_EQ(9, calc.CalcOptions.ReportColumnCount);
    EXPECT_FALSE(dialog.Visible || dialog.Enabled);

    // Each opening shows the options in force: another data set brought
    // other ones since.
    calc.CalcOptions.FlowUnit = 60;
    calc.CalcOptions[1] = 'S';
    calc.CalcOptions[4] = 'M';
    calc.CalcOptions[5] = 'O';
    calc.CalcOptions.FailedDeviceResistance = 0.25;
    NasDlgShow(dialog, calc.CalcOptions);
    EXPECT_EQ(1, dialog.UnitsIndex);
    EXPECT_EQ(1, dialog.AccuracyIndex);
    EXPECT_EQ(1, dialog.AlgorithmIndex);
    EXPECT_EQ(0, dialog.NewTableIndex);
    EXPECT_EQ("0,25", dialog.Number[NumFailedDeviceResistance]);
    // The texts given keep their form where they say what is in force.
    EXPECT_EQ(" 75,5 ", dialog.Number[NumStoppedFanResistance]);
    NasDlgOk(dialog, calc.CalcOptions, t);
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('M', calc.CalcOptions[4]);

    // The other group items.
    NasDlgShow(dialog, calc.CalcOptions);
    dialog.UnitsIndex = dialog.AccuracyIndex = dialog.AlgorithmIndex = 1;
    dialog.NewTableIndex = 2;
    NasDlgOk(dialog, calc.CalcOptions, t);
    EXPECT_EQ(60, calc.CalcOptions.FlowUnit);
    EXPECT_EQ('S', calc.CalcOptions[1]);
    EXPECT_EQ('M', calc.CalcOptions[4]);
    EXPECT_EQ('H', calc.CalcOptions[5]);
}

TEST_F(SettingsTest, SettingsDialogCancelAndFonts) {
    NasDlgFormCreate(Ini(), dialog, calc.CalcOptions, t, window);
    NasDlgShow(dialog, calc.CalcOptions);
    dialog.UnitsIndex = 1;
    dialog.CheckBox[4] = false;
    dialog.Number[NumPageScale] = "9";
    NasDlgCancel(dialog);
    EXPECT_EQ(0, dialog.UnitsIndex);
    EXPECT_TRUE(dialog.CheckBox[4]);
    EXPECT_EQ("2.5", dialog.Number[NumPageScale]);
    EXPECT_EQ(1, calc.CalcOptions.FlowUnit);
    EXPECT_FALSE(dialog.Visible);

    TFakeLibrary devices;
    InstallLibraryWindowHost(TLibraryWindow::Devices, &devices);
    NasDlgApplyFont(dialog, TNasDlgFont::Tables, {"Serif", 14}, t, window);
    InstallLibraryWindowHost(TLibraryWindow::Devices, nullptr);
    EXPECT_EQ("Serif", t.TablVenRev.FontName());
    EXPECT_EQ(14, t.TablDan.FontSize());
    EXPECT_EQ("Serif", window.WindowFont.Name);
    EXPECT_EQ("Serif", devices.gridFont.Name);
    EXPECT_EQ("Serif", dialog.TableFontName);
    EXPECT_EQ((TFontSpec{"Serif", 14}), NasDlgCurrentFont(TNasDlgFont::Tables, t, window));
    NasDlgApplyFont(dialog, TNasDlgFont::Reports, {"Mono", 9}, t, window);
    EXPECT_EQ("Mono", t.MemoUst.FontName);
    EXPECT_EQ(9, t.MemoDav.FontSize);
    EXPECT_EQ("Mono", dialog.ReportFontName);
    NasDlgApplyFont(dialog, TNasDlgFont::Pages, {"Sans", 7}, t, window);
    EXPECT_EQ((TFontSpec{"Sans", 7}), window.TabFont);
    EXPECT_EQ("Sans", dialog.PageFontName);

    EXPECT_EQ(Ru("Номер ветви"), ReportColumnCaption(0));
    EXPECT_EQ(Ru("Количество людей"), ReportColumnCaption(21));
    EXPECT_EQ("Chec21", ReportColumnCheckKey(21));
    EXPECT_EQ("SKol09", ReportColumnTextKey(9));
    EXPECT_EQ("SKol15", ReportColumnTextKey(15));
}
