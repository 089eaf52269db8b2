#include "app/IdrawSettings.h"

#include "platform/IniFile.h"

namespace arv {

namespace {

constexpr const char* kCommon = "Common";
constexpr const char* kBookmarks = "BOOKMARKS";

} // namespace

void ReadIdrawIni(const std::string& path, TIdrawSettings& s) {
    TIniFile ini(path, true);
    TIdrawSettings d;
    s.Grid = ini.ReadBool(kCommon, "Grid", d.Grid);
    s.Name = ini.ReadBool(kCommon, "Name", d.Name);
    s.BranchN = ini.ReadBool(kCommon, "BranchN", d.BranchN);
    s.NodeN = ini.ReadBool(kCommon, "NodeN", d.NodeN);
    s.GridLink = ini.ReadBool(kCommon, "GridLink", d.GridLink);
    s.NodeLink = ini.ReadBool(kCommon, "NodeLink", d.NodeLink);
    s.NodeLSize = ini.ReadInteger(kCommon, "NodeLSize", d.NodeLSize);
    s.PLAPath = ini.ReadBool(kCommon, "PLAPath", d.PLAPath);
    s.FotoPath = ini.ReadBool(kCommon, "FotoPath", d.FotoPath);
    s.LastFile = ini.ReadString("SYSTEM", "LastFile", "");
    s.GridStep = ini.ReadInteger(kCommon, "GridStep", d.GridStep);
    s.GridColor = ini.ReadInteger(kCommon, "GridColor", d.GridColor);
    s.BackColor = ini.ReadInteger(kCommon, "BackColor", d.BackColor);
    s.DefLineColor = ini.ReadInteger(kCommon, "defLineColor", d.DefLineColor);
    s.Positiv = ini.ReadBool(kCommon, "Positiv", d.Positiv);
    s.MainFontSize = ini.ReadInteger(kCommon, "MainFontSize", d.MainFontSize);
    s.BnFontSize = ini.ReadInteger(kCommon, "BnFontSize", d.BnFontSize);
    s.ExtFontSize = ini.ReadInteger(kCommon, "ExtFontSize", d.ExtFontSize);
    s.NodeFontSize = ini.ReadInteger(kCommon, "NodeFontSize", d.NodeFontSize);
    s.ArrowIsScaled = ini.ReadBool(kCommon, "ArrowIsScaled", d.ArrowIsScaled);
    const int count = ini.ReadInteger(kBookmarks, "Count", 0);
    s.Bookmarks.clear();
    // A damaged count must not make the reader spin over missing keys.
    for (int i = 0; i < count && i < 10000; ++i) {
        std::string n = std::to_string(i);
        s.Bookmarks.push_back({ini.ReadString(kBookmarks, "Book" + n, ""),
                               ini.ReadString(kBookmarks, "Path" + n, "")});
    }
}

bool WriteIdrawIni(const std::string& path, const TIdrawSettings& s) {
    TIniFile ini(path, true);
    ini.WriteBool(kCommon, "Grid", s.Grid);
    ini.WriteBool(kCommon, "Name", s.Name);
    ini.WriteBool(kCommon, "BranchN", s.BranchN);
    ini.WriteBool(kCommon, "NodeN", s.NodeN);
    ini.WriteBool(kCommon, "GridLink", s.GridLink);
    ini.WriteBool(kCommon, "NodeLink", s.NodeLink);
    ini.WriteInteger(kCommon, "NodeLSize", s.NodeLSize);
    ini.WriteInteger(kCommon, "GridStep", s.GridStep);
    ini.WriteInteger(kCommon, "GridColor", s.GridColor);
    ini.WriteInteger(kCommon, "BackColor", s.BackColor);
    ini.WriteInteger(kCommon, "defLineColor", s.DefLineColor);
    ini.WriteInteger(kCommon, "SizeNodes", s.SizeNodes);
    ini.WriteInteger(kCommon, "SizeUO", s.SizeUO);
    ini.WriteInteger(kCommon, "WidthDefault", s.WidthDefault);
    ini.WriteBool(kCommon, "Positiv", s.Positiv);
    ini.WriteInteger(kCommon, "MainFontSize", s.MainFontSize);
    ini.WriteInteger(kCommon, "BnFontSize", s.BnFontSize);
    ini.WriteInteger(kCommon, "ExtFontSize", s.ExtFontSize);
    ini.WriteInteger(kCommon, "NodeFontSize", s.NodeFontSize);
    ini.WriteBool(kCommon, "ArrowIsScaled", s.ArrowIsScaled);
    // A name the file cannot hold is written empty: the next start then
    // opens no drawing rather than an older one.
    ini.WriteString("SYSTEM", "LastFile", TIniFile::CanStore(s.LastFile) ? s.LastFile : "");
    ini.WriteBool(kCommon, "PLAPath", s.PLAPath);
    ini.WriteBool(kCommon, "FotoPath", s.FotoPath);
    // Erased first: a list that got shorter must not keep its old tail.
    ini.EraseSection(kBookmarks);
    if (!s.Bookmarks.empty()) {
        ini.WriteInteger(kBookmarks, "Count", static_cast<int>(s.Bookmarks.size()));
        for (size_t i = 0; i < s.Bookmarks.size(); ++i) {
            std::string n = std::to_string(i);
            ini.WriteString(kBookmarks, "Book" + n, s.Bookmarks[i].Name);
            ini.WriteString(kBookmarks, "Path" + n, s.Bookmarks[i].Path);
        }
    }
    return ini.UpdateFile();
}

} // namespace arv
