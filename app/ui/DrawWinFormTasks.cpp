// The menus "Задачи" and "Сервис", the result displays of "Вид" and the tool
// buttons of the task and service commands.
#include "app/ui/DrawWinForm.h"

#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <functional>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

void TIDrawWinForm::BuildTaskMenus(QMenu* view) {
    view->addSeparator();
    AddAction(
        view, "MQData", "Расходы воздуха", [this] { w_.qoutExecute(); }, true);
    AddAction(
        view, "MArrowQ", "Направление движения воздуха", [this] { w_.MArrowQClick(); }, true);
    AddAction(
        view, "MDAVL", "Давление в узлах", [this] { w_.MDAVLClick(); }, true);
    AddAction(
        view, "MPrData", "Расчетные данные", [this] { w_.MPrDataClick(); }, true);
    AddAction(
        view, "MOrientBr", "Направления ветвей", [this] { w_.MOrientBrClick(); }, true);

    QMenu* tasks = menuBar()->addMenu(U("Задачи"));
    tasks->setObjectName("Zadachi");
    // A task's calculation may bring up the data window and its dialogs;
    // the plan, where the result is drawn, ends in front.
    auto task = [this](std::function<bool()> run) {
        return [this, run] {
            run();
            ShowWindow();
        };
    };
    AddAction(tasks, "Zad_ER", "Нормальное воздухораспределение",
              task([this] { return w_.Zad_ERClick(); }));
    AddAction(tasks, "Zad_OtkazVU", "Отказ вентиляционного устройства",
              task([this] { return w_.Zad_OtkazVUClick(); }));
    AddAction(tasks, "Zad_Pojar", "Пожар в выработке",
              task([this] { return w_.Zad_PojarClick(); }));
    tasks->addSeparator();
    AddAction(
        tasks, "OpVetvi", "Опрокинутые ветви", [this] { w_.OpVetviClick(); }, true);
    AddAction(
        tasks, "FireVetvi", "Распространение пожара", [this] { w_.FireVetviClick(); }, true);
    AddAction(tasks, "NormVozd", "Нормальное распределение", [this] { w_.NormVozdClick(); });

    QMenu* service = menuBar()->addMenu(U("Сервис"));
    service->setObjectName("Servis");
    AddAction(service, "MRotateBr", "Перевернуть ветвь", [this] { w_.MRotateBrClick(); });
    AddAction(service, "MResteNBr", "Сбросить номер ветви", [this] { w_.MResteNBrClick(); });
    AddAction(service, "MResetNENd", "Сбросить номера узлов", [this] { w_.MResetNENdClick(); });
    AddAction(service, "MResetBranch", "Установить параметры ветви по умолчанию",
              [this] { w_.MResetBranchClick(); });
    AddAction(service, "MResetBranchAll", "Установить параметры всех ветвей по умолчанию",
              [this] { w_.MResetBranchAllClick(); });
    service->addSeparator();
    AddAction(service, "NBrnSearch", "Найти ветвь", [this] {
        w_.NBrnSearchClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    AddAction(service, "NNodeSearch", "Найти узел", [this] {
        w_.NNodeSearchClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    AddAction(service, "NPlaSearch", "Найти позицию ПЛА", [this] {
        w_.NPlaSearchClick();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    service->addSeparator();
    AddAction(service, "ChangeScale", "Уменьшение координат в 2х раза",
              [this] { w_.ChangeScaleClick(); });
    service->addSeparator();
    AddAction(service, "MContHelp", "Справка по программе", [this] { w_.MContHelpClick(); });

    // The plan picture goes to the clipboard and what the clipboard holds
    // comes back as the picture.
    w_.CopyPlanToClipboard = [this] {
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->setImage(plan_);
        const QImage back = clipboard->image();
        if (!back.isNull()) plan_ = back.convertToFormat(QImage::Format_RGB32);
    };
    // Until the property panel reports it, the current branch follows the
    // document's selection.
    auto previous = w_.Doc().OnChange;
    w_.Doc().OnChange = [this, previous] {
        if (previous) previous();
        w_.NoteCurrentBranch();
    };
}

void TIDrawWinForm::BuildTaskToolButtons(QToolBar* bar) {
    struct TButton {
        const char* name;
        const char* caption;
        const char* hint;
        void (TIDrawWin::*click)();
    };
    const TButton buttons[] = {
        {"BPla", "ПЛА", "Просмотр позиции ПЛА", &TIDrawWin::BPlaClick},
        {"ToolButtonImage", "Фото", "Вывод картинки выделенного объекта",
         &TIDrawWin::ToolButtonImageClick},
        {"ToolButtonClBrd", "Буфер", "Копировать схему в буфер", &TIDrawWin::ToolButtonClBrdClick},
        {"ToolButtonNavigator", "Обзор", "Обзор", &TIDrawWin::ToolButtonNavigatorClick},
        {"TBAddBase", "В базу", "Добавить в базу", &TIDrawWin::TBAddBaseClick},
        {"TBZamSt", "Замеры", "Замеры", &TIDrawWin::TBZamStClick},
    };
    // The natural distribution beside the data window's button: the task of
    // the menu "Задачи", with the menu item's text as its hint.
    if (QAction* task = Action("Zad_ER")) {
        QAction* ext = bar->addAction(task->text());
        ext->setObjectName("ExtCalc");
        ext->setToolTip(task->text());
        connect(ext, &QAction::triggered, task, &QAction::trigger);
        actions_["ExtCalc"] = ext;
    }
    bar->addSeparator();
    for (const TButton& b : buttons) {
        QAction* a = bar->addAction(U(b.caption));
        a->setObjectName(b.name);
        a->setToolTip(U(b.hint));
        const std::function<void()> click = std::bind(b.click, &w_);
        connect(a, &QAction::triggered, this, [this, click] { Run(click); });
        actions_[b.name] = a;
    }
    if (QAction* a = Action("GenButton")) a->setToolTip(U("Окно расчетных данных"));
}

void TIDrawWinForm::RefreshTaskTexts() {
    CheckAction("MQData", w_.MQData);
    CheckAction("MArrowQ", w_.MArrowQ);
    CheckAction("MDAVL", w_.MDAVL);
    CheckAction("MPrData", w_.MPrData);
    CheckAction("MOrientBr", w_.MOrientBr);
    CheckAction("OpVetvi", WindowState().OpVetvi);
    CheckAction("FireVetvi", WindowState().FireVetvi);
    EnableAction("MOrientBr", w_.MOrientBrEnabled);
    const int c = w_.PanelSost == w_.TaskPanelText ? w_.PanelSostColour : 0;
    panelSost_->setStyleSheet(
        QString("color: rgb(%1,%2,%3)").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF));
}

} // namespace arv
