// The report's RTF model to and from the editor's text document. Indents
// are kept in the document as pixels at 4/3 pixels per point.
#pragma once

#include "reports/ReportSections.h"
#include "reports/RtfDocument.h"

class QFont;
class QPagedPaintDevice;
class QTextDocument;

namespace arv {

TRtfDocument DocumentToRtf(const QTextDocument& doc);
void RtfToDocument(const TRtfDocument& rtf, QTextDocument& doc);

// Line printing: each line in the font; a line that starts with a form feed
// begins a new page, as does a full page. Returns the pages printed.
int PrintReportLines(QPagedPaintDevice& printer, const TLines& lines, const QFont& font);

} // namespace arv
