#pragma once

#include "library/mp3JukeBoxLists.h"
#include "platform/fileProblem.h"

#include <QString>
#include <QStringList>
#include <functional>

class TtagAlbum;
class TtagPlaylist;

// What a cartridge file gives, found before anything in the stacker changes:
// ccOk (it was loaded), or why it was not: it cannot be read (missing, a
// folder, no permission), it holds nothing (no track and no playlist index),
// or no track in it can be read.
enum TcartridgeCheck { ccOk, ccUnreadable, ccEmpty, ccDamaged };

// The CD stacker: a chosen set of albums and imported playlists kept at hand,
// like the magazine of a CD changer. While it is enabled and the queue runs
// dry, the next track is drawn at random from it.
//
// Its own library (copies of the albums' records, its own index and playlist
// collection) and its play list: every master record followed by every record
// of every playlist, played in random order, rebuilt on every change. The
// stacker window presents this class; it holds no logic of its own.
//
// Records leaving the stacker are freed only when nothing else holds them (the
// player or the queue may). The stacker window's tree points at the stacker's
// albums, playlists and records: OnChanging tells it to let go of them before
// they are replaced or freed, and OnChange to refill. GUI thread only.
class TcdStacker {
public:
    explicit TcdStacker(const QString &dataFolder);
    ~TcdStacker();
    TcdStacker(const TcdStacker &) = delete;
    TcdStacker &operator=(const TcdStacker &) = delete;

    Tmp3JukeBoxLists &Library() { return m_library; }
    const Tmp3JukeBoxLists &Library() const { return m_library; }
    // The stacker play list (the library's loaded playlist, not owning).
    TtagPlaylist &PlayList() { return m_library.LoadedPlaylist(); }
    const TtagPlaylist &PlayList() const { return m_library.LoadedPlaylist(); }

    // Copies every record of an album into the stacker, in album order.
    void AddAlbum(const TtagAlbum &album);
    // Imports a playlist file under name (which must not be empty); false when
    // it gave no playlist (missing file, no existing track, name taken).
    bool AddPlaylist(const QString &name, const QString &m3uFile);
    // Deletes what a tree node stands for: a track from its playlist or from
    // the stacker's albums, a whole album or a whole playlist. A track node
    // without a parent, a node without an object, and objects that are not
    // (or no longer) the stacker's are left alone.
    void DeleteNode(const TlistObject &object, const TlistObject &parentObject);
    void DeleteAlbum(const TtagAlbum *album);
    void DeletePlaylist(const TtagPlaylist *playlist);
    // Empties the collection and the master list.
    void Empty();

    // Cartridges: the master list in the cartridge file, the collection in
    // the data folder under the cartridge's base name with ".pll". Load and
    // Add change nothing unless the check finds the cartridge usable; a
    // cartridge of playlists alone is an empty file with its index beside.
    bool SaveCartridge(const QString &fileName);
    TcartridgeCheck CheckCartridge(const QString &fileName) const;
    TcartridgeCheck LoadCartridge(const QString &fileName);
    TcartridgeCheck AddCartridge(const QString &fileName);
    // The collection file of a cartridge.
    QString CartridgeIndexFile(const QString &cartridgeFile) const;

    // stacker.dat and stackerpl.dat in the data folder. Load reads them only
    // when stacker.dat exists; what could not be read whole is added to
    // problems when given. Save writes both, false when either failed; both
    // are tried, and the failures, with the system's reason, are added to
    // failures when given.
    void LoadFiles(std::vector<TfileProblem> *problems = nullptr);
    bool SaveFiles(std::vector<TfileProblem> *failures = nullptr);

    // Albums of the index plus playlists of the collection.
    int AlbumCount() const;
    // Albums of the index only (playlists do not count).
    int IndexAlbumCount() const;
    // Total duration of the play list, in milliseconds.
    double PlayTime() const;
    // The five status texts: "Tracks : ", "Duration : ", "Artists : ",
    // "Albums : ", "Playlists : ".
    QStringList StatusTexts() const;
    // The stacker title: empty when disabled; "Empty" without albums;
    // otherwise the current stacker album, or "Inactive" when there is none.
    QString Title(bool enabled, const QString &currentAlbum) const;

    // Raised before the stacker's albums, playlists or records are replaced
    // or freed, and after every change once the play list is rebuilt.
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

private:
    void changing();
    void changed();
    TcartridgeCheck loadCartridge(const QString &fileName, bool append);
    // The album or playlist a tree object stands for when it is one of the
    // stacker's own (found by address: a stale object is never touched).
    TtagAlbum *ownAlbum(const TcustomTaggerList *list);
    TtagPlaylist *ownPlaylist(const TcustomTaggerList *list);

    QString m_dataFolder;
    Tmp3JukeBoxLists m_library;
};
