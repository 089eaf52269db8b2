// The older network data file (".dan", read only) on any bytes.
#include "calc/files/DataFiles.h"
#include "calc/fuzz/CalcFuzzState.h"
#include "calc/testing/SampleMine.h"

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState state;
    fuzz::TScratchFile file(data, size, ".dan");
    (void)LoadNetworkData(file.Name(), *state.Tables, *state.Context);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    fuzz::TCalcState state;
    fuzz::FillSampleMine(state);
    std::string dan;
    for (const std::string& line :
         test::SampleMineDanLines(*state.Tables, state.Context->CalcOptions))
        dan += line + "\r\n";
    return {dan, dan.substr(0, dan.size() / 2)};
}
