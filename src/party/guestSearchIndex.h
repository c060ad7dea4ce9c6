#pragma once

#include <QStringView>
#include <QtGlobal>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TcustomTagger;

// A library track as guests see it: the record and the id that stands for it
// on the wire (never its path). The record is null in the slot of a track
// dropped since the index was built, until the index is compacted.
struct TguestTrack {
    TcustomTagger *record = nullptr;
    quint64 id = 0;
};

// When the index tidies up after partial changes (see TguestSearchIndex).
struct TguestIndexLimits {
    // Word starts in a block: a new word costs a move of half a block at
    // most, and a block is split in two at twice this many.
    size_t blockWords = 4096;
    // Dead slots (of tracks, of albums) are compacted away once they are an
    // eighth of all, and at least this many: they cost memory, not time.
    size_t minDead = 1024;
};

// The guests' search over the library's tracks: every track in a slot with
// its id, and a search over artist, album and title that does not mind case
// or accents and puts the best matches first.
//
// It follows the library's partial changes instead of being built anew:
// an added track takes a new slot at the end, its words go into the sorted
// blocks of word starts where they belong; a dropped track leaves a dead
// slot whose text stays until dead slots are an eighth of all, when the
// index is compacted in one pass (TguestIndexLimits). A change of a few
// tracks costs a look-up and a move within a block per word, whatever the
// size of the library. A search finds the same tracks in the same order
// however the index came to be.
//
// GUI thread only, like the library.
class TguestSearchIndex {
public:
    static constexpr int kMaxResults = 50;

    // Reserves room for count tracks.
    TguestSearchIndex(quint64 key, size_t count, TguestIndexLimits limits = {});

    // The id a track with this file name has, in this index or not.
    quint64 TrackIdOf(const QString &fileName) const;

    // Adds a track in a slot of its own. Words of tracks added one by one are
    // searchable once EndAdding has put them in order.
    void Add(TcustomTagger *record);
    void EndAdding();
    // Drops the track of this record, found by the file name it had in the
    // index; false when the index does not hold it.
    bool Drop(const TcustomTagger *record, const QString &fileName);

    int SlotCount() const { return int(m_tracks.size()); }
    const TguestTrack &Slot(int slot) const { return m_tracks[size_t(slot)]; }
    TcustomTagger *TrackById(quint64 id) const;

    // The tracks that match every word of the query in their artist, album
    // or title, best first: a whole title before the start of a word before
    // the inside of one, title before artist before album; at most limit
    // (and kMaxResults). Slots.
    std::vector<int> Search(QStringView query, int limit) const;

private:
    struct WordStart {
        quint32 offset;
        quint32 track;
    };
    struct Fields {
        std::string_view artist;
        std::string_view album;
        std::string_view title;
    };
    struct Scored {
        int score;
        int track;
    };

    Fields fieldsOf(size_t track) const;
    int score(size_t track, const std::vector<std::string> &words, const std::string &phrase) const;
    bool better(const Scored &a, const Scored &b) const;
    std::string_view wordAt(quint32 offset) const;
    bool wordBefore(const WordStart &a, const WordStart &b) const;
    void sortWords(std::vector<WordStart> &words) const;
    void insertWord(const WordStart &word);
    void compact();

    quint64 m_key;
    TguestIndexLimits m_limits;
    std::vector<TguestTrack> m_tracks;
    size_t m_dead = 0;
    // Every track's folded "artist \x1F album \x1F title \x1E", one after the
    // other; m_starts[i] is where track i's text begins (one more entry
    // marks the end).
    std::string m_text;
    std::vector<quint32> m_starts;
    // Where each word of the text begins, in the words' order, in blocks
    // one after the other: the tracks with a word that starts with a few
    // letters are one range of them. A letter or two occur in nearly every
    // track; at the start of a word in few. The words of tracks added but
    // not yet ended wait, unsorted.
    std::vector<std::vector<WordStart>> m_words;
    std::vector<WordStart> m_pendingStarts;
    std::unordered_map<quint64, int> m_trackIds;
};

// A keyed hash of a text, never 0 (0 is "none" on the wire): the id of a
// track, an artist or an album under the session's key.
quint64 GuestId(const QString &text, quint64 key);
// The id a track with this file name has on the wire, under the session's key.
quint64 GuestTrackId(const QString &fileName, quint64 key);
// How a track is titled for guests: its title, or its file's name without
// the extension when it has none.
QString GuestTitle(const TcustomTagger &record);
