#include "document/Nodes.h"

#include "document/Branch.h"
#include "document/Document.h"

#include <algorithm>
#include <cstdlib>

namespace arv {

namespace {
// Records grow in steps of 1024.
constexpr size_t kNodeStep = 1024;

int64_t Magnitude(int32_t n) {
    return std::llabs(static_cast<int64_t>(n));
}
} // namespace

TGCollNode::TGCollNode(TGCollFigure* ownerDoc) : owner(ownerDoc) {}

void TGCollNode::Reserve() {
    if (records_.size() % kNodeStep == 0) records_.reserve(records_.size() + kNodeStep);
}

int32_t TGCollNode::IndexOfNumber(int32_t number) const {
    for (int32_t i = 0; i < Count(); ++i) {
        if (records_[i].number == number) return i;
    }
    return -1;
}

TGCollNode::TAdded TGCollNode::AddNode(TPoint p, int32_t kind, int32_t number) {
    Reserve();
    for (int32_t i = 0; i < Count(); ++i) {
        if (records_[i].point == p) {
            ++records_[i].refCount;
            return {records_[i].number, i};
        }
    }
    TNodeRecord rec;
    rec.point = p;
    rec.refCount = 1;
    rec.number = (number == 0 || number == -1) ? NextFreeNumber() : number;
    rec.labelOffset = {2, -2};
    rec.shown = 1;
    if (kind != -1) rec.kind = kind;
    records_.push_back(rec);
    if (nextTempNumber > std::numeric_limits<int32_t>::min()) --nextTempNumber;
    return {rec.number, Count() - 1};
}

void TGCollNode::RemoveRecord(int32_t index) {
    if (!Valid(index)) return;
    records_.erase(records_.begin() + index);
    if (owner) owner->NodeRecordRemoved(index);
}

void TGCollNode::ReleaseNode(int32_t number, int32_t start) {
    if (start >= Count() || start < 0) start = 0;
    for (int32_t i = start; i < Count(); ++i) {
        if (records_[i].number != number) continue;
        // A record loaded without references (refCount 0) goes away too.
        if (records_[i].refCount > 1) {
            --records_[i].refCount;
        } else {
            RemoveRecord(i);
        }
        return;
    }
}

int32_t TGCollNode::MoveNode(int32_t index, TPoint p) {
    if (!Valid(index)) return -1;
    int32_t found = -1;
    for (int32_t i = Count() - 1; i >= 0; --i) {
        if (i != index && records_[i].point == p) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        records_[index].point = p;
        if (owner) owner->NodeEndsMoved(index, p);
        return index;
    }
    // Merge: the target takes every reference of the moved node.
    records_[found].refCount += std::max(0, records_[index].refCount);
    if (owner) owner->NodeMerged(index, found);
    records_[index].refCount = 0;
    RemoveRecord(index);
    return found > index ? found - 1 : found;
}

void TGCollNode::BuildIncidence() {
    for (TNodeRecord& r : records_) r.incident.clear();
    if (!owner) return;
    for (int32_t i = 0; i < owner->Count(); ++i) {
        const TGBranch* b = owner->BranchAt(i);
        if (!b) continue;
        if (Valid(b->beginIndex)) records_[b->beginIndex].incident.push_back(i);
        if (Valid(b->endIndex) && b->endIndex != b->beginIndex)
            records_[b->endIndex].incident.push_back(i);
    }
}

int32_t TGCollNode::NextFreeNumber() const {
    std::vector<int64_t> used;
    used.reserve(records_.size());
    for (const TNodeRecord& r : records_) used.push_back(Magnitude(r.number));
    std::sort(used.begin(), used.end());
    int64_t k = 1;
    for (int64_t u : used) {
        if (u < k) continue;
        if (u > k) break;
        ++k;
    }
    return ClampI(-k);
}

void TGCollNode::SaveToStream(TBinaryWriter& w) const {
    w.I32(Count());
    for (const TNodeRecord& n : records_) {
        w.I32(n.number);
        w.I32(n.point.x);
        w.I32(n.point.y);
        w.I32(n.labelOffset.x);
        w.I32(n.labelOffset.y);
        w.U8(n.shown);
        w.U8(n.flag);
        w.I32(n.kind);
    }
}

bool TGCollNode::LoadFromStream(TBinaryReader& r, int32_t version) {
    const int32_t n = r.I32();
    const int entrySize = version >= 2 ? 26 : 21;
    if (r.Failed() || n < 0 || static_cast<uint64_t>(n) * entrySize > r.Remaining()) return false;
    std::vector<TNodeRecord> loaded(static_cast<size_t>(n));
    int64_t smallest = 0;
    for (TNodeRecord& rec : loaded) {
        rec.number = r.I32();
        rec.point.x = r.I32();
        rec.point.y = r.I32();
        rec.labelOffset.x = r.I32();
        rec.labelOffset.y = r.I32();
        rec.shown = r.U8();
        rec.refCount = 0;
        if (version >= 2) {
            rec.flag = r.U8();
            rec.kind = r.I32();
        }
        smallest = std::min<int64_t>(smallest, rec.number);
    }
    if (r.Failed()) return false;
    records_ = std::move(loaded);
    // -1, or one below the smallest number when that lies below -1.
    nextTempNumber = ClampI(smallest < -1 ? smallest - 1 : -1);
    return true;
}

void TGCollNode::Clear() {
    records_.clear();
    nextTempNumber = -1;
}

} // namespace arv
