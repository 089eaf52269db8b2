// A fresh folder per test, removed afterwards, and what a file holds.
#pragma once

#include "platform/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace arv::test {

// Removes the test folders when the test program ends, so runs leave no
// litter in the temporary folder.
struct TTestFolderSweeper {
    std::vector<std::filesystem::path> folders;
    ~TTestFolderSweeper() {
        for (const auto& f : folders) {
            std::error_code ignored;
            std::filesystem::remove_all(f, ignored);
        }
    }
};

inline TTestFolderSweeper& TestFolderSweeper() {
    static TTestFolderSweeper sweeper;
    return sweeper;
}

inline std::filesystem::path MakeTestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    auto dir = std::filesystem::temp_directory_path() /
               ("arvalen_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    TestFolderSweeper().folders.push_back(dir);
    return dir;
}

// The bytes of a file; none when it cannot be read.
inline std::string FileBytes(const std::string& name) {
    std::string bytes;
    ReadFileBytes(name, bytes);
    return bytes;
}

} // namespace arv::test
