#include "playback/threadedTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

void RunEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs events until a tick arrives or ms pass; the time waited.
qint64 WaitForTick(const int &ticks, int ms)
{
    const int before = ticks;
    QElapsedTimer clock;
    clock.start();
    while (ticks == before && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return clock.elapsed();
}

// The worker starts at construction with the default interval and takes a
// new interval at the start of its next period, so the tests time the periods
// that follow the first tick.

TEST(ThreadedTimer, TicksOnTheGuiThreadAtTheInterval)
{
    TThreadedTimer timer;
    std::vector<qint64> times;
    QElapsedTimer clock;
    clock.start();
    timer.SetInterval(250);
    timer.SetOnTimer([&](QObject *sender) {
        EXPECT_EQ(sender, &timer);
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        times.push_back(clock.elapsed());
    });
    while (times.size() < 5 && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    ASSERT_EQ(times.size(), 5u);
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_GE(times[i] - times[i - 1], 240);
}

TEST(ThreadedTimer, ASlowHandlerLengthensThePeriodInsteadOfQueueingTicks)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(50);
    timer.SetOnTimer([&](QObject *) {
        ++ticks;
        QThread::msleep(200);
    });
    ASSERT_LT(WaitForTick(ticks, 3000), 3000);
    const int first = ticks;
    RunEvents(700);
    // Each period is at least the 200 ms handler plus the 50 ms interval.
    EXPECT_GE(ticks - first, 1);
    EXPECT_LE(ticks - first, 3);
}

TEST(ThreadedTimer, DoesNotRunWithIntervalZeroOrWithoutAHandler)
{
    TThreadedTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.ThreadPriority(), tpNormal);
    timer.SetInterval(100);
    EXPECT_FALSE(timer.Running());

    int ticks = 0;
    timer.SetInterval(0);
    timer.SetOnTimer([&](QObject *) { ++ticks; });
    EXPECT_FALSE(timer.Running());
    RunEvents(350);
    EXPECT_EQ(ticks, 0);

    timer.SetInterval(100);
    EXPECT_TRUE(timer.Running());
    EXPECT_LT(WaitForTick(ticks, 2000), 2000);

    timer.SetOnTimer(nullptr);
    EXPECT_FALSE(timer.Running());
    const int seen = ticks;
    RunEvents(350);
    EXPECT_EQ(ticks, seen);
}

TEST(ThreadedTimer, ReEnablingKeepsThePlaceInThePeriod)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(2000);
    timer.SetOnTimer([&](QObject *) { ++ticks; });
    ASSERT_LT(WaitForTick(ticks, 4000), 4000);
    RunEvents(1400);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    RunEvents(1000);
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(true);
    // Most of the period had passed before the pause, so the tick comes well
    // before a whole interval; a restarted period would take 2 s.
    const qint64 waited = WaitForTick(ticks, 4000);
    EXPECT_EQ(ticks, 2);
    EXPECT_LT(waited, 1600);
}

TEST(ThreadedTimer, AHandlerMayStopItsOwnTimer)
{
    TThreadedTimer timer;
    int ticks = 0;
    timer.SetInterval(50);
    timer.SetOnTimer([&](QObject *) {
        ++ticks;
        timer.SetEnabled(false);
    });
    EXPECT_LT(WaitForTick(ticks, 2000), 2000);
    RunEvents(300);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Running());
}

TEST(ThreadedTimer, NoTickArrivesAfterDestructionBegins)
{
    int ticks = 0;
    auto timer = std::make_unique<TThreadedTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](QObject *) { ++ticks; });
    // The worker posts a tick and waits for the GUI thread, which is busy.
    QThread::msleep(250);
    timer.reset();
    RunEvents(200);
    EXPECT_EQ(ticks, 0);
}

TEST(ThreadedTimer, PriorityIsPassedToTheWorker)
{
    TThreadedTimer timer;
    timer.SetThreadPriority(tpLowest);
    EXPECT_EQ(timer.WorkerPriority(), QThread::LowestPriority);
    timer.SetThreadPriority(tpIdle);
    EXPECT_EQ(timer.WorkerPriority(), QThread::IdlePriority);
    timer.SetThreadPriority(tpNormal);
    EXPECT_EQ(timer.WorkerPriority(), QThread::NormalPriority);
    int ticks = 0;
    timer.SetInterval(50);
    timer.SetOnTimer([&](QObject *) { ++ticks; });
    EXPECT_LT(WaitForTick(ticks, 2000), 2000);
}

} // namespace
