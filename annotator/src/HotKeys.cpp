#include "annotator/src/HotKeys.h"

#include <cstdio>
#include <cstdlib>

#include "annotator/src/PortalHotKeys.h"
#include "annotator/src/X11HotKeys.h"

namespace {

// Where no global keys can be had: nothing registers, and the first attempt
// says so once.
class NoHotKeys : public HotKeys {
  public:
    explicit NoHotKeys(std::string strWhy) : mstrWhy(std::move(strWhy)) {}
    bool RegisterHotKey(int32_t, uint32_t, uint32_t) override {
        if (!mblnSaid)
            std::fprintf(stderr,
                         "NVAgent: running without hot keys (%s); bind \"nvmsg 'Notavex Agent' 786 "
                         "21073\" (WM_HOTKEY; 21074 for a region) to a desktop shortcut.\n",
                         mstrWhy.c_str());
        mblnSaid = true;
        return false;
    }
    void UnregisterHotKey(int32_t) override {}

  private:
    std::string mstrWhy;
    bool mblnSaid = false;
};

bool blnSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

std::unique_ptr<HotKeys> NewDesktopHotKeys(std::string* pstrWhyNone) {
    std::string strWhy;
    // An X display beside Wayland is XWayland, whose grabs see only X
    // windows: the portal is the way there.
    if (blnSet("WAYLAND_DISPLAY")) return std::make_unique<PortalHotKeys>();
    if (blnSet("DISPLAY")) {
        if (auto x11 = X11HotKeys::Connect(nullptr, &strWhy)) return x11;
    } else {
        strWhy = "no display";
    }
    if (pstrWhyNone) *pstrWhyNone = strWhy;
    return std::make_unique<NoHotKeys>(strWhy);
}
