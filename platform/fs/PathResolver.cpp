#include "platform/fs/PathResolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/fs/HostNames.h"
#include "platform/fs/ListingCache.h"
#include "platform/fs/RtError.h"

namespace platform::fs {

namespace {

EntryKind KindOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return EntryKind::Folder;
    if (S_ISREG(mode)) return EntryKind::File;
    return EntryKind::Other;
}

// A listed entry with its kind; d_type spares a stat for plain entries.
HostEntry ListedEntry(int dirFd, const char* name, unsigned char dtype) {
    struct stat st;
    if (dtype == DT_DIR) return {name, EntryKind::Folder};
    if (dtype == DT_REG) return {name, EntryKind::File};
    if (dtype == DT_UNKNOWN) {
        if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return {name, EntryKind::Other};
        if (!S_ISLNK(st.st_mode)) return {name, KindOfMode(st.st_mode)};
    } else if (dtype != DT_LNK) {
        return {name, EntryKind::Other};
    }
    // Dangling links and loops are Other.
    const bool blnFile = fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode);
    return {name, blnFile ? EntryKind::File : EntryKind::Other, true};
}

}  // namespace

std::vector<HostEntry> PathResolver::ReadEntriesAt(int dirFd) {
    // getdents64 itself, not readdir: opendir would ask the folder's stat
    // once more, and a walk reads every folder.
    alignas(dirent64) char buf[32768];
    std::vector<HostEntry> entries;
    for (;;) {
        const ssize_t n = getdents64(dirFd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw RtError::FromErrno(errno, true);
        if (n == 0) return entries;
        for (ssize_t pos = 0; pos < n;) {
            const auto* e = reinterpret_cast<const dirent64*>(buf + pos);
            pos += e->d_reclen;
            if (!std::strcmp(e->d_name, ".") || !std::strcmp(e->d_name, "..")) continue;
            entries.push_back(ListedEntry(dirFd, e->d_name, e->d_type));
        }
    }
}

namespace {

// Every entry but . and .., with its kind (Other for what the object model
// does not show).
std::vector<HostEntry> ReadEntries(const std::string& strHostDir) {
    const int fd = open(strHostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw RtError::FromErrno(errno, true);
    try {
        std::vector<HostEntry> entries = PathResolver::ReadEntriesAt(fd);
        close(fd);
        return entries;
    } catch (...) {
        close(fd);
        throw;
    }
}

}  // namespace

std::shared_ptr<const std::vector<HostEntry>> PathResolver::AllEntries(
    const std::string& strHostDir, const struct stat* pKnown) {
    return ListingCache::Instance().Get(strHostDir, &ReadEntries, pKnown);
}

std::vector<HostEntry> PathResolver::List(const std::string& strHostDir, bool blnOthers) {
    std::vector<HostEntry> entries;
    const auto all = AllEntries(strHostDir);  // keeps the listing alive for the loop
    for (const HostEntry& e : *all)
        if ((e.kind == EntryKind::Folder || e.kind == EntryKind::File) != blnOthers)
            entries.push_back(e);
    return entries;
}

EntryKind PathResolver::KindOfPath(const std::string& strHostPath) {
    struct stat st;
    if (stat(strHostPath.c_str(), &st) != 0) return EntryKind::Missing;
    return KindOfMode(st.st_mode);
}

namespace {

// FindName for a caller that knows the kind of the exact name already. With
// pFoundKind it also tells the kind of the entry it returns.
std::optional<std::string> FindNameKnowing(const std::string& strHostDir,
                                           const std::string& strWinName, EntryKind prefer,
                                           EntryKind exactKind, EntryKind* pFoundKind,
                                           const struct stat* pDirStat = nullptr) {
    const std::string exact = HostNames::ToHostName(strWinName);
    if (pFoundKind) *pFoundKind = exactKind;
    if (exactKind != EntryKind::Missing && (exactKind == prefer || prefer == EntryKind::Missing))
        return exact;
    std::vector<HostEntry> matches;
    try {
        matches = ListingCache::Instance().Matching(strHostDir, HostNames::Fold(strWinName),
                                                    &ReadEntries, pDirStat);
    } catch (const RtError&) {
        return exactKind != EntryKind::Missing ? std::optional(exact) : std::nullopt;
    }
    std::optional<std::string> first;
    EntryKind firstKind = EntryKind::Missing;
    for (const HostEntry& e : matches) {
        const bool blnNeedKind = prefer != EntryKind::Missing || pFoundKind;
        const EntryKind kind =
            blnNeedKind ? PathResolver::KindOfPath(PathResolver::Join(strHostDir, e.strHostName))
                        : EntryKind::Missing;
        if (prefer == EntryKind::Missing || kind == prefer) {
            if (pFoundKind) *pFoundKind = kind;
            return e.strHostName;
        }
        if (!first) {
            first = e.strHostName;
            firstKind = kind;
        }
    }
    if (exactKind != EntryKind::Missing) return exact;
    if (pFoundKind) *pFoundKind = firstKind;
    return first;
}

}  // namespace

std::optional<std::string> PathResolver::FindName(const std::string& strHostDir,
                                                  const std::string& strWinName, EntryKind prefer) {
    const EntryKind exactKind = KindOfPath(Join(strHostDir, HostNames::ToHostName(strWinName)));
    return FindNameKnowing(strHostDir, strWinName, prefer, exactKind, nullptr);
}

std::optional<std::string> PathResolver::Resolve(const std::string& strRoot,
                                                 const std::vector<std::string>& names,
                                                 EntryKind finalPrefer, EntryKind* pFoundKind,
                                                 bool* pParentFound) {
    if (pParentFound) *pParentFound = false;
    std::string parentExact = strRoot;
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        parentExact = Join(parentExact, HostNames::ToHostName(names[i]));
    const std::string exact =
        names.empty() ? strRoot : Join(parentExact, HostNames::ToHostName(names.back()));
    const EntryKind kind = KindOfPath(exact);
    if (kind != EntryKind::Missing &&
        (names.empty() || finalPrefer == EntryKind::Missing || kind == finalPrefer)) {
        if (pFoundKind) *pFoundKind = kind;
        return exact;
    }
    if (names.empty()) return std::nullopt;
    // When the folder as given exists, a walk from the root would arrive at
    // it too (each exact folder name wins): only the last name is searched.
    std::string cur = strRoot;
    std::size_t start = 0;
    // The stat of the exact parent also validates its kept listing.
    struct stat parentStat;
    const bool blnExactParent = names.size() > 1 && stat(parentExact.c_str(), &parentStat) == 0 &&
                                S_ISDIR(parentStat.st_mode);
    if (pParentFound) *pParentFound = blnExactParent;
    if (blnExactParent) {
        cur = parentExact;
        start = names.size() - 1;
    }
    EntryKind found = EntryKind::Missing;
    for (std::size_t i = start; i < names.size(); ++i) {
        const bool blnLast = i + 1 == names.size();
        const EntryKind exactKind = blnLast && cur == parentExact
                                        ? kind
                                        : KindOfPath(Join(cur, HostNames::ToHostName(names[i])));
        const auto name =
            FindNameKnowing(cur, names[i], blnLast ? finalPrefer : EntryKind::Folder, exactKind,
                            &found, blnExactParent && i == start ? &parentStat : nullptr);
        if (!name) return std::nullopt;
        cur = Join(cur, *name);
    }
    if (found == EntryKind::Missing) return std::nullopt;
    if (pFoundKind) *pFoundKind = found;
    return cur;
}

}  // namespace platform::fs
