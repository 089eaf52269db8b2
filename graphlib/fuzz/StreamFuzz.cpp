// The library's stream and text forms on any bytes. The first byte picks the
// reader; what reads is written, read again and written again, and the two
// writes must be the same bytes.
#include "graphlib/AttrSet.h"
#include "graphlib/BoolVectors.h"
#include "graphlib/Graph.h"
#include "graphlib/NumberVectors.h"
#include "graphlib/StrLst.h"
#include "graphlib/VStream.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace arv::graphlib;

namespace {

enum TKind : uint8_t {
    kBytes,
    kIntegers,
    kReals,
    kBools,
    kPackedBools,
    kStrings,
    kMapStream,
    kMapText,
    kSetStream,
    kSetText,
    kGraph,
    kKindCount
};

std::string Bytes(const TVMemStream& s) {
    return {reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.GetSize())};
}

// Reads an object of the kind, or returns null when the reader refused.
struct TReader {
    std::unique_ptr<TObject> object;
    void (*write)(const TObject&, TVStream&) = nullptr;
};

template <class T> TReader ReadStreamed(TVStream& in) {
    auto v = std::make_unique<T>();
    v->ReadFromStream(in);
    return {std::move(v),
            [](const TObject& o, TVStream& s) { static_cast<const T&>(o).WriteToStream(s); }};
}

TReader ReadMapText(TVStream& in) {
    auto m = std::make_unique<TAttrMap>();
    m->ReadText(in);
    return {std::move(m),
            [](const TObject& o, TVStream& s) { static_cast<const TAttrMap&>(o).WriteText(s); }};
}

TReader ReadMapStream(TVStream& in) {
    auto m = std::make_unique<TAttrMap>();
    m->ReadFromStream(in);
    return {std::move(m), [](const TObject& o, TVStream& s) {
                static_cast<const TAttrMap&>(o).WriteToStream(s);
            }};
}

TReader ReadSetText(TVStream& in) {
    auto a = std::make_unique<TAutoAttrSet>();
    a->ReadText(in);
    return {std::move(a), [](const TObject& o, TVStream& s) {
                static_cast<const TAutoAttrSet&>(o).WriteText(s);
            }};
}

TReader Read(TKind kind, TVStream& in) {
    switch (kind) {
    case kBytes:
        return ReadStreamed<TNumberVector<uint8_t>>(in);
    case kIntegers:
        return ReadStreamed<TNumberVector<int32_t>>(in);
    case kReals:
        return ReadStreamed<TNumberVector<double>>(in);
    case kBools:
        return ReadStreamed<TBoolVector>(in);
    case kPackedBools:
        return ReadStreamed<TPackedBoolVector>(in);
    case kStrings:
        return ReadStreamed<TStrLst>(in);
    case kMapStream:
        return ReadMapStream(in);
    case kMapText:
        return ReadMapText(in);
    case kSetStream:
        return ReadStreamed<TAutoAttrSet>(in);
    case kSetText:
        return ReadSetText(in);
    default:
        return ReadStreamed<TGraph>(in);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    auto kind = static_cast<TKind>(data[0] % kKindCount);
    TVMemStream in;
    in.Write(data + 1, static_cast<int32_t>(std::min<size_t>(size - 1, 1 << 20)));
    in.Seek(0);
    TReader first;
    try {
        first = Read(kind, in);
    } catch (const Exception&) {
        return 0; // refused: fine, as long as nothing broke
    }
    TVMemStream once;
    first.write(*first.object, once);
    once.Seek(0);
    TReader second;
    try {
        second = Read(kind, once);
    } catch (const Exception&) {
        std::abort(); // what the library wrote, it must read
    }
    TVMemStream twice;
    second.write(*second.object, twice);
    if (Bytes(once) != Bytes(twice)) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    std::vector<std::string> seeds;
    auto add = [&](TKind kind, auto&& write) {
        TVMemStream s;
        write(s);
        seeds.push_back(std::string(1, static_cast<char>(kind)) + Bytes(s));
    };
    add(kIntegers, [](TVStream& s) {
        TNumberVector<int32_t> v;
        v.SetCount(5);
        for (int i = 0; i < 5; ++i) v.SetItem(i, i * 7 - 3);
        v.WriteToStream(s);
    });
    add(kReals, [](TVStream& s) {
        TNumberVector<double> v;
        v.SetCount(2);
        v.SetItem(0, 1.5);
        v.SetItem(1, -2.25);
        v.WriteToStream(s);
    });
    add(kPackedBools, [](TVStream& s) {
        TPackedBoolVector v(11, true);
        v.SetItem(3, false);
        v.WriteToStream(s);
    });
    add(kStrings, [](TVStream& s) {
        TStrLst l;
        l.Add("Ветвь");
        l.Add("");
        l.Add("узел 12");
        l.WriteToStream(s);
    });
    auto makeSet = [](TAutoAttrSet& a) {
        a.Map()->Define("name", AttrType::String);
        a.Map()->Define("v", AttrType::Float64);
        a.Map()->Define("n", AttrType::Int32);
        a.Map()->Define("b", AttrType::Bool);
        a.SetAsString("name", "it's");
        a.SetFloat64("v", 2.5);
    };
    add(kSetStream, [&](TVStream& s) {
        TAutoAttrSet a;
        makeSet(a);
        a.WriteToStream(s);
    });
    add(kSetStream, [&](TVStream& s) {
        // An undefined attribute leaves a gap that the offsets keep.
        TAutoAttrSet a;
        a.Map()->Define("gone", AttrType::Float80);
        makeSet(a);
        a.Map()->Undefine("gone");
        a.WriteToStream(s);
    });
    add(kSetText, [&](TVStream& s) {
        TAutoAttrSet a;
        makeSet(a);
        a.WriteText(s);
    });
    add(kMapText, [&](TVStream& s) {
        TAutoAttrSet a;
        makeSet(a);
        a.Map()->WriteText(s);
    });
    add(kGraph, [](TVStream& s) {
        TGraph g;
        g.SetFeatures(GraphFeature::Directed | GraphFeature::Weighted | GraphFeature::Tree);
        TVertex* a = g.AddVertex();
        TVertex* b = g.AddVertex();
        TVertex* c = g.AddVertex();
        g.AddEdge(a, b);
        g.AddEdge(b, c);
        g.AddEdge(c, a)->LocalAttrs().Map()->Define("note", AttrType::String);
        g.SetRoot(a);
        g.WriteToStream(s);
    });
    return seeds;
}
