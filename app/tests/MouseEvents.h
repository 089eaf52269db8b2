// Mouse events sent straight to a widget of the real program, offscreen, as
// the window system would deliver them.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace arv::test {

inline void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                 Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A move to the point, then a press and a release of the button there.
inline void Click(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    Send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
    Send(w, QEvent::MouseButtonPress, p, button, button);
    Send(w, QEvent::MouseButtonRelease, p, button, Qt::NoButton);
}

} // namespace arv::test
