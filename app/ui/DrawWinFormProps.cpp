// The left panel of the main window: the property inspector's grid on the
// page "Свойства", the current branch's table row on the page "Расчет", the
// scheme check's log on the page "Лог", and the tool button that shows the
// panel.
#include "app/PropGridBinding.h"
#include "app/ui/DrawWinForm.h"
#include "app/ui/PropDialogsQt.h"
#include "app/ui/RxDrawGridWidget.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace arv {

namespace {

// An edit of the data page goes to the branch table on Enter, as the page's
// key press does; an edit left any other way is dropped, so that the page
// goes on showing what the table holds.
class TDatagridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    std::function<void(int row, const std::string& text)> Entered;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        enter_ = false;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        if (!enter_ || !Entered) return;
        enter_ = false;
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            Entered(index.row(), FromQString(line->text()));
    }

protected:
    bool eventFilter(QObject* editor, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            enter_ = key == Qt::Key_Return || key == Qt::Key_Enter;
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    mutable bool enter_ = false;
};

} // namespace

void TIDrawWinForm::BuildPropPanel() {
    gridPropModel_ = std::make_unique<TRxDrawGrid>("GridProp");
    propDialogs_ = std::make_unique<TQtPropDialogs>(this, w_.Doc());

    auto* dock = new QDockWidget(this);
    dock->setObjectName("Panel2");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    auto* panel = new QWidget(dock);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    nameStat_ = new QLabel(panel);
    nameStat_->setObjectName("NameStat");
    nameStat_->setWordWrap(true);
    nameStat_->setMinimumHeight(2 * nameStat_->fontMetrics().height() + 4);
    layout->addWidget(nameStat_);
    pageBook_ = new QTabWidget(panel);
    pageBook_->setObjectName("PageBook");
    gridProp_ = new TRxDrawGridWidget(*gridPropModel_);
    gridProp_->setObjectName("GridProp");
    pageBook_->addTab(gridProp_, QString::fromUtf8("Свойства"));
    datagrid_ = new QTableWidget(0, 2);
    datagrid_->setObjectName("Datagrid");
    datagrid_->horizontalHeader()->hide();
    datagrid_->verticalHeader()->hide();
    datagrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    datagrid_->horizontalHeader()->setStretchLastSection(true);
    datagrid_->verticalHeader()->setDefaultSectionSize(18);
    auto* datagridEdits = new TDatagridDelegate(datagrid_);
    datagridEdits->Entered = [this](int row, const std::string& text) {
        Run([this, row, &text] {
            w_.Datagrid.SetCells(1, row, text);
            w_.Datagrid.SetCurrent(1, row);
            w_.DatagridKeyPress('\r');
        });
        if (QTableWidgetItem* item = datagrid_->item(row, 1))
            item->setText(ToQString(w_.Datagrid.Cells(1, row)));
    };
    datagrid_->setItemDelegate(datagridEdits);
    pageBook_->addTab(datagrid_, QString::fromUtf8("Расчет"));
    if (logger_) pageBook_->addTab(logger_, QString::fromUtf8("Лог"));
    layout->addWidget(pageBook_, 1);
    dock->setWidget(panel);
    dock->setMinimumWidth(190);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    dock->hide();
    panel2_ = dock;

    BindGridProp(w_, *gridPropModel_);
    w_.SetPropDialogs(propDialogs_.get());
    propDialogs_->GridChanged = [this] { SyncPropPanel(); };
    propDialogs_->MenuChosen = [this](int item) {
        Run([this, item] { w_.EditPropertyByMenu(item); });
    };
    propDialogs_->CellBottomLeft = [this](int col, int row) {
        const TCanvasRect r = gridPropModel_->CellRect(col, row);
        return gridProp_->viewport()->mapToGlobal(QPoint(r.left, r.bottom));
    };
    connect(pageBook_, &QTabWidget::currentChanged, this, [this](int index) {
        w_.PageBookIndex = index;
        w_.PagePropActive = index == 0;
        if (index == 0) Run([this] { w_.PagePropShow(); });
    });
    // The document reports selection changes while it works; the rows
    // follow once it is done.
    auto previous = w_.Doc().OnChange;
    w_.Doc().OnChange = [this, previous] {
        if (previous) previous();
        QTimer::singleShot(0, this, [this] { Run([this] { w_.ShowProperties(false); }); });
    };
    // "Замеры" runs the tool bar's measuring-station command.
    w_.RunTBZamSt = [this] { w_.TBZamStClick(); };
    w_.TBZamStEnabled = true;

    QToolBar* bar = findChild<QToolBar*>("ToolBar1");
    auto* prop = new QAction(QString::fromUtf8("Свойства объекта"), this);
    prop->setObjectName("Prop");
    prop->setCheckable(true);
    connect(prop, &QAction::triggered, this,
            [this](bool down) { Run([this, down] { w_.PropClick(down); }); });
    actions_["Prop"] = prop;
    if (bar) {
        bar->addSeparator();
        bar->addAction(prop);
    }
    SyncPropPanel();
}

void TIDrawWinForm::SyncPropPanel() {
    if (!gridPropModel_) return;
    SyncGridProp(w_, *gridPropModel_);
    gridProp_->setEnabled(w_.GridProp.Enabled);
    gridProp_->viewport()->update();
    nameStat_->setText(ToQString(w_.NameStat));

    const TStringGridModel& g = w_.Datagrid;
    datagrid_->setEnabled(w_.DatagridEnabled);
    // The values of a branch the table holds take edits; the titles never.
    datagrid_->setEditTriggers(w_.DatagridEditing ? QAbstractItemView::DoubleClicked |
                                                        QAbstractItemView::EditKeyPressed |
                                                        QAbstractItemView::AnyKeyPressed
                                                  : QAbstractItemView::NoEditTriggers);
    datagrid_->setRowCount(g.RowCount());
    const QColor text = w_.DatagridFontColor == 0 ? QColor(Qt::black) : QColor(128, 128, 128);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = datagrid_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c == 0) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                datagrid_->setItem(r, c, item);
            }
            item->setText(ToQString(g.Cells(c, r)));
            item->setForeground(text);
        }
    datagrid_->resizeColumnToContents(0);

    EnableAction("MResteNBr", w_.MResteNBrEnabled);
    EnableAction("MResetNENd", w_.MResetNENdEnabled);
    EnableAction("MRotateBr", w_.MRotateBrEnabled);
    EnableAction("MResetBranch", w_.MResetBranchEnabled);
    EnableAction("FromExt", w_.FromExtEnabled);
    EnableAction("AddExt", w_.AddExtEnabled);
    SyncPanel2();
}

void TIDrawWinForm::SyncPanel2() {
    // The controller owns whether the panel shows and which page: its button,
    // a failed scheme check and the user's choice of a tab all end there.
    if (!panel2_) return;
    CheckAction("Prop", w_.PropDown);
    if (panel2_->isHidden() == w_.Panel2Visible) panel2_->setVisible(w_.Panel2Visible);
    if (w_.PageBookIndex >= 0 && w_.PageBookIndex < pageBook_->count() &&
        pageBook_->currentIndex() != w_.PageBookIndex)
        pageBook_->setCurrentIndex(w_.PageBookIndex);
}

} // namespace arv
