#include "party/guestLibrary.h"

#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/tagArtistList.h"
#include "metadata/customTagger.h"

#include <unordered_set>

TguestLibrary::TguestLibrary(const Tmp3JukeBoxLists &library, quint64 key, TguestIndexLimits limits)
    : m_key(key)
    , m_index(key, size_t(library.MasterList().Count()), limits)
{
    for (TcustomTagger *record : library.MasterList().Records())
        m_index.Add(record);
    m_index.EndAdding();
    list(library);
}

void TguestLibrary::Apply(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes)
{
    for (const TtaggerRef &record : changes.removed)
        m_index.Drop(record.get(), record->Filename());
    for (const TtaggerRef &record : changes.changed)
        m_index.Drop(record.get(), record->Filename());
    for (const TrecordMove &move : changes.moved)
        m_index.Drop(move.record.get(), move.from);
    for (const TtaggerRef &record : changes.added)
        m_index.Add(record.get());
    for (const TtaggerRef &record : changes.changed)
        m_index.Add(record.get());
    for (const TrecordMove &move : changes.moved)
        m_index.Add(move.record.get());
    m_index.EndAdding();
    if (!changes.albums.empty() || !changes.artists.empty() || !changes.goneAlbums.empty()
        || !changes.goneArtists.empty())
        list(library);
}

void TguestLibrary::list(const Tmp3JukeBoxLists &library)
{
    m_artists.clear();
    m_albums.clear();
    m_artistIds.clear();
    m_albumIds.clear();
    // Albums are filed under their artist by name alone and, for an artist
    // whose name starts with "The", under an alias too: each artist and
    // album is listed once.
    const TtagArtistList &artists = library.ArtistList();
    std::unordered_set<const TtagArtist *> seenArtists;
    std::unordered_set<const TtagAlbum *> seenAlbums;
    for (int i = 0; i < artists.Count(); ++i) {
        const TtagArtist *artist = artists.Artists(i);
        const QString alias = ArtistAliasKey(artist->Artist());
        if (!seenArtists.insert(artist).second
            || (!alias.isEmpty() && artists.Keys(i).compare(alias, Qt::CaseInsensitive) == 0))
            continue;
        TguestArtist guestArtist;
        guestArtist.name = artist->Artist();
        guestArtist.id = GuestId(QStringLiteral("artist\n") + artists.Keys(i).toLower(), m_key);
        guestArtist.tracks = artist->Count();
        const TtagAlbumList &albums = artist->AlbumList();
        for (int a = 0; a < albums.Count(); ++a) {
            const TtagAlbum *album = albums.Albums(a);
            if (album->Count() == 0 || !seenAlbums.insert(album).second)
                continue;
            TguestAlbum guestAlbum;
            guestAlbum.name = album->AlbumName();
            guestAlbum.artist = album->Artist().isEmpty() ? artist->Artist() : album->Artist();
            guestAlbum.album = album;
            guestAlbum.id
                = GuestId(QStringLiteral("album\n") + album->AlbumName() + u'\n' + album->Items(0)->Folder(), m_key);
            if (m_albumIds.emplace(guestAlbum.id, int(m_albums.size())).second) {
                guestArtist.albums.push_back(int(m_albums.size()));
                m_albums.push_back(std::move(guestAlbum));
            }
        }
        if (m_artistIds.emplace(guestArtist.id, int(m_artists.size())).second)
            m_artists.push_back(std::move(guestArtist));
    }
}

const TguestArtist *TguestLibrary::ArtistById(quint64 id) const
{
    const auto it = m_artistIds.find(id);
    return it == m_artistIds.end() ? nullptr : &m_artists[size_t(it->second)];
}

const TguestAlbum *TguestLibrary::AlbumById(quint64 id) const
{
    const auto it = m_albumIds.find(id);
    return it == m_albumIds.end() ? nullptr : &m_albums[size_t(it->second)];
}
