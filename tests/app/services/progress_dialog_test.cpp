#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/services/language_texts.h"
#include "app/services/message_box.h"
#include "app/services/progress_dialog.h"

namespace tracemill::test {
namespace {

TEST(ProgressDialog, BeginClearsAStopAndShowsTheDialog) {
    CProgressDialog dialog;
    dialog.Begin();
    dialog.OnStop();
    EXPECT_EQ(dialog.StopFlag(), 1);
    dialog.End();
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(dialog.StopFlag(), 1); // until the next Begin
    dialog.Begin();
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(dialog.StopFlag(), 0);
    EXPECT_EQ(dialog.GetCaption(), "Progress");
    EXPECT_EQ(dialog.GetStopCaption(), "&Stop");
}

TEST(ProgressDialog, StopWhileDisabledSetsNothing) {
    CProgressDialog dialog;
    dialog.Begin();
    dialog.EnableStop(false);
    dialog.OnStop();
    EXPECT_EQ(dialog.StopFlag(), 0);
    dialog.EnableStop(true);
    dialog.OnStop();
    EXPECT_EQ(dialog.StopFlag(), 1);
}

TEST(ProgressDialog, SetRangeShowsTheBarAtItsLowerEnd) {
    CProgressDialog dialog;
    dialog.SetPos(70);
    dialog.ShowProgressBar(false);
    dialog.SetRange(5, 100);
    EXPECT_TRUE(dialog.IsProgressBarShown());
    EXPECT_EQ(dialog.GetPos(), 5);
    EXPECT_EQ(dialog.GetLower(), 5);
    EXPECT_EQ(dialog.GetUpper(), 100);
    dialog.End(); // hidden already: nothing changes
    EXPECT_FALSE(dialog.IsShown());
}

TEST(ProgressDialog, CaptionsComeFromTheLanguageTexts) {
    GetLanguageTable().LoadBytes("Test\nProgressCaption=Fortschritt\nTransformStop=&Anhalten\n");
    CProgressDialog dialog;
    dialog.Begin();
    GetLanguageTable().Clear();
    EXPECT_EQ(dialog.GetCaption(), "Fortschritt");
    EXPECT_EQ(dialog.GetStopCaption(), "&Anhalten");
}

std::vector<std::string>& boxedMessages() {
    static std::vector<std::string> messages;
    return messages;
}

TEST(MessageBox, MessagesGoToTheInstalledHandler) {
    boxedMessages().clear();
    const MessageBoxHandler previous = SetMessageBoxHandler([](std::string_view text) { boxedMessages().emplace_back(text); });
    ShowMessageBox("Unable to initialize.");
    SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    ShowMessageBox("To the error stream");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "To the error stream\n");
    SetMessageBoxHandler(previous);
    EXPECT_EQ(boxedMessages(), std::vector<std::string>{"Unable to initialize."});
}

} // namespace
} // namespace tracemill::test
