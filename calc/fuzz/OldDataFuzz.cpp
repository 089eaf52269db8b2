// libFuzzer entry: any byte image as a library file, a fan import file and
// each of the older text formats, read into fresh tables.
#include "calc/files/Libraries.h"
#include "calc/files/OldImports.h"

#include "platform/Files.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir =
        (std::filesystem::temp_directory_path() / ("arv_fuzz_" + std::to_string(getpid())))
            .string() +
        "/";
    static const bool made = ForceDirectories(dir);
    if (!made) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* ext : {".bib", ".ids", ".idv", ".dat", ".dt"})
        WriteFileAtomic(dir + "in" + ext, bytes, nullptr, false);

    TModGrid grid;
    PrepareLibraryGrid(grid, TLibraryKind::Fans);
    ReadLibraryFile(dir + "in.bib", grid, TLibraryKind::Fans);
    ImportFanLibraryFile(dir + "in.bib", grid);

    TCalcContext calc;
    TNetworkTables t(calc);
    t.InitTables();
    ImportDosFiles(dir + "in.ids", t, calc.CalcOptions);
    ImportTrovelDatFile(dir + "in.dat", t);
    ImportTrovelDtFile(dir + "in.dt", t, calc.CalcOptions);
    return 0;
}

#include "platform/testing/FuzzSupport.h"

std::vector<std::string> ArvFuzzSeeds() {
    return {"3\r\n1 2 3 0,5 100 5\r\n2 3 4 0,2 50 4\r\n", "H\r\n1;2;3;0,002;\r\n\x1A"};
}
