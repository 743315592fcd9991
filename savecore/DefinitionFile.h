// One instruction file: the instructions of one backup type for one folder,
// read from and written to "<folder>\<type>.BDF".
//
// - Text: UTF-8 in memory; on disk Windows-1252 or UTF-8 (TextCase.h), so
//   files written on Windows read correctly and no name is ever lost.
// - Save builds the whole file and hands it to WriteFileReplacing: a save
//   that fails or is refused (two family flags, a pattern holding a CR or LF,
//   which would become an instruction line of its own) leaves the old file
//   as it was.
// - A load that fails (file missing or unreadable, unknown instruction, two
//   family flags) leaves no instructions behind, only strMessage and
//   blnFileNotFound. Any open or read failure sets blnFileNotFound, as
//   callers expect; blnFileUnreadable tells a file that is there but could
//   not be read (anything but file or path not found) from a missing one,
//   since instructions that cannot be read may be ones that keep a folder
//   private.
// - Delete reports a failure in a message box and raises nothing.
// - A malformed wildcard is an error of the file: blnCheckFile and
//   blnSuppressFolder fail through the error chain with error 93 and a text
//   naming the pattern and the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BackupConstants.h"
#include "InstructionFormat.h"
#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

class BackupManager;

class SAVECORE_API DefinitionFile {
  public:
    DefinitionFile();

    void Init(BackupManager& objManager_, const std::string& strSetName_,
              platform::fs::FolderPtr objFolder_);
    // True when the load failed (see strMessage and blnFileNotFound).
    bool blnLoad();
    // The same, the file found in a reading of the folder a walk already
    // has, rather than looked up by its path.
    bool blnLoad(const platform::fs::FolderListing& objListing);
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
    bool blnFileUnreadable() const { return mblnFileUnreadable; }

    // Selection
    bool blnCheckFile(const platform::fs::File& objFile) const;
    bool blnFilesImpossible(bool blnDefaultSave) const;
    bool blnFileFiltering() const;
    bool blnSuppressFolder() const;

  private:
    // pListing: the folder's reading, or none to look the file up by path.
    bool blnLoadFrom(const platform::fs::FolderListing* pListing);
    void Clear();
    void ClearInstructions();
    void ApplyInstructions(Instructions objIn);
    void CheckPatternsWritable(const std::string& strFile) const;
    BackupManager& objManager() const;
    const platform::fs::Folder& objFolderRef() const;
    platform::fs::FileSystem& objFileSys() const;
    bool blnNameMatches(const std::vector<char32_t>& acpName, const std::string& strPattern) const;
    bool blnMatchesAny(const std::vector<char32_t>& acpName, const PatternList& colPatterns) const;

    BackupManager* mobjManager = nullptr;
    std::string mstrSetName;
    platform::fs::FolderPtr mobjFolder;
    std::string mstrMessage;
    bool mblnFileNotFound = false;
    bool mblnFileUnreadable = false;
    bool mblnModified = false;
    bool mblnIncludeFamily = false;
    bool mblnExcludeFamily = false;
    std::string mstrSuppressPattern;
    bool mblnSkipFamily = false;
    std::optional<PatternList> mcolIncludeFiles;
    std::optional<PatternList> mcolExcludeFiles;
};

}  // namespace savecore
