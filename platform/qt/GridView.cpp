#include "GridView.h"

#include "QtFonts.h"
#include "QtKeys.h"
#include "QtText.h"
#include "platform/Cp1251.h"
#include "platform/Services.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace arv {

TGridTableModel::TGridTableModel(TStringGridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int TGridTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return std::max(0, grid_.RowCount() - grid_.FixedRows());
}

int TGridTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return std::max(0, grid_.ColCount() - grid_.FixedCols());
}

QVariant TGridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return ToQString(
            grid_.Cells(index.column() + grid_.FixedCols(), index.row() + grid_.FixedRows()));
    return {};
}

bool TGridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    int col = index.column() + grid_.FixedCols();
    int row = index.row() + grid_.FixedRows();
    std::string text = FromQString(value.toString());
    // The table's handlers run as a command of their window.
    if (text != grid_.Cells(col, row)) RunCommandSafely([&] { grid_.SetEditText(col, row, text); });
    return true;
}

QVariant TGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    QStringList lines;
    if (orientation == Qt::Horizontal) {
        int col = section + grid_.FixedCols();
        for (int r = 0; r < grid_.FixedRows(); ++r) lines << ToQString(grid_.Cells(col, r));
        return lines.join('\n');
    }
    int row = section + grid_.FixedRows();
    for (int c = 0; c < grid_.FixedCols(); ++c) lines << ToQString(grid_.Cells(c, row));
    return lines.join(' ');
}

Qt::ItemFlags TGridTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.isValid() && grid_.Editing()) f |= Qt::ItemIsEditable;
    return f;
}

void TGridTableModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TGridTableModel::CellChanged(int col, int row) {
    int c = col - grid_.FixedCols();
    int r = row - grid_.FixedRows();
    if (row < grid_.FixedRows() && c >= 0 && c < columnCount()) {
        emit headerDataChanged(Qt::Horizontal, c, c);
        return;
    }
    if (col < grid_.FixedCols() && r >= 0 && r < rowCount()) {
        emit headerDataChanged(Qt::Vertical, r, r);
        return;
    }
    if (c < 0 || r < 0 || c >= columnCount() || r >= rowCount()) return;
    QModelIndex i = index(r, c);
    emit dataChanged(i, i);
}

// Every cell editor reports its keys to the view. The keys go through the
// delegate's own filter of the editor: a second filter beside it would see
// Enter after the delegate had already queued its own commit, and that commit
// would then reach the view for an editor it had closed.
class TGridDelegate : public QStyledItemDelegate {
public:
    explicit TGridDelegate(TGridView* view) : QStyledItemDelegate(view), view_(view) {}

protected:
    bool eventFilter(QObject* editor, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && editor->isWidgetType() &&
            view_->EditorKey(static_cast<QWidget*>(editor), static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    TGridView* view_;
};

TGridView::TGridView(TStringGridModel& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new TGridTableModel(grid, this)) {
    setModel(model_);
    setItemDelegate(new TGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    // Headings start at the left edge as the string grid draws them: a
    // heading wider than its column loses its end, not both ends.
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        syncing_ = true;
        grid_.SetTopRow(grid_.FixedRows() + v);
        syncing_ = false;
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        syncing_ = true;
        grid_.SetLeftCol(grid_.FixedCols() + v);
        syncing_ = false;
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (syncing_) return;
                syncing_ = true;
                grid_.SetColWidths(section + grid_.FixedCols(), size);
                syncing_ = false;
            });
    grid_.AddListener(this);
    ApplyLayout();
    ApplyCurrent();
}

TGridView::~TGridView() {
    grid_.RemoveListener(this);
}

TGridCoord TGridView::ToGrid(const QModelIndex& index) const {
    return {index.column() + grid_.FixedCols(), index.row() + grid_.FixedRows()};
}

QModelIndex TGridView::FromGrid(int col, int row) const {
    return model_->index(row - grid_.FixedRows(), col - grid_.FixedCols());
}

int TGridView::ContentWidth(int col) const {
    const int c = col - grid_.FixedCols();
    if (c < 0 || c >= model_->columnCount()) return 0;
    int width = grid_.FixedRows() > 0 ? horizontalHeader()->sectionSizeHint(c) : 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int r = 0; r < model_->rowCount(); ++r) {
        const QModelIndex i = model_->index(r, c);
        width = std::max(width, itemDelegateForIndex(i)->sizeHint(option, i).width());
    }
    // The grid line is drawn inside the column.
    return width + (showGrid() ? 1 : 0);
}

void TGridView::GridChanged(TStringGridModel&, TGridChange what, int col, int row) {
    if (syncing_) {
        if (what == TGridChange::Cell) model_->CellChanged(col, row);
        return;
    }
    switch (what) {
    case TGridChange::Cell:
        model_->CellChanged(col, row);
        break;
    case TGridChange::Structure:
        model_->Reset();
        ApplyLayout();
        ApplyCurrent();
        break;
    case TGridChange::Current:
        ApplyCurrent();
        break;
    case TGridChange::Scroll:
        ApplyScroll();
        break;
    case TGridChange::Layout:
        ApplyLayout();
        break;
    }
}

void TGridView::ApplyLayout() {
    syncing_ = true;
    // A grid without a parent window is shown by whoever owns it.
    if (!grid_.Visible())
        hide();
    else if (parentWidget())
        show();
    QFont f = grid_.FontName().empty() ? SubstitutedFont(font()) : WindowsFont(grid_.FontName(), 0);
    f.setPointSize(std::max(6, grid_.FontSize() + 1));
    setFont(f);
    horizontalHeader()->setVisible(grid_.FixedRows() > 0);
    verticalHeader()->setVisible(grid_.FixedCols() > 0);
    verticalHeader()->setDefaultSectionSize(
        std::max(grid_.DefaultRowHeight(), fontMetrics().height() + 4));
    for (int c = 0; c < model_->columnCount(); ++c)
        horizontalHeader()->resizeSection(c, grid_.ColWidths(c + grid_.FixedCols()));
    // The fixed columns, shown as row headings, keep their own widths and
    // their heading text in the corner above them.
    if (grid_.FixedCols() > 0) {
        int width = 0;
        for (int c = 0; c < grid_.FixedCols(); ++c) width += grid_.ColWidths(c);
        verticalHeader()->setFixedWidth(std::max(width, 24));
        QStringList lines;
        for (int r = 0; r < grid_.FixedRows(); ++r)
            for (int c = 0; c < grid_.FixedCols(); ++c) lines << ToQString(grid_.Cells(c, r));
        if (!corner_) {
            corner_ = new QLabel(this);
            corner_->setObjectName("FixedColumnHeading");
            corner_->setAlignment(Qt::AlignCenter);
            corner_->setAutoFillBackground(true);
        }
        corner_->setFont(horizontalHeader()->font());
        corner_->setText(lines.join('\n'));
        corner_->show();
    } else {
        verticalHeader()->setMinimumWidth(0);
        verticalHeader()->setMaximumWidth(QWIDGETSIZE_MAX);
        if (corner_) corner_->hide();
    }
    PlaceCorner();
    syncing_ = false;
    UpdateVisibleCounts();
}

void TGridView::PlaceCorner() {
    if (!corner_ || !corner_->isVisibleTo(this)) return;
    const int f = frameWidth();
    corner_->setGeometry(f, f, verticalHeader()->width(), horizontalHeader()->height());
    corner_->raise();
}

void TGridView::ApplyCurrent() {
    QModelIndex i = FromGrid(grid_.Col(), grid_.Row());
    if (!i.isValid()) return;
    syncing_ = true;
    if (currentIndex() != i) setCurrentIndex(i);
    syncing_ = false;
    ApplyScroll();
}

void TGridView::ApplyScroll() {
    syncing_ = true;
    verticalScrollBar()->setValue(grid_.TopRow() - grid_.FixedRows());
    horizontalScrollBar()->setValue(grid_.LeftCol() - grid_.FixedCols());
    syncing_ = false;
}

void TGridView::UpdateVisibleCounts() {
    int rowH = std::max(1, verticalHeader()->defaultSectionSize());
    int rows = viewport()->height() / rowH;
    int cols = 0;
    int width = 0;
    for (int c = grid_.LeftCol(); c < grid_.ColCount(); ++c) {
        width += grid_.ColWidths(c);
        if (width > viewport()->width()) break;
        ++cols;
    }
    grid_.SetVisibleCounts(cols, rows);
}

void TGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceCorner();
    UpdateVisibleCounts();
}

void TGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid()) return;
    TGridCoord c = ToGrid(current);
    syncing_ = true;
    bool ok = false;
    RunCommandSafely([&] { ok = grid_.SetCurrent(c.X, c.Y); });
    syncing_ = false;
    if (!ok) ApplyCurrent();
}

namespace {
// The character a key event types, as CP1251; Ctrl with a letter gives the
// control character (Ctrl+C = 3) as on the original platform.
char KeyChar(QKeyEvent* e) {
    int k = e->key();
    if ((e->modifiers() & Qt::ControlModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<char>(k - Qt::Key_A + 1);
    if (k == Qt::Key_Return || k == Qt::Key_Enter) return '\r';
    if (k == Qt::Key_Escape) return 27;
    if (k == Qt::Key_Backspace) return 8;
    QString t = e->text();
    if (t.isEmpty()) return 0;
    std::string s = FromQString(t.left(1));
    return s.empty() ? 0 : s[0];
}

} // namespace

bool TGridView::DeliverKey(QKeyEvent* event) {
    bool taken = false;
    // A key's handlers run as a command of the table's window; a key whose
    // handler failed is taken.
    if (!RunCommandSafely([&] {
            int vk = VirtualKey(event);
            if (vk != 0) {
                int key = vk;
                grid_.KeyDown(key, ShiftState(event->modifiers()));
                if (key == 0) {
                    taken = true;
                    return;
                }
            }
            char ch = KeyChar(event);
            if (ch != 0) {
                grid_.KeyPress(ch);
                taken = ch == 0 || ch == '\r';
            }
        }))
        return true;
    return taken;
}

void TGridView::keyPressEvent(QKeyEvent* event) {
    if (DeliverKey(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TGridView::EditorKey(QWidget* editor, QKeyEvent* ke) {
    bool enter = ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
    if (enter) {
        // Store the typed text first, so that Enter's handler sees it.
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus();
    }
    return DeliverKey(ke) || enter;
}

void TGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (!hasFocusInside_) {
        hasFocusInside_ = true;
        RunCommandSafely([this] { grid_.DoEnter(); });
    }
}

void TGridView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // Focus that moves into the cell editor stays inside the grid.
    QWidget* next = QApplication::focusWidget();
    if (next && (next == this || isAncestorOf(next))) return;
    if (hasFocusInside_) {
        hasFocusInside_ = false;
        RunCommandSafely([this] { grid_.DoExit(); });
    }
}

void TGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    QModelIndex i = indexAt(event->position().toPoint());
    if (i.isValid()) setCurrentIndex(i);
    RunCommandSafely([this] { grid_.DblClick(); });
    event->accept();
}

} // namespace arv
