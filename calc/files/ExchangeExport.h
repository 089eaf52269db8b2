// The Tresk exchange text and the Veltor exchange file: the network tables
// together with what the plan drawing adds (node positions, the PLA marks of
// the branch figures, the bends of polyline branches). The drawing reaches
// the writers as a plain plan record the caller fills, so the calculation
// does not depend on the document.
#pragma once

#include "calc/model/NetworkTables.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace arv {

struct TExchangePlan {
    // The node records of the drawing in collection order; records with a
    // number below 1 are skipped by the writers.
    struct TNode {
        int Number = 0;
        int X = 0;
        int Y = 0;
        bool Surface = false;
    };
    // The branch figures in document order; a table row takes the first
    // figure of its number.
    struct TBranch {
        int Number = 0;
        int PlaPosition = 0;   // caption record 3
        int PlaColour = 0;     // its colour
        bool FreshAir = false; // caption record 5 drawn in pure red
        bool Styled = false;   // line style 4
    };
    // The bend points of each polyline branch that has any, in order.
    struct TBends {
        int BranchNumber = 0;
        std::vector<std::pair<int, int>> Points;
    };
    std::vector<TNode> Nodes;
    std::vector<TBranch> Branches;
    std::vector<TBends> PolylineBends;
};

// Both writers clear the flag at their start and set it to 1 once the whole
// file is in place. A file is written completely or not at all: a stop on
// bad table data (with its message) keeps the old file and leaves the flag 0.
uint8_t& ExportWrittenFlag();

void WriteTreskText(const std::string& fileName, const TNetworkTables& t,
                    const TExchangePlan& plan);
void WriteVeltorText(const std::string& fileName, const TNetworkTables& t,
                     const TExchangePlan& plan);

} // namespace arv
