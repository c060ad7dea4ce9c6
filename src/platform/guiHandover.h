#pragma once

#include "platform/raiseEvent.h"

#include <QObject>
#include <QSemaphore>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// The part of TguiHandover that does not depend on what is handed over.
//
// A worker posts under m_lock, and the receiving thread takes m_lock before it
// reads what was posted: the hand-over is ordered by a lock the thread
// sanitizer can see, not only by those inside a Qt not built for it.
class TguiHandoverCore : public QObject {
public:
    bool event(QEvent *event) override;

protected:
    // bound: values posted and not yet delivered before Post waits; 0 for no
    // bound.
    explicit TguiHandoverCore(int bound);

    // Worker: takes a slot when there is a bound, waiting while all are taken
    // unless stopping() turns true. Whether it took one.
    bool takeSlot(const std::function<bool()> &stopping);
    void giveSlot();
    // Under m_lock: a value was posted.
    void announce();
    // Receiving thread: takes the oldest value under m_lock and delivers it;
    // false when there was none.
    virtual bool deliverNext() = 0;

    std::mutex m_lock;

private:
    // Bounds the memory and the lag of a worker that runs ahead of a busy
    // receiver. Taken by the worker, given back by the receiving thread.
    std::unique_ptr<QSemaphore> m_slots;
    // Receiving thread only.
    bool m_delivering = false;
};

// Hands values from worker threads to the thread this object lives in (the GUI
// thread), where OnDeliver receives them one at a time in the order posted.
// A handler that lets pending events run does not receive the values posted
// meanwhile until it returns, so they keep their order; values still waiting
// when this object ends are dropped.
template <typename T> class TguiHandover final : public TguiHandoverCore {
public:
    explicit TguiHandover(int bound = 0)
        : TguiHandoverCore(bound)
    {
    }
    ~TguiHandover() override { Clear(); }

    // Set on the receiving thread, before a worker posts.
    std::function<void(T &value)> OnDeliver;

    // Any thread. With a bound, waits while that many values are undelivered;
    // once stopping() holds it posts without waiting.
    void Post(T value, const std::function<bool()> &stopping = {})
    {
        const bool holdsSlot = takeSlot(stopping);
        std::lock_guard lock(m_lock);
        m_posted.push_back(Posted { std::move(value), holdsSlot });
        announce();
    }

    // Drops the values not yet delivered.
    void Clear()
    {
        std::lock_guard lock(m_lock);
        for (const Posted &posted : m_posted) {
            if (posted.holdsSlot)
                giveSlot();
        }
        m_posted.clear();
    }

private:
    struct Posted {
        T value;
        bool holdsSlot;
    };

    bool deliverNext() override
    {
        std::optional<Posted> next;
        {
            std::lock_guard lock(m_lock);
            if (m_posted.empty())
                return false;
            next.emplace(std::move(m_posted.front()));
            m_posted.pop_front();
        }
        RaiseEvent(OnDeliver, next->value);
        if (next->holdsSlot)
            giveSlot();
        return true;
    }

    // Under m_lock.
    std::deque<Posted> m_posted;
};
