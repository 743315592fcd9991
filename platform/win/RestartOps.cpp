#include "RestartOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/win/HiveText.h"
#include "platform/win/Locations.h"
#include "platform/win/Registry.h"

namespace platform::win {
namespace {

constexpr std::size_t kMaxIniBytes = 1u << 20;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool blnReadSmall(const std::string& path, std::string& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              st.st_size <= static_cast<off_t>(kMaxIniBytes);
    if (ok) {
        out.resize(static_cast<std::size_t>(st.st_size));
        ok = read(fd, out.data(), out.size()) == static_cast<ssize_t>(out.size());
    }
    close(fd);
    return ok;
}

// "[name]" (blanks around allowed) -> name; "" when the line is no header.
std::string strHeader(const std::string& line) {
    const auto a = line.find_first_not_of(" \t");
    const auto b = line.find_last_not_of(" \t");
    if (a == std::string::npos || line[a] != '[' || line[b] != ']' || b <= a) return "";
    return line.substr(a + 1, b - a - 1);
}

// Opens the folder of path without following a link in any of its names;
// *pstrName gets the last name.
int lngOpenParentNoFollow(const std::string& path, std::string* pstrName) {
    if (path.empty() || path.front() != '/') return -1;
    int fd = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::size_t start = 1;
    while (fd >= 0) {
        const auto slash = path.find('/', start);
        if (slash == std::string::npos) {
            *pstrName = path.substr(start);
            if (pstrName->empty() || *pstrName == "." || *pstrName == "..") break;
            return fd;
        }
        const std::string name = path.substr(start, slash - start);
        start = slash + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") break;
        const int next = openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        close(fd);
        fd = next;
    }
    if (fd >= 0) close(fd);
    errno = errno ? errno : EINVAL;
    return -1;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> PendingPairs(const std::string& multiSz) {
    std::string data = multiSz;
    if (!data.empty() && data.back() == '\0') data.pop_back();
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start < data.size()) {
        auto end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        items.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < items.size(); i += 2)
        pairs.emplace_back(items[i], items[i + 1]);
    return pairs;
}

bool MoveFileEx(Registry& registry, const std::string& strExisting, const std::string* pstrNew,
                uint32_t lngFlags) {
    if (strExisting.empty() || strExisting.find('\0') != std::string::npos) return false;
    if (!(lngFlags & MOVEFILE_DELAY_UNTIL_REBOOT)) {
        if (!pstrNew) return strDeleteNoFollow(strExisting).empty();
        struct stat st {};
        if (!(lngFlags & MOVEFILE_REPLACE_EXISTING) && lstat(pstrNew->c_str(), &st) == 0)
            return false;
        return rename(strExisting.c_str(), pstrNew->c_str()) == 0;
    }
    HKEY key = 0;
    if (registry.CreateKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE | KEY_SET_VALUE,
                           &key) != ERROR_SUCCESS)
        return false;
    const std::string target = pstrNew ? *pstrNew : std::string();
    const int32_t r =
        registry.UpdateValue(key, kPendingValue, [&](const HiveValue* old, HiveValue* v) {
            std::string data = old ? old->data : std::string();
            if (!data.empty() && data.back() == '\0') data.pop_back();
            data += strExisting + '\0' + target + '\0' + '\0';
            v->lngType = REG_MULTI_SZ;
            v->data = std::move(data);
            return ERROR_SUCCESS;
        });
    registry.CloseKey(key);
    return r == ERROR_SUCCESS;
}

std::string strWinInitPath() {
    return strJoin(strWindowsFolder(), "WININIT.INI");
}

uint32_t GetPrivateProfileSection(const std::string& strSection, std::string* pstrEntries,
                                  uint32_t lngMaxChars, const std::string& strFile) {
    std::string text, out;
    if (blnReadSmall(strFile, text)) {
        bool in = false;
        for (const auto& line : SplitLines(text)) {
            const std::string header = strHeader(line);
            if (!header.empty()) {
                in = blnSameName(header, strSection);
                continue;
            }
            if (!in || line.empty() || line[0] == ';') continue;
            out += line;
            out += '\0';
        }
    }
    // Windows cuts a section that does not fit to lngMaxChars - 2 and ends
    // it with two NULs.
    if (lngMaxChars < 2) {
        if (pstrEntries) pstrEntries->clear();
        return 0;
    }
    if (out.size() + 1 > lngMaxChars) {
        out.resize(lngMaxChars - 2);
        if (pstrEntries) *pstrEntries = out + '\0' + '\0';
        return lngMaxChars - 2;
    }
    if (pstrEntries) *pstrEntries = out + '\0';
    return static_cast<uint32_t>(out.size());
}

bool WritePrivateProfileSection(const std::string& strSection, const std::string& strEntries,
                                const std::string& strFile) {
    std::string text;
    struct stat st {};
    if (stat(strFile.c_str(), &st) == 0 && !blnReadSmall(strFile, text)) return false;
    std::string body;
    std::size_t start = 0;
    while (start < strEntries.size() && strEntries[start] != '\0') {
        auto end = strEntries.find('\0', start);
        if (end == std::string::npos) end = strEntries.size();
        body += strEntries.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    std::string out;
    bool in = false, done = false;
    for (const auto& line : SplitLines(text)) {
        const std::string header = strHeader(line);
        if (!header.empty()) {
            in = !done && blnSameName(header, strSection);
            if (in) {
                out += "[" + strSection + "]\r\n" + body;
                done = true;
                continue;
            }
        }
        if (!in) out += line + "\r\n";
    }
    if (!done) out += "[" + strSection + "]\r\n" + body;
    const auto slash = strFile.rfind('/');
    if (slash == std::string::npos || !blnMakeFolders(strFile.substr(0, slash ? slash : 1)))
        return false;
    std::string temp = strFile.substr(0, slash) + "/.ini-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = write(fd, out.data(), out.size()) == static_cast<ssize_t>(out.size()) &&
              fchmod(fd, 0644) == 0;
    close(fd);
    ok = ok && rename(temp.c_str(), strFile.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

std::string strDeleteNoFollow(const std::string& strPath) {
    std::string name;
    errno = 0;
    const int dir = lngOpenParentNoFollow(strPath, &name);
    if (dir < 0) return errno == ENOENT ? "" : strPath + ": " + std::strerror(errno);
    struct stat st {};
    std::string err;
    if (fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) err = strPath + ": " + std::strerror(errno);
    } else if (unlinkat(dir, name.c_str(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0) {
        err = strPath + ": " + std::strerror(errno);
    }
    close(dir);
    return err;
}

std::string strRenameNoFollow(const std::string& strFrom, const std::string& strTo) {
    std::string fromName, toName;
    errno = 0;
    const int from = lngOpenParentNoFollow(strFrom, &fromName);
    if (from < 0) return strFrom + ": " + std::strerror(errno);
    const int to = lngOpenParentNoFollow(strTo, &toName);
    if (to < 0) {
        close(from);
        return strTo + ": " + std::strerror(errno);
    }
    std::string err;
    if (renameat(from, fromName.c_str(), to, toName.c_str()) != 0)
        err = strFrom + " -> " + strTo + ": " + std::strerror(errno);
    close(from);
    close(to);
    return err;
}

std::vector<std::string> RunPendingOperations(Registry& registry) {
    std::vector<std::string> report;
    auto carryOut = [&](const std::string& from, const std::string& to) {
        const std::string err = to.empty() ? strDeleteNoFollow(from) : strRenameNoFollow(from, to);
        if (!err.empty()) report.push_back(err);
    };

    HKEY key = 0;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE | KEY_SET_VALUE,
                         &key) == ERROR_SUCCESS) {
        uint32_t type = 0, size = 0;
        std::string data;
        if (registry.QueryValue(key, kPendingValue, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (registry.QueryValue(key, kPendingValue, &type, data.data(), &size) != ERROR_SUCCESS)
                data.clear();
        }
        for (const auto& [from, to] : PendingPairs(data)) carryOut(from, to);
        // Only what was carried out leaves the list; entries added meanwhile stay.
        std::string done = data;
        if (!done.empty() && done.back() == '\0') done.pop_back();
        bool empty = false;
        if (!done.empty())
            registry.UpdateValue(key, kPendingValue, [&](const HiveValue* old, HiveValue* v) {
                if (!old || old->data.compare(0, done.size(), done) != 0)
                    return ERROR_FILE_NOT_FOUND;
                v->data = old->data.substr(done.size());
                if (v->data.empty()) v->data.push_back('\0');
                empty = v->data == std::string(1, '\0');
                return ERROR_SUCCESS;
            });
        if (empty) registry.DeleteValue(key, kPendingValue);
        registry.CloseKey(key);
    }

    // The 9x list: "NUL=path" deletes, "target=source" moves; the file is
    // then kept as WININIT.BAK, as that family does.
    const std::string ini = strWinInitPath();
    std::string entries;
    GetPrivateProfileSection("rename", &entries, static_cast<uint32_t>(kMaxIniBytes), ini);
    bool any = false;
    std::size_t start = 0;
    while (start < entries.size() && entries[start] != '\0') {
        auto end = entries.find('\0', start);
        const std::string line = entries.substr(start, end - start);
        start = end + 1;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        any = true;
        const std::string target = line.substr(0, eq);
        carryOut(line.substr(eq + 1), blnSameName(target, "NUL") ? "" : target);
    }
    if (any) rename(ini.c_str(), strJoin(strWindowsFolder(), "WININIT.BAK").c_str());
    return report;
}

}  // namespace platform::win
