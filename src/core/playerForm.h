#pragma once

#include <functional>

class TiniFile;
class TvorlenStream;

// What the application core needs of the main window: its notification
// operations, in the order the base window declares them, and the two events
// the core hooks. The main window implements it; tests implement it with a
// recording fake. All calls come on the GUI thread.
class TvorlenPlayerFormInterface {
public:
    virtual ~TvorlenPlayerFormInterface() = default;

    virtual void DoStartup() = 0;
    // Raised before the library's albums, artists or records are replaced or
    // freed: the window drops every pointer it holds to them.
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

    // Raised by the window at its first activation and when it has closed;
    // the core hooks them (StartUp and SaveSettings).
    std::function<void()> OnStartup;
    std::function<void()> OnClosed;
};
