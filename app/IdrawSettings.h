// The drawing window's settings file "Idraw.ini": view switches, grid and
// colours, text sizes, the last drawing and the bookmarks. Read once at
// start-up, written when the window closes and by the options command.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace arv {

struct TBookmark {
    std::string Name; // CP1251
    std::string Path;
    bool operator==(const TBookmark&) const = default;
};

struct TIdrawSettings {
    bool Grid = true;
    bool Name = true;
    bool BranchN = true;
    bool NodeN = true;
    bool GridLink = true;
    bool NodeLink = true;
    int NodeLSize = 15;
    int GridStep = 5;
    int GridColor = 0;
    int BackColor = 16777215;
    int DefLineColor = 0;
    // Written only: the reader leaves them to the document.
    int SizeNodes = 11;
    int SizeUO = 40;
    int WidthDefault = 1;
    bool Positiv = false;
    int MainFontSize = 8;
    int BnFontSize = 8;
    int ExtFontSize = 8;
    int NodeFontSize = 9;
    bool ArrowIsScaled = true;
    std::string LastFile;
    bool PLAPath = true;
    bool FotoPath = true;
    std::vector<TBookmark> Bookmarks;
    bool operator==(const TIdrawSettings&) const = default;
};

// Missing keys and a missing file give the defaults above; the written-only
// keys keep the values passed in.
void ReadIdrawIni(const std::string& path, TIdrawSettings& s);
// Writes every key in one replacement of the file; sections of others stay,
// the bookmark section is written anew (entries removed since the last
// write do not linger). False when the file could not be written. A last
// file whose name holds a line end is written empty (the file cannot hold
// it); bookmarks that would need one are refused when they are added.
bool WriteIdrawIni(const std::string& path, const TIdrawSettings& s);

} // namespace arv
