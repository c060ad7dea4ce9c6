#include "playback/threadedTimer.h"

#include <chrono>

namespace {

constexpr int kSliceMs = 100;

QThread::Priority ToQtPriority(TThreadPriority priority)
{
    switch (priority) {
    case tpIdle:
        return QThread::IdlePriority;
    case tpLowest:
        return QThread::LowestPriority;
    case tpLower:
        return QThread::LowPriority;
    case tpNormal:
        return QThread::NormalPriority;
    case tpHigher:
        return QThread::HighPriority;
    case tpHighest:
        return QThread::HighestPriority;
    case tpTimeCritical:
        return QThread::TimeCriticalPriority;
    }
    return QThread::NormalPriority;
}

} // namespace

TTimerThread::TTimerThread(TThreadedTimer *timer, quint16 interval) : m_timer(timer), m_interval(interval) {}

void TTimerThread::SetInterval(quint16 interval)
{
    std::lock_guard lock(m_mutex);
    m_interval = interval;
}

void TTimerThread::Suspend()
{
    std::lock_guard lock(m_mutex);
    m_suspended = true;
}

void TTimerThread::Resume()
{
    {
        std::lock_guard lock(m_mutex);
        m_suspended = false;
    }
    m_wake.notify_all();
}

bool TTimerThread::Suspended() const
{
    std::lock_guard lock(m_mutex);
    return m_suspended;
}

void TTimerThread::Terminate()
{
    {
        std::lock_guard lock(m_mutex);
        m_terminate = true;
    }
    m_wake.notify_all();
}

void TTimerThread::Join()
{
    wait();
    std::lock_guard lock(m_mutex);
}

void TTimerThread::TickDone()
{
    {
        std::lock_guard lock(m_mutex);
        m_tickPending = false;
    }
    m_wake.notify_all();
}

// Sleeps ms, then stays put while suspended; time spent suspended inside the
// slice counts towards it. False when termination was requested.
bool TTimerThread::SleepSlice(int ms)
{
    std::unique_lock lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    m_wake.wait_until(lock, deadline, [this] { return m_terminate; });
    m_wake.wait(lock, [this] { return m_terminate || !m_suspended; });
    return !m_terminate;
}

void TTimerThread::run()
{
    for (;;) {
        quint16 interval;
        {
            std::lock_guard lock(m_mutex);
            interval = m_interval;
        }
        for (int slice = 0; slice < interval / kSliceMs; ++slice) {
            if (!SleepSlice(kSliceMs))
                return;
        }
        if (!SleepSlice(interval % kSliceMs))
            return;
        {
            std::lock_guard lock(m_mutex);
            m_tickPending = true;
        }
        m_timer->m_ticks.Post(TThreadedTimer::Tick {});
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_terminate || !m_tickPending; });
        if (m_terminate)
            return;
    }
}

TThreadedTimer::TThreadedTimer(QObject *parent) : TThreadedTimer(1000, parent) {}

TThreadedTimer::TThreadedTimer(quint16 interval, QObject *parent)
    : QObject(parent), m_interval(interval), m_thread(std::make_unique<TTimerThread>(this, m_interval))
{
    m_ticks.OnDeliver = [this](Tick &) { RunTick(); };
    m_thread->start();
}

TThreadedTimer::~TThreadedTimer()
{
    SetEnabled(false);
    m_thread->Terminate();
    m_thread->Join();
}

void TThreadedTimer::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    UpdateTimer();
}

void TThreadedTimer::SetInterval(quint16 value)
{
    if (value == m_interval)
        return;
    m_interval = value;
    m_thread->SetInterval(value);
    UpdateTimer();
}

void TThreadedTimer::SetOnTimer(TNotifyEvent value)
{
    m_onTimer = std::move(value);
    UpdateTimer();
}

void TThreadedTimer::SetThreadPriority(TThreadPriority value)
{
    if (value == m_priority)
        return;
    m_priority = value;
    m_thread->setPriority(ToQtPriority(value));
    UpdateTimer();
}

QThread::Priority TThreadedTimer::WorkerPriority() const
{
    return m_thread->priority();
}

void TThreadedTimer::UpdateTimer()
{
    if (!m_thread->Suspended())
        m_thread->Suspend();
    m_running = m_interval != 0 && m_enabled && m_onTimer;
    if (m_running)
        m_thread->Resume();
}

void TThreadedTimer::RunTick()
{
    // A tick that was on its way while the timer was stopped is dropped.
    if (m_running && m_onTimer) {
        const TNotifyEvent handler = m_onTimer;
        handler(this);
    }
    m_thread->TickDone();
}
