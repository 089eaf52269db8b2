// The window of a TRxDrawGrid: paints the grid through a canvas, feeds it
// keys, mouse and focus, and shows its in-place editor and pick list. Every
// decision is the grid's (app/RxDrawGrid.h); this only translates.
#pragma once

#include "app/RxDrawGrid.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QListWidget>

namespace arv {

class TRxDrawGridWidget;

// The pick list: a window of its own that never takes the focus, so that
// the editor keeps the keys and hands them over.
class TPopupListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit TPopupListWidget(TRxInplaceEdit& edit);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TRxInplaceEdit& edit_;
};

class TRxInplaceEditWidget : public QLineEdit {
    Q_OBJECT
public:
    TRxInplaceEditWidget(TRxInplaceEdit& edit, TRxDrawGridWidget& owner);
    ~TRxInplaceEditWidget() override;
    TPopupListWidget* PickListWidget() { return list_; }
    // Brings the line up to date with the editor's state.
    void Sync(TInplaceEditChange what);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TextChanged();
    void SyncList();
    void PaintButton();
    std::string CurrentText() const;

    TRxInplaceEdit& edit_;
    TRxDrawGridWidget& owner_;
    TPopupListWidget* list_ = nullptr;
    bool syncing_ = false;
};

class TRxDrawGridWidget : public QAbstractScrollArea, private IGridListener {
    Q_OBJECT
public:
    explicit TRxDrawGridWidget(TRxDrawGrid& grid, QWidget* parent = nullptr);
    ~TRxDrawGridWidget() override;
    TRxDrawGrid& Grid() { return grid_; }
    TRxInplaceEditWidget* Editor() { return editor_; }

    // Focus moved in or out of the grid and its editor together.
    void FocusChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool event(QEvent* event) override;

private:
    void GridChanged(TStringGridModel& grid, TGridChange what, int col, int row) override;
    void UpdateScrollBars();

    TRxDrawGrid& grid_;
    TRxInplaceEditWidget* editor_ = nullptr;
    bool syncingScroll_ = false;
};

} // namespace arv
