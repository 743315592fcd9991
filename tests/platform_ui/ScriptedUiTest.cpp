#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "platform/ui/ScriptedUi.h"

namespace {

using namespace platform::ui;

TEST(DefaultResult, IsTheDefaultButtonOfTheStyle) {
    EXPECT_EQ(DefaultResult(vbOKOnly), vbOK);
    EXPECT_EQ(DefaultResult(vbYesNo + vbQuestion), vbYes);
    EXPECT_EQ(DefaultResult(vbYesNo + vbDefaultButton2), vbNo);
    EXPECT_EQ(DefaultResult(vbYesNoCancel + vbDefaultButton3 + vbExclamation), vbCancel);
    EXPECT_EQ(DefaultResult(vbAbortRetryIgnore + vbDefaultButton2), vbRetry);
    EXPECT_EQ(DefaultResult(vbRetryCancel + vbCritical), vbRetry);
    EXPECT_EQ(DefaultResult(vbOKCancel + vbDefaultButton2), vbCancel);
    // A default beyond the box's buttons is its first button.
    EXPECT_EQ(DefaultResult(vbOKOnly + vbDefaultButton2), vbOK);
    EXPECT_EQ(DefaultResult(vbYesNo + vbDefaultButton3), vbYes);
}

TEST(ScriptedUi, AnswersFromTheScriptOrWithDefaultsRecordsEveryBoxAndRunsDoEvents) {
    ScriptedUi objUi;
    objUi.QueueMsgBoxAnswer(vbNo);
    objUi.QueueInputBoxAnswer("typed");
    EXPECT_EQ(objUi.MsgBox("Replace?", vbYesNo + vbQuestion, "Tarnwick Backup"), vbNo);
    EXPECT_EQ(objUi.MsgBox("Again?", vbYesNo + vbDefaultButton2, "T"), vbNo);
    EXPECT_EQ(objUi.MsgBox("Sure?", vbYesNo, "T"), vbYes);
    EXPECT_EQ(objUi.InputBox("Days?", "Days", "7"), "typed");
    EXPECT_EQ(objUi.InputBox("Days?", "Days", "7"), "7");
    EXPECT_EQ(objUi.PendingAnswers(), 0u);

    ASSERT_EQ(objUi.Prompts().size(), 5u);
    const auto& objFirst = objUi.Prompts()[0];
    EXPECT_FALSE(objFirst.blnInputBox);
    EXPECT_EQ(objFirst.strPrompt, "Replace?");
    EXPECT_EQ(objFirst.lngStyle, vbYesNo + vbQuestion);
    EXPECT_EQ(objFirst.strTitle, "Tarnwick Backup");
    EXPECT_EQ(objFirst.lngResult, vbNo);
    const auto& objInput = objUi.Prompts()[3];
    EXPECT_TRUE(objInput.blnInputBox);
    EXPECT_EQ(objInput.strTitle, "Days");
    EXPECT_EQ(objInput.strDefault, "7");
    EXPECT_EQ(objInput.strResult, "typed");

    // An answer that is not a button of its box is a mistake in the script.
    objUi.QueueMsgBoxAnswer(vbNo);
    EXPECT_THROW(objUi.MsgBox("Done.", vbOKOnly, "T"), std::logic_error);
    int lngCalls = 0;
    objUi.OnDoEvents([&] { ++lngCalls; });
    objUi.DoEvents();
    objUi.DoEvents();
    EXPECT_EQ(lngCalls, 2);
}

TEST(ScriptedUi, HeadlessVariantWritesEachBoxAsOneLine) {
    std::ostringstream os;
    ScriptedUi objUi(os);
    EXPECT_EQ(objUi.MsgBox("Line 1\r\nLine 2\nLine 3\r", vbYesNo + vbDefaultButton2, "Title"),
              vbNo);
    EXPECT_EQ(objUi.InputBox("Name?", "Ask", "dflt"), "dflt");
    EXPECT_EQ(os.str(), "[Title] Line 1 | Line 2 | Line 3 | \n[Ask] Name?\n");
}

TEST(UiServices, InstalledServicesAnswerAndBusyCursorRestoresOnEveryWayOut) {
    auto objUi = std::make_shared<ScriptedUi>();
    auto objOld = InstallUi(objUi);
    objUi->QueueMsgBoxAnswer(vbCancel);
    EXPECT_EQ(Ui().MsgBox("Go on?", vbOKCancel, "T"), vbCancel);
    try {
        BusyCursor objBusy;
        EXPECT_TRUE(objUi->blnBusy());
        throw std::runtime_error("fails while busy");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(objUi->blnBusy());
    EXPECT_EQ(objUi->lngBusySetCount(), 1);
    EXPECT_EQ(objUi->lngBusyRestoreCount(), 1);

    EXPECT_EQ(InstallUi(objOld), objUi);
    EXPECT_NE(&Ui(), objUi.get());
    // The stand-in answers too, without blocking.
    EXPECT_EQ(Ui().MsgBox("Stand-in", vbYesNo + vbDefaultButton2, "T"), vbNo);
}

}  // namespace
