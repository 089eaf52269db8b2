// The data window's settings and the settings dialog's keys, read from a
// settings file of any bytes.
#include "calc/files/Settings.h"
#include "calc/fuzz/CalcFuzzState.h"
#include "calc/window/NasDlgModel.h"

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState state;
    fuzz::TScratchFile file(data, size, ".ini");
    TDataWindowSettings window;
    LoadSettings(file.Name(), *state.Tables, state.Context->CalcOptions, window);
    TNasDlgModel dialog;
    LoadNasDlgSettings(file.Name(), dialog, state.Context->CalcOptions);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    fuzz::TCalcState state;
    fuzz::TScratchFile file(nullptr, 0, ".ini");
    TNasDlgModel dialog;
    (void)SaveSettings(file.Name(), *state.Tables, state.Context->CalcOptions,
                       TDataWindowSettings{}, dialog);
    return {file.Read()};
}
