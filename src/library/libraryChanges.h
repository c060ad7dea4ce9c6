#pragma once

#include "metadata/taggerRef.h"

#include <QString>
#include <memory>
#include <vector>

class TtagAlbum;
class TtagArtist;

// A record renamed or moved, and the file name it had.
struct TrecordMove {
    TtaggerRef record;
    QString from;
};

// What one change of the library did, announced once the library's lists
// and its index have taken it: a listener updates what it shows from this
// instead of taking the whole library again. A change that replaces the
// library as a whole (a load, a scan's findings, a CD refresh) is announced
// by LibraryChanging and ListsUpdated instead.
//
// Every record named here is held by the change set for as long as the
// listeners hear of it, the removed ones too (they are out of every list of
// the library already). A record is named once, in the first that applies of:
// removed, added, changed, moved; a record may besides become unavailable or
// available (a folder out of reach, back again) with no other change.
//
// Move-only; GUI thread only, like the library.
struct TlibraryChanges {
    TlibraryChanges();
    ~TlibraryChanges();
    TlibraryChanges(TlibraryChanges &&) noexcept;
    TlibraryChanges &operator=(TlibraryChanges &&) noexcept;

    std::vector<TtaggerRef> added;
    std::vector<TtaggerRef> removed;
    // Read again: any of its tags, its duration or its file's time may differ.
    std::vector<TtaggerRef> changed;
    std::vector<TrecordMove> moved;
    std::vector<TtaggerRef> unavailable;
    std::vector<TtaggerRef> available;

    // The albums and artists of the index whose tracks, name or artist this
    // change touched, new ones included; each named once.
    std::vector<TtagAlbum *> albums;
    std::vector<TtagArtist *> artists;
    // Albums and artists this change emptied: out of the index already,
    // freed with the change set, after every listener has heard.
    std::vector<std::unique_ptr<TtagAlbum>> goneAlbums;
    std::vector<std::unique_ptr<TtagArtist>> goneArtists;

    bool IsEmpty() const;
    // Whether the records, albums or artists of the index changed (not only
    // which records are within reach).
    bool IndexChanged() const;
};
