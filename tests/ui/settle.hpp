#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include "ui/qt_desktop.hpp"

namespace gantrylux::testing {

// Handles the window's events until every background job of the desktop has come back; false
// when that takes longer than the time given.
inline bool Settle(const QtDesktop& desktop, int milliseconds = 20000) {
    const QDeadlineTimer deadline(milliseconds);
    QCoreApplication::processEvents();
    while (desktop.jobsOut() > 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return desktop.jobsOut() == 0;
}

}  // namespace gantrylux::testing
