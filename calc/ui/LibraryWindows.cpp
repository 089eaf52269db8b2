#include "LibraryWindows.h"

#include "calc/files/Settings.h"
#include "calc/window/DataWindowController.h"

#include "platform/Cp1251.h"
#include "platform/IniFile.h"
#include "platform/Services.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QChart>
#include <QClipboard>
#include <QCloseEvent>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void PlaceWindow(QWidget* w, const TWindowPlace& p) {
    w->setGeometry(p.Left, p.Top, std::max(p.Width, 100), std::max(p.Height, 80));
}

TWindowPlace PlaceOf(const QWidget* w) {
    QRect g = w->geometry();
    return {g.left(), g.top(), g.width(), g.height()};
}

QValueAxis* Axis(const std::vector<std::string>& ticks, double range) {
    auto* axis = new QValueAxis;
    axis->setRange(0, range);
    axis->setTickCount(static_cast<int>(ticks.size()));
    axis->setLabelFormat("%3d");
    QFont font("Arial", 10);
    axis->setLabelsFont(font);
    // Captions go where the picture has room for them, drawn after the chart;
    // tick labels may overlap on a small picture, never shortened.
    axis->setTitleVisible(false);
    axis->setTruncateLabels(false);
    axis->setLinePen(QPen(Qt::black, 1));
    axis->setGridLinePen(QPen(QColor(0xD0, 0xD0, 0xD0), 1, Qt::DotLine));
    return axis;
}

} // namespace

QImage RenderFanChart(const TFanChartLayout& l) {
    QImage image(std::max(l.Width, 1), std::max(l.Height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (l.PlotWidth <= 0 || l.PlotHeight <= 0) return image;

    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->setGeometry(0, 0, l.Width, l.Height);
    QValueAxis* x = Axis(l.FlowTicks, l.FlowRange());
    QValueAxis* y = Axis(l.PressureTicks, l.PressureRange());
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    auto* curve = new QLineSeries;
    curve->setPen(QPen(Qt::red, 1));
    for (const TFanChartPoint& p : l.Curve) curve->append(p.Q, p.H);
    chart->addSeries(curve);
    curve->attachAxis(x);
    curve->attachAxis(y);

    if (l.HasOperatingPoint) {
        auto* point = new QScatterSeries;
        point->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        point->setMarkerSize(7);
        point->setColor(Qt::blue);
        point->setBorderColor(Qt::blue);
        point->append(l.OperatingPoint.Q, l.OperatingPoint.H);
        point->setPointLabelsVisible(true);
        point->setPointLabelsColor(Qt::blue);
        point->setPointLabelsFont(QFont("Arial", 10));
        point->setPointLabelsFormat("Q=" + ToQString(l.FlowText) +
                                    "  H=" + ToQString(l.DepressionText));
        chart->addSeries(point);
        point->attachAxis(x);
        point->attachAxis(y);
    }
    // The plot area of the picture, not the one Qt would choose.
    chart->setPlotArea(QRectF(l.PlotLeft, l.PlotTop, l.PlotWidth, l.PlotHeight));
    chart->layout()->activate();

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    scene.render(&painter, QRectF(0, 0, l.Width, l.Height), QRectF(0, 0, l.Width, l.Height));

    painter.setPen(Qt::black);
    painter.setFont(QFont("Arial", 10));
    const int axisY = l.PlotTop + l.PlotHeight;
    const int axisRight = l.PlotLeft + l.PlotWidth;
    painter.drawText(QRect(axisRight + 4, axisY - 8, l.Width - axisRight - 4, 16),
                     Qt::AlignLeft | Qt::AlignVCenter, ToQString(l.FlowCaption));
    painter.drawText(QRect(l.PlotLeft + 4, l.PlotTop, l.PlotWidth, 16),
                     Qt::AlignLeft | Qt::AlignVCenter, ToQString(l.PressureCaption));
    QFont titleFont("Arial", 10);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.drawText(QRect(0, 4, l.Width, l.PlotTop - 6), Qt::AlignHCenter | Qt::AlignVCenter,
                     ToQString(l.Title));
    return image;
}

// Library windows.

TLibraryForm::TLibraryForm(TLibraryWindowModel& model, TDataWindowController& w,
                           const QString& caption, QWidget* owner)
    : QWidget(owner, Qt::Window), model_(model), w_(w) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    grid_ = new TGridView(model.Grid, this);
    layout->addWidget(grid_, 1);
    buttons_ = new QWidget(this);
    new QHBoxLayout(buttons_);
    buttons_->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buttons_);
    PlaceWindow(this, model.Place);
    model.Changed = [this] { Sync(); };
}

QPushButton* TLibraryForm::AddButton(const char* name, const char* captionUtf8) {
    auto* b = new QPushButton(U(captionUtf8), buttons_);
    b->setObjectName(name);
    buttons_->layout()->addWidget(b);
    return b;
}

QPushButton* TLibraryForm::Button(const char* objectName) const {
    return findChild<QPushButton*>(objectName);
}

void TLibraryForm::Sync() {
    if (ok_) ok_->setEnabled(model_.OkEnabled);
    if (model_.Visible)
        ShowWindowRestored(*this);
    else
        hide();
}

void TLibraryForm::closeEvent(QCloseEvent* event) {
    model_.Place = PlaceOf(this);
    // The window manager's close button is "Выход". The program's own close
    // at its end has asked already.
    if (event->spontaneous() && model_.Visible) {
        RunCommandSafely([this] { model_.CancelBtnClick(); });
        if (model_.Visible) return event->ignore();
    }
    model_.Visible = false;
    event->accept();
}

TWindowPlace TLibraryForm::Place() const {
    return PlaceOf(this);
}

std::vector<int> TLibraryForm::ColumnWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < model_.Grid.ColCount(); ++c) widths.push_back(model_.Grid.ColWidths(c));
    return widths;
}

void TLibraryForm::SetGridFont(const TFontSpec& font) {
    model_.Grid.SetFont(font.Name, font.Size);
}

TFBiblVU::TFBiblVU(TDeviceLibrary& model, TDataWindowController& w, QWidget* owner)
    : TLibraryForm(model, w, ToQString(model.Caption()), owner) {
    setObjectName("FBiblVU");
    ok_ = AddButton("OKBtn", "Выбор");
    auto* save = AddButton("SaveBtn", "Сохранить");
    auto* cancel = AddButton("CancelBtn", "Выход");
    connect(ok_, &QPushButton::clicked, this, Safely([this, &model] {
                model.OKBtnClick(w_);
                if (auto* v = dynamic_cast<IDataWindowView*>(parentWidget())) v->Refresh();
            }));
    connect(save, &QPushButton::clicked, this, Safely([&model] { model.SaveBtnClick(); }));
    connect(cancel, &QPushButton::clicked, this, Safely([&model] { model.CancelBtnClick(); }));
}

TFBiblVen::TFBiblVen(TFanLibrary& model, TDataWindowController& w, QWidget* owner)
    : TLibraryForm(model, w, ToQString(model.Caption()), owner) {
    setObjectName("FBiblVen");
    ok_ = AddButton("OKBtn", "Выбор");
    auto* fit = AddButton("RasKoefBtn", "Расч.коэф.");
    auto* chart = AddButton("GrafikBtn", "График");
    auto* save = AddButton("SaveBtn", "Сохранить");
    auto* cancel = AddButton("CancelBtn", "Выход");
    connect(ok_, &QPushButton::clicked, this, Safely([this, &model] {
                model.OKBtnClick(w_);
                if (auto* v = dynamic_cast<IDataWindowView*>(parentWidget())) v->Refresh();
            }));
    connect(fit, &QPushButton::clicked, this,
            Safely([this, &model] { model.RasKoefBtnClick(w_.CalcContext().CalcOptions); }));
    connect(chart, &QPushButton::clicked, this, Safely([&model] { model.GrafikBtnClick(); }));
    connect(save, &QPushButton::clicked, this, Safely([&model] { model.SaveBtnClick(); }));
    connect(cancel, &QPushButton::clicked, this, Safely([&model] { model.CancelBtnClick(); }));
}

// The chart window.

TFGrafic::TFGrafic(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("FGrafic");
    setWindowTitle(U("График работы вентилятора"));
    auto* layout = new QVBoxLayout(this);
    picture_ = new QLabel(this);
    picture_->setObjectName("Image1");
    picture_->setMinimumSize(120, 100);
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(picture_, 1);
    auto* copy = new QPushButton(U("В буфер"), this);
    copy->setObjectName("BitBtn1");
    layout->addWidget(copy, 0, Qt::AlignLeft);
    connect(copy, &QPushButton::clicked, this, Safely([this] { BitBtn1Click(); }));
    PlaceWindow(this, ReadWindowPlace(TIniFile(SettingsFileName()), "FGrafic", {10, 10, 300, 300}));
}

TWindowPlace TFGrafic::Place() const {
    return PlaceOf(this);
}

void TFGrafic::ShowChart(const TFanChartRequest& request) {
    request_ = request;
    hasRequest_ = true;
    ShowWindowRestored(*this);
    FormActivate();
}

const TFanChartRequest* TFGrafic::ShownChart() const {
    return hasRequest_ && isVisible() ? &request_ : nullptr;
}

void TFGrafic::UpdateChart(const TFanChartRequest& request) {
    request_ = request;
    hasRequest_ = true;
    if (isVisible()) FormActivate();
}

void TFGrafic::FormActivate() {
    if (!hasRequest_) return;
    QSize size = picture_->size();
    TFanChartLayout l = LayoutFanChart(request_, request_.FlowUnit, size.width(), size.height());
    image_ = RenderFanChart(l);
    picture_->setPixmap(QPixmap::fromImage(image_));
}

void TFGrafic::BitBtn1Click() {
    QGuiApplication::clipboard()->setImage(image_);
    MessageBox(Ru("График помещен в буфер обмена"), "", TMsgButtons::Ok, TMsgIcon::Information);
}

void TFGrafic::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier) {
        BitBtn1Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFGrafic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) FormActivate();
}

// The dBASE import window.

TImpOrnalWindow::TImpOrnalWindow(TImpOrnal& model, TDataWindowController& w, QWidget* owner)
    : QWidget(owner, Qt::Window), model_(model), w_(w) {
    setObjectName("ImpOrnal");
    setWindowTitle(U("Импорт из Орнал"));
    auto* layout = new QVBoxLayout(this);
    auto* navigator = new QHBoxLayout;
    auto addStep = [this, navigator](const char* name, const char* caption,
                                     std::function<void()> step) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, Safely(std::move(step)));
        navigator->addWidget(b);
    };
    addStep("First", "|<", [this] { model_.First(); });
    addStep("Prior", "<", [this] { model_.Prior(); });
    addStep("Next", ">", [this] { model_.Next(); });
    addStep("Last", ">|", [this] { model_.Last(); });
    navigator->addStretch(1);
    auto* transfer = new QPushButton(U("Перенести"), this);
    transfer->setObjectName("BitBtn2");
    navigator->addWidget(transfer);
    layout->addLayout(navigator);
    grid_ = new TGridView(model.DBGrid1, this);
    layout->addWidget(grid_, 1);
    connect(transfer, &QPushButton::clicked, this, Safely([this] {
                model_.BitBtn2Click(w_.Tables());
                if (auto* v = dynamic_cast<IDataWindowView*>(parentWidget())) v->Refresh();
            }));
    resize(700, 400);
    model.Changed = [this] { Sync(); };
}

void TImpOrnalWindow::Sync() {
    if (model_.Visible)
        ShowWindowRestored(*this);
    else
        hide();
}

void TImpOrnalWindow::closeEvent(QCloseEvent* event) {
    model_.Visible = false;
    event->accept();
}

void CreateLibraryWindows(QWidget* owner) {
    TDataWindowController& w = DataWindowController();
    TIniFile ini(SettingsFileName());
    TCalcOptions& options = w.CalcContext().CalcOptions;
    DeviceLibrary().FormCreate(ini, w.Tables().TablDan);
    FanLibrary().FormCreate(ini, w.Tables().TablDan, options);
    // Children of the data window: they live as long as it does.
    auto* devices = new TFBiblVU(DeviceLibrary(), w, owner);
    auto* fans = new TFBiblVen(FanLibrary(), w, owner);
    auto* chart = new TFGrafic(owner);
    auto* ornal = new TImpOrnalWindow(ImpOrnal(), w, owner);
    InstallLibraryWindowHost(TLibraryWindow::Devices, devices);
    InstallLibraryWindowHost(TLibraryWindow::Fans, fans);
    InstallFanChartWindow(chart);
    // The plain stand-ins come back when the windows go with their owner.
    QObject::connect(devices, &QObject::destroyed, [] {
        InstallLibraryWindowHost(TLibraryWindow::Devices, nullptr);
        DeviceLibrary().Changed = nullptr;
    });
    QObject::connect(fans, &QObject::destroyed, [] {
        InstallLibraryWindowHost(TLibraryWindow::Fans, nullptr);
        FanLibrary().Changed = nullptr;
    });
    QObject::connect(chart, &QObject::destroyed, [] { InstallFanChartWindow(nullptr); });
    QObject::connect(ornal, &QObject::destroyed, [] { ImpOrnal().Changed = nullptr; });
}

} // namespace arv
