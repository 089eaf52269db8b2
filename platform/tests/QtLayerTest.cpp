#include "platform/Cp1251.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/testing/QtTestDesk.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace arv;

namespace {
// A grid laid out as the network tables are: two heading rows, no fixed column.
void MakeTable(TStringGridModel& g) {
    g.SetColCount(3);
    g.SetRowCount(5);
    g.SetFixedRows(2);
    g.SetFixedCols(0);
    g.SetCells(0, 0, Ru("Номер"));
    g.SetCells(0, 1, Ru("ветви"));
    g.SetCells(0, 2, "1");
    g.SetCells(1, 3, "2,5");
}
} // namespace

TEST(QtText, ConvertsAtTheBoundary) {
    EXPECT_EQ(QString::fromUtf8("Расход м3/с №"), ToQString(Ru("Расход м3/с №")));
    EXPECT_EQ(QString::fromUtf8("?"), ToQString(Ru("³")));
    EXPECT_EQ(Ru("Ёлка"), FromQString(QString::fromUtf8("Ёлка")));
    EXPECT_EQ("?", FromQString(QString::fromUtf8("漢")));
}

TEST(QtServices, FilterStringsBecomeQtNameFilters) {
    QString selected;
    QString f = QtFilterFromPlatformFilter(Ru("Схема|*.grh|Все файлы|*.*"), 2, &selected);
    EXPECT_EQ(QString::fromUtf8("Схема (*.grh *.GRH);;Все файлы (*)"), f);
    EXPECT_EQ(QString::fromUtf8("Все файлы (*)"), selected);
}

TEST(GridView, ShowsHeadingsAndCellsOfTheModel) {
    TStringGridModel g;
    MakeTable(g);
    TGridView view(g);
    auto* m = view.model();
    EXPECT_EQ(3, m->rowCount());
    EXPECT_EQ(3, m->columnCount());
    EXPECT_EQ(QString::fromUtf8("Номер\nветви"),
              m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString());
    EXPECT_EQ("1", m->data(m->index(0, 0), Qt::DisplayRole).toString());
    EXPECT_EQ("2,5", m->data(m->index(1, 1), Qt::DisplayRole).toString());
    // Model changes show at once; rows beyond the count appear when it grows.
    g.SetCells(2, 6, "hidden");
    g.SetRowCount(7);
    EXPECT_EQ(5, m->rowCount());
    EXPECT_EQ("hidden", m->data(m->index(4, 2), Qt::DisplayRole).toString());
    g.SetRowCount(2);
    EXPECT_EQ(0, m->rowCount());
}

TEST(GridView, EditsReachTheModelAndKeysReachItsHandlers) {
    TStringGridModel g;
    MakeTable(g);
    TGridView view(g);
    view.resize(400, 300);
    view.show();
    std::string edited;
    g.OnSetEditText = [&](TStringGridModel&, int c, int r, const std::string& t) {
        edited = std::to_string(c) + ":" + std::to_string(r) + "=" + t;
    };
    EXPECT_TRUE(
        view.model()->setData(view.model()->index(2, 1), QString::fromUtf8("Штрек"), Qt::EditRole));
    EXPECT_EQ(Ru("Штрек"), g.Cells(1, 4));
    EXPECT_EQ("1:4=" + Ru("Штрек"), edited);

    std::vector<int> keys;
    std::string chars;
    g.OnKeyDown = [&](TStringGridModel&, int& k, TShiftState) { keys.push_back(k); };
    g.OnKeyPress = [&](TStringGridModel&, char& c) {
        chars += c;
        if (c == '\r') c = 0;
    };
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_F7);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_GE(keys.size(), 3u);
    EXPECT_EQ(VK_F7, keys[0]);
    EXPECT_EQ('C', keys[1]);
    EXPECT_EQ(std::string("\x03\r"), chars);

    // The current cell follows the model and the view.
    g.SetCurrent(2, 3);
    EXPECT_EQ(view.FromGrid(2, 3), view.currentIndex());
    view.setCurrentIndex(view.model()->index(2, 0));
    EXPECT_EQ(0, g.Col());
    EXPECT_EQ(4, g.Row());
}

TEST(GridView, WindowsFaceNamesTakeTheirMetricSubstitutes) {
    TStringGridModel g;
    MakeTable(g);
    g.SetFont("Times New Roman", 10);
    TGridView view(g);
    EXPECT_EQ(QString("Liberation Serif"), QFontInfo(view.font()).family());
    g.SetFont("Courier New", 9);
    EXPECT_EQ(QString("Liberation Mono"), QFontInfo(view.font()).family());
}

TEST(GridView, RefusedCellSelectionKeepsTheCurrentCell) {
    TStringGridModel g;
    MakeTable(g);
    TGridView view(g);
    g.SetCurrent(0, 2);
    g.OnSelectCell = [](TStringGridModel&, int c, int, bool& can) { can = c != 2; };
    view.setCurrentIndex(view.model()->index(1, 2));
    EXPECT_EQ(0, g.Col());
    EXPECT_EQ(view.FromGrid(0, 2), view.currentIndex());
}

int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {
QStringList qtWarnings;
void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg) qtWarnings << text;
}
} // namespace

// Typing into a cell and pressing Enter stores the text once, and Qt has
// nothing to complain about the editor.
TEST(GridView, TypingAndEnterCommitWithoutWarnings) {
    TStringGridModel g;
    MakeTable(g);
    TGridView view(g);
    view.resize(400, 300);
    view.show();
    int edits = 0;
    std::string last;
    g.OnSetEditText = [&](TStringGridModel&, int, int, const std::string& t) {
        ++edits;
        last = t;
    };
    g.SetCurrent(1, 2);
    view.setFocus();
    qtWarnings.clear();
    QtMessageHandler old = qInstallMessageHandler(CollectWarnings);
    // The first key opens the cell editor; the rest go into it.
    auto type = [&](const char* text, Qt::Key enter) {
        QTest::keyClick(&view, text[0]);
        auto* editor = view.findChild<QLineEdit*>();
        ASSERT_NE(nullptr, editor);
        QTest::keyClicks(editor, text + 1);
        QTest::keyClick(editor, enter);
        QApplication::processEvents();
        // The closed editor goes only when deferred deletes run.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    type("42", Qt::Key_Return);
    EXPECT_EQ("42", g.Cells(1, 2));
    type("7", Qt::Key_Enter);
    qInstallMessageHandler(old);
    EXPECT_TRUE(qtWarnings.isEmpty()) << qtWarnings.join("; ").toStdString();
    EXPECT_EQ("7", g.Cells(1, 2));
    EXPECT_EQ("7", last);
    EXPECT_GE(edits, 2);
}

// A fixed number column keeps its width and shows its heading.
TEST(GridView, FixedColumnKeepsItsWidthAndHeading) {
    TStringGridModel g;
    MakeTable(g);
    g.SetColWidths(0, 64);
    g.SetFixedCols(1);
    TGridView view(g);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(64, view.verticalHeader()->width());
    auto* heading = view.findChild<QLabel*>("FixedColumnHeading");
    ASSERT_NE(nullptr, heading);
    EXPECT_TRUE(heading->isVisible());
    EXPECT_EQ(QString::fromUtf8("Номер\nветви"), heading->text());
    g.SetFixedCols(0);
    EXPECT_FALSE(heading->isVisible());
}
