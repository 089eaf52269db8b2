// Takes the pictures of the user's guide from the program itself: starts the
// program offscreen on the sample drawing in a scratch program folder, opens
// its windows through their own commands and writes each window as a PNG.
//
//   arv_help_pictures <build bin folder> <picture folder>
#include "app/ui/ProgramStart.h"

#include "calc/window/DataWindowController.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Services.h"
#include "platform/qt/QtBitmap.h"
#include "platform/qt/QtServices.h"
#include "reports/ui/OtchetRE.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>

namespace fs = std::filesystem;
using namespace arv;

namespace {

QString outFolder;

// Questions are answered "yes" so that a command runs to its end; what was
// asked is written to the console.
class TYesMessages : public IMessageService {
public:
    int MessageBox(const TMessageRequest& request) override {
        std::fprintf(stderr, "message: %s\n", Cp1251ToUtf8(request.text).c_str());
        switch (request.buttons) {
        case TMsgButtons::YesNo:
        case TMsgButtons::YesNoCancel:
        case TMsgButtons::YesCancel:
        case TMsgButtons::YesCancelIgnore:
            return mrYes;
        default:
            return mrOk;
        }
    }
    // Input boxes get this text.
    bool InputQuery(std::string_view, std::string_view, std::string& value) override {
        value = input;
        return true;
    }
    std::string input;
};

void Save(QWidget* w, const char* name) {
    const QString file = outFolder + "/" + name;
    if (!w->grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

std::set<QWidget*> VisibleWindows() {
    std::set<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) out.insert(w);
    return out;
}

// Runs a command that opens a window, modal or not, and takes its picture;
// the window is closed afterwards.
void Shoot(const char* name, const std::function<void()>& open, QSize size = {}) {
    const std::set<QWidget*> before = VisibleWindows();
    bool done = false;
    auto take = [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown)
            for (QWidget* w : VisibleWindows())
                if (!before.count(w)) shown = w;
        if (shown) {
            if (size.isValid()) shown->resize(size);
            Settle();
            Save(shown, name);
            if (auto* d = qobject_cast<QDialog*>(shown))
                d->reject();
            else
                shown->hide();
        } else {
            std::fprintf(stderr, "no window for %s\n", name);
        }
        done = true;
    };
    QTimer::singleShot(300, take);
    open();
    while (!done) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    Settle();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: arv_help_pictures <bin folder> <picture folder>\n");
        return 2;
    }
    const fs::path bin = argv[1];
    outFolder = QString::fromLocal8Bit(argv[2]);
    const fs::path dir = fs::temp_directory_path() / "arv_help_pictures";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* f : {"SampleMine.grh", "rvVent.bib", "RvVU.bib"})
        if (fs::exists(bin / f)) fs::copy_file(bin / f, dir / f);
    fs::copy(bin / "IMG", dir / "IMG", fs::copy_options::recursive);
    SetProgramDir(dir.string() + "/");

    InstallDesktopLook();
    InstallQtServices();
    InstallQtBitmapCodec();
    auto p = StartProgram({(dir / "SampleMine.grh").string()});
    TIDrawWinForm& main = *p->IDrawWinForm;
    main.showNormal();
    main.resize(1280, 720);
    Settle();
    main.Action("ViewAll")->trigger();
    Settle();
    Save(&main, "main-window.png");

    // The data window after the natural distribution: the branch table.
    TForm1& data = *p->Form1;
    data.resize(1100, 600);
    data.show();
    DataWindowController().Rasc_ERClick();
    Settle();
    auto* pages = data.findChild<QTabWidget*>();
    for (auto [index, file] : {std::pair{0, "data-general.png"}, std::pair{1, "data-network.png"},
                               std::pair{2, "data-fans.png"}}) {
        if (pages) pages->setCurrentIndex(index);
        Settle();
        Save(&data, file);
    }
    if (pages) pages->setCurrentIndex(1);

    // The plan after the natural distribution run from the main window, with
    // the property panel of a branch.
    main.Action("Zad_ER")->trigger();
    main.Action("Prop")->trigger();
    Settle();
    main.Action("Next")->trigger();
    Settle();
    Save(&main, "main-results.png");

    // The menu of a branch's end node, in which a node becomes a surface
    // node: branch 12 ends at the surface node 12. The menu is a window of
    // its own, drawn over the main window's picture.
    {
        TYesMessages yes;
        InstallMessageService(&yes);
        yes.input = "12";
        main.Action("NBrnSearch")->trigger();
        Settle();
        InstallQtServices();
    }
    QTimer::singleShot(300, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu) {
            std::fprintf(stderr, "no menu for properties-node.png\n");
            return;
        }
        QPixmap shot = main.grab();
        const QPoint at = main.mapFromGlobal(menu->mapToGlobal(QPoint(0, 0)));
        QPainter painter(&shot);
        painter.drawPixmap(at, menu->grab());
        painter.end();
        // The left panel with the menu.
        const QWidget* panel = main.findChild<QWidget*>("Panel2");
        const int right =
            std::max(panel ? panel->geometry().right() + 1 : 0, at.x() + menu->width());
        const QRect part(0, 0, right + 8, at.y() + menu->height() + 40);
        shot.copy(part).save(outFolder + "/properties-node.png");
        menu->close();
    });
    p->DrawWin->GridPropFixedCellClick(0, 5);
    Settle();
    main.Action("ViewAll")->trigger();
    main.Action("Prop")->trigger();

    Shoot("fan-library.png", [&] { data.Action("Dan_BiblVen")->trigger(); });
    Shoot("device-library.png", [&] { data.Action("Dan_BiblVU")->trigger(); });
    Shoot("settings.png", [&] { data.Action("Nastr")->trigger(); });
    Shoot(
        "report-editor.png",
        [&] {
            data.Action("Otch")->trigger();
            if (auto* editor = dynamic_cast<TFOtchetRE*>(&ReportEditorHost())) {
                editor->SostStatClick();
                editor->SostVenClick();
            }
        },
        QSize(900, 560));
    Shoot("options.png", [&] { main.Action("Moptions")->trigger(); });
    Shoot("print.png", [&] { main.Action("Print1")->trigger(); });
    Shoot("printer-setup.png", [&] { main.Action("PrintSetup1")->trigger(); });
    // A fire in a working of the sample, so that the route windows build
    // routes: the thermal depression of the fire is given in its row.
    {
        TYesMessages yes;
        InstallMessageService(&yes);
        TNetworkTables& t = DataWindowController().Tables();
        const int row = 4;
        if (t.TablDan.Cells(18, row).empty()) t.TablDan.SetCells(18, row, "5,00");
        yes.input = t.TablDan.Cells(0, row);
        main.Action("NBrnSearch")->trigger();
        main.Action("Zad_Pojar")->trigger();
        Settle();
        InstallQtServices();
    }
    Shoot("routes-miners.png", [&] { main.Action("WayWorker")->trigger(); });
    data.hide();

    p.reset();
    fs::remove_all(dir);
    return 0;
}
