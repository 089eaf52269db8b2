#include "app/ui/PrintWindows.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Points the printer at a system printer; false when that printer is not
// there. The file of an earlier print to PDF would otherwise take the
// printer's output.
bool AimAtPrinter(QPrinter& printer, const QString& name) {
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(name);
    return printer.outputFormat() == QPrinter::NativeFormat && printer.printerName() == name;
}

} // namespace

// ---- The printer ----

TQtPrintTarget::~TQtPrintTarget() = default;

TPrinterCaps TQtPrintTarget::Caps() {
    TPrinterCaps c;
    c.horzSize = printer_.widthMM();
    c.vertSize = printer_.heightMM();
    c.horzRes = printer_.width();
    c.vertRes = printer_.height();
    const QRect paint = printer_.pageLayout().paintRectPixels(printer_.resolution());
    c.offsetX = paint.left();
    c.offsetY = paint.top();
    return c;
}

bool TQtPrintTarget::Landscape() {
    return printer_.pageLayout().orientation() == QPageLayout::Landscape;
}

void TQtPrintTarget::SetLandscape(bool landscape) {
    printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TQtPrintTarget::SetCopies(int copies) {
    printer_.setCopyCount(copies);
}

bool TQtPrintTarget::BeginJob(std::string& errorText) {
    canvas_ = std::make_unique<TQtCanvas>(&printer_, printer_.resolution());
    if (canvas_->Painter().isActive()) return true;
    canvas_.reset();
    errorText = Ru("Принтер не готов");
    return false;
}

TCanvas& TQtPrintTarget::BeginPage(const TRect& r) {
    QPainter& p = canvas_->Painter();
    const QRect clip(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1);
    p.setClipRect(clip);
    p.fillRect(clip, Qt::white);
    return *canvas_;
}

void TQtPrintTarget::EndPage(const TRect& r, bool frame) {
    QPainter& p = canvas_->Painter();
    if (frame) {
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    p.setClipping(false);
}

bool TQtPrintTarget::NewPage() {
    return printer_.newPage();
}

void TQtPrintTarget::EndJob() {
    if (canvas_) canvas_->Finish();
    canvas_.reset();
}

void TQtPrintTarget::AbortJob() {
    printer_.abort();
    if (canvas_) canvas_->Finish();
    canvas_.reset();
}

// ---- The printer's set-up ----

QString TPrinterSetupDlg::PdfEntry() {
    return U("Файл PDF");
}

TPrinterSetupDlg::TPrinterSetupDlg(QPrinter& printer, TPrintDestination& destination,
                                   QWidget* parent)
    : QDialog(parent), printer_(printer), destination_(destination) {
    setObjectName("PrinterSetupDlg");
    setWindowTitle(U("Настройка печати"));
    auto* layout = new QVBoxLayout(this);

    auto* printerBox = new QGroupBox(U("Принтер"));
    auto* pl = new QHBoxLayout(printerBox);
    pl->addWidget(new QLabel(U("Имя:")));
    printerName_ = new QComboBox;
    printerName_->setObjectName("PrinterName");
    printerName_->addItems(AvailablePrinterNames());
    printerName_->addItem(PdfEntry());
    const int current =
        destination_.ToPdf() ? -1 : printerName_->findText(destination_.printerName);
    printerName_->setCurrentIndex(current >= 0 ? current : printerName_->count() - 1);
    pl->addWidget(printerName_, 1);
    layout->addWidget(printerBox);

    auto* paperBox = new QGroupBox(U("Бумага"));
    auto* ppl = new QHBoxLayout(paperBox);
    ppl->addWidget(new QLabel(U("Размер:")));
    paperSize_ = new QComboBox;
    paperSize_->setObjectName("PaperSize");
    for (QPageSize::PageSizeId id :
         {QPageSize::A5, QPageSize::A4, QPageSize::A3, QPageSize::A2, QPageSize::A1, QPageSize::A0,
          QPageSize::Letter, QPageSize::Legal})
        paperSize_->addItem(QPageSize::name(id), static_cast<int>(id));
    const QPageSize::PageSizeId size = printer_.pageLayout().pageSize().id();
    int sizeIndex = paperSize_->findData(static_cast<int>(size));
    if (sizeIndex < 0) {
        paperSize_->addItem(QPageSize::name(size), static_cast<int>(size));
        sizeIndex = paperSize_->count() - 1;
    }
    paperSize_->setCurrentIndex(sizeIndex);
    ppl->addWidget(paperSize_, 1);
    layout->addWidget(paperBox);

    auto* orientBox = new QGroupBox(U("Ориентация"));
    auto* ol = new QHBoxLayout(orientBox);
    portrait_ = new QRadioButton(U("Книжная"));
    portrait_->setObjectName("Portrait");
    landscape_ = new QRadioButton(U("Альбомная"));
    landscape_->setObjectName("Landscape");
    const bool turned = printer_.pageLayout().orientation() == QPageLayout::Landscape;
    portrait_->setChecked(!turned);
    landscape_->setChecked(turned);
    ol->addWidget(portrait_);
    ol->addWidget(landscape_);
    layout->addWidget(orientBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TPrinterSetupDlg::Apply() {
    const QString name = printerName_->currentText();
    destination_.printerName = name == PdfEntry() ? QString() : name;
    // A printer that is not there is told of when a print is asked for.
    if (destination_.ToPdf())
        printer_.setOutputFormat(QPrinter::PdfFormat);
    else
        AimAtPrinter(printer_, name);
    printer_.setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(paperSize_->currentData().toInt())));
    printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait);
}

bool TPrintDlg::RunPrinterSetup(QWidget* parent) {
    TPrinterSetupDlg dialog(printer_, destination_, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.Apply();
    return true;
}

// ---- The print dialog ----

TPrintDlg::TPrintDlg(TIDrawWin& w, QWidget* parent) : QDialog(parent), w_(w) {
    setObjectName("PrintDlg");
    setWindowTitle(U("Печать документа"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(U("Вписать в формат")), 0, 0);
    comboBox1_ = new QComboBox;
    comboBox1_->setObjectName("ComboBox1");
    comboBox1_->addItems({"A4", "A3", "A2", "A1", "A0"});
    top->addWidget(comboBox1_, 0, 1);
    top->addWidget(new QLabel(U("Число копий")), 1, 0);
    copies_ = new QSpinBox;
    copies_->setObjectName("Copies");
    copies_->setRange(1, 1000);
    top->addWidget(copies_, 1, 1);
    layout->addLayout(top);

    auto* orient = new QGroupBox(U("Ориентация"));
    auto* ol = new QHBoxLayout(orient);
    portret_ = new QRadioButton(U("Портрет"));
    portret_->setObjectName("Portret");
    landScape_ = new QRadioButton(U("Альбом"));
    landScape_->setObjectName("LandScape");
    ol->addWidget(portret_);
    ol->addWidget(landScape_);
    layout->addWidget(orient);

    bord_ = new QCheckBox(U("Печать границ страницы"));
    bord_->setObjectName("Bord");
    bwPrint_ = new QCheckBox(U("Черно-белый принтер"));
    bwPrint_->setObjectName("BWPrint");
    layout->addWidget(bord_);
    layout->addWidget(bwPrint_);

    auto* fields = new QGroupBox(U("Поля"));
    auto* fl = new QGridLayout(fields);
    const char* names[4] = {"LLeft", "LTop", "LRight", "LBottom"};
    const char* captions[4] = {"Слева", "Сверху", "Справа", "Снизу"};
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QSpinBox;
        margins_[i]->setObjectName(names[i]);
        margins_[i]->setRange(0, 1000);
        fl->addWidget(new QLabel(U(captions[i])), i / 2, (i % 2) * 3);
        fl->addWidget(margins_[i], i / 2, (i % 2) * 3 + 1);
        fl->addWidget(new QLabel(U("в мм")), i / 2, (i % 2) * 3 + 2);
    }
    layout->addWidget(fields);

    auto* area = new QHBoxLayout;
    area->addWidget(new QLabel(U("Область вывода")));
    label3_ = new QLabel;
    label3_->setObjectName("Label3");
    area->addWidget(label3_, 1);
    layout->addLayout(area);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const char* caption, void (TPrintDlg::*click)()) {
        auto* b = new QPushButton(U(caption));
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, Safely([this, click] { (this->*click)(); }));
        buttons->addWidget(b);
        return b;
    };
    button("Pok", "Печать", &TPrintDlg::PokClick)->setDefault(true);
    button("Pcansel", "Отмена", &TPrintDlg::PcanselClick);
    button("PSetup", "Принтер ...", &TPrintDlg::PSetupClick);
    // The preview is offered: it shows what the settings above will print.
    button("ButtonPreView", "Просмотр", &TPrintDlg::ButtonPreViewClick);
    layout->addLayout(buttons);

    // The desktop's default printer, or a PDF file where it has none. Qt's
    // printer starts at the system's default on its own; it is aimed here,
    // so that nothing reaches a printer the printer list does not name.
    destination_.printerName = DefaultPrinterName();
    if (destination_.ToPdf() || !AimAtPrinter(printer_, destination_.printerName))
        printer_.setOutputFormat(QPrinter::PdfFormat);
    state_.FormCreate();
    w_.PrintState.PrintRectMode = false;
    ShowControls();
    preview_ = new TFormPreView(w_, *this, this);
}

TPrintDlg::~TPrintDlg() = default;

void TPrintDlg::ReadControls() {
    state_.ComboBox1 = comboBox1_->currentIndex();
    state_.Copies = copies_->value();
    state_.Portret = portret_->isChecked();
    state_.Bord = bord_->isChecked();
    state_.BWPrint = bwPrint_->isChecked();
    state_.LLeft = margins_[0]->value();
    state_.LTop = margins_[1]->value();
    state_.LRight = margins_[2]->value();
    state_.LBottom = margins_[3]->value();
}

void TPrintDlg::ShowControls() {
    comboBox1_->setCurrentIndex(state_.ComboBox1);
    copies_->setValue(state_.Copies);
    portret_->setChecked(state_.Portret);
    landScape_->setChecked(!state_.Portret);
    bord_->setChecked(state_.Bord);
    bwPrint_->setChecked(state_.BWPrint);
    margins_[0]->setValue(state_.LLeft);
    margins_[1]->setValue(state_.LTop);
    margins_[2]->setValue(state_.LRight);
    margins_[3]->setValue(state_.LBottom);
    label3_->setText(ToQString(state_.Label3));
}

namespace {

// Puts the PDF written under its temporary name in the file's place when the
// print ended well, and removes it otherwise. False when a finished print
// could not be put there.
bool FinishPdfFile(const std::string& file, const std::string& temp, bool printed) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(NativePath(temp), ec);
    const bool done = printed && !ec && size > 0 && ReplaceFileWith(file, temp);
    if (!done) DeleteFile(temp);
    return done || !printed;
}

} // namespace

void TPrintDlg::PokClick() {
    ReadControls();
    std::string pdfTemp;
    // Nothing to print is said before a file is asked for.
    if (PrintRegionOf(w_.Doc(), w_.PrintState) == TRect{}) {
        MessageBox(Ru("Чертеж пуст: печатать нечего."), "", TMsgButtons::Ok, TMsgIcon::Information);
        return;
    }
    // Each print to a file asks for the file, proposing the last one, and
    // the dialog asks before it replaces one that exists.
    if (destination_.ToPdf()) {
        TFileDialogRequest request;
        request.filter = "PDF|*.pdf";
        request.defaultExt = "pdf";
        request.fileName = FromQString(destination_.lastPdfFile);
        request.overwritePrompt = true;
        if (!SaveFileDialog(request)) return;
        destination_.lastPdfFile = ToQString(request.fileName);
        // Written beside the file and renamed over it when the print ends
        // well: a print that breaks off leaves the file as it was.
        if (!CreateFileBeside(request.fileName, pdfTemp)) {
            MessageBox(
                Format(Ru("Печать не выполнена: не удается записать файл %s."), {request.fileName}),
                "", TMsgButtons::Ok, TMsgIcon::Error);
            return;
        }
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(ToQString(pdfTemp));
    } else if (!AimAtPrinter(printer_, destination_.printerName)) {
        MessageBox(
            Format(Ru("Принтер \"%s\" недоступен. Выберите другой в \"Установки принтера...\"."),
                   {FromQString(destination_.printerName)}),
            "", TMsgButtons::Ok, TMsgIcon::Warning);
        return;
    }
    // The job is titled after the drawing, as a print queue lists it.
    printer_.setDocName(ToQString(ExtractFileName(w_.CurrentFileName())));
    {
        std::unique_ptr<IPrintTarget> target =
            PrintTarget ? PrintTarget(printer_) : std::make_unique<TQtPrintTarget>(printer_);
        last_ = PrintPlan(w_.Doc(), state_, w_.PrintState, *target);
    }
    w_.RedrawPlan();
    if (destination_.ToPdf() && !FinishPdfFile(FromQString(destination_.lastPdfFile), pdfTemp,
                                               !last_.failed && last_.pages > 0)) {
        MessageBox(Format(Ru("Печать не выполнена: не удается записать файл %s."),
                          {FromQString(destination_.lastPdfFile)}),
                   "", TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    if (last_.failed)
        MessageBox(Ru("Печать прервана: ") + last_.errorText, "", TMsgButtons::Ok, TMsgIcon::Error);
    else if (last_.pages == 0)
        MessageBox(Ru("Ничего не напечатано: поля не оставляют места на листе."), "",
                   TMsgButtons::Ok, TMsgIcon::Warning);
    accept();
}

void TPrintDlg::PSetupClick() {
    RunPrinterSetup(this);
}

void TPrintDlg::ButtonPreViewClick() {
    ReadControls();
    preview_->showMaximized();
    preview_->FormActivate();
}

// ---- The preview ----

TFormPreView::TFormPreView(TIDrawWin& w, TPrintDlg& dlg, QWidget* parent)
    : QWidget(parent, Qt::Window), w_(w), dlg_(dlg) {
    setObjectName("FormPreView");
    setWindowTitle(U("Просмотр"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    auto* pl = new QHBoxLayout(panel);
    auto* close = new QPushButton(U("Закрыть"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    pl->addWidget(close);
    pl->addStretch(1);
    layout->addWidget(panel);
    scroll_ = new QScrollArea;
    label_ = new QLabel;
    label_->setObjectName("Image1");
    scroll_->setWidget(label_);
    scroll_->setBackgroundRole(QPalette::Base);
    layout->addWidget(scroll_, 1);
    resize(900, 700);
}

void TFormPreView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormActivate();
}

void TFormPreView::FormActivate() {
    TQtPrintTarget printer(dlg_.Printer());
    const TPrintDlgState& s = dlg_.State();
    const TPrinterCaps before = printer.Caps();
    printer.SetLandscape(ChooseLandscape(s.Sheet(), before.horzSize, before.vertSize, s.Portret,
                                         printer.Landscape()));
    const int imageH = std::max(100, scroll_->viewport()->height() - 4);
    TPreviewPage page;
    if (!PlanPreviewPage(w_.Doc(), s, printer.Caps(), page)) {
        page_ = QImage();
        image1_ =
            QImage(std::max(100, scroll_->viewport()->width() - 4), imageH, QImage::Format_RGB32);
        image1_.fill(Qt::white);
        label_->setPixmap(QPixmap::fromImage(image1_));
        label_->resize(image1_.size());
        return;
    }
    page_ = QImage(page.width, page.height, QImage::Format_RGB32);
    {
        TQtCanvas canvas(page_);
        DrawPreviewPage(w_.Doc(), s, page, canvas);
    }
    // The page left the preview's places in the plan's figures, which the
    // mouse meets: the plan takes its own back, as after a print.
    w_.RedrawPlan();
    const int shownW = RoundI(page.width / static_cast<double>(page.height) * imageH);
    image1_ = QImage(std::max(shownW + 2, scroll_->viewport()->width() - 4), imageH,
                     QImage::Format_RGB32);
    image1_.fill(Qt::white);
    QPainter p(&image1_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target(0, 0, shownW, imageH);
    p.setClipRect(target);
    p.drawImage(target, page_);
    p.setClipping(false);
    p.setPen(Qt::black);
    p.drawRect(target.adjusted(0, 0, -1, -1));
    p.end();
    label_->setPixmap(QPixmap::fromImage(image1_));
    label_->resize(image1_.size());
}

} // namespace arv
