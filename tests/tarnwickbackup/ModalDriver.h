// Drives a modal window of the program from inside its own event loop: the
// test's action runs once the window is open, and a window the action left
// open is closed (by default without any question) so that a failing test
// cannot hang.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

namespace twtest {

template <class Window>
void WhenOpen(
    std::function<void(Window&)> fnAct,
    std::function<void(Window&)> fnClose = [](Window& window) { window.done(0); }) {
    QTimer::singleShot(0, [fnAct, fnClose] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window) {
            ADD_FAILURE() << "the window is not open";
            return;
        }
        fnAct(*window);
        if (window->isVisible()) fnClose(*window);
    });
}

}  // namespace twtest
