// Icons of the main window's tool buttons: the desktop icon theme's standard
// names where one fits, small drawings for the tools a mine plan needs.
#pragma once

#include <QIcon>
#include <QString>

class QToolBar;

namespace arv {

// The icon of the tool button with this object name; a null icon for a name
// the table does not know.
QIcon ToolButtonIcon(const QString& objectName);

// The look every tool bar of the main window shares: small icons, each
// action's from its object name, and the buttons' texts as their hints.
void MakeIconToolBar(QToolBar* bar);

} // namespace arv
