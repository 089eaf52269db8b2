// Nothing the user did is lost: the real program, offscreen, on the sample
// drawing. Every way out of the drawing, its tables, the report and the
// symbol text asks first; every save lands where the question said; a
// failing command leaves the program and its documents there.
#include "app/ui/ProgramStart.h"
#include "app/tests/MouseEvents.h"
#include "app/ui/SmallWindowsUi.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/engine/FireAnalysis.h"
#include "calc/window/DataWindowController.h"
#include "document/WindowHost.h"
#include "platform/Cp1251.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"
#include "reports/ui/OtchetRE.h"
#include "routes/RouteWindows.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace arv;
using test::Click;
using test::Send;

namespace {

struct ProgramSafetyTest : test::SampleProgramTest {
    ProgramSafetyTest() { std::filesystem::copy_file(dir / "SampleMine.grh", dir / "Other.grh"); }

    // The four kinds of work a user leaves behind.
    void DrawBranch() {
        const int before = W().Doc().Count();
        Trigger("BLine");
        QWidget* plan = p->IDrawWinForm->PaintBox1();
        Click(plan, QPoint(40, 40));
        Click(plan, QPoint(140, 70));
        Click(plan, QPoint(10, 10), Qt::RightButton);
        ASSERT_EQ(before + 1, W().Doc().Count());
    }
    void EditCell() {
        p->Form1->show();
        p->Form1->activateWindow();
        QApplication::processEvents();
        TGridView* view = p->Form1->GridView(Tables().TablDan);
        view->setFocus();
        view->setCurrentIndex(view->FromGrid(15, 2));
        // The first key opens the cell's editor, which takes the rest.
        QTest::keyClick(view, 'Z');
        QTest::keyClicks(QApplication::focusWidget(), "x");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_EQ("Zx", Tables().TablDan.Cells(15, 2));
        ASSERT_TRUE(Tables().TablDan.Modified);
    }
    void TypeReport() {
        ReportEditorHost().ShowEditor();
        QTest::keyClicks(Report().Editor(), "Report line");
        ASSERT_TRUE(Report().Modified());
    }
    void TypeSymbol() {
        Trigger("MEditUO");
        QPlainTextEdit* memo = FormEditUO()->EditorUO();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "B;Typed;");
        ASSERT_TRUE(W().DrawingModified);
    }

    // What the screen shows of the four.
    struct TShown {
        int figures = 0;
        std::string cell, symbols, report;
        bool operator==(const TShown&) const = default;
        friend void PrintTo(const TShown& s, std::ostream* out) {
            *out << s.figures << " figures, cell \"" << Cp1251ToUtf8(s.cell) << "\", symbols \""
                 << Cp1251ToUtf8(
                        s.symbols.substr(s.symbols.size() > 40 ? s.symbols.size() - 40 : 0))
                 << "\", report \"" << Cp1251ToUtf8(s.report) << "\"";
        }
    };
    TShown Shown() {
        return {W().Doc().Count(), Tables().TablDan.Cells(15, 2),
                FromQString(FormEditUO()->EditorUO()->toPlainText()),
                FromQString(Report().Editor()->toPlainText())};
    }
    TShown EditEverything() {
        DrawBranch();
        EditCell();
        TypeReport();
        TypeSymbol();
        return Shown();
    }
    void OpenBookmark() {
        auto* menu = p->IDrawWinForm->findChild<QMenu*>("MBookmarks");
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->data().toInt() == 1) a->trigger();
    }
    // The drawing as it would be written now, to compare with what the
    // question's "Да" writes.
    std::string DrawingNow() {
        EXPECT_TRUE(W().SaveDrawing(File("now.grh")));
        return Bytes(File("now.grh"));
    }
    // The drawing and the report were written under their own names as they
    // were on screen, and read back they show it again. The report's writer
    // gives the same bytes again; the drawing keeps text sizes measured in
    // the view, so it is compared as written, then as shown.
    void ExpectSavedAs(const TShown& shown, const std::string& drawing) {
        EXPECT_EQ(drawing, Bytes(File("SampleMine.grh")));
        const std::string report = Bytes(File("SampleMine.rtf"));
        Open("SampleMine.grh");
        dialogs.Answer(File("SampleMine.rtf"), 1);
        Report().FileOpen();
        EXPECT_EQ(shown, Shown());
        EXPECT_TRUE(Report().FileSave());
        EXPECT_EQ(report, Bytes(File("SampleMine.rtf")));
    }
};

// Each kind of unsaved work on its own makes the question come.
TEST_F(ProgramSafetyTest, EachKindOfWorkAloneIsAskedAbout) {
    using TEdit = void (ProgramSafetyTest::*)();
    for (TEdit edit : {&ProgramSafetyTest::DrawBranch, &ProgramSafetyTest::EditCell,
                       &ProgramSafetyTest::TypeReport, &ProgramSafetyTest::TypeSymbol}) {
        Start();
        (this->*edit)();
        const TShown shown = Shown();
        messages.Expect(mrCancel, "Сохранить данные?");
        Trigger("New1");
        EXPECT_EQ(shown, Shown());
        messages.Expect(mrCancel, "Сохранить данные?");
        Open("Other.grh");
        EXPECT_EQ(shown, Shown());
        W().Settings.Bookmarks = {{"Other", File("Other.grh")}};
        messages.Expect(mrCancel, "Сохранить данные?");
        OpenBookmark();
        messages.Expect(mrCancel, "Сохранить данные?");
        dialogs.Answer(File("Other.MINE"), 2);
        Trigger("Imp_Tresk1");
        EXPECT_EQ(shown, Shown());
        EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
        EXPECT_EQ(0u, messages.PendingExpectations());
    }
}

// New, Open, a bookmark and the program's close: "Отмена" keeps everything,
// "Да" saves the drawing with its tables and symbol text, and the report,
// and the command goes on.
TEST_F(ProgramSafetyTest, EveryWayOutAsksAndYesSavesEachDocument) {
    Start();
    const std::string original = Bytes(File("SampleMine.grh"));
    W().Settings.Bookmarks.push_back({"Other", File("Other.grh")});
    const TShown edited = EditEverything();

    messages.Expect(mrCancel, "Сохранить данные?");
    Trigger("New1");
    messages.Expect(mrCancel, "Сохранить данные?");
    Open("Other.grh");
    messages.Expect(mrCancel, "Сохранить данные?");
    OpenBookmark();
    messages.Expect(mrCancel, "Сохранить данные?");
    Trigger("Exit1");
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    EXPECT_EQ(edited, Shown());
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
    EXPECT_EQ(original, Bytes(File("SampleMine.grh")));
    EXPECT_FALSE(FileExists(File("SampleMine.rtf")));

    // New: both documents saved under their names, then a new drawing.
    std::string drawing = DrawingNow();
    messages.Expect(mrYes, "Сохранить данные?");
    Trigger("New1");
    EXPECT_EQ(0, W().Doc().Count());
    EXPECT_EQ("Arvalen " + File("untitled.grh"), Title());
    ExpectSavedAs(edited, drawing);

    // Open and the bookmark: saved, then the other drawing is shown.
    for (bool bookmark : {false, true}) {
        const TShown again = EditEverything();
        drawing = DrawingNow();
        messages.Expect(mrYes, "Сохранить данные?");
        if (bookmark)
            OpenBookmark();
        else
            Open("Other.grh");
        EXPECT_EQ("Arvalen " + File("Other.grh"), Title());
        ExpectSavedAs(again, drawing);
    }

    // The program's close: one question for everything, then it ends.
    const TShown last = EditEverything();
    drawing = DrawingNow();
    messages.Expect(mrYes, "Сохранить данные?");
    Trigger("Exit1");
    EXPECT_FALSE(p->IDrawWinForm->isVisible());
    Start();
    ReportEditorHost().ShowEditor();
    ExpectSavedAs(last, drawing);
    EXPECT_EQ(0u, messages.PendingExpectations());
}

// A save cancelled after "Да" keeps everything and stops the command.
TEST_F(ProgramSafetyTest, CancelledSaveStopsTheCommand) {
    Start();
    const TShown edited = EditEverything();
    // The report has no name of its own yet: its Save As is cancelled.
    Report().SetReportFileName("Untitled");
    messages.Expect(mrYes, "Сохранить данные?");
    dialogs.Answer(File("Other.grh"), 1);
    dialogs.Answer(std::nullopt);
    Trigger("Open1");
    EXPECT_EQ(edited, Shown());
    EXPECT_TRUE(Report().Modified());
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
}

// The report editor's own close asks as its New and Open do; the program's
// close asks once for it.
TEST_F(ProgramSafetyTest, ReportEditorCloseAsksAndTheProgramAsksOnce) {
    Start();
    TypeReport();
    const std::string question =
        "Сохранить изменения " + Cp1251ToUtf8(Report().ReportFileName()) + "?";
    messages.Expect(mrCancel, question);
    Report().close();
    EXPECT_TRUE(Report().isVisible());
    messages.Expect(mrNo, question);
    Report().FileExit();
    EXPECT_FALSE(Report().isVisible());
    EXPECT_TRUE(Report().Modified());

    ReportEditorHost().ShowEditor();
    messages.Expect(mrNo, "Сохранить данные?");
    Trigger("Exit1");
    EXPECT_FALSE(p->IDrawWinForm->isVisible());
    EXPECT_FALSE(Report().isVisible());
    EXPECT_EQ(3u, messages.Shown().size());
}

// A drawing that cannot be read leaves the drawing shown under its own
// name, with its tables, so that Save writes where it came from.
TEST_F(ProgramSafetyTest, UnreadableDrawingKeepsTheShownOneAndItsName) {
    std::string sample = Bytes(File("SampleMine.grh"));
    ASSERT_TRUE(WriteFileAtomic(File("Damaged.grh"), sample.substr(0, sample.size() / 2)));
    ASSERT_TRUE(WriteFileAtomic(File("Random.grh"), std::string("\x13\x77\xA0garbage\x01", 11)));
    ASSERT_TRUE(WriteFileAtomic(File("Empty.grh"), ""));
    Start();
    const TShown shown = Shown();
    // A view the user chose stays as it was.
    W().Doc().ZoomIn();
    const double scale = W().Doc().scale;
    const TPoint centre = W().Doc().centre;
    for (const char* bad : {"Damaged.grh", "Random.grh", "Empty.grh"}) {
        const std::string bytes = Bytes(File(bad));
        messages.Expect(mrOk, "Ошибка загрузки документа");
        Open(bad);
        EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title()) << bad;
        EXPECT_EQ(shown, Shown()) << bad;
        EXPECT_EQ(scale, W().Doc().scale) << bad;
        EXPECT_TRUE(centre == W().Doc().centre) << bad;
        EXPECT_EQ("14", Tables().TablDan.Cells(0, 15)) << bad;
        Trigger("Save1");
        EXPECT_EQ(bytes, Bytes(File(bad))) << bad;
    }

    // At start-up the empty drawing that stands in has no file yet: Save
    // asks for a name instead of replacing the damaged file. (A program
    // starts without data; the data window of this test has some.)
    DataWindowController().CalcContext().NetworkDataText.clear();
    Tables().EmptyAllTables();
    messages.Expect(mrOk, "Ошибка загрузки документа");
    Start("Damaged.grh");
    EXPECT_EQ("Arvalen " + File("untitled.grh"), Title());
    dialogs.Answer(std::nullopt);
    messages.Expect(mrOk, "Документ пуст!!!");
    messages.Expect(mrOk, "Документ пуст!!!");
    const size_t asked = dialogs.Requests().size();
    Trigger("Save1");
    EXPECT_EQ(asked + 1, dialogs.Requests().size());
    EXPECT_EQ(sample.substr(0, sample.size() / 2), Bytes(File("Damaged.grh")));
}

// A fault in a command is shown and the program goes on with its drawing.
TEST_F(ProgramSafetyTest, FailingCommandsLeaveTheProgramRunning) {
    Start();
    const TShown shown = Shown();
    W().WriteVeltorText = [](const std::string&) -> bool {
        throw EInOutError(Ru("Диск не готов"));
    };
    dialogs.Answer(File("export.veltor"), 4);
    messages.Expect(mrOk, "Диск не готов");
    Trigger("Exp_Veltor");
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    EXPECT_EQ(shown, Shown());

    // The data window's command and a table's key handler.
    TDataWindowController& data = DataWindowController();
    auto start = data.StartProgram;
    data.StartProgram = [](const std::string&, const std::vector<std::string>&) -> bool {
        throw std::runtime_error("no calculator");
    };
    messages.Expect(mrOk, "Команда прервана ошибкой: no calculator");
    p->Form1->Action("Serv_Calc")->trigger();
    data.StartProgram = start;
    TModGrid& dan = Tables().TablDan;
    auto keyDown = dan.OnKeyDown;
    dan.OnKeyDown = [](TStringGridModel&, int&, TShiftState) { throw EConvertError("'x'"); };
    messages.Expect(mrOk, "'x'");
    QTest::keyClick(p->Form1->GridView(dan), Qt::Key_F8);
    dan.OnKeyDown = keyDown;
    EXPECT_EQ(shown, Shown());

    // Still working: the next command runs.
    W().ViewAllClick();
    Trigger("ZoomIn");
    EXPECT_EQ(0u, messages.PendingExpectations());
}

// The close asks every question before the settings file is written: the
// route window's, whose stored routes change the drawing, then the main
// one; a settings file that cannot be written is told after them.
TEST_F(ProgramSafetyTest, CloseAsksEverythingBeforeTheSettingsFile) {
    Start();
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    Trigger("WayWorker");
    messages.AllowAny(false);
    messages.Clear();
    routes::TRouteWindows* routes = routes::RouteWindows();
    ASSERT_TRUE(routes && routes->Form());
    routes->Form()->Modified = true;
    W().DrawingModified = false;
    std::filesystem::create_directory(File("Idraw.ini"));
    const std::string before = Bytes(File("SampleMine.grh"));

    // Cancelled at the main question: the route window stays, with its
    // routes still to be asked about.
    W().DrawingModified = true;
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    messages.Expect(mrCancel, "Сохранить данные?");
    messages.AllowAny();
    Trigger("Exit1");
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    ASSERT_TRUE(routes::RouteWindows() && routes::RouteWindows()->Form());
    EXPECT_TRUE(routes::RouteWindows()->Form()->Modified);
    EXPECT_EQ(0u, messages.PendingExpectations());
    messages.AllowAny(false);
    messages.Clear();
    W().DrawingModified = false;

    messages.Expect(mrYes, "Сохранить изменения в файл?");
    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrOk, "Не удалось записать файл " + File("Idraw.ini"));
    messages.AllowAny();
    Trigger("Exit1");
    EXPECT_FALSE(p->IDrawWinForm->isVisible());
    EXPECT_EQ(0u, messages.PendingExpectations());
    // The routes went into the drawing, and the drawing was saved.
    EXPECT_FALSE(W().DrawingModified);
    EXPECT_NE(before, Bytes(File("SampleMine.grh")));
}

// Save As: the dialog asks about the name the program writes, and picking
// another type changes the name's extension.
TEST_F(ProgramSafetyTest, SaveAsDialogAsksAboutTheNameWritten) {
    Start();
    const std::string other = Bytes(File("Other.grh"));
    W().DrawingModified = true;
    TQtFileDialogService qtDialogs;
    InstallFileDialogService(&qtDialogs);
    std::vector<std::string> steps;
    int round = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            steps.push_back("asked " + box->text().toStdString());
            box->button(QMessageBox::No)->click();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return;
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* type = dialog->findChild<QComboBox*>("fileTypeCombo");
        if (!name || !type) return;
        if (round == 0) {
            // The user picks the types as they would in the list.
            name->setText("plan");
            for (int index : {2, 1}) {
                type->setCurrentIndex(index);
                emit type->activated(index);
                emit type->textActivated(type->itemText(index));
                steps.push_back(name->text().toStdString());
            }
            type->setCurrentIndex(0);
            emit type->activated(0);
            emit type->textActivated(type->itemText(0));
            name->setText("Other");
            ++round;
            // Outside this slot: the dialog's own question runs a loop of its own.
            QTimer::singleShot(0, dialog,
                               [dialog] { QMetaObject::invokeMethod(dialog, "accept"); });
        } else {
            dialog->reject();
        }
    });
    timer.start(20);
    Trigger("SaveAs1");
    timer.stop();
    InstallFileDialogService(&dialogs);
    ASSERT_EQ(3u, steps.size());
    EXPECT_EQ("plan.jpg", steps[0]);
    EXPECT_EQ("plan.mine", steps[1]);
    EXPECT_NE(std::string::npos, steps[2].find("Other.grh")) << steps[2];
    EXPECT_EQ(other, Bytes(File("Other.grh")));
    EXPECT_TRUE(W().DrawingModified);
}

} // namespace
