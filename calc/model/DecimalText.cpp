#include "calc/model/DecimalText.h"

#include "platform/NumberParse.h"

namespace arv {

std::string ToCommaDecimal(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        if (c == ' ') continue;
        r += c == '.' ? ',' : c;
    }
    return r;
}

std::string ToPointDecimal(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        if (c == ' ') continue;
        r += c == ',' ? '.' : c;
    }
    return r;
}

std::string ToPointDecimalUnquoted(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        if (c == ',')
            c = '.';
        else if (c == '\'')
            c = ' ';
    }
    return r;
}

std::string ToCommaDecimalUnquoted(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        if (c == '.')
            c = ',';
        else if (c == '\'')
            c = ' ';
    }
    return r;
}

bool TryCellToFloat(std::string_view cell, double& value) {
    double v = 0;
    int code = 0;
    Val(ToPointDecimal(cell), v, code);
    if (code != 0) return false;
    value = v;
    return true;
}

int CellToIntDef0(std::string_view cell) {
    std::string t;
    for (char c : cell)
        if (c != ' ') t += c;
    return StrToIntDef(t, 0);
}

} // namespace arv
