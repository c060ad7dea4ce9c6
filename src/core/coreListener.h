#pragma once

#include "library/libraryChanges.h"
#include "metadata/taggerRef.h"
#include "playback/streamState.h"

#include <QString>
#include <QtGlobal>

class TiniFile;
struct TscanProgress;
class TvorlenStream;

// What plays now, as the core announces it at every change of track.
struct TnowPlaying {
    // Null when nothing plays; a stop clears both at once. The stream lives
    // as long as the player. The record is held here, not only by the
    // stream: a stop lets the stream drop its record, and a face that looks
    // at what plays between two announcements (a guest's call, a refresh on
    // a clock) must never reach a record the library has freed since.
    const TvorlenStream *stream = nullptr;
    TtaggerRef track;
    // The picture file of the track's cover: one named after artist and album
    // in the cover folder or beside the track, else the picture stored in the
    // track's own file, written out to the data folder's covers/. Empty when
    // the track has none.
    QString coverFile;
};

// Long work whose progress the core announces. Each face shows the work it
// has a place for (the progress window, the scan window's bar, the playlist
// list editor's bar, a status line).
enum class TcoreTask {
    // Loading the library at start-up.
    LibraryLoad,
    // Adding a scan's findings to the library.
    LibraryUpdate,
    // Reading a preloaded playlist's file.
    PlaylistImport,
    // Importing a playlist into the stacker.
    StackerPlaylist,
    // Loading or adding a stacker cartridge.
    StackerCartridge,
    // Any other rebuild of the library's index.
    IndexRebuild,
};

// A face of the jukebox (the main window, its dialogs, the desktop's media
// controls, the guests' page): everything the core announces, each with an
// empty body, so a face overrides only what it shows. A face subscribes to
// the core (TdmMain::Subscribe) and hears from then until its subscription
// ends; faces are peers, and none hears of a change through another.
//
// Every call comes on the GUI thread, in the order the faces subscribed.
// Which pointers a face may keep, and until when:
// - Albums, artists and track records of the main library (tree nodes, the
//   song list, search results, the choose-CD tree): until LibraryChanging,
//   which reaches every face before anything of the library goes. New ones
//   come at ListsUpdated, or with a LibraryChanged that names what went and
//   what came (the records, albums and artists it names as gone stay alive
//   until it returns); in between (a scan or a CD refresh lets windows
//   run meanwhile) a face must not touch the library's lists at all.
// - Queued records (the queue list): until the next QueueChanged.
// - What TrackChanged and PositionChanged pass: until the next TrackChanged.
// - The stacker's albums, playlists and records (the stacker window): until
//   StackerChanging; new ones at StackerChanged.
// - Playlists and their records (the playlist windows): until the next
//   PlaylistChanged or PlaylistsLoaded.
class TcoreListener {
public:
    virtual ~TcoreListener() = default;

    // --- the library ---------------------------------------------------------
    // Before the library's albums, artists or records are replaced or freed.
    virtual void LibraryChanging() { }
    // The library's index is new: take the new albums, artists and records.
    virtual void ListsUpdated() { }
    // The library changed in part (the folder watch, a file edited): the
    // lists and the index have taken the change already. A face that shows
    // the library updates what it shows from the change set; by default it
    // takes the library anew, as after a rebuild. The albums, artists and
    // records the change set names stay alive until this returns, so the
    // default's LibraryChanging still finds whatever the face held.
    virtual void LibraryChanged(const TlibraryChanges & /*changes*/)
    {
        LibraryChanging();
        ListsUpdated();
    }

    // The user's scan of the music folders (TlibraryScan), whichever face
    // started it: started, moved on, ended (completed, its findings taken by
    // the library; or stopped, changing nothing).
    virtual void ScanStarted() { }
    virtual void ScanProgress(const TscanProgress & /*progress*/) { }
    virtual void ScanEnded(bool /*completed*/) { }

    // --- the player ----------------------------------------------------------
    virtual void PlayStateChanged(TstreamState /*state*/) { }
    virtual void TrackChanged(const TnowPlaying & /*playing*/) { }
    // At every player tick while a track plays.
    virtual void PositionChanged(const TvorlenStream & /*stream*/) { }
    // The position was moved (a seek from any face), not played to.
    virtual void PositionJumped(qint64 /*positionMs*/) { }
    // The master volume changed, by a face or outside the jukebox.
    virtual void VolumeChanged() { }
    // The visualisation's refresh tick, while it is on.
    virtual void VisTimer() { }

    // --- queue, playlists, stacker ---------------------------------------------
    virtual void QueueChanged() { }
    // The loaded playlist or the active preloaded playlist changed.
    virtual void PlaylistChanged() { }
    // The collection of preloaded playlists was read or edited.
    virtual void PlaylistsLoaded() { }
    // A preloaded playlist was activated, or none is active any more: the
    // playlist the jukebox draws from (TdmMain::PlaylistInUse) is another.
    virtual void ActivePlaylistChanged() { }
    // Before the stacker's albums, playlists or records are replaced or freed.
    virtual void StackerChanging() { }
    virtual void StackerChanged() { }

    // --- party mode ---------------------------------------------------------------
    // The party's settings, its server's status, its guests, the requests
    // awaiting approval or the votes to skip changed.
    virtual void PartyChanged() { }

    // --- settings and looks -----------------------------------------------------
    // The settings pass: each face reads and writes its own sections of
    // vorlen.ini.
    virtual void LoadSettings(TiniFile & /*ini*/) { }
    virtual void SaveSettings(TiniFile & /*ini*/) { }
    virtual void TreeFontChanged() { }

    // --- long work ------------------------------------------------------------------
    // Work of count steps (0 or less: of unknown length) begins; work may nest
    // (an index rebuild inside a load), each start with its own finish.
    virtual void TaskStarted(TcoreTask /*task*/, const QString & /*title*/, int /*count*/) { }
    // Step index (0-based) is under way.
    virtual void TaskProgress(TcoreTask /*task*/, int /*index*/) { }
    virtual void TaskFinished(TcoreTask /*task*/) { }
    // The background loudness measuring of the library moved on: done of
    // total files, and whether it still runs (it is stopped when the settings
    // or the listener no longer want it, and resumes where it left off). It
    // is no task: it runs beside everything else, for as long as it takes.
    virtual void LoudnessAnalysisProgress(int /*done*/, int /*total*/, bool /*running*/) { }

    // --- the program ----------------------------------------------------------------
    // A face asked the jukebox to end (Exit, the desktop's Quit): the program
    // answers by closing its main window the normal way, which saves the
    // settings.
    virtual void QuitRequested() { }
};
