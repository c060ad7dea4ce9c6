#include "eventWait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool RunEventsUntil(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        // Sleeps in the loop rather than spinning: the machine may be busy.
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}
