// What the route windows ask of the main drawing window, answered from the
// window's controller, its drawing and the window state the drawing reads.
#pragma once

#include "app/DrawWin.h"
#include "routes/RouteWindows.h"

namespace arv {

class TDrawWinRouteHost : public routes::IRouteWindowHost {
public:
    explicit TDrawWinRouteHost(TIDrawWin& window) : w_(window) {}

    // The emergency state the task commands leave.
    int32_t EmergencyMode() override;
    int32_t FireBranchNumber() override;
    std::string FireBranchName() override;
    int32_t CurrentPlaPosition() override { return w_.CurrentPlaPosition; }
    void SetCurrentPlaPosition(int32_t position) override { w_.CurrentPlaPosition = position; }

    bool CurrentBranch(int32_t& number, std::string& name, int32_t& plaPosition) override;
    void SetRouteDisplay(bool show, const std::vector<int32_t>& branches) override;
    void RedrawPlan() override { w_.RedrawPlan(); }
    void SetDrawingModified() override { w_.DrawingModified = true; }
    void SetToolMode(int32_t mode) override;
    void ShowMainWindow() override { w_.ShowAndBringToFront(); }
    bool MsxPlaChecked() override { return w_.MsxPLA; }
    void SetMsxPlaChecked(bool checked) override;
    void SetPlaSchemeShown(bool shown) override;
    std::string PlaFolder() override;

protected:
    TIDrawWin& w_;
};

} // namespace arv
