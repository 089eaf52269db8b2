// The stored routes of the network data text on any bytes: each position's
// rows are loaded into its route window and saved by the window's Save, and
// the drawing's text is written and read again. The rows must come back as
// they were stored, the cells no window shows included (only a row with
// nothing but its position goes).
#include "calc/files/NetworkDataText.h"
#include "calc/fuzz/CalcFuzzState.h"
#include "routes/RouteWindows.h"

#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"

#include <cstdlib>
#include <set>

using namespace arv;
using namespace arv::routes;

namespace {

// The fire mode opens a route window for any position without a drawing.
class TFireHost : public IRouteWindowHost {
public:
    int32_t position = 0;
    int32_t EmergencyMode() override { return 3; }
    int32_t FireBranchNumber() override { return 1; }
    std::string FireBranchName() override { return {}; }
    int32_t CurrentPlaPosition() override { return position; }
    void SetCurrentPlaPosition(int32_t p) override { position = p; }
    bool CurrentBranch(int32_t&, std::string&, int32_t&) override { return false; }
    void SetRouteDisplay(bool, const std::vector<int32_t>&) override {}
    void RedrawPlan() override {}
    void SetDrawingModified() override {}
    void SetToolMode(int32_t) override {}
    void ShowMainWindow() override {}
    bool MsxPlaChecked() override { return false; }
    void SetMsxPlaChecked(bool) override {}
    void SetPlaSchemeShown(bool) override {}
    std::string PlaFolder() override { return {}; }
};

using TRows = std::vector<std::vector<std::string>>;

// A position's stored rows, each up to its last filled cell; rows holding
// nothing but the position are no route.
TRows StoredRows(const TModGrid& g, const std::string& key) {
    TRows rows;
    for (int r = 0; r < g.RowCount(); ++r) {
        if (g.Cells(0, r) != key || g.LastFilledCol(r) < 1) continue;
        rows.emplace_back();
        for (int c = 0; c <= g.LastFilledCol(r); ++c) rows.back().push_back(g.Cells(c, r));
    }
    return rows;
}

// The positions a window can load: keys that are a number's own text.
std::set<int32_t> Positions(const TModGrid& g) {
    std::set<int32_t> positions;
    for (int r = 0; r < g.RowCount() && positions.size() < 16; ++r) {
        int32_t p = 0;
        if (TryStrToInt(g.Cells(0, r), p) && IntToStr(p) == g.Cells(0, r)) positions.insert(p);
    }
    return positions;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState state;
    TNetworkTables& t = *state.Tables;
    ParseNetworkDataText(std::string(fuzz::AsText(data, size)), t, *state.Context);
    for (int kind : {RouteFormPeople, RouteFormSaver}) {
        TModGrid& stored = kind == RouteFormPeople ? t.TempTableM : t.TempTableS;
        TFireHost host;
        TRouteState routeState;
        TRouteWindows windows(host, t, *state.Context, routeState);
        for (int32_t position : Positions(stored)) {
            const std::string key = IntToStr(position);
            const TRows before = StoredRows(stored, key);
            host.position = position;
            if (kind == RouteFormPeople)
                windows.WayWorkerClick();
            else
                windows.WayVGSHClick();
            if (!windows.Form()) std::abort();
            windows.ToolSaveClick();
            if (StoredRows(stored, key) != before) std::abort();
        }
    }
    // The drawing's copy keeps them too.
    fuzz::TCalcState second;
    ParseNetworkDataText(BuildNetworkDataText(t, *state.Context), *second.Tables, *second.Context);
    for (auto [mine, back] : {std::pair{&t.TempTableM, &second.Tables->TempTableM},
                              std::pair{&t.TempTableS, &second.Tables->TempTableS}})
        for (int32_t position : Positions(*mine))
            if (StoredRows(*back, IntToStr(position)) != StoredRows(*mine, IntToStr(position)))
                std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    fuzz::TCalcState state;
    fuzz::FillSampleMine(state);
    TModGrid& m = state.Tables->TempTableM;
    m.SetRowCount(4);
    const char* rows[][9] = {
        {"9", "6 Lava", "Iz nachalnogo", "svezhaya", "", "140", "3", "6,1", ""},
        {"9", "", "Iz konechnogo", "svezhaya", "", "90", "2", "6,2", "extra"},
        {"4", "1 Stvol", "", "", "", "", "", "1", ""},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 9; ++c) m.SetCells(c, r + 1, rows[r][c]);
    TModGrid& s = state.Tables->TempTableS;
    s.SetRowCount(2);
    for (int c = 0; c < 7; ++c) s.SetCells(c, 1, c == 0 ? "9" : IntToStr(c));
    return {BuildNetworkDataText(*state.Tables, *state.Context)};
}
