// The windows of the device and fan libraries, the fan chart and the dBASE
// import, created once at start-up over their models and only shown and
// hidden.
#pragma once

#include "calc/window/FanChart.h"
#include "calc/window/LibraryWindows.h"
#include "calc/window/OrnalImport.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

namespace arv {

class TDataWindowController;
class TGridView;

// The chart of a layout as a picture: white background, the axes with their
// divisions, the curve in red, the operating point in blue.
QImage RenderFanChart(const TFanChartLayout& layout);

class TLibraryForm : public QWidget, public ILibraryWindowHost {
    Q_OBJECT
public:
    TLibraryForm(TLibraryWindowModel& model, TDataWindowController& w, const QString& caption,
                 QWidget* owner);
    TWindowPlace Place() const override;
    std::vector<int> ColumnWidths() const override;
    void SetGridFont(const TFontSpec& font) override;
    void ShowLibrary(bool okEnabled) override { model_.Show(okEnabled); }
    QPushButton* Button(const char* objectName) const;
    TGridView* Grid() const { return grid_; }

protected:
    QPushButton* AddButton(const char* name, const char* captionUtf8);
    void closeEvent(QCloseEvent* event) override;
    TLibraryWindowModel& model_;
    TDataWindowController& w_;
    TGridView* grid_ = nullptr;
    QWidget* buttons_ = nullptr;
    QPushButton* ok_ = nullptr;

private:
    void Sync();
};

class TFBiblVU : public TLibraryForm {
    Q_OBJECT
public:
    TFBiblVU(TDeviceLibrary& model, TDataWindowController& w, QWidget* owner);
};

class TFBiblVen : public TLibraryForm {
    Q_OBJECT
public:
    TFBiblVen(TFanLibrary& model, TDataWindowController& w, QWidget* owner);
};

class TFGrafic : public QWidget, public IFanChartWindow {
    Q_OBJECT
public:
    explicit TFGrafic(QWidget* owner);
    TWindowPlace Place() const override;
    void ShowChart(const TFanChartRequest& request) override;
    const TFanChartRequest* ShownChart() const override;
    void UpdateChart(const TFanChartRequest& request) override;
    // The picture shown.
    const QImage& Image1() const { return image_; }
    // "В буфер" and Ctrl+Insert.
    void BitBtn1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormActivate();
    TFanChartRequest request_;
    bool hasRequest_ = false;
    QLabel* picture_ = nullptr;
    QImage image_;
};

class TImpOrnalWindow : public QWidget {
    Q_OBJECT
public:
    TImpOrnalWindow(TImpOrnal& model, TDataWindowController& w, QWidget* owner);
    TGridView* Grid() const { return grid_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Sync();
    TImpOrnal& model_;
    TDataWindowController& w_;
    TGridView* grid_ = nullptr;
};

// Creates the four windows, reads the libraries and installs the windows
// for the data window; called once at start-up after the data window.
void CreateLibraryWindows(QWidget* owner);

} // namespace arv
