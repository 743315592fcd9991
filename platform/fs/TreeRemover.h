// Deletes files and folder trees as the object model's Delete does: a
// read-only file or folder without force is "Permission denied" (70).
// Folders are opened without following links, so a link inside the tree is
// removed itself and whatever it points to stays untouched.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace platform::fs {

class TreeRemover {
  public:
    // Called with each Windows path before it is deleted; may throw.
    using BeforeDelete = std::function<void(const std::string& strWinPath)>;

    TreeRemover(bool blnForce, BeforeDelete before)
        : mblnForce(blnForce), mbefore(std::move(before)) {}

    void RemoveFile(const std::string& strHostPath, const std::string& strWinPath);
    void RemoveFolder(const std::string& strHostPath, const std::string& strWinPath);
    // Bytes of regular files removed so far, also after a failure part-way.
    uint64_t Freed() const { return mfreed; }

  private:
    // Opens the folder strName of dirFd (AT_FDCWD: a path), already checked,
    // empties it and removes it.
    void RemoveTree(int dirFd, const std::string& strName, mode_t mode,
                    const std::string& strWinPath);
    void RemoveContents(int dirFd, const std::string& strWinPath);
    void RemoveEntry(int dirFd, const std::string& strName, const std::string& strWinPath);

    bool mblnForce;
    BeforeDelete mbefore;
    uint64_t mfreed = 0;
};

}  // namespace platform::fs
