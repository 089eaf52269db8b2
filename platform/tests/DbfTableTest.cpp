// DOS text conversion and dBASE tables written with shapelib here: CP866
// names, a deleted record, a table without a code page, damaged files.
#include "platform/DbfTable.h"
#include "platform/Cp1251.h"
#include "platform/Cp866.h"
#include "platform/Files.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <filesystem>

using namespace arv;

TEST(Cp866, CyrillicBothWaysAndBoxDrawingBecomesQuestionMark) {
    // "Ёж ящик" in CP866: Ё=F0 ж=A6, я=EF щ=E9 и=A8 к=AA.
    const std::string dos = "\xF0\xA6 \xEF\xE9\xA8\xAA";
    EXPECT_EQ(Ru("Ёж ящик"), Cp866ToCp1251(dos));
    EXPECT_EQ(dos, Cp1251ToCp866(Ru("Ёж ящик")));
    // А..Я, а..п and р..я sit in three blocks of CP866.
    EXPECT_EQ(Ru("АЯапря"), Cp866ToCp1251("\x80\x9F\xA0\xAF\xE0\xEF"));
    EXPECT_EQ("?-1", Cp866ToCp1251("\xC9-1"));
}

namespace {

// Writes a branch-like table: number, name, resistance; records marked
// deleted are given by index.
void WriteTable(const std::string& path, const char* codePage,
                const std::vector<std::tuple<int, std::string, double>>& rows,
                std::vector<int> deleted = {}) {
    DBFHandle h = codePage ? DBFCreateEx(path.c_str(), codePage) : DBFCreate(path.c_str());
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(0, DBFAddField(h, "BRANCH_NO", FTInteger, 6, 0));
    ASSERT_EQ(1, DBFAddField(h, "BR_NAME", FTString, 50, 0));
    ASSERT_EQ(2, DBFAddField(h, "RESISTANCE", FTDouble, 12, 4));
    for (size_t i = 0; i < rows.size(); ++i) {
        int r = static_cast<int>(i);
        DBFWriteIntegerAttribute(h, r, 0, std::get<0>(rows[i]));
        DBFWriteStringAttribute(h, r, 1, std::get<1>(rows[i]).c_str());
        DBFWriteDoubleAttribute(h, r, 2, std::get<2>(rows[i]));
    }
    for (int r : deleted) DBFMarkRecordDeleted(h, r, 1);
    DBFClose(h);
}

} // namespace

TEST(DbfTable, ReadsLiveRecordsAndConvertsDosText) {
    auto dir = test::MakeTestFolder();
    std::string name = (dir / "net.dbf").string();
    WriteTable(name, "LDID/38",
               {{1, Cp1251ToCp866(Ru("Ствол главный")), 0.0125},
                {2, "gone", 1},
                {3, Cp1251ToCp866(Ru("Штрек")), 0.5}},
               {1});
    TDbfTable t;
    std::string error;
    ASSERT_TRUE(t.Open(name, &error)) << error;
    EXPECT_TRUE(t.WasCp866());
    ASSERT_EQ(2, t.RecordCount());
    ASSERT_EQ(3u, t.Fields().size());
    EXPECT_EQ('N', t.Fields()[0].Type);
    EXPECT_EQ(2, t.FieldIndex("resistance"));
    EXPECT_EQ(-1, t.FieldIndex("NOPE"));
    EXPECT_EQ("1", t.Text(0, 0));
    EXPECT_EQ(Ru("Ствол главный"), t.Text(0, 1));
    EXPECT_EQ("0.0125", t.Text(0, 2));
    EXPECT_EQ("3", t.Text(1, 0));
    EXPECT_EQ(Ru("Штрек"), t.Text(1, 1));
    EXPECT_EQ("", t.Text(2, 0));
    EXPECT_EQ("", t.Text(0, 7));
}

TEST(DbfTable, CodePageFromCompanionFileOrNone) {
    auto dir = test::MakeTestFolder();
    std::string plain = (dir / "plain.dbf").string();
    WriteTable(plain, nullptr, {{7, Ru("Уклон"), 2}});
    TDbfTable t;
    ASSERT_TRUE(t.Open(plain));
    EXPECT_FALSE(t.WasCp866());
    EXPECT_EQ(Ru("Уклон"), t.Text(0, 1));

    std::string dos = (dir / "dos.dbf").string();
    WriteTable(dos, nullptr, {{7, Cp1251ToCp866(Ru("Уклон")), 2}});
    ASSERT_TRUE(WriteFileAtomic((dir / "dos.cpg").string(), "866"));
    ASSERT_TRUE(t.Open(dos));
    EXPECT_TRUE(t.WasCp866());
    EXPECT_EQ(Ru("Уклон"), t.Text(0, 1));
    EXPECT_TRUE(DbfCodePageIs866(0x65, ""));
    EXPECT_TRUE(DbfCodePageIs866(0, " cp866"));
    EXPECT_FALSE(DbfCodePageIs866(0xC9, "LDID/201"));
}

TEST(DbfTable, DamagedFilesAreRefusedAndTheOpenTableStays) {
    auto dir = test::MakeTestFolder();
    std::string good = (dir / "good.dbf").string();
    WriteTable(good, "LDID/38", {{1, "a", 1}, {2, "b", 2}, {3, "c", 3}});
    TDbfTable t;
    ASSERT_TRUE(t.Open(good));

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(good, bytes));
    const std::string cut = (dir / "cut.dbf").string();
    ASSERT_TRUE(WriteFileAtomic(cut, bytes.substr(0, bytes.size() - 20)));
    const std::string head = (dir / "head.dbf").string();
    ASSERT_TRUE(WriteFileAtomic(head, bytes.substr(0, 40)));
    const std::string junk = (dir / "junk.dbf").string();
    ASSERT_TRUE(WriteFileAtomic(junk, std::string(300, 'x')));

    for (const std::string& bad : {cut, head, junk, (dir / "none.dbf").string()}) {
        std::string error;
        EXPECT_FALSE(t.Open(bad, &error)) << bad;
        EXPECT_NE(std::string::npos, error.find(Ru("Не удалось прочитать таблицу dBASE"))) << bad;
        EXPECT_EQ(3, t.RecordCount());
        EXPECT_EQ(good, t.FileName());
    }
}
