// The calculation kind and mode put back on leaving an analysis that set its
// own, unless the analysis ran to the point where its kind is to stay: a
// refusal or a cancelled question then leaves the kind of the natural run
// that ended before, and no results that were never computed are shown.
#pragma once

#include "calc/model/CalcModel.h"

namespace arv {

class TCalcKindGuard {
public:
    explicit TCalcKindGuard(TCalcContext& c)
        : c_(c), kind_(c.CalcOptions[2]), mode_(c.CalcOptions[40]) {}
    ~TCalcKindGuard() {
        if (keep) return;
        c_.CalcOptions[2] = kind_;
        c_.CalcOptions[40] = mode_;
    }
    TCalcKindGuard(const TCalcKindGuard&) = delete;
    TCalcKindGuard& operator=(const TCalcKindGuard&) = delete;
    bool keep = false;

private:
    TCalcContext& c_;
    char kind_, mode_;
};

} // namespace arv
