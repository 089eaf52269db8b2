// The data window as a window, headless: every menu item as delivered, the
// tool bar, the pages, and the form passing the user's actions on.
#include "calc/ui/Form1Window.h"
#include "calc/ui/NasDlgWindow.h"

#include "DataWindowFixture.h"
#include "SampleNetwork.h"

#include "calc/model/FlowUnits.h"
#include "calc/testing/SampleMine.h"

#include "platform/IniFile.h"
#include "platform/qt/GridView.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

using namespace arv;

namespace {

struct TExpectedItem {
    const char* caption;
    const char* shortCut;
    bool hidden;
};

struct TExpectedMenu {
    const char* caption;
    bool hidden;
    std::vector<TExpectedItem> items;
};

// "Word" and "Excel" hold the same items.
const std::vector<TExpectedItem> kOfficeItems = {
    {"Общая таблица", "", false},
    {"Потребители", "", false},
    {"Вентиляторы", "", false},
    {"Давление", "", false},
    {"Устойчивость для 1 ветви", "", false},
    {"Сводный расчет устойчивости схемы для вент.устройств", "", false},
    {"Сводный расчет устойчивости схемы при пожарах", "", false}};

// The menus as the window is delivered.
const std::vector<TExpectedMenu> kMenus = {
    {"Данные",
     false,
     {{"Новые", "", true},
      {"Загрузить", "F3", true},
      {"Сохранить", "F2", true},
      {"Сохранить как...", "", true},
      {"Загрузить нач.данные", "", true},
      {"Сохр.данных  рев.реж.", "", true},
      {"База вентиляторов", "", false},
      {"База вент. устройств", "", false},
      {"Закрыть", "", true}}},
    {"Расчеты",
     false,
     {{"Естест.распределение", "F5", false},
      {"Опт.распределение", "", false},
      {"Идеальн.распределение", "", false},
      {"Расчет концентраций газа", "", false},
      {"Расчет тепловой депрессии", "", false},
      {"Расчет естественной тяги", "", false},
      {"Расчет сопротивлений", "", false},
      {"Расчет сопротивления окна", "", false},
      {"Отказ вентиляционного устройства", "", false},
      {"Сводный расчет устойчивости для вент.устройств", "", false},
      {"Пожар в выработке", "", false},
      {"Сводный расчет устойчивость при пожарах", "", false},
      {"Расчет времени распр. газов", "", false}}},
    {"Рев.реж",
     true,
     {{"Подготовка данных", "", false},
      {"Расчет ест.распределения", "", false},
      {"Анализ устойч. при пожаре", "", false},
      {"Расчет концентраций газа", "", false},
      {"Расчет времени распр.пожара", "", false}}},
    {"Отчет", false, {}},
    {"Word", false, kOfficeItems},
    {"Excel", false, kOfficeItems},
    {"Настройка", false, {}},
    {"Сервис",
     false,
     {{"Импорт ИД из ДОС", "", true},
      {"Импорт из Тровел", "", false},
      {"Импорт из Тровел 2", "", false},
      {"Импорт библ.вент.", "", true},
      {"Импорт из Орнал (dbf)", "", true},
      {"Импорт схемы Tresk", "", true},
      {"Экспорт в Word, Excel", "", false},
      {"Word", "", false},
      {"Excell", "", false},
      {"Калькулятор", "Ctrl+F5", false},
      {"Поиск по колонке", "F4", false},
      {"Сортировка по колонке", "", false},
      {"График вентилятора", "", false},
      {"Схема вентиляции", "", false}}},
    {"Справка",
     false,
     {{"Справка", "", false}, {"О программе", "", false}, {"Страница в Интернете", "", false}}},
};

struct Form1Test : test::DataWindowTest {
    Form1Test() { drawing.fileName = File("mine.grh"); }
};

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST_F(Form1Test, MenusAreAsDelivered) {
    TForm1 form(w);
    QList<QAction*> top = form.menuBar()->actions();
    ASSERT_EQ(kMenus.size(), static_cast<size_t>(top.size()));
    for (size_t m = 0; m < kMenus.size(); ++m) {
        const TExpectedMenu& e = kMenus[m];
        QAction* a = top[static_cast<int>(m)];
        SCOPED_TRACE(e.caption);
        EXPECT_EQ(U(e.caption), a->text());
        EXPECT_EQ(!e.hidden, a->isVisible());
        EXPECT_EQ(!e.hidden, a->isEnabled());
        QList<QAction*> items = a->menu() ? a->menu()->actions() : QList<QAction*>();
        ASSERT_EQ(e.items.size(), static_cast<size_t>(items.size()));
        for (size_t i = 0; i < e.items.size(); ++i) {
            const TExpectedItem& x = e.items[i];
            QAction* item = items[static_cast<int>(i)];
            SCOPED_TRACE(x.caption);
            EXPECT_EQ(U(x.caption), item->text());
            EXPECT_EQ(QString::fromLatin1(x.shortCut), item->shortcut().toString());
            EXPECT_EQ(!x.hidden, item->isVisible());
            EXPECT_EQ(!x.hidden, item->isEnabled());
        }
    }
    // The model agrees with the window: the same items in the same order.
    size_t n = 0;
    for (const TMenu& menu : w.Menus()) n += 1 + menu.Items.size();
    size_t expected = 0;
    for (const auto& m : kMenus) expected += 1 + m.items.size();
    EXPECT_EQ(expected, n);
}

TEST_F(Form1Test, ToolBarPagesAndFields) {
    calc.NetworkDataText = test::SampleNetworkText();
    TForm1 form(w);
    EXPECT_EQ(&form, Form1);
    EXPECT_EQ(U("Arvalen  Тальвер"), form.windowTitle());
    EXPECT_EQ(QSize(400, 400), form.size());

    auto* bar = form.findChild<QToolBar*>("ToolBar");
    ASSERT_NE(nullptr, bar);
    const char* hints[] = {"Расчет ест.распр.",
                           "калькулятор",
                           "Фиксирование левой колонки",
                           "Поиск в текущей колонке",
                           "График работы вентиляторов",
                           "Запустить Word",
                           "Запустить Excel",
                           "Сортировка по колонке",
                           "Схема вентиляции"};
    ASSERT_EQ(9, bar->actions().size());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(U(hints[i]), bar->actions()[i]->toolTip());
    EXPECT_EQ("W", bar->actions()[5]->text());
    EXPECT_EQ("X", bar->actions()[6]->text());
    bar->actions()[2]->trigger();
    EXPECT_EQ(1, t.TablDan.FixedCols());

    QTabWidget* pages = form.Notebook();
    const char* captions[] = {"Общие",    "Сеть",         "Вентиляторы", "Потребители",
                              "Давление", "Устойчивость", "   ",         "Узлы"};
    ASSERT_EQ(8, pages->count());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(U(captions[i]), pages->tabText(i));
    EXPECT_EQ(PageNetwork, pages->currentIndex());

    // Fields show the data and take what is typed.
    auto* name = form.findChild<QLineEdit*>("NameSh");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(U("Шахта"), name->text());
    EXPECT_TRUE(form.findChild<QLineEdit*>("UzPov")->isReadOnly());
    EXPECT_EQ("1;25;", form.findChild<QLineEdit*>("UzPov")->text());
    EXPECT_TRUE(form.findChild<QLineEdit*>("NameVarAv")->isHidden());
    name->setFocus();
    name->selectAll();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, U("Ю"));
    QApplication::sendEvent(name, &press);
    EXPECT_EQ(Ru("Ю"), t.NameSh);

    // A command that changes the page moves the notebook.
    pages->setCurrentIndex(PageConsumers);
    EXPECT_EQ(PageConsumers, w.ActivePage());
    t.GotoBranchRow(0, 2);
    w.FormActivate();
    EXPECT_EQ(PageNetwork, pages->currentIndex());
    EXPECT_TRUE(form.GridView(t.TablDan)->isVisibleTo(&form));
    EXPECT_FALSE(form.GridView(t.TablID)->isVisibleTo(&form));

    // Reports appear in their memos.
    t.MemoDav.Add(Ru("Д А В Л Е Н И Е"));
    form.Refresh();
    EXPECT_EQ(U("Д А В Л Е Н И Е"), form.findChild<QPlainTextEdit*>("MemoDav")->toPlainText());
}

TEST_F(Form1Test, TypePickerOpensOnDoubleClickAndWritesOnEnter) {
    TForm1 form(w);
    form.show();
    t.TablDan.SetRowCount(3);
    t.TablDan.SetCurrent(3, 2);
    t.TablDan.DblClick();
    auto* list = form.findChild<QListWidget*>("VybTip");
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(10, list->count());
    list->setCurrentRow(6);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_EQ(Ru("ОЗ"), t.TablDan.Cells(3, 2));
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(t.TablDan.Modified);
}

TEST_F(Form1Test, ClosingStoresThePlaceAndTheSettings) {
    TIniFile(SettingsFileName()).WriteInteger("Form1", "Left", 50);
    {
        TForm1 form(w);
        form.show();
        EXPECT_EQ(50, form.x());
        form.resize(700, 500);
        form.close();
    }
    TIniFile ini(SettingsFileName());
    EXPECT_EQ(700, ini.ReadInteger("Form1", "Widhs", 0));
    EXPECT_EQ(500, ini.ReadInteger("Form1", "Height", 0));
    EXPECT_EQ(nullptr, Form1);
}

namespace {

QAction* MenuItem(TForm1& form, const char* menu, const char* item) {
    for (QAction* top : form.menuBar()->actions())
        if (top->text() == U(menu) && top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->text() == U(item)) return a;
    return nullptr;
}

} // namespace

// The fire run splits the burning branch for its own work (a pseudo-branch
// and node 2001); the "Общие" page still shows the sample's 14 branches and
// 14 nodes, as after the natural run.
TEST_F(Form1Test, GeneralPageCountsTheNetworkWhateverTheRun) {
    TForm1 form(w);
    test::BuildSampleMine(t);
    auto* branches = form.findChild<QLineEdit*>("BranchCount");
    auto* nodes = form.findChild<QLineEdit*>("NodeCount");
    ASSERT_NE(nullptr, branches);
    ASSERT_NE(nullptr, nodes);

    MenuItem(form, "Расчеты", "Естест.распределение")->trigger();
    EXPECT_EQ("14", branches->text());
    EXPECT_EQ("14", nodes->text());

    const int inclined = FirstDataRow + 10;
    t.TablDan.SetCells(18, inclined, "5");
    t.TablDan.SetCurrent(0, inclined);
    messages.Expect(mrYes, "Пожар в ветви 11 Уклон вспомогательный Расчитать? ");
    MenuItem(form, "Расчеты", "Пожар в выработке")->trigger();
    EXPECT_EQ(messages.PendingExpectations(), 0u);
    EXPECT_EQ('P', calc.CalcOptions[2]);
    EXPECT_EQ(16, calc.BranchWorkCount + 1) << "the work counts keep the pseudo-branch";
    EXPECT_EQ("14", branches->text());
    EXPECT_EQ("14", nodes->text());
}

// A switch of the flow unit in "Настройка" keeps what every flow means: the
// required flows are written in the new unit, and F5 gives the sample's
// flows in m3/s as before, in either unit and back.
TEST_F(Form1Test, FlowUnitSwitchKeepsEveryFlow) {
    TForm1 form(w);
    auto* dialog = new TNasDlg(nasDlg, calc.CalcOptions, t, w.WindowSettings(), &form);
    form.SetSettingsDialog(dialog);
    test::BuildSampleMine(t);
    auto naturalRun = [&] {
        MenuItem(form, "Расчеты", "Естест.распределение")->trigger();
        EXPECT_EQ(0, calc.CalcErrorFlag);
        return std::vector<double>(calc.BranchFlow.begin(), calc.BranchFlow.begin() + 15);
    };
    auto switchTo = [&](const char* unit) {
        t.TablDan.Modified = false;
        form.Action("Nastr")->trigger();
        for (auto* b : dialog->findChildren<QRadioButton*>())
            if (b->text() == U(unit)) b->click();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        EXPECT_TRUE(t.TablDan.Modified);
    };
    const int face = FirstDataRow + 5; // "Лава 2", fixed at 6 m3/s
    const std::vector<double> unswitched = naturalRun();
    switchTo("м3/мин");
    EXPECT_EQ("360", t.TablDan.Cells(10, face));
    EXPECT_EQ(FlowTextInUnit(unswitched[10], 60), t.TablVen.Cells(6, FirstDataRow));
    EXPECT_EQ(Ru("воздуха, м3/мин"), t.TablVenRev.Cells(6, 1));
    EXPECT_EQ(unswitched, naturalRun());
    switchTo("м3/с");
    EXPECT_EQ("6", t.TablDan.Cells(10, face));
    EXPECT_EQ(unswitched, naturalRun());
    EXPECT_EQ(drawing.resultsWritten, 5);

    // A typed flow the column's form cannot hold keeps its decimals.
    t.TablDan.SetCells(10, face, "0,125");
    switchTo("м3/мин");
    EXPECT_EQ("7,5", t.TablDan.Cells(10, face));
    switchTo("м3/с");
    EXPECT_EQ("0,125", t.TablDan.Cells(10, face));
}
