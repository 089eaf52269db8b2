#include "ScriptedServices.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

namespace arv::test {

namespace {
const char* ButtonsName(TMsgButtons b) {
    switch (b) {
    case TMsgButtons::Ok:
        return "Ok";
    case TMsgButtons::Cancel:
        return "Cancel";
    case TMsgButtons::OkCancel:
        return "OkCancel";
    case TMsgButtons::YesNo:
        return "YesNo";
    case TMsgButtons::YesNoCancel:
        return "YesNoCancel";
    case TMsgButtons::YesCancel:
        return "YesCancel";
    case TMsgButtons::YesCancelIgnore:
        return "YesCancelIgnore";
    }
    return "?";
}

} // namespace

TScriptedMessages::TScriptedMessages() {
    InstallMessageService(this);
}

TScriptedMessages::~TScriptedMessages() {
    InstallMessageService(nullptr);
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " expected message(s) never appeared";
}

void TScriptedMessages::Expect(int answer, std::optional<std::string> utf8Text) {
    expected_.push_back({answer, std::move(utf8Text)});
}

void TScriptedMessages::ExpectInput(std::optional<std::string> cp1251Value) {
    inputs_.push_back(std::move(cp1251Value));
}

int TScriptedMessages::MessageBox(const TMessageRequest& r) {
    shown_.push_back({r.text, r.caption, r.buttons, r.icon, ScreenCursor()});
    if (expected_.empty()) {
        if (!allowAny_)
            ADD_FAILURE() << "unexpected message box (" << ButtonsName(r.buttons)
                          << "): " << Cp1251ToUtf8(r.text);
        return DefaultAnswer(r.buttons);
    }
    TExpectation e = expected_.front();
    expected_.pop_front();
    if (e.text) {
        EXPECT_EQ(*e.text, Cp1251ToUtf8(r.text));
    }
    return e.answer;
}

bool TScriptedMessages::InputQuery(std::string_view, std::string_view, std::string& value) {
    if (inputs_.empty()) {
        ADD_FAILURE() << "unexpected input query";
        return false;
    }
    auto a = inputs_.front();
    inputs_.pop_front();
    if (!a) return false;
    value = *a;
    return true;
}

std::vector<std::string> TScriptedMessages::ShownUtf8() const {
    std::vector<std::string> r;
    for (const auto& m : shown_) r.push_back(Cp1251ToUtf8(m.text));
    return r;
}

TScriptedDialogs::TScriptedDialogs() {
    InstallFileDialogService(this);
}
TScriptedDialogs::~TScriptedDialogs() {
    InstallFileDialogService(nullptr);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted dialog answer(s) unused";
}

void TScriptedDialogs::Answer(std::optional<std::string> fileName, int filterIndex) {
    answers_.push_back(std::move(fileName));
    filterIndexes_.push_back(filterIndex);
}

bool TScriptedDialogs::Next(TFileDialogRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return false;
    }
    auto a = answers_.front();
    answers_.pop_front();
    int filterIndex = filterIndexes_.front();
    filterIndexes_.pop_front();
    if (filterIndex > 0) request.filterIndex = filterIndex;
    if (!a) return false;
    request.fileName = *a;
    return true;
}

bool TScriptedDialogs::OpenDialog(TFileDialogRequest& request) {
    return Next(request);
}
bool TScriptedDialogs::SaveDialog(TFileDialogRequest& request) {
    return Next(request);
}

TMemoryClipboardDouble::TMemoryClipboardDouble() {
    InstallClipboard(this);
}
TMemoryClipboardDouble::~TMemoryClipboardDouble() {
    InstallClipboard(nullptr);
}

} // namespace arv::test
