#include "platform/testing/RecordingOpener.h"

namespace arv::test {

TRecordingOpener::TRecordingOpener() {
    InstallDocumentOpener(this);
}

TRecordingOpener::~TRecordingOpener() {
    InstallDocumentOpener(nullptr);
}

bool TRecordingOpener::Open(const std::string& path) {
    opened_.push_back(path);
    return result_;
}

} // namespace arv::test
