#include "UiServices.h"

#include <array>
#include <iostream>
#include <utility>
#include <vector>

#include "ScriptedUi.h"

namespace platform::ui {

int32_t DefaultResult(int32_t lngStyle) {
    static const std::array<std::vector<int32_t>, 6> aButtons = {{
        {vbOK},
        {vbOK, vbCancel},
        {vbAbort, vbRetry, vbIgnore},
        {vbYes, vbNo, vbCancel},
        {vbYes, vbNo},
        {vbRetry, vbCancel},
    }};
    const auto lngButtons = static_cast<std::size_t>(lngStyle & kButtonsMask);
    const auto& buttons = lngButtons < aButtons.size() ? aButtons[lngButtons] : aButtons[0];
    // As on Windows, a default button beyond the box's buttons means the first.
    const auto lngDefault = static_cast<std::size_t>((lngStyle & kDefaultMask) >> 8);
    return lngDefault < buttons.size() ? buttons[lngDefault] : buttons[0];
}

namespace {

std::shared_ptr<UiServices>& Installed() {
    static std::shared_ptr<UiServices> objInstalled;
    return objInstalled;
}

// The stand-in writes every box to standard error, so a report shown before
// any services were installed is never lost silently.
UiServices& StandIn() {
    static ScriptedUi objStandIn(std::cerr);
    return objStandIn;
}

}  // namespace

UiServices& Ui() {
    auto& objInstalled = Installed();
    return objInstalled ? *objInstalled : StandIn();
}

std::shared_ptr<UiServices> InstallUi(std::shared_ptr<UiServices> services) {
    return std::exchange(Installed(), std::move(services));
}

}  // namespace platform::ui
