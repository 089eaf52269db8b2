// The attributed graph: the graph, each vertex and each edge is an attribute
// set laid out by one of three maps the graph owns, so defining an attribute
// on a map gives every vertex (or edge) that value at once. Feature bits
// switch on standard attributes. On top of the model the graph numbers its
// connected components and finds minimum-weight paths.
//
// Vertices and edges are created by the graph and removed by deleting them:
// an element's destructor unlinks it and renumbers the later elements.
#pragma once

#include "graphlib/AttrSet.h"
#include "graphlib/BoolVectors.h"

#include <functional>
#include <memory>
#include <span>

namespace arv::graphlib {

class TGraph;
class TVertex;
class TEdge;

namespace GraphFeature {
inline constexpr uint8_t Directed = 1;
inline constexpr uint8_t Tree = 2;
inline constexpr uint8_t Network = 4; // implies Directed
inline constexpr uint8_t Weighted = 8;
inline constexpr uint8_t Geom2D = 16;
inline constexpr uint8_t Geom3D = 32; // implies Geom2D
} // namespace GraphFeature

namespace GraphState {
inline constexpr uint8_t Clearing = 1;        // elements skip every unlinking step
inline constexpr uint8_t ComponentsKnown = 2; // ComponentCount and Connected are valid
inline constexpr uint8_t SeparateValid = 4;   // ".Separate" holds component numbers
inline constexpr uint8_t RingDefined = 8;     // ".Ring" is defined on edges
} // namespace GraphState

class TGraphObject : public TAttrSet {
public:
    explicit TGraphObject(TAttrMap* map) : TAttrSet(map) {}
    const char* ClassName() const override { return "TGraphObject"; }

    int32_t Index() const { return FIndex; }
    uint8_t Flags() const { return FFlags; }

    // Scratch slot: the edge that reaches a vertex during a path search, its
    // component number during the component search.
    std::intptr_t Temp = 0;

    // The attribute set's form, then Flags (1 byte) and Temp (pointer-sized).
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    // Copies the attribute values and Temp.
    void Assign(const TVector& source) override;

protected:
    // The object part of a stream record, read but not yet applied.
    struct TObjectRecord {
        explicit TObjectRecord(TAttrMap* map) : Values(map) {}
        TAttrSet Values;
        uint8_t Flags = 0;
        std::intptr_t Temp = 0;
    };
    void ReadObjectRecord(TVStream& stream, TObjectRecord& record) const;
    void ApplyObjectRecord(TObjectRecord& record);

    int32_t FIndex = -1;
    uint8_t FFlags = 0;
};

class TGraphElement : public TGraphObject {
public:
    ~TGraphElement() override;
    const char* ClassName() const override { return "TGraphElement"; }

    TGraph* Owner() const { return FOwner; }
    // Attributes private to this element, created on first use.
    TAutoAttrSet& LocalAttrs();
    bool HasLocalAttrs() const { return FLocalAttrs != nullptr; }

    // As the object, then one byte telling whether private attributes follow,
    // and their form.
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void Assign(const TVector& source) override;
    void Pack() override;

protected:
    static constexpr uint8_t kBeingDestroyed = 1;
    TGraphElement(TGraph* owner, TAttrMap* map) : TGraphObject(map), FOwner(owner) {}

    TGraph* FOwner;
    std::unique_ptr<TAutoAttrSet> FLocalAttrs;
};

class TVertex : public TGraphElement {
public:
    ~TVertex() override;
    const char* ClassName() const override { return "TVertex"; }

    // The edges that touch the vertex in the order they were attached; a loop
    // appears twice.
    const TPointerVector& IncidentEdges() const { return FIncidentEdges; }
    TEdge* IncidentEdge(int32_t i) const { return FIncidentEdges.ItemAs<TEdge>(i); }
    TVertex* Neighbour(int32_t i) const;
    int32_t ComponentNumber();

    // Tree feature.
    bool IsRoot() const;
    void SetAsRoot(bool root);
    TVertex* Parent() const;
    void SetParent(TVertex* parent);

    void Pack() override;

private:
    friend class TGraph;
    friend class TEdge;
    explicit TVertex(TGraph* owner);

    TPointerVector FIncidentEdges;
};

class TEdge : public TGraphElement {
public:
    ~TEdge() override;
    const char* ClassName() const override { return "TEdge"; }

    // A directed edge runs from V1 to V2.
    TVertex* V1() const { return FV1; }
    TVertex* V2() const { return FV2; }
    // Sets ".Weight"; the Weighted feature must be on.
    void SetWeight(double w);
    // V2 seen from V1, V1 from V2, nil otherwise; a loop gives the vertex.
    TVertex* OtherVertex(const TVertex* v) const;
    bool IsLoop() const { return FV1 == FV2; }

private:
    friend class TGraph;
    TEdge(TGraph* owner, TVertex* v1, TVertex* v2);

    TVertex* FV1;
    TVertex* FV2;
};

class TGraph : public TGraphObject {
public:
    using TVertexFilter = std::function<bool(TVertex*)>;
    using TEdgeFilter = std::function<bool(TEdge* edge, TVertex* current)>;

    TGraph();
    ~TGraph() override;
    const char* ClassName() const override { return "TGraph"; }

    uint8_t Features() const { return FFeatures; }
    // Network adds Directed, Geom3D adds Geom2D; each changed bit defines or
    // undefines its standard attributes.
    void SetFeatures(uint8_t features);
    // Defines ".Separate" with bit SeparateValid and ".Ring" with RingDefined.
    void SetState(uint8_t flags);
    bool Connected() const { return FConnected; }
    int32_t ComponentCount() const { return FComponentCount; }

    TAttrMap& GraphAttrMap() { return *FGraphMap; }
    TAttrMap& VertexAttrMap() { return *FVertexMap; }
    TAttrMap& EdgeAttrMap() { return *FEdgeMap; }
    const TPointerVector& Vertices() const { return FVertices; }
    const TPointerVector& Edges() const { return FEdges; }
    int32_t VertexCount() const { return FVertices.GetCount(); }
    int32_t EdgeCount() const { return FEdges.GetCount(); }
    // Not checked: 0 <= i < count.
    TVertex* GetVertex(int32_t i) const { return FVertices.ItemAs<TVertex>(i); }
    TEdge* GetEdge(int32_t i) const { return FEdges.ItemAs<TEdge>(i); }

    TVertex* AddVertex();
    // A negative count raises "Wrong vector size" and adds nothing.
    void AddVertices(int32_t n);
    TEdge* AddEdge(TVertex* a, TVertex* b);
    TEdge* AddEdgeByIndex(int32_t i, int32_t j);
    // Consecutive pairs of vertex indices; an odd last entry is ignored.
    void AddEdges(std::span<const int32_t> pairs);

    // The map's Define and Undefine; a new attribute's bytes are zeroed in
    // every element whose record already reaches them.
    int32_t DefineVertexAttr(std::string_view name, uint8_t type);
    bool UndefineVertexAttr(std::string_view name);
    int32_t DefineEdgeAttr(std::string_view name, uint8_t type);
    bool UndefineEdgeAttr(std::string_view name);

    // Tree and Network features.
    TVertex* GetRoot() const;
    void SetRoot(TVertex* v);
    TVertex* GetNwSource() const;
    void SetNwSource(TVertex* v);
    TVertex* GetNwSink() const;
    void SetNwSink(TVertex* v);

    // Numbers the components of the underlying undirected graph into
    // ".Separate" and sets ComponentCount and Connected.
    void FindComponents();
    void EnsureComponents();

    // Dijkstra's method over the float priority queue. Returns the path's
    // weight, 0 for from = to, -1 when the target cannot be reached; edgePath
    // (optional) receives the edges from the start to the target.
    double MinWeightPath(TVertex* from, TVertex* to, const TVertexFilter& vertexFilter,
                         const TEdgeFilter& edgeFilter, TPointerVector* edgePath);
    // A directed graph follows edges from V1 to V2 only.
    double FindMinWeightPath(TVertex* from, TVertex* to, TPointerVector* edgePath);
    // The vertices an edge path visits, one more than its edges; false (and an
    // empty list) when the edges do not join up from start.
    bool EdgePathToVertexPath(TVertex* start, const TPointerVector& edgePath,
                              TPointerVector& vertexPath) const;

    // The three maps, the graph's values and features, the vertices, the
    // edges with the indices of their ends, and the root, source and sink.
    void WriteToStream(TVStream& stream) const override;
    void ReadFromStream(TVStream& stream) override;
    void Assign(const TVector& source) override;
    // Frees all edges and vertices and clears all state flags.
    void Clear() override;
    void Pack() override;

private:
    friend class TVertex;
    friend class TEdge;

    void CheckVertex(const TVertex* v) const;
    TVertex* VertexAt(int32_t index) const;
    int32_t DefineGraphAttr(std::string_view name, uint8_t type);
    void ApplyFeatureBit(uint8_t changed, uint8_t on, uint8_t bit);
    void FreeElements();
    void TakeFrom(TGraph& other);
    void ForgetVertex(const TVertex* v);

    std::unique_ptr<TAttrMap> FGraphMap;
    std::unique_ptr<TAttrMap> FVertexMap;
    std::unique_ptr<TAttrMap> FEdgeMap;
    TPointerVector FVertices;
    TPointerVector FEdges;
    uint8_t FFeatures = 0;
    bool FConnected = false;
    int32_t FComponentCount = 0;
};

} // namespace arv::graphlib
