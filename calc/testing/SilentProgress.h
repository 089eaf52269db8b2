// A progress of the summary analyses that shows nothing and is never
// cancelled, for runs without a window.
#pragma once

#include "calc/engine/StabilityAnalysis.h"

namespace arv::test {

struct TSilentProgress : ISummaryProgress {
    void Start(int) override {}
    void Step() override {}
    bool Cancelled() override { return false; }
    void Finish() override {}
};

} // namespace arv::test
