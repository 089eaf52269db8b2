// Shared set-up of the document tests: every test starts from fresh drawing
// globals, a fresh window state and the built-in host.
#pragma once

#include "document/Branch.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"

#include <gtest/gtest.h>

namespace arv::test {

class DocTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }
    static void ResetAll() {
        ResetDrawingGlobals();
        WindowState() = TWindowState{};
        InstallWindowHost(nullptr);
    }
};

// A straight branch from a to b made the way the line tool makes it.
inline TGLine* AddLine(TGCollFigure& doc, TPoint a, TPoint b, int32_t number = -1) {
    auto* line = static_cast<TGLine*>(doc.AddFigure(kKindLine));
    TBranchSetup s;
    s.number = number;
    line->SetGeometry(a, b, s, kGeometryAll);
    return line;
}

// A view of 200 x 100 pixels at scale 1 with its top-left at world (0, 100).
inline void SetSimpleView(TGCollFigure& doc) {
    doc.clientWidth = 200;
    doc.clientHeight = 100;
    doc.scale = 1.0;
    doc.SetViewRect({0, 100, 200, 0});
}

} // namespace arv::test
