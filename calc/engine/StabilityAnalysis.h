// How stable the air distribution is against a disturbance: the failure of
// the ventilation device of one branch, and the summaries over fires in every
// inclined working and over failures of every "АУ" device. Each runs the
// natural distribution first, disturbs the arrays, solves again and compares
// the flows; results go to the stability page, a report file in the program
// folder and the prepared texts of the office exports.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>
#include <string_view>
#include <vector>

namespace arv {

// Progress and cancellation of a summary; the progress window is one
// implementation, tests use others. Called on the thread that runs the
// summary.
class ISummaryProgress {
public:
    virtual ~ISummaryProgress() = default;
    // Shown with a bar of `steps` steps at position 1.
    virtual void Start(int steps) = 0;
    virtual void Step() = 0;
    // Polled between candidates; true stops the summary.
    virtual bool Cancelled() = 0;
    virtual void Finish() = 0;
};

enum class TSummaryResult { Done, Failed, Cancelled };

// Device failure in the branch of the current row of TablDan ("rvust.txt").
// False when the natural run, the question or the preparation stopped it.
bool Rasc_UstClick(TNetworkTables& t, TCalcContext& c);

// threads: 0 = every core, 1 = serial on the calling thread. Every text and
// file comes out the same whatever the count.
TSummaryResult Rasc_PogUstClick(TNetworkTables& t, TCalcContext& c, ISummaryProgress& progress,
                                int threads = 0);
TSummaryResult Rasc_ObUstClick(TNetworkTables& t, TCalcContext& c, ISummaryProgress& progress,
                               int threads = 0);

// Flow accuracy of a run (m3/s): the flow step of its last stage. A flow
// below it counts as no flow.
double RunFlowAccuracy(const TCalcContext& c, bool fineSolver);
// The accuracy of the natural run, whose solver CalcOptions[4] chooses.
double NaturalRunAccuracy(const TCalcContext& c);
// The stream changed direction beyond the accuracy of both runs: each flow
// is more than one step (its run's accuracy) on its side, a flow of one
// step however its last bits came out counting as none.
bool FlowReversed(double normal, double normalAccuracy, double now, double nowAccuracy);

// Category "I", "II", "III" of a consumer by its type cell and its
// deviation in %; "" for other types.
std::string ConsumerCategory(std::string_view typeCell, double deviation);

// A number cell as the analyses read it: decimal comma or point, 0 when it
// is no number.
double CellNumber(std::string_view cell);

// The run of a natural distribution ended with results.
bool NaturalRunSucceeded(const TCalcContext& c);
// SavedNormalFlow := BranchFlow after the natural run: the normal mode that
// every analysis, single or summary, judges a reversal against.
void KeepNormalFlows(TCalcContext& c);

} // namespace arv

namespace arv {

// One row of the consumer table of a one-branch analysis (device failure or
// fire): a consumer (required flow above 0.01 m3/s) or a branch whose stream
// reversed against SavedNormalFlow. Flows are in the display unit; the
// normal one as column 11 shows it.
struct TReportedRow {
    int Number = 0;
    std::string Type, Name; // columns 3 and 15
    double Required = 0, Normal = 0, Emergency = 0;
    std::string Deviation; // "%6.1f", " опр. " or " "
    std::string Category;
    bool Reversed = false;
};

// The reported rows of TablDan after the disturbed run (SavedNormalFlow
// holding the natural run's); marks the reversed ones in ReversedBranchMark.
std::vector<TReportedRow> CollectReportedRows(TNetworkTables& t, TCalcContext& c,
                                              double emergencyAccuracy);

} // namespace arv
