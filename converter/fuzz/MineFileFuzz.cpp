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
