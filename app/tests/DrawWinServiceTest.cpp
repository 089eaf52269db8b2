// The service commands of the plan on the sample drawing: reversing and
// resetting branches, the searches, the PLA document, the photo viewer and
// the buttons that open other windows.
#include "app/tests/DrawWinTasksSupport.h"

#include "calc/model/ModGrid.h"
#include "calc/window/NotAvailable.h"
#include "document/TextFigures.h"
#include "platform/Jpeg.h"
#include "platform/testing/RecordingOpener.h"

using namespace arv;
using namespace arv::test;

namespace {

// Every cell of the branch table, to tell which ones a command changed.
std::vector<std::string> Cells(const TModGrid& g) {
    std::vector<std::string> out;
    for (int r = 0; r < g.RowCount() + 2; ++r)
        for (int c = 0; c < g.ColCount(); ++c) out.push_back(g.Cells(c, r));
    return out;
}

} // namespace

TEST_F(SampleTasks, RotatingALineBranchTurnsItOnceAndItsRowOnAnswerYes) {
    TGBranch* b = Branch(3);
    const TPoint p = b->Begin(), q = b->End();
    const int from = b->beginNode, to = b->endNode;
    const uint8_t mark = b->reversed;
    const int row = RowOf(3);
    std::vector<std::string> cells = Cells(t.TablDan);
    SelectBranch(3);
    messages.Expect(mrYes, "Изменить ориентацию ветви в расчетных данных?");
    w->MRotateBrClick();
    EXPECT_EQ(q, b->Begin());
    EXPECT_EQ(p, b->End());
    EXPECT_EQ(to, b->beginNode);
    EXPECT_EQ(from, b->endNode);
    EXPECT_EQ(mark ? 0 : 1, b->reversed);
    EXPECT_TRUE(w->DrawingModified);
    // Only the two node cells of branch 3's row changed, and were swapped.
    std::swap(cells[static_cast<size_t>(row * t.TablDan.ColCount() + 1)],
              cells[static_cast<size_t>(row * t.TablDan.ColCount() + 2)]);
    EXPECT_EQ(cells, Cells(t.TablDan));
    EXPECT_EQ(std::to_string(to), Trim(t.TablDan.Cells(1, row)));

    // Answer No: the figure turns back, the table stays, and the check that
    // follows finds the branch turned against its row.
    cells = Cells(t.TablDan);
    messages.Expect(mrNo);
    messages.Expect(mrOk,
                    "Схема не соответствует расчетным данным\r\nСмотрите закладку \"Лог\"!\r\n");
    w->MRotateBrClick();
    EXPECT_EQ(p, b->Begin());
    EXPECT_EQ(mark, b->reversed);
    EXPECT_EQ(cells, Cells(t.TablDan));
}

TEST_F(SampleTasks, RotatingATwoPointPolylineSwapsItsPointsOnce) {
    auto* poly = static_cast<TGPolyLine*>(w->Doc().AddFigure(kKindPolyLine));
    TBranchSetup s;
    s.beginNode = 40;
    s.endNode = 41;
    s.number = 40;
    poly->EditVertex({0, 0}, {300, 100}, s);
    poly->number = 40;
    w->Doc().BuildVisibleList();
    ASSERT_EQ(2u, poly->Path().size());
    // Not in the table: the answer changes no row (none is written at -1).
    const std::vector<std::string> cells = Cells(t.TablDan);
    messages.Expect(mrYes);
    // The check that follows reports the branch the tables lack and its
    // loose ends.
    messages.AllowAny();
    w->MRotateBrClick();
    EXPECT_EQ((std::vector<TPoint>{{300, 100}, {0, 0}}), poly->Path());
    EXPECT_EQ((TRect{0, 100, 300, 0}), poly->box);
    EXPECT_EQ(cells, Cells(t.TablDan));
}

TEST_F(SampleTasks, ResetCommandsChangeTheCurrentBranch) {
    SelectBranch(4);
    TGBranch* b = Branch(4);
    w->MResteNBrClick();
    EXPECT_LT(b->number, 0);
    EXPECT_EQ(b->number, w->CurrentBranchNumber);
    EXPECT_TRUE(w->DrawingModified);

    w->DrawingModified = false;
    messages.Expect(mrYes, "Вы действительно хотите заменить\n\rузел 3 на узел -1 ???");
    messages.Expect(mrYes);
    w->MResetNENdClick();
    EXPECT_LT(b->beginNode, 0);
    EXPECT_LT(b->endNode, 0);
    EXPECT_TRUE(w->DrawingModified);

    b->width = 17;
    b->hasPointA = 1;
    w->MResetBranchClick();
    EXPECT_NE(17, b->width);
    EXPECT_EQ(0, b->hasPointA);

    // Every figure in turn: the last one stays current.
    Branch(1)->width = 17;
    Branch(14)->hasPointB = 1;
    w->MResetBranchAllClick();
    EXPECT_NE(17, Branch(1)->width);
    EXPECT_EQ(0, Branch(14)->hasPointB);
    EXPECT_EQ(w->Doc().Count() - 1, w->Doc().current);
}

TEST_F(SampleTasks, BranchSearchCentresTheViewOnTheBranch) {
    messages.ExpectInput("abc");
    messages.Expect(mrOk, "Номер задан неверно");
    w->NBrnSearchClick();
    messages.ExpectInput("999");
    messages.Expect(mrOk, "Ветвь c номером 999 не найдена");
    w->NBrnSearchClick();
    // Cancel and an empty answer end quietly.
    messages.ExpectInput(std::nullopt);
    w->NBrnSearchClick();
    messages.ExpectInput("  ");
    w->NBrnSearchClick();

    messages.ExpectInput("9");
    w->NBrnSearchClick();
    TGBranch* b = Branch(9);
    EXPECT_EQ(b, w->Doc().CurrentFigure());
    EXPECT_EQ(9, w->CurrentBranchNumber);
    const TRect& v = w->Doc().viewRect;
    EXPECT_LE(std::abs((v.left + v.right) / 2 - b->x1), 1);
    EXPECT_LE(std::abs((v.top + v.bottom) / 2 - b->y1), 1);
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST_F(SampleTasks, NodeSearchMarksTheNodeFound) {
    messages.ExpectInput("8");
    w->NNodeSearchClick();
    EXPECT_EQ(1, w->Doc().display.foundNodeHighlight);
    EXPECT_EQ(8, w->Doc().foundNode);
    messages.ExpectInput("777");
    messages.Expect(mrOk, "Узел c номером 777 не найден");
    w->NNodeSearchClick();
    EXPECT_EQ(0, w->Doc().display.foundNodeHighlight);
    messages.ExpectInput("x1");
    messages.Expect(mrOk, "Номер задан неверно");
    w->NNodeSearchClick();
    messages.ExpectInput(std::nullopt);
    w->NNodeSearchClick();
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST_F(SampleTasks, PlaSearchFindsShownPositionsFromOne) {
    PlaceOnPla(6, 12);
    messages.ExpectInput("0");
    w->NPlaSearchClick();
    messages.ExpectInput("1 2");
    messages.Expect(mrOk, "Номер позиции задан неверно");
    w->NPlaSearchClick();
    messages.ExpectInput("12");
    w->NPlaSearchClick();
    EXPECT_EQ(Branch(6), w->Doc().CurrentFigure());
    // Branches without a position carry -1: that is no position to find.
    messages.ExpectInput("-1");
    messages.Expect(mrOk, "Позиция ПЛА не найдена");
    w->NPlaSearchClick();
    Branch(6)->Caption(3).shown = 0;
    messages.ExpectInput("12");
    messages.Expect(mrOk, "Позиция ПЛА не найдена");
    w->NPlaSearchClick();
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST_F(SampleTasks, HalvingTheCoordinates) {
    TGBranch* b = Branch(2);
    const TPoint p = b->Begin();
    w->ChangeScaleClick();
    EXPECT_EQ((TPoint{p.x / 2, p.y / 2}), b->Begin());
    EXPECT_TRUE(w->DrawingModified);
}

TEST(PlaDocuments, NamesFollowTheAccidentKinds) {
    std::array<bool, 6> kinds{};
    EXPECT_EQ(std::make_pair(std::string("12.doc"), std::string("12.doc")),
              TIDrawWin::PlaDocumentNames(12, kinds));
    kinds[1] = true;
    EXPECT_EQ(Ru("12а.doc"), TIDrawWin::PlaDocumentNames(12, kinds).first);
    kinds = {true, false, false, false, false, false};
    EXPECT_EQ("12 .doc", TIDrawWin::PlaDocumentNames(12, kinds).first);
    kinds[5] = true;
    EXPECT_EQ("12.doc", TIDrawWin::PlaDocumentNames(12, kinds).first);
}

TEST_F(SampleTasks, PlaDocumentOfTheCurrentBranch) {
    TRecordingOpener opener;
    TGBranch* b = Branch(6);
    PlaceOnPla(6, 12);
    b->marks[1].flag = 1;
    SelectBranch(6);
    // The program folder's "pla", whatever the letter case of its name.
    std::filesystem::create_directory(dir / "PLA");
    Write("PLA/12.doc", "x");
    // The explosion document is missing: the position's own one opens.
    w->BPlaClick();
    ASSERT_EQ(1u, opener.Opened().size());
    EXPECT_EQ(File("PLA") + "/12.doc", opener.Opened()[0]);
    Write(Ru("PLA/12а.doc"), "x");
    w->BPlaClick();
    EXPECT_EQ(File("PLA") + Ru("/12а.doc"), opener.Opened()[1]);
    // Neither document: the message names the first one.
    std::filesystem::remove_all(dir / "PLA");
    messages.Expect(mrOk, "Файл " + File("pla") +
                              "/12а.doc не найден. Проверьте путь и наличие файла. Проверьте "
                              "соответствие имени файла и вида аварии.");
    w->BPlaClick();
    // The folder chosen in the options (their default-folder check box
    // cleared), and an opener that fails.
    w->Settings.PLAPath = false;
    WindowState().PlaFolder = File("docs") + "/";
    std::filesystem::create_directory(dir / "docs");
    Write("docs/12.doc", "x");
    opener.SetResult(false);
    messages.Expect(mrOk, "Проверьте наличие WinWord или файла 12.doc");
    w->BPlaClick();
    // Two kinds: the list window chooses.
    b->marks[0].flag = 1;
    std::vector<std::string> listed;
    w->ShowPlaList = [&](const std::vector<std::string>& entries) { listed = entries; };
    w->BPlaClick();
    EXPECT_EQ((std::vector<std::string>{Ru("12 Пожар"), Ru("12а Взрыв")}), listed);
    // Position 0 is none: nothing opens, nothing is said.
    PlaceOnPla(6, 0);
    listed.clear();
    w->BPlaClick();
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(3u, opener.Opened().size());
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST(PictureLayouts, FollowTheAspectRatio) {
    EXPECT_EQ(3, TIDrawWin::PictureLayout(0.49));
    EXPECT_EQ(2, TIDrawWin::PictureLayout(0.5));
    EXPECT_EQ(2, TIDrawWin::PictureLayout(0.9));
    EXPECT_EQ(1, TIDrawWin::PictureLayout(0.91));
    EXPECT_EQ(1, TIDrawWin::PictureLayout(1.99));
    EXPECT_EQ(0, TIDrawWin::PictureLayout(2.0));
}

TEST_F(SampleTasks, PhotoOfTheSelectedObjectGoesToTheViewer) {
    std::vector<TIDrawWin::TPictureRequest> shown;
    bool viewerShows = true;
    w->ShowPictureViewer = [&](const TIDrawWin::TPictureRequest& r) {
        shown.push_back(r);
        return viewerShows;
    };
    TGBranch* b = Branch(2);
    SelectBranch(2);
    messages.Expect(mrOk, "Не задано изображение");
    w->ToolButtonImageClick();
    b->image = "shaft.bmp";
    messages.Expect(mrOk, "Не найден файл " + File("Foto") + "/shaft.bmp");
    w->ToolButtonImageClick();
    EXPECT_EQ("shaft.bmp", w->PhotoFileName);

    std::filesystem::create_directory(dir / "Foto");
    Write("Foto/shaft.bmp", "300x100");
    w->ToolButtonImageClick();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(0, shown[0].Layout);
    EXPECT_EQ(300, shown[0].Picture.Width);
    EXPECT_EQ("shaft.bmp", shown[0].Caption);
    EXPECT_EQ(File("Foto") + "/shaft.bmp", shown[0].Path);

    // A stored name in other letters: the viewer gets the file found.
    b->image = "Shaft.BMP";
    w->ToolButtonImageClick();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ("Shaft.BMP", shown[1].Caption);
    EXPECT_EQ(File("Foto") + "/shaft.bmp", shown[1].Path);
    // A viewer that cannot show it says so.
    viewerShows = false;
    messages.Expect(mrOk, "Не удалось прочитать файл " + File("Foto") + "/shaft.bmp");
    w->ToolButtonImageClick();
    viewerShows = true;
    shown.clear();
    // A damaged file is named as it lies on the disk.
    ASSERT_TRUE(WriteFileAtomic(File("Foto") + "/broken.bmp", "BM not a picture"));
    b->image = "Broken.BMP";
    messages.Expect(mrOk, "Не удалось прочитать файл " + File("Foto") + "/broken.bmp");
    w->ToolButtonImageClick();
    EXPECT_TRUE(shown.empty());

    // A JPEG from the folder the options chose, half as wide as high.
    std::filesystem::create_directory(dir / "photos");
    WindowState().PhotoFolder = File("photos");
    w->Settings.FotoPath = false;
    ASSERT_TRUE(SaveJpegFile(TBitmap32(30, 60, 0xFF204060u), File("photos/a.JPG")));
    b->image = "a.JPG";
    w->ToolButtonImageClick();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(2, shown[0].Layout);
    EXPECT_EQ(60, shown[0].Picture.Height);

    // A file that is no picture.
    Write("photos/bad.jpg", "not a picture");
    b->image = "bad.jpg";
    messages.Expect(mrOk, "Не удалось прочитать файл " + File("photos") + "/bad.jpg");
    w->ToolButtonImageClick();
    EXPECT_EQ(1u, shown.size());
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST_F(SampleTasks, ButtonsOpeningOtherWindows) {
    int clipboard = 0, dataWindow = 0, navigator = 0;
    w->CopyPlanToClipboard = [&] { ++clipboard; };
    w->ShowDataWindow = [&] { ++dataWindow; };
    w->ToolButtonClBrdClick();
    w->GenButtonClick();
    EXPECT_EQ(1, clipboard);
    EXPECT_EQ(1, dataWindow);
    messages.Expect(mrOk, Cp1251ToUtf8(NotAvailableText(Ru("Обзор"))));
    w->ToolButtonNavigatorClick();
    w->ShowNavigator = [&] { ++navigator; };
    w->ToolButtonNavigatorClick();
    EXPECT_EQ(1, navigator);
}

TEST_F(SampleTasks, HelpOfBothWindowsOpensTheGuidesContents) {
    test::TRecordingOpener opener;
    ASSERT_TRUE(ForceDirectories(File("help")));
    Write("help/arvalen.HTML", "<html></html>");
    data.Hlp_HelpClick();
    w->MContHelpClick();
    EXPECT_EQ((std::vector<std::string>{File("help/arvalen.HTML"), File("help/arvalen.HTML")}),
              opener.Opened());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SampleTasks, MeasurementAndBaseButtons) {
    auto* picture = static_cast<TGPicture*>(w->Doc().AddFigure(kKindPicture));
    picture->value1 = 7;
    picture->value2 = 2;
    messages.Expect(mrOk, "Картинка 7 ВМП");
    w->TBZamStClick();
    // Out-of-range kinds read as the first kind.
    picture->value2 = 40;
    messages.Expect(mrOk, "Картинка 7 Картинка");
    w->TBZamStClick();
    // A branch shows nothing; the base button only reads the branch.
    SelectBranch(5);
    w->TBZamStClick();
    const int figures = w->Doc().Count();
    w->TBAddBaseClick();
    EXPECT_EQ(5, w->CurrentBranchNumber);
    EXPECT_EQ(figures, w->Doc().Count());
    EXPECT_FALSE(w->DrawingModified);
    EXPECT_EQ(0u, messages.PendingExpectations());
}
