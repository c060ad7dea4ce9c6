#include "library/libraryEdit.h"

#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "platform/raiseEvent.h"

#include <algorithm>

namespace {

// The artists a record is filed under, as TtagArtistList::AddTrack files it.
std::vector<TtagArtist *> artistsOf(const TtagArtistList &artists, const TcustomTagger &record)
{
    std::vector<TtagArtist *> found;
    const QString &name = record.Artist();
    TtagArtist *artist = artists.FindArtist(name.isEmpty() ? TtagArtistList::kNoName : name);
    if (artist)
        found.push_back(artist);
    const QString alias = ArtistAliasKey(name);
    if (!alias.isEmpty()) {
        if (TtagArtist *aliasArtist = artists.FindArtist(alias))
            found.push_back(aliasArtist);
    }
    return found;
}

// Whether an album is filed under an artist, by its artist's name or alias.
bool filedUnder(const TtagArtistList &artists, const TtagAlbum &album, const TtagArtist *artist)
{
    if (artists.FindArtist(album.Artist()) == artist)
        return true;
    const QString alias = ArtistAliasKey(album.Artist());
    return !alias.isEmpty() && artists.FindArtist(alias) == artist;
}

} // namespace

TlibraryEdit::TlibraryEdit(Tmp3JukeBoxLists &library)
    : m_library(library)
{
}

TlibraryEdit::~TlibraryEdit()
{
    if (!m_committed)
        Commit();
}

bool TlibraryEdit::inPlace()
{
    if (m_mode == Mode::Undecided) {
        const TtaggerList &master = m_library.MasterList();
        if (!m_library.RebuildSuspended() && master.Sorted() && master.SortType() == tsTitle) {
            m_mode = Mode::InPlace;
        } else {
            // The windows hear that the library changes before anything does.
            m_mode = Mode::Rebuild;
            m_resumeRebuild = !m_library.RebuildSuspended();
            m_library.SuspendRebuild();
        }
    }
    return m_mode == Mode::InPlace;
}

void TlibraryEdit::Add(TcustomTagger *record)
{
    if (!inPlace()) {
        m_library.MasterList().Add(record);
        return;
    }
    m_entries.emplace(record, Entry{TtaggerRef(record), Kind::Added, {}, -1});
    m_order.push_back(record);
}

void TlibraryEdit::Remove(TcustomTagger &record)
{
    if (!inPlace()) {
        m_entries.emplace(&record, Entry{TtaggerRef(&record), Kind::Removed, {}, -1});
        return;
    }
    const auto known = m_entries.find(&record);
    if (known == m_entries.end()) {
        takeOut(record, Kind::Removed);
    } else if (known->second.kind == Kind::Added) {
        // Never in the library: it goes with the edit.
        std::erase(m_order, &record);
        m_entries.erase(known);
    } else {
        known->second.kind = Kind::Removed;
    }
}

void TlibraryEdit::Change(TcustomTagger &record)
{
    if (!inPlace())
        return;
    const auto known = m_entries.find(&record);
    if (known == m_entries.end())
        takeOut(record, Kind::Changed);
    else if (known->second.kind == Kind::Moved)
        known->second.kind = Kind::Changed;
}

void TlibraryEdit::Move(TcustomTagger &record)
{
    if (!inPlace() || m_entries.count(&record) > 0)
        return;
    takeOut(record, Kind::Moved).movedFrom = record.Filename();
}

void TlibraryEdit::SetUnavailable(TcustomTagger &record, bool unavailable)
{
    inPlace();
    if (record.Unavailable() == unavailable)
        return;
    if (m_reachBefore.emplace(&record, record.Unavailable()).second)
        m_reachOrder.emplace_back(&record);
    record.SetUnavailable(unavailable);
}

TlibraryEdit::Entry &TlibraryEdit::takeOut(TcustomTagger &record, Kind kind)
{
    // Held first: the lists let go of it below.
    Entry &entry = m_entries.emplace(&record, Entry{TtaggerRef(&record), kind, {}, -1}).first->second;
    m_order.push_back(&record);
    entry.place = m_library.MasterList().IndexInTitleOrder(record);
    if (TtagAlbum *album = m_library.AlbumList().AlbumOf(record)) {
        touch(album);
        album->Remove(&record);
    }
    for (TtagArtist *artist : artistsOf(m_library.ArtistList(), record)) {
        touch(artist);
        artist->Remove(&record);
    }
    return entry;
}

void TlibraryEdit::touch(TtagAlbum *album)
{
    if (album && m_albumArtists.emplace(album, album->Artist()).second)
        m_albums.push_back(album);
}

void TlibraryEdit::touch(TtagArtist *artist)
{
    if (artist && m_touchedArtists.insert(artist).second)
        m_artists.push_back(artist);
}

TlibraryChanges TlibraryEdit::Commit()
{
    m_committed = true;
    switch (m_mode) {
    case Mode::Undecided:
        return {};
    case Mode::InPlace:
        return commitInPlace();
    case Mode::Rebuild:
        if (!m_entries.empty())
            m_library.MasterList().DeleteWhere([&](const TcustomTagger &record) { return m_entries.count(&record) > 0; });
        m_entries.clear();
        if (m_resumeRebuild)
            m_library.ResumeRebuild();
        return {};
    }
    return {};
}

TlibraryChanges TlibraryEdit::commitInPlace()
{
    std::vector<int> leaving;
    std::vector<TcustomTagger *> arriving;
    for (const TcustomTagger *key : m_order) {
        const Entry &entry = m_entries.at(key);
        if (entry.place >= 0)
            leaving.push_back(entry.place);
        if (entry.kind != Kind::Removed)
            arriving.push_back(entry.record.get());
    }
    m_library.MasterList().SpliceInTitleOrder(std::move(leaving), arriving);

    TtagAlbumList &albums = m_library.AlbumList();
    for (TcustomTagger *record : arriving) {
        // Touched before the record joins: an album's artist may change with it.
        touch(albums.AlbumOf(*record));
        touch(albums.AddTrack(record));
        const TtagArtistList::Tfiling filing = m_library.ArtistList().AddTrack(record);
        touch(filing.artist);
        touch(filing.alias);
    }
    settleAlbums();
    settleArtists();
    m_library.RandomOrder().SetSize(quint32(m_library.MasterList().Count()));

    for (const TcustomTagger *key : m_order) {
        Entry &entry = m_entries.at(key);
        switch (entry.kind) {
        case Kind::Added:
            m_changes.added.push_back(std::move(entry.record));
            break;
        case Kind::Removed:
            m_changes.removed.push_back(std::move(entry.record));
            break;
        case Kind::Changed:
            m_changes.changed.push_back(std::move(entry.record));
            break;
        case Kind::Moved:
            m_changes.moved.push_back(TrecordMove{std::move(entry.record), entry.movedFrom});
            break;
        }
    }
    for (TtaggerRef &record : m_reachOrder) {
        const auto entry = m_entries.find(record.get());
        if (record->Unavailable() == m_reachBefore.at(record.get())
            || (entry != m_entries.end() && entry->second.kind == Kind::Removed))
            continue;
        (record->Unavailable() ? m_changes.unavailable : m_changes.available).push_back(std::move(record));
    }
    m_entries.clear();
    if (!m_changes.IsEmpty())
        RaiseEvent(m_library.OnLibraryChanged, m_changes);
    return std::move(m_changes);
}

void TlibraryEdit::settleAlbums()
{
    for (TtagAlbum *album : m_albums)
        unlink(*album, m_albumArtists.at(album));
    TtagAlbumList &albums = m_library.AlbumList();
    for (TtagAlbum *album : m_albums) {
        if (album->Count() == 0) {
            albums.RemoveAlbum(album);
            m_changes.goneAlbums.emplace_back(album);
            continue;
        }
        // As the rebuild names an album: after its first track by title, and a
        // compilation when its tracks name different artists.
        const std::vector<TcustomTagger *> &records = album->Records();
        const TcustomTagger *first = *std::min_element(records.begin(), records.end(), TitleBefore);
        QString artist = first->Artist();
        for (const TcustomTagger *record : records) {
            if (record->Artist() != artist && record->Artist().compare(artist, Qt::CaseInsensitive) != 0) {
                artist = TtagAlbum::kCompilation;
                break;
            }
        }
        album->SetAlbumName(first->Album());
        album->SetArtist(artist);
        album->SetDontUseTrackNumbers(m_library.DontUseTrackNumbers());
        album->SetIsCompilation(artist == TtagAlbum::kCompilation);
        album->ApplySort();
        link(*album);
        m_changes.albums.push_back(album);
    }
    fillShadowed();
}

void TlibraryEdit::settleArtists()
{
    TtagArtistList &artists = m_library.ArtistList();
    for (TtagArtist *artist : m_artists) {
        if (artist->Count() == 0 && artist->AlbumList().Count() == 0) {
            artists.RemoveArtist(artist);
            m_changes.goneArtists.emplace_back(artist);
            continue;
        }
        artist->ApplySort();
        if (artist->Count() > 0)
            rename(*artist);
        m_changes.artists.push_back(artist);
    }
}

void TlibraryEdit::rename(TtagArtist &artist)
{
    // An artist is named after its first track by title, as the rebuild
    // names it: names that differ only in case are one artist.
    TtagArtistList &artists = m_library.ArtistList();
    const QString &name = artist.Items(0)->Artist();
    const QString alias = ArtistAliasKey(name);
    const bool byAlias = !alias.isEmpty() && artists.FindArtist(alias) == &artist;
    const QString key = byAlias ? alias : name.isEmpty() ? TtagArtistList::kNoName : name;
    const QString shown = byAlias ? name : key;
    if (artist.Artist() == shown && artists.FindArtist(key) == &artist && artists.KeyOf(&artist) == key)
        return;
    artists.RemoveArtist(&artist);
    artist.SetArtist(shown);
    artists.AddArtist(&artist, key);
}

void TlibraryEdit::unlink(TtagAlbum &album, const QString &artistName)
{
    const TtagArtistList &artists = m_library.ArtistList();
    for (const QString &key : {artistName, ArtistAliasKey(artistName)}) {
        if (key.isEmpty())
            continue;
        TtagArtist *artist = artists.FindArtist(key);
        if (artist && artist->AlbumList().RemoveAlbum(&album)) {
            touch(artist);
            m_unlinked.emplace_back(artist, album.AlbumName());
        }
    }
}

void TlibraryEdit::link(TtagAlbum &album)
{
    // An artist lists one album of a name: of albums alike in name, the one
    // the album list orders first, as the rebuild files them.
    const auto linkTo = [&](TtagArtist &artist) {
        TtagAlbumList &list = artist.AlbumList();
        TtagAlbum *present = list.FindAlbum(album.AlbumName());
        if (present == &album)
            return;
        if (present) {
            if (!CaselessKeyBefore(album.Key(), present->Key()))
                return;
            list.RemoveAlbum(present);
        }
        list.AddAlbum(&album);
        touch(&artist);
    };
    TtagArtistList &artists = m_library.ArtistList();
    TtagArtist *artist = artists.FindArtist(album.Artist());
    if (artist)
        linkTo(*artist);
    const QString alias = ArtistAliasKey(album.Artist());
    if (!alias.isEmpty()) {
        artist = artists.FindArtist(alias);
        if (artist)
            linkTo(*artist);
    }
    if (!artist && album.Artist() == TtagAlbum::kCompilation) {
        auto *compilations = new TtagArtist;
        compilations->SetArtist(TtagAlbum::kCompilation);
        artists.AddArtist(compilations, TtagAlbum::kCompilation);
        linkTo(*compilations);
    }
}

void TlibraryEdit::fillShadowed()
{
    // The album that went may have hidden others of its name, and one linked
    // since may not be the first of them.
    const TtagAlbumList &albums = m_library.AlbumList();
    const TtagArtistList &artists = m_library.ArtistList();
    for (const auto &[artist, name] : m_unlinked) {
        for (int i = 0; i < albums.Count(); ++i) {
            TtagAlbum *album = albums.Albums(i);
            if (album->AlbumName().size() != name.size() || album->AlbumName().compare(name, Qt::CaseInsensitive) != 0
                || !filedUnder(artists, *album, artist))
                continue;
            TtagAlbumList &list = artist->AlbumList();
            if (TtagAlbum *present = list.FindAlbum(name); present != album) {
                list.RemoveAlbum(present);
                list.AddAlbum(album);
            }
            break;
        }
    }
}
