// The tasks started on the plan and the result displays, on the bundled
// sample drawing with its data.
#include "app/tests/DrawWinTasksSupport.h"

#include "calc/model/ModGrid.h"

using namespace arv;
using namespace arv::test;

namespace {

// The flow of every branch row as its label shows it.
std::vector<std::string> FlowLabels(const TNetworkTables& t, int column) {
    std::vector<std::string> out;
    for (int r = 2; r < t.TablDan.RowCount(); ++r)
        if (!Trim(t.TablDan.Cells(0, r)).empty())
            out.push_back("[" + t.TablDan.Cells(column, r) + "]");
    return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& s) {
    return std::find(texts.begin(), texts.end(), s) != texts.end();
}

} // namespace

TEST_F(SampleTasks, NaturalDistributionPutsTheFlowsInTheLabels) {
    EXPECT_TRUE(w->Zad_ERClick());
    EXPECT_EQ(Ru("Нормальное воздухораспределение"), w->PanelSost);
    EXPECT_EQ(0, w->PanelSostColour);
    EXPECT_EQ(0, w->EmergencyMode);
    EXPECT_TRUE(w->MQData);
    EXPECT_TRUE(w->MArrowQ);
    const TPlanPass pass = Draw();
    for (const std::string& flow : FlowLabels(t, 11)) EXPECT_TRUE(Has(pass.texts, flow)) << flow;
    EXPECT_EQ(0, pass.emergencyImages);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(SampleTasks, DeviceFailureShowsItsResultOnThePlan) {
    SelectBranch(8);
    ASSERT_EQ(8, w->CurrentBranchNumber);
    // The failed device's resistance (as stored) is kept: the working is
    // nearly closed and the air of one branch turns.
    calc.CalcOptions.FailedDeviceResistance = 100;
    messages.Expect(mrNo);
    EXPECT_TRUE(w->Zad_OtkazVUClick());
    EXPECT_EQ('U', calc.CalcOptions[2]);
    EXPECT_EQ(2, w->EmergencyMode);
    EXPECT_EQ(8, w->FireBranchNumber);
    EXPECT_EQ(Ru("Отказ вент. устройства в ветви 8 Штрек вентиляционный западный"), w->PanelSost);
    EXPECT_EQ(255, w->PanelSostColour);
    const TPlanPass pass = Draw();
    // Emergency flows (column 12) in the labels, the failure picture once.
    for (const std::string& flow : FlowLabels(t, 12)) EXPECT_TRUE(Has(pass.texts, flow)) << flow;
    EXPECT_EQ(1, pass.emergencyImages);

    // The reversed branches are the marked ones, drawn in yellow.
    w->OpVetviClick();
    EXPECT_TRUE(WindowState().OpVetvi);
    EXPECT_FALSE(WindowState().FireVetvi);
    int marked = 0;
    for (int32_t i = 0; i < w->Doc().Count(); ++i)
        if (TGBranch* b = w->Doc().BranchAt(i)) {
            const bool reversed = calc.ReversedBranchMark[static_cast<size_t>(b->number)] != 0;
            EXPECT_EQ(reversed ? 1 : 0, b->marked) << b->number;
            marked += reversed;
        }
    EXPECT_GT(marked, 0);
    EXPECT_GT(Draw().yellowStrokes, 0);
}

TEST_F(SampleTasks, FireShowsItsImageOnTheFireBranch) {
    SetThermalDepression(5, "4");
    SelectBranch(5);
    PlaceOnPla(5, 12);
    SelectBranch(5);
    messages.Expect(mrYes, "Пожар в ветви 5 Лава 1 восточная Расчитать? ");
    EXPECT_TRUE(w->Zad_PojarClick());
    EXPECT_EQ(3, w->EmergencyMode);
    EXPECT_EQ(5, w->FireBranchNumber);
    EXPECT_EQ(Ru("Лава 1 восточная"), w->FireBranchName);
    EXPECT_EQ(12, w->CurrentPlaPosition);
    EXPECT_EQ(Ru("Пожар в ветви 5 Лава 1 восточная"), w->PanelSost);
    EXPECT_EQ(3, WindowState().EmergencyMode);
    EXPECT_EQ(5, WindowState().EmergencyBranch);
    TPlanPass pass = Draw();
    EXPECT_EQ(1, pass.emergencyImages);
    // The picture sits at the middle of branch 5.
    TGBranch* fire = Branch(5);
    const TPoint mid = w->Doc().WorldToScreen(
        {(fire->Begin().x + fire->End().x) / 2, (fire->Begin().y + fire->End().y) / 2});
    EXPECT_LE(std::abs(pass.emergencyAt.x - mid.x), 1);
    EXPECT_LE(std::abs(pass.emergencyAt.y - mid.y), 1);
    for (const std::string& flow : FlowLabels(t, 12)) EXPECT_TRUE(Has(pass.texts, flow)) << flow;

    // Smoked branches in red, the reversed mark menu unchecked.
    w->FireVetviClick();
    EXPECT_TRUE(WindowState().FireVetvi);
    EXPECT_FALSE(WindowState().OpVetvi);
    EXPECT_EQ(255, WindowState().BranchMarkColor);
    int smoked = 0;
    for (int32_t i = 0; i < w->Doc().Count(); ++i) {
        if (TGBranch* b = w->Doc().BranchAt(i)) {
            const bool mark = calc.SmokedBranchMark[static_cast<size_t>(b->number)] != 0;
            EXPECT_EQ(mark ? 1 : 0, b->marked);
            smoked += mark;
        }
    }
    EXPECT_GT(smoked, 0);
}

TEST_F(SampleTasks, DeclinedOrCancelledTasksLeaveNothingHalfSet) {
    // A fire declined right after a natural distribution.
    ASSERT_TRUE(w->Zad_ERClick());
    SelectBranch(7);
    messages.Expect(mrNo);
    EXPECT_FALSE(w->Zad_PojarClick());
    EXPECT_EQ(0, w->EmergencyMode);
    EXPECT_EQ(0, w->FireBranchNumber);
    EXPECT_EQ('E', calc.CalcOptions[2]);

    // A fire on 5, then one declined on 7: 5 stays the fire branch and the
    // picture goes away with the emergency mode.
    SetThermalDepression(5, "4");
    SelectBranch(5);
    messages.Expect(mrYes);
    ASSERT_TRUE(w->Zad_PojarClick());
    const std::string panel = w->PanelSost;
    SelectBranch(7);
    messages.Expect(mrNo);
    EXPECT_FALSE(w->Zad_PojarClick());
    EXPECT_EQ(0, w->EmergencyMode);
    EXPECT_EQ(5, w->FireBranchNumber);
    EXPECT_EQ(panel, w->PanelSost);
    EXPECT_EQ(0, Draw().emergencyImages);

    // The thermal-depression question declined: the natural run's kind.
    SelectBranch(6);
    messages.Expect(mrYes);
    messages.Expect(mrNo, "Не расчитана тепловая депрессия для ветви 6 Расчитать?");
    EXPECT_FALSE(w->Zad_PojarClick());
    EXPECT_EQ('E', calc.CalcOptions[2]);

    // A device-failure analysis, then one cancelled at its question: the
    // kind is the natural run's and the earlier reversed marks stay.
    SelectBranch(8);
    messages.Expect(mrNo);
    ASSERT_TRUE(w->Zad_OtkazVUClick());
    const std::vector<int32_t> marks = calc.ReversedBranchMark;
    messages.Expect(mrCancel);
    EXPECT_FALSE(w->Zad_OtkazVUClick());
    EXPECT_EQ('E', calc.CalcOptions[2]);
    EXPECT_EQ(0, w->EmergencyMode);
    EXPECT_EQ(marks, calc.ReversedBranchMark);
    EXPECT_EQ(0u, messages.PendingExpectations());
}

TEST_F(SampleTasks, TasksWithoutAUsableBranchRunNothing) {
    const std::string kind(1, calc.CalcOptions[2]);
    const size_t memo = t.MemoUst.Lines.size();
    messages.Expect(mrOk, "Укажите ветвь");
    EXPECT_FALSE(w->Zad_OtkazVUClick());
    messages.Expect(mrOk, "Укажите ветвь");
    EXPECT_FALSE(w->Zad_PojarClick());
    // A drawn branch that the table does not have: no other row's analysis.
    Branch(8)->number = 99;
    SelectBranch(99);
    // The scheme check before the task reports the difference first.
    messages.Expect(mrOk,
                    "Схема не соответствует расчетным данным\r\nСмотрите закладку \"Лог\"!\r\n");
    messages.Expect(mrOk, "На схеме отсутсутствуют ветви, имеющиеся в расчетных данных\r\n"
                          "Смотрите закладку \"Лог\"!\r\n");
    messages.Expect(mrOk, "Укажите ветвь");
    EXPECT_FALSE(w->Zad_OtkazVUClick());
    EXPECT_EQ(kind, std::string(1, calc.CalcOptions[2]));
    EXPECT_EQ(memo, t.MemoUst.Lines.size());
    EXPECT_EQ(0, w->EmergencyMode);
}

TEST_F(SampleTasks, FlowAndArrowSwitchesChangeTheLabels) {
    ASSERT_TRUE(w->Zad_ERClick());
    const std::string flow = FlowLabels(t, 11)[0];
    // The first switch after a task keeps the flows on.
    w->qoutExecute();
    EXPECT_TRUE(w->MQData);
    EXPECT_TRUE(Has(Draw().texts, flow));
    w->qoutExecute();
    EXPECT_FALSE(w->MQData);
    EXPECT_FALSE(Has(Draw().texts, flow));
    EXPECT_TRUE(w->MArrowQ);
    const int arrows = Draw().labelKinds[5];
    EXPECT_GT(arrows, 0);
    // Arrows off: none asked for; flows on again turn them back on.
    w->MArrowQClick();
    EXPECT_EQ(0, Draw().labelKinds[5]);
    w->qoutExecute();
    EXPECT_TRUE(w->MQData);
    EXPECT_TRUE(w->MArrowQ);
    EXPECT_EQ(arrows, Draw().labelKinds[5]);
    // Arrows off while flows show: flows go too.
    w->MArrowQClick();
    EXPECT_FALSE(w->MQData);
    EXPECT_FALSE(Has(Draw().texts, flow));
}

TEST_F(SampleTasks, PressureDataAndOrientationSwitches) {
    ASSERT_TRUE(w->Zad_ERClick());
    const bool pressuresWere = w->MDAVL;
    w->MDAVLClick();
    EXPECT_NE(pressuresWere, w->MDAVL);
    EXPECT_EQ(w->MDAVL, Draw().labelKinds[4] > 0);
    w->MDAVLClick();
    EXPECT_EQ(pressuresWere, Draw().labelKinds[4] > 0);

    // Calculation data: the callouts with the branch lengths appear, and
    // the drawing counts as changed.
    w->DrawingModified = false;
    const bool dataWere = w->MPrData;
    const size_t before = Draw().texts.size();
    w->MPrDataClick();
    EXPECT_TRUE(w->DrawingModified);
    EXPECT_NE(dataWere, w->MPrData);
    const size_t after = Draw().texts.size();
    if (w->MPrData)
        EXPECT_GT(after, before);
    else
        EXPECT_LT(after, before);

    EXPECT_FALSE(w->MOrientBrEnabled);
    w->MOrientBrClick();
    EXPECT_EQ(w->MOrientBr ? 1 : 0, w->Doc().showDirections);
    EXPECT_EQ(w->MOrientBr, WindowState().MOrientBr);
}

TEST_F(SampleTasks, NormalDistributionMenuGoesBackToThePlaScheme) {
    w->OpVetviClick();
    WindowState().ShowRoute = 1;
    w->NormVozdClick();
    EXPECT_FALSE(WindowState().OpVetvi);
    EXPECT_FALSE(WindowState().FireVetvi);
    EXPECT_EQ(0, WindowState().ShowRoute);
    EXPECT_TRUE(w->MsxPLA);
    EXPECT_EQ(2, DrawingGlobals().SchemeKind);
    EXPECT_EQ(1, w->Doc().display.caption[3]);
}
