// A program folder of a test's own: the program's pictures and the sample
// drawing copied into a fresh folder, which is the program folder until the
// test ends. Declare it before the program windows, so that they close
// before the program folder is put back.
#pragma once

#include "app/ui/DrawWinForm.h"
#include "app/ui/ProgramStart.h"
#include "calc/engine/FireAnalysis.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/WindowHost.h"
#include "platform/Files.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"
#include "reports/ui/OtchetRE.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace arv::test {

class TSampleProgramFolder {
public:
    TSampleProgramFolder() : dir(MakeTestFolder()), saved_(ProgramDir()) {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        SetProgramDir(dir.string());
    }
    ~TSampleProgramFolder() { SetProgramDir(saved_); }
    TSampleProgramFolder(const TSampleProgramFolder&) = delete;
    TSampleProgramFolder& operator=(const TSampleProgramFolder&) = delete;

    std::string File(const std::string& name) const { return (dir / name).string(); }

    const std::filesystem::path dir;

private:
    const std::string saved_;
};

// The program started on the folder's sample drawing (or another), in a
// normal window of the given size, with nothing edited: the data window
// outlives the program of the test before.
inline std::unique_ptr<TProgramWindows>
StartOnSample(const TSampleProgramFolder& folder, int width, int height,
              const std::string& drawing = "SampleMine.grh") {
    auto p = StartProgram({folder.File(drawing)});
    p->IDrawWinForm->showNormal();
    p->IDrawWinForm->resize(width, height);
    QApplication::processEvents();
    DataWindowController().ClearModified();
    return p;
}

// The real program over a sample program folder, with scripted messages and
// file dialogs. The program, once started, closes first.
struct SampleProgramTest : ::testing::Test {
    TSampleProgramFolder folder;
    const std::filesystem::path& dir = folder.dir;
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    std::unique_ptr<TProgramWindows> p;

    ~SampleProgramTest() override {
        p.reset();
        WindowState() = TWindowState{};
    }
    std::string File(const std::string& name) const { return folder.File(name); }
    static std::string Bytes(const std::string& name) { return FileBytes(name); }
    // The program on a drawing of the folder in a window of 1000 x 700 (or
    // the size given), the plan fitted.
    void Start(const std::string& drawing = "SampleMine.grh", int width = 1000, int height = 700) {
        p.reset();
        p = StartOnSample(folder, width, height, drawing);
        W().ViewAllClick();
    }
    TIDrawWin& W() { return *p->DrawWin; }
    TNetworkTables& Tables() { return DataWindowController().Tables(); }
    TFOtchetRE& Report() { return dynamic_cast<TFOtchetRE&>(ReportEditorHost()); }
    QAction* Action(const char* name) { return p->IDrawWinForm->Action(name); }
    // A command of the main window as a click runs it, with the work it queued.
    void Trigger(const char* name) {
        Action(name)->trigger();
        QApplication::processEvents();
    }
    // A command of the data window, as its menu runs it.
    void DataCommand(const char* name) {
        QAction* a = p->Form1->Action(name);
        ASSERT_TRUE(a) << name;
        a->trigger();
        QApplication::processEvents();
    }
    void Open(const std::string& name) {
        dialogs.Answer(File(name), 1);
        Trigger("Open1");
    }
    std::string Title() { return FromQString(p->IDrawWinForm->windowTitle()); }
};

// Two nodes of the plan that no branch joins yet, by index; -1 where there
// are none.
inline std::pair<int32_t, int32_t> UnjoinedNodes(TGCollFigure& doc) {
    int32_t a = -1, b = -1;
    for (int32_t i = 0; i < doc.nodes.Count() && b < 0; ++i)
        for (int32_t j = i + 1; j < doc.nodes.Count() && b < 0; ++j) {
            bool joined = false;
            for (int32_t f = 0; f < doc.Count(); ++f)
                if (TGBranch* br = doc.BranchAt(f))
                    joined |= (br->beginIndex == i && br->endIndex == j) ||
                              (br->beginIndex == j && br->endIndex == i);
            if (!joined) a = i, b = j;
        }
    return {a, b};
}

// What a fire task in branch 3 of the sample leaves behind: the fire
// analysis run (its question answered "Да") and the plan in fire mode.
// Messages after it may come in any number.
inline bool LeaveFireInBranch3(TScriptedMessages& messages) {
    TNetworkTables& t = DataWindowController().Tables();
    t.TablDan.SetCurrent(0, 4);
    t.TablDan.SetCells(18, 4, "5");
    messages.Expect(mrYes);
    messages.AllowAny();
    if (!Rasc_PogClick(t, DataWindowController().CalcContext())) return false;
    WindowState().EmergencyMode = 3;
    WindowState().EmergencyBranch = 3;
    return true;
}

} // namespace arv::test
