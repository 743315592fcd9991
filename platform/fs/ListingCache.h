// The entries of recently listed folders, so that one walk reads a folder
// once although it looks up its instruction file, lists its subfolders and
// lists its files. An entry is used only while the folder's modification
// time is what it was, and a listing read from disk is kept only when that
// time lay clearly in the past when it was read: a change within the same
// clock tick would otherwise leave the time unchanged and the listing stale.
//
// Folders this process fills itself (a backup's destination) are the
// exception: a folder it has just made starts as a known empty listing, and
// every entry it then adds is added to the kept listing with the folder's
// new time. Filling a folder with many subfolders thus never reads it again
// per subfolder. What another program adds to such a folder while this one
// is adding to it can go unseen until the folder's time moves on.
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
    // The entries whose Windows name folds to strFolded, in listing order:
    // from an index when the listing is kept, so a search costs the same in
    // a folder of ten entries and of ten thousand.
    Entries Matching(const std::string& strHostDir, const std::string& strFolded, Reader fnRead,
                     const struct stat* pKnown = nullptr);

    // This process made the folder strHostDir, empty, a moment ago; st is
    // its stat since.
    void Made(const std::string& strHostDir, const struct stat& st);
    // This process added entry to strHostDir a moment ago (a new name only).
    void Added(const std::string& strHostDir, const HostEntry& entry);
    // This process changed strHostDir otherwise: removed or replaced an entry.
    void Forget(const std::string& strHostDir);
    // Everything kept of strHostRoot and the folders below it.
    void ForgetBelow(const std::string& strHostRoot);

    static ListingCache& Instance();

  private:
    struct Kept {
        dev_t dev;
        ino_t ino;
        timespec mtime;
        std::shared_ptr<const Entries> entries;
        // Folded Windows name -> positions in entries, built on first use.
        std::unordered_map<std::string, std::vector<std::size_t>> byFold;
        bool blnIndexed = false;
        // Entries were added since mtime was read; the folder's next time is
        // taken as that change's own if it is no later than lngAddedNs allows.
        bool blnAdded = false;
        long long lngAddedNs = 0;
        std::list<std::string>::iterator itAge;
    };

    // The valid kept listing of the folder whose stat is st, made the most
    // recently used; nullptr (and forgotten) when it is stale. Lock held.
    Kept* Valid(const std::string& strHostDir, const struct stat& st);
    // Lock held for these.
    void Keep(const std::string& strHostDir, Kept kept);
    void Drop(std::unordered_map<std::string, Kept>::iterator it);
    void Trim();  // to the most folders and entries kept

    std::mutex mMutex;
    std::unordered_map<std::string, Kept> mKept;
    std::list<std::string> mAge;  // most recently used first
    std::size_t mlngEntries = 0;  // in all kept listings
};

}  // namespace platform::fs
