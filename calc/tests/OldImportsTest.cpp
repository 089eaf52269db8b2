// The imports of older data through the data window's commands: each reads
// a file made here into the tables, and damaged files change nothing.
#include "calc/files/OldImports.h"
#include "calc/window/OrnalImport.h"

#include "DataWindowFixture.h"

#include "platform/Cp866.h"
#include "platform/NumberFormat.h"

#include <shapefil.h>

using namespace arv;
using namespace arv::test;

namespace {

struct ImportTest : DataWindowTest {
    ImportTest() {
        Create();
        // Something of an earlier data set that a damaged file must leave alone.
        t.TablDan.SetRowCount(4);
        t.TablDan.SetCells(0, 2, "99");
        t.TablDan.SetCells(20, 2, "old");
        t.TablVen.SetRowCount(3);
        t.TablVen.SetCells(0, 2, "98");
        t.TablDan.Modified = t.TablVen.Modified = false;
    }
    std::vector<std::string> Row(TModGrid& g, int r, int cols) {
        std::vector<std::string> v;
        for (int c = 0; c < cols; ++c) v.push_back(Cp1251ToUtf8(g.Cells(c, r)));
        return v;
    }
    void ExpectUntouched() {
        EXPECT_EQ("99", t.TablDan.Cells(0, 2));
        EXPECT_EQ("old", t.TablDan.Cells(20, 2));
        EXPECT_EQ(4, t.TablDan.RowCount());
        EXPECT_EQ("98", t.TablVen.Cells(0, 2));
        EXPECT_EQ(3, t.TablVen.RowCount());
        EXPECT_FALSE(t.TablDan.Modified);
    }
    void ExpectDamaged(const std::string& fileName) {
        ASSERT_FALSE(messages.Shown().empty());
        EXPECT_NE(std::string::npos,
                  messages.Shown().back().text.find(Ru("Файл ") + fileName + Ru(" поврежден")))
            << Cp1251ToUtf8(messages.Shown().back().text);
    }
    const char* kReminder = "Не забудьте исправить номера узлов поверхности. Входы и выходы "
                            "должны иметь разные номера";
};

// Fixed columns of the ".dat" branch lines.
std::string DatLine(const char* n, const char* b, const char* e, const char* r,
                    const char* q = "") {
    char line[64];
    std::snprintf(line, sizeof line, "   %3s %3s %3s %8s  %6s", n, b, e, r, q);
    return line;
}

} // namespace

TEST_F(ImportTest, DosFilesWithTheirFanFileAndCp866Names) {
    calc.CalcOptions.FlowUnit = 60;
    // Numbers run on over a line end in the second record; its name is empty.
    std::string ids = Cp1251ToCp866(Ru("Шахта Северная\r\n"
                                       "1 1 2 0.0125 120 12.5 0.01 0 2.5 Ствол главный северный\r\n"
                                       "2 2 3 0.5 0 8\r\n"
                                       "0.02 1.5 0\r\n"
                                       "\r\n")) +
                      "\x1A" + "3 3 4 junk after the end of the file";
    std::string name = Write("mine.ids", ids);
    Write("MINE.IDV", "1 3 -0.5 0 120.25\r\n\r\n4 1 0 -0.001 60\r\n");
    dialogs.Answer(name);
    w.ImpIdClick();

    EXPECT_EQ(4, t.TablDan.RowCount());
    // Length, section and coefficient give the resistance the calculation
    // uses (8.7e-7, shown rounded) in place of the one read.
    EXPECT_EQ((std::vector<std::string>{"1", "1", "2", "", "0", "120", "12,50", "0,01", "", "",
                                        "150,00"}),
              Row(t.TablDan, 2, 11));
    EXPECT_EQ(" Ствол главный се", Cp1251ToUtf8(t.TablDan.Cells(15, 2)));
    EXPECT_EQ("", t.TablDan.Cells(20, 2));
    // Length 0 and flow 0 leave their cells empty.
    EXPECT_EQ(
        (std::vector<std::string>{"2", "2", "3", "", "0,5000", "", "8,00", "0,02", "1,50", "", ""}),
        Row(t.TablDan, 3, 11));
    EXPECT_EQ("", t.TablDan.Cells(15, 3));
    EXPECT_TRUE(t.TablDan.Modified);

    EXPECT_EQ(4, t.TablVen.RowCount());
    EXPECT_EQ((std::vector<std::string>{"1", "", "", " -0,50000", "", "120,25000"}),
              Row(t.TablVen, 2, 6));
    EXPECT_EQ((std::vector<std::string>{"4", "", "", "", " -0,00100", " 60,00000"}),
              Row(t.TablVen, 3, 6));
    EXPECT_EQ(File("mine.dan"), w.CurrentDataFile());
    EXPECT_EQ("Распределение воздуха         Тальвер        mine.dan", Cp1251ToUtf8(w.Caption));
}

TEST_F(ImportTest, DamagedDosFilesChangeNothing) {
    const char* bad[] = {
        "head\r\n1 1 2 0.5 10 1 1 0 0 A\r\n2 2 3 x 10 1 1 0 0 B\r\n", // not a number
        "head\r\n1 1 2 0.5 10 1 1 0 0 A\r\n2 2 3 0.5\r\n",            // cut short
    };
    const std::string dataFile = w.CurrentDataFile();
    for (const char* text : bad) {
        std::string name = Write("bad.ids", text);
        dialogs.Answer(name);
        messages.Expect(mrOk);
        w.ImpIdClick();
        ExpectDamaged(name);
        ExpectUntouched();
        EXPECT_EQ(dataFile, w.CurrentDataFile());
    }
    // A fan file that is damaged stops the branches too.
    std::string name = Write("f.ids", "head\r\n1 1 2 0.5 10 1 1 0 0 A\r\n");
    Write("f.idv", "1 3 -0.5\r\n");
    dialogs.Answer(name);
    messages.Expect(mrOk);
    w.ImpIdClick();
    ExpectDamaged(File("f.idv"));
    ExpectUntouched();

    // No branch file: the table keeps its rows, the name still changes.
    dialogs.Answer(File("none.ids"));
    w.ImpIdClick();
    ExpectUntouched();
    EXPECT_EQ(File("none.dan"), w.CurrentDataFile());
}

TEST_F(ImportTest, ImportsLeaveNoRowOfTheDataBefore) {
    // Five branches and three fans before each import of fewer; Enter on
    // the last cell then appends an empty row, never one of the old network.
    auto fillOld = [&] {
        for (int r = 2; r <= 6; ++r)
            for (int c = 0; c < 5; ++c) t.TablDan.SetCells(c, r, IntToStr(r + 1));
        t.TablDan.SetRowCount(7);
        for (int r = 2; r <= 4; ++r) t.TablVen.SetCells(0, r, IntToStr(r + 1));
        t.TablVen.SetRowCount(5);
        t.TablDan.Modified = t.TablVen.Modified = false;
    };
    auto expectEnterAppendsAnEmptyRow = [&](const char* import) {
        for (TModGrid* g : {&t.TablDan, &t.TablVen}) {
            const int rows = g->RowCount();
            g->SetCurrent(g->ColCount() - 1, rows - 1);
            g->AdvanceCell();
            ASSERT_EQ(rows + 1, g->RowCount()) << import;
            EXPECT_EQ(std::vector<std::string>(g->ColCount()), g->Rows(rows))
                << import << " " << g->Name();
            EXPECT_LE(g->LastFilledRow(), rows) << import << " " << g->Name();
        }
    };

    fillOld();
    Write("two.idv", "1 3 -0.5 0 120\r\n");
    dialogs.Answer(Write("two.ids", "head\r\n1 1 2 0.5 0 0 0 0 0\r\n2 2 3 0.5 0 0 0 0 0\r\n"));
    w.ImpIdClick();
    EXPECT_EQ(4, t.TablDan.RowCount());
    expectEnterAppendsAnEmptyRow(".ids");

    fillOld();
    dialogs.Answer(Write("two.dat", "1,0,0,0,0,0\r\n" + DatLine("1", "1", "2", "0.5") + "\r\n" +
                                        DatLine("2", "2", "3", "0.5") + "\r\n"));
    messages.Expect(mrOk, kReminder);
    w.Serv_ImpClick();
    EXPECT_EQ(5, t.TablDan.RowCount());
    expectEnterAppendsAnEmptyRow(".dat");

    fillOld();
    dialogs.Answer(Write("two.dt", "n\r\n\r\n\r\n\r\n\r\n2,0,0,1\r\n"
                                   "1,1,2,0.5,0,100,5,75,0,0,\"A\"\r\n2,2,3,0.5,\"B\"\r\n"));
    messages.Expect(mrOk, kReminder);
    w.Serv_Imp2Click();
    EXPECT_EQ(4, t.TablDan.RowCount());
    expectEnterAppendsAnEmptyRow(".dt");
}

TEST_F(ImportTest, NamesAreShownAsTheSavedDataKeepsThem) {
    // ';' and '#' end a field and a record of the saved data, which stores
    // them as ',' and '№': the imports show them so.
    dialogs.Answer(Write("n.ids", Cp1251ToCp866(Ru("head\r\n1 1 2 0.5 0 0 0 0 0 Лава;1#2\r\n"))));
    w.ImpIdClick();
    EXPECT_EQ(" Лава,1№2", Cp1251ToUtf8(t.TablDan.Cells(15, 2)));
    t.TablDan.Modified = false;

    dialogs.Answer(Write("n.dt", "V;1#\r\n\r\n\r\n\r\n\r\n1,0,0,0\r\n1,1,2,0.5,\"A;B#\"\r\n"));
    messages.Expect(mrOk, kReminder);
    w.Serv_Imp2Click();
    EXPECT_EQ("V,1№", Cp1251ToUtf8(t.NameVar));
    EXPECT_EQ("A,B№", Cp1251ToUtf8(t.TablDan.Cells(15, 2)));
}

TEST_F(ImportTest, ImportsAskToSaveFirst) {
    t.TablDan.Modified = true;
    // Cancel stops the import before its file is asked for; No goes on.
    messages.Expect(mrCancel, "Сохранить данные?");
    w.Serv_ImpClick();
    EXPECT_EQ(mrCancel, w.DialogAnswer);
    EXPECT_TRUE(dialogs.Requests().empty());
    messages.Expect(mrNo, "Сохранить данные?");
    dialogs.Answer(std::nullopt);
    w.Serv_ImpClick();
    ASSERT_EQ(1u, dialogs.Requests().size());
    EXPECT_EQ("Данные Тровел *.dat|*.dat", Cp1251ToUtf8(dialogs.Requests()[0].filter));
}

TEST_F(ImportTest, TrovelDatFixedFlowFanAndOrdinaryRows) {
    // N = 3 (four lines are read), F = 1, X = 2; values count by position.
    std::string text = "3,,0,1, ,2,\r\n" + DatLine("1", "1", "2", "0.0100", "25.5") + "\r\n" +
                       DatLine("2", "2", "3", "0.0200", "12") + "\r\n" +
                       DatLine("3", "3", "4", "0.0300") + "\r\n" + DatLine("4", "4", "1", "0.04") +
                       "\r\n";
    std::string name = Write("plan.dat", text);
    t.TablDan.SetCells(1, 6, "stale"); // row N + 3 is in view afterwards
    dialogs.Answer(name);
    messages.Expect(mrOk, kReminder);
    w.Serv_ImpClick();

    EXPECT_EQ((std::vector<std::string>{"1", "1", "2", "= ", "", "", "", "", "", "", "25,5"}),
              Row(t.TablDan, 2, 11));
    EXPECT_EQ((std::vector<std::string>{"2", "2", "3", "= ", "", "", "", "", "", "", "12"}),
              Row(t.TablDan, 3, 11));
    EXPECT_EQ((std::vector<std::string>{"3", "3", "4", "В", ""}), Row(t.TablDan, 4, 5));
    EXPECT_EQ((std::vector<std::string>{"4", "4", "1", "", "0,04"}), Row(t.TablDan, 5, 5));
    EXPECT_EQ("", t.TablDan.Cells(1, 6));
    EXPECT_EQ("", t.TablDan.Cells(20, 2));
    EXPECT_EQ(7, t.TablDan.RowCount());
    EXPECT_EQ(3, t.TablVen.RowCount());
    EXPECT_EQ("3", t.TablVen.Cells(0, 2));
    EXPECT_TRUE(t.TablDan.Modified);
    EXPECT_EQ(File("plan.dan"), w.CurrentDataFile());

    // Damaged: fewer lines than the heading says, or no heading numbers.
    for (std::string bad : {std::string("5,0,0,1,0,2\r\n") + DatLine("1", "1", "2", "1"),
                            std::string("three,0,0,1,0,2\r\n"), std::string("3,0,0\r\n")}) {
        w.CurrentDataFile().clear();
        t.TablDan.Modified = false;
        std::string badName = Write("bad.dat", bad);
        dialogs.Answer(badName);
        messages.Expect(mrOk);
        const std::string row2 = t.TablDan.Cells(0, 2);
        w.Serv_ImpClick();
        ExpectDamaged(badName);
        EXPECT_EQ(row2, t.TablDan.Cells(0, 2));
        EXPECT_EQ(7, t.TablDan.RowCount());
        EXPECT_EQ("", w.CurrentDataFile());
    }
}

TEST_F(ImportTest, TrovelDtFansFittedFromTheirPoints) {
    calc.CalcOptions[6] = '3';
    std::string text = Ru("Вариант 1\r\n2\r\n3\r\n4\r\n5\r\n"
                          "5,0,0,4\r\n"
                          "10,1,2,0.5,0,100,5,75,0,0,\"Ствол, главный\"\r\n"
                          "11,2,3,0.1,1,1,2,4,3,9,\"Up\"\r\n"
                          "13,3,4,0.2, 0 ,100,2,102,4,100,\"Fan\" rest\r\n"
                          "14,4,5,0.3,5,100,5,80,7,50,\"Eq\"\r\n"
                          "15,5,6,0.01234567,\"Уклон\"\r\n");
    std::string name = Write("v.dt", text);
    dialogs.Answer(name);
    // Upward-opening both ways (A = 1), then equal flows: no fan curve.
    messages.Expect(mrCancel, "Для вентилятора 11 неправильно заданы точки");
    messages.Expect(mrCancel, "Для вентилятора 14 неправильно заданы точки");
    messages.Expect(mrOk, kReminder);
    w.Serv_Imp2Click();

    EXPECT_EQ("Вариант 1", Cp1251ToUtf8(t.NameVar));
    EXPECT_EQ(7, t.TablDan.RowCount());
    EXPECT_EQ(6, t.TablVen.RowCount());
    EXPECT_EQ((std::vector<std::string>{"10", "1", "2", "В", ""}), Row(t.TablDan, 2, 5));
    EXPECT_EQ("Ствол, главный", Cp1251ToUtf8(t.TablDan.Cells(15, 2)));
    EXPECT_EQ("Fan", Cp1251ToUtf8(t.TablDan.Cells(15, 4)));
    EXPECT_EQ((std::vector<std::string>{"15", "5", "6", "", "0,01235"}), Row(t.TablDan, 6, 5));
    // q3 = 0: the fan row holds its number only.
    EXPECT_EQ((std::vector<std::string>{"10", "", "", "", "", ""}), Row(t.TablVen, 2, 6));
    // The two-point form of the upward points: A = (4 - 1)/(4 - 1), C = 0.
    EXPECT_EQ((std::vector<std::string>{"11", "", "", "1,00000", "0,00000", "0,000"}),
              Row(t.TablVen, 3, 6));
    // H = -0.5q² + 2q + 100 through (0, 100), (2, 102), (4, 100).
    EXPECT_EQ((std::vector<std::string>{"13", "", "", "-0,50000", "2,00000", "100,000"}),
              Row(t.TablVen, 4, 6));
    EXPECT_EQ((std::vector<std::string>{"14", "", "", "", "", ""}), Row(t.TablVen, 5, 6));

    // With the two-point setting the third point is not used.
    calc.CalcOptions[6] = '2';
    t.TablDan.Modified = t.TablVen.Modified = false;
    dialogs.Answer(Write("two.dt", "n\r\n\r\n\r\n\r\n\r\n1,0,0,1\r\n"
                                   "7,1,2,0.1,100,300,200,0,1,1,\"T\"\r\n"));
    messages.Expect(mrOk, kReminder);
    w.Serv_Imp2Click();
    EXPECT_EQ((std::vector<std::string>{"7", "", "", "-0,01000", "0,00000", "400,000"}),
              Row(t.TablVen, 2, 6));
}

TEST_F(ImportTest, DamagedTrovelDtChangesNothing) {
    const std::string head = "n\r\n\r\n\r\n\r\n\r\n";
    for (std::string bad : {head + "3,0,0,1\r\n10,1,2,0.5,0,100,5,75,0,0,\"A\"\r\n",
                            head + "1,0,0,1\r\n10,1,2,0.5,0,100\r\n",
                            head + "1,0,0,0\r\n10,1,2,zero,\"A\"\r\n", std::string("n\r\n")}) {
        std::string name = Write("bad.dt", bad);
        dialogs.Answer(name);
        messages.Expect(mrOk);
        w.Serv_Imp2Click();
        ExpectDamaged(name);
        ExpectUntouched();
        EXPECT_EQ("", t.NameVar);
    }
}

namespace {

struct TOrnalRecord {
    int number, begin, end;
    double resistance, depression;
    const char* name;
    double endTemp;
    int length;
    double section, flow;
};

void WriteOrnalTable(const std::string& path, const std::vector<TOrnalRecord>& rows,
                     int deletedRow) {
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/38");
    ASSERT_NE(nullptr, h);
    DBFAddField(h, "BRANCH_NO", FTInteger, 6, 0);
    DBFAddField(h, "BEG_NODE_N", FTInteger, 6, 0);
    DBFAddField(h, "END_NODE_N", FTInteger, 6, 0);
    DBFAddField(h, "RESISTANCE", FTDouble, 12, 5);
    DBFAddField(h, "DEPRESSION", FTDouble, 10, 2);
    DBFAddField(h, "BR_NAME", FTString, 50, 0);
    DBFAddField(h, "BEG_TEMP", FTDouble, 8, 2);
    DBFAddField(h, "END_TEMP", FTDouble, 8, 2);
    DBFAddField(h, "BR_LENGTH", FTInteger, 6, 0);
    DBFAddField(h, "SECTION", FTDouble, 8, 2);
    DBFAddField(h, "PERIMETER", FTDouble, 8, 2);
    DBFAddField(h, "INCLINE", FTDouble, 8, 2);
    DBFAddField(h, "AIR_FLOW", FTDouble, 10, 3);
    for (size_t i = 0; i < rows.size(); ++i) {
        const TOrnalRecord& r = rows[i];
        int k = static_cast<int>(i);
        DBFWriteIntegerAttribute(h, k, 0, r.number);
        DBFWriteIntegerAttribute(h, k, 1, r.begin);
        DBFWriteIntegerAttribute(h, k, 2, r.end);
        DBFWriteDoubleAttribute(h, k, 3, r.resistance);
        DBFWriteDoubleAttribute(h, k, 4, r.depression);
        DBFWriteStringAttribute(h, k, 5, Cp1251ToCp866(Ru(r.name)).c_str());
        DBFWriteDoubleAttribute(h, k, 6, 10);
        DBFWriteDoubleAttribute(h, k, 7, r.endTemp);
        DBFWriteIntegerAttribute(h, k, 8, r.length);
        DBFWriteDoubleAttribute(h, k, 9, r.section);
        DBFWriteDoubleAttribute(h, k, 10, 14);
        DBFWriteDoubleAttribute(h, k, 11, 0);
        DBFWriteDoubleAttribute(h, k, 12, r.flow);
    }
    DBFMarkRecordDeleted(h, deletedRow, 1);
    DBFClose(h);
}

} // namespace

TEST_F(ImportTest, OrnalTableIntoTheTablesSkippingDeletedRecords) {
    std::string name = File("ornal.dbf");
    WriteOrnalTable(name,
                    {{1, 1, 2, 0.5, 120, "Ствол скиповой", 12, 300, 12.5, 50.25},
                     {2, 2, 3, 9, 9, "удалена", 0, 1, 1, 1},
                     {3, 2, 4, 0.0125, 0, "Штрек", 0, 150, 8, 20}},
                    1);
    t.TablDan.Modified = true;
    // Cancel ends the command before anything is cleared.
    messages.Expect(mrCancel, "Сохранить данные?");
    w.Serv_ImpOrnalClick();
    EXPECT_EQ("99", t.TablDan.Cells(0, 2));
    EXPECT_EQ(0u, dialogs.Requests().size());

    messages.Expect(mrNo, "Сохранить данные?");
    dialogs.Answer(name);
    w.Serv_ImpOrnalClick();
    TImpOrnal& ornal = ImpOrnal();
    EXPECT_TRUE(ornal.Visible);
    EXPECT_EQ("", t.TablDan.Cells(0, 2));
    EXPECT_EQ("", t.TablVen.Cells(0, 2));
    EXPECT_EQ(2, ornal.Table.RecordCount());
    EXPECT_EQ("Номер ветви", Cp1251ToUtf8(ornal.DBGrid1.Cells(0, 0)));
    EXPECT_EQ("Высота", Cp1251ToUtf8(ornal.DBGrid1.Cells(10, 0)));
    EXPECT_EQ("Штрек", Cp1251ToUtf8(ornal.DBGrid1.Cells(5, 2)));
    ornal.Last();
    EXPECT_EQ(1, ornal.RecNo());
    ornal.Next();
    EXPECT_EQ(1, ornal.RecNo());
    ornal.First();
    ornal.Prior();
    EXPECT_EQ(0, ornal.RecNo());

    messages.Expect(mrOk, "Исправьте общие данные.");
    ornal.BitBtn2Click(t);
    EXPECT_EQ(4, t.TablDan.RowCount());
    EXPECT_EQ(3, t.TablVen.RowCount());
    // A fan: depression > 0 and a resistance.
    EXPECT_EQ(
        (std::vector<std::string>{"1", "1", "2", "В", "", "300", "12,5", "", "", "", "", "50,25"}),
        Row(t.TablDan, 2, 12));
    EXPECT_EQ("Ствол скиповой", Cp1251ToUtf8(t.TablDan.Cells(15, 2)));
    EXPECT_EQ("120", t.TablDan.Cells(18, 2));
    EXPECT_EQ("12", t.TablDan.Cells(21, 2));
    EXPECT_EQ((std::vector<std::string>{"1", "", "", "-0,5", "", "120"}), Row(t.TablVen, 2, 6));
    EXPECT_EQ((std::vector<std::string>{"3", "2", "4", "", "0,0125", "150", "8"}),
              Row(t.TablDan, 3, 7));
    EXPECT_EQ("0", t.TablDan.Cells(18, 3));
    // Rows added after a transfer do not outlive the next one.
    t.TablDan.SetRowCount(6);
    t.TablDan.SetCells(0, 5, "77");
    t.TablVen.SetCells(0, 3, "77");
    messages.Expect(mrOk, "Исправьте общие данные.");
    ornal.BitBtn2Click(t);
    EXPECT_EQ("", t.TablDan.Cells(0, 5));
    EXPECT_EQ("", t.TablVen.Cells(0, 3));
    EXPECT_EQ("3", t.TablDan.Cells(0, 3));
    ornal.Close();
}

TEST_F(ImportTest, OrnalTableThatCannotBeReadClearsNothing) {
    std::string junk = Write("junk.dbf", std::string(200, 'j'));
    dialogs.Answer(junk);
    messages.Expect(mrOk);
    w.Serv_ImpOrnalClick();
    EXPECT_NE(std::string::npos,
              messages.Shown().back().text.find(Ru("Не удалось прочитать таблицу dBASE")));
    ExpectUntouched();

    // A table without the branch fields.
    std::string other = File("other.dbf");
    DBFHandle h = DBFCreate(other.c_str());
    DBFAddField(h, "BRANCH_NO", FTInteger, 6, 0);
    DBFWriteIntegerAttribute(h, 0, 0, 1);
    DBFClose(h);
    dialogs.Answer(other);
    messages.Expect(mrOk);
    w.Serv_ImpOrnalClick();
    EXPECT_NE(std::string::npos, messages.Shown().back().text.find("BEG_NODE_N"));
    ExpectUntouched();
    EXPECT_FALSE(ImpOrnal().Visible);
}
