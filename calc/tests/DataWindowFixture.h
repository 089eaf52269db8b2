// A data window controller over its own tables in a fresh program folder,
// with scripted messages, file dialogs and field dialog, and recording
// stand-ins for the drawing window, the library windows and the exports.
#pragma once

#include "calc/window/DataWindowController.h"
#include "calc/window/FieldDialog.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace arv::test {

class TFakeDrawing : public IDrawingHost {
public:
    bool exists = true;
    bool saveSucceeds = true;
    std::vector<std::string> saved, loaded;
    std::string fileName, surface;
    TModGrid* branchGrid = nullptr;
    TModGrid* nodeGrid = nullptr;
    int indexed = 0, linked = 0, shown = 0, resultsWritten = 0, replaced = 0;
    std::vector<int> centred;

    bool Exists() const override { return exists; }
    bool SaveDrawing(const std::string& name) override {
        saved.push_back(name);
        return saveSucceeds;
    }
    bool LoadDrawing(const std::string& name) override {
        loaded.push_back(name);
        fileName = name;
        return true;
    }
    bool ReplaceDrawing(const std::function<bool()>& load) override {
        ++replaced;
        return load();
    }
    std::string CurrentFileName() const override { return fileName; }
    void SetCurrentFileName(const std::string& name) override { fileName = name; }
    std::string SurfaceNodeText() const override { return surface; }
    void SetSurfaceNodeText(const std::string& text) override { surface = text; }
    void SetCalcGrids(TModGrid* branches, TModGrid* nodes) override {
        branchGrid = branches;
        nodeGrid = nodes;
    }
    void IndexCalcDataGrids() override { ++indexed; }
    void LinkBranchesToCalcData() override { ++linked; }
    void ResultsWritten() override { ++resultsWritten; }
    bool CentreOnBranch(int number) override {
        centred.push_back(number);
        return true;
    }
    void ShowAndBringToFront() override { ++shown; }
};

class TFakeLibrary : public ILibraryWindowHost {
public:
    std::vector<bool> shows; // the OK button's state at each show
    TWindowPlace Place() const override { return {}; }
    std::vector<int> ColumnWidths() const override { return {}; }
    void SetGridFont(const TFontSpec&) override {}
    void ShowLibrary(bool okEnabled) override { shows.push_back(okEnabled); }
};

class TFakeExports : public IOfficeExportHost {
public:
    std::vector<std::pair<TOfficeProgram, TOfficeReport>> runs;
    void Export(TOfficeProgram program, TOfficeReport report) override {
        runs.emplace_back(program, report);
    }
};

// Answers the one-field dialog from a script: each answer is the text typed
// before OK, or nullopt for Cancel. Records the dialog as it was shown.
class TScriptedFieldDialog : public IFieldDialog {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<TFDialog1> shown;
    TScriptedFieldDialog() { InstallFieldDialog(this); }
    ~TScriptedFieldDialog() override { InstallFieldDialog(nullptr); }
    int ShowModal(TFDialog1& d) override {
        shown.push_back(d);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected field dialog";
            return mrCancel;
        }
        auto a = answers.front();
        answers.pop_front();
        if (!a) return mrCancel;
        d.Edit1 = *a;
        return mrOk;
    }
};

class TRecordingView : public IDataWindowView {
public:
    int refreshes = 0, typePickers = 0, settings = 0, closes = 0;
    void Refresh() override { ++refreshes; }
    void FocusTypePicker() override { ++typePickers; }
    void ShowSettingsDialog() override { ++settings; }
    void CloseWindow() override { ++closes; }
};

struct DataWindowTest : ::testing::Test {
    TProgramFolder folder;
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    TScriptedFieldDialog fieldDialog;
    TFakeDrawing drawing;
    TFakeLibrary fanLibrary, deviceLibrary;
    TFakeExports exports;
    TCalcContext calc;
    TNetworkTables t{calc};
    TNasDlgModel nasDlg;
    TDataWindowController w{t, calc, nasDlg};
    TRecordingView view;

    DataWindowTest() {
        InstallDrawingHost(&drawing);
        InstallLibraryWindowHost(TLibraryWindow::Fans, &fanLibrary);
        InstallLibraryWindowHost(TLibraryWindow::Devices, &deviceLibrary);
        InstallOfficeExportHost(&exports);
        w.SetView(&view);
    }
    ~DataWindowTest() override {
        InstallDrawingHost(nullptr);
        InstallLibraryWindowHost(TLibraryWindow::Fans, nullptr);
        InstallLibraryWindowHost(TLibraryWindow::Devices, nullptr);
        InstallOfficeExportHost(nullptr);
    }

    std::string File(const char* name) const { return (folder.dir / name).string(); }
    std::string Write(const char* name, const std::string& bytes) const {
        std::string file = File(name);
        EXPECT_TRUE(WriteFileAtomic(file, bytes));
        return file;
    }
    static std::string Read(const std::string& name) { return FileBytes(name); }
    // Start-up as the program does it, the drawing named `drawingName` in
    // the test folder.
    void Create(const char* drawingName = "mine.grh") {
        drawing.fileName = File(drawingName);
        w.FormCreate();
    }
};

} // namespace arv::test
