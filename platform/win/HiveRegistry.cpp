#include "HiveRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win/Locations.h"

namespace platform::win {
namespace {

constexpr uint32_t kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

std::string strFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// "a\\b" + "c\\\\d\\" -> "a\\b\\c\\d"; false for an invalid name.
bool blnJoinKey(const std::string& base, const std::string& sub, std::string& out) {
    out = base;
    std::size_t start = 0;
    while (start <= sub.size()) {
        auto end = sub.find('\\', start);
        if (end == std::string::npos) end = sub.size();
        const std::string name = sub.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        if (!blnValidKeyName(name)) return false;
        if (!out.empty()) out += '\\';
        out += name;
    }
    std::vector<std::string> names;
    return blnSplitKeyPath(out, names);
}

// Reads a whole regular file of at most kMaxHiveBytes; errno on failure
// (EFBIG when too large, EINVAL when not a regular file).
bool blnReadFile(const std::string& path, std::string& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return false;
    }
    out.clear();
    char buf[65536];
    while (true) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            close(fd);
            errno = e;
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxHiveBytes) {
            close(fd);
            errno = EFBIG;
            return false;
        }
    }
    close(fd);
    return true;
}

bool blnWriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

std::unique_ptr<Registry> OpenRegistry() {
    return std::make_unique<HiveRegistry>(strMachineHivePath(), strUserHivePath(),
                                          strDefaultProgramFiles());
}

int32_t SHDeleteKey(Registry& registry, HKEY hParent, const std::string& strSubKey) {
    HKEY h = 0;
    int32_t r = registry.OpenKey(hParent, strSubKey, KEY_ALL_ACCESS, &h);
    if (r != ERROR_SUCCESS) return r;
    std::string name;
    // Always the first subkey: each deletion moves the next one up.
    while ((r = registry.EnumKey(h, 0, &name)) == ERROR_SUCCESS) {
        r = SHDeleteKey(registry, h, name);
        if (r != ERROR_SUCCESS) break;
    }
    registry.CloseKey(h);
    if (r != ERROR_NO_MORE_ITEMS) return r;
    return registry.DeleteKey(hParent, strSubKey);
}

HiveRegistry::HiveRegistry(std::string strMachineHive, std::string strUserHive,
                           std::string strProgramFiles) {
    maHives[0].strPath = std::move(strMachineHive);
    maHives[0].strRootName = "HKEY_LOCAL_MACHINE";
    maHives[0].strProgramFiles = std::move(strProgramFiles);
    maHives[1].strPath = std::move(strUserHive);
    maHives[1].strRootName = "HKEY_CURRENT_USER";
}

int32_t HiveRegistry::Fail(int32_t lngCode, std::string strText) {
    mstrLastError = std::move(strText);
    return lngCode;
}

int32_t HiveRegistry::Load(Hive& hive) {
    std::string text;
    if (!blnReadFile(hive.strPath, text)) {
        if (errno == ENOENT || errno == ENOTDIR) {
            if (!hive.blnLoaded || !hive.blnMissing) {
                hive.data = HiveData();
                if (!hive.strProgramFiles.empty()) {
                    HiveKey& k = hive.data.Create("Software\\Microsoft\\Windows\\CurrentVersion");
                    k.values.push_back({"ProgramFilesDir", REG_SZ, hive.strProgramFiles + '\0'});
                }
                hive.strText.clear();
                hive.blnLoaded = true;
                hive.blnMissing = true;
            }
            return ERROR_SUCCESS;
        }
        hive.blnLoaded = false;
        if (errno == EACCES)
            return Fail(ERROR_ACCESS_DENIED, "Hive " + hive.strPath + ": cannot be read");
        return Fail(ERROR_BADDB, "Hive " + hive.strPath + ": " +
                                     (errno == EFBIG    ? std::string("larger than 16 MiB")
                                      : errno == EINVAL ? std::string("not a regular file")
                                                        : std::string(std::strerror(errno))));
    }
    if (hive.blnLoaded && !hive.blnMissing && text == hive.strText) return ERROR_SUCCESS;
    HiveData data;
    HiveParseError err;
    if (!blnParseHive(text, hive.strRootName, data, err)) {
        hive.blnLoaded = false;
        return Fail(ERROR_BADDB, "Hive " + hive.strPath + ", line " + std::to_string(err.lngLine) +
                                     ": " + err.strWhat);
    }
    hive.data = std::move(data);
    hive.strText = std::move(text);
    hive.blnLoaded = true;
    hive.blnMissing = false;
    return ERROR_SUCCESS;
}

bool HiveRegistry::blnWritable(const Hive& hive) const {
    const std::string folder = strFolderOf(hive.strPath);
    struct stat st {};
    if (stat(hive.strPath.c_str(), &st) == 0)
        return access(hive.strPath.c_str(), W_OK) == 0 && access(folder.c_str(), W_OK) == 0;
    // The nearest folder that exists decides whether the hive can be made.
    std::string f = folder;
    while (stat(f.c_str(), &st) != 0 && f != "/" && f != ".") f = strFolderOf(f);
    return access(f.c_str(), W_OK) == 0;
}

template <typename F>
int32_t HiveRegistry::Change(Hive& hive, F&& change) {
    const std::string folder = strFolderOf(hive.strPath);
    if (!blnWritable(hive) || !blnMakeFolders(folder))
        return Fail(ERROR_ACCESS_DENIED, "Hive " + hive.strPath + ": cannot be written");
    // The lock lives in its own file: the hive itself is replaced by rename.
    const int lockFd =
        open((hive.strPath + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (lockFd < 0) return Fail(ERROR_ACCESS_DENIED, "Hive " + hive.strPath + ": cannot be locked");
    while (flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct Unlock {
        int fd;
        ~Unlock() { close(fd); }
    } unlock{lockFd};

    // Every writer holds the lock while its temporary file exists, so one
    // found now was left by a writer that died.
    const std::string base = hive.strPath.substr(hive.strPath.rfind('/') + 1);
    const std::string tempPrefix = "." + base + ".tmp-";
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::strncmp(e->d_name, tempPrefix.c_str(), tempPrefix.size()) == 0)
                unlinkat(dirfd(d), e->d_name, 0);
        closedir(d);
    }

    // Another process may have changed the hive since it was last read.
    int32_t r = Load(hive);
    if (r != ERROR_SUCCESS) return r;
    HiveData data = hive.data;
    r = change(data);
    if (r != ERROR_SUCCESS) return r;
    bool tooLarge = false;
    std::string text = strFormatHive(data, hive.strRootName, &tooLarge);
    if (tooLarge || data.lngEntries() > kMaxHiveEntries)
        return Fail(ERROR_NOT_ENOUGH_QUOTA,
                    "Hive " + hive.strPath + ": would pass 16 MiB or 200000 keys and values");

    mode_t mode = hive.strProgramFiles.empty() ? 0600 : 0644;
    struct stat st {};
    if (stat(hive.strPath.c_str(), &st) == 0) mode = st.st_mode & 07777;
    std::string temp = folder + "/" + tempPrefix + "XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return Fail(ERROR_ACCESS_DENIED, "Hive " + hive.strPath + ": cannot be written");
    // Synced before the rename: after a crash the name holds the old hive or
    // the new one, never an empty file.
    const bool ok = blnWriteAll(fd, text) && fchmod(fd, mode) == 0 && fdatasync(fd) == 0;
    const int e = errno;
    close(fd);
    if (!ok || rename(temp.c_str(), hive.strPath.c_str()) != 0) {
        const int e2 = ok ? errno : e;
        unlink(temp.c_str());
        return Fail(e2 == ENOSPC || e2 == EDQUOT ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED,
                    "Hive " + hive.strPath + ": " + std::strerror(e2));
    }
    hive.data = std::move(data);
    hive.strText = std::move(text);
    hive.blnLoaded = true;
    hive.blnMissing = false;
    return ERROR_SUCCESS;
}

int32_t HiveRegistry::Resolve(HKEY hKey, Handle& out) const {
    switch (hKey) {
        case HKEY_LOCAL_MACHINE:
            out = {0, "", KEY_ALL_ACCESS, true};
            return ERROR_SUCCESS;
        case HKEY_CURRENT_USER:
            out = {1, "", KEY_ALL_ACCESS, true};
            return ERROR_SUCCESS;
        case HKEY_CLASSES_ROOT:
            out = {0, "Software\\Classes", KEY_ALL_ACCESS, true};
            return ERROR_SUCCESS;
        default:
            break;
    }
    const auto it = mHandles.find(hKey);
    if (it == mHandles.end()) return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

// The key behind a handle as the hive now has it. An opened key that is gone
// is 1018, never silently made again; a predefined root reads as present.
int32_t HiveRegistry::LoadedKey(const Handle& h, const HiveKey** ppKey) {
    Hive& hive = maHives[h.lngHive];
    const int32_t r = Load(hive);
    if (r != ERROR_SUCCESS) return r;
    *ppKey = hive.data.Find(h.strPath);
    if (*ppKey) return ERROR_SUCCESS;
    return h.blnPredefined ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
}

int32_t HiveRegistry::OpenKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                              HKEY* phKey) {
    return OpenOrCreate(hParent, strSubKey, lngAccess, phKey, false);
}

int32_t HiveRegistry::CreateKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                                HKEY* phKey) {
    return OpenOrCreate(hParent, strSubKey, lngAccess, phKey, true);
}

int32_t HiveRegistry::OpenOrCreate(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                                   HKEY* phKey, bool blnCreate) {
    Handle parent;
    int32_t r = Resolve(hParent, parent);
    if (r != ERROR_SUCCESS || !phKey) return r != ERROR_SUCCESS ? r : ERROR_INVALID_PARAMETER;
    Handle h{parent.lngHive, "", lngAccess};
    if (!blnJoinKey(parent.strPath, strSubKey, h.strPath)) return ERROR_INVALID_PARAMETER;
    Hive& hive = maHives[h.lngHive];
    if ((r = Load(hive)) != ERROR_SUCCESS) return r;
    if (!hive.data.Find(h.strPath)) {
        if (!blnCreate) return ERROR_FILE_NOT_FOUND;
        r = Change(hive, [&](HiveData& data) {
            // A parent deleted since its handle was opened is not made again.
            if (!parent.blnPredefined && !data.Find(parent.strPath)) return ERROR_KEY_DELETED;
            data.Create(h.strPath);
            return ERROR_SUCCESS;
        });
        if (r != ERROR_SUCCESS) return r;
    } else if ((lngAccess & kWriteAccess) && !blnWritable(hive)) {
        return Fail(ERROR_ACCESS_DENIED, "Hive " + hive.strPath + ": cannot be written");
    }
    *phKey = mNextHandle++;
    mHandles.emplace(*phKey, std::move(h));
    return ERROR_SUCCESS;
}

int32_t HiveRegistry::CloseKey(HKEY hKey) {
    if (hKey >= HKEY_CLASSES_ROOT && hKey <= HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    return mHandles.erase(hKey) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int32_t HiveRegistry::QueryValue(HKEY hKey, const std::string& strName, uint32_t* plngType,
                                 void* pData, uint32_t* plngSize) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if (!(h.lngAccess & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (pData && !plngSize) return ERROR_INVALID_PARAMETER;
    const HiveKey* key = nullptr;
    if ((r = LoadedKey(h, &key)) != ERROR_SUCCESS) return r;
    const HiveValue* v = key->FindValue(strName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (plngType) *plngType = v->lngType;
    const auto size = static_cast<uint32_t>(v->data.size());
    if (pData && *plngSize < size) {
        *plngSize = size;
        return ERROR_MORE_DATA;
    }
    if (pData && size) std::memcpy(pData, v->data.data(), size);
    if (plngSize) *plngSize = size;
    return ERROR_SUCCESS;
}

int32_t HiveRegistry::SetValue(HKEY hKey, const std::string& strName, uint32_t lngType,
                               const void* pData, uint32_t lngSize) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if (!(h.lngAccess & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!blnValidValueName(strName) || lngSize > kMaxValueBytes || (!pData && lngSize))
        return ERROR_INVALID_PARAMETER;
    const std::string bytes(static_cast<const char*>(pData), pData ? lngSize : 0);
    return Change(maHives[h.lngHive], [&](HiveData& data) {
        HiveKey* key = data.Find(h.strPath);
        if (!key) return ERROR_KEY_DELETED;
        if (HiveValue* v = key->FindValue(strName)) {
            v->lngType = lngType;
            v->data = bytes;
        } else {
            key->values.push_back({strName, lngType, bytes});
        }
        return ERROR_SUCCESS;
    });
}

int32_t HiveRegistry::UpdateValue(HKEY hKey, const std::string& strName,
                                  const ValueChange& change) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if ((h.lngAccess & (KEY_SET_VALUE | KEY_QUERY_VALUE)) != (KEY_SET_VALUE | KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!blnValidValueName(strName)) return ERROR_INVALID_PARAMETER;
    return Change(maHives[h.lngHive], [&](HiveData& data) {
        HiveKey* key = data.Find(h.strPath);
        if (!key) return ERROR_KEY_DELETED;
        HiveValue* v = key->FindValue(strName);
        HiveValue next{v ? v->strName : strName, REG_NONE, {}};
        if (v) next = *v;
        const int32_t rc = change(v, &next);
        if (rc != ERROR_SUCCESS) return rc;
        if (next.data.size() > kMaxValueBytes) return ERROR_INVALID_PARAMETER;
        next.strName = v ? v->strName : strName;
        if (v) {
            *v = std::move(next);
        } else {
            key->values.push_back(std::move(next));
        }
        return ERROR_SUCCESS;
    });
}

int32_t HiveRegistry::DeleteValue(HKEY hKey, const std::string& strName) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if (!(h.lngAccess & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    // Nothing to delete needs no write (and no write access).
    const HiveKey* key = nullptr;
    if ((r = LoadedKey(h, &key)) != ERROR_SUCCESS) return r;
    if (!key->FindValue(strName)) return ERROR_FILE_NOT_FOUND;
    return Change(maHives[h.lngHive], [&](HiveData& data) {
        HiveKey* k = data.Find(h.strPath);
        if (!k) return ERROR_KEY_DELETED;
        for (auto it = k->values.begin(); it != k->values.end(); ++it) {
            if (blnSameName(it->strName, strName)) {
                k->values.erase(it);
                return ERROR_SUCCESS;
            }
        }
        return ERROR_FILE_NOT_FOUND;
    });
}

int32_t HiveRegistry::DeleteKey(HKEY hParent, const std::string& strSubKey) {
    Handle parent;
    int32_t r = Resolve(hParent, parent);
    if (r != ERROR_SUCCESS) return r;
    std::string path;
    if (!blnJoinKey(parent.strPath, strSubKey, path) || path == parent.strPath)
        return ERROR_INVALID_PARAMETER;
    Hive& hive = maHives[parent.lngHive];
    if ((r = Load(hive)) != ERROR_SUCCESS) return r;
    if (!hive.data.Find(path)) return ERROR_FILE_NOT_FOUND;
    return Change(hive, [&](HiveData& data) {
        if (!data.Find(path)) return ERROR_FILE_NOT_FOUND;
        return data.Remove(path) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    });
}

int32_t HiveRegistry::EnumKey(HKEY hKey, uint32_t lngIndex, std::string* pstrName) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if (!(h.lngAccess & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    const HiveKey* key = nullptr;
    if ((r = LoadedKey(h, &key)) != ERROR_SUCCESS) return r;
    const auto names = maHives[h.lngHive].data.Subkeys(h.strPath);
    if (lngIndex >= names.size()) return ERROR_NO_MORE_ITEMS;
    if (pstrName) *pstrName = names[lngIndex];
    return ERROR_SUCCESS;
}

int32_t HiveRegistry::EnumValue(HKEY hKey, uint32_t lngIndex, HiveValue* pValue) {
    Handle h;
    int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    if (!(h.lngAccess & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const HiveKey* key = nullptr;
    if ((r = LoadedKey(h, &key)) != ERROR_SUCCESS) return r;
    if (lngIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    if (pValue) *pValue = key->values[lngIndex];
    return ERROR_SUCCESS;
}

int32_t HiveRegistry::FlushKey(HKEY hKey) {
    Handle h;
    const int32_t r = Resolve(hKey, h);
    if (r != ERROR_SUCCESS) return r;
    const Hive& hive = maHives[h.lngHive];
    const int fd = open(hive.strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
        SyncFolder(strFolderOf(hive.strPath));
    }
    return ERROR_SUCCESS;
}

}  // namespace platform::win
