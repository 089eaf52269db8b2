#include "routes/ui/RouteFormWindow.h"

#include "platform/Services.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <limits>
#include <optional>

namespace arv::routes {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QPointer<TRouteFormWindow> gOpenWindow;

} // namespace

// An owned tool window of the main window: desktops keep it above its owner,
// as the user works between its table and the route tool bar of the main
// window.
TRouteFormWindow::TRouteFormWindow(TRouteWindows& controller, TRouteForm& form, QWidget* owner)
    : QWidget(owner, Qt::Tool), w_(controller), form_(form) {
    setObjectName(form.Name());
    setWindowTitle(ToQString(form.Caption()));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* top = new QWidget;
    top->setObjectName("Panel1");
    auto* topLayout = new QHBoxLayout(top);
    textMain_ = new QLabel;
    textMain_->setObjectName("TextMain");
    QFont bold = textMain_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 1);
    textMain_->setFont(bold);
    textMain_->setStyleSheet("color: rgb(255, 0, 0);");
    topLayout->addWidget(textMain_);

    pages_ = new QTabWidget;
    pages_->setObjectName("PageWay");
    auto* routesPage = new QWidget;
    auto* routesLayout = new QVBoxLayout(routesPage);
    routesLayout->setContentsMargins(2, 2, 2, 2);
    grid_ = new TGridView(form.InfoWayPeople);
    grid_->setObjectName("InfoWayPeople");
    routesLayout->addWidget(grid_);
    pages_->addTab(routesPage, U("Маршруты"));
    // The choices scroll when the window is small, as the table does.
    auto* settings = new QScrollArea;
    settings->setFrameShape(QFrame::NoFrame);
    settings->setWidgetResizable(true);
    settings->setWidget(BuildSettingsPage());
    pages_->addTab(settings, U(form.Kind() == RouteFormPeople ? "Настройки" : "Параметры"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(top);
    layout->addWidget(pages_, 1);

    // The drop-down lies over a cell of the table, hidden until a cell asks.
    combo_ = new QComboBox(grid_->viewport());
    combo_->setObjectName("ComboBox1");
    combo_->hide();
    combo_->installEventFilter(this);
    connect(combo_, &QComboBox::activated, this,
            [this](int index) { RunCommandSafely([this, index] { w_.ComboBox1Change(index); }); });
    // A press on the current cell selects it again, as the table's own
    // selection handler expects.
    connect(grid_, &QAbstractItemView::pressed, this, [this](const QModelIndex& index) {
        const TGridCoord c = grid_->ToGrid(index);
        if (c.X == form_.InfoWayPeople.Col() && c.Y == form_.InfoWayPeople.Row())
            RunCommandSafely([this, c] { w_.InfoWayPeopleSelectCell(c.X, c.Y); });
    });

    // Every fill of the table (stored routes loaded, a route built, a branch
    // picked, a cell typed) and every change of its width sizes the columns
    // anew; the widths kept in the settings file are only a start.
    QAbstractItemModel* cells = grid_->model();
    connect(cells, &QAbstractItemModel::modelReset, this, &TRouteFormWindow::FitColumns);
    connect(cells, &QAbstractItemModel::dataChanged, this, &TRouteFormWindow::FitColumns);
    connect(cells, &QAbstractItemModel::headerDataChanged, this, &TRouteFormWindow::FitColumns);
    grid_->viewport()->installEventFilter(this);

    resize(form.Width, form.Height);
    gOpenWindow = this;
    Refresh();
}

TRouteFormWindow::~TRouteFormWindow() = default;

QButtonGroup* TRouteFormWindow::RadioGroup(QWidget* box, const std::vector<const char*>& items,
                                           int checked) {
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (size_t i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(U(items[i]));
        group->addButton(b, static_cast<int>(i));
        layout->addWidget(b);
        if (static_cast<int>(i) == checked) b->setChecked(true);
    }
    return group;
}

QWidget* TRouteFormWindow::BuildSettingsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    if (form_.Kind() == RouteFormSaver) {
        auto* atmosphere = new QGroupBox(U(" Атмосфера "));
        atmosphere->setObjectName("RGAtmosohera");
        atmosphere_ = RadioGroup(atmosphere, {"непригодная для дыхания", "пригодная для дыхания"},
                                 form_.RGAtmosohera);
        connect(atmosphere_, &QButtonGroup::idClicked, this,
                [this](int id) { RunCommandSafely([this, id] { w_.RGAtmosoheraClick(id); }); });
        layout->addWidget(atmosphere);
        auto* work = new QGroupBox(U(" Работы "));
        work->setObjectName("RGWork");
        workBox_ = work;
        work_ = RadioGroup(work, {"разведка", "ликвидация аварии", "транспортировка пострадавшего"},
                           form_.RGWork);
        connect(work_, &QButtonGroup::idClicked, this,
                [this](int id) { RunCommandSafely([this, id] { w_.RGWorkClick(id); }); });
        layout->addWidget(work);
        auto* smoke = new QGroupBox(U(" Задымленность "));
        smoke->setObjectName("RGSmoke");
        smoke_ = RadioGroup(smoke, {"полная видимость", "сильная задымленность"}, form_.RGSmoke);
        connect(smoke_, &QButtonGroup::idClicked, this, [this](int id) { form_.RGSmoke = id; });
        layout->addWidget(smoke);
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(U("Время действия самоспасателя, минут")));
        selfRescuer_ = new QLineEdit(ToQString(form_.SelfRescuerMinutes));
        selfRescuer_->setObjectName("MaskEdit1");
        selfRescuer_->setInputMask("999;_");
        selfRescuer_->setMaximumWidth(60);
        connect(selfRescuer_, &QLineEdit::textEdited, this,
                [this](const QString& t) { form_.SelfRescuerMinutes = FromQString(t.trimmed()); });
        row->addWidget(selfRescuer_);
        row->addStretch(1);
        layout->addLayout(row);
    }
    auto* graph = new QGroupBox(U("Брать в качестве весов ветви"));
    graph->setObjectName("TypeWayGraph");
    typeWayGraph_ =
        RadioGroup(graph, {"время проходжения людей по ветви", "длину ветви"}, form_.TypeWayGraph);
    connect(typeWayGraph_, &QButtonGroup::idClicked, this,
            [this](int id) { RunCommandSafely([this, id] { w_.TypeWayGraphClick(id); }); });
    layout->addWidget(graph);
    layout->addStretch(1);
    return page;
}

void TRouteFormWindow::Refresh() {
    if (detached_) return;
    refreshing_ = true;
    textMain_->setText(ToQString(form_.TextMain));
    if (workBox_) workBox_->setEnabled(form_.RGWorkEnabled);
    const TRouteComboBox& cb = form_.ComboBox1;
    if (cb.Visible) {
        {
            QSignalBlocker block(combo_);
            combo_->clear();
            for (const std::string& item : cb.Items) combo_->addItem(ToQString(item));
            combo_->setCurrentIndex(cb.ItemIndex);
        }
        combo_->setGeometry(grid_->visualRect(grid_->FromGrid(cb.Col, cb.Row)));
        combo_->show();
        combo_->setFocus();
    } else if (combo_->isVisible()) {
        combo_->hide();
    }
    refreshing_ = false;
}

namespace {

// Widths of columns wanting `wanted` pixels within `room`: each as wide as
// its contents; where they do not all fit, the widest give way first, down
// to a common width. The route column keeps at least its contents or a third
// of the room, whichever is less, and takes whatever is left.
std::vector<int> FitRouteColumns(const std::vector<int>& wanted, size_t routeCol, int room) {
    constexpr int kNarrowest = 24;
    const int route = std::max(kNarrowest, std::min(wanted[routeCol], room / 3));
    std::vector<int> others;
    for (size_t c = 0; c < wanted.size(); ++c)
        if (c != routeCol) others.push_back(wanted[c]);
    std::sort(others.begin(), others.end());
    int left = room - route;
    int cap = std::numeric_limits<int>::max();
    for (size_t i = 0; i < others.size(); ++i) {
        const int share = left / static_cast<int>(others.size() - i);
        if (others[i] > share) {
            cap = std::max(kNarrowest, share);
            break;
        }
        left -= others[i];
    }
    std::vector<int> widths(wanted.size());
    int used = 0;
    for (size_t c = 0; c < wanted.size(); ++c) {
        if (c == routeCol) continue;
        widths[c] = std::min(wanted[c], cap);
        used += widths[c];
    }
    widths[routeCol] = std::max(route, room - used);
    return widths;
}

} // namespace

void TRouteFormWindow::FitColumns() {
    if (detached_ || fitting_ || !grid_) return;
    const int cols = grid_->model()->columnCount();
    const size_t routeCol = static_cast<size_t>(form_.RouteCol());
    const int room = grid_->viewport()->width();
    if (routeCol >= static_cast<size_t>(cols) || room <= 0) return;
    fitting_ = true;
    std::vector<int> wanted;
    for (int c = 0; c < cols; ++c) wanted.push_back(grid_->ContentWidth(c));
    const std::vector<int> widths = FitRouteColumns(wanted, routeCol, room);
    // The table's own widths follow the view's through its header.
    for (int c = 0; c < cols; ++c) grid_->setColumnWidth(c, widths[static_cast<size_t>(c)]);
    const TRouteComboBox& cb = form_.ComboBox1;
    if (cb.Visible && combo_->isVisible())
        combo_->setGeometry(grid_->visualRect(grid_->FromGrid(cb.Col, cb.Row)));
    fitting_ = false;
}

bool TRouteFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!detached_ && grid_ && watched == grid_->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    // Shown: the desktop has framed the window, maybe otherwise than its
    // owner (a maximised owner has no borders). Placed again with its own
    // frame, so that its title bar does not come over the tool bars.
    if (watched == windowHandle() && event->type() == QEvent::Expose && !detached_ &&
        windowHandle()->isExposed() && FrameMargins() != placedMargins_) {
        Place();
    }
    // Tab and Backtab leave the drop-down for the table, on the same cell:
    // the table would otherwise take them as a move to its next cell, which
    // shows the drop-down again over its own cell, so it was never left.
    if (!detached_ && watched == combo_ && event->type() == QEvent::KeyPress &&
        combo_->isVisible()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            const int item = combo_->currentIndex();
            FocusTable();
            // The focus leaving wrote it already, unless the window was not
            // active.
            w_.ComboBox1Exit(item);
            return true;
        }
    }
    // Leaving the drop-down for another control of this window; the window
    // losing the desktop's focus, or the drop-down's own list, is no exit.
    if (!detached_ && watched == combo_ && event->type() == QEvent::FocusOut && !refreshing_ &&
        combo_->isVisible() && !combo_->view()->isVisible()) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            w_.ComboBox1Exit(combo_->currentIndex());
    }
    return QWidget::eventFilter(watched, event);
}

void TRouteFormWindow::Minimise() {
    // Desktops do not minimise an owned window by itself (some minimise its
    // owner with it); it steps aside until the route tool bar's return
    // button, the pick on the plan or its menu item brings it back.
    if (detached_) return;
    KeepPlace();
    hide();
}

void TRouteFormWindow::ShowNormal() {
    if (detached_) return;
    if (!isVisible()) Place();
    ShowWindowRestored(*this);
}

namespace {

// The owner keeps the place of each route window for as long as the
// program runs, so that a window made anew opens where the last one was.
QByteArray PlaceKey(const TRouteForm& form) {
    return QByteArray("RouteWindowPlace") + form.Name();
}

// The window's frame within the free part of the screen: at the place kept
// (moved in as far as it must) or else at the free part's top right, and
// no larger than the free part.
QRect RouteWindowFrame(const QRect& free, QSize frame, std::optional<QPoint> kept) {
    const QSize size = frame.boundedTo(free.size());
    QPoint at = kept ? *kept : QPoint(free.right() + 1 - size.width(), free.top());
    at.setX(std::clamp(at.x(), free.left(), free.right() + 1 - size.width()));
    at.setY(std::clamp(at.y(), free.top(), free.bottom() + 1 - size.height()));
    return {at, size};
}

} // namespace

void TRouteFormWindow::KeepPlace() {
    if (QWidget* owner = parentWidget(); owner && isVisible())
        owner->setProperty(PlaceKey(form_).constData(), pos());
}

QRect TRouteFormWindow::FreeArea() const {
    QWidget* owner = parentWidget();
    if (!owner) return {};
    // The plan's part of the main window: below its menu and every tool bar
    // row, beside its left panel, above its status bar.
    auto* main = qobject_cast<QMainWindow*>(owner);
    const QWidget* area = main && main->centralWidget() ? main->centralWidget() : owner;
    QRect free(area->mapToGlobal(QPoint(0, 0)), area->size());
    if (const QScreen* screen = owner->screen()) free &= screen->availableGeometry();
    return free;
}

QMargins TRouteFormWindow::FrameMargins() const {
    if (const QWindow* w = windowHandle(); w && w->isExposed()) return w->frameMargins();
    if (const QWidget* owner = parentWidget(); owner && owner->windowHandle())
        return owner->windowHandle()->frameMargins();
    return {};
}

void TRouteFormWindow::Place() {
    QWidget* owner = parentWidget();
    if (!owner) return;
    const QRect free = FreeArea();
    if (free.isEmpty()) return;
    // Until the desktop has framed the window its frame is unknown; the
    // owner's frame is the desktop's measure.
    const QMargins margins = FrameMargins();
    const QSize room = free.size().shrunkBy(margins);
    // The size the user left the window at, smaller where the plan has less
    // room: the tables scroll, nothing is cut off.
    const QSize wanted(form_.Width, form_.Height);
    const QSize size = wanted.boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room));
    const QVariant kept = owner->property(PlaceKey(form_).constData());
    const QRect frame = RouteWindowFrame(
        free, size.grownBy(margins), kept.isValid() ? std::optional(kept.toPoint()) : std::nullopt);
    // The window's own geometry leaves the frame out, whether or not the
    // desktop has framed it yet.
    const QRect client = frame.marginsRemoved(margins);
    fitted_ = client.size();
    placedMargins_ = margins;
    setGeometry(client);
}

void TRouteFormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QWindow* w = windowHandle()) w->installEventFilter(this);
}

void TRouteFormWindow::FocusTable() {
    if (!detached_) grid_->setFocus();
}

void TRouteFormWindow::StoreLayout() {
    KeepPlace();
    const QSize size = this->size();
    // A window made smaller only to fit a small plan keeps the size the
    // user gave it for a larger one.
    if (size.isValid() && size.width() > 0 && size != fitted_) {
        form_.Width = size.width();
        form_.Height = size.height();
    }
    for (size_t c = 0; c < form_.ColWidths.size(); ++c)
        form_.ColWidths[c] = grid_->columnWidth(static_cast<int>(c));
}

void TRouteFormWindow::Detach() {
    detached_ = true;
    if (gOpenWindow == this) gOpenWindow = nullptr;
    hide();
    // The table goes now: its model goes with the form.
    delete grid_;
    grid_ = nullptr;
    combo_ = nullptr;
    deleteLater();
}

void TRouteFormWindow::closeEvent(QCloseEvent* event) {
    if (detached_) {
        event->accept();
        return;
    }
    // The controller frees the form, and with it this window, unless the
    // user cancels at the save question.
    event->ignore();
    w_.FormClose();
}

void TRouteFormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !detached_)
        w_.FormActivate();
    QWidget::changeEvent(event);
}

// ------------------------------------------------------------------ lists

TListPointDialog::TListPointDialog(TListPointModel& model, QWidget* parent) : QDialog(parent) {
    setObjectName("FormListPoint");
    setWindowTitle(U("Список ветвей"));
    grid_ = new TGridView(model.List);
    grid_->setObjectName("StringGrid1");
    grid_->setColumnWidth(0, 50);
    grid_->setColumnWidth(1, 70);
    grid_->setColumnWidth(2, 260);
    grid_->setColumnWidth(3, 120);
    model.List.OnDblClick = [this](TStringGridModel&) { accept(); };
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(buttons);
    resize(560, 320);
}

TListPlaDialog::TListPlaDialog(TRouteWindows& controller, QWidget* parent)
    : QDialog(parent), w_(controller) {
    setObjectName("FormListPLA");
    setWindowTitle(U("Выбор позиции ПЛА"));
    list_ = new QListWidget;
    list_->setObjectName("ListBoxPLA");
    for (const std::string& item : w_.ListPla.ListBoxPLA) list_->addItem(ToQString(item));
    list_->setCurrentRow(w_.ListPla.ItemIndex);
    auto* show = new QPushButton(U("Показать"));
    show->setObjectName("BitBtnShow");
    auto* cancel = new QPushButton(U("Отмена"));
    cancel->setObjectName("BitBtnCancel");
    connect(show, &QPushButton::clicked, this, Safely([this] { BitBtnShowClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, Safely([this] { BitBtnShowClick(); }));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(show);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(300, 260);
}

void TListPlaDialog::BitBtnShowClick() {
    w_.ListPla.ItemIndex = list_->currentRow();
    if (w_.BitBtnShowClick()) accept();
}

void InstallRouteWindowsUi(TRouteWindows& controller, QWidget* owner) {
    controller.CreateFormView = [&controller, owner](TRouteForm& form) -> IRouteFormView* {
        return new TRouteFormWindow(controller, form, owner);
    };
    controller.FreeFormView = [](TRouteForm& form) {
        if (auto* window = dynamic_cast<TRouteFormWindow*>(form.View)) window->Detach();
    };
    controller.ShowListPointModal = [owner](TListPointModel& model) {
        TListPointDialog dialog(model, owner);
        return dialog.exec() == QDialog::Accepted;
    };
    controller.ShowListPlaModal = [&controller, owner](TListPlaModel&) {
        TListPlaDialog dialog(controller, owner);
        return dialog.exec() == QDialog::Accepted;
    };
}

TRouteFormWindow* RouteFormWindow() {
    return gOpenWindow.data();
}

} // namespace arv::routes
