#include "platform/fs/SpaceEstimate.h"

#include <algorithm>

namespace platform::fs {

namespace {
constexpr uint64_t kBlock = 4096;  // what a small file takes at least
}  // namespace

DiskSpace SpaceEstimate::Get(const std::function<DiskSpace()>& fnAsk, Clock::time_point now) {
    {
        std::lock_guard lock(mmutex);
        if (mlast && now - mat < kMaxAge && mlast->available >= mlngWritten + kFreshMargin) {
            DiskSpace space = *mlast;
            space.available -= mlngWritten;
            space.free -= std::min(space.free, mlngWritten);
            return space;
        }
    }
    const DiskSpace space = fnAsk();
    std::lock_guard lock(mmutex);
    mlast = space;
    mat = now;
    mlngWritten = 0;
    return space;
}

void SpaceEstimate::Written(uint64_t bytes) {
    std::lock_guard lock(mmutex);
    mlngWritten += (std::max<uint64_t>(bytes, 1) + kBlock - 1) / kBlock * kBlock;
}

void SpaceEstimate::Forget() {
    std::lock_guard lock(mmutex);
    mlast.reset();
}

}  // namespace platform::fs
