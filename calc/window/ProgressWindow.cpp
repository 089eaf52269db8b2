#include "calc/window/ProgressWindow.h"

#include <algorithm>

namespace arv {

namespace {

class TSilentProgressWindow : public IProgressWindow {
public:
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetLabel(const std::string&) override {}
    void Show() override {}
    void Close() override {}
    void Update() override {}
    void SetBarVisible(bool) override {}
    void SetBarMax(int max) override { max_ = std::max(0, max); }
    void SetBarPosition(int position) override { position_ = std::clamp(position, 0, max_); }
    int BarPosition() const override { return position_; }
    void StepBar(int by) override { SetBarPosition(position_ + by); }
    bool CancelRequested() const override { return false; }

private:
    std::string caption_;
    int max_ = 100;
    int position_ = 0;
};

TSilentProgressWindow& Silent() {
    static TSilentProgressWindow window;
    return window;
}

IProgressWindow* installed = nullptr;

} // namespace

void InstallProgressWindow(IProgressWindow* window) {
    installed = window;
}

IProgressWindow& FormWord() {
    return installed ? *installed : Silent();
}

} // namespace arv
