// The options dialog's window, offscreen: it opens on the window's state and
// hands the controls back on OK.
#include "DrawWinTestSupport.h"

#include "app/ui/OptionForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <cstdlib>

namespace arv::test {
namespace {

struct OptionFormTest : DrawWinTest {
    OptionFormTest() { Start(); }
    template <class T> T* Find(TOptionForm& form, const char* name) {
        auto* c = qobject_cast<T*>(form.Control(name));
        EXPECT_NE(nullptr, c) << name;
        return c;
    }
};

TEST_F(OptionFormTest, OpensOnTheSchemeAndGivesTheControlsBackOnOk) {
    w->Doc().layers.AddLayer();
    TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[1];
    r.show = {1, 0, 1, 0, 0, 0, 0, 0};
    r.width = 6;
    w->MsxVentClick();
    TOptionForm form(w->Option());
    bool opened = false;
    QTimer::singleShot(0, [&] {
        opened = form.isVisible();
        auto* pages = Find<QTabWidget>(form, "PageControl1");
        EXPECT_EQ(6, pages->count());
        EXPECT_EQ(QString::fromUtf8("Схема вентиляции"), pages->tabText(4));
        EXPECT_TRUE(Find<QCheckBox>(form, "CheckBoxBrN")->isChecked());
        EXPECT_FALSE(Find<QCheckBox>(form, "CheckBoxNdN")->isChecked());
        EXPECT_EQ(6, Find<QSpinBox>(form, "UpDownWidth")->value());
        EXPECT_EQ(2, Find<QListWidget>(form, "CheckListBoxLajer")->count());
        EXPECT_FALSE(Find<QPushButton>(form, "BitBtnDeLajer")->isEnabled());
        EXPECT_FALSE(Find<QListWidget>(form, "DirectoryListBox")->isEnabled());
        if (const char* shot = std::getenv("ARV_OPTION_SHOTS")) {
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                form.grab().save(QString::fromUtf8(shot) + QString("/option%1.png").arg(i));
            }
        }
        Find<QCheckBox>(form, "CheckBoxNdN")->setChecked(true);
        Find<QSpinBox>(form, "UpDownWidth")->setValue(11);
        Find<QSpinBox>(form, "UpDownStepNet")->setValue(0);
        Find<QComboBox>(form, "LineType")->setCurrentIndex(1);
        Find<QListWidget>(form, "CheckListBoxLajer")->item(1)->setCheckState(Qt::Unchecked);
        // The add button acts at once and shows the layer's panel.
        Find<QPushButton>(form, "BitBtnAddLajer")->click();
        EXPECT_EQ(3, Find<QComboBox>(form, "ComboBoxLajer")->count());
        EXPECT_TRUE(Find<QPushButton>(form, "BitBtnDeLajer")->isEnabled());
        if (const char* shot = std::getenv("ARV_OPTION_SHOTS"))
            form.grab().save(QString::fromUtf8(shot) + "/option-layer.png");
        Find<QPushButton>(form, "Button1")->click();
    });
    w->MoptionsClick();
    EXPECT_TRUE(opened);
    EXPECT_EQ((std::array<uint8_t, 8>{1, 1, 1, 0, 0, 0, 0, 0}), r.show);
    EXPECT_EQ(11, r.width);
    EXPECT_EQ(2, r.style);
    EXPECT_EQ(0, r.layers[1]);
    EXPECT_EQ(1, r.layers[2]);
    EXPECT_EQ(5, w->Settings.GridStep);
    EXPECT_EQ(3, w->Doc().layers.Count());
    EXPECT_TRUE(w->MNumNd);
}

TEST_F(OptionFormTest, CancelKeepsTheScheme) {
    TOptionForm form(w->Option());
    const auto before = DrawingGlobals().SchemeViewFlags;
    QTimer::singleShot(0, [&] {
        Find<QSpinBox>(form, "UpDownPenWidth")->setValue(50);
        Find<QPushButton>(form, "Button2")->click();
    });
    w->MoptionsClick();
    EXPECT_EQ(before, DrawingGlobals().SchemeViewFlags);
}

} // namespace
} // namespace arv::test
