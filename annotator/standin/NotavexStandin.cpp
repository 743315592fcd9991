// Stand-in for the add-on's component library notavex.dll: the exports the
// installer and the agent call, the capture component with its slots, and
// the registration of its ProgIDs and CLSIDs. It does no real work; each
// call appends one line to the file named by NOTAVEX_STANDIN_LOG (when set),
// so tests and people trying the agent see what was called, in order.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "annotator/src/NVComCapture.h"
#include "platform/win/Registry.h"

using namespace platform::win;

#define NV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);

// {DFB2A75A-0A0C-4A73-94C5-88E495EAB774}
constexpr CLSID CLSID_NVComCapture = {
    0xDFB2A75A, 0x0A0C, 0x4A73, {0x94, 0xC5, 0x88, 0xE4, 0x95, 0xEA, 0xB7, 0x74}};
// {D3460AFC-0BE2-4CC5-937F-7551C3E46316}
constexpr CLSID CLSID_NVNote = {
    0xD3460AFC, 0x0BE2, 0x4CC5, {0x93, 0x7F, 0x75, 0x51, 0xC3, 0xE4, 0x63, 0x16}};

struct ClassEntry {
    const char* strProgID;
    const CLSID* pclsid;
    const char* strName;
};
constexpr ClassEntry kClasses[] = {{kCaptureProgID, &CLSID_NVComCapture, "NVComCapture Class"},
                                   {"Notavex.NVNote.1", &CLSID_NVNote, "NVNote Class"}};

void Log(const std::string& line) {
    const char* path = std::getenv("NOTAVEX_STANDIN_LOG");
    if (!path || !*path) return;
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string text = line + "\n";
    (void)!write(fd, text.data(), text.size());
    close(fd);
}

std::string strOwnPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Log), &info) == 0 || !info.dli_fname) return "";
    std::string path = info.dli_fname;
    char cwd[4096];
    if (!path.empty() && path.front() != '/' && getcwd(cwd, sizeof cwd))
        path = std::string(cwd) + "/" + path;
    return std::filesystem::path(path).lexically_normal().string();
}

class Capture final : public INVComCapture {
  public:
    HRESULT QueryInterface(const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_INVComCapture) {
            *ppv = static_cast<INVComCapture*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return ++mlngRefs; }
    uint32_t Release() override {
        const uint32_t n = --mlngRefs;
        if (n == 0) {
            Log("Release");
            delete this;
        }
        return n;
    }
    HRESULT GetTypeInfoCount(uint32_t* pctinfo) override {
        if (pctinfo) *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const IID&, char**, uint32_t, uint32_t, int32_t*) override {
        return E_NOTIMPL;
    }
    HRESULT Invoke(int32_t, const IID&, uint32_t, uint16_t, void*, void*, void*,
                   uint32_t*) override {
        return E_NOTIMPL;
    }
    HRESULT CaptureWindow() override { return Called("CaptureWindow"); }
    HRESULT CaptureRegion() override { return Called("CaptureRegion"); }
    HRESULT Unused3() override { return Called("Unused3"); }
    HRESULT ShowOptions() override { return Called("ShowOptions"); }
    HRESULT ShowPage(int32_t lngPage) override {
        return Called("ShowPage " + std::to_string(lngPage));
    }
    HRESULT StartBrowser() override { return Called("StartBrowser"); }

  private:
    ~Capture() = default;
    HRESULT Called(const std::string& line) {
        Log(line);
        return S_OK;
    }
    std::atomic<uint32_t> mlngRefs{0};
};

class Factory final : public IClassFactory {
  public:
    HRESULT QueryInterface(const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: counting references changes nothing.
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* pOuter, const IID& riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (pOuter) return CLASS_E_NOAGGREGATION;
        Log("CreateInstance");
        auto* capture = new Capture();
        capture->AddRef();
        const HRESULT hr = capture->QueryInterface(riid, ppv);
        capture->Release();
        return hr;
    }
    HRESULT LockServer(bool) override { return S_OK; }
};

Factory gFactory;

HRESULT SetText(Registry& reg, const std::string& key, const std::string& name,
                const std::string& text) {
    HKEY h = 0;
    int32_t r = reg.CreateKey(HKEY_CLASSES_ROOT, key, KEY_WRITE, &h);
    if (r == ERROR_SUCCESS) {
        r = reg.SetValue(h, name, REG_SZ, text.c_str(), static_cast<uint32_t>(text.size() + 1));
        reg.CloseKey(h);
    }
    return HRESULT_FROM_WIN32(r);
}

}  // namespace

NV_EXPORT HRESULT ForceRegisterClient() {
    Log("ForceRegisterClient");
    return S_OK;
}

NV_EXPORT HRESULT DllGetClassObject(const CLSID& rclsid, const IID& riid, void** ppv) {
    Log("DllGetClassObject " + strFromGuid(rclsid));
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(rclsid == CLSID_NVComCapture)) return CLASS_E_CLASSNOTAVAILABLE;
    return gFactory.QueryInterface(riid, ppv);
}

NV_EXPORT HRESULT DllRegisterServer() {
    Log("DllRegisterServer");
    auto reg = OpenRegistry();
    const std::string path = strOwnPath();
    HRESULT hr = S_OK;
    for (const auto& c : kClasses) {
        const std::string clsid = strFromGuid(*c.pclsid);
        const std::string clsidKey = "CLSID\\" + clsid;
        for (HRESULT h :
             {SetText(*reg, c.strProgID, "", c.strName),
              SetText(*reg, std::string(c.strProgID) + "\\CLSID", "", clsid),
              SetText(*reg, clsidKey, "", c.strName),
              SetText(*reg, clsidKey + "\\ProgID", "", c.strProgID),
              SetText(*reg, clsidKey + "\\InprocServer32", "", path),
              SetText(*reg, clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment")})
            if (FAILED(h) && SUCCEEDED(hr)) hr = h;
    }
    return hr;
}

NV_EXPORT HRESULT DllUnregisterServer() {
    Log("DllUnregisterServer");
    auto reg = OpenRegistry();
    HRESULT hr = S_OK;
    for (const auto& c : kClasses) {
        for (const std::string& key :
             {std::string(c.strProgID), "CLSID\\" + strFromGuid(*c.pclsid)}) {
            const int32_t r = SHDeleteKey(*reg, HKEY_CLASSES_ROOT, key);
            if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND && SUCCEEDED(hr))
                hr = HRESULT_FROM_WIN32(r);
        }
    }
    return hr;
}
