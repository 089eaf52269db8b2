#include "QtServices.h"

#include "QtText.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStringList>

namespace arv {

namespace {

// A message box shows the normal cursor whatever the command had set.
class TCursorPause {
public:
    TCursorPause() : saved_(ScreenCursor()) {
        if (saved_ != TCursor::Default) SetScreenCursor(TCursor::Default);
    }
    ~TCursorPause() {
        if (saved_ != TCursor::Default) SetScreenCursor(saved_);
    }

private:
    TCursor saved_;
};

QWidget* ActiveParent() {
    return QApplication::activeWindow();
}

} // namespace

int TQtMessageService::MessageBox(const TMessageRequest& r) {
    TCursorPause pause;
    QMessageBox box(ActiveParent());
    box.setWindowTitle(ToQString(r.caption.empty() ? ApplicationTitle() : r.caption));
    box.setText(ToQString(r.text));
    switch (r.icon) {
    case TMsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case TMsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case TMsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case TMsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    struct TButton {
        QString text;
        QMessageBox::ButtonRole role;
        int result;
    };
    const QString ok = "OK", cancel = QString::fromUtf8("Отмена"), yes = QString::fromUtf8("Да"),
                  no = QString::fromUtf8("Нет"), ignore = QString::fromUtf8("Пропустить");
    std::vector<TButton> buttons;
    switch (r.buttons) {
    case TMsgButtons::Ok:
        buttons = {{ok, QMessageBox::AcceptRole, mrOk}};
        break;
    case TMsgButtons::Cancel:
        buttons = {{cancel, QMessageBox::RejectRole, mrCancel}};
        break;
    case TMsgButtons::OkCancel:
        buttons = {{ok, QMessageBox::AcceptRole, mrOk},
                   {cancel, QMessageBox::RejectRole, mrCancel}};
        break;
    case TMsgButtons::YesNo:
        buttons = {{yes, QMessageBox::YesRole, mrYes}, {no, QMessageBox::NoRole, mrNo}};
        break;
    case TMsgButtons::YesNoCancel:
        buttons = {{yes, QMessageBox::YesRole, mrYes},
                   {no, QMessageBox::NoRole, mrNo},
                   {cancel, QMessageBox::RejectRole, mrCancel}};
        break;
    case TMsgButtons::YesCancel:
        buttons = {{yes, QMessageBox::YesRole, mrYes}, {cancel, QMessageBox::RejectRole, mrCancel}};
        break;
    case TMsgButtons::YesCancelIgnore:
        buttons = {{yes, QMessageBox::YesRole, mrYes},
                   {cancel, QMessageBox::RejectRole, mrCancel},
                   {ignore, QMessageBox::ActionRole, mrIgnore}};
        break;
    }
    std::vector<std::pair<QPushButton*, int>> made;
    for (const auto& b : buttons) made.emplace_back(box.addButton(b.text, b.role), b.result);
    box.setDefaultButton(made.front().first);
    // Escape and the close button give the box's "cancel" answer.
    int escapeResult = made.front().second;
    for (const auto& [button, result] : made)
        if (result == mrCancel || (result == mrNo && escapeResult != mrCancel)) {
            box.setEscapeButton(button);
            escapeResult = result;
        }
    box.exec();
    for (const auto& [button, result] : made)
        if (box.clickedButton() == button) return result;
    return escapeResult;
}

bool TQtMessageService::InputQuery(std::string_view caption, std::string_view prompt,
                                   std::string& value) {
    TCursorPause pause;
    bool ok = false;
    QString text = QInputDialog::getText(ActiveParent(), ToQString(caption), ToQString(prompt),
                                         QLineEdit::Normal, ToQString(value), &ok);
    if (ok) value = FromQString(text);
    return ok;
}

QString QtFilterFromPlatformFilter(std::string_view filter, int filterIndex, QString* selected) {
    QStringList parts = ToQString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            QString t = p.trimmed();
            if (t == "*.*") t = "*";
            patterns << t;
            // Names on this file system keep their case; offer both spellings.
            if (t.toUpper() != t) patterns << t.toUpper();
        }
        patterns.removeDuplicates();
        QString entry = parts[i] + " (" + patterns.join(' ') + ")";
        out << entry;
        if (selected && (i / 2 + 1) == filterIndex) *selected = entry;
    }
    return out.join(";;");
}

namespace {

bool RunFileDialog(TFileDialogRequest& r, bool save) {
    TCursorPause pause;
    QFileDialog dlg(ActiveParent(), ToQString(r.title));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !r.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    QString selected;
    QString filters = QtFilterFromPlatformFilter(r.filter, r.filterIndex, &selected);
    if (!filters.isEmpty()) {
        dlg.setNameFilter(filters);
        if (!selected.isEmpty()) dlg.selectNameFilter(selected);
    }
    if (!r.defaultExt.empty()) dlg.setDefaultSuffix(ToQString(r.defaultExt));
    // The suffix of the filter picked, so that the name the dialog asks
    // about when it exists is the name the program writes.
    auto filterSuffix = [&r](int filterIndex) {
        if (filterIndex >= 1 && filterIndex <= static_cast<int>(r.filterExts.size()))
            return ToQString(r.filterExts[static_cast<size_t>(filterIndex - 1)]);
        return ToQString(r.defaultExt);
    };
    if (save && !r.filterExts.empty()) dlg.setDefaultSuffix(filterSuffix(r.filterIndex));
    if (save && (!r.filterExts.empty() || r.onFilterChange))
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&](const QString& filter) {
            const int index = static_cast<int>(dlg.nameFilters().indexOf(filter)) + 1;
            if (index < 1) return;
            if (!r.filterExts.empty()) dlg.setDefaultSuffix(filterSuffix(index));
            auto* edit = dlg.findChild<QLineEdit*>("fileNameEdit");
            if (!r.onFilterChange || !edit) return;
            const std::string name = r.onFilterChange(FromQString(edit->text()), index);
            edit->setText(ToQString(name));
        });
    std::string dir = r.initialDir.empty() ? ExtractFilePath(r.fileName) : r.initialDir;
    if (!dir.empty()) dlg.setDirectory(ToQString(NormalizeSeparators(dir)));
    if (!r.fileName.empty()) dlg.selectFile(ToQString(ExtractFileName(r.fileName)));
    if (dlg.exec() != QDialog::Accepted) return false;
    QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return false;
    r.fileName = FromQString(files.front());
    QStringList all = dlg.nameFilters();
    int idx = static_cast<int>(all.indexOf(dlg.selectedNameFilter()));
    if (idx >= 0) r.filterIndex = idx + 1;
    return true;
}

} // namespace

bool TQtFileDialogService::OpenDialog(TFileDialogRequest& r) {
    return RunFileDialog(r, false);
}
bool TQtFileDialogService::SaveDialog(TFileDialogRequest& r) {
    return RunFileDialog(r, true);
}

void TQtCursorService::SetCursor(TCursor cursor) {
    if (cursor == TCursor::HourGlass) {
        if (!overridden_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        overridden_ = true;
    } else if (overridden_) {
        QGuiApplication::restoreOverrideCursor();
        overridden_ = false;
    }
}

std::string TQtClipboard::GetText() {
    return FromQString(QGuiApplication::clipboard()->text());
}

void TQtClipboard::SetText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

bool TQtClipboard::HasText() {
    return !QGuiApplication::clipboard()->text().isEmpty();
}

void TQtClipboard::Clear() {
    QGuiApplication::clipboard()->clear();
}

namespace {

struct TPrinterList {
    std::function<QStringList()> names;
    QString defaultName;
};

TPrinterList& PrinterList() {
    static TPrinterList list;
    return list;
}

} // namespace

void ShowWindowRestored(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

QStringList AvailablePrinterNames() {
    return PrinterList().names ? PrinterList().names() : QPrinterInfo::availablePrinterNames();
}

QString DefaultPrinterName() {
    const QString name =
        PrinterList().names ? PrinterList().defaultName : QPrinterInfo::defaultPrinterName();
    return AvailablePrinterNames().contains(name) ? name : QString();
}

void InstallPrinterList(std::function<QStringList()> list, QString defaultPrinter) {
    PrinterList() = {std::move(list), std::move(defaultPrinter)};
}

void InstallQtServices() {
    static TQtMessageService messages;
    static TQtFileDialogService dialogs;
    static TQtCursorService cursor;
    static TQtClipboard clipboard;
    InstallMessageService(&messages);
    InstallFileDialogService(&dialogs);
    InstallCursorService(&cursor);
    InstallClipboard(&clipboard);
}

} // namespace arv
