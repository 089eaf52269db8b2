// Shared helpers of the converter tests: an in-process conversion of a byte
// image, a run of the built program in a folder, and small file helpers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace halvard::test {

struct TConversion {
    bool ok = false;     // read without a read error
    std::string text;    // the exchange text, when ok
    std::string console; // everything printed
};

TConversion Convert(std::string_view mineFile, bool verbose = false);

struct TProcessResult {
    int exitCode = -1;
    std::string console;
};

// Runs the built converter with `args` in `dir` and collects its console.
TProcessResult RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& args);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// Lines joined with CR LF after each, as the exchange text has them.
std::string CrLfLines(const std::vector<std::string>& lines);
// Names of the files in a folder, sorted.
std::vector<std::string> FolderFiles(const std::filesystem::path& dir);

} // namespace halvard::test
