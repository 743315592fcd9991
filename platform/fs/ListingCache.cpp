#include "platform/fs/ListingCache.h"

#include <sys/stat.h>

#include "platform/fs/PathResolver.h"

namespace platform::fs {

namespace {

constexpr std::size_t kMaxFolders = 64;
constexpr std::size_t kMaxEntries = 4096;     // bigger folders are read each time
constexpr long long kSettledNs = 50'000'000;  // well above any file system's tick

long long Ns(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

ListingCache& ListingCache::Instance() {
    static ListingCache objCache;
    return objCache;
}

std::shared_ptr<const ListingCache::Entries> ListingCache::Get(const std::string& strHostDir,
                                                               Reader fnRead,
                                                               const struct stat* pKnown) {
    struct stat st;
    if (pKnown)
        st = *pKnown;
    else if (stat(strHostDir.c_str(), &st) != 0)
        return std::make_shared<const Entries>(fnRead(strHostDir));
    {
        std::lock_guard<std::mutex> lock(mMutex);
        auto it = mKept.find(strHostDir);
        if (it != mKept.end()) {
            if (it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
                SameTime(it->second.mtime, st.st_mtim)) {
                mAge.splice(mAge.begin(), mAge, it->second.itAge);
                return it->second.entries;
            }
            mAge.erase(it->second.itAge);
            mKept.erase(it);
        }
    }
    auto entries = std::make_shared<const Entries>(fnRead(strHostDir));
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (entries->size() <= kMaxEntries && Ns(now) - Ns(st.st_mtim) > kSettledNs)
        Keep(strHostDir, {st.st_dev, st.st_ino, st.st_mtim, entries, {}});
    return entries;
}

void ListingCache::Keep(const std::string& strHostDir, const Kept& kept) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mKept.count(strHostDir)) return;
    mAge.push_front(strHostDir);
    Kept k = kept;
    k.itAge = mAge.begin();
    mKept.emplace(strHostDir, k);
    while (mKept.size() > kMaxFolders) {
        mKept.erase(mAge.back());
        mAge.pop_back();
    }
}

}  // namespace platform::fs
