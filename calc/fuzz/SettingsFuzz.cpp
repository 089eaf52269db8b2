// The data window's settings and the settings dialog's keys, read from a
// settings file of any bytes; what was read is saved, read and saved again,
// and the two saved files must be equal.
#include "calc/files/Settings.h"
#include "calc/fuzz/CalcFuzzState.h"
#include "calc/window/NasDlgModel.h"

#include <cstdlib>

using namespace arv;

namespace {

// Reads the settings from the file, then saves them into a file of their own.
std::string ReadAndSave(const std::string& name) {
    fuzz::TCalcState state;
    TDataWindowSettings window;
    LoadSettings(name, *state.Tables, state.Context->CalcOptions, window);
    TNasDlgModel dialog;
    LoadNasDlgSettings(name, dialog, state.Context->CalcOptions);
    fuzz::TScratchFile out(nullptr, 0, ".out.ini");
    if (!SaveSettings(out.Name(), *state.Tables, state.Context->CalcOptions, window, dialog))
        std::abort();
    return out.Read();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TScratchFile file(data, size, ".ini");
    const std::string once = ReadAndSave(file.Name());
    fuzz::TScratchFile again(reinterpret_cast<const uint8_t*>(once.data()), once.size(),
                             ".again.ini");
    if (ReadAndSave(again.Name()) != once) std::abort();
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
