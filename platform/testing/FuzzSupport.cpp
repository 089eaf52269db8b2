#include "platform/testing/FuzzSupport.h"

namespace arv::fuzz {

namespace {

class TRefusingDialogs : public IFileDialogService {
public:
    bool OpenDialog(TFileDialogRequest&) override { return false; }
    bool SaveDialog(TFileDialogRequest&) override { return false; }
};

} // namespace

int TQuietMessages::MessageBox(const TMessageRequest& request) {
    ++Count;
    return DefaultAnswer(request.buttons);
}

TQuietMessages& InstallQuietServices() {
    static TQuietMessages messages;
    static TRefusingDialogs dialogs;
    static bool installed = false;
    if (!installed) {
        InstallMessageService(&messages);
        InstallFileDialogService(&dialogs);
        installed = true;
    }
    return messages;
}

std::string_view AsText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace arv::fuzz
