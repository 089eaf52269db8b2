#include "calc/files/Settings.h"

#include "calc/window/NasDlgModel.h"

#include "platform/Files.h"
#include "platform/IniFile.h"

namespace arv {

namespace {

constexpr int kDefaultColWidth = 64;
const TFontSpec kTableFont{"Times New Roman", 10};
const TFontSpec kMemoFont{"Courier New", 10};

std::string ColWidthKey(int col) {
    return "ColWidths" + std::to_string(col);
}

void LoadColumnWidths(const TIniFile& ini, TModGrid& grid) {
    auto widths = ReadColumnWidths(ini, grid.Name(), grid.ColCount());
    for (int col = 0; col < static_cast<int>(widths.size()); ++col)
        grid.SetColWidths(col, widths[col]);
}

// Collects the keys in memory and replaces the file once, whole: a failure
// half-way leaves the old file as it was. A value the file cannot hold is
// written empty, so no older value passes for it, and its key is named.
class TSettingsWriter {
public:
    TSettingsWriter(const std::string& iniName, std::vector<std::string>* refused)
        : ini_(iniName, true), refused_(refused) {}

    void String(std::string_view section, std::string_view key, std::string_view value) {
        if (!TIniFile::CanStore(value)) {
            if (refused_) refused_->push_back(std::string(section) + "/" + std::string(key));
            value = {};
        }
        if (ok_) ok_ = ini_.WriteString(section, key, value);
    }
    void Integer(std::string_view section, std::string_view key, int value) {
        if (ok_) ok_ = ini_.WriteInteger(section, key, value);
    }
    void Bool(std::string_view section, std::string_view key, bool value) {
        if (ok_) ok_ = ini_.WriteBool(section, key, value);
    }
    void Place(std::string_view section, const TWindowPlace& p) {
        Integer(section, "Left", p.Left);
        Integer(section, "Top", p.Top);
        Integer(section, "Widhs", p.Width);
        Integer(section, "Height", p.Height);
    }
    void Widths(std::string_view section, const std::vector<int>& widths) {
        for (int col = 0; col < static_cast<int>(widths.size()); ++col)
            Integer(section, ColWidthKey(col), widths[col]);
    }
    void Widths(const TModGrid& grid) {
        std::vector<int> widths;
        for (int col = 0; col < grid.ColCount(); ++col) widths.push_back(grid.ColWidths(col));
        Widths(grid.Name(), widths);
    }
    void Font(std::string_view section, const TFontSpec& font) {
        String(section, "Name", font.Name);
        Integer(section, "Size", font.Size);
    }
    // A file that exists but cannot be read is not replaced: its sections of
    // other windows and programs would be lost.
    bool Commit() { return ok_ && ini_.UpdateFile(); }

private:
    TIniFile ini_;
    std::vector<std::string>* refused_;
    bool ok_ = true;
};

} // namespace

std::string SettingsFileName() {
    return ProgramFile("Kestrum.ini");
}

TWindowPlace ReadWindowPlace(const TIniFile& ini, std::string_view section, TWindowPlace def) {
    return {ini.ReadInteger(section, "Left", def.Left), ini.ReadInteger(section, "Top", def.Top),
            ini.ReadInteger(section, "Widhs", def.Width),
            ini.ReadInteger(section, "Height", def.Height)};
}

TFontSpec ReadFont(const TIniFile& ini, std::string_view section, TFontSpec def) {
    return {ini.ReadString(section, "Name", def.Name), ini.ReadInteger(section, "Size", def.Size)};
}

std::vector<int> ReadColumnWidths(const TIniFile& ini, std::string_view section, int count) {
    std::vector<int> widths;
    for (int col = 0; col < count; ++col)
        widths.push_back(ini.ReadInteger(section, ColWidthKey(col), kDefaultColWidth));
    return widths;
}

void LoadSettings(const std::string& iniName, TNetworkTables& t, TCalcOptions& options,
                  TDataWindowSettings& window) {
    // Read once: every key is then looked up in memory, not in the file.
    const TIniFile ini(iniName, true);
    window.CurrentDataFile = ini.ReadString("Name", "FileName", "");
    window.Place = ReadWindowPlace(ini, "Form1", TWindowPlace{});
    LoadColumnWidths(ini, t.TablDan);
    LoadColumnWidths(ini, t.TablPotr);
    options.ReportColumnCount = ini.ReadInteger("TablDan", "KolStolb", 21);
    for (TModGrid* g : {&t.TablVen, &t.TablDanRev, &t.TablVenRev, &t.TablDavl})
        LoadColumnWidths(ini, *g);

    TFontSpec grid = ReadFont(ini, "GridFont", kTableFont);
    for (TModGrid* g : {&t.TablDan, &t.TablVen, &t.TablVenRev, &t.TablDanRev})
        g->SetFont(grid.Name, grid.Size);
    window.WindowFont = grid;
    t.VybTip.FontName = grid.Name;
    t.VybTip.FontSize = grid.Size;

    TFontSpec memo = ReadFont(ini, "MemoFont", kMemoFont);
    window.TabFont = ReadFont(ini, "NotebookFont", kTableFont);
    for (TMemo* m : {&t.MemoPotr, &t.MemoUst, &t.MemoDav}) {
        m->FontName = memo.Name;
        m->FontSize = memo.Size;
    }
}

bool SaveSettings(const std::string& iniName, const TNetworkTables& t, const TCalcOptions& options,
                  const TDataWindowSettings& window, const TNasDlgModel& dialog,
                  std::vector<std::string>* refused) {
    TSettingsWriter w(iniName, refused);
    w.String("Name", "FileName", window.CurrentDataFile);
    w.String("Name", "PathExeFile", ProgramDir());

    w.Place("Form1", window.Place);
    w.Place("FOtchet", ReportEditorHost().Place());
    w.Place("FBiblVen", LibraryWindowHost(TLibraryWindow::Fans).Place());
    w.String("FBiblVen", "KolToch", std::string(1, options[6]));
    w.Place("FBiblVu", LibraryWindowHost(TLibraryWindow::Devices).Place());
    w.Place("FGrafic", FanChartHost().Place());

    w.Widths(t.TablDan);
    w.Integer("TablDan", "KolStolb", options.ReportColumnCount);
    w.Widths(t.TablVen);
    w.Widths(t.TablDanRev);
    w.Widths(t.TablVenRev);
    w.Widths("TablBiblVen", LibraryWindowHost(TLibraryWindow::Fans).ColumnWidths());
    w.Widths("TablBiblVU", LibraryWindowHost(TLibraryWindow::Devices).ColumnWidths());
    w.Widths(t.TablPotr);
    w.Widths(t.TablDavl);

    w.Font("GridFont", {t.TablDan.FontName(), t.TablDan.FontSize()});
    w.Font("NoteBookFont", window.TabFont);
    w.Font("MemoFont", {t.MemoPotr.FontName, t.MemoPotr.FontSize});
    w.Font("OtchetFont", ReportEditorHost().EditorFont());

    for (int i = 0; i < ReportColumnBoxes; ++i)
        w.Bool("OtchetTabl", ReportColumnCheckKey(i), dialog.CheckBox[i]);
    for (int i = 0; i < ReportColumnBoxes; ++i)
        w.String("OtchetTabl", ReportColumnTextKey(i), dialog.SKol[i]);
    for (int n = 0; n < NasDlgNumberCount; ++n)
        w.String("NasDlg", NasDlgNumberKey(n), dialog.Number[n]);
    w.Integer("Otchet", "KolStolb", options.ReportColumnCount);
    return w.Commit();
}

bool WriteLastDataFileName(const std::string& iniName, const std::string& currentDataFile) {
    TIniFile ini(iniName);
    return ini.WriteString("Name", "FileName", currentDataFile);
}

} // namespace arv
