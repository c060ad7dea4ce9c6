#pragma once

#include <functional>
#include <memory>

// Raised when another program (or the desktop's volume control) changes the
// mixer: the mixer's identifier (MixerID) and the changed control's
// identifier (0, the master element, the only control this mixer watches).
// Sender-less: the owner binds whatever context it needs.
using TMixerChange = std::function<void(int mixerH, int id)>;

// Values of one line's volume and mute controls, on the 0..65535 scale.
// A missing control leaves its values at -1 and sets its disabled flag.
struct TMixerVolume {
    bool muteDisabled = true;
    bool volumeDisabled = true;
    int mute = -1;
    int right = -1;
    int left = -1;
};

// The system mixer's master volume, on the ALSA simple mixer: the "Master"
// element of the "default" control device (the first element with a playback
// volume when there is no "Master"). On a desktop "default" reaches
// PulseAudio or PipeWire through the ALSA pulse plug-in.
//
// The rest of the program only reads and sets the master line's volume and
// mute and listens for changes, so that is all this mixer models: there is one
// destination (0, the master element) and no source lines. Changes arrive
// through the mixer's poll descriptors on the Qt event loop of the thread that
// created the mixer; OnControlChange runs there. Everything else runs on that
// thread too.
class TAudioMixer {
public:
    static constexpr int kMaxLevel = 65535;

    // Opens the default device (MixerID 0) when there is one.
    TAudioMixer();
    ~TAudioMixer();
    TAudioMixer(const TAudioMixer &) = delete;
    TAudioMixer &operator=(const TAudioMixer &) = delete;

    // The open device: 0 for "default", -1 while none is open.
    int MixerID() const;
    // Closes the open device; a value of 0 or above (cut to the last device)
    // opens that device. Does nothing when the system has no mixer device.
    void SetMixerID(int id);
    // Mixer devices in the system, counted once at creation: 1 when the
    // "default" control device exists, else 0.
    int DeviceCount() const;
    // True while a device with a usable master element is open.
    bool DevicePresent() const;

    // Destination 0 with connection -1 is the master line; anything else does
    // not exist and gives false.
    bool GetVolume(int destination, int connection, TMixerVolume &volume) const;
    // Writes left to the left channels and right (-1: same as left) to the
    // right ones; mute 0 or 1 sets the mute state, -1 leaves it.
    bool SetVolume(int destination, int connection, int mute, int right, int left);

    // Master volume 0..255: the left channel divided by 256; 0 without a device.
    int MasterVolume() const;
    // Writes value x 256 to both channels and clears the mute; nothing without
    // a device.
    void SetMasterVolume(int value);

    TMixerChange OnControlChange;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
