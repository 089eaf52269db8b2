// The stability, fire and gas commands of the data window's calculation
// menu and the commands of the reverse-mode menu "Рев.реж", which run the
// natural distribution, the fire analysis, the gas concentration and the
// spread of fire products on the reverse-mode copy of the network.
#pragma once

#include "calc/engine/StabilityAnalysis.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/ProgressWindow.h"

namespace arv {

// The progress window as the summaries drive it.
class TFormWordProgress : public ISummaryProgress {
public:
    explicit TFormWordProgress(IProgressWindow& window) : w_(window) {}
    void Start(int steps) override;
    void Step() override;
    bool Cancelled() override;
    void Finish() override;

private:
    IProgressWindow& w_;
};

// Normal mode; the two the main window's tasks call say whether the
// analysis ran to its end.
bool Rasc_UstClick(TDataWindowController& w);
bool Rasc_PogClick(TDataWindowController& w);
void Rasc_PogUstClick(TDataWindowController& w);
void Rasc_ObUstClick(TDataWindowController& w);
void Rasc_VrPogClick(TDataWindowController& w);
void Rasc_KoncClick(TDataWindowController& w);

// Reverse mode.
void Av_SDClick(TDataWindowController& w);
void Av_RasERClick(TDataWindowController& w);
void Av_RasUPClick(TDataWindowController& w);
void Av_KoncClick(TDataWindowController& w);
void Av_VrPogClick(TDataWindowController& w);

} // namespace arv
