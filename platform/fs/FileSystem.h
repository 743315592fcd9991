// The drive/folder/file object model the engine and the programs work with.
// Every path they see is a Windows path (C:\Data\a.txt); the drive table maps
// each letter to a host folder. Nothing outside platform/ and tests/ may use
// host paths: HostPathOf exists for the platform layer and for tests.
//
// Objects are light handles (shared_ptr) holding a Windows path; they do not
// keep files open. Every failure is an RtError with the run-time's number.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DriveTable.h"
#include "RtError.h"

namespace platform::fs {

using Date = std::chrono::system_clock::time_point;

// The file attribute bits.
inline constexpr int32_t vbNormal = 0;
inline constexpr int32_t vbReadOnly = 1;
inline constexpr int32_t vbHidden = 2;
inline constexpr int32_t vbSystem = 4;
inline constexpr int32_t vbVolume = 8;
inline constexpr int32_t vbDirectory = 16;
inline constexpr int32_t vbArchive = 32;

// Drive types.
inline constexpr int32_t kDriveUnknown = 0;
inline constexpr int32_t kDriveRemovable = 1;
inline constexpr int32_t kDriveFixed = 2;
inline constexpr int32_t kDriveRemote = 3;
inline constexpr int32_t kDriveCDRom = 4;
inline constexpr int32_t kDriveRamDisk = 5;

class FileSystem;
class Drive;
class Folder;
class FolderListing;
class File;
using DrivePtr = std::shared_ptr<Drive>;
using FolderPtr = std::shared_ptr<Folder>;
using FilePtr = std::shared_ptr<File>;

struct DiskSpace {
    uint64_t available = 0;  // bytes available to the caller
    uint64_t free = 0;       // total free bytes
    uint64_t total = 0;      // total bytes of the volume
};

// Lets a test make one operation on one path fail, as a folder that refuses
// to be listed or a file that vanishes between listing and copy would.
enum class FsOp { ListFolders, ListFiles, OpenForRead, Create, Delete, SetAttributes, Stat };
using FaultHook = std::function<void(FsOp op, const std::string& strWinPath)>;

class Drive {
  public:
    virtual ~Drive() = default;
    virtual std::string DriveLetter() const = 0;  // "C"
    virtual std::string Path() const = 0;         // "C:"
    virtual int32_t DriveType() const = 0;
    virtual bool IsReady() const = 0;  // the host folder exists
    virtual std::string VolumeName() const = 0;
    virtual std::string ShareName() const = 0;
    virtual FolderPtr RootFolder() const = 0;  // 71 Disk not ready when not ready
    virtual DiskSpace Space() const = 0;       // 71 when not ready
};

class Folder {
  public:
    virtual ~Folder() = default;
    virtual std::string Name() const = 0;  // "" for a drive root
    virtual std::string Path() const = 0;  // "C:\Data"; a root is "C:\"
    virtual bool IsRootFolder() const = 0;
    virtual FolderPtr ParentFolder() const = 0;  // null for a root
    virtual DrivePtr GetDrive() const = 0;
    // Listing order is the host's order, stable between calls on an unchanged
    // folder. Symbolic links to folders are not listed; FIFOs, sockets and
    // devices are never listed as files.
    virtual std::vector<FolderPtr> SubFolders() const = 0;
    virtual std::vector<FilePtr> Files() const = 0;
    // What neither list shows: symbolic links to folders, dangling links,
    // FIFOs, sockets and devices. Good for Name, Path and Delete, which
    // removes the entry itself and never what a link points to.
    virtual std::vector<FilePtr> OtherEntries() const = 0;
    // The folder read once, for a walk that asks it for a file's contents,
    // its subfolders and its files. Never fails: a folder that cannot be
    // read fails each question as the folder's own would.
    virtual std::unique_ptr<FolderListing> Listing() const = 0;
    virtual int32_t Attributes() const = 0;  // includes vbDirectory
    virtual void Delete(bool blnForce) = 0;  // with all its content
};

class File {
  public:
    virtual ~File() = default;
    virtual std::string Name() const = 0;
    virtual std::string Path() const = 0;
    virtual FolderPtr ParentFolder() const = 0;
    virtual uint64_t Size() const = 0;
    virtual int32_t Attributes() const = 0;
    virtual void SetAttributes(int32_t lngAttributes) = 0;  // R, H, S, A bits
    virtual Date DateLastModified() const = 0;
    // No overwrite never replaces an existing target (58), even in a race; a
    // failed copy leaves no partial target.
    virtual void Copy(const std::string& strDestination, bool blnOverwrite) = 0;
    virtual void Delete(bool blnForce) = 0;  // read-only without force: 70
    // A symbolic link: its attributes, size and date are those of what it
    // points to, so whoever changes attributes to delete or replace it
    // must leave them alone.
    virtual bool IsLink() const = 0;
};

// One reading of a folder (Folder::Listing). It may hold the folder open
// until Files is asked or it is dropped: keep it only while the folder is
// being walked.
class FolderListing {
  public:
    virtual ~FolderListing() = default;
    // As the folder's SubFolders, from the reading.
    virtual std::vector<FolderPtr> SubFolders() const = 0;
    // As the folder's Files: the names of the reading, or for a folder with
    // subfolders (walked in between) those it holds when asked; each file's
    // size and date as they are when asked.
    virtual std::vector<FilePtr> Files() const = 0;
    // TryReadFile of the file strName in the folder, found as a lookup finds
    // it (the exact name first, then any letter case) in the reading.
    virtual std::optional<std::string> TryReadFile(const std::string& strName,
                                                   std::optional<RtError>& err) const = 0;
};

// A folder claimed by one run that writes into it; see ClaimFolder.
class FolderClaim {
  public:
    virtual ~FolderClaim() = default;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The drive table of DESIGN: $TARNWICK_DRIVES, else
    // $XDG_CONFIG_HOME/TarnwickBackup/drives.ini, else the default table.
    static std::shared_ptr<FileSystem> Create();
    static std::shared_ptr<FileSystem> Create(DriveTable table);

    virtual std::vector<DrivePtr> Drives() const = 0;  // ascending letter
    // "C", "c:", "C:\..." all name drive C.
    virtual bool DriveExists(const std::string& strDriveSpec) const = 0;
    virtual DrivePtr GetDrive(const std::string& strDriveSpec) const = 0;  // 68 when unknown

    virtual bool FolderExists(const std::string& strPath) const = 0;
    virtual bool FileExists(const std::string& strPath) const = 0;
    // New entries can be made in the folder: false on a write-protected drive,
    // a read-only file system, a folder this process may not write, or one
    // that is not there. Never fails.
    virtual bool FolderWritable(const std::string& strPath) const = 0;
    virtual FolderPtr GetFolder(const std::string& strPath) const = 0;  // 76 when missing
    virtual FilePtr GetFile(const std::string& strPath) const = 0;      // 53 when missing
    virtual FolderPtr CreateFolder(const std::string& strPath) = 0;     // 58 when it exists
    virtual void DeleteFile(const std::string& strPath, bool blnForce) = 0;
    virtual void DeleteFolder(const std::string& strPath, bool blnForce) = 0;
    virtual void CopyFile(const std::string& strSource, const std::string& strDestination,
                          bool blnOverwrite) = 0;
    // FileLen: the size of a file, 53 when there is none.
    virtual uint64_t FileLen(const std::string& strPath) const = 0;

    // VB's Dir: names (not paths) in the folder of strPattern whose name
    // matches its wildcard name part (* and ?). lngAttributes vbNormal finds
    // normal and read-only files, not hidden or system ones; vbDirectory adds
    // folders; vbHidden and vbSystem add those files.
    virtual std::vector<std::string> Dir(const std::string& strPattern,
                                         int32_t lngAttributes) const = 0;

    // Whole-file contents, for instruction files and other small files.
    virtual std::string ReadFile(const std::string& strPath) const = 0;
    // ReadFile for a file that is usually missing (a folder's instruction
    // file): nothing, with what ReadFile would raise in err, instead of an
    // exception, whose cost a walk would otherwise pay in every folder.
    virtual std::optional<std::string> TryReadFile(const std::string& strPath,
                                                   std::optional<RtError>& err) const;
    // Writes beside the target and replaces it when complete, so a failure
    // never leaves a half-written file: the old one stays as it was.
    virtual void WriteFileReplacing(const std::string& strPath, const std::string& strData) = 0;
    // Creates an empty file; 58 when one exists.
    virtual void CreateEmptyFile(const std::string& strPath) = 0;

    // For a run that writes into a folder (a backup's destination, a
    // restore's target): while the claim lives, another claim of the same
    // folder, from this process or another, fails with 55 (File already
    // open), and nothing written or deleted below the folder passes through
    // a symbolic link (75): a link planted where a folder belongs is never
    // followed. The folder itself may be reached through links.
    virtual std::unique_ptr<FolderClaim> ClaimFolder(const std::string& strPath) = 0;
    // The last name of strPath is a symbolic link (to anything, or dangling).
    virtual bool LinkExists(const std::string& strPath) const = 0;
    // Gives the folder objTarget, with blnBits, the permission bits of
    // objSource, so that a copy is no more open than its source, plus the
    // owner's read, write and search bits, so that the owner can fill it and
    // later empty it; with blnTime its modification time (once complete).
    virtual void CopyFolderStamp(const Folder& objSource, const Folder& objTarget, bool blnBits,
                                 bool blnTime) = 0;

    // Free space of the volume that holds strRoot ("E:\"): bytes available to
    // the caller, free bytes and total bytes; a simulated capacity is honoured.
    virtual DiskSpace GetDiskFreeSpace(const std::string& strRoot) const = 0;

    // Flushes the file system that holds the drive (syncfs), so that a medium
    // taken out holds everything reported as written.
    virtual void FlushDrive(const std::string& strDriveSpec) = 0;
    // The medium in the drive may have been changed or emptied by someone
    // else: what the layer keeps of it (free space, bytes used on a simulated
    // medium, folder listings) is read afresh. Nothing for an unknown letter.
    virtual void ForgetMedium(const std::string& strDriveSpec) = 0;

    // Folders are compared by where they really are on the host: one folder
    // can be reached through several drive letters, links and "..". The part
    // of a path that exists is resolved (links included); names not there
    // yet are taken as they are.
    // True when strOuter is the folder strInner or holds it; false when
    // either names no drive of the table.
    virtual bool FolderHolds(const std::string& strOuter, const std::string& strInner) const = 0;
    // Every path (as Folder::Path gives it) under which a walk of a drive of
    // Drives() reaches the folder strFolder: one for each drive whose root
    // holds it.
    virtual std::vector<std::string> FolderPaths(const std::string& strFolder) const = 0;

    // The Windows path of a host folder, for a program's own folder (App.Path):
    // on the table drive that holds it, else on a letter reserved for it that
    // Drives() never lists (so no run backs it up) but every lookup and write
    // resolves. The same folder always gets the same path. Not thread-safe:
    // no other thread may use the object meanwhile (the error report calls
    // it for the user's state folder from the thread that runs the windows).
    virtual std::string AppPathOf(const std::filesystem::path& hostFolder) {
        (void)hostFolder;
        throw RtError(rt::kDeviceUnavailable);
    }

    // Platform layer and tests only.
    virtual std::optional<std::filesystem::path> HostPathOf(const std::string& strPath) const = 0;
    virtual void SetFaultHook(FaultHook hook) = 0;
};

// The folder strFolder ("E:\Backup", a trailing backslash allowed), or the
// nearest folder above it that exists, down to the drive's root ("E:\"):
// where a folder still to be made would be made.
std::string strNearestFolder(const FileSystem& objFileSys, std::string strFolder);

// The file system of the process, for code that is handed none (the tools
// library's file helpers and settings-file reader). Made from the drive table
// of the environment on first use unless a program installed its own.
FileSystem& ProcessFileSystem();
std::shared_ptr<FileSystem> InstallProcessFileSystem(std::shared_ptr<FileSystem> objFileSys);

}  // namespace platform::fs
