// A backup first empties its destination. A destination whose host folder
// is, or holds, the folder of a drive to be saved would erase that drive,
// however it is spelt: through another letter, a link or "..".
#pragma once

#include <string>
#include <vector>

#include "SaveCoreExport.h"
#include "platform/fs/FileSystem.h"

namespace savecore {

class SAVECORE_API DestinationGuard {
  public:
    // The first drive of colDrives ("C:") whose root folder strDest is or
    // holds; "" when there is none.
    static std::string strHeldDrive(const platform::fs::FileSystem& objFileSys,
                                    const std::string& strDest,
                                    const std::vector<platform::fs::DrivePtr>& colDrives);
    // What the user is told when strDest holds drive strDrive.
    static std::string strRefusal(const std::string& strDest, const std::string& strDrive);
};

}  // namespace savecore
