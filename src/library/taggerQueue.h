#pragma once

#include "library/customTaggerList.h"

#include <QString>
#include <utility>
#include <vector>

// Who asked for a queued track: a guest of the party, by the number the core
// gave the guest and the name the guest went by when asking, or nobody (0)
// for what the host queued.
struct TqueueRequester {
    int guest = 0;
    QString name;

    bool IsGuest() const { return guest != 0; }
    bool operator==(const TqueueRequester &) const = default;
};

// The play queue. It holds its records (they belong to the library, the
// stacker's library or the scratch list as well), so a queued track survives
// a rescan, a CD refresh or the stacker letting go of it; leaving the queue
// frees a record only when nothing else holds it. The same record may be
// queued more than once.
//
// Every entry remembers who asked for it: the list's operations carry the
// requester with the entry. Reading records in wholesale (a track-list file,
// a list of file names) makes every entry the host's.
class TtaggerQueue : public TcustomTaggerList {
public:
    TtaggerQueue();

    // Queues a record as the host's.
    void Add(TcustomTagger *record) override;
    // Queues a record for a guest at index (clamped to the queue).
    void InsertRequested(int index, TcustomTagger *record, const TqueueRequester &requester);
    void Delete(int index) override;
    void Remove(TcustomTagger *record) override;
    void Move(int from, int to) override;
    void Clear() override;
    // Queues the records of a list whose files exist, in order, as one change.
    void AddExisting(const TcustomTaggerList &list);
    // Takes the first record off the queue (none when it is empty); raises
    // OnChange either way. The holder keeps the record alive for the caller;
    // requester, when given, receives who asked for it.
    TtaggerRef Pop(TqueueRequester *requester = nullptr);

    // Who asked for the entry at index.
    const TqueueRequester &Requester(int index) const { return m_requesters[size_t(index)].second; }
    // The queue list's row: a guest's request names the guest.
    QString DisplayText(int index) const override;
    void Changed() override;

private:
    // Puts the requesters back in step after a change made past the queue's
    // own operations: entries are matched to their records in order.
    void matchRequesters();

    // One per entry, in queue order, with the record it was made for.
    std::vector<std::pair<const TcustomTagger *, TqueueRequester>> m_requesters;
};
