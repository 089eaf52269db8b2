// The device library ("Библиотека вент. устройств") and the fan library
// ("Библиотека вентиляторов") without their windows: the grids, the files in
// the program folder, the choice that fills the current row of the data
// window's table, the fan curve fit and the chart of a library fan. The
// windows are created at start-up and only shown and hidden.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/ModGrid.h"
#include "calc/window/WindowHosts.h"

#include <functional>
#include <string>

namespace arv {

class TDataWindowController;
class TIniFile;

class TLibraryWindowModel {
public:
    explicit TLibraryWindowModel(std::string gridName);
    virtual ~TLibraryWindowModel() = default;

    // Edits (typed cells, computed coefficients, rows added or removed) set
    // the grid's Modified until the library is saved or read again.
    TModGrid Grid;
    TWindowPlace Place{50, 50, 200, 200};
    bool Visible = false;
    // "Выбор" is enabled only when the window was opened from a table.
    bool OkEnabled = false;
    // Visibility or buttons changed; the window follows.
    std::function<void()> Changed;

    // Shown scrolled to the first column, the current row kept.
    void Show(bool okEnabled);
    // "Выход": unsaved edits are asked about first. "Да" saves, "Нет" reads
    // the file again, "Отмена" (or a save that failed) keeps the window.
    void CancelBtnClick();
    // "Сохранить": the library file; a failure is told, the old file stays.
    bool SaveBtnClick();
    // At the program's end: "Сохранить изменения?" when there are unsaved
    // edits; false when the program must stay ("Отмена", or a failed save).
    bool AskSaveChanges();
    virtual std::string FileName() const = 0;
    virtual std::string Caption() const = 0;

protected:
    void Hide();
    void Notify();
    // The library as its file holds it (empty without a file), unmodified.
    void ReadAgain();
    virtual bool ReadLibrary() = 0;

private:
    int AskSave();
};

class TDeviceLibrary : public TLibraryWindowModel {
public:
    TDeviceLibrary() : TLibraryWindowModel("TablBiblVU") {}
    // Headings, settings, the font of the branch table, the library file.
    void FormCreate(const TIniFile& ini, const TModGrid& fontSource);
    void ReadIniFileFBiblVU(const TIniFile& ini);
    bool ReadBiblVU();
    // Column 4 or 8 of the branch table in view gets the resistance, column 7
    // the coefficient of the current library row; then the window hides.
    void OKBtnClick(TDataWindowController& w);
    std::string FileName() const override;
    std::string Caption() const override;

protected:
    bool ReadLibrary() override { return ReadBiblVU(); }
};

class TFanLibrary : public TLibraryWindowModel {
public:
    TFanLibrary() : TLibraryWindowModel("TablBiblVen") {}
    void FormCreate(const TIniFile& ini, const TModGrid& fontSource, TCalcOptions& options);
    void ReadIniFileFBiblVen(const TIniFile& ini, TCalcOptions& options);
    bool ReadBiblVen();
    // The current row of the fan table in view (normal or reverse mode) from
    // the current library row; nothing on other pages.
    void OKBtnClick(TDataWindowController& w);
    // "Расч.коэф.": A, B, C of the current row from its points Q1, H1, Q2, H2.
    void RasKoefBtnClick(TCalcOptions& options);
    // "График": the chart of the current library row.
    void GrafikBtnClick();
    // The binary import file into the grid, then saved.
    bool ImportFile(const std::string& fileName);
    std::string FileName() const override;
    std::string Caption() const override;

protected:
    bool ReadLibrary() override { return ReadBiblVen(); }
};

// The program's two library windows.
TDeviceLibrary& DeviceLibrary();
TFanLibrary& FanLibrary();
// Both libraries' question at the program's end; false when it must stay.
bool AskSaveLibraries();

// The window of a library model for the data window and the settings.
class TLibraryHost : public ILibraryWindowHost {
public:
    explicit TLibraryHost(TLibraryWindowModel& model) : model_(model) {}
    TWindowPlace Place() const override { return model_.Place; }
    std::vector<int> ColumnWidths() const override;
    void SetGridFont(const TFontSpec& font) override;
    void ShowLibrary(bool okEnabled) override { model_.Show(okEnabled); }

private:
    TLibraryWindowModel& model_;
};

} // namespace arv
