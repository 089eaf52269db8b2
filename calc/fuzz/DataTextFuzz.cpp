// The network data text on any bytes. Whatever reads is written, read and
// written again: the second text must equal the first (one normalising pass
// makes a fixed point).
#include "calc/files/NetworkDataText.h"
#include "calc/fuzz/CalcFuzzState.h"

#include <cstdlib>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState first;
    ParseNetworkDataText(std::string(fuzz::AsText(data, size)), *first.Tables, *first.Context);
    std::string once = BuildNetworkDataText(*first.Tables, *first.Context);
    fuzz::TCalcState second;
    ParseNetworkDataText(once, *second.Tables, *second.Context);
    if (BuildNetworkDataText(*second.Tables, *second.Context) != once) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    fuzz::TCalcState state;
    fuzz::FillSampleMine(state);
    std::string sample = BuildNetworkDataText(*state.Tables, *state.Context);
    fuzz::TCalcState empty;
    return {sample, BuildNetworkDataText(*empty.Tables, *empty.Context)};
}
