#include "document/SymbolLibrary.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberParse.h"

#include <algorithm>
#include <cmath>

namespace arv {

void TGCollUO::Add(const TSymbolRecord& rec) {
    // The library grows by 10 records when full.
    if (symbols.size() == symbols.capacity()) symbols.reserve(symbols.size() + 10);
    symbols.push_back(rec);
}

namespace {

// Reads the lines of one source into the library through one work record,
// as the symbol files and the drawing's symbol text share it.
class TSymbolParser {
public:
    TSymbolParser(TGCollUO& lib, std::vector<std::string>* log, std::string source)
        : lib_(lib), log_(log), source_(std::move(source)) {}

    void Line(std::string_view line, int lineNumber);
    void SetSource(std::string source) { source_ = std::move(source); }

private:
    bool Fail(std::string_view line, int lineNumber);

    TGCollUO& lib_;
    std::vector<std::string>* log_;
    std::string source_;
    TSymbolRecord work_;
};

// Fields terminated by ';'; text after the last ';' is no field.
std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    for (size_t semi = text.find(';'); semi != std::string_view::npos; semi = text.find(';', pos)) {
        fields.push_back(text.substr(pos, semi - pos));
        pos = semi + 1;
    }
    return fields;
}

struct TCommand {
    char letter;
    size_t mandatory; // numeric fields (S: its third is the character)
    std::array<int32_t, 5> optionalDefaults;
    std::array<int, 5> optionalSlots; // field index of each optional, -1 ends
};

const TCommand* FindCommand(char letter) {
    static const TCommand commands[] = {
        {'A', 8, {1, 0, 0, 0, 0}, {0, 1, 2, 3, -1}},    {'C', 3, {1, 0, 0, 0, 0}, {1, 2, 3, 4, -1}},
        {'L', 4, {1, 0, 0, 0, 0}, {0, 1, 2, -1, -1}},   {'R', 4, {1, 0, 0, 0, 0}, {0, 1, 2, 3, -1}},
        {'S', 4, {0, 0, 0, 0, 0}, {1, -1, -1, -1, -1}}, {'T', 6, {1, 0, 0, 0, 0}, {0, 1, 2, 3, -1}},
    };
    for (const TCommand& c : commands) {
        if (c.letter == letter) return &c;
    }
    return nullptr;
}

bool TSymbolParser::Fail(std::string_view line, int lineNumber) {
    if (log_) {
        std::string msg = Ru("Условные обозначения: строка ") + std::to_string(lineNumber);
        if (!source_.empty()) msg += Ru(" файла ") + source_;
        msg += Ru(" не прочитана: ") + std::string(line);
        log_->push_back(std::move(msg));
    }
    return false;
}

void TSymbolParser::Line(std::string_view line, int lineNumber) {
    if (line.empty()) return;
    const char letter = static_cast<char>(UpperCase(line.substr(0, 1))[0]);
    const std::string_view rest = line.size() > 2 ? line.substr(2) : std::string_view{};
    if (letter == 'B') {
        // The name runs to its ';' (or to the end of a line without one).
        size_t semi = rest.find(';');
        work_.name = std::string(semi == std::string_view::npos ? rest : rest.substr(0, semi));
        work_.count = 0;
        return;
    }
    if (letter == 'E') {
        lib_.Add(work_);
        return;
    }
    const TCommand* cmd = FindCommand(letter);
    if (!cmd) return;
    if (work_.count >= kMaxPrimitives) return;
    std::vector<std::string_view> fields = SplitFields(rest);
    if (fields.size() < cmd->mandatory) {
        Fail(line, lineNumber);
        return;
    }
    std::array<int32_t, 8> f{};
    for (size_t i = 0; i < cmd->mandatory; ++i) {
        if (letter == 'S' && i == 2) continue; // the character
        if (!TryStrToInt(fields[i], f[i])) {
            Fail(line, lineNumber);
            return;
        }
    }
    // Every field starts at 0; optional fields present but empty take their
    // default, absent ones stay 0.
    std::array<int32_t, 5> values{};
    for (size_t k = 0; k < 5 && cmd->optionalSlots[k] >= 0; ++k) {
        size_t at = cmd->mandatory + k;
        if (at >= fields.size()) break;
        int32_t v = cmd->optionalDefaults[k];
        if (!fields[at].empty() && !TryStrToInt(fields[at], v)) {
            Fail(line, lineNumber);
            return;
        }
        values[cmd->optionalSlots[k]] = v;
    }
    TSymbolPrimitive& p = work_.prims[work_.count];
    p.fields = values;
    switch (letter) {
    case 'A':
        p.kind = 'a';
        p.points[0] = {f[0], f[3]};
        p.points[1] = {f[2], f[1]};
        p.points[2] = {f[4], f[5]};
        p.points[3] = {f[6], f[7]};
        break;
    case 'C':
        p.kind = 'c';
        p.points[2] = {f[0], f[1]};
        p.fields[0] = f[2];
        break;
    case 'L':
        p.kind = 'l';
        p.points[0] = {f[0], f[1]};
        p.points[1] = {f[2], f[3]};
        break;
    case 'R':
        p.kind = 'r';
        p.points = {TPoint{f[0], f[1]}, TPoint{f[2], f[1]}, TPoint{f[2], f[3]}, TPoint{f[0], f[3]}};
        break;
    case 'S':
        p.kind = 's';
        p.points[2] = {f[0], f[1]};
        p.character = fields[2].empty() ? '\0' : fields[2][0];
        p.fields[0] = f[3];
        break;
    case 'T':
        p.kind = 't';
        p.points[0] = {f[0], f[1]};
        p.points[1] = {f[2], f[3]};
        p.points[2] = {f[4], f[5]};
        break;
    }
    ++work_.count;
}

} // namespace

void LoadSymbolLibrary(TGCollUO& lib, std::string_view programDir, std::vector<std::string>* log) {
    lib.Clear();
    std::string folder = FindFileNoCase(programDir, "IMG");
    if (folder.empty() || !DirectoryExists(folder)) return;
    std::vector<std::string> files = ListFilesWithExt(folder, ".uo");
    TSymbolParser parser(lib, log, {});
    for (const std::string& file : files) {
        std::vector<std::string> lines;
        if (!ReadTextLines(file, lines)) continue;
        parser.SetSource(ExtractFileName(file));
        for (size_t i = 0; i < lines.size(); ++i) {
            parser.Line(Trim(lines[i]), static_cast<int>(i + 1));
        }
    }
}

void ParseSymbolText(TGCollUO& lib, std::string_view text, std::vector<std::string>* log) {
    lib.Clear();
    TSymbolParser parser(lib, log, {});
    const std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) parser.Line(lines[i], static_cast<int>(i + 1));
}

void TransformSymbol(const TGCollUO& lib, int32_t index, int32_t size, TSymbolRecord& out,
                     double angle) {
    out = TSymbolRecord{};
    if (index < 0 || index >= lib.Count()) return;
    const TSymbolRecord& src = lib.symbols[index];
    const double s = size / static_cast<double>(kSymbolDesignSize);
    const double c = std::cos(angle), sn = std::sin(angle);
    auto turn = [&](TPoint p) {
        return TPoint{RoundI(p.x * c - p.y * sn), RoundI(p.x * sn + p.y * c)};
    };
    out.name = src.name;
    out.count = src.count;
    const int count = std::clamp(src.count, 0, kMaxPrimitives);
    for (int i = 0; i < count; ++i) {
        const TSymbolPrimitive& p = src.prims[i];
        TSymbolPrimitive& o = out.prims[i];
        o.kind = p.kind;
        switch (p.kind) {
        case 'a':
            o.points = {p.points[0], p.points[1], turn(p.points[2]), turn(p.points[3])};
            o.fields = p.fields;
            break;
        case 'c':
            o.points[2] = turn(p.points[2]);
            o.fields = p.fields;
            o.fields[0] = RoundI(p.fields[0] * s);
            break;
        case 'l':
            o.points[0] = turn(p.points[0]);
            o.points[1] = turn(p.points[1]);
            o.fields = p.fields;
            break;
        case 'r':
            for (int k = 0; k < 4; ++k) o.points[k] = turn(p.points[k]);
            o.fields = p.fields;
            break;
        case 's':
            o.points[2] = turn(p.points[2]);
            o.fields[0] = RoundI(p.fields[0] * s);
            o.fields[1] = p.fields[1];
            o.character = p.character;
            break;
        case 't':
            for (int k = 0; k < 3; ++k) o.points[k] = turn(p.points[k]);
            o.fields = p.fields;
            break;
        default:
            break;
        }
        for (TPoint& pt : o.points) pt = {RoundI(pt.x * s), RoundI(pt.y * s)};
    }
}

int32_t FindSymbolIndex(const TGCollUO& lib, int32_t size, TSymbolRecord& out, int32_t angle,
                        std::string_view name) {
    for (int32_t i = 0; i < lib.Count(); ++i) {
        if (lib.symbols[i].name == name) {
            TransformSymbol(lib, i, size, out, angle * kPi / 180.0);
            return i;
        }
    }
    return -1;
}

} // namespace arv
