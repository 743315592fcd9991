#include "DestinationGuard.h"

namespace savecore {

std::string DestinationGuard::strHeldDrive(const platform::fs::FileSystem& objFileSys,
                                           const std::string& strDest,
                                           const std::vector<platform::fs::DrivePtr>& colDrives) {
    for (const auto& objDrive : colDrives) {
        const std::string strDrive = objDrive->Path();
        if (objFileSys.FolderHolds(strDest, strDrive + "\\")) return strDrive;
    }
    return "";
}

std::string DestinationGuard::strRefusal(const std::string& strDest, const std::string& strDrive) {
    return "Backup destination \"" + strDest + "\" holds the files of drive " + strDrive +
           ". A backup there would erase the files it is meant to save.";
}

}  // namespace savecore
