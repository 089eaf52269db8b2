// The options dialog's state against the scheme records, the document, the
// window settings, the settings file and the layer list.
#include "DrawWinTestSupport.h"

#include "app/Options.h"
#include "document/Constants.h"
#include "platform/IniFile.h"

#include <functional>

namespace arv::test {
namespace {

// The dialog as a script: what the user does while it shows, then OK or
// Cancel; the colour and font dialogs answer from queues.
struct TScriptedOptionView : IOptionView {
    std::function<bool(TOption&)> onShow;
    TOption* option = nullptr;
    std::deque<std::optional<int>> colours;
    std::deque<std::optional<TFontRecord>> fonts;
    int shows = 0;
    bool ShowModal() override {
        ++shows;
        return onShow ? onShow(*option) : false;
    }
    bool ChooseColor(int& colour) override {
        if (colours.empty() || !colours.front()) return false;
        colour = *colours.front();
        colours.pop_front();
        return true;
    }
    bool ChooseFont(TFontRecord& font) override {
        if (fonts.empty() || !fonts.front()) return false;
        font = *fonts.front();
        fonts.pop_front();
        return true;
    }
};

struct OptionsTest : DrawWinTest {
    TScriptedOptionView dialog;
    OptionsTest() {
        dialog.option = &w->Option();
        w->Option().SetView(&dialog);
    }
    TOption& O() { return w->Option(); }
    // A record unlike the default and unlike the other schemes'.
    static TSchemeRecord Distinct(int k) {
        TSchemeRecord r;
        r.style = static_cast<uint8_t>(k % 4 + 1);
        r.lineColor = 0x100000 * (k + 1) + 0x20;
        r.width = 2 + k;
        for (int i = 0; i < 8; ++i) r.show[i] = static_cast<uint8_t>((i + k) % 2);
        r.layers[1] = static_cast<uint8_t>(k % 2);
        r.layers[2] = static_cast<uint8_t>((k + 1) % 2);
        r.penWidth = 1 + k;
        return r;
    }
};

TEST_F(OptionsTest, EverySchemeRecordRoundTripsThroughTheDialog) {
    Start();
    w->Doc().layers.AddLayer();
    w->Doc().layers.AddLayer();
    for (int k = 0; k < kSchemeCount; ++k) DrawingGlobals().SchemeViewFlags[k] = Distinct(k);
    for (int k = 0; k < kSchemeCount; ++k) {
        SCOPED_TRACE(k);
        w->SchemeClick(k);
        const auto before = DrawingGlobals().SchemeViewFlags;
        // OK without a change gives the record back as it was.
        TSchemeOptionsState shown;
        std::string caption;
        dialog.onShow = [&](TOption& o) {
            shown = o.Scheme;
            caption = o.TabSheet1Caption;
            return true;
        };
        w->MoptionsClick();
        EXPECT_EQ(before, DrawingGlobals().SchemeViewFlags);
        EXPECT_EQ(SchemeKindNames()[k], caption);
        EXPECT_EQ(Distinct(k).style - 1, shown.LineTypeIndex);
        EXPECT_EQ(Distinct(k).lineColor, shown.ColorLine);
        EXPECT_EQ(Distinct(k).width, shown.UpDownWidth);
        EXPECT_EQ(Distinct(k).penWidth, shown.UpDownPenWidth);
        EXPECT_EQ((std::vector<bool>{true, k % 2 == 1, k % 2 == 0}), shown.LayerChecks);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(Distinct(k).show[i] != 0, shown.ShowChecks[i]);

        // Changes reach this scheme's record only, and the view follows it.
        dialog.onShow = [&](TOption& o) {
            o.Scheme.LineTypeIndex = 2;
            o.Scheme.ColorLine = 0x0000FF;
            o.Scheme.UpDownWidth = 40;
            o.Scheme.UpDownPenWidth = 7;
            o.Scheme.ShowChecks = {true, true, false, false, true, true, false, false};
            o.Scheme.LayerChecks = {true, false, false};
            return true;
        };
        w->MoptionsClick();
        TSchemeRecord want = Distinct(k);
        want.style = 3;
        want.lineColor = 0x0000FF;
        want.width = 40;
        want.penWidth = 7;
        want.show = {1, 1, 0, 0, 1, 1, 0, 0};
        want.layers[1] = want.layers[2] = 0;
        auto expected = before;
        expected[static_cast<size_t>(k)] = want;
        EXPECT_EQ(expected, DrawingGlobals().SchemeViewFlags);
        EXPECT_TRUE(w->MNumBr && w->MNumNd && !w->MNameBr && w->MArrowQ && w->MDAVL);
        EXPECT_EQ(3, DrawingGlobals().DefaultBranchStyle);
        EXPECT_EQ(0x0000FF, DrawingGlobals().DefLineColor);
        EXPECT_EQ(40, DrawingGlobals().WidthDefault);
        EXPECT_EQ(7, DrawingGlobals().BranchPenWidth);
        EXPECT_EQ(1, w->Doc().display.caption[5]);

        // Cancel leaves the record as OK left it.
        dialog.onShow = [](TOption& o) {
            o.Scheme.UpDownWidth = 99;
            o.Scheme.ShowChecks.fill(false);
            return false;
        };
        w->MoptionsClick();
        EXPECT_EQ(expected, DrawingGlobals().SchemeViewFlags);
    }
}

TEST_F(OptionsTest, OkStoresTheSettingsAndWritesTheFileCancelChangesNothing) {
    Start();
    ASSERT_FALSE(FileExists(w->IdrawIniPath));
    const TDrawingSettings settingsBefore = w->Doc().settings;
    const TDrawingGlobals globalsBefore = DrawingGlobals();
    // The same edits, cancelled, then with OK.
    auto edit = [](TOption& o, int gridStep) {
        o.ButtonBackColorClick();   // black
        o.ButtonPrRectColorClick(); // cancelled: stays
        o.BrnFClick();
        o.UpDown1 = 33;
        o.UpDownStepNet = gridStep;
        o.OUSize = 80;
        o.CBPicOutput = false;
        o.PrSoprag = false;
        o.PrSpeed = false;
        o.UpDownPr = 55;
    };
    dialog.fonts = {TFontRecord{204, 0x0000FF, "Courier New", 1, 14, 1}};
    dialog.colours = {0x000000, std::nullopt};
    dialog.onShow = [&](TOption& o) {
        edit(o, 40);
        return false;
    };
    w->MoptionsClick();
    EXPECT_EQ(settingsBefore, w->Doc().settings);
    EXPECT_EQ(globalsBefore, DrawingGlobals());
    EXPECT_EQ(16777215, w->Settings.BackColor);
    EXPECT_FALSE(FileExists(w->IdrawIniPath));
    EXPECT_FALSE(w->DrawingModified);

    // The dialog opens again on the window's values, not on the cancelled ones.
    dialog.fonts = {TFontRecord{204, 0x0000FF, "Courier New", 1, 14, 1}};
    dialog.colours = {0x000000, std::nullopt};
    int shownArrow = 0;
    dialog.onShow = [&](TOption& o) {
        shownArrow = o.UpDown1;
        EXPECT_EQ(0xFFFFFF, o.ColorText.Color);
        edit(o, 0);
        EXPECT_EQ(0xFFFFFF, o.ColorText.TextColor());
        return true;
    };
    w->MoptionsClick();
    EXPECT_EQ(settingsBefore.arrowSize, shownArrow);
    const TDrawingSettings& s = w->Doc().settings;
    EXPECT_EQ(33, s.arrowSize);
    EXPECT_EQ(80, s.symbolSize);
    EXPECT_EQ(0, s.drawPictures);
    EXPECT_EQ(settingsBefore.frameColour, s.frameColour);
    EXPECT_EQ(55, s.leaderLength);
    EXPECT_EQ("Courier New", s.fonts[0].name);
    EXPECT_EQ(14, s.fontSize1);
    EXPECT_EQ(RoundI(14 * 3.527), s.fontSize1Scaled);
    EXPECT_EQ(0, DrawingGlobals().ShowJunctions);
    EXPECT_EQ((std::array<uint8_t, 4>{1, 1, 0, 1}), DrawingGlobals().FlowCaptionFlags);
    EXPECT_EQ(0, w->Settings.BackColor);
    EXPECT_EQ(0, WindowState().BackColor);
    // A grid step of 0 becomes 5.
    EXPECT_EQ(5, w->Settings.GridStep);
    EXPECT_TRUE(w->DrawingModified);
    TIniFile ini(w->IdrawIniPath, true);
    EXPECT_EQ(0, ini.ReadInteger("Common", "BackColor", -1));
    EXPECT_EQ(5, ini.ReadInteger("Common", "GridStep", -1));
    EXPECT_EQ(80, ini.ReadInteger("Common", "SizeUO", -1));
}

// "Выводить отр. значения" is kept in the settings file: applied at
// start-up, written back as the user left it.
TEST_F(OptionsTest, ShowNegativeValuesComesFromTheSettingsFileAndGoesBack) {
    TIniFile(File("Idraw.ini")).WriteBool("Common", "Positiv", true);
    Start();
    EXPECT_EQ(1, w->Doc().display.showNegative);
    dialog.onShow = [](TOption& o) {
        EXPECT_TRUE(o.Positive);
        o.Positive = false;
        return true;
    };
    w->MoptionsClick();
    EXPECT_EQ(0, w->Doc().display.showNegative);
    EXPECT_FALSE(TIniFile(w->IdrawIniPath).ReadBool("Common", "Positiv", true));
}

TEST_F(OptionsTest, FolderPagesTakeTheDefaultsOrTheChosenFolders) {
    Start();
    std::filesystem::create_directories(dir / "PLA");
    std::filesystem::create_directories(dir / "mine" / "photos");
    const std::string photos = (dir / "mine" / "photos").string();
    dialog.onShow = [&](TOption& o) {
        // The default PLA folder is "pla", found as it is spelt on disk.
        EXPECT_EQ(File("PLA"), o.Pla.Path);
        EXPECT_FALSE(o.Pla.Enabled);
        EXPECT_EQ(ProgramDir() + "Foto", o.Foto.Path);
        o.Pla.Default = false;
        o.Pla.Path = File("no such folder");
        o.CheckBoxPLAPathClick();
        EXPECT_TRUE(o.Pla.Enabled);
        EXPECT_EQ(ProgramDir(), o.Pla.Path);
        EXPECT_EQ(ProgramDir(), o.Pla.Directory);
        o.DirectoryListBoxChange(File("mine"));
        EXPECT_EQ(File("mine"), o.Pla.Path);
        o.Foto.Default = false;
        o.Foto.Path = File("missing");
        o.CheckBoxFotoClick();
        EXPECT_TRUE(o.Foto.Enabled);
        EXPECT_EQ(File("missing"), o.Foto.Path);
        o.Foto.Path = photos;
        o.CheckBoxFotoClick();
        EXPECT_EQ(photos, o.Foto.Directory);
        return true;
    };
    w->MoptionsClick();
    EXPECT_EQ(File("mine"), WindowState().PlaFolder);
    EXPECT_EQ(photos, WindowState().PhotoFolder);
    EXPECT_FALSE(w->Settings.PLAPath);
    EXPECT_FALSE(w->Settings.FotoPath);
    // Next time the pages show the chosen folders; checking the box again
    // goes back to the program folder's.
    dialog.onShow = [&](TOption& o) {
        EXPECT_EQ(File("mine"), o.Pla.Path);
        EXPECT_TRUE(o.Pla.Enabled);
        o.Pla.Default = true;
        o.CheckBoxPLAPathClick();
        EXPECT_FALSE(o.Pla.Enabled);
        EXPECT_EQ(File("PLA"), o.Pla.Path);
        return true;
    };
    w->MoptionsClick();
    EXPECT_TRUE(w->Settings.PLAPath);
}

TEST_F(OptionsTest, LayerButtonsEditTheLayerListAtOnce) {
    Start();
    ThreeBranches();
    dialog.onShow = [&](TOption& o) {
        EXPECT_EQ(std::vector<std::string>{Ru("Выработки и ветви")}, o.LayerItems);
        // Layer 0 has no panel and cannot be deleted.
        EXPECT_FALSE(o.LayerPanelVisible);
        EXPECT_FALSE(o.DeleteLayerEnabled);
        o.BitBtnDeLajerClick();
        EXPECT_EQ(1, w->Doc().layers.Count());
        o.BitBtnAddLajerClick();
        EXPECT_TRUE(o.LayerPanelVisible);
        EXPECT_TRUE(o.DeleteLayerEnabled);
        EXPECT_EQ(1, o.Scheme.ComboBoxLajer);
        EXPECT_EQ(Ru("Слой 1"), o.Scheme.Edit7);
        EXPECT_EQ(2u, o.Scheme.LayerChecks.size());
        o.Scheme.Edit7 = Ru("Трубопроводы");
        o.Scheme.ComboLineType = 2;
        o.Scheme.UpDown3 = 6;
        o.Scheme.UpDown5 = 3;
        o.Scheme.ColorLineLajer = 0x00FF00;
        o.BitBtnChangeLajerClick();
        o.BitBtnAddLajerClick();
        o.BitBtnAddLajerClick();
        EXPECT_EQ(3, o.Scheme.ComboBoxLajer);
        // Deleting the last layer selects the one before it.
        o.BitBtnDeLajerClick();
        EXPECT_EQ(2, o.Scheme.ComboBoxLajer);
        EXPECT_EQ(3u, o.LayerItems.size());
        // Deleting a layer with one after it keeps the position.
        o.Scheme.ComboBoxLajer = 1;
        o.ComboBoxLajerChange();
        EXPECT_EQ(Ru("Трубопроводы"), o.Scheme.Edit7);
        EXPECT_EQ(6, o.Scheme.UpDown3);
        o.Scheme.ComboBoxLajer = 0;
        o.ComboBoxLajerChange();
        EXPECT_FALSE(o.LayerPanelVisible);
        o.Scheme.ComboBoxLajer = -1;
        messages.Expect(mrOk, "Выберите слой");
        o.BitBtnChangeLajerClick();
        return false;
    };
    w->MoptionsClick();
    EXPECT_EQ(1u, messages.Shown().size());
    const TGLajer& layers = w->Doc().layers;
    // Cancel keeps what the layer buttons did.
    ASSERT_EQ(3, layers.Count());
    const TLayerRecord& l = layers.Layer(1);
    EXPECT_EQ(Ru("Трубопроводы"), l.name);
    EXPECT_EQ(2, l.style);
    EXPECT_EQ(6, l.width);
    EXPECT_EQ(3, l.penWidth);
    EXPECT_EQ(0x00FF00, l.colour);
    EXPECT_EQ(3u, w->LayerBoxItems.size());
    EXPECT_EQ(l.name, w->LayerBoxItems[1]);

    // Deleting a layer moves its figures to layer 0 and later ones down.
    w->Doc().Figure(1)->layer = 1;
    w->Doc().Figure(2)->layer = 2;
    dialog.onShow = [&](TOption& o) {
        o.Scheme.ComboBoxLajer = 1;
        o.ComboBoxLajerChange();
        o.BitBtnDeLajerClick();
        EXPECT_EQ(1, o.Scheme.ComboBoxLajer);
        EXPECT_EQ(Ru("Слой 2"), o.Scheme.Edit7);
        return true;
    };
    w->MoptionsClick();
    EXPECT_EQ(2, layers.Count());
    EXPECT_EQ(0, w->Doc().Figure(1)->layer);
    EXPECT_EQ(1, w->Doc().Figure(2)->layer);
    // OK puts the options' layer into the layer box.
    EXPECT_EQ(1, w->LayerBoxIndex);
    EXPECT_EQ(1, WindowState().CurrentLayer);
}

TEST_F(OptionsTest, AFullLayerListRefusesAnotherLayerWithAMessage) {
    Start();
    dialog.onShow = [&](TOption& o) {
        for (int i = 1; i < kMaxLayers; ++i) o.BitBtnAddLajerClick();
        EXPECT_TRUE(messages.Shown().empty());
        messages.Expect(mrOk);
        o.BitBtnAddLajerClick();
        EXPECT_EQ(static_cast<size_t>(kMaxLayers), o.LayerItems.size());
        return false;
    };
    w->MoptionsClick();
    EXPECT_EQ(kMaxLayers, w->Doc().layers.Count());
    ASSERT_EQ(1u, messages.Shown().size());
}

TEST_F(OptionsTest, TheSettingsFileIsFoundWhateverItsLetterCase) {
    Write("IDRAW.INI", "[Common]\r\nBackColor=255\r\nGridStep=20\r\n");
    Start();
    EXPECT_EQ(255, w->Settings.BackColor);
    dialog.onShow = [](TOption& o) {
        EXPECT_EQ(20, o.UpDownStepNet);
        o.UpDownStepNet = 25;
        return true;
    };
    w->MoptionsClick();
    // Written back into the same file, not beside it.
    EXPECT_FALSE(FileExists(File("Idraw.ini")));
    EXPECT_EQ(25, TIniFile(File("IDRAW.INI"), true).ReadInteger("Common", "GridStep", 0));
}

TEST(OptionRanges, UpDownsHoldTheirPositionsInRange) {
    EXPECT_EQ(40, UpDownPosition(0, TOption::kSymbolSize));
    EXPECT_EQ(2000, UpDownPosition(5000, TOption::kSymbolSize));
    EXPECT_EQ(5, UpDownPosition(5, TOption::kGridStep));
    EXPECT_EQ(0xFFFFFF, TColorSample{0}.TextColor());
    EXPECT_EQ(0, TColorSample{1}.TextColor());
}

} // namespace
} // namespace arv::test
