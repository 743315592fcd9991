#include "platform/fs/WritebackAhead.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace platform::fs {

WritebackAhead::~WritebackAhead() {
    {
        std::lock_guard lock(mmutex);
        mblnStop = true;
    }
    mwake.notify_all();
    if (mthread.joinable()) mthread.join();
}

void WritebackAhead::Written(const std::string& strHostRoot, uint64_t bytes) {
    std::lock_guard lock(mmutex);
    auto it = std::find_if(mcounts.begin(), mcounts.end(),
                           [&](const Pending& p) { return p.strRoot == strHostRoot; });
    if (it == mcounts.end()) it = mcounts.insert(mcounts.end(), Pending{strHostRoot});
    it->bytes += bytes;
    ++it->files;
    if (it->bytes < kBytesPerSync && it->files < kFilesPerSync) return;
    it->bytes = 0;
    it->files = 0;
    // A root already waiting is synced once: the sync covers everything.
    if (std::find(mdue.begin(), mdue.end(), strHostRoot) != mdue.end()) return;
    mdue.push_back(strHostRoot);
    ++mlngSyncs;
    if (!mthread.joinable()) mthread = std::thread([this] { Run(); });
    mwake.notify_one();
}

uint64_t WritebackAhead::SyncsStarted() const {
    std::lock_guard lock(mmutex);
    return mlngSyncs;
}

void WritebackAhead::Run() {
    std::unique_lock lock(mmutex);
    for (;;) {
        mwake.wait(lock, [this] { return mblnStop || !mdue.empty(); });
        if (mblnStop) return;
        const std::string strRoot = mdue.front();
        mdue.erase(mdue.begin());
        lock.unlock();
        // A medium taken out meanwhile just fails to open.
        const int fd = open(strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            syncfs(fd);
            close(fd);
        }
        lock.lock();
    }
}

}  // namespace platform::fs
