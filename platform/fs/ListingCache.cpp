#include "platform/fs/ListingCache.h"

#include <sys/stat.h>

#include "platform/fs/HostNames.h"
#include "platform/fs/PathResolver.h"

namespace platform::fs {

namespace {

constexpr std::size_t kMaxFolders = 64;
constexpr std::size_t kMaxEntries = 4096;  // bigger folders are read each time
// Entries of all kept listings together, about 10 MB; also the most one
// listing this process fills may reach.
constexpr std::size_t kMaxKept = 65536;
constexpr long long kSettledNs = 50'000'000;  // well above any file system's tick
constexpr long long kTickNs = 10'000'000;     // a file system's coarsest time step

long long Ns(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::string FoldedName(const HostEntry& e) {
    return HostNames::Fold(HostNames::ToWindowsName(e.strHostName));
}

}  // namespace

ListingCache& ListingCache::Instance() {
    static ListingCache objCache;
    return objCache;
}

ListingCache::Kept* ListingCache::Valid(const std::string& strHostDir, const struct stat& st) {
    auto it = mKept.find(strHostDir);
    if (it == mKept.end()) return nullptr;
    Kept& kept = it->second;
    const bool blnSameFolder = kept.dev == st.st_dev && kept.ino == st.st_ino;
    if (blnSameFolder && kept.blnAdded && Ns(st.st_mtim) >= Ns(kept.mtime) &&
        Ns(st.st_mtim) <= kept.lngAddedNs + kTickNs) {
        kept.mtime = st.st_mtim;  // the time this process's own additions gave it
        kept.blnAdded = false;
    }
    if (blnSameFolder && SameTime(kept.mtime, st.st_mtim)) {
        mAge.splice(mAge.begin(), mAge, kept.itAge);
        return &kept;
    }
    Drop(it);
    return nullptr;
}

std::shared_ptr<const ListingCache::Entries> ListingCache::Get(const std::string& strHostDir,
                                                               Reader fnRead,
                                                               const struct stat* pKnown) {
    struct stat st;
    if (pKnown)
        st = *pKnown;
    else if (stat(strHostDir.c_str(), &st) != 0)
        return std::make_shared<Entries>(fnRead(strHostDir));
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (const Kept* kept = Valid(strHostDir, st)) return kept->entries;
    }
    // Made mutable, so that Added may grow it in place.
    std::shared_ptr<const Entries> entries = std::make_shared<Entries>(fnRead(strHostDir));
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (entries->size() <= kMaxEntries && Ns(now) - Ns(st.st_mtim) > kSettledNs) {
        std::lock_guard<std::mutex> lock(mMutex);
        Keep(strHostDir, {st.st_dev, st.st_ino, st.st_mtim, entries, {}, false, false, 0, {}});
    }
    return entries;
}

ListingCache::Entries ListingCache::Matching(const std::string& strHostDir,
                                             const std::string& strFolded, Reader fnRead,
                                             const struct stat* pKnown) {
    struct stat st;
    const bool blnStat = pKnown ? (st = *pKnown, true) : stat(strHostDir.c_str(), &st) == 0;
    Entries matches;
    if (blnStat) {
        std::lock_guard<std::mutex> lock(mMutex);
        if (Kept* kept = Valid(strHostDir, st)) {
            if (!kept->blnIndexed) {
                for (std::size_t i = 0; i < kept->entries->size(); ++i)
                    kept->byFold[FoldedName((*kept->entries)[i])].push_back(i);
                kept->blnIndexed = true;
            }
            const auto it = kept->byFold.find(strFolded);
            if (it != kept->byFold.end())
                for (const std::size_t i : it->second) matches.push_back((*kept->entries)[i]);
            return matches;
        }
    }
    const auto entries = Get(strHostDir, fnRead, blnStat ? &st : nullptr);
    for (const HostEntry& e : *entries)
        if (FoldedName(e) == strFolded) matches.push_back(e);
    return matches;
}

void ListingCache::Made(const std::string& strHostDir, const struct stat& st) {
    std::lock_guard<std::mutex> lock(mMutex);
    Valid(strHostDir, st);  // forgets what a folder of that name held before
    Keep(strHostDir,
         {st.st_dev, st.st_ino, st.st_mtim, std::make_shared<Entries>(), {}, true, false, 0, {}});
}

void ListingCache::Added(const std::string& strHostDir, const HostEntry& entry) {
    // No system call here: a copy adds a name to its folder each time.
    timespec now;
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mKept.find(strHostDir);
    if (it == mKept.end()) return;
    Kept& kept = it->second;
    if (kept.entries->size() >= kMaxKept) {
        Drop(it);
        return;
    }
    // A listing nobody else holds grows in place; one still being read by a
    // caller is copied, so that caller's view stays as it was.
    if (kept.entries.use_count() == 1)
        const_cast<Entries&>(*kept.entries).push_back(entry);
    else {
        auto grown = std::make_shared<Entries>(*kept.entries);
        grown->push_back(entry);
        kept.entries = std::move(grown);
    }
    if (kept.blnIndexed) kept.byFold[FoldedName(entry)].push_back(kept.entries->size() - 1);
    kept.blnAdded = true;
    kept.lngAddedNs = Ns(now);
    ++mlngEntries;
    mAge.splice(mAge.begin(), mAge, kept.itAge);
    Trim();
}

void ListingCache::Forget(const std::string& strHostDir) {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mKept.find(strHostDir);
    if (it != mKept.end()) Drop(it);
}

void ListingCache::ForgetBelow(const std::string& strHostRoot) {
    const std::string strPrefix = strHostRoot == "/" ? "/" : strHostRoot + "/";
    std::lock_guard<std::mutex> lock(mMutex);
    for (auto it = mKept.begin(); it != mKept.end();) {
        const auto itNext = std::next(it);
        if (it->first == strHostRoot || it->first.rfind(strPrefix, 0) == 0) Drop(it);
        it = itNext;
    }
}

void ListingCache::Keep(const std::string& strHostDir, Kept kept) {
    if (mKept.count(strHostDir)) return;
    mAge.push_front(strHostDir);
    kept.itAge = mAge.begin();
    mlngEntries += kept.entries->size();
    mKept.emplace(strHostDir, std::move(kept));
    Trim();
}

void ListingCache::Drop(std::unordered_map<std::string, Kept>::iterator it) {
    mlngEntries -= it->second.entries->size();
    mAge.erase(it->second.itAge);
    mKept.erase(it);
}

// The least recently used go first; the most recent one always stays.
void ListingCache::Trim() {
    while (mKept.size() > 1 && (mKept.size() > kMaxFolders || mlngEntries > kMaxKept))
        Drop(mKept.find(mAge.back()));
}

}  // namespace platform::fs
