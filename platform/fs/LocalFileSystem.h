// The file-system object model over the Linux file system: every drive
// letter of the drive table is a host folder. The drive, folder and file
// handles hold this object and a Location, and call back into it.
// Its members are defined in one source per responsibility (README.md).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/CapacityTracker.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/FolderClaims.h"
#include "platform/fs/PathResolver.h"
#include "platform/fs/SpaceEstimate.h"
#include "platform/fs/WinPath.h"
#include "platform/fs/WritebackAhead.h"

namespace platform::fs {

struct DriveState {
    DriveSpec driveSpec;
    std::string strRoot;                       // host folder, no trailing slash
    std::unique_ptr<CapacityTracker> tracker;  // only for a simulated capacity
    bool blnReserved = false;                  // a program's folder, not in Drives()
    std::unique_ptr<SpaceEstimate> space = std::make_unique<SpaceEstimate>();
};

// Where one object of the model lives: its drive, Windows and host path.
struct Location {
    std::size_t lngDrive = 0;
    WinPath win;
    std::string strHost;
};

// What a folder's listing read of one of its files.
struct ListedFile {
    uint64_t lngSize = 0;
    timespec mtime{};
    bool blnLink = false;  // a symbolic link to a file; size and time are its target's
};

// A folder or file about to be made, and the folder it goes in.
struct NewEntry {
    Location parent;
    std::string strHostName;
    Location loc;
};

struct HostEntry;

class LocalFileSystem final : public FileSystem,
                              public std::enable_shared_from_this<LocalFileSystem> {
  public:
    explicit LocalFileSystem(DriveTable table);

    std::vector<DrivePtr> Drives() const override;
    bool DriveExists(const std::string& strDriveSpec) const override;
    DrivePtr GetDrive(const std::string& strDriveSpec) const override;
    bool FolderExists(const std::string& strPath) const override;
    bool FileExists(const std::string& strPath) const override;
    bool FolderWritable(const std::string& strPath) const override;
    FolderPtr GetFolder(const std::string& strPath) const override;
    FilePtr GetFile(const std::string& strPath) const override;
    FolderPtr CreateFolder(const std::string& strPath) override;
    void DeleteFile(const std::string& strPath, bool blnForce) override;
    void DeleteFolder(const std::string& strPath, bool blnForce) override;
    void CopyFile(const std::string& strSource, const std::string& strDestination,
                  bool blnOverwrite) override;
    uint64_t FileLen(const std::string& strPath) const override;
    std::vector<std::string> Dir(const std::string& strPattern,
                                 int32_t lngAttributes) const override;
    std::string ReadFile(const std::string& strPath) const override;
    std::optional<std::string> TryReadFile(const std::string& strPath,
                                           std::optional<RtError>& err) const override;
    void WriteFileReplacing(const std::string& strPath, const std::string& strData) override;
    void CreateEmptyFile(const std::string& strPath) override;
    std::unique_ptr<FolderClaim> ClaimFolder(const std::string& strPath) override;
    bool LinkExists(const std::string& strPath) const override;
    void CopyFolderStamp(const Folder& objSource, const Folder& objTarget, bool blnBits,
                         bool blnTime) override;
    DiskSpace GetDiskFreeSpace(const std::string& strRoot) const override;
    void FlushDrive(const std::string& strDriveSpec) override;
    bool FolderHolds(const std::string& strOuter, const std::string& strInner) const override;
    std::vector<std::string> FolderPaths(const std::string& strFolder) const override;
    void ForgetMedium(const std::string& strDriveSpec) override;
    std::string AppPathOf(const std::filesystem::path& hostFolder) override;
    std::optional<std::filesystem::path> HostPathOf(const std::string& strPath) const override;
    void SetFaultHook(FaultHook hook) override;
    // Background syncs started so far (see WritebackAhead).
    uint64_t WritebackSyncs() const { return mwriteback.SyncsStarted(); }

    // For the handles.
    void Fault(FsOp op, const WinPath& path) const {
        if (mhook) mhook(op, path.ToString());
    }
    const DriveSpec& Spec(std::size_t lngDrive) const { return mdrives[lngDrive].driveSpec; }
    bool DriveReady(std::size_t lngDrive) const;
    DiskSpace DriveSpace(std::size_t lngDrive) const;
    DiskSpace HostSpace(std::size_t lngDrive) const;  // asks the file system
    DrivePtr DriveAt(std::size_t lngDrive) const;
    FolderPtr FolderAt(Location loc) const;
    FilePtr FileAt(Location loc) const;
    Location ParentOf(const Location& loc) const;
    std::vector<FolderPtr> SubFoldersOf(const Location& loc) const;
    std::vector<FilePtr> FilesOf(const Location& loc) const;
    std::unique_ptr<FolderListing> ListingOf(const Location& loc) const;
    // Where the entry strHostName of the folder loc is.
    static Location ChildOf(const Location& loc, const std::string& strHostName);
    // The file entry e of the folder loc, open as dirFd, with its size and
    // time from one statx; one that is gone or no longer a regular file
    // is still handed out, and fails as any vanished file when asked.
    static FilePtr ListedFileIn(const std::shared_ptr<LocalFileSystem>& objFileSys, int dirFd,
                                const Location& loc, const HostEntry& e);
    std::vector<FilePtr> OtherEntriesOf(const Location& loc) const;
    bool IsLinkAt(const Location& loc) const;
    void CheckClaimedEntry(const Location& loc) const;  // 75
    // Where a folder handle points; a handle of this layer knows it already.
    Location LocationOf(const Folder& objFolder) const;
    // stat of the object after the Stat fault hook; 53 (76 for a folder).
    struct stat StatOf(const Location& loc, bool blnFolder) const;
    int32_t AttributesOf(const Location& loc, bool blnFolder) const;
    void SetAttributesAt(const Location& loc, int32_t lngAttributes);
    void CopyFileAt(const Location& source, const std::string& strDestination, bool blnOverwrite);
    void DeleteFileAt(const Location& loc, bool blnForce);
    void DeleteFolderAt(const Location& loc, bool blnForce);
    void RemoveCounted(const Location& loc, bool blnForce, bool blnFolder);

  private:
    std::shared_ptr<LocalFileSystem> Self() const;
    std::optional<std::size_t> DriveIndex(char chLetter) const;
    std::optional<std::size_t> DriveIndexOfSpec(const std::string& strDriveSpec) const;
    // The real host folder of a Windows path (see HostFolder::Real); none
    // for a letter that is not in the table.
    std::optional<std::string> RealFolderOf(const std::string& strPath) const;
    std::size_t DriveOfSpec(const std::string& strDriveSpec) const;  // 68, 71
    std::size_t ReadyDriveOf(const WinPath& path) const;             // 76, 71
    void CheckWritable(std::size_t lngDrive) const;                  // 70
    // pParentFound: see PathResolver::Resolve.
    std::optional<Location> Find(const WinPath& path, EntryKind kind,
                                 bool* pParentFound = nullptr) const;
    // Find without the errors of a path that cannot be looked up.
    bool Exists(const std::string& strPath, EntryKind kind) const;
    // Require without the exception for a missing entry: none, with the
    // number Require raises in lngMissing (a drive not ready still throws).
    std::optional<Location> Lookup(const WinPath& path, EntryKind kind, int32_t& lngMissing) const;
    Location Require(const std::string& strPath, EntryKind kind) const;
    // The existing parent folder of a new entry (76), on a writable drive (70).
    Location ParentForCreate(const WinPath& path) const;
    // Where the new entry strPath goes: a parent as ParentForCreate finds
    // it, with nothing of that name in it yet (58); the Create fault is
    // asked and the way to it checked for links.
    NewEntry PlaceForNew(const std::string& strPath) const;
    // Tells the free space and the kept listing of the new empty entry.
    void CountNew(const NewEntry& entry, EntryKind kind);
    // Where the parent of path is if its names are the host's exactly; none
    // for a root, a read-only drive or a simulated medium. Asks nothing of
    // the file system.
    std::optional<Location> ExactParentOf(const WinPath& path) const;
    // The copy itself, once the target folder is known; pPublishReached is
    // set when it got as far as taking the name.
    void CopyInto(const Location& source, const Location& parent, const std::string& strHostName,
                  bool blnOverwrite, bool* pPublishReached = nullptr);

    std::vector<DriveState> mdrives;
    FaultHook mhook;
    std::shared_ptr<FolderClaims> mclaims = std::make_shared<FolderClaims>();
    // Last, so its thread stops before anything it could look at goes.
    WritebackAhead mwriteback;
};

}  // namespace platform::fs
