// The Tresk exchange text import on any bytes.
#include "calc/files/TreskImport.h"
#include "calc/fuzz/CalcFuzzState.h"
#include "converter/MineReader.h"
#include "converter/TreskWriter.h"
#include "converter/tests/SampleMine.h"

#include <sstream>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::TCalcState state;
    fuzz::TScratchFile file(data, size, ".tresk");
    (void)ImportTreskText(file.Name(), *state.Tables, *state.Context);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    // The converter's text of its sample mine file, as the import meets it.
    std::string mine = halvard::test::BuildSampleMine();
    halvard::TMineTables tables;
    std::ostringstream console;
    halvard::TMineReader reader(
        halvard::TBytes(reinterpret_cast<const uint8_t*>(mine.data()), mine.size()), tables,
        console, false);
    std::string text;
    if (reader.ReadMine()) text = halvard::WriteTreskText(tables, console, false);
    return {text, "99|\"1.0\"\r\n"};
}
