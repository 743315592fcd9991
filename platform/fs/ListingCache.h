// The entries of recently listed folders, so that one walk reads a folder
// once although it looks up its instruction file, lists its subfolders and
// lists its files. An entry is used only while the folder's modification
// time is what it was, and a listing is kept only when that time lay clearly
// in the past when it was read: a change within the same clock tick would
// otherwise leave the time unchanged and the listing stale.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::fs {

struct HostEntry;

class ListingCache {
  public:
    using Entries = std::vector<HostEntry>;
    using Reader = Entries (*)(const std::string& strHostDir);

    // The folder's entries, read with fnRead when no valid copy is kept.
    // pKnown is a stat of the folder the caller made a moment ago.
    std::shared_ptr<const Entries> Get(const std::string& strHostDir, Reader fnRead,
                                       const struct stat* pKnown = nullptr);

    static ListingCache& Instance();

  private:
    struct Kept {
        dev_t dev;
        ino_t ino;
        timespec mtime;
        std::shared_ptr<const Entries> entries;
        std::list<std::string>::iterator itAge;
    };

    void Keep(const std::string& strHostDir, const Kept& kept);

    std::mutex mMutex;
    std::unordered_map<std::string, Kept> mKept;
    std::list<std::string> mAge;  // most recently used first
};

}  // namespace platform::fs
