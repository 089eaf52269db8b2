#include "calc/model/CalcModel.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using namespace arv;

TEST(CalcModel, DefaultsAndSlotsOfTheArrays) {
    TCalcContext c;
    EXPECT_EQ(1, c.CalcOptions.FlowUnit);
    EXPECT_EQ('D', c.CalcOptions[1]);
    EXPECT_EQ('E', c.CalcOptions[2]);
    EXPECT_EQ('N', c.CalcOptions[3]);
    EXPECT_EQ('S', c.CalcOptions[4]);
    EXPECT_EQ('O', c.CalcOptions[5]);
    EXPECT_EQ('N', c.CalcOptions[40]);
    // The fire split's pseudo-branch and node are real slots.
    c.BranchFlow[MaxBranchCount] = 1.5;
    c.BranchKindCode[MaxBranchCount] = BranchType::Fire;
    c.NodePressure[MaxNodeCount] = 2;
    c.NodeIncidenceStart[MaxNodeCount + 1] = 7;
    c.NodeIncidence[2 * MaxBranchCount] = 3001;
    c.ReversedBranchMark[MaxBranchCount] = 1;
    c.SurfaceNodeList[MaxSurfaceNodes] = 9;
    EXPECT_EQ(1.5, c.BranchFlow[3001]);
    c.Reset();
    EXPECT_EQ(0, c.BranchFlow[3001]);
    EXPECT_EQ("", c.BranchKindCode[3001]);
    EXPECT_THROW(c.CalcOptions[41], std::out_of_range);
}

TEST(CalcModel, SquareLawShifts) {
    TCalcContext c;
    c.BranchResistance[5] = 0.02;
    c.BranchFlow[5] = 10;
    c.FlowIncrement = 0.5;
    c.PressureBase1[5] = 3;
    c.PressureBase2[5] = -1;
    c.RegulatorResistance[5] = 2;
    EXPECT_DOUBLE_EQ(3 - 0.02 * 0.5 * 20.5, c.SquareLawShiftUp1(5));
    EXPECT_DOUBLE_EQ(3 + 0.02 * 0.5 * 19.5, c.SquareLawShiftDown1(5));
    EXPECT_DOUBLE_EQ(-1 - 0.02 * 0.5 * 20.5, c.SquareLawShiftUp2(5));
    EXPECT_DOUBLE_EQ(-1 + 0.02 * 0.5 * 19.5, c.SquareLawShiftDown2(5));
    EXPECT_DOUBLE_EQ(2 * 9, c.SquareLawDepression(5, 3));
}

TEST(CalcModel, FanCurveIsFlatBeyondItsTop) {
    TCalcContext c;
    // H = -0.01 Q^2 + 0.8 Q + 100: top at Q = 40.
    c.FanCoefA[1] = -0.01;
    c.FanCoefB[1] = 0.8;
    c.FanCoefC[1] = 100;
    c.FanFlowLimit[1] = TCalcContext::FanTopFlow(-0.01, 0.8);
    EXPECT_DOUBLE_EQ(40, c.FanFlowLimit[1]);
    c.BranchKindCode[1] = BranchType::Fan;
    EXPECT_DOUBLE_EQ(100, c.FanPressureAtFlow(1, 20));
    EXPECT_DOUBLE_EQ(100, c.LastFanPressure);
    EXPECT_DOUBLE_EQ(-0.01 * 2500 + 0.8 * 50 + 100, c.FanPressureAtFlow(1, 50));
    c.BranchKindCode[1] = BranchType::FanReversed;
    EXPECT_DOUBLE_EQ(-0.01 * 400 + 0.8 * 20 + 100, c.FanPressureAtFlow(1, 20));
    EXPECT_DOUBLE_EQ(100, c.FanPressureAtFlow(1, 50));
    // A = 0: no top, the whole polynomial.
    EXPECT_EQ(0, TCalcContext::FanTopFlow(0, 5));
    EXPECT_EQ(0, TCalcContext::FanTopFlow(-0.01, -0.8));
    c.BranchKindCode[1] = BranchType::Fan;
    c.FanCoefA[1] = 0;
    c.FanFlowLimit[1] = 0;
    EXPECT_DOUBLE_EQ(0.8 * 5 + 100, c.FanPressureAtFlow(1, 5));
    // An ordinary branch code never flattens.
    c.BranchKindCode[1] = "";
    c.FanFlowLimit[1] = 40;
    EXPECT_DOUBLE_EQ(0.8 * 5 + 100, c.FanPressureAtFlow(1, 5));
}

TEST(DecimalText, TheFourConversions) {
    EXPECT_EQ("12,5", ToCommaDecimal(" 12.5 "));
    EXPECT_EQ("1234.5", ToPointDecimal("1 234,5"));
    EXPECT_EQ(Ru(" Штрек  верхний  2.5"), ToPointDecimalUnquoted(Ru(" Штрек 'верхний' 2,5")));
    EXPECT_EQ(Ru("a  b 2,5"), ToCommaDecimalUnquoted("a 'b 2.5"));
    EXPECT_EQ("", ToCommaDecimal(""));
    EXPECT_EQ("1\t,5", ToCommaDecimal("1\t.5")); // only code 32 is a blank
    double v = 0;
    EXPECT_TRUE(TryCellToFloat(" 2,5 ", v));
    EXPECT_DOUBLE_EQ(2.5, v);
    EXPECT_FALSE(TryCellToFloat("1,2,3", v));
    EXPECT_FALSE(TryCellToFloat("", v));
    EXPECT_EQ(12, CellToIntDef0(" 1 2"));
    EXPECT_EQ(0, CellToIntDef0("x"));
}
