#include "party/guestLibrary.h"

#include "library/caselessMap.h"
#include "library/libraryChanges.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/tagArtistList.h"
#include "metadata/customTagger.h"

#include <algorithm>
#include <unordered_set>

namespace {

// An artist is listed under its name; the entry of its alias ("Lanterns,
// The" for "The Lanterns") is left out.
bool isListed(const TtagArtistList &artists, const TtagArtist &artist)
{
    const QString alias = ArtistAliasKey(artist.Artist());
    return alias.isEmpty() || artists.FindArtist(alias) != &artist;
}

} // namespace

TguestLibrary::TguestLibrary(const Tmp3JukeBoxLists &library, quint64 key, TguestIndexLimits limits)
    : m_key(key)
    , m_limits(limits)
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
    relist(library, changes);
}

void TguestLibrary::list(const Tmp3JukeBoxLists &library)
{
    // Albums are filed under their artist by name alone and, for an artist
    // whose name starts with "The", under an alias too: each artist and
    // album is listed once.
    const TtagArtistList &artists = library.ArtistList();
    std::unordered_set<const TtagArtist *> seenArtists;
    for (int i = 0; i < artists.Count(); ++i) {
        const TtagArtist *artist = artists.Artists(i);
        if (!seenArtists.insert(artist).second || !isListed(artists, *artist))
            continue;
        TguestArtist entry = listed(*artist);
        if (m_artistIds.emplace(entry.id, int(m_artists.size())).second)
            m_artists.push_back(std::move(entry));
    }
}

TguestArtist TguestLibrary::listed(const TtagArtist &artist)
{
    TguestArtist entry;
    entry.name = artist.Artist();
    entry.artist = &artist;
    entry.id = GuestId(QStringLiteral("artist\n") + artist.Artist().toLower(), m_key);
    entry.tracks = artist.Count();
    const TtagAlbumList &albums = artist.AlbumList();
    for (int a = 0; a < albums.Count(); ++a) {
        const TtagAlbum *album = albums.Albums(a);
        if (album->Count() == 0)
            continue;
        const int slot = albumSlot(*album, artist);
        if (slot >= 0 && std::find(entry.albums.begin(), entry.albums.end(), slot) == entry.albums.end())
            entry.albums.push_back(slot);
    }
    return entry;
}

int TguestLibrary::albumSlot(const TtagAlbum &album, const TtagArtist &owner)
{
    const quint64 id = GuestId(QStringLiteral("album\n") + album.AlbumName() + u'\n' + album.Items(0)->Folder(), m_key);
    const auto [found, added] = m_albumSlots.try_emplace(&album, int(m_albums.size()));
    const int slot = found->second;
    if (added) {
        // Another album of the same id (a chance of one in billions) is not
        // listed.
        if (!m_albumIds.emplace(id, slot).second) {
            m_albumSlots.erase(found);
            return -1;
        }
        m_albums.push_back({});
        m_albumOwners.push_back(nullptr);
    }
    TguestAlbum &entry = m_albums[size_t(slot)];
    entry.id = id;
    entry.name = album.AlbumName();
    entry.artist = album.Artist().isEmpty() ? owner.Artist() : album.Artist();
    entry.album = &album;
    m_albumOwners[size_t(slot)] = &owner;
    return slot;
}

void TguestLibrary::dropAlbum(int slot)
{
    TguestAlbum &entry = m_albums[size_t(slot)];
    if (!entry.album)
        return;
    const auto id = m_albumIds.find(entry.id);
    if (id != m_albumIds.end() && id->second == slot)
        m_albumIds.erase(id);
    m_albumSlots.erase(entry.album);
    entry = TguestAlbum();
    m_albumOwners[size_t(slot)] = nullptr;
    ++m_deadAlbums;
}

void TguestLibrary::relist(const Tmp3JukeBoxLists &library, const TlibraryChanges &changes)
{
    const TtagArtistList &artists = library.ArtistList();
    const auto position = [this](const TtagArtist *artist) {
        return std::find_if(
            m_artists.begin(), m_artists.end(), [artist](const TguestArtist &entry) { return entry.artist == artist; });
    };
    size_t firstMoved = m_artists.size();
    // What is gone is only compared with: its albums and tracks are no more.
    for (const std::unique_ptr<TtagArtist> &artist : changes.goneArtists) {
        const auto it = position(artist.get());
        if (it == m_artists.end())
            continue;
        firstMoved = std::min(firstMoved, size_t(it - m_artists.begin()));
        m_artistIds.erase(it->id);
        m_artists.erase(it);
    }
    for (const std::unique_ptr<TtagAlbum> &album : changes.goneAlbums) {
        const auto slot = m_albumSlots.find(album.get());
        if (slot != m_albumSlots.end())
            dropAlbum(slot->second);
    }

    // An album's listing depends on the artist that names it: the one it was
    // listed under, and the one of its name now.
    std::vector<const TtagArtist *> relisted;
    const auto relist = [&](const TtagArtist *artist) {
        if (artist && isListed(artists, *artist)
            && std::find(relisted.begin(), relisted.end(), artist) == relisted.end())
            relisted.push_back(artist);
    };
    for (const TtagArtist *artist : changes.artists)
        relist(artist);
    std::vector<int> unnamed;
    for (const TtagAlbum *album : changes.albums) {
        relist(artists.FindArtist(album->Artist()));
        const auto slot = m_albumSlots.find(album);
        if (slot != m_albumSlots.end()) {
            relist(m_albumOwners[size_t(slot->second)]);
            unnamed.push_back(slot->second);
        }
    }
    for (const TtagArtist *artist : relisted) {
        const auto it = position(artist);
        if (it != m_artists.end())
            unnamed.insert(unnamed.end(), it->albums.begin(), it->albums.end());
    }

    std::vector<int> named;
    for (const TtagArtist *artist : relisted) {
        TguestArtist entry = listed(*artist);
        named.insert(named.end(), entry.albums.begin(), entry.albums.end());
        const auto it = position(artist);
        if (it != m_artists.end()) {
            *it = std::move(entry);
            continue;
        }
        // A new artist, where the library orders its keys.
        const auto place = std::lower_bound(m_artists.begin(), m_artists.end(), entry,
            [](const TguestArtist &a, const TguestArtist &b) { return CaselessKeyBefore(a.name, b.name); });
        if (!m_artistIds.emplace(entry.id, int(place - m_artists.begin())).second)
            continue;
        firstMoved = std::min(firstMoved, size_t(place - m_artists.begin()));
        m_artists.insert(place, std::move(entry));
    }
    for (size_t i = firstMoved; i < m_artists.size(); ++i)
        m_artistIds[m_artists[i].id] = int(i);

    // Albums no artist names any more leave their slots.
    std::sort(named.begin(), named.end());
    for (const int slot : unnamed) {
        if (!std::binary_search(named.begin(), named.end(), slot))
            dropAlbum(slot);
    }
    if (m_deadAlbums >= m_limits.minDead && m_deadAlbums * 8 > m_albums.size())
        compactAlbums();
}

void TguestLibrary::compactAlbums()
{
    std::vector<int> slotOf(m_albums.size(), -1);
    std::vector<TguestAlbum> albums;
    std::vector<const TtagArtist *> owners;
    albums.reserve(m_albums.size() - m_deadAlbums);
    owners.reserve(albums.capacity());
    for (size_t slot = 0; slot < m_albums.size(); ++slot) {
        if (!m_albums[slot].album)
            continue;
        slotOf[slot] = int(albums.size());
        albums.push_back(std::move(m_albums[slot]));
        owners.push_back(m_albumOwners[slot]);
    }
    for (TguestArtist &artist : m_artists) {
        for (int &slot : artist.albums)
            slot = slotOf[size_t(slot)];
    }
    for (auto &entry : m_albumIds)
        entry.second = slotOf[size_t(entry.second)];
    for (auto &entry : m_albumSlots)
        entry.second = slotOf[size_t(entry.second)];
    m_albums = std::move(albums);
    m_albumOwners = std::move(owners);
    m_deadAlbums = 0;
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
