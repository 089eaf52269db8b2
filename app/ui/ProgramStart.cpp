#include "ProgramStart.h"

#include "app/StartFile.h"
#include "calc/ui/DraughtWindowsUi.h"
#include "calc/ui/NasDlgWindow.h"
#include "reports/OfficeExports.h"
#include "reports/ui/OtchetRE.h"
#include "calc/window/NasDlgModel.h"

#include "platform/Services.h"

namespace arv {

std::unique_ptr<TForm1> StartProgram(const std::vector<std::string>& args) {
    TStartFile start = ChooseStartFile(args);
    DrawingHost().SetCurrentFileName(start.DrawingFileName);
    TDataWindowController& controller = DataWindowController();
    InstallOfficeExports();
    // The data window parses it at start-up, as it does a drawing's.
    controller.CalcContext().NetworkDataText = start.NetworkDataText;
    auto form1 = std::make_unique<TForm1>(controller);
    auto* nasDlg = new TNasDlg(NasDlg(), controller.CalcContext().CalcOptions, controller.Tables(),
                               controller.WindowSettings(), form1.get());
    form1->SetSettingsDialog(nasDlg);
    CreateDraughtWindows(form1.get());
    CreateReportEditor(controller, form1.get());
    form1->show();
    if (!start.Message.empty())
        MessageBox(start.Message, "", TMsgButtons::Ok, TMsgIcon::Information);
    return form1;
}

} // namespace arv
