#include "platform/office/DocxWriter.h"

#include "platform/Cp1251.h"
#include "platform/office/XmlWriter.h"
#include "platform/office/ZipPackage.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

constexpr const char* kMainNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

long long Twips(double points) {
    return std::llround(points * 20);
}

long long HalfPoints(double points) {
    return std::llround(points * 2);
}

const char* AlignValue(TDocxAlign a) {
    switch (a) {
    case TDocxAlign::Center:
        return "center";
    case TDocxAlign::Right:
        return "right";
    default:
        return "left";
    }
}

// Run text: TAB and LF become their own elements; the rest is kept with its
// blanks (columns padded with blanks stay aligned).
void WriteRunText(TXmlWriter& x, const std::string& cp1251) {
    std::string piece;
    auto flush = [&] {
        if (piece.empty()) return;
        x.Open("w:t").Attr("xml:space", "preserve").Text(Cp1251ToUtf8(piece)).Close();
        piece.clear();
    };
    for (char c : cp1251) {
        if (c == '\t') {
            flush();
            x.Empty("w:tab");
        } else if (c == '\n') {
            flush();
            x.Empty("w:br");
        } else if (c != '\r') {
            piece += c;
        }
    }
    flush();
}

void WriteRun(TXmlWriter& x, const std::string& text, bool bold, double size) {
    x.Open("w:r");
    if (bold || size > 0) {
        x.Open("w:rPr");
        if (bold) x.Empty("w:b");
        if (size > 0) {
            x.Empty("w:sz", "w:val", std::to_string(HalfPoints(size)));
            x.Empty("w:szCs", "w:val", std::to_string(HalfPoints(size)));
        }
        x.Close();
    }
    WriteRunText(x, text);
    x.Close();
}

void WriteParagraphStart(TXmlWriter& x, TDocxAlign align) {
    x.Open("w:p").Open("w:pPr");
    x.Empty("w:spacing", "w:after", "0");
    x.Empty("w:jc", "w:val", AlignValue(align));
    x.Close();
}

void WriteParagraph(TXmlWriter& x, const TDocxParagraph& p) {
    WriteParagraphStart(x, p.Align);
    for (const TDocxRun& r : p.Runs) WriteRun(x, r.Text, r.Bold, r.FontSize);
    x.Close();
}

void WriteTable(TXmlWriter& x, const TDocxTable& t) {
    x.Open("w:tbl").Open("w:tblPr");
    x.Open("w:tblW").Attr("w:w", "0").Attr("w:type", "auto").Close();
    x.Open("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"})
        x.Open(side)
            .Attr("w:val", "single")
            .Attr("w:sz", "4")
            .Attr("w:space", "0")
            .Attr("w:color", "auto")
            .Close();
    x.Close();
    x.Empty("w:tblLayout", "w:type", "fixed");
    x.Open("w:tblCellMar");
    const long long margin = Twips(t.CellMargin);
    x.Open("w:left").Attr("w:w", margin).Attr("w:type", "dxa").Close();
    x.Open("w:right").Attr("w:w", margin).Attr("w:type", "dxa").Close();
    x.Close();
    x.Open("w:tblLook").Attr("w:val", "0000").Close();
    x.Close();
    x.Open("w:tblGrid");
    for (double w : t.ColumnWidths) x.Empty("w:gridCol", "w:w", std::to_string(Twips(w)));
    x.Close();
    const size_t columns = t.ColumnWidths.size();
    for (const auto& row : t.Rows) {
        x.Open("w:tr");
        for (size_t c = 0; c < columns; ++c) {
            static const TDocxCell empty;
            const TDocxCell& cell = c < row.size() ? row[c] : empty;
            x.Open("w:tc").Open("w:tcPr");
            x.Open("w:tcW").Attr("w:w", Twips(t.ColumnWidths[c])).Attr("w:type", "dxa").Close();
            x.Close();
            WriteParagraphStart(x, cell.Align);
            if (!cell.Text.empty()) WriteRun(x, cell.Text, cell.Bold, cell.FontSize);
            x.Close();
            x.Close();
        }
        x.Close();
    }
    x.Close();
}

std::string ContentTypesXml() {
    TXmlWriter x;
    x.Open("Types").Attr("xmlns", "http://schemas.openxmlformats.org/package/2006/content-types");
    x.Open("Default")
        .Attr("Extension", "rels")
        .Attr("ContentType", "application/vnd.openxmlformats-package.relationships+xml")
        .Close();
    x.Open("Default").Attr("Extension", "xml").Attr("ContentType", "application/xml").Close();
    x.Open("Override")
        .Attr("PartName", "/word/document.xml")
        .Attr("ContentType",
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml")
        .Close();
    x.Open("Override")
        .Attr("PartName", "/word/styles.xml")
        .Attr("ContentType",
              "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml")
        .Close();
    return x.Finish();
}

std::string PackageRelsXml() {
    TXmlWriter x;
    x.Open("Relationships")
        .Attr("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
    x.Open("Relationship")
        .Attr("Id", "rId1")
        .Attr("Type", std::string(kRelNs) + "/officeDocument")
        .Attr("Target", "word/document.xml")
        .Close();
    return x.Finish();
}

std::string DocumentRelsXml() {
    TXmlWriter x;
    x.Open("Relationships")
        .Attr("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
    x.Open("Relationship")
        .Attr("Id", "rId1")
        .Attr("Type", std::string(kRelNs) + "/styles")
        .Attr("Target", "styles.xml")
        .Close();
    return x.Finish();
}

std::string StylesXml(const TDocxDocument& doc) {
    TXmlWriter x;
    x.Open("w:styles").Attr("xmlns:w", kMainNs);
    x.Open("w:docDefaults").Open("w:rPrDefault").Open("w:rPr");
    const std::string font = Cp1251ToUtf8(doc.FontName);
    x.Open("w:rFonts")
        .Attr("w:ascii", font)
        .Attr("w:hAnsi", font)
        .Attr("w:cs", font)
        .Attr("w:eastAsia", font)
        .Close();
    x.Empty("w:sz", "w:val", std::to_string(HalfPoints(doc.FontSize)));
    x.Empty("w:szCs", "w:val", std::to_string(HalfPoints(doc.FontSize)));
    x.Empty("w:lang", "w:val", "ru-RU");
    x.Close().Close();
    x.Open("w:pPrDefault").Open("w:pPr");
    x.Open("w:spacing")
        .Attr("w:after", "0")
        .Attr("w:line", "240")
        .Attr("w:lineRule", "auto")
        .Close();
    x.Close().Close();
    x.Close();
    x.Open("w:style")
        .Attr("w:type", "paragraph")
        .Attr("w:default", "1")
        .Attr("w:styleId", "Normal");
    x.Empty("w:name", "w:val", "Normal");
    x.Close();
    return x.Finish();
}

} // namespace

double TDocxDocument::TextWidth() const {
    const double width =
        Landscape ? std::max(PageWidth, PageHeight) : std::min(PageWidth, PageHeight);
    return std::max(0.0, width - LeftMargin - RightMargin);
}

std::string DocxDocumentXml(const TDocxDocument& doc) {
    TXmlWriter x;
    x.Open("w:document").Attr("xmlns:w", kMainNs).Attr("xmlns:r", kRelNs);
    x.Open("w:body");
    for (size_t i = 0; i < doc.Body.size(); ++i) {
        if (!doc.Body[i].IsTable) {
            WriteParagraph(x, doc.Body[i].Paragraph);
        } else {
            WriteTable(x, doc.Body[i].Table);
            // A document cannot end on a table, nor can two tables touch.
            if (i + 1 == doc.Body.size() || doc.Body[i + 1].IsTable)
                WriteParagraph(x, TDocxParagraph{});
        }
    }
    const double shortSide = std::min(doc.PageWidth, doc.PageHeight);
    const double longSide = std::max(doc.PageWidth, doc.PageHeight);
    x.Open("w:sectPr");
    x.Open("w:pgSz")
        .Attr("w:w", Twips(doc.Landscape ? longSide : shortSide))
        .Attr("w:h", Twips(doc.Landscape ? shortSide : longSide));
    if (doc.Landscape) x.Attr("w:orient", "landscape");
    x.Close();
    x.Open("w:pgMar")
        .Attr("w:top", Twips(doc.TopMargin))
        .Attr("w:right", Twips(doc.RightMargin))
        .Attr("w:bottom", Twips(doc.BottomMargin))
        .Attr("w:left", Twips(doc.LeftMargin))
        .Attr("w:header", "708")
        .Attr("w:footer", "708")
        .Attr("w:gutter", "0")
        .Close();
    x.Close();
    return x.Finish();
}

bool WriteDocx(const TDocxDocument& doc, const std::string& fileName, std::string* errorText) {
    TZipPackage package;
    package.Add("[Content_Types].xml", ContentTypesXml());
    package.Add("_rels/.rels", PackageRelsXml());
    package.Add("word/document.xml", DocxDocumentXml(doc));
    package.Add("word/styles.xml", StylesXml(doc));
    package.Add("word/_rels/document.xml.rels", DocumentRelsXml());
    return package.Write(fileName, errorText);
}

} // namespace arv
