// The settings file "Kestrum.ini" in the program folder: the data set name,
// the places of the windows, the column widths of the tables, the fonts and
// the values of the settings dialog. It is read when the data window starts
// and written when it closes. The calculation options are not kept here:
// they travel with the network data.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"
#include "calc/window/WindowHosts.h"

#include <string>
#include <string_view>
#include <vector>

namespace arv {

class TIniFile;
struct TNasDlgModel;

// What the network data window keeps in the settings file besides its tables.
struct TDataWindowSettings {
    std::string CurrentDataFile;
    TWindowPlace Place; // section Form1
    // The window and its notebook pages take the table font.
    TFontSpec WindowFont{"Times New Roman", 10};
    // Font of the notebook's tabs.
    TFontSpec TabFont{"Times New Roman", 10};
};

// "Kestrum.ini" in the program folder, found without regard to letter case.
std::string SettingsFileName();

// Reads the data set name, the data window's place, the column widths of its
// tables, the report column count and the fonts. Missing keys give defaults.
void LoadSettings(const std::string& iniName, TNetworkTables& t, TCalcOptions& options,
                  TDataWindowSettings& window);
// Writes every key of the settings file; sections of other windows and
// programs stay. The file is replaced only when every key went in: false
// (and the old file kept) otherwise. A value holding a line end cannot be
// stored: its key is written empty and named ("Section/Key") in refused.
bool SaveSettings(const std::string& iniName, const TNetworkTables& t, const TCalcOptions& options,
                  const TDataWindowSettings& window, const TNasDlgModel& dialog,
                  std::vector<std::string>* refused = nullptr);
// Key FileName of section Name (false, and nothing written, for a name the
// file cannot hold: the close of the data window says so).
bool WriteLastDataFileName(const std::string& iniName, const std::string& currentDataFile);

// Keys Left, Top, Widhs and Height of a window section.
TWindowPlace ReadWindowPlace(const TIniFile& ini, std::string_view section, TWindowPlace def);
// Keys Name and Size of a font section.
TFontSpec ReadFont(const TIniFile& ini, std::string_view section, TFontSpec def);
// Keys ColWidths0 .. ColWidths<count - 1>, 64 when missing.
std::vector<int> ReadColumnWidths(const TIniFile& ini, std::string_view section, int count);

} // namespace arv
