// A generated plan of 3,000 branches, the size of a large mine, for the
// drawing benchmarks and for tests of the drawing on a large plan.
#pragma once

#include "document/Document.h"
#include "platform/StringGrid.h"

namespace arv {

// Label kinds of the plan, as bits.
enum TPlanLabels : int {
    kPlanNames = 1,
    kPlanNumbers = 2,
    kPlanNodeNumbers = 4,
    kPlanFlows = 8,
    kPlanArrows = 16,
    kPlanPlaPositions = 32,
    kPlanPressures = 64,
    kPlanCallouts = 128,
    kPlanAllLabels = 255,
};

// Nodes on a 40 x 40 grid 100 world units apart; branches join neighbours
// across and down until there are 3,000, except that in every fourth row the
// branches across run sloped to a node a column or two on and a row or two
// up or down, with longer names. Every third branch is a double
// band, every seventh a filled one. Flows come from a calculation grid of
// the plan's own (column 11), which the window state is pointed at for the
// plan's life. Every fifth branch has a PLA position, every fourth a
// calculation-data callout, and both ends of every branch show a pressure.
// The view shows the whole plan in width x height pixels.
class TGeneratedPlan {
public:
    explicit TGeneratedPlan(int labels = kPlanAllLabels, int width = 1600, int height = 1000);
    ~TGeneratedPlan();
    TGeneratedPlan(const TGeneratedPlan&) = delete;
    TGeneratedPlan& operator=(const TGeneratedPlan&) = delete;

    TGCollFigure doc;
    TStringGridModel grid;
};

} // namespace arv
