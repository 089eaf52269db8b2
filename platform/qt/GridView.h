// A Qt view over a TStringGridModel. The model keeps the cells, counts,
// current cell and scroll position; the view shows them, lets the user type
// into cells and hands keys, focus changes and double clicks to the model so
// that the owning window's handlers run as they would on the grid itself.
// Fixed rows are shown as the column headings (one line each), fixed columns
// as the row headings.
#pragma once

#include "platform/StringGrid.h"

#include <QAbstractTableModel>
#include <QTableView>

class QLabel;

namespace arv {

class TGridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGridTableModel(TStringGridModel& grid, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void Reset();
    void CellChanged(int col, int row);
    TStringGridModel& Grid() { return grid_; }

private:
    TStringGridModel& grid_;
};

class TGridView : public QTableView, private IGridListener {
    Q_OBJECT
public:
    explicit TGridView(TStringGridModel& grid, QWidget* parent = nullptr);
    ~TGridView() override;
    TStringGridModel& Grid() { return grid_; }

    // Model coordinates of a Qt index and back.
    TGridCoord ToGrid(const QModelIndex& index) const;
    QModelIndex FromGrid(int col, int row) const;
    // The width a column needs to show its heading and every cell whole;
    // it looks at every row, so it is meant for short tables.
    int ContentWidth(int col) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void GridChanged(TStringGridModel& grid, TGridChange what, int col, int row) override;
    void ApplyLayout();
    void PlaceCorner();
    void ApplyCurrent();
    void ApplyScroll();
    void UpdateVisibleCounts();
    // Hands a key to the model; true when the model took it.
    bool DeliverKey(QKeyEvent* event);
    // A key typed into the cell editor; true when it was handled here.
    bool EditorKey(QWidget* editor, QKeyEvent* event);

    TStringGridModel& grid_;
    TGridTableModel* model_;
    QLabel* corner_ = nullptr;
    bool syncing_ = false;
    bool hasFocusInside_ = false;
    friend class TGridDelegate;
};

} // namespace arv
