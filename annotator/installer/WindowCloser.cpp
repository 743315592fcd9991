#include "WindowCloser.h"

#include <chrono>

#include "annotator/installer/InstallerTexts.h"
#include "platform/win/WindowClass.h"

namespace notavex::installer {

using namespace platform::win;

namespace {

constexpr int kCloseWaitMs = 2000;
constexpr int kPollMs = 50;
constexpr int kMaxPrompts = 3;

// Closes every window of one class.
CloseResult CloseClass(InstallerUi& ui, const char* strClass, const char* strTitle,
                       int& lngPrompts) {
    HWND last;
    while (const HWND window = FindWindow(strClass)) {
        if (!(window == last)) {
            PostMessage(window, WM_CLOSE, 0, 0);
            last = window;
            continue;
        }
        auto start = std::chrono::steady_clock::now();
        while (IsWindow(window)) {
            if (std::chrono::steady_clock::now() - start <
                std::chrono::milliseconds(kCloseWaitMs)) {
                ui.Pause(kPollMs);
                continue;
            }
            if (lngPrompts >= kMaxPrompts) return CloseResult::kFailed;
            ++lngPrompts;
            if (!ui.blnAsk(texts::kUnableToClose, strTitle)) return CloseResult::kCancelled;
            PostMessage(window, WM_CLOSE, 0, 0);
            start = std::chrono::steady_clock::now();
        }
    }
    return CloseResult::kClosed;
}

}  // namespace

CloseResult CloseBrowserWindows(InstallerUi& ui, bool blnUpgrade, const char* strTitle) {
    if (!ui.blnAsk(blnUpgrade ? texts::kCloseBeforeUpgrade : texts::kCloseBeforeUninstall,
                   strTitle))
        return CloseResult::kCancelled;
    int prompts = 0;
    for (const char* windowClass : {"IEFrame", "CabinetWClass", "ExploreWClass"}) {
        const CloseResult result = CloseClass(ui, windowClass, strTitle, prompts);
        if (result != CloseResult::kClosed && blnUpgrade) return result;
    }
    return CloseResult::kClosed;
}

}  // namespace notavex::installer
