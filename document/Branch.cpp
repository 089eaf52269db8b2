#include "document/Branch.h"

#include "document/Document.h"
#include "document/DrawingGlobals.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {
TPoint Add(TPoint a, TPoint b) {
    return {ClampI(static_cast<int64_t>(a.x) + b.x), ClampI(static_cast<int64_t>(a.y) + b.y)};
}
TPoint Scaled(TPoint p, int k) {
    return {p.x * k, p.y * k};
}
TPoint Mid(TPoint a, TPoint b) {
    return {HalfSum(a.x, b.x), HalfSum(a.y, b.y)};
}
// (wa * a + wb * b) div total, per coordinate.
TPoint Weighted(TPoint a, int64_t wa, TPoint b, int64_t wb, int64_t total) {
    return {ClampI((wa * a.x + wb * b.x) / total), ClampI((wa * a.y + wb * b.y) / total)};
}
TRect BoxOf(TPoint a, TPoint b) {
    return {std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)};
}
uint8_t Inverted(uint8_t b) {
    return b ? 0 : 1;
}
} // namespace

double BranchAngle(TPoint from, TPoint to) {
    if (from.x == to.x) return (static_cast<int64_t>(from.y) - to.y > 0) ? -kPi / 2 : kPi / 2;
    return std::atan2(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x);
}

TSinCos TSinCos::Of(double a) {
    TSinCos s;
    long double la = a;
    s.cosA = std::cos(la);
    s.sinA = std::sin(la);
    s.cosL = std::cos(la + kPi / 2);
    s.sinL = std::sin(la + kPi / 2);
    s.cosR = std::cos(la - kPi / 2);
    s.sinR = std::sin(la - kPi / 2);
    return s;
}

void TSinCos::Negate() {
    cosA = -cosA;
    sinA = -sinA;
    cosL = -cosL;
    sinL = -sinL;
    cosR = -cosR;
    sinR = -sinR;
}

// ---- TGBranch ----

TGBranch::TGBranch(int32_t kindCode, TGCollNode* nodeCollection)
    : TGCustomFigure(kindCode), nodes(nodeCollection) {
    const TDrawingGlobals& g = DrawingGlobals();
    pen.width = g.BranchPenWidth;
    width = g.WidthDefault;
    // The fresh branch is reversed once: the swapped values are all zero.
    reversed = 1;
}

bool TGBranch::IsVisibleIn(const TRect& r) {
    bool v = TGCustomFigure::IsVisibleIn(r);
    if (nodes && nodes->Valid(beginIndex) && nodes->Valid(endIndex)) {
        nodes->Record(beginIndex).visible = v;
        nodes->Record(endIndex).visible = v;
    }
    return v;
}

int32_t TGBranch::StreamSize(int32_t v) const {
    int64_t s = TGCustomFigure::StreamSize(v) + Len(name) + 30 + 16LL * captionCount;
    if (v >= 2) s += captionCount;
    if (v >= 3) s += 4LL * captionCount + 4;
    return ClampI(s);
}

int32_t TGBranch::SaveToStream(TBinaryWriter& w) const {
    size_t start = w.Size();
    TGCustomFigure::SaveToStream(w);
    w.I32(number);
    WriteCountedString(w, name);
    WritePoint(w, hasPointA ? pointA : TPoint{});
    WritePoint(w, hasPointB ? pointB : TPoint{});
    w.U8(flagA);
    w.U8(showFlag);
    w.U8(switchA);
    w.U8(switchB);
    int32_t count = std::clamp(captionCount, 0, kCaptionSlots);
    w.I32(count);
    for (int k = 1; k <= count; ++k) {
        const TBranchCaption& c = Caption(k);
        w.I32(c.a);
        w.I32(c.b);
        WritePoint(w, c.anchor);
        w.U8(c.shown);
        w.I32(c.colour);
        w.U8(c.flag);
        w.U8(flagB);
        w.F64(c.angle);
    }
    w.I32(extraInt);
    w.F64(angle == 0 ? 0.001 : angle);
    w.F64(labelAngle);
    WritePoint(w, callout.anchor);
    w.U8(callout.placed);
    w.U8(callout.shown);
    w.U8(Caption(3).flag2);
    for (const TMarkSlot& m : marks) w.U8(m.flag);
    for (int k = 1; k <= count; ++k) w.U8(Caption(k).flag2);
    return static_cast<int32_t>(w.Size() - start);
}

bool TGBranch::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    if (v < 1) return true;
    number = r.I32();
    if (!ReadCountedString(r, name)) return false;
    pointA = ReadPoint(r);
    pointB = ReadPoint(r);
    hasPointA = pointA != TPoint{};
    hasPointB = pointB != TPoint{};
    if (v >= 4) flagA = r.U8();
    if (v < 17) flagA = Inverted(flagA);
    showFlag = 1;
    if (v >= 5) showFlag = r.U8();
    if (v < 10) showFlag = 1;
    switchA = r.U8();
    switchB = r.U8();
    captionCount = r.I32();
    // A branch has 20 caption slots; a larger count is a damaged file.
    if (r.Failed() || captionCount < 0 || captionCount > kCaptionSlots) return false;
    for (int k = 1; k <= captionCount; ++k) {
        TBranchCaption& c = Caption(k);
        c.a = r.I32();
        c.b = r.I32();
        c.anchor = ReadPoint(r);
        if (v >= 2) c.shown = r.U8();
        if (v >= 3) c.colour = r.I32();
        if (v >= 6) c.flag = r.U8();
        if (v >= 8) {
            flagB = r.U8();
            if (v < 21) flagB = Inverted(flagB);
        }
        c.angle = v >= 10 ? r.F64() : angle;
    }
    if (v < 5) {
        Caption(5).a = Caption(1).a;
        Caption(5).b = Caption(1).b;
        Caption(5).anchor = Caption(1).anchor;
    }
    int32_t& arrowColour = Caption(5).colour;
    if (arrowColour != 255 && arrowColour != 16711680) arrowColour = 0;
    if (v >= 3) extraInt = r.I32();
    if (v >= 8) angle = r.F64();
    labelAngle = v >= 11 ? r.F64() : angle;
    if (v >= 13) {
        callout.anchor = ReadPoint(r);
        callout.placed = r.U8();
        callout.shown = r.U8();
    }
    if (v >= 14) Caption(3).flag2 = r.U8();
    for (TMarkSlot& m : marks) m.flag = v >= 15 ? r.U8() : 0;
    sinCos = TSinCos::Of(labelAngle);
    if (v >= 16) {
        for (int k = 1; k <= captionCount; ++k) Caption(k).flag2 = r.U8();
    }
    // Files before version 22 carry no scheme records: the base filled them
    // before the branch read its own flags, so they are filled again here and
    // a re-saved drawing loads with the flags this file holds.
    if (v < 22)
        for (int i = 0; i < kSchemeCount; ++i) StoreViewAttrs(i);
    return !r.Failed();
}

int32_t TGBranch::NodeMoved(int32_t nodeNumber, TPoint p) {
    int32_t moved = 0;
    if (beginNode == nodeNumber) {
        EndMoved(true, p);
        moved |= 1;
    }
    if (endNode == nodeNumber) {
        EndMoved(false, p);
        moved |= 2;
    }
    return moved;
}

void TGBranch::Release() {
    if (!nodes) return;
    const int32_t bi = beginIndex, ei = endIndex, bn = beginNode, en = endNode;
    // The higher index first, so that the lower one stays valid.
    auto release = [this](int32_t num, int32_t idx) {
        if (nodes->Valid(idx)) nodes->ReleaseNode(num, idx);
    };
    if (bi >= ei) {
        release(bn, bi);
        release(en, ei);
    } else {
        release(en, ei);
        release(bn, bi);
    }
    beginIndex = kNoNode;
    endIndex = kNoNode;
}

void TGBranch::SetReversed(bool flag) {
    if ((reversed != 0) == flag) return;
    std::swap(beginNode, endNode);
    std::swap(beginIndex, endIndex);
    reversed = flag ? 1 : 0;
}

// ---- TGLine ----

TGLine::TGLine(TGCollNode* nodeCollection) : TGBranch(kKindLine, nodeCollection) {
    const TDrawingGlobals& g = DrawingGlobals();
    switch (g.DefaultBranchStyle) {
    case 1:
        pen = {pen.reserved, g.DefLineColor, g.BranchPenWidth, 0};
        brush.colour = g.DefLineColor;
        brush.style = 0;
        break;
    case 2:
        pen = {pen.reserved, g.DefLineColor, g.BranchPenWidth, 0};
        brush.colour = g.DefLineColor;
        brush.style = 1;
        break;
    case 3:
        pen = {pen.reserved, 0, g.BranchPenWidth, 0};
        brush.colour = g.DefLineColor;
        brush.style = 0;
        break;
    case 4:
        pen = {pen.reserved, 0, g.BranchPenWidth, 2};
        brush.colour = g.DefLineColor;
        brush.style = 1;
        break;
    default:
        break;
    }
}

bool TGLine::HitTest(TPoint p) {
    HitDistance = 10000;
    HitDistance = PointLineDistance(p, Begin(), End());
    return true;
}

int32_t TGLine::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGBranch::StreamSize(v)) + 16);
}

int32_t TGLine::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGBranch::SaveToStream(w);
    w.I32(x1);
    w.I32(y1);
    w.I32(x2);
    w.I32(y2);
    return n + 16;
}

bool TGLine::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGBranch::LoadFromStream(v, r)) return false;
    x1 = r.I32();
    y1 = r.I32();
    x2 = r.I32();
    y2 = r.I32();
    if (r.Failed()) return false;
    direction = {ClampI(static_cast<int64_t>(x2) - x1), ClampI(static_cast<int64_t>(y2) - y1)};
    if (kind == kKindLine && angle == 0) {
        // A file without the angle: it follows from the end points, and the
        // arrow caption goes beside the middle of the line.
        angle = BranchAngle(Begin(), End());
        sinCos = TSinCos::Of(angle);
        PlaceArrowCaption(Begin(), End());
    }
    return true;
}

void TGLine::PlaceArrowCaption(TPoint from, TPoint to) {
    const double off = DrawingGlobals().DataOffset;
    TPoint mid = Mid(from, to);
    TBranchCaption& c = Caption(5);
    c.anchor = Add(mid, {-RoundI(off * std::fabs(std::cos(angle - kPi / 2))),
                         RoundI(off * std::fabs(std::sin(angle - kPi / 2)))});
    c.angle = angle;
}

void TGLine::SetReversed(bool flag) {
    if ((reversed != 0) == flag) return;
    TGBranch::SetReversed(flag);
    std::swap(x1, x2);
    std::swap(y1, y2);
    sinCos.Negate();
}

void TGLine::RegisterEnds(const TBranchSetup& setup) {
    auto b = nodes->AddNode(Begin(), setup.beginKind, setup.beginNode);
    auto e = nodes->AddNode(End(), setup.endKind, setup.endNode);
    beginNode = b.number;
    beginIndex = b.index;
    endNode = e.number;
    endIndex = e.index;
}

void TGLine::SetGeometry(TPoint begin, TPoint end, const TBranchSetup& setup, int mode) {
    x1 = begin.x;
    y1 = begin.y;
    x2 = end.x;
    y2 = end.y;
    box = BoxOf(begin, end);
    if (mode != kGeometryKeepNodes && nodes) RegisterEnds(setup);
    if (mode != kGeometryKeepCaptions) {
        pointA = Weighted(begin, 6, end, 4, 10);
        pointB = Mid(begin, end);
        callout.placed = 0;
        if (mode != kGeometryKeepNodes) name.clear();
        TPoint third = Weighted(begin, 40, end, 60, 100);
        for (TBranchCaption& c : captions) c.anchor = third;
        if (setup.name) name = *setup.name;
        if (setup.number != -1) number = setup.number;
    }
    if (kind != kKindPolyLine) {
        direction = {ClampI(static_cast<int64_t>(x2) - x1), ClampI(static_cast<int64_t>(y2) - y1)};
        angle = BranchAngle(begin, end);
    }
    sinCos = TSinCos::Of(angle);
    if (mode != kGeometryKeepCaptions) {
        const double off = DrawingGlobals().DataOffset;
        TPoint shift{-std::abs(RoundI(off * static_cast<double>(sinCos.cosL))),
                     std::abs(RoundI(off * static_cast<double>(sinCos.sinL)))};
        for (TBranchCaption& c : captions) {
            c.anchor = Add(c.anchor, shift);
            c.angle = angle;
            if (mode != kGeometryKeepNodes) c.flag2 = 0;
        }
    }
    brush.colour = setup.colour;
    hasPointA = 0;
    hasPointB = 0;
    labelAngle = -1.0;
}

void TGLine::EndMoved(bool beginEnd, TPoint p) {
    TBranchSetup s;
    s.colour = brush.colour;
    SetGeometry(beginEnd ? p : Begin(), beginEnd ? End() : p, s, kGeometryKeepNodes);
}

void TGLine::AttachLoaded() {
    box = BoxOf(Begin(), End());
    if (nodes) {
        TBranchSetup s;
        s.beginNode = beginNode;
        s.endNode = endNode;
        RegisterEnds(s);
    }
    if (kind == kKindLine) {
        direction = {ClampI(static_cast<int64_t>(x2) - x1), ClampI(static_cast<int64_t>(y2) - y1)};
        angle = BranchAngle(Begin(), End());
    }
    sinCos = TSinCos::Of(angle);
}

TPoint BandOffset(double length, long double cosValue, long double sinValue) {
    return {RoundI(length * static_cast<double>(cosValue)),
            ClampI(-static_cast<int64_t>(RoundI(length * static_cast<double>(sinValue))))};
}

void TGLine::SetOffsets(const TSinCos& sc, int32_t w, int32_t s) {
    offsetL = BandOffset(w, sc.cosL, sc.sinL);
    offsetR = BandOffset(w, sc.cosR, sc.sinR);
    offsetL2 = BandOffset(w + s / 5.0, sc.cosL, sc.sinL);
    offsetR2 = BandOffset(w + s / 5.0, sc.cosR, sc.sinR);
    backStep = BandOffset(-static_cast<double>(s), sc.cosA, sc.sinA);
}

const TSinCos& TGLine::SinCosOf(double a) const {
    if (!(memoAngle_ == a)) {
        memo_ = TSinCos::Of(a);
        memoAngle_ = a;
    }
    return memo_;
}

void TGLine::BuildOutline(int32_t halfWidth, int32_t arrowSize, TOutline& out) {
    const double a = angle + (reversed == 0 ? kPi : 0.0);
    const bool hairline = width == 1;
    const int32_t w = hairline ? 0 : halfWidth;
    const int k = hairline ? 0 : 1;
    sinCos = SinCosOf(a);
    SetOffsets(sinCos, w, arrowSize);
    const TPoint p = screenBegin, q = screenEnd;
    if (!(doc && doc->showDirections)) {
        out.flag = 0;
        out.points[0] = Add(p, Scaled(offsetL, k));
        out.points[1] = Add(q, Scaled(offsetL, k));
        out.points[2] = Add(q, Scaled(offsetR, k));
        out.points[3] = Add(p, Scaled(offsetR, k));
        return;
    }
    const TPoint t = Add(q, backStep);
    out.flag = 1;
    out.points = {
        Add(p, Scaled(offsetL, k)), Add(t, Scaled(offsetL, k)), Add(t, offsetL2),          q,
        Add(t, offsetR2),           Add(t, Scaled(offsetR, k)), Add(p, Scaled(offsetR, k))};
}

// ---- TGPolyLine ----

TGPolyLine::TGPolyLine(TGCollNode* nodeCollection) : TGLine(nodeCollection) {
    kind = kKindPolyLine;
    bends.resize(10);
}

void TGPolyLine::EnsureSlots(int32_t slots) {
    if (static_cast<int32_t>(bends.size()) < slots) {
        bends.resize(static_cast<size_t>(slots) + 10 - static_cast<size_t>(slots) % 10);
    }
}

std::vector<TPoint> TGPolyLine::Path() const {
    std::vector<TPoint> path;
    path.push_back(Begin());
    for (int32_t i = 0; i < bendCount; ++i) path.push_back(bends[i]);
    path.push_back(End());
    return path;
}

bool TGPolyLine::HitTest(TPoint p) {
    std::vector<TPoint> path = Path();
    int32_t best = 10000;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        best = std::min(best, PointLineDistance(p, path[i], path[i + 1]));
    }
    HitDistance = best;
    return true;
}

int32_t TGPolyLine::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGLine::StreamSize(v)) + 4);
}

int32_t TGPolyLine::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGLine::SaveToStream(w);
    int32_t count = std::max(bendCount, -1);
    w.I32(count);
    for (int32_t i = 0; i <= count; ++i) {
        WritePoint(w, i < static_cast<int32_t>(bends.size()) ? bends[i] : TPoint{});
    }
    return n + 4 + 8 * (count + 1);
}

bool TGPolyLine::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGLine::LoadFromStream(v, r)) return false;
    const double storedAngle = angle;
    int32_t count = r.I32();
    if (r.Failed() || count < -1 || (static_cast<uint64_t>(count) + 1) * 8 > r.Remaining())
        return false;
    bendCount = count;
    EnsureSlots(count + 1);
    for (int32_t i = 0; i <= count; ++i) bends[i] = ReadPoint(r);
    if (r.Failed()) return false;
    std::vector<TPoint> path = Path();
    angle = BranchAngle(path[path.size() - 2], path.back());
    sinCos = TSinCos::Of(angle);
    if (storedAngle == 0) PlaceArrowCaption(path[path.size() - 2], path.back());
    UpdateBounds();
    return true;
}

void TGPolyLine::SetReversed(bool flag) {
    if ((reversed != 0) == flag) return;
    TGLine::SetReversed(flag);
    if (bendCount > 1) std::reverse(bends.begin(), bends.begin() + bendCount);
}

void TGPolyLine::EndMoved(bool beginEnd, TPoint p) {
    TGLine::EndMoved(beginEnd, p);
    UpdateBounds();
}

void TGPolyLine::AttachLoaded() {
    TGLine::AttachLoaded();
    UpdateBounds();
}

void TGPolyLine::FreePoints() {
    bends.clear();
    bendCount = -1;
}

void TGPolyLine::UpdateBounds() {
    std::vector<TPoint> path = Path();
    box = {path[0].x, path[0].y, path[0].x, path[0].y};
    for (TPoint p : path) IncludePoint(box, p);
}

void TGPolyLine::CompleteLastSegment() {
    std::vector<TPoint> path = Path();
    angle = BranchAngle(path[path.size() - 2], path.back());
    sinCos = TSinCos::Of(angle);
    PlaceArrowCaption(path[path.size() - 2], path.back());
}

void TGPolyLine::EditVertex(TPoint from, TPoint to, const TBranchSetup& setup) {
    if (bendCount >= 0) {
        EnsureSlots(bendCount + 2);
        bends[bendCount] = End();
    } else {
        x1 = from.x;
        y1 = from.y;
    }
    ++bendCount;
    if (bendCount == 0) {
        SetGeometry(Begin(), to, setup, kGeometryAll);
    } else {
        int32_t idx = nodes ? nodes->MoveNode(endIndex, to) : -1;
        if (idx >= 0) {
            endIndex = idx;
            endNode = nodes->Record(idx).number;
        }
        x2 = to.x;
        y2 = to.y;
    }
    UpdateBounds();
    CompleteLastSegment();
}

TSinCos TGPolyLine::SegmentSinCos(const std::vector<TPoint>& path, int32_t segment) const {
    if (segment < 0 || segment + 1 >= static_cast<int32_t>(path.size())) return {};
    const double a = BranchAngle(path[segment], path[segment + 1]);
    if (segmentMemo_.size() < path.size())
        segmentMemo_.resize(path.size(), {std::numeric_limits<double>::quiet_NaN(), TSinCos{}});
    auto& [angleMemo, values] = segmentMemo_[static_cast<size_t>(segment)];
    if (!(angleMemo == a)) {
        values = TSinCos::Of(a);
        angleMemo = a;
    }
    return values;
}

bool TGPolyLine::SegmentOutline(int32_t halfWidth, int32_t arrowSize, TOutline& out,
                                int32_t segment, bool) {
    std::vector<TPoint> path = Path();
    if (segment < 0 || segment + 1 >= static_cast<int32_t>(path.size())) return false;
    const bool hairline = width == 1;
    const int32_t w = hairline ? 0 : halfWidth;
    const int k = hairline ? 0 : 1;
    SetOffsets(SegmentSinCos(path, segment), w, arrowSize);
    TPoint p = path[segment], q = path[segment + 1];
    if (doc) {
        p = doc->WorldToScreen(p);
        q = doc->WorldToScreen(q);
    }
    if (segment == 0) screenBegin = p;
    if (segment + 2 == static_cast<int32_t>(path.size())) screenEnd = q;
    out.flag = 0;
    out.points[0] = Add(p, Scaled(offsetL, k));
    out.points[1] = Add(q, Scaled(offsetL, k));
    out.points[2] = Add(q, Scaled(offsetR, k));
    out.points[3] = Add(p, Scaled(offsetR, k));
    return true;
}

} // namespace arv
