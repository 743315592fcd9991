// The registry as the annotator's programs see it: keys opened by handle
// under three predefined roots, values read with a size in and out. Results
// are Win32 codes (0 success, 2 not found, 5 access denied, 234 more data,
// 1009 damaged hive, 1018 key deleted since its handle was opened).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/win/HiveText.h"
#include "platform/win/WinTypes.h"

namespace platform::win {

using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

class Registry {
  public:
    virtual ~Registry() = default;

    // Opens the key, creating it and its parents when missing.
    virtual int32_t CreateKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                              HKEY* phKey) = 0;
    virtual int32_t OpenKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                            HKEY* phKey) = 0;
    virtual int32_t CloseKey(HKEY hKey) = 0;

    // *plngSize is the buffer's capacity going in and the value's size coming
    // out. pData null asks for the size only; a buffer too small is 234 and
    // is left as it was. A value smaller than the buffer reads (as on
    // Windows); *plngSize says how much.
    virtual int32_t QueryValue(HKEY hKey, const std::string& strName, uint32_t* plngType,
                               void* pData, uint32_t* plngSize) = 0;
    virtual int32_t SetValue(HKEY hKey, const std::string& strName, uint32_t lngType,
                             const void* pData, uint32_t lngSize) = 0;
    virtual int32_t DeleteValue(HKEY hKey, const std::string& strName) = 0;
    // Deletes a key that has no subkeys (5 when it has some).
    virtual int32_t DeleteKey(HKEY hParent, const std::string& strSubKey) = 0;
    // The index-th subkey in name order; 259 past the last.
    virtual int32_t EnumKey(HKEY hKey, uint32_t lngIndex, std::string* pstrName) = 0;
    // The index-th value in the order stored; 259 past the last.
    virtual int32_t EnumValue(HKEY hKey, uint32_t lngIndex, HiveValue* pValue) = 0;
    // Reads, changes and writes one value as one step under the hive's lock,
    // so two processes appending to a list both get their entry in. The
    // change sees the value (pExisting null when there is none), sets *pNew
    // and returns 0 to write it, or a code to leave everything as it was.
    using ValueChange = std::function<int32_t(const HiveValue* pExisting, HiveValue* pNew)>;
    virtual int32_t UpdateValue(HKEY hKey, const std::string& strName,
                                const ValueChange& change) = 0;
    // Makes the last replacement of the key's hive survive a crash (each
    // change is already complete, synced and visible to other processes).
    virtual int32_t FlushKey(HKEY hKey) = 0;

    // Says more about the last failure that has more to say: a damaged hive
    // names its file and line.
    virtual std::string strLastError() const = 0;
};

// Deletes a key with everything below it (shlwapi's SHDeleteKey).
int32_t SHDeleteKey(Registry& registry, HKEY hParent, const std::string& strSubKey);

// The registry over the two hive files of Locations.h.
std::unique_ptr<Registry> OpenRegistry();

}  // namespace platform::win
