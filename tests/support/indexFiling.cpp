#include "indexFiling.h"

#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"

#include <algorithm>

TindexFiling::TindexFiling(Tmp3JukeBoxLists &library)
    : m_library(library)
    // The master list rebuilds the index at every change, which is what
    // this filing stands in for.
    , m_rebuild(std::move(library.MasterList().OnChange))
{
    m_library.MasterList().OnChange = nullptr;
}

TindexFiling::~TindexFiling()
{
    m_library.MasterList().OnChange = std::move(m_rebuild);
}

template <typename T> void TindexFiling::touch(std::vector<T *> &touched, T *object)
{
    if (object && std::find(touched.begin(), touched.end(), object) == touched.end())
        touched.push_back(object);
}

void TindexFiling::file(TcustomTagger *record)
{
    const bool newAlbum = !m_library.AlbumList().AlbumOf(*record);
    TtagAlbum *album = m_library.AlbumList().AddTrack(record);
    const TtagArtistList::Tfiling artists = m_library.ArtistList().AddTrack(record);
    touch(m_changes.albums, album);
    touch(m_changes.artists, artists.artist);
    touch(m_changes.artists, artists.alias);
    if (!album || !newAlbum)
        return;
    album->SetDontUseTrackNumbers(m_library.DontUseTrackNumbers());
    for (const QString &key : { album->Artist(), ArtistAliasKey(album->Artist()) }) {
        if (TtagArtist *artist = key.isEmpty() ? nullptr : m_library.ArtistList().FindArtist(key))
            artist->AlbumList().AddAlbum(album);
    }
}

void TindexFiling::unfile(TcustomTagger *record)
{
    if (TtagAlbum *album = m_library.AlbumList().AlbumOf(*record)) {
        album->Remove(record);
        touch(m_changes.albums, album);
    }
    const QString &name = record->Artist();
    for (const QString &key : { name.isEmpty() ? TtagArtistList::kNoName : name, ArtistAliasKey(name) }) {
        if (TtagArtist *artist = key.isEmpty() ? nullptr : m_library.ArtistList().FindArtist(key)) {
            artist->Remove(record);
            touch(m_changes.artists, artist);
        }
    }
}

void TindexFiling::Add(TcustomTagger *record)
{
    m_library.MasterList().Add(record);
    file(record);
    m_changes.added.emplace_back(record);
}

void TindexFiling::Remove(TcustomTagger *record)
{
    m_changes.removed.emplace_back(record);
    unfile(record);
    m_library.MasterList().Remove(record);
}

void TindexFiling::Move(TcustomTagger *record, const QString &fileName)
{
    const QString from = record->Filename();
    unfile(record);
    record->SetFilename(fileName);
    file(record);
    m_changes.moved.push_back({ TtaggerRef(record), from });
}

TlibraryChanges TindexFiling::Take()
{
    return std::move(m_changes);
}
