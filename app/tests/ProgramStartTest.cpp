#include "app/ui/ProgramStart.h"
#include "app/StartFile.h"

#include "calc/ui/NasDlgWindow.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/GridView.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct StartTest : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string saved = ProgramDir();
    StartTest() { SetProgramDir(dir.string()); }
    ~StartTest() override { SetProgramDir(saved); }
    std::string File(const char* name) const { return (dir / name).string(); }
    std::string Write(const char* name, const std::string& bytes) const {
        EXPECT_TRUE(WriteFileAtomic(File(name), bytes));
        return File(name);
    }
};

} // namespace

TEST_F(StartTest, TheCommandLineNamesTheDataSet) {
    TStartFile s = ChooseStartFile({});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_EQ("", s.Message);

    // Without a name, the first data file of the program folder: the sample.
    Write("b.dan", "");
    Write("A.DAN", "");
    EXPECT_EQ(File("A.grh"), ChooseStartFile({}).DrawingFileName);

    // The parameters are one name joined by blanks.
    std::string spaced = Write("my mine.dan", "");
    s = ChooseStartFile({File("my"), "mine.dan"});
    EXPECT_EQ(File("my mine.grh"), s.DrawingFileName);
    EXPECT_EQ("", s.Message);

    s = ChooseStartFile({File("x.GRH")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_NE(std::string::npos, Cp1251ToUtf8(s.Message).find("x.GRH"));
    s = ChooseStartFile({File("none.dan")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_EQ(Ru("Файл не найден: ") + File("none.dan"), s.Message);
    s = ChooseStartFile({File("notes.txt")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_FALSE(s.Message.empty());
}

TEST_F(StartTest, TheProgramOpensTheDataWindowOnTheDataSetNamed) {
    std::string dan = Write("north.dan", Ru("A;Шахта Северная\r\nD;1;1;2;;0,5;\r\n"));
    auto form1 = StartProgram({dan});
    ASSERT_NE(nullptr, form1);
    EXPECT_EQ(form1.get(), Form1);
    EXPECT_TRUE(form1->isVisible());
    EXPECT_EQ(QString::fromUtf8("Arvalen  Тальвер"), form1->windowTitle());
    EXPECT_EQ(dan, DataWindowController().CurrentDataFile());
    EXPECT_EQ(Ru("Шахта Северная"), NetworkTables().NameSh);
    EXPECT_EQ("0,5", NetworkTables().TablDan.Cells(4, 2));
    EXPECT_NE(nullptr, form1->findChild<TNasDlg*>());
    form1->close();
    EXPECT_TRUE(FileExists(File("Kestrum.ini")));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
