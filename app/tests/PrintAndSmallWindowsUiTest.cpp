// The print dialog printing the sample drawing into PDF files, the preview,
// and every small window opened offscreen.
#include "app/ui/PrintWindows.h"
#include "app/ui/ProgramStart.h"
#include "app/ui/SmallWindowsUi.h"

#include "app/tests/SampleProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Jpeg.h"
#include "platform/qt/QtBitmap.h"
#include "platform/qt/QtText.h"
#include "platform/testing/PdfPages.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct SampleProgramTest : test::SampleProgramTest {
    SampleProgramTest() {
        InstallQtBitmapCodec();
        p = StartProgram({File("SampleMine.grh")});
        QApplication::processEvents();
    }
    TPrintDlg& Dlg() { return *p->IDrawWinForm->PrintDlg(); }
};

// A4 is 595 x 842 points.
void ExpectA4(const std::pair<double, double>& size, bool landscape) {
    const double w = landscape ? 842 : 595, h = landscape ? 595 : 842;
    EXPECT_NEAR(w, size.first, 1.0);
    EXPECT_NEAR(h, size.second, 1.0);
}

} // namespace

// The sample on A4 paper with no printer margins: an A4 sheet is one
// portrait page; A3 portrait turns the printer and takes two landscape
// pages; A2 landscape takes four.
TEST_F(SampleProgramTest, PrintsTheSampleIntoPdfPagesOfTheChosenSize) {
    QPrinter& printer = Dlg().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    const double scale = W().Doc().scale;
    const TRect view = W().Doc().viewRect;
    struct TCase {
        int format;
        bool portrait;
        int pages;
        bool landscape;
    };
    const TCase cases[] = {{0, true, 1, false}, {1, true, 2, true}, {2, false, 4, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.format);
        const std::string pdf = File("plan" + std::to_string(c.format) + ".pdf");
        dialogs.Answer(pdf);
        TPrintDlgState& s = Dlg().State();
        s.ComboBox1 = c.format;
        s.Portret = c.portrait;
        s.Bord = true;
        s.LLeft = s.LTop = s.LRight = s.LBottom = 10;
        Dlg().ShowControls();
        Dlg().PokClick();
        EXPECT_EQ(c.pages, Dlg().LastResult().pages);
        EXPECT_FALSE(Dlg().LastResult().failed);
        const test::TPdfPages pages = test::ReadPdfPages(pdf);
        EXPECT_EQ(c.pages, pages.count);
        ASSERT_FALSE(pages.sizes.empty());
        for (const auto& size : pages.sizes) ExpectA4(size, c.landscape);
        EXPECT_EQ(scale, W().Doc().scale);
        EXPECT_EQ(view, W().Doc().viewRect);
    }
}

// Every print to a PDF asks for its file, proposing the last one, and the
// dialog is told to ask before replacing a file; a cancel prints nothing and
// leaves the print dialog open.
TEST_F(SampleProgramTest, EachPdfPrintAsksForItsFile) {
    QPrinter& printer = Dlg().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString());
    auto pressPrint = [&] {
        QTimer::singleShot(0, [&] { Dlg().findChild<QPushButton*>("Pok")->click(); });
    };
    dialogs.Answer(std::nullopt);
    QTimer::singleShot(0, [&] {
        Dlg().findChild<QPushButton*>("Pok")->click();
        EXPECT_TRUE(Dlg().isVisible());
        Dlg().reject();
    });
    p->IDrawWinForm->Action("Print1")->trigger();
    EXPECT_EQ(0, Dlg().LastResult().pages);

    const std::string names[] = {File("first.pdf"), File("second.pdf"), File("second.pdf")};
    for (const std::string& name : names) {
        dialogs.Answer(name);
        pressPrint();
        p->IDrawWinForm->Action("Print1")->trigger();
        EXPECT_EQ(1, Dlg().LastResult().pages);
        EXPECT_TRUE(FileExists(name));
    }
    const auto& asked = dialogs.Requests();
    ASSERT_EQ(4u, asked.size());
    EXPECT_EQ("", asked[0].fileName);
    EXPECT_EQ("", asked[1].fileName);
    EXPECT_EQ(File("first.pdf"), asked[2].fileName);
    EXPECT_EQ(File("second.pdf"), asked[3].fileName);
    for (const TFileDialogRequest& r : asked) EXPECT_TRUE(r.overwritePrompt);
}

TEST_F(SampleProgramTest, PreviewShowsTheFirstPageWithThePlan) {
    QPushButton* button = Dlg().findChild<QPushButton*>("ButtonPreView");
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isEnabled());
    Dlg().Printer().setPageSize(QPageSize(QPageSize::A4));
    const TRect view = W().Doc().viewRect;
    Dlg().ButtonPreViewClick();
    QApplication::processEvents();
    TFormPreView* preview = Dlg().Preview();
    ASSERT_TRUE(preview->isVisible());
    const QImage& page = preview->PageImage();
    ASSERT_FALSE(page.isNull());
    // The page is drawn at 14/3 pixels per mm of the printer's page.
    EXPECT_NEAR(Dlg().Printer().widthMM() * 14.0 / 3, page.width(), 1);
    int dark = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2)
            if (qGray(page.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 100);
    EXPECT_FALSE(preview->Image1().isNull());
    EXPECT_EQ(view, W().Doc().viewRect);
    preview->close();
}

TEST_F(SampleProgramTest, NavigatorShowsTheDrawingWithTheFrameAndMovesTheView) {
    TFormNavigator* nav = FormNavigator();
    ASSERT_TRUE(nav);
    EXPECT_EQ(ToQString(Ru("Обзор")), nav->windowTitle());
    p->IDrawWinForm->Action("ToolButtonNavigator")->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(nav->isVisible());
    ASSERT_TRUE(nav->State().Valid());
    const QImage& image = nav->Image();
    const TRect f = nav->State().Frame;
    EXPECT_EQ(qRgb(255, 0, 0),
              image.pixel(std::clamp(f.left, 0, image.width() - 1),
                          std::clamp((f.top + f.bottom) / 2, 0, image.height() - 1)));
    const double scale = W().Doc().scale;
    const TRect before = W().Doc().viewRect;
    nav->ImageNavigatorMouseDown(5, 5);
    EXPECT_NE(before, W().Doc().viewRect);
    EXPECT_EQ(scale, W().Doc().scale);
    nav->close();

    // An empty drawing: nothing framed, and a click changes nothing.
    W().Doc().Clear();
    nav->FormActivate();
    EXPECT_FALSE(nav->State().Valid());
    const TRect empty = W().Doc().viewRect;
    nav->ImageNavigatorMouseDown(5, 5);
    EXPECT_EQ(empty, W().Doc().viewRect);
}

// libjpeg's scaled sizes round up: 101 x 75 gives 51 x 38, 26 x 19, 13 x 10.
TEST_F(SampleProgramTest, PictureViewerDecodesAJpegAtTheFourSteps) {
    TBitmap32 picture(101, 75, 0xFF2060A0u);
    ASSERT_TRUE(SaveJpegFile(picture, File("p.jpg")));
    TFormImage* viewer = FormImage();
    ASSERT_TRUE(viewer);
    TPictureViewerState& s = viewer->State();
    s.PhotoFolder = dir.string();
    s.PhotoFileName = "p.jpg";
    s.PictureScaleStep = 0;
    viewer->show();
    ASSERT_TRUE(viewer->ShowPicture());
    const int sizes[4][2] = {{101, 75}, {51, 38}, {26, 19}, {13, 10}};
    EXPECT_EQ(QSize(101, 75), viewer->Shown().size());
    EXPECT_FALSE(viewer->BitBtn1()->isEnabled());
    for (int step = 1; step <= 3; ++step) {
        viewer->BitBtn2Click();
        EXPECT_EQ(step, s.PictureScaleStep);
        EXPECT_EQ(QSize(sizes[step][0], sizes[step][1]), viewer->Shown().size());
        EXPECT_EQ(sizes[step][0], viewer->width());
        EXPECT_TRUE(viewer->BitBtn1()->isEnabled());
    }
    EXPECT_FALSE(viewer->BitBtn2()->isEnabled());
    viewer->BitBtn1Click();
    EXPECT_EQ(QSize(26, 19), viewer->Shown().size());

    // A bitmap fills the window's height below the buttons.
    QImage bmp(80, 40, QImage::Format_RGB32);
    bmp.fill(Qt::green);
    ASSERT_TRUE(bmp.save(ToQString(File("p.bmp"))));
    s.PhotoFileName = "p.bmp";
    s.WindowHeight = 300;
    ASSERT_TRUE(viewer->ShowPicture());
    EXPECT_EQ(300, viewer->height());
    EXPECT_EQ(2.0, viewer->Shown().width() / static_cast<double>(viewer->Shown().height()));
    viewer->BitBtn1Click();
    EXPECT_EQ(360, viewer->height());
    s.PhotoFileName = "missing.bmp";
    EXPECT_FALSE(viewer->ShowPicture());
    viewer->close();
}

TEST_F(SampleProgramTest, PhotoButtonShowsTheFileFoundWhateverItsLetterCase) {
    std::filesystem::create_directory(dir / "Foto");
    ASSERT_TRUE(SaveJpegFile(TBitmap32(101, 75, 0xFF2060A0u), File("Foto/shaft.JPG")));
    ASSERT_TRUE(W().Doc().HasBranchNumber(2));
    W().Doc().CurrentFigure()->image = "Shaft.jpg";
    p->IDrawWinForm->Action("ToolButtonImage")->trigger();
    TFormImage* viewer = FormImage();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(QSize(101, 75), viewer->Shown().size());
    EXPECT_EQ("Shaft.jpg", viewer->windowTitle().toStdString());
    EXPECT_TRUE(messages.Shown().empty());
    viewer->close();
}

// A drawing made on another computer keeps that computer's photo folder:
// the photo comes from the folder the options page shows, the program
// folder's "Foto" while "Путь к фото по умолчанию" is ticked, the drawing's
// folder once it is not; with the tick, the drawing's folder is tried next.
TEST_F(SampleProgramTest, PhotoButtonLooksInTheFolderTheOptionsShow) {
    std::filesystem::create_directory(dir / "Foto");
    ASSERT_TRUE(SaveJpegFile(TBitmap32(40, 30, 0xFF2060A0u), File("Foto/lava.jpg")));
    WindowState().PhotoFolder = "/home/other/Foto";
    ASSERT_TRUE(W().Doc().HasBranchNumber(2));
    W().Doc().CurrentFigure()->image = "lava.jpg";
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_TRUE(options);
        auto* path = options->findChild<QLineEdit*>("FotoPath");
        ASSERT_TRUE(path);
        shown = path->text();
        options->findChild<QPushButton*>("Button2")->click();
    });
    p->IDrawWinForm->Action("Moptions")->trigger();
    EXPECT_EQ(ToQString(File("Foto")), shown);

    p->IDrawWinForm->Action("ToolButtonImage")->trigger();
    TFormImage* viewer = FormImage();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(QSize(40, 30), viewer->Shown().size());
    EXPECT_TRUE(messages.Shown().empty());
    viewer->close();
    // The property panel's photo chooser opens in that folder too.
    W().ShowProperties(true);
    const auto& rows = W().PropCaptions;
    const auto row = std::find(rows.begin(), rows.end(), Ru("Изображение"));
    ASSERT_NE(rows.end(), row);
    dialogs.Answer(std::nullopt);
    W().GridPropFixedCellClick(0, static_cast<int>(row - rows.begin()));
    ASSERT_FALSE(dialogs.Requests().empty());
    EXPECT_EQ(File("Foto"), dialogs.Requests().back().initialDir);

    // A photo that only the drawing's own folder holds is found there next.
    std::filesystem::create_directory(dir / "plans");
    ASSERT_TRUE(SaveJpegFile(TBitmap32(50, 20, 0xFF2060A0u), File("plans/shaft.jpg")));
    WindowState().PhotoFolder = File("plans");
    W().Doc().CurrentFigure()->image = "shaft.jpg";
    p->IDrawWinForm->Action("ToolButtonImage")->trigger();
    EXPECT_EQ(QSize(50, 20), viewer->Shown().size());
    EXPECT_TRUE(messages.Shown().empty());
    viewer->close();

    WindowState().PhotoFolder = "/home/other/Foto";
    W().Doc().CurrentFigure()->image = "lava.jpg";
    W().Settings.FotoPath = false;
    messages.Expect(mrOk, "Не найден файл /home/other/Foto/lava.jpg");
    p->IDrawWinForm->Action("ToolButtonImage")->trigger();
    WindowState().PhotoFolder.clear();
}

// Photos larger than the screen: the viewer takes what the screen leaves
// for windows, its buttons on it, and scrolls the photo at full size. A
// wide photo keeps the horizontal scroll bar, a tall one the vertical.
TEST_F(SampleProgramTest, PhotoViewerStaysOnTheScreenAndScrollsThePhoto) {
    std::filesystem::create_directory(dir / "Foto");
    TFormImage* viewer = FormImage();
    ASSERT_TRUE(viewer);
    const QRect avail = viewer->screen()->availableGeometry();
    ASSERT_TRUE(W().Doc().HasBranchNumber(2));
    struct TCase {
        const char* name;
        int width, height;
        bool horizontal, vertical;
    };
    const TCase cases[] = {
        {"big.jpg", 3000, 2000, true, true},
        {"wide.jpg", 2 * avail.width(), avail.height() / 4, true, false},
        {"tall.jpg", avail.width() / 4, 2 * avail.height(), false, true},
        {"strip.jpg", 300, 100, true, false},
        {"small.jpg", 200, 150, false, false},
    };
    auto onScreen = [&](const QWidget* w) {
        return avail.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SaveJpegFile(TBitmap32(c.width, c.height, 0xFF2060A0u),
                                 File(std::string("Foto/") + c.name)));
        W().Doc().CurrentFigure()->image = c.name;
        p->IDrawWinForm->Action("ToolButtonImage")->trigger();
        QApplication::processEvents();
        ASSERT_TRUE(viewer->isVisible());
        EXPECT_EQ(QSize(c.width, c.height), viewer->Shown().size());
        EXPECT_TRUE(avail.contains(viewer->frameGeometry()));
        EXPECT_TRUE(onScreen(viewer->BitBtn1()));
        EXPECT_TRUE(onScreen(viewer->BitBtn2()));
        EXPECT_EQ(c.horizontal, viewer->ScrollBox()->horizontalScrollBar()->isVisible());
        EXPECT_EQ(c.vertical, viewer->ScrollBox()->verticalScrollBar()->isVisible());
        // A photo that fits is shown whole.
        if (!c.horizontal && !c.vertical) {
            EXPECT_EQ(QSize(c.width, c.height), viewer->ScrollBox()->viewport()->size());
        }
        viewer->close();
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SampleProgramTest, AboutEditorAndExtractionWindowsOpen) {
    {
        TAboutBox box(p->IDrawWinForm.get());
        box.show();
        QApplication::processEvents();
        QLabel* name = box.findChild<QLabel*>("ProductName");
        ASSERT_TRUE(name);
        EXPECT_EQ("Arvalen", name->text());
        box.findChild<QPushButton*>("OKButton")->click();
        EXPECT_FALSE(box.isVisible());
    }

    TFormEditUO* editor = FormEditUO();
    ASSERT_TRUE(editor);
    p->IDrawWinForm->Action("MEditUO")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(editor->isVisible());
    // The memo holds the sample drawing's symbol text, line by line.
    QStringList lines;
    for (const std::string& l : W().SymbolEditor.Lines) lines << ToQString(l);
    EXPECT_EQ(lines.join('\n'), editor->EditorUO()->toPlainText());
    editor->EditorUO()->setPlainText("B;Mine;\nE;");
    std::string text;
    ASSERT_TRUE(W().SymbolEditorText(text));
    EXPECT_EQ("B;Mine;\r\nE;", text);
    editor->FUOFileNewClick();
    EXPECT_EQ(ToQString(Ru("Новый.uo")), editor->windowTitle());
    EXPECT_TRUE(editor->EditorUO()->toPlainText().isEmpty());
    editor->close();

    TFormExtract* extract = FormExtract();
    ASSERT_TRUE(extract);
    extract->show();
    QApplication::processEvents();
    EXPECT_EQ(ToQString(Ru("Пути для загрузки базы")), extract->windowTitle());
    extract->EditFile()->setText(ToQString(File("none.rar")));
    extract->BitBtnOkClick();
    EXPECT_TRUE(extract->isVisible());
    extract->BitBtnCancelClick();
    EXPECT_FALSE(extract->isVisible());
}

// Each command that shows a window brings it back from minimised; the
// progress window closes with its run.
TEST_F(SampleProgramTest, CommandsBringTheirMinimisedWindowsBack) {
    std::filesystem::create_directory(dir / "Foto");
    ASSERT_TRUE(SaveJpegFile(TBitmap32(40, 30, 0xFF2060A0u), File("Foto/a.jpg")));
    ASSERT_TRUE(W().Doc().HasBranchNumber(2));
    W().Doc().CurrentFigure()->image = "a.jpg";
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    // Each window and a command of the main window, or else of the data window, that
    // shows it; the photo first, while the figure that has it is current.
    for (const std::string c :
         {"FormImage ToolButtonImage", "Form1 GenButton", "IDrawWin Serv_Sxema", "FOtchetRE Otch",
          "FBiblVen Dan_BiblVen", "FBiblVU Dan_BiblVU", "FGrafic Serv_Graf", "NasDlg Nastr",
          "AboutBox Hlp_About", "FormEditUO MEditUO", "FormNavigator ToolButtonNavigator",
          "FormPeople WayWorker", "FormWord Rasc_PogUst"}) {
        const std::string name = c.substr(0, c.find(' ')), command = c.substr(c.find(' ') + 1);
        QAction* a = p->IDrawWinForm->Action(command);
        if (!a) a = p->Form1->Action(command);
        ASSERT_TRUE(a) << command;
        a->trigger();
        QWidget* w = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == ToQString(name)) w = top;
        ASSERT_TRUE(w) << name;
        w->setWindowState(Qt::WindowMinimized);
        a->trigger();
        EXPECT_FALSE(w->isMinimized()) << name;
        EXPECT_EQ(name != "FormWord", w->isVisible()) << name;
    }
}

// What is typed into the symbol editor is the drawing's symbol text: it
// stays when the editor closes and opens again, marks the drawing changed,
// and the saved drawing carries it.
TEST_F(SampleProgramTest, TypedSymbolTextGoesIntoTheSavedDrawing) {
    TFormEditUO* editor = FormEditUO();
    ASSERT_TRUE(editor);
    p->IDrawWinForm->Action("MEditUO")->trigger();
    QPlainTextEdit* memo = editor->EditorUO();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "B;Typed;");
    const QString typed = memo->toPlainText();
    ASSERT_TRUE(typed.endsWith("\nB;Typed;"));
    EXPECT_TRUE(W().DrawingModified);
    editor->close();
    p->IDrawWinForm->Action("MEditUO")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(typed, memo->toPlainText());

    dialogs.Answer(File("typed"));
    p->IDrawWinForm->Action("SaveAs1")->trigger();
    ASSERT_TRUE(FileExists(File("typed.grh")));
    EXPECT_FALSE(W().DrawingModified);
    // Another drawing brings its own text; the saved one brings the typed.
    dialogs.Answer(File("SampleMine.grh"), 1);
    p->IDrawWinForm->Action("Open1")->trigger();
    EXPECT_NE(typed, memo->toPlainText());
    dialogs.Answer(File("typed.grh"), 1);
    p->IDrawWinForm->Action("Open1")->trigger();
    EXPECT_EQ(typed, memo->toPlainText());
    EXPECT_FALSE(W().DrawingModified);

    // Saving the symbol file leaves the user where they were in the text.
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "Z");
    const int at = memo->textCursor().position();
    dialogs.Answer(File("typed-symbols.txt"));
    editor->FUOFileSaveAsClick();
    EXPECT_TRUE(FileExists(File("typed-symbols.txt")));
    EXPECT_EQ(at, memo->textCursor().position());
    EXPECT_TRUE(memo->document()->isUndoAvailable());
}
