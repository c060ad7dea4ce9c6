#pragma once

#include "library/customTaggerList.h"

// The play queue. Never owns its records: they belong to the library, the
// stacker's library or the scratch list, and leaving the queue does not free
// them. The same record may be queued more than once.
class TtaggerQueue : public TcustomTaggerList {
public:
    TtaggerQueue();

    // Queues the records of a list whose files exist, in order, as one change.
    void AddExisting(const TcustomTaggerList &list);
    // Takes the first record off the queue (none when it is empty); raises
    // OnChange either way.
    TcustomTagger *Pop();
};
