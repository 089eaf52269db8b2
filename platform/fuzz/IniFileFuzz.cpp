// An initialisation file of any bytes: every section and value reads, and
// values written into it read back as written (or are refused, changing
// nothing) while the other sections and keys stay.
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("arv-ini-fuzz-" + std::to_string(getpid()) + ".ini"))
                                        .string();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    TIniFile ini(path);
    std::vector<std::string> sections = ini.ReadSections();
    std::map<std::pair<std::string, std::string>, std::string> values;
    for (const std::string& section : sections) {
        for (const std::string& key : ini.ReadSection(section))
            values.try_emplace({section, key}, ini.ReadString(section, key, ""));
        (void)ini.ReadSectionValues(section);
    }
    // The values read, with blanks and quotes where a file name may have
    // them, and the input's own bytes as one value (line ends too).
    std::vector<std::string> written{bytes.substr(0, 64)};
    for (const auto& [where, value] : values) {
        for (const std::string& v : {value, value + " ", " " + value, '"' + value + '"'})
            written.push_back(v);
        if (written.size() > 32) break; // each write replaces the file
    }
    for (const std::string& value : written) {
        std::string before;
        ReadFileBytes(path, before);
        if (!ini.WriteString("FuzzCheck", "Key", value)) {
            std::string after;
            ReadFileBytes(path, after);
            if (TIniFile::CanStore(value) || after != before) std::abort();
            continue;
        }
        if (ini.ReadString("FuzzCheck", "Key", "") != value) std::abort();
    }
    for (const auto& [where, old] : values)
        if (!AnsiSameText(where.first, "FuzzCheck") &&
            ini.ReadString(where.first, where.second, "") != old)
            std::abort();
    std::filesystem::remove(path);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    return {"[Common]\r\nLeft=10\r\nName=\"a b\"\r\n\r\n[SYSTEM]\r\n;comment\r\nScale=1,5\r\n",
            "[A]\nx=1\n[a]\nX=2\n", "key=before any section\r\n[B]\r\n"};
}
