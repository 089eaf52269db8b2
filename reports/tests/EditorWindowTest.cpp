// The report editor window headless: its file commands and their questions,
// the font size that pagination counts with, sections inserted without
// touching the clipboard, its saved place, the document's RTF mapping and
// printing to PDF files.
#include "reports/ui/OtchetRE.h"
#include "reports/ui/RichTextBridge.h"

#include "calc/testing/SampleMine.h"
#include "calc/window/DataWindowController.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/testing/PdfPages.h"
#include "platform/testing/QtTestDesk.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace arv {
namespace {

using test::FileBytes;

int PdfPageCount(const std::string& path) {
    return test::ReadPdfPages(path).count;
}

struct EditorWindow : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string savedDir = ProgramDir();
    test::TScriptedMessages messages;
    test::TScriptedDialogs dialogs;
    test::TMemoryClipboardDouble clipboard;
    std::unique_ptr<TCalcContext> calc = std::make_unique<TCalcContext>();
    std::unique_ptr<TNetworkTables> t = std::make_unique<TNetworkTables>(*calc);
    TNasDlgModel nasDlg;
    std::unique_ptr<TDataWindowController> data;
    std::unique_ptr<TFOtchetRE> editor;

    EditorWindow() {
        SetProgramDir(dir.string() + "/");
        data = std::make_unique<TDataWindowController>(*t, *calc, nasDlg);
        data->CurrentDataFile() = File("a.dan");
        calc->CalcOptions.PageScale = 2.5;
    }
    ~EditorWindow() override {
        editor.reset();
        SetProgramDir(savedDir);
    }
    void Create() { editor = std::make_unique<TFOtchetRE>(*data); }
    std::string File(const char* name) const { return (dir / name).string(); }
    void Type(const char* utf8) {
        editor->Editor()->textCursor().insertText(QString::fromUtf8(utf8));
    }
    // The print dialog, over a stand-in printer, chooses a PDF file.
    std::string PdfPrinting(const char* name) {
        std::string path = File(name);
        InstallPrinterList([] { return QStringList{"Stand-in"}; });
        editor->PrintDialog = [path](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(QString::fromStdString(path));
            return true;
        };
        return path;
    }
    void Menu(const char* utf8) { // a command of the window's menu by its text
        for (QAction* a : editor->findChildren<QAction*>())
            if (a->text() == QString::fromUtf8(utf8)) a->trigger();
    }
};

TEST_F(EditorWindow, NewReportIsNamedAfterTheDataFileAndSavesWithoutADialog) {
    Create();
    EXPECT_EQ(File("a.rtf"), editor->ReportFileName());
    EXPECT_EQ(QString::fromUtf8("Отчет  - a.rtf"), editor->windowTitle());
    Type("report text");
    EXPECT_EQ("Modified", editor->StatusPanel(1)->text().toStdString());
    editor->FileSave();
    EXPECT_TRUE(dialogs.Requests().empty());
    EXPECT_EQ(u"report text", ReadRtf(FileBytes(File("a.rtf"))).Paragraphs.at(0).Runs.at(0).Text);
    EXPECT_EQ("", editor->StatusPanel(1)->text().toStdString());
}

TEST_F(EditorWindow, WithoutADataFileSaveAsksForAName) {
    data->CurrentDataFile().clear();
    Create();
    EXPECT_EQ("Untitled", editor->ReportFileName());
    Type("x");
    dialogs.Answer(std::nullopt); // cancelled: nothing written
    editor->FileSave();
    ASSERT_EQ(1u, dialogs.Requests().size());
    EXPECT_FALSE(std::filesystem::exists("Untitled"));
    EXPECT_FALSE(std::filesystem::exists("Untitled.rtf"));
    EXPECT_EQ("Untitled", editor->ReportFileName());
}

TEST_F(EditorWindow, SaveAsWritesRtfAndAsksBeforeOverwriting) {
    Create();
    Type("one");
    dialogs.Answer(File("report.txt"));
    editor->FileSaveAs();
    EXPECT_TRUE(std::filesystem::exists(File("report.rtf")));
    EXPECT_FALSE(std::filesystem::exists(File("report.txt")));
    EXPECT_EQ(File("report.rtf"), editor->ReportFileName());

    Type(" two");
    dialogs.Answer(File("report.rtf"));
    messages.Expect(mrNo, "OK для перезаписи " + Cp1251ToUtf8(File("report.rtf")));
    editor->FileSaveAs();
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(u"one", ReadRtf(FileBytes(File("report.rtf"))).Paragraphs.at(0).Runs.at(0).Text);
}

TEST_F(EditorWindow, OpenAsksAboutChangesAndCancelKeepsTheText) {
    TRtfDocument d;
    TRtfParagraph p;
    TRtfCharFormat f;
    f.Bold = true;
    p.Runs.push_back({f, u"bold"});
    d.Paragraphs.push_back(p);
    ASSERT_TRUE(WriteFileAtomic(File("old.rtf"), WriteRtf(d)));
    Create();
    Type("mine");
    messages.Expect(mrCancel, "Сохранить изменения " + Cp1251ToUtf8(File("a.rtf")) + "?");
    editor->FileOpen();
    EXPECT_TRUE(dialogs.Requests().empty());
    EXPECT_EQ("mine", editor->Editor()->toPlainText().toStdString());

    messages.Expect(mrNo);
    dialogs.Answer(File("old.rtf"));
    editor->FileOpen();
    EXPECT_EQ("bold", editor->Editor()->toPlainText().toStdString());
    EXPECT_EQ(File("old.rtf"), editor->ReportFileName());
    EXPECT_FALSE(editor->Editor()->document()->isModified());
    EXPECT_EQ(d, DocumentToRtf(*editor->Editor()->document()));

    // A file that is not there: a message, and the report stays.
    messages.Expect(mrOk, "Не удается открыть файл " + Cp1251ToUtf8(File("missing.rtf")) + ".");
    EXPECT_FALSE(editor->LoadReportFile(File("missing.rtf")));
    EXPECT_EQ(3u, messages.Shown().size());
    EXPECT_EQ(File("old.rtf"), editor->ReportFileName());

    // Names come from the dialogs in the program's text: a report named in
    // Russian opens too.
    const std::string russian = Ru(File("Отчет шахты.rtf"));
    ASSERT_TRUE(WriteFileAtomic(russian, WriteRtf(d)));
    dialogs.Answer(russian);
    editor->FileOpen();
    EXPECT_EQ(3u, messages.Shown().size());
    EXPECT_EQ("bold", editor->Editor()->toPlainText().toStdString());
    EXPECT_EQ(russian, editor->ReportFileName());

    // A drawing is no RTF: Save asks for a name, proposing it with ".rtf".
    ASSERT_TRUE(WriteFileAtomic(File("copy2.grh"), "GRH\x01plan"));
    dialogs.Answer(File("copy2.grh"));
    Menu("&Открыть...");
    dialogs.Answer(std::nullopt);
    Menu("&Сохранить");
    EXPECT_EQ(File("copy2.rtf"), dialogs.Requests().back().fileName);
    EXPECT_EQ("GRH\x01plan", FileBytes(File("copy2.grh")));
}

TEST_F(EditorWindow, FontSizeDrivesPaginationAndTooShortPagesAreRefused) {
    Create();
    for (int n = 1; n <= 100; ++n) Type(("l" + std::to_string(n) + (n < 100 ? "\n" : "")).c_str());
    editor->FontSize()->setValue(12); // 267 / 4.8 = 55.6: 56 lines a page
    EXPECT_EQ(12, editor->EditorFont().Size);
    editor->StranRastClick();
    TLines lines = editor->EditorLines();
    ASSERT_EQ(102u, lines.size());
    EXPECT_EQ("\f", lines[55]);
    EXPECT_EQ(Ru("Стр.2"), lines[56]);
    EXPECT_EQ("l56", lines[57]);

    editor->FontSize()->setValue(0);
    EXPECT_EQ(1, editor->EditorFont().Size);
    editor->FontSize()->setValue(100); // 6.7 lines a page
    messages.AllowAny();
    editor->StranRastClick();
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(PageTooShortMessage(7), messages.Shown()[0].text);
    EXPECT_EQ(102u, editor->EditorLines().size());
}

TEST_F(EditorWindow, SectionsGoInAtTheCaretAndLeaveTheClipboardAlone) {
    t->NameSh = "Mine";
    t->NameVar = "Var";
    calc->CalcOptions[40] = 'N';
    Create();
    clipboard.SetText("user's text");
    Type("before");
    editor->SostStatClick();
    editor->StranRazClick();
    EXPECT_EQ("user's text", clipboard.GetText());
    TLines lines = editor->EditorLines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ("beforeMine", lines[0]);
    EXPECT_EQ("Var", lines[1]);
    EXPECT_EQ("\f~", lines[4]);
    EXPECT_EQ(Ru("Стр."), lines[5]);

    t->MemoDav.Lines.assign(1, std::string(ReportSizeLimit, 'x'));
    messages.Expect(mrCancel, "Отчет превышает 32К ");
    editor->SostDavlClick();
    t->MemoPotr.Lines.assign(1, std::string(ReportSizeLimit, 'x'));
    editor->SostPotrClick(); // refused without a word
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_EQ(lines, editor->EditorLines());
}

// Each result section ends with its own line end: the next section and the
// user's typing start on new lines, below the tables' bottom rules.
TEST_F(EditorWindow, ResultSectionsEndWithALineEnd) {
    t->MemoPotr.Lines = {"consumers", "-----"};
    t->MemoDav.Lines = {"pressure", "------"};
    t->MemoUst.Lines = {"stability", "-------"};
    Create();
    editor->SostPotrClick();
    editor->SostDavlClick();
    editor->SostUstClick();
    Type("typed");
    EXPECT_EQ(editor->EditorLines(), (TLines{"consumers", "-----", "pressure", "------",
                                             "stability", "-------", "typed"}));
}

TEST_F(EditorWindow, PlaceAndFontComeFromTheSettingsFileAndShowingRestores) {
    Create();
    EXPECT_EQ((TWindowPlace{10, 10, 300, 300}), editor->Place());
    EXPECT_EQ((TFontSpec{"Courier New Cyr", 10}), editor->EditorFont());
    ASSERT_TRUE(WriteFileAtomic(ProgramDir() + "Kestrum.ini",
                                "[FOtchet]\r\nLeft=33\r\nTop=44\r\nWidhs=500\r\nHeight=400\r\n"
                                "[OtchetFont]\r\nName=Arial\r\nSize=14\r\n"));
    editor->LoadOtchetSettings();
    EXPECT_EQ((TWindowPlace{33, 44, 500, 400}), editor->Place());
    EXPECT_EQ((TFontSpec{"Arial", 14}), editor->EditorFont());
    // The data window's "Отчет" brings a minimised editor back.
    InstallReportEditorHost(editor.get());
    editor->showMinimized();
    data->FindMenu("Otch")->OnClick();
    EXPECT_FALSE(editor->isMinimized());
}

TEST_F(EditorWindow, DocumentKeepsEveryFormatOfTheRtfModel) {
    TRtfDocument d;
    TRtfParagraph p1;
    p1.Align = TRtfAlign::Center;
    p1.FirstIndent = -360;
    p1.LeftIndent = 720;
    p1.RightIndent = 240;
    TRtfCharFormat f;
    f.FontName = "Times New Roman";
    f.HalfPoints = 28;
    f.Bold = f.Italic = f.Underline = f.StrikeOut = true;
    f.Color = 0x0000FF;
    p1.Runs.push_back({f, u"A\t\u0416\u2028\f"});
    d.Paragraphs.push_back(p1);
    TRtfParagraph p2;
    p2.Bullet = true;
    p2.Align = TRtfAlign::Right;
    p2.Runs.push_back({TRtfCharFormat{}, u"item"});
    d.Paragraphs.push_back(p2);
    d.Paragraphs.push_back(p2);
    TRtfParagraph p3;
    p3.Align = TRtfAlign::Justify;
    d.Paragraphs.push_back(p3);
    QTextDocument doc;
    RtfToDocument(d, doc);
    EXPECT_EQ(4, doc.blockCount());
    EXPECT_EQ(d, DocumentToRtf(doc));
}

TEST_F(EditorWindow, LinePrintingStartsAPageAtEveryFormFeedAndHashLine) {
    Create();
    for (int n = 1; n <= 200; ++n)
        Type(("line " + std::to_string(n) + (n < 200 ? "\n" : "")).c_str());
    editor->StranRastClick(); // 67 lines a page: three breaks
    std::string pdf = PdfPrinting("lines.pdf");
    editor->FilePrinItemStrClick();
    EXPECT_EQ(4, PdfPageCount(pdf));

    editor->Editor()->clear();
    Type("one\n#two\n#three");
    editor->FilePrinItemStrClick();
    EXPECT_EQ(3, PdfPageCount(pdf));

    editor->PrintDialog = [](QPrinter&) { return false; }; // cancelled
    std::filesystem::remove(pdf);
    editor->FilePrinItemStrClick();
    editor->FilePrint();
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(EditorWindow, DraggingTheLeftMarkerIndentsTheParagraph) {
    Create();
    editor->resize(600, 300);
    editor->show(); // the markers see paint and hover events too
    Type("text");
    auto* marker = editor->findChild<QLabel*>("LeftInd");
    ASSERT_TRUE(marker);
    auto send = [&](QEvent::Type type, int x) {
        QMouseEvent e(type, QPointF(x, 5), marker->mapToGlobal(QPointF(x, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(marker, &e);
    };
    const int start = marker->x();
    send(QEvent::MouseButtonPress, marker->width() / 2);
    send(QEvent::MouseMove, marker->width() / 2 + 30);
    send(QEvent::MouseButtonRelease, 0);
    EXPECT_EQ(start + 30, marker->x());
    QTextBlockFormat bf = editor->Editor()->textCursor().blockFormat();
    // The first-line marker stayed where it was: its indent is now -30.
    EXPECT_EQ(30, bf.leftMargin());
    EXPECT_EQ(-30, bf.textIndent());
}

// The sample's general table with every column is wider than the page.
TEST_F(EditorWindow, WholeDocumentPrintsToPdfAndWideTablesWhole) {
    test::BuildSampleMine(*t);
    nasDlg.CheckBox.fill(true);
    Create();
    Type("a report");
    std::string pdf = PdfPrinting("doc.pdf");
    editor->FilePrint();
    EXPECT_EQ(1, PdfPageCount(pdf));
    Menu("Общ.таблица");
    for (const char* print : {"&Печать", "Печать по страницам"}) {
        Menu(print);
        QProcess text;
        text.start("pdftotext", {QString::fromStdString(pdf), "-"});
        ASSERT_TRUE(text.waitForFinished(60000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (int cell = 0; cell < 2 * SectionColumnCount; ++cell)
            for (const QString& word : ToQString(t->TablDan.Cells(cell / 2, cell % 2)).split(' '))
                EXPECT_TRUE(words.contains(word)) << print << ": " << word.toStdString();
    }
}

// Without a printer both prints say so and offer a PDF file named after the
// report, in its folder or, when that is gone, in the home folder; the file
// is written whole, and a file that cannot be written is reported.
TEST_F(EditorWindow, WithoutAPrinterPrintsOfferAPdfFileAndSayWhenItFails) {
    InstallPrinterList([] { return QStringList(); });
    QTimer guard; // a print dialog without a printer would wait for the user
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close(), ADD_FAILURE();
    });
    guard.start(100);
    Create();
    Type("a report");
    const char* offer = "Принтер не установлен. Сохранить отчет в файл PDF?";
    messages.Expect(mrNo, offer);
    Menu("&Печать");
    EXPECT_TRUE(dialogs.Requests().empty());

    messages.Expect(mrYes, offer);
    dialogs.Answer(File("a.pdf"));
    Menu("&Печать");
    ASSERT_EQ(1u, dialogs.Requests().size());
    EXPECT_EQ(File("a.pdf"), dialogs.Requests()[0].fileName);
    EXPECT_TRUE(dialogs.Requests()[0].overwritePrompt);
    EXPECT_EQ(1, PdfPageCount(File("a.pdf")));

    editor->SetReportFileName(File("gone/r.rtf"));
    messages.Expect(mrYes, offer);
    const std::string unwritable = File("gone/r.pdf");
    messages.Expect(mrOk, "Печать не выполнена: не удается записать файл " + unwritable + ".");
    dialogs.Answer(unwritable);
    Menu("Печать по страницам");
    ASSERT_EQ(2u, dialogs.Requests().size());
    EXPECT_EQ(FromQString(QDir::homePath()) + "/r.pdf", dialogs.Requests()[1].fileName);
}

} // namespace
} // namespace arv

int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
