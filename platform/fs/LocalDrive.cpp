#include "platform/fs/LocalDrive.h"

#include "platform/fs/LocalFileSystem.h"

namespace platform::fs {

std::string LocalDrive::DriveLetter() const {
    return std::string(1, mobjFileSys->Spec(mlngDrive).chLetter);
}

std::string LocalDrive::Path() const {
    return DriveLetter() + ":";
}

int32_t LocalDrive::DriveType() const {
    return mobjFileSys->Spec(mlngDrive).lngType;
}

bool LocalDrive::IsReady() const {
    return mobjFileSys->DriveReady(mlngDrive);
}

std::string LocalDrive::VolumeName() const {
    return mobjFileSys->Spec(mlngDrive).strVolumeName;
}

std::string LocalDrive::ShareName() const {
    return mobjFileSys->Spec(mlngDrive).strShareName;
}

FolderPtr LocalDrive::RootFolder() const {
    return mobjFileSys->GetFolder(Path() + "\\");
}

DiskSpace LocalDrive::Space() const {
    return mobjFileSys->DriveSpace(mlngDrive);
}

}  // namespace platform::fs
