#include "calc/testing/PublishedMines.h"

#include "calc/testing/NetworkBuilder.h"

#include "platform/Files.h"

#include <cstdlib>
#include <vector>

namespace arv::test {

namespace {

// SI (Pa, N·s²/m⁸) into the tables' mm of water and kilomurg.
constexpr double kG = 9.80665;

// Node ids of the file renumbered 1.. in order of first appearance.
struct TNumbering {
    std::map<std::string, int> nodes;
    int Node(const std::string& id) {
        auto it = nodes.find(id);
        if (it != nodes.end()) return it->second;
        int n = static_cast<int>(nodes.size()) + 1;
        nodes[id] = n;
        return n;
    }
    int Fresh() { return Node("#new" + std::to_string(nodes.size())); }
};

} // namespace

std::string PublishedBenchmarksDir() {
    if (const char* dir = std::getenv("ARVALEN_BENCHMARKS_DIR")) return dir;
    return ARV_SHARED_BENCHMARKS;
}

bool LoadPublishedJson(const std::string& name, TJson& out) {
    std::string bytes;
    if (!ReadFileBytes(PublishedBenchmarksDir() + "/" + name, bytes)) return false;
    out = TJson::Parse(bytes);
    return true;
}

std::map<int, double> BuildPublishedMine(const TJson& net, TNetworkTables& t) {
    TNetworkBuilder b(t);
    TNumbering numbering;
    std::vector<int> surface;
    const auto& edges = net["edges_list"].Items();
    int nextBranch = static_cast<int>(edges.size());
    std::map<int, double> published; // branch number -> flow
    for (size_t i = 0; i < edges.size(); ++i) {
        const TJson& e = edges[i];
        const int number = static_cast<int>(i) + 1;
        const int from = numbering.Node(e["from"].Str());
        const int to = numbering.Node(e["to"].Str());
        const double r = e["r"].Number() / kG;
        const double regulator = e["adjust_r"].Number() / kG;
        published[number] = e["q_published"].Number();
        if (e.Has("fan")) {
            const TJson& f = e["fan"];
            const int middle = numbering.Fresh();
            b.Branch(number, from, middle, 0, "В");
            b.Fan(number, f["a2"].Number() / kG, f["a1"].Number() / kG, f["a0"].Number() / kG);
            int row = b.Branch(++nextBranch, middle, to, r);
            if (regulator != 0) b.BranchCell(row, 8, CellText(regulator));
            published[nextBranch] = e["q_published"].Number();
        } else {
            int row = b.Branch(number, from, to, r);
            if (regulator != 0) b.BranchCell(row, 8, CellText(regulator));
        }
    }
    for (const TJson& intake : net["intakes"].Items())
        surface.push_back(numbering.Node(intake.Str()));
    for (const TJson& drive : net["drive_fan_per_outlet_example"]["fans"].Items()) {
        const int outlet = numbering.Node(drive["outlet"].Str());
        const int air = numbering.Fresh();
        const TJson& curve = drive["curve_mmwc"];
        b.Branch(++nextBranch, outlet, air, 0, "В");
        b.Fan(nextBranch, curve["A"].Number(), curve["B"].Number(), curve["C"].Number());
        published[nextBranch] = drive["q"].Number();
        surface.push_back(air);
    }
    t.UzPov.clear();
    for (int k : surface) t.UzPov += std::to_string(k) + ";";
    return published;
}

} // namespace arv::test
