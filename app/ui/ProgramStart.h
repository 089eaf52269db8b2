// Program start-up with windows: the main drawing window first, then the
// network data window with its settings dialog; each is created once and
// lives until the program ends.
#pragma once

#include "app/ui/DrawWinForm.h"
#include "calc/ui/Form1Window.h"

#include <memory>
#include <string>
#include <vector>

namespace arv {

struct TProgramWindows {
    std::unique_ptr<TIDrawWin> DrawWin;
    std::unique_ptr<TIDrawWinForm> IDrawWinForm;
    std::unique_ptr<TForm1> Form1;
    ~TProgramWindows();
};

// What makes the program look as Linux desktop programs do, set before any
// window: Qt's own texts (standard dialogs, edit box menus) in Russian, and
// the desktop's icon theme with a fallback that the set-up script installs.
void InstallDesktopLook();

// Shows a window maximised; where the window system does not maximise it
// (no window manager) or does so late, it still covers the available area of
// its screen, not its natural size.
void ShowMaximisedOverTheScreen(QWidget* window);

// Creates the windows in start-up order over the drawing named by the
// command line (or the last one) and shows the main window, maximised.
std::unique_ptr<TProgramWindows> StartProgram(const std::vector<std::string>& args);

} // namespace arv
