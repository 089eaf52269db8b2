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

#include "platform/testing/FuzzSupport.h"

// A table of two character fields and one record, as a small dBASE III file
// holds it, and a header without records.
std::vector<std::string> ArvFuzzSeeds() {
    std::string header;
    auto u8 = [&](int v) { header.push_back(static_cast<char>(v)); };
    auto u16 = [&](int v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16((v >> 16) & 0xFFFF);
    };
    u8(0x03);
    u8(126);
    u8(1);
    u8(1);
    u32(1);
    u16(32 + 2 * 32 + 1);
    u16(1 + 10 + 5);
    header.append(17, '\0');
    u8(0x65); // language driver: code page 866
    header.append(2, '\0');
    auto field = [&](const char* name, char type, int length) {
        std::string n(name);
        n.resize(11, '\0');
        header += n;
        u8(type);
        header.append(4, '\0');
        u8(length);
        u8(0);
        header.append(14, '\0');
    };
    field("NAME", 'C', 10);
    field("NUM", 'N', 5);
    u8(0x0D);
    std::string withRecord = header + " \x8D\xA0\xA7\xA2\xA0\xAD\xA8\xA5  " + "   12" + "\x1A";
    return {withRecord, header};
}
