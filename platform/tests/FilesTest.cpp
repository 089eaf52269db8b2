#include "platform/Files.h"
#include "platform/BinaryIo.h"
#include "platform/Cp1251.h"
#include "platform/Process.h"

#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace arv;

TEST(Paths, BothSeparatorsCount) {
    EXPECT_EQ("C:\\mine\\", ExtractFilePath("C:\\mine\\a.grh"));
    EXPECT_EQ("a.grh", ExtractFileName("C:\\mine\\a.grh"));
    EXPECT_EQ("a.grh", ExtractFileName("/home/x/a.grh"));
    EXPECT_EQ(".grh", ExtractFileExt("/home/x.y/a.grh"));
    EXPECT_EQ("", ExtractFileExt("/home/x.y/abc"));
    EXPECT_EQ("/home/x.y/abc.dan", ChangeFileExt("/home/x.y/abc", ".dan"));
    EXPECT_EQ("C:\\m\\a.dan", ChangeFileExt("C:\\m\\a.grh", ".dan"));
    EXPECT_EQ("a", ChangeFileExt("a.grh", ""));
    EXPECT_EQ("/home/x", ExtractFileDir("/home/x/a"));
    EXPECT_EQ("dir/", IncludeTrailingPathDelimiter("dir"));
    EXPECT_EQ("img/fire.bmp", NormalizeSeparators("img\\fire.bmp"));
}

TEST(Paths, LookUpWithoutLetterCase) {
    auto dir = test::MakeTestFolder();
    std::filesystem::create_directories(dir / "IMG");
    std::ofstream(dir / "IMG" / "Fire.BMP") << "x";
    std::ofstream(dir / "Kestrum.ini") << "x";
    std::string d = FromNativePath(dir);
    EXPECT_EQ(d + "/IMG/Fire.BMP", FindFileNoCase(d, "img\\fire.bmp"));
    EXPECT_EQ(d + "/Kestrum.ini", FindFileNoCase(d, "KESTRUM.INI"));
    EXPECT_EQ("", FindFileNoCase(d, "img/none.bmp"));
    std::ofstream(dir / "IMG" / "a.bmp") << "x";
    std::ofstream(dir / "IMG" / "B.bmp") << "x";
    std::ofstream(dir / "IMG" / "c.uo") << "x";
    auto list = ListFilesWithExt(d + "/IMG", ".BMP");
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(d + "/IMG/a.bmp", list[0]);
    EXPECT_EQ(d + "/IMG/B.bmp", list[1]);
    EXPECT_EQ(d + "/IMG/Fire.BMP", list[2]);

    std::string old = ProgramDir();
    SetProgramDir(d);
    EXPECT_EQ(d + "/", ProgramDir());
    EXPECT_EQ(d + "/IMG/Fire.BMP", ProgramFile("img/FIRE.bmp"));
    EXPECT_EQ(d + "/rvust.txt", ProgramFile("rvust.txt"));
    SetProgramDir(old);
}

TEST(Paths, CyrillicNamesReachTheFileSystem) {
    auto dir = test::MakeTestFolder();
    std::string name = FromNativePath(dir) + "/" + Ru("Шахта.txt");
    ASSERT_TRUE(WriteFileAtomic(name, "abc"));
    EXPECT_TRUE(std::filesystem::exists(dir / std::filesystem::path(u8"Шахта.txt")));
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(FromNativePath(dir) + "/" + Ru("Шахта.txt"),
              FindFileNoCase(FromNativePath(dir), Ru("шахта.TXT")));
}

TEST(TextFiles, LinesEndAtEveryCarriageReturnOrLineFeed) {
    EXPECT_EQ((std::vector<std::string>{"a", "b", "", "c"}), SplitLines("a\r\nb\n\r\nc"));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), SplitLines("a\r\nb\r\n"));
    // A lone CR ends its line; LF CR is one line end, as CR LF is.
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), SplitLines("a\rb"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), SplitLines("a\n\rb\n\rc\n\r"));
    EXPECT_EQ((std::vector<std::string>{"", ";"}), SplitLines("\r;"));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), SplitLines("a\r\rb"));
    // A run of CRs before LF is one line end: a file converted twice.
    EXPECT_EQ((std::vector<std::string>{"a", "b", "", "c"}), SplitLines("a\r\r\nb\r\n\r\r\nc"));
    EXPECT_EQ((std::vector<std::string>{"a"}), SplitLines("a\r\n\x1A garbage", true));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextFiles, AtomicWriteReplacesWholeOrNothing) {
    auto dir = test::MakeTestFolder();
    std::string name = FromNativePath(dir) + "/data.txt";
    TTextFileWriter w(name);
    w.WriteLine(Ru("Строка"));
    w.WriteLine("2");
    ASSERT_TRUE(w.Commit());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(name, bytes));
    EXPECT_EQ(Ru("Строка") + "\r\n2\r\n", bytes);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(name, lines));
    EXPECT_EQ(2u, lines.size());
    // A failed write leaves the old file and no temporary behind.
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    std::string err;
    bool wrote = WriteFileAtomic(name, "new", &err);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    if (!wrote) { // root may write anyway
        EXPECT_FALSE(err.empty());
        ASSERT_TRUE(ReadFileBytes(name, bytes));
        EXPECT_EQ(Ru("Строка") + "\r\n2\r\n", bytes);
    }
    EXPECT_FALSE(WriteFileAtomic("/nonexistent-folder/x", "a"));
    // A folder given for a file is no file to read.
    EXPECT_FALSE(ReadFileBytes(FromNativePath(dir), bytes));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(BinaryIo, LittleEndianFieldsRoundTrip) {
    TBinaryWriter w;
    w.U8(0xAB);
    w.I16(-2);
    w.U32(0x12345678);
    w.I64(-5);
    w.F64(2.5);
    w.F32(1.5f);
    w.FixedText("G878", 6);
    size_t sizePos = w.Size();
    w.U32(0);
    w.PatchU32(sizePos, 77);
    EXPECT_EQ('\x78', w.Data()[3]);
    TBinaryReader r(w.Data());
    EXPECT_EQ(0xAB, r.U8());
    EXPECT_EQ(-2, r.I16());
    EXPECT_EQ(0x12345678u, r.U32());
    EXPECT_EQ(-5, r.I64());
    EXPECT_EQ(2.5, r.F64());
    EXPECT_EQ(1.5f, r.F32());
    EXPECT_EQ(std::string("G878\0\0", 6), r.Bytes(6));
    EXPECT_EQ(77u, r.U32());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.Failed());
}

TEST(BinaryIo, ReadingPastTheEndIsReportedNotUndefined) {
    std::string bytes("\x01\x02\x03", 3);
    TBinaryReader r(bytes);
    EXPECT_EQ(0x0201, r.U16());
    EXPECT_EQ(0u, r.U32()); // one byte left: fails, reads zero
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(2u, r.FailurePosition());
    EXPECT_EQ(0, r.U8()); // sticky
    TBinaryReader r2(bytes);
    EXPECT_FALSE(r2.Has(4));
    EXPECT_EQ("", r2.Bytes(size_t(-1))); // a huge length read from a file allocates nothing
    EXPECT_TRUE(r2.Failed());
    TBinaryReader r3(bytes);
    EXPECT_FALSE(r3.Seek(4));
    EXPECT_TRUE(r3.Failed());
    TBinaryReader r4(bytes);
    EXPECT_TRUE(r4.Skip(3));
    EXPECT_TRUE(r4.AtEnd());
    EXPECT_FALSE(r4.Skip(1));
}

TEST(Process, RunsWaitsAndReportsMissingPrograms) {
    int code = -1;
    EXPECT_EQ(TRunResult::Finished, RunAndWait("sh", {"-c", "exit 3"}, 5000, code));
    EXPECT_EQ(3, code);
    EXPECT_EQ(TRunResult::TimedOut, RunAndWait("sleep", {"5"}, 50, code));
    EXPECT_EQ(TRunResult::NotStarted, RunAndWait("/nonexistent/program", {}, 1000, code));
    EXPECT_FALSE(StartDetached("/nonexistent/program", {}));
    auto dir = test::MakeTestFolder();
    EXPECT_EQ(TRunResult::Finished,
              RunAndWait("sh", {"-c", "echo x > out.txt"}, 5000, code, FromNativePath(dir)));
    EXPECT_TRUE(std::filesystem::exists(dir / "out.txt"));
}
