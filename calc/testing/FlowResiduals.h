// An independent check of a solved network, from its inputs and flows alone:
// air conserved at every node below the surface, and the pressure drops
// balanced around every mesh. All surface nodes count as one node (the
// atmosphere); branches with a regulator (fixed-flow branches) may take any
// extra drop, so meshes through them are not checked.
#pragma once

#include "calc/model/CalcModel.h"

namespace arv::test {

struct TFlowResiduals {
    double MaxNodeImbalance = 0; // m3/s, the largest |inflow - outflow|
    int WorstNode = 0;
    double MaxMeshResidual = 0; // mm w.c., the largest pressure imbalance of a mesh
    int WorstMeshBranch = 0;    // the branch that closes that mesh
    // The largest mesh imbalance divided by the mesh's pressure change per
    // unit of flow pushed round it: the flow error of the worst mesh, m3/s.
    double MaxMeshFlowError = 0;
    int WorstFlowErrorBranch = 0;
    int MeshesChecked = 0;
};

// Pressure drop of branch i from its begin to its end node at its flow:
// R*Q*|Q| less the pressure of its fan or natural draught.
double BranchDrop(const TCalcContext& c, int i);

TFlowResiduals CheckFlows(const TCalcContext& c);

} // namespace arv::test
