// The manager's error log of the current run and its progress events.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "BackupManager.h"
#include "SaveCoreErrors.h"

namespace savecore {

namespace {

const ClassErrors kErrors("BackupManager");
const char* const kCrLf = "\r\n";
constexpr int16_t kKeptMessages = 25;

// A handler may disconnect itself or another listener while being called:
// walk a copy, and skip those that left meanwhile.
template <class Handler>
void RaiseToAll(const std::vector<BackupManagerEvents*>& colListeners, Handler fnHandler) {
    const std::vector<BackupManagerEvents*> colNow = colListeners;
    for (BackupManagerEvents* objListener : colNow) {
        if (std::find(colListeners.begin(), colListeners.end(), objListener) != colListeners.end())
            fnHandler(*objListener);
    }
}
}  // namespace

void BackupManager::AppendErrorLog(const std::string& strMsg) {
    // The count stays within its 16 bits: past 32,767 messages it stops
    // counting rather than ending the run over a log entry.
    if (mintErrorCount < INT16_MAX) ++mintErrorCount;
    if (mstrErrorLog.empty()) {
        mstrErrorLog = strMsg;
    } else if (mintErrorCount <= kKeptMessages) {
        mstrErrorLog += std::string(kCrLf) + kCrLf + strMsg;
    }
}

void BackupManager::ClearErrorLog() {
    mstrErrorLog.clear();
    mintErrorCount = 0;
}

std::string BackupManager::strGetErrorLog() const {
    if (mintErrorCount == 0) return "";
    return "A total of " + std::to_string(mintErrorCount) + " errors were encountered, " +
           (mintErrorCount > kKeptMessages ? std::string("the first ") + "25"
                                           : std::string("all")) +
           " of which are listed below:" + kCrLf + kCrLf + mstrErrorLog + kCrLf + kCrLf +
           strErrorExplanation();
}

std::string BackupManager::strErrorExplanation() const {
    return std::string("The only files affected were those specifically mentioned, ") +
           "those in folders specifically mentioned, and in their subfolders. " +
           "All others were processed successfully." + kCrLf + kCrLf +
           "There are many possible causes for errors, " + "including other " +
           "programs having files open for their exclusive use, " +
           "not having permission to read a file or " +
           "get a directory listing (Windows NT and 2000), " +
           "a read-only or unformatted backup disc, " +
           "and missing or improperly installed software for your CD-RW.";
}

void BackupManager::RaiseStartProgress(int32_t lngProgressMode) {
    RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.StartProgress(lngProgressMode); });
}

void BackupManager::RaiseEndProgress() {
    RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.EndProgress(); });
}

void BackupManager::SetProgressFolder(const std::string& strText) {
    try {
        std::string strArg = strText;
        RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.SetProgressFolder(strArg); });
    } catch (...) {
        kErrors.NestedError("SetProgressFolder");
    }
}

void BackupManager::SetProgressFile(const std::string& strText) {
    try {
        std::string strArg = strText;
        RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.SetProgressFile(strArg); });
    } catch (...) {
        kErrors.NestedError("SetProgressFile");
    }
}

bool BackupManager::blnProgressStop() {
    try {
        bool blnStop = false;
        RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.blnProgressStop(blnStop); });
        return blnStop;
    } catch (...) {
        kErrors.NestedError("blnProgressStop");
    }
}

bool BackupManager::blnOutOfSpace() {
    try {
        bool blnStop = false;
        RaiseToAll(mcolListeners, [&](BackupManagerEvents& l) { l.OutOfSpace(blnStop); });
        return blnStop;
    } catch (...) {
        kErrors.NestedError("blnOutOfSpace");
    }
}

}  // namespace savecore
