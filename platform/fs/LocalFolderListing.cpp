#include "platform/fs/LocalFolderListing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/FileWriter.h"
#include "platform/fs/HostNames.h"

namespace platform::fs {

namespace {

int OpenFolder(const std::string& strHost) {
    return open(strHost.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

LocalFolderListing::LocalFolderListing(std::shared_ptr<LocalFileSystem> objFileSys, Location loc)
    : mobjFileSys(std::move(objFileSys)), mloc(std::move(loc)) {
    mfd = OpenFolder(mloc.strHost);
    if (mfd < 0) {
        mErr = RtError::FromErrno(errno, true);
        return;
    }
    try {
        mEntries = PathResolver::ReadEntriesAt(mfd);
    } catch (const RtError& e) {
        mErr = e;
        CloseFolder();
        return;
    }
    for (const HostEntry& e : mEntries) {
        if (e.kind == EntryKind::Folder) {
            CloseFolder();
            return;
        }
    }
}

LocalFolderListing::~LocalFolderListing() {
    CloseFolder();
}

void LocalFolderListing::CloseFolder() const {
    if (mfd >= 0) close(mfd);
    mfd = -1;
}

std::vector<FolderPtr> LocalFolderListing::SubFolders() const {
    mobjFileSys->Fault(FsOp::ListFolders, mloc.win);
    if (mErr) throw *mErr;
    std::vector<FolderPtr> folders;
    for (const HostEntry& e : mEntries)
        if (e.kind == EntryKind::Folder)
            folders.push_back(mobjFileSys->FolderAt(LocalFileSystem::ChildOf(mloc, e.strHostName)));
    return folders;
}

std::vector<FilePtr> LocalFolderListing::Files() const {
    mobjFileSys->Fault(FsOp::ListFiles, mloc.win);
    if (mErr) throw *mErr;
    const std::vector<HostEntry>* pEntries = &mEntries;
    std::vector<HostEntry> again;
    if (mfd < 0) {
        mfd = OpenFolder(mloc.strHost);
        if (mfd < 0) throw RtError::FromErrno(errno, true);
        try {
            again = PathResolver::ReadEntriesAt(mfd);
        } catch (...) {
            CloseFolder();
            throw;
        }
        pEntries = &again;
    }
    std::vector<FilePtr> files;
    for (const HostEntry& e : *pEntries)
        if (e.kind == EntryKind::File)
            files.push_back(LocalFileSystem::ListedFileIn(mobjFileSys, mfd, mloc, e));
    CloseFolder();
    return files;
}

const HostEntry* LocalFolderListing::FindFile(const std::string& strName) const {
    const std::string strExact = HostNames::ToHostName(strName);
    for (const HostEntry& e : mEntries)
        if (e.kind == EntryKind::File && e.strHostName == strExact) return &e;
    const std::string strFolded = HostNames::Fold(strName);
    for (const HostEntry& e : mEntries)
        if (e.kind == EntryKind::File && HostNames::HostNameFoldsTo(e.strHostName, strFolded))
            return &e;
    return nullptr;
}

std::optional<std::string> LocalFolderListing::TryReadFile(const std::string& strName,
                                                           std::optional<RtError>& err) const {
    // A folder that cannot be listed may still let a known name be opened.
    if (mErr) return mobjFileSys->TryReadFile(mloc.win.Child(strName).ToString(), err);
    const HostEntry* pFound = FindFile(strName);
    if (!pFound) {
        err.emplace(rt::kFileNotFound);
        return std::nullopt;
    }
    const Location loc = LocalFileSystem::ChildOf(mloc, pFound->strHostName);
    try {
        mobjFileSys->Fault(FsOp::OpenForRead, loc.win);
        return FileWriter::ReadAll(loc.strHost);
    } catch (const RtError& e) {
        err.emplace(e);
        return std::nullopt;
    }
}

}  // namespace platform::fs
