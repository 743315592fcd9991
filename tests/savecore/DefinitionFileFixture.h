// A drive C: on a temporary folder, a manager on it and the engine's error
// chain, for tests of instruction files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "EngineFailure.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/RtError.h"
#include "platform/ui/ScriptedUi.h"
#include "platform/ui/UiServices.h"
#include "savecore/BackupManager.h"
#include "savecore/DefinitionFile.h"
#include "tarnwicklib/ErrorHandler.h"
#include "tarnwicklib/SharedData.h"
#include "tests/support/TempDir.h"
#include "tests/support/TreeBuilder.h"

namespace savecore::test {

// The host stores its handler before the first engine object exists.
inline std::shared_ptr<tarnwick::ErrorHandler> objEnsureErrorHandler() {
    tarnwick::SharedData objShared;
    if (!objShared.objErrorHandler())
        objShared.objErrorHandler(std::make_shared<tarnwick::ErrorHandler>());
    return objShared.objErrorHandler();
}

class DefinitionFileFixture : public ::testing::Test {
  protected:
    DefinitionFileFixture() {
        platform::fs::DriveSpec objSpec;
        objSpec.chLetter = 'C';
        objSpec.hostPath = mobjDriveC.path();
        platform::fs::DriveTable objTable;
        objTable.drives.push_back(objSpec);
        mobjFileSys = platform::fs::FileSystem::Create(objTable);
        mobjManager.Init(mobjFileSys);
        mobjPreviousUi = platform::ui::InstallUi(mobjUi);
    }
    ~DefinitionFileFixture() override {
        platform::ui::InstallUi(mobjPreviousUi);
        mobjHandler->ClearErrors();
    }

    std::filesystem::path Host(const std::string& strRel) const { return mobjDriveC / strRel; }
    void MakeFolder(const std::string& strRel) {
        std::filesystem::create_directories(Host(strRel));
    }
    // strWinFolder like "C:\\Data"; the folder must exist.
    DefinitionFile objDef(const std::string& strWinFolder, const std::string& strSet = "Weekly") {
        DefinitionFile objFile;
        objFile.Init(mobjManager, strSet, mobjFileSys->GetFolder(strWinFolder));
        return objFile;
    }

    template <class Fn>
    EngineFailure objFailureOf(Fn fnCall) {
        return test::objFailureOf(*mobjHandler, fnCall);
    }

    std::shared_ptr<tarnwick::ErrorHandler> mobjHandler = objEnsureErrorHandler();
    twtest::TempDir mobjDriveC;
    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    BackupManager mobjManager;
    std::shared_ptr<platform::ui::ScriptedUi> mobjUi = std::make_shared<platform::ui::ScriptedUi>();
    std::shared_ptr<platform::ui::UiServices> mobjPreviousUi;
};

}  // namespace savecore::test
