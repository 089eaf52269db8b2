#include "platform/Services.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace arv;

TEST(Services, ScriptedMessagesRecordAndAnswer) {
    test::TScriptedMessages msgs;
    msgs.Expect(mrYes, "Сохранить данные?");
    msgs.Expect(mrCancel);
    {
        TWaitCursor wait;
        EXPECT_EQ(TCursor::HourGlass, ScreenCursor());
        EXPECT_EQ(mrYes, MessageBox(Ru("Сохранить данные?"), "", TMsgButtons::YesNoCancel,
                                    TMsgIcon::Warning));
    }
    EXPECT_EQ(TCursor::Default, ScreenCursor());
    EXPECT_EQ(mrCancel, MessageBox("x", "c", TMsgButtons::Cancel, TMsgIcon::Information));
    ASSERT_EQ(2u, msgs.Shown().size());
    EXPECT_EQ(TMsgButtons::YesNoCancel, msgs.Shown()[0].buttons);
    EXPECT_EQ(TMsgIcon::Warning, msgs.Shown()[0].icon);
    EXPECT_EQ(TCursor::HourGlass, msgs.Shown()[0].cursor);
    EXPECT_EQ("c", msgs.Shown()[1].caption);
    msgs.ExpectInput(std::string("42"));
    msgs.ExpectInput(std::nullopt);
    std::string v = "1";
    EXPECT_TRUE(InputQuery("c", "p", v));
    EXPECT_EQ("42", v);
    EXPECT_FALSE(InputQuery("c", "p", v));
    EXPECT_EQ("42", v);
}

TEST(Services, AnUnexpectedMessageFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            test::TScriptedMessages msgs;
            ShowMessage("surprise");
        },
        "unexpected message box");
}

TEST(Services, DialogsAndClipboard) {
    test::TScriptedDialogs dialogs;
    test::TMemoryClipboardDouble clip;
    dialogs.Answer(std::string("/tmp/a.grh"));
    dialogs.Answer(std::nullopt);
    TFileDialogRequest r;
    r.filter = Ru("Схема|*.grh|Все файлы|*.*");
    r.defaultExt = "grh";
    EXPECT_TRUE(OpenFileDialog(r));
    EXPECT_EQ("/tmp/a.grh", r.fileName);
    EXPECT_FALSE(SaveFileDialog(r));
    EXPECT_EQ(2u, dialogs.Requests().size());
    Clipboard().SetText(Ru("ячейка"));
    EXPECT_EQ(Ru("ячейка"), Clipboard().GetText());
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasText());
}

TEST(Services, WithoutADesktopMessagesAnswerTheSafeButton) {
    EXPECT_EQ(mrCancel, MessageBox("m", "", TMsgButtons::YesNoCancel));
    EXPECT_EQ(mrNo, MessageBox("m", "", TMsgButtons::YesNo));
    EXPECT_EQ(mrOk, MessageBox("m", "", TMsgButtons::Ok));
    TFileDialogRequest r;
    EXPECT_FALSE(OpenFileDialog(r));
}
