// A program folder of a test's own: the program's pictures and the sample
// drawing copied into a fresh folder, which is the program folder until the
// test ends. Declare it before the program windows, so that they close
// before the program folder is put back.
#pragma once

#include "app/ui/DrawWinForm.h"
#include "app/ui/ProgramStart.h"
#include "calc/engine/FireAnalysis.h"
#include "calc/window/DataWindowController.h"
#include "document/WindowHost.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QApplication>

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

// The program started on the folder's sample drawing, in a normal window of
// the given size.
inline std::unique_ptr<TProgramWindows> StartOnSample(const TSampleProgramFolder& folder, int width,
                                                      int height) {
    auto p = StartProgram({folder.File("SampleMine.grh")});
    p->IDrawWinForm->showNormal();
    p->IDrawWinForm->resize(width, height);
    QApplication::processEvents();
    return p;
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
