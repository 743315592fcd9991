#include "ErrorHandler.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>
#include <exception>
#include <iostream>
#include <limits>

#include "LibraryData.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/UserFolders.h"
#include "platform/ui/UiServices.h"

namespace tarnwick {

namespace {

const char* const kCrLf = "\r\n";

// The general date format: the short date, a blank and the long time of the
// user's LC_TIME locale (nl_langinfo D_FMT and T_FMT), read from the
// environment without changing the process's own locale. Without a usable
// locale the C locale's formats apply (12/31/99 23:59:59).
std::string strGeneralDate(std::time_t datNow) {
    std::tm tmLocal{};
    localtime_r(&datNow, &tmLocal);
    locale_t objLocale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!objLocale) objLocale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    std::string strFormat =
        std::string(nl_langinfo_l(D_FMT, objLocale)) + " " + nl_langinfo_l(T_FMT, objLocale);
    char achBuffer[128];
    const std::size_t lngLen =
        strftime_l(achBuffer, sizeof achBuffer, strFormat.c_str(), &tmLocal, objLocale);
    freelocale(objLocale);
    return std::string(achBuffer, lngLen);
}

}  // namespace

ErrorHandler::ErrorHandler() {
    StartedLibraryData();
    ClearErrors();
}

void ErrorHandler::Init(const AppObject& App_) {
    mstrAppPath = App_.Path;
    if (mstrAppPath.empty() || mstrAppPath.back() != '\\') mstrAppPath += '\\';
}

void ErrorHandler::AddRoutine(const ErrObject& Err_, const std::string& strRoutine) {
    if (mintRoutineCount == std::numeric_limits<int16_t>::max())
        throw platform::RtError(platform::rt::kOverflow);
    ++mintRoutineCount;
    mastrRoutines.push_back(strRoutine);

    int32_t lngNumber = Err_.Number;
    std::string strDesc = Err_.Description;
    if (mlngSavedNumber != 0) {
        lngNumber = mlngSavedNumber;
        strDesc = std::move(mstrSavedDesc);
        mlngSavedNumber = 0;
        mstrSavedDesc.clear();
    }
    if (lngNumber != lngPassThru && lngNumber != 0) mstrErrorDesc = std::move(strDesc);
}

void ErrorHandler::NestedError(const ErrObject& Err_, const std::string& strRoutine) {
    AddRoutine(Err_, strRoutine);
    throw platform::RtError(lngPassThru, "");
}

// Never fails: the report has been shown before the log is written, so a log
// that cannot be written is only noted on standard error, and the chain is
// emptied in any case; otherwise the next report would repeat these names.
void ErrorHandler::TopError(const ErrObject& Err_, const std::string& strRoutine) {
    try {
        AddRoutine(Err_, strRoutine);
    } catch (...) {
        // A full chain: report what it holds.
    }
    try {
        ShowErrors();
    } catch (...) {
        std::cerr << "TarnwickLib10: the error report could not be written to " << mstrLogShown
                  << ": " << platform::CurrentErr().Description << std::endl;
    }
    ClearErrors();
}

void ErrorHandler::SaveError(const ErrObject& Err_) {
    mlngSavedNumber = Err_.Number;
    mstrSavedDesc = Err_.Description;
}

std::string ErrorHandler::strReport() const {
    std::string strText = "The following error has occurred:";
    strText += kCrLf;
    strText += mstrErrorDesc.empty() ? "<Missing error info>" : "\"" + mstrErrorDesc + "\"";
    for (std::size_t i = 0; i < mastrRoutines.size(); ++i) {
        strText += kCrLf;
        strText += (i == 0 ? "in " : "called from ") + mastrRoutines[i];
    }
    return strText;
}

// The log is appended by reading it and writing it back whole through the
// file system's replacing write: a failure leaves the old log as it was,
// never a half-written block. Installed under /usr or /opt the program's
// folder is not the user's to write, and every report would be lost; the
// log then goes to the user's state folder and the box says where.
void ErrorHandler::ShowErrors() {
    const std::string strText = strReport();
    auto& objFileSys = platform::fs::ProcessFileSystem();
    std::string strLog = mstrAppPath + "error.log";
    mstrLogShown = strLog;
    std::string strShown = strText;
    // Made before the box, so that the box says where the report is only
    // where it can be kept; why it cannot is raised after the box.
    std::exception_ptr objLogFailure;
    if (!objFileSys.FolderWritable(mstrAppPath)) {
        mstrLogShown = (platform::fs::UserStateFolder() / "error.log").string();
        bool blnKept = false;
        try {
            std::string strFolder = objFileSys.AppPathOf(platform::fs::MakeUserStateFolder());
            if (strFolder.back() != '\\') strFolder += '\\';
            strLog = strFolder + "error.log";
            blnKept = objFileSys.FolderWritable(strFolder);
        } catch (...) {
            objLogFailure = std::current_exception();
        }
        strShown += kCrLf;
        strShown += blnKept ? "The program's folder cannot be written: this report is kept in " +
                                  mstrLogShown + "."
                            : "Neither the program's folder nor " + mstrLogShown +
                                  " can be written: this report is not kept.";
    }
    platform::ui::Ui().MsgBox(strShown, platform::ui::vbOKOnly, "Error Detected");
    if (objLogFailure) std::rethrow_exception(objLogFailure);

    std::string strBlock = std::string(45, '=') + kCrLf;
    strBlock += "Error logged at " + strGeneralDate(std::time(nullptr)) + kCrLf;
    strBlock += kCrLf;
    strBlock += strText + kCrLf;

    std::string strOld;
    if (objFileSys.FileExists(strLog)) strOld = objFileSys.ReadFile(strLog);
    objFileSys.WriteFileReplacing(strLog, strOld + strBlock);
}

void ErrorHandler::ClearErrors() {
    mastrRoutines.clear();
    mintRoutineCount = 0;
    mstrErrorDesc.clear();
    mlngSavedNumber = 0;
    mstrSavedDesc.clear();
}

void ErrorHandler::RaiseError(const std::string& strMsg) {
    throw platform::RtError(glngRAISED_ERROR, strMsg);
}

}  // namespace tarnwick
