// The property grid's window, driven by Qt key and mouse events: typing
// into a cell, Escape, the pick list, the caption buttons and a character
// typed outside Latin-1.
#include "app/ui/RxDrawGridWidget.h"
#include "platform/Cp1251.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace arv;

namespace {

// Heading row and caption column as in the inspector; value cells are
// x = 96 .. 166, row r at y = 19r .. 19r + 18.
struct TGridWidgetFixture : ::testing::Test {
    TRxDrawGrid grid{"GridProp"};
    std::vector<std::string> values{"head", "12", "x", "A", "", "last"};
    std::vector<std::pair<int, std::string>> setTexts;
    std::string keys, offered;
    std::vector<std::pair<int, int>> clicks;
    int cancels = 0;
    std::unique_ptr<QWidget> top;
    TRxDrawGridWidget* view = nullptr;

    void SetUp() override {
        grid.SetColCount(2);
        grid.SetRowCount(static_cast<int>(values.size()));
        grid.SetColWidths(0, 95);
        grid.SetColWidths(1, 70);
        grid.SetFixedButtons(true);
        grid.MessageBeep = [] {};
        grid.OnGetEditText = [this](TRxDrawGrid&, int, int row, std::string& v) {
            v = values[row];
        };
        grid.OnSetEditText = [this](TStringGridModel&, int, int row, const std::string& t) {
            setTexts.emplace_back(row, t);
        };
        grid.OnKeyPress = [this](TStringGridModel&, char& k) { keys += k; };
        grid.OnAcceptEditKey = [this](TRxDrawGrid&, char& k) {
            offered += k;
            return true;
        };
        grid.OnFixedCellClick = [this](TRxDrawGrid&, int c, int r) { clicks.emplace_back(c, r); };
        grid.OnCancelEdit = [this](TRxDrawGrid&) { ++cancels; };
        grid.SetCurrent(1, 1);
    }
    void Show(TGridOptions extra) {
        top = std::make_unique<QWidget>();
        top->resize(220, 160);
        view = new TRxDrawGridWidget(grid, top.get());
        view->setGeometry(0, 0, 200, 150);
        grid.SetOptions(grid.Options() | extra);
        top->show();
        view->setFocus();
        QApplication::processEvents();
    }
    QLineEdit* Editor() { return view->Editor(); }
    void TypeUnicode(QWidget* w, const QString& text) {
        for (QChar ch : text) {
            QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &e);
        }
    }
};

} // namespace

TEST_F(TGridWidgetFixture, TypingIntoTheInspectorPassesEachChangeAndEnter) {
    grid.OnGetEditMask = [](TRxDrawGrid&, int, int row, std::string& m) {
        if (row == 1) m = "99999;0; ";
    };
    Show(goEditing | goAlwaysShowEditor);
    ASSERT_TRUE(Editor()->isVisible());
    EXPECT_EQ(QRect(96, 19, 70, 18), Editor()->geometry());
    EXPECT_EQ("12", Editor()->text().toStdString());
    EXPECT_EQ(QString("00000"), Editor()->inputMask()); // Qt leaves out a blank ' '

    // The selected text is replaced; the mask takes no letter.
    QTest::keyClicks(Editor(), "3a4");
    ASSERT_FALSE(setTexts.empty());
    EXPECT_EQ((std::pair<int, std::string>{1, "34"}), setTexts.back());
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ('\r', keys.back());

    // Down moves the editor to the next row, passing the text on.
    setTexts.clear();
    QTest::keyClick(Editor(), Qt::Key_Down);
    EXPECT_EQ(2, grid.Row());
    EXPECT_EQ((std::pair<int, std::string>{1, "34"}), setTexts.front());
    EXPECT_EQ("x", Editor()->text().toStdString());
    EXPECT_TRUE(Editor()->inputMask().isEmpty());
    EXPECT_EQ(QRect(96, 38, 70, 18), Editor()->geometry());
}

TEST_F(TGridWidgetFixture, CyrillicIsOfferedToTheKeyFilterAsCp1251) {
    Show(goEditing | goAlwaysShowEditor);
    TypeUnicode(Editor(), QString::fromUtf8("Жж"));
    EXPECT_EQ(Ru("Жж"), offered);
    EXPECT_EQ(QString::fromUtf8("Жж"), Editor()->text());
    EXPECT_EQ((std::pair<int, std::string>{1, Ru("Жж")}), setTexts.back());

    // A refused character does not reach the text.
    grid.OnAcceptEditKey = [](TRxDrawGrid&, char& k) { return k != 'q'; };
    QTest::keyClicks(Editor(), "qw");
    EXPECT_EQ(QString::fromUtf8("Жжw"), Editor()->text());
}

TEST_F(TGridWidgetFixture, EscapeCancelsAndTheOldValueComesBack) {
    Show(goEditing);
    view->setFocus();
    QApplication::processEvents();
    QTest::keyClick(view, Qt::Key_F2);
    ASSERT_TRUE(Editor()->isVisible());
    // F2 leaves nothing selected: typing goes on after the text.
    QTest::keyClicks(Editor(), "zz");
    EXPECT_EQ("12zz", Editor()->text().toStdString());
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(1, cancels);
    EXPECT_FALSE(Editor()->isVisible());
    EXPECT_TRUE(setTexts.empty());
    // Opened again, the editor shows the owner's unchanged value.
    QTest::keyClick(view, Qt::Key_F2);
    ASSERT_TRUE(Editor()->isVisible());
    EXPECT_EQ("12", Editor()->text().toStdString());
}

TEST_F(TGridWidgetFixture, PickListSelectsByKeysAndByMouse) {
    grid.OnGetEditStyle = [](TRxDrawGrid&, int, int row, TInplaceEditStyle& s) {
        if (row == 2) s = TInplaceEditStyle::iePickList;
    };
    grid.OnGetPicklist = [](TRxDrawGrid&, int, int, std::vector<std::string>& l) {
        l = {Ru("Одинарная"), Ru("Двойная"), "x", Ru("Пунктирная")};
    };
    Show(goEditing | goAlwaysShowEditor);
    QTest::keyClick(Editor(), Qt::Key_Down);
    ASSERT_EQ(2, grid.Row());
    TPopupListWidget* list = static_cast<TRxInplaceEditWidget*>(Editor())->PickListWidget();
    QTest::keyClick(Editor(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(4, list->count());
    EXPECT_EQ(2, list->currentRow()); // "x", the cell's text
    QTest::keyClick(Editor(), Qt::Key_Down);
    EXPECT_EQ(3, list->currentRow());
    EXPECT_EQ(2, grid.Row());
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QString::fromUtf8("Пунктирная"), Editor()->text());
    EXPECT_EQ((std::pair<int, std::string>{2, Ru("Пунктирная")}), setTexts.back());

    // A click on the drop-down button opens the list; a click on an item
    // takes it.
    int w = Editor()->width(), h = Editor()->height();
    QTest::mouseClick(Editor(), Qt::LeftButton, {}, QPoint(w - 3, h / 2));
    ASSERT_TRUE(list->isVisible());
    QRect item = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(QString::fromUtf8("Двойная"), Editor()->text());
}

TEST_F(TGridWidgetFixture, CaptionClickFiresFixedCellClick) {
    Show(goEditing | goAlwaysShowEditor);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, 25));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 1}}), clicks);
    // Released elsewhere: no click.
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(10, 25));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_EQ(1u, clicks.size());
    // The editor is back after the press.
    EXPECT_TRUE(Editor()->isVisible());
    // A press on another value cell moves there.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(120, 65));
    EXPECT_EQ(3, grid.Row());
    EXPECT_EQ("A", Editor()->text().toStdString());
}
