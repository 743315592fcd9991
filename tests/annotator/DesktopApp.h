// The one Qt application object of the desktop tests, and a wait that
// lets Qt's events run meanwhile.
#pragma once

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace twtest {

inline void EnsureDesktopApp() {
    static int argc = 1;
    static char name[] = "annotator_desktop_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// Whether the condition holds within five seconds.
template <typename Pred>
bool blnRunUntil(Pred pred) {
    for (int i = 0; i < 500 && !pred(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

}  // namespace twtest
