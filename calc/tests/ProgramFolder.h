// The program folder pointed at a fresh test folder for the life of a test,
// so that the settings file of the test is its own.
#pragma once

#include "platform/Files.h"
#include "platform/testing/TestFolder.h"

#include <filesystem>
#include <string>

namespace arv::test {

struct TProgramFolder {
    std::filesystem::path dir = MakeTestFolder();
    std::string saved = ProgramDir();
    TProgramFolder() { SetProgramDir(dir.string()); }
    ~TProgramFolder() { SetProgramDir(saved); }
    TProgramFolder(const TProgramFolder&) = delete;
    TProgramFolder& operator=(const TProgramFolder&) = delete;
};

} // namespace arv::test
