// The one Qt application object of the desktop tests.
#pragma once

#include <QCoreApplication>

namespace twtest {

inline void EnsureDesktopApp() {
    static int argc = 1;
    static char name[] = "annotator_desktop_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

}  // namespace twtest
