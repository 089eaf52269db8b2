// Which of the program's windows the keyboard focus moved to, as the
// activation tracker of a window counts it.
#pragma once

#include "calc/window/DataWindowController.h"

class QWidget;
class QWindow;

namespace arv {

// self is the window that tracks its activations.
TActivationTracker::TWindowKind FocusWindowKind(QWindow* window, const QWidget& self);

} // namespace arv
