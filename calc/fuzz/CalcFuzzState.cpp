#include "calc/fuzz/CalcFuzzState.h"

#include "calc/testing/SampleMine.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace arv::fuzz {

TScratchFile::TScratchFile(const uint8_t* data, size_t size, const std::string& extension) {
    name_ = (std::filesystem::temp_directory_path() /
             ("arv-calc-fuzz-" + std::to_string(getpid()) + extension))
                .string();
    std::ofstream out(name_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

TScratchFile::~TScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(name_, ignored);
}

std::string TScratchFile::Read() const {
    std::ifstream in(name_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void FillSampleMine(TCalcState& state) {
    test::BuildSampleMine(*state.Tables);
}

} // namespace arv::fuzz
