// Runs a fuzz target without the fuzzer: over its own seeds and over every
// file given (folders are read file by file), once each. With
// "--write-seeds DIR" it writes the seeds into DIR instead, as the starting
// corpus of a fuzzing run.
#include "platform/testing/FuzzSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunOne(const std::string& bytes) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--write-seeds") {
        fs::create_directories(args[1]);
        auto seeds = ArvFuzzSeeds();
        for (size_t i = 0; i < seeds.size(); ++i) {
            std::ofstream out(fs::path(args[1]) / ("seed-" + std::to_string(i)), std::ios::binary);
            out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
            if (!out) {
                std::fprintf(stderr, "cannot write seed %zu into %s\n", i, args[1].c_str());
                return 1;
            }
        }
        std::printf("%zu seeds written\n", seeds.size());
        return 0;
    }
    size_t runs = 0;
    for (const std::string& seed : ArvFuzzSeeds()) {
        RunOne(seed);
        ++runs;
    }
    for (const std::string& arg : args) {
        std::vector<fs::path> files;
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.emplace_back(arg);
        }
        for (const fs::path& file : files) {
            std::string bytes;
            if (!ReadFile(file, bytes)) {
                std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
                return 1;
            }
            RunOne(bytes);
            ++runs;
        }
    }
    std::printf("%zu inputs replayed\n", runs);
    return 0;
}
