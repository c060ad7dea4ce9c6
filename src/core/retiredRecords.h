#pragma once

#include <functional>
#include <vector>

class TcustomTagger;

// Track records taken out of a library while something may still point at
// them: the play queue, the player's two streams or the record last handed to
// the player. Reloading the library or deleting from the stacker retires the
// records instead of freeing them; Release frees the ones nothing uses any
// more. Without this a library reload during playback would leave the queue
// and the playing stream pointing at freed records.
//
// GUI thread only.
class TretiredRecords {
public:
    TretiredRecords() = default;
    ~TretiredRecords();
    TretiredRecords(const TretiredRecords &) = delete;
    TretiredRecords &operator=(const TretiredRecords &) = delete;

    // Takes ownership of records (each at most once).
    void Retire(std::vector<TcustomTagger *> records);
    // Frees every retired record for which inUse answers false.
    void Release(const std::function<bool(const TcustomTagger *)> &inUse);
    int Count() const { return int(m_records.size()); }

private:
    std::vector<TcustomTagger *> m_records;
};
