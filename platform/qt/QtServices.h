// The desktop services with Qt: message boxes, one-field input, open and save
// dialogs, the wait cursor and the clipboard. The program installs them once
// after the application object exists.
#pragma once

#include "platform/Services.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace arv {

class TQtMessageService : public IMessageService {
public:
    int MessageBox(const TMessageRequest& request) override;
    bool InputQuery(std::string_view caption, std::string_view prompt, std::string& value) override;
};

class TQtFileDialogService : public IFileDialogService {
public:
    bool OpenDialog(TFileDialogRequest& request) override;
    bool SaveDialog(TFileDialogRequest& request) override;
};

class TQtCursorService : public ICursorService {
public:
    void SetCursor(TCursor cursor) override;

private:
    bool overridden_ = false;
};

class TQtClipboard : public IClipboard {
public:
    std::string GetText() override;
    void SetText(std::string_view text) override;
    bool HasText() override;
    void Clear() override;
};

// Installs all of the above for the life of the program.
void InstallQtServices();

// The desktop's printers by name, as the print windows offer them, and the
// one of them a print goes to first (empty: none, a PDF file is offered).
// The print windows know the printers only from here.
QStringList AvailablePrinterNames();
QString DefaultPrinterName();
// Tests never reach the desk's printers: a test puts in a list of its own
// and the default printer among it (none unless named); an empty function
// puts the system's printers back.
void InstallPrinterList(std::function<QStringList()> list, QString defaultPrinter = {});

// What every command that shows a window does: a minimised window comes back
// as it was before, on top of the others and active.
void ShowWindowRestored(QWidget& window);

// "Text|*.a;*.b|All|*.*" as a Qt name filter list "Text (*.a *.A *.b *.B);;All (*)".
QString QtFilterFromPlatformFilter(std::string_view filter, int filterIndex, QString* selected);

} // namespace arv
