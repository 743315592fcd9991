#include "Component.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/win/Locations.h"
#include "platform/win/Registry.h"

namespace platform::win {
namespace {

int lngHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A REG_SZ default value as text; false when missing or not text.
bool blnReadText(Registry& reg, HKEY root, const std::string& key, const std::string& name,
                 std::string* out) {
    HKEY h = 0;
    if (reg.OpenKey(root, key, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
    uint32_t type = 0, size = 0;
    bool ok = reg.QueryValue(h, name, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ &&
              size > 0 && size <= 4096;
    if (ok) {
        std::string buf(size, '\0');
        ok = reg.QueryValue(h, name, &type, buf.data(), &size) == ERROR_SUCCESS && size > 0;
        if (ok) *out = buf.substr(0, buf.find('\0'));
    }
    reg.CloseKey(h);
    return ok;
}

}  // namespace

std::string strFromGuid(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

bool blnGuidFromString(const std::string& s, GUID* pGuid) {
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return false;
    uint8_t bytes[16];
    std::size_t n = 0;
    for (std::size_t i = 1; i < 37;) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (s[i++] != '-') return false;
            continue;
        }
        const int hi = lngHex(s[i]), lo = lngHex(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
        i += 2;
    }
    GUID g;
    g.Data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
              bytes[3];
    g.Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
    if (pGuid) *pGuid = g;
    return true;
}

std::unique_ptr<Library> Library::Load(const std::string& strName, std::string* pstrError) {
    std::string path = strName;
    if (strName.find('/') == std::string::npos) {
        const std::string local = strJoin(strProgramFolder(), strName);
        struct stat st {};
        if (stat(local.c_str(), &st) == 0) path = local;
    } else if (strName.front() != '/') {
        // A library learns its own path from how it was loaded, and registers
        // it: that must not depend on the folder the tool ran in.
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd))
            path = std::filesystem::path(strJoin(cwd, strName)).lexically_normal().string();
    }
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        if (pstrError) {
            const char* e = dlerror();
            *pstrError = e ? e : "cannot load " + path;
        }
        return nullptr;
    }
    std::unique_ptr<Library> lib(new Library());
    lib->mHandle = h;
    lib->mstrPath = path;
    return lib;
}

Library::~Library() {
    if (mHandle) dlclose(mHandle);
}

void* Library::Symbol(const std::string& strName) const {
    return dlsym(mHandle, strName.c_str());
}

HRESULT ComRuntime::CLSIDFromProgID(const std::string& strProgID, CLSID* pclsid) {
    std::string text;
    if (strProgID.empty() ||
        !blnReadText(mRegistry, HKEY_CLASSES_ROOT, strProgID + "\\CLSID", "", &text) ||
        !blnGuidFromString(text, pclsid))
        return CO_E_CLASSSTRING;
    return S_OK;
}

HRESULT ComRuntime::CreateInstance(const CLSID& rclsid, const IID& riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    std::string path;
    if (!blnReadText(mRegistry, HKEY_CLASSES_ROOT,
                     "CLSID\\" + strFromGuid(rclsid) + "\\InprocServer32", "", &path) ||
        path.empty())
        return REGDB_E_CLASSNOTREG;
    auto it = mLibraries.find(path);
    if (it == mLibraries.end()) {
        auto lib = Library::Load(path);
        if (!lib) return CO_E_DLLNOTFOUND;
        it = mLibraries.emplace(path, std::move(lib)).first;
    }
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(it->second->Symbol("DllGetClassObject"));
    if (!getClassObject) return CO_E_ERRORINDLL;
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(rclsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) return FAILED(hr) ? hr : E_FAIL;
    hr = factory->CreateInstance(nullptr, riid, ppv);
    factory->Release();
    return hr;
}

}  // namespace platform::win
