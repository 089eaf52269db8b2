#include "Services.h"

#include "Cp1251.h"
#include "Errors.h"

#include <cstdio>
#include <exception>
#include <new>

namespace arv {

namespace {

class TConsoleMessages : public IMessageService {
public:
    int MessageBox(const TMessageRequest& r) override {
        std::fprintf(stderr, "%s: %s\n",
                     Cp1251ToUtf8(r.caption.empty() ? ApplicationTitle() : r.caption).c_str(),
                     Cp1251ToUtf8(r.text).c_str());
        return DefaultAnswer(r.buttons);
    }
    bool InputQuery(std::string_view, std::string_view, std::string&) override { return false; }
};

class TNoDialogs : public IFileDialogService {
public:
    bool OpenDialog(TFileDialogRequest&) override { return false; }
    bool SaveDialog(TFileDialogRequest&) override { return false; }
};

class TMemoryClipboard : public IClipboard {
public:
    std::string GetText() override { return text_; }
    void SetText(std::string_view t) override { text_ = t; }
    bool HasText() override { return !text_.empty(); }
    void Clear() override { text_.clear(); }

private:
    std::string text_;
};

struct TRegistry {
    TConsoleMessages consoleMessages;
    TNoDialogs noDialogs;
    TMemoryClipboard memoryClipboard;
    IMessageService* messages = &consoleMessages;
    IFileDialogService* dialogs = &noDialogs;
    ICursorService* cursor = nullptr;
    IClipboard* clipboard = &memoryClipboard;
    TCursor screenCursor = TCursor::Default;
    std::string title = "Arvalen";
};

thread_local int* quietCount = nullptr;

TRegistry& Registry() {
    static TRegistry r;
    return r;
}

} // namespace

bool RunCommandSafely(const std::function<void()>& command) {
    std::string text;
    try {
        command();
        return true;
    } catch (const Exception& e) {
        // The program's own errors carry a text for the user.
        text = e.Message();
    } catch (const std::bad_alloc&) {
        text = Ru("Недостаточно памяти для выполнения команды");
    } catch (const std::exception& e) {
        text = Ru("Команда прервана ошибкой: ") + Utf8ToCp1251(e.what());
    } catch (...) {
        text = Ru("Команда прервана ошибкой");
    }
    MessageBox(text, "", TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

int DefaultAnswer(TMsgButtons b) {
    switch (b) {
    case TMsgButtons::Ok:
        return mrOk;
    case TMsgButtons::YesNo:
        return mrNo;
    default:
        return mrCancel;
    }
}

void InstallMessageService(IMessageService* s) {
    Registry().messages = s ? s : &Registry().consoleMessages;
}

void InstallFileDialogService(IFileDialogService* s) {
    Registry().dialogs = s ? s : &Registry().noDialogs;
}

void InstallCursorService(ICursorService* s) {
    Registry().cursor = s;
}

void InstallClipboard(IClipboard* s) {
    Registry().clipboard = s ? s : &Registry().memoryClipboard;
}

IMessageService& MessageService() {
    return *Registry().messages;
}
IFileDialogService& FileDialogService() {
    return *Registry().dialogs;
}
IClipboard& Clipboard() {
    return *Registry().clipboard;
}

const std::string& ApplicationTitle() {
    return Registry().title;
}
void SetApplicationTitle(std::string_view title) {
    Registry().title = title;
}

int MessageBox(std::string_view text, std::string_view caption, TMsgButtons buttons,
               TMsgIcon icon) {
    if (quietCount) {
        ++*quietCount;
        return DefaultAnswer(buttons);
    }
    TMessageRequest r;
    r.text = text;
    r.caption = caption;
    r.buttons = buttons;
    r.icon = icon;
    return MessageService().MessageBox(r);
}

void ShowMessage(std::string_view text) {
    MessageBox(text, ApplicationTitle(), TMsgButtons::Ok);
}

bool InputQuery(std::string_view caption, std::string_view prompt, std::string& value) {
    if (quietCount) {
        ++*quietCount;
        return false;
    }
    return MessageService().InputQuery(caption, prompt, value);
}

bool OpenFileDialog(TFileDialogRequest& request) {
    return FileDialogService().OpenDialog(request);
}
bool SaveFileDialog(TFileDialogRequest& request) {
    return FileDialogService().SaveDialog(request);
}

TCursor ScreenCursor() {
    return Registry().screenCursor;
}

void SetScreenCursor(TCursor cursor) {
    if (quietCount) return;
    Registry().screenCursor = cursor;
    if (Registry().cursor) Registry().cursor->SetCursor(cursor);
}

TWaitCursor::TWaitCursor() : saved_(ScreenCursor()) {
    SetScreenCursor(TCursor::HourGlass);
}

TWaitCursor::~TWaitCursor() {
    SetScreenCursor(saved_);
}

TQuietThread::TQuietThread() : outer_(quietCount) {
    quietCount = &suppressed_;
}

TQuietThread::~TQuietThread() {
    quietCount = outer_;
}

} // namespace arv
