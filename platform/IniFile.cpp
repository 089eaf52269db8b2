#include "IniFile.h"

#include "Cp1251.h"
#include "Files.h"
#include "NumberFormat.h"
#include "NumberParse.h"

namespace arv {

namespace {

// "[name]" -> name, or false when the line is no section heading.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    auto close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// "key=value" -> key and raw value, or false for comments and other lines.
bool KeyValue(const std::string& line, std::string& key, std::string& value) {
    std::string t = TrimLeft(line);
    if (t.empty() || t[0] == ';') return false;
    auto eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = t.substr(eq + 1);
    return !key.empty();
}

bool Quoted(const std::string& v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

std::string CleanValue(const std::string& raw) {
    std::string v = Trim(raw);
    if (Quoted(v)) v = v.substr(1, v.size() - 2);
    return v;
}

// The value as its line holds it: in quotes when the reader would otherwise
// trim it or take its own quotes off. Other programs read such lines alike.
std::string StoredValue(std::string_view value) {
    std::string v(value);
    return Trim(v) != v || Quoted(v) ? '"' + v + '"' : v;
}

// Line range of a section's body: [begin, end). begin = -1 when missing.
void FindSection(const std::vector<std::string>& lines, std::string_view section, int& heading,
                 int& end) {
    heading = -1;
    end = static_cast<int>(lines.size());
    std::string name;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (!SectionName(lines[i], name)) continue;
        if (heading >= 0) {
            end = i;
            return;
        }
        if (AnsiSameText(name, section)) heading = i;
    }
}

} // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

TIniFile::TIniFile(std::string fileName, bool buffered)
    : fileName_(std::move(fileName)), buffered_(buffered) {
    if (buffered_ && FileExists(fileName_)) readFailed_ = !ReadTextLines(fileName_, cache_);
}

bool TIniFile::UpdateFile() {
    if (!buffered_) return true;
    if (readFailed_) return false;
    buffered_ = false;
    bool ok = Store(cache_);
    buffered_ = true;
    return ok;
}

std::vector<std::string> TIniFile::Load() const {
    if (buffered_) return cache_;
    std::vector<std::string> lines;
    ReadTextLines(fileName_, lines);
    return lines;
}

void TIniFile::FindCachedSection(std::string_view section, int& heading, int& end) const {
    // The headings of the copy in memory are found once, not at every key.
    if (!headingsValid_) {
        headings_.clear();
        std::string name;
        for (int i = 0; i < static_cast<int>(cache_.size()); ++i)
            if (SectionName(cache_[i], name)) headings_.emplace_back(name, i);
        headingsValid_ = true;
    }
    heading = -1;
    end = static_cast<int>(cache_.size());
    for (size_t h = 0; h < headings_.size(); ++h)
        if (AnsiSameText(headings_[h].first, section)) {
            heading = headings_[h].second;
            if (h + 1 < headings_.size()) end = headings_[h + 1].second;
            return;
        }
}

bool TIniFile::Store(const std::vector<std::string>& lines) const {
    if (buffered_) {
        cache_ = lines;
        headingsValid_ = false;
        return true;
    }
    std::string text;
    for (const auto& l : lines) {
        text += l;
        text += "\r\n";
    }
    // Settings are written key by key; the rename alone keeps each write whole.
    return WriteFileAtomic(fileName_, text, nullptr, false);
}

bool TIniFile::FindValue(std::string_view section, std::string_view key, std::string& value) const {
    std::vector<std::string> fresh;
    if (!buffered_) fresh = Load();
    const std::vector<std::string>& lines = buffered_ ? cache_ : fresh;
    int heading, end;
    if (buffered_)
        FindCachedSection(section, heading, end);
    else
        FindSection(lines, section, heading, end);
    if (heading < 0) return false;
    std::string k, v;
    for (int i = heading + 1; i < end; ++i)
        if (KeyValue(lines[i], k, v) && AnsiSameText(k, key)) {
            value = CleanValue(v);
            return true;
        }
    return false;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    std::string v;
    return FindValue(section, key, v) ? v : std::string(def);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    std::string v;
    if (!FindValue(section, key, v)) return def;
    return StrToIntDef(v, def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    std::string v;
    if (!FindValue(section, key, v)) return def;
    double d;
    if (TryStrToFloat(v, d, ',') || TryStrToFloat(v, d, '.')) return d;
    return def;
}

bool TIniFile::CanStore(std::string_view value) {
    return value.find_first_of("\r\n") == std::string_view::npos;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!CanStore(value)) return false;
    auto lines = Load();
    std::string line = std::string(key) + "=" + StoredValue(value);
    int heading, end;
    FindSection(lines, section, heading, end);
    if (heading < 0) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(line);
        return Store(lines);
    }
    std::string k, v;
    int lastEntry = heading;
    for (int i = heading + 1; i < end; ++i) {
        if (KeyValue(lines[i], k, v)) {
            if (AnsiSameText(k, key)) {
                lines[i] = line;
                return Store(lines);
            }
        }
        if (!Trim(lines[i]).empty()) lastEntry = i;
    }
    lines.insert(lines.begin() + lastEntry + 1, line);
    return Store(lines);
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, IntToStr(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    return WriteString(section, key, FloatToStr(value));
}

bool TIniFile::EraseSection(std::string_view section) {
    auto lines = Load();
    int heading, end;
    FindSection(lines, section, heading, end);
    if (heading < 0) return true;
    lines.erase(lines.begin() + heading, lines.begin() + end);
    return Store(lines);
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    auto lines = Load();
    int heading, end;
    FindSection(lines, section, heading, end);
    if (heading < 0) return true;
    std::string k, v;
    for (int i = heading + 1; i < end; ++i)
        if (KeyValue(lines[i], k, v) && AnsiSameText(k, key)) {
            lines.erase(lines.begin() + i);
            return Store(lines);
        }
    return true;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    auto lines = Load();
    int heading, end;
    FindSection(lines, section, heading, end);
    if (heading < 0) return keys;
    std::string k, v;
    for (int i = heading + 1; i < end; ++i)
        if (KeyValue(lines[i], k, v)) keys.push_back(k);
    return keys;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> values;
    auto lines = Load();
    int heading, end;
    FindSection(lines, section, heading, end);
    if (heading < 0) return values;
    std::string k, v;
    for (int i = heading + 1; i < end; ++i)
        if (KeyValue(lines[i], k, v)) values.push_back(k + "=" + CleanValue(v));
    return values;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    std::string name;
    for (const auto& l : Load())
        if (SectionName(l, name)) names.push_back(name);
    return names;
}

bool TIniFile::SectionExists(std::string_view section) const {
    auto lines = Load();
    int heading, end;
    FindSection(lines, section, heading, end);
    return heading >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    std::string v;
    return FindValue(section, key, v);
}

} // namespace arv
