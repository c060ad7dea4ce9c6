#pragma once

#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/textCollator.h"

#include <algorithm>
#include <utility>
#include <vector>

// Edits a library and its index in place, as the folder watch's changes are
// taken, and writes down the change set that LibraryChanged announces: what
// the tests and the benchmarks of the faces that follow such changes drive
// them with. The index is edited as its rebuild files records, except that
// no album becomes a compilation: every album is the tracks of one artist in
// one folder. The library's rebuild is to be suspended.
class LibraryEditor {
public:
    explicit LibraryEditor(Tmp3JukeBoxLists &library)
        : m_library(library)
    {
    }

    // Takes the record over.
    void Add(TcustomTagger *record)
    {
        m_library.MasterList().Add(record);
        place(record);
        m_changes.added.emplace_back(record);
        file(record);
    }
    void Remove(TcustomTagger *record)
    {
        m_changes.removed.emplace_back(record);
        unfile(record);
        m_library.MasterList().Remove(record);
    }
    void Retitle(TcustomTagger *record, const QString &title)
    {
        m_changes.changed.emplace_back(record);
        unfile(record);
        record->SetTitle(title);
        place(record);
        file(record);
    }
    void Move(TcustomTagger *record, const QString &fileName)
    {
        m_changes.moved.push_back(TrecordMove { TtaggerRef(record), record->Filename() });
        unfile(record);
        record->SetFilename(fileName);
        file(record);
    }
    void SetUnavailable(TcustomTagger *record, bool value)
    {
        record->SetUnavailable(value);
        (value ? m_changes.unavailable : m_changes.available).emplace_back(record);
    }

    TlibraryChanges Take()
    {
        std::erase_if(m_changes.albums, [this](TtagAlbum *album) {
            return std::any_of(m_changes.goneAlbums.begin(), m_changes.goneAlbums.end(),
                [album](const auto &gone) { return gone.get() == album; });
        });
        std::erase_if(m_changes.artists, [this](TtagArtist *artist) {
            return std::any_of(m_changes.goneArtists.begin(), m_changes.goneArtists.end(),
                [artist](const auto &gone) { return gone.get() == artist; });
        });
        return std::exchange(m_changes, TlibraryChanges());
    }

private:
    // The master list stays in title order, a record placed after those of
    // an equal title: the others keep their order.
    void place(TcustomTagger *record)
    {
        TtaggerList &master = m_library.MasterList();
        const std::vector<TcustomTagger *> &records = master.Records();
        const int last = master.Count() - 1;
        master.Move(int(std::find(records.begin(), records.end(), record) - records.begin()), last);
        const QCollator collator = TextCollator();
        const auto place = std::upper_bound(
            records.begin(), records.end() - 1, record, [&collator](const TcustomTagger *a, const TcustomTagger *b) {
                return collator.compare(a->Title(), b->Title()) < 0;
            });
        master.Move(last, int(place - records.begin()));
    }

    template <typename T> static void touch(std::vector<T *> &list, T *object)
    {
        if (object && std::find(list.begin(), list.end(), object) == list.end())
            list.push_back(object);
    }
    // The artists an album is filed under, as the index rebuild files it.
    std::vector<TtagArtist *> albumArtists(const TtagAlbum *album) const
    {
        std::vector<TtagArtist *> artists;
        const TtagArtistList &list = m_library.ArtistList();
        for (const QString &key : { album->Artist(), ArtistAliasKey(album->Artist()) })
            if (TtagArtist *artist = key.isEmpty() ? nullptr : list.FindArtist(key))
                artists.push_back(artist);
        return artists;
    }

    void file(TcustomTagger *record)
    {
        TtagAlbum *album = m_library.AlbumList().AddTrack(record);
        const TtagArtistList::Tfiling filing = m_library.ArtistList().AddTrack(record);
        for (TtagArtist *artist : { filing.artist, filing.alias }) {
            if (artist) {
                artist->ApplySort();
                touch(m_changes.artists, artist);
            }
        }
        if (!album)
            return;
        if (album->Count() == 1) {
            album->SetDontUseTrackNumbers(m_library.DontUseTrackNumbers());
            for (TtagArtist *artist : albumArtists(album))
                artist->AlbumList().AddAlbum(album);
        }
        album->ApplySort();
        touch(m_changes.albums, album);
    }

    void unfile(TcustomTagger *record)
    {
        if (TtagAlbum *album = m_library.AlbumList().AlbumOf(*record)) {
            album->Remove(record);
            touch(m_changes.albums, album);
            if (album->Count() == 0) {
                for (TtagArtist *artist : albumArtists(album))
                    artist->AlbumList().RemoveAlbum(album);
                m_library.AlbumList().RemoveAlbum(album);
                m_changes.goneAlbums.emplace_back(album);
            }
        }
        const QString &name = record->Artist();
        for (const QString &key : { name.isEmpty() ? TtagArtistList::kNoName : name, ArtistAliasKey(name) }) {
            TtagArtist *artist = key.isEmpty() ? nullptr : m_library.ArtistList().FindArtist(key);
            if (!artist)
                continue;
            artist->Remove(record);
            touch(m_changes.artists, artist);
            if (artist->Count() == 0 && m_library.ArtistList().RemoveArtist(artist))
                m_changes.goneArtists.emplace_back(artist);
        }
    }

    Tmp3JukeBoxLists &m_library;
    TlibraryChanges m_changes;
};
