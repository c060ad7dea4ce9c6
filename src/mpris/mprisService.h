#pragma once

#include <functional>
#include <memory>

class TdmMain;

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

    // raise brings the jukebox's window to the front.
    TmprisService(TdmMain &core, std::function<void()> raise);
    ~TmprisService();
    TmprisService(const TmprisService &) = delete;
    TmprisService &operator=(const TmprisService &) = delete;

    // Whether the player is on the bus.
    bool Registered() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
