// The add-on's per-user settings: raw values of a fixed size per setting,
// stored with type REG_NONE in one subkey per section of
// HKEY_CURRENT_USER\Software\Notavex\Annotator\1.0. A few settings that the
// browser component relies on have built-in defaults, used when a read
// fails; any other failed read leaves the caller's buffer as it was, so the
// caller's preset acts as its default.
//
// A stored value must have exactly the size asked for. The registry reads a
// smaller value into a larger buffer and says how much it wrote, but a
// setting read that way would be half the stored bytes and half the
// caller's preset, so a value of another size counts as unreadable.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/Registry.h"

class NVPrefs {
  public:
    explicit NVPrefs(platform::win::Registry& registry) : mRegistry(registry) {}
    ~NVPrefs() { Close(); }
    NVPrefs(const NVPrefs&) = delete;
    NVPrefs& operator=(const NVPrefs&) = delete;

    // Creates (or opens) the settings root and the machine-wide add-on key
    // with write and query access; when either fails both are closed and
    // the registry's code comes back as an HRESULT.
    platform::win::HRESULT Open();
    void Close();
    bool blnOpen() const { return mhRoot != 0; }

    // lngSize is the buffer's capacity and the size the value must have.
    platform::win::HRESULT Read(const std::string& strSection, const std::string& strName,
                                void* pBuffer, uint32_t lngSize);
    platform::win::HRESULT Write(const std::string& strSection, const std::string& strName,
                                 const void* pData, uint32_t lngSize);

  private:
    platform::win::Registry& mRegistry;
    platform::win::HKEY mhRoot = 0;
    platform::win::HKEY mhMachine = 0;
};

inline constexpr int kPrefsMajor = 1;
inline constexpr int kPrefsMinor = 0;
// "Software\Notavex\Annotator\1.0"
std::string strPrefsRoot();
inline constexpr char kAddOnKey[] = "Software\\Notavex\\Annotator";
