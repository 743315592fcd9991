// Components by ProgID, as COM creates them in process: the registry's
// ProgID -> CLSID -> InprocServer32 path, the library loaded with dlopen,
// its DllGetClassObject, the class factory, CreateInstance. Interfaces are
// abstract classes whose virtual functions are the slots in order; both
// sides are built from the same headers by the same compiler.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/win/WinTypes.h"

namespace platform::win {

class Registry;

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    bool operator==(const GUID& other) const = default;
};
using CLSID = GUID;
using IID = GUID;

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", letters upper case.
std::string strFromGuid(const GUID& guid);
// Takes that form (either letter case); false for anything else.
bool blnGuidFromString(const std::string& strText, GUID* pGuid);

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Objects are released through Release, never deleted through these
// pointers, hence the protected destructors.
class IUnknown {
  public:
    virtual HRESULT QueryInterface(const IID& riid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

  protected:
    ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
  public:
    virtual HRESULT CreateInstance(IUnknown* pOuter, const IID& riid, void** ppv) = 0;
    virtual HRESULT LockServer(bool blnLock) = 0;

  protected:
    ~IClassFactory() = default;
};

// Only its slots matter here: nothing in this system calls by name.
class IDispatch : public IUnknown {
  public:
    virtual HRESULT GetTypeInfoCount(uint32_t* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(uint32_t iTInfo, uint32_t lcid, void** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(const IID& riid, char** rgszNames, uint32_t cNames, uint32_t lcid,
                                  int32_t* rgDispId) = 0;
    virtual HRESULT Invoke(int32_t dispIdMember, const IID& riid, uint32_t lcid, uint16_t wFlags,
                           void* pDispParams, void* pVarResult, void* pExcepInfo,
                           uint32_t* puArgErr) = 0;

  protected:
    ~IDispatch() = default;
};

using DllGetClassObjectFn = HRESULT (*)(const CLSID& rclsid, const IID& riid, void** ppv);
using DllEntryFn = HRESULT (*)();

// A loaded library (LoadLibrary / GetProcAddress / FreeLibrary). A bare
// name is looked for in the running program's folder first, as Windows does.
class Library {
  public:
    static std::unique_ptr<Library> Load(const std::string& strName,
                                         std::string* pstrError = nullptr);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    void* Symbol(const std::string& strName) const;
    const std::string& strPath() const { return mstrPath; }

  private:
    Library() = default;
    void* mHandle = nullptr;
    std::string mstrPath;
};

// What COM's initialisation holds: the libraries loaded for components,
// unloaded when it ends. Release every object before it ends.
class ComRuntime {
  public:
    explicit ComRuntime(Registry& registry) : mRegistry(registry) {}
    // HKEY_CLASSES_ROOT\<ProgID>\CLSID; CO_E_CLASSSTRING when not registered.
    HRESULT CLSIDFromProgID(const std::string& strProgID, CLSID* pclsid);
    // In process only. REGDB_E_CLASSNOTREG, CO_E_DLLNOTFOUND or
    // CO_E_ERRORINDLL when the class cannot be reached; else the factory's.
    HRESULT CreateInstance(const CLSID& rclsid, const IID& riid, void** ppv);

  private:
    Registry& mRegistry;
    std::map<std::string, std::unique_ptr<Library>> mLibraries;
};

}  // namespace platform::win
