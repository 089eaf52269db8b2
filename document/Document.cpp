#include "document/Document.h"

#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "document/WindowHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace arv {

TGCollFigure* GDoc = nullptr;

namespace {
// Figures and the visible list grow in steps of 1024.
constexpr size_t kFigureStep = 1024;

int64_t Abs64(int32_t v) {
    return std::llabs(static_cast<int64_t>(v));
}

TRect MakeRect(int64_t l, int64_t t, int64_t r, int64_t b) {
    return {ClampI(l), ClampI(t), ClampI(r), ClampI(b)};
}
} // namespace

TDrawingSettings::TDrawingSettings() {
    fonts[0].size = fontSize1;
    fonts[1].size = 11;
    fonts[2].size = fontSize3;
    fonts[3].size = fontSize4;
    fonts[4].size = 10;
}

void LabelTextOut(TCanvas& dc, const std::vector<int32_t>& colours, std::string& outText,
                  const std::vector<std::string>& texts, int32_t lastIndex) {
    dc.SetBackgroundTransparent(true);
    // Each piece follows the one before, whatever alignment the caller left.
    const uint32_t align = dc.SetTextAlign(dc.TextAlign() | kTaUpdateCp);
    outText.clear();
    for (int32_t i = 0; i <= lastIndex && i < static_cast<int32_t>(texts.size()); ++i) {
        dc.font.colour = i < static_cast<int32_t>(colours.size()) ? colours[i] : 0;
        dc.TextOut(dc.PenPos().x, dc.PenPos().y, texts[i]);
        outText += texts[i];
    }
    dc.SetTextAlign(align);
}

TGCollFigure::TGCollFigure() : nodes(this) {
    std::memcpy(header.data(), "G878", 4);
    header[4] = static_cast<uint8_t>(kDrawingVersion);
    visibleList.reserve(kFigureStep);
    SetViewRect({});
}

TGCollFigure::~TGCollFigure() {
    OnChange = nullptr;
    OnDrawLabel = nullptr;
    nodes.Clear();
    for (auto& f : figures) f->Release();
    figures.clear();
    images.Clear();
    symbols.Clear();
    if (GDoc == this) GDoc = nullptr;
}

int32_t TGCollFigure::Version() const {
    int32_t v;
    std::memcpy(&v, header.data() + 4, 4);
    return v;
}

TGCustomFigure* TGCollFigure::Figure(int32_t i) const {
    return i >= 0 && i < Count() ? figures[i].get() : nullptr;
}

TGBranch* TGCollFigure::BranchAt(int32_t i) const {
    TGCustomFigure* f = Figure(i);
    return f && f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
}

TGCustomFigure* TGCollFigure::AddFigure(int32_t kind) {
    std::unique_ptr<TGCustomFigure> f = CreateFigure(kind, &nodes, &layers);
    if (!f) {
        current = -1;
        return nullptr;
    }
    f->doc = this;
    if (f->IsBranch()) static_cast<TGBranch*>(f.get())->number = NextBranchNumber();
    if (figures.size() % kFigureStep == 0) {
        figures.reserve(figures.size() + kFigureStep);
        visibleList.reserve(figures.size() + kFigureStep);
    }
    figures.push_back(std::move(f));
    current = Count() - 1;
    if (tempBranchCounter > std::numeric_limits<int32_t>::min()) --tempBranchCounter;
    return figures.back().get();
}

void TGCollFigure::BuildVisibleList() {
    visibleList.clear();
    for (int32_t i = 0; i < Count(); ++i) {
        if (figures[i]->IsVisibleIn(viewRect)) visibleList.push_back(i);
    }
}

void TGCollFigure::DeleteCurrent() {
    if (figures.empty() || current < 0 || current >= Count()) return;
    const int32_t i = current;
    current = Count() - 2;
    DoChange();
    figures[i]->Release();
    figures.erase(figures.begin() + i);
    ResolveNodeIndices();
    BuildVisibleList();
}

void TGCollFigure::Clear() {
    const bool hadFigures = !figures.empty();
    // Every node goes (also nodes loaded without a branch), so the branches
    // have no references left to release one by one.
    nodes.Clear();
    for (int32_t i = Count() - 1; i >= 0; --i) figures[i]->Release();
    figures.clear();
    visibleList.clear();
    tempBranchCounter = -1;
    current = -1;
    // A new drawing numbers its branches afresh: no number of the old one
    // waits for reuse.
    RenumberTemporaryBranches();
    if (hadFigures) DoChange();
    SetViewRect({});
}

TPoint TGCollFigure::WorldToScreen(TPoint w) const {
    return {RoundI((static_cast<double>(w.x) - viewRect.left) * scale),
            RoundI((static_cast<double>(viewRect.top) - w.y) * scale)};
}

TRect TGCollFigure::WorldRectToScreen(const TRect& r) const {
    TPoint a = WorldToScreen({r.left, r.top});
    TPoint b = WorldToScreen({r.right, r.bottom});
    return {a.x, a.y, b.x, b.y};
}

TPoint TGCollFigure::ScreenToWorld(TPoint s) const {
    return {ClampI(static_cast<int64_t>(RoundI(s.x / scale)) + viewRect.left),
            ClampI(static_cast<int64_t>(viewRect.top) - RoundI(s.y / scale))};
}

void TGCollFigure::SetViewRect(const TRect& r) {
    if (Abs64(r.left) + Abs64(r.right) == 0 || Abs64(r.top) + Abs64(r.bottom) == 0) {
        int32_t w = RoundI((clientWidth / 2) / scale);
        int32_t h = RoundI((clientHeight / 2) / scale);
        viewRect = MakeRect(-static_cast<int64_t>(w), h, w, -static_cast<int64_t>(h));
        centre = {0, 0};
    } else {
        // Each axis stays inside -100000..100000 by shifting, not cutting.
        constexpr int64_t lim = 100000;
        int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
        if (rt > lim) {
            l -= rt - lim;
            rt = lim;
        }
        if (l < -lim) {
            rt += -lim - l;
            l = -lim;
        }
        if (b > lim) {
            t -= b - lim;
            b = lim;
        }
        if (t < -lim) {
            b += -lim - t;
            t = -lim;
        }
        viewRect = MakeRect(l, t, rt, b);
        centre = {ClampI((l + rt) / 2), ClampI((t + b) / 2)};
    }
    BuildVisibleList();
}

void TGCollFigure::RebuildView(bool halfClientFirst) {
    int64_t hw, hh;
    if (halfClientFirst) {
        hw = RoundI((clientWidth / 2) / scale);
        hh = RoundI((clientHeight / 2) / scale);
    } else {
        hw = RoundI(clientWidth / scale) / 2;
        hh = RoundI(clientHeight / scale) / 2;
    }
    SetViewRect(MakeRect(centre.x - hw, centre.y + hh, centre.x + hw, centre.y - hh));
}

void TGCollFigure::AfterZoomStep(bool halfClientFirst) {
    hitTolerance = std::max(5, RoundI(5.0 / scale));
    RebuildView(halfClientFirst);
}

void TGCollFigure::UpdateViewSize(int32_t width, int32_t height) {
    WindowHost().SizeDrawingBitmap();
    clientWidth = width;
    clientHeight = height;
    RebuildView(false);
}

void TGCollFigure::ZoomToRect(const TRect& r) {
    int64_t w = std::llabs(static_cast<int64_t>(r.right) - r.left);
    int64_t h = std::llabs(static_cast<int64_t>(r.bottom) - r.top);
    if (w == 0 || h == 0) return;
    if (w >= 11 && h >= 11) {
        double s =
            std::min(clientWidth / static_cast<double>(w), clientHeight / static_cast<double>(h));
        if (s > scale) scale = s;
    }
    centre = {HalfSum(r.left, r.right), HalfSum(r.top, r.bottom)};
    AfterZoomStep(false);
    WindowHost().ResetPageFormatBox();
}

namespace {
// The zoom-in step: x 1.1, or + 0.01 at small scales, while the half client
// size still spans more than 10 world units.
void ZoomInStep(double& scale, int32_t cw, int32_t ch) {
    if ((std::max(cw, ch) / 2) / scale > 10) scale = scale > 0.1 ? scale * 1.1 : scale + 0.01;
}
} // namespace

void TGCollFigure::ZoomIn() {
    ZoomInStep(scale, clientWidth, clientHeight);
    AfterZoomStep(true);
}

void TGCollFigure::ZoomOut() {
    if (scale > 0.1) {
        scale *= 0.9;
    } else if (scale > 0.02) {
        scale -= 0.02;
    }
    AfterZoomStep(true);
    WindowHost().ResetPageFormatBox();
}

void TGCollFigure::ZoomInAt(TPoint screen) {
    centre = ScreenToWorld(screen);
    ZoomInStep(scale, clientWidth, clientHeight);
    AfterZoomStep(false);
    WindowHost().ResetPageFormatBox();
}

void TGCollFigure::ZoomOutAt(TPoint screen) {
    centre = ScreenToWorld(screen);
    if (scale > 0.1) {
        scale *= 0.9;
    } else if (scale > 0.01) {
        scale -= 0.01;
    }
    AfterZoomStep(false);
    WindowHost().ResetPageFormatBox();
}

int32_t TGCollFigure::Scroll(int32_t kind, int32_t amount) {
    int64_t dx = 0, dy = 0;
    switch (kind) {
    case 1:
        dx = -static_cast<int64_t>(amount);
        break;
    case 2:
        dx = amount;
        break;
    case 3:
        dy = amount;
        break;
    case 4:
        dy = -static_cast<int64_t>(amount);
        break;
    default:
        return -1;
    }
    SetViewRect(
        MakeRect(viewRect.left + dx, viewRect.top + dy, viewRect.right + dx, viewRect.bottom + dy));
    return -1;
}

int32_t TGCollFigure::SelectAt(TPoint screen, int32_t mode) {
    const TPoint p = ScreenToWorld(screen);
    const int64_t tol = hitTolerance;
    int32_t best = 1000;
    int32_t found = -1;
    for (int32_t i = 0; i < Count(); ++i) {
        TGCustomFigure& f = *figures[i];
        if (!f.VisibleFlag) continue;
        if (p.x < f.box.left - tol || p.x > f.box.right + tol || p.y < f.box.bottom - tol ||
            p.y > f.box.top + tol)
            continue;
        if (f.HitTest(p) && f.HitDistance < best) {
            best = f.HitDistance;
            found = i;
        }
    }
    const int32_t hit = best < hitTolerance ? found : -1;
    if (mode == -1) {
        current = hit;
        DoChange();
        return current;
    }
    return hit;
}

void TGCollFigure::SelectNext() {
    if (figures.empty()) return;
    if (current == -1) {
        current = Count() - 1;
    } else if (current >= Count() - 1) {
        current = 0;
    } else {
        ++current;
    }
}

void TGCollFigure::SelectPrev() {
    if (figures.empty()) return;
    current = (current <= 0 || current >= Count()) ? Count() - 1 : current - 1;
}

void TGCollFigure::DoChange() {
    if (OnChange) OnChange();
}

TRect TGCollFigure::GetExtent() {
    if (figures.empty()) return {};
    TRect r = figures[0]->box;
    for (int32_t i = 0; i < Count(); ++i) {
        TRect e = figures[i]->box;
        if (figures[i]->IsBranch()) GetLabelExtent(i, e);
        r.left = std::min(r.left, e.left);
        r.right = std::max(r.right, e.right);
        r.top = std::max(r.top, e.top);
        r.bottom = std::min(r.bottom, e.bottom);
    }
    return r;
}

TGCustomFigure* TGCollFigure::CurrentFigure() const {
    if (current == -1 || figures.empty()) return nullptr;
    return Figure(current);
}

int32_t TGCollFigure::CurrentKind() const {
    TGCustomFigure* f = Figure(current);
    return f ? f->kind : 0;
}

bool TGCollFigure::HasBranchNumber(int32_t n) {
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (b && b->number == n) {
            current = i;
            DoChange();
            return true;
        }
    }
    return false;
}

bool TGCollFigure::HasNodeNumber(int32_t n) {
    int32_t idx = nodes.IndexOfNumber(n);
    if (idx < 0) return false;
    foundNode = n;
    centre = nodes.Record(idx).point;
    RebuildView(true);
    return true;
}

bool TGCollFigure::SetCurrentBranchName(std::string_view text) {
    TGBranch* b = BranchAt(current);
    if (!b) return false;
    b->name = std::string(text);
    return true;
}

int32_t TGCollFigure::NextBranchNumber() {
    if (!freedBranchNumbers_.empty()) {
        auto& last = freedBranchNumbers_.back();
        int64_t n = last.second++;
        if (last.second > last.first) freedBranchNumbers_.pop_back();
        return ClampI(-n);
    }
    int64_t n = nextBranchMagnitude_;
    if (nextBranchMagnitude_ < std::numeric_limits<int32_t>::max()) ++nextBranchMagnitude_;
    return ClampI(-n);
}

int64_t TGCollFigure::FreedBranchNumberCount() const {
    int64_t n = 0;
    for (const auto& r : freedBranchNumbers_) n += r.first - r.second + 1;
    return n;
}

void TGCollFigure::RenumberTemporaryBranches() {
    freedBranchNumbers_.clear();
    nextBranchMagnitude_ = 1;
    if (figures.empty()) return;
    std::vector<int64_t> numbers;
    numbers.reserve(figures.size());
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        numbers.push_back(b ? b->number : 0);
    }
    std::sort(numbers.begin(), numbers.end(), std::greater<int64_t>());
    for (size_t i = 0; i + 1 < numbers.size(); ++i) {
        int64_t a = numbers[i], b = numbers[i + 1];
        if (a > 0 && a - b > 1) {
            int64_t hi = a - 1, lo = std::max<int64_t>(b + 1, 1);
            if (lo <= hi) freedBranchNumbers_.push_back({hi, lo});
        }
    }
    nextBranchMagnitude_ = std::min<int64_t>(std::max<int64_t>(numbers[0] + 1, 1),
                                             std::numeric_limits<int32_t>::max());
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (b && b->number < 1) b->number = NextBranchNumber();
    }
}

bool TGCollFigure::PointInRotatedRect(int32_t w, int32_t h, TPoint p, int32_t flag, TPoint corner,
                                      double angle) {
    double a = angle;
    int32_t deg = RoundI(a * 180.0 / kPi);
    if (deg >= 91) {
        a -= kPi;
    } else if (deg <= -90) {
        a += kPi;
    }
    if (flag == 1) a = 0;
    auto step = [](TPoint from, double dir, int32_t len) {
        return TPoint{ClampI(static_cast<int64_t>(from.x) + RoundI(std::cos(dir) * len)),
                      ClampI(static_cast<int64_t>(from.y) - RoundI(std::sin(dir) * len))};
    };
    TPoint c1 = step(corner, a + kPi / 2, h);
    TPoint c2 = step(c1, a, w);
    TPoint c3 = step(corner, a, w);
    return PointInQuad(p.x, p.y, corner, c1, c2, c3);
}

bool TGCollFigure::DeleteLayer(int32_t index) {
    if (!layers.DeleteLayer(index)) return false;
    for (auto& f : figures) {
        if (f->layer == index) {
            f->layer = 0;
        } else if (f->layer > index) {
            --f->layer;
        }
    }
    for (TSchemeRecord& rec : DrawingGlobals().SchemeViewFlags) {
        if (index >= kSchemeLayerCount) continue;
        std::copy(rec.layers.begin() + index + 1, rec.layers.end(), rec.layers.begin() + index);
        rec.layers.back() = 1;
    }
    int32_t& chosen = WindowState().CurrentLayer;
    if (chosen == index) {
        chosen = 0;
    } else if (chosen > index) {
        --chosen;
    }
    return true;
}

void TGCollFigure::ApplySchemeRecord(int32_t kind) {
    if (kind < 0 || kind >= kSchemeCount) return;
    TDrawingGlobals& g = DrawingGlobals();
    TSchemeRecord& rec = g.SchemeViewFlags[kind];
    if (rec.style == 0) rec.style = 1;
    g.DefaultBranchStyle = rec.style;
    g.DefLineColor = rec.lineColor;
    g.WidthDefault = rec.width;
    g.BranchPenWidth = rec.penWidth;
    display.branchNumbers = rec.show[kShowBranchNumbers];
    display.nodeNumbers = rec.show[kShowNodeNumbers];
    display.branchNames = rec.show[kShowBranchNames];
    display.caption[1] = rec.show[kShowAirFlows];
    display.caption[5] = rec.show[kShowFlowArrows];
    display.caption[4] = rec.show[kShowNodePressures];
    display.caption[6] = rec.show[kShowCalcData];
    display.caption[3] = rec.show[kShowPlaPositions];
    LoadFigureAttrs(kind);
}

void TGCollFigure::LoadFigureAttrs(int32_t kind) {
    if (Version() < 22) return;
    for (auto& f : figures) f->LoadViewAttrs(kind);
}

void TGCollFigure::ApplyLayerStyles() {
    for (auto& f : figures) FollowLayer(*f);
}

void TGCollFigure::FollowLayer(TGCustomFigure& f) const {
    const TDrawingGlobals& g = DrawingGlobals();
    // A layer the list no longer has is drawn as layer 0.
    const TLayerRecord* l =
        f.layer != 0 && layers.Exists(f.layer) ? &layers.Layer(f.layer) : nullptr;
    if (f.flagA) f.SetWidth(l ? l->width : g.WidthDefault);
    int32_t s = f.style;
    if (s == 0) s = l ? l->style : g.DefaultBranchStyle;
    const bool line = f.kind == kKindLine || f.kind == kKindPolyLine || f.kind == kKindALine;
    if (f.flagB == 1 && line) {
        f.pen.width = l ? l->penWidth : g.BranchPenWidth;
        ApplyLineStyle(f, s, l ? l->colour : g.DefLineColor);
    } else if (f.flagB != 1 && Version() < 21) {
        f.pen.width = 1;
        ApplyLineStyle(f, s, f.brush.colour);
    }
}

void TGCollFigure::StoreShownAttrs(TGCustomFigure& f) const {
    if (Version() < 22) {
        for (int i = 0; i < kSchemeCount; ++i) f.StoreViewAttrs(i);
        return;
    }
    const int32_t k = DrawingGlobals().SchemeKind;
    f.StoreViewAttrs(k >= 0 && k < kSchemeCount ? k : 0);
}

void TGCollFigure::NodeRecordRemoved(int32_t index) {
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        for (int32_t* idx : {&b->beginIndex, &b->endIndex}) {
            if (*idx == index) {
                *idx = kNoNode;
            } else if (*idx > index && *idx != kNoNode) {
                --*idx;
            }
        }
    }
}

void TGCollFigure::NodeEndsMoved(int32_t index, TPoint p) {
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        if (b->beginIndex == index) b->EndMoved(true, p);
        if (b->endIndex == index) b->EndMoved(false, p);
    }
}

void TGCollFigure::NodeMerged(int32_t from, int32_t to) {
    const TNodeRecord& target = nodes.Record(to);
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        if (b->beginIndex == from) {
            b->beginIndex = to;
            b->beginNode = target.number;
            b->EndMoved(true, target.point);
        }
        if (b->endIndex == from) {
            b->endIndex = to;
            b->endNode = target.number;
            b->EndMoved(false, target.point);
        }
    }
}

void TGCollFigure::ResolveNodeIndices() {
    auto resolve = [this](int32_t number, int32_t stored) {
        if (nodes.Valid(stored) && nodes.Record(stored).number == number) return stored;
        for (int32_t i = std::min(stored, nodes.Count() - 1); i >= 0; --i) {
            if (nodes.Record(i).number == number) return i;
        }
        int32_t i = nodes.IndexOfNumber(number);
        return i >= 0 ? i : kNoNode;
    };
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        if (b->beginIndex != kNoNode) b->beginIndex = resolve(b->beginNode, b->beginIndex);
        if (b->endIndex != kNoNode) b->endIndex = resolve(b->endNode, b->endIndex);
    }
}

bool TGCollFigure::ResolveSymbol(TGUO& u) {
    const int32_t size = u.ownSizeFlag ? u.ownSize : settings.symbolSize;
    TSymbolRecord rec;
    const int32_t index = FindSymbolIndex(symbols, size, rec, u.angleDegrees, u.placed.name);
    if (index >= 0) {
        u.SetSymbol(rec, index, 0, u.angleDegrees, size, u.anchor);
        return true;
    }
    // Nothing of the shape it had (or of the entry its old index now names)
    // stays with it.
    u.symbolIndex = -1;
    std::string name = std::move(u.placed.name);
    u.placed = TSymbolRecord{};
    u.placed.name = std::move(name);
    return false;
}

int32_t TGCollFigure::ResolveSymbols() {
    int32_t missing = 0;
    for (auto& f : figures)
        if (f && f->kind == kKindSymbol && !ResolveSymbol(static_cast<TGUO&>(*f))) ++missing;
    return missing;
}

int32_t TGCollFigure::CopyPlaPosition(int32_t index) {
    TGBranch* b = BranchAt(index);
    if (b) {
        const int32_t position = b->Caption(3).a;
        for (int32_t i = 0; i < Count(); ++i) {
            TGBranch* other = BranchAt(i);
            if (!other || i == index || other->Caption(3).a != position) continue;
            b->Caption(3).flag = other->Caption(3).flag;
            b->plaSelection = 0;
            b->marks = other->marks;
            return other->Caption(3).colour;
        }
    }
    return WindowState().BackColor;
}

void TGCollFigure::SetPlaPosition(int32_t index, int32_t number) {
    TGBranch* b = BranchAt(index);
    if (!b) return;
    b->Caption(3).a = number;
    b->Caption(3).b = number;
    b->Caption(3).colour = CopyPlaPosition(index);
}

std::unique_ptr<TGCustomFigure> CreateFigure(int32_t kind, TGCollNode* nodes,
                                             const TGLajer* layers) {
    std::unique_ptr<TGCustomFigure> f;
    switch (kind) {
    case kKindLine:
        f = std::make_unique<TGLine>(nodes);
        break;
    case kKindPolyLine:
        f = std::make_unique<TGPolyLine>(nodes);
        break;
    case kKindArc:
        f = std::make_unique<TGArc>(layers);
        break;
    case kKindText:
        f = std::make_unique<TGText>();
        break;
    case kKindPicture:
        f = std::make_unique<TGPicture>();
        break;
    case kKindSymbol:
        f = std::make_unique<TGUO>();
        break;
    case kKindRectangle:
        f = std::make_unique<TGRectangle>();
        break;
    case kKindEllipse:
        f = std::make_unique<TGElipse>(layers);
        break;
    case kKindPolygon:
        f = std::make_unique<TGPolygon>(layers);
        break;
    case kKindALine:
        f = std::make_unique<TGALine>(layers);
        break;
    default:
        return nullptr;
    }
    // The scheme records start as copies of the attributes the figure got.
    for (int i = 0; i < kSchemeCount; ++i) f->StoreViewAttrs(i);
    return f;
}

} // namespace arv
