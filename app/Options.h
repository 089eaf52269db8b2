// The options dialog "Настройка" without its window: the state of every
// control of its pages and the handlers of its buttons and lists. The main
// window loads it before the dialog shows and takes it back on OK; the layer
// buttons change the drawing's layer list at once. The Qt dialog shows this
// state and hands its controls' values back before each handler runs.
#pragma once

#include "app/DrawWin.h"
#include "document/FontRecord.h"

#include <array>
#include <string>
#include <vector>

namespace arv {

// What only a window can do for the dialog.
class IOptionView {
public:
    virtual ~IOptionView() = default;
    // Shows the dialog modally over the state; true for OK.
    virtual bool ShowModal() = 0;
    // The colour dialog starting with the colour; false when cancelled.
    virtual bool ChooseColor(int& colour) = 0;
    // The font dialog starting with the font; false when cancelled.
    virtual bool ChooseFont(TFontRecord& font) = 0;
};

// A colour sample: its colour and the colour of its caption.
struct TColorSample {
    int Color = 0;
    // White on black, black otherwise, so the caption stays readable.
    int TextColor() const { return Color == 0 ? 0xFFFFFF : 0; }
};

// One folder page ("Путь к Фото", "Путь к ПЛА").
struct TFolderPage {
    std::string Path;      // the edit FotoPath / PLAPath
    bool Default = true;   // CheckBoxFoto / CheckBoxPLAPath
    bool Enabled = false;  // the directory list and drive box
    std::string Directory; // the folder the directory list shows
};

class TOption {
public:
    explicit TOption(TIDrawWin& window) : w_(window) {}
    TOption(const TOption&) = delete;
    TOption& operator=(const TOption&) = delete;

    void SetView(IOptionView* view) { view_ = view; }
    IOptionView* View() const { return view_; }

    // Page "Общие".
    TColorSample ColorText{0xFFFFFF};
    int UpDown1 = 20; // arrow size
    int UpDown2 = 11; // node size
    int OUSize = 40;  // legend-symbol size
    int UpDown6 = 30; // data offset
    int UpDownStepNet = 5;
    bool Positive = false;
    bool CBNodeOutput = false;
    bool CBPicOutput = true;
    bool PrSoprag = true;
    // Names, node numbers, branch numbers, calculation data.
    TFontRecord BrnF, NodeF, BrN, ExtB;
    int UpDownScArrow = 10;
    int UpDownShArrow = 30;
    bool Arrcaption = false;
    // Page "Расчетные данные".
    bool PrRash = true, PrSechenie = true, PrSpeed = true, PrLength = true;
    bool PrRectEnable = true;
    TColorSample ColorPrRect{65535};
    int UpDownPr = 30;
    // Pages "Путь к Фото" and "Путь к ПЛА".
    TFolderPage Foto, Pla;
    // Page "Вид схемы" and the layer panel of "Слои (Коммуникации)": the
    // check list, the layer combo and the panel are in Scheme.
    std::string TabSheet1Caption;
    TSchemeOptionsState Scheme;
    // Items of ComboBoxLajer and CheckListBoxLajer (one list: both show the
    // layers in order).
    std::vector<std::string> LayerItems;
    bool LayerPanelVisible = false;
    bool DeleteLayerEnabled = false;

    // Handlers.
    void FormCreate();
    void BrnFClick() { FontClick(BrnF); }
    void NodeFClick() { FontClick(NodeF); }
    void BrNClick() { FontClick(BrN); }
    void ExtBClick() { FontClick(ExtB); }
    void ButtonBackColorClick() { ColorClick(ColorText.Color); }
    void ButtonLineColorClick() { ColorClick(Scheme.ColorLine); }
    void ButtonPrRectColorClick() { ColorClick(ColorPrRect.Color); }
    void Button4Click() { ColorClick(Scheme.ColorLineLajer); }
    void CheckBoxPLAPathClick();
    void CheckBoxFotoClick();
    void DirectoryListBoxChange(const std::string& dir) { Pla.Path = Pla.Directory = dir; }
    void DirectoryListBox1Change(const std::string& dir) { Foto.Path = Foto.Directory = dir; }
    void BitBtnAddLajerClick();
    void BitBtnDeLajerClick();
    void BitBtnChangeLajerClick();
    void ComboBoxLajerChange();
    void ComboBoxLajerExit();

    // The caption of layer 0 in the dialog's lists.
    static std::string MainLayerCaption();
    // Ranges of the up-down controls.
    struct TRange {
        int Min, Max;
    };
    static constexpr TRange kArrowSize{5, 100}, kNodeSize{5, 100}, kSymbolSize{40, 2000},
        kDataOffset{0, 1000}, kGridStep{0, 1000}, kArrowScale{1, 100}, kArrowOffset{0, 1000},
        kLeader{0, 200}, kWidth{1, 100};

private:
    friend class TIDrawWin;
    void FontClick(TFontRecord& font);
    void ColorClick(int& colour);
    void FillLayerLists();
    // The layer panel from the layer chosen in the combo.
    void ShowLayerPanel();

    TIDrawWin& w_;
    IOptionView* view_ = nullptr;
};

// An up-down control's position: the value held inside its range.
int UpDownPosition(int value, TOption::TRange range);

} // namespace arv
