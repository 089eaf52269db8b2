#include "platform/testing/RecordingOpener.h"

namespace arv::test {

TRecordingOpener::TRecordingOpener() : replaced_(InstallDocumentOpener(this)) {}

TRecordingOpener::~TRecordingOpener() {
    InstallDocumentOpener(replaced_);
}

bool TRecordingOpener::Open(const std::string& path) {
    opened_.push_back(path);
    return result_;
}

} // namespace arv::test
