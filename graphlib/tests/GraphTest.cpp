#include "graphlib/Graph.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

std::vector<int32_t> EdgeIndices(const TVertex* v) {
    std::vector<int32_t> r;
    for (int32_t i = 0; i < v->IncidentEdges().GetCount(); ++i)
        r.push_back(v->IncidentEdge(i)->Index());
    return r;
}

void CheckIndices(const TGraph& g) {
    for (int32_t i = 0; i < g.VertexCount(); ++i) ASSERT_EQ(i, g.GetVertex(i)->Index());
    for (int32_t i = 0; i < g.EdgeCount(); ++i) {
        const TEdge* e = g.GetEdge(i);
        ASSERT_EQ(i, e->Index());
        ASSERT_GE(e->V1()->IncidentEdges().IndexOf(e), 0);
        ASSERT_GE(e->V2()->IncidentEdges().IndexOf(e), 0);
    }
}

} // namespace

TEST(Graph, FeaturesDefineTheirStandardAttributes) {
    TGraph g;
    g.SetFeatures(GraphFeature::Network);
    EXPECT_EQ(5, g.Features());
    EXPECT_EQ(AttrType::Pointer, g.GraphAttrMap().TypeOf(".NwSrc"));
    EXPECT_EQ(AttrType::Pointer, g.GraphAttrMap().TypeOf(".NwSink"));
    EXPECT_EQ(AttrType::Float64, g.EdgeAttrMap().TypeOf(".MaxFlow"));
    EXPECT_EQ(AttrType::Float64, g.EdgeAttrMap().TypeOf(".Flow"));
    g.SetFeatures(GraphFeature::Geom3D);
    EXPECT_EQ(48, g.Features());
    EXPECT_EQ(0, g.GraphAttrMap().TypeOf(".NwSrc"));
    EXPECT_EQ(0, g.EdgeAttrMap().Count());
    EXPECT_EQ(AttrType::Float64, g.VertexAttrMap().TypeOf(".X"));
    EXPECT_EQ(AttrType::Float64, g.VertexAttrMap().TypeOf(".Y"));
    EXPECT_EQ(AttrType::Float64, g.VertexAttrMap().TypeOf(".Z"));
    g.SetFeatures(GraphFeature::Directed | GraphFeature::Weighted | GraphFeature::Tree);
    EXPECT_EQ(11, g.Features());
    EXPECT_EQ(0, g.VertexAttrMap().TypeOf(".X"));
    EXPECT_EQ(AttrType::Bool, g.VertexAttrMap().TypeOf(".HasPrnt"));
    EXPECT_EQ(AttrType::Pointer, g.GraphAttrMap().TypeOf(".Root"));
    EXPECT_EQ(AttrType::Float64, g.EdgeAttrMap().TypeOf(".Weight"));

    TGraph plain;
    TVertex* a = plain.AddVertex();
    TEdge* e = plain.AddEdge(a, a);
    EXPECT_EQ("Class TAttrMap: attribute '.Weight' not defined", ErrorOf([&] { e->SetWeight(1); }));
}

TEST(Graph, AddingVerticesAndEdges) {
    TGraph g;
    g.AddVertices(3);
    const int32_t pairs[] = {0, 1, 1, 2};
    g.AddEdges(pairs);
    ASSERT_EQ(2, g.EdgeCount());
    EXPECT_EQ(g.GetVertex(0), g.GetEdge(0)->V1());
    EXPECT_EQ(g.GetVertex(1), g.GetEdge(0)->V2());
    EXPECT_EQ(g.GetVertex(1), g.GetEdge(1)->V1());
    EXPECT_EQ((std::vector<int32_t>{0, 1}), EdgeIndices(g.GetVertex(1)));
    EXPECT_EQ(g.GetVertex(2), g.GetVertex(1)->Neighbour(1));
    EXPECT_EQ(g.GetVertex(0), g.GetEdge(0)->OtherVertex(g.GetVertex(1)));
    EXPECT_EQ(nullptr, g.GetEdge(0)->OtherVertex(g.GetVertex(2)));
    g.AddEdges(std::span<const int32_t>()); // no edge
    const int32_t odd[] = {2, 0, 1};
    g.AddEdges(odd); // the unpaired last entry is ignored
    EXPECT_EQ(3, g.EdgeCount());
    TEdge* loop = g.AddEdgeByIndex(2, 2);
    EXPECT_TRUE(loop->IsLoop());
    EXPECT_EQ(g.GetVertex(2), loop->OtherVertex(g.GetVertex(2)));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 3}), EdgeIndices(g.GetVertex(2)));
    CheckIndices(g);

    EXPECT_EQ("Class TPointerVector: Wrong vector size (-1)",
              ErrorOf([&] { TGraph().AddVertices(-1); }));
    EXPECT_EQ("Class TPointerVector: Wrong vector size (2)", ErrorOf([&] { g.AddVertices(-1); }));
    EXPECT_EQ("Class TPointerVector: Data too large (17179869152)",
              ErrorOf([&] { g.AddVertices(INT32_MAX); }));
    EXPECT_EQ(3, g.VertexCount());
    EXPECT_EQ("Class TGraph: Index out of bounds (3)", ErrorOf([&] { g.AddEdgeByIndex(0, 3); }));
    TGraph other;
    TVertex* stranger = other.AddVertex();
    EXPECT_EQ("Class TGraph: Error in parameters",
              ErrorOf([&] { g.AddEdge(g.GetVertex(0), stranger); }));
}

TEST(Graph, FreeingElementsUnlinksAndRenumbers) {
    TGraph g;
    g.SetFeatures(GraphFeature::Weighted);
    g.AddVertices(5);
    const int32_t pairs[] = {0, 1, 1, 2, 2, 3, 3, 4, 1, 3, 2, 2};
    g.AddEdges(pairs);
    for (int32_t i = 0; i < g.EdgeCount(); ++i) g.GetEdge(i)->SetWeight(i + 1);
    TVertex* v2 = g.GetVertex(2);
    TVertex* v3 = g.GetVertex(3);
    delete v2; // frees edges 1, 2 and the loop 5
    ASSERT_EQ(4, g.VertexCount());
    ASSERT_EQ(3, g.EdgeCount());
    CheckIndices(g);
    EXPECT_EQ(v3, g.GetVertex(2));
    EXPECT_EQ(2, v3->Index());
    std::vector<double> weights;
    for (int32_t i = 0; i < g.EdgeCount(); ++i)
        weights.push_back(g.GetEdge(i)->GetFloat64At(g.EdgeAttrMap().Offset(".Weight")));
    EXPECT_EQ((std::vector<double>{1, 4, 5}), weights);
    EXPECT_EQ((std::vector<int32_t>{0, 2}), EdgeIndices(g.GetVertex(1)));

    delete g.GetEdge(0);
    CheckIndices(g);
    EXPECT_EQ(0, g.GetVertex(0)->IncidentEdges().GetCount());
    EXPECT_EQ((std::vector<int32_t>{1}), EdgeIndices(g.GetVertex(1)));
    TEdge* loop = g.AddEdgeByIndex(0, 0);
    delete loop; // both entries leave the list
    EXPECT_EQ(0, g.GetVertex(0)->IncidentEdges().GetCount());

    g.Clear();
    EXPECT_EQ(0, g.VertexCount());
    EXPECT_EQ(0, g.EdgeCount());
    EXPECT_EQ(GraphFeature::Weighted, g.Features());
    EXPECT_EQ(AttrType::Float64, g.EdgeAttrMap().TypeOf(".Weight"));
}

TEST(Graph, ComponentsAndTheirState) {
    TGraph g;
    g.AddVertices(4);
    const int32_t pairs[] = {0, 1, 3, 2};
    g.AddEdges(pairs);
    g.FindComponents();
    EXPECT_EQ(2, g.ComponentCount());
    EXPECT_FALSE(g.Connected());
    std::vector<int32_t> separate;
    for (int32_t i = 0; i < 4; ++i) separate.push_back(g.GetVertex(i)->GetInt32(".Separate"));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 1}), separate);
    EXPECT_EQ(GraphState::ComponentsKnown | GraphState::SeparateValid, g.Flags());
    // The component numbers answer before the search would need weights.
    EXPECT_EQ(-1, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(3), nullptr));

    g.AddEdgeByIndex(1, 2);
    EXPECT_EQ(0, g.Flags());
    EXPECT_EQ(0, g.VertexAttrMap().TypeOf(".Separate"));
    EXPECT_EQ(0, g.GetVertex(3)->ComponentNumber()); // searches again
    EXPECT_TRUE(g.Connected());
    EXPECT_EQ(1, g.ComponentCount());
    TVertex* lone = g.AddVertex();
    EXPECT_EQ(1, lone->ComponentNumber());
    EXPECT_EQ(2, g.ComponentCount());

    TGraph empty;
    empty.FindComponents();
    EXPECT_EQ(0, empty.ComponentCount());
    EXPECT_FALSE(empty.Connected());
}

TEST(Graph, NewAttributesReadZeroInExistingElements) {
    TGraph g;
    TVertex* v = g.AddVertex();
    v->SetInt32At(0, 77); // bytes no attribute describes yet
    v->SetInt32At(4, 88);
    EXPECT_EQ(0, g.DefineVertexAttr("count", AttrType::Int32));
    EXPECT_EQ(0, v->GetInt32("count"));
    EXPECT_EQ(4, g.DefineVertexAttr("label", AttrType::String));
    EXPECT_EQ("", v->GetAsString("label"));
    v->SetAsString("label", "\xCF\xF3\xED\xEA\xF2 1"); // Пункт 1
    EXPECT_EQ(-1, g.DefineVertexAttr("LABEL", AttrType::String));
    EXPECT_EQ("\xCF\xF3\xED\xEA\xF2 1", v->GetAsString("label"));
    EXPECT_TRUE(g.UndefineVertexAttr("label")); // releases the string
    EXPECT_FALSE(g.UndefineVertexAttr("label"));
    g.DefineEdgeAttr("open", AttrType::Bool);
    TEdge* e = g.AddEdge(v, v);
    EXPECT_FALSE(e->GetBool("open"));
    EXPECT_TRUE(g.UndefineEdgeAttr("open"));

    e->LocalAttrs().Map()->Define("note", AttrType::String);
    e->LocalAttrs().SetAsString("note", "private");
    TEdge* f = g.AddEdge(v, v);
    f->Assign(*e);
    EXPECT_EQ("private", f->LocalAttrs().GetAsString("note"));
    TEdge* h = g.AddEdge(v, v);
    f->Assign(*h);
    EXPECT_FALSE(f->HasLocalAttrs());
    EXPECT_EQ("Class TEdge: Incompatible classes", ErrorOf([&] { f->Assign(g); }));
    EXPECT_EQ("Class TGraph: Incompatible classes", ErrorOf([&] { g.Assign(*v); }));
}

TEST(Graph, TreeAccessorsAndFreedReferences) {
    TGraph g;
    g.SetFeatures(GraphFeature::Tree | GraphFeature::Network);
    g.AddVertices(4);
    const int32_t pairs[] = {0, 1, 2, 0, 0, 3};
    g.AddEdges(pairs);
    TVertex* root = g.GetVertex(0);
    root->SetAsRoot(true);
    EXPECT_TRUE(root->IsRoot());
    EXPECT_EQ(root, g.GetRoot());
    EXPECT_EQ(nullptr, root->Parent());
    for (int32_t i = 1; i < 4; ++i) EXPECT_EQ(root, g.GetVertex(i)->Parent());
    g.GetVertex(3)->SetParent(g.GetVertex(1)); // creates the edge and puts it first
    EXPECT_EQ(4, g.EdgeCount());
    EXPECT_EQ(g.GetVertex(1), g.GetVertex(3)->Parent());
    g.GetVertex(3)->SetParent(nullptr);
    EXPECT_EQ(nullptr, g.GetVertex(3)->Parent());
    // Freeing a vertex's first edge clears its parent flag.
    delete g.GetVertex(2)->IncidentEdge(0);
    EXPECT_FALSE(g.GetVertex(2)->GetBool(".HasPrnt"));

    g.SetNwSource(g.GetVertex(1));
    g.SetNwSink(root);
    delete root;
    EXPECT_EQ(nullptr, g.GetRoot());
    EXPECT_EQ(nullptr, g.GetNwSink());
    EXPECT_EQ(g.GetVertex(0), g.GetNwSource());
    g.GetVertex(0)->SetAsRoot(true);
    g.GetVertex(0)->SetAsRoot(false);
    EXPECT_EQ(nullptr, g.GetRoot());
}

TEST(Graph, StreamFormRoundTripsAndRefusesDamage) {
    TGraph g;
    g.SetFeatures(GraphFeature::Directed | GraphFeature::Weighted | GraphFeature::Tree);
    g.DefineVertexAttr("name", AttrType::String);
    g.AddVertices(3);
    const int32_t pairs[] = {0, 1, 1, 2, 2, 2};
    g.AddEdges(pairs);
    for (int32_t i = 0; i < 3; ++i) {
        g.GetEdge(i)->SetWeight(0.5 * (i + 1));
        g.GetVertex(i)->SetAsString("name", "\xD3\xE7\xE5\xEB " + std::to_string(i)); // Узел
    }
    g.GetVertex(1)->LocalAttrs().Map()->Define("depth", AttrType::Float80);
    g.GetVertex(1)->LocalAttrs().SetFloat80At(0, 1.0L / 7);
    g.GetVertex(1)->SetAsRoot(true);
    g.FindComponents();

    TVMemStream s;
    g.WriteToStream(s);
    TGraph back;
    back.AddVertices(2); // replaced by the read
    s.Seek(0);
    back.ReadFromStream(s);
    EXPECT_TRUE(s.EndOfStream());
    ASSERT_EQ(3, back.VertexCount());
    ASSERT_EQ(3, back.EdgeCount());
    CheckIndices(back);
    EXPECT_EQ(g.Features(), back.Features());
    EXPECT_EQ(back.GetVertex(1), back.GetRoot());
    EXPECT_EQ(back.GetVertex(1), back.GetVertex(0)->Parent());
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ("\xD3\xE7\xE5\xEB " + std::to_string(i), back.GetVertex(i)->GetAsString("name"));
        EXPECT_EQ(0.5 * (i + 1),
                  back.GetEdge(i)->GetFloat64At(back.EdgeAttrMap().Offset(".Weight")));
        EXPECT_EQ(back.GetVertex(i), back.GetEdge(i)->V1());
        EXPECT_EQ(&back, back.GetVertex(i)->Owner());
    }
    EXPECT_TRUE(back.GetEdge(2)->IsLoop());
    EXPECT_EQ(1.0L / 7, back.GetVertex(1)->LocalAttrs().GetFloat80At(0));
    EXPECT_FALSE(back.GetVertex(0)->HasLocalAttrs());
    EXPECT_EQ(0, back.Flags()); // component numbers are searched again
    EXPECT_EQ(1.5, back.FindMinWeightPath(back.GetVertex(0), back.GetVertex(2), nullptr));
    EXPECT_EQ(-1, back.FindMinWeightPath(back.GetVertex(2), back.GetVertex(0), nullptr));

    for (int32_t cut = 0; cut < s.GetSize(); cut += 3) {
        TVMemStream t;
        t.Write(s.Memory(), cut);
        t.Seek(0);
        EXPECT_THROW(back.ReadFromStream(t), Exception) << cut;
        ASSERT_EQ(3, back.VertexCount());
        ASSERT_EQ(back.GetVertex(1), back.GetRoot());
    }
    TGraph copy;
    copy.Assign(g);
    EXPECT_EQ(3, copy.EdgeCount());
    EXPECT_EQ("\xD3\xE7\xE5\xEB 2", copy.GetVertex(2)->GetAsString("name"));
    copy.Pack();
    EXPECT_EQ(3, copy.VertexCount());
}
