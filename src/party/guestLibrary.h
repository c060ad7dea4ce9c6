#pragma once

#include "party/guestSearchIndex.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <unordered_map>
#include <vector>

class Tmp3JukeBoxLists;
class TcustomTagger;
class TtagAlbum;
class TtagArtist;
struct TlibraryChanges;

struct TguestAlbum {
    quint64 id = 0;
    QString name;
    QString artist;
    const TtagAlbum *album = nullptr;
};

struct TguestArtist {
    quint64 id = 0;
    QString name;
    const TtagArtist *artist = nullptr;
    // Indexes into Albums(), in the library's album order.
    std::vector<int> albums;
    int tracks = 0;
};

// The library as the guests' page searches and browses it: every track of the
// main library with an id and the search over them (TguestSearchIndex), and
// the artists with their albums and tracks.
//
// Built from the library's index, and kept in step with it by its partial
// changes (Apply): the records and albums it points to stay valid until the
// library announces LibraryChanging, when the owner drops it. Ids are a
// keyed hash of the file name (tracks), the artist's name (artists) and the
// album's name and folder (albums): the same in every build of one session,
// so a page that was open across a rescan still finds its tracks; a
// different key per session, so they tell nothing about a path. A track
// moved to another file takes the id of its new name.
//
// GUI thread only, like the library.
class TguestLibrary {
public:
    static constexpr int kMaxResults = TguestSearchIndex::kMaxResults;

    TguestLibrary(const Tmp3JukeBoxLists &library, quint64 key, TguestIndexLimits limits = {});

    // Takes a partial change of the library, which the library's lists and
    // index have taken already: the tracks it added, dropped, read again or
    // moved, and the artists and albums it touched.
    void Apply(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes);

    // Slots of tracks: a slot whose track left the library has a null
    // record, until the search index is compacted.
    int TrackCount() const { return m_index.SlotCount(); }
    const TguestTrack &Track(int index) const { return m_index.Slot(index); }
    // Null for an id no library track has.
    TcustomTagger *TrackById(quint64 id) const { return m_index.TrackById(id); }
    // The id a track with this file name has, in this library or not.
    quint64 TrackIdOf(const QString &fileName) const { return m_index.TrackIdOf(fileName); }

    // See TguestSearchIndex::Search; indexes into Track().
    std::vector<int> Search(QStringView query, int limit) const { return m_index.Search(query, limit); }

    // In the library's artist order.
    const std::vector<TguestArtist> &Artists() const { return m_artists; }
    // Slots of albums, named by the artists: a slot no artist names any more
    // has a null album, until the albums are compacted.
    const std::vector<TguestAlbum> &Albums() const { return m_albums; }
    const TguestArtist *ArtistById(quint64 id) const;
    const TguestAlbum *AlbumById(quint64 id) const;

private:
    // Lists the library's artists and their albums anew.
    void list(const Tmp3JukeBoxLists &library);
    // Lists again the artists a change touched, and those whose albums it
    // touched; drops what it emptied. The rest stays as it is.
    void relist(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes);
    // The artist's entry as a fresh listing would make it, its albums in
    // slots of their own.
    TguestArtist listed(const TtagArtist &artist);
    int albumSlot(const TtagAlbum &album, const TtagArtist &owner);
    void dropAlbum(int slot);
    void compactAlbums();

    quint64 m_key;
    TguestIndexLimits m_limits;
    TguestSearchIndex m_index;
    std::vector<TguestArtist> m_artists;
    std::vector<TguestAlbum> m_albums;
    std::unordered_map<quint64, int> m_artistIds;
    std::unordered_map<quint64, int> m_albumIds;
    // Each album's slot, and the artist that names it (by slot).
    std::unordered_map<const TtagAlbum *, int> m_albumSlots;
    std::vector<const TtagArtist *> m_albumOwners;
    size_t m_deadAlbums = 0;
};
