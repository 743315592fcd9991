// A drive's free space for a run that asks before every copy. The file
// system is asked again once the answer is 100 ms old, once what this
// process wrote since brings it within 1 GiB of running out, and after
// anything that frees space; in between, the last answer less what this
// process wrote since is as good, and costs no system call. A medium taken
// out is therefore noticed by the next copy rather than by a query made
// within 100 ms of the last one.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/fs/FileSystem.h"

namespace platform::fs {

class SpaceEstimate {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kMaxAge{100};
    static constexpr uint64_t kFreshMargin = uint64_t{1} << 30;

    // fnAsk asks the file system; it may throw, and nothing is kept then.
    DiskSpace Get(const std::function<DiskSpace()>& fnAsk, Clock::time_point now = Clock::now());
    // bytes were written to the drive (whole blocks are counted).
    void Written(uint64_t bytes);
    // Space may have come free, or the medium may have changed.
    void Forget();

  private:
    std::mutex mmutex;
    std::optional<DiskSpace> mlast;
    Clock::time_point mat;
    uint64_t mlngWritten = 0;
};

}  // namespace platform::fs
