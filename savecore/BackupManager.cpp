#include "BackupManager.h"

#include <algorithm>
#include <ctime>

#include "SaveCoreErrors.h"

namespace savecore {

namespace {
const ClassErrors kErrors("BackupManager");

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

int64_t LocalDayNumber(Date dat) {
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(dat));
    std::tm tmLocal{};
    localtime_r(&t, &tmLocal);
    return DaysFromCivil(tmLocal.tm_year + 1900, static_cast<unsigned>(tmLocal.tm_mon + 1),
                         static_cast<unsigned>(tmLocal.tm_mday));
}
}  // namespace

int32_t lngCalendarDays(Date datFrom, Date datTo) {
    const int64_t n = LocalDayNumber(datTo) - LocalDayNumber(datFrom);
    return static_cast<int32_t>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}

BackupManager::BackupManager() {
    EngineStart();
}

BackupManager::~BackupManager() = default;

BackupManager::EventConnection::EventConnection(BackupManager& objManager,
                                                BackupManagerEvents& objListener)
    : mobjManager(objManager), mobjListener(objListener) {
    mobjManager.Connect(mobjListener);
}

BackupManager::EventConnection::~EventConnection() {
    mobjManager.Disconnect(mobjListener);
}

void BackupManager::Connect(BackupManagerEvents& objListener) {
    mcolListeners.push_back(&objListener);
}

void BackupManager::Disconnect(BackupManagerEvents& objListener) {
    auto it = std::find(mcolListeners.begin(), mcolListeners.end(), &objListener);
    if (it != mcolListeners.end()) mcolListeners.erase(it);
}

void BackupManager::Init(std::shared_ptr<platform::fs::FileSystem> objFileSys_) {
    mobjFileSys = std::move(objFileSys_);
}

void BackupManager::Shutdown() {
    try {
        mobjFileSys.reset();
        mcolDriveProcs.reset();
        mcolDefFolders.reset();
        RaiseEndProgress();
    } catch (...) {
        kErrors.NestedError("Shutdown");
    }
}

void BackupManager::LoadDrives() {
    try {
        mcolDriveProcs.emplace();
        if (!mobjFileSys) throw platform::RtError(platform::rt::kObjectNotSet);
        for (const auto& objDrive : mobjFileSys->Drives()) {
            if (!blnIncludeDrive(*objDrive)) continue;
            auto objProc = std::make_shared<DriveProcessor>();
            objProc->Init(*this, objDrive);
            mcolDriveProcs->push_back(std::move(objProc));
        }
    } catch (...) {
        kErrors.NestedError("LoadDrives");
    }
}

bool BackupManager::blnIncludeDrive(const platform::fs::Drive& objDrive) const {
    try {
        if (mblnIncludeMiscDrives) return true;
        const int32_t lngType = objDrive.DriveType();
        return lngType == platform::fs::kDriveFixed || lngType == platform::fs::kDriveRemote;
    } catch (...) {
        kErrors.NestedError("blnIncludeDrive");
    }
}

void BackupManager::InitBackupMode() {
    mblnIncrementalMode = false;
    mlngDaysSinceLastMod = 0;
    mblnIncludeArchiveFlag = false;
    mblnClearArchiveFlag = false;
    mlngClearArchiveFlagDays = 0;
    mblnUseDateTimeSubFolder = false;
}

std::string BackupManager::strAddSlash(const std::string& strPath) const {
    if (!strPath.empty() && strPath.back() == '\\') return strPath;
    return strPath + "\\";
}

bool BackupManager::blnFilterModDate(const platform::fs::File& objFile) const {
    return lngCalendarDays(objFile.DateLastModified(), mdatStartTime) <= mlngDaysSinceLastMod;
}

bool BackupManager::blnFilterArchive(const platform::fs::File& objFile) const {
    return mblnIncludeArchiveFlag && (objFile.Attributes() & platform::fs::vbArchive) != 0;
}

void BackupManager::SetClock(std::function<Date()> fnClock) {
    mfnClock = std::move(fnClock);
}

Date BackupManager::Now() const {
    return mfnClock ? mfnClock() : std::chrono::system_clock::now();
}

void BackupManager::StartRun(const std::string& strSetName_, bool blnSpaceOnly_) {
    mstrSetName = strSetName_;
    mblnSpaceOnly = blnSpaceOnly_;
    mdblSpaceUsed = 0;
    mlngFilesUsed = 0;
    mdatStartTime = Now();
    mblnWriteDeleteSucceeded = false;
    mcolDefFolders.emplace();
    ClearErrorLog();
}

}  // namespace savecore
