#pragma once

#include <vector>

class TcustomTagger;

// The orders a track list can be sorted in.
enum TtagSortType {
    tsNone,
    tsTrack,
    tsAlbum,
    tsArtist,
    tsTitle,
    tsComment,
    tsYear,
    tsBitRate,
    tsSampleRate,
    tsDuration,
    tsGenre,
    tsTimeStamp,
    tsChannelMode,
};

// Sorts records by a sort type: a primary key and a tie-break (tsTrack: track,
// then title; tsAlbum: album, track, title; tsTitle and tsTimeStamp: no
// tie-break; every other type: title). Text keys compare without regard to case
// in the user's locale, numbers by value. Records that compare equal end in
// any order.
//
// Every key is computed once per record per sort, never per comparison; for
// tsTimeStamp that means each file's creation time is read once. A file whose
// time cannot be read sorts before all others (so the order stays consistent).
void SortTaggers(std::vector<TcustomTagger *> &records, TtagSortType sortType);

// Whether a's title comes before b's in the title order.
bool TitleBefore(const TcustomTagger *a, const TcustomTagger *b);

// The same order for records known to be in title order already (the index
// rebuild files records into albums and artists in title order): the title
// tie-break then costs nothing.
void SortTitleOrderedTaggers(std::vector<TcustomTagger *> &records, TtagSortType sortType);
