// Qt key events in the platform's key codes and shift states (Keys.h).
#pragma once

#include "platform/Keys.h"

#include <Qt>

class QKeyEvent;

namespace arv {

// The virtual key of a key event, 0 for keys the program has no code for.
int VirtualKey(const QKeyEvent* e);
TShiftState ShiftState(Qt::KeyboardModifiers modifiers);

} // namespace arv
