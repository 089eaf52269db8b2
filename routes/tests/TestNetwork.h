// Small networks written branch by branch for the route tests.
#pragma once

#include "platform/Cp1251.h"
#include "routes/RouteNetwork.h"

#include <string>
#include <vector>

namespace arv::routes::test {

struct TBranchSpec {
    int32_t Begin = 0, End = 0;
    double Length = 100;
    double Height = 0;
    double Slope = 0;
    double Flow = 1; // air from begin to end
    bool Smoked = false;
    bool Fire = false;
};

class TTestNetwork {
public:
    explicit TTestNetwork(int32_t lastBranch = 20) { Resize(lastBranch); }

    TTestNetwork& Add(int32_t b, const TBranchSpec& s) {
        if (b >= static_cast<int32_t>(begin_.size())) Resize(b);
        begin_[b] = s.Begin;
        end_[b] = s.End;
        length_[b] = s.Length;
        height_[b] = s.Height;
        slope_[b] = s.Slope;
        flow_[b] = s.Flow;
        smoke_[b] = s.Smoked ? b : 0;
        kind_[b] = s.Fire ? Ru("ПЖ") : std::string();
        return *this;
    }
    // A level working of full height with air from begin to end.
    TTestNetwork& Add(int32_t b, int32_t begin, int32_t end, double length) {
        return Add(b, TBranchSpec{begin, end, length});
    }
    void SetSurface(std::vector<int32_t> nodes) {
        surface_.assign(1, 0);
        surface_.insert(surface_.end(), nodes.begin(), nodes.end());
    }

    TRouteNetwork View() const {
        TRouteNetwork n;
        n.BranchBeginNode = begin_;
        n.BranchEndNode = end_;
        n.BranchLength = length_;
        n.BranchHeight = height_;
        n.BranchSlope = slope_;
        n.BranchFlow = flow_;
        n.BranchKindCode = kind_;
        n.SmokedBranchMark = smoke_;
        n.SurfaceNodeList = surface_;
        n.SurfaceNodeCount = static_cast<int32_t>(surface_.size()) - 1;
        return n;
    }

private:
    void Resize(int32_t last) {
        size_t n = static_cast<size_t>(last) + 1;
        begin_.resize(n);
        end_.resize(n);
        length_.resize(n);
        height_.resize(n);
        slope_.resize(n);
        flow_.resize(n);
        smoke_.resize(n);
        kind_.resize(n);
    }
    std::vector<int32_t> begin_, end_, smoke_, surface_{0};
    std::vector<double> length_, height_, slope_, flow_;
    std::vector<std::string> kind_;
};

} // namespace arv::routes::test
