// Runs the candidates of a summary analysis, each a preparation and a solve
// of the whole network, in order on the calling thread or spread over
// helper threads. A helper works on its own copy of the tables and of the
// calculation context; results are merged in candidate order, so that what
// the summary writes does not depend on the number of threads. A candidate
// that wanted to show a message (a data error, a solver failure) is run again
// on the calling thread, where the message shows in its turn, and the rest
// follows there as in a serial run.
#pragma once

#include "calc/engine/StabilityAnalysis.h"

#include <functional>
#include <string>
#include <vector>

namespace arv {

struct TCandidate {
    int Row = 0;      // row of TablDan
    int Branch = 0;   // its branch number
    double Value = 0; // what the summary needs of it (thermal depression)
};

// The report lines of one candidate.
struct TCandidateLines {
    std::string Page, File, Text;
};

// False when the preparation failed: the summary ends there.
using TCandidateWork =
    std::function<bool(TNetworkTables&, TCalcContext&, const TCandidate&, TCandidateLines&)>;

// One progress step per data row of TablDan up to each candidate's row;
// merge receives the lines of every finished candidate in order. After a
// complete run the context holds the run of the last candidate, as a serial
// run leaves it.
TSummaryResult RunCandidates(TNetworkTables& t, TCalcContext& c,
                             const std::vector<TCandidate>& candidates, const TCandidateWork& work,
                             const std::function<void(const TCandidateLines&)>& merge,
                             ISummaryProgress& progress, int threads);

} // namespace arv
