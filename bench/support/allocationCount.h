#pragma once

#include <functional>

// Heap allocations made by the calling thread while a step runs: by operator
// new and by the C allocator (Qt's containers and pictures allocate with
// malloc). A benchmark that links this replaces the process's operator new
// and malloc with counting ones; only the thread that asks is counted, so
// timer workers and the platform's threads do not blur the figure.
struct TallocationCount {
    long news = 0;
    long mallocs = 0;
    long total() const { return news + mallocs; }
};

TallocationCount CountAllocations(const std::function<void()> &step);
