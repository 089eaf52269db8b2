#include "RichTextBridge.h"

#include "platform/Cp1251.h"
#include "platform/qt/QtText.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <cmath>

namespace arv {

namespace {

// Twips per document pixel: 20 per point, 3/4 point per pixel.
constexpr double TwipsPerPixel = 15.0;

int ToTwips(double px) {
    return static_cast<int>(std::lround(px * TwipsPerPixel));
}
double ToPixels(int twips) {
    return twips / TwipsPerPixel;
}

TRtfCharFormat FromQt(const QTextCharFormat& f, const QFont& base) {
    TRtfCharFormat r;
    QFont font = f.font();
    QStringList families = f.fontFamilies().toStringList();
    QString family = families.isEmpty() ? base.family() : families.first();
    r.FontName = FromQString(family);
    double pt = f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF();
    r.HalfPoints = std::max(1, static_cast<int>(std::lround(pt * 2)));
    r.Bold = f.fontWeight() >= QFont::Bold;
    r.Italic = f.fontItalic();
    r.Underline = f.fontUnderline();
    r.StrikeOut = f.fontStrikeOut();
    if (f.foreground().style() != Qt::NoBrush) r.Color = f.foreground().color().rgb() & 0xFFFFFF;
    return r;
}

QTextCharFormat ToQt(const TRtfCharFormat& r) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{ToQString(r.FontName)});
    f.setFontPointSize(r.HalfPoints / 2.0);
    f.setFontWeight(r.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.Italic);
    f.setFontUnderline(r.Underline);
    f.setFontStrikeOut(r.StrikeOut);
    if (r.Color != TRtfCharFormat::AutoColor) f.setForeground(QColor(QRgb(0xFF000000u | r.Color)));
    return f;
}

} // namespace

TRtfDocument DocumentToRtf(const QTextDocument& doc) {
    TRtfDocument rtf;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        TRtfParagraph p;
        QTextBlockFormat bf = b.blockFormat();
        Qt::Alignment a = bf.alignment();
        p.Align = a & Qt::AlignRight     ? TRtfAlign::Right
                  : a & Qt::AlignHCenter ? TRtfAlign::Center
                  : a & Qt::AlignJustify ? TRtfAlign::Justify
                                         : TRtfAlign::Left;
        p.FirstIndent = ToTwips(bf.textIndent());
        p.LeftIndent = ToTwips(bf.leftMargin());
        p.RightIndent = ToTwips(bf.rightMargin());
        p.Bullet = b.textList() != nullptr;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            QString text = frag.text();
            p.Runs.push_back({FromQt(frag.charFormat(), doc.defaultFont()), text.toStdU16String()});
        }
        rtf.Paragraphs.push_back(std::move(p));
    }
    // The document's one empty block stands for no text at all.
    if (rtf.Paragraphs.size() == 1 && rtf.Paragraphs[0].Runs.empty() && !rtf.Paragraphs[0].Bullet)
        rtf.Paragraphs.clear();
    NormalizeRtf(rtf);
    return rtf;
}

void RtfToDocument(const TRtfDocument& rtf, QTextDocument& doc) {
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    bool first = true;
    for (const TRtfParagraph& p : rtf.Paragraphs) {
        QTextBlockFormat bf;
        bf.setAlignment(p.Align == TRtfAlign::Right     ? Qt::AlignRight
                        : p.Align == TRtfAlign::Center  ? Qt::AlignHCenter
                        : p.Align == TRtfAlign::Justify ? Qt::AlignJustify
                                                        : Qt::AlignLeft);
        bf.setTextIndent(ToPixels(p.FirstIndent));
        bf.setLeftMargin(ToPixels(p.LeftIndent));
        bf.setRightMargin(ToPixels(p.RightIndent));
        if (first)
            cursor.setBlockFormat(bf);
        else
            cursor.insertBlock(bf);
        first = false;
        if (p.Bullet) {
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(QTextListFormat::ListDisc);
        } else {
            list = nullptr;
        }
        for (const TRtfRun& r : p.Runs) {
            QString text = QString::fromStdU16String(r.Text);
            // Paragraphs come only from the model's paragraphs.
            text.replace(QChar(u'\n'), QChar(RtfLineBreak));
            text.replace(QChar(u'\r'), QChar(RtfLineBreak));
            cursor.insertText(text, ToQt(r.Format));
        }
    }
    cursor.endEditBlock();
}

int PrintReportLines(QPagedPaintDevice& printer, const TLines& lines, const QFont& font) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    // Nothing is cut at the page's right edge: the font shrinks until the
    // widest line fits, keeping the columns of a wide table and the lines of
    // each page as paginated, but to a third of its size at most (all the
    // columns of the general table fit so); a line wider still goes on in
    // the lines below.
    QFont paperFont(font, painter.device());
    const int pageWidth = std::max(1, painter.viewport().width());
    const double smallest = paperFont.pointSizeF() / 3;
    // Glyph widths do not scale exactly with the size: measured again.
    for (int pass = 0; pass < 4 && paperFont.pointSizeF() > smallest; ++pass) {
        const QFontMetricsF m(paperFont, painter.device());
        double widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, m.horizontalAdvance(ToQString(line)));
        if (widest <= pageWidth) break;
        paperFont.setPointSizeF(
            std::max(smallest, paperFont.pointSizeF() * pageWidth / widest * 0.99));
    }
    painter.setFont(paperFont);
    QFontMetrics fm(painter.font(), painter.device());
    const int lineHeight = std::max(1, fm.lineSpacing());
    const int pageHeight = painter.viewport().height();
    int y = 0;
    int pages = 1;
    auto newPage = [&] {
        printer.newPage();
        ++pages;
        y = 0;
    };
    auto print = [&](const std::string& text) {
        QTextLayout layout(ToQString(text), painter.font(), painter.device());
        QTextOption wrapped;
        wrapped.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(wrapped);
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine())
            l.setLineWidth(pageWidth);
        layout.endLayout();
        for (int i = 0; i < std::max(1, layout.lineCount()); ++i) {
            if (y + lineHeight > pageHeight && y > 0) newPage();
            if (i < layout.lineCount()) {
                const QTextLine l = layout.lineAt(i);
                l.draw(&painter, QPointF(0, y - l.y()));
            }
            y += lineHeight;
        }
    };
    for (const std::string& line : lines) {
        // A form feed anywhere in the line starts a new page there; the
        // blanks that indent it are not worth a line of their own.
        size_t start = 0;
        size_t ff = line.find('\f');
        if (ff == std::string::npos) {
            print(line);
            continue;
        }
        while (ff != std::string::npos) {
            std::string part = line.substr(start, ff - start);
            if (part.find_first_not_of(' ') != std::string::npos) print(part);
            newPage();
            start = ff + 1;
            ff = line.find('\f', start);
        }
        if (start < line.size()) print(line.substr(start));
    }
    painter.end();
    return pages;
}

} // namespace arv
