// Finds the mounted file systems that get a drive letter of their own in
// the default drive table: removable media, optical discs and network
// shares. Everything else (the root file system, pseudo and virtual file
// systems, bind mounts of the system) is left to C:.
#pragma once

#include <string>
#include <vector>

#include "platform/fs/DriveTable.h"

namespace platform::fs {

class MountTable {
  public:
    // strMounts is the text of /proc/self/mounts. The specs come back in
    // mount-table order with chLetter unset ('\0').
    static std::vector<DriveSpec> MediaDrives(const std::string& strMounts);

    // The kind of one mount, kDriveUnknown (0) for one that gets no letter.
    static int KindOf(const std::string& strSource, const std::string& strMountPoint,
                      const std::string& strFsType);
};

}  // namespace platform::fs
