// The thermal-depression window and the regulator-window calculator as Qt
// dialogs over their models. Both are created once at start-up, installed as
// FTeplD() and FR_Okno(), and only shown modally and hidden.
#pragma once

#include "calc/window/CalcDialogs.h"
#include "calc/window/DraughtWindows.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace arv {

class TGridView;

class TFTeplD : public QDialog, public IThermalDepressionDialog {
    Q_OBJECT
public:
    TFTeplD(TThermalDepressionModel& model, QWidget* parent = nullptr);
    ~TFTeplD() override;
    void ShowModal() override;
    void BitBtnRasClick();
    void BitBtnVybClick();
    void BitBtnVyxClick();
    QLineEdit* Edit(int i) const { return edits_[i - 1]; }
    QPushButton* ChooseButton() const { return choose_; }

private:
    void ModelToControls();
    void ControlsToModel();
    TThermalDepressionModel& m_;
    QLineEdit* edits_[6] = {};
    QPushButton* choose_ = nullptr;
    TGridView* grid_ = nullptr;
};

class TFR_Okno : public QDialog, public IRegulatorWindowDialog {
    Q_OBJECT
public:
    TFR_Okno(TRegulatorWindowModel& model, QWidget* parent = nullptr);
    ~TFR_Okno() override;
    void SetAcceptCaption(const std::string& caption) override;
    void ShowModal() override;
    std::string ResistanceText() const override { return m_.Edit5; }
    void BitBtnRasClick();
    void BitBtnVybClick();
    void BitBtnVyxClick();
    QLineEdit* Edit(int i) const { return edits_[i - 1]; }
    QPushButton* AcceptButton() const { return accept_; }

private:
    void ModelToControls();
    void ControlsToModel();
    TRegulatorWindowModel& m_;
    QLineEdit* edits_[5] = {};
    QPushButton* accept_ = nullptr;
};

// Creates both windows (owned by `owner`) over the program's tables and
// calculation, and installs them.
void CreateDraughtWindows(QWidget* owner);

} // namespace arv
