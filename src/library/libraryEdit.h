#pragma once

#include "library/libraryChanges.h"

#include <QString>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Tmp3JukeBoxLists;
class TcustomTagger;
class TtagAlbum;
class TtagArtist;

// A change of the library in part (a batch of the folder watch), made record
// by record and taken by the index at Commit: the records that come and go
// are filed into and out of their albums and artists, the master list keeps
// its title order, and the whole is announced as one change set
// (Tmp3JukeBoxLists::OnLibraryChanged). Nothing else of the index is built
// again, so what a change costs follows the change, not the library's size.
//
// A record whose tags or file name are about to change is handed to Change or
// Move before it changes: it is found in its album and artists by what it
// was.
//
// While the library's rebuild is suspended (a load, a scan's findings being
// added) or its master list is not in title order (a library never indexed),
// the edit changes the master list only, inside the library's change
// notification, and the library's rebuild takes it as it takes the rest.
//
// GUI thread only, like the library.
class TlibraryEdit {
public:
    explicit TlibraryEdit(Tmp3JukeBoxLists &library);
    // Commits what was not committed yet.
    ~TlibraryEdit();
    TlibraryEdit(const TlibraryEdit &) = delete;
    TlibraryEdit &operator=(const TlibraryEdit &) = delete;

    // A record new to the library, which holds it from now on.
    void Add(TcustomTagger *record);
    void Remove(TcustomTagger &record);
    // Before the record's data is taken again from its file.
    void Change(TcustomTagger &record);
    // Before the record's file name changes.
    void Move(TcustomTagger &record);
    void SetUnavailable(TcustomTagger &record, bool unavailable);

    // Takes the change into the index and announces it (nothing when nothing
    // changed), then hands the change set over: what it names as gone is
    // freed with it.
    TlibraryChanges Commit();

private:
    enum class Kind : quint8 { Added, Removed, Changed, Moved };
    struct Entry {
        TtaggerRef record;
        Kind kind;
        QString movedFrom;
        // The record's place in the master list before the edit; -1 for none.
        int place = -1;
    };

    // Whether the index follows the edit (else the library's rebuild does).
    bool inPlace();
    Entry &takeOut(TcustomTagger &record, Kind kind);
    void touch(TtagAlbum *album);
    void touch(TtagArtist *artist);
    TlibraryChanges commitInPlace();
    void settleAlbums();
    void settleArtists();
    void rename(TtagArtist &artist);
    void link(TtagAlbum &album);
    void unlink(TtagAlbum &album, const QString &artistName);
    void fillShadowed();

    Tmp3JukeBoxLists &m_library;
    // Decided at the first change: in place, or by the library's rebuild.
    enum class Mode : quint8 { Undecided, InPlace, Rebuild } m_mode = Mode::Undecided;
    bool m_resumeRebuild = false;
    bool m_committed = false;

    std::unordered_map<const TcustomTagger *, Entry> m_entries;
    std::vector<const TcustomTagger *> m_order;
    // The records whose reach changed, with what it was before the edit.
    std::unordered_map<const TcustomTagger *, bool> m_reachBefore;
    std::vector<TtaggerRef> m_reachOrder;
    // Albums touched, with the artist each was filed under before the edit.
    std::unordered_map<TtagAlbum *, QString> m_albumArtists;
    std::vector<TtagAlbum *> m_albums;
    std::unordered_set<TtagArtist *> m_touchedArtists;
    std::vector<TtagArtist *> m_artists;
    // Album names an artist lost: another album of that name may show now.
    std::vector<std::pair<TtagArtist *, QString>> m_unlinked;
    TlibraryChanges m_changes;
};
