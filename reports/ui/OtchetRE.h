// The report editor: a rich-text window in which the engineer assembles a
// report from ready-made sections of the network data window, formats it,
// splits it into pages, prints it and keeps it as an RTF file. Created once
// at start-up and only hidden when closed.
#pragma once

#include "calc/window/WindowHosts.h"
#include "reports/ReportSections.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QPrinter;
class QSpinBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace arv {

class TDataWindowController;

class TFOtchetRE : public QMainWindow, public IReportEditorHost {
    Q_OBJECT
public:
    explicit TFOtchetRE(TDataWindowController& data, QWidget* parent = nullptr);
    ~TFOtchetRE() override;

    // IReportEditorHost
    TWindowPlace Place() const override;
    TFontSpec EditorFont() const override;
    void ShowEditor() override;
    bool Modified() const override;
    bool SaveReport() override { return FileSave(); }
    void CloseWithProgram() override;
    void DrawingReplaced() override;

    // File and edit commands.
    void FileNew();
    void FileOpen();
    // False when nothing was saved (the dialog cancelled, a write failed).
    bool FileSave();
    bool FileSaveAs();
    void FilePrint();
    void FilePrinItemStrClick();
    void FileExit();
    void SelectFont();
    // Sections, pages and the page separator.
    void SostStatClick();
    void SostTablClick();
    void SostVenClick();
    void SostPotrClick();
    void SostDavlClick();
    void SostUstClick();
    void StranRastClick();
    void StranRazClick();

    // Formatting from the tool bar.
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void FontNameChange();
    void FontSizeChange();
    void AlignButtonClick(int tag);
    void BulletsButtonClick();

    bool LoadReportFile(const std::string& fileName);
    void SetReportFileName(const std::string& fileName);
    const std::string& ReportFileName() const { return reportFileName_; }
    void LoadOtchetSettings();
    void SelectionChange();
    void ShowCaretPosition();

    QTextEdit* Editor() const { return editor_; }
    QSpinBox* FontSize() const { return fontSize_; }
    QComboBox* FontName() const { return fontName_; }
    QLabel* StatusPanel(int i) const { return status_[i]; }
    QToolButton* Button(const char* name) const;
    // The report's paragraphs as CP1251 lines.
    TLines EditorLines() const;
    // The print dialog where a printer exists; tests put one in that prints
    // to a file.
    std::function<bool(QPrinter&)> PrintDialog;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildRuler();
    void FillFontNames();
    void BuildRulerMarks();
    void RulerResize();
    void ApplyEditorMargins();
    void RichEditChange();
    void ShowModifiedState(bool modified);
    // False when the command that asked is to be abandoned.
    bool AskSaveChanges();
    // An empty report under the current data file's name, as New leaves it.
    void StartEmpty();
    bool WriteReport(const std::string& fileName);
    void MergeActive(const QTextCharFormat& f);
    void InsertSection(TReportSection section);
    void InsertLines(const std::string& text);
    size_t ReportLength() const;
    void IndentReleased(QLabel* marker);
    std::string DefaultReportName() const;
    // Where a print goes: the print dialog's choice or, without a printer,
    // a PDF file. False when the user gave it up.
    bool ChoosePrinter(QPrinter& printer, bool wholeDocument);
    // The whole document with its formatting, or line by line; says when
    // the print did not start.
    void PrintReport(bool wholeDocument);
    // A PDF file named after the report, in a folder that exists.
    std::string ProposedPdfFile() const;

    TDataWindowController& data_;
    std::string reportFileName_;
    // The file the text was last read from or written to; empty when it
    // came from neither.
    std::string textFile_;
    // The text came from a file that did not read as RTF (a plain text, a
    // drawing, a picture): Save goes through Save As, never over that file.
    bool readAsPlainText_ = false;
    bool updating_ = false;
    bool programEnding_ = false;
    bool dragging_ = false;
    int dragOffset_ = 0;

    QTextEdit* editor_ = nullptr;
    QWidget* ruler_ = nullptr;
    QLabel* firstInd_ = nullptr;
    QLabel* leftInd_ = nullptr;
    QLabel* rightInd_ = nullptr;
    QFrame* rulerLine_ = nullptr;
    QLabel* rulerMarks_ = nullptr;
    QLabel* status_[3] = {};
    QComboBox* fontName_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* cutAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    std::vector<QToolButton*> buttons_;
};

// Creates the editor (hidden, a window of its own that lives as long as the
// parent) and installs it as the data window's report editor host.
TFOtchetRE* CreateReportEditor(TDataWindowController& data, QWidget* parent);

} // namespace arv
