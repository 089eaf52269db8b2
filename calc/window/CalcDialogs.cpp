#include "calc/window/CalcDialogs.h"

namespace arv {

namespace {

class TNoRegulatorWindow : public IRegulatorWindowDialog {
public:
    void SetAcceptCaption(const std::string&) override {}
    void ShowModal() override {}
    std::string ResistanceText() const override { return {}; }
};

class TNoThermalDepressionWindow : public IThermalDepressionDialog {
public:
    void ShowModal() override {}
};

IRegulatorWindowDialog* regulatorWindow = nullptr;
IThermalDepressionDialog* thermalWindow = nullptr;

} // namespace

void InstallRegulatorWindowDialog(IRegulatorWindowDialog* dialog) {
    regulatorWindow = dialog;
}

IRegulatorWindowDialog& FR_Okno() {
    static TNoRegulatorWindow plain;
    return regulatorWindow ? *regulatorWindow : plain;
}

void InstallThermalDepressionDialog(IThermalDepressionDialog* dialog) {
    thermalWindow = dialog;
}

IThermalDepressionDialog& FTeplD() {
    static TNoThermalDepressionWindow plain;
    return thermalWindow ? *thermalWindow : plain;
}

} // namespace arv
