#include "converter/tests/TestSupport.h"

#include "converter/MineReader.h"
#include "converter/TreskWriter.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace halvard::test {

TConversion Convert(std::string_view mineFile, bool verbose) {
    TConversion result;
    TMineTables tables;
    std::ostringstream console;
    TMineReader reader(TBytes(reinterpret_cast<const uint8_t*>(mineFile.data()), mineFile.size()),
                       tables, console, verbose);
    result.ok = reader.ReadMine();
    if (result.ok) result.text = WriteTreskText(tables, console, verbose);
    result.console = console.str();
    return result;
}

namespace {

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

TProcessResult RunProgram(const std::filesystem::path& dir, const std::vector<std::string>& args) {
    const auto consoleFile = dir.parent_path() / (dir.filename().string() + ".console");
    std::string command = "cd " + Quoted(dir.string()) + " && " + Quoted(HALVARD_PATH);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " > " + Quoted(consoleFile.string()) + " 2>&1";
    const int status = std::system(command.c_str());
    TProcessResult result;
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.console = ReadFile(consoleFile);
    std::filesystem::remove(consoleFile);
    return result;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> FolderFiles(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace halvard::test
