#pragma once

#include <functional>
#include <memory>

class TdmMain;

// The jukebox window as the desktop's media controls reach it.
struct TmprisWindow {
    // Brings the window to the front (the program's single-instance raise).
    std::function<void()> raise;
    std::function<bool()> isFullScreen;
    // Through the window's own full-screen command, so that the window system
    // (the compositor under Wayland) is asked as when the user toggles it.
    std::function<void(bool)> setFullScreen;
};

// The jukebox on the session bus as the MPRIS 2 player
// org.mpris.MediaPlayer2.vorlen, so that the desktop's media keys, panels
// and playerctl control it. What the core announces of the player is passed
// on as property changes from creation on.
//
// Without a session bus (a console, a test) or when the bus refuses the
// object, the jukebox runs without it and nothing is said.
//
// GUI thread only. Made after the core, destroyed before it.
class TmprisService {
public:
    static constexpr const char *kServiceName = "org.mpris.MediaPlayer2.vorlen";
    static constexpr const char *kObjectPath = "/org/mpris/MediaPlayer2";

    TmprisService(TdmMain &core, TmprisWindow window);
    ~TmprisService();
    TmprisService(const TmprisService &) = delete;
    TmprisService &operator=(const TmprisService &) = delete;

    // Whether the player is on the bus.
    bool Registered() const;
    // Tells the clients that the window entered or left full screen.
    void FullScreenChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
