// The engine set up the way a program sets it up: the shared error handler,
// a file system whose drive C: is the source tree and E: the destination,
// and a manager with its drive list and the plain backup mode.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "TimedFileSystem.h"
#include "savecore/BackupManager.h"
#include "tarnwicklib/ErrorHandler.h"

namespace bench {

class EngineSession {
  public:
    static constexpr const char* kSetName = "Bench";
    static constexpr const char* kDestination = "E:\\Backup\\";

    // E:\Backup\ is destHost/Backup and is created when missing.
    EngineSession(const std::filesystem::path& sourceHost, const std::filesystem::path& destHost);

    // Each returns its wall time; a stopped run or a logged failure throws.
    double Backup();
    double SpaceOnly();
    // Copies C:\<strName> to E:\<strName> through the file object.
    double CopyOneFile(const std::string& strName);
    // Restores all of C: with its subfolders into E:\<strFolder>.
    double Restore(const std::string& strFolder, bool blnReplace);

    double dblSpaceUsed() const { return mobjManager->dblSpaceUsed(); }
    const TimedFileSystem& Timed() const { return *mobjTimed; }
    TimedFileSystem& Timed() { return *mobjTimed; }

  private:
    double RunChecked(bool blnSpaceOnly);

    std::shared_ptr<tarnwick::ErrorHandler> mobjHandler;
    std::shared_ptr<TimedFileSystem> mobjTimed;
    std::unique_ptr<savecore::BackupManager> mobjManager;
};

// The error chain's report after a failure escaped the engine.
std::string strEngineReport();

}  // namespace bench
