// The main window's view toggles, scheme views and the options command.
#include "app/ui/DrawWinForm.h"

#include "document/Constants.h"
#include "document/WindowHost.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace arv {

void TIDrawWinForm::BuildViewToggles(QMenu* view) {
    AddAction(
        view, "VGrid", "Сетка", [this] { w_.VGridClick(); }, true);
    QMenu* numbers = view->addMenu(QString::fromUtf8("Нумерация"));
    AddAction(
        numbers, "MNumBr", "Ветвей", [this] { w_.MNumBrClick(); }, true);
    AddAction(
        numbers, "MNumNd", "Узлов", [this] { w_.MNumNdClick(); }, true);
    AddAction(
        view, "MNameBr", "Наименования", [this] { w_.MNameBrClick(); }, true);
}

void TIDrawWinForm::BuildSchemeMenus() {
    QMenu* schemes = menuBar()->addMenu(QString::fromUtf8("Схема"));
    const std::function<void()> clicks[5] = {
        [this] { w_.MsxRaschClick(); }, [this] { w_.MsxVentClick(); }, [this] { w_.MsxPLAClick(); },
        [this] { w_.MsxPPogClick(); }, [this] { w_.MsxN4Click(); }};
    for (int i = 0; i < 5; ++i)
        AddAction(schemes, kSchemeMenuItems[i], "", clicks[i], true)
            ->setText(ToQString(SchemeKindNames()[i]));
    schemes->addSeparator();
    AddAction(
        schemes, "MsxAll", "Показать все объекты", [this] { w_.MsxAllClick(); }, true);
    schemes->addSeparator();
    AddAction(schemes, "Moptions", "Настройка", [this] { w_.MoptionsClick(); });
}

void TIDrawWinForm::RefreshSchemeChecks() {
    CheckAction("VGrid", w_.VGrid);
    CheckAction("MNumBr", w_.MNumBr);
    CheckAction("MNumNd", w_.MNumNd);
    CheckAction("MNameBr", w_.MNameBr);
    for (int i = 0; i < 5; ++i) CheckAction(kSchemeMenuItems[i], w_.SchemeChecked(i));
    CheckAction("MsxAll", WindowState().MsxAll);
}

} // namespace arv
