// Qt fonts for the Windows face names, through the one substitution table of
// the platform layer. Windows and the canvas both ask here.
#pragma once

#include <QFont>
#include <string_view>

namespace arv {

// A font of the Windows face name (CP1251) at a size in points.
QFont WindowsFont(std::string_view faceName, int pointSize, bool fixedPitch = false);
// The same font with its family replaced by the substitute.
QFont SubstitutedFont(const QFont& f);

} // namespace arv
