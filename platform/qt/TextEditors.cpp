#include "platform/qt/TextEditors.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

namespace arv {

bool PasteSourceUsable(const QMimeData* source) {
    return source && !source->formats().isEmpty();
}

namespace {

class TLineEditPasteGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QClipboard::Mode mode;
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            mode = QClipboard::Clipboard;
        else if (event->type() == QEvent::MouseButtonRelease &&
                 static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
                 QGuiApplication::clipboard()->supportsSelection())
            mode = QClipboard::Selection;
        else
            return false;
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || edit->isReadOnly()) return false;
        const QMimeData* source = QGuiApplication::clipboard()->mimeData(mode);
        if (PasteSourceUsable(source) && source->hasText()) return false;
        event->accept();
        return true;
    }
};

} // namespace

void InstallPasteGuard() {
    // Owned by the application: a later application gets its own.
    static QPointer<QObject> installed;
    if (!qApp || installed) return;
    installed = new TLineEditPasteGuard(qApp);
    qApp->installEventFilter(installed);
}

bool TPlainTextEditor::canInsertFromMimeData(const QMimeData* source) const {
    return PasteSourceUsable(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TPlainTextEditor::insertFromMimeData(const QMimeData* source) {
    if (PasteSourceUsable(source)) QPlainTextEdit::insertFromMimeData(source);
}

bool TRichTextEditor::canInsertFromMimeData(const QMimeData* source) const {
    return PasteSourceUsable(source) && QTextEdit::canInsertFromMimeData(source);
}

void TRichTextEditor::insertFromMimeData(const QMimeData* source) {
    if (PasteSourceUsable(source)) QTextEdit::insertFromMimeData(source);
}

} // namespace arv
