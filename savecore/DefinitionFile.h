// One instruction file: the instructions of one backup type for one folder,
// read from and written to "<folder>\<type>.BDF".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BackupConstants.h"
#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

class BackupManager;
using PatternList = std::vector<std::string>;

class SAVECORE_API DefinitionFile {
public:
    DefinitionFile();

    void Init(BackupManager& objManager_, const std::string& strSetName_,
              platform::fs::FolderPtr objFolder_);
    // True when the load failed (see strMessage and blnFileNotFound).
    bool blnLoad();
    void Create();
    void Save();
    void Delete();
    bool blnValidationError();

    bool blnModified() const { return mblnModified; }
    std::string strSetFileName() const;
    const std::string& strSetName() const { return mstrSetName; }
    void strSetName(const std::string& strValue) { mstrSetName = strValue; }
    bool blnIncludeFamily() const { return mblnIncludeFamily; }
    void blnIncludeFamily(bool b);
    bool blnExcludeFamily() const { return mblnExcludeFamily; }
    void blnExcludeFamily(bool b);
    bool blnSkipFamily() const { return mblnSkipFamily; }
    void blnSkipFamily(bool b);
    const std::string& strSuppressPattern() const { return mstrSuppressPattern; }
    void strSuppressPattern(const std::string& strValue);
    const platform::fs::FolderPtr& objFolder() const { return mobjFolder; }
    void objFolder(platform::fs::FolderPtr objValue) { mobjFolder = std::move(objValue); }
    int32_t lngBackupMode() const;
    void lngBackupMode(int32_t lngValue);
    // get hands out the list itself: changing its entries does not mark the
    // object modified; set replaces it (absent allowed) and does.
    std::optional<PatternList>& colIncludeFiles() { return mcolIncludeFiles; }
    void colIncludeFiles(std::optional<PatternList> colValue);
    std::optional<PatternList>& colExcludeFiles() { return mcolExcludeFiles; }
    void colExcludeFiles(std::optional<PatternList> colValue);
    const std::string& strMessage() const { return mstrMessage; }
    bool blnFileNotFound() const { return mblnFileNotFound; }

    // Selection
    bool blnCheckFile(const platform::fs::File& objFile) const;
    bool blnFilesImpossible(bool blnDefaultSave) const;
    bool blnFileFiltering() const;
    bool blnSuppressFolder() const;

private:
    void Clear();

    BackupManager* mobjManager = nullptr;
    std::string mstrSetName;
    platform::fs::FolderPtr mobjFolder;
    std::string mstrMessage;
    bool mblnFileNotFound = false;
    bool mblnModified = false;
    bool mblnIncludeFamily = false;
    bool mblnExcludeFamily = false;
    std::string mstrSuppressPattern;
    bool mblnSkipFamily = false;
    std::optional<PatternList> mcolIncludeFiles;
    std::optional<PatternList> mcolExcludeFiles;
};

}  // namespace savecore
