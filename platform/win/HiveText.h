// One registry hive in memory, and its text form: the layout of a registry
// export ("[key]" lines, "name"="text", dword:, hex:, hex(n):), so a person
// can read and edit it. The reader takes files that people edit and that
// other processes write: it checks every line and bounds every size, and
// says which line is wrong instead of guessing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::win {

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;

inline constexpr std::size_t kMaxHiveBytes = 16u << 20;
inline constexpr std::size_t kMaxKeyNameChars = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxValueNameChars = 16383;
inline constexpr std::size_t kMaxValueBytes = 1u << 20;

struct HiveValue {
    std::string strName;  // "" is the key's default value ("@")
    uint32_t lngType = REG_NONE;
    std::string data;  // raw bytes; REG_SZ holds its terminating NUL
};

// One key: its name as written, its values in the order written, and its
// subkeys by name without letter case. Keys hold only their own name, so
// memory grows with the text read, not with the depth of the paths in it.
struct HiveKey {
    std::string strName;  // "" for the hive's root
    std::vector<HiveValue> values;
    std::map<std::string, std::unique_ptr<HiveKey>> subkeys;  // by folded name

    HiveKey() = default;
    HiveKey(const HiveKey& other);
    HiveKey& operator=(const HiveKey& other);
    HiveKey(HiveKey&&) = default;
    HiveKey& operator=(HiveKey&&) = default;
    ~HiveKey() = default;

    const HiveValue* FindValue(std::string_view name) const;
    HiveValue* FindValue(std::string_view name);
};

// Names compare without letter case (ASCII) and keep the case they were
// written with.
std::string strFold(std::string_view s);
bool blnSameName(std::string_view a, std::string_view b);

// A key name is 1 to 255 characters, none a control character or '\'.
bool blnValidKeyName(std::string_view name);
bool blnValidValueName(std::string_view name);

// Keys and values a hive may hold together: a bound on memory for any file,
// far above what the programs keep there.
inline constexpr std::size_t kMaxHiveEntries = 200000;

class HiveData {
  public:
    // Paths are names joined by '\' below the root ("" is the root), valid
    // as blnSplitKeyPath takes them.
    const HiveKey* Find(std::string_view path) const;
    HiveKey* Find(std::string_view path);
    // Creates the key and any missing parents.
    HiveKey& Create(std::string_view path);
    // Fails (false) for the root, a missing key or a key with subkeys.
    bool Remove(std::string_view path);
    // Names of the direct subkeys, in order without letter case.
    std::vector<std::string> Subkeys(std::string_view path) const;
    // Every key below the root, parents first, with its path.
    void ForEach(const std::function<void(const std::string&, const HiveKey&)>& fn) const;
    // Keys and values held, for the bound above.
    std::size_t lngEntries() const;
    const HiveKey& Root() const { return mRoot; }

  private:
    HiveKey mRoot;
};

// Splits "a\b\c" into names; false when a name is empty or invalid or the
// path is too deep. An empty path is the root (no names).
bool blnSplitKeyPath(std::string_view path, std::vector<std::string>& names);

struct HiveParseError {
    int lngLine = 0;
    std::string strWhat;
};

// strRootName is "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER": every key line
// must lie below it.
bool blnParseHive(std::string_view text, std::string_view strRootName, HiveData& out,
                  HiveParseError& err);
// The whole text; "" with *pblnTooLarge set when it would pass kMaxHiveBytes.
std::string strFormatHive(const HiveData& hive, std::string_view strRootName,
                          bool* pblnTooLarge = nullptr);

// The lines of one key, as in the file: "[full path]" and its values.
std::string strFormatKey(std::string_view strFullPath, const std::vector<HiveValue>& values);

}  // namespace platform::win
