// The reverse-mode data file (".rev") on any bytes; every row read is shown,
// what loads is saved, loaded and saved again, and the two saved files must
// be equal.
#include "calc/files/DataFiles.h"
#include "calc/fuzz/CalcFuzzState.h"

#include <cstdlib>

using namespace arv;

namespace {

std::string SaveToBytes(fuzz::TCalcState& state) {
    fuzz::TScratchFile out(nullptr, 0, ".out.rev");
    if (!SaveReverseData(out.Name(), *state.Tables)) std::abort();
    return out.Read();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState first;
    fuzz::TScratchFile file(data, size, ".rev");
    if (!LoadReverseData(file.Name(), *first.Tables)) return 0;
    // Every row read is shown, so that the save keeps it.
    for (const TModGrid* g : {&first.Tables->TablDanRev, &first.Tables->TablVenRev})
        if (g->LastFilledRow() >= g->RowCount()) std::abort();
    std::string once = SaveToBytes(first);
    fuzz::TCalcState second;
    fuzz::TScratchFile again(reinterpret_cast<const uint8_t*>(once.data()), once.size(), ".rev");
    if (!LoadReverseData(again.Name(), *second.Tables)) std::abort();
    if (SaveToBytes(second) != once) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    fuzz::TCalcState state;
    fuzz::FillSampleMine(state);
    auto& t = *state.Tables;
    // The reverse tables as a user fills them: the sample with its fans turned.
    for (int r = 0; r < t.TablDan.RowCount(); ++r)
        for (int col = 0; col < t.TablDan.ColCount(); ++col)
            t.TablDanRev.SetCells(col, r, t.TablDan.Cells(col, r));
    t.TablDanRev.SetRowCount(t.TablDan.RowCount());
    for (int r = 0; r < t.TablVen.RowCount(); ++r)
        for (int col = 0; col < t.TablVen.ColCount(); ++col)
            t.TablVenRev.SetCells(col, r, t.TablVen.Cells(col, r));
    t.TablVenRev.SetRowCount(t.TablVen.RowCount());
    return {SaveToBytes(state)};
}
