// The registry over two hive files: the machine hive (HKEY_LOCAL_MACHINE;
// HKEY_CLASSES_ROOT is its Software\Classes) and the user hive
// (HKEY_CURRENT_USER). Every change locks the hive (a lock file beside it),
// re-reads it when another process changed it, and replaces the file in one
// rename, so writers in many processes lose nothing and a writer killed
// half-way leaves the old hive. A hive that cannot be read is never written.
#pragma once

#include <map>
#include <string>

#include "platform/win/Registry.h"

namespace platform::win {

class HiveRegistry : public Registry {
  public:
    // A machine hive that does not exist yet holds ProgramFilesDir =
    // strProgramFiles, as every system has it.
    HiveRegistry(std::string strMachineHive, std::string strUserHive, std::string strProgramFiles);
    ~HiveRegistry() override = default;

    int32_t CreateKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                      HKEY* phKey) override;
    int32_t OpenKey(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                    HKEY* phKey) override;
    int32_t CloseKey(HKEY hKey) override;
    int32_t QueryValue(HKEY hKey, const std::string& strName, uint32_t* plngType, void* pData,
                       uint32_t* plngSize) override;
    int32_t SetValue(HKEY hKey, const std::string& strName, uint32_t lngType, const void* pData,
                     uint32_t lngSize) override;
    int32_t DeleteValue(HKEY hKey, const std::string& strName) override;
    int32_t DeleteKey(HKEY hParent, const std::string& strSubKey) override;
    int32_t EnumKey(HKEY hKey, uint32_t lngIndex, std::string* pstrName) override;
    int32_t EnumValue(HKEY hKey, uint32_t lngIndex, HiveValue* pValue) override;
    int32_t UpdateValue(HKEY hKey, const std::string& strName, const ValueChange& change) override;
    int32_t FlushKey(HKEY hKey) override;
    std::string strLastError() const override { return mstrLastError; }

  private:
    struct Hive {
        std::string strPath;
        std::string strRootName;
        std::string strProgramFiles;  // machine hive only
        HiveData data;
        // The file's text the data was read from. Hives are small, so a
        // reader compares the whole text instead of trusting time stamps
        // and inode numbers, which a quick replacement can repeat.
        std::string strText;
        bool blnLoaded = false;
        bool blnMissing = false;
    };
    struct Handle {
        int lngHive = 0;
        std::string strPath;
        uint32_t lngAccess = 0;
        bool blnPredefined = false;
    };

    int32_t Resolve(HKEY hKey, Handle& out) const;
    int32_t OpenOrCreate(HKEY hParent, const std::string& strSubKey, uint32_t lngAccess,
                         HKEY* phKey, bool blnCreate);
    int32_t Load(Hive& hive);
    int32_t LoadedKey(const Handle& h, const HiveKey** ppKey);
    bool blnWritable(const Hive& hive) const;
    template <typename F>
    int32_t Change(Hive& hive, F&& change);
    int32_t Fail(int32_t lngCode, std::string strText);

    Hive maHives[2];  // 0 machine, 1 user
    std::map<HKEY, Handle> mHandles;
    HKEY mNextHandle = 1;
    std::string mstrLastError;
};

}  // namespace platform::win
