// Drives C:, E: and a 100-byte F: on temporary folders, a manager on them
// and the engine's error chain, for tests of instruction files and restores.
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
        platform::fs::DriveTable objTable;
        for (auto [chLetter, pDir] : {std::pair{'C', &mobjDriveC}, std::pair{'E', &mobjDriveE},
                                      std::pair{'F', &mobjDriveF}}) {
            platform::fs::DriveSpec objSpec;
            objSpec.chLetter = chLetter;
            objSpec.hostPath = pDir->path();
            if (chLetter == 'F') objSpec.capacity = 100;
            objTable.drives.push_back(objSpec);
        }
        mobjFileSys = platform::fs::FileSystem::Create(objTable);
        mobjManager.Init(mobjFileSys);
        mobjPreviousUi = platform::ui::InstallUi(mobjUi);
    }
    ~DefinitionFileFixture() override {
        mobjFileSys->SetFaultHook(nullptr);
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
    twtest::TempDir mobjDriveC, mobjDriveE, mobjDriveF;
    std::shared_ptr<platform::fs::FileSystem> mobjFileSys;
    BackupManager mobjManager;
    std::shared_ptr<platform::ui::ScriptedUi> mobjUi = std::make_shared<platform::ui::ScriptedUi>();
    std::shared_ptr<platform::ui::UiServices> mobjPreviousUi;
};

}  // namespace savecore::test
