// Inputs a fuzzer found, kept in tests/data/fuzz: each made a reader or the
// drawing code misbehave once.
#include "document/Document.h"
#include "document/ImageLibrary.h"
#include "platform/BinaryIo.h"
#include "platform/qt/QtBitmap.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace arv {
namespace {

std::string FuzzFile(const char* name) {
    return std::string(ARV_DOC_TEST_DATA) + "/fuzz/" + name;
}

std::string ReadBytes(const char* name) {
    std::ifstream in(FuzzFile(name), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

std::string Saved(TGCollFigure& doc) {
    TBinaryWriter w;
    doc.SaveToStream(w, "");
    return w.Take();
}

TEST(FuzzFindings, OldDrawingLoadsAsItsResaveLoads) {
    // A version-1 drawing: the branch flags it holds must survive a re-save.
    test::TScriptedMessages messages;
    messages.AllowAny();
    TGCollFigure first;
    ASSERT_EQ(0, first.LoadFromStream(ReadBytes("drawing_file/grh-v1-flag-changes-on-resave.grh")));
    std::string once = Saved(first);
    TGCollFigure second;
    ASSERT_EQ(0, second.LoadFromStream(once));
    ASSERT_EQ(first.Count(), second.Count());
    for (int32_t i = 0; i < first.Count(); ++i) {
        EXPECT_EQ(first.Figure(i)->flagA, second.Figure(i)->flagA) << i;
        EXPECT_EQ(first.Figure(i)->flagB, second.Figure(i)->flagB) << i;
        EXPECT_EQ(first.Figure(i)->schemeAttrs, second.Figure(i)->schemeAttrs) << i;
    }
    EXPECT_EQ(once, Saved(second));
}

TEST(FuzzFindings, FontSizeFarBeyondAnyFontIsBroughtIntoRange) {
    test::TScriptedMessages messages;
    messages.AllowAny();
    TGCollFigure doc;
    ASSERT_EQ(0, doc.LoadFromStream(ReadBytes("drawing_file/grh-font-size-overflow.grh")));
    std::string once = Saved(doc);
    TGCollFigure again;
    ASSERT_EQ(0, again.LoadFromStream(once));
    EXPECT_EQ(once, Saved(again));
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TRect r;
        doc.GetLabelExtent(i, r); // no signed overflow under the sanitizers
    }
}

TEST(FuzzFindings, ArrowScaleFarBeyondTheOptionsGivesTheExtentOfTheArrowsDrawn) {
    TGCollFigure doc;
    ASSERT_EQ(0, doc.LoadFromStream(ReadBytes("drawing_file/samplemine-arrow-scale-30000000.grh")));
    // Drawn at scale 10, which Open fits the view to; far below zero as it is.
    const TRect r = doc.GetExtent();
    doc.settings.arrowScale = 10;
    EXPECT_EQ(r, doc.GetExtent());
    doc.settings.arrowScale = -30000000;
    const TRect e = doc.GetExtent();
    EXPECT_GE(std::max(int64_t{e.right} - e.left, int64_t{e.top} - e.bottom), 290000000);
}

TEST(FuzzFindings, PictureTooLargeToTurnIsSkipped) {
    InstallQtBitmapCodec();
    TBitmap32 strip;
    ASSERT_TRUE(LoadBitmapFile(FuzzFile("image_library/bmp-2x131074-rotate.bmp"), strip));
    EXPECT_TRUE(RotatePictureBitmap(strip, 30).Empty());
    // A turn of 90 degrees needs no more pixels than the picture has.
    EXPECT_FALSE(RotatePictureBitmap(strip, 90).Empty());
    InstallBitmapCodec(nullptr);
}

} // namespace
} // namespace arv
