// libFuzzer entry: any byte image as a fan library file, a fan import file, a
// DOS data file (alone, and with the same bytes as its fan file) and each of
// the institute text formats. What is read is saved and read again and must
// come back as it was shown: a library through its file, the network tables
// through the data text that carries them in the drawing. An import over an
// earlier data set must leave none of its rows behind the new last one.
#include "calc/files/Libraries.h"
#include "calc/files/NetworkDataText.h"
#include "calc/files/OldImports.h"
#include "calc/fuzz/CalcFuzzState.h"

#include "platform/BinaryIo.h"
#include "platform/Files.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace arv;

namespace {

using TRows = std::vector<std::vector<std::string>>;

// A scratch folder of this process; the DOS import looks for its fan file
// beside the data file, so the two DOS readings need a folder each.
std::string Folder(const char* name) {
    const std::string dir = (std::filesystem::temp_directory_path() /
                             ("arv_fuzz_" + std::to_string(getpid()) + "_" + name))
                                .string() +
                            "/";
    if (!ForceDirectories(dir)) std::abort();
    return dir;
}

// Data rows as shown, or only those the data text keeps (a number in
// column 0), each with its first `cols` cells.
TRows DataRows(const TModGrid& g, int cols, bool keptOnly) {
    TRows rows;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (keptOnly && g.Cells(0, r).empty()) continue;
        rows.emplace_back();
        for (int c = 0; c < cols; ++c) rows.back().push_back(g.Cells(c, r));
    }
    return rows;
}

void CheckLibraryRoundTrip(const TModGrid& library, const std::string& dir) {
    const std::string saved = dir + "rvVent.bib";
    if (!WriteFileAtomic(saved, LibraryFileText(library), nullptr, false)) std::abort();
    TModGrid back;
    PrepareLibraryGrid(back, TLibraryKind::Fans);
    if (!ReadLibraryFile(saved, back, TLibraryKind::Fans)) std::abort();
    if (back.RowCount() != library.RowCount() ||
        DataRows(back, FanLibraryColumns, false) != DataRows(library, FanLibraryColumns, false))
        std::abort();
}

void CheckNetworkRoundTrip(fuzz::TCalcState& first) {
    TNetworkTables& t = *first.Tables;
    for (const TModGrid* g : {&t.TablDan, &t.TablVen})
        if (g->LastFilledRow() >= g->RowCount()) std::abort();
    fuzz::TCalcState second;
    ParseNetworkDataText(BuildNetworkDataText(t, *first.Context), *second.Tables, *second.Context);
    const TNetworkTables& back = *second.Tables;
    const int branchCols = t.TablDan.ColCount();
    if (DataRows(back.TablDan, branchCols, true) != DataRows(t.TablDan, branchCols, true) ||
        DataRows(back.TablVen, 8, true) != DataRows(t.TablVen, 8, true) ||
        back.NameVar != t.NameVar)
        std::abort();
}

// An import over the sample mine.
template <class TImport> void ImportAndCheck(TImport import) {
    fuzz::TCalcState state;
    fuzz::FillSampleMine(state);
    if (import(state).Status == TImportStatus::Read) CheckNetworkRoundTrip(state);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InstallQuietServices();
    static const std::string alone = Folder("alone"), withFans = Folder("fans");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* ext : {".bib", ".ids", ".dat", ".dt"})
        WriteFileAtomic(alone + "in" + ext, bytes, nullptr, false);
    for (const char* ext : {".ids", ".idv"})
        WriteFileAtomic(withFans + "in" + ext, bytes, nullptr, false);

    TModGrid library;
    PrepareLibraryGrid(library, TLibraryKind::Fans);
    if (ReadLibraryFile(alone + "in.bib", library, TLibraryKind::Fans))
        CheckLibraryRoundTrip(library, alone);
    if (ImportFanLibraryFile(alone + "in.bib", library)) {
        if (library.LastFilledRow() >= library.RowCount()) std::abort();
        CheckLibraryRoundTrip(library, alone);
    }

    for (const std::string& dir : {alone, withFans})
        ImportAndCheck([&](fuzz::TCalcState& s) {
            return ImportDosFiles(dir + "in.ids", *s.Tables, s.Context->CalcOptions);
        });
    ImportAndCheck(
        [&](fuzz::TCalcState& s) { return ImportTrovelDatFile(alone + "in.dat", *s.Tables); });
    ImportAndCheck([&](fuzz::TCalcState& s) {
        return ImportTrovelDtFile(alone + "in.dt", *s.Tables, s.Context->CalcOptions);
    });
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    TBinaryWriter fan;
    fan.U8(6);
    std::string name = "VOM-12";
    name.resize(19, '\0');
    fan.Bytes(name);
    fan.I32(15);
    fan.F64(-0.5);
    fan.F64(0);
    fan.F64(300);
    fan.F64(0);
    return {"3\r\n1 2 3 0,5 100 5\r\n2 3 4 0,2 50 4\r\n",
            "H\r\n1;2;3;0,002;\r\n\x1A",
            "head\r\n1 1 2 0.5 10 1 1 0 0 A\r\n2 2 3 0.5 10 1.5 0.8 0 2 B\r\n",
            "1 3 -0.5 0 120\r\n",
            "2,0,0,1,0,1\r\n     1   1   2   0.0100  25.5\r\n     2   2   3   0.0200\r\n"
            "     3   3   1   0.0300\r\n",
            "Variant\r\n\r\n\r\n\r\n\r\n2,0,0,1\r\n10,1,2,0.5,0,100,2,102,4,100,\"Fan\"\r\n"
            "11,2,1,0.1,\"Drift\"\r\n",
            fan.Data()};
}
