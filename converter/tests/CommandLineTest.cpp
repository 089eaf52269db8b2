// The built program's command line, messages and exit codes, and that a
// failed run leaves no output file behind.
#include "converter/tests/MineFileBuilder.h"
#include "converter/tests/SampleMine.h"
#include "converter/tests/TestSupport.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

namespace halvard::test {
namespace {

const char* const Usage = "Tresk Sorvik Mine to Text converter 1.0\n"
                          "Halvard.exe <minefile> <txtfile>\n";

TEST(CommandLine, FewerThanTwoFilesPrintTheUsage) {
    const auto dir = arv::test::MakeTestFolder();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"only.MINE"}}) {
        const TProcessResult run = RunProgram(dir, args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.console, Usage);
    }
    EXPECT_TRUE(FolderFiles(dir).empty());
}

TEST(CommandLine, VerboseOnlyAsTheThirdArgument) {
    const auto dir = arv::test::MakeTestFolder();
    ASSERT_TRUE(WriteSampleMine(dir / "m.MINE"));

    TProcessResult run = RunProgram(dir, {"m.MINE", "third.tresk", "-v"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.console.starts_with("Set up verbose mode!\nSign=mkMine")) << run.console;

    run = RunProgram(dir, {"m.MINE", "fourth.tresk", "-x", "-v"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.console, "");

    // As the second argument it is just the output file's name.
    run = RunProgram(dir, {"m.MINE", "-v"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.console, "");
    EXPECT_EQ(ReadFile(dir / "-v"), ReadFile(dir / "third.tresk"));
    EXPECT_EQ(ReadFile(dir / "fourth.tresk"), ReadFile(dir / "third.tresk"));
}

TEST(CommandLine, InputThatCannotBeOpened) {
    const auto dir = arv::test::MakeTestFolder();
    std::filesystem::create_directory(dir / "folder.MINE");
    for (const char* name : {"missing.MINE", "folder.MINE"}) {
        const TProcessResult run = RunProgram(dir, {name, "out.tresk"});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.console, std::string("File ") + name + " can't open!\n");
    }
    EXPECT_EQ(FolderFiles(dir), std::vector<std::string>{"folder.MINE"});
}

// A read error leaves an older output as it was and no temporary behind.
TEST(CommandLine, ReadErrorWritesNothing) {
    const auto dir = arv::test::MakeTestFolder();
    const std::string sample = BuildSampleMine();
    WriteFile(dir / "cut.MINE", sample.substr(0, 16 + 10 + 100)); // inside MineInfo
    WriteFile(dir / "old.tresk", "old text");

    TProcessResult run = RunProgram(dir, {"cut.MINE", "new.tresk"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.console, "Error reading file (MineInfo)!\n");

    run = RunProgram(dir, {"cut.MINE", "old.tresk"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(ReadFile(dir / "old.tresk"), "old text");
    EXPECT_EQ(FolderFiles(dir), (std::vector<std::string>{"cut.MINE", "old.tresk"}));
}

TEST(CommandLine, OutputThatCannotBeCreated) {
    const auto dir = arv::test::MakeTestFolder();
    ASSERT_TRUE(WriteSampleMine(dir / "m.MINE"));
    const TProcessResult run = RunProgram(dir, {"m.MINE", "no/such/folder/out.tresk"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.console, "File no/such/folder/out.tresk can't create!");
}

// Any name the file system takes is written, up to its longest.
TEST(CommandLine, OutputWithTheLongestName) {
    const auto dir = arv::test::MakeTestFolder();
    ASSERT_TRUE(WriteSampleMine(dir / "m.MINE"));
    const std::string name = std::string(250, 'n') + ".txt";
    const TProcessResult run = RunProgram(dir, {"m.MINE", name});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.console, "");
    EXPECT_TRUE(ReadFile(dir / name).starts_with("99|"));
    EXPECT_EQ(FolderFiles(dir), (std::vector<std::string>{"m.MINE", name}));
}

TEST(CommandLine, SuccessReplacesAnOlderOutput) {
    const auto dir = arv::test::MakeTestFolder();
    TMineFileBuilder b;
    b.Header().U16s(TagNodeNumbers, {1});
    WriteFile(dir / "m.MINE", b.Bytes());
    WriteFile(dir / "out.tresk", std::string(5000, 'x'));
    const TProcessResult run = RunProgram(dir, {"m.MINE", "out.tresk"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadFile(dir / "out.tresk"),
              CrLfLines({R"(99|"1.0")", R"(0|""|""|0|0)", "2|1|0|0|0.000000|0|0"}));
    EXPECT_EQ(FolderFiles(dir), (std::vector<std::string>{"m.MINE", "out.tresk"}));
}

// Random bytes, a text and an empty file are no mine file: they fail and
// leave a good output of an earlier run as it was.
TEST(CommandLine, FileWithoutKnownRecordsIsNoMine) {
    const auto dir = arv::test::MakeTestFolder();
    std::string noise;
    uint32_t seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += static_cast<char>(seed >> 24);
    }
    WriteFile(dir / "noise.MINE", noise);
    WriteFile(dir / "text.MINE", "This is a plain text file.\r\nNothing in it is a mine.\r\n");
    WriteFile(dir / "empty.MINE", "");
    WriteFile(dir / "good.tresk", "good text");
    for (const char* name : {"noise.MINE", "text.MINE", "empty.MINE"}) {
        const TProcessResult run = RunProgram(dir, {name, "good.tresk"});
        EXPECT_EQ(run.exitCode, 2) << name;
        // Cut short at an unknown tag, or no record at all: a failure.
        EXPECT_TRUE(run.console.ends_with(std::string("File ") + name + " is not a mine file!\n") ||
                    run.console == "Error reading file (unknown tag)!\n")
            << run.console;
        EXPECT_EQ(ReadFile(dir / "good.tresk"), "good text");
    }
    EXPECT_EQ(FolderFiles(dir),
              (std::vector<std::string>{"empty.MINE", "good.tresk", "noise.MINE", "text.MINE"}));
}

} // namespace
} // namespace halvard::test
