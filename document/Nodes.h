// The node collection of a drawing: one record per point where branch ends
// meet, with a reference count of the branch ends that use it. A record goes
// away with the last branch end that references it.
#pragma once

#include "document/Geometry.h"
#include "platform/BinaryIo.h"

#include <array>
#include <cstdint>
#include <vector>

namespace arv {

class TGCollFigure;

struct TNodeRecord {
    int32_t number = 0; // negative numbers are temporary
    TPoint point;
    TPoint labelOffset{2, -2};
    uint8_t visible = 0;
    int32_t refCount = 0;
    uint8_t shown = 1;
    int32_t kind = 0; // 0 node, 1 surface node
    uint8_t flag = 0; // leader under the number
    // Figure indices of the branches ending here (no fixed cap).
    std::vector<int32_t> incident;
    // Branch numbers ending (incoming) and starting (outgoing) here, filled
    // by the scheme check of the main window.
    std::vector<int32_t> incoming;
    std::vector<int32_t> outgoing;
    // Last drawn screen position (set by the drawing).
    TPoint screenCentre;
    // The rest of the current view: circle, number label and its size, and
    // the junction pass's result (0: the node needs its closing segment).
    TRect screenRect;
    TPoint labelScreen;
    int32_t labelWidth = 0;
    int32_t labelHeight = 0;
    uint8_t junctionDone = 1;
    std::array<TPoint, 2> closing{};
};

class TGCollNode {
public:
    explicit TGCollNode(TGCollFigure* owner = nullptr);

    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    const TNodeRecord& Record(int32_t index) const { return records_.at(index); }
    TNodeRecord& Record(int32_t index) { return records_.at(index); }
    bool Valid(int32_t index) const { return index >= 0 && index < Count(); }
    std::vector<TNodeRecord>& Records() { return records_; }
    const std::vector<TNodeRecord>& Records() const { return records_; }
    // First record with the number, -1 when none.
    int32_t IndexOfNumber(int32_t number) const;

    struct TAdded {
        int32_t number;
        int32_t index;
    };
    // Finds the record at exactly this point (one more reference) or appends
    // one; number 0 or -1 takes NextFreeNumber, kind -1 keeps the default.
    TAdded AddNode(TPoint p, int32_t kind, int32_t number);
    // One reference less for the first record with the number at or after
    // start (from 0 when start is past the end); the last one removes it.
    void ReleaseNode(int32_t number, int32_t start);
    // Moves record `index` to the point. Onto another node's point the two
    // merge: every branch end of the moved node goes over to that node.
    // Returns the index of the node now at the point, -1 for a bad index.
    int32_t MoveNode(int32_t index, TPoint p);
    void BuildIncidence();
    // -k for the smallest k >= 1 that no record uses as |number|.
    int32_t NextFreeNumber() const;
    // Gives the first record numbered oldNumber the new number. Result: 2
    // unchanged (equal numbers), 1 renumbered, 0 the new number is in use, -1
    // the user refused (asked for a positive old number only).
    int32_t CheckNodeNumber(int32_t oldNumber, int32_t newNumber);
    // Empties the collection.
    void Clear();
    // Removes record `index`; the owner's branches keep valid indices.
    void RemoveRecord(int32_t index);

    // The node block of the drawing file: int32 count, then 26-byte entries
    // (21 bytes in version 1, without flag and kind).
    void SaveToStream(TBinaryWriter& w) const;
    // Replaces the records (reference counts 0; the branches add theirs) and
    // sets nextTempNumber; false, and nothing changed, on a damaged block.
    bool LoadFromStream(TBinaryReader& r, int32_t version);

    int32_t nextTempNumber = -1;
    int32_t nodeSize = 11;
    int32_t nodeSizeScaled = 39; // round(nodeSize x 3.527)
    uint8_t switchByte = 1;
    int32_t extra = 1;
    TGCollFigure* owner = nullptr;

private:
    void Reserve();
    std::vector<TNodeRecord> records_;
};

} // namespace arv
