// Arvalen: until the main drawing window exists, the program is the network
// data window over the data set named on the command line or the sample.
#include "app/ui/ProgramStart.h"

#include "calc/ui/FDialog1Window.h"
#include "platform/Cp1251.h"
#include "platform/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    arv::InstallQtServices();
    arv::TQtFieldDialog fieldDialog;
    arv::InstallFieldDialog(&fieldDialog);
    arv::SetApplicationTitle(arv::Ru("Схема вентиляции"));

    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1)) args.push_back(arv::FromQString(a));
    auto form1 = arv::StartProgram(args);
    int rc = QApplication::exec();
    arv::InstallFieldDialog(nullptr);
    return rc;
}
