#include "RtfDocument.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>

namespace arv {

void NormalizeRtf(TRtfDocument& doc) {
    for (TRtfParagraph& p : doc.Paragraphs) {
        std::vector<TRtfRun> runs;
        for (TRtfRun& r : p.Runs) {
            if (r.Text.empty()) continue;
            if (!runs.empty() && runs.back().Format == r.Format)
                runs.back().Text += r.Text;
            else
                runs.push_back(std::move(r));
        }
        p.Runs = std::move(runs);
    }
}

bool LooksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

// ---------------------------------------------------------------- writer

namespace {

void AppendEscaped(std::string& out, std::u16string_view text) {
    for (char16_t ch : text) {
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch == u'\t') {
            out += "\\tab ";
        } else if (ch == RtfLineBreak) {
            out += "\\line ";
        } else if (ch == RtfPageBreak) {
            out += "\\page ";
        } else if (ch >= 0x20 && ch < 0x7F) {
            out += static_cast<char>(ch);
        } else {
            bool ok = false;
            unsigned char c = UnicodeToCp1251(ch, &ok);
            char buf[24];
            if (ok && c >= 0x20) {
                std::snprintf(buf, sizeof buf, "\\'%02x", c);
            } else {
                // \uN takes a signed 16-bit number; '?' stands for readers
                // that do not know it.
                std::snprintf(buf, sizeof buf, "\\u%d?",
                              static_cast<int>(static_cast<int16_t>(ch)));
            }
            out += buf;
        }
    }
}

void AppendFontName(std::string& out, std::string_view name) {
    for (unsigned char c : name) {
        if (c == '\\' || c == '{' || c == '}' || c == ';' || c < 0x20 || c >= 0x80) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\'%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
}

} // namespace

std::string WriteRtf(const TRtfDocument& source) {
    TRtfDocument doc = source;
    NormalizeRtf(doc);
    std::vector<std::string> fonts;
    std::vector<uint32_t> colors;
    auto fontIndex = [&](const std::string& name) {
        auto it = std::find(fonts.begin(), fonts.end(), name);
        if (it != fonts.end()) return static_cast<int>(it - fonts.begin());
        fonts.push_back(name);
        return static_cast<int>(fonts.size() - 1);
    };
    auto colorIndex = [&](uint32_t c) {
        if (c == TRtfCharFormat::AutoColor) return 0;
        auto it = std::find(colors.begin(), colors.end(), c);
        if (it != colors.end()) return static_cast<int>(it - colors.begin()) + 1;
        colors.push_back(c);
        return static_cast<int>(colors.size());
    };
    std::string body;
    char buf[160];
    for (const TRtfParagraph& p : doc.Paragraphs) {
        const char* align = p.Align == TRtfAlign::Right     ? "\\qr"
                            : p.Align == TRtfAlign::Center  ? "\\qc"
                            : p.Align == TRtfAlign::Justify ? "\\qj"
                                                            : "\\ql";
        std::snprintf(buf, sizeof buf, "\\pard%s\\fi%d\\li%d\\ri%d", align, p.FirstIndent,
                      p.LeftIndent, p.RightIndent);
        body += buf;
        if (p.Bullet) body += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'95}}";
        for (const TRtfRun& r : p.Runs) {
            const TRtfCharFormat& f = r.Format;
            std::snprintf(buf, sizeof buf, "\\plain\\f%d\\fs%d%s%s%s%s\\cf%d ",
                          fontIndex(f.FontName), f.HalfPoints, f.Bold ? "\\b" : "",
                          f.Italic ? "\\i" : "", f.Underline ? "\\ul" : "",
                          f.StrikeOut ? "\\strike" : "", colorIndex(f.Color));
            body += buf;
            AppendEscaped(body, r.Text);
        }
        body += "\\par\r\n";
    }
    if (fonts.empty()) fonts.push_back("Courier New");
    std::string out = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl";
    for (size_t n = 0; n < fonts.size(); ++n) {
        std::snprintf(buf, sizeof buf, "{\\f%zu\\fnil\\fcharset204 ", n);
        out += buf;
        AppendFontName(out, fonts[n]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (uint32_t c : colors) {
        std::snprintf(buf, sizeof buf, "\\red%u\\green%u\\blue%u;", (c >> 16) & 0xFF,
                      (c >> 8) & 0xFF, c & 0xFF);
        out += buf;
    }
    out += "}\r\n";
    out += body;
    out += "}\r\n";
    return out;
}

// ---------------------------------------------------------------- reader

namespace {

enum class TDest { Text, FontTable, FontEntry, ColorTable, Skip, BulletText };

struct TState {
    TDest Dest = TDest::Text;
    TRtfCharFormat Char;
    int FontNumber = 0;
    int SkipAfterUnicode = 1;
};

struct TParaProps {
    TRtfAlign Align = TRtfAlign::Left;
    int FirstIndent = 0, LeftIndent = 0, RightIndent = 0;
    bool Bullet = false;
};

// Destinations whose text is not part of the document.
bool IsSkippedDestination(std::string_view w) {
    static const char* const names[] = {
        "stylesheet",    "info",       "pict",
        "header",        "headerl",    "headerr",
        "headerf",       "footer",     "footerl",
        "footerr",       "footerf",    "footnote",
        "fldinst",       "listtable",  "listoverridetable",
        "revtbl",        "rsidtbl",    "generator",
        "xmlnstbl",      "themedata",  "colorschememapping",
        "latentstyles",  "datastore",  "object",
        "shp",           "nonshppict", "bkmkstart",
        "bkmkend",       "annotation", "atnid",
        "atnauthor",     "filetbl",    "pgdsctbl",
        "mmathPr",       "panose",     "falt",
        "listtext",      "pnseclvl",   "userprops",
        "wgrffmtfilter",
    };
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

class TRtfReader {
public:
    explicit TRtfReader(std::string_view s) : s_(s) {}

    TRtfDocument Read() {
        stack_.push_back(TState{});
        size_t i = 0;
        while (i < s_.size()) {
            char c = s_[i];
            if (c == '{' || c == '}') pendingSkip_ = 0;
            if (c == '{') {
                if (stack_.size() >= MaxDepth) { // a pathological nesting
                    ++i;
                    continue;
                }
                stack_.push_back(stack_.back());
                if (stack_.back().Dest == TDest::FontTable) stack_.back().Dest = TDest::FontEntry;
                ++i;
            } else if (c == '}') {
                if (stack_.size() > 1) {
                    if (stack_.back().Dest == TDest::FontEntry) FinishFont();
                    stack_.pop_back();
                }
                ++i;
            } else if (c == '\\') {
                i = ControlWord(i + 1);
            } else if (c == '\r' || c == '\n') {
                ++i;
            } else {
                if (pendingSkip_ > 0)
                    --pendingSkip_;
                else
                    Char(static_cast<unsigned char>(c));
                ++i;
            }
        }
        if (!para_.Runs.empty()) EndParagraph();
        NormalizeRtf(doc_);
        return std::move(doc_);
    }

private:
    static constexpr size_t MaxDepth = 512;

    TState& St() { return stack_.back(); }

    void Char(unsigned char c) { Emit(Cp1251ToUnicode(c), c); }

    void Emit(char16_t u, int byte = -1) {
        TState& st = St();
        switch (st.Dest) {
        case TDest::Text:
            if (para_.Runs.empty() || para_.Runs.back().Format != st.Char)
                para_.Runs.push_back(TRtfRun{st.Char, {}});
            para_.Runs.back().Text += u;
            break;
        case TDest::FontTable:
        case TDest::FontEntry:
            if (u == u';') {
                FinishFont();
            } else if (byte >= 0) {
                fontName_ += static_cast<char>(byte);
            } else {
                fontName_ += static_cast<char>(UnicodeToCp1251(u));
            }
            break;
        case TDest::ColorTable:
            if (u == u';') {
                colors_.push_back(colorSet_ ? color_ : TRtfCharFormat::AutoColor);
                color_ = 0;
                colorSet_ = false;
            }
            break;
        default:
            break;
        }
    }

    void FinishFont() {
        std::string name = Trim(fontName_);
        if (!name.empty()) fonts_[St().FontNumber] = name;
        fontName_.clear();
    }

    void EndParagraph() {
        TRtfParagraph p;
        p.Align = props_.Align;
        p.FirstIndent = props_.FirstIndent;
        p.LeftIndent = props_.LeftIndent;
        p.RightIndent = props_.RightIndent;
        p.Bullet = props_.Bullet;
        p.Runs = std::move(para_.Runs);
        para_.Runs.clear();
        doc_.Paragraphs.push_back(std::move(p));
    }

    std::string FontName(int n) const {
        auto it = fonts_.find(n);
        return it == fonts_.end() ? std::string(DefaultFontName) : it->second;
    }

    // Reads a control word or symbol after the backslash; returns the index
    // after it (and after its delimiting blank).
    size_t ControlWord(size_t i) {
        if (i >= s_.size()) return i;
        char c = s_[i];
        if (!IsAlpha(c)) {
            if (c == '\'') {
                int hi = i + 1 < s_.size() ? Hex(s_[i + 1]) : -1;
                int lo = i + 2 < s_.size() ? Hex(s_[i + 2]) : -1;
                if (hi < 0 || lo < 0) return std::min(i + 1, s_.size());
                if (pendingSkip_ > 0)
                    --pendingSkip_;
                else
                    Char(static_cast<unsigned char>(hi * 16 + lo));
                return i + 3;
            }
            pendingSkip_ = 0;
            switch (c) {
            case '\\':
            case '{':
            case '}':
                Char(static_cast<unsigned char>(c));
                break;
            case '~':
                Emit(u'\u00A0');
                break;
            case '_':
                Emit(u'\u2011');
                break;
            case '*':
                starred_ = true;
                return i + 1;
            case '\r':
            case '\n':
                EndParagraphIfText();
                break;
            default:
                break; // \- and unknown symbols
            }
            return i + 1;
        }
        size_t start = i;
        while (i < s_.size() && IsAlpha(s_[i]) && i - start < 32) ++i;
        std::string_view word = s_.substr(start, i - start);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (i < s_.size() && s_[i] == '-') {
            negative = true;
            ++i;
        }
        size_t digits = 0;
        while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9') {
            if (digits < 10) param = param * 10 + (s_[i] - '0');
            ++digits;
            ++i;
        }
        hasParam = digits > 0;
        if (negative) param = -param;
        param = std::clamp<long long>(param, std::numeric_limits<int>::min() / 2,
                                      std::numeric_limits<int>::max() / 2);
        if (i < s_.size() && s_[i] == ' ') ++i;
        bool starred = starred_;
        starred_ = false;
        if (word != "u" && pendingSkip_ > 0) pendingSkip_ = 0;
        if (word == "bin") {
            // Raw bytes (a picture's) may hold braces; they are never text.
            size_t n = param > 0 ? static_cast<size_t>(param) : 0;
            return std::min(s_.size(), i + n);
        }
        Apply(word, hasParam, static_cast<int>(param), starred);
        return i;
    }

    void EndParagraphIfText() {
        if (St().Dest == TDest::Text) EndParagraph();
    }

    void Apply(std::string_view w, bool hasParam, int n, bool starred) {
        TState& st = St();
        TRtfCharFormat& f = st.Char;
        bool on = !hasParam || n != 0;
        if (w == "fonttbl") {
            st.Dest = TDest::FontTable;
        } else if (w == "colortbl") {
            st.Dest = TDest::ColorTable;
            color_ = 0;
            colorSet_ = false;
        } else if (w == "pntext") {
            st.Dest = TDest::BulletText;
        } else if (w == "pn" || w == "pnlvlblt") {
            if (w == "pnlvlblt") props_.Bullet = true;
            st.Dest = TDest::Skip;
        } else if (w == "fldrslt") {
            // the visible result of a field stays text
        } else if (IsSkippedDestination(w) || (starred && st.Dest != TDest::Skip)) {
            if (starred && w == "pn") props_.Bullet = true;
            st.Dest = TDest::Skip;
        } else if (st.Dest == TDest::FontTable || st.Dest == TDest::FontEntry) {
            if (w == "f" && hasParam) {
                FinishFont();
                st.FontNumber = n;
            }
        } else if (st.Dest == TDest::ColorTable) {
            if (w == "red") color_ = (color_ & 0x00FFFF) | (static_cast<uint32_t>(n & 0xFF) << 16);
            if (w == "green") color_ = (color_ & 0xFF00FF) | (static_cast<uint32_t>(n & 0xFF) << 8);
            if (w == "blue") color_ = (color_ & 0xFFFF00) | static_cast<uint32_t>(n & 0xFF);
            colorSet_ = colorSet_ || w == "red" || w == "green" || w == "blue";
        } else if (st.Dest != TDest::Text) {
            // nothing else matters outside the text
        } else if (w == "par") {
            EndParagraph();
        } else if (w == "line") {
            Emit(RtfLineBreak);
        } else if (w == "page") {
            Emit(RtfPageBreak);
        } else if (w == "tab") {
            Emit(u'\t');
        } else if (w == "emdash") {
            Emit(u'\u2014');
        } else if (w == "endash") {
            Emit(u'\u2013');
        } else if (w == "bullet") {
            Emit(u'\u2022');
        } else if (w == "lquote" || w == "rquote") {
            Emit(w == "lquote" ? u'\u2018' : u'\u2019');
        } else if (w == "ldblquote" || w == "rdblquote") {
            Emit(w == "ldblquote" ? u'\u201C' : u'\u201D');
        } else if (w == "u" && hasParam) {
            Emit(static_cast<char16_t>(static_cast<uint16_t>(static_cast<int16_t>(n))));
            pendingSkip_ = st.SkipAfterUnicode;
        } else if (w == "uc") {
            st.SkipAfterUnicode = std::clamp(n, 0, 8);
        } else if (w == "pard") {
            props_ = TParaProps{};
        } else if (w == "plain") {
            f = TRtfCharFormat{};
            f.FontName = FontName(defaultFont_);
        } else if (w == "ql") {
            props_.Align = TRtfAlign::Left;
        } else if (w == "qr") {
            props_.Align = TRtfAlign::Right;
        } else if (w == "qc") {
            props_.Align = TRtfAlign::Center;
        } else if (w == "qj") {
            props_.Align = TRtfAlign::Justify;
        } else if (w == "fi") {
            props_.FirstIndent = n;
        } else if (w == "li") {
            props_.LeftIndent = n;
        } else if (w == "ri") {
            props_.RightIndent = n;
        } else if (w == "deff" && hasParam) {
            defaultFont_ = n;
        } else if (w == "f" && hasParam) {
            f.FontName = FontName(n);
        } else if (w == "fs" && hasParam) {
            f.HalfPoints = std::clamp(n, 1, 3276);
        } else if (w == "b") {
            f.Bold = on;
        } else if (w == "i") {
            f.Italic = on;
        } else if (w == "ul") {
            f.Underline = on;
        } else if (w == "ulnone") {
            f.Underline = false;
        } else if (w == "strike") {
            f.StrikeOut = on;
        } else if (w == "cf" && hasParam) {
            f.Color = n >= 0 && static_cast<size_t>(n) < colors_.size() ? colors_[n]
                                                                        : TRtfCharFormat::AutoColor;
        }
    }

    static bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static int Hex(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    static constexpr const char* DefaultFontName = "Courier New";
    std::string_view s_;
    std::vector<TState> stack_;
    TRtfDocument doc_;
    TRtfParagraph para_;
    TParaProps props_;
    std::map<int, std::string> fonts_;
    std::string fontName_;
    std::vector<uint32_t> colors_;
    uint32_t color_ = 0;
    bool colorSet_ = false;
    bool starred_ = false;
    int defaultFont_ = 0;
    // Fallback characters still to skip after \uN.
    int pendingSkip_ = 0;
};

} // namespace

TRtfDocument ReadRtf(std::string_view rtf) {
    return TRtfReader(rtf).Read();
}

std::string RtfPlainText(const TRtfDocument& doc) {
    std::string out;
    for (const TRtfParagraph& p : doc.Paragraphs) {
        for (const TRtfRun& r : p.Runs) out += Utf16ToCp1251(r.Text);
        out += "\r\n";
    }
    return out;
}

TRtfDocument RtfFromPlainText(std::string_view text, const TRtfCharFormat& format) {
    TRtfDocument doc;
    for (const std::string& line : SplitLines(text)) {
        TRtfParagraph p;
        p.Runs.push_back(TRtfRun{format, Cp1251ToUtf16(line)});
        doc.Paragraphs.push_back(std::move(p));
    }
    NormalizeRtf(doc);
    return doc;
}

} // namespace arv
