#include "NVPrefs.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace platform::win;

namespace {

struct Default {
    const char* strSection;
    const char* strName;
    uint32_t lngSize;
    uint8_t bytes[4];
};
constexpr Default kDefaults[] = {
    {"Mail", "SendSecure", 4, {1, 0, 0, 0}},
    {"Help", "FirstSendCollect", 1, {1}},
    {"Help", "ShowToolbar", 1, {1}},
    {"Help", "FirstInvisible", 1, {1}},
};

// Failures go to a trace with the source line; the released program keeps
// quiet.
void Trace([[maybe_unused]] int lngLine, [[maybe_unused]] HRESULT hr) {
#ifndef NDEBUG
    std::fprintf(stderr, "NVPrefs.cpp(%d): 0x%08X\n", lngLine, static_cast<unsigned>(hr));
#endif
}
#define NV_TRACE(hr) Trace(__LINE__, (hr))

}  // namespace

std::string strPrefsRoot() {
    return std::string(kAddOnKey) + "\\" + std::to_string(kPrefsMajor) + "." +
           std::to_string(kPrefsMinor);
}

HRESULT NVPrefs::Open() {
    if (blnOpen()) return S_OK;
    constexpr uint32_t access = KEY_WRITE | KEY_QUERY_VALUE;
    int32_t r = mRegistry.CreateKey(HKEY_CURRENT_USER, strPrefsRoot(), access, &mhRoot);
    if (r == ERROR_SUCCESS)
        r = mRegistry.CreateKey(HKEY_LOCAL_MACHINE, kAddOnKey, access, &mhMachine);
    if (r != ERROR_SUCCESS) {
        if (mhRoot) mRegistry.CloseKey(mhRoot);
        mhRoot = 0;
        mhMachine = 0;
        NV_TRACE(HRESULT_FROM_WIN32(r));
        return HRESULT_FROM_WIN32(r);
    }
    return S_OK;
}

void NVPrefs::Close() {
    if (mhRoot) mRegistry.CloseKey(mhRoot);
    if (mhMachine) mRegistry.CloseKey(mhMachine);
    mhRoot = 0;
    mhMachine = 0;
}

HRESULT NVPrefs::Read(const std::string& strSection, const std::string& strName, void* pBuffer,
                      uint32_t lngSize) {
    HRESULT hr = E_FAIL;
    if (blnOpen()) {
        HKEY h = 0;
        int32_t r = mRegistry.OpenKey(mhRoot, strSection, KEY_QUERY_VALUE, &h);
        if (r == ERROR_SUCCESS) {
            // Read aside, so a failure never touches the caller's preset.
            std::vector<uint8_t> buf(lngSize);
            uint32_t size = lngSize;
            r = mRegistry.QueryValue(h, strName, nullptr, pBuffer ? buf.data() : nullptr, &size);
            mRegistry.CloseKey(h);
            if (r == ERROR_SUCCESS && pBuffer && size != lngSize) {
                hr = E_FAIL;
            } else if (r == ERROR_SUCCESS) {
                if (pBuffer && lngSize) std::memcpy(pBuffer, buf.data(), lngSize);
                return S_OK;
            } else {
                hr = HRESULT_FROM_WIN32(r);
            }
        } else {
            hr = HRESULT_FROM_WIN32(r);
        }
    }
    NV_TRACE(hr);
    for (const auto& d : kDefaults) {
        if (!blnSameName(strSection, d.strSection) || !blnSameName(strName, d.strName)) continue;
        if (!pBuffer) return S_OK;
        if (lngSize < d.lngSize) {
            NV_TRACE(E_FAIL);
            return E_FAIL;
        }
        std::memcpy(pBuffer, d.bytes, d.lngSize);
        return S_OK;
    }
    return E_FAIL;
}

HRESULT NVPrefs::Write(const std::string& strSection, const std::string& strName, const void* pData,
                       uint32_t lngSize) {
    if (!blnOpen()) {
        NV_TRACE(E_FAIL);
        return E_FAIL;
    }
    HKEY h = 0;
    int32_t r = mRegistry.CreateKey(mhRoot, strSection, KEY_SET_VALUE, &h);
    if (r == ERROR_SUCCESS) {
        r = mRegistry.SetValue(h, strName, REG_NONE, pData, lngSize);
        mRegistry.CloseKey(h);
    }
    if (r != ERROR_SUCCESS) NV_TRACE(HRESULT_FROM_WIN32(r));
    return HRESULT_FROM_WIN32(r);
}
