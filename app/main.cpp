// Arvalen: the main drawing window over the drawing named on the command line
// (or the last one), with the network data window beside it.
#include "app/ui/ProgramStart.h"

#include "calc/ui/FDialog1Window.h"
#include "platform/Cp1251.h"
#include "platform/Services.h"
#include "platform/qt/QtBitmap.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    arv::InstallDesktopLook();
    arv::InstallQtServices();
    // Pictures of the libraries, the plan and the photos are read through it.
    arv::InstallQtBitmapCodec();
    arv::TQtFieldDialog fieldDialog;
    arv::InstallFieldDialog(&fieldDialog);
    arv::SetApplicationTitle(arv::Ru("Схема вентиляции"));
    QApplication::setApplicationName(QString::fromUtf8("Схема вентиляции"));

    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1)) args.push_back(arv::FromQString(a));
    auto windows = arv::StartProgram(args);
    int rc = QApplication::exec();
    windows.reset();
    arv::InstallFieldDialog(nullptr);
    return rc;
}
