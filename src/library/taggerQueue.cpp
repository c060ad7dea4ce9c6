#include "library/taggerQueue.h"

#include "platform/fileExists.h"
#include "platform/pendingEvents.h"

TtaggerQueue::TtaggerQueue()
{
    SetOwnsRecords(false);
    SetReadFrameHeaders(true);
    SetKeepUntagged(true);
}

void TtaggerQueue::AddExisting(const TcustomTaggerList &list)
{
    BeginUpdate();
    // A copy: the list may be the queue itself.
    const std::vector<TcustomTagger *> records = list.Records();
    for (TcustomTagger *record : records) {
        ProcessPendingEvents();
        if (QuietFileExists(record->Filename()))
            Add(record);
    }
    EndUpdate();
}

TcustomTagger *TtaggerQueue::Pop()
{
    TcustomTagger *record = Count() > 0 ? TakeAt(0) : nullptr;
    Changed();
    return record;
}
