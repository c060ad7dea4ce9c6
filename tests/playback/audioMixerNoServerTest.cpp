#include "playback/audioMixer.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Without a sound server (and without sound cards) ALSA has no "default"
// control device: the mixer then has no device, reads 0 and writes nothing.
TEST(AudioMixerNoServer, NoDeviceReadsZeroAndWritesNothing)
{
    if (!QDir(QStringLiteral("/dev/snd")).entryList({ QStringLiteral("controlC*") }, QDir::System).isEmpty())
        GTEST_SKIP() << "this machine has sound cards, so ALSA always has a default device";
    qputenv("PULSE_SERVER", "unix:/nonexistent/vorlen-no-server");
    qputenv("PULSE_RUNTIME_PATH", "/nonexistent/vorlen-no-server");

    TAudioMixer mixer;
    EXPECT_EQ(mixer.DeviceCount(), 0);
    EXPECT_EQ(mixer.MixerID(), -1);
    EXPECT_FALSE(mixer.DevicePresent());
    EXPECT_EQ(mixer.MasterVolume(), 0);
    mixer.SetMasterVolume(200);
    EXPECT_EQ(mixer.MasterVolume(), 0);
    mixer.SetMixerID(0);
    EXPECT_EQ(mixer.MixerID(), -1);
    TMixerVolume volume;
    EXPECT_FALSE(mixer.GetVolume(0, -1, volume));
    EXPECT_FALSE(mixer.SetVolume(0, -1, 0, 100, 100));
}

} // namespace
