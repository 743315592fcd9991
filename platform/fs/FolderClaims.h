// The folders that runs of this process have claimed (FileSystem::ClaimFolder)
// and the check that a write below one of them passes through no symbolic
// link. A claim holds its folder open with an exclusive flock, which another
// process's claim of the same folder sees as well.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"

namespace platform::fs {

class FolderClaims : public std::enable_shared_from_this<FolderClaims> {
  public:
    // Claims the host folder strHost: 55 (File already open) when a claim
    // holds it, what opening it fails with otherwise.
    std::unique_ptr<FolderClaim> Claim(const std::string& strHost);

    // Fails with 75 when a name of strHostDir below a claimed folder is a
    // symbolic link, with what the lookup fails with when a name is missing.
    // Folders outside every claim pass unchecked.
    void CheckNoLinks(const std::string& strHostDir);
    // CheckNoLinks passed for strHostParent and strHostDir was made in it
    // (a folder, not a link): writes into it need no check of their own.
    void Made(const std::string& strHostParent, const std::string& strHostDir);
    // strHostPath is a claimed folder or lies below one.
    bool blnClaimed(const std::string& strHostPath) const;
    // Something below a claimed folder was deleted or replaced: check again.
    void Forget();

  private:
    friend class HeldClaim;
    struct Held {
        int lngId;
        std::string strHost;
        int fd;
        // The last folder below it found free of links, as were the
        // folders on the way to it.
        std::string strChecked;
    };

    void Release(int lngId);
    static bool blnChecked(const Held& held, const std::string& strRest);
    // The claim that strHostPath lies in (or none), and the rest of the
    // path below it. Lock held.
    std::optional<std::size_t> Holding(const std::string& strHostPath, std::string& strRest) const;

    mutable std::mutex mMutex;
    std::vector<Held> mHeld;
    int mlngNextId = 0;
};

}  // namespace platform::fs
