#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <regex>

#include "LibFixture.h"
#include "platform/fs/RtError.h"
#include "tests/support/AsNobody.h"
#include "tests/support/TreeBuilder.h"

namespace {

using platform::CurrentErr;
using platform::RtError;
using tarnwick::ErrorHandler;

const std::string kHead = "The following error has occurred:\r\n";

class ErrorHandlerTest : public twtest::LibFixture {
  protected:
    // A trapped procedure: runs body and records its name on failure.
    void Procedure(const std::string& strName, const std::function<void()>& body) {
        try {
            body();
        } catch (...) {
            mobjHandler->NestedError(CurrentErr(), strName);
        }
    }
    // An entry point: runs body and ends any failure with TopError.
    void EntryPoint(const std::string& strName, const std::function<void()>& body) {
        try {
            body();
        } catch (...) {
            mobjHandler->TopError(CurrentErr(), strName);
        }
    }
    std::string LogText() { return twtest::ReadFile(mobjTemp / "App" / "error.log"); }
};

// The description comes only from root failures: an outer one replaces an
// inner one, a pass-through never does, and one without text clears it.
TEST_F(ErrorHandlerTest, ReportNamesTheRoutinesInnermostFirstAndTheRootFailure) {
    EntryPoint("TB.Main.cmd_Click", [&] {
        Procedure("TB.Main.Outer", [&] {
            Procedure("TB.Main.Middle", [&] {
                Procedure("TB.Main.Inner", [] { throw RtError(platform::rt::kFileNotFound); });
            });
        });
    });
    EXPECT_EQ(LastPrompt(), kHead +
                                "\"File not found\"\r\n"
                                "in TB.Main.Inner\r\n"
                                "called from TB.Main.Middle\r\n"
                                "called from TB.Main.Outer\r\n"
                                "called from TB.Main.cmd_Click");

    // Only pass-through records: nothing to describe.
    EntryPoint("M.Top",
               [&] { Procedure("M.A", [] { throw RtError(tarnwick::lngPassThru, "ignored"); }); });
    EXPECT_EQ(LastPrompt(), kHead + "<Missing error info>\r\nin M.A\r\ncalled from M.Top");

    EntryPoint("M.Top", [&] {
        Procedure("M.Outer", [&] {
            try {
                Procedure("M.Inner", [] { throw RtError(platform::rt::kPathNotFound); });
            } catch (...) {
                throw RtError(platform::rt::kPermissionDenied);
            }
        });
    });
    EXPECT_EQ(LastPrompt(), kHead +
                                "\"Permission denied\"\r\nin M.Inner\r\ncalled from "
                                "M.Outer\r\ncalled from M.Top");

    EntryPoint("M.Top", [&] {
        try {
            Procedure("M.Inner", [] { throw RtError(5, "first"); });
        } catch (...) {
            throw RtError(1234, "");
        }
    });
    EXPECT_EQ(LastPrompt(), kHead + "<Missing error info>\r\nin M.Inner\r\ncalled from M.Top");
}

TEST_F(ErrorHandlerTest, ParkedErrorServesExactlyOneRecord) {
    EXPECT_THROW(
        {
            try {
                throw RtError(platform::rt::kDiskFull);
            } catch (...) {
                mobjHandler->SaveError(CurrentErr());
            }
            // Clean-up reset the current error; the parked one is recorded.
            mobjHandler->NestedError({}, "M.CleanUp");
        },
        RtError);
    EXPECT_EQ(mobjHandler->strErrorDesc(), "Disk full");
    EXPECT_EQ(mobjHandler->intRoutineCount(), 1);

    // The next record uses its own current error again.
    EXPECT_THROW(mobjHandler->NestedError({76, "Path not found"}, "M.Next"), RtError);
    EXPECT_EQ(mobjHandler->strErrorDesc(), "Path not found");

    // A cleared parked error is gone: the report has nothing to describe.
    mobjHandler->SaveError({53, "parked"});
    mobjHandler->ClearErrors();
    mobjHandler->TopError({}, "M.Top");
    ASSERT_EQ(mobjUi->Prompts().size(), 1u);
    EXPECT_EQ(LastPrompt(), kHead + "<Missing error info>\r\nin M.Top");
    EXPECT_EQ(mobjUi->Prompts()[0].lngStyle, platform::ui::vbOKOnly);
    EXPECT_EQ(mobjUi->Prompts()[0].strTitle, "Error Detected");
    EXPECT_EQ(mobjHandler->intRoutineCount(), 0);
}

TEST_F(ErrorHandlerTest, ChainHoldsAtMost32767Names) {
    for (int i = 0; i < 32767; ++i) {
        try {
            mobjHandler->NestedError({}, "M.P");
        } catch (const RtError&) {
        }
    }
    EXPECT_EQ(mobjHandler->intRoutineCount(), 32767);
    EXPECT_EQ(twtest::FailureOf([&] { mobjHandler->NestedError({}, "M.P"); }).Number,
              platform::rt::kOverflow);
    EXPECT_EQ(mobjHandler->intRoutineCount(), 32767);

    // Even a full chain is reported and emptied.
    mobjHandler->TopError({}, "M.Top");
    EXPECT_EQ(mobjHandler->intRoutineCount(), 0);
    EXPECT_EQ(mobjUi->Prompts().size(), 1u);
}

TEST_F(ErrorHandlerTest, TwoReportsAppendTwoBlocksToTheLogInTheProgramFolder) {
    setenv("LC_ALL", "C", 1);
    twtest::WriteFile(mobjTemp / "App" / "error.log", "old\r\n");
    mobjHandler->TopError({53, "File not found"}, "M.First");
    mobjHandler->TopError({}, "M.Second");
    unsetenv("LC_ALL");

    const std::string strDate = R"(Error logged at \d\d/\d\d/\d\d \d\d:\d\d:\d\d)";
    const std::string strSep = std::string(45, '=');
    const std::regex reLog("old\r\n" + strSep + "\r\n" + strDate + "\r\n\r\n" +
                           "The following error has occurred:\r\n\"File not found\"\r\n"
                           "in M.First\r\n" +
                           strSep + "\r\n" + strDate + "\r\n\r\n" +
                           "The following error has occurred:\r\n<Missing error info>\r\n"
                           "in M.Second\r\n");
    EXPECT_TRUE(std::regex_match(LogText(), reLog)) << LogText();

    // A program folder at a drive root keeps its backslash.
    mobjHandler->Init({"C:\\"});
    EXPECT_EQ(mobjHandler->strAppPath(), "C:\\");
    mobjHandler->TopError({}, "M.Top");
    EXPECT_TRUE(std::filesystem::exists(mobjTemp / "error.log"));
}

TEST_F(ErrorHandlerTest, ShowErrorsAloneLeavesTheChainAsItWas) {
    EXPECT_THROW(mobjHandler->NestedError({53, "File not found"}, "M.P"), RtError);
    mobjHandler->ShowErrors();
    mobjHandler->ShowErrors();
    EXPECT_EQ(mobjHandler->intRoutineCount(), 1);
    EXPECT_EQ(mobjHandler->strErrorDesc(), "File not found");
    EXPECT_NE(LogText().find("in M.P"), LogText().rfind("in M.P"));
}

TEST_F(ErrorHandlerTest, LogThatCannotBeWrittenStillShowsReportsAndEmptiesTheChain) {
    twtest::WriteFile(mobjTemp / "NotAFolder", "x");
    // Neither the program's folder nor the state folder can take the log.
    const std::string strState = (mobjTemp / "NotAFolder" / "state").string();
    setenv("XDG_STATE_HOME", strState.c_str(), 1);
    const std::string strWhere =
        "\r\nNeither the program's folder nor " + strState +
        "/TarnwickBackup/error.log can be written: this report is not kept.";
    for (const std::string strAppFolder : {"Q:\\NoSuchDrive", "C:\\NotAFolder"}) {
        SCOPED_TRACE(strAppFolder);
        mobjUi->ClearPrompts();
        mobjHandler->Init({strAppFolder});

        EXPECT_THROW(mobjHandler->NestedError({53, "File not found"}, "M.Inner"), RtError);
        EXPECT_THROW(mobjHandler->ShowErrors(), RtError);

        testing::internal::CaptureStderr();
        EXPECT_NO_THROW(mobjHandler->TopError({}, "M.Top"));
        EXPECT_THAT(testing::internal::GetCapturedStderr(), testing::HasSubstr("error.log"));
        EXPECT_EQ(mobjHandler->intRoutineCount(), 0);
        EXPECT_EQ(mobjHandler->strErrorDesc(), "");

        // The next report names only its own routine.
        mobjHandler->TopError({}, "M.Later");
        ASSERT_EQ(mobjUi->Prompts().size(), 3u);
        EXPECT_EQ(mobjUi->Prompts()[1].strPrompt,
                  kHead + "\"File not found\"\r\nin M.Inner\r\ncalled from M.Top" + strWhere);
        EXPECT_EQ(mobjUi->Prompts()[2].strPrompt,
                  kHead + "<Missing error info>\r\nin M.Later" + strWhere);
    }
    unsetenv("XDG_STATE_HOME");
}

// Installed under /usr the program's folder is not the user's: the report
// goes to the state folder, made when missing, and the box says where.
TEST_F(ErrorHandlerTest, AProgramFolderTheUserMayNotWriteSendsTheLogToTheStateFolder) {
    const auto state = mobjTemp / "state";
    std::filesystem::create_directories(state);
    ASSERT_EQ(chown(state.c_str(), 65534, 65534), 0);
    std::filesystem::permissions(mobjTemp.path(), std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    twtest::WriteFile(mobjTemp / "App" / "error.log", "old\r\n");
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    const std::string strWhere =
        "\r\nThe program's folder cannot be written: this report is kept in " +
        (state / "TarnwickBackup" / "error.log").string() + ".";
    const int intChild = twtest::RunAsNobody([&] {
        mobjHandler->TopError({53, "File not found"}, "M.Top");
        return mobjUi->Prompts().size() == 1 &&
                       LastPrompt() == kHead + "\"File not found\"\r\nin M.Top" + strWhere
                   ? 0
                   : 1;
    });
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(intChild, 0) << "the report box names the log";
    EXPECT_THAT(twtest::ReadFile(state / "TarnwickBackup" / "error.log"),
                testing::HasSubstr(kHead + "\"File not found\"\r\nin M.Top\r\n"));
    EXPECT_EQ(LogText(), "old\r\n");

    // Where the program's folder can be written, the box is as it was.
    mobjHandler->TopError({}, "M.Again");
    EXPECT_EQ(LastPrompt(), kHead + "<Missing error info>\r\nin M.Again");
    EXPECT_THAT(LogText(), testing::HasSubstr("in M.Again"));
}

}  // namespace
