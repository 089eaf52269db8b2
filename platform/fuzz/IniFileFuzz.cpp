// An initialisation file of any bytes: every section and value reads, and a
// key written into it (a file name holding a CR) reads back as written while
// the other sections stay.
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("arv-ini-fuzz-" + std::to_string(getpid()) + ".ini"))
                                        .string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TIniFile ini(path);
    std::vector<std::string> sections = ini.ReadSections();
    for (const std::string& section : sections) {
        for (const std::string& key : ini.ReadSection(section))
            (void)ini.ReadString(section, key, "");
        (void)ini.ReadSectionValues(section);
    }
    const std::string value = "/plans/mine\r2.grh";
    if (ini.WriteString("FuzzCheck", "Key", value)) {
        if (ini.ReadString("FuzzCheck", "Key", "") != value) std::abort();
        for (const std::string& section : sections)
            if (!ini.SectionExists(section)) std::abort();
    }
    std::filesystem::remove(path);
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    return {"[Common]\r\nLeft=10\r\nName=\"a b\"\r\n\r\n[SYSTEM]\r\n;comment\r\nScale=1,5\r\n",
            "[A]\nx=1\n[a]\nX=2\n", "key=before any section\r\n[B]\r\n"};
}
