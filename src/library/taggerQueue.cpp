#include "library/taggerQueue.h"

#include "platform/fileExists.h"

#include <algorithm>

namespace {

const TqueueRequester kHost;

} // namespace

TtaggerQueue::TtaggerQueue()
{
    SetOwnsRecords(true);
    SetReadFrameHeaders(true);
    SetKeepUntagged(true);
}

void TtaggerQueue::Add(TcustomTagger *record)
{
    m_requesters.emplace_back(record, kHost);
    TcustomTaggerList::Add(record);
}

void TtaggerQueue::InsertRequested(int index, TcustomTagger *record, const TqueueRequester &requester)
{
    const int at = std::clamp(index, 0, Count());
    // One change, unless the caller's own update makes it part of a larger one.
    const bool alone = !Updating();
    if (alone)
        BeginUpdate();
    m_requesters.emplace_back(record, requester);
    // Added last, then moved: Add is what holds the record and prepares it
    // for playing.
    TcustomTaggerList::Add(record);
    if (at < Count() - 1)
        Move(Count() - 1, at);
    if (alone)
        EndUpdate();
}

void TtaggerQueue::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_requesters.erase(m_requesters.begin() + index);
    TcustomTaggerList::Delete(index);
}

void TtaggerQueue::Remove(TcustomTagger *record)
{
    const auto &records = Records();
    const auto it = std::find(records.begin(), records.end(), record);
    if (it == records.end()) {
        Changed();
        return;
    }
    Delete(int(it - records.begin()));
}

void TtaggerQueue::Move(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        return;
    auto entry = std::move(m_requesters[size_t(from)]);
    m_requesters.erase(m_requesters.begin() + from);
    m_requesters.insert(m_requesters.begin() + to, std::move(entry));
    TcustomTaggerList::Move(from, to);
}

void TtaggerQueue::Clear()
{
    m_requesters.clear();
    TcustomTaggerList::Clear();
}

void TtaggerQueue::AddExisting(const TcustomTaggerList &list)
{
    BeginUpdate();
    // A copy: the list may be the queue itself.
    const std::vector<TcustomTagger *> records = list.Records();
    for (TcustomTagger *record : records) {
        if (QuietFileExists(record->Filename()))
            Add(record);
    }
    EndUpdate();
}

TtaggerRef TtaggerQueue::Pop(TqueueRequester *requester)
{
    TtaggerRef record;
    if (requester)
        *requester = kHost;
    if (Count() > 0) {
        if (requester)
            *requester = m_requesters.front().second;
        m_requesters.erase(m_requesters.begin());
        record = TtaggerRef(TakeAt(0));
        record->Release();
    }
    Changed();
    return record;
}

QString TtaggerQueue::DisplayText(int index) const
{
    const QString text = TcustomTaggerList::DisplayText(index);
    const TqueueRequester &requester = Requester(index);
    return requester.IsGuest() ? text + QStringLiteral("  (for ") + requester.name + u')' : text;
}

void TtaggerQueue::Changed()
{
    // The queue's own operations keep the two in step; only a change made
    // past them leaves the counts apart. Counting alone keeps a long queue's
    // changes cheap.
    if (m_requesters.size() != size_t(Count()))
        matchRequesters();
    TcustomTaggerList::Changed();
}

void TtaggerQueue::matchRequesters()
{
    std::vector<std::pair<const TcustomTagger *, TqueueRequester>> matched;
    matched.reserve(size_t(Count()));
    size_t from = 0;
    for (const TcustomTagger *record : Records()) {
        const auto it = std::find_if(m_requesters.begin() + std::ptrdiff_t(std::min(from, m_requesters.size())),
            m_requesters.end(), [record](const auto &entry) { return entry.first == record; });
        if (it == m_requesters.end()) {
            matched.emplace_back(record, kHost);
            continue;
        }
        matched.push_back(*it);
        from = size_t(it - m_requesters.begin()) + 1;
    }
    m_requesters = std::move(matched);
}
