#include "platform/fs/FileSystem.h"

#include <mutex>

#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

namespace {

std::mutex gProcessMutex;
std::shared_ptr<FileSystem> gProcessFileSystem;

}  // namespace

std::shared_ptr<FileSystem> FileSystem::Create() {
    return Create(DriveTable::FromEnvironment());
}

std::shared_ptr<FileSystem> FileSystem::Create(DriveTable table) {
    return std::make_shared<LocalFileSystem>(std::move(table));
}

FileSystem& ProcessFileSystem() {
    std::lock_guard lock(gProcessMutex);
    if (!gProcessFileSystem) gProcessFileSystem = FileSystem::Create();
    return *gProcessFileSystem;
}

std::shared_ptr<FileSystem> InstallProcessFileSystem(std::shared_ptr<FileSystem> objFileSys) {
    std::lock_guard lock(gProcessMutex);
    std::swap(gProcessFileSystem, objFileSys);
    return objFileSys;
}

std::optional<std::string> FileSystem::TryReadFile(const std::string& strPath,
                                                   std::optional<RtError>& err) const {
    try {
        return ReadFile(strPath);
    } catch (const RtError& e) {
        err.emplace(e);
        return std::nullopt;
    }
}

std::string strNearestFolder(const FileSystem& objFileSys, std::string strFolder) {
    if (strFolder.size() > 3 && strFolder.back() == '\\') strFolder.pop_back();
    while (strFolder.size() > 3 && !objFileSys.FolderExists(strFolder)) {
        const std::size_t ix = strFolder.rfind('\\');
        if (ix == std::string::npos || ix < 3) return strFolder.substr(0, 2) + "\\";
        strFolder.erase(ix);
    }
    return strFolder;
}

}  // namespace platform::fs
