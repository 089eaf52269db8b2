// The main window's commands between the plan and the network tables, and the
// log list that the scheme check fills.
#include "app/ui/DrawWinForm.h"
#include "calc/ui/FocusWindowKind.h"

#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWindow>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

void TIDrawWinForm::BuildCalcLink() {
    QMenu* calc = menuBar()->addMenu(U("Расчет"));
    calc->setObjectName("MCalcLink");
    AddAction(calc, "MGenDan", "Генерация расчетных данных", [this] { w_.MGenDanClick(); });
    AddAction(calc, "MEQ", "Проверка соответствия схемы и расчета", [this] { w_.MEQClick(); });
    calc->addSeparator();
    AddAction(calc, "AddExt", "Добавить новую ветвь в таблицу расчета",
              [this] { w_.AddExtClick(); });
    AddAction(calc, "FromExt", "Копировать нименования из таблицы", [this] { w_.FromExtClick(); });

    // The page "Лог" of the left panel (BuildPropPanel takes it).
    logger_ = new QListWidget(this);
    logger_->setObjectName("Logger");
    logger_->hide();
    connect(logger_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Run([this, item] {
            w_.LoggerItemIndex = logger_->row(item);
            w_.LoggerDblClick();
        });
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* window) { FocusWindowChanged(window); });
    // The controller may outlive the form.
    w_.LoggerChanged = [form = QPointer<TIDrawWinForm>(this)] {
        if (form) form->RefreshLogger();
    };
}

void TIDrawWinForm::FocusWindowChanged(QWindow* window) {
    using K = TActivationTracker;
    const K::TWindowKind kind = FocusWindowKind(window, *this);
    bool activate = activation_.FocusMovedTo(kind);
    // The first activation after start-up counts too.
    if (kind == K::ThisWindow && created_ && !activatedOnce_) {
        activatedOnce_ = true;
        activate = true;
    }
    if (activate && created_) Run([this] { w_.FormActivate(); });
}

void TIDrawWinForm::RefreshLogger() {
    logger_->clear();
    for (const std::string& line : w_.Logger) {
        auto* item = new QListWidgetItem(ToQString(line), logger_);
        const int32_t c = TIDrawWin::LoggerLineColour(line);
        if (c >= 0) item->setForeground(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    SyncPanel2();
}

} // namespace arv
