// The drawing document: every figure of the plan in drawing order, the node
// collection, the layer list, the drawing settings the file stores and the
// view (visible world rectangle, scale, centre, hit tolerance). It creates
// figures by kind code, converts between world and screen coordinates, zooms,
// scrolls and selects, and tells the window about every change of selection.
#pragma once

#include "document/Figure.h"
#include "document/FontRecord.h"
#include "document/ImageLibrary.h"
#include "document/Layers.h"
#include "document/Nodes.h"
#include "document/SymbolLibrary.h"
#include "document/WindowHost.h"
#include "platform/Canvas.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arv {

class TGBranch;
class TGUO;
struct TBaseData;

// The label routines write on the canvas of the drawing pass.
using ILabelCanvas = TCanvas;

// Writes texts[0..lastIndex] one after the other from the current position
// on a transparent background, each in its colour, advancing the position;
// outText receives their concatenation.
void LabelTextOut(TCanvas& dc, const std::vector<int32_t>& colours, std::string& outText,
                  const std::vector<std::string>& texts, int32_t lastIndex);
using TLabelTextOut = decltype(&LabelTextOut);

// Settings of the drawing that the file stores (blocks 1, 15, 2001..2005,
// 3001, 4002..4016).
struct TDrawingSettings {
    std::array<TFontRecord, 5> fonts{};
    int32_t fontSize1 = 10, fontSize1Scaled = 35;
    int32_t fontSize3 = 9, fontSize3Scaled = 32;
    int32_t fontSize4 = 10, fontSize4Scaled = 35;
    int32_t colourA = 32768, colourB = 16711680, colourC = 16711680;
    int32_t arrowSize = 20;
    int32_t nodeSize = 11;
    int32_t arrowScale = 10;
    uint8_t arrowInside = 0;
    int32_t dataOffset = 30;
    int32_t arrowOffset = 30;
    int32_t leaderLength = 30;
    int32_t frameColour = 65535;
    uint8_t drawFrame = 1;
    uint8_t showCalcData = 0;
    uint8_t negativeNodes = 0; // show nodes with negative numbers
    uint8_t drawPictures = 1;
    int32_t symbolSize = 40;
    TDrawingSettings();
    bool operator==(const TDrawingSettings&) const = default;
};

// A part of the plan to draw instead of all of it: figures (indices, in
// drawing order) and node records (a flag per record). A drag draws what
// stays still once and what moves over it at every step.
struct TDrawPart {
    std::vector<int32_t> figures;
    std::vector<uint8_t> nodes;
    bool operator==(const TDrawPart&) const = default;
};

// Display switches the window copies from its view menus.
struct TDisplaySwitches {
    uint8_t branchNames = 0;
    uint8_t nodeNumbers = 0;
    uint8_t branchNumbers = 0;
    // Caption records 1..6: 1 air flows, 3 PLA positions, 4 node pressures,
    // 5 air-direction arrows, 6 calculation data; 2 has no menu.
    std::array<uint8_t, 7> caption{};
    uint8_t showNegative = 0;
    uint8_t foundNodeHighlight = 0;
};

class TGCollFigure {
public:
    TGCollFigure();
    ~TGCollFigure();
    TGCollFigure(const TGCollFigure&) = delete;
    TGCollFigure& operator=(const TGCollFigure&) = delete;

    TGCollNode nodes;
    TGCollImg images;
    TGCollUO symbols;
    TGLajer layers;
    std::vector<std::unique_ptr<TGCustomFigure>> figures;
    std::vector<int32_t> visibleList;
    int32_t tempBranchCounter = -1;
    std::array<uint8_t, 204> header{};
    TRect viewRect;
    TPoint centre;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    double scale = 1.0;
    int32_t hitTolerance = 5;
    TDrawingSettings settings;
    TDisplaySwitches display;
    uint8_t showDirections = 0;
    int32_t foundNode = 0;
    int32_t current = -1;
    std::function<void()> OnChange;
    std::function<bool(TCanvas& dc, int32_t number, int32_t record, int32_t value,
                       TLabelTextOut textOut, TGCollFigure& doc)>
        OnDrawLabel;

    // State of the drawing pass (not stored): junctions on for this view,
    // the monochrome flag of the pass, whether the pass computed junctions,
    // the caption record in process, the size of the last measured label.
    uint8_t junctionMode = 0;
    uint8_t monochrome = 0;
    uint8_t junctionsComputed = 0;
    int32_t captionIndex = 0;
    TTextSize labelTextSize;
    // Set while the pass draws onto paper.
    bool onPaper = false;

    // Paints the whole document in the current view: figures in drawing
    // order, the route overlay, then the three label passes. Monochrome is
    // set for black-and-white printing. Never opens a message box: failures
    // wait in DrawMessages for the window to show after the paint. With a
    // part, only its figures (with their labels) and its nodes are painted.
    void Draw(TCanvas& canvas, bool monochrome, const TDrawPart* part = nullptr);
    // Draw onto paper (the print and its preview): every label and junction
    // whatever tool the window has chosen, since leaving them out is only the
    // window's way to keep a pan quick.
    void DrawOnPaper(TCanvas& canvas, bool monochrome);
    // The figures the drawing pass paints: the visible list, or the part's.
    const std::vector<int32_t>& DrawList() const {
        return drawPart_ ? drawPart_->figures : visibleList;
    }
    void DrawBranchLabels(TCanvas& canvas, bool monochrome);
    void DrawNodes(TCanvas& canvas, bool monochrome);
    void DrawBracketLabels(TCanvas& canvas, bool monochrome);
    // The boxed calculation-data callout of a branch at the middle of the
    // two world points.
    void DrawFlowCaption(TGBranch& branch, TCanvas& canvas, TPoint a, TPoint b);
    // Stores the symbol size and rebuilds every legend symbol at it.
    void SetSymbolSize(int32_t size);
    // A legend symbol takes its library entry again by its name (the
    // library may have been replaced). One the library lacks keeps its name,
    // place and box, and is drawn as a placeholder: false.
    bool ResolveSymbol(TGUO& symbol);
    // Every legend symbol resolved again; result: how many are missing.
    int32_t ResolveSymbols();
    // Messages met while drawing, each once until the cause goes away;
    // TakeDrawMessages empties the list, ReportDrawMessages shows them.
    std::vector<std::string> TakeDrawMessages();
    void ReportDrawMessages();
    // Remembers a drawing failure (once while it lasts).
    void NoteDrawFailure(const std::string& text);
    // The cause of a remembered failure has gone.
    void ClearDrawFailure(const std::string& text);

    int32_t Count() const { return static_cast<int32_t>(figures.size()); }
    int32_t VisibleCount() const { return static_cast<int32_t>(visibleList.size()); }
    TGCustomFigure* Figure(int32_t i) const;
    // The figure at i when it is a branch, else null.
    TGBranch* BranchAt(int32_t i) const;
    // Version of the drawing file last read (22 for a drawing begun here).
    int32_t Version() const;

    // Factory: a new figure of the kind, appended and made current; null
    // (and no current figure) for a code that is no figure kind.
    TGCustomFigure* AddFigure(int32_t kind);
    void BuildVisibleList();
    void DeleteCurrent();
    void Clear();

    TPoint WorldToScreen(TPoint w) const;
    TRect WorldRectToScreen(const TRect& r) const;
    TPoint WorldXYToScreen(int32_t x, int32_t y) const { return WorldToScreen({x, y}); }
    TPoint ScreenToWorld(TPoint s) const;
    TPoint ScreenXYToWorld(int32_t x, int32_t y) const { return ScreenToWorld({x, y}); }

    void SetViewRect(const TRect& r);
    void UpdateViewSize(int32_t width, int32_t height);
    void ZoomToRect(const TRect& r);
    void ZoomIn();
    void ZoomOut();
    void ZoomInAt(TPoint screen);
    void ZoomOutAt(TPoint screen);
    int32_t Scroll(int32_t kind, int32_t amount);

    // Nearest visible figure under the screen point within the tolerance.
    // Mode -1 makes it current (or none) and reports the change.
    int32_t SelectAt(TPoint screen, int32_t mode);
    void SelectNext();
    void SelectPrev();
    void DoChange();

    TRect GetExtent();
    // The figure's box grown by the labels of a branch.
    void GetLabelExtent(int32_t index, TRect& r);
    TGCustomFigure* CurrentFigure() const;
    int32_t CurrentKind() const;
    bool HasBranchNumber(int32_t n);
    bool HasNodeNumber(int32_t n);
    bool SetCurrentBranchName(std::string_view text);

    int32_t NextBranchNumber();
    void RenumberTemporaryBranches();
    // How many temporary numbers wait for reuse.
    int64_t FreedBranchNumberCount() const;

    static bool PointInRotatedRect(int32_t w, int32_t h, TPoint p, int32_t flag, TPoint corner,
                                   double angle);

    // Removes a layer of the drawing: its figures go to layer 0, figures and
    // scheme visibility of later layers move down with them.
    bool DeleteLayer(int32_t index);
    // PLA attributes for the branch at the index from the first other branch
    // with the same PLA position; result: that branch's PLA colour, or the
    // window's background colour when there is none.
    int32_t CopyPlaPosition(int32_t index);
    // The branch at the index takes the PLA position number as one typed for
    // it: the number, and the colour, ring kind and accident kinds of the
    // position's other branches (CopyPlaPosition); its marker stays where it is.
    void SetPlaPosition(int32_t index, int32_t number);

    // The document's part of following a scheme record: the drawing defaults,
    // the display switches and, from version 22, every figure's attributes.
    void ApplySchemeRecord(int32_t kind);
    // Every figure's attributes from its record of that scheme, from version
    // 22 (older drawings keep one set for all schemes).
    void LoadFigureAttrs(int32_t kind);
    // Figures that take their width or line style from their layer follow it
    // (on layer 0 the defaults of the scheme in force); a drawing older than
    // version 21 has its line styles rebuilt from its fill colours.
    void ApplyLayerStyles();
    // The same for one figure.
    void FollowLayer(TGCustomFigure& f) const;
    // Keeps the figure's attributes as drawn in the record that a scheme
    // switch and the next Open load: the scheme in force's, or all five in a
    // drawing read from a file before version 22, whose schemes share them.
    // Every command that changes what a figure's line looks like ends here.
    void StoreShownAttrs(TGCustomFigure& f) const;

    // The drawing file: header and tagged blocks of version 22, the network
    // data text as block 4021. Result: the bytes of the header, the node
    // block, the figure blocks and the end marker.
    int32_t SaveToStream(TBinaryWriter& w, std::string_view networkDataText);
    // Reads a drawing file image (versions 1 to 22). 0: the drawing replaced
    // the document and networkDataText holds the file's network data text;
    // -1: the file was refused and the document, the drawing globals, the
    // window state and networkDataText are as they were.
    int32_t LoadFromStream(std::string_view bytes, std::string* networkDataText = nullptr);

    // Network operations on the current figure and on the whole drawing.
    // An edit of the property grid (identifier 2..36) applied to the current
    // figure; false with the message for the window when refused.
    bool ApplyPropertyEdit(int32_t row, std::string_view text, std::string& message);
    // The current branch (positive number) takes a fresh temporary number.
    void ResetBranchNumber();
    // Both end nodes of the current branch take fresh temporary numbers.
    void ResetBranchNodes();
    // Builds branches from the imported base data and then empties it.
    // Result: 0, or -1 when no branch was added.
    int32_t AddBaseBranches(TBaseData& base);
    // The current branch written into the window's branch grid as number n.
    void AddBranchFromData(int32_t n);
    // Marks every branch whose number indexes an entry above 0.
    void MarkBranches(const std::vector<int32_t>& marks);
    // The PLA marks of branch i copied to the other branches of its position.
    void CopyPlaMarks(int32_t index);
    // Halves every coordinate of the drawing.
    void ChangeScale();
    // The current branch back to the drawn form of its layer.
    void ResetBranchShape();

    // Calls of the node collection, so that branch ends stay on their nodes.
    void NodeRecordRemoved(int32_t index);
    void NodeEndsMoved(int32_t index, TPoint p);
    void NodeMerged(int32_t from, int32_t to);
    // Every branch's node indices checked against its node numbers.
    void ResolveNodeIndices();

    // ---- Mouse editing (MouseEditing.cpp) ----
    // What a press found to edit, handed back unchanged to every drag of the
    // same gesture (the drag may update index when a node merges).
    struct THandleHit {
        int32_t kind = 0; // 0 nothing, 2 node, 3 text, ... 1010 polygon vertex
        int32_t index = -1;
        int32_t sub = 0;
        TPoint a, b, c; // saved corner points of shapes
        TPoint grab;
    };
    // Entries: figure (or node) index, kind, then the saved positions.
    std::vector<std::vector<int32_t>> groupList;
    // The handle under the screen point of a press; without one the nearest
    // figure becomes current. Result: the hit kind.
    int32_t FindHandleAt(TPoint screen, THandleHit& hit);
    // Applies a drag to the world point q; always true.
    bool DragSelection(THandleHit& hit, TPoint q);
    // Fills groupList from the world rectangle of the two corners (in any
    // order); result: the last branch taken (index 1 or more), else the last
    // arc or plain line taken whole, else 0.
    int32_t SelectGroup(TPoint p1, TPoint p2);
    // Every member of groupList at its saved position + (p1 - p0).
    void MoveGroup(TPoint p0, TPoint p1);
    // What a drag of the handle or of the group list repaints: the figures
    // and nodes it moves, the branches whose band joins follow them (those
    // meeting at a node the moved branches end at) and the nodes those end
    // at. Figures outside the visible list are left out.
    TDrawPart DragPart(const THandleHit& hit) const;
    TDrawPart GroupPart() const;
    // The rest of the plan: the visible figures and the nodes not in the part.
    TDrawPart OtherPart(const TDrawPart& part) const;
    // A picture ("<folder><name>.bmp") or legend symbol at the world point,
    // made current; false when nothing was placed.
    bool PlaceSymbol(std::string_view name, std::string_view folder, int32_t index, bool picture,
                     TPoint at);
    // The figure with the larger index goes to the smaller index.
    void MoveInOrder(int32_t first, int32_t second);

private:
    void RebuildView(bool halfClientFirst);
    // The moving figures and nodes made into a part (see DragPart).
    TDrawPart MovingPart(std::vector<uint8_t> figures, std::vector<uint8_t> nodes) const;
    const TDrawPart* drawPart_ = nullptr;
    void AfterZoomStep(bool halfClientFirst);

    // Gaps below the largest branch number, as ranges (high, low) in the
    // order they were found; the last range's low end is handed out first.
    std::vector<std::pair<int64_t, int64_t>> freedBranchNumbers_;
    std::vector<std::string> drawMessages_;
    std::vector<std::string> reportedFailures_;
    int64_t nextBranchMagnitude_ = 1;
};

// The figure of a kind on its own (not in a document); null for other codes.
std::unique_ptr<TGCustomFigure> CreateFigure(int32_t kind, TGCollNode* nodes,
                                             const TGLajer* layers);

// The drawing document of the program, created by the main window.
extern TGCollFigure* GDoc;

} // namespace arv
