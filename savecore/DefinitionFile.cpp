#include "DefinitionFile.h"

#include <string>

#include "BackupManager.h"
#include "InstructionFormat.h"
#include "SaveCoreErrors.h"
#include "TextCase.h"
#include "Wildcard.h"
#include "platform/fs/RtError.h"
#include "platform/ui/UiServices.h"

namespace savecore {

namespace {

constexpr const char* kAppTitle = "Tarnwick Backup";

const ClassErrors& Errors() {
    static const ClassErrors objErrors("DefinitionFile");
    return objErrors;
}

}  // namespace

DefinitionFile::DefinitionFile() {
    EngineStart();
}

void DefinitionFile::Init(BackupManager& objManager_, const std::string& strSetName_,
                          platform::fs::FolderPtr objFolder_) {
    mobjManager = &objManager_;
    mstrSetName = strSetName_;
    mobjFolder = std::move(objFolder_);
}

BackupManager& DefinitionFile::objManager() const {
    if (!mobjManager) throw platform::RtError(platform::rt::kObjectNotSet);
    return *mobjManager;
}

const platform::fs::Folder& DefinitionFile::objFolderRef() const {
    if (!mobjFolder) throw platform::RtError(platform::rt::kObjectNotSet);
    return *mobjFolder;
}

platform::fs::FileSystem& DefinitionFile::objFileSys() const {
    const auto& objFileSys = objManager().objFileSys();
    if (!objFileSys) throw platform::RtError(platform::rt::kObjectNotSet);
    return *objFileSys;
}

void DefinitionFile::Clear() {
    ClearInstructions();
    mstrMessage.clear();
    mblnFileNotFound = false;
    mblnFileUnreadable = false;
    mblnModified = false;
}

void DefinitionFile::ClearInstructions() {
    mblnIncludeFamily = false;
    mblnExcludeFamily = false;
    mblnSkipFamily = false;
    mstrSuppressPattern.clear();
    mcolIncludeFiles.reset();
    mcolExcludeFiles.reset();
}

std::string DefinitionFile::strSetFileName() const {
    try {
        BackupManager& objMgr = objManager();
        return objMgr.strAddSlash(objFolderRef().Path()) + mstrSetName + objMgr.strSetNameExt();
    } catch (...) {
        Errors().NestedError("strSetFileName");
    }
}

bool DefinitionFile::blnLoad() {
    return blnLoadFrom(nullptr);
}

bool DefinitionFile::blnLoad(const platform::fs::FolderListing& objListing) {
    return blnLoadFrom(&objListing);
}

bool DefinitionFile::blnLoadFrom(const platform::fs::FolderListing* pListing) {
    try {
        Clear();
        const std::string strFile = strSetFileName();
        std::optional<platform::RtError> err;
        const std::optional<std::string> strBytes =
            pListing ? pListing->TryReadFile(mstrSetName + objManager().strSetNameExt(), err)
                     : objFileSys().TryReadFile(strFile, err);
        if (!strBytes) {
            mstrMessage = err->Description();
            mblnFileNotFound = true;
            mblnFileUnreadable = err->Number() != platform::rt::kFileNotFound &&
                                 err->Number() != platform::rt::kPathNotFound;
            return true;
        }
        InstructionReadResult objRead = ReadInstructions(*strBytes);
        if (objRead.blnUnrecognized) {
            mstrMessage = "Unrecognized instruction in " + strFile;
            return true;
        }
        ApplyInstructions(std::move(objRead.objInstructions));
        if (blnValidationError()) {
            // An invalid file gives no instructions, as a missing one.
            ClearInstructions();
            return true;
        }
        return false;
    } catch (...) {
        Errors().NestedError("blnLoad");
    }
}

void DefinitionFile::ApplyInstructions(Instructions objIn) {
    mblnIncludeFamily = objIn.blnIncludeFamily;
    mblnExcludeFamily = objIn.blnExcludeFamily;
    mblnSkipFamily = objIn.blnSkipFamily;
    mstrSuppressPattern = std::move(objIn.strSuppressPattern);
    mcolIncludeFiles = std::move(objIn.colIncludeFiles);
    mcolExcludeFiles = std::move(objIn.colExcludeFiles);
}

void DefinitionFile::Create() {
    try {
        Clear();
    } catch (...) {
        Errors().NestedError("Create");
    }
}

void DefinitionFile::Save() {
    std::string strFile;
    try {
        strFile = strSetFileName();
        if (blnValidationError()) RaiseError(mstrMessage);
        CheckPatternsWritable(strFile);
        Instructions objOut;
        objOut.blnIncludeFamily = mblnIncludeFamily;
        objOut.blnExcludeFamily = mblnExcludeFamily;
        objOut.strSuppressPattern = mstrSuppressPattern;
        objOut.blnSkipFamily = mblnSkipFamily;
        objOut.colIncludeFiles = mcolIncludeFiles;
        objOut.colExcludeFiles = mcolExcludeFiles;
        objFileSys().WriteFileReplacing(strFile, strWriteInstructions(objOut));
        mblnModified = false;
    } catch (...) {
        Errors().NestedError("Save(" + strFile + ")");
    }
}

// A CR or LF inside a pattern would split its line on the next load and
// could turn the rest of the pattern into an instruction of its own.
void DefinitionFile::CheckPatternsWritable(const std::string& strFile) const {
    auto Check = [&](const std::string& strPattern) {
        if (!blnPatternWritable(strPattern))
            RaiseError("Invalid character in pattern \"" + strPattern + "\" for " + strFile);
    };
    Check(mstrSuppressPattern);
    for (const auto* pcol : {&mcolIncludeFiles, &mcolExcludeFiles})
        if (*pcol)
            for (const std::string& strPattern : **pcol) Check(strPattern);
}

void DefinitionFile::Delete() {
    try {
        const std::string strFile = strSetFileName();
        try {
            objFileSys().DeleteFile(strFile, false);
        } catch (...) {
            platform::ui::Ui().MsgBox("Unable to delete instruction file \"" + strFile + "\".",
                                      platform::ui::vbCritical + platform::ui::vbOKOnly, kAppTitle);
        }
    } catch (...) {
        Errors().NestedError("Delete");
    }
}

bool DefinitionFile::blnValidationError() {
    try {
        const int intSet = int{mblnIncludeFamily} + int{mblnExcludeFamily} + int{mblnSkipFamily};
        if (intSet <= 1) return false;
        mstrMessage = "Invalid combination of object properties in " + strSetFileName();
        return true;
    } catch (...) {
        Errors().NestedError("blnValidationError");
    }
}

void DefinitionFile::blnIncludeFamily(bool b) {
    mblnIncludeFamily = b;
    mblnModified = true;
}

void DefinitionFile::blnExcludeFamily(bool b) {
    mblnExcludeFamily = b;
    mblnModified = true;
}

void DefinitionFile::blnSkipFamily(bool b) {
    mblnSkipFamily = b;
    mblnModified = true;
}

void DefinitionFile::strSuppressPattern(const std::string& strValue) {
    mstrSuppressPattern = strValue;
    mblnModified = true;
}

int32_t DefinitionFile::lngBackupMode() const {
    if (mblnIncludeFamily) return glngBACKUP_INCLUDE;
    if (mblnExcludeFamily) return glngBACKUP_EXCLUDE;
    return glngBACKUP_SKIP;
}

void DefinitionFile::lngBackupMode(int32_t lngValue) {
    try {
        mblnIncludeFamily = false;
        mblnExcludeFamily = false;
        mblnSkipFamily = false;
        switch (lngValue) {
            case glngBACKUP_SKIP:
                mblnSkipFamily = true;
                break;
            case glngBACKUP_INCLUDE:
                mblnIncludeFamily = true;
                break;
            case glngBACKUP_EXCLUDE:
                mblnExcludeFamily = true;
                break;
            default:
                RaiseError("Invalid backup mode " + std::to_string(lngValue));
        }
        mblnModified = true;
    } catch (...) {
        Errors().NestedError("lngBackupMode(let)");
    }
}

void DefinitionFile::colIncludeFiles(std::optional<PatternList> colValue) {
    mcolIncludeFiles = std::move(colValue);
    mblnModified = true;
}

void DefinitionFile::colExcludeFiles(std::optional<PatternList> colValue) {
    mcolExcludeFiles = std::move(colValue);
    mblnModified = true;
}

// Selection

// A pattern that cannot be read is an error of this instruction file: the
// message names the pattern and the file, so the user knows what to fix.
bool DefinitionFile::blnNameMatches(const std::vector<char32_t>& acpName,
                                    const std::string& strPattern) const {
    try {
        return Wildcard(strPattern).blnMatches(acpName);
    } catch (const platform::RtError& e) {
        if (e.Number() != glngINVALID_PATTERN) throw;
        throw platform::RtError(glngINVALID_PATTERN,
                                e.Description() + " \"" + strPattern + "\" in " + strSetFileName());
    }
}

bool DefinitionFile::blnMatchesAny(const std::vector<char32_t>& acpName,
                                   const PatternList& colPatterns) const {
    for (const std::string& strPattern : colPatterns)
        if (blnNameMatches(acpName, strPattern)) return true;
    return false;
}

bool DefinitionFile::blnCheckFile(const platform::fs::File& objFile) const {
    try {
        const std::string strName = strUCase(objFile.Name());
        if (strName == "PAGEFILE.SYS" || strName == "WIN386.SWP") return false;
        const BackupManager& objMgr = objManager();
        if (objMgr.blnIncrementalMode() && !objMgr.blnFilterModDate(objFile) &&
            !objMgr.blnFilterArchive(objFile))
            return false;
        if (!mcolIncludeFiles && !mcolExcludeFiles) return true;  // most folders
        const std::vector<char32_t> acpName = acpCodePoints(strName);
        if (mcolIncludeFiles && !blnMatchesAny(acpName, *mcolIncludeFiles)) return false;
        if (mcolExcludeFiles) return !blnMatchesAny(acpName, *mcolExcludeFiles);
        return true;
    } catch (...) {
        Errors().NestedError("blnCheckFile");
    }
}

bool DefinitionFile::blnFilesImpossible(bool blnDefaultSave) const {
    try {
        if (mblnExcludeFamily) return !blnFileFiltering();
        if (mblnSkipFamily) return true;
        if (mblnIncludeFamily) return false;
        return !blnDefaultSave;
    } catch (...) {
        Errors().NestedError("blnFilesImpossible");
    }
}

bool DefinitionFile::blnFileFiltering() const {
    try {
        return mcolIncludeFiles.has_value() || mcolExcludeFiles.has_value();
    } catch (...) {
        Errors().NestedError("blnFileFiltering");
    }
}

bool DefinitionFile::blnSuppressFolder() const {
    try {
        if (mstrSuppressPattern.empty()) return false;
        return blnNameMatches(acpCodePoints(strUCase(objFolderRef().Name())), mstrSuppressPattern);
    } catch (...) {
        Errors().NestedError("blnSuppressFolder");
    }
}

}  // namespace savecore
