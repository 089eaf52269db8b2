#include "calc/ui/FocusWindowKind.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace arv {

TActivationTracker::TWindowKind FocusWindowKind(QWindow* window, const QWidget& self) {
    using K = TActivationTracker;
    if (!window || window->type() == Qt::Popup || window->type() == Qt::ToolTip) return K::Outside;
    if (window == self.windowHandle()) return K::ThisWindow;
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && modal->windowHandle() == window)
        return K::ModalDialog;
    return K::ProgramWindow;
}

} // namespace arv
