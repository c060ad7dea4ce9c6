#pragma once

#include <functional>

// Runs the event loop (timers, queued calls, a bus's signals) until done()
// holds, asking every 20 ms or so; false when it did not within timeoutMs.
bool RunEventsUntil(const std::function<bool()> &done, int timeoutMs);
