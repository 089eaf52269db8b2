// The print dialog and the print preview, over the program's one printer
// (a real printer or a PDF file through Qt's print support).
#pragma once

#include "app/DrawWin.h"
#include "app/PrintJob.h"
#include "platform/qt/QtCanvas.h"

#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

namespace arv {

class TQtCanvas;

// The print job on a QPrinter: pages are drawn straight on the printer.
class TQtPrintTarget : public IPrintTarget {
public:
    explicit TQtPrintTarget(QPrinter& printer) : printer_(printer) {}
    ~TQtPrintTarget() override;
    TPrinterCaps Caps() override;
    bool Landscape() override;
    void SetLandscape(bool landscape) override;
    void SetCopies(int copies) override;
    bool BeginJob(std::string& errorText) override;
    TCanvas& BeginPage(const TRect& pageRect) override;
    void EndPage(const TRect& pageRect, bool frame) override;
    bool NewPage() override;
    void EndJob() override;
    void AbortJob() override;

private:
    QPrinter& printer_;
    std::unique_ptr<TQtCanvas> canvas_;
};

class TFormPreView;

// Where the plan's prints go: a system printer by name, or, without a name,
// a PDF file asked for at each print. The last PDF file written is kept
// apart from the printer, so that a printer chosen after it gets the prints
// and the next print to a file proposes that file again.
struct TPrintDestination {
    QString printerName;
    QString lastPdfFile;
    bool ToPdf() const { return printerName.isEmpty(); }
};

// The printer's set-up: which printer (or a PDF file), the paper and its
// orientation. It prints nothing; OK hands the choice to the printer.
class TPrinterSetupDlg : public QDialog {
    Q_OBJECT
public:
    TPrinterSetupDlg(QPrinter& printer, TPrintDestination& destination, QWidget* parent = nullptr);
    // The choice into the printer.
    void Apply();
    // The entry of the printer list that stands for a PDF file.
    static QString PdfEntry();

private:
    QPrinter& printer_;
    TPrintDestination& destination_;
    QComboBox* printerName_ = nullptr;
    QComboBox* paperSize_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
};

class TPrintDlg : public QDialog {
    Q_OBJECT
public:
    TPrintDlg(TIDrawWin& w, QWidget* parent = nullptr);
    ~TPrintDlg() override;
    TPrintDlgState& State() { return state_; }
    QPrinter& Printer() { return printer_; }
    // The printer's set-up dialog over this printer; true when accepted.
    bool RunPrinterSetup(QWidget* parent);
    TFormPreView* Preview() const { return preview_; }
    // Controls to state and back.
    void ReadControls();
    void ShowControls();
    void PokClick();
    void PcanselClick() { reject(); }
    void PSetupClick();
    void ButtonPreViewClick();
    // The result of the last print.
    const TPrintResult& LastResult() const { return last_; }
    // The print job's printer over the dialog's; tests put in one that
    // breaks off.
    std::function<std::unique_ptr<IPrintTarget>(QPrinter&)> PrintTarget;

private:
    TIDrawWin& w_;
    TPrintDlgState state_;
    TPrintResult last_;
    QPrinter printer_{QPrinter::HighResolution};
    TPrintDestination destination_;
    QComboBox* comboBox1_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QRadioButton* portret_ = nullptr;
    QRadioButton* landScape_ = nullptr;
    QCheckBox* bord_ = nullptr;
    QCheckBox* bwPrint_ = nullptr;
    QSpinBox* margins_[4] = {};
    QLabel* label3_ = nullptr;
    TFormPreView* preview_ = nullptr;
};

// The first page of the print as it will come out.
class TFormPreView : public QWidget {
    Q_OBJECT
public:
    TFormPreView(TIDrawWin& w, TPrintDlg& dlg, QWidget* parent = nullptr);
    // Renders the page again with the dialog's settings.
    void FormActivate();
    const QImage& PageImage() const { return page_; }
    // The page as shown: stretched to the window's height and framed.
    const QImage& Image1() const { return image1_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    TIDrawWin& w_;
    TPrintDlg& dlg_;
    QImage page_;
    QImage image1_;
    QLabel* label_ = nullptr;
    QScrollArea* scroll_ = nullptr;
};

} // namespace arv
