// Test double of the desktop's document opener, apart from the other doubles
// so that their users do not see the process names.
#pragma once

#include "platform/Process.h"

#include <string>
#include <vector>

namespace arv::test {

// Records every document the program asks the desktop to open instead of
// starting a program.
class TRecordingOpener : public IDocumentOpener {
public:
    TRecordingOpener();
    ~TRecordingOpener() override;
    bool Open(const std::string& path) override;
    const std::vector<std::string>& Opened() const { return opened_; }
    // The answer of the next calls (true: the document was opened).
    void SetResult(bool result) { result_ = result; }

private:
    IDocumentOpener* replaced_;
    std::vector<std::string> opened_;
    bool result_ = true;
};

} // namespace arv::test
