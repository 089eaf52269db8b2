#include "app/ui/RxDrawGridWidget.h"

#include "app/EditMask.h"
#include "platform/Services.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtKeys.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace arv {

namespace {

TGridMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return TGridMouseButton::mbRight;
    if (b == Qt::MiddleButton) return TGridMouseButton::mbMiddle;
    return TGridMouseButton::mbLeft;
}

TShiftState MouseShift(const QMouseEvent* e) {
    TShiftState s = ShiftState(e->modifiers());
    if (e->buttons() & Qt::LeftButton) s |= ssLeft;
    if (e->buttons() & Qt::RightButton) s |= ssRight;
    if (e->buttons() & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

QRect ToQRect(const TCanvasRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

unsigned Ticks() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return static_cast<unsigned>(clock.elapsed());
}

} // namespace

// --- Pick list ------------------------------------------------------------------

TPopupListWidget::TPopupListWidget(TRxInplaceEdit& edit) : QListWidget(nullptr), edit_(edit) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setUniformItemSizes(true);
}

void TPopupListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (TPopupListbox* list = edit_.ActiveList()) list->ItemIndex = currentRow();
    edit_.ListMouseUp(rect().contains(event->position().toPoint()));
}

// --- In-place editor --------------------------------------------------------------

TRxInplaceEditWidget::TRxInplaceEditWidget(TRxInplaceEdit& edit, TRxDrawGridWidget& owner)
    : QLineEdit(owner.viewport()), edit_(edit), owner_(owner) {
    setFrame(false);
    setMouseTracking(true);
    hide();
    list_ = new TPopupListWidget(edit);
    edit_.ButtonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    edit_.TickCount = &Ticks;
    edit_.ListItemAt = [this](int x, int y) {
        QPoint p = list_->viewport()->mapFrom(list_, QPoint(x, y));
        QModelIndex i = list_->indexAt(p);
        return i.isValid() ? i.row() : -1;
    };
    edit_.ViewNotify = [this](TInplaceEditChange what) { Sync(what); };
    connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

TRxInplaceEditWidget::~TRxInplaceEditWidget() {
    edit_.ViewNotify = nullptr;
    edit_.ListItemAt = nullptr;
    delete list_;
}

std::string TRxInplaceEditWidget::CurrentText() const {
    if (edit_.EditMask().empty() || inputMask().isEmpty()) return FromQString(text());
    return MaskedEditText(edit_.EditMask(), FromQString(displayText()));
}

void TRxInplaceEditWidget::TextChanged() {
    if (syncing_) return;
    edit_.TextEdited(CurrentText(), cursorPosition());
}

void TRxInplaceEditWidget::Sync(TInplaceEditChange what) {
    switch (what) {
    case TInplaceEditChange::Contents: {
        syncing_ = true;
        TQtEditMask mask = DelphiMaskToQt(edit_.EditMask());
        setInputMask(QString());
        setMaxLength(edit_.MaxLength() > 0 ? edit_.MaxLength() : 32767);
        if (!mask.InputMask.empty()) setInputMask(ToQString(mask.InputMask));
        setText(ToQString(edit_.Text()));
        Qt::Alignment a = Qt::AlignLeft;
        if (edit_.Alignment() == TAlignment::taRightJustify) a = Qt::AlignRight;
        if (edit_.Alignment() == TAlignment::taCenter) a = Qt::AlignHCenter;
        setAlignment(a | Qt::AlignVCenter);
        bool button = edit_.EditStyle() != TInplaceEditStyle::ieSimple;
        setTextMargins(0, 0, button ? edit_.ButtonWidth : 0, 0);
        setCursorPosition(edit_.SelStart());
        syncing_ = false;
        update();
        break;
    }
    case TInplaceEditChange::Selection:
        if (syncing_) break;
        syncing_ = true;
        if (edit_.SelLength() > 0)
            setSelection(edit_.SelStart(), edit_.SelLength());
        else
            setCursorPosition(edit_.SelStart());
        syncing_ = false;
        break;
    case TInplaceEditChange::Bounds:
        if (edit_.Visible()) {
            setGeometry(ToQRect(edit_.BoundsRect()));
            show();
            owner_.setFocusProxy(this);
            if (owner_.Grid().Focused() && !hasFocus()) setFocus(Qt::OtherFocusReason);
        } else {
            // The focus stays with the grid when its editor goes.
            bool had = hasFocus();
            owner_.setFocusProxy(nullptr);
            if (had) owner_.setFocus(Qt::OtherFocusReason);
            hide();
        }
        break;
    case TInplaceEditChange::Button:
        setTextMargins(0, 0,
                       edit_.EditStyle() != TInplaceEditStyle::ieSimple ? edit_.ButtonWidth : 0, 0);
        update();
        break;
    case TInplaceEditChange::List:
        SyncList();
        break;
    }
}

void TRxInplaceEditWidget::SyncList() {
    TPopupListbox* list = edit_.ActiveList();
    if (!edit_.ListVisible() || !list) {
        list_->hide();
        edit_.ListRect = {};
        return;
    }
    if (!list_->isVisible()) {
        list_->clear();
        list_->setFont(font());
        list_->setPalette(palette());
        QFontMetrics fm(font());
        int widest = 0;
        for (const std::string& item : list->Items) {
            QString s = ToQString(item);
            list_->addItem(s);
            widest = std::max(widest, fm.horizontalAdvance(s) + 8);
        }
        int itemHeight = list->Items.empty() ? fm.height() + 2 : list_->sizeHintForRow(0);
        QPoint topLeft = mapToGlobal(QPoint(0, 0));
        TCanvasRect onScreen{topLeft.x(), topLeft.y(), topLeft.x() + width(),
                             topLeft.y() + height()};
        QScreen* scr = screen();
        int screenHeight = scr ? scr->geometry().bottom() + 1 : 1 << 20;
        TCanvasRect r =
            PickListBounds(onScreen, screenHeight, static_cast<int>(list->Items.size()), itemHeight,
                           widest, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        list_->setGeometry(ToQRect(r));
        list_->show();
        list_->raise();
        QPoint local = mapFromGlobal(QPoint(r.left, r.top));
        edit_.ListRect = {local.x(), local.y(), local.x() + r.right - r.left,
                          local.y() + r.bottom - r.top};
        setFocus(Qt::OtherFocusReason);
    }
    if (list->ItemIndex >= 0 && list->ItemIndex < list_->count()) {
        list_->setCurrentRow(list->ItemIndex);
        list_->scrollToItem(list_->item(list->ItemIndex));
    } else {
        list_->setCurrentRow(-1);
        list_->clearSelection();
    }
    update();
}

void TRxInplaceEditWidget::keyPressEvent(QKeyEvent* event) {
    // The editor decides with the line's selection as it stands.
    syncing_ = true;
    if (hasSelectedText())
        edit_.SetSelection(selectionStart(), static_cast<int>(selectedText().size()));
    else
        edit_.SetSelection(cursorPosition(), 0);
    syncing_ = false;

    int vk = VirtualKey(event);
    TShiftState shift = ShiftState(event->modifiers());
    QString text = event->text();
    bool hasChar = !text.isEmpty();
    if (vk != 0) {
        int key = vk;
        // The owner's handlers run as a command of the window.
        if (!RunCommandSafely([&] { edit_.KeyDown(key, shift); })) return;
        if (key == 0) {
            // Ctrl+Enter in the ellipsis style took its character with it.
            bool ctrlEnter = vk == VK_RETURN && shift == ssCtrl &&
                             edit_.EditStyle() == TInplaceEditStyle::ieEllipsis;
            if (!hasChar || ctrlEnter) return;
        } else if (!hasChar) {
            QLineEdit::keyPressEvent(event);
            return;
        }
    }
    if (!hasChar) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    char32_t u = text.toUcs4().value(0);
    char c = 0;
    if (!RunCommandSafely([&] { c = edit_.TypeChar(u); })) return;
    if (c == 0 || !isVisible()) return;
    auto k = static_cast<unsigned char>(c);
    bool same = (u < 0x80 && k == u) || (u >= 0x80 && ToQString(std::string(1, c)) == text);
    if (k < 32 || same)
        QLineEdit::keyPressEvent(event);
    else
        insert(ToQString(std::string(1, c)));
}

void TRxInplaceEditWidget::mousePressEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    edit_.MouseDown(ButtonOf(event->button()), MouseShift(event), p.x(), p.y());
    if (edit_.IgnoreDblClick(p.x(), p.y())) return; // a press on the button
    QLineEdit::mousePressEvent(event);
}

void TRxInplaceEditWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    bool tracking = edit_.Tracking() || edit_.ListVisible();
    edit_.MouseMove(MouseShift(event), p.x(), p.y());
    setCursor(edit_.ArrowCursorAt(p.x(), p.y()) ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (!tracking) QLineEdit::mouseMoveEvent(event);
}

void TRxInplaceEditWidget::mouseReleaseEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    edit_.MouseUp(ButtonOf(event->button()), MouseShift(event), p.x(), p.y());
    QLineEdit::mouseReleaseEvent(event);
}

void TRxInplaceEditWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    if (edit_.IgnoreDblClick(p.x(), p.y())) return;
    QLineEdit::mouseDoubleClickEvent(event);
}

void TRxInplaceEditWidget::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (edit_.EditStyle() != TInplaceEditStyle::ieSimple) PaintButton();
}

void TRxInplaceEditWidget::PaintButton() {
    QPainter p(this);
    QRect r = ToQRect(edit_.ButtonRect());
    QBrush face = palette().button();
    if (edit_.EditStyle() == TInplaceEditStyle::ieEllipsis) {
        if (edit_.Pressed())
            qDrawPlainRect(&p, r, palette().dark().color(), 1, &face);
        else
            qDrawWinButton(&p, r, palette(), false, &face);
        for (const TCanvasPoint& d : edit_.EllipsisDots()) p.fillRect(d.x, d.y, 2, 2, Qt::black);
        return;
    }
    qDrawWinButton(&p, r, palette(), edit_.Pressed(), &face);
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = r.adjusted(3, 3, -3, -3);
    if (edit_.Pressed()) opt.rect.translate(1, 1);
    if (!edit_.ActiveList()) opt.state &= ~QStyle::State_Enabled;
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, &p, this);
}

bool TRxInplaceEditWidget::focusNextPrevChild(bool next) {
    // With tabs on, Tab goes to the grid, which moves between the cells.
    if (owner_.Grid().Options() & goTabs) return false;
    return QLineEdit::focusNextPrevChild(next);
}

void TRxInplaceEditWidget::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    owner_.FocusChanged();
}

void TRxInplaceEditWidget::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) edit_.KillFocus();
    owner_.FocusChanged();
}

// --- Grid -----------------------------------------------------------------------

TRxDrawGridWidget::TRxDrawGridWidget(TRxDrawGrid& grid, QWidget* parent)
    : QAbstractScrollArea(parent), grid_(grid) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    if (!grid_.MessageBeep) grid_.MessageBeep = [] { QApplication::beep(); };
    editor_ = new TRxInplaceEditWidget(grid_.InplaceEditor(), *this);
    // The editor writes in the grid's font, as the cells are drawn.
    editor_->setFont(TQtCanvas::MakeQFont(grid_.Font));
    grid_.AddListener(this);
    grid_.SetClientSize(viewport()->width(), viewport()->height());
    editor_->Sync(TInplaceEditChange::Contents);
    editor_->Sync(TInplaceEditChange::Bounds);
    UpdateScrollBars();
}

TRxDrawGridWidget::~TRxDrawGridWidget() {
    grid_.RemoveListener(this);
    delete editor_;
    editor_ = nullptr;
}

void TRxDrawGridWidget::GridChanged(TStringGridModel&, TGridChange what, int, int) {
    if (what != TGridChange::Cell && what != TGridChange::Current) UpdateScrollBars();
    if (what == TGridChange::Layout) {
        editor_->setFont(TQtCanvas::MakeQFont(grid_.Font));
        if (isEnabled() != grid_.Enabled()) setEnabled(grid_.Enabled());
    }
    viewport()->update();
}

void TRxDrawGridWidget::UpdateScrollBars() {
    syncingScroll_ = true;
    int rows = std::max(1, grid_.VisibleRowCount());
    int maxTop = std::max(grid_.FixedRows(), grid_.RowCount() - rows);
    verticalScrollBar()->setRange(grid_.FixedRows(), maxTop);
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setValue(grid_.TopRow());
    int cols = std::max(1, grid_.VisibleColCount());
    int maxLeft = std::max(grid_.FixedCols(), grid_.ColCount() - cols);
    horizontalScrollBar()->setRange(grid_.FixedCols(), maxLeft);
    horizontalScrollBar()->setPageStep(cols);
    horizontalScrollBar()->setValue(grid_.LeftCol());
    syncingScroll_ = false;
}

void TRxDrawGridWidget::scrollContentsBy(int, int) {
    if (syncingScroll_) return;
    grid_.SetTopRowScrolled(verticalScrollBar()->value());
    grid_.SetLeftCol(horizontalScrollBar()->value());
}

void TRxDrawGridWidget::paintEvent(QPaintEvent*) {
    QImage image(viewport()->size(), QImage::Format_RGB32);
    {
        TQtCanvas canvas(image);
        grid_.Paint(canvas);
    }
    QPainter p(viewport());
    p.drawImage(0, 0, image);
}

void TRxDrawGridWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    grid_.SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
}

void TRxDrawGridWidget::keyPressEvent(QKeyEvent* event) {
    // The owner's handlers run as a command of the window.
    RunCommandSafely([&] {
        int vk = VirtualKey(event);
        if (vk != 0) {
            int key = vk;
            grid_.KeyDown(key, ShiftState(event->modifiers()));
        }
        QString text = event->text();
        if (!text.isEmpty()) grid_.GridCharTyped(text.toUcs4().value(0));
    });
    event->accept();
}

void TRxDrawGridWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QPoint p = event->position().toPoint();
    RunCommandSafely(
        [&] { grid_.MouseDown(ButtonOf(event->button()), MouseShift(event), p.x(), p.y()); });
}

void TRxDrawGridWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    grid_.MouseMove(MouseShift(event), p.x(), p.y());
    if (grid_.ColSizingAt(p.x(), p.y()) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else if (grid_.RowSizingAt(p.x(), p.y()) >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    else
        viewport()->unsetCursor();
}

void TRxDrawGridWidget::mouseReleaseEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    RunCommandSafely(
        [&] { grid_.MouseUp(ButtonOf(event->button()), MouseShift(event), p.x(), p.y()); });
}

void TRxDrawGridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    RunCommandSafely([&] {
        grid_.MouseDown(ButtonOf(event->button()), MouseShift(event) | ssDouble, p.x(), p.y());
    });
}

void TRxDrawGridWidget::FocusChanged() {
    QWidget* f = QApplication::focusWidget();
    bool inside = f && (f == this || isAncestorOf(f));
    if (inside && !grid_.Focused())
        grid_.DoEnter();
    else if (!inside && grid_.Focused())
        grid_.DoExit();
}

void TRxDrawGridWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    FocusChanged();
}

void TRxDrawGridWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    FocusChanged();
}

bool TRxDrawGridWidget::focusNextPrevChild(bool next) {
    // With tabs on, Tab moves between the cells instead of leaving the grid.
    if (grid_.Options() & goTabs) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TRxDrawGridWidget::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) grid_.CancelMode();
    return QAbstractScrollArea::event(event);
}

} // namespace arv
