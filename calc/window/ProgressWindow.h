// The progress window "Ждите" (FormWord): the office exports show it with
// their own caption, the summary stability analyses show it with whatever
// caption it last had and drive its progress bar. Long work asks it whether
// the user cancelled. The Qt window installs itself at start-up; until then a
// silent one stands in that remembers what it was told (tests read it).
#pragma once

#include <string>

namespace arv {

class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;
    // CP1251; the caption is kept until it is set again.
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetLabel(const std::string& text) = 0;
    // Shown modeless and brought to the front; Close hides it.
    virtual void Show() = 0;
    virtual void Close() = 0;
    // Repaints now (the work runs on the window's own thread).
    virtual void Update() = 0;
    // ProgressBar1.
    virtual void SetBarVisible(bool visible) = 0;
    virtual void SetBarMax(int max) = 0;
    virtual void SetBarPosition(int position) = 0;
    virtual int BarPosition() const = 0;
    virtual void StepBar(int by = 1) = 0;
    // True once the user asked to stop the work in progress; Show clears it.
    virtual bool CancelRequested() const = 0;
};

// A null argument puts the silent stand-in back.
void InstallProgressWindow(IProgressWindow* window);
IProgressWindow& FormWord();

// Closes the window when it leaves scope, whatever path the work took.
class TProgressWindowCloser {
public:
    explicit TProgressWindowCloser(IProgressWindow& window) : window_(window) {}
    ~TProgressWindowCloser() {
        window_.SetBarVisible(false);
        window_.Close();
    }
    TProgressWindowCloser(const TProgressWindowCloser&) = delete;
    TProgressWindowCloser& operator=(const TProgressWindowCloser&) = delete;

private:
    IProgressWindow& window_;
};

} // namespace arv
