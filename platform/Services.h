// What the program asks of the user's desktop: message boxes and questions,
// open and save dialogs, the wait cursor and the clipboard. Each is an
// interface; the program installs the windowed implementation at start-up and
// tests install a scripted one that records every message and answers each
// question as the test says. Library code calls the free functions below and
// never a window class.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

enum class TMsgButtons { Ok, Cancel, OkCancel, YesNo, YesNoCancel, YesCancel, YesCancelIgnore };
enum class TMsgIcon { None, Information, Warning, Error, Question };

// Results numbered as the platform's dialog results.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

enum class TCursor { Default, HourGlass };

struct TMessageRequest {
    std::string text;    // CP1251
    std::string caption; // CP1251; "" means the application title
    TMsgButtons buttons = TMsgButtons::Ok;
    TMsgIcon icon = TMsgIcon::None;
};

struct TFileDialogRequest {
    std::string title;      // "" for the usual caption
    std::string filter;     // "Description|*.ext;*.ex2|All|*.*"
    int filterIndex = 1;    // 1-based, as the platform's dialogs count
    std::string defaultExt; // without the dot; added when the name has none
    std::string initialDir;
    std::string fileName; // initial name in, chosen name out
    bool overwritePrompt = false;
    // Save dialogs: the extension of each filter's files, in filter order,
    // without the dot. The one of the filter picked is added to a name
    // without one, so the overwrite prompt asks about the name written.
    std::vector<std::string> filterExts;
    // Save dialogs: the user picked another filter (1-based); the name in
    // the box becomes what this returns.
    std::function<std::string(const std::string& fileName, int filterIndex)> onFilterChange;
};

class IMessageService {
public:
    virtual ~IMessageService() = default;
    // Returns the TModalResult of the pressed button; closing the box counts
    // as Cancel (or No when there is no Cancel, or Ok for an Ok box).
    virtual int MessageBox(const TMessageRequest& request) = 0;
    // One-field input; false when cancelled. value is in and out.
    virtual bool InputQuery(std::string_view caption, std::string_view prompt,
                            std::string& value) = 0;
};

class IFileDialogService {
public:
    virtual ~IFileDialogService() = default;
    virtual bool OpenDialog(TFileDialogRequest& request) = 0;
    virtual bool SaveDialog(TFileDialogRequest& request) = 0;
};

class ICursorService {
public:
    virtual ~ICursorService() = default;
    virtual void SetCursor(TCursor cursor) = 0;
};

class IClipboard {
public:
    virtual ~IClipboard() = default;
    // CP1251 in the program; the desktop clipboard holds UTF-16.
    virtual std::string GetText() = 0;
    virtual void SetText(std::string_view text) = 0;
    virtual bool HasText() = 0;
    virtual void Clear() = 0;
};

// The answer of a box closed without a button: Ok for an OK box, No for a
// Yes/No question, Cancel otherwise.
int DefaultAnswer(TMsgButtons buttons);

// Installed services; a null argument puts the built-in one back. The
// built-in services work without a desktop: messages go to the standard
// error stream and answer Cancel (or No, or Ok), dialogs are refused, the
// clipboard lives in memory.
void InstallMessageService(IMessageService* s);
void InstallFileDialogService(IFileDialogService* s);
void InstallCursorService(ICursorService* s);
void InstallClipboard(IClipboard* s);
IMessageService& MessageService();
IFileDialogService& FileDialogService();
IClipboard& Clipboard();

// Caption of message boxes that give none.
const std::string& ApplicationTitle();
void SetApplicationTitle(std::string_view title);

// The calls library code makes.
int MessageBox(std::string_view text, std::string_view caption, TMsgButtons buttons,
               TMsgIcon icon = TMsgIcon::None);
// Plain box with an OK button and the application title.
void ShowMessage(std::string_view text);
bool InputQuery(std::string_view caption, std::string_view prompt, std::string& value);
bool OpenFileDialog(TFileDialogRequest& request);
bool SaveFileDialog(TFileDialogRequest& request);

// Runs one command of a window. An exception it lets out is shown in an
// error box and the program goes on with its documents as the command left
// them; false when that happened. The windows' command slots run through it,
// so that no fault of one command ends the program with unsaved work.
bool RunCommandSafely(const std::function<void()>& command);
// A slot for a window's command: `command` run through RunCommandSafely.
template <class F> auto Safely(F command) {
    return [command]() { RunCommandSafely(command); };
}

// The screen cursor, as the program last set it.
TCursor ScreenCursor();
void SetScreenCursor(TCursor cursor);

// Shows the hourglass while it lives and puts back the cursor it found.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    TCursor saved_;
};

// While it lives, messages, questions and cursor changes asked for on the
// thread that made it are not shown but counted, and answered as a box
// closed without a button. Calculations run on helper threads use it; the
// desktop is only ever touched from the main thread.
class TQuietThread {
public:
    TQuietThread();
    ~TQuietThread();
    TQuietThread(const TQuietThread&) = delete;
    TQuietThread& operator=(const TQuietThread&) = delete;
    int Suppressed() const { return suppressed_; }

private:
    int suppressed_ = 0;
    int* outer_;
};

} // namespace arv
