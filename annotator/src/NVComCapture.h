// The add-on's capture component as the agent calls it: ProgID, interface
// identifier and the slots after IDispatch, in order. The component itself
// lies in the add-on's library.
#pragma once

#include <cstdint>

#include "platform/win/Component.h"

inline constexpr char kCaptureProgID[] = "Notavex.NVComCapture.1";

// {2976E1BC-1E43-4C88-8698-6FF76C325B65}
inline constexpr platform::win::IID IID_INVComCapture = {
    0x2976E1BC, 0x1E43, 0x4C88, {0x86, 0x98, 0x6F, 0xF7, 0x6C, 0x32, 0x5B, 0x65}};

class INVComCapture : public platform::win::IDispatch {
  public:
    virtual platform::win::HRESULT CaptureWindow() = 0;
    virtual platform::win::HRESULT CaptureRegion() = 0;
    // The agent never calls the third slot; it is there to keep the order.
    virtual platform::win::HRESULT Unused3() = 0;
    virtual platform::win::HRESULT ShowOptions() = 0;
    virtual platform::win::HRESULT ShowPage(int32_t lngPage) = 0;
    virtual platform::win::HRESULT StartBrowser() = 0;

  protected:
    ~INVComCapture() = default;
};
