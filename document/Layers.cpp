#include "document/Layers.h"

#include "document/Constants.h"
#include "document/Figure.h"

namespace arv {

TGLajer::TGLajer() {
    Reset();
}

void TGLajer::Reset() {
    records_.clear();
    TLayerRecord branches;
    branches.name = DrawingMessages().branchesLayer;
    records_.push_back(branches);
}

std::string TGLajer::AddLayer() {
    if (Count() >= kMaxLayers) return {};
    TLayerRecord r;
    r.id = Count();
    r.name = DrawingMessages().layerPrefix + std::to_string(r.id);
    r.width = 1;
    r.style = 0;
    records_.push_back(r);
    return records_.back().name;
}

bool TGLajer::DeleteLayer(int32_t index) {
    if (index < 1 || index >= Count()) return false;
    records_.erase(records_.begin() + index);
    return true;
}

int32_t TGLajer::StreamSize() const {
    int64_t size = 4;
    for (int32_t i = 1; i < Count(); ++i) size += 21 + Len(records_[i].name);
    return ClampI(size);
}

void TGLajer::SaveToStream(TBinaryWriter& w) const {
    w.I32(Count());
    for (int32_t i = 1; i < Count(); ++i) {
        const TLayerRecord& l = records_[i];
        w.I32(l.id);
        WriteCountedString(w, l.name);
        w.I32(l.width);
        w.U8(l.style);
        w.I32(l.colour);
        w.I32(l.penWidth);
    }
}

bool TGLajer::LoadFromStream(TBinaryReader& r) {
    int32_t count = r.I32();
    // Each written layer takes at least 21 bytes: a count beyond what is left
    // is a damaged file, not a reason to allocate.
    if (r.Failed() || count < 1 || static_cast<uint64_t>(count - 1) * 21 > r.Remaining())
        return false;
    std::vector<TLayerRecord> loaded(1, records_.at(0));
    for (int32_t i = 1; i < count; ++i) {
        TLayerRecord l;
        l.id = r.I32();
        if (!ReadCountedString(r, l.name)) return false;
        l.width = r.I32();
        l.style = r.U8();
        l.colour = r.I32();
        l.penWidth = r.I32();
        if (r.Failed()) return false;
        loaded.push_back(std::move(l));
    }
    records_ = std::move(loaded);
    return true;
}

} // namespace arv
