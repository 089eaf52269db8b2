// The drawing file on any bytes. A drawing that loads is measured as Open
// measures it, saved, loaded and saved again: after that one round the bytes
// must not change. A refused file must leave the document as it was.
#include "document/Branch.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"
#include "platform/BinaryIo.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdlib>

using namespace arv;

namespace {

std::string Saved(TGCollFigure& doc, const std::string& net) {
    TBinaryWriter w;
    doc.SaveToStream(w, net);
    return w.Take();
}

void Reset() {
    fuzz::InstallQuietServices();
    ResetDrawingGlobals();
    WindowState() = TWindowState{};
    InstallWindowHost(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reset();
    TGCollFigure doc;
    std::string net;
    const std::string before = Saved(doc, "");
    if (doc.LoadFromStream(fuzz::AsText(data, size), &net) != 0) {
        if (Saved(doc, "") != before) std::abort(); // a refused file changes nothing
        return 0;
    }
    (void)doc.GetExtent(); // the area Open fits the view to, labels included
    const std::string once = Saved(doc, net);
    Reset();
    TGCollFigure again;
    std::string net2;
    if (again.LoadFromStream(once, &net2) != 0) std::abort();
    const std::string twice = Saved(again, net2);
    Reset();
    TGCollFigure third;
    std::string net3;
    if (third.LoadFromStream(twice, &net3) != 0) std::abort();
    if (Saved(third, net3) != twice) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    Reset();
    TGCollFigure doc;
    // Two straight branches and one of every other kind, as the tools add them.
    for (int32_t n = 1; n <= 2; ++n) {
        auto* line = static_cast<TGLine*>(doc.AddFigure(kKindLine));
        TBranchSetup s;
        s.number = n;
        s.name = "Штрек " + std::to_string(n);
        line->SetGeometry({100 * n, 100}, {100 * n + 300, 400}, s, kGeometryAll);
    }
    for (int32_t kind : {kKindPolyLine, kKindArc, kKindText, kKindPicture, kKindSymbol,
                         kKindRectangle, kKindEllipse, kKindPolygon, kKindALine}) {
        TGCustomFigure* f = doc.AddFigure(kind);
        f->x1 = 10;
        f->y1 = 20;
        f->x2 = 300;
        f->y2 = 200;
        f->box = {10, 200, 300, 20};
        f->text = "ф" + std::to_string(kind);
    }
    std::string full = Saved(doc, "A;Шахта;#D;1;2;#");
    TGCollFigure empty;
    return {full, Saved(empty, "")};
}
