// The tasks started on the plan for the branch the property panel shows, and
// the switches of what the plan shows of their results.
#include "app/DrawWin.h"

#include "calc/engine/StabilityAnalysis.h"
#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/EmergencyCommands.h"
#include "document/Branch.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"
#include "routes/RouteWindows.h"

#include <algorithm>

namespace arv {

namespace {

constexpr int32_t kRed = 255;
constexpr int32_t kYellow = 0x00FFFF;

} // namespace

void TIDrawWin::PublishTaskState() {
    TWindowState& ws = WindowState();
    ws.EmergencyMode = EmergencyMode;
    ws.EmergencyBranch = FireBranchNumber;
    ws.BranchMarkColor = BranchMarkColour;
    ws.MOrientBr = MOrientBr;
}

void TIDrawWin::NoteCurrentBranch() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f) return;
    PhotoFileName = f->image;
    if (!f->IsBranch()) return;
    const auto* b = static_cast<const TGBranch*>(f);
    CurrentBranchNumber = b->number;
    CurrentBranchName = b->name;
    CurrentBranchPlaPosition = b->Caption(3).a;
}

void TIDrawWin::RefreshPropertyPanel() {
    NoteCurrentBranch();
    ShowProperties(false);
}

bool TIDrawWin::SelectTaskBranch() {
    if (!dataWindow_) return false;
    TNetworkTables& t = dataWindow_->Tables();
    t.GotoBranchRow(0, CurrentBranchNumber);
    // The analyses work on the current row of the branch table: a branch
    // that is not in it (or a reverse-mode page) must not leave another
    // branch's row there.
    const TModGrid& g = t.TablDan;
    const int row = g.Row();
    int number = 0;
    return row >= g.FixedRows() && row < g.RowCount() &&
           TryStrToInt(Trim(g.Cells(0, row)), number) && number == CurrentBranchNumber;
}

void TIDrawWin::ShowTaskResults() {
    IndexCalcDataGrids();
    RefreshPropertyPanel();
    LinkBranchesToCalcData();
    // The results show as flows in the labels; the next flow-display
    // command keeps them on.
    SetFlowDisplay(true);
    if (!MArrowQ) SetArrowDisplay(true);
    PublishTaskState();
}

bool TIDrawWin::Zad_ERClick() {
    EmergencyMode = 0;
    ForceFlowDisplay = true;
    PublishTaskState();
    if (!CheckSchemeAgainstCalcData() || !dataWindow_) {
        Repaint();
        return false;
    }
    dataWindow_->Rasc_ERClick();
    const bool ok = NaturalRunSucceeded(dataWindow_->CalcContext());
    if (ok) {
        ShowTaskResults();
        PanelSost = Ru("Нормальное воздухораспределение");
        PanelSostColour = 0;
        TaskPanelText = PanelSost;
    }
    Repaint();
    return ok;
}

bool TIDrawWin::Zad_OtkazVUClick() {
    EmergencyMode = 0;
    ForceFlowDisplay = true;
    PublishTaskState();
    if (!CheckSchemeAgainstCalcData() || CurrentBranchNumber <= 0 || !SelectTaskBranch()) {
        ShowMessage(Ru("Укажите ветвь"));
        Repaint();
        return false;
    }
    const bool ok = Rasc_UstClick(*dataWindow_) && dataWindow_->CalcContext().CalcOptions[2] == 'U';
    if (ok) {
        EmergencyMode = 2;
        FireBranchNumber = CurrentBranchNumber;
        ShowTaskResults();
        PanelSost = Ru("Отказ вент. устройства в ветви ") + IntToStr(CurrentBranchNumber) + " " +
                    CurrentBranchName;
        PanelSostColour = kRed;
        TaskPanelText = PanelSost;
    }
    Repaint();
    return ok;
}

bool TIDrawWin::Zad_PojarClick() {
    ForceFlowDisplay = true;
    const bool checked = CheckSchemeAgainstCalcData();
    EmergencyMode = 0;
    PublishTaskState();
    if (!checked || CurrentBranchNumber <= 0 || !SelectTaskBranch()) {
        ShowMessage(Ru("Укажите ветвь"));
        Repaint();
        return false;
    }
    const bool ok = Rasc_PogClick(*dataWindow_) && dataWindow_->CalcContext().CalcOptions[2] == 'P';
    if (ok) {
        EmergencyMode = 3;
        FireBranchNumber = CurrentBranchNumber;
        FireBranchName = CurrentBranchName;
        CurrentPlaPosition = CurrentBranchPlaPosition;
        ShowTaskResults();
        PanelSost = Ru("Пожар в ветви ") + IntToStr(CurrentBranchNumber) + " " + CurrentBranchName;
        PanelSostColour = kRed;
        TaskPanelText = PanelSost;
    }
    Repaint();
    return ok;
}

void TIDrawWin::SetFlowDisplay(bool on) {
    MQData = on;
    doc_->display.caption[1] = on ? 1 : 0;
    if (on) LinkBranchesToCalcData();
}

void TIDrawWin::SetArrowDisplay(bool on) {
    MArrowQ = on;
    doc_->display.caption[5] = on ? 1 : 0;
    if (on) LinkBranchesToCalcData();
}

void TIDrawWin::qoutExecute() {
    const bool on = ForceFlowDisplay || !MQData;
    ForceFlowDisplay = false;
    SetFlowDisplay(on);
    // Flows are read along the arrows.
    if (on && !MArrowQ) SetArrowDisplay(true);
    Repaint();
}

void TIDrawWin::MArrowQClick() {
    const bool on = !MArrowQ;
    SetArrowDisplay(on);
    if (!on && MQData) SetFlowDisplay(false);
    Repaint();
}

void TIDrawWin::MDAVLClick() {
    MDAVL = !MDAVL;
    doc_->display.caption[4] = MDAVL ? 1 : 0;
    if (MDAVL) LinkBranchesToCalcData();
    Repaint();
}

void TIDrawWin::MPrDataClick() {
    MPrData = !MPrData;
    doc_->settings.showCalcData = MPrData ? 1 : 0;
    doc_->display.caption[6] = MPrData ? 1 : 0;
    // The drawing file keeps the switch.
    DrawingModified = true;
    Repaint();
}

void TIDrawWin::MOrientBrClick() {
    MOrientBr = !MOrientBr;
    doc_->showDirections = MOrientBr ? 1 : 0;
    PublishTaskState();
    Repaint();
}

void TIDrawWin::FireVetviClick() {
    if (dataWindow_) doc_->MarkBranches(dataWindow_->CalcContext().SmokedBranchMark);
    BranchMarkColour = kRed;
    WindowState().FireVetvi = true;
    WindowState().OpVetvi = false;
    PublishTaskState();
    Repaint();
}

void TIDrawWin::OpVetviClick() {
    if (dataWindow_) doc_->MarkBranches(dataWindow_->CalcContext().ReversedBranchMark);
    BranchMarkColour = kYellow;
    WindowState().OpVetvi = true;
    WindowState().FireVetvi = false;
    PublishTaskState();
    Repaint();
}

void TIDrawWin::NormVozdClick() {
    WindowState().ShowRoute = 0;
    // The PLA scheme with its position labels; it clears the marks.
    SchemeClick(2);
    PublishTaskState();
}

} // namespace arv
