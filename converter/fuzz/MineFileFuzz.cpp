// libFuzzer entry: any byte image is read and, when it reads, written.
#include "converter/MineReader.h"
#include "converter/TreskWriter.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    halvard::TMineTables tables;
    std::ostringstream console;
    halvard::TMineReader reader(halvard::TBytes(data, size), tables, console, true);
    if (reader.ReadMine()) (void)halvard::WriteTreskText(tables, console, true);
    return 0;
}

#include "converter/tests/SampleMine.h"

#include <string>
#include <vector>

std::vector<std::string> ArvFuzzSeeds() {
    std::string sample = halvard::test::BuildSampleMine();
    // The sample, and its header alone: the converter reads both.
    return {sample, sample.substr(0, 16)};
}
