// Writes the sample fan and device libraries of the program folder with the
// program's own library writer. Usage: arv_make_libraries <folder>
#include "calc/files/Libraries.h"
#include "calc/model/NetworkTables.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace arv;

namespace {

bool WriteSample(const std::string& name, TLibraryKind kind,
                 const std::vector<std::vector<const char*>>& rows) {
    TModGrid grid;
    PrepareLibraryGrid(grid, kind);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            grid.SetCells(static_cast<int>(c), FirstDataRow + static_cast<int>(r), Ru(rows[r][c]));
    grid.SetRowCount(FirstDataRow + static_cast<int>(rows.size()));
    std::string error;
    if (WriteLibraryFile(name, grid, &error)) return true;
    std::fprintf(stderr, "%s: %s\n", name.c_str(), Cp1251ToUtf8(error).c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: arv_make_libraries <folder>\n");
        return 2;
    }
    const std::string dir = IncludeTrailingPathDelimiter(argv[1]);
    ForceDirectories(dir);
    // Made-up fans: a row without a type belongs to the type above it.
    const bool fans =
        WriteSample(dir + "rvVent.bib", TLibraryKind::Fans,
                    {
                        {"ВОМ-12", "15", "-0,90000", "0,00000", "180,000", "", "", "", "", "", ""},
                        {"", "25", "-0,60000", "0,00000", "220,000", "", "", "", "", "", ""},
                        {"ВОМ-16", "20", "-0,50000", "0,00000", "300,000", "10", "250", "20", "100",
                         "15", "187,5"},
                        {"", "30", "-0,40000", "0,00000", "340,000", "", "", "", "", "", ""},
                        {"ЦВМ-20", "30", "-0,05000", "0,80000", "350,000", "", "", "", "", "", ""},
                        {"", "40", "-0,04000", "0,90000", "400,000", "", "", "", "", "", ""},
                    });
    const bool devices = WriteSample(dir + "RvVU.bib", TLibraryKind::Devices,
                                     {
                                         {"Дверь деревянная", "0,8", "", "одностворчатая"},
                                         {"Дверь металлическая", "1,5", "", "двустворчатая"},
                                         {"Перемычка бетонная", "60", "", "глухая"},
                                         {"Решетка", "", "0,35", "по сечению выработки"},
                                         {"Окно регулятора 1 м2", "0,12", "2,8", ""},
                                     });
    return fans && devices ? 0 : 1;
}
