// The one Qt application object of the annotator's tests, and a wait that
// lets Qt's events run meanwhile.
#pragma once

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace twtest {

// QApplication where the test shows widgets.
template <typename App = QCoreApplication>
void EnsureDesktopApp() {
    static int argc = 1;
    static char name[] = "annotator_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new App(argc, argv);
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
