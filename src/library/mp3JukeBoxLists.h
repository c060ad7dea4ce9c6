#pragma once

#include "library/libraryChanges.h"
#include "library/libraryTree.h"
#include "library/randomList.h"
#include "library/tagAlbumList.h"
#include "library/tagArtistList.h"
#include "library/tagPlayListCollection.h"
#include "library/tagPlaylist.h"
#include "library/taggerList.h"

#include <QList>

// The library component: the master list (which owns the track records), the
// artist and album index built from it, a random play order, the loaded
// playlist and the named playlists. It chooses the next track when the queue
// is empty and answers title searches.
//
// The albums and artists live from one rebuild of the index to the next, and
// the index holds the records it files, so every pointer into the index stays
// valid until OnListsChanging announces that the index is about to be
// replaced: when the library is cleared, when rebuilding is suspended for a
// series of changes, and before every rebuild.
//
// GUI thread only.
class Tmp3JukeBoxLists : public TComponent {
public:
    Tmp3JukeBoxLists();
    ~Tmp3JukeBoxLists() override;

    TtaggerList &MasterList() { return m_master; }
    const TtaggerList &MasterList() const { return m_master; }
    TtagAlbumList &AlbumList() { return m_albums; }
    const TtagAlbumList &AlbumList() const { return m_albums; }
    TtagArtistList &ArtistList() { return m_artists; }
    const TtagArtistList &ArtistList() const { return m_artists; }
    TRandomList &RandomOrder() { return m_random; }
    TtagPlaylist &LoadedPlaylist() { return m_loadedPlaylist; }
    const TtagPlaylist &LoadedPlaylist() const { return m_loadedPlaylist; }
    TtagPlayListCollection &PlaylistCollection() { return m_playlists; }
    const TtagPlayListCollection &PlaylistCollection() const { return m_playlists; }

    bool DontUseTrackNumbers() const { return m_dontUseTrackNumbers; }
    void SetDontUseTrackNumbers(bool value);

    // Empties the index and the master list; does not rebuild. Raises only
    // OnListsChanging.
    void Clear();
    void SuspendRebuild();
    void ResumeRebuild();
    bool RebuildSuspended() const { return m_rebuildSuspended; }
    void RebuildIndex();

    // The active playlist's next record, else the loaded playlist's, else a
    // random library track; none only when the library is empty (or an active
    // playlist stops at its end and nothing else gives one).
    TcustomTagger *NextTrack();
    TcustomTagger *RandomTrack();
    TcustomTagger *PlaylistTrack();
    // Lists "Title - Artist" of every record whose title contains the text
    // (letters a-z compared without regard to case).
    void SearchTitles(const QString &text, TstringList &strings) const;
    // The genre rule: the loaded playlist becomes every library record (master
    // order) whose genre number is one of the given, played in random order.
    void FillLoadedPlaylistByGenres(const QList<quint8> &genreNumbers);

    // rootNodes receives the fixed root nodes: '<A>'..'<Z>', "<other>",
    // "<no name>" and, by artist, "<Compilations>".
    void FillLibraryTree(TlibraryTree &tree, bool byTitle, QList<TtreeNode> &rootNodes) const;
    // rootNodes receives '<A>'..'<Z>', "<other>", "<Compilations>".
    void FillArtistTree(TlibraryTree &tree, QList<TtreeNode> &rootNodes) const;
    void FillAlbumTree(TlibraryTree &tree, bool showDurations, bool includePlaylists) const;

    TlistProcessStartEvent OnListProcessStart;
    TlistProcessEvent OnListProcess;
    TNotifyEvent OnListProcessFinished;
    // Before the albums, artists or records of the index are replaced or freed.
    TNotifyEvent OnListsChanging;
    TNotifyEvent OnListsUpdated;
    // A change in part (TlibraryEdit) was taken by the lists and the index.
    std::function<void(const TlibraryChanges &changes)> OnLibraryChanged;
    TdirScanStartEvent OnDirScanStart;
    TFileFoundEvent OnFileFound;
    TNotifyEvent OnPlayListChange;

private:
    void rebuild();

    TtaggerList m_master;
    TRandomList m_random;
    TtagPlaylist m_loadedPlaylist;
    TtagAlbumList m_albums;
    TtagArtistList m_artists;
    TtagPlayListCollection m_playlists;
    bool m_rebuildSuspended = false;
    bool m_dontUseTrackNumbers = false;
};
