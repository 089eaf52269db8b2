// A canvas that keeps what is drawn on it, to be played back later onto
// other canvases, each time only what reaches some rows of the picture. The
// plan is drawn onto it once on the GUI thread, where the drawing pass writes
// the document's state (screen points, measured label sizes), and is then
// played back in horizontal bands on several threads, each band onto its own
// picture.
//
// Every call keeps the rows it may paint: its points grown by the pen's width,
// a text's turned cell grown by its height for the glyphs' overhang. Playing
// a band needs only the calls that reach it; a line is clipped by the picture
// it is played onto, and clipping moves its pixels (a slanted line's steps,
// a dotted line's phase), so such calls are played onto a picture that holds
// them whole: see Reach.
//
// The drawing may be cut into sections (EndSection): a section ended stays
// as it is, so other threads may play it back while later ones are drawn.
#pragma once

#include "platform/Canvas.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace arv {

class TDisplayList : public TCanvas {
public:
    // Texts are measured on `measure`, which must measure as the canvases
    // played onto do; it is used only while drawing onto the list.
    explicit TDisplayList(TCanvas& measure);

    // Forgets every call; pen, brush, font and alignment are kept, and so
    // are the sizes of texts measured. Not while sections are played.
    void Clear();
    size_t Size() const;

    static constexpr int kSections = 4;
    // Ends the section being drawn; past the last one, drawing goes on in it.
    void EndSection() override;
    // Ends every section: the drawing is complete.
    void Finish();
    // Waits until more than `seen` sections are ended; returns how many are.
    // Safe on any thread while the list is drawn on.
    int WaitEnded(int seen) const;

    // Rows [top, bottom) of a picture `height` rows high: the rows that a
    // picture must hold so that the calls reaching them are not clipped
    // there (texts and fills excepted, whose pixels do not depend on it),
    // within the picture's own rows. Of sections [first, last), ended ones.
    void Reach(int32_t top, int32_t bottom, int32_t height, int32_t& from, int32_t& to,
               int first = 0, int last = kSections) const;
    // Plays the calls of sections [first, last) that reach rows [top,
    // bottom) onto the canvas, in the order they were made, each with the
    // pen, brush, font and alignment it was made with.
    void PlayBack(TCanvas& target, int32_t top, int32_t bottom, int first = 0,
                  int last = kSections) const;

    int32_t PixelsPerInch() const override { return measure_.PixelsPerInch(); }
    void LineTo(int32_t x, int32_t y) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerW,
                   int32_t cornerH) override;
    void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
             int32_t x4, int32_t y4) override;
    void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
             int32_t x4, int32_t y4) override;
    void Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
               int32_t x4, int32_t y4) override;
    void Polygon(const TCanvasPoint* points, int32_t count) override;
    void Polyline(const TCanvasPoint* points, int32_t count) override;
    void FillRect(const TCanvasRect& r) override;
    void TextOut(int32_t x, int32_t y, std::string_view text) override;
    TCanvasSize TextExtent(std::string_view text) override;
    void StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap, bool transparent) override;
    void SetClipRect(const TCanvasRect& r) override;
    void NoClip() override;
    // Nothing is painted here to read back.
    int32_t GetPixel(int32_t x, int32_t y) override;
    void SetPixel(int32_t x, int32_t y, int32_t colour) override;

private:
    enum class TKind : uint8_t {
        Line,
        Rectangle,
        Ellipse,
        RoundRect,
        Arc,
        Pie,
        Chord,
        Polygon,
        Polyline,
        FillRect,
        Text,
        Picture,
        Clip,
        NoClip,
        Pixel,
    };
    struct TState {
        TPen pen;
        TBrush brush;
        TFont font;
        uint32_t align = 0;
        bool transparent = false;
    };
    struct TOp {
        TKind kind = TKind::Line;
        bool clipped = false; // its pixels depend on where the picture clips it
        uint32_t state = 0;
        int32_t top = 0; // rows it may paint, bottom exclusive
        int32_t bottom = 0;
        int32_t a[8] = {};
        uint32_t data = 0; // first point, first character of the text, or the picture
        uint32_t count = 0;
    };
    TOp& Add(TKind kind, int32_t top, int32_t bottom, bool clipped);
    // Rows of a shape with these rows, grown by the pen.
    TOp& AddShape(TKind kind, int32_t top, int32_t bottom);
    TOp& AddBox(TKind kind, int32_t left, int32_t top, int32_t right, int32_t bottom);
    // An arc, pie or chord of the ellipse in the box, from (x3, y3) to (x4, y4).
    void AddArc(TKind kind, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3,
                int32_t y3, int32_t x4, int32_t y4);
    struct TSection {
        std::vector<TState> states;
        std::vector<TOp> ops;
        std::vector<TCanvasPoint> points;
        std::string texts; // every text, one after another
        std::vector<TBitmap32> pictures;
    };
    TSection& Drawn() { return sections_[static_cast<size_t>(current_)]; }
    void Play(const TSection& section, const TOp& op, TCanvas& target) const;

    TCanvas& measure_;
    // Texts measured lately, by a hash of the text: labels are measured and
    // then written (or the other way round), and pieces such as brackets
    // recur on every branch, while the canvas's own table of every text
    // laid out is large and cold. A text's size depends on its face alone,
    // not on its colour or turn.
    struct TMeasured {
        std::string text;
        TFont face;
        TCanvasSize size;
        size_t hash = 0;
        bool valid = false;
    };
    std::array<TMeasured, 64> measured_{};
    std::array<TSection, kSections> sections_;
    int current_ = 0; // the section drawn on
    mutable std::mutex endedMutex_;
    mutable std::condition_variable endedChanged_;
    int ended_ = 0; // sections ended, under endedMutex_
};

} // namespace arv
