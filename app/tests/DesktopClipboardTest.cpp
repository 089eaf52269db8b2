// Paste on a real X server (xvfb-run, the xcb platform): only there does a
// clipboard that nobody owns reach the text editors as it does on a desktop
// after log-in, or once the program that copied has ended. The real program
// on the sample drawing, with every window that edits text open.
#include "app/ui/ProgramStart.h"
#include "app/ui/SmallWindowsUi.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/DataWindowController.h"
#include "platform/Cp1251.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextEditors.h"
#include "platform/testing/QtTestDesk.h"
#include "platform/testing/ScriptedServices.h"
#include "reports/ui/OtchetRE.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace arv;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The widget of an editor that takes the mouse.
QWidget* MouseTarget(QWidget* w) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) return area->viewport();
    return w;
}

QString TextOf(QWidget* w) {
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->toPlainText();
    if (auto* e = qobject_cast<QTextEdit*>(w)) return e->toPlainText();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return {};
}

void PasteCommand(QWidget* w) {
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->paste();
    if (auto* e = qobject_cast<QTextEdit*>(w)) e->paste();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->paste();
}

// The paste item of the editor's own context menu, chosen (a disabled item
// does nothing, as for the user).
void ContextMenuPaste(QWidget* w) {
    std::unique_ptr<QMenu> menu;
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) menu.reset(e->createStandardContextMenu());
    if (auto* e = qobject_cast<QTextEdit*>(w)) menu.reset(e->createStandardContextMenu());
    if (auto* e = qobject_cast<QLineEdit*>(w)) menu.reset(e->createStandardContextMenu());
    ASSERT_TRUE(menu);
    // The text editors name the item; a line edit's has Qt's own caption.
    const QString caption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* a : menu->actions())
        if (a->objectName() == "edit-paste" || a->text().startsWith(caption)) return a->trigger();
    FAIL() << "no paste item in the context menu of " << w->objectName().toStdString();
}

// Shows the widget: its window, and the page of every notebook it is on.
void Reveal(QWidget* w) {
    w->window()->show();
    for (QWidget* child = w; child && !child->isWindow(); child = child->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        if (!stack) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(child);
        else
            stack->setCurrentWidget(child);
    }
    QApplication::processEvents();
}

struct DesktopClipboardTest : test::SampleProgramTest {
    DesktopClipboardTest() {
        p = test::StartOnSample(folder, 1000, 700);
        // The user at work: the data window, the report and the symbol
        // editor open beside the plan.
        p->Form1->show();
        ReportEditorHost().ShowEditor();
        // Wide enough for its whole tool bar.
        Report().resize(1000, 500);
        Trigger("MEditUO");
    }
    ~DesktopClipboardTest() override {
        // Nothing is left for a clipboard manager to take over at the end.
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
        QApplication::processEvents();
        p.reset();
    }
    QPlainTextEdit* Memo(const char* name) {
        return p->Form1->findChild<QPlainTextEdit*>(QLatin1String(name));
    }
    // The three memos, the symbol editor and the report editor.
    std::vector<QWidget*> TextEditors() {
        std::vector<QWidget*> editors;
        for (QWidget* w : QApplication::allWidgets())
            if ((qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w)) &&
                !w->property("readOnly").toBool())
                editors.push_back(w);
        return editors;
    }
    std::vector<QLineEdit*> LineEdits() {
        std::vector<QLineEdit*> edits;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* e = qobject_cast<QLineEdit*>(w); e && !e->isReadOnly()) edits.push_back(e);
        return edits;
    }
    // Report editor's tool button "Вставить из буфера" and Правка → Вставить.
    void ReportPasteCommands() {
        QToolButton* button = Report().Button("PasteButton");
        ASSERT_TRUE(button);
        button->click();
        QAction* item = nullptr;
        for (QAction* menu : Report().menuBar()->actions())
            if (menu->text() == U("&Правка"))
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == U("&Вставить")) item = a;
        ASSERT_TRUE(item);
        item->trigger();
    }
};

// Every way to paste into every editable text widget while no program owns
// the clipboard or the primary selection: nothing is inserted, and the
// program is still there with its drawing, tables, report and symbol text.
TEST_F(DesktopClipboardTest, PasteWithNobodyOwningTheClipboardLeavesEveryDocument) {
    ASSERT_EQ("xcb", QGuiApplication::platformName().toStdString());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    clipboard->clear(QClipboard::Selection);
    // The X server has no owner to ask: a source without formats.
    for (QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection}) {
        QElapsedTimer waited;
        waited.start();
        while (clipboard->mimeData(mode) && !clipboard->mimeData(mode)->formats().isEmpty() &&
               waited.elapsed() < 5000)
            QTest::qWait(20);
        ASSERT_TRUE(clipboard->mimeData(mode));
        ASSERT_TRUE(clipboard->mimeData(mode)->formats().isEmpty());
    }

    // Work of each kind that a crash would lose.
    Memo("MemoPotr")->setPlainText("Consumers memo");
    Memo("MemoDav")->setPlainText("Pressure memo");
    Memo("MemoUst")->setPlainText("Stability memo");
    QTest::keyClicks(Report().Editor(), "Report line");
    FormEditUO()->EditorUO()->appendPlainText("B;Typed;");
    TNetworkTables& t = DataWindowController().Tables();
    const std::string branches = t.TablDan.Cells(15, 2);
    const int figures = p->DrawWin->Doc().Count();

    const std::vector<QWidget*> editors = TextEditors();
    // Three memos, the symbol editor, the report editor: each one guarded.
    ASSERT_EQ(5u, editors.size());
    for (QWidget* w : editors)
        EXPECT_TRUE(qobject_cast<TPlainTextEditor*>(w) || qobject_cast<TRichTextEditor*>(w))
            << w->objectName().toStdString();
    std::vector<QWidget*> all = editors;
    for (QLineEdit* e : LineEdits()) all.push_back(e);
    std::vector<QString> before;
    for (QWidget* w : all) before.push_back(TextOf(w));

    for (QWidget* w : all) {
        Reveal(w);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::mouseClick(MouseTarget(w), Qt::MiddleButton, {}, QPoint(5, 5));
        PasteCommand(w);
        ContextMenuPaste(w);
        QApplication::processEvents();
    }
    ReportPasteCommands();
    QApplication::processEvents();

    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(before[i], TextOf(all[i])) << all[i]->objectName().toStdString();
    EXPECT_EQ(std::vector<std::string>{"Consumers memo"}, t.MemoPotr.Lines);
    EXPECT_TRUE(Report().Editor()->toPlainText().contains("Report line"));
    EXPECT_TRUE(Report().Modified());
    EXPECT_TRUE(FormEditUO()->EditorUO()->toPlainText().endsWith("B;Typed;"));
    EXPECT_EQ(branches, t.TablDan.Cells(15, 2));
    EXPECT_EQ(figures, p->DrawWin->Doc().Count());
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
}

// Text on the clipboard is pasted by each way into each text editor: plain
// text into the memos and the symbol editor, rich text into the report.
TEST_F(DesktopClipboardTest, TextOnTheClipboardIsPastedIntoEachEditor) {
    ASSERT_EQ("xcb", QGuiApplication::platformName().toStdString());
    QClipboard* clipboard = QGuiApplication::clipboard();
    const std::vector<QWidget*> editors = TextEditors();
    ASSERT_EQ(5u, editors.size());
    for (QWidget* w : editors) {
        const std::string name = w->objectName().toStdString();
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->clear();
        if (auto* e = qobject_cast<QTextEdit*>(w)) e->clear();
        w->setFocus();
        clipboard->setText(U("Ключ"));
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        clipboard->setText(U("-Вставка"));
        QTest::keyClick(w, Qt::Key_Insert, Qt::ShiftModifier);
        clipboard->setText(U("-Команда"));
        PasteCommand(w);
        clipboard->setText(U("-Меню"));
        ContextMenuPaste(w);
        clipboard->setText(U("-Выделение"), QClipboard::Selection);
        QTest::mouseClick(MouseTarget(w), Qt::MiddleButton, {}, QPoint(2000, 2000));
        QApplication::processEvents();
        EXPECT_EQ(U("Ключ-Вставка-Команда-Меню-Выделение"), TextOf(w)) << name;
    }
    // Line edits take text from the clipboard as before the guard.
    int lineEdits = 0;
    for (QLineEdit* e : LineEdits()) {
        if (e->validator() || !e->inputMask().isEmpty()) continue;
        Reveal(e);
        if (!e->isVisible() || !e->isEnabled()) continue;
        ++lineEdits;
        e->setFocus();
        e->clear();
        clipboard->setText("12");
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        clipboard->setText("3", QClipboard::Selection);
        QTest::mouseClick(e, Qt::MiddleButton, {}, QPoint(e->width() - 2, e->height() / 2));
        EXPECT_EQ("123", e->text().toStdString()) << e->objectName().toStdString();
    }
    EXPECT_GT(lineEdits, 0);
    // The memos' models take what was pasted.
    EXPECT_EQ(std::vector<std::string>{Ru("Ключ-Вставка-Команда-Меню-Выделение")},
              DataWindowController().Tables().MemoPotr.Lines);

    // Rich text keeps its bold in the report and comes as plain text into
    // a memo; the report's own paste commands insert it too.
    auto* rich = new QMimeData;
    rich->setHtml(U("<b>Жирный</b> текст"));
    rich->setText(U("Жирный текст"));
    clipboard->setMimeData(rich);
    QTextEdit* report = Report().Editor();
    report->clear();
    ReportPasteCommands();
    EXPECT_EQ(U("Жирный текстЖирный текст"), report->toPlainText());
    QTextCursor bold(report->document());
    bold.setPosition(2);
    EXPECT_EQ(QFont::Bold, bold.charFormat().fontWeight());
    QTextCursor plain(report->document());
    plain.setPosition(9);
    EXPECT_NE(QFont::Bold, plain.charFormat().fontWeight());
    QPlainTextEdit* memo = Memo("MemoDav");
    memo->clear();
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(U("Жирный текст"), memo->toPlainText());
}

} // namespace

// The platform is the X server the test runs under (xvfb-run).
int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    QApplication app(argc, argv);
    InstallDesktopLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
