#include "library/tagAlbumList.h"

#include "library/tagAlbum.h"

TtagAlbumList::~TtagAlbumList()
{
    Clear();
}

TtagAlbum *TtagAlbumList::AddTrack(TcustomTagger *record)
{
    if (record->Album().isEmpty())
        return nullptr;
    QString key;
    key.reserve(record->Album().size() + record->Folder().size());
    key.append(record->Album()).append(record->Folder());
    TtagAlbum *album = m_albums.Find(key);
    if (!album) {
        album = new TtagAlbum;
        album->SetAlbumName(record->Album());
        album->SetKey(key);
        album->SetArtist(record->Artist());
        album->Add(record);
        m_albums.Insert(key, album);
        return album;
    }
    // Most tracks of an album name its artist exactly as the first did: the
    // caseless comparison is for the few that do not.
    if (album->Artist() != record->Artist() && album->Artist().compare(record->Artist(), Qt::CaseInsensitive) != 0) {
        album->SetArtist(TtagAlbum::kCompilation);
        album->SetDisplayType(tdTrackArtistTitle);
    }
    album->Add(record);
    return album;
}

TtagAlbum *TtagAlbumList::AlbumOf(const TcustomTagger &record) const
{
    if (record.Album().isEmpty())
        return nullptr;
    return m_albums.Find(record.Album() + record.Folder());
}

void TtagAlbumList::AddAlbum(TtagAlbum *album)
{
    m_albums.Insert(album->AlbumName(), album);
}

void TtagAlbumList::SortAllTitleOrdered()
{
    for (const auto &entry : m_albums.UnorderedEntries())
        entry.object->ApplySortTitleOrdered();
}

void TtagAlbumList::Clear()
{
    if (m_freeObjects) {
        for (const auto &entry : m_albums.UnorderedEntries())
            delete entry.object;
    }
    m_albums.Clear();
}
