// A program folder of a test's own: the program's pictures and the sample
// drawing copied into a fresh folder, which is the program folder until the
// test ends. Declare it before the program windows, so that they close
// before the program folder is put back.
#pragma once

#include "platform/Files.h"
#include "platform/testing/TestFolder.h"

#include <filesystem>
#include <string>

namespace arv::test {

class TSampleProgramFolder {
public:
    TSampleProgramFolder() : dir(MakeTestFolder()), saved_(ProgramDir()) {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        SetProgramDir(dir.string());
    }
    ~TSampleProgramFolder() { SetProgramDir(saved_); }
    TSampleProgramFolder(const TSampleProgramFolder&) = delete;
    TSampleProgramFolder& operator=(const TSampleProgramFolder&) = delete;

    std::string File(const std::string& name) const { return (dir / name).string(); }

    const std::filesystem::path dir;

private:
    const std::string saved_;
};

} // namespace arv::test
