// The symbol editor in the real program, offscreen, on the sample drawing:
// its file name goes with its text, its save dialog asks before replacing a
// file, and a symbol file it loads leaves the plan's symbols showing what
// they showed (or a placeholder when the new library lacks them).
#include "app/ui/ProgramStart.h"
#include "app/ui/SmallWindowsUi.h"

#include "app/tests/SampleProgramFolder.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct SymbolEditorFormTest : test::SampleProgramTest {
    SymbolEditorFormTest() {
        std::filesystem::copy_file(dir / "SampleMine.grh", dir / "Other.grh");
        p = test::StartOnSample(folder, 1000, 700);
        Trigger("MEditUO");
    }
    TFormEditUO& Editor() { return *FormEditUO(); }
    void EditorCommand(const char* name) {
        QAction* a = Editor().findChild<QAction*>(name);
        ASSERT_TRUE(a) << name;
        a->trigger();
        QApplication::processEvents();
    }
    std::string Caption() { return FromQString(Editor().windowTitle()); }
};

// The name typed into "Сохранить как" is a drawing of the folder: the
// dialog asks, and "No" leaves the drawing as it was; "Yes" replaces it.
TEST_F(SymbolEditorFormTest, SaveAsAsksBeforeReplacingAFile) {
    const std::string drawing = Bytes(File("Other.grh"));
    Editor().EditorUO()->setPlainText("B;Mine;\nE;");
    TQtFileDialogService qtDialogs;
    InstallFileDialogService(&qtDialogs);
    std::vector<std::string> asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    bool typed = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            asked.push_back(box->text().toStdString());
            box->button(answer)->click();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) return;
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (!name) return;
        if (typed) {
            // After "No" the dialog is back: the user gives up.
            dialog->reject();
            return;
        }
        typed = true;
        dialog->setDirectory(ToQString(dir.string()));
        name->setText("Other.grh");
        // Outside this slot: the dialog's own question runs a loop of its own.
        QTimer::singleShot(0, dialog, [dialog] { QMetaObject::invokeMethod(dialog, "accept"); });
    });
    timer.start(20);
    EditorCommand("FUOFileSaveAs");
    ASSERT_EQ(1u, asked.size());
    EXPECT_NE(std::string::npos, asked[0].find("Other.grh")) << asked[0];
    EXPECT_EQ(drawing, Bytes(File("Other.grh")));
    EXPECT_NE("Other.grh", ExtractFileName(Caption()));

    answer = QMessageBox::Yes;
    typed = false;
    EditorCommand("FUOFileSaveAs");
    timer.stop();
    InstallFileDialogService(&dialogs);
    EXPECT_EQ(2u, asked.size());
    EXPECT_EQ("B;Mine;\r\nE;\r\n", Bytes(File("Other.grh")));
    EXPECT_EQ(File("Other.grh"), Caption());
}

// "Загрузить my.uo", then open a drawing: the memo shows the drawing's text
// under no file name, and "Сохранить" asks for one instead of writing the
// drawing's text into my.uo.
TEST_F(SymbolEditorFormTest, OpeningADrawingTakesTheEditorsFileNameWithItsText) {
    const std::string mine = "B;Mine;\r\nC;0;0;10;\r\nE;\r\n";
    ASSERT_TRUE(WriteFileAtomic(File("my.uo"), mine));
    dialogs.Answer(File("my.uo"));
    EditorCommand("FUOFileOpen");
    ASSERT_EQ(File("my.uo"), Caption());
    EXPECT_EQ("B;Mine;\nC;0;0;10;\nE;", Editor().EditorUO()->toPlainText().toStdString());

    // The loaded text changed the drawing: the open asks about it.
    messages.Expect(mrNo, "Сохранить данные?");
    Open("Other.grh");
    EXPECT_EQ(0u, messages.PendingExpectations());
    ASSERT_EQ(File("Other.grh"), W().CurrentFileName());
    EXPECT_EQ(Ru("Редактор условных обозначений"), Caption());
    EXPECT_NE("B;Mine;\nC;0;0;10;\nE;", Editor().EditorUO()->toPlainText().toStdString());

    const size_t before = dialogs.Requests().size();
    dialogs.Answer(std::nullopt);
    EditorCommand("FUOFileSave");
    ASSERT_EQ(before + 1, dialogs.Requests().size());
    EXPECT_EQ(mine, Bytes(File("my.uo")));
}

// Three symbols on the plan, then "Загрузить" of the fan's own file: the fan
// is drawn as before; the first-aid post and the stopping, which the new
// library lacks, are drawn as red crossed boxes, not as the fan or nothing,
// and stay so in the saved and reopened drawing.
TEST_F(SymbolEditorFormTest, LoadedSymbolFileKeepsWhatPlacedSymbolsShow) {
    TGCollFigure& doc = W().Doc();
    const std::string names[] = {Ru("Медпункт"), Ru("Перемычка"), Ru("Вентилятор")};
    const TRect view = doc.viewRect;
    const int32_t stepX = (view.right - view.left) / 4;
    const int32_t y = view.bottom + (view.top - view.bottom) / 2;
    for (int i = 0; i < 3; ++i) {
        TSymbolRecord unused;
        const int32_t index =
            FindSymbolIndex(doc.symbols, doc.settings.symbolSize, unused, 0, names[i]);
        ASSERT_GE(index, 0) << i;
        ASSERT_TRUE(doc.PlaceSymbol(names[i], "", index, false, {view.left + stepX * (i + 1), y}));
    }
    doc.BuildVisibleList();
    const int32_t fan = doc.Count() - 1;
    auto symbol = [&](int32_t i) { return static_cast<TGUO*>(doc.Figure(i)); };
    auto box = [&](int32_t i) {
        const TRect r = doc.WorldRectToScreen(symbol(i)->box);
        return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized();
    };
    auto shown = [&](int32_t i) { return p->IDrawWinForm->PlanImage().copy(box(i)); };
    auto crossed = [&](int32_t i) {
        // Red in the four corners of a square about the box's middle, at
        // least 8 pixels wide however small the symbol is drawn.
        const QImage image = p->IDrawWinForm->PlanImage().convertToFormat(QImage::Format_RGB32);
        const QRect r = box(i);
        const int half = std::max({4, r.width() / 2, r.height() / 2});
        const QPoint m = r.center();
        for (QPoint d : {QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1), QPoint(1, 1)})
            if (image.pixel(m + d * half) != qRgb(255, 0, 0)) return false;
        return true;
    };
    W().RedrawPlan();
    const QImage fanBefore = shown(fan);
    ASSERT_FALSE(crossed(fan - 2));
    ASSERT_FALSE(crossed(fan - 1));

    dialogs.Answer(File("IMG/fan.uo"));
    EditorCommand("FUOFileOpen");
    ASSERT_EQ(1, doc.symbols.Count());
    EXPECT_EQ(0, symbol(fan)->symbolIndex);
    EXPECT_EQ(fanBefore, shown(fan));
    for (int32_t i : {fan - 2, fan - 1}) {
        EXPECT_EQ(-1, symbol(i)->symbolIndex) << i;
        EXPECT_TRUE(crossed(i)) << i;
    }

    dialogs.Answer(File("symbols"), 1);
    Trigger("SaveAs1");
    // The drawing's own symbol text lacks two of its symbols, and says so.
    messages.Expect(mrOk, "Не найдены условные обозначения");
    Open("symbols.grh");
    ASSERT_EQ(File("symbols.grh"), W().CurrentFileName());
    ASSERT_EQ(fan + 1, doc.Count());
    EXPECT_EQ(names[0], symbol(fan - 2)->placed.name);
    EXPECT_TRUE(crossed(fan - 2));
    EXPECT_TRUE(crossed(fan - 1));
    EXPECT_EQ(0, symbol(fan)->symbolIndex);
}

} // namespace
