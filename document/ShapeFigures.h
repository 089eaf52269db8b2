// Annotation shapes of the plan: polygons, rectangles, plain lines, ellipses
// and arcs, with the handle dragging that mouse editing uses.
#pragma once

#include "document/Branch.h"
#include "document/Figure.h"

#include <vector>

namespace arv {

class TCanvas;

class TGPolygon : public TGCustomFigure {
public:
    explicit TGPolygon(const TGLajer* layers = nullptr);

    // Vertices 0..lastIndex; the array grows as needed (10 at creation).
    std::vector<TPoint> vertices;
    int32_t lastIndex = 0;
    std::vector<TPoint> screen; // filled by the drawing

    bool HitTest(TPoint p) override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;
    void Release() override { FreePoints(); }
    virtual void FreePoints();

    // One click of the polygon tool: the segment previous -> p. A click
    // within the hit tolerance of vertex 0 closes the polygon.
    void AddPoint(TPoint previous, TPoint p);
    void UpdateBounds();
    // Vertices 0..lastIndex on the canvas (screen cache refreshed).
    void Paint(TCanvas& canvas);
};

class TGRectangle : public TGCustomFigure {
public:
    TGRectangle();

    TRect screenRect; // filled by the drawing

    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    void SetCorners(TPoint a, TPoint b);
    void MoveHandle(TPoint mouseStart, TPoint mouseNow);
};

class TGALine : public TGCustomFigure {
public:
    explicit TGALine(const TGLajer* layers = nullptr);

    TPoint difference; // first point minus second point
    TSinCos sinCos;
    TPoint screenFirst, screenSecond; // refreshed by the drawing

    TPoint First() const { return {x1, y1}; }
    TPoint Second() const { return {x2, y2}; }
    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    void SetPoints(TPoint first, TPoint second);
    void MoveHandle(TPoint mouseStart, TPoint mouseNow);
    // Band between the screen images of the two points (flag 0).
    void BuildOutline(int32_t halfWidth, int32_t arrowSize, TOutline& out);
};

class TGElipse : public TGCustomFigure {
public:
    explicit TGElipse(const TGLajer* layers = nullptr);

    int32_t radius = 0;
    TRect screenRect; // filled by the drawing

    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    // Mode 1: a is the centre and b a point on the circle; any other mode:
    // a and b are corners of the box.
    void SetRect(TPoint a, TPoint b, int32_t mode);
    void MoveHandle(TPoint mouseStart, TPoint mouseNow);
    virtual int32_t OutlineDistance(TPoint p) const;
    virtual void Paint(TCanvas& canvas);

protected:
    TGElipse(int32_t kindCode, const TGLajer* layers);
};

class TGArc : public TGElipse {
public:
    explicit TGArc(const TGLajer* layers = nullptr);

    TPoint centre;
    TPoint screenFirst, screenSecond; // refreshed by the drawing

    TPoint First() const { return {x1, y1}; }
    TPoint Second() const { return {x2, y2}; }
    bool HitTest(TPoint p) override;
    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    void SetPoints(TPoint first, TPoint second, TPoint centrePoint);
    void MoveHandle(TPoint mouseStart, TPoint mouseNow);
    int32_t OutlineDistance(TPoint p) const override;
    void Paint(TCanvas& canvas) override;
};

// The nine handles of a box given by its first point (x1, y1) and second
// point (x2, y2): the highest-numbered handle within the tolerance of the
// mouse start moves by the mouse movement. Returns the handle, -1 for none.
int DragBoxHandle(TPoint mouseStart, TPoint mouseNow, TPoint& first, TPoint& second,
                  int32_t tolerance);

} // namespace arv
