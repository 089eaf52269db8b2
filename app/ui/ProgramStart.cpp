#include "ProgramStart.h"

#include "app/ui/OptionForm.h"
#include "app/ui/SmallWindowsUi.h"

#include "calc/files/Settings.h"
#include "calc/ui/DraughtWindowsUi.h"
#include "calc/ui/FormWordWindow.h"
#include "calc/ui/LibraryWindows.h"
#include "calc/ui/NasDlgWindow.h"
#include "calc/window/NasDlgModel.h"
#include "platform/IniFile.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/TextEditors.h"
#include "reports/OfficeExports.h"
#include "reports/ui/OtchetRE.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

namespace arv {

TProgramWindows::~TProgramWindows() {
    // Windows go in the reverse order of their creation; the drawing host
    // goes back to the plain one before the window behind it.
    DataWindowController().ShowAboutBox = nullptr;
    Form1.reset();
    InstallDrawingHost(nullptr);
    SetIDrawWin(nullptr);
    IDrawWinForm.reset();
    DrawWin.reset();
}

void InstallDesktopLook() {
    // The desktop's own theme wins; Adwaita fills in the names it lacks and
    // stands in where no desktop sets a theme at all (the platform plugin
    // then does not even search the system's icon folders).
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                        "icons", QStandardPaths::LocateDirectory))
        if (!paths.contains(dir)) paths << dir;
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName("Adwaita");
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName("Adwaita");
    static QTranslator qtTexts;
    if (qtTexts.isEmpty() && qtTexts.load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

void ShowMaximisedOverTheScreen(QWidget* window) {
    // Its normal size is the screen's available area before it is shown: a
    // window manager that maximises it late, or none that does, leaves no
    // window of its natural size (a plan area a few lines high) for the
    // drawing to be fitted to.
    if (QScreen* screen = window->screen()) window->setGeometry(screen->availableGeometry());
    window->showMaximized();
}

std::unique_ptr<TProgramWindows> StartProgram(const std::vector<std::string>& args) {
    auto p = std::make_unique<TProgramWindows>();
    TDataWindowController& controller = DataWindowController();
    // Before any window: every line edit's paste is guarded from the start.
    InstallPasteGuard();

    // The main drawing window: first, as the program's main window.
    p->DrawWin = std::make_unique<TIDrawWin>();
    p->DrawWin->SetDataWindow(&controller);
    SetIDrawWin(p->DrawWin.get());
    InstallDrawingHost(p->DrawWin.get());
    p->IDrawWinForm = std::make_unique<TIDrawWinForm>(*p->DrawWin);
    // Shown first, so that the drawing is fitted to the drawing area the
    // user will see.
    ShowMaximisedOverTheScreen(p->IDrawWinForm.get());
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
    // The data window's "О программе" shows the main window's about box
    // without blocking; the main window's own command shows it modally.
    controller.ShowAboutBox = [form = p->IDrawWinForm.get()] {
        ShowWindowRestored(*form->AboutBox());
    };

    p->IDrawWinForm->raise();
    p->DrawWin->FormActivate();
    p->IDrawWinForm->RedrawPlan();
    return p;
}

} // namespace arv
