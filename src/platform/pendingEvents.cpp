#include "platform/pendingEvents.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

void ProcessPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

TpendingEventsPacer::TpendingEventsPacer(int intervalMs)
    : m_intervalNs(qint64(intervalMs) * 1000000)
    , m_last(QDeadlineTimer::current().deadlineNSecs())
{
}

void TpendingEventsPacer::Poll()
{
    const qint64 now = QDeadlineTimer::current().deadlineNSecs();
    if (now - m_last < m_intervalNs)
        return;
    m_last = now;
    ProcessPendingEvents();
}
