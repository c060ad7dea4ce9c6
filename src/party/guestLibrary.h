#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Tmp3JukeBoxLists;
class TcustomTagger;
class TtagAlbum;

// The id a track with this file name has on the wire, under the session's key.
quint64 GuestTrackId(const QString &fileName, quint64 key);
// How a track is titled for guests: its title, or its file's name without
// the extension when it has none.
QString GuestTitle(const TcustomTagger &record);

// A library track as guests see it: the record and the id that stands for it
// on the wire (never its path).
struct TguestTrack {
    TcustomTagger *record = nullptr;
    quint64 id = 0;
};

struct TguestAlbum {
    quint64 id = 0;
    QString name;
    QString artist;
    const TtagAlbum *album = nullptr;
};

struct TguestArtist {
    quint64 id = 0;
    QString name;
    // Indexes into Albums(), in the library's album order.
    std::vector<int> albums;
    int tracks = 0;
};

// The library as the guests' page searches and browses it: every track of the
// main library with an id, a search over artist, album and title that does
// not mind case or accents and puts the best matches first, and the artists
// with their albums and tracks.
//
// Built from the library's index: the records and albums it points to stay
// valid until the library announces LibraryChanging, when the owner drops
// it. Ids are a keyed hash of the file name (tracks), the artist's name
// (artists) and the album's name and folder (albums): the same in every
// build of one session, so a page that was open across a rescan still finds
// its tracks; a different key per session, so they tell nothing about a
// path.
//
// GUI thread only, like the library.
class TguestLibrary {
public:
    static constexpr int kMaxResults = 50;

    TguestLibrary(const Tmp3JukeBoxLists &library, quint64 key);

    int TrackCount() const { return int(m_tracks.size()); }
    const TguestTrack &Track(int index) const { return m_tracks[size_t(index)]; }
    // Null for an id no library track has.
    TcustomTagger *TrackById(quint64 id) const;
    // The id a track with this file name has, in this library or not.
    quint64 TrackIdOf(const QString &fileName) const;

    // The tracks that match every word of the query in their artist, album
    // or title, best first: a whole title before the start of a word before
    // the inside of one, title before artist before album; at most limit
    // (and kMaxResults). Indexes into Track().
    std::vector<int> Search(QStringView query, int limit) const;

    const std::vector<TguestArtist> &Artists() const { return m_artists; }
    const std::vector<TguestAlbum> &Albums() const { return m_albums; }
    const TguestArtist *ArtistById(quint64 id) const;
    const TguestAlbum *AlbumById(quint64 id) const;

private:
    struct Scored {
        int score;
        int track;
    };
    int score(size_t track, const std::vector<std::string> &words, const std::string &phrase) const;

    quint64 m_key;
    std::vector<TguestTrack> m_tracks;
    // Every track's folded "artist \x1F album \x1F title \x1E", one after the
    // other; m_starts[i] is where track i's text begins (one more entry
    // marks the end).
    std::string m_text;
    std::vector<quint32> m_starts;
    // Where each word of the text begins, in the words' order: the tracks
    // with a word that starts with a few letters are one range of it. A
    // letter or two occur in nearly every track; at the start of a word in
    // few.
    struct WordStart {
        quint32 offset;
        quint32 track;
    };
    std::vector<WordStart> m_wordStarts;
    std::string_view wordAt(quint32 offset) const;
    std::unordered_map<quint64, int> m_trackIds;
    std::vector<TguestArtist> m_artists;
    std::vector<TguestAlbum> m_albums;
    std::unordered_map<quint64, int> m_artistIds;
    std::unordered_map<quint64, int> m_albumIds;
};
