// The layer list of a drawing. Layer 0 "Ветви" always exists and is never
// written to the file; a scheme record holds the visibility of twelve layers,
// so the list holds at most twelve.
#pragma once

#include "platform/BinaryIo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace arv {

constexpr int kMaxLayers = 12;

struct TLayerRecord {
    int32_t id = 0;
    std::string name;
    uint8_t style = 0; // line style of the layer's branches, 0 none
    int32_t colour = 0;
    int32_t width = 1;
    int32_t penWidth = 1;
    bool operator==(const TLayerRecord&) const = default;
};

class TGLajer {
public:
    TGLajer();

    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    const TLayerRecord& Layer(int32_t index) const { return records_.at(index); }
    TLayerRecord& Layer(int32_t index) { return records_.at(index); }
    bool Exists(int32_t index) const { return index >= 0 && index < Count(); }
    const std::vector<TLayerRecord>& Records() const { return records_; }

    // Appends "Слой <n>" and returns its name; "" when the list is full.
    std::string AddLayer();
    // Removes layer 1..count-1; later layers move down. The document's
    // DeleteLayer also moves the figures; use that one on a drawing.
    bool DeleteLayer(int32_t index);
    // Back to the one layer "Ветви".
    void Reset();

    int32_t StreamSize() const;
    void SaveToStream(TBinaryWriter& w) const;
    // False on a truncated or impossible list; the list is then unchanged.
    bool LoadFromStream(TBinaryReader& r);

    bool operator==(const TGLajer&) const = default;

private:
    std::vector<TLayerRecord> records_;
};

} // namespace arv
