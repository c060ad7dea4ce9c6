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
    RunEvents(1150);
    ASSERT_GE(times.size(), 2u);
    EXPECT_LE(times.size(), 4u);
    EXPECT_GE(times[0], 240);
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
    RunEvents(700);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 3);
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
    timer.SetInterval(600);
    timer.SetOnTimer([&](QObject *) { ++ticks; });
    RunEvents(350);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    RunEvents(700);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    // Most of the period had passed before the pause: the tick comes well within one interval.
    const qint64 waited = WaitForTick(ticks, 2000);
    EXPECT_EQ(ticks, 1);
    EXPECT_LT(waited, 450);
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
