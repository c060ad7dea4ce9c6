// The core's playlists: the loaded playlist and its rules, the preloaded
// playlists and the playlist editor's copies.
#include "core/dmMain.h"

#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"
#include "platform/fileExists.h"

const TtagPlaylist *TdmMain::ActivatePlaylist(const QString &name)
{
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    if (!collection.Find(name))
        return nullptr;
    collection.Activate(name);
    m_listeners.Raise(&TcoreListener::ActivePlaylistChanged);
    return collection.ActivePlaylist();
}

void TdmMain::ActivateNoPlaylist()
{
    m_library.PlaylistCollection().SetActive(false);
    m_listeners.Raise(&TcoreListener::ActivePlaylistChanged);
}

void TdmMain::DeactivatePlaylists()
{
    m_library.LoadedPlaylist().Clear();
    m_library.PlaylistCollection().SetActive(false);
    m_listeners.Raise(&TcoreListener::ActivePlaylistChanged);
}

const TtaggerList &TdmMain::PlaylistInUse() const
{
    const TtagPlayListCollection &collection = m_library.PlaylistCollection();
    if (collection.Active() && collection.ActivePlaylist())
        return *collection.ActivePlaylist();
    return m_library.LoadedPlaylist();
}

bool TdmMain::ApplyPlaylistRule(TplaylistRule rule, const QString &m3uFile, bool randomOrder, const QStringList &genres)
{
    TtagPlaylist &loaded = m_library.LoadedPlaylist();
    switch (rule) {
    case prNone:
        loaded.Clear();
        return true;
    case prM3uFile: {
        TtagPlaylist fresh;
        fresh.SetReadFrameHeaders(loaded.ReadFrameHeaders());
        TplaylistLoadReport report;
        if (QuietFileExists(m3uFile))
            fresh.LoadPlaylist(m3uFile, false, DataFolder(), &report);
        ReportEntriesNotFound(m3uFile, report, fresh.Count());
        if (fresh.Count() == 0)
            return false;
        loaded.ResetPosition();
        loaded.SetRandomise(randomOrder);
        loaded.ReplaceRecords(fresh);
        return true;
    }
    case prGenres: {
        // A name the genre table does not know selects nothing: its number
        // would be the one of tracks without a genre.
        QList<quint8> numbers;
        for (const QString &name : genres) {
            const quint8 number = m_genreList.IndexOfGenre(name);
            if (number != TgenreList::kNoGenre)
                numbers.append(number);
        }
        m_library.FillLoadedPlaylistByGenres(numbers);
        SetGenres(genres);
        return true;
    }
    }
    return false;
}

void TdmMain::CopyToJukebox(const TcustomTaggerList &editing)
{
    m_library.LoadedPlaylist().AssignPlaylist(editing);
}

void TdmMain::CopyFromJukebox(TcustomTaggerList &editing) const
{
    editing.AssignPlaylist(m_library.LoadedPlaylist());
}

const TtagPlaylist *TdmMain::AddPreloadedPlaylist(
    const QString &name, const QString &m3uFile, bool autoCounterReset, bool loop)
{
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    if (name.isEmpty() || collection.Find(name) || !QuietFileExists(m3uFile))
        return nullptr;
    const TtaskScope task(*this, TcoreTask::PlaylistImport, QStringLiteral("Adding the playlist \"%1\"").arg(name));
    TplaylistLoadReport report;
    TtagPlaylist *playlist = collection.AddFromFile(name, m3uFile, &report);
    ReportEntriesNotFound(m3uFile, report, playlist ? playlist->Count() : 0);
    if (playlist) {
        playlist->SetAutoCounterReset(autoCounterReset);
        playlist->SetStopAtEnd(!loop);
    }
    return playlist;
}

void TdmMain::UpdatePreloadedPlaylist(int index, bool autoCounterReset, bool loop)
{
    if (TtagPlaylist *playlist = m_library.PlaylistCollection().Playlists(index)) {
        playlist->SetAutoCounterReset(autoCounterReset);
        playlist->SetStopAtEnd(!loop);
    }
}

void TdmMain::DeletePreloadedPlaylist(int index)
{
    m_library.PlaylistCollection().Delete(index);
}

bool TdmMain::ReloadPreloadedPlaylist(int index, const QString &m3uFile, bool autoCounterReset, bool loop)
{
    TtagPlaylist *playlist = m_library.PlaylistCollection().Playlists(index);
    if (!playlist)
        return false;
    TplaylistLoadReport report;
    const bool reloaded = playlist->ReloadFromM3U(m3uFile, &report);
    ReportEntriesNotFound(m3uFile, report, reloaded ? playlist->Count() : 0);
    if (!reloaded)
        return false;
    playlist->SetAutoCounterReset(autoCounterReset);
    playlist->SetStopAtEnd(!loop);
    return true;
}

void TdmMain::PlaylistsEdited()
{
    m_listeners.Raise(&TcoreListener::PlaylistsLoaded);
}
