// The state of the small windows around the plan, without their windows:
// the overview (navigator) frame, the picture viewer's scale steps, the
// legend-symbol file editor and the archive extraction.
#pragma once

#include "document/Document.h"

#include <functional>
#include <string>
#include <vector>

namespace arv {

// ---- Navigator ("Обзор") ----
struct TNavigatorState {
    TRect Extent;     // the drawing's extent when last activated
    double Scale = 0; // navigator pixels per world unit; 0: nothing to show
    TRect Frame;      // navigator pixels of the main view
    bool Valid() const { return Scale > 0; }
};
// The scale and frame for a navigator image of that size. An empty drawing
// (zero extent width or height) gives an invalid state: nothing to frame.
bool NavigatorActivate(TNavigatorState& nav, const TRect& extent, const TRect& mainView,
                       int clientWidth, int clientHeight);
// A click at (x, y): the frame keeps its size, centred on the click; out is
// the new main view. False (nothing changes) without a valid state.
bool NavigatorClick(TNavigatorState& nav, int x, int y, int clientWidth, int clientHeight,
                    TRect& mainView);

// ---- Picture viewer ("Картинка") ----
struct TPictureViewerState {
    std::string PhotoFolder;
    std::string PhotoFileName;
    int PictureScaleStep = 0; // 0..3: full size, 1/2, 1/4, 1/8 of a JPEG
    // The photo command's layout: 0 wide (horizontal scroll bar), 1 and 2,
    // 3 tall (vertical scroll bar).
    int Layout = 1;
    bool BitBtn1Enabled = true, BitBtn2Enabled = true;
    // The bitmap layout: window height and the screen's.
    int WindowHeight = 0;
    int ScreenHeight = 0;
    int PanelHeight = 0;

    // ".jpg" or ".JPG" exactly.
    bool IsJpeg() const;
    std::string PicturePath() const;
    int ScaleDenominator() const { return 1 << PictureScaleStep; }
    // Larger: one step down (JPEG), 1.2 times taller (bitmap).
    void BitBtn1Click();
    // Smaller: one step up (JPEG), 1.2 times lower (bitmap).
    void BitBtn2Click();
    // Buttons for the step shown.
    void SyncButtons();
};
// Whether a name is a JPEG by the viewer's rule.
bool IsJpegName(const std::string& name);
// The viewer's client area for a picture: the panel above the picture, no
// larger than maxW x maxH (what the screen leaves). Layout 0 keeps the
// horizontal scroll bar, layout 3 the vertical one; either bar also comes
// when the picture does not fit that way. bar: a scroll bar's thickness.
struct TViewerClient {
    int width = 0, height = 0;
    bool horizontalBar = false, verticalBar = false;
};
TViewerClient ViewerClient(int layout, int pictureW, int pictureH, int panelH, int maxW, int maxH,
                           int bar);

// ---- Legend-symbol file editor ----
struct TSymbolEditorState {
    std::vector<std::string> Lines; // the memo EditorUO
    std::string SymbolFileName;
    std::string Caption;
    bool Created = false;
    // The document whose library follows the editor's loads (may be null).
    TGCollFigure* Doc = nullptr;
    std::string ProgramDirPath;
    // Called after the library was rebuilt (the plan is repainted).
    std::function<void()> LibraryChanged;
    // Called when the lines were replaced from outside the memo (a drawing
    // loaded): the memo shows them.
    std::function<void()> LinesReplaced;

    void FormCreate();
    // A drawing was loaded: the memo shows its symbol text, under no file
    // name until one is loaded or saved.
    void DrawingLoaded();
    void FUOFileNewClick();
    void FUOFileOpenClick();
    void FUOFileSaveClick();
    void FUOFileSaveAsClick();
    // The memo's lines joined by CR LF, without a line end after the last:
    // the drawing writer ends the text with one CR of its own.
    std::string Text() const;
    void SetText(const std::string& text);

private:
    void ReloadLibrary();
    bool SaveTo(const std::string& name);
};

// ---- Archive extraction ("Пути для загрузки базы") ----
struct TExtractState {
    std::string EditEx;   // the folder the data go to
    std::string EditFile; // the archive
    std::string ExtractBaseDir;
    bool Closed = false;
    // Starts the archiver; tests replace it.
    std::function<bool(const std::string& program, const std::vector<std::string>& args)>
        StartProgram;
    // The archiver's path: "Programm/Rar.exe" in the program folder.
    std::string ArchiverPath() const;
    void BitBtnOkClick();
    void BitBtnCancelClick() { Closed = true; }
};

} // namespace arv
