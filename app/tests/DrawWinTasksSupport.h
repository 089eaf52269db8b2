// The drawing window over the bundled sample drawing and its data, with a
// picture reader that needs no window system and a record of what the plan
// draws.
#pragma once

#include "app/tests/DrawWinTestSupport.h"

#include "platform/Bitmap.h"
#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace arv::test {

// Reads files that hold "<width>x<height>" as pictures of that size.
class TSizeTextCodec : public IBitmapCodec {
public:
    TSizeTextCodec() { InstallBitmapCodec(this); }
    ~TSizeTextCodec() override { InstallBitmapCodec(nullptr); }
    bool Load(std::string_view fileName, TBitmap32& out) override {
        std::ifstream in{std::string(fileName)};
        int width = 0, height = 0;
        char x = 0;
        if (!(in >> width >> x >> height) || x != 'x' || width <= 0 || height <= 0) return false;
        out = TBitmap32(width, height, 0xFF808080u);
        return true;
    }
};

// What one drawing pass of the plan put on the canvas.
struct TPlanPass {
    std::vector<std::string> texts;
    int emergencyImages = 0;
    TPoint emergencyAt;
    int yellowStrokes = 0;
    // Label requests of the label pass by label kind.
    std::array<int, 7> labelKinds{};
};

struct SampleTasks : DrawWinTest {
    TSizeTextCodec codec;
    std::array<int, 7> labelKinds{};

    SampleTasks() {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        Write("IMG/fire.bmp", "4x4");
        Write("IMG/otkazvu.bmp", "4x4");
        Start({File("SampleMine.grh")});
        w->FormActivate();
        auto provider = w->Doc().OnDrawLabel;
        w->Doc().OnDrawLabel = [this, provider](TCanvas& dc, int32_t number, int32_t kind,
                                                int32_t position, TLabelTextOut draw,
                                                TGCollFigure& doc) {
            if (kind >= 0 && kind < 7) ++labelKinds[static_cast<size_t>(kind)];
            return provider(dc, number, kind, position, draw, doc);
        };
    }

    TPlanPass Draw() {
        labelKinds.fill(0);
        TRecordingCanvas canvas;
        w->Doc().Draw(canvas, false);
        TPlanPass pass;
        pass.labelKinds = labelKinds;
        for (const TCanvasCall* c : canvas.Calls("TextOut")) pass.texts.push_back(c->text);
        for (const TCanvasCall* c : canvas.Calls("StretchDraw")) {
            ++pass.emergencyImages;
            pass.emergencyAt = {c->args[0], c->args[1]};
        }
        for (const char* op : {"LineTo", "Polygon", "Polyline"})
            for (const TCanvasCall* c : canvas.Calls(op))
                if (c->pen.colour == 0x00FFFF) ++pass.yellowStrokes;
        return pass;
    }
    TGBranch* Branch(int number) {
        for (int32_t i = 0; i < w->Doc().Count(); ++i)
            if (TGBranch* b = w->Doc().BranchAt(i); b && b->number == number) return b;
        ADD_FAILURE() << "no branch " << number;
        return nullptr;
    }
    void SelectBranch(int number) {
        ASSERT_TRUE(w->Doc().HasBranchNumber(number));
        w->NoteCurrentBranch();
    }
    int RowOf(int number) const {
        for (int r = 2; r < t.TablDan.RowCount(); ++r)
            if (Trim(t.TablDan.Cells(0, r)) == std::to_string(number)) return r;
        return -1;
    }
    void SetThermalDepression(int number, const std::string& value) {
        t.TablDan.SetCells(18, RowOf(number), value);
    }
    void PlaceOnPla(int number, int position) {
        TBranchCaption& pla = Branch(number)->Caption(3);
        pla.a = pla.b = position;
        pla.shown = 1;
    }
};

} // namespace arv::test
