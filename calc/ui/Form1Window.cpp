#include "Form1Window.h"

#include "NasDlgWindow.h"
#include "calc/ui/FocusWindowKind.h"

#include "platform/Services.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextEditors.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace arv {

TForm1* Form1 = nullptr;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFont FontOf(const std::string& name, int size, bool fixedPitch = false) {
    return WindowsFont(name, std::max(6, size), fixedPitch);
}

QString MemoText(const TMemo& memo) {
    QStringList lines;
    for (const std::string& line : memo.Lines) lines << ToQString(line);
    return lines.join('\n');
}

// Icons of the tool buttons without a caption: the desktop theme's name,
// else the style's glyph.
struct TButtonGlyph {
    const char* theme;
    QStyle::StandardPixmap glyph;
};
const TButtonGlyph kButtonGlyphs[] = {
    {"media-playback-start", QStyle::SP_MediaPlay},
    {"accessories-calculator", QStyle::SP_ComputerIcon},
    {"view-pin-symbolic", QStyle::SP_ArrowLeft},
    {"edit-find", QStyle::SP_FileDialogContentsView},
    {"x-office-spreadsheet", QStyle::SP_FileDialogInfoView},
    {"", QStyle::SP_CustomBase},
    {"", QStyle::SP_CustomBase},
    {"view-sort-ascending", QStyle::SP_ArrowDown},
    {"go-jump", QStyle::SP_DirHomeIcon},
};

} // namespace

TForm1::TForm1(TDataWindowController& controller, QWidget* parent)
    : QMainWindow(parent), w_(controller), t_(controller.Tables()) {
    setObjectName("Form1");
    notebook_ = new QTabWidget;
    notebook_->setObjectName("TabbedNotebook1");
    notebook_->addTab(BuildGeneralPage(), U("Общие"));
    notebook_->addTab(GridPage({&t_.TablDan, &t_.TablID}), U("Сеть"));
    notebook_->addTab(GridPage({&t_.TablVen}), U("Вентиляторы"));
    notebook_->addTab(MemoPage(GridPage({&t_.TablPotr}), memoPotr_), U("Потребители"));
    notebook_->addTab(MemoPage(nullptr, memoDav_), U("Давление"));
    notebook_->addTab(MemoPage(nullptr, memoUst_), U("Устойчивость"));
    notebook_->addTab(GridPage({&t_.TablDanRev, &t_.TablVenRev}), U("   "));
    notebook_->addTab(GridPage({&t_.TablDavl}), U("Узлы"));
    setCentralWidget(notebook_);
    memoPotr_->setObjectName("MemoPotr");
    memoDav_->setObjectName("MemoDav");
    memoUst_->setObjectName("MemoUst");

    typePicker_ = new QListWidget(this);
    typePicker_->setObjectName("VybTip");
    for (const std::string& line : t_.VybTip.Items) typePicker_->addItem(ToQString(line));
    typePicker_->hide();
    typePicker_->installEventFilter(this);
    connect(typePicker_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!refreshing_ && row >= 0) t_.VybTip.ItemIndex = row;
    });
    connect(typePicker_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
        int row = typePicker_->row(item);
        RunCommand([this, row] { t_.VybTipMouseDown(row); });
    });

    BuildMenus();
    BuildToolBar();
    connect(notebook_, &QTabWidget::currentChanged, this, [this](int page) {
        if (!refreshing_) RunCommand([this, page] { w_.TabbedNotebook1Change(page); });
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* window) { FocusWindowChanged(window); });

    w_.SetView(this);
    w_.FormCreate();
    const TWindowPlace& place = w_.WindowSettings().Place;
    move(place.Left, place.Top);
    resize(place.Width, place.Height);
    ApplyFonts();
    Refresh();
    Form1 = this;
}

TForm1::~TForm1() {
    w_.SetView(nullptr);
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::SetSettingsDialog(TNasDlg* dialog) {
    settingsDialog_ = dialog;
    if (!dialog) return;
    dialog->OnFontsChanged = [this] {
        ApplyFonts();
        Refresh();
    };
    dialog->OnFlowsRewritten = [this] { RunCommand([this] { w_.FlowsRewritten(); }); };
}

QAction* TForm1::Action(const std::string& name) const {
    auto i = actions_.find(name);
    return i == actions_.end() ? nullptr : i->second;
}

TGridView* TForm1::GridView(const TModGrid& grid) const {
    auto i = views_.find(&grid);
    return i == views_.end() ? nullptr : i->second;
}

void TForm1::RunCommand(const std::function<void()>& command) {
    RunCommandSafely(command);
    Refresh();
}

void TForm1::BuildMenus() {
    for (TMenu& menu : w_.Menus()) {
        std::string menuName = menu.Name;
        if (menu.Items.empty()) {
            QAction* a = menuBar()->addAction(ToQString(menu.Caption));
            a->setObjectName(ToQString(menuName));
            actions_[menuName] = a;
            connect(a, &QAction::triggered, this, [this, menuName] {
                TMenu* m = w_.FindMenu(menuName);
                if (m && m->OnClick) RunCommand(m->OnClick);
            });
            continue;
        }
        QMenu* popup = menuBar()->addMenu(ToQString(menu.Caption));
        popup->setObjectName(ToQString(menuName));
        actions_[menuName] = popup->menuAction();
        for (TMenuItem& item : menu.Items) {
            std::string name = item.Name;
            QAction* a = popup->addAction(ToQString(item.Caption));
            a->setObjectName(ToQString(name));
            if (!item.ShortCut.empty())
                a->setShortcut(QKeySequence(QString::fromLatin1(item.ShortCut.c_str())));
            actions_[name] = a;
            connect(a, &QAction::triggered, this, [this, name] {
                TMenuItem* i = w_.FindItem(name);
                if (i && i->OnClick) RunCommand(i->OnClick);
            });
        }
    }
}

void TForm1::BuildToolBar() {
    toolBar_ = addToolBar(U("Панель"));
    toolBar_->setObjectName("ToolBar");
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(16, 16));
    auto& buttons = w_.ToolButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        QAction* a = toolBar_->addAction(ToQString(buttons[i].Caption));
        if (buttons[i].Caption.empty() && i < std::size(kButtonGlyphs))
            a->setIcon(QIcon::fromTheme(QString::fromLatin1(kButtonGlyphs[i].theme),
                                        style()->standardIcon(kButtonGlyphs[i].glyph)));
        a->setToolTip(ToQString(buttons[i].Hint));
        a->setObjectName(ToQString(buttons[i].Name));
        actions_[buttons[i].Name] = a;
        connect(a, &QAction::triggered, this, [this, i] {
            const TToolButton& b = w_.ToolButtons()[i];
            if (b.OnClick) RunCommand(b.OnClick);
        });
    }
}

QWidget* TForm1::BuildGeneralPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    struct TField {
        std::string* value;
        const char* name;
        const char* label;
    };
    const TField fields[] = {
        {&t_.NameSh, "NameSh", "Наименование"},
        {&t_.NameVar, "NameVar", "Вариант"},
        {&t_.NameVarAv, "NameVarAv", "Вариант ав.реж."},
        {&t_.Tnar, "Tnar", "Температура наружного воздуха"},
        {&t_.Tsh, "Tsh", "Температура воздуха в шахте"},
        {&t_.Pnar, "Pnar", "Барометрическое давл.на поверхн"},
        {&t_.Psh, "Psh", "Барометрическое давл. в шахте"},
        {&t_.UzPov, "UzPov", "Узлы поверхности"},
    };
    for (const TField& f : fields) {
        auto* edit = new QLineEdit;
        edit->setObjectName(f.name);
        auto* label = new QLabel(U(f.label));
        form->addRow(label, edit);
        fields_[f.value] = edit;
        std::string* value = f.value;
        // A typed field is data to save: the reverse-mode variant's name goes
        // into the reverse-mode file, the others with the branch table.
        TModGrid& owner = value == &t_.NameVarAv ? t_.TablDanRev : t_.TablDan;
        connect(edit, &QLineEdit::textEdited, this, [value, &owner](const QString& text) {
            *value = FromQString(text);
            owner.Modified = true;
        });
        if (value == &t_.NameVarAv) {
            nameVarAv_ = edit;
            nameVarAvLabel_ = label;
        }
    }
    // The surface nodes come from the drawing and the data, not from typing.
    fields_[&t_.UzPov]->setReadOnly(true);
    branchCount_ = new QLineEdit;
    nodeCount_ = new QLineEdit;
    branchCount_->setObjectName("BranchCount");
    nodeCount_->setObjectName("NodeCount");
    for (QLineEdit* e : {branchCount_, nodeCount_}) {
        e->setReadOnly(true);
        e->setMaximumWidth(100);
    }
    form->addRow(U("Количество ветвей"), branchCount_);
    form->addRow(U("Количество узлов"), nodeCount_);
    return page;
}

QWidget* TForm1::GridPage(std::initializer_list<TModGrid*> grids) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    // On the reverse page the branch table takes the upper part.
    int stretch = static_cast<int>(grids.size());
    for (TModGrid* grid : grids) {
        auto* view = new TGridView(*grid, page);
        view->setObjectName(ToQString(grid->Name()));
        views_[grid] = view;
        layout->addWidget(view, stretch--);
    }
    return page;
}

QWidget* TForm1::MemoPage(QWidget* above, QPlainTextEdit*& memo) {
    memo = new TPlainTextEditor;
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPlainTextEdit* edit = memo;
    connect(memo, &QPlainTextEdit::textChanged, this, [this, edit] {
        if (refreshing_) return;
        TMemo& m = edit == memoPotr_ ? t_.MemoPotr : edit == memoDav_ ? t_.MemoDav : t_.MemoUst;
        m.Lines.clear();
        for (const QString& line : edit->toPlainText().split('\n')) m.Add(FromQString(line));
    });
    if (!above) return memo;
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(above);
    split->addWidget(memo);
    return split;
}

void TForm1::ApplyFonts() {
    const TDataWindowSettings& s = w_.WindowSettings();
    setFont(FontOf(s.WindowFont.Name, s.WindowFont.Size));
    notebook_->tabBar()->setFont(FontOf(s.TabFont.Name, s.TabFont.Size));
    typePicker_->setFont(FontOf(t_.VybTip.FontName, t_.VybTip.FontSize));
    const std::pair<QPlainTextEdit*, const TMemo*> memos[] = {
        {memoPotr_, &t_.MemoPotr}, {memoDav_, &t_.MemoDav}, {memoUst_, &t_.MemoUst}};
    for (auto [edit, memo] : memos) edit->setFont(FontOf(memo->FontName, memo->FontSize, true));
    // The grids take their own fonts from their models (TGridView), whatever
    // font the window has.
}

void TForm1::RefreshFields() {
    for (auto [value, edit] : fields_) {
        QString text = ToQString(*value);
        if (edit->text() != text) edit->setText(text);
    }
    nameVarAv_->setVisible(t_.NameVarAvVisible);
    nameVarAvLabel_->setVisible(t_.NameVarAvVisible);
    branchCount_->setText(ToQString(t_.BranchCountText));
    nodeCount_->setText(ToQString(t_.NodeCountText));
}

void TForm1::RefreshMemos() {
    const std::pair<QPlainTextEdit*, const TMemo*> memos[] = {
        {memoPotr_, &t_.MemoPotr}, {memoDav_, &t_.MemoDav}, {memoUst_, &t_.MemoUst}};
    for (auto [edit, memo] : memos) {
        QString text = MemoText(*memo);
        if (edit->toPlainText() != text) edit->setPlainText(text);
    }
}

void TForm1::Refresh() {
    refreshing_ = true;
    setWindowTitle(ToQString(w_.Caption));
    // The reverse-mode page shows only while a reverse-mode command uses it.
    notebook_->setTabVisible(PageReverse, w_.ActivePage() == PageReverse);
    if (notebook_->currentIndex() != w_.ActivePage()) notebook_->setCurrentIndex(w_.ActivePage());
    RefreshFields();
    RefreshMemos();
    for (const TMenu& menu : w_.Menus()) {
        if (QAction* a = Action(menu.Name)) {
            a->setVisible(menu.Visible);
            a->setEnabled(menu.Enabled);
        }
        for (const TMenuItem& item : menu.Items)
            if (QAction* a = Action(item.Name)) {
                a->setVisible(item.Visible);
                a->setEnabled(item.Enabled);
            }
    }
    if (!t_.VybTip.Visible && typePicker_->isVisible()) {
        typePicker_->hide();
        if (TGridView* v = GridView(w_.ActivePage() == PageReverse ? t_.TablDanRev : t_.TablDan))
            v->setFocus();
    }
    refreshing_ = false;
}

void TForm1::FocusTypePicker() {
    TModGrid& grid = w_.ActivePage() == PageReverse ? t_.TablDanRev : t_.TablDan;
    TGridView* view = GridView(grid);
    if (!view) return;
    QRect cell = view->visualRect(view->FromGrid(grid.Col(), grid.Row()));
    QPoint at = view->viewport()->mapTo(this, cell.bottomLeft());
    refreshing_ = true;
    typePicker_->setCurrentRow(t_.VybTip.ItemIndex);
    refreshing_ = false;
    int width = typePicker_->sizeHintForColumn(0) + 2 * typePicker_->frameWidth() + 8;
    int height =
        typePicker_->sizeHintForRow(0) * typePicker_->count() + 2 * typePicker_->frameWidth();
    typePicker_->setGeometry(QRect(at, QSize(width, height)));
    typePicker_->show();
    typePicker_->raise();
    typePicker_->setFocus();
}

void TForm1::ShowSettingsDialog() {
    if (settingsDialog_)
        settingsDialog_->ShowSettings();
    else
        NasDlgShow(w_.NasDlgModel(), w_.CalcContext().CalcOptions);
}

void TForm1::DataSetReplaced() {
    if (settingsDialog_) settingsDialog_->DataSetReplaced();
}

void TForm1::CloseWindow() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    w_.WindowSettings().Place = {x(), y(), width(), height()};
    w_.FormClose();
    event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == typePicker_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        char ch = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            ch = '\r';
        else if (key->key() == Qt::Key_Escape)
            ch = 27;
        else if (!key->text().isEmpty())
            ch = FromQString(key->text().left(1)).c_str()[0];
        // Moving in the list is no key press of a character.
        if (ch == 0) return false;
        RunCommand([this, ch] { t_.VybTipKeyPress(ch); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::FocusWindowChanged(QWindow* window) {
    using K = TActivationTracker;
    const K::TWindowKind kind = FocusWindowKind(window, *this);
    if (activation_.FocusMovedTo(kind)) RunCommand([this] { w_.FormActivate(); });
}

} // namespace arv
