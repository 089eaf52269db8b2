#include "app/EditMask.h"

#include <cstring>
#include <vector>

namespace arv {

namespace {

// The mask part ends at the first ';' that is not escaped.
size_t MaskEnd(std::string_view mask) {
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') {
            ++i;
            continue;
        }
        if (mask[i] == ';') return i;
    }
    return mask.size();
}

// Characters Qt reads as mask characters and so needs escaped as literals.
bool QtSpecial(char c) {
    return c != 0 && std::strchr("AaNnXx90Dd#HhBb><![]{}\\;", c) != nullptr;
}

void AppendLiteral(std::string& out, char c) {
    if (QtSpecial(c)) out += '\\';
    out += c;
}

// One position of the mapped mask: a literal or an input character.
struct TPosition {
    bool literal = false;
};

// Walks the mask part and reports each output position; returns the Qt
// mask text.
std::string MapMask(std::string_view m, std::vector<TPosition>* positions) {
    std::string out;
    auto input = [&](char q) {
        out += q;
        if (positions) positions->push_back({false});
    };
    auto literal = [&](char c) {
        AppendLiteral(out, c);
        if (positions) positions->push_back({true});
    };
    for (size_t i = 0; i < m.size(); ++i) {
        char c = m[i];
        switch (c) {
        case '0':
            input('9');
            break;
        case '9':
            input('0');
            break;
        case 'L':
            input('A');
            break;
        case 'l':
            input('a');
            break;
        case 'A':
            input('N');
            break;
        case 'a':
            input('n');
            break;
        case 'C':
            input('X');
            break;
        case 'c':
            input('x');
            break;
        case '#':
            input('#');
            break;
        case '<':
            if (i + 1 < m.size() && m[i + 1] == '>') {
                out += '!';
                ++i;
            } else {
                out += '<';
            }
            break;
        case '>':
            out += '>';
            break;
        case '!':
            break; // leading-blank switch: nothing in Qt
        case '\\':
            if (i + 1 < m.size()) literal(m[++i]);
            break;
        case ':':
            literal(':');
            break;
        case '/':
            literal('.');
            break;
        case '_':
            literal(' ');
            break;
        default:
            literal(c);
            break;
        }
    }
    return out;
}

} // namespace

TQtEditMask DelphiMaskToQt(std::string_view mask) {
    TQtEditMask r;
    size_t end = MaskEnd(mask);
    std::string_view m = mask.substr(0, end);
    std::string_view rest = end < mask.size() ? mask.substr(end + 1) : std::string_view{};
    // Fields after the mask: save-literals flag, then the blank character.
    if (!rest.empty()) {
        size_t semi = rest.find(';');
        std::string_view save = rest.substr(0, semi);
        if (!save.empty() && save[0] == '0') r.SaveLiterals = false;
        if (semi != std::string_view::npos && semi + 1 < rest.size()) r.Blank = rest[semi + 1];
    }
    if (m.empty()) return r;
    r.InputMask = MapMask(m, nullptr);
    r.InputMask += ';';
    r.InputMask += r.Blank;
    return r;
}

std::string MaskedEditText(std::string_view delphiMask, std::string_view displayText) {
    TQtEditMask q = DelphiMaskToQt(delphiMask);
    if (q.InputMask.empty()) return std::string(displayText);
    std::vector<TPosition> positions;
    MapMask(delphiMask.substr(0, MaskEnd(delphiMask)), &positions);
    std::string out;
    for (size_t i = 0; i < positions.size() && i < displayText.size(); ++i) {
        char c = displayText[i];
        if (positions[i].literal) {
            if (q.SaveLiterals) out += c;
        } else {
            if (c != q.Blank) out += c;
        }
    }
    return out;
}

} // namespace arv
