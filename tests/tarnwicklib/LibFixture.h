// A test's surroundings for the library: a temporary folder as drive C:,
// scripted user-interface services, and an ErrorHandler for the program
// folder C:\App stored in the shared data.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/fs/FileSystem.h"
#include "platform/ui/ScriptedUi.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"
#include "tests/support/TempDir.h"

namespace twtest {

class LibFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::fs::DriveSpec objDrive;
        objDrive.chLetter = 'C';
        objDrive.hostPath = mobjTemp.path();
        mobjFileSys = platform::fs::FileSystem::Create(platform::fs::DriveTable{{objDrive}});
        mobjOldFileSys = platform::fs::InstallProcessFileSystem(mobjFileSys);
        mobjUi = std::make_shared<platform::ui::ScriptedUi>();
        mobjOldUi = platform::ui::InstallUi(mobjUi);
        std::filesystem::create_directories(mobjTemp / "App");
        mobjHandler = std::make_shared<tarnwick::ErrorHandler>();
        mobjHandler->Init({"C:\\App"});
        tarnwick::SharedData().objErrorHandler(mobjHandler);
    }

    void TearDown() override {
        tarnwick::SharedData().objErrorHandler(nullptr);
        platform::ui::InstallUi(mobjOldUi);
        platform::fs::InstallProcessFileSystem(mobjOldFileSys);
    }

    const std::string& LastPrompt() const { return mobjUi->Prompts().back().strPrompt; }

    TempDir mobjTemp;
    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    std::shared_ptr<platform::fs::FileSystem> mobjOldFileSys;
    std::shared_ptr<platform::ui::ScriptedUi> mobjUi;
    std::shared_ptr<platform::ui::UiServices> mobjOldUi;
    std::shared_ptr<tarnwick::ErrorHandler> mobjHandler;
};

// Runs fn, which must fail, and returns the run-time error it failed with.
template <typename Fn>
platform::ErrObject FailureOf(Fn&& fn) {
    try {
        fn();
    } catch (...) {
        return platform::CurrentErr();
    }
    ADD_FAILURE() << "no failure";
    return {};
}

}  // namespace twtest
