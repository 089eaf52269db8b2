// The inspector's dialogs as windows: each shows a state object of
// app/PropDialogs.h and hands it back; the decisions stay in the states.
#pragma once

#include "app/PropDialogs.h"
#include "app/PropInspector.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace arv {

class TGCollFigure;

class TFPenBrushDlg : public QDialog {
    Q_OBJECT
public:
    TFPenBrushDlg(const TPenBrushDlgState& state, QWidget* parent);
    TPenBrushDlgState State() const;

private:
    void ButtonPenColorClick();
    void ButtonBrushColorClick();
    void ShowColour(QLabel* label, int32_t colour);

    TPenBrushDlgState state_;
    QComboBox* comboPenStyle_;
    QSpinBox* upDownPenWidth_;
    QLabel* lPenColor_;
    QComboBox* comboTypeLine_;
    QComboBox* comboBrushStyle_;
    QSpinBox* upDownLineWidth_;
    QLabel* lBrushColor_;
    QLabel* lPlaColor_;
};

class TFormAngle : public QDialog {
    Q_OBJECT
public:
    explicit TFormAngle(QWidget* parent);
    void Show(const TFormAngleState& state);
    TFormAngleState State() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TFormAngleState state_;
    QLineEdit* maskEditAngle_;
    QLabel* stParallel_;
};

class TEnterPic : public QDialog {
    Q_OBJECT
public:
    TEnterPic(TEnterPicState& state, const TGCollFigure& doc, QWidget* parent);

private:
    void Refill();
    void SelListChange(int index);

    TEnterPicState& state_;
    const TGCollFigure& doc_;
    QRadioButton* sPic_;
    QRadioButton* sUO_;
    QComboBox* selList_;
    QLabel* image1_;
    bool filling_ = false;
};

// Colour dialog on a 0x00BBGGRR colour; false on Cancel.
bool RunColorDialog(QWidget* parent, int32_t& colour);
// Font dialog on a stored font record; false on Cancel.
bool RunFontDialog(QWidget* parent, TFontRecord& font);
// "Введите текст": the text and, through "Шрифт ...", the font.
bool RunEntTextDialog(QWidget* parent, std::string& text, TFontRecord& font);

// The inspector's dialogs and value menu on a parent window.
class TQtPropDialogs : public IPropDialogs {
public:
    TQtPropDialogs(QWidget* parent, const TGCollFigure& doc) : parent_(parent), doc_(doc) {}
    // Where the value menu's bottom-left cell corner lies on the screen.
    std::function<QPoint(int col, int row)> CellBottomLeft;
    // A chosen menu item.
    std::function<void(int item)> MenuChosen;
    std::function<void()> GridChanged;

    bool ChooseColor(int32_t& colour) override { return RunColorDialog(parent_, colour); }
    bool ChooseFont(TFontRecord& font) override { return RunFontDialog(parent_, font); }
    bool PenBrushDialog(TPenBrushDlgState& state) override;
    bool AngleDialog(TFormAngleState& state) override;
    bool EnterPicDialog(TEnterPicState& state) override;
    void PopupPropMenu(const TPropMenu& menu, int col, int row) override;
    void PropGridChanged() override {
        if (GridChanged) GridChanged();
    }

private:
    QWidget* parent_;
    const TGCollFigure& doc_;
    TFormAngle* angle_ = nullptr; // one window for every angle edit
};

} // namespace arv
