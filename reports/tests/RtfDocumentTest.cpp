// The report's RTF: what the writer writes reads back to the same document
// and the same bytes, a file in the style of common word processors reads
// with its text and formats, and damaged files never crash the reader.
#include "reports/RtfDocument.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <random>

namespace arv {
namespace {

std::u16string U(const char* utf8) {
    return Cp1251ToUtf16(Ru(utf8));
}

TRtfDocument EveryFormat() {
    TRtfDocument d;
    TRtfParagraph p1;
    p1.Align = TRtfAlign::Center;
    TRtfCharFormat f;
    f.FontName = "Times New Roman";
    f.HalfPoints = 28;
    f.Bold = true;
    p1.Runs.push_back({f, U("Отчёт {по} шахте\\")});
    f.Bold = false;
    f.Italic = true;
    f.Color = 0xFF0000;
    p1.Runs.push_back({f, u"\t\u03a9\u2028x"}); // Greek is not in CP1251
    d.Paragraphs.push_back(p1);
    TRtfParagraph p2;
    p2.Align = TRtfAlign::Right;
    p2.FirstIndent = -360;
    p2.LeftIndent = 720;
    p2.RightIndent = 240;
    p2.Bullet = true;
    TRtfCharFormat g;
    g.Underline = true;
    g.StrikeOut = true;
    g.Color = 0x0000FF;
    p2.Runs.push_back({g, u"under"});
    g.FontName = Ru("Тахома");
    g.Underline = false;
    p2.Runs.push_back({g, u"\f"});
    d.Paragraphs.push_back(p2);
    d.Paragraphs.push_back(TRtfParagraph{}); // an empty line
    TRtfParagraph p3;
    p3.Align = TRtfAlign::Justify;
    p3.Runs.push_back({TRtfCharFormat{}, u"plain"});
    d.Paragraphs.push_back(p3);
    return d;
}

TEST(RtfDocument, EveryFormatRoundTripsToTheSameDocumentAndBytes) {
    TRtfDocument d = EveryFormat();
    std::string first = WriteRtf(d);
    EXPECT_TRUE(LooksLikeRtf(first));
    EXPECT_NE(std::string::npos, first.find("\\ansicpg1251"));
    EXPECT_NE(std::string::npos, first.find("\\fcharset204"));
    TRtfDocument back = ReadRtf(first);
    EXPECT_EQ(d, back);
    EXPECT_EQ(first, WriteRtf(back));
}

TEST(RtfDocument, WriterJoinsRunsOfOneFormatAndDropsEmptyOnes) {
    TRtfDocument d;
    TRtfParagraph p;
    p.Runs = {{TRtfCharFormat{}, u"ab"}, {TRtfCharFormat{}, u""}, {TRtfCharFormat{}, u"c"}};
    d.Paragraphs.push_back(p);
    TRtfDocument back = ReadRtf(WriteRtf(d));
    ASSERT_EQ(1u, back.Paragraphs.size());
    ASSERT_EQ(1u, back.Paragraphs[0].Runs.size());
    EXPECT_EQ(u"abc", back.Paragraphs[0].Runs[0].Text);
}

// Made here in the manner of a word processor: generator and style sheet,
// font table entries with panose and alternates, unknown control words,
// starred destinations, \uN with a two-byte fallback, list text.
const char* WordProcessorRtf =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1251\\uc1\\adeff0\\deff0\\stshfdbch0\\deflang1049"
    "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset204\\fprq2{\\*\\panose 02020603050405020304}"
    "Times New Roman{\\*\\falt Times};}{\\f1\\fswiss\\fcharset204\\fprq2 Arial;}"
    "{\\f2\\fnil\\fcharset2 Symbol;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;}"
    "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 \\snext0 Normal;}}"
    "{\\*\\generator Some Writer 7.1;}{\\info{\\title \\'d2\\'e8\\'f2\\'eb}{\\author x}}"
    "\\paperw11906\\paperh16838\\margl1701\\viewkind4\\uc1"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 "
    "?;}}}}"
    "\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\sa200\\sl276\\slmult1\\rtlch\\fcs1 \\af0 "
    "\\ltrch\\fcs0 \\f0\\fs32\\lang1049\\langfe1033\\insrsid1\\b \\'ce\\'f2\\'f7\\'e5\\'f2"
    "\\b0\\par\r\n"
    "\\pard \\ql \\fi-360\\li720\\ri0{\\listtext\\pard\\plain\\f2\\'b7\\tab}"
    "{\\*\\pn\\pnlvlblt\\pnf2\\pnindent360{\\pntxtb\\'b7}}\\f1\\fs20\\cf2\\ul\\strike "
    "red\\ulnone\\strike0\\cf0  \\u1097\\'3f\\'3fdone\\~{\\field{\\*\\fldinst HYPERLINK \"x\"}"
    "{\\fldrslt link}}\\par\r\n"
    "\\pard\\qr{\\*\\unknownthing {nested} stuff}\\i right\\line next\\tab t\\page\\par}";

TEST(RtfDocument, ReadsAWordProcessorFileWithItsTextAndFormats) {
    TRtfDocument d = ReadRtf(WordProcessorRtf);
    ASSERT_EQ(3u, d.Paragraphs.size());
    const TRtfParagraph& p0 = d.Paragraphs[0];
    EXPECT_EQ(TRtfAlign::Center, p0.Align);
    ASSERT_EQ(1u, p0.Runs.size());
    EXPECT_EQ(U("Отчет"), p0.Runs[0].Text);
    EXPECT_EQ("Times New Roman", p0.Runs[0].Format.FontName);
    EXPECT_EQ(32, p0.Runs[0].Format.HalfPoints);
    EXPECT_TRUE(p0.Runs[0].Format.Bold);

    const TRtfParagraph& p1 = d.Paragraphs[1];
    EXPECT_TRUE(p1.Bullet);
    EXPECT_EQ(-360, p1.FirstIndent);
    EXPECT_EQ(720, p1.LeftIndent);
    ASSERT_GE(p1.Runs.size(), 2u);
    EXPECT_EQ(u"red", p1.Runs[0].Text);
    EXPECT_EQ("Arial", p1.Runs[0].Format.FontName);
    EXPECT_EQ(20, p1.Runs[0].Format.HalfPoints);
    EXPECT_EQ(0xC00000u, p1.Runs[0].Format.Color);
    EXPECT_TRUE(p1.Runs[0].Format.Underline);
    EXPECT_TRUE(p1.Runs[0].Format.StrikeOut);
    std::u16string rest;
    for (size_t n = 1; n < p1.Runs.size(); ++n) rest += p1.Runs[n].Text;
    // One '?' is the \uN fallback and skipped; the second is text.
    EXPECT_EQ(std::u16string(u" \u0449?done\u00a0link"), rest);

    const TRtfParagraph& p2 = d.Paragraphs[2];
    EXPECT_EQ(TRtfAlign::Right, p2.Align);
    ASSERT_EQ(1u, p2.Runs.size());
    EXPECT_EQ(u"right\u2028next\tt\f", p2.Runs[0].Text);
    EXPECT_TRUE(p2.Runs[0].Format.Italic);
}

TEST(RtfDocument, BinaryPictureDataIsSkippedWithItsBraces) {
    TRtfDocument d = ReadRtf("{\\rtf1 a{\\pict\\bin5 }{x}}}b\\par}");
    ASSERT_EQ(1u, d.Paragraphs.size());
    EXPECT_EQ(u"ab", d.Paragraphs[0].Runs.at(0).Text);
    EXPECT_EQ(1u, ReadRtf("{\\rtf1 a\\bin999").Paragraphs.size());
}

TEST(RtfDocument, PlainTextKeepsLinesAndCyrillic) {
    TRtfCharFormat f;
    TRtfDocument d = RtfFromPlainText(Ru("один\r\nдва\n\nтри"), f);
    ASSERT_EQ(4u, d.Paragraphs.size());
    EXPECT_TRUE(d.Paragraphs[2].Runs.empty());
    EXPECT_EQ(Ru("один\r\nдва\r\n\r\nтри\r\n"), RtfPlainText(d));
    EXPECT_EQ(d, ReadRtf(WriteRtf(d)));
}

TEST(RtfDocument, EveryPrefixOfAFileReadsWithoutHarm) {
    std::string full = std::string(WordProcessorRtf) + WriteRtf(EveryFormat());
    for (size_t n = 0; n <= full.size(); ++n) {
        TRtfDocument d = ReadRtf(std::string_view(full).substr(0, n));
        // Whatever was read must write and read back unchanged.
        EXPECT_EQ(d, ReadRtf(WriteRtf(d))) << "prefix " << n;
    }
}

TEST(RtfDocument, RandomMutationsNeverCrashTheReader) {
    const std::string base = std::string(WordProcessorRtf) + WriteRtf(EveryFormat());
    std::mt19937 rng(1234);
    const char alphabet[] = "{}\\'*;0123456789-abfuclpr\r\n ";
    for (int round = 0; round < 100000; ++round) {
        std::string s = base;
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % (s.size() + 1);
            switch (rng() % 4) {
            case 0:
                if (at < s.size()) s[at] = static_cast<char>(rng() & 0xFF);
                break;
            case 1:
                s.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]);
                break;
            case 2:
                if (at < s.size()) s.erase(at, 1 + rng() % 16);
                break;
            default:
                s.insert(at, std::string(1 + rng() % 600, rng() % 2 ? '{' : '}'));
                break;
            }
        }
        TRtfDocument d = ReadRtf(s);
        if (round % 1000 == 0) {
            ASSERT_EQ(d, ReadRtf(WriteRtf(d))) << "round " << round;
        }
    }
}

TEST(RtfDocument, HugeNumbersAndDeepNestingAreBounded) {
    std::string s = "{\\rtf1\\fs99999999999999999 a\\fi-99999999999999\\u99999999 b";
    s += std::string(100000, '{') + "deep" + std::string(100000, '}') + "\\par}";
    TRtfDocument d = ReadRtf(s);
    ASSERT_EQ(1u, d.Paragraphs.size());
    EXPECT_EQ(3276, d.Paragraphs[0].Runs.at(0).Format.HalfPoints);
}

} // namespace
} // namespace arv
