#include "SyntheticMine.h"

#include "NetworkBuilder.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace arv::test {

namespace {

// SplitMix64: small, fast and the same everywhere.
class TRandom {
public:
    explicit TRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// Values as a user types them: five decimals at most.
double Typed(double v) {
    return static_cast<double>(static_cast<int64_t>(v * 100000 + (v < 0 ? -0.5 : 0.5))) / 100000;
}

struct TEdge {
    int a, b;
};

int FindRoot(std::vector<int>& parent, int x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
}

} // namespace

TSyntheticMine BuildSyntheticMine(TNetworkTables& t, const TSyntheticMineOptions& o) {
    TRandom rnd(o.Seed);
    TNetworkBuilder b(t);
    TSyntheticMine mine;
    const int perLevel = o.Width * o.Depth;
    auto gridNode = [&](int level, int x, int y) { return 1 + level * perLevel + y * o.Width + x; };
    int nextNode = o.Levels * perLevel + 1;
    int number = 0;
    std::vector<int> degree(2002, 0);
    auto branch = [&](int from, int to, double r, std::string_view type = "") {
        // Workings are entered in either direction, as surveyors number them.
        if (type.empty() && rnd.Below(2) == 0) std::swap(from, to);
        ++degree[from];
        ++degree[to];
        return b.Branch(++number, from, to, Typed(r), type);
    };

    for (int level = 0; level < o.Levels; ++level) {
        std::vector<TEdge> edges;
        for (int y = 0; y < o.Depth; ++y)
            for (int x = 0; x < o.Width; ++x) {
                if (x + 1 < o.Width)
                    edges.push_back({gridNode(level, x, y), gridNode(level, x + 1, y)});
                if (y + 1 < o.Depth)
                    edges.push_back({gridNode(level, x, y), gridNode(level, x, y + 1)});
            }
        for (size_t i = edges.size(); i > 1; --i)
            std::swap(edges[i - 1], edges[rnd.Below(static_cast<int>(i))]);
        std::vector<int> parent(2002);
        std::iota(parent.begin(), parent.end(), 0);
        std::vector<TEdge> kept, dropped;
        for (const TEdge& e : edges) {
            int ra = FindRoot(parent, e.a), rb = FindRoot(parent, e.b);
            if (ra != rb) {
                parent[ra] = rb;
                kept.push_back(e);
            } else if (rnd.Unit() < o.KeepFraction) {
                kept.push_back(e);
            } else {
                dropped.push_back(e);
            }
        }
        // No working may end blind: a node left with one working gets back
        // a cross-cut.
        std::vector<int> levelDegree(2002, 0);
        for (const TEdge& e : kept) ++levelDegree[e.a], ++levelDegree[e.b];
        for (const TEdge& e : dropped)
            if (levelDegree[e.a] < 2 || levelDegree[e.b] < 2) {
                kept.push_back(e);
                ++levelDegree[e.a];
                ++levelDegree[e.b];
            }
        // A few workings run twice side by side, a few cross-cuts run
        // diagonally, closing meshes of two and three branches.
        std::vector<TEdge> extra;
        for (const TEdge& e : kept)
            if (rnd.Unit() < o.TwinFraction) extra.push_back(e);
        for (int y = 0; y + 1 < o.Depth; ++y)
            for (int x = 0; x + 1 < o.Width; ++x)
                if (rnd.Unit() < o.DiagonalFraction)
                    extra.push_back({gridNode(level, x, y), gridNode(level, x + 1, y + 1)});
        kept.insert(kept.end(), extra.begin(), extra.end());
        for (const TEdge& e : kept) {
            int row = branch(e.a, e.b, rnd.Range(0.01, 0.12));
            // Some workings carry their geometry instead of a resistance.
            if (rnd.Unit() < 0.1) {
                b.BranchCell(row, 5, CellText(Typed(rnd.Range(150, 250))));
                b.BranchCell(row, 6, CellText(Typed(rnd.Range(8, 14))));
                b.BranchCell(row, 7, CellText(Typed(rnd.Range(10, 18))));
            }
        }
        for (int y = 0; y < o.Depth; ++y)
            for (int x = 0; x < o.Width; ++x)
                b.Node(gridNode(level, x, y), -120.0 * (level + 1), 200 * x, 200 * y);
    }

    std::vector<int> surface;
    auto shaftColumn = [&](int level) {
        return gridNode(level, rnd.Below(o.Width), rnd.Below(o.Depth));
    };
    for (int s = 0; s < o.IntakeShafts; ++s) {
        int top = nextNode++;
        surface.push_back(top);
        b.Node(top, 10, 200 * rnd.Below(o.Width), 200 * rnd.Below(o.Depth));
        int above = top;
        for (int level = 0; level < o.Levels; ++level) {
            int below = shaftColumn(level);
            int row = b.Branch(++number, above, below, Typed(rnd.Range(0.001, 0.004)));
            ++degree[above];
            ++degree[below];
            if (s == 0 && level == 0 && o.NaturalDraught) {
                b.BranchCell(row, 3, "ЕТ");
                b.BranchCell(row, 18, "8,5");
            }
            above = below;
        }
    }
    for (int f = 0; f < o.Fans; ++f) {
        int inlet = nextNode++, outlet = nextNode++;
        surface.push_back(outlet);
        b.Node(inlet, 5, 200 * rnd.Below(o.Width), 200 * rnd.Below(o.Depth));
        b.Node(outlet, 10, 0, 0);
        int below = shaftColumn(o.Levels - 1);
        for (int level = o.Levels - 2; level >= -1; --level) {
            int above = level >= 0 ? shaftColumn(level) : inlet;
            b.Branch(++number, below, above, Typed(rnd.Range(0.001, 0.003)));
            ++degree[below];
            ++degree[above];
            below = above;
        }
        int fan = ++number;
        b.Branch(fan, inlet, outlet, 0, "В");
        b.Fan(fan, Typed(-rnd.Range(0.001, 0.003)), Typed(rnd.Range(0, 0.2)),
              Typed(rnd.Range(250, 350)));
    }

    // Consumers and regulators on workings of the upper levels.
    TModGrid& dan = t.TablDan;
    for (int k = 0; k < o.Consumers + o.Regulators; ++k) {
        int row = FirstDataRow + rnd.Below(std::min(dan.RowCount() - FirstDataRow, perLevel));
        if (!dan.Cells(3, row).empty()) continue;
        if (k < o.Consumers) {
            b.BranchCell(row, 3, "=");
            b.BranchCell(row, 10, CellText(Typed(rnd.Range(4, 12))));
        } else {
            b.BranchCell(row, 3, "Р");
            b.BranchCell(row, 8, CellText(Typed(rnd.Range(0.2, 1.0))));
        }
    }

    b.Surface({});
    for (int k : surface) t.UzPov += std::to_string(k) + ";";
    mine.Branches = number;
    mine.SurfaceNodes = static_cast<int>(surface.size());
    mine.Nodes = nextNode - 1;
    return mine;
}

} // namespace arv::test
