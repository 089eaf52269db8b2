// Settings files in the manner of Windows initialisation files. Sections and
// keys compare without regard to letter case; values are trimmed and one pair
// of surrounding quotes is dropped, so a value written with blanks or quotes
// at its ends is written in quotes. Every line end of the text readers ends
// a line here too. Every write reaches the file at once and keeps every
// other line (sections, keys, comments) in its place, so two objects on one
// file see each other's writes. Files are CP1251 with CR LF.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arv {

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    // Buffered: the file is read once; writes change the copy in memory and
    // reach the file, whole, only through UpdateFile. A settings save of a
    // hundred keys then replaces the file once instead of a hundred times.
    TIniFile(std::string fileName, bool buffered);
    const std::string& FileName() const { return fileName_; }
    // Buffered: writes the copy in memory; false when the file could not be
    // written, or when it exists but could not be read (writing would drop
    // what it holds). Unbuffered: true.
    bool UpdateFile();

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A value that is not an integer gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // An integer: 0 is false, anything else true; no integer gives the default.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    // Accepts the decimal comma and the decimal point.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    // A value holding a line end (CR or LF) cannot be stored: it would end
    // its line, and the rest could start a section of its own.
    static bool CanStore(std::string_view value);
    // Each write returns false when the file could not be written, or when
    // the value cannot be stored (then nothing is written).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    bool WriteFloat(std::string_view section, std::string_view key, double value);

    bool EraseSection(std::string_view section);
    bool DeleteKey(std::string_view section, std::string_view key);
    // Keys of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // "key=value" lines of a section in file order.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

private:
    std::vector<std::string> Load() const;
    bool Store(const std::vector<std::string>& lines) const;
    bool FindValue(std::string_view section, std::string_view key, std::string& value) const;

    std::string fileName_;
    bool buffered_ = false;
    bool readFailed_ = false;
    mutable std::vector<std::string> cache_;
    // Section headings of the copy in memory: name and line, in file order.
    mutable std::vector<std::pair<std::string, int>> headings_;
    mutable bool headingsValid_ = false;
    void FindCachedSection(std::string_view section, int& heading, int& end) const;
};

} // namespace arv
