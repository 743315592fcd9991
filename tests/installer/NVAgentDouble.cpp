// TEST DOUBLE, not the tray agent: claims a window class and ends on one
// message, so the installer's tests have a window to stop or to close.
// Without arguments it stands in for the agent ("Notavex Agent", ending on
// 1127); "nvagent_double CLASS MESSAGE" claims CLASS and ends on MESSAGE,
// "nvagent_double CLASS never" never ends on a message, and "CLASS hang"
// never even reads one, like a hung program. It ends by itself
// after a minute in any case, so a failed test leaves nothing behind.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/win/WindowClass.h"

using namespace platform::win;

int main(int argc, char** argv) {
    const std::string windowClass = argc > 1 ? argv[1] : "Notavex Agent";
    const std::string quitOn = argc > 2 ? argv[2] : "1127";
    const long message = quitOn == "never" ? -1 : std::strtol(quitOn.c_str(), nullptr, 10);
    auto owner = WindowClassOwner::Claim(windowClass);
    if (!owner) return 1;
    if (quitOn == "hang") {
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 0;
    }
    bool quit = false;
    const auto handler = [&](const WindowMessage& m) -> int64_t {
        if (static_cast<long>(m.lngMsg) == message) quit = true;
        return 0;
    };
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!quit && std::chrono::steady_clock::now() < until)
        owner->blnWaitAndDispatch(handler, 200);
    return 0;
}
