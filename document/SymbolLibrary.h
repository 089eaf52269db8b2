// Legend symbols: conventional signs of mine plans described in a small
// line-oriented text ("*.uo" files of the folder "IMG", or the symbol text
// stored with a drawing). A symbol is up to nine primitives on a 40-unit
// design grid; a placed symbol is a turned and scaled copy.
#pragma once

#include "document/Geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

constexpr int kMaxPrimitives = 9;
// Side of the design grid: a symbol drawn at this size is not scaled.
constexpr int kSymbolDesignSize = 40;

// One primitive. Kinds: 'a' sector, 'c' circle, 'l' line, 'r' quadrilateral,
// 's' character, 't' triangle. points[0..3] are the design points 1..4.
struct TSymbolPrimitive {
    char kind = 0;
    std::array<int32_t, 5> fields{};
    std::array<TPoint, 4> points{};
    std::array<TPoint, 4> screen{}; // filled by the drawing
    int32_t screenSize = 0;         // filled by the drawing
    char character = 0;
    bool operator==(const TSymbolPrimitive&) const = default;
};

struct TSymbolRecord {
    std::string name;
    int32_t count = 0;
    std::array<TSymbolPrimitive, kMaxPrimitives> prims{};
    bool operator==(const TSymbolRecord&) const = default;
};

class TGCollUO {
public:
    std::vector<TSymbolRecord> symbols;
    std::string folder = ".\\img\\";

    int32_t Count() const { return static_cast<int32_t>(symbols.size()); }
    void Add(const TSymbolRecord& rec);
    void Clear() { symbols.clear(); }
};

// Reads every "*.uo" file of the folder "IMG" under the program folder (file
// names without regard to letter case, in sorted order) into the library.
// A line that cannot be read is skipped; log receives one line for it.
void LoadSymbolLibrary(TGCollUO& lib, std::string_view programDir,
                       std::vector<std::string>* log = nullptr);
// Replaces the library by the symbols of a text (the drawing's symbol text).
// Lines end at CR, CR LF or LF; a last line without an end counts too.
void ParseSymbolText(TGCollUO& lib, std::string_view text, std::vector<std::string>* log = nullptr);

// The first symbol of that name (letter case counts), turned by angle
// degrees and scaled to size; -1 (out untouched) when there is none.
int32_t FindSymbolIndex(const TGCollUO& lib, int32_t size, TSymbolRecord& out, int32_t angle,
                        std::string_view name);
// Copy of symbol `index` turned by the angle (radians) about the design
// origin and scaled by size / 40; an empty record for a bad index.
void TransformSymbol(const TGCollUO& lib, int32_t index, int32_t size, TSymbolRecord& out,
                     double angle);

} // namespace arv
