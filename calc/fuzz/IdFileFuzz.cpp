// The initial data file (".id") on any bytes; what loads is saved, loaded
// and saved again, and the two saved files must be equal.
#include "calc/files/DataFiles.h"
#include "calc/fuzz/CalcFuzzState.h"

#include <cstdlib>

using namespace arv;

namespace {

std::string SaveToBytes(fuzz::TCalcState& state) {
    fuzz::TScratchFile out(nullptr, 0, ".out.id");
    if (!SaveIdTable(out.Name(), *state.Tables, state.Context->CalcOptions)) std::abort();
    return out.Read();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState first;
    fuzz::TScratchFile file(data, size, ".id");
    if (!LoadIdsTable(file.Name(), *first.Tables, first.Context->CalcOptions)) return 0;
    std::string once = SaveToBytes(first);
    fuzz::TCalcState second;
    fuzz::TScratchFile again(reinterpret_cast<const uint8_t*>(once.data()), once.size(), ".id");
    if (!LoadIdsTable(again.Name(), *second.Tables, second.Context->CalcOptions)) std::abort();
    if (SaveToBytes(second) != once) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    std::vector<std::string> seeds;
    for (char tag : {'H', 'R'}) {
        fuzz::TCalcState state;
        fuzz::FillSampleMine(state);
        state.Tables->BuildTablID(tag);
        state.Context->CalcOptions[5] = tag;
        seeds.push_back(SaveToBytes(state));
    }
    return seeds;
}
