// Finds host entries for Windows names: the exact (mapped) name first, then
// the first entry of the folder whose name matches without letter case.
// Also lists folders the way the object model shows them.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::fs {

// What an entry is for the object model. A symbolic link counts as what it
// points to, except that a link to a folder is Other: never listed, so a
// walk never follows it. Dangling links, loops, FIFOs, sockets and devices
// are Other as well.
enum class EntryKind { Missing, Folder, File, Other };

struct HostEntry {
    std::string strHostName;
    EntryKind kind;
    bool blnLink = false;  // a symbolic link, of whatever kind it counts as
};

class PathResolver {
  public:
    // The entries of a folder that are folders or files (blnOthers: that are
    // neither), in the host's order. A failure to open the folder is an
    // RtError (76 when it is missing).
    static std::vector<HostEntry> List(const std::string& strHostDir, bool blnOthers = false);
    // Every entry but . and .. of the open folder dirFd, with its kind
    // (Other included); a failure to read is an RtError.
    static std::vector<HostEntry> ReadEntriesAt(int dirFd);
    // Every entry of a folder (kind Other included), from the listing cache.
    static std::shared_ptr<const std::vector<HostEntry>> AllEntries(
        const std::string& strHostDir, const struct stat* pKnown = nullptr);

    // A host path's kind for a lookup: links are followed, so an explicit
    // path through a link to a folder works as the host would resolve it.
    static EntryKind KindOfPath(const std::string& strHostPath);

    // The host name in strHostDir that stands for winName, preferring an
    // entry of kind prefer among several case variants.
    static std::optional<std::string> FindName(const std::string& strHostDir,
                                               const std::string& strWinName, EntryKind prefer);

    // The host path of the existing entry that names stand for below root,
    // each name looked up in turn; nothing when some part is missing. The
    // kind of what was found goes to pFoundKind, sparing the caller a stat.
    // pParentFound tells, when nothing is found, whether the folder that
    // holds the last name was found by its exact name (the drive is there).
    static std::optional<std::string> Resolve(const std::string& strRoot,
                                              const std::vector<std::string>& names,
                                              EntryKind finalPrefer,
                                              EntryKind* pFoundKind = nullptr,
                                              bool* pParentFound = nullptr);

    static std::string Join(const std::string& strDir, const std::string& strName) {
        // One allocation: a listing joins a path for every entry.
        std::string strPath;
        strPath.reserve(strDir.size() + 1 + strName.size());
        strPath += strDir;
        if (strDir.empty() || strDir.back() != '/') strPath += '/';
        strPath += strName;
        return strPath;
    }
};

}  // namespace platform::fs
