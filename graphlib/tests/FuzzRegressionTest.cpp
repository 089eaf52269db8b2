// Inputs a fuzzer found, kept as files in tests/data/fuzz: each made a
// reader misbehave once. Their first byte picked the reader in the harness
// that found them; the reader gets the rest.
#include "graphlib/AttrSet.h"
#include "graphlib/Graph.h"
#include "graphlib/VStream.h"
#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

// A record the stream does not hold must be refused before it is allocated:
// under the sanitizers (the tests build with them) an allocation beyond 32 MiB
// fails the test binary outright.
extern "C" const char* __asan_default_options() {
    return "max_allocation_size_mb=32";
}

namespace arv::graphlib {
namespace {

std::string FindingBody(const char* name) {
    std::ifstream in(std::string(ARV_GRAPHLIB_TEST_DATA) + "/fuzz/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes.empty() ? bytes : bytes.substr(1);
}

void Fill(TVMemStream& s, const std::string& bytes) {
    s.Write(bytes.data(), static_cast<int32_t>(bytes.size()));
    s.Seek(0);
}

std::string Bytes(const TVMemStream& s) {
    return {reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize())};
}

// The set's text form of the finding, written once after reading it; read
// and written again it must give the same text.
std::string TextAfterOneRound(const char* name) {
    TVMemStream in;
    Fill(in, FindingBody(name));
    TAutoAttrSet set;
    set.ReadText(in);
    TVMemStream once;
    set.WriteText(once);
    once.Seek(0);
    TAutoAttrSet again;
    again.ReadText(once);
    TVMemStream twice;
    again.WriteText(twice);
    EXPECT_EQ(Bytes(once), Bytes(twice)) << name;
    return Bytes(once);
}

TEST(FuzzFindings, RecordLengthBeyondTheStreamIsRefusedBeforeAllocating) {
    // A map of an Int32 at 0 and a byte at 64 MiB; records of the Int32 only,
    // one longer than it, one ending at the byte the stream lacks.
    const std::string far("\2\0\0\0\1\0\0\0a\7\0\0\0\0\3\0\0\0far\1\0\0\0\4", 26);
    TAutoAttrSet set;
    set.Map()->Define("kept", AttrType::Int32);
    for (const std::string& bytes :
         {FindingBody("attrset-claims-1GiB.bin"),
          FindingBody("attrset-map-offset-allocates-1GiB.bin"),
          far + std::string("\0\0\0\4\5\0\0\0", 8), far + std::string("\1\0\0\4\5\0\0\0", 8)}) {
        TVMemStream s;
        Fill(s, bytes);
        EXPECT_NE("no error", testing::ErrorOf([&] { set.ReadFromStream(s); }));
        EXPECT_EQ(1, set.Map()->Count()); // the set is as it was
    }
}

TEST(FuzzFindings, RecordLengthStopsAtTheLayout) {
    // Typed access can lengthen a set past its attributes; those bytes were
    // never streamed, and now the length stops at the last attribute too, so
    // the stream reads back and streams again to the same bytes.
    TAutoAttrSet a;
    a.Map()->Define("x", AttrType::Int32);
    a.SetInt32At(0, 5);
    a.SetInt32At(40, 7);
    TVMemStream s;
    a.WriteToStream(s);
    s.Seek(0);
    TAutoAttrSet b;
    b.ReadFromStream(s);
    EXPECT_EQ(5, b.GetInt32("x"));
    EXPECT_EQ(0, b.GetInt32At(40));
    TVMemStream again;
    b.WriteToStream(again);
    EXPECT_EQ(Bytes(s), Bytes(again));
}

TEST(FuzzFindings, TextFormOfAnUnsetNumberReadsBack) {
    const std::string once = TextAfterOneRound("attrset-text-unset-number.bin");
    EXPECT_NE(std::string::npos, once.find("v=0\r\n"));
}

TEST(FuzzFindings, TextFormOfANameHoldingAnEqualsSignReadsBack) {
    TextAfterOneRound("attrset-text-name-with-equals.bin");

    // Built in code: the value line "a=b=2" belongs to "a=b", not to "a".
    TAutoAttrSet both;
    both.Map()->Define("a", AttrType::Int32);
    both.Map()->Define("a=b", AttrType::Int32);
    both.SetAsString("a", "1");
    both.SetAsString("a=b", "2");
    TVMemStream text;
    both.WriteText(text);
    text.Seek(0);
    TAutoAttrSet read;
    read.ReadText(text);
    EXPECT_EQ(1, read.GetInt32("a"));
    EXPECT_EQ(2, read.GetInt32("a=b"));
}

TEST(FuzzFindings, EqualGraphsStreamToEqualBytes) {
    // Root and network ends are pointers in the graph's attributes; the
    // stream carries them as vertex numbers, never as addresses.
    auto build = [] {
        auto g = std::make_unique<TGraph>();
        g->SetFeatures(GraphFeature::Tree | GraphFeature::Network | GraphFeature::Weighted);
        TVertex* a = g->AddVertex();
        TVertex* b = g->AddVertex();
        g->AddEdge(a, b);
        g->SetRoot(b);
        g->SetNwSource(a);
        g->SetNwSink(b);
        return g;
    };
    auto first = build();
    auto padding = std::make_unique<char[]>(4096); // other addresses for the second
    auto second = build();
    TVMemStream s1, s2;
    first->WriteToStream(s1);
    second->WriteToStream(s2);
    EXPECT_EQ(Bytes(s1), Bytes(s2));
    s1.Seek(0);
    TGraph back;
    back.ReadFromStream(s1);
    ASSERT_EQ(2, back.VertexCount());
    EXPECT_EQ(back.GetVertex(1), back.GetRoot());
    EXPECT_EQ(back.GetVertex(0), back.GetNwSource());
}

} // namespace
} // namespace arv::graphlib
