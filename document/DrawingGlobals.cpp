#include "document/DrawingGlobals.h"

namespace arv {

TDrawingGlobals& DrawingGlobals() {
    static TDrawingGlobals globals;
    return globals;
}

void ResetDrawingGlobals() {
    DrawingGlobals() = TDrawingGlobals{};
}

const TSchemeRecord& CurrentSchemeRecord() {
    const auto& g = DrawingGlobals();
    int k = g.SchemeKind >= 0 && g.SchemeKind < kSchemeCount ? g.SchemeKind : 0;
    return g.SchemeViewFlags[k];
}

} // namespace arv
