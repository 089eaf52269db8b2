// Components and minimum-weight paths of the graph.

#include "graphlib/FloatPriorityQueue.h"
#include "graphlib/Graph.h"

namespace arv::graphlib {

namespace {

// Marks a vertex not yet reached; not the largest Float64, so that a sum of
// large weights still compares as reached.
constexpr double kUnreached = 1.7e308;
constexpr std::intptr_t kUnvisited = -1;

} // namespace

// Breadth-first layers from each unvisited vertex in index order; edge
// direction is ignored. Costs O(V + E).
void TGraph::FindComponents() {
    uint8_t saved = FFlags;
    try {
        SetState(FFlags | GraphState::SeparateValid);
        if ((saved & GraphState::ComponentsKnown) && FConnected) {
            FComponentCount = 1;
            return;
        }
        FComponentCount = 0;
        for (int32_t i = 0; i < VertexCount(); ++i) GetVertex(i)->Temp = kUnvisited;
        TPointerVector layers[2];
        for (int32_t i = 0; i < VertexCount(); ++i) {
            TVertex* v = GetVertex(i);
            if (v->Temp != kUnvisited) continue;
            v->Temp = FComponentCount;
            TPointerVector* current = &layers[0];
            TPointerVector* next = &layers[1];
            current->SetCount(0);
            next->SetCount(0);
            current->Add(v);
            for (;;) {
                for (int32_t k = 0; k < current->GetCount(); ++k) {
                    auto* u = current->ItemAs<TVertex>(k);
                    for (int32_t j = 0; j < u->IncidentEdges().GetCount(); ++j) {
                        TVertex* w = u->Neighbour(j);
                        if (w->Temp != kUnvisited) continue;
                        w->Temp = FComponentCount;
                        next->Add(w);
                    }
                }
                if (next->GetCount() == 0) break;
                std::swap(current, next);
                next->SetCount(0);
            }
            ++FComponentCount;
        }
        FConnected = FComponentCount == 1;
        int32_t separate = FVertexMap->Offset(".Separate");
        for (int32_t i = 0; i < VertexCount(); ++i)
            GetVertex(i)->SetInt32At(separate, static_cast<int32_t>(GetVertex(i)->Temp));
        SetState(FFlags | GraphState::ComponentsKnown);
    } catch (...) {
        SetState(saved);
        throw;
    }
}

void TGraph::EnsureComponents() {
    if (!(FFlags & GraphState::SeparateValid)) FindComponents();
}

// Dijkstra's method with a decrease-key queue: every vertex is queued at most
// once and its handle updated, so a search costs O((V + E) log V). It stops as
// soon as the target leaves the queue. Distances, handles and settled flags
// live in vectors by vertex index; the edge that reaches a vertex in its Temp.
double TGraph::MinWeightPath(TVertex* from, TVertex* to, const TVertexFilter& vertexFilter,
                             const TEdgeFilter& edgeFilter, TPointerVector* edgePath) {
    if (edgePath) edgePath->Clear();
    CheckVertex(from);
    CheckVertex(to);
    if (from == to) return 0;
    if ((FFlags & GraphState::SeparateValid) &&
        from->GetInt32(".Separate") != to->GetInt32(".Separate"))
        return -1;
    const int32_t n = VertexCount();
    TNumberVector<double> distance(n, kUnreached);
    const int32_t weight = FEdgeMap->Offset(".Weight");
    for (int32_t i = 0; i < n; ++i) GetVertex(i)->Temp = 0;
    {
        TFloatPriorityQueue queue;
        TPointerVector handles;
        handles.SetCount(n);
        TBoolVector unsettled(n, true);
        distance.SetItem(from->Index(), 0);
        TVertex* current = from;
        for (;;) {
            const double dv = distance.GetItem(current->Index());
            unsettled.SetItem(current->Index(), false);
            const TPointerVector& incident = current->IncidentEdges();
            for (int32_t k = 0; k < incident.GetCount(); ++k) {
                auto* e = incident.ItemAs<TEdge>(k);
                if (edgeFilter && !edgeFilter(e, current)) continue;
                TVertex* w = e->OtherVertex(current);
                const int32_t wi = w->Index();
                if (!unsettled.GetItem(wi)) continue; // also skips loops
                if (vertexFilter && !vertexFilter(w)) continue;
                const double d = dv + e->GetFloat64At(weight);
                // Strictly greater: an equal distance keeps the earlier edge.
                if (distance.GetItem(wi) > d) {
                    w->Temp = reinterpret_cast<std::intptr_t>(e);
                    distance.SetItem(wi, d);
                    auto handle = static_cast<TFloatPriorityQueue::THandle>(handles.GetItem(wi));
                    handles.SetItem(wi, queue.UpdateKey(handle, wi, d));
                }
            }
            if (queue.IsEmpty()) break;
            current = GetVertex(queue.DeleteMin());
            if (current == to) break;
        }
    }
    const double result = distance.GetItem(to->Index());
    if (!(result < kUnreached)) return -1;
    if (edgePath) {
        for (TVertex* v = to; v != from;) {
            auto* e = reinterpret_cast<TEdge*>(v->Temp);
            edgePath->Add(e);
            v = e->OtherVertex(v);
        }
        edgePath->Pack();
        edgePath->Reverse();
    }
    return result;
}

double TGraph::FindMinWeightPath(TVertex* from, TVertex* to, TPointerVector* edgePath) {
    if (!(FFeatures & GraphFeature::Directed)) return MinWeightPath(from, to, {}, {}, edgePath);
    return MinWeightPath(
        from, to, {}, [](TEdge* e, TVertex* current) { return e->V1() == current; }, edgePath);
}

bool TGraph::EdgePathToVertexPath(TVertex* start, const TPointerVector& edgePath,
                                  TPointerVector& vertexPath) const {
    vertexPath.Clear();
    if (edgePath.GetCount() == 0) return true;
    TVertex* v = start;
    for (int32_t i = 0; i < edgePath.GetCount(); ++i) {
        auto* e = edgePath.ItemAs<TEdge>(i);
        TVertex* next;
        if (e->V1() == v)
            next = e->V2();
        else if (e->V2() == v)
            next = e->V1();
        else {
            vertexPath.Clear();
            return false;
        }
        vertexPath.Add(v);
        v = next;
    }
    vertexPath.Add(v);
    vertexPath.Pack();
    return true;
}

} // namespace arv::graphlib
