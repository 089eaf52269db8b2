#include "ProgramStart.h"

#include "app/ui/OptionForm.h"

#include "calc/files/Settings.h"
#include "calc/ui/DraughtWindowsUi.h"
#include "calc/ui/FormWordWindow.h"
#include "calc/ui/LibraryWindows.h"
#include "calc/ui/NasDlgWindow.h"
#include "calc/window/NasDlgModel.h"
#include "platform/IniFile.h"
#include "reports/OfficeExports.h"
#include "reports/ui/OtchetRE.h"

#include <QApplication>

namespace arv {

TProgramWindows::~TProgramWindows() {
    // Windows go in the reverse order of their creation; the drawing host
    // goes back to the plain one before the window behind it.
    Form1.reset();
    InstallDrawingHost(nullptr);
    SetIDrawWin(nullptr);
    IDrawWinForm.reset();
    DrawWin.reset();
}

std::unique_ptr<TProgramWindows> StartProgram(const std::vector<std::string>& args) {
    auto p = std::make_unique<TProgramWindows>();
    TDataWindowController& controller = DataWindowController();

    // The main drawing window: first, as the program's main window.
    p->DrawWin = std::make_unique<TIDrawWin>();
    p->DrawWin->SetDataWindow(&controller);
    SetIDrawWin(p->DrawWin.get());
    InstallDrawingHost(p->DrawWin.get());
    p->IDrawWinForm = std::make_unique<TIDrawWinForm>(*p->DrawWin);
    // Shown first, so that the drawing is fitted to the drawing area the
    // user will see.
    p->IDrawWinForm->showMaximized();
    QApplication::processEvents();
    p->IDrawWinForm->FormCreate(args);

    // The network data window parses the drawing's data text at its start.
    const bool placed = TIniFile(SettingsFileName()).SectionExists("Form1");
    p->Form1 = std::make_unique<TForm1>(controller);
    auto* nasDlg = new TNasDlg(NasDlg(), controller.CalcContext().CalcOptions, controller.Tables(),
                               controller.WindowSettings(), p->Form1.get());
    p->Form1->SetSettingsDialog(nasDlg);
    // Without a stored place the window opens at a size that shows its tables.
    if (!placed) p->Form1->resize(1100, 720);

    // Windows created after the main and data windows, in start-up order.
    CreateLibraryWindows(p->Form1.get());
    CreateDraughtWindows(p->Form1.get());
    CreateReportEditor(controller, p->Form1.get());
    CreateStabilityWindows(p->Form1.get());
    new TOptionForm(p->DrawWin->Option(), p->IDrawWinForm.get());
    InstallOfficeExports();

    p->IDrawWinForm->raise();
    p->DrawWin->FormActivate();
    p->IDrawWinForm->RedrawPlan();
    return p;
}

} // namespace arv
