#include "TimedFileSystem.h"

#include "BenchClock.h"

namespace bench {

platform::fs::DiskSpace TimedFileSystem::GetDiskFreeSpace(const std::string& strRoot) const {
    ++mlngSpaceQueries;
    return mobjInner->GetDiskFreeSpace(strRoot);
}

void TimedFileSystem::FlushDrive(const std::string& strDriveSpec) {
    mdblFlushSeconds += BenchClock::Seconds([&] { mobjInner->FlushDrive(strDriveSpec); });
}

}  // namespace bench
