#pragma once

#include <QExplicitlySharedDataPointer>
#include <QSharedData>
#include <QString>

// The texts the tracks of one album in one folder have in common: artist,
// album, date, genre and folder. A record keeps them in one block that it
// shares with every record whose texts are the same, so a library holds each
// album's texts once rather than once per track: five texts of a record's own
// would cost 120 bytes in each of a million records.
//
// A block that is shared is never changed: a record that changes one of its
// texts first takes a copy of its own (TcustomTagger does that). The count is
// atomic because records are made on worker threads too (the folder scan, the
// folder watcher's reader) and every new record starts with the one empty
// block all threads share.
struct TtaggerTexts : QSharedData {
    QString artist;
    QString album;
    QString date;
    QString genre;
    QString folder;

    void Clear()
    {
        artist.clear();
        album.clear();
        date.clear();
        genre.clear();
        folder.clear();
    }
};

using TtaggerTextsRef = QExplicitlySharedDataPointer<TtaggerTexts>;

// The block every new record starts with: all texts empty.
const TtaggerTextsRef &EmptyTaggerTexts();
