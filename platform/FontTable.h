// The Windows face names that drawings, tables and dialogs ask for, and the
// installed faces that take their place. The substitutes are metric
// compatible, so texts measured in pixels fit where they fitted before.
#pragma once

#include <string>
#include <string_view>

namespace arv {

// The installed family for a Windows face name (any letter case); a name
// the table does not know gets the proportional default, or the monospace
// one when fixedPitch is set. A name that is itself an installed family of
// the table passes unchanged.
std::string_view SubstituteFontFamily(std::string_view windowsName, bool fixedPitch = false);

// The proportional and the monospace family of the table.
std::string_view DefaultProportionalFamily();
std::string_view DefaultMonospaceFamily();

} // namespace arv
