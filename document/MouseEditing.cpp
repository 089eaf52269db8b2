// The document side of editing with the mouse: what a press grabs, how a
// drag changes it, group selection and moves, placing library items and the
// drawing order. The window keeps the gesture's state and hands it back.
#include "document/Branch.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/Labels.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace arv {

namespace {

TPoint Shift(TPoint p, int64_t dx, int64_t dy) {
    return {ClampI(p.x + dx), ClampI(p.y + dy)};
}

// Within the tolerance in x and in y; strict for polygon vertices.
bool Within(TPoint a, TPoint b, int64_t tol, bool strict) {
    const int64_t dx = std::llabs(static_cast<int64_t>(a.x) - b.x);
    const int64_t dy = std::llabs(static_cast<int64_t>(a.y) - b.y);
    return strict ? dx < tol && dy < tol : dx <= tol && dy <= tol;
}

bool InRect(TPoint p, const TRect& r) {
    return r.left <= p.x && p.x <= r.right && r.bottom <= p.y && p.y <= r.top;
}

bool BoxInside(const TRect& box, const TRect& r) {
    return r.left <= box.left && box.right <= r.right && box.top <= r.top && box.bottom >= r.bottom;
}

int32_t BendCount(const TGPolyLine& p) {
    return std::clamp<int32_t>(p.bendCount, 0, static_cast<int32_t>(p.bends.size()));
}

void PushPoint(std::vector<int32_t>& e, TPoint p) {
    e.push_back(p.x);
    e.push_back(p.y);
}

void PushRect(std::vector<int32_t>& e, const TRect& r) {
    e.insert(e.end(), {r.left, r.top, r.right, r.bottom});
}

TPoint SavedPoint(const std::vector<int32_t>& e, size_t at) {
    return {e.at(at), e.at(at + 1)};
}

TRect SavedRect(const std::vector<int32_t>& e, size_t at) {
    return {e.at(at), e.at(at + 1), e.at(at + 2), e.at(at + 3)};
}

TRect ShiftRect(const TRect& r, int64_t dx, int64_t dy) {
    return {ClampI(r.left + dx), ClampI(r.top + dy), ClampI(r.right + dx), ClampI(r.bottom + dy)};
}

// Width and height of a BMP file from its header; false when the file is
// missing or too short to be one.
bool BmpSize(const std::string& fileName, int32_t& w, int32_t& h) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes) || bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    auto le32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
        return static_cast<int32_t>(v);
    };
    const int32_t headerSize = le32(14);
    if (headerSize == 12) { // the old core header keeps 16-bit sizes
        w = static_cast<uint8_t>(bytes[18]) | static_cast<uint8_t>(bytes[19]) << 8;
        h = static_cast<uint8_t>(bytes[20]) | static_cast<uint8_t>(bytes[21]) << 8;
    } else {
        w = le32(18);
        h = le32(22);
    }
    // A negative height marks rows stored top-down.
    if (h < 0) h = h == INT32_MIN ? INT32_MAX : -h;
    return w > 0 && h > 0;
}

} // namespace

int32_t TGCollFigure::FindHandleAt(TPoint screen, THandleHit& hit) {
    hit = THandleHit{};
    const TPoint w = ScreenToWorld(screen);
    const int64_t tol = hitTolerance;
    auto done = [&](int32_t kind, int32_t index, TPoint grab) {
        hit.kind = kind;
        hit.index = index;
        hit.grab = grab;
        return kind;
    };
    if (TGCustomFigure* f = CurrentFigure()) {
        const int32_t cur = current;
        switch (f->kind) {
        case kKindArc:
        case kKindText:
        case kKindSymbol:
        case kKindRectangle:
        case kKindEllipse:
        case kKindALine:
            if (!PointNearRect(w.x, w.y, f->box, scale)) break;
            switch (f->kind) {
            case kKindArc: {
                auto* a = static_cast<TGArc*>(f);
                hit.a = a->First(), hit.b = a->Second(), hit.c = a->centre;
                return done(17, cur, w);
            }
            case kKindText:
                return done(3, cur, static_cast<TGText*>(f)->anchor);
            case kKindSymbol:
                return done(8, cur, static_cast<TGUO*>(f)->anchor);
            case kKindRectangle:
                hit.a = {f->box.left, f->box.top}, hit.b = {f->box.right, f->box.bottom};
                return done(11, cur, w);
            case kKindEllipse:
                hit.a = {f->box.left, f->box.top}, hit.b = {f->box.right, f->box.bottom};
                return done(16, cur, w);
            default:
                hit.a = {f->x1, f->y1}, hit.b = {f->x2, f->y2};
                return done(15, cur, w);
            }
        case kKindPicture:
            if (settings.drawPictures && PointNearRect(w.x, w.y, f->box, scale)) {
                return done(
                    6, cur,
                    {HalfSum(f->box.left, f->box.right), HalfSum(f->box.top, f->box.bottom)});
            }
            break;
        case kKindPolygon: {
            auto* p = static_cast<TGPolygon*>(f);
            const int32_t last =
                std::min<int32_t>(p->lastIndex, static_cast<int32_t>(p->vertices.size()) - 1);
            for (int32_t k = 0; k <= last; ++k) {
                if (Within(p->vertices[k], w, tol, true)) {
                    hit.sub = k;
                    return done(1010, cur, p->vertices[k]);
                }
            }
            break;
        }
        case kKindLine:
        case kKindPolyLine: {
            auto* b = static_cast<TGBranch*>(f);
            TPoint from, to;
            ReferenceSegment(*b, from, to);
            // The labels' own reading direction, as the label pass draws them.
            const double read =
                ReadingAngle(b->labelAngle != -1.0 ? b->labelAngle : DirectionAngle(from, to));
            if (display.branchNames && b->switchA && !b->name.empty() &&
                PointInRotatedRect(b->nameSize.cx, b->nameSize.cy, screen, 0, b->nameScreen,
                                   read)) {
                done(4, cur, b->pointA);
            }
            if (hit.kind == 0 && display.branchNumbers && b->switchB &&
                PointInRotatedRect(b->numberSize.cx, b->numberSize.cy, screen, 0, b->numberScreen,
                                   read)) {
                done(5, cur, b->pointB);
            }
            const TRect& fr = b->callout.frame;
            if (hit.kind == 0 && settings.showCalcData && b->callout.shown && fr.right > fr.left &&
                PointInQuad(screen.x, screen.y, {fr.left, fr.top}, {fr.left, fr.bottom},
                            {fr.right, fr.bottom}, {fr.right, fr.top})) {
                done(13, cur, ScreenToWorld({fr.left, fr.top}));
            }
            const double dataOffset = DrawingGlobals().DataOffset;
            for (int32_t k = 1; k <= 5; ++k) {
                TBranchCaption& rec = b->Caption(k);
                if (!display.caption[static_cast<size_t>(k)] || !rec.shown) continue;
                captionIndex = k;
                if (k == 1) {
                    const double a = ReadingAngle(rec.angle);
                    if (PointInRotatedRect(rec.size.cx, rec.size.cy, screen, 0, rec.screenPoint,
                                           a)) {
                        hit.sub = 1;
                        done(10, cur,
                             Shift(rec.anchor, RoundI(dataOffset * std::sin(a)),
                                   RoundI(dataOffset * std::cos(a))));
                    }
                } else if (k == 3 && Within(rec.anchor, w, tol, false)) {
                    // The ring's radius is in pixels: the grab lies that far
                    // right and twice as far down from the number on screen,
                    // over the marker at every zoom.
                    const int32_t r = RoundI(settings.symbolSize * scale / 3);
                    const TPoint at = WorldToScreen(rec.anchor);
                    hit.sub = 3;
                    done(10, cur,
                         ScreenToWorld({ClampI(at.x + int64_t{r}), ClampI(at.y + 2 * int64_t{r})}));
                } else if (k == 5 && !b->showFlag && Within(rec.anchor, w, tol, false)) {
                    hit.sub = 5;
                    done(10, cur, rec.anchor);
                }
            }
            if (f->kind == kKindPolyLine) {
                auto* p = static_cast<TGPolyLine*>(f);
                for (int32_t k = 0; k < BendCount(*p); ++k) {
                    if (Within(p->bends[k], w, tol, false)) {
                        hit.sub = k;
                        return done(9, cur, p->bends[k]);
                    }
                }
            }
            break;
        }
        default:
            break;
        }
    }
    // Node numbers and nodes come before the labels of the current branch.
    // Label rectangles are those of the last drawing, so only while drawn.
    for (int32_t i = 0; display.nodeNumbers && i < nodes.Count(); ++i) {
        const TNodeRecord& n = nodes.Record(i);
        if (n.visible && n.shown && n.labelScreen.x <= screen.x &&
            screen.x <= n.labelScreen.x + n.labelWidth && n.labelScreen.y <= screen.y &&
            screen.y <= n.labelScreen.y + n.labelHeight && n.labelWidth > 0) {
            hit = THandleHit{};
            return done(7, i, Shift(n.point, n.labelOffset.x, n.labelOffset.y));
        }
    }
    for (int32_t i = 0; i < nodes.Count(); ++i) {
        const TNodeRecord& n = nodes.Record(i);
        if (n.visible && Within(n.point, w, tol, false)) {
            hit = THandleHit{};
            return done(2, i, n.point);
        }
    }
    const int32_t found = SelectAt(screen, 0);
    if (found >= 0) current = found;
    DoChange();
    return hit.kind;
}

bool TGCollFigure::DragSelection(THandleHit& hit, TPoint q) {
    const TPoint g = hit.grab;
    const int32_t k = hit.sub;
    if (hit.kind == 2 || hit.kind == 7) {
        if (!nodes.Valid(hit.index)) return true;
        if (hit.kind == 2) {
            // Onto another node the two merge; the drag goes on with the
            // node that now stands there.
            const int32_t now = nodes.MoveNode(hit.index, q);
            if (now >= 0) hit.index = now;
        } else {
            TNodeRecord& n = nodes.Record(hit.index);
            n.labelOffset = {ClampI(static_cast<int64_t>(q.x) - n.point.x),
                             ClampI(static_cast<int64_t>(q.y) - n.point.y)};
        }
        return true;
    }
    TGCustomFigure* f = Figure(hit.index);
    if (!f) return true;
    switch (hit.kind) {
    case 3:
        if (f->kind == kKindText) static_cast<TGText*>(f)->anchor = q;
        break;
    case 4:
    case 5:
        if (auto* b = BranchAt(hit.index)) {
            (hit.kind == 4 ? b->pointA : b->pointB) = q;
            (hit.kind == 4 ? b->hasPointA : b->hasPointB) = 1;
        }
        break;
    case 6: {
        TRect& r = f->box;
        const int32_t hw = ClampI((static_cast<int64_t>(r.right) - r.left) / 2);
        const int32_t hh = ClampI((static_cast<int64_t>(r.top) - r.bottom) / 2);
        r = {ClampI(static_cast<int64_t>(q.x) - hw), ClampI(static_cast<int64_t>(q.y) + hh),
             ClampI(static_cast<int64_t>(q.x) + hw), ClampI(static_cast<int64_t>(q.y) - hh)};
        break;
    }
    case 8:
        if (f->kind == kKindSymbol) {
            auto* s = static_cast<TGUO*>(f);
            // From the symbol's present anchor, so that every step of the
            // drag moves it only by what the cursor moved since the last one.
            const int64_t dx = static_cast<int64_t>(q.x) - s->anchor.x;
            const int64_t dy = static_cast<int64_t>(q.y) - s->anchor.y;
            const int count = std::clamp(s->placed.count, 0, kMaxPrimitives);
            for (int i = 0; i < count; ++i) {
                for (TPoint& p : s->placed.prims[i].points) p = Shift(p, dx, dy);
            }
            s->box = ShiftRect(s->box, dx, dy);
            s->anchor = q;
        }
        break;
    case 9:
        if (f->kind == kKindPolyLine) {
            auto* p = static_cast<TGPolyLine*>(f);
            if (k < 0 || k >= BendCount(*p)) throw std::out_of_range("bend index");
            p->bends[k] = q;
            p->UpdateBounds();
        }
        break;
    case 10:
        if (auto* b = BranchAt(hit.index)) {
            TBranchCaption& rec = b->Caption(k);
            const double t = rec.angle + kPi / 2;
            const double d = DrawingGlobals().DataOffset;
            TPoint offset;
            if (WindowState().DrawMode != 7) {
                offset = {-std::abs(RoundI(d * std::cos(t))), std::abs(RoundI(d * std::sin(t)))};
            }
            rec.flag2 = 1;
            rec.anchor = Shift(q, -static_cast<int64_t>(offset.x), -static_cast<int64_t>(offset.y));
            b->sinCos = TSinCos::Of(t);
        }
        break;
    case 11:
        if (f->kind == kKindRectangle) {
            auto* r = static_cast<TGRectangle*>(f);
            r->SetCorners(hit.a, hit.b); // every step starts from the press
            r->MoveHandle(g, q);
        }
        break;
    case 13:
        if (auto* b = BranchAt(hit.index)) {
            b->callout.anchor = q;
            b->callout.placed = 1;
        }
        break;
    case 15:
        if (f->kind == kKindALine) {
            auto* l = static_cast<TGALine*>(f);
            l->SetPoints(hit.a, hit.b);
            l->MoveHandle(g, q);
        }
        break;
    case 16:
        if (f->kind == kKindEllipse) {
            auto* e = static_cast<TGElipse*>(f);
            e->SetRect(hit.a, hit.b, 0);
            e->MoveHandle(g, q);
        }
        break;
    case 17:
        if (f->kind == kKindArc) {
            auto* a = static_cast<TGArc*>(f);
            a->SetPoints(hit.a, hit.b, hit.c);
            a->MoveHandle(g, q);
        }
        break;
    case 1010:
        if (f->kind == kKindPolygon) {
            auto* p = static_cast<TGPolygon*>(f);
            p->vertices.at(static_cast<size_t>(k)) = q;
            p->UpdateBounds();
        }
        break;
    default:
        break;
    }
    return true;
}

int32_t TGCollFigure::SelectGroup(TPoint p1, TPoint p2) {
    // A rectangle dragged in any direction selects the same objects.
    const TRect r{std::min(p1.x, p2.x), std::max(p1.y, p2.y), std::max(p1.x, p2.x),
                  std::min(p1.y, p2.y)};
    groupList.clear();
    groupList.reserve(10);
    for (int32_t i = 0; i < nodes.Count(); ++i) {
        const TNodeRecord& n = nodes.Record(i);
        if (InRect(n.point, r)) groupList.push_back({i, kKindNodeBlock, n.point.x, n.point.y});
    }
    int32_t lastBranch = -1;
    int32_t result = 0;
    for (int32_t i = 0; i < Count(); ++i) {
        TGCustomFigure& f = *figures[i];
        std::vector<int32_t> e{i, f.kind};
        switch (f.kind) {
        case kKindLine:
            if (!BoxInside(f.box, r)) continue;
            lastBranch = i;
            break;
        case kKindPolyLine: {
            auto& p = static_cast<TGPolyLine&>(f);
            for (int32_t k = 0; k < BendCount(p); ++k) {
                if (!InRect(p.bends[k], r)) continue;
                e.push_back(k);
                PushPoint(e, p.bends[k]);
            }
            if (e.size() == 2) continue;
            lastBranch = i;
            break;
        }
        case kKindArc: {
            if (!BoxInside(f.box, r)) continue;
            auto& a = static_cast<TGArc&>(f);
            PushPoint(e, a.First());
            PushPoint(e, a.Second());
            PushPoint(e, a.centre);
            result = i;
            break;
        }
        case kKindText:
            if (!BoxInside(f.box, r)) continue;
            PushPoint(e, static_cast<TGText&>(f).anchor);
            break;
        case kKindSymbol:
            if (!BoxInside(f.box, r)) continue;
            PushPoint(e, static_cast<TGUO&>(f).anchor);
            break;
        case kKindPicture:
        case kKindRectangle:
        case kKindEllipse:
            if (!BoxInside(f.box, r)) continue;
            PushRect(e, f.box);
            break;
        case kKindPolygon: {
            if (!BoxInside(f.box, r)) continue;
            auto& p = static_cast<TGPolygon&>(f);
            PushRect(e, f.box);
            const int32_t last =
                std::min<int32_t>(p.lastIndex, static_cast<int32_t>(p.vertices.size()) - 1);
            for (int32_t k = 0; k <= last; ++k) PushPoint(e, p.vertices[k]);
            break;
        }
        case kKindALine: {
            auto& l = static_cast<TGALine&>(f);
            const bool whole = BoxInside(f.box, r);
            const bool first = whole || InRect(l.First(), r);
            const bool second = whole || InRect(l.Second(), r);
            if (!first && !second) continue;
            // Each end carries a flag: an end at the origin is a real end.
            e.push_back(first ? 1 : 0);
            PushPoint(e, l.First());
            e.push_back(second ? 1 : 0);
            PushPoint(e, l.Second());
            if (whole) result = i;
            break;
        }
        default:
            continue;
        }
        groupList.push_back(std::move(e));
    }
    groupList.shrink_to_fit();
    if (lastBranch >= 1) result = lastBranch;
    return result;
}

void TGCollFigure::MoveGroup(TPoint p0, TPoint p1) {
    const int64_t dx = static_cast<int64_t>(p1.x) - p0.x;
    const int64_t dy = static_cast<int64_t>(p1.y) - p0.y;
    for (const std::vector<int32_t>& e : groupList) {
        if (e.size() < 2) continue;
        const int32_t index = e[0];
        if (e[1] == kKindNodeBlock) {
            if (!nodes.Valid(index)) continue;
            const TPoint p = Shift(SavedPoint(e, 2), dx, dy);
            nodes.Record(index).point = p;
            NodeEndsMoved(index, p);
            continue;
        }
        TGCustomFigure* f = Figure(index);
        if (!f || f->kind != e[1]) continue;
        switch (f->kind) {
        case kKindPolyLine: {
            auto& p = static_cast<TGPolyLine&>(*f);
            for (size_t at = 2; at + 2 < e.size(); at += 3) {
                const int32_t k = e[at];
                if (k >= 0 && k < BendCount(p)) p.bends[k] = Shift(SavedPoint(e, at + 1), dx, dy);
            }
            p.UpdateBounds();
            break;
        }
        case kKindArc:
            static_cast<TGArc&>(*f).SetPoints(Shift(SavedPoint(e, 2), dx, dy),
                                              Shift(SavedPoint(e, 4), dx, dy),
                                              Shift(SavedPoint(e, 6), dx, dy));
            break;
        case kKindText:
            static_cast<TGText&>(*f).anchor = Shift(SavedPoint(e, 2), dx, dy);
            break;
        case kKindSymbol: {
            auto& s = static_cast<TGUO&>(*f);
            const TPoint to = Shift(SavedPoint(e, 2), dx, dy);
            // The primitives and box follow the anchor from where it is now.
            const int64_t sx = static_cast<int64_t>(to.x) - s.anchor.x;
            const int64_t sy = static_cast<int64_t>(to.y) - s.anchor.y;
            const int count = std::clamp(s.placed.count, 0, kMaxPrimitives);
            for (int i = 0; i < count; ++i) {
                for (TPoint& pt : s.placed.prims[i].points) pt = Shift(pt, sx, sy);
            }
            s.box = ShiftRect(s.box, sx, sy);
            s.anchor = to;
            break;
        }
        case kKindPicture:
            f->box = ShiftRect(SavedRect(e, 2), dx, dy);
            break;
        case kKindRectangle: {
            const TRect b = ShiftRect(SavedRect(e, 2), dx, dy);
            static_cast<TGRectangle&>(*f).SetCorners({b.left, b.top}, {b.right, b.bottom});
            break;
        }
        case kKindEllipse: {
            const TRect b = ShiftRect(SavedRect(e, 2), dx, dy);
            static_cast<TGElipse&>(*f).SetRect({b.left, b.top}, {b.right, b.bottom}, 0);
            break;
        }
        case kKindPolygon: {
            auto& p = static_cast<TGPolygon&>(*f);
            f->box = ShiftRect(SavedRect(e, 2), dx, dy);
            size_t k = 0;
            for (size_t at = 6; at + 1 < e.size() && k < p.vertices.size(); at += 2, ++k)
                p.vertices[k] = Shift(SavedPoint(e, at), dx, dy);
            break;
        }
        case kKindALine: {
            if (e.size() < 8) break;
            auto& l = static_cast<TGALine&>(*f);
            const TPoint first = e[2] ? Shift(SavedPoint(e, 3), dx, dy) : l.First();
            const TPoint second = e[5] ? Shift(SavedPoint(e, 6), dx, dy) : l.Second();
            l.SetPoints(first, second);
            break;
        }
        default:
            break;
        }
    }
}

bool TGCollFigure::PlaceSymbol(std::string_view name, std::string_view folder, int32_t index,
                               bool picture, TPoint at) {
    if (picture) {
        if (name.empty()) return false;
        int32_t w = 0, h = 0;
        // Folders may carry backslashes ("img\\"), and the file system here
        // minds letter case.
        const std::string path =
            NormalizeSeparators(std::string(folder) + std::string(name) + ".bmp");
        std::string found = !path.empty() && path[0] == '/' ? FindFileNoCase("/", path.substr(1))
                                                            : FindFileNoCase(".", path);
        if (found.empty()) found = path;
        if (!BmpSize(found, w, h)) return false;
        auto* p = static_cast<TGPicture*>(AddFigure(kKindPicture));
        p->Place(name, index, 0, w, h, at);
        return true;
    }
    TSymbolRecord copy;
    TransformSymbol(symbols, index, settings.symbolSize, copy, 0.0);
    auto* s = static_cast<TGUO*>(AddFigure(kKindSymbol));
    s->SetSymbol(copy, index, 0, 0, settings.symbolSize, at);
    return true;
}

void TGCollFigure::MoveInOrder(int32_t first, int32_t second) {
    if (figures.empty() || first < 0 || second < 0) return;
    const int32_t lo = std::min(first, second), hi = std::max(first, second);
    if (hi >= Count()) throw std::out_of_range("figure index");
    std::rotate(figures.begin() + lo, figures.begin() + hi, figures.begin() + hi + 1);
    BuildVisibleList();
}

} // namespace arv

namespace arv {

TDrawPart TGCollFigure::MovingPart(std::vector<uint8_t> moving, std::vector<uint8_t> ends) const {
    const int32_t nodeCount = nodes.Count();
    auto flagged = [&](int32_t node) { return node >= 0 && node < nodeCount && ends[node]; };
    // Branches at a moved node move with it.
    for (int32_t i = 0; i < Count(); ++i) {
        const TGBranch* b = BranchAt(i);
        if (b && (flagged(b->beginIndex) || flagged(b->endIndex))) moving[i] = 1;
    }
    // Where a moving branch ends, the bands of the others there join it anew.
    for (int32_t i = 0; i < Count(); ++i) {
        const TGBranch* b = BranchAt(i);
        if (!b || !moving[i]) continue;
        for (int32_t n : {b->beginIndex, b->endIndex})
            if (n >= 0 && n < nodeCount) ends[n] = 1;
    }
    TDrawPart part;
    part.nodes.assign(static_cast<size_t>(nodeCount), 0);
    for (int32_t i = 0; i < Count(); ++i) {
        const TGBranch* b = BranchAt(i);
        if (!b || !(flagged(b->beginIndex) || flagged(b->endIndex) || moving[i])) continue;
        moving[i] = 1;
        for (int32_t n : {b->beginIndex, b->endIndex})
            if (n >= 0 && n < nodeCount) part.nodes[n] = 1;
    }
    for (int32_t n = 0; n < nodeCount; ++n)
        if (ends[n]) part.nodes[n] = 1;
    for (int32_t i : visibleList)
        if (i >= 0 && i < Count() && moving[i]) part.figures.push_back(i);
    return part;
}

TDrawPart TGCollFigure::DragPart(const THandleHit& hit) const {
    std::vector<uint8_t> moving(static_cast<size_t>(Count()), 0);
    std::vector<uint8_t> moved(static_cast<size_t>(nodes.Count()), 0);
    if (hit.kind == 7) {
        // A node's number alone moves.
        TDrawPart part;
        part.nodes = std::move(moved);
        if (nodes.Valid(hit.index)) part.nodes[hit.index] = 1;
        return part;
    }
    if (hit.kind == 2) {
        if (nodes.Valid(hit.index)) moved[hit.index] = 1;
    } else if (hit.index >= 0 && hit.index < Count()) {
        moving[hit.index] = 1;
    }
    return MovingPart(std::move(moving), std::move(moved));
}

TDrawPart TGCollFigure::GroupPart() const {
    std::vector<uint8_t> moving(static_cast<size_t>(Count()), 0);
    std::vector<uint8_t> moved(static_cast<size_t>(nodes.Count()), 0);
    for (const std::vector<int32_t>& e : groupList) {
        if (e.size() < 2) continue;
        if (e[1] == kKindNodeBlock) {
            if (nodes.Valid(e[0])) moved[e[0]] = 1;
        } else if (e[0] >= 0 && e[0] < Count()) {
            moving[e[0]] = 1;
        }
    }
    return MovingPart(std::move(moving), std::move(moved));
}

TDrawPart TGCollFigure::OtherPart(const TDrawPart& part) const {
    std::vector<uint8_t> in(static_cast<size_t>(Count()), 0);
    for (int32_t i : part.figures)
        if (i >= 0 && i < Count()) in[i] = 1;
    TDrawPart other;
    for (int32_t i : visibleList)
        if (i < 0 || i >= Count() || !in[i]) other.figures.push_back(i);
    other.nodes.assign(static_cast<size_t>(nodes.Count()), 1);
    for (size_t n = 0; n < part.nodes.size() && n < other.nodes.size(); ++n)
        if (part.nodes[n]) other.nodes[n] = 0;
    return other;
}

} // namespace arv
