// Globals of the drawing side: the defaults that new figures take, the scheme
// in force with the five scheme records, and the legend symbol text stored
// with the drawing. One place, so that a drawing load can stage and swap them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace arv {

constexpr int kSchemeCount = 5;
constexpr int kSchemeLayerCount = 12;

// Indexes of a scheme record's eight show flags.
enum TSchemeShow : int {
    kShowBranchNumbers = 0,
    kShowNodeNumbers = 1,
    kShowBranchNames = 2,
    kShowAirFlows = 3,
    kShowFlowArrows = 4,
    kShowNodePressures = 5,
    kShowCalcData = 6,
    kShowPlaPositions = 7,
};

// The window's view settings of one scheme (36 bytes in the drawing file).
struct TSchemeRecord {
    uint8_t style = 1; // branch style; a stored 0 is used as 1
    int32_t lineColor = 0;
    int32_t width = 1;
    std::array<uint8_t, 8> show{};
    std::array<uint8_t, kSchemeLayerCount> layers{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int32_t penWidth = 1;
    bool operator==(const TSchemeRecord&) const = default;
};

struct TDrawingGlobals {
    int32_t DefLineColor = 0;
    uint8_t DefaultBranchStyle = 1; // 1 single, 2 double, 3 double filled, 4 dashed
    int32_t WidthDefault = 1;
    int32_t BranchPenWidth = 1;
    std::array<uint8_t, 4> FlowCaptionFlags{1, 1, 1, 1}; // flow, section, speed, length
    int32_t DataOffset = 30;
    int32_t ArrowOffset = 30;
    int32_t SchemeKind = 0;
    std::array<TSchemeRecord, kSchemeCount> SchemeViewFlags{};
    uint8_t ShowJunctions = 1;
    std::string SymbolLibraryText;
    bool operator==(const TDrawingGlobals&) const = default;
};

TDrawingGlobals& DrawingGlobals();
// Back to the values of a fresh start (tests, new program state).
void ResetDrawingGlobals();
// The record of the scheme in force (a SchemeKind outside 0..4 reads scheme 0).
const TSchemeRecord& CurrentSchemeRecord();

} // namespace arv
