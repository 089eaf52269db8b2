// The calculation's numbers: one slot per branch number and per node number,
// the options record and the scalars the preparation, the solver and the
// result writers share. The tables are the editable form of the network;
// these arrays are what a calculation works on between reading the tables
// and writing the results back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace arv {

// Highest branch number; the slot itself is the fire split's pseudo-branch.
constexpr int MaxBranchCount = 3001;
// Highest node number; the fire split's node.
constexpr int MaxNodeCount = 2001;
// Size of the surface node list (entries 1..500).
constexpr int MaxSurfaceNodes = 500;

// One-character options addressed by position, as the settings, the data
// text and the calculations name them; position 0 is the flow unit byte.
struct TCalcOptions {
    uint8_t FlowUnit = 1; // position 0: 1 = m3/s, 60 = m3/min
    double PageScale = 0;
    double StoppedFanResistance = 0;
    double FailedDeviceResistance = 0;
    double FireMinSlope = 0;
    double FireElapsedTime = 0;
    int ReportColumnCount = 0;

    TCalcOptions();
    // Positions 1 to 40 ('D'/'S' accuracy at 1, last calculation at 2, ...,
    // normal/emergency mode at 40).
    char& operator[](int position);
    char operator[](int position) const;
    void SetDefaults();

private:
    std::array<char, 41> positions_{};
};

class TCalcContext {
public:
    TCalcContext();

    TCalcOptions CalcOptions;

    // Per-branch arrays, slots 0..MaxBranchCount (slot 0 unused).
    std::vector<int32_t> BranchBeginNode, BranchEndNode;
    std::vector<std::string> BranchKindCode; // at most 2 characters, blanks removed
    std::vector<double> BranchResistance, BranchLength, BranchSection, BranchSlope;
    std::vector<double> RegulatorResistance, CalcRegulatorResistance, RequiredFlow;
    std::vector<double> FlowLowerBound, FlowUpperBound, BranchFlow;
    std::vector<double> PressureBase1, PressureBase2;
    std::vector<double> BranchDepression, BranchVelocity;
    std::vector<double> FanCoefA, FanCoefB, FanCoefC, FanFlowLimit;
    std::vector<int32_t> BranchCalcKind, BranchOccurrence;
    std::vector<int32_t> BranchWorkList;
    int32_t BranchWorkCount = 0;
    std::vector<double> BranchHeight;
    // Fire and gas calculation, flows of the last natural run.
    std::vector<double> BranchGasInflow, BranchGasFlow, BranchGasConcentration, SavedNormalFlow;
    // Marks for the drawing and the route searches (3002 entries).
    std::vector<int32_t> ReversedBranchMark, SmokedBranchMark;

    // Per-node arrays, slots 0..MaxNodeCount (slot 0 unused).
    std::vector<double> NodeElevation;
    std::vector<int32_t> NodeX, NodeY;
    std::vector<std::string> NodeInBranchesText, NodeOutBranchesText;
    std::vector<int32_t> NodeInCount, NodeOutCount;
    std::vector<int32_t> SurfaceNodeFlag, NodeLabel, NodeWork;
    std::vector<int32_t> NodeIncidenceStart; // 1..MaxNodeCount + 1
    std::vector<int32_t> NodeIncidence;      // 1..2 * MaxBranchCount
    std::vector<int32_t> SourceNodeList, SinkNodeList;
    int32_t SourceNodeCount = 0, SinkNodeCount = 0;
    std::vector<double> NodePressure, NodeSmokeTime;
    std::vector<int32_t> SurfaceNodeList; // 1..MaxSurfaceNodes; 0 ends the list
    int32_t SurfaceNodeCount = 0;

    // Scalars.
    uint8_t CalcErrorFlag = 0;
    // Set when an older data file or a Tresk exchange text was read through;
    // the mine file import tests it.
    uint8_t DataLoadedFlag = 0;
    int32_t OptimalIteration = 0;
    int32_t OptimalStage = 0;
    int32_t SearchResult = 0;
    int32_t ConnectedNodeCount = 0;
    double FlowIncrement = 0;
    double CurrentStep = 0; // flow step of the solver's current stage, m3/s
    int32_t CurrentBranch = 0;
    double LastFanPressure = 0;
    // Fan flow sums of this and the previous pass of the optimal distribution.
    double FanFlowSum = 0, PrevFanFlowSum = 0;
    // The solver's diagnostic listing of its last run (CP1251 lines, LF ends).
    std::string SolverListing;
    // Set by a solver run that met "Неопределенная ошибка": its flows are no
    // result to show.
    uint8_t SolverFailed = 0;
    // The first branch (in work-list order) on which the last run gave up:
    // in every stage it used up its attempts pushing its flow the same way
    // by full steps. Nothing holds that flow back; profile A stops there,
    // at about 31,620 m3/s, far below the flow bound. 0: none.
    int32_t SolverRunawayBranch = 0;

    // Prepared texts the calculations leave for the exports and the editor
    // (lines end with LF, cells separated by TAB).
    std::string NetworkDataText;
    std::string PressureText;
    int32_t PressureRowCount = 0;
    std::string StabilityText, StabilityTableText, FireStabilityText, DeviceStabilityText;
    int32_t StabilityRowCount = 0;
    int32_t DeviceStabilityColCount = 0;

    // Square-law pressure of branch i after a flow step dQ = FlowIncrement.
    double SquareLawShiftUp1(int i) const;
    double SquareLawShiftDown1(int i) const;
    double SquareLawShiftUp2(int i) const;
    double SquareLawShiftDown2(int i) const;
    // Regulator resistance times q squared.
    double SquareLawDepression(int i, double q) const;
    // Fan curve at q: flat at C left of a fan's top ("В") and right of a
    // reversed fan's top ("ВР"); the result is also kept in LastFanPressure.
    double FanPressureAtFlow(int i, double q);
    // -B/(2A); 0 when A = 0 or when the top lies at a negative flow.
    static double FanTopFlow(double a, double b);

    // Every array back to zero and the report texts emptied.
    void Reset();
};

// The one calculation context of the program.
TCalcContext& Calc();

} // namespace arv
