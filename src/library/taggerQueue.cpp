#include "library/taggerQueue.h"

#include "platform/fileExists.h"
#include "platform/pendingEvents.h"

TtaggerQueue::TtaggerQueue()
{
    SetOwnsRecords(true);
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

TtaggerRef TtaggerQueue::Pop()
{
    TtaggerRef record;
    if (Count() > 0) {
        record = TtaggerRef(TakeAt(0));
        record->Release();
    }
    Changed();
    return record;
}
