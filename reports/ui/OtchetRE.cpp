#include "OtchetRE.h"

#include "RichTextBridge.h"
#include "calc/files/Settings.h"
#include "calc/window/DataWindowController.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/FontTable.h"
#include "platform/Help.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"
#include "platform/qt/TextEditors.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>

namespace arv {

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string WithExtension(const std::string& name, const char* ext) {
    std::filesystem::path p(name);
    p.replace_extension(ext);
    return p.string();
}

std::string FolderOf(const std::string& name) {
    return std::filesystem::path(name).parent_path().string();
}

} // namespace

TFOtchetRE::TFOtchetRE(TDataWindowController& data, QWidget* parent)
    : QMainWindow(parent), data_(data) {
    // Reports are laid out for a fixed pitch; the Windows names of the
    // Courier faces the documents keep are shown in the installed face the
    // platform's font table gives them.
    for (const char* name : {"Courier New Cyr", "Courier New", "Courier"})
        QFont::insertSubstitution(
            QString::fromLatin1(name),
            QString::fromUtf8(std::string(SubstituteFontFamily(name, true)).c_str()));
    setObjectName("FOtchetRE");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildRuler();
    layout->addWidget(ruler_);
    editor_ = new TRichTextEditor(central);
    editor_->setObjectName("Editor");
    editor_->setAcceptRichText(true);
    editor_->setTabChangesFocus(false);
    editor_->setLineWrapMode(QTextEdit::NoWrap);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont font(U("Courier New"), 10);
    editor_->document()->setDefaultFont(font);
    layout->addWidget(editor_);
    setCentralWidget(central);
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setFixedWidth(i == 0 ? 120 : i == 1 ? 60 : 50);
        statusBar()->addWidget(status_[i]);
    }
    status_[1]->setAlignment(Qt::AlignCenter);
    BuildMenus();
    BuildToolBar();
    // F1 opens the guide at the report editor's section.
    auto* help = new QAction(this);
    help->setObjectName("HelpContext");
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [] { ShowHelpPage(kHelpReportEditorPage); });
    addAction(help);

    connect(editor_, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChange(); });
    connect(editor_, &QTextEdit::selectionChanged, this, [this] { SelectionChange(); });
    connect(editor_->document(), &QTextDocument::contentsChanged, this,
            [this] { RichEditChange(); });
    connect(editor_->document(), &QTextDocument::modificationChanged, this,
            [this](bool m) { ShowModifiedState(m); });

    // FormCreate
    SetReportFileName(DefaultReportName());
    FillFontNames();
    BuildRulerMarks();
    SelectionChange();
    LoadOtchetSettings();
    editor_->document()->setModified(false);
    ShowModifiedState(false);
}

TFOtchetRE::~TFOtchetRE() {
    if (&ReportEditorHost() == this) InstallReportEditorHost(nullptr);
}

std::string TFOtchetRE::DefaultReportName() const {
    // Without a data file the report has no name yet; saving asks for one.
    if (data_.CurrentDataFile().empty()) return "Untitled";
    return WithExtension(data_.CurrentDataFile(), ".rtf");
}

// ------------------------------------------------------------------ building

void TFOtchetRE::BuildMenus() {
    QMenu* file = menuBar()->addMenu(U("&Файл"));
    file->addAction(U("&Новый"), QKeySequence("Ctrl+N"), this, Safely([this] { FileNew(); }));
    file->addAction(U("&Открыть..."), QKeySequence("Ctrl+O"), this, Safely([this] { FileOpen(); }));
    file->addAction(U("&Сохранить"), QKeySequence("Ctrl+S"), this, Safely([this] { FileSave(); }));
    file->addAction(U("Сохранить &как"), this, Safely([this] { FileSaveAs(); }));
    file->addSeparator();
    file->addAction(U("&Печать"), QKeySequence("Ctrl+P"), this, Safely([this] { FilePrint(); }));
    file->addAction(U("Печать по страницам"), this, Safely([this] { FilePrinItemStrClick(); }));
    file->addSeparator();
    file->addAction(U("&Выход"), QKeySequence("Alt+X"), this, Safely([this] { FileExit(); }));

    QMenu* edit = menuBar()->addMenu(U("&Правка"));
    undoAction_ = edit->addAction(U("&Отмена"), QKeySequence("Ctrl+Z"), editor_, &QTextEdit::undo);
    edit->addSeparator();
    cutAction_ = edit->addAction(U("Вы&резать"), QKeySequence("Ctrl+X"), editor_, &QTextEdit::cut);
    copyAction_ =
        edit->addAction(U("&Копировать"), QKeySequence("Ctrl+C"), editor_, &QTextEdit::copy);
    edit->addAction(U("&Вставить"), QKeySequence("Ctrl+V"), editor_, &QTextEdit::paste);
    edit->addSeparator();
    edit->addAction(U("&Шрифт..."), this, Safely([this] { SelectFont(); }));

    QMenu* sostav = menuBar()->addMenu(U("Вставка"));
    sostav->addAction(U("Статистика"), this, Safely([this] { SostStatClick(); }));
    sostav->addAction(U("Общ.таблица"), this, Safely([this] { SostTablClick(); }));
    sostav->addAction(U("Вентиляторы"), this, Safely([this] { SostVenClick(); }));
    sostav->addAction(U("Потребители"), this, Safely([this] { SostPotrClick(); }));
    sostav->addAction(U("Давление"), this, Safely([this] { SostDavlClick(); }));
    sostav->addAction(U("Устойчивость"), this, Safely([this] { SostUstClick(); }));

    QMenu* serv = menuBar()->addMenu(U("Сервис"));
    serv->addAction(U("Расст.стран."), this, Safely([this] { StranRastClick(); }));
    serv->addAction(U("Разделитель"), this, Safely([this] { StranRazClick(); }));
}

void TFOtchetRE::BuildToolBar() {
    QToolBar* bar = addToolBar(U("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    // Icons of the desktop's theme (the first of the names it has); the
    // short text shows where it has none.
    auto button = [&](const char* name, const char* icon, const char* text, const char* hint,
                      bool checkable, std::function<void()> handler) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setText(U(text));
        b->setToolTip(U(hint));
        b->setCheckable(checkable);
        b->setAutoRaise(true);
        // The first of the names the theme has.
        QIcon themed;
        for (const QString& n : QString::fromLatin1(icon).split(' '))
            if (themed.isNull()) themed = QIcon::fromTheme(n);
        if (!themed.isNull()) {
            b->setIcon(themed);
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        }
        connect(b, &QToolButton::clicked, this, Safely(handler));
        bar->addWidget(b);
        buttons_.push_back(b);
        return b;
    };
    button("OpenButton", "document-open", "Откр.", "Загрузить", false, [this] { FileOpen(); });
    button("SaveButton", "document-save", "Сохр.", "Сохранить", false, [this] { FileSave(); });
    button("PrintButton", "document-print", "Печ.", "Печать", false, [this] { FilePrint(); });
    bar->addSeparator();
    button("UndoButton", "edit-undo", "Отм.", "Отменить ", false, [this] {
        editor_->undo();
    })->setEnabled(false);
    button("CutButton", "edit-cut", "Выр.", "Вырезать", false, [this] { editor_->cut(); });
    button("CopyButton", "edit-copy", "Коп.", "Копировать в буфер", false,
           [this] { editor_->copy(); });
    button("PasteButton", "edit-paste", "Вст.", "Вставить из буфера", false,
           [this] { editor_->paste(); });
    bar->addSeparator();
    fontName_ = new QComboBox(bar);
    fontName_->setObjectName("FontName");
    fontName_->setToolTip(U("Шрифт"));
    fontName_->setEditable(true);
    fontName_->setMinimumWidth(160);
    bar->addWidget(fontName_);
    connect(fontName_, &QComboBox::textActivated, this, Safely([this] { FontNameChange(); }));
    bar->addSeparator();
    fontSize_ = new QSpinBox(bar);
    fontSize_->setObjectName("FontSize");
    fontSize_->setToolTip(U("Размер шрифта"));
    fontSize_->setRange(0, 1638);
    bar->addWidget(fontSize_);
    connect(fontSize_, &QSpinBox::valueChanged, this, Safely([this] { FontSizeChange(); }));
    QFont boldFont;
    boldFont.setBold(true);
    button("BoldButton", "format-text-bold", "Ж", "Жирный", true, [this] {
        BoldButtonClick();
    })->setFont(boldFont);
    QFont italicFont;
    italicFont.setItalic(true);
    button("ItalicButton", "format-text-italic", "К", "Курсив", true, [this] {
        ItalicButtonClick();
    })->setFont(italicFont);
    QFont underFont;
    underFont.setUnderline(true);
    button("UnderlineButton", "format-text-underline", "Ч", "Подчеркивание", true, [this] {
        UnderlineButtonClick();
    })->setFont(underFont);
    bar->addSeparator();
    button("LeftAlign", "format-justify-left", "Лев.", "Влево", true,
           [this] { AlignButtonClick(0); });
    button("CenterAlign", "format-justify-center", "Центр", "В центре", true,
           [this] { AlignButtonClick(2); });
    button("RightAlign", "format-justify-right", "Прав.", "Вправо", true,
           [this] { AlignButtonClick(1); });
    bar->addSeparator();
    button("BulletsButton", "format-list-unordered view-list-symbolic", "Спис.", "Список", true,
           [this] { BulletsButtonClick(); });
}

QToolButton* TFOtchetRE::Button(const char* name) const {
    for (QToolButton* b : buttons_)
        if (b->objectName() == QLatin1String(name)) return b;
    return nullptr;
}

void TFOtchetRE::BuildRuler() {
    ruler_ = new QWidget(this);
    ruler_->setObjectName("Ruler");
    ruler_->setFixedHeight(26);
    rulerMarks_ = new QLabel(ruler_);
    rulerMarks_->setGeometry(6, 0, 4000, 12);
    rulerLine_ = new QFrame(ruler_);
    rulerLine_->setFrameShape(QFrame::HLine);
    rulerLine_->setGeometry(4, 12, 100, 2);
    // Wingdings has the marker shapes at these letters; where it is missing
    // the arrows say the same.
    auto marker = [&](const char* name, const char* glyph, int top) {
        auto* l = new QLabel(U(glyph), ruler_);
        l->setObjectName(name);
        l->setGeometry(2, top, 10, 12);
        l->setAlignment(Qt::AlignCenter);
        l->installEventFilter(this);
        l->setCursor(Qt::SizeHorCursor);
        return l;
    };
    firstInd_ = marker("FirstInd", "▼", 2);
    leftInd_ = marker("LeftInd", "▲", 14);
    rightInd_ = marker("RightInd", "▲", 14);
}

void TFOtchetRE::BuildRulerMarks() {
    QString marks;
    for (int i = 0; i < 100; ++i) marks += QStringLiteral("\t|");
    rulerMarks_->setText(QString(marks).replace(QChar('\t'), QStringLiteral("        ")));
}

void TFOtchetRE::FillFontNames() {
    QStringList families = QFontDatabase::families();
    families.sort();
    fontName_->addItems(families);
}

void TFOtchetRE::RulerResize() {
    rulerLine_->setFixedWidth(std::max(0, ruler_->width() - 2 * rulerLine_->x()));
}

void TFOtchetRE::ApplyEditorMargins() {
    // The text keeps 6 pixels from the sides of the editor. The margin is a
    // change of the document's frame, not of the report: it must not mark
    // the report changed, or showing the editor would ask to save it.
    QTextDocument* doc = editor_->document();
    if (doc->documentMargin() == 6) return;
    const bool modified = doc->isModified();
    doc->setDocumentMargin(6);
    doc->setModified(modified);
}

// ------------------------------------------------------------------- state

void TFOtchetRE::SetReportFileName(const std::string& fileName) {
    reportFileName_ = fileName;
    std::string file = std::filesystem::path(fileName).filename().string();
    setWindowTitle(ToQString(Ru("Отчет ") + " - " + file));
}

void TFOtchetRE::LoadOtchetSettings() {
    TIniFile ini(SettingsFileName());
    TWindowPlace p = ReadWindowPlace(ini, "FOtchet", {10, 10, 300, 300});
    setGeometry(p.Left, p.Top, p.Width, p.Height);
    move(p.Left, p.Top);
    TFontSpec f = ReadFont(ini, "OtchetFont", {"Courier New Cyr", 10});
    QFont font = editor_->document()->defaultFont();
    font.setFamily(ToQString(f.Name));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(std::max(1, f.Size));
    editor_->document()->setDefaultFont(font);
    SelectionChange();
}

TWindowPlace TFOtchetRE::Place() const {
    QRect g = geometry();
    return {x(), y(), g.width(), g.height()};
}

TFontSpec TFOtchetRE::EditorFont() const {
    QFont f = editor_->document()->defaultFont();
    return {FromQString(f.family()), f.pointSize()};
}

bool TFOtchetRE::Modified() const {
    return editor_->document()->isModified();
}

void TFOtchetRE::CloseWithProgram() {
    programEnding_ = true;
    close();
}

void TFOtchetRE::ShowEditor() {
    setEnabled(true);
    ShowWindowRestored(*this);
    editor_->setFocus();
}

void TFOtchetRE::ShowCaretPosition() {
    QTextCursor c = editor_->textCursor();
    QTextCursor start(editor_->document());
    start.setPosition(c.selectionStart());
    int line = start.blockNumber();
    int col = start.positionInBlock();
    status_[0]->setText(QString::asprintf("Line: %3d   Col: %3d", line + 1, col + 1));
    bool hasSelection = c.hasSelection();
    cutAction_->setEnabled(hasSelection);
    copyAction_->setEnabled(hasSelection);
    Button("CutButton")->setEnabled(hasSelection);
    Button("CopyButton")->setEnabled(hasSelection);
}

void TFOtchetRE::ShowModifiedState(bool modified) {
    status_[1]->setText(modified ? QStringLiteral("Modified") : QString());
}

void TFOtchetRE::RichEditChange() {
    ShowModifiedState(editor_->document()->isModified());
    bool canUndo = editor_->document()->isUndoAvailable();
    Button("UndoButton")->setEnabled(canUndo);
    undoAction_->setEnabled(canUndo);
}

void TFOtchetRE::SelectionChange() {
    updating_ = true;
    QTextCursor c = editor_->textCursor();
    QTextBlockFormat bf = c.blockFormat();
    // Indents are kept as pixels; the markers sit 2 pixels in.
    const int first = static_cast<int>(bf.textIndent());
    const int left = static_cast<int>(bf.leftMargin());
    const int right = static_cast<int>(bf.rightMargin());
    firstInd_->move(left + first + 2, firstInd_->y());
    leftInd_->move(left + 2, leftInd_->y());
    rightInd_->move(ruler_->width() - 6 - right - 8, rightInd_->y());
    QTextCharFormat f = c.charFormat();
    QFont base = editor_->document()->defaultFont();
    Button("BoldButton")->setChecked(f.fontWeight() >= QFont::Bold);
    Button("ItalicButton")->setChecked(f.fontItalic());
    Button("UnderlineButton")->setChecked(f.fontUnderline());
    Button("BulletsButton")->setChecked(c.currentList() != nullptr);
    double size = f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF();
    fontSize_->setValue(static_cast<int>(size));
    QStringList families = f.fontFamilies().toStringList();
    fontName_->setEditText(families.isEmpty() ? base.family() : families.first());
    Qt::Alignment a = bf.alignment();
    Button("LeftAlign")->setChecked(!(a & (Qt::AlignRight | Qt::AlignHCenter)));
    Button("RightAlign")->setChecked(bool(a & Qt::AlignRight));
    Button("CenterAlign")->setChecked(bool(a & Qt::AlignHCenter));
    ShowCaretPosition();
    updating_ = false;
}

// ------------------------------------------------------------ file commands

bool TFOtchetRE::AskSaveChanges() {
    if (!editor_->document()->isModified()) return true;
    int answer = MessageBox(Format(Ru("Сохранить изменения %s?"), {reportFileName_}), "",
                            TMsgButtons::YesNoCancel, TMsgIcon::Question);
    // A save that was cancelled or failed keeps the text and stops the
    // command that asked.
    if (answer == mrYes) return FileSave();
    return answer == mrNo;
}

void TFOtchetRE::FileNew() {
    if (!AskSaveChanges()) return;
    StartEmpty();
}

void TFOtchetRE::DrawingReplaced() {
    StartEmpty();
}

void TFOtchetRE::StartEmpty() {
    SetReportFileName(DefaultReportName());
    editor_->clear();
    textFile_.clear();
    readAsPlainText_ = false;
    editor_->document()->setModified(false);
    ShowModifiedState(false);
}

void TFOtchetRE::FileOpen() {
    if (!AskSaveChanges()) return;
    TFileDialogRequest r;
    r.filter = Ru("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|Все файлы|*.*");
    r.initialDir = FolderOf(data_.CurrentDataFile());
    if (!OpenFileDialog(r)) return;
    LoadReportFile(r.fileName);
}

bool TFOtchetRE::LoadReportFile(const std::string& fileName) {
    // Through the platform: the name is CP1251 and may have Russian letters.
    std::string text;
    if (!ReadFileBytes(fileName, text)) {
        MessageBox(Format(Ru("Не удается открыть файл %s."), {fileName}), "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return false;
    }
    TRtfDocument doc;
    const bool plain = !LooksLikeRtf(text);
    if (!plain) {
        doc = ReadRtf(text);
    } else {
        TRtfCharFormat f;
        QFont base = editor_->document()->defaultFont();
        f.FontName = FromQString(base.family());
        f.HalfPoints = std::max(1, base.pointSize() * 2);
        doc = RtfFromPlainText(text, f);
    }
    RtfToDocument(doc, *editor_->document());
    SetReportFileName(fileName);
    textFile_ = fileName;
    readAsPlainText_ = plain;
    editor_->setFocus();
    editor_->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

bool TFOtchetRE::WriteReport(const std::string& fileName) {
    const std::string bytes = WriteRtf(DocumentToRtf(*editor_->document()));
    if (!WriteFileAtomic(fileName, bytes)) {
        MessageBox(Format(Ru("Не удается записать файл %s."), {fileName}), "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return false;
    }
    textFile_ = fileName;
    readAsPlainText_ = false;
    editor_->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

bool TFOtchetRE::FileSave() {
    // A report without a name goes through the dialog, and so does a text
    // that was no RTF: its file is the user's drawing or text, not a report.
    if (reportFileName_.empty() || reportFileName_ == "Untitled" || readAsPlainText_)
        return FileSaveAs();
    // The name may be the drawing's report, kept from an earlier session,
    // while this text never came from it: it is replaced only when the user
    // says so, as Save As asks. (The names are CP1251: only the platform's
    // look-up finds a file whose name has Russian letters.)
    if (textFile_ != reportFileName_ && FileExists(reportFileName_)) {
        const int answer = MessageBox(Format(Ru("OK для перезаписи %s"), {reportFileName_}), "",
                                      TMsgButtons::YesNoCancel, TMsgIcon::Question);
        if (answer == mrNo) return FileSaveAs();
        if (answer != mrYes) return false;
    }
    return WriteReport(reportFileName_);
}

bool TFOtchetRE::FileSaveAs() {
    TFileDialogRequest r;
    r.filter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT";
    r.initialDir = FolderOf(data_.CurrentDataFile());
    r.fileName = WithExtension(reportFileName_, ".rtf");
    if (!SaveFileDialog(r)) return false;
    const std::string name = WithExtension(r.fileName, ".rtf");
    if (FileExists(name)) {
        int answer = MessageBox(Format(Ru("OK для перезаписи %s"), {name}), "",
                                TMsgButtons::YesNoCancel, TMsgIcon::Question);
        if (answer != mrYes) return false;
    }
    if (!WriteReport(name)) return false;
    SetReportFileName(name);
    return true;
}

void TFOtchetRE::FilePrint() {
    PrintReport(true);
}

void TFOtchetRE::FilePrinItemStrClick() {
    PrintReport(false);
}

std::string TFOtchetRE::ProposedPdfFile() const {
    // The report may be named after a data file whose folder is gone, or
    // have no folder at all ("Untitled").
    std::string folder = ExtractFilePath(reportFileName_);
    if (folder.empty() || !DirectoryExists(folder))
        folder = IncludeTrailingPathDelimiter(FromQString(QDir::homePath()));
    return folder + ChangeFileExt(ExtractFileName(reportFileName_), ".pdf");
}

bool TFOtchetRE::ChoosePrinter(QPrinter& printer, bool wholeDocument) {
    // The job's title, from which the print dialog also makes the name of
    // its PDF file: the report's name without its folder.
    printer.setDocName(ToQString(ExtractFileName(reportFileName_)));
    if (AvailablePrinterNames().isEmpty()) {
        // Without a printer the dialog has nothing to print on: the PDF
        // file is offered in its place.
        if (MessageBox(Ru("Принтер не установлен. Сохранить отчет в файл PDF?"), "",
                       TMsgButtons::YesNo, TMsgIcon::Question) != mrYes)
            return false;
        TFileDialogRequest r;
        r.filter = "PDF|*.pdf";
        r.defaultExt = "pdf";
        r.fileName = ProposedPdfFile();
        r.initialDir = ExtractFilePath(r.fileName);
        r.overwritePrompt = true;
        if (!SaveFileDialog(r)) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(ToQString(r.fileName));
        return true;
    }
    // The dialog starts at the default printer the printer list names.
    printer.setPrinterName(DefaultPrinterName());
    if (PrintDialog) return PrintDialog(printer);
    QPrintDialog dialog(&printer, this);
    if (wholeDocument)
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintSelection);
    return dialog.exec() == QDialog::Accepted;
}

void TFOtchetRE::PrintReport(bool wholeDocument) {
    QPrinter printer;
    if (!ChoosePrinter(printer, wholeDocument)) return;
    const QFont font = editor_->document()->defaultFont();
    auto draw = [&](QPagedPaintDevice& device) {
        if (!wholeDocument)
            return PrintReportLines(device, LinePrintStream(EditorLines()), font) > 0;
        // The editor keeps each paragraph on one line; on paper a line that
        // is wider than the page goes on below, as a word processor shows
        // the same file, rather than being cut at the page's edge.
        std::unique_ptr<QTextDocument> paper(editor_->document()->clone());
        QTextOption wrapped = paper->defaultTextOption();
        wrapped.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        paper->setDefaultTextOption(wrapped);
        paper->print(&device);
        return true;
    };
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // Made in memory first, so that the file is written whole or not
        // at all, and under a name with Russian letters too.
        const std::string file = FromQString(printer.outputFileName());
        QByteArray bytes;
        bool drawn = false;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter pdf(&buffer);
            pdf.setPageLayout(printer.pageLayout());
            pdf.setPageRanges(printer.pageRanges());
            pdf.setResolution(printer.resolution());
            pdf.setTitle(printer.docName());
            drawn = draw(pdf);
        }
        if (!drawn || bytes.isEmpty() ||
            !WriteFileAtomic(file, std::string_view(bytes.constData(), bytes.size())))
            MessageBox(Format(Ru("Печать не выполнена: не удается записать файл %s."), {file}), "",
                       TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    if (!draw(printer) || printer.printerState() == QPrinter::Error)
        MessageBox(Format(Ru("Печать не началась: принтер %s не отвечает."),
                          {FromQString(printer.printerName())}),
                   "", TMsgButtons::Ok, TMsgIcon::Error);
}

void TFOtchetRE::FileExit() {
    close();
}

void TFOtchetRE::closeEvent(QCloseEvent* e) {
    // Closing only hides and the text stays for the next showing; still the
    // user closing this window is asked, as New and Open ask, so that an
    // edit is not left behind unnoticed. The program's end has asked already.
    if (!programEnding_ && isVisible() && !AskSaveChanges()) return e->ignore();
    e->accept();
}

void TFOtchetRE::SelectFont() {
    QTextCursor c = editor_->textCursor();
    QFont start = c.charFormat().font();
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, start, this);
    if (ok) {
        QTextCharFormat f;
        f.setFont(chosen);
        MergeActive(f);
    }
    editor_->setFocus();
    editor_->document()->setDefaultFont(chosen);
}

// -------------------------------------------------------------- formatting

void TFOtchetRE::MergeActive(const QTextCharFormat& f) {
    QTextCursor c = editor_->textCursor();
    if (c.hasSelection()) c.mergeCharFormat(f);
    editor_->mergeCurrentCharFormat(f);
}

void TFOtchetRE::BoldButtonClick() {
    if (updating_) return;
    QTextCharFormat f;
    f.setFontWeight(Button("BoldButton")->isChecked() ? QFont::Bold : QFont::Normal);
    MergeActive(f);
}

void TFOtchetRE::ItalicButtonClick() {
    if (updating_) return;
    QTextCharFormat f;
    f.setFontItalic(Button("ItalicButton")->isChecked());
    MergeActive(f);
}

void TFOtchetRE::UnderlineButtonClick() {
    if (updating_) return;
    QTextCharFormat f;
    f.setFontUnderline(Button("UnderlineButton")->isChecked());
    MergeActive(f);
}

void TFOtchetRE::FontNameChange() {
    if (updating_) return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{fontName_->currentText()});
    MergeActive(f);
    QFont base = editor_->document()->defaultFont();
    base.setFamily(fontName_->currentText());
    editor_->document()->setDefaultFont(base);
}

void TFOtchetRE::FontSizeChange() {
    if (updating_) return;
    // A size of 0 is not a font; the smallest is 1.
    const int size = std::max(1, fontSize_->value());
    QTextCharFormat f;
    f.setFontPointSize(size);
    MergeActive(f);
    QFont base = editor_->document()->defaultFont();
    base.setPointSize(size);
    editor_->document()->setDefaultFont(base);
}

void TFOtchetRE::AlignButtonClick(int tag) {
    if (updating_) return;
    QTextBlockFormat bf;
    bf.setAlignment(tag == 1 ? Qt::AlignRight : tag == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    editor_->textCursor().mergeBlockFormat(bf);
    SelectionChange();
}

void TFOtchetRE::BulletsButtonClick() {
    if (updating_) return;
    QTextCursor c = editor_->textCursor();
    if (Button("BulletsButton")->isChecked()) {
        if (!c.currentList()) c.createList(QTextListFormat::ListDisc);
    } else if (QTextList* list = c.currentList()) {
        list->remove(c.block());
        QTextBlockFormat bf = c.blockFormat();
        bf.setIndent(0);
        c.setBlockFormat(bf);
    }
}

// ------------------------------------------------------------------- ruler

bool TFOtchetRE::eventFilter(QObject* watched, QEvent* e) {
    auto* marker = qobject_cast<QLabel*>(watched);
    if (!marker || (marker != firstInd_ && marker != leftInd_ && marker != rightInd_))
        return QMainWindow::eventFilter(watched, e);
    const bool isMouse = e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseMove ||
                         e->type() == QEvent::MouseButtonRelease;
    if (!isMouse) return QMainWindow::eventFilter(watched, e);
    auto* me = static_cast<QMouseEvent*>(e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        dragOffset_ = marker->width() / 2;
        marker->move(marker->x() + static_cast<int>(me->position().x()) - dragOffset_, marker->y());
        dragging_ = true;
        return true;
    case QEvent::MouseMove:
        if (dragging_)
            marker->move(marker->x() + static_cast<int>(me->position().x()) - dragOffset_,
                         marker->y());
        return true;
    case QEvent::MouseButtonRelease:
        IndentReleased(marker);
        return true;
    default:
        return QMainWindow::eventFilter(watched, e);
    }
}

void TFOtchetRE::IndentReleased(QLabel* marker) {
    dragging_ = false;
    QTextCursor c = editor_->textCursor();
    QTextBlockFormat bf = c.blockFormat();
    if (marker == rightInd_) {
        bf.setRightMargin(std::max(0, ruler_->width() - rightInd_->x() - 6 - 8));
    } else {
        // The first-line marker carries the left one with it.
        const int left = std::max(0, leftInd_->x() - 2);
        bf.setLeftMargin(left);
        bf.setTextIndent(firstInd_->x() - 2 - left);
    }
    c.setBlockFormat(bf);
    SelectionChange();
}

// --------------------------------------------------------- window events

void TFOtchetRE::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    RulerResize();
    ApplyEditorMargins();
    SelectionChange();
}

void TFOtchetRE::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    ShowCaretPosition();
    RichEditChange();
    editor_->setFocus();
}

// ------------------------------------------------------ sections and pages

TLines TFOtchetRE::EditorLines() const {
    TLines lines;
    for (QTextBlock b = editor_->document()->begin(); b.isValid(); b = b.next())
        lines.push_back(FromQString(b.text()));
    return lines;
}

size_t TFOtchetRE::ReportLength() const {
    // As the plain text counts it: CR LF between paragraphs.
    const QTextDocument* d = editor_->document();
    return static_cast<size_t>(std::max(0, d->characterCount() - 1)) +
           static_cast<size_t>(std::max(0, d->blockCount() - 1));
}

void TFOtchetRE::InsertLines(const std::string& text) {
    // Straight into the editor, so that what the user had on the clipboard
    // stays there.
    QString q = ToQString(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor c = editor_->textCursor();
    c.insertText(q);
    editor_->setTextCursor(c);
}

void TFOtchetRE::InsertSection(TReportSection section) {
    TSectionColumns columns{};
    const TNasDlgModel& nas = data_.NasDlgModel();
    for (int i = 0; i < SectionColumnCount; ++i) columns[i] = nas.CheckBox[i];
    std::optional<std::string> text =
        SectionText(section, data_.Tables(), data_.CalcContext().CalcOptions[40], columns);
    if (!text) return;
    if (section != TReportSection::Statistics && !SectionFits(text->size(), ReportLength())) {
        if (SectionRefusalIsTold(section))
            MessageBox(ReportTooLargeMessage(), "", TMsgButtons::Cancel, TMsgIcon::Information);
        return;
    }
    InsertLines(*text);
}

void TFOtchetRE::SostStatClick() {
    InsertSection(TReportSection::Statistics);
}
void TFOtchetRE::SostTablClick() {
    InsertSection(TReportSection::MainTable);
}
void TFOtchetRE::SostVenClick() {
    InsertSection(TReportSection::Fans);
}
void TFOtchetRE::SostPotrClick() {
    InsertSection(TReportSection::Consumers);
}
void TFOtchetRE::SostDavlClick() {
    InsertSection(TReportSection::Pressure);
}
void TFOtchetRE::SostUstClick() {
    InsertSection(TReportSection::Stability);
}

void TFOtchetRE::StranRastClick() {
    double scale = data_.CalcContext().CalcOptions.PageScale;
    const int perPage = LinesPerPage(editor_->document()->defaultFont().pointSizeF(), scale);
    if (perPage < MinLinesPerPage) {
        MessageBox(PageTooShortMessage(perPage), "", TMsgButtons::Ok, TMsgIcon::Warning);
        return;
    }
    std::vector<bool> inserted;
    TLines paged = PaginateReport(EditorLines(), perPage, &inserted);
    // Only the added and renumbered lines change, so the formatting of the
    // rest stays.
    QTextCursor c(editor_->document());
    c.beginEditBlock();
    QTextDocument* doc = editor_->document();
    for (size_t i = 0; i < paged.size(); ++i) {
        QTextBlock block = doc->findBlockByNumber(static_cast<int>(i));
        if (!block.isValid()) break;
        QTextCursor at(block);
        if (inserted[i]) {
            at.insertText(ToQString(paged[i]));
            at.insertBlock();
        } else if (FromQString(block.text()) != paged[i]) {
            at.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            at.insertText(ToQString(paged[i]));
        }
    }
    c.endEditBlock();
}

void TFOtchetRE::StranRazClick() {
    InsertLines(JoinLines(PageSeparatorLines()));
}

TFOtchetRE* CreateReportEditor(TDataWindowController& data, QWidget* parent) {
    auto* editor = new TFOtchetRE(data, parent);
    InstallReportEditorHost(editor);
    return editor;
}

} // namespace arv
