#include "app/ui/ProgramStart.h"
#include "app/StartFile.h"

#include "calc/ui/NasDlgWindow.h"
#include "document/DrawingFile.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/GridView.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include "calc/model/DecimalText.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
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
    EXPECT_EQ(Ru("Файл не найден: ") + File("x.GRH"), s.Message);
    s = ChooseStartFile({File("none.dan")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_EQ(Ru("Файл не найден: ") + File("none.dan"), s.Message);
    s = ChooseStartFile({File("notes.txt")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_FALSE(s.Message.empty());
}

TEST_F(StartTest, ADrawingNamedGivesItsNetworkData) {
    TGCollFigure doc;
    std::string text = Ru("A;Шахта Южная;1; D; E; N; S; O; 5; 18; 760; 745; #U;1;#"
                          "D;1;1;2;;0,5;#D;2;2;1;В;;#V;2;ВЦ-25;#");
    ASSERT_TRUE(WriteDrawingFile(doc, File("south.grh"), text));
    TStartFile s = ChooseStartFile({File("south.grh")});
    EXPECT_EQ(File("south.grh"), s.DrawingFileName);
    EXPECT_EQ(text, s.NetworkDataText);
    EXPECT_EQ("", s.Message);

    // Not a drawing: said so, and the program starts without data.
    Write("bad.grh", "not a drawing");
    s = ChooseStartFile({File("bad.grh")});
    EXPECT_EQ(File("untitled.grh"), s.DrawingFileName);
    EXPECT_EQ("", s.NetworkDataText);
    EXPECT_EQ(Ru("Ошибка загрузки документа"), s.Message);

    // The data window starts on the drawing's data.
    auto form1 = StartProgram({File("south.grh")});
    EXPECT_EQ(File("south.dan"), DataWindowController().CurrentDataFile());
    EXPECT_EQ(Ru("Шахта Южная"), NetworkTables().NameSh);
    EXPECT_EQ("0,5", NetworkTables().TablDan.Cells(4, 2));
    EXPECT_EQ(Ru("ВЦ-25"), NetworkTables().TablVen.Cells(1, 2));
    form1->close();
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

// The sample as the build puts it beside the program: started without
// arguments, the program opens it, and F5 computes the flows.
TEST_F(StartTest, TheSampleOpensAndF5ComputesIt) {
    auto samples = ListFilesWithExt(ARV_SAMPLES_DIR, ".dan");
    ASSERT_FALSE(samples.empty());
    std::filesystem::copy_file(NativePath(samples.front()),
                               dir / NativePath(ExtractFileName(samples.front())));
    test::TScriptedMessages messages;
    auto form1 = StartProgram({});
    TNetworkTables& t = NetworkTables();
    ASSERT_GT(t.TablDan.RowCount(), 10);
    EXPECT_EQ("", t.TablDan.Cells(11, 2));

    QAction* f5 = form1->Action("Rasc_ER");
    ASSERT_NE(nullptr, f5);
    EXPECT_EQ(QKeySequence(Qt::Key_F5), f5->shortcut());
    f5->trigger();
    int flows = 0;
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        if (t.TablDan.Cells(0, r).empty()) continue;
        double q = 0;
        EXPECT_TRUE(TryCellToFloat(t.TablDan.Cells(11, r), q)) << r;
        flows += q != 0;
    }
    EXPECT_GT(flows, 10);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_FALSE(form1->findChild<QPlainTextEdit*>("MemoDav")->toPlainText().isEmpty());

    // The consumer page shows the computed supply.
    form1->Notebook()->setCurrentIndex(PageConsumers);
    ASSERT_GT(t.TablPotr.RowCount(), 2);
    EXPECT_FALSE(Trim(t.TablPotr.Cells(3, 2)).empty());

    // The office exports are installed: the Excel pressure item writes a
    // workbook into the program folder and opens it.
    test::TRecordingOpener opener;
    test::TMemoryClipboardDouble clipboard;
    QAction* excel = form1->Action("ExcelDavl");
    ASSERT_NE(nullptr, excel);
    excel->trigger();
    ASSERT_EQ(1u, opener.Opened().size());
    EXPECT_TRUE(opener.Opened()[0].starts_with(ProgramDir() + "Export/"));
    EXPECT_TRUE(opener.Opened()[0].ends_with(".xlsx"));
    EXPECT_TRUE(FileExists(opener.Opened()[0]));
    EXPECT_TRUE(messages.Shown().empty());
    form1->close();
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
