// The main window's tool modes: the menu and buttons that choose them, the
// cursors of the drawing area (the three zoom cursors drawn here), the mouse
// handed to the controller, the rubber bands drawn on the plan picture and
// the text dialog of the text tool.
#include "app/ui/DrawWinForm.h"

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QBitmap>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A magnifier with a plus (kind 0), a minus (1) or a frame (2) in its lens;
// the hot spot is the lens's centre.
QCursor ZoomCursor(int kind) {
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int pass = 0; pass < 2; ++pass) {
        // A white rim under the black keeps the cursor visible on dark plans.
        p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 4 : 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPoint(12, 12), 8, 8);
        p.drawLine(18, 18, 28, 28);
        p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 3 : 1));
        if (kind == 2) {
            p.drawRect(8, 9, 8, 6);
        } else {
            p.drawLine(8, 12, 16, 12);
            if (kind == 0) p.drawLine(12, 8, 12, 16);
        }
    }
    p.end();
    return QCursor(pix, 12, 12);
}

QCursor CursorOf(TPlanCursor c) {
    switch (c) {
    case TPlanCursor::Cross:
        return Qt::CrossCursor;
    case TPlanCursor::IBeam:
        return Qt::IBeamCursor;
    case TPlanCursor::Drag:
        return Qt::DragMoveCursor;
    case TPlanCursor::SizeAll:
        return Qt::SizeAllCursor;
    case TPlanCursor::ZoomIn:
        return ZoomCursor(0);
    case TPlanCursor::ZoomOut:
        return ZoomCursor(1);
    case TPlanCursor::ZoomRect:
        return ZoomCursor(2);
    case TPlanCursor::Default:
    case TPlanCursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

QFont QFontOf(const TFontRecord& f) {
    TFont logical;
    logical.name = f.name;
    logical.style = f.style;
    logical.charset = f.charset;
    logical.pitch = f.pitch;
    QFont q = TQtCanvas::MakeQFont(logical);
    q.setPointSize(std::clamp(f.size, 1, 1000));
    return q;
}

void TakeQFont(const QFont& q, TFontRecord& f) {
    std::string name = FromQString(q.family());
    if (name.size() > kFontNameMax) name.resize(kFontNameMax);
    f.name = name;
    if (q.pointSize() > 0) f.size = q.pointSize();
    f.style = static_cast<uint8_t>((q.bold() ? kFontBold : 0) | (q.italic() ? kFontItalic : 0) |
                                   (q.underline() ? kFontUnderline : 0) |
                                   (q.strikeOut() ? kFontStrikeOut : 0));
}

// The tool buttons: object name, caption, command.
struct TToolAction {
    const char* name;
    const char* caption;
    void (*command)(TIDrawWin&);
};

const TToolAction kToolActions[] = {
    {"BSelect", "Выбор", [](TIDrawWin& w) { w.ASelectExecute(); }},
    {"Shaper", "Правка объекта", [](TIDrawWin& w) { w.AShaperExecute(); }},
    {"ToolButtonMove", "Сдвиг плана", [](TIDrawWin& w) { w.ToolButtonMoveClick(); }},
    {"BLine", "Ветвь", [](TIDrawWin& w) { w.ALineExecute(); }},
    {"BPolyLine", "Ломаная ветвь", [](TIDrawWin& w) { w.APolyLineExecute(); }},
    {"BALine", "Линия", [](TIDrawWin& w) { w.BALineClick(); }},
    {"BRectangle", "Прямоугольник", [](TIDrawWin& w) { w.APolygonExecute(); }},
    {"BElipse", "Эллипс", [](TIDrawWin& w) { w.BElipseClick(); }},
    {"BArc", "Дуга", [](TIDrawWin& w) { w.BArcClick(); }},
    {"BPolygon", "Многоугольник", [](TIDrawWin& w) { w.BPolygonClick(); }},
    {"BText", "Текст", [](TIDrawWin& w) { w.ATextExecute(); }},
    {"BPic", "Картинка", [](TIDrawWin& w) { w.BPicClick(); }},
    {"BMove", "Перенос группы", [](TIDrawWin& w) { w.BMoveClick(); }},
    {"PropGroup", "Свойства группы", [](TIDrawWin& w) { w.PropGroupClick(); }},
    {"TBForwardPlan", "На место текущего", [](TIDrawWin& w) { w.TBForwardPlanClick(); }},
};

} // namespace

void TIDrawWinForm::BuildToolModes() {
    QMenu* menu = menuBar()->addMenu(U("Инструменты"));
    menu->setObjectName("MTools");
    addToolBarBreak();
    QToolBar* bar = addToolBar(U("Рисование"));
    bar->setObjectName("ToolBar2");
    for (const TToolAction& t : kToolActions) {
        auto command = t.command;
        QAction* a = AddAction(
            menu, t.name, t.caption, [this, command] { command(w_); }, true);
        bar->addAction(a);
    }
    // The zoom tools of the view menu show their mode as the others do.
    for (const char* name : {"ZoomIn", "ZoomOut", "ZoomRect"})
        if (QAction* a = Action(name)) a->setCheckable(true);
    menu->addSeparator();
    bar->addSeparator();
    struct TFigureCommand {
        const char* name;
        const char* caption;
        void (*command)(TIDrawWin&);
    };
    for (const TFigureCommand& c :
         {TFigureCommand{"Prev", "Предыдущий объект", [](TIDrawWin& w) { w.PrevExecute(); }},
          TFigureCommand{"Next", "Следующий объект", [](TIDrawWin& w) { w.NextExecute(); }},
          TFigureCommand{"Del", "Удалить объект", [](TIDrawWin& w) { w.DelExecute(); }}}) {
        auto command = c.command;
        bar->addAction(AddAction(menu, c.name, c.caption, [this, command] { command(w_); }));
    }
}

void TIDrawWinForm::SyncToolModes() {
    for (const TToolAction& t : kToolActions) CheckAction(t.name, w_.ToolButtonDown == t.name);
    for (const char* name : {"ZoomIn", "ZoomOut", "ZoomRect"})
        CheckAction(name, w_.ToolButtonDown == name);
    const int cursor = static_cast<int>(w_.PlanCursor);
    if (cursor != shownCursor_) {
        shownCursor_ = cursor;
        PaintBox1()->setCursor(CursorOf(w_.PlanCursor));
    }
}

void TIDrawWinForm::PlanMouse(int event, QMouseEvent* e) {
    TMouseShift shift;
    shift.shift = e->modifiers() & Qt::ShiftModifier;
    shift.ctrl = e->modifiers() & Qt::ControlModifier;
    shift.left = e->buttons() & Qt::LeftButton;
    TMouseButton button = TMouseButton::Middle;
    if (e->button() == Qt::LeftButton) button = TMouseButton::Left;
    if (e->button() == Qt::RightButton) button = TMouseButton::Right;
    const QPoint p = e->position().toPoint();
    Run([&] {
        if (event == 0)
            w_.PaintBox1MouseDown(button, shift, p.x(), p.y());
        else if (event == 1)
            w_.PaintBox1MouseMove(shift, p.x(), p.y());
        else
            w_.PaintBox1MouseUp(button, shift, p.x(), p.y());
    });
}

void TIDrawWinForm::DrawOnPlan(const std::function<void(TCanvas&)>& draw) {
    if (plan_.isNull()) return;
    {
        TQtCanvas canvas(plan_);
        draw(canvas);
    }
    PaintBox1()->update();
}

bool TIDrawWinForm::AskText(std::string& text, TFontRecord& font) {
    QDialog dialog(this);
    dialog.setObjectName("EntText");
    dialog.setWindowTitle(U("Введите текст"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QLineEdit(ToQString(text));
    edit->setObjectName("Edit1");
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* fontButton = buttons->addButton(U("Шрифт ..."), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    QFont chosen = QFontOf(font);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(fontButton, &QPushButton::clicked, &dialog, [&] {
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, chosen, &dialog);
        if (ok) chosen = f;
    });
    if (dialog.exec() != QDialog::Accepted) return false;
    text = FromQString(edit->text());
    TakeQFont(chosen, font);
    return true;
}

void TIDrawWinForm::ShowPropertyPanel() {
    // The property panel's button, when the window has one.
    if (QAction* a = Action("Prop"); a && a->isCheckable() && !a->isChecked()) a->trigger();
}

} // namespace arv
