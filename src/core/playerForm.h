#pragma once

#include <functional>

class TiniFile;
class TvorlenStream;

// What the application core needs of the main window: its notification
// operations, in the order the base window declares them, and the two events
// the core hooks. The main window implements it; tests implement it with a
// recording fake. All calls come on the GUI thread.
//
// Which pointers a window may keep, and until when:
// - Albums, artists and track records of the main library (tree nodes, the
//   song list, search results, the choose-CD tree): until LibraryChanging.
//   The window drops them there and takes new ones at ListsUpdated; between
//   the two (a scan or a CD refresh lets the window run meanwhile) it must
//   not touch the library's lists at all.
// - Queued records (the queue list): until the next QueueChanged.
// - The stream passed to PositionChanged and TrackChanged, and its track
//   record: until the next TrackChanged. The stream holds its record, so a
//   library change does not free it.
// - The stacker's albums, playlists and records (the stacker window): until
//   the stacker's OnChanging; new ones at its OnChange (StackerChanged here).
// - Playlists and their records (the playlist windows): until the next
//   PlaylistChanged or PlaylistsLoaded.
class TvorlenPlayerFormInterface {
public:
    virtual ~TvorlenPlayerFormInterface() = default;

    virtual void DoStartup() = 0;
    // Before the library's albums, artists or records are replaced or freed.
    virtual void LibraryChanging() = 0;
    virtual void ListsUpdated() = 0;
    virtual void PositionChanged(TvorlenStream *stream) = 0;
    virtual void QueueChanged() = 0;
    virtual void PlayStateChanged(int state) = 0;
    virtual void TrackChanged(TvorlenStream *stream) = 0;
    virtual void StackerChanged() = 0;
    virtual void PlaylistChanged() = 0;
    virtual void LoadSettings(TiniFile &ini) = 0;
    virtual void SaveSettings(TiniFile &ini) = 0;
    virtual void VolumeChanged() = 0;
    virtual void TreeFontChanged() = 0;
    virtual void VisTimer() = 0;
    virtual void PlaylistsLoaded() = 0;
    // The loudness analysis of the library moved on: done of total files,
    // and whether it still runs.
    virtual void AnalysisProgress(int /*done*/, int /*total*/, bool /*running*/) {}

    // Raised by the window at its first activation and when it has closed;
    // the core hooks them (StartUp and SaveSettings).
    std::function<void()> OnStartup;
    std::function<void()> OnClosed;
};
