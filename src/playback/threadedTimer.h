#pragma once

#include "platform/guiHandover.h"

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThreadedTimer;

// The worker of a TThreadedTimer: sleeps out the interval in 100 ms slices and
// then hands the tick to the GUI thread, blocking until the handler returned.
//
// Its interval copy and the suspended, terminate and tick-pending flags are
// shared between the GUI thread (which sets them) and the worker (which
// waits on them); all of them are guarded by m_mutex. Ticks go through the
// timer's hand-over.
class TTimerThread : public QThread {
public:
    TTimerThread(TThreadedTimer *timer, quint16 interval);

    void SetInterval(quint16 interval);
    void Suspend();
    void Resume();
    bool Suspended() const;
    // Ends the loop within one slice, also when the worker waits for a tick.
    void Terminate();
    // Called on the GUI thread when a tick has been handled (or dropped).
    void TickDone();
    // Waits for the worker to end, then takes and releases m_mutex, so that
    // what the worker did is ordered before what the caller does next by a
    // lock the thread sanitizer sees (QThread::wait orders it too, but
    // through Qt's own locks).
    void Join();

protected:
    void run() override;

private:
    bool SleepSlice(int ms);

    TThreadedTimer *const m_timer;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    quint16 m_interval;
    bool m_suspended = false;
    bool m_terminate = false;
    bool m_tickPending = false;
};

// The system's timer: every tick runs on the GUI thread, driven by a worker
// thread, so ticks never queue up and a slow handler lengthens the period.
// Used on the GUI thread only.
class TThreadedTimer : public QObject {
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;

    explicit TThreadedTimer(QObject *parent = nullptr);
    // A timer whose worker starts with the given interval rather than the
    // default second: its first period is already that long.
    TThreadedTimer(quint16 interval, QObject *parent = nullptr);
    ~TThreadedTimer() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    quint16 Interval() const { return m_interval; }
    void SetInterval(quint16 value);
    const TNotifyEvent &OnTimer() const { return m_onTimer; }
    void SetOnTimer(TNotifyEvent value);
    TThreadPriority ThreadPriority() const { return m_priority; }
    void SetThreadPriority(TThreadPriority value);

    // Whether the worker runs now (not suspended).
    bool Running() const { return m_running; }
    QThread::Priority WorkerPriority() const;

private:
    friend class TTimerThread;
    // A tick, handed from the worker.
    struct Tick { };

    void UpdateTimer();
    void RunTick();

    bool m_enabled = true;
    quint16 m_interval = 1000;
    TNotifyEvent m_onTimer;
    TThreadPriority m_priority = tpNormal;
    bool m_running = true;
    // A tick still waiting when the timer ends is dropped.
    TguiHandover<Tick> m_ticks;
    std::unique_ptr<TTimerThread> m_thread;
};
