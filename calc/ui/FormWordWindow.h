// The progress window "Ждите" (FormWord): a label, ProgressBar1 and a
// button that asks the work in progress to stop. Long work runs on the main
// thread and lets the window repaint and take the click through Update.
#pragma once

#include "calc/window/ProgressWindow.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace arv {

class TFormWord : public QDialog, public IProgressWindow {
    Q_OBJECT
public:
    explicit TFormWord(QWidget* owner);

    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    void SetLabel(const std::string& text) override;
    void Show() override;
    void Close() override;
    void Update() override;
    void SetBarVisible(bool visible) override;
    void SetBarMax(int max) override;
    void SetBarPosition(int position) override;
    int BarPosition() const override;
    void StepBar(int by = 1) override;
    bool CancelRequested() const override { return cancelled_; }
    // Escape or the close box.
    void reject() override;

private:
    QLabel* label_;
    QProgressBar* bar_;
    bool cancelled_ = false;
};

// The windows of the stability analyses, created once at start-up and
// installed for the calculation.
void CreateStabilityWindows(QWidget* owner);

} // namespace arv
