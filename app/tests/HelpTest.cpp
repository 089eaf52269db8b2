// The user's guide: its pages hold together, and every window's help command
// opens it; the data window's "О программе" shows the about box.
#include "app/ui/ProgramStart.h"
#include "app/ui/SmallWindowsUi.h"

#include "app/tests/SampleProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/qt/QtText.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"
#include "reports/ui/OtchetRE.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <set>

#include <gtest/gtest.h>

using namespace arv;
namespace fs = std::filesystem;
using arv::test::FileBytes;

namespace {

// The relative links (href="...") and pictures (src="...") of a page.
std::vector<std::string> References(const std::string& page) {
    std::vector<std::string> out;
    for (const char* attribute : {"href=\"", "src=\""}) {
        const std::string key = attribute;
        for (size_t at = page.find(key); at != std::string::npos; at = page.find(key, at + 1)) {
            const size_t begin = at + key.size();
            const size_t end = page.find('"', begin);
            if (end == std::string::npos) break;
            const std::string target = page.substr(begin, end - begin);
            if (target.find(':') == std::string::npos) out.push_back(target);
        }
    }
    return out;
}

} // namespace

TEST(HelpGuide, EveryLinkLeadsToAPageSectionOrPictureAndEveryPageIsInTheContents) {
    const fs::path folder = ARV_HELP_SOURCE_DIR;
    const std::string contents = FileBytes((folder / kHelpContentsPage).string());
    ASSERT_FALSE(contents.empty());
    std::set<std::string> fromContents;
    for (const std::string& r : References(contents)) fromContents.insert(r.substr(0, r.find('#')));
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".html") continue;
        ++pages;
        const std::string name = entry.path().filename().string();
        const std::string page = FileBytes(entry.path().string());
        SCOPED_TRACE(name);
        // Browsers look names up as they are written: letter case counts.
        for (const std::string& r : References(page)) {
            const std::string file = r.substr(0, r.find('#'));
            const fs::path target = file.empty() ? entry.path() : folder / file;
            ASSERT_TRUE(fs::is_regular_file(target)) << r;
            const auto hash = r.find('#');
            if (hash != std::string::npos) {
                EXPECT_NE(std::string::npos,
                          FileBytes(target.string()).find("id=\"" + r.substr(hash + 1) + "\""))
                    << r;
            }
        }
        EXPECT_NE(std::string::npos, page.find("<title>"));
        if (name != kHelpContentsPage) {
            EXPECT_TRUE(fromContents.count(name)) << "not in contents";
        }
    }
    EXPECT_GE(pages, 15);
}

namespace {

struct HelpProgramTest : test::SampleProgramTest {
    test::TRecordingOpener opener;
    HelpProgramTest() {
        fs::copy(std::string(ARV_BIN_DIR) + "/help", dir / "help");
        p = StartProgram({File("SampleMine.grh")});
        QApplication::processEvents();
    }
    ~HelpProgramTest() override { p.reset(); }
    void MainHelp() { p->IDrawWinForm->Action("MContHelp")->trigger(); }
    void DataHelp() { p->Form1->Action("Hlp_Help")->trigger(); }
};

} // namespace

TEST_F(HelpProgramTest, HelpCommandsOpenTheContentsAndTheReportEditorItsSection) {
    MainHelp();
    DataHelp();
    const std::string contents = File("help/Arvalen.html");
    EXPECT_EQ((std::vector<std::string>{contents, contents}), opener.Opened());

    // F1 in the report editor opens the editor's own page.
    auto* editor = dynamic_cast<TFOtchetRE*>(&ReportEditorHost());
    ASSERT_TRUE(editor);
    editor->show();
    QApplication::setActiveWindow(editor);
    QApplication::processEvents();
    QTest::keyClick(editor, Qt::Key_F1);
    ASSERT_EQ(3u, opener.Opened().size());
    EXPECT_EQ(File("help/report-editor.html"), opener.Opened()[2]);
    editor->hide();
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(HelpProgramTest, HelpIsFoundWithoutRegardToCaseAndItsAbsenceIsTold) {
    fs::rename(dir / "help" / "Arvalen.html", dir / "help" / "ARVALEN.HTML");
    fs::rename(dir / "help", dir / "Help");
    MainHelp();
    EXPECT_EQ((std::vector<std::string>{File("Help/ARVALEN.HTML")}), opener.Opened());

    // No program for HTML: the user learns where the guide is.
    opener.SetResult(false);
    messages.Expect(mrOk, "Справка находится в файле " + Cp1251ToUtf8(File("Help/ARVALEN.HTML")) +
                              ", но открыть его не удалось: нет программы для просмотра HTML");
    DataHelp();

    fs::remove_all(dir / "Help");
    messages.Expect(mrOk, "Не найден файл справки " + Cp1251ToUtf8(File("help/Arvalen.html")));
    MainHelp();
    EXPECT_EQ(2u, opener.Opened().size());
    EXPECT_EQ(0u, messages.PendingExpectations());
}

// The program has no web page: the about box shows no link, and the data
// window's "Страница в Интернете" says the same words and opens nothing.
TEST_F(HelpProgramTest, AboutBoxAndWebPageCommandSayTheSameAndLinkNowhere) {
    QAction* web = p->Form1->Action("Hlp_Web");
    ASSERT_TRUE(web);
    messages.Expect(mrOk, "У программы нет страницы в Интернете");
    web->trigger();
    QApplication::processEvents();
    EXPECT_EQ(0u, messages.PendingExpectations());

    p->Form1->Action("Hlp_About")->trigger();
    QApplication::processEvents();
    TAboutBox* box = p->IDrawWinForm->findChild<TAboutBox*>("AboutBox");
    ASSERT_TRUE(box);
    for (QLabel* label : box->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->text().contains("http")) << label->text().toStdString();
        EXPECT_FALSE(label->text().contains("<a")) << label->text().toStdString();
    }
    QLabel* said = box->findChild<QLabel*>("Label2");
    ASSERT_TRUE(said);
    EXPECT_EQ(QString::fromUtf8("У программы нет страницы в Интернете"), said->text());
    EXPECT_TRUE(opener.Opened().empty());
}

TEST_F(HelpProgramTest, DataWindowShowsTheAboutBoxInFrontWithoutBlocking) {
    QAction* about = p->Form1->Action("Hlp_About");
    ASSERT_TRUE(about);
    about->trigger();
    QApplication::processEvents();
    auto boxes = p->IDrawWinForm->findChildren<TAboutBox*>("AboutBox");
    ASSERT_EQ(1, boxes.size());
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_EQ(nullptr, QApplication::activeModalWidget());
    // A second request brings the same box forward.
    about->trigger();
    EXPECT_EQ(1, p->IDrawWinForm->findChildren<TAboutBox*>("AboutBox").size());
    EXPECT_TRUE(messages.Shown().empty());
}
