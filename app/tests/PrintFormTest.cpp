// Printing through the real main window, offscreen: the printed page and
// the preview whatever tool is chosen, the page whatever the screen's zoom,
// the file each PDF print asks for, and the printer's set-up dialog.
#include "app/ui/PrintWindows.h"
#include "app/tests/MouseEvents.h"
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/WindowHosts.h"
#include "document/Branch.h"
#include "platform/Files.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/testing/PdfPages.h"
#include "platform/testing/ScriptedServices.h"
#include "reports/ui/OtchetRE.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPageSize>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

using namespace arv;
using test::Click;
using test::FileBytes;
using test::Send;

namespace {

struct PrintFormTest : test::SampleProgramTest {
    PrintFormTest() { p = test::StartOnSample(folder, 1000, 700); }
    TPrintDlg& Dlg() { return *p->IDrawWinForm->PrintDlg(); }

    // A PDF printer on A4 paper without margins of its own.
    void PdfPrinter(int dpi = 0) {
        QPrinter& printer = Dlg().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        if (dpi > 0) printer.setResolution(dpi);
    }
    // Prints with the dialog's button into the file given, answering the
    // file question with it.
    void PrintInto(const std::string& pdf) {
        dialogs.Answer(pdf);
        Dlg().PokClick();
        ASSERT_FALSE(Dlg().LastResult().failed);
        ASSERT_EQ(1, Dlg().LastResult().pages);
        ASSERT_TRUE(FileExists(pdf));
        // The job carries the drawing's name, as a print queue lists it.
        EXPECT_EQ("SampleMine.grh", Dlg().Printer().docName().toStdString());
    }
    // "Печать..." and the dialog's "Печать"; the dialog is closed after.
    void PressPrint() {
        QTimer::singleShot(0, [this] {
            Dlg().findChild<QPushButton*>("Pok")->click();
            Dlg().reject();
        });
        Action("Print1")->trigger();
    }
};

// What a page puts on paper: the PDF without the moment it was made.
std::string PdfInk(const std::string& name) {
    std::string bytes = FileBytes(name);
    const size_t at = bytes.find("/CreationDate");
    if (at != std::string::npos) bytes.erase(at, bytes.find(')', at) - at);
    return bytes;
}

std::set<std::string> FilesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// The PDF a print queue writes into its folder beside `before`, once whole.
std::string AwaitQueuedPdf(const std::filesystem::path& dir, const std::set<std::string>& before) {
    for (int tries = 0; tries < 600; ++tries) {
        for (const std::string& name : FilesIn(dir))
            if (!before.count(name) && FileBytes((dir / name).string()).ends_with("%%EOF\n"))
                return (dir / name).string();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return {};
}

// The printer set-up dialog that is open; any other window is closed.
TPrinterSetupDlg* SetUpDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* setup = qobject_cast<TPrinterSetupDlg*>(modal);
    if (!setup) {
        ADD_FAILURE() << "no printer set-up dialog";
        if (modal) modal->close();
    }
    return setup;
}

// The set-up dialog, once shown, shows the printer in force and is given another.
void ChooseInSetUp(const QString& shown, const QString& entry) {
    QTimer::singleShot(0, [shown, entry] {
        TPrinterSetupDlg* setup = SetUpDialog();
        if (!setup) return;
        auto* name = setup->findChild<QComboBox*>("PrinterName");
        EXPECT_EQ(shown, name->currentText());
        name->setCurrentIndex(name->findText(entry));
        setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

} // namespace

// The natural order of work: pan to the area, then print. The page and the
// preview come out the same as with the select tool, names, numbers, node
// marks and flow values included.
TEST_F(PrintFormTest, PanToolPrintsAndPreviewsTheSameInkAsTheSelectTool) {
    W().Zad_ERClick();
    messages.AllowAny();
    PdfPrinter();
    Action("BSelect")->trigger();
    PrintInto(folder.File("select.pdf"));
    Dlg().ButtonPreViewClick();
    const QImage selectPreview = Dlg().Preview()->PageImage().copy();
    Dlg().Preview()->close();

    Action("ToolButtonMove")->trigger();
    ASSERT_EQ(8, W().DrawMode);
    PrintInto(folder.File("pan.pdf"));
    Dlg().ButtonPreViewClick();
    const QImage panPreview = Dlg().Preview()->PageImage().copy();
    Dlg().Preview()->close();

    const std::string select = PdfInk(folder.File("select.pdf"));
    ASSERT_FALSE(select.empty());
    EXPECT_TRUE(select == PdfInk(folder.File("pan.pdf")));
    ASSERT_FALSE(selectPreview.isNull());
    EXPECT_TRUE(selectPreview == panPreview);
    // The tool is still the pan tool.
    EXPECT_EQ(8, W().DrawMode);
    Action("BSelect")->trigger();
}

// "Сохранить как" a JPEG picture is a written plan as the page is: with the
// pan tool chosen it holds the same labels as with the select tool.
TEST_F(PrintFormTest, PanToolWritesTheSameJpegPictureAsTheSelectTool) {
    W().Zad_ERClick();
    messages.AllowAny();
    W().ViewAllClick();
    auto save = [&](const char* tool, const std::string& name) {
        Action(tool)->trigger();
        dialogs.Answer(folder.File(name), 3);
        Action("SaveAs1")->trigger();
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(folder.File(name + ".jpg"), bytes)) << name;
        return bytes;
    };
    const std::string select = save("BSelect", "select");
    ASSERT_FALSE(select.empty());
    const std::string pan = save("ToolButtonMove", "pan");
    ASSERT_EQ(8, W().DrawMode);
    EXPECT_TRUE(select == pan);
    Action("BSelect")->trigger();
}

// The preview draws the plan at its own scale; once it is closed the plan
// answers the mouse where the screen shows it: a branch drawn two pixels off
// two node marks joins those nodes.
TEST_F(PrintFormTest, AfterThePreviewTheMouseMeetsThePlanWhereTheScreenShowsIt) {
    W().ViewAllClick();
    TGCollFigure& doc = W().Doc();
    Action("BLine")->trigger();
    const auto [a, b] = test::UnjoinedNodes(doc);
    ASSERT_GE(b, 0);
    const TPoint sa = doc.nodes.Record(a).screenCentre, sb = doc.nodes.Record(b).screenCentre;

    bool previewed = false;
    QTimer::singleShot(0, [&] {
        Dlg().ButtonPreViewClick();
        previewed = !Dlg().Preview()->PageImage().isNull();
        Dlg().Preview()->close();
        Dlg().reject();
    });
    Action("Print1")->trigger();
    ASSERT_TRUE(previewed);

    const int figures = doc.Count(), nodes = doc.nodes.Count();
    QWidget* plan = p->IDrawWinForm->PaintBox1();
    Click(plan, QPoint(sa.x + 2, sa.y + 2));
    Click(plan, QPoint(sb.x - 2, sb.y + 1));
    ASSERT_EQ(figures + 1, doc.Count());
    TGBranch* made = doc.BranchAt(figures);
    ASSERT_NE(nullptr, made);
    // Drawn from the second click to the first, onto the plan's own nodes.
    EXPECT_EQ(b, made->beginIndex);
    EXPECT_EQ(a, made->endIndex);
    EXPECT_EQ(nodes, doc.nodes.Count());
    messages.AllowAny();
}

// A print at one paper scale is the same page whatever the screen's zoom
// was when "Печать" was chosen: labels, flow values included, are placed at
// the paper's own scale.
TEST_F(PrintFormTest, APrintIsTheSamePageWhateverTheScreensZoom) {
    const bool ran = W().Zad_ERClick();
    for (auto& m : messages.Shown()) ADD_FAILURE() << m.text;
    ASSERT_TRUE(ran);
    messages.AllowAny();
    PdfPrinter(300);
    W().ViewAllClick();
    PrintInto(folder.File("fitted.pdf"));
    // Zoomed in as a user works, with the keypad's plus.
    while (W().Doc().scale < 2.2) W().FormKeyDown('+', true);
    PrintInto(folder.File("zoomed.pdf"));
    const std::string fitted = PdfInk(folder.File("fitted.pdf"));
    ASSERT_FALSE(fitted.empty());
    EXPECT_TRUE(fitted == PdfInk(folder.File("zoomed.pdf")));
}

// "Установки принтера..." and the print dialog's "Принтер ..." choose the
// printer, the paper and its orientation, and print nothing.
TEST_F(PrintFormTest, PrinterSetUpChoosesPrinterPaperAndOrientationAndPrintsNothing) {
    PdfPrinter();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        TPrinterSetupDlg* setup = SetUpDialog();
        if (!setup) return;
        shown = true;
        EXPECT_EQ(QString::fromUtf8("Настройка печати"), setup->windowTitle());
        for (QPushButton* b : setup->findChildren<QPushButton*>())
            EXPECT_FALSE(b->text().contains(QString::fromUtf8("Печат"))) << b->text().toStdString();
        auto* name = setup->findChild<QComboBox*>("PrinterName");
        ASSERT_TRUE(name);
        EXPECT_EQ(TPrinterSetupDlg::PdfEntry(), name->currentText());
        auto* paper = setup->findChild<QComboBox*>("PaperSize");
        ASSERT_TRUE(paper);
        EXPECT_EQ("A4", paper->currentText());
        paper->setCurrentIndex(paper->findText("A3"));
        setup->findChild<QRadioButton*>("Landscape")->setChecked(true);
        setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    Action("PrintSetup1")->trigger();
    EXPECT_TRUE(shown);
    QPrinter& printer = Dlg().Printer();
    EXPECT_EQ(QPageSize::A3, printer.pageLayout().pageSize().id());
    EXPECT_EQ(QPageLayout::Landscape, printer.pageLayout().orientation());
    EXPECT_EQ(QPrinter::PdfFormat, printer.outputFormat());
    EXPECT_EQ(0, Dlg().LastResult().pages);
    EXPECT_TRUE(dialogs.Requests().empty());

    // The print dialog's button shows the same; a cancel changes nothing.
    shown = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            TPrinterSetupDlg* setup = SetUpDialog();
            if (!setup) return;
            shown = true;
            setup->findChild<QComboBox*>("PaperSize")->setCurrentIndex(0);
            setup->reject();
        });
        Dlg().findChild<QPushButton*>("PSetup")->click();
        Dlg().reject();
    });
    Action("Print1")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(QPageSize::A3, printer.pageLayout().pageSize().id());
    EXPECT_EQ(0, Dlg().LastResult().pages);
}

// A printer chosen after a print to a PDF gets the prints: no file is asked
// for or written. "Файл PDF" again proposes that file. (The set-up lists a
// stand-in printer, which the print finds missing and says so.)
TEST_F(PrintFormTest, PrinterChosenAfterAPdfPrintGetsThePrints) {
    const QString standIn = QString::fromUtf8("Принтер отдела");
    InstallPrinterList([standIn] { return QStringList{standIn}; });
    PdfPrinter();
    const std::string pdf = folder.File("last.pdf");
    PrintInto(pdf);
    ASSERT_TRUE(DeleteFile(pdf));

    ChooseInSetUp(TPrinterSetupDlg::PdfEntry(), standIn);
    Action("PrintSetup1")->trigger();
    EXPECT_TRUE(Dlg().Printer().outputFileName().isEmpty());
    messages.Expect(mrOk, "Принтер \"Принтер отдела\" недоступен. Выберите другой в "
                          "\"Установки принтера...\".");
    PressPrint();
    EXPECT_EQ(1u, dialogs.Requests().size());
    EXPECT_FALSE(FileExists(pdf));

    // Back to the file through the print dialog's "Принтер ...".
    dialogs.Answer(pdf);
    QTimer::singleShot(0, [&] {
        ChooseInSetUp(standIn, TPrinterSetupDlg::PdfEntry());
        Dlg().findChild<QPushButton*>("PSetup")->click();
        Dlg().findChild<QPushButton*>("Pok")->click();
    });
    Action("Print1")->trigger();
    ASSERT_EQ(2u, dialogs.Requests().size());
    EXPECT_EQ(pdf, dialogs.Requests()[1].fileName);
    EXPECT_TRUE(FileExists(pdf));
}

// Nothing to print is said: an empty drawing before any file is asked for,
// margins that leave no room on the sheet after the print.
TEST_F(PrintFormTest, PrintDialogSaysWhenNothingIsPrinted) {
    PdfPrinter();
    Dlg().State().LLeft = 300;
    messages.Expect(mrOk, "Ничего не напечатано: поля не оставляют места на листе.");
    dialogs.Answer(folder.File("none.pdf"));
    PressPrint();
    EXPECT_FALSE(FileExists(folder.File("none.pdf")));

    messages.AllowAny();
    Action("New1")->trigger();
    messages.AllowAny(false);
    messages.Expect(mrOk, "Чертеж пуст: печатать нечего.");
    PressPrint();
    EXPECT_EQ(1u, dialogs.Requests().size());
}

// A print to PDF replaces its file only when complete, from a file under a
// name no file had: a print broken off leaves the old file whole and nothing
// beside it, a user's "<file>.part" stays, an unwritable folder is named.
TEST_F(PrintFormTest, APdfPrintReplacesItsFileOnlyWhenComplete) {
    PdfPrinter();
    const std::string pdf = folder.File("plan.pdf");
    ASSERT_TRUE(WriteFileAtomic(pdf, "old") && WriteFileAtomic(pdf + ".part", "mine"));
    const std::set<std::string> files = FilesIn(folder.dir);
    struct TBreakingPrinter : TQtPrintTarget { // does not start a second page
        using TQtPrintTarget::TQtPrintTarget;
        bool NewPage() override { return false; }
    };
    Dlg().PrintTarget = [](QPrinter& p) { return std::make_unique<TBreakingPrinter>(p); };
    Dlg().State().ComboBox1 = 1; // A3: two pages
    messages.Expect(mrOk, "Печать прервана: принтер не начал следующую страницу");
    dialogs.Answer(pdf);
    PressPrint();
    EXPECT_TRUE("old" == FileBytes(pdf));
    EXPECT_EQ(files, FilesIn(folder.dir));

    Dlg().PrintTarget = nullptr;
    Dlg().State().ComboBox1 = 0;
    Dlg().ShowControls();
    PrintInto(pdf);
    EXPECT_EQ("mine", FileBytes(pdf + ".part"));
    EXPECT_EQ(files, FilesIn(folder.dir));
    // Root writes everywhere, but not below a file.
    messages.Expect(mrOk, "Печать не выполнена: не удается записать файл " + pdf + "/a.pdf.");
    dialogs.Answer(pdf + "/a.pdf");
    PressPrint();
}

// Prints through a real print queue where one is named (README): the plan to
// "Файл PDF", then to the queue chosen in "Установки принтера...", and the
// report editor's text. Each job reaches the queue's folder as one page
// named after its document; the first PDF keeps its bytes.
TEST_F(PrintFormTest, ThePlanAndTheReportReachARealPrintQueue) {
    const char *queueName = std::getenv("ARVALEN_PRINT_QUEUE"),
               *out = std::getenv("ARVALEN_PRINT_OUTPUT");
    if (!queueName || !out)
        GTEST_SKIP() << "no print queue named: set ARVALEN_PRINT_QUEUE to a cups-pdf queue and "
                        "ARVALEN_PRINT_OUTPUT to its output folder";
    const QString queue = QString::fromLocal8Bit(queueName);
    InstallPrinterList([queue] { return QStringList{queue}; }, queue);
    PdfPrinter();
    PrintInto(folder.File("first.pdf"));
    const std::string first = FileBytes(folder.File("first.pdf"));
    ChooseInSetUp(TPrinterSetupDlg::PdfEntry(), queue);
    Action("PrintSetup1")->trigger();
    auto expectJob = [out](const std::set<std::string>& before, const std::string& title) {
        const std::string job = AwaitQueuedPdf(out, before);
        EXPECT_TRUE(ExtractFileName(job).starts_with(title)) << "job " << job << " in " << out;
        EXPECT_EQ(1, test::ReadPdfPages(job).count);
    };
    std::set<std::string> before = FilesIn(out);
    PressPrint();
    expectJob(before, "SampleMine.grh");
    EXPECT_TRUE(first == FileBytes(folder.File("first.pdf")));
    EXPECT_EQ(1u, dialogs.Requests().size());

    // The report editor's "Печать": the print dialog offers the queue.
    p->Form1->Action("Otch")->trigger();
    auto& editor = dynamic_cast<TFOtchetRE&>(ReportEditorHost());
    editor.Editor()->setPlainText(QString::fromUtf8("Отчет по схеме"));
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    before = FilesIn(out);
    for (QAction* a : editor.findChildren<QAction*>())
        if (a->text() == QString::fromUtf8("&Печать")) a->trigger();
    expectJob(before, ExtractFileName(editor.ReportFileName()));
}
