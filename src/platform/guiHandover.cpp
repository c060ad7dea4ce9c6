#include "platform/guiHandover.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

QEvent::Type PostedEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// How often a worker waiting for a slot looks whether it should stop.
constexpr int kSlotPollMs = 20;

} // namespace

TguiHandoverCore::TguiHandoverCore(int bound)
    : m_slots(bound > 0 ? std::make_unique<QSemaphore>(bound) : nullptr)
{
}

bool TguiHandoverCore::takeSlot(const std::function<bool()> &stopping)
{
    if (!m_slots)
        return false;
    bool taken = m_slots->tryAcquire(1, kSlotPollMs);
    while (!taken && !(stopping && stopping()))
        taken = m_slots->tryAcquire(1, kSlotPollMs);
    return taken;
}

void TguiHandoverCore::giveSlot()
{
    m_slots->release();
}

void TguiHandoverCore::announce()
{
    QCoreApplication::postEvent(this, new QEvent(PostedEventType()));
}

bool TguiHandoverCore::event(QEvent *event)
{
    // Before the event is read: it was made by the worker, under the lock.
    {
        std::lock_guard lock(m_lock);
    }
    if (event->type() != PostedEventType())
        return QObject::event(event);
    // A handler that lets pending events run comes back here: the loop below
    // takes the newer values in their turn.
    if (m_delivering)
        return true;
    m_delivering = true;
    while (deliverNext()) { }
    m_delivering = false;
    return true;
}
