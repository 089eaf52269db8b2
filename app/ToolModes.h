// The plan editor's tools: what a press, a move and a right click do in each
// tool mode, kept as one row per mode so that a mode reads in one place. The
// window forwards its mouse events to the controller; the rows work on the
// controller and the document only, so every gesture plays headless.
#pragma once

#include "document/Document.h"
#include "document/EditGeometry.h"

#include <cstdint>
#include <string>

namespace arv {

class TIDrawWin;

// Cursors of the drawing area; the three zoom cursors are drawn by the window.
enum class TPlanCursor { Default, Arrow, Cross, IBeam, Drag, SizeAll, ZoomIn, ZoomOut, ZoomRect };

enum class TMouseButton { Left, Right, Middle };

// Keys and buttons held during a mouse event.
struct TMouseShift {
    bool shift = false;
    bool ctrl = false;
    bool left = false; // the left button is held (moves)
};

// The editing state of the window: the gesture in progress between press,
// moves and release.
struct TEditState {
    TPoint AnchorPoint, MovingPoint;   // world
    TPoint AnchorScreen, MovingScreen; // pixels of the drawing area
    bool LineRubberActive = false;
    bool RectRubberActive = false;
    int32_t VertexClickCount = 0;
    int32_t ArcClickCount = 0; // 0 idle, 2 after the first click, 3 after the second
    TPoint ArcFirstPoint, ArcSecondPoint, ArcThirdPoint;
    int32_t ShaperState = 0;         // hit kind of the handle held, 0 none
    TGCollFigure::THandleHit Handle; // what the press of mode 7 found
    bool MouseIsDown = false;
    TPoint PanDelta;
    // The arc preview on the screen, so that the next move erases it.
    bool ArcPreviewShown = false;
    TArcPreview ArcShown;
    // The offset the group has been moved by since it was selected, so that
    // a later drag goes on from where the group stands.
    TPoint GroupOffset;
    // A drag step painted only what moved; the release paints everything.
    bool MovingShown = false;
};

// The library item the picture tool places with its next click.
struct TPicChoice {
    std::string Name;
    int32_t Index = 0;
    bool Picture = false;
};

// What the route windows do with picks on the plan; they register one while
// they are open.
class IRoutePicks {
public:
    virtual ~IRoutePicks() = default;
    // A branch is to be picked for the route table.
    virtual bool PickPending() const = 0;
    // The branch picked for the route table: its number and name.
    virtual void BranchPicked(int32_t number, const std::string& name) = 0;
    // The route editing tool excluded the branch: rebuild and show the route.
    virtual void BranchExcluded(int32_t number) = 0;
};

// One tool mode: the button that shows it chosen, its cursor and handlers.
struct TToolMode {
    int32_t mode;
    const char* button; // "" for modes without a button of their own
    TPlanCursor cursor;
    void (*press)(TIDrawWin& w, TPoint screen);
    void (*move)(TIDrawWin& w, TPoint screen, TMouseShift shift);
    void (*cancel)(TIDrawWin& w, TPoint screen); // the right button
};

// The row of a mode; null for a number that is no tool mode.
const TToolMode* FindToolMode(int32_t mode);

// The status text of a drawing move: the offset in millimetres.
std::string OffsetStatusText(TPoint anchor, TPoint moving);

} // namespace arv
