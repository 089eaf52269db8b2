// The options dialog "Настройка": shows the state of TOption on its pages
// and hands the controls' values back before every handler and on OK.
#pragma once

#include "app/Options.h"

#include <QDialog>

#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace arv {

class TOptionForm : public QDialog, public IOptionView {
public:
    explicit TOptionForm(TOption& option, QWidget* parent = nullptr);
    ~TOptionForm() override;

    // The controls from the state, and the state from the controls.
    void ShowState();
    void ReadControls();
    QWidget* Control(const std::string& name) const;

    // IOptionView.
    bool ShowModal() override;
    bool ChooseColor(int& colour) override;
    bool ChooseFont(TFontRecord& font) override;

private:
    struct TFolderControls {
        QCheckBox* check = nullptr;
        QLineEdit* edit = nullptr;
        QComboBox* drives = nullptr;
        QListWidget* dirs = nullptr;
    };
    QWidget* BuildGeneralPage();
    QWidget* BuildCalcDataPage();
    QWidget* BuildFolderPage(TFolderControls& c, const char* checkCaption, bool pla);
    QWidget* BuildSchemePage();
    QWidget* BuildLayerPage();
    QSpinBox* Spin(const char* name, TOption::TRange range, int step = 1);
    QCheckBox* Check(const char* name, const char* caption);
    QPushButton* Button(const char* name, const char* caption, void (TOption::*handler)());
    QLabel* Sample(const char* name, const char* caption);
    void Run(void (TOption::*handler)());
    void ShowFolder(const TFolderControls& c, const TFolderPage& page);
    void ShowSample(QLabel* label, int colour);
    template <class T> T* Named(T* widget, const char* name);

    TOption& o_;
    std::map<std::string, QWidget*> controls_;
    QTabWidget* pages_ = nullptr;
    QWidget* schemePage_ = nullptr;
    QWidget* layerPanel_ = nullptr;
    TFolderControls foto_, pla_;
    std::array<QCheckBox*, 8> showChecks_{};
    std::map<std::string, QLabel*> fontLabels_;
    bool loading_ = false;
};

} // namespace arv
