// libFuzzer entry: any byte image opened as a dBASE table.
#include "platform/DbfTable.h"
#include "platform/Files.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("arv_fuzz_" + std::to_string(getpid()) + ".dbf"))
            .string();
    arv::WriteFileAtomic(name, std::string(reinterpret_cast<const char*>(data), size), nullptr,
                         false);
    arv::TDbfTable table;
    if (table.Open(name))
        for (int r = 0; r < table.RecordCount(); ++r)
            for (size_t f = 0; f < table.Fields().size(); ++f)
                (void)table.Text(r, static_cast<int>(f));
    return 0;
}
