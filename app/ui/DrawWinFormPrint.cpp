// The main window's print commands, the "Формат" box and the commands that
// show the small windows; the windows are made here once and live as long
// as the main window.
#include "app/ui/DrawWinForm.h"
#include "app/ui/PrintWindows.h"
#include "app/ui/SmallWindowsUi.h"
#include "platform/Files.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A menu of the menu bar by its title, made when missing.
QMenu* MenuNamed(QMenuBar* bar, const char* title) {
    for (QAction* a : bar->actions())
        if (a->menu() && a->text() == U(title)) return a->menu();
    return bar->addMenu(U(title));
}

} // namespace

void TIDrawWinForm::BuildPrintAndSmallWindows() {
    if (const QScreen* s = QApplication::primaryScreen()) w_.ScreenWidth = s->geometry().width();
    printDlg_ = new TPrintDlg(w_, this);
    w_.ShowPrintDialog = [this] {
        printDlg_->ShowControls();
        printDlg_->exec();
    };
    new TFormNavigator(w_, this);
    new TFormImage(this);
    new TFormEditUO(w_, this);
    new TFormExtract(this);

    // "Печать..." and the printer set-up go before the file menu's end.
    QMenu* file = MenuNamed(menuBar(), "Файл");
    QAction* exit = Action("Exit1");
    QAction* print = new QAction(U("&Печать..."), this);
    print->setObjectName("Print1");
    connect(print, &QAction::triggered, this, [this] { Run([this] { w_.Print1Click(); }); });
    QAction* setup = new QAction(U("Установки принтера..."), this);
    setup->setObjectName("PrintSetup1");
    connect(setup, &QAction::triggered, this, [this] { PrintSetup1Click(); });
    file->insertAction(exit, print);
    file->insertAction(exit, setup);
    file->insertSeparator(exit);
    actions_["Print1"] = print;
    actions_["PrintSetup1"] = setup;

    QMenu* service = MenuNamed(menuBar(), "Сервис");
    AddAction(service, "MEditUO", "Редактор условных обозначений", [] {
        if (TFormEditUO* e = FormEditUO()) ShowWindowRestored(*e);
    });
    QMenu* help = MenuNamed(menuBar(), "Справка");
    AddAction(help, "Mabout", "О программе", [this] { MaboutClick(); });

    QToolBar* bar = addToolBar(U("Печать"));
    bar->setObjectName("ToolBarPrint");
    QAction* printButton = bar->addAction(U("Печать"));
    printButton->setObjectName("Print");
    printButton->setToolTip(U("Печать документа"));
    connect(printButton, &QAction::triggered, this, [this] { Run([this] { w_.PrintClick(); }); });
    actions_["Print"] = printButton;
    QAction* printRect = bar->addAction(U("Печать части"));
    printRect->setObjectName("Printrect");
    printRect->setToolTip(U("Печать части документа"));
    printRect->setCheckable(true);
    connect(printRect, &QAction::triggered, this, [this] { Run([this] { w_.PrintrectClick(); }); });
    actions_["Printrect"] = printRect;
    comboBox2_ = new QComboBox;
    comboBox2_->setObjectName("ComboBox2");
    for (const char* item :
         {"Формат", "А4 -книга", "А4 -альбом", "А3 -книга", "А3 -альбом", "А2 -книга", "А2 -альбом",
          "А1 -книга", "А1 -альбом", "А0 -книга", "А0 -альбом"})
        comboBox2_->addItem(U(item));
    connect(comboBox2_, &QComboBox::activated, this,
            [this](int item) { Run([this, item] { w_.ComboBox2Change(item); }); });
    bar->addWidget(comboBox2_);
    // The navigator button of the tool bar and the photo button show these.
    w_.ShowNavigator = [] {
        if (TFormNavigator* n = FormNavigator()) {
            ShowWindowRestored(*n);
            n->FormActivate();
        }
    };
    w_.ShowPictureViewer = [](const TIDrawWin::TPictureRequest& request) {
        TFormImage* f = FormImage();
        if (!f) return false;
        // The file the command found, which may differ in letter case from
        // the name the object keeps.
        f->State().PhotoFolder = ExtractFilePath(request.Path);
        f->State().PhotoFileName = ExtractFileName(request.Path);
        f->State().PictureScaleStep = 0;
        f->State().Layout = request.Layout;
        f->setWindowTitle(ToQString(request.Caption));
        if (!f->ShowPicture()) return false;
        ShowWindowRestored(*f);
        return true;
    };
}

void TIDrawWinForm::RefreshPrintControls() {
    if (comboBox2_ && comboBox2_->currentIndex() != w_.ComboBox2Index)
        comboBox2_->setCurrentIndex(w_.ComboBox2Index);
    CheckAction("Printrect", w_.ToolButtonDown == "Printrect");
}

void TIDrawWinForm::PrintSetup1Click() {
    printDlg_->RunPrinterSetup(this);
}

TAboutBox* TIDrawWinForm::AboutBox() {
    TAboutBox* box = findChild<TAboutBox*>("AboutBox");
    return box ? box : new TAboutBox(this);
}

void TIDrawWinForm::MaboutClick() {
    // Made for each showing and freed after it.
    TAboutBox* box = AboutBox();
    box->exec();
    delete box;
}

} // namespace arv
