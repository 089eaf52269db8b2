// The two calculation windows the stability and fire analyses open in the
// middle of their work: the regulator-window calculator (FR_Okno) and the
// thermal-depression window (FTeplD). Their models and Qt windows install
// themselves here at start-up; tests install scripted ones. Until then a
// plain stand-in shows nothing and leaves every field empty.
#pragma once

#include <string>

namespace arv {

class IRegulatorWindowDialog {
public:
    virtual ~IRegulatorWindowDialog() = default;
    // The caption of the accept button (BitBtnVyb), CP1251.
    virtual void SetAcceptCaption(const std::string& caption) = 0;
    // Shown modally for the current row of the branch table.
    virtual void ShowModal() = 0;
    // Edit5, the window resistance as the window shows it, after it closed.
    virtual std::string ResistanceText() const = 0;
};

class IThermalDepressionDialog {
public:
    virtual ~IThermalDepressionDialog() = default;
    // Shown modally for the current row of the branch table; its accept
    // button writes column 18 of that row.
    virtual void ShowModal() = 0;
};

// A null argument puts the plain stand-in back.
void InstallRegulatorWindowDialog(IRegulatorWindowDialog* dialog);
IRegulatorWindowDialog& FR_Okno();
void InstallThermalDepressionDialog(IThermalDepressionDialog* dialog);
IThermalDepressionDialog& FTeplD();

} // namespace arv
