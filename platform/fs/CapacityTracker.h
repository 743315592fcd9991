// The bytes in use on a drive with a simulated medium size. The layer's own
// writes and deletes keep the count current, so a free-space query costs one
// stat of the root; the tree is scanned only on first use and whenever the
// medium changed (the drive's folder was replaced: another device or inode).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <mutex>

namespace platform::fs {

class CapacityTracker {
  public:
    CapacityTracker(std::filesystem::path root, uint64_t capacity);

    uint64_t Capacity() const { return mcapacity; }
    // Bytes used now; scans when the medium is new to the tracker.
    uint64_t Used();
    uint64_t Available() {
        const uint64_t used = Used();
        return used >= mcapacity ? 0 : mcapacity - used;
    }
    bool Fits(uint64_t bytes) { return bytes <= Available(); }
    // The medium was taken out: whatever comes back is scanned again.
    void Forget();
    // The layer's own writes (+) and deletes (-).
    void Add(uint64_t bytes);
    void Remove(uint64_t bytes);

    // Sum of the sizes of the regular files below a folder, links not followed.
    static uint64_t TreeBytes(const std::filesystem::path& folder);

  private:
    void SyncMedium();
    bool Counted() const;

    std::filesystem::path mroot;
    uint64_t mcapacity;
    std::mutex mmutex;
    bool mblnKnown = false;
    dev_t mdev = 0;
    ino_t mino = 0;
    uint64_t mused = 0;
};

}  // namespace platform::fs
