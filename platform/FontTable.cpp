#include "platform/FontTable.h"

#include "platform/Cp1251.h"

#include <array>
#include <utility>

namespace arv {

namespace {

constexpr std::string_view kSans = "Liberation Sans";
constexpr std::string_view kSerif = "Liberation Serif";
constexpr std::string_view kMono = "Liberation Mono";

// Widths of the Liberation and Crosextra faces match the Windows faces glyph
// for glyph; the others are the nearest in width of what is installed.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kTable{{
    {"Arial", kSans},
    {"Arial Cyr", kSans},
    {"Helvetica", kSans},
    {"MS Sans Serif", kSans},
    {"Microsoft Sans Serif", kSans},
    {"Tahoma", kSans},
    {"Verdana", kSans},
    {"System", kSans},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Times New Roman", kSerif},
    {"Times New Roman Cyr", kSerif},
    {"Times", kSerif},
    {"MS Serif", kSerif},
    {"Courier New", kMono},
    {"Courier New Cyr", kMono},
    {"Courier", kMono},
    {"Lucida Console", kMono},
    {"Fixedsys", kMono},
    {"Calibri", "Carlito"},
    {"Cambria", "Caladea"},
}};

} // namespace

std::string_view SubstituteFontFamily(std::string_view windowsName, bool fixedPitch) {
    std::string name = Trim(windowsName);
    for (const auto& [from, to] : kTable) {
        if (AnsiSameText(name, from) || AnsiSameText(name, to)) return to;
    }
    return fixedPitch ? kMono : kSans;
}

std::string_view DefaultProportionalFamily() {
    return kSans;
}
std::string_view DefaultMonospaceFamily() {
    return kMono;
}

} // namespace arv
