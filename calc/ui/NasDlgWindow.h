// The settings dialog "Настройка" as a window: four pages of controls over
// the dialog model, OK and "Отмена". It is created once at start-up and only
// shown and hidden; it is not modal.
#pragma once

#include "calc/window/NasDlgModel.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTabWidget;

namespace arv {

class TNasDlg : public QDialog {
    Q_OBJECT
public:
    // Runs the dialog's start-up on the model (settings file, radio groups
    // from the options, font names) and builds the controls.
    TNasDlg(TNasDlgModel& model, TCalcOptions& options, TNetworkTables& tables,
            TDataWindowSettings& window, QWidget* parent = nullptr);

    // "Настройка": enabled, shown and focused.
    void ShowSettings();
    void OKBtnClick();
    void CancelBtnClick();
    // "Выбор" of a font row: the font dialog, preset with the current font.
    void FontBtnClick(TNasDlgFont which);

    // Called after a font was applied, so the data window can restyle.
    std::function<void()> OnFontsChanged;
    // Called after OK wrote the tables' flows in another unit, so the
    // windows that show them can follow.
    std::function<void()> OnFlowsRewritten;
    // The font dialog; tests replace it. Returns false when cancelled.
    std::function<bool(TFontSpec&)> ChooseFont;

    // Another data set came in: the groups of the page "Расчет" show the
    // model's, which follow that data set while the dialog is open.
    void DataSetReplaced();

    // Esc: every way of leaving without OK is "Отмена".
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TNasDlgModel& model_;
    TCalcOptions& options_;
    TNetworkTables& tables_;
    TDataWindowSettings& window_;

    QTabWidget* pages_ = nullptr;
    QWidget* morePage_ = nullptr;
    QButtonGroup* units_ = nullptr;
    QButtonGroup* accuracy_ = nullptr;
    QButtonGroup* algorithm_ = nullptr;
    QButtonGroup* fanEquation_ = nullptr;
    QButtonGroup* newTable_ = nullptr;
    std::array<QLineEdit*, 3> fontNames_{};
    std::array<QCheckBox*, ReportColumnBoxes> checkBoxes_{};
    std::array<QLineEdit*, ReportColumnBoxes> sKol_{};
    std::array<QLineEdit*, NasDlgNumberCount> numbers_{};

    QWidget* BuildCalcPage();
    QWidget* BuildFontsPage();
    QWidget* BuildTablePage();
    QWidget* BuildMorePage();
    void ModelToControls();
    void ControlsToModel();
};

} // namespace arv
