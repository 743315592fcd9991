// A hot-key service that records what the agent asks of it, one line per
// call ("register ID MODIFIERS KEY", "unregister ID"), and lets a test press
// a key.
#pragma once

#include <string>
#include <vector>

#include "annotator/src/HotKeys.h"

namespace twtest {

class RecordingHotKeys : public HotKeys {
  public:
    bool RegisterHotKey(int32_t lngId, uint32_t lngModifiers, uint32_t lngVirtualKey) override {
        maCalls.push_back("register " + std::to_string(lngId) + " " + std::to_string(lngModifiers) +
                          " " + std::string(1, static_cast<char>(lngVirtualKey)));
        return true;
    }
    void UnregisterHotKey(int32_t lngId) override {
        maCalls.push_back("unregister " + std::to_string(lngId));
    }
    void Press(int32_t lngId) { RaisePressed(lngId); }
    std::vector<std::string> Take() { return std::exchange(maCalls, {}); }

  private:
    std::vector<std::string> maCalls;
};

}  // namespace twtest
