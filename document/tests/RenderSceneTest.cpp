// The whole drawing pass on a plan that holds every figure kind on three
// layers, drawn in each of the five schemes with its labels, compared with
// reference pictures that were checked by eye when they were made.
//
// Comparison: a pixel matches when the reference has a pixel within 48 per
// colour channel at the same place or one of its eight neighbours, and the
// other way round; at most 12 pixels of a picture may fail. Hinting that
// moves a glyph edge by one pixel passes; a line moved by two pixels or a
// missing line, marker or label fails.
//
// ARV_WRITE_REFERENCES=1 in the environment writes the pictures anew.
#include "DocTestSupport.h"
#include "document/Render.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/StringGrid.h"
#include "platform/qt/BandRenderer.h"
#include "platform/qt/QtBitmap.h"
#include "platform/qt/QtCanvas.h"
#include "platform/testing/QtTestDesk.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>

namespace arv::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;

//  Plan (world units, y up), scale 0.6:
//
//   A(100,580) --1 double-- B(450,580) --2 filled-- C(800,580)
//        |                      |                      \ 6 polyline (bend 950,420), filled
//   7 polyline (bend 40,380)    3 double               |
//        |                      |                      |
//   F(100,260) ---5 dotted--> D(450,260) --4 single--> E(800,260)
//
//  Texts, a picture, a symbol, a rectangle, an ellipse, an arc, a polygon and
//  a plain line lie around the network on layers 1 and 2.
struct TScene {
    TGCollFigure doc;
    TStringGridModel grid;
    TGPolyLine* bent = nullptr;
};

TGPolyLine* AddBent(TGCollFigure& doc, TPoint a, TPoint bend, TPoint b, int32_t number) {
    auto* p = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    TBranchSetup s;
    s.number = number;
    p->EditVertex(a, bend, s);
    p->EditVertex(bend, b, s);
    return p;
}

void Finish(TGCustomFigure& f) {
    for (int k = 0; k < kSchemeCount; ++k) f.StoreViewAttrs(k);
}

void BuildScene(TScene& sc) {
    TGCollFigure& doc = sc.doc;
    doc.layers.AddLayer();
    doc.layers.AddLayer();
    const TPoint A{100, 580}, B{450, 580}, C{800, 580}, D{450, 260}, E{800, 260}, F{100, 260};
    const char* names[] = {"Штрек 1", "Штрек 2",   "Уклон", "Квершлаг",
                           "Ходок",   "Бремсберг", "Сбойка"};
    std::vector<TGBranch*> branches;
    auto line = [&](TPoint a, TPoint b, int32_t n) {
        TGLine* l = AddLine(doc, a, b, n);
        branches.push_back(l);
        return l;
    };
    TGLine* b1 = line(A, B, 1);
    b1->style = 2;
    TGLine* b2 = line(B, C, 2);
    b2->style = 3;
    b2->brush.colour = 0xF0C080;
    TGLine* b3 = line(B, D, 3);
    b3->style = 0; // follows the scheme's branch style
    TGLine* b4 = line(D, E, 4);
    b4->style = 1;
    b4->pen.colour = 0x0000C0;
    b4->width = 2;
    TGLine* b5 = line(F, D, 5);
    b5->style = 4;
    TGPolyLine* b6 = AddBent(doc, C, {950, 420}, E, 6);
    b6->style = 3;
    b6->brush.colour = 0xA0E0A0;
    branches.push_back(b6);
    TGPolyLine* b7 = AddBent(doc, A, {40, 380}, F, 7);
    b7->style = 1;
    b7->width = 3;
    b7->pen.colour = 0x804000;
    branches.push_back(b7);
    sc.bent = b6;
    for (size_t i = 0; i < branches.size(); ++i) {
        TGBranch* b = branches[i];
        if (b->width == 1) b->width = b->style == 0 ? 5 : 9;
        b->name = Ru(names[i]);
        // Flow, PLA position, pressures, arrow and the callout.
        b->Caption(1).b = static_cast<int32_t>(i);
        b->Caption(3).b = static_cast<int32_t>(i) + 10;
        b->Caption(3).colour = i % 2 ? 0x00FF00 : 0xFFFF00;
        b->Caption(3).flag = static_cast<uint8_t>(i % 3);
        b->Caption(4).a = 100 + static_cast<int32_t>(i);
        b->Caption(4).b = 200 + static_cast<int32_t>(i);
        b->beginNodeLink = 100 + static_cast<int32_t>(i);
        b->endNodeLink = 200 + static_cast<int32_t>(i);
        b->Caption(5).colour = i % 2 ? 0xFF0000 : 0x0000FF;
        b->callout.texts = {"12,5", "8,1", "1,54", "230"};
        Finish(*b);
    }
    b4->marked = 1;
    // Node numbers 1..6 in the order the branches met the nodes.
    for (int32_t i = 0; i < doc.nodes.Count(); ++i) doc.nodes.Record(i).number = i + 1;
    for (TGBranch* b : branches) {
        b->beginNode = doc.nodes.Record(b->beginIndex).number;
        b->endNode = doc.nodes.Record(b->endIndex).number;
    }
    doc.nodes.Record(1).kind = 1; // B is a surface node
    doc.nodes.Record(3).flag = 1; // D's number has a leader
    // Calculation grid: the flow of branch n in row n + 1.
    sc.grid.SetColCount(20);
    sc.grid.SetRowCount(12);
    for (int i = 0; i < 7; ++i) {
        sc.grid.SetCells(11, i + 2, std::to_string(10 * (i + 1)) + ",5");
        WindowState().CalcBranchIndex.push_back({i + 1, 0, 0, i + 2});
    }
    WindowState().Datagrid = &sc.grid;

    TFontRecord font;
    font.name = "Times New Roman";
    font.size = 14;
    font.colour = 0x800000;
    auto* title = static_cast<TGText*>(doc.AddFigure(kKindText));
    title->SetTextAndFont(Ru("Шахта «Северная», горизонт 320 м"), font, {300, 690});
    title->layer = 1;
    title->box = {300, 690, 301, 689}; // the first drawing measures it
    Finish(*title);
    font.name = "Courier New";
    font.size = 10;
    font.style = kFontBold;
    font.colour = 0x000000;
    auto* turned = static_cast<TGText*>(doc.AddFigure(kKindText));
    turned->SetTextAndFont("Q = 42 m3/s", font, {560, 330});
    turned->angle = 30;
    turned->layer = 2;
    turned->box = {560, 330, 561, 329};
    Finish(*turned);

    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", FindImageIndex(doc.images, "fan"), 0, 80, 80, {600, 500});
    pic->text = Ru("ВГП");
    pic->ownSizeFlag = 1;
    pic->ownSize = 80;
    pic->layer = 1;
    Finish(*pic);

    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    TSymbolRecord rec;
    const int32_t si = FindSymbolIndex(doc.symbols, 60, rec, 0, Ru("Вент.дверь"));
    EXPECT_GE(si, 0);
    uo->SetSymbol(rec, si, 0, 0, 60, {250, 420});
    uo->angleDegrees = 30;
    uo->ownSizeFlag = 1;
    uo->ownSize = 60;
    uo->text = Ru("Дверь");
    // A second symbol with a sector, circles and a character.
    auto* fire = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    const int32_t fi = FindSymbolIndex(doc.symbols, 60, rec, 0, Ru("Вентилятор"));
    EXPECT_GE(fi, 0);
    fire->SetSymbol(rec, fi, 0, 0, 60, {340, 500});
    fire->ownSizeFlag = 1;
    fire->ownSize = 60;
    fire->text = Ru("ВГП-2");
    fire->captionPosition = 0;
    fire->layer = 1;
    Finish(*fire);
    uo->captionPosition = 3;
    uo->brush.colour = 0x0000FF;
    uo->layer = 1;
    Finish(*uo);

    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({600, 160}, {980, 40});
    rect->brush.style = 6; // cross hatch
    rect->brush.colour = 0x808080;
    rect->pen.colour = 0x404040;
    rect->layer = 2;
    Finish(*rect);

    auto* ell = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    ell->SetRect({40, 160}, {260, 40}, 0);
    ell->brush.style = 0;
    ell->brush.colour = 0xC0FFFF;
    ell->layer = 2;
    Finish(*ell);

    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({420, 150}, {300, 30}, {300, 150});
    arc->pen.colour = 0xC000C0;
    arc->layer = 2;
    Finish(*arc);

    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    poly->AddPoint({460, 40}, {560, 40});
    poly->AddPoint({560, 40}, {580, 120});
    poly->AddPoint({580, 120}, {520, 170});
    poly->AddPoint({520, 170}, {470, 120});
    poly->brush.style = 4;
    poly->brush.colour = 0x008000;
    poly->layer = 2;
    Finish(*poly);

    auto* aline = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    aline->SetPoints({200, 700}, {200, 620});
    aline->style = 2;
    aline->width = 8;
    aline->layer = 1;
    Finish(*aline);

    // Schemes: 0 numbers and names, 1 flows and arrows with double default
    // branches, 2 pressures and node numbers, 3 PLA positions without layer
    // 2, 4 calculation data without layer 1.
    auto& schemes = DrawingGlobals().SchemeViewFlags;
    schemes[0].show[kShowBranchNumbers] = 1;
    schemes[0].show[kShowBranchNames] = 1;
    schemes[0].show[kShowNodeNumbers] = 1;
    schemes[1].style = 2;
    schemes[1].show[kShowAirFlows] = 1;
    schemes[1].show[kShowFlowArrows] = 1;
    schemes[2].show[kShowNodePressures] = 1;
    schemes[2].show[kShowNodeNumbers] = 1;
    schemes[3].style = 3;
    schemes[3].show[kShowPlaPositions] = 1;
    schemes[3].layers[2] = 0;
    schemes[4].show[kShowCalcData] = 1;
    schemes[4].show[kShowBranchNames] = 1;
    schemes[4].layers[1] = 0;

    doc.OnDrawLabel = [](TCanvas& dc, int32_t number, int32_t record, int32_t value,
                         TLabelTextOut textOut, TGCollFigure&) {
        std::string out;
        if (record == 1) {
            textOut(dc, {0x0000FF, 0x000000, 0x0000FF}, out,
                    {"[", WindowState().Datagrid->Cells(11, number + 1), "]"}, 2);
            return false;
        }
        if (record == 4) {
            textOut(dc, {0x800080}, out, {" P=" + std::to_string(value)}, 0);
            return true;
        }
        return false;
    };
    doc.settings.symbolSize = 110; // PLA rings that hold their numbers
    doc.clientWidth = kWidth;
    doc.clientHeight = kHeight;
    doc.scale = 0.6;
    doc.SetViewRect({-20, 740, 1047, 73});
    doc.viewRect = {-20, 740, RoundI(-20 + kWidth / 0.6), RoundI(740 - kHeight / 0.6)};
}

QImage Render(TScene& sc, int scheme) {
    DrawingGlobals().SchemeKind = scheme;
    sc.doc.ApplySchemeRecord(scheme);
    sc.doc.settings.showCalcData = scheme == 4;
    WindowState().MsxPLA = scheme == 3;
    WindowState().FireVetvi = scheme == 2;
    sc.doc.BuildVisibleList();
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    TQtCanvas canvas(img);
    sc.doc.Draw(canvas, false);
    canvas.Finish();
    return img;
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 48 && std::abs(qGreen(a) - qGreen(b)) <= 48 &&
           std::abs(qBlue(a) - qBlue(b)) <= 48;
}

// Pixels of `a` with no close pixel in `b` within one pixel.
int Unmatched(const QImage& a, const QImage& b) {
    int bad = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = b.valid(x + dx, y + dy) && Near(a.pixel(x, y), b.pixel(x + dx, y + dy));
            bad += !found;
        }
    return bad;
}

class RenderScene : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        InstallQtBitmapCodec();
        const std::string programDir =
            ExtractFilePath(ExtractFileDir(ARV_IMG_DIR + std::string("/")));
        SetProgramDir(programDir);
        LoadImageLibrary(scene.doc.images, programDir);
        LoadSymbolLibrary(scene.doc.symbols, programDir);
        BuildScene(scene);
    }
    TScene scene;
};

TEST_F(RenderScene, EverySchemeMatchesItsReferencePicture) {
    const bool write = std::getenv("ARV_WRITE_REFERENCES") != nullptr;
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        QImage img = Render(scene, scheme);
        const QString file =
            QString(ARV_DOC_TEST_DATA) + "/scheme" + QString::number(scheme) + ".png";
        if (write) {
            ASSERT_TRUE(img.save(file));
            continue;
        }
        QImage ref(file);
        ASSERT_FALSE(ref.isNull()) << file.toStdString();
        ref = ref.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(img.size(), ref.size());
        const int bad = std::max(Unmatched(img, ref), Unmatched(ref, img));
        EXPECT_LE(bad, 12) << "scheme " << scheme;
        if (bad > 12) img.save(QString("render-scheme%1-actual.png").arg(scheme));
    }
}

TEST_F(RenderScene, AMovedLineFailsTheComparison) {
    QImage a = Render(scene, 0);
    // The single branch D-E drawn 5 world units (3 pixels) lower.
    auto* de = static_cast<TGLine*>(scene.doc.BranchAt(3));
    de->SetGeometry({450, 255}, {800, 255}, TBranchSetup{}, kGeometryKeepNodes);
    QImage b = Render(scene, 0);
    EXPECT_GT(std::max(Unmatched(a, b), Unmatched(b, a)), 12);
}

// The window paints the plan in bands on several threads; every scheme,
// with its labels, junctions, pictures and symbols, comes out as the
// drawing pass paints it straight onto the picture.
TEST_F(RenderScene, BandsOnSeveralThreadsPaintWhatTheSerialPassPaints) {
    TBandRenderer renderer(3);
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        const QImage serial = Render(scene, scheme);
        for (int bands : {4, 11}) {
            renderer.SetBands(bands);
            QImage img(kWidth, kHeight, QImage::Format_RGB32);
            renderer.Render(
                img, [&](TCanvas& c) { scene.doc.Draw(c, false); },
                [](QPainter& p, int top, int bottom) {
                    p.fillRect(0, top, kWidth, bottom - top, Qt::white);
                });
            EXPECT_TRUE(img == serial) << "scheme " << scheme << ", " << bands << " bands";
        }
    }
}

} // namespace
} // namespace arv::test

// Fonts need the application object of the GUI library.
int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
