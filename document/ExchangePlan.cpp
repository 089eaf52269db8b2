#include "document/ExchangePlan.h"

#include "document/Branch.h"

namespace arv {

TExchangePlan BuildExchangePlan(const TGCollFigure& doc) {
    TExchangePlan plan;
    for (const TNodeRecord& n : doc.nodes.Records())
        plan.Nodes.push_back({n.number, n.point.x, n.point.y, n.kind == 1});
    for (int32_t i = 0; i < doc.Count(); ++i) {
        const TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        const TBranchCaption& pla = b->Caption(3);
        // The fresh-air mark is the direction arrow drawn in pure red.
        plan.Branches.push_back(
            {b->number, pla.a, pla.colour, b->Caption(5).colour == 255, b->style == 4});
        if (b->kind != kKindPolyLine) continue;
        const auto* poly = static_cast<const TGPolyLine*>(b);
        if (poly->bendCount < 1) continue;
        TExchangePlan::TBends bends{b->number, {}};
        for (int32_t k = 0; k < poly->bendCount && k < static_cast<int32_t>(poly->bends.size());
             ++k)
            bends.Points.emplace_back(poly->bends[static_cast<size_t>(k)].x,
                                      poly->bends[static_cast<size_t>(k)].y);
        plan.PolylineBends.push_back(std::move(bends));
    }
    return plan;
}

} // namespace arv
