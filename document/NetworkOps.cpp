// Operations that keep the drawing's branch and node numbers in step with the
// network tables, and the whole-drawing edits the window's menus call.
#include "calc/files/SchemeImport.h"
#include "document/Branch.h"
#include "document/ColorNames.h"
#include "document/Constants.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"
#include "platform/StringGrid.h"

#include <limits>
#include <set>
#include <unordered_map>

namespace arv {

int32_t TGCollNode::CheckNodeNumber(int32_t oldNumber, int32_t newNumber) {
    if (oldNumber == newNumber) return 2;
    if (IndexOfNumber(newNumber) >= 0) return 0;
    if (oldNumber > 0) {
        const std::string q = Format(DrawingMessages().confirmNodeReplace, {oldNumber, newNumber});
        if (MessageBox(q, "", TMsgButtons::YesNo, TMsgIcon::Warning) == mrNo) return -1;
    }
    const int32_t i = IndexOfNumber(oldNumber);
    if (i >= 0) records_[i].number = newNumber;
    return 1;
}

namespace {

enum class TEditValue { None, Integer, Text, Colour };

TEditValue ValueKind(int32_t row) {
    switch (row) {
    case 2:
    case 13:
    case 16:
    case 19:
        return TEditValue::Text;
    case 7:
        return TEditValue::Colour;
    case 3:
    case 4:
    case 5:
    case 6:
    case 10:
    case 11:
    case 15:
    case 17:
    case 18:
    case 24:
    case 25:
    case 27:
    case 29:
    case 30:
    case 36:
        return TEditValue::Integer;
    default:
        return TEditValue::None;
    }
}

// Places the symbol again after its index, angle or size changed, so that
// the drawing and the saved file show the edit.
void ReplaceSymbol(TGCollFigure& doc, TGUO& u) {
    if (u.symbolIndex < 0 || u.symbolIndex >= doc.symbols.Count()) return;
    const int32_t size = u.ownSizeFlag ? u.ownSize : doc.settings.symbolSize;
    TSymbolRecord rec;
    TransformSymbol(doc.symbols, u.symbolIndex, size, rec, u.angleDegrees * kPi / 180.0);
    u.SetSymbol(rec, u.symbolIndex, 0, u.angleDegrees, size, u.anchor);
}

} // namespace

bool TGCollFigure::ApplyPropertyEdit(int32_t row, std::string_view text, std::string& message) {
    const TDrawingMessages& m = DrawingMessages();
    TGCustomFigure* f = CurrentFigure();
    if (!f) {
        message = m.objectNotFound;
        return false;
    }
    TGBranch* b = f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
    const TEditValue valueKind = ValueKind(row);
    int32_t n = 0;
    if ((valueKind == TEditValue::Integer && !TryStrToInt(text, n)) ||
        (valueKind == TEditValue::Colour && !TryStringToColor(text, n)) ||
        (row >= 2 && row <= 5 && !b)) {
        message = m.invalidValue;
        return false;
    }
    auto* picture = f->kind == kKindPicture ? static_cast<TGPicture*>(f) : nullptr;
    auto* symbol = f->kind == kKindSymbol ? static_cast<TGUO*>(f) : nullptr;
    switch (row) {
    case 2:
        b->name = std::string(text);
        return true;
    case 3: {
        if (n == b->number) return true;
        for (int32_t i = 0; i < Count(); ++i) {
            const TGBranch* other = BranchAt(i);
            if (other && other != b && other->number == n) {
                message = m.branchNumberUsed;
                return false;
            }
        }
        b->number = n;
        AddBranchFromData(n);
        return true;
    }
    case 4:
    case 5: {
        const int32_t oldNumber = row == 4 ? b->beginNode : b->endNode;
        switch (nodes.CheckNodeNumber(oldNumber, n)) {
        case -1:
            message = m.userCancelled;
            return false;
        case 0:
            message = Format(m.nodeNumberUsed, {oldNumber, n, n});
            return false;
        case 1:
            for (int32_t i = 0; i < Count(); ++i) {
                TGBranch* other = BranchAt(i);
                if (!other) continue;
                if (other->beginNode == oldNumber) other->beginNode = n;
                if (other->endNode == oldNumber) other->endNode = n;
            }
            DoChange();
            return true;
        default:
            return true;
        }
    }
    case 6:
        // A width below 0 draws nothing sensible and would be kept in the file.
        if (n < 0) {
            message = m.invalidValue;
            return false;
        }
        f->SetWidth(n);
        return true;
    case 7:
        f->brush.colour = n;
        return true;
    case 10:
        SetPlaPosition(current, n);
        return true;
    case 11:
        if (b) b->Caption(4).a = n;
        return true;
    case 13:
        if (f->kind == kKindText) static_cast<TGText*>(f)->content = std::string(text);
        return true;
    case 15:
        if (picture) {
            picture->imageIndex = n;
            // The file keeps the name; the index alone would not survive a save.
            if (n >= 0 && n < images.Count()) picture->imageName = images.entries[n].name;
        }
        return true;
    case 16:
        if (picture) picture->text = std::string(text);
        return true;
    case 24:
        if (picture && n >= 0) picture->value1 = n;
        return true;
    case 25:
        if (picture) picture->angleDegrees = n;
        return true;
    case 27:
        if (picture && n >= 0) {
            picture->ownSize = n;
            picture->ownSizeFlag = 1;
        }
        return true;
    case 17:
        if (symbol) {
            symbol->symbolIndex = n;
            ReplaceSymbol(*this, *symbol);
        }
        return true;
    case 18:
        if (symbol) {
            symbol->angleDegrees = n;
            ReplaceSymbol(*this, *symbol);
        }
        return true;
    case 19:
        if (symbol) symbol->text = std::string(text);
        return true;
    case 29:
        if (symbol) symbol->value0 = n;
        return true;
    case 30:
        if (symbol && n >= 0) {
            symbol->ownSize = n;
            symbol->ownSizeFlag = 1;
            ReplaceSymbol(*this, *symbol);
        }
        return true;
    case 36:
        f->extra = n;
        return true;
    default:
        return true;
    }
}

void TGCollFigure::ResetBranchNumber() {
    TGBranch* b = BranchAt(current);
    if (!b || b->number <= 0) return;
    // The same source of temporary numbers as new branches, so that a reset
    // branch never shares a number with one drawn later.
    b->number = NextBranchNumber();
    if (tempBranchCounter > std::numeric_limits<int32_t>::min()) --tempBranchCounter;
}

void TGCollFigure::ResetBranchNodes() {
    TGBranch* b = BranchAt(current);
    if (!b) return;
    for (int32_t TGBranch::*end : {&TGBranch::beginNode, &TGBranch::endNode}) {
        const int32_t old = b->*end;
        const int32_t temp = nodes.nextTempNumber;
        if (nodes.CheckNodeNumber(old, temp) != 1) continue;
        for (int32_t i = 0; i < Count(); ++i) {
            TGBranch* other = BranchAt(i);
            if (!other) continue;
            if (other->beginNode == old) other->beginNode = temp;
            if (other->endNode == old) other->endNode = temp;
        }
        if (nodes.nextTempNumber > std::numeric_limits<int32_t>::min()) --nodes.nextTempNumber;
    }
}

void TGCollFigure::AddBranchFromData(int32_t n) {
    TGBranch* b = BranchAt(current);
    if (!b) return;
    const int32_t p = b->beginNode;
    const int32_t q = b->endNode;
    if (n < 1 || p < 1 || q < 1) {
        MessageBox(Ru("Один из узлов ветви отрицательный. Ветвь не добавлена"), "", TMsgButtons::Ok,
                   TMsgIcon::Information);
        return;
    }
    TStringGridModel* grid = WindowState().BranchGrid;
    if (!grid) return;
    b->number = n;
    auto fill = [&](int32_t row) {
        grid->SetCells(0, row, IntToStr(b->number));
        grid->SetCells(1, row, IntToStr(p));
        grid->SetCells(2, row, IntToStr(q));
        grid->SetCells(15, row, b->name);
    };
    bool found = false;
    // Numbers, not texts: the tables hold them with and without leading
    // blanks or zeros, and a missed row would be appended a second time.
    for (int32_t row = grid->FixedRows(); row < grid->RowCount(); ++row) {
        int32_t cell = 0;
        if (!TryStrToInt(Trim(grid->Cells(0, row)), cell) || cell != n) continue;
        fill(row);
        found = true;
    }
    if (!found) {
        const int32_t row = std::max(grid->RowCount(), grid->FixedRows());
        grid->SetRowCount(row + 1);
        fill(row);
    }
}

int32_t TGCollFigure::AddBaseBranches(TBaseData& base) {
    // The last row of a number holds, as a later definition replaces an earlier one.
    std::unordered_map<int32_t, const TBaseNode*> nodeOf;
    for (const TBaseNode& n : base.BaseNodes) nodeOf[n.Number] = &n;
    std::set<int32_t> plaShown{0};
    int32_t added = 0;
    for (size_t i = 0; i < base.BaseBranches.size(); ++i) {
        const TBaseBranch& row = base.BaseBranches[i];
        auto from = nodeOf.find(row[kBaseBeginNode]);
        auto to = nodeOf.find(row[kBaseEndNode]);
        if (from == nodeOf.end() || to == nodeOf.end()) continue;
        TBranchSetup setup;
        setup.beginNode = row[kBaseBeginNode];
        setup.beginKind = from->second->Surface;
        setup.endNode = row[kBaseEndNode];
        setup.endKind = to->second->Surface;
        setup.number = row[kBaseNumber];
        setup.name = i < base.BaseBranchNames.size() ? base.BaseBranchNames[i] : std::string();
        const TPoint p{from->second->X, from->second->Y};
        const TPoint q{to->second->X, to->second->Y};
        const int32_t turn = row[kBaseTurnIndex];
        const bool bent = turn >= 0 && turn < base.TurnCount &&
                          turn < static_cast<int32_t>(base.BaseTurns.size()) &&
                          !base.BaseTurns[turn].Points.empty();
        TGBranch* b = nullptr;
        if (bent) {
            auto* poly = static_cast<TGPolyLine*>(AddFigure(kKindPolyLine));
            TPoint at = p;
            for (const auto& pt : base.BaseTurns[turn].Points) {
                const TPoint next{pt[0], pt[1]};
                poly->EditVertex(at, next, setup);
                at = next;
            }
            poly->EditVertex(at, q, setup);
            b = poly;
        } else {
            auto* line = static_cast<TGLine*>(AddFigure(kKindLine));
            line->SetGeometry(p, q, setup, kGeometryAll);
            b = line;
        }
        b->number = row[kBaseNumber];
        b->name = *setup.name;
        b->hasPointA = 0;
        b->hasPointB = 0;
        b->showFlag = 1;
        for (TBranchCaption& c : b->captions) c.flag2 = 0;
        const int32_t position = row[kBasePlaPosition];
        TBranchCaption& pla = b->Caption(3);
        pla.a = position == 0 ? -1 : position;
        pla.b = position;
        pla.colour = row[kBasePlaColour];
        pla.shown = plaShown.insert(position).second ? 1 : 0;
        b->Caption(5).colour = row[kBaseFreshAir] ? 255 : 16711680;
        if (row[kBaseOutsideType] == 1 || row[kBaseOutsideType] == 14) {
            b->style = 4;
            b->width = 1;
            b->flagA = 0;
            b->flagB = 0;
        }
        // Every scheme starts from what the branch got; the scheme switch
        // below loads it back.
        for (int k = 0; k < kSchemeCount; ++k) b->StoreViewAttrs(k);
        ++added;
    }
    TDrawingGlobals& g = DrawingGlobals();
    g.SchemeKind = 2;
    TSchemeRecord& rec = g.SchemeViewFlags[2];
    rec.style = 3;
    rec.lineColor = 0;
    rec.width = 10;
    rec.penWidth = 1;
    rec.show = {0, 0, 0, 0, 1, 0, 0, 1};
    rec.layers[0] = 1;
    WindowState().MOrientBr = false;
    showDirections = 0;
    WindowHost().SyncViewMenus(g.SchemeKind);
    UpdateViewSize(clientWidth, clientHeight);
    base.Clear();
    return added > 0 ? 0 : -1;
}

void TGCollFigure::MarkBranches(const std::vector<int32_t>& marks) {
    if (marks.size() <= 2) return;
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        b->marked = 0;
        if (b->number > 0 && static_cast<size_t>(b->number) < marks.size() &&
            marks[static_cast<size_t>(b->number)] > 0)
            b->marked = 1;
    }
}

void TGCollFigure::CopyPlaMarks(int32_t index) {
    const TGBranch* source = BranchAt(index);
    if (!source) return;
    const TBranchCaption& from = source->Caption(3);
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b || i == index || b->Caption(3).a != from.a) continue;
        b->Caption(3).flag = from.flag;
        b->Caption(3).colour = from.colour;
        b->marks = source->marks;
    }
}

namespace {

TPoint Half(TPoint p) {
    return {p.x / 2, p.y / 2};
}
TRect Half(const TRect& r) {
    return {r.left / 2, r.top / 2, r.right / 2, r.bottom / 2};
}
TRect Shifted(const TRect& r, TPoint d) {
    return {ClampI(static_cast<int64_t>(r.left) + d.x), ClampI(static_cast<int64_t>(r.top) + d.y),
            ClampI(static_cast<int64_t>(r.right) + d.x),
            ClampI(static_cast<int64_t>(r.bottom) + d.y)};
}
TPoint Shifted(TPoint p, TPoint d) {
    return {ClampI(static_cast<int64_t>(p.x) + d.x), ClampI(static_cast<int64_t>(p.y) + d.y)};
}
void HalveEnds(TGCustomFigure& f) {
    f.x1 /= 2;
    f.y1 /= 2;
    f.x2 /= 2;
    f.y2 /= 2;
}

void HalveBranch(TGBranch& b) {
    b.pointA = Half(b.pointA);
    b.pointB = Half(b.pointB);
    b.hasPointA = 0;
    b.hasPointB = 0;
    b.showFlag = 1;
    b.labelAngle = -1.0;
    HalveEnds(b);
    b.box = Half(b.box);
    for (TBranchCaption& c : b.captions) {
        c.flag2 = 0;
        c.anchor = Half(c.anchor);
        c.screenPoint = Half(c.screenPoint);
    }
    b.callout.anchor = Half(b.callout.anchor);
    b.direction = {ClampI(static_cast<int64_t>(b.x2) - b.x1),
                   ClampI(static_cast<int64_t>(b.y2) - b.y1)};
    if (b.kind == kKindPolyLine) {
        auto& poly = static_cast<TGPolyLine&>(b);
        for (TPoint& p : poly.bends) p = Half(p);
        for (TPoint& p : poly.bendLeft) p = Half(p);
        for (TPoint& p : poly.bendRight) p = Half(p);
        poly.UpdateBounds();
    }
}

} // namespace

void TGCollFigure::ChangeScale() {
    // Every node and every figure, so that branch ends stay on their nodes
    // and nothing is left at the old size.
    for (TNodeRecord& n : nodes.Records()) n.point = Half(n.point);
    for (auto& owned : figures) {
        TGCustomFigure& f = *owned;
        switch (f.kind) {
        case kKindLine:
        case kKindPolyLine:
            HalveBranch(static_cast<TGBranch&>(f));
            break;
        case kKindText: {
            auto& t = static_cast<TGText&>(f);
            const TPoint was = t.anchor;
            t.anchor = Half(t.anchor);
            t.screenAnchor = Half(t.screenAnchor);
            // The text keeps its size: its box moves with the anchor.
            const TPoint d{t.anchor.x - was.x, t.anchor.y - was.y};
            t.box = Shifted(t.box, d);
            HalveEnds(t);
            break;
        }
        case kKindSymbol: {
            auto& u = static_cast<TGUO&>(f);
            const TPoint was = u.anchor;
            u.anchor = Half(u.anchor);
            const TPoint d{u.anchor.x - was.x, u.anchor.y - was.y};
            u.box = Shifted(u.box, d);
            for (TSymbolPrimitive& prim : u.placed.prims)
                for (TPoint& p : prim.points) p = Shifted(p, d);
            HalveEnds(u);
            break;
        }
        case kKindPicture: {
            // A picture keeps its size; its top-left corner moves.
            const TPoint d{f.box.left / 2 - f.box.left, f.box.top / 2 - f.box.top};
            f.box = Shifted(f.box, d);
            HalveEnds(f);
            break;
        }
        case kKindRectangle:
            f.box = Half(f.box);
            f.box2 = Half(f.box2);
            HalveEnds(f);
            break;
        case kKindEllipse: {
            auto& e = static_cast<TGElipse&>(f);
            e.SetRect({e.box.left / 2, e.box.top / 2}, {e.box.right / 2, e.box.bottom / 2}, 0);
            e.box2 = Half(e.box2);
            break;
        }
        case kKindArc: {
            auto& a = static_cast<TGArc&>(f);
            a.SetPoints(Half(a.First()), Half(a.Second()), Half(a.centre));
            a.box2 = Half(a.box2);
            break;
        }
        case kKindALine: {
            auto& l = static_cast<TGALine&>(f);
            l.SetPoints(Half(l.First()), Half(l.Second()));
            l.box2 = Half(l.box2);
            break;
        }
        case kKindPolygon: {
            auto& poly = static_cast<TGPolygon&>(f);
            for (TPoint& p : poly.vertices) p = Half(p);
            HalveEnds(poly);
            poly.UpdateBounds();
            poly.box2 = Half(poly.box2);
            break;
        }
        default:
            break;
        }
    }
    // Branch ends were halved with the same division as the nodes; the node
    // records keep matching them.
    for (int32_t i = 0; i < Count(); ++i) {
        TGBranch* b = BranchAt(i);
        if (!b) continue;
        if (nodes.Valid(b->beginIndex)) nodes.Record(b->beginIndex).point = b->Begin();
        if (nodes.Valid(b->endIndex)) nodes.Record(b->endIndex).point = b->End();
    }
    BuildVisibleList();
}

void TGCollFigure::ResetBranchShape() {
    TGBranch* b = BranchAt(current);
    if (!b) return;
    b->hasPointA = 0;
    b->hasPointB = 0;
    b->showFlag = 1;
    b->Caption(1).flag2 = 0;
    b->callout.placed = 0;
    if (nodes.Valid(b->beginIndex)) nodes.Record(b->beginIndex).labelOffset = {2, -2};
    if (nodes.Valid(b->endIndex)) nodes.Record(b->endIndex).labelOffset = {2, -2};
    TPoint from = b->Begin();
    if (b->kind == kKindPolyLine) {
        const auto& poly = static_cast<const TGPolyLine&>(*b);
        if (poly.bendCount > 0) from = poly.bends[static_cast<size_t>(poly.bendCount - 1)];
    }
    const double a = DirectionAngle(from, b->End());
    b->Caption(1).angle = a;
    b->angle = a;
    b->labelAngle = -1.0;
    // Width, pen and colours follow the layer, or the scheme in force on
    // layer 0, as for a branch of style 0: they are kept so, then drawn the
    // way a scheme switch and the next Open draw them.
    b->style = 0;
    b->flagA = 1;
    b->flagB = 1;
    StoreShownAttrs(*b);
    FollowLayer(*b);
}

} // namespace arv
