#include "EngineSession.h"

#include <stdexcept>

#include "BenchClock.h"
#include "platform/fs/DriveTable.h"
#include "tarnwicklib/SharedData.h"

namespace bench {

namespace pfs = platform::fs;

namespace {

pfs::DriveSpec FixedDrive(char chLetter, const std::filesystem::path& host) {
    pfs::DriveSpec driveSpec;
    driveSpec.chLetter = chLetter;
    driveSpec.hostPath = host;
    driveSpec.lngType = pfs::kDriveFixed;
    return driveSpec;
}

std::shared_ptr<tarnwick::ErrorHandler> SharedHandler() {
    tarnwick::SharedData objShared;
    if (!objShared.objErrorHandler())
        objShared.objErrorHandler(std::make_shared<tarnwick::ErrorHandler>());
    return objShared.objErrorHandler();
}

}  // namespace

EngineSession::EngineSession(const std::filesystem::path& sourceHost,
                             const std::filesystem::path& destHost)
    : mobjHandler(SharedHandler()) {
    std::filesystem::create_directories(destHost / "Backup");
    pfs::DriveTable table;
    table.drives.push_back(FixedDrive('C', sourceHost));
    table.drives.push_back(FixedDrive('E', destHost));
    mobjTimed = std::make_shared<TimedFileSystem>(pfs::FileSystem::Create(table));
    mobjManager = std::make_unique<savecore::BackupManager>();
    mobjManager->Init(mobjTimed);
    mobjManager->LoadDrives();
    mobjManager->InitBackupMode();
}

double EngineSession::RunChecked(bool blnSpaceOnly) {
    mobjTimed->Reset();
    bool blnStopped = false;
    const double dblSeconds = BenchClock::Seconds([&] {
        blnStopped =
            mobjManager->blnProcess(kSetName, blnSpaceOnly ? "" : kDestination, blnSpaceOnly);
    });
    if (blnStopped) throw std::runtime_error("the engine's run stopped");
    if (!mobjManager->strGetErrorLog().empty())
        throw std::runtime_error("the engine logged failures: " + mobjManager->strGetErrorLog());
    return dblSeconds;
}

double EngineSession::Backup() {
    return RunChecked(false);
}

double EngineSession::SpaceOnly() {
    return RunChecked(true);
}

double EngineSession::CopyOneFile(const std::string& strName) {
    const auto objFile = mobjTimed->GetFile("C:\\" + strName);
    return BenchClock::Seconds([&] { objFile->Copy("E:\\" + strName, false); });
}

double EngineSession::Restore(const std::string& strFolder, bool blnReplace) {
    mobjManager->blnRestoreReplace(blnReplace);
    bool blnStopped = false;
    const double dblSeconds = BenchClock::Seconds(
        [&] { blnStopped = mobjManager->blnRestoreFolder("C:\\", "E:\\" + strFolder, true); });
    if (blnStopped) throw std::runtime_error("the engine's restore stopped");
    if (!mobjManager->strGetErrorLog().empty())
        throw std::runtime_error("the restore logged failures: " + mobjManager->strGetErrorLog());
    return dblSeconds;
}

std::string strEngineReport() {
    const auto objHandler = tarnwick::SharedData().objErrorHandler();
    return objHandler ? objHandler->strReport() : std::string();
}

}  // namespace bench
