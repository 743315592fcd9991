// A list-box control as the library sees it: something that takes tab stops.
// platform/qt supplies the real one.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::ui {

class ListBoxControl {
public:
    virtual ~ListBoxControl() = default;
    // The LB_SETTABSTOPS message: stops in dialog units. Returns non-zero when
    // the control accepted them, zero when it refused.
    virtual int32_t SetTabStops(const std::vector<int32_t>& alngStops) = 0;
};

}  // namespace platform::ui
