#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <tuple>

#include "MainFormFixture.h"
#include "platform/qt/HelpViewer.h"
#include "platform/qt/QtUi.h"
#include "tarnwickbackup/DriveProgress.h"
#include "tarnwickbackup/ShowText.h"
#include "tarnwickbackup/Splash.h"
#include "tarnwickbackup/TWDeclarations.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"

namespace twtest {
namespace {

namespace ui = platform::ui;
using platform::qt::HelpViewer;

class WindowsTest : public WindowFixture {};

TEST_F(WindowsTest, TextWindowObeysItsKeyAndWithoutADisplayWritesOneLine) {
    tarnwickbackup::App().blnHeadless = false;
    // Shows a text under the key "LogNote" (none: without a key), the stored
    // value obeyed when blnObey; returns whether the window and its check box
    // were seen, clicking the box first when blnClick.
    auto fnShow = [](const char* pszKey, bool blnObey, bool blnClick) {
        std::pair<bool, bool> seen{false, false};
        tarnwickbackup::ShowText text;
        QTimer::singleShot(0, &text, [&] {
            seen = {text.isVisible(), text.chkAlways->isVisible()};
            if (blnClick) text.chkAlways->click();
            text.cmdClose->click();
        });
        text.ShowMe("Error Log", "line 1\r\nline 2", pszKey, "Always show this", blnObey);
        if (seen.first) {
            EXPECT_EQ(text.txtMessage->toPlainText(), "line 1\nline 2");
        }
        QCoreApplication::processEvents();  // a pending close finds nothing to close
        return seen;
    };
    EXPECT_TRUE(fnShow("LogNote", true, true).first) << "absent value reads as \"1\": shown";
    EXPECT_EQ(Setting("AlwaysShow", "LogNote"), "") << "the box cleared";
    EXPECT_FALSE(fnShow("LogNote", true, false).first);
    // Checking the box again stores "1"; without a key there is no box.
    EXPECT_TRUE(fnShow("LogNote", false, true).second);
    EXPECT_EQ(Setting("AlwaysShow", "LogNote"), "1");
    EXPECT_EQ(fnShow("", false, false), std::make_pair(true, false));

    // Without a display the text is one line on standard error.
    tarnwickbackup::App().blnHeadless = true;
    testing::internal::CaptureStderr();
    tarnwickbackup::ShowText().ShowMe("Error Log", "a\r\nb");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Error Log] a | b\n");
}

TEST_F(WindowsTest, ProgressWindowCaptionsStopAndFileLine) {
    tarnwickbackup::DriveProgress progress;
    progress.ShowMe(3);
    progress.SetFile("a.txt");
    progress.SetFolder("C:\\Data");
    EXPECT_EQ(progress.txtFile->text(), "") << "a new folder clears the file line";
    EXPECT_FALSE(progress.blnStop());
    progress.close();  // the close box asks to stop, the window stays
    EXPECT_TRUE(progress.blnStop());
    EXPECT_TRUE(progress.isVisible());
    progress.ShowMe(0);
    EXPECT_FALSE(progress.blnStop()) << "each showing starts unstopped";
    progress.cmdStop->click();
    EXPECT_TRUE(progress.blnStop());

    tarnwickbackup::DriveProgress bad;
    try {
        bad.ShowMe(4);
        ADD_FAILURE() << "mode 4 was accepted";
    } catch (const platform::RtError& e) {
        EXPECT_EQ(e.Number(), tarnwick::lngPassThru);
    }
    EXPECT_EQ(mHandler->strErrorDesc(), "Unrecognized progress type");
    EXPECT_FALSE(bad.isVisible());
}

TEST_F(WindowsTest, SplashNamesVersionAndRevisionAndClosesByTimerOrButton) {
    tarnwickbackup::App().blnHeadless = false;
    for (const bool blnTimer : {true, false}) {
        tarnwickbackup::Splash splash;
        bool blnShown = false;
        QTimer::singleShot(0, &splash, [&] {
            blnShown = splash.isVisible();
            EXPECT_TRUE(splash.tmrMain->isActive());
            if (blnTimer)
                splash.tmrMain_Timer();
            else
                splash.cmdContinue->click();
        });
        splash.ShowMe();
        EXPECT_TRUE(blnShown);
        EXPECT_EQ(splash.lblAppName->text(), "Vantrel (Made Simple) 3.0.7");
    }
    EXPECT_TRUE(mUi->Prompts().empty());

    tarnwickbackup::App().blnHeadless = true;
    tarnwickbackup::App().Minor = 1;
    tarnwickbackup::Splash wrong;
    wrong.ShowMe();
    EXPECT_EQ(LastPrompt().strPrompt, "Version number text error!");
}

TEST_F(WindowsTest, HelpOpensEachWindowsTopicWithoutWaitingFromWhereverItIsInstalled) {
    for (const int32_t lngContext : {1000, 2000, 2001, 2002, 2003, 3000, 4001}) {
        tarnwickbackup::ShowHelp(lngContext, 0, false);
        HelpViewer* viewer = HelpViewer::Current();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->lngContext(), lngContext);
        EXPECT_TRUE(viewer->blnTopicFound()) << lngContext;
        EXPECT_GT(viewer->strShownText().size(), 600) << "a real topic for " << lngContext;
    }
    // F1 in the main window opens its topic.
    auto& form = StartForm();
    tarnwickbackup::ShowHelp(3000, 0, false);
    auto* f1 = form.findChild<QShortcut*>();
    ASSERT_NE(f1, nullptr);
    EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
    emit f1->activated();
    EXPECT_EQ(HelpViewer::Current()->lngContext(), 1000);

    // Installed, the help file lies in ../share/tarnwickbackup beside bin.
    const auto shared = mTmp / "share" / "tarnwickbackup";
    std::filesystem::create_directories(shared);
    std::filesystem::rename(mTmp / "prog" / "TarnwickBackup.hlp", shared / "TarnwickBackup.hlp");
    tarnwickbackup::ShowHelp(2000, 0, false);
    EXPECT_TRUE(HelpViewer::Current()->blnTopicFound());
    std::filesystem::remove(shared / "TarnwickBackup.hlp");
    tarnwickbackup::ShowHelp(1000, 0, false);
    EXPECT_FALSE(HelpViewer::Current()->blnTopicFound());

    tarnwickbackup::App().HelpFile = "TarnwickBackup.hlp";
    mUi->ClearPrompts();
    tarnwickbackup::ShowHelp(1000, 0, false);
    EXPECT_EQ(LastPrompt().strPrompt, "Invalid help file specification.");
    EXPECT_EQ(LastPrompt().lngStyle, ui::vbOKOnly);
    HelpViewer::Current()->close();
}

TEST_F(WindowsTest, MessageBoxesHaveTheAskedButtonsIconAndDefault) {
    using namespace ui;
    // Style, icon, buttons, default, Escape (0: none set by us).
    const std::tuple<int32_t, QMessageBox::Icon, std::vector<int32_t>, int32_t, int32_t> aCases[] =
        {{vbCritical + vbOKOnly, QMessageBox::Critical, {vbOK}, vbOK, 0},
         {vbQuestion + vbYesNo + vbDefaultButton2, QMessageBox::Question, {vbYes, vbNo}, vbNo, 0},
         {vbQuestion + vbOKCancel + vbDefaultButton2,
          QMessageBox::Question,
          {vbOK, vbCancel},
          vbCancel,
          vbCancel},
         {vbInformation + vbOKCancel, QMessageBox::Information, {vbOK, vbCancel}, vbOK, vbCancel},
         {vbExclamation + vbYesNoCancel + vbDefaultButton3,
          QMessageBox::Warning,
          {vbYes, vbNo, vbCancel},
          vbCancel,
          vbCancel},
         {vbYesNo, QMessageBox::NoIcon, {vbYes, vbNo}, vbYes, 0}};
    for (auto [lngStyle, icon, aExpected, lngDefault, lngEscape] : aCases) {
        std::unique_ptr<QMessageBox> box(
            platform::qt::QtUi::NewMessageBox("a <b>x</b>\r\nline", lngStyle, "Confirm"));
        EXPECT_EQ(box->text(), "a <b>x</b>\nline");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), icon);
        std::vector<int32_t> aButtons;
        for (QAbstractButton* button : box->buttons())
            aButtons.push_back(button->property("vbResult").toInt());
        std::sort(aButtons.begin(), aButtons.end());
        std::sort(aExpected.begin(), aExpected.end());
        EXPECT_EQ(aButtons, aExpected) << lngStyle;
        EXPECT_EQ(box->defaultButton()->property("vbResult").toInt(), lngDefault) << lngStyle;
        if (lngEscape) {
            EXPECT_EQ(box->escapeButton()->property("vbResult").toInt(), lngEscape);
        }
    }
}

}  // namespace
}  // namespace twtest
