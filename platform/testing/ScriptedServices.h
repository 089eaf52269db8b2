// Test doubles of the desktop services. A test installs them for its scope
// (the constructor installs, the destructor puts the built-in ones back),
// says which messages it expects and how each question is answered, and
// reads back everything that was shown. A message that the test did not
// expect fails the test.
#pragma once

#include "platform/Services.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace arv::test {

struct TShownMessage {
    std::string text;    // CP1251
    std::string caption; // CP1251
    TMsgButtons buttons;
    TMsgIcon icon;
    TCursor cursor; // the screen cursor when the box appeared
};

class TScriptedMessages : public IMessageService {
public:
    TScriptedMessages();
    ~TScriptedMessages() override;

    // The next message is expected; it is answered with `answer`. A text
    // given (UTF-8 source text) must equal the message's text.
    void Expect(int answer, std::optional<std::string> utf8Text = std::nullopt);
    // Every message is accepted and answered with its default button (Ok,
    // Cancel, or No for Yes/No) without failing the test.
    void AllowAny(bool allow = true) { allowAny_ = allow; }
    // Answers for InputQuery, in order; nullopt cancels.
    void ExpectInput(std::optional<std::string> cp1251Value);

    int MessageBox(const TMessageRequest& request) override;
    bool InputQuery(std::string_view caption, std::string_view prompt, std::string& value) override;

    const std::vector<TShownMessage>& Shown() const { return shown_; }
    // Texts of every message as UTF-8, for readable assertions.
    std::vector<std::string> ShownUtf8() const;
    size_t PendingExpectations() const { return expected_.size(); }
    void Clear() { shown_.clear(); }

private:
    struct TExpectation {
        int answer;
        std::optional<std::string> text;
    };
    std::deque<TExpectation> expected_;
    std::deque<std::optional<std::string>> inputs_;
    std::vector<TShownMessage> shown_;
    bool allowAny_ = false;
};

class TScriptedDialogs : public IFileDialogService {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    // The next dialog returns this name (CP1251); nullopt cancels it. A
    // filter index above 0 is the filter the user chose in it.
    void Answer(std::optional<std::string> fileName, int filterIndex = 0);
    bool OpenDialog(TFileDialogRequest& request) override;
    bool SaveDialog(TFileDialogRequest& request) override;
    const std::vector<TFileDialogRequest>& Requests() const { return requests_; }

private:
    bool Next(TFileDialogRequest& request);
    std::deque<std::optional<std::string>> answers_;
    std::deque<int> filterIndexes_;
    std::vector<TFileDialogRequest> requests_;
};

class TMemoryClipboardDouble : public IClipboard {
public:
    TMemoryClipboardDouble();
    ~TMemoryClipboardDouble() override;
    std::string GetText() override { return text_; }
    void SetText(std::string_view t) override { text_ = t; }
    bool HasText() override { return !text_.empty(); }
    void Clear() override { text_.clear(); }

private:
    std::string text_;
};

} // namespace arv::test
