// Starts the write-back of what a run has copied while it goes on copying.
// The kernel would otherwise keep everything in memory until the flush at
// the end of the run, which then waits for all of it at once; a medium is
// also safer to pull out the less it has pending (Windows writes removable
// media through for the same reason). Syncs run on one thread of their own,
// one at a time; errors are left to the final flush, which reports them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::fs {

class WritebackAhead {
  public:
    // A sync is started after this much has been written to a file system.
    static constexpr uint64_t kBytesPerSync = uint64_t{8} << 20;
    static constexpr uint32_t kFilesPerSync = 512;

    WritebackAhead() = default;
    ~WritebackAhead();
    WritebackAhead(const WritebackAhead&) = delete;
    WritebackAhead& operator=(const WritebackAhead&) = delete;

    // bytes were written into a file under strHostRoot (a drive's folder).
    void Written(const std::string& strHostRoot, uint64_t bytes);
    // Syncs started so far (asked by the tests).
    uint64_t SyncsStarted() const;

  private:
    struct Pending {
        std::string strRoot;
        uint64_t bytes = 0;
        uint32_t files = 0;
    };
    void Run();

    mutable std::mutex mmutex;
    std::condition_variable mwake;
    std::vector<Pending> mcounts;   // what each root has written since its last sync
    std::vector<std::string> mdue;  // roots waiting for the thread
    uint64_t mlngSyncs = 0;
    bool mblnStop = false;
    std::thread mthread;  // started on the first sync
};

}  // namespace platform::fs
