#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

namespace tavrin::bench {

// Handles events until `window` is exposed on the screen, for at most five seconds.
inline bool waitUntilExposed(QWidget &window)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (window.windowHandle() != nullptr && window.windowHandle()->isExposed()) {
            return true;
        }
    }
    return false;
}

} // namespace tavrin::bench
