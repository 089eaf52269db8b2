#include "graphlib/Graph.h"

#include <algorithm>
#include <climits>

namespace arv::graphlib {

namespace {

constexpr uint8_t kAllFeatures = 63;

const char* const kRoot = ".Root";
const char* const kHasParent = ".HasPrnt";
const char* const kSource = ".NwSrc";
const char* const kSink = ".NwSink";

} // namespace

// --- TGraphObject -----------------------------------------------------------

void TGraphObject::WriteToStream(TVStream& stream) const {
    TAttrSet::WriteToStream(stream);
    stream.WriteByte(FFlags);
    stream.Write(&Temp, sizeof Temp);
}

void TGraphObject::ReadObjectRecord(TVStream& stream, TObjectRecord& record) const {
    record.Values.TAttrSet::ReadFromStream(stream);
    record.Flags = stream.ReadByte();
    stream.ReadExact(&record.Temp, sizeof record.Temp);
}

void TGraphObject::ApplyObjectRecord(TObjectRecord& record) {
    ReleaseValues();
    SwapContents(record.Values);
    Temp = record.Temp;
}

void TGraphObject::ReadFromStream(TVStream& stream) {
    TObjectRecord record(FMap);
    ReadObjectRecord(stream, record);
    ApplyObjectRecord(record);
}

void TGraphObject::Assign(const TVector& source) {
    const auto* src = dynamic_cast<const TGraphObject*>(&source);
    if (!src) Error(kIncompatibleClasses);
    TAttrSet::Assign(source);
    Temp = src->Temp;
}

// --- TGraphElement ----------------------------------------------------------

TGraphElement::~TGraphElement() = default;

TAutoAttrSet& TGraphElement::LocalAttrs() {
    if (!FLocalAttrs) FLocalAttrs = std::make_unique<TAutoAttrSet>();
    return *FLocalAttrs;
}

void TGraphElement::WriteToStream(TVStream& stream) const {
    TGraphObject::WriteToStream(stream);
    stream.WriteByte(FLocalAttrs ? 1 : 0);
    if (FLocalAttrs) FLocalAttrs->WriteToStream(stream);
}

void TGraphElement::ReadFromStream(TVStream& stream) {
    TObjectRecord record(FMap);
    ReadObjectRecord(stream, record);
    uint8_t hasLocal = stream.ReadByte();
    if (hasLocal > 1) Error(kWrongStreamFormat);
    std::unique_ptr<TAutoAttrSet> local;
    if (hasLocal) {
        local = std::make_unique<TAutoAttrSet>();
        local->ReadFromStream(stream);
    }
    ApplyObjectRecord(record);
    FLocalAttrs = std::move(local);
}

void TGraphElement::Assign(const TVector& source) {
    const auto* src = dynamic_cast<const TGraphElement*>(&source);
    if (!src) Error(kIncompatibleClasses);
    TGraphObject::Assign(source);
    if (src->FLocalAttrs)
        LocalAttrs().Assign(*src->FLocalAttrs);
    else
        FLocalAttrs.reset();
}

void TGraphElement::Pack() {
    TGraphObject::Pack();
    if (FLocalAttrs) FLocalAttrs->Pack();
}

// --- TVertex ----------------------------------------------------------------

TVertex::TVertex(TGraph* owner) : TGraphElement(owner, owner->FVertexMap.get()) {}

TVertex::~TVertex() {
    FFlags |= kBeingDestroyed;
    TGraph* g = FOwner;
    if (g->FFlags & GraphState::Clearing) return;
    // Edges leave the other ends' lists by themselves; this list is not
    // touched, as this vertex is being destroyed.
    for (int32_t i = 0; i < FIncidentEdges.GetCount(); ++i) {
        auto* e = FIncidentEdges.ItemAs<TEdge>(i);
        if (!e) continue;
        if (e->IsLoop())
            for (int32_t j = i; j < FIncidentEdges.GetCount(); ++j)
                if (FIncidentEdges.GetItem(j) == e) FIncidentEdges.SetItem(j, nullptr);
        delete e;
    }
    g->ForgetVertex(this);
    if (FIndex >= 0 && FIndex < g->FVertices.GetCount() && g->FVertices.GetItem(FIndex) == this) {
        g->FVertices.TVector::Delete(FIndex);
        for (int32_t i = FIndex; i < g->FVertices.GetCount(); ++i) g->GetVertex(i)->FIndex = i;
    }
    g->SetState(g->FFlags & ~(GraphState::ComponentsKnown | GraphState::SeparateValid));
}

TVertex* TVertex::Neighbour(int32_t i) const {
    return IncidentEdge(i)->OtherVertex(this);
}

int32_t TVertex::ComponentNumber() {
    FOwner->EnsureComponents();
    return GetInt32(".Separate");
}

bool TVertex::IsRoot() const {
    return FOwner->GetRoot() == this;
}

void TVertex::SetAsRoot(bool root) {
    if (!root) {
        if (IsRoot()) FOwner->SetRoot(nullptr);
        return;
    }
    FOwner->SetRoot(this);
    SetBool(kHasParent, false);
    for (int32_t i = 0; i < FIncidentEdges.GetCount(); ++i) {
        TVertex* w = Neighbour(i);
        if (w != this) w->SetParent(this);
    }
}

TVertex* TVertex::Parent() const {
    if (!GetBool(kHasParent) || FIncidentEdges.GetCount() == 0) return nullptr;
    return Neighbour(0);
}

void TVertex::SetParent(TVertex* parent) {
    if (!parent) {
        SetBool(kHasParent, false);
        return;
    }
    int32_t at = -1;
    for (int32_t i = 0; i < FIncidentEdges.GetCount() && at < 0; ++i)
        if (Neighbour(i) == parent) at = i;
    if (at < 0) {
        FOwner->AddEdge(this, parent);
        at = FIncidentEdges.GetCount() - 1;
    }
    FIncidentEdges.Move(at, 0);
    SetBool(kHasParent, true);
}

void TVertex::Pack() {
    TGraphElement::Pack();
    FIncidentEdges.Pack();
}

// --- TEdge ------------------------------------------------------------------

TEdge::TEdge(TGraph* owner, TVertex* v1, TVertex* v2)
    : TGraphElement(owner, owner->FEdgeMap.get()), FV1(v1), FV2(v2) {}

TEdge::~TEdge() {
    TGraph* g = FOwner;
    if (g->FFlags & GraphState::Clearing) return;
    if (g->FFeatures & GraphFeature::Tree) {
        auto firstEdgeOf = [this](TVertex* v) {
            return v && v->FIncidentEdges.GetCount() > 0 && v->FIncidentEdges.GetItem(0) == this;
        };
        if (firstEdgeOf(FV1) && FV1->GetBool(kHasParent))
            FV1->SetBool(kHasParent, false);
        else if (firstEdgeOf(FV2) && FV2->GetBool(kHasParent))
            FV2->SetBool(kHasParent, false);
    }
    for (TVertex* end : {FV1, FV2}) {
        if (!end || (end->FFlags & kBeingDestroyed)) continue;
        int32_t at = end->FIncidentEdges.IndexOf(this);
        if (at >= 0) end->FIncidentEdges.Delete(at);
    }
    if (FIndex >= 0 && FIndex < g->FEdges.GetCount() && g->FEdges.GetItem(FIndex) == this) {
        g->FEdges.TVector::Delete(FIndex);
        for (int32_t i = FIndex; i < g->FEdges.GetCount(); ++i) g->GetEdge(i)->FIndex = i;
    }
    g->SetState(g->FFlags & ~(GraphState::ComponentsKnown | GraphState::SeparateValid |
                              GraphState::RingDefined));
}

void TEdge::SetWeight(double w) {
    SetFloat64(".Weight", w);
}

TVertex* TEdge::OtherVertex(const TVertex* v) const {
    if (v == FV1) return FV2;
    if (v == FV2) return FV1;
    return nullptr;
}

// --- TGraph: construction and access ----------------------------------------

TGraph::TGraph()
    : TGraphObject(nullptr), FGraphMap(std::make_unique<TAttrMap>()),
      FVertexMap(std::make_unique<TAttrMap>()), FEdgeMap(std::make_unique<TAttrMap>()) {
    SetMap(FGraphMap.get());
}

TGraph::~TGraph() {
    FreeElements();
    ReleaseValues();
}

void TGraph::FreeElements() {
    FFlags |= GraphState::Clearing;
    for (int32_t i = 0; i < FEdges.GetCount(); ++i) delete GetEdge(i);
    for (int32_t i = 0; i < FVertices.GetCount(); ++i) delete GetVertex(i);
    FEdges.Clear();
    FVertices.Clear();
    FFlags &= ~GraphState::Clearing;
}

void TGraph::Clear() {
    FreeElements();
    SetState(0);
}

void TGraph::CheckVertex(const TVertex* v) const {
    if (!v || v->FOwner != this) Error(kErrorInParameters);
}

TVertex* TGraph::VertexAt(int32_t index) const {
    if (index < 0 || index >= VertexCount()) Error(kIndexOutOfBounds, index);
    return GetVertex(index);
}

TVertex* TGraph::AddVertex() {
    SetState(FFlags & ~(GraphState::ComponentsKnown | GraphState::SeparateValid));
    auto v = std::unique_ptr<TVertex>(new TVertex(this));
    v->FIndex = FVertices.Add(v.get());
    return v.release();
}

void TGraph::AddVertices(int32_t n) {
    int64_t target = int64_t{FVertices.GetCount()} + n;
    FVertices.SetCapacity(static_cast<int32_t>(std::min<int64_t>(target, INT32_MAX)));
    for (int32_t i = 0; i < n; ++i) AddVertex();
}

TEdge* TGraph::AddEdge(TVertex* a, TVertex* b) {
    CheckVertex(a);
    CheckVertex(b);
    SetState(FFlags &
             ~(GraphState::ComponentsKnown | GraphState::SeparateValid | GraphState::RingDefined));
    auto e = std::unique_ptr<TEdge>(new TEdge(this, a, b));
    e->FIndex = FEdges.Add(e.get());
    TEdge* edge = e.release();
    a->FIncidentEdges.Add(edge);
    b->FIncidentEdges.Add(edge);
    return edge;
}

TEdge* TGraph::AddEdgeByIndex(int32_t i, int32_t j) {
    return AddEdge(VertexAt(i), VertexAt(j));
}

void TGraph::AddEdges(std::span<const int32_t> pairs) {
    auto high = static_cast<int64_t>(pairs.size()) - 1;
    for (int64_t i = 0; i + 1 <= high; i += 2) AddEdgeByIndex(pairs[i], pairs[i + 1]);
}

// --- Attributes, features and state ----------------------------------------

int32_t TGraph::DefineVertexAttr(std::string_view name, uint8_t type) {
    int32_t offset = FVertexMap->Define(name, type);
    if (offset >= 0)
        for (int32_t i = 0; i < VertexCount(); ++i)
            GetVertex(i)->ZeroBytes(offset, AttrTypeSize(type));
    return offset;
}

bool TGraph::UndefineVertexAttr(std::string_view name) {
    return FVertexMap->Undefine(name);
}

int32_t TGraph::DefineEdgeAttr(std::string_view name, uint8_t type) {
    int32_t offset = FEdgeMap->Define(name, type);
    if (offset >= 0)
        for (int32_t i = 0; i < EdgeCount(); ++i) GetEdge(i)->ZeroBytes(offset, AttrTypeSize(type));
    return offset;
}

bool TGraph::UndefineEdgeAttr(std::string_view name) {
    return FEdgeMap->Undefine(name);
}

int32_t TGraph::DefineGraphAttr(std::string_view name, uint8_t type) {
    int32_t offset = FGraphMap->Define(name, type);
    if (offset >= 0) ZeroBytes(offset, AttrTypeSize(type));
    return offset;
}

void TGraph::SetState(uint8_t flags) {
    uint8_t old = FFlags;
    auto on = [&](uint8_t bit) { return (flags & bit) && !(old & bit); };
    auto off = [&](uint8_t bit) { return !(flags & bit) && (old & bit); };
    if (on(GraphState::SeparateValid)) DefineVertexAttr(".Separate", AttrType::Int32);
    if (off(GraphState::SeparateValid)) UndefineVertexAttr(".Separate");
    if (on(GraphState::RingDefined)) DefineEdgeAttr(".Ring", AttrType::Bool);
    if (off(GraphState::RingDefined)) UndefineEdgeAttr(".Ring");
    FFlags = flags;
}

void TGraph::ApplyFeatureBit(uint8_t changed, uint8_t on, uint8_t bit) {
    if (!(changed & bit)) return;
    bool set = (on & bit) != 0;
    auto vertexAttr = [&](const char* name, uint8_t type) {
        set ? (void)DefineVertexAttr(name, type) : (void)UndefineVertexAttr(name);
    };
    auto edgeAttr = [&](const char* name, uint8_t type) {
        set ? (void)DefineEdgeAttr(name, type) : (void)UndefineEdgeAttr(name);
    };
    auto graphAttr = [&](const char* name, uint8_t type) {
        set ? (void)DefineGraphAttr(name, type) : (void)FGraphMap->Undefine(name);
    };
    switch (bit) {
    case GraphFeature::Directed:
        SetState(FFlags & ~GraphState::RingDefined);
        break;
    case GraphFeature::Tree:
        graphAttr(kRoot, AttrType::Pointer);
        vertexAttr(kHasParent, AttrType::Bool);
        break;
    case GraphFeature::Network:
        graphAttr(kSource, AttrType::Pointer);
        graphAttr(kSink, AttrType::Pointer);
        edgeAttr(".MaxFlow", AttrType::Float64);
        edgeAttr(".Flow", AttrType::Float64);
        break;
    case GraphFeature::Weighted:
        edgeAttr(".Weight", AttrType::Float64);
        break;
    case GraphFeature::Geom2D:
        vertexAttr(".X", AttrType::Float64);
        vertexAttr(".Y", AttrType::Float64);
        break;
    case GraphFeature::Geom3D:
        vertexAttr(".Z", AttrType::Float64);
        break;
    }
}

void TGraph::SetFeatures(uint8_t features) {
    if (features == FFeatures) return;
    if (features & GraphFeature::Network) features |= GraphFeature::Directed;
    if (features & GraphFeature::Geom3D) features |= GraphFeature::Geom2D;
    uint8_t changed = features ^ FFeatures;
    for (uint8_t bit = 1; bit <= 32; bit <<= 1) ApplyFeatureBit(changed, features, bit);
    FFeatures = features;
}

TVertex* TGraph::GetRoot() const {
    return static_cast<TVertex*>(GetPointer(kRoot));
}

void TGraph::SetRoot(TVertex* v) {
    SetPointer(kRoot, v);
}

TVertex* TGraph::GetNwSource() const {
    return static_cast<TVertex*>(GetPointer(kSource));
}

void TGraph::SetNwSource(TVertex* v) {
    SetPointer(kSource, v);
}

TVertex* TGraph::GetNwSink() const {
    return static_cast<TVertex*>(GetPointer(kSink));
}

void TGraph::SetNwSink(TVertex* v) {
    SetPointer(kSink, v);
}

// A freed vertex must not stay behind as the root, source or sink.
void TGraph::ForgetVertex(const TVertex* v) {
    for (const char* name : {kRoot, kSource, kSink})
        if (FGraphMap->TypeOf(name) == AttrType::Pointer && GetPointer(name) == v)
            SetPointer(name, nullptr);
}

// --- Stream form, Assign, Pack ---------------------------------------------

void TGraph::WriteToStream(TVStream& stream) const {
    FGraphMap->WriteToStream(stream);
    FVertexMap->WriteToStream(stream);
    FEdgeMap->WriteToStream(stream);
    TGraphObject::WriteToStream(stream);
    stream.WriteByte(FFeatures);
    stream.WriteInt32(VertexCount());
    for (int32_t i = 0; i < VertexCount(); ++i) GetVertex(i)->WriteToStream(stream);
    stream.WriteInt32(EdgeCount());
    for (int32_t i = 0; i < EdgeCount(); ++i) {
        const TEdge* e = GetEdge(i);
        stream.WriteInt32(e->V1() ? e->V1()->Index() : -1);
        stream.WriteInt32(e->V2() ? e->V2()->Index() : -1);
        e->WriteToStream(stream);
    }
    auto index = [](const TVertex* v) { return v ? v->Index() : -1; };
    if (FFeatures & GraphFeature::Tree) stream.WriteInt32(index(GetRoot()));
    if (FFeatures & GraphFeature::Network) {
        stream.WriteInt32(index(GetNwSource()));
        stream.WriteInt32(index(GetNwSink()));
    }
}

void TGraph::ReadFromStream(TVStream& stream) {
    // Read into a scratch graph: a damaged stream leaves this graph as it was.
    TGraph g;
    g.FGraphMap->ReadFromStream(stream);
    g.FVertexMap->ReadFromStream(stream);
    g.FEdgeMap->ReadFromStream(stream);
    TObjectRecord record(g.FGraphMap.get());
    g.ReadObjectRecord(stream, record);
    g.ApplyObjectRecord(record);
    uint8_t features = stream.ReadByte();
    if (features > kAllFeatures) Error(kWrongStreamFormat);
    g.SetFeatures(features);
    int32_t n = stream.ReadInt32();
    if (n < 0) Error(kWrongStreamFormat);
    // The least a vertex takes: record length, flags, Temp, private-set flag.
    const int64_t vertexBytes = 4 + 1 + sizeof(std::intptr_t) + 1;
    stream.CheckRemaining(n * vertexBytes);
    g.AddVertices(n);
    for (int32_t i = 0; i < n; ++i) g.GetVertex(i)->ReadFromStream(stream);
    int32_t m = stream.ReadInt32();
    if (m < 0) Error(kWrongStreamFormat);
    stream.CheckRemaining(m * (8 + vertexBytes));
    auto vertexAt = [&](int32_t index) -> TVertex* {
        if (index < 0 || index >= n) Error(kWrongStreamFormat);
        return g.GetVertex(index);
    };
    for (int32_t i = 0; i < m; ++i) {
        TVertex* a = vertexAt(stream.ReadInt32());
        TVertex* b = vertexAt(stream.ReadInt32());
        g.AddEdge(a, b)->ReadFromStream(stream);
    }
    auto optionalVertex = [&](int32_t index) { return index == -1 ? nullptr : vertexAt(index); };
    if (g.FFeatures & GraphFeature::Tree) g.SetRoot(optionalVertex(stream.ReadInt32()));
    if (g.FFeatures & GraphFeature::Network) {
        g.SetNwSource(optionalVertex(stream.ReadInt32()));
        g.SetNwSink(optionalVertex(stream.ReadInt32()));
    }
    // Component numbers and counts are not part of the form.
    g.SetState(record.Flags & GraphState::RingDefined);
    TakeFrom(g);
}

void TGraph::TakeFrom(TGraph& other) {
    Clear();
    ReleaseValues();
    SwapWith(other); // own values and their map registration
    std::swap(FGraphMap, other.FGraphMap);
    std::swap(FVertexMap, other.FVertexMap);
    std::swap(FEdgeMap, other.FEdgeMap);
    FVertices.Assign(other.FVertices);
    FEdges.Assign(other.FEdges);
    other.FVertices.Clear();
    other.FEdges.Clear();
    for (int32_t i = 0; i < VertexCount(); ++i) GetVertex(i)->FOwner = this;
    for (int32_t i = 0; i < EdgeCount(); ++i) GetEdge(i)->FOwner = this;
    FFeatures = other.FFeatures;
    FFlags = other.FFlags;
    FConnected = other.FConnected;
    FComponentCount = other.FComponentCount;
    Temp = other.Temp;
    other.FFlags = 0;
    other.FFeatures = 0;
}

void TGraph::Assign(const TVector& source) {
    const auto* src = dynamic_cast<const TGraph*>(&source);
    if (!src) Error(kIncompatibleClasses);
    if (src == this) return;
    TVMemStream stream;
    src->WriteToStream(stream);
    stream.Seek(0);
    ReadFromStream(stream);
}

void TGraph::Pack() {
    TGraphObject::Pack();
    for (int32_t i = 0; i < VertexCount(); ++i) GetVertex(i)->Pack();
    for (int32_t i = 0; i < EdgeCount(); ++i) GetEdge(i)->Pack();
    FVertices.Pack();
    FEdges.Pack();
}

} // namespace arv::graphlib
