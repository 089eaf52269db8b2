// The flows of the generated mine, kept to the last bit: a faster solver must
// give exactly these. Run with ARVALEN_WRITE_GOLDEN=1 to write the file anew
// (only when a change is meant to alter results).
#include "calc/engine/FlowSolver.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/SyntheticMine.h"

#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

using namespace arv;

namespace {

const char* const kGoldenFile = ARV_CALC_TEST_DATA "/synthetic_mine_flows.txt";

uint64_t Bits(double v) {
    uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

// Flows of every branch as exact hexadecimal doubles, and a digest of both
// pressure bases of every branch, per run.
std::string SolveAll() {
    TCalcContext c;
    TNetworkTables t{c};
    test::BuildSyntheticMine(t);
    std::ostringstream out;
    struct {
        const char* name;
        const TSolverProfile* profile;
        char accuracy;
    } runs[] = {{"A D", &SolverProfileA, 'D'},
                {"A S", &SolverProfileA, 'S'},
                {"B D", &SolverProfileB, 'D'},
                {"B S", &SolverProfileB, 'S'}};
    for (const auto& run : runs) {
        c.CalcOptions[1] = run.accuracy;
        PrepareNetwork(t, c);
        EXPECT_EQ(0, c.CalcErrorFlag);
        SolveArcFlows(c, *run.profile);
        uint64_t digest = 1469598103934665603ull;
        for (int n = 1; n <= MaxBranchCount; ++n)
            for (double v : {c.PressureBase1[n], c.PressureBase2[n]})
                digest = (digest ^ Bits(v)) * 1099511628211ull;
        char line[96];
        std::snprintf(line, sizeof line, "run %s bases %016llx\n", run.name,
                      static_cast<unsigned long long>(digest));
        out << line;
        for (int i = 1; i <= c.BranchWorkCount; ++i) {
            int n = c.BranchWorkList[i];
            std::snprintf(line, sizeof line, "%d %a\n", n, c.BranchFlow[n]);
            out << line;
        }
    }
    return out.str();
}

TEST(FlowSolverGolden, GeneratedMineFlowsStayBitForBit) {
    test::TScriptedMessages messages;
    std::string actual = SolveAll();
    if (std::getenv("ARVALEN_WRITE_GOLDEN")) {
        std::ofstream(kGoldenFile, std::ios::binary) << actual;
        GTEST_SKIP() << "golden file written";
    }
    const std::string expected = test::FileBytes(kGoldenFile);
    ASSERT_FALSE(expected.empty()) << kGoldenFile;
    // Line by line, so a failure names the run and the branch.
    std::istringstream a(actual), e(expected);
    std::string la, le, run;
    int line = 0, differences = 0;
    while (std::getline(e, le)) {
        ++line;
        ASSERT_TRUE(std::getline(a, la)) << "result ends at line " << line;
        if (le.rfind("run ", 0) == 0) run = le;
        if (la != le && ++differences <= 10)
            ADD_FAILURE() << run << ", line " << line << ": expected " << le << ", got " << la;
    }
    EXPECT_FALSE(std::getline(a, la)) << "result longer than the golden file";
    EXPECT_EQ(0, differences);
}

} // namespace
