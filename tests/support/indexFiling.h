#pragma once

#include "library/component.h"
#include "library/libraryChanges.h"

class Tmp3JukeBoxLists;
class TcustomTagger;

// Edits a library and its index in place, as a library that follows its
// folders does between rebuilds, and names in a change set what it did:
// records filed into their album and artists and out of them, the albums
// and artists touched (new ones included). Albums and artists it empties
// stay in the index, empty; nothing of the index is replaced, so whatever a
// reader keeps of the untouched ones stays valid.
class TindexFiling {
public:
    explicit TindexFiling(Tmp3JukeBoxLists &library);
    ~TindexFiling();
    TindexFiling(const TindexFiling &) = delete;
    TindexFiling &operator=(const TindexFiling &) = delete;

    // A new record into the master list and the index.
    void Add(TcustomTagger *record);
    void Remove(TcustomTagger *record);
    // Takes the record out of the index for edit to change its tags, then
    // files it again.
    template <typename Edit> void Change(TcustomTagger *record, Edit edit)
    {
        unfile(record);
        edit(*record);
        file(record);
        m_changes.changed.emplace_back(record);
    }
    void Move(TcustomTagger *record, const QString &fileName);

    // The change set; the filing is over.
    TlibraryChanges Take();

private:
    void file(TcustomTagger *record);
    void unfile(TcustomTagger *record);
    template <typename T> void touch(std::vector<T *> &touched, T *object);

    Tmp3JukeBoxLists &m_library;
    TNotifyEvent m_rebuild;
    TlibraryChanges m_changes;
};
