#include "app/Options.h"

#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

int UpDownPosition(int value, TOption::TRange range) {
    return std::clamp(value, range.Min, range.Max);
}

std::string TOption::MainLayerCaption() {
    return Ru("Выработки и ветви");
}

void TOption::FormCreate() {
    BrnF = NodeF = BrN = ExtB = TFontRecord{};
}

void TOption::FontClick(TFontRecord& font) {
    TFontRecord chosen = font;
    if (view_ && view_->ChooseFont(chosen)) font = chosen;
}

void TOption::ColorClick(int& colour) {
    int chosen = colour;
    if (view_ && view_->ChooseColor(chosen)) colour = chosen;
}

void TOption::CheckBoxPLAPathClick() {
    Pla.Enabled = !Pla.Default;
    if (Pla.Default) {
        Pla.Path = ProgramFile("pla");
        return;
    }
    if (!DirectoryExists(Pla.Path)) Pla.Path = ProgramDir();
    Pla.Directory = Pla.Path;
}

void TOption::CheckBoxFotoClick() {
    Foto.Enabled = !Foto.Default;
    if (Foto.Default) {
        Foto.Path = ProgramFile("Foto");
        return;
    }
    if (DirectoryExists(Foto.Path)) Foto.Directory = Foto.Path;
}

void TOption::FillLayerLists() {
    const TGLajer& layers = w_.Doc().layers;
    LayerItems.clear();
    for (int32_t i = 0; i < layers.Count(); ++i)
        LayerItems.push_back(i == 0 ? MainLayerCaption() : layers.Layer(i).name);
    Scheme.LayerChecks.resize(LayerItems.size(), true);
    if (Scheme.ComboBoxLajer >= static_cast<int>(LayerItems.size()))
        Scheme.ComboBoxLajer = static_cast<int>(LayerItems.size()) - 1;
}

void TOption::ShowLayerPanel() {
    const TGLajer& layers = w_.Doc().layers;
    const int index = Scheme.ComboBoxLajer;
    LayerPanelVisible = index > 0 && layers.Exists(index);
    DeleteLayerEnabled = LayerPanelVisible;
    if (!layers.Exists(index)) return;
    const TLayerRecord& l = layers.Layer(index);
    Scheme.Edit7 = l.name;
    Scheme.ComboLineType = l.style;
    Scheme.UpDown3 = UpDownPosition(l.width, kWidth);
    Scheme.UpDown5 = UpDownPosition(l.penWidth, kWidth);
    Scheme.ColorLineLajer = l.colour;
}

void TOption::BitBtnAddLajerClick() {
    TGLajer& layers = w_.Doc().layers;
    const std::string name = layers.AddLayer();
    if (name.empty()) {
        // A scheme record keeps the visibility of twelve layers only.
        ShowMessage(Ru("Нельзя добавить слой: их может быть не больше ") +
                    std::to_string(kMaxLayers));
        return;
    }
    LayerPanelVisible = true;
    DeleteLayerEnabled = true;
    LayerItems.push_back(name);
    Scheme.LayerChecks.push_back(true);
    Scheme.ComboBoxLajer = layers.Count() - 1;
    ShowLayerPanel();
}

void TOption::BitBtnDeLajerClick() {
    const int index = Scheme.ComboBoxLajer;
    if (index <= 0 || index >= static_cast<int>(LayerItems.size())) return;
    if (!w_.Doc().DeleteLayer(index)) return;
    LayerItems.erase(LayerItems.begin() + index);
    if (index < static_cast<int>(Scheme.LayerChecks.size()))
        Scheme.LayerChecks.erase(Scheme.LayerChecks.begin() + index);
    // The selection stays in place when a layer follows, else moves back.
    if (index >= static_cast<int>(LayerItems.size())) Scheme.ComboBoxLajer = index - 1;
    ShowLayerPanel();
}

void TOption::BitBtnChangeLajerClick() {
    TGLajer& layers = w_.Doc().layers;
    const int index = Scheme.ComboBoxLajer;
    if (index < 0 || !layers.Exists(index)) {
        ShowMessage(Ru("Выберите слой"));
        return;
    }
    WindowState().CurrentLayer = index;
    w_.LayerBoxIndex = index;
    TLayerRecord& l = layers.Layer(index);
    l.name = Scheme.Edit7;
    l.style = static_cast<uint8_t>(std::clamp(Scheme.ComboLineType, 0, 255));
    l.width = UpDownPosition(Scheme.UpDown3, kWidth);
    l.penWidth = UpDownPosition(Scheme.UpDown5, kWidth);
    l.colour = Scheme.ColorLineLajer;
    LayerItems[static_cast<size_t>(index)] = index == 0 ? MainLayerCaption() : l.name;
}

void TOption::ComboBoxLajerChange() {
    ShowLayerPanel();
}

void TOption::ComboBoxLajerExit() {
    if (!w_.Doc().layers.Exists(Scheme.ComboBoxLajer)) return;
    WindowState().CurrentLayer = Scheme.ComboBoxLajer;
    w_.LayerBoxIndex = Scheme.ComboBoxLajer;
}

} // namespace arv
