#pragma once

#include <functional>
#include <memory>

class TdmMain;
class TfrmJukebox;

// The jukebox on the session bus as the MPRIS 2 player
// org.mpris.MediaPlayer2.vorlen, so that the desktop's media keys, panels
// and playerctl control it. The window's player notifications are passed on
// as property changes from creation on.
//
// Without a session bus (a console, a test) or when the bus refuses the
// object, the jukebox runs without it and nothing is said.
//
// GUI thread only. Made after the core and the window, destroyed before them.
class TmprisService {
public:
    static constexpr const char *kServiceName = "org.mpris.MediaPlayer2.vorlen";
    static constexpr const char *kObjectPath = "/org/mpris/MediaPlayer2";

    // raise brings the window to the front.
    TmprisService(TdmMain &core, TfrmJukebox &window, std::function<void()> raise);
    ~TmprisService();
    TmprisService(const TmprisService &) = delete;
    TmprisService &operator=(const TmprisService &) = delete;

    // Whether the player is on the bus.
    bool Registered() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
