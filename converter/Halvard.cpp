#include "converter/Halvard.h"

#include "converter/MineReader.h"
#include "converter/TreskWriter.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <ostream>
#include <random>

namespace halvard {

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 2;

// Runs a step that allocates as the input demands; running out of memory
// fails the step instead of ending the program.
template <class TStep> bool WithinMemory(TStep step) {
    try {
        return step();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool LoadFile(const std::string& name, std::vector<uint8_t>& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) return false;
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    char chunk[1 << 16];
    while (in) {
        in.read(chunk, sizeof chunk);
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    return !in.bad();
}

// The output goes to a fresh file beside the target and replaces the target
// only when it is complete, so a failed run never leaves half a text behind.
class TOutputFile {
public:
    explicit TOutputFile(std::string target) : target_(std::move(target)) {}
    ~TOutputFile() { Discard(); }
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    bool Create() {
        std::random_device seed;
        std::mt19937 random(seed());
        for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
            // A short name in the target's folder: the target's own name may
            // already be as long as the file system allows.
            char name[24];
            std::snprintf(name, sizeof name, ".hv%08x.tmp", static_cast<unsigned>(random()));
            temp_ = (std::filesystem::path(target_).parent_path() / name).string();
            // "x": never reuse a file that someone else made.
            file_ = std::fopen(temp_.c_str(), "wbx");
            if (!file_ && errno != EEXIST) break;
        }
        if (!file_) temp_.clear(); // the name is not ours to remove
        return file_ != nullptr;
    }

    bool Commit(const std::string& text) {
        const bool written = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!written || !closed) return false;
        std::error_code ec;
        std::filesystem::rename(temp_, target_, ec);
        if (ec) return false;
        temp_.clear();
        return true;
    }

private:
    void Discard() {
        if (file_) std::fclose(file_);
        file_ = nullptr;
        if (!temp_.empty()) std::remove(temp_.c_str());
        temp_.clear();
    }

    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

int WriteOutput(const TMineTables& tables, const std::string& name, std::ostream& console,
                bool verbose) {
    if (verbose) console << "Create text file...\n";
    TOutputFile output(name);
    const bool ok = output.Create() && WithinMemory([&] {
                        return output.Commit(WriteTreskText(tables, console, verbose));
                    });
    if (!ok) {
        console << "File " << name << " can't create!";
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

int RunHalvard(const std::vector<std::string>& args, std::ostream& console) {
    if (args.size() < 3) {
        console << "Tresk Sorvik Mine to Text converter 1.0\n"
                << "Halvard.exe <minefile> <txtfile>\n";
        return ExitOk;
    }
    const std::string& mineName = args[1];
    const std::string& textName = args[2];
    // Only the third argument is looked at.
    const bool verbose = args.size() > 3 && args[3] == "-v";
    if (verbose) console << "Set up verbose mode!\n";

    std::vector<uint8_t> bytes;
    if (!WithinMemory([&] { return LoadFile(mineName, bytes); })) {
        console << "File " << mineName << " can't open!\n";
        return ExitFailed;
    }

    TMineTables tables;
    TMineReader reader(bytes, tables, console, verbose);
    if (!reader.ReadMine()) return ExitFailed;
    // A file without one record of a mine file is no mine file: an empty
    // text written for it would pass for a converted mine, over a good one.
    if (reader.KnownRecordCount() == 0) {
        console << "File " << mineName << " is not a mine file!\n";
        return ExitFailed;
    }
    bytes = {};
    return WriteOutput(tables, textName, console, verbose);
}

} // namespace halvard
