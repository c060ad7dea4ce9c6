#pragma once

#include "library/customTaggerList.h"

// The play queue. It holds its records (they belong to the library, the
// stacker's library or the scratch list as well), so a queued track survives
// a rescan, a CD refresh or the stacker letting go of it; leaving the queue
// frees a record only when nothing else holds it. The same record may be
// queued more than once.
class TtaggerQueue : public TcustomTaggerList {
public:
    TtaggerQueue();

    // Queues the records of a list whose files exist, in order, as one change.
    void AddExisting(const TcustomTaggerList &list);
    // Takes the first record off the queue (none when it is empty); raises
    // OnChange either way. The holder keeps the record alive for the caller.
    TtaggerRef Pop();
};
