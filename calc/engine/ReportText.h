// Small helpers of the stability and fire reports: numbers with a decimal
// point, and the tab-separated cells of the prepared export texts.
#pragma once

#include "platform/NumberFormat.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace arv {

// Report numbers carry a decimal point.
inline std::string PointFormat(std::string_view fmt, std::initializer_list<TFormatArg> args) {
    return Format(fmt, args, '.');
}

inline std::string TabJoin(std::initializer_list<std::string> cells) {
    std::string s;
    bool first = true;
    for (const std::string& cell : cells) {
        if (!first) s += "\t";
        s += cell;
        first = false;
    }
    return s;
}

} // namespace arv
