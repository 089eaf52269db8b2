// The report as rich text: paragraphs of formatted runs, and the RTF subset
// the report editor reads and writes. Text is UTF-16 so that characters
// outside CP1251 (written as \uN) survive; a TAB is '\t', a line break
// inside a paragraph U+2028 and a page break the form feed '\f', which is
// also what the pagination of plain report text uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

enum class TRtfAlign { Left, Right, Center, Justify };

constexpr char16_t RtfLineBreak = u'\u2028';
constexpr char16_t RtfPageBreak = u'\f';

struct TRtfCharFormat {
    std::string FontName = "Courier New"; // CP1251
    int HalfPoints = 20;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    // 0xRRGGBB; AutoColor is the reader's default text colour.
    static constexpr uint32_t AutoColor = 0xFFFFFFFFu;
    uint32_t Color = AutoColor;
    bool operator==(const TRtfCharFormat&) const = default;
};

struct TRtfRun {
    TRtfCharFormat Format;
    std::u16string Text;
    bool operator==(const TRtfRun&) const = default;
};

struct TRtfParagraph {
    TRtfAlign Align = TRtfAlign::Left;
    // Twips (1/20 point); the first-line indent is relative to the left one.
    int FirstIndent = 0, LeftIndent = 0, RightIndent = 0;
    bool Bullet = false;
    std::vector<TRtfRun> Runs;
    bool operator==(const TRtfParagraph&) const = default;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> Paragraphs;
    bool operator==(const TRtfDocument&) const = default;
};

// Empty runs dropped and neighbouring runs of one format joined; the reader
// gives documents in this form and the writer writes them so.
void NormalizeRtf(TRtfDocument& doc);

// The whole document as RTF with \ansicpg1251 and \fcharset204 fonts.
std::string WriteRtf(const TRtfDocument& doc);

// Reads what the writer writes and what common word processors write;
// unknown control words and destinations are skipped. Never throws on bad
// input: what cannot be understood is left out.
TRtfDocument ReadRtf(std::string_view rtf);

// True when the bytes start like an RTF file ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

// Plain text: paragraphs as lines ended by CR LF, in CP1251.
std::string RtfPlainText(const TRtfDocument& doc);
// Plain CP1251 text (CR LF or LF line ends) as paragraphs of one format.
TRtfDocument RtfFromPlainText(std::string_view text, const TRtfCharFormat& format);

} // namespace arv
