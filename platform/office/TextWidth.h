// Widths of text set in the serif face of the word-processor documents
// (Times New Roman; its metric-compatible substitute sets the same widths),
// so that a document's layout can be worked out before any program opens it.
#pragma once

#include <string_view>

namespace arv {

// Width in points of CP1251 text in one line at the size in points.
double SerifTextWidth(std::string_view cp1251, double points, bool bold = false);

} // namespace arv
