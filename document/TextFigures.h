// Annotation figures that carry text or library items: texts, pictures of the
// image library and legend symbols of the symbol library. Pictures and
// symbols keep only a name and an index into the library.
#pragma once

#include "document/Figure.h"
#include "document/FontRecord.h"
#include "document/SymbolLibrary.h"

namespace arv {

class TGText : public TGCustomFigure {
public:
    TGText();

    std::string content; // the text shown (the base text is the figure's name)
    TFontRecord font;
    int32_t fontHeight = 0; // world units: round(size x 3.527)
    TPoint anchor;
    TPoint screenAnchor; // refreshed by the drawing
    // The angle is the base angle, in degrees.

    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;
    void Release() override { content.clear(); }

    void SetTextAndFont(std::string_view textValue, const TFontRecord& fontValue, TPoint at);
};

class TGPicture : public TGCustomFigure {
public:
    TGPicture();

    std::string imageName;
    int32_t imageIndex = -1; // -1: not in the library
    TRect screenRect;        // filled by the drawing
    int32_t angleDegrees = 0;
    int32_t value1 = 0; // kept with the picture
    int32_t ownSize = 0;
    int32_t value2 = 0;          // kept with the picture
    int32_t value3 = 0;          // kept with the picture
    int32_t captionPosition = 0; // 0 right, 1 left, 2 above, 3 below
    uint8_t captionHidden = 0;
    uint8_t ownSizeFlag = 0;

    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    // Name and library index; the box is width x height from the top-left.
    void Place(std::string_view name, int32_t index, int32_t mode, int32_t w, int32_t h,
               TPoint topLeft);
};

class TGUO : public TGCustomFigure {
public:
    TGUO();

    int32_t value0 = 0; // kept with the symbol
    int32_t angleDegrees = 0;
    int32_t symbolIndex = -1;
    TSymbolRecord placed; // the turned and scaled copy, moved to the anchor
    TPoint anchor;
    int32_t value1 = 0; // kept with the symbol
    int32_t ownSize = 0;
    int32_t value2 = 0; // kept with the symbol
    int32_t captionPosition = 0;
    uint8_t captionHidden = 0;
    uint8_t ownSizeFlag = 0;

    int32_t StreamSize(int32_t version) const override;
    int32_t SaveToStream(TBinaryWriter& w) const override;
    bool LoadFromStream(int32_t version, TBinaryReader& r) override;

    // Takes the transformed symbol, moves its primitives to the anchor and
    // sets the box to the symbol's size about the anchor.
    void SetSymbol(const TSymbolRecord& rec, int32_t index, int32_t mode, int32_t angle,
                   int32_t size, TPoint at);
};

} // namespace arv
