// The drawing window's controller over a data window controller of its own,
// in a fresh program folder, with scripted messages and file dialogs and a
// recording view.
#pragma once

#include "app/DrawWin.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

namespace arv::test {

class TRecordingDrawView : public IDrawWinView {
public:
    int redraws = 0, closes = 0, shows = 0;
    std::vector<std::pair<int, int>> rendered;
    std::deque<std::optional<std::string>> bookmarkNames;
    std::deque<int> deletions;
    void RedrawPlan() override { ++redraws; }
    bool RenderPlanImage(int width, int height, TBitmap32& out) override {
        rendered.emplace_back(width, height);
        // A black mark in the middle tells the picture was painted here.
        out.SetPixel(width / 2, height / 2, 0xFF000000u);
        return true;
    }
    bool AskBookmarkName(std::string& name) override {
        if (bookmarkNames.empty()) return false;
        auto a = bookmarkNames.front();
        bookmarkNames.pop_front();
        if (!a) return false;
        name = *a;
        return true;
    }
    int ChooseBookmarkToDelete(const std::vector<std::string>&) override {
        if (deletions.empty()) return -1;
        int d = deletions.front();
        deletions.pop_front();
        return d;
    }
    void CloseWindow() override { ++closes; }
    void ShowWindow() override { ++shows; }
};

struct DrawWinTest : ::testing::Test {
    std::filesystem::path dir = MakeTestFolder();
    std::string savedDir = ProgramDir();
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    TCalcContext calc;
    TNetworkTables t{calc};
    TNasDlgModel nasDlg;
    TDataWindowController data{t, calc, nasDlg};
    TRecordingDrawView view;
    std::unique_ptr<TIDrawWin> w;

    DrawWinTest() {
        SetProgramDir(dir.string());
        ResetDrawingGlobals();
        w = std::make_unique<TIDrawWin>();
        w->SetView(&view);
        w->SetDataWindow(&data);
        InstallDrawingHost(w.get());
        w->PaintWidth = 800;
        w->PaintHeight = 600;
    }
    ~DrawWinTest() override {
        InstallDrawingHost(nullptr);
        w.reset();
        SetProgramDir(savedDir);
    }
    std::string File(const std::string& name) const { return (dir / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        EXPECT_TRUE(WriteFileAtomic(File(name), bytes));
        return File(name);
    }
    static std::string Read(const std::string& name) { return FileBytes(name); }
    // Start-up as the program does it: drawing window, then data window.
    void Start(const std::vector<std::string>& args = {}) {
        w->FormCreate(args);
        data.FormCreate();
    }
    // A branch from p to q with the given number and end nodes.
    TGLine* AddBranch(TPoint p, TPoint q, int number, int from, int to) {
        auto* line = static_cast<TGLine*>(w->Doc().AddFigure(kKindLine));
        TBranchSetup s;
        s.beginNode = from;
        s.endNode = to;
        s.number = number;
        line->SetGeometry(p, q, s, kGeometryAll);
        return line;
    }
    // Three branches in a row: 1 -(1)- 2 -(2)- 3 -(3)- 4 along the x axis.
    void ThreeBranches() {
        AddBranch({0, 0}, {100, 0}, 1, 1, 2);
        AddBranch({100, 0}, {200, 0}, 2, 2, 3);
        AddBranch({200, 0}, {300, 50}, 3, 3, 4);
        w->Doc().BuildVisibleList();
    }
};

} // namespace arv::test
