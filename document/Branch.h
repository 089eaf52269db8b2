// Branch figures: the workings of the mine between two numbered nodes.
// TGLine is the straight branch (1001), TGPolyLine the bent one (1002). A
// branch keeps its six caption records, its calculation-data callout and the
// geometry that the drawing of double-line branches needs.
#pragma once

#include "document/Figure.h"
#include "document/Nodes.h"
#include "document/WindowHost.h"

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace arv {

// Placement of one of a branch's captions (64 bytes in memory).
struct TBranchCaption {
    int32_t a = -1;
    int32_t b = -1;
    TPoint anchor;
    TPoint screenPoint; // not stored
    TTextSize size;     // not stored
    uint8_t shown = 1;
    int32_t colour = 0;
    uint8_t flag = 0; // record 3: ring kind of the PLA marker
    double angle = 0;
    uint8_t flag2 = 0; // placed by hand
};

// Caption records of a branch: 1 flow value, 2 -, 3 PLA position, 4 node
// pressures (a holds the measuring-station number), 5 air-direction arrow,
// 6 calculation data. The branch has room for 20; six are used.
constexpr int kCaptionSlots = 20;
constexpr int32_t kCaptionCount = 6;

struct TMarkSlot {
    uint8_t flag = 0; // the only part stored
    TPoint point;
    int32_t value = 0;
};

// The calculation-data callout of a branch.
class TGCollProperty {
public:
    uint8_t shown = 1;
    std::array<std::string, 4> texts; // air flow, section, speed, length
    TRect frame;
    TPoint anchor;
    TPoint screenPoint;
    uint8_t placed = 0;
};

// Cached cosines and sines of an angle a, of a + pi/2 (left) and a - pi/2 (right).
struct TSinCos {
    long double cosA = 1, sinA = 0, cosL = 0, sinL = 1, cosR = 0, sinR = -1;
    static TSinCos Of(double a);
    void Negate();
};

// Screen outline of a double-line branch: four points of the band, seven
// with an arrow head.
struct TOutline {
    uint8_t flag = 0; // 1 when the arrow head is included
    std::array<TPoint, 7> points{};
};

// What a branch is given when its geometry is set up.
struct TBranchSetup {
    int32_t beginNode = 0;
    int32_t beginKind = -1;
    int32_t endNode = 0;
    int32_t endKind = -1;
    int32_t number = -1; // -1 keeps the number
    std::optional<std::string> name;
    int32_t colour = 0;
};

// Placement modes of SetGeometry: 1 keeps the captions, 2 keeps the nodes and
// the name, 0 sets everything.
enum TGeometryMode : int { kGeometryAll = 0, kGeometryKeepCaptions = 1, kGeometryKeepNodes = 2 };

class TGBranch : public TGCustomFigure {
public:
    TGBranch(int32_t kindCode, TGCollNode* nodeCollection);

    int32_t number = 0;
    int32_t beginNode = 0;
    int32_t endNode = 0;
    int32_t beginIndex = kNoNode;
    int32_t endIndex = kNoNode;
    std::string name;
    TPoint pointA;       // anchor of the name when placed by hand
    TPoint pointB;       // anchor of the number when placed by hand
    uint8_t switchA = 1; // show the name
    uint8_t switchB = 1; // show the number
    int32_t captionCount = kCaptionCount;
    int32_t flowReversed = 0; // not stored
    int32_t extraInt = 0;
    std::array<TBranchCaption, kCaptionSlots> captions{};
    std::array<TMarkSlot, 6> marks{};
    uint8_t hasPointA = 0;
    uint8_t hasPointB = 0;
    uint8_t showFlag = 1; // the flow arrow follows the branch middle
    uint8_t marked = 0;   // not stored
    TGCollProperty callout;
    TGCollNode* nodes = nullptr; // not owned
    TSinCos sinCos;
    double labelAngle = -1.0; // -1.0: none
    uint8_t reversed = 0;
    TPoint direction; // end minus begin
    // Positions that the calculation link of the main window sets, kept apart
    // from the stored caption values so that linking never overwrites them:
    // the rows of the begin and end node in the node index. Not stored.
    int32_t beginNodeLink = -1;
    int32_t endNodeLink = -1;
    // Cleared when the PLA attributes are copied from a sibling. Not stored.
    uint8_t plaSelection = 0;
    // Screen images of the end points, refreshed on every draw.
    TPoint screenBegin;
    TPoint screenEnd;
    // Written by the junction pass for the current view: the band corners
    // right begin, right end, left begin, left end; per end the number of
    // double branches met there (2: joined to exactly one other); per end
    // the band's closing segment across that end.
    std::array<TPoint, 4> junctionCorners{};
    std::array<int32_t, 2> junctionState{};
    std::array<std::array<TPoint, 2>, 2> closing{};
    // Written by the label passes for the current view.
    TPoint nameScreen;
    TTextSize nameSize;
    TPoint numberScreen;
    TTextSize numberSize;

    // Caption record 1..20.
    TBranchCaption& Caption(int k) { return captions.at(static_cast<size_t>(k - 1)); }
    const TBranchCaption& Caption(int k) const { return captions.at(static_cast<size_t>(k - 1)); }
    TPoint Begin() const { return {x1, y1}; }
    TPoint End() const { return {x2, y2}; }

    bool IsVisibleIn(const TRect& r) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;
    int32_t NodeMoved(int32_t nodeNumber, TPoint p) override;
    void Release() override;
    virtual void SetReversed(bool flag);
    // One end's node moved to p (the node collection keeps the indices).
    virtual void EndMoved(bool beginEnd, TPoint p) = 0;
    // After a drawing is read: registers the end nodes and completes the
    // angles, without touching labels placed by hand or the label angle.
    virtual void AttachLoaded() = 0;
};

class TGLine : public TGBranch {
public:
    explicit TGLine(TGCollNode* nodeCollection = nullptr);

    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;
    void SetReversed(bool flag) override;
    void EndMoved(bool beginEnd, TPoint p) override;
    void AttachLoaded() override;

    // Sets the end points and everything that follows from them (nodes,
    // caption anchors, angle) as the mode allows.
    virtual void SetGeometry(TPoint begin, TPoint end, const TBranchSetup& setup, int mode);
    // Band of the branch between its screen end points, with an arrow head
    // when the document shows branch directions.
    virtual void BuildOutline(int32_t halfWidth, int32_t arrowSize, TOutline& out);

    // Left, right, left-flange and right-flange offsets and the arrow
    // back-step of the last outline (screen pixels).
    TPoint offsetL, offsetR, offsetL2, offsetR2, backStep;

protected:
    // Offsets for an angle's cached values, half-width and arrow size.
    void SetOffsets(const TSinCos& sc, int32_t w, int32_t s);
    // The values of an angle, from the last ones when it is the same angle:
    // every repaint builds the outlines again (not stored).
    const TSinCos& SinCosOf(double a) const;
    mutable double memoAngle_ = std::numeric_limits<double>::quiet_NaN();
    mutable TSinCos memo_;
    // Registers both ends with the node collection.
    void RegisterEnds(const TBranchSetup& setup);
    void PlaceArrowCaption(TPoint from, TPoint to);
};

class TGPolyLine : public TGLine {
public:
    explicit TGPolyLine(TGCollNode* nodeCollection = nullptr);

    // Bends 0..bendCount-1 lie between begin and end; the array keeps one
    // slot more (index bendCount), which is stored and read back.
    int32_t bendCount = -1;
    std::vector<TPoint> bends;
    // Band corners at each bend, left and right side (junction pass).
    std::vector<TPoint> bendLeft;
    std::vector<TPoint> bendRight;

    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;
    void SetReversed(bool flag) override;
    void EndMoved(bool beginEnd, TPoint p) override;
    void AttachLoaded() override;
    virtual void FreePoints();

    // Adds the segment from `from` to `to`: the first call sets up the branch
    // and its nodes, later calls move the end node on to the new end.
    void EditVertex(TPoint from, TPoint to, const TBranchSetup& setup);
    // Box from begin, bends and end.
    void UpdateBounds();
    // The path: begin, bends, end.
    std::vector<TPoint> Path() const;
    // Band of segment k (0: begin to first bend); false past the last one.
    bool SegmentOutline(int32_t halfWidth, int32_t arrowSize, TOutline& out, int32_t segment,
                        bool always = true);
    // Cached values of segment k's direction along the path.
    TSinCos SegmentSinCos(const std::vector<TPoint>& path, int32_t segment) const;

private:
    void EnsureSlots(int32_t slots);
    void CompleteLastSegment();
    // The values of each segment's angle, as SinCosOf keeps the line's.
    mutable std::vector<std::pair<double, TSinCos>> segmentMemo_;
};

// Direction angle from one point to another as branches use it.
double BranchAngle(TPoint from, TPoint to);
// Screen offset of a band side: (round(len x cos), -round(len x sin)).
TPoint BandOffset(double length, long double cosValue, long double sinValue);

} // namespace arv
