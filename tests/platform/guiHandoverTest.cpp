#include "platform/guiHandover.h"

#include "eventWait.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>
#include <vector>

namespace {

struct Numbered {
    int worker;
    int number;
};

// Two workers post more than the bound allows at once, and the first value's
// handler lets pending events run while the next one is posted.
TEST(GuiHandover, DeliversEachWorkersValuesInOrderOneAtATimeWithinTheBound)
{
    constexpr int kBound = 2;
    constexpr int kEach = 200;
    TguiHandover<Numbered> handover(kBound);
    // Counted after each Post returns.
    std::atomic<int> posted { 0 };
    std::vector<std::vector<int>> received(2);
    int delivered = 0;
    int depth = 0;
    int deepest = 0;
    bool offThread = false;
    bool beyondBound = false;
    handover.OnDeliver = [&](Numbered &value) {
        deepest = std::max(deepest, ++depth);
        offThread = offThread || QThread::currentThread() != handover.thread();
        // A value holds its slot until its handler returns.
        beyondBound = beyondBound || posted.load() > delivered + kBound;
        received[size_t(value.worker)].push_back(value.number);
        if (delivered++ == 0) {
            EXPECT_TRUE(RunEventsUntil([&] { return posted.load() >= kBound; }, 10000));
            QCoreApplication::sendPostedEvents(&handover);
        }
        --depth;
    };
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 2; ++worker) {
        workers.emplace_back([&handover, &posted, worker] {
            for (int number = 0; number < kEach; ++number) {
                handover.Post(Numbered { worker, number });
                ++posted;
            }
        });
    }
    const bool all = RunEventsUntil([&] { return delivered == 2 * kEach; }, 30000);
    for (std::thread &worker : workers)
        worker.join();
    ASSERT_TRUE(all);
    std::vector<int> inOrder(kEach);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(received[0], inOrder);
    EXPECT_EQ(received[1], inOrder);
    EXPECT_EQ(deepest, 1);
    EXPECT_FALSE(offThread);
    EXPECT_FALSE(beyondBound);
}

} // namespace
