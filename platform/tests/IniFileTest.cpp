#include "platform/IniFile.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"

#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace arv;

namespace {
std::string ReadAll(const std::string& name) {
    std::string s;
    ReadFileBytes(name, s);
    return s;
}
std::string DataFile(const char* name) {
    return std::string(ARV_PLATFORM_TEST_DATA) + "/" + name;
}
} // namespace

TEST(IniFile, TwoWritersKeepEachOthersWritesAndForeignLines) {
    auto dir = test::MakeTestFolder();
    std::string name = dir.string() + "/Kestrum.ini";
    ASSERT_TRUE(
        WriteFileAtomic(name, std::string("; written by hand\r\n[Foreign]\r\nKeep=me\r\n\r\n") +
                                  "[Form1]\r\nLeft=10\r\n"));
    TIniFile a(name), b(name);
    EXPECT_TRUE(a.WriteInteger("Form1", "Top", 20));
    EXPECT_TRUE(b.WriteInteger("FORM1", "left", 11));
    EXPECT_TRUE(b.WriteString(Ru("Пути"), "Data", Ru("C:\\Шахта\\a.grh")));
    EXPECT_TRUE(a.WriteBool("Options", "Flag", true));
    EXPECT_EQ(20, b.ReadInteger("form1", "TOP", 0));
    EXPECT_EQ(11, a.ReadInteger("Form1", "Left", 0));
    EXPECT_EQ(ReadAll(DataFile("two_writers.ini")), ReadAll(name));
}

TEST(IniFile, ReadsTrimQuotesDefaultsAndConversions) {
    auto dir = test::MakeTestFolder();
    std::string name = dir.string() + "/a.ini";
    ASSERT_TRUE(WriteFileAtomic(name,
                                "[S]\n  Key1 =  value with blanks  \nQ=\"quoted \"\nN=12x\nB=0\n"
                                "F=2,5\nG=3.25\n;C=comment\n"));
    TIniFile ini(name);
    EXPECT_EQ("value with blanks", ini.ReadString("s", "key1", "d"));
    EXPECT_EQ("quoted ", ini.ReadString("S", "Q", "d"));
    EXPECT_EQ("d", ini.ReadString("S", "missing", "d"));
    EXPECT_EQ("d", ini.ReadString("Nope", "Q", "d"));
    EXPECT_EQ(7, ini.ReadInteger("S", "N", 7));
    EXPECT_FALSE(ini.ReadBool("S", "B", true));
    EXPECT_TRUE(ini.ReadBool("S", "Q", true));
    EXPECT_DOUBLE_EQ(2.5, ini.ReadFloat("S", "F", 0));
    EXPECT_DOUBLE_EQ(3.25, ini.ReadFloat("S", "G", 0));
    EXPECT_FALSE(ini.ValueExists("S", "C"));
    EXPECT_TRUE(ini.ValueExists("S", "b"));
    EXPECT_TRUE(ini.SectionExists("s"));
    EXPECT_EQ((std::vector<std::string>{"Key1", "Q", "N", "B", "F", "G"}), ini.ReadSection("S"));
    EXPECT_EQ(6u, ini.ReadSectionValues("S").size());
}

TEST(IniFile, EraseSectionAndDeleteKeyKeepTheRest) {
    auto dir = test::MakeTestFolder();
    std::string name = dir.string() + "/b.ini";
    TIniFile ini(name);
    EXPECT_EQ("x", ini.ReadString("A", "k", "x")); // no file yet
    ini.WriteString("A", "k", "1");
    ini.WriteString("B", "k", "2");
    ini.WriteString("A", "m", "3");
    ini.WriteFloat("A", "f", 0.5);
    EXPECT_EQ("0,5", ini.ReadString("A", "f", ""));
    EXPECT_TRUE(ini.DeleteKey("A", "k"));
    EXPECT_FALSE(ini.ValueExists("A", "k"));
    EXPECT_TRUE(ini.EraseSection("a"));
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ("2", ini.ReadString("B", "k", ""));
    EXPECT_EQ((std::vector<std::string>{"B"}), ini.ReadSections());
    EXPECT_EQ("[B]\r\nk=2\r\n", ReadAll(name));
}

TEST(IniFile, UnwritableFileReportsFailure) {
    TIniFile ini("/nonexistent-folder/x.ini");
    EXPECT_FALSE(ini.WriteString("A", "k", "v"));
    EXPECT_EQ("v0", ini.ReadString("A", "k", "v0"));
}

TEST(IniFile, BufferedWritesReachTheFileOnceWhole) {
    auto dir = test::MakeTestFolder();
    std::string name = dir.string() + "/c.ini";
    ASSERT_TRUE(WriteFileAtomic(name, "[Other]\r\nx=1\r\n"));
    TIniFile ini(name, true);
    EXPECT_TRUE(ini.WriteString("A", "k", "1"));
    EXPECT_TRUE(ini.EraseSection("Gone"));
    EXPECT_EQ("1", ini.ReadString("A", "k", ""));
    // Nothing on disk until the update.
    EXPECT_EQ("[Other]\r\nx=1\r\n", ReadAll(name));
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ("[Other]\r\nx=1\r\n\r\n[A]\r\nk=1\r\n", ReadAll(name));
    // No temporary files are left beside it.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir),
                               std::filesystem::directory_iterator()));

    // A file that exists but cannot be read is never replaced.
    std::string folder = dir.string() + "/folder.ini";
    std::filesystem::create_directory(folder);
    TIniFile blocked(folder, true);
    blocked.WriteString("A", "k", "1");
    EXPECT_FALSE(blocked.UpdateFile());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    TIniFile missingFolder("/nonexistent-folder/x.ini", true);
    missingFolder.WriteString("A", "k", "1");
    EXPECT_FALSE(missingFolder.UpdateFile());
}

TEST(IniFile, BufferedReadsFindWhatUnbufferedReadsFind) {
    auto dir = test::MakeTestFolder();
    const std::string name = (dir / "read.ini").string();
    ASSERT_TRUE(
        WriteFileAtomic(name,
                        "k=before any section\r\n[A]\r\nx=1\r\n[b]\r\ny = 2 \r\n[a]\r\nx=3\r\n"
                        "[Last]\r\nz='q'\r\n",
                        nullptr, false));
    const TIniFile plain(name);
    TIniFile buffered(name, true);
    for (auto [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"A", "x"}, {"a", "X"}, {"B", "y"}, {"Last", "z"}, {"Last", "k"}, {"None", "x"}})
        EXPECT_EQ(plain.ReadString(section, key, "-"), buffered.ReadString(section, key, "-"))
            << section << "." << key;
    EXPECT_EQ("1", buffered.ReadString("a", "x", "-")); // the first section of a name
    // A write in memory is seen by the next read, new section included.
    buffered.WriteString("New", "w", "5");
    EXPECT_EQ(5, buffered.ReadInteger("new", "W", 0));
    EXPECT_EQ("2", buffered.ReadString("b", "y", "-"));
}

// Every line end the text readers know ends a line here too. (That a value
// written reads back as written, or is refused, the fuzz target checks.)
TEST(IniFile, EveryLineEndOfTheTextReadersEndsALine) {
    auto dir = test::MakeTestFolder();
    const std::string name = (dir / "cr.ini").string();
    ASSERT_TRUE(WriteFileAtomic(name, "[Common]\rGrid=0\r[SYSTEM]\rLastFile=/a.grh\r"));
    EXPECT_EQ("/a.grh", TIniFile(name, true).ReadString("SYSTEM", "LastFile", ""));
}
