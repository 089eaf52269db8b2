#include "app/ui/ToolIcons.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>

#include <functional>
#include <map>

namespace arv {

namespace {

// Drawings are made on a 16 × 16 grid and rendered at the sizes tool bars
// and menus ask for.
using TDrawing = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kBranch(30, 90, 180);
const QColor kRoute(200, 40, 30);
const QColor kFill(250, 250, 250);

QPen Pen(const QColor& c, double width = 1.2, Qt::PenStyle style = Qt::SolidLine) {
    QPen p(c, width, style, Qt::RoundCap, Qt::RoundJoin);
    return p;
}

void Node(QPainter& p, QPointF at) {
    p.setPen(Pen(kInk, 1.0));
    p.setBrush(kFill);
    p.drawEllipse(at, 1.8, 1.8);
}

void Arrowhead(QPainter& p, QPointF tip, QPointF from, const QColor& c) {
    const QLineF back(tip, from);
    QLineF a = back;
    a.setLength(4.0);
    QLineF b = a;
    a.setAngle(back.angle() + 28);
    b.setAngle(back.angle() - 28);
    p.setPen(Pen(c, 1.0));
    p.setBrush(c);
    p.drawPolygon(QPolygonF({tip, a.p2(), b.p2()}));
}

void Pointer(QPainter& p, QPointF at, double s = 1.0) {
    QPolygonF arrow({{0, 0}, {0, 10}, {2.6, 7.6}, {4.4, 11.4}, {6, 10.6}, {4.3, 7}, {7.4, 7}});
    arrow.translate(0, 0);
    for (QPointF& q : arrow) q = at + q * s;
    p.setPen(Pen(kInk, 1.0));
    p.setBrush(kFill);
    p.drawPolygon(arrow);
}

void Magnifier(QPainter& p) {
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(kFill);
    p.drawEllipse(QPointF(6.5, 6.5), 4.8, 4.8);
    p.setPen(Pen(kInk, 2.4));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void DashedFrame(QPainter& p, const QRectF& r) {
    p.setPen(Pen(kInk, 1.0, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void RoutePath(QPainter& p, const QColor& c) {
    const QPolygonF path({{2, 13}, {6, 8}, {10, 10}, {13.5, 3.5}});
    p.setPen(Pen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(path);
    Arrowhead(p, {14, 2.5}, {11, 8}, c);
    p.setPen(Pen(kInk, 1.0));
    p.setBrush(c);
    p.drawEllipse(QPointF(2, 13), 1.6, 1.6);
}

const std::map<QString, TDrawing>& Drawings() {
    static const std::map<QString, TDrawing> drawings = {
        {"BSelect",
         [](QPainter& p) {
             Pointer(p, {4, 2}, 1.15);
         }},
        {"Shaper",
         [](QPainter& p) {
             p.setPen(Pen(kBranch, 1.6));
             p.drawLine(QPointF(2.5, 12.5), QPointF(12.5, 3.5));
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(Qt::white);
             for (QPointF c : {QPointF(2.5, 12.5), QPointF(7.5, 8), QPointF(12.5, 3.5)})
                 p.drawRect(QRectF(c - QPointF(1.8, 1.8), QSizeF(3.6, 3.6)));
         }},
        {"ToolButtonMove",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.4));
             p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
             p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
             Arrowhead(p, {8, 1}, {8, 8}, kInk);
             Arrowhead(p, {8, 15}, {8, 8}, kInk);
             Arrowhead(p, {1, 8}, {8, 8}, kInk);
             Arrowhead(p, {15, 8}, {8, 8}, kInk);
         }},
        {"BLine",
         [](QPainter& p) {
             p.setPen(Pen(kBranch, 2.0));
             p.drawLine(QPointF(3, 13), QPointF(13, 3));
             Node(p, {3, 13});
             Node(p, {13, 3});
         }},
        {"BPolyLine",
         [](QPainter& p) {
             p.setPen(Pen(kBranch, 2.0));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF({{2.5, 13}, {5, 5}, {10, 11}, {13.5, 3}}));
             Node(p, {2.5, 13});
             Node(p, {13.5, 3});
         }},
        {"BALine",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.drawLine(QPointF(2, 14), QPointF(14, 2));
         }},
        {"BRectangle",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(2, 4, 12, 8));
         }},
        {"BElipse",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
         }},
        {"BArc",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.4));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(2, 4, 12, 16), 0, 180 * 16);
         }},
        {"BPolygon",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.setBrush(QColor(170, 200, 240));
             p.drawPolygon(QPolygonF({{2, 12}, {4.5, 3}, {11, 2}, {14, 9}, {8, 14}}));
         }},
        {"BMove",
         [](QPainter& p) {
             DashedFrame(p, QRectF(1.5, 1.5, 9, 9));
             p.setPen(Pen(kBranch, 1.4));
             p.drawLine(QPointF(3.5, 8.5), QPointF(8.5, 3.5));
             p.setPen(Pen(kInk, 1.4));
             p.drawLine(QPointF(9, 9), QPointF(13.5, 13.5));
             Arrowhead(p, {15, 15}, {9, 9}, kInk);
         }},
        {"PropGroup",
         [](QPainter& p) {
             DashedFrame(p, QRectF(1.5, 1.5, 13, 13));
             p.setPen(Pen(kInk, 1.2));
             for (double y : {5.0, 8.0, 11.0}) {
                 p.drawLine(QPointF(4, y), QPointF(6, y));
                 p.drawLine(QPointF(8, y), QPointF(12, y));
             }
         }},
        {"TBForwardPlan",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(QColor(200, 200, 200));
             p.drawRect(QRectF(1.5, 1.5, 8, 8));
             p.setBrush(QColor(120, 170, 230));
             p.drawRect(QRectF(6.5, 6.5, 8, 8));
         }},
        {"ZoomRect",
         [](QPainter& p) {
             Magnifier(p);
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(4, 4.8, 5, 3.4));
         }},
        {"BPla",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(kFill);
             p.drawPolygon(QPolygonF({{3, 1.5}, {10, 1.5}, {13, 4.5}, {13, 14.5}, {3, 14.5}}));
             p.setPen(Pen(kRoute, 1.0));
             p.setBrush(kRoute);
             p.drawPolygon(QPolygonF({{8, 5}, {11.5, 12}, {4.5, 12}}));
             p.setPen(Pen(Qt::white, 1.0));
             p.drawLine(QPointF(8, 7.5), QPointF(8, 9.5));
         }},
        {"ToolButtonNavigator",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(QColor(235, 240, 245));
             p.drawRect(QRectF(1.5, 2.5, 13, 11));
             p.setPen(Pen(kBranch, 1.0));
             p.drawPolyline(QPolygonF({{3, 11}, {6, 6}, {9, 9}, {13, 4}}));
             p.setPen(Pen(kRoute, 1.2));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(5, 5, 5, 4.5));
         }},
        {"TBZamSt",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.setBrush(kFill);
             p.drawPie(QRectF(1.5, 3.5, 13, 13), 0, 180 * 16);
             p.setPen(Pen(kRoute, 1.4));
             p.drawLine(QPointF(8, 10), QPointF(11.5, 5.5));
             p.setPen(Pen(kInk, 1.0));
             for (double a : {20.0, 55.0, 90.0, 125.0, 160.0}) {
                 QLineF tick(QPointF(8, 10), QPointF(8, 4));
                 tick.setAngle(a);
                 p.drawLine(tick.pointAt(0.75), tick.pointAt(1.0));
             }
         }},
        {"Printrect",
         [](QPainter& p) {
             DashedFrame(p, QRectF(0.5, 0.5, 15, 15));
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(kFill);
             p.drawRect(QRectF(5, 3, 6, 4));
             p.setBrush(QColor(190, 190, 190));
             p.drawRect(QRectF(3, 7, 10, 4.5));
             p.setBrush(kFill);
             p.drawRect(QRectF(5, 10, 6, 3.5));
         }},
        {"ExtCalc",
         [](QPainter& p) {
             // Air parting at a node into two workings.
             p.setPen(Pen(kBranch, 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF({{1.5, 8}, {7, 8}, {12, 3.5}}));
             p.drawLine(QPointF(7, 8), QPointF(12, 12.5));
             Arrowhead(p, {14.5, 1.5}, {7, 8}, kBranch);
             Arrowhead(p, {14.5, 14.5}, {7, 8}, kBranch);
             Node(p, {7, 8});
         }},
        {"ToolChoose",
         [](QPainter& p) {
             p.setPen(Pen(kBranch, 2.0));
             p.drawLine(QPointF(1.5, 5), QPointF(14.5, 5));
             Node(p, {1.8, 5});
             Node(p, {14.2, 5});
             Pointer(p, {7, 5}, 0.95);
         }},
        {"ToolList",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(kFill);
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(120, 170, 230));
             p.drawRect(QRectF(2.5, 6.5, 11, 3));
             p.setPen(Pen(kInk, 1.0));
             for (double y : {4.5, 8.0, 11.5}) p.drawLine(QPointF(4, y), QPointF(12, y));
         }},
        {"ToolCreate", [](QPainter& p) { RoutePath(p, QColor(30, 140, 50)); }},
        {"ToolView",
         [](QPainter& p) {
             RoutePath(p, kRoute);
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(kFill);
             p.drawEllipse(QRectF(7.5, 10, 7, 5));
             p.setBrush(kInk);
             p.drawEllipse(QPointF(11, 12.5), 1.2, 1.2);
         }},
        {"ToolEdit",
         [](QPainter& p) {
             RoutePath(p, kRoute);
             p.setPen(Pen(kInk, 1.0));
             p.setBrush(QColor(240, 200, 80));
             p.drawPolygon(QPolygonF({{8, 15}, {8.6, 12.4}, {14, 7}, {15.6, 8.6}, {10.2, 14}}));
         }},
    };
    return drawings;
}

// Standard names of the freedesktop icon theme for the tools that have one.
const std::map<QString, QString>& ThemeNames() {
    static const std::map<QString, QString> names = {
        {"ZoomIn", "zoom-in"},
        {"ZoomOut", "zoom-out"},
        {"ViewAll", "zoom-fit-best"},
        {"GenButton", "x-office-spreadsheet"},
        {"ToolButtonImage", "camera-photo"},
        {"ToolButtonClBrd", "edit-copy"},
        {"TBAddBase", "list-add"},
        {"Prop", "document-properties"},
        {"Print", "document-print"},
        {"BText", "insert-text"},
        {"BPic", "insert-image"},
        {"Prev", "go-previous"},
        {"Next", "go-next"},
        {"Del", "edit-delete"},
        {"ToolSave", "document-save"},
        {"ToolTrash", "edit-clear"},
        {"ToolWayOpen", "go-jump"},
        {"ToolWayClose", "window-close"},
    };
    return names;
}

QIcon Drawn(const TDrawing& draw) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48}) {
        QPixmap pix(size, size);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        icon.addPixmap(pix);
    }
    return icon;
}

} // namespace

QIcon ToolButtonIcon(const QString& objectName) {
    if (auto t = ThemeNames().find(objectName); t != ThemeNames().end())
        return QIcon::fromTheme(t->second);
    auto d = Drawings().find(objectName);
    return d == Drawings().end() ? QIcon() : Drawn(d->second);
}

void MakeIconToolBar(QToolBar* bar) {
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(16, 16));
    for (QAction* a : bar->actions()) {
        if (a->isSeparator() || a->objectName().isEmpty()) continue;
        const QIcon icon = ToolButtonIcon(a->objectName());
        if (icon.isNull()) continue;
        // The text stays the hint: an action's tool tip is its text unless
        // it was given one of its own.
        a->setIcon(icon);
    }
}

} // namespace arv
