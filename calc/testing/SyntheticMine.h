// A generated mine for tests and benchmarks: several levels of workings laid
// out as thinned grids, intake shafts from the surface through every level,
// exhaust shafts up to fans that blow to the surface, a few consumers,
// regulators and a natural draught. The same seed gives the same tables on
// every machine.
#pragma once

#include "calc/model/NetworkTables.h"

#include <cstdint>

namespace arv::test {

struct TSyntheticMineOptions {
    uint64_t Seed = 20240611;
    int Levels = 4;
    int Width = 24;                 // nodes along x on each level
    int Depth = 20;                 // nodes along y on each level
    double KeepFraction = 0.45;     // share of the grid's cross-cuts kept beyond a spanning tree
    double TwinFraction = 0.02;     // workings doubled by a parallel one
    double DiagonalFraction = 0.02; // grid cells crossed diagonally
    int IntakeShafts = 6;
    int Fans = 4;
    int Consumers = 3;
    int Regulators = 3;
    bool NaturalDraught = true;
};

struct TSyntheticMine {
    int Branches = 0;
    int Nodes = 0;
    int SurfaceNodes = 0;
};

// Replaces the branch, fan and node tables and the surface node text of t.
TSyntheticMine BuildSyntheticMine(TNetworkTables& t, const TSyntheticMineOptions& o = {});

} // namespace arv::test
