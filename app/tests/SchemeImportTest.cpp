// The scheme import: a mine file made by the converter tests' generator runs
// through the built converter, and the plan drawn from it has the branches,
// nodes and coordinates of the file.
#include "DrawWinTestSupport.h"

#include "calc/files/SchemeImport.h"
#include "converter/tests/SampleMine.h"
#include "platform/Errors.h"

using namespace arv;
using namespace arv::test;

namespace {

std::string Halvard() {
    return ARV_HALVARD_PATH;
}

} // namespace

TEST_F(DrawWinTest, MineFileImportBuildsThePlan) {
    Start();
    ASSERT_TRUE(halvard::test::WriteSampleMine(dir / "sample mine.MINE"));
    // A stale output of an earlier run must not be read.
    Write("tresktxt.tresk", "99|\"1.0\"\r\n2|77|1|1|0|0|0\r\n");
    std::vector<std::string> args;
    w->RunConverter = [&](const std::string&, const std::vector<std::string>& a) {
        args = a;
        return RunConverterAndWait(Halvard(), a);
    };
    dialogs.Answer(File("sample mine.MINE"), 2);
    messages.Expect(mrOk, "Импорт файла Tresk");
    // The check after the import: branch 12 ends in node 4, which is no
    // surface node and gives no branch out.
    messages.Expect(mrOk, "В узле 4 только входящие ветви, если это узел поверхности, укажите "
                          "это в свойствах узла");
    messages.Expect(mrOk, "Ошибки в топологии сети");
    w->Open1Click();
    EXPECT_EQ((std::vector<std::string>{File("sample mine.MINE"), File("tresktxt.tresk")}), args);
    EXPECT_EQ("@echo off\r\n\"" + File("Halvard.exe") + "\" \"" + File("sample mine.MINE") +
                  "\" \"" + File("tresktxt.tresk") + "\"\r\n",
              Read(File("temp.bat")));
    EXPECT_EQ(File("sample mine.grh"), w->CurrentFileName());
    EXPECT_EQ(File("sample mine.dan"), data.CurrentDataFile());
    EXPECT_EQ(23, t.TablDan.ColCount());
    for (int col : {16, 17, 19, 23, 24, 25}) EXPECT_EQ("", t.TablDan.Cells(col, 2)) << col;

    // Plan units x 10, y mirrored between the lowest (10) and highest (40):
    // y' = (40 - y + 10) x 10.
    //   node 1 (100, 10) -> (1000, 400)   node 2 (200, 20) -> (2000, 300)
    //   node 3 (300, 30) -> (3000, 200)
    //   branch 10: 1 -> 2 bent at (150, 15) -> (1500, 350)
    //   branch 11: 2 -> 3 straight
    //   branch 12: 3 -> 4 bent at (3050, 190), (3500, 140), (-50, 120)
    TGCollFigure& doc = w->Doc();
    ASSERT_EQ(3, doc.Count());
    auto* b10 = dynamic_cast<TGPolyLine*>(doc.Figure(0));
    ASSERT_NE(nullptr, b10);
    EXPECT_EQ(10, b10->number);
    EXPECT_EQ((TPoint{1000, 400}), b10->Begin());
    EXPECT_EQ((TPoint{2000, 300}), b10->End());
    ASSERT_EQ(1, b10->bendCount);
    EXPECT_EQ((TPoint{1500, 350}), b10->bends[0]);
    // The exchange text carries the quotes as apostrophes.
    EXPECT_EQ(Ru("Ствол 'Главный'"), b10->name);
    TGBranch* b11 = doc.BranchAt(1);
    ASSERT_NE(nullptr, b11);
    EXPECT_EQ(kKindLine, b11->kind);
    EXPECT_EQ(11, b11->number);
    EXPECT_EQ(2, b11->beginNode);
    EXPECT_EQ(3, b11->endNode);
    auto* b12 = dynamic_cast<TGPolyLine*>(doc.Figure(2));
    ASSERT_NE(nullptr, b12);
    ASSERT_EQ(3, b12->bendCount);
    EXPECT_EQ((TPoint{3050, 190}), b12->bends[0]);
    EXPECT_EQ((TPoint{-50, 120}), b12->bends[2]);
    EXPECT_EQ(4, doc.nodes.Count());
    EXPECT_EQ((TPoint{3000, 200}), doc.nodes.Record(doc.nodes.IndexOfNumber(3)).point);
    EXPECT_TRUE(BaseData().BaseBranches.empty());
    EXPECT_EQ(3u, messages.Shown().size());
}

TEST_F(DrawWinTest, FailedConversionImportsNothing) {
    Start();
    AddBranch({0, 0}, {100, 0}, 5, 1, 2);
    Write("noise.MINE", "this is not a mine file");
    Write("tresktxt.tresk", "99|\"1.0\"\r\n2|77|1|1|0|0|0\r\n");
    w->RunConverter = [](const std::string&, const std::vector<std::string>& a) {
        return RunConverterAndWait(Halvard(), a);
    };
    dialogs.Answer(File("noise.MINE"));
    messages.Expect(mrOk, "Ошибка преобразования файла MINE");
    w->Imp_Tresk1Click();
    // The drawing shown stays whole.
    EXPECT_EQ(1, w->Doc().Count());
    EXPECT_FALSE(FileExists(File("tresktxt.tresk")));
    EXPECT_EQ(23, t.TablDan.ColCount());

    // A converter that cannot be started at all.
    w->RunConverter = [](const std::string&, const std::vector<std::string>&) { return -1; };
    dialogs.Answer(File("noise.MINE"));
    messages.Expect(mrOk, "Ошибка преобразования файла MINE");
    w->Imp_Tresk1Click();

    // A text written whole that cannot be read: said as the import says it,
    // and the drawing stays.
    w->RunConverter = [this](const std::string&, const std::vector<std::string>&) {
        Write("tresktxt.tresk", "99|\"1.0\"\r\n2|2002|0|0|0|0|0\r\n");
        return 0;
    };
    dialogs.Answer(File("noise.MINE"));
    messages.Expect(mrOk, "Файл Tresk, строка 2: номер узла 2002 вне пределов от 1 до 2001");
    messages.Expect(mrOk, "Ошибка преобразования файла MINE");
    w->Imp_Tresk1Click();
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(1, w->Doc().Count());
}

// Base data of a data-file Tresk export: three fields per branch, the rest
// as in an empty row; rows without a number (the empty tail of a one-branch
// table) are skipped.
TEST_F(DrawWinTest, BaseDataFromTablesSkipsEmptyRows) {
    t.InitTables();
    t.TablDan.SetRowCount(4);
    t.TablDan.SetCells(0, 2, "5");
    t.TablDan.SetCells(1, 2, "1");
    t.TablDan.SetCells(2, 2, "2");
    t.TablDavl.SetRowCount(4);
    for (int r = 2; r < 4; ++r) {
        t.TablDavl.SetCells(0, r, std::to_string(r - 1));
        t.TablDavl.SetCells(1, r, "0");
        t.TablDavl.SetCells(4, r, std::to_string(100 * r));
        t.TablDavl.SetCells(5, r, "-20");
    }
    FillBaseFromDataTables(t);
    const TBaseData& b = BaseData();
    ASSERT_EQ(1u, b.BaseBranches.size());
    EXPECT_EQ((TBaseBranch{5, 1, 2, 0, 0, -1, 0, 0}), b.BaseBranches[0]);
    ASSERT_EQ(2u, b.BaseNodes.size());
    EXPECT_EQ(300, b.BaseNodes[1].X);
    EXPECT_EQ(-20, b.BaseNodes[1].Y);
    w->BuildSchemeFromBase();
    EXPECT_EQ(1, w->Doc().Count());

    t.TablDan.SetCells(1, 2, "x");
    EXPECT_THROW(FillBaseFromDataTables(t), EConvertError);
}

// The data window's import of a Tresk export in the data file format: the
// tables are read and the scheme is drawn from them, node positions from
// columns 4 and 5.
//   1 (0, 0) --(7)--> 2 (100, 0) --(8)--> 3 (100, -50)
TEST_F(DrawWinTest, TreskExportInDataFormatDrawsItsScheme) {
    Start();
    Write("export.tresk", "D;7;1;2;;0,1;100;10;#\r\nD;8;2;3;;0,1;50;10;#\r\n"
                          "N;1;0;;;0;0;#\r\nN;2;0;;;100;0;#\r\nN;3;0;;;100;-50;#\r\n");
    dialogs.Answer(File("export.tresk"));
    data.Tresk1Click();
    EXPECT_EQ(File("export.dan"), data.CurrentDataFile());
    EXPECT_EQ(File("export.grh"), w->CurrentFileName());
    TGCollFigure& doc = w->Doc();
    ASSERT_EQ(2, doc.Count());
    EXPECT_EQ(8, doc.BranchAt(1)->number);
    EXPECT_EQ((TPoint{100, 0}), doc.BranchAt(1)->Begin());
    EXPECT_EQ((TPoint{100, -50}), doc.BranchAt(1)->End());
    EXPECT_EQ(3, doc.nodes.Count());

    // A cancelled dialog leaves the drawing and its tables.
    dialogs.Answer(std::nullopt);
    data.Tresk1Click();
    EXPECT_EQ(2, doc.Count());
    EXPECT_EQ("8", t.TablDan.Cells(0, 3));
}
