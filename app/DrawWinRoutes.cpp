#include "app/DrawWinRoutes.h"

#include "document/Branch.h"

namespace arv {

int32_t TDrawWinRouteHost::EmergencyMode() {
    return WindowState().EmergencyMode;
}

int32_t TDrawWinRouteHost::FireBranchNumber() {
    return WindowState().EmergencyBranch;
}

std::string TDrawWinRouteHost::FireBranchName() {
    const int32_t number = FireBranchNumber();
    for (int32_t i = 0; i < w_.Doc().Count(); ++i)
        if (TGBranch* b = w_.Doc().BranchAt(i); b && b->number == number) return b->name;
    return {};
}

bool TDrawWinRouteHost::CurrentBranch(int32_t& number, std::string& name, int32_t& plaPosition) {
    auto* b = dynamic_cast<TGBranch*>(w_.Doc().CurrentFigure());
    if (!b) return false;
    number = b->number;
    name = b->name;
    plaPosition = b->Caption(3).a;
    return true;
}

void TDrawWinRouteHost::SetRouteDisplay(bool show, const std::vector<int32_t>& branches) {
    TWindowState& ws = WindowState();
    ws.ShowRoute = show ? 1 : 0;
    ws.RouteBranches = branches;
}

void TDrawWinRouteHost::SetToolMode(int32_t mode) {
    // Through the window's tools, so the cursor and the pressed button follow.
    w_.SetToolMode(mode);
}

void TDrawWinRouteHost::SetMsxPlaChecked(bool checked) {
    w_.SetMsxPla(checked);
}

void TDrawWinRouteHost::SetPlaSchemeShown(bool shown) {
    // The plan's PLA view is the scheme item's check itself.
    w_.SetMsxPla(shown);
}

std::string TDrawWinRouteHost::PlaFolder() {
    return w_.PlaDocumentFolder();
}

} // namespace arv
