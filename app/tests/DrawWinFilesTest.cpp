// The file commands, the settings file, the bookmarks and the close question
// of the drawing window, driven with scripted dialogs and messages.
#include "DrawWinTestSupport.h"

#include "app/IdrawSettings.h"
#include "calc/files/NetworkDataText.h"
#include "document/DrawingFile.h"
#include "platform/IniFile.h"
#include "platform/Jpeg.h"

#include <sys/stat.h>

using namespace arv;
using namespace arv::test;

namespace {

// The network data text of a small data set: three branches in a row.
//   1 --(1)--> 2 --(2)--> 3 --(3)--> 4
void FillTables(TNetworkTables& t) {
    t.TablDan.SetRowCount(5);
    const char* rows[3][3] = {{"1", "1", "2"}, {"2", "2", "3"}, {"3", "3", "4"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.TablDan.SetCells(c, r + 2, rows[r][c]);
    t.TablDan.SetCells(15, 2, Ru("Ствол"));
}

} // namespace

TEST(IdrawIni, DefaultsMatchTheGoldenFileAndForeignSectionsStay) {
    auto dir = MakeTestFolder();
    std::string name = (dir / "Idraw.ini").string();
    TIdrawSettings s;
    ReadIdrawIni(name, s); // no file: every default
    EXPECT_EQ(TIdrawSettings{}, s);
    ASSERT_TRUE(WriteFileAtomic(name, "[Other]\r\nkey=kept\r\n"));
    ASSERT_TRUE(WriteIdrawIni(name, s));
    std::string golden;
    ASSERT_TRUE(ReadFileBytes(std::string(ARV_APP_TEST_DATA) + "/Idraw_defaults.ini", golden));
    std::string written;
    ASSERT_TRUE(ReadFileBytes(name, written));
    EXPECT_EQ("[Other]\r\nkey=kept\r\n\r\n" + golden, written);
    // Written once: no temporary file beside it.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir),
                               std::filesystem::directory_iterator()));
}

TEST(IdrawIni, BookmarksRoundTripAndAShorterListLeavesNoTail) {
    auto dir = MakeTestFolder();
    std::string name = (dir / "Idraw.ini").string();
    TIdrawSettings s;
    s.GridStep = 20;
    s.BackColor = 0xC0C0C0;
    s.LastFile = Ru("/планы/шахта.grh");
    s.Bookmarks = {{Ru("Главная"), "/a.grh"}, {"B", "/b.grh"}, {"C", "/c.grh"}};
    ASSERT_TRUE(WriteIdrawIni(name, s));
    TIniFile ini(name);
    EXPECT_EQ(Ru("Главная"), ini.ReadString("BOOKMARKS", "Book0", ""));
    EXPECT_EQ("/c.grh", ini.ReadString("BOOKMARKS", "Path2", ""));
    TIdrawSettings back;
    ReadIdrawIni(name, back);
    EXPECT_EQ(s.Bookmarks, back.Bookmarks);
    EXPECT_EQ(20, back.GridStep);
    EXPECT_EQ(s.LastFile, back.LastFile);

    s.Bookmarks.resize(1);
    ASSERT_TRUE(WriteIdrawIni(name, s));
    EXPECT_FALSE(ini.ValueExists("BOOKMARKS", "Book2"));
    EXPECT_FALSE(ini.ValueExists("BOOKMARKS", "Path1"));
    s.Bookmarks.clear();
    ASSERT_TRUE(WriteIdrawIni(name, s));
    EXPECT_FALSE(ini.SectionExists("BOOKMARKS"));

    // A damaged count reads what is there.
    ASSERT_TRUE(
        WriteFileAtomic(name, "[BOOKMARKS]\r\nCount=2000000000\r\nBook0=x\r\nPath0=/x.grh\r\n"));
    ReadIdrawIni(name, back);
    ASSERT_FALSE(back.Bookmarks.empty());
    EXPECT_EQ("x", back.Bookmarks[0].Name);
}

TEST_F(DrawWinTest, UnwritableSettingsAreReportedOnce) {
    Start();
    std::filesystem::create_directory(File("Idraw.ini"));
    w->IdrawIniPath = File("Idraw.ini");
    messages.Expect(mrOk);
    w->FormClose();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(Ru("Не удалось записать файл ") + File("Idraw.ini"), messages.Shown()[0].text);
}

TEST_F(DrawWinTest, SavedDrawingLoadsBackIdenticalWithItsData) {
    Start();
    ThreeBranches();
    FillTables(t);
    w->DrawingModified = true;
    // Untitled: Save goes to Save As; the name offered has no extension.
    dialogs.Answer(File("plan"));
    w->Save1Click();
    ASSERT_EQ(1u, dialogs.Requests().size());
    EXPECT_EQ(File("untitled"), dialogs.Requests()[0].fileName);
    EXPECT_EQ(File("plan.grh"), w->CurrentFileName());
    EXPECT_EQ("Arvalen " + File("plan.grh"), w->Caption);
    EXPECT_EQ(File("plan.dan"), data.CurrentDataFile());
    EXPECT_FALSE(w->DrawingModified);
    const std::string first = Read(File("plan.grh"));
    ASSERT_FALSE(first.empty());

    // Open it into a fresh window: same figures, same data, same bytes.
    dialogs.Answer(File("plan.grh"), 1);
    w->Open1Click();
    EXPECT_EQ(3, w->Doc().Count());
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    EXPECT_EQ("3", t.TablDan.Cells(0, 4));
    w->Save1Click();
    EXPECT_EQ(first, Read(File("plan.grh")));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DrawWinTest, CancelledDialogsWriteNothingAndKeepTheFlag) {
    Start();
    ThreeBranches();
    w->DrawingModified = true;
    dialogs.Answer(std::nullopt);
    EXPECT_FALSE(w->SaveAs1Click());
    dialogs.Answer(std::nullopt, 2);
    w->Open1Click();
    EXPECT_TRUE(w->DrawingModified);
    EXPECT_EQ(3, w->Doc().Count());
    EXPECT_EQ(0, std::distance(std::filesystem::directory_iterator(dir),
                               std::filesystem::directory_iterator()));
}

TEST_F(DrawWinTest, EmptyDocumentIsWarnedAndSavedAnyway) {
    Start();
    messages.Expect(mrOk, "Документ пуст!!!");
    dialogs.Answer(File("empty"));
    EXPECT_TRUE(w->SaveAs1Click());
    EXPECT_TRUE(FileExists(File("empty.grh")));
}

TEST_F(DrawWinTest, SaveAsAsksBeforeReplacingTheFileItWrites) {
    Start();
    ThreeBranches();
    const std::string other = Write("other.grh", "kept");
    // The dialog returned a name with another extension: the file written
    // is other.grh, which exists.
    dialogs.Answer(File("other.v2"));
    messages.Expect(mrNo, "OK для перезаписи " + Cp1251ToUtf8(other));
    EXPECT_FALSE(w->SaveAs1Click());
    EXPECT_EQ("kept", Read(other));
    dialogs.Answer(File("other.v2"));
    messages.Expect(mrYes, "OK для перезаписи " + Cp1251ToUtf8(other));
    EXPECT_TRUE(w->SaveAs1Click());
    EXPECT_NE("kept", Read(other));
    EXPECT_EQ(other, w->CurrentFileName());
    // The same for the exports, whose files get their own extensions.
    w->WriteVeltorText = [](const std::string& name) { return WriteFileAtomic(name, "new"); };
    const std::string veltor = Write("other.veltor", "kept");
    dialogs.Answer(File("other.grh"), 4);
    messages.Expect(mrCancel, "OK для перезаписи " + Cp1251ToUtf8(veltor));
    w->Exp_VeltorClick();
    EXPECT_EQ("kept", Read(veltor));
}

TEST_F(DrawWinTest, SaveDialogTypeChangeReplacesTheExtension) {
    EXPECT_EQ("C:\\plans\\min.jpg", TIDrawWin::SaveDialogTypeChange("C:\\plans\\min.grh", 3));
    EXPECT_EQ("/p/mine.jpg", TIDrawWin::SaveDialogTypeChange("/p/mine.veltor", 3));
    EXPECT_EQ("/p/mine.mine", TIDrawWin::SaveDialogTypeChange("/p/mine", 2));
    EXPECT_EQ("/p/mine.grh", TIDrawWin::SaveDialogTypeChange("/p/mine.grh", 1));
}

TEST_F(DrawWinTest, JpegExportBoundsTheLargerSide) {
    Start();
    TGCollFigure& doc = w->Doc();
    // Nothing drawn: nothing written.
    dialogs.Answer(File("pic"), 3);
    messages.Expect(mrOk, "Документ пуст!!!");
    w->SaveAs1Click();
    EXPECT_FALSE(FileExists(File("pic.jpg")));

    // A tall plan, 200 x 10000 units at scale 1: with the margins
    // 400 x 10200, so the height is bounded: scale 3999 / 10200.
    AddBranch({0, 0}, {200, 10000}, 1, 1, 2);
    doc.scale = 1;
    dialogs.Answer(File("pic"), 3);
    messages.Expect(mrOk, "Рисунок слишком велик. Он будет сохранен с меньшим масштабом.");
    w->SaveAs1Click();
    ASSERT_EQ(1u, view.rendered.size());
    const TRect e = doc.GetExtent();
    const double s = 3999.0 / (e.top - e.bottom + 200);
    EXPECT_DOUBLE_EQ(s, doc.scale);
    EXPECT_EQ(RoundI((e.top - e.bottom + 200) * s), view.rendered[0].second);
    EXPECT_EQ(3999, view.rendered[0].second);
    TBitmap32 picture;
    ASSERT_TRUE(LoadJpegFile(File("pic.jpg"), 1, picture));
    EXPECT_EQ(view.rendered[0].first, picture.Width);
    EXPECT_EQ(3999, picture.Height);
}

TEST_F(DrawWinTest, TreskExportStartsTheConverterOnlyAfterAWrittenText) {
    Start();
    ThreeBranches();
    std::vector<std::vector<std::string>> started;
    w->StartDetachedProgram = [&](const std::string&, const std::vector<std::string>& args) {
        started.push_back(args);
        return true;
    };
    bool writes = false;
    w->WriteTreskText = [&](const std::string& name) {
        return writes && WriteFileAtomic(name, "text");
    };
    dialogs.Answer(File("out.grh"), 2);
    w->SaveAs1Click();
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(FileExists(File("temp.bat")));

    writes = true;
    dialogs.Answer(File("my out.grh"), 2);
    w->SaveAs1Click();
    ASSERT_EQ(1u, started.size());
    EXPECT_EQ((std::vector<std::string>{File("rvtxt.tresk"), File("my out.mine")}), started[0]);
    EXPECT_EQ("@echo off\r\n\"" + File("Mervick.exe") + "\" \"" + File("rvtxt.tresk") + "\" \"" +
                  File("my out.mine") + "\"\r\n",
              Read(File("temp.bat")));
    // The drawing's name does not change.
    EXPECT_EQ(File("untitled.grh"), w->CurrentFileName());
}

TEST_F(DrawWinTest, VeltorExportWritesTheTablesWithThePlan) {
    Start();
    ThreeBranches();
    FillTables(t);
    // Nodes 1..4 at (0,0), (100,0), (200,0), (300,50): x from the smallest,
    // y down from the largest; no node rows, so the table fields are zeros.
    t.TablDavl.SetRowCount(2);
    dialogs.Answer(File("plan.veltor"), 4);
    w->Exp_VeltorClick();
    const std::string text = Cp1251ToUtf8(Read(File("plan.veltor")));
    EXPECT_TRUE(text.starts_with("99|\"1.0\"\r\n0|")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\n1|1|1|2|\"\"|\"Ствол\"|0|")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\n2|1|0|50|0|0|0.0|0\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\n2|4|300|0|0|0|0.0|0\r\n")) << text;
    // Save As with the Veltor type writes the same file, not nothing; the
    // drawing keeps its own name.
    const std::string name = w->CurrentFileName();
    dialogs.Answer(File("again"), 4);
    EXPECT_FALSE(w->SaveAs1Click());
    EXPECT_EQ(Read(File("plan.veltor")), Read(File("again.veltor")));
    EXPECT_EQ(name, w->CurrentFileName());
}

TEST_F(DrawWinTest, NewAsksAboutTheDataAndSavesFirst) {
    Start();
    ThreeBranches();
    FillTables(t);
    dialogs.Answer(File("kept"));
    ASSERT_TRUE(w->SaveAs1Click());
    t.TablDan.SetCells(15, 3, "edited");
    t.TablDan.Modified = true;
    // Cancel keeps everything.
    messages.Expect(mrCancel, "Сохранить данные?");
    w->New1Click();
    EXPECT_EQ(3, w->Doc().Count());
    // Yes saves the edit into the drawing before it is cleared.
    messages.Expect(mrYes, "Сохранить данные?");
    w->New1Click();
    EXPECT_EQ(0, w->Doc().Count());
    EXPECT_EQ(File("untitled.grh"), w->CurrentFileName());
    TGCollFigure back;
    std::string text;
    ASSERT_EQ(0, ReadDrawingFile(back, File("kept.grh"), &text));
    EXPECT_NE(std::string::npos, text.find("edited"));
}

TEST_F(DrawWinTest, CloseQuestionCoversTheTablesAndACancelledSave) {
    Start();
    EXPECT_TRUE(w->FormCloseQuery());
    // Edited tables count as a change of the drawing.
    t.TablDan.Modified = true;
    messages.Expect(mrCancel, "Сохранить данные?");
    EXPECT_FALSE(w->FormCloseQuery());
    messages.Expect(mrNo, "Сохранить данные?");
    EXPECT_TRUE(w->FormCloseQuery());
    // Yes, then the Save As of an untitled drawing cancelled: stay open.
    ThreeBranches();
    messages.Expect(mrYes, "Сохранить данные?");
    dialogs.Answer(std::nullopt);
    EXPECT_FALSE(w->FormCloseQuery());
    // Yes and a completed Save As: close.
    messages.Expect(mrYes, "Сохранить данные?");
    dialogs.Answer(File("closing"));
    EXPECT_TRUE(w->FormCloseQuery());
    EXPECT_TRUE(FileExists(File("closing.grh")));
}

TEST_F(DrawWinTest, BadAndMissingDrawingFiles) {
    Start();
    ThreeBranches();
    FillTables(t);
    dialogs.Answer(File("good"));
    ASSERT_TRUE(w->SaveAs1Click());

    // A wrong magic: the error box, the drawing stays.
    std::string bad = Read(File("good.grh"));
    bad[0] ^= 0x55;
    Write("bad.grh", bad);
    messages.Expect(mrOk, "Ошибка загрузки документа");
    EXPECT_FALSE(w->LoadDrawing(File("bad.grh")));
    EXPECT_EQ(3, w->Doc().Count());

    // A file that is a folder, or not readable: say so and why.
    std::filesystem::create_directory(File("folder.grh"));
    messages.Expect(mrOk);
    EXPECT_FALSE(w->LoadDrawing(File("folder.grh")));
    EXPECT_NE(std::string::npos,
              messages.Shown().back().text.find(Ru("Не удалось прочитать файл")));
    // The drawing shown keeps the name it was read from, so Save goes there.
    EXPECT_EQ(File("good.grh"), w->CurrentFileName());
    EXPECT_EQ("Arvalen " + File("good.grh"), w->Caption);
    if (geteuid() != 0) {
        Write("locked.grh", Read(File("good.grh")));
        chmod(File("locked.grh").c_str(), 0);
        messages.Expect(mrOk);
        EXPECT_FALSE(w->LoadDrawing(File("locked.grh")));
        EXPECT_NE(std::string::npos, messages.Shown().back().text.find(Ru("Не удалось прочитать")));
    }

    // A missing drawing is an empty one with the default view and no data.
    ASSERT_TRUE(w->LoadDrawing(File("good.grh")));
    EXPECT_FALSE(calc.NetworkDataText.empty());
    w->LoadDrawing(File("missing.grh"));
    EXPECT_EQ(0, w->Doc().Count());
    EXPECT_TRUE(calc.NetworkDataText.empty());
    EXPECT_EQ("Arvalen " + File("missing.grh"), w->Caption);
}

TEST_F(DrawWinTest, BookmarksAddListOpenAndDelete) {
    Start();
    ThreeBranches();
    FillTables(t);
    dialogs.Answer(File("first"));
    ASSERT_TRUE(w->SaveAs1Click());
    view.bookmarkNames = {std::string("First"), std::nullopt};
    w->MAddBookClick();
    w->MAddBookClick(); // cancelled
    ASSERT_EQ(1u, w->Settings.Bookmarks.size());
    EXPECT_EQ((TBookmark{"First", File("first.grh")}), w->Settings.Bookmarks[0]);
    // The menu lists each bookmark once, however often it opens.
    EXPECT_EQ(std::vector<std::string>{"First"}, w->MBookmarksClick());
    EXPECT_EQ(std::vector<std::string>{"First"}, w->MBookmarksClick());

    // Opening a bookmark asks about edited data first, as Open does.
    w->New1Click();
    t.TablDan.Modified = true;
    messages.Expect(mrCancel, "Сохранить данные?");
    w->OpenBookmarkClick(1);
    EXPECT_EQ(0, w->Doc().Count());
    messages.Expect(mrNo, "Сохранить данные?");
    w->OpenBookmarkClick(1);
    EXPECT_EQ(3, w->Doc().Count());
    EXPECT_EQ(File("first.grh"), w->CurrentFileName());
    EXPECT_EQ("3", t.TablDan.Cells(0, 4));
    EXPECT_NE(std::string::npos, data.Caption.find(File("first.dan")));

    // Written from 0 at close; deleting empties the section.
    w->FormClose();
    EXPECT_EQ("First", TIniFile(File("Idraw.ini")).ReadString("BOOKMARKS", "Book0", ""));
    view.deletions = {0};
    w->MDelBookClick();
    EXPECT_TRUE(w->Settings.Bookmarks.empty());
    w->FormClose();
    EXPECT_FALSE(TIniFile(File("Idraw.ini")).SectionExists("BOOKMARKS"));

    // A name with a line end, which the settings file cannot hold: no
    // bookmark, the last file written empty, each said (one message each).
    dialogs.Answer(File("two\n[BOOKMARKS]\nCount=1\n"));
    ASSERT_TRUE(w->SaveAs1Click());
    view.bookmarkNames = {std::string("Second")};
    messages.Expect(mrOk);
    w->MAddBookClick();
    EXPECT_TRUE(w->Settings.Bookmarks.empty());
    messages.Expect(mrOk);
    w->FormClose();
    EXPECT_EQ("", TIniFile(File("Idraw.ini")).ReadString("SYSTEM", "LastFile", "-"));
}

TEST_F(DrawWinTest, SaveDropsNodesNoFigureRefersTo) {
    Start();
    ThreeBranches();
    TGCollNode& nodes = w->Doc().nodes;
    nodes.AddNode({500, 500}, 0, 90).index;
    nodes.Record(nodes.Count() - 1).refCount = 0;
    nodes.AddNode({600, 500}, 0, 91);
    nodes.Record(nodes.Count() - 1).refCount = 0;
    const int before = nodes.Count();
    dialogs.Answer(File("purged"));
    w->SaveAs1Click();
    EXPECT_EQ(before - 2, nodes.Count());
    EXPECT_EQ(-1, nodes.IndexOfNumber(91));
}

TEST_F(DrawWinTest, StartUpOpensTheLastDrawingWithItsData) {
    ThreeBranches();
    FillTables(t);
    std::string text = BuildNetworkDataText(t, calc);
    ASSERT_TRUE(WriteDrawingFile(w->Doc(), File("last.grh"), text));
    w->Doc().Clear();
    t.EmptyAllTables();
    TIniFile ini(File("Idraw.ini"));
    ini.WriteString("SYSTEM", "LastFile", File("last.grh"));
    Start();
    EXPECT_EQ(File("last.grh"), w->CurrentFileName());
    EXPECT_EQ(3, w->Doc().Count());
    EXPECT_EQ(Ru("Ствол"), t.TablDan.Cells(15, 2));
    // The data window's save writes the tables into the open drawing.
    t.TablDan.SetCells(15, 3, "second");
    ASSERT_TRUE(data.Dan_SaveClick());
    std::string back;
    TGCollFigure reread;
    ASSERT_EQ(0, ReadDrawingFile(reread, File("last.grh"), &back));
    EXPECT_NE(std::string::npos, back.find("second"));
    EXPECT_EQ(3, reread.Count());
}
