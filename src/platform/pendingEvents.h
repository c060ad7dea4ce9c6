#pragma once

#include <QtGlobal>

// Lets pending window messages run, so that long operations on the GUI thread
// (adding files, scans, index rebuilds, tree fills) keep the window painting.
void ProcessPendingEvents();

// For loops over many items on the GUI thread: Poll() between items lets
// pending window messages run at most once per interval, so that a loop over
// 100,000 records stays responsive without paying for 100,000 event-loop
// passes.
class TpendingEventsPacer {
public:
    explicit TpendingEventsPacer(int intervalMs = 15);
    void Poll();

private:
    qint64 m_intervalNs;
    qint64 m_last = 0;
};
