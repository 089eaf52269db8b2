// The text editors of the program's windows and the guard over every line
// edit. Every editable multi-line text widget is one of these editors: their
// paste (Ctrl+V, Shift+Insert, the paste commands, a middle click, a drop)
// ignores a source that offers no data.
// With no program owning the X clipboard or the primary selection (after
// log-in, or once the program that copied has ended) Qt 6.4 hands the editor
// a source without formats, and Qt's own insertion of it crashes the whole
// program with every unsaved document.
#pragma once

#include <QPlainTextEdit>
#include <QTextEdit>

class QMimeData;

namespace arv {

// Whether a paste or drop source has anything an editor could insert.
bool PasteSourceUsable(const QMimeData* source);

// Every line edit of the application (the program's own, those inside spin
// and combo boxes, the standard dialogs' name boxes) ignores a paste key or
// a middle click while the clipboard or the selection offers no text, as the
// editors do, instead of deleting the text selected in it. Once per
// application; later calls do nothing.
void InstallPasteGuard();

// Plain text only (the memos, the symbol editor).
class TPlainTextEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// Rich text (the report editor).
class TRichTextEditor : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace arv
