// The small windows around the plan: overview (navigator), picture viewer,
// about box, legend-symbol file editor and archive extraction. Each is a
// thin window over its state in app/SmallWindows.h.
#pragma once

#include "app/DrawWin.h"
#include "app/SmallWindows.h"

#include <QDialog>
#include <QImage>
#include <QMargins>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace arv {

class TNavigatorImage;

class TFormNavigator : public QWidget {
    Q_OBJECT
public:
    TFormNavigator(TIDrawWin& w, QWidget* parent = nullptr);
    void FormCreate();
    void FormActivate();
    void ImageNavigatorMouseDown(int x, int y);
    const TNavigatorState& State() const { return nav_; }
    const QImage& Image() const { return image_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawFrame(const QColor& colour);
    TIDrawWin& w_;
    TNavigatorState nav_;
    QImage image_;
    TNavigatorImage* imageNavigator_ = nullptr;
};

class TFormImage : public QWidget {
    Q_OBJECT
public:
    explicit TFormImage(QWidget* parent = nullptr);
    TPictureViewerState& State() { return state_; }
    // Shows the picture the state names at its step (JPEG) or at the
    // window's height (bitmap); false when it could not be read.
    bool ShowPicture();
    void BitBtn1Click();
    void BitBtn2Click();
    QPushButton* BitBtn1() const { return bitBtn1_; }
    QPushButton* BitBtn2() const { return bitBtn2_; }
    QScrollArea* ScrollBox() const { return scrollBox_; }
    // The picture shown (Image1 for JPEG, Image2 for bitmaps).
    const QImage& Shown() const { return shown_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    bool ShowJpeg();
    bool ShowBitmap();
    // Sizes the window for the picture in the state's layout, with its
    // scroll bars, and puts it rightGap pixels from the screen's right edge,
    // all of it on what the screen leaves for windows.
    void PlaceWindow(int rightGap);
    TPictureViewerState state_;
    QImage shown_;
    QMargins frame_;
    QScrollArea* scrollBox_ = nullptr;
    QWidget* panel1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

class TFormEditUO : public QWidget {
    Q_OBJECT
public:
    TFormEditUO(TIDrawWin& w, QWidget* parent = nullptr);
    void FormCreate();
    // The memo shows the state's lines.
    void ShowLines();
    void ShowCaption();
    QPlainTextEdit* EditorUO() const { return editorUO_; }
    void FUOFileNewClick();
    void FUOFileOpenClick();
    void FUOFileSaveClick();
    void FUOFileSaveAsClick();

private:
    // The memo's text into the editor's state, which the drawing writer
    // reads: typing changes the drawing.
    void TakeMemo();
    // Runs a file command; the drawing changed when its symbol text did.
    void RunFileCommand(void (TSymbolEditorState::*command)());
    TIDrawWin& w_;
    QPlainTextEdit* editorUO_ = nullptr;
    bool showing_ = false;
};

class TFormExtract : public QWidget {
    Q_OBJECT
public:
    explicit TFormExtract(QWidget* parent = nullptr);
    TExtractState& State() { return state_; }
    void BitBtnOkClick();
    void BitBtnCancelClick();
    QLineEdit* EditEx() const { return editEx_; }
    QLineEdit* EditFile() const { return editFile_; }

private:
    TExtractState state_;
    QLineEdit* editEx_ = nullptr;
    QLineEdit* editFile_ = nullptr;
};

// The program's small windows (null before the main window made them).
TFormNavigator* FormNavigator();
TFormImage* FormImage();
TFormEditUO* FormEditUO();
TFormExtract* FormExtract();

} // namespace arv
