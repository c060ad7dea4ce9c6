#include "playback/audioMixer.h"
#include "audioFixtures.h"
#include "pulseTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs the event loop until done() holds or timeoutMs passed.
bool RunEventsUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

bool SinkMuted()
{
    return PulseTestServer::pactl({ QStringLiteral("get-sink-mute"), PulseTestServer::sinkName() }).contains("yes");
}

class AudioMixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PulseTestServer::UsePulseTestServer()) << "the test PulseAudio server does not answer";
        PulseTestServer::pactl(
            { QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("65536") });
        PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0") });
    }
};

TEST_F(AudioMixerTest, MasterVolumeReachesTheSoundServerAndClearsMute)
{
    TAudioMixer mixer;
    ASSERT_TRUE(mixer.DevicePresent());
    EXPECT_EQ(mixer.MixerID(), 0);
    EXPECT_EQ(mixer.DeviceCount(), 1);
    EXPECT_EQ(mixer.MasterVolume(), 255);

    PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("1") });
    ASSERT_TRUE(SinkMuted());
    mixer.SetMasterVolume(200);
    EXPECT_EQ(mixer.MasterVolume(), 200);

    const std::vector<int> volumes = PulseTestServer::sinkVolumes();
    ASSERT_EQ(volumes.size(), 2u);
    for (int v : volumes)
        EXPECT_NEAR(v / 65536.0, 51200 / 65536.0, 0.01) << v;
    EXPECT_FALSE(SinkMuted());

    TMixerVolume volume;
    ASSERT_TRUE(mixer.GetVolume(0, -1, volume));
    EXPECT_FALSE(volume.volumeDisabled);
    EXPECT_FALSE(volume.muteDisabled);
    EXPECT_EQ(volume.mute, 0);
    EXPECT_EQ(volume.left, 51200);
    EXPECT_EQ(volume.right, 51200);
    EXPECT_FALSE(mixer.GetVolume(1, -1, volume));
    EXPECT_FALSE(mixer.GetVolume(0, 0, volume));
    EXPECT_EQ(volume.left, -1);

    // Balance and explicit mute through the mixer's full entry.
    ASSERT_TRUE(mixer.SetVolume(0, -1, 1, 16384, 49152));
    ASSERT_TRUE(mixer.GetVolume(0, -1, volume));
    EXPECT_EQ(volume.mute, 1);
    EXPECT_EQ(volume.left, 49152);
    EXPECT_EQ(volume.right, 16384);
    EXPECT_TRUE(SinkMuted());
    mixer.SetMasterVolume(300);
    EXPECT_EQ(mixer.MasterVolume(), 255);
    mixer.SetMasterVolume(0);
    EXPECT_EQ(mixer.MasterVolume(), 0);
    EXPECT_EQ(PulseTestServer::sinkVolumes(), (std::vector<int> { 0, 0 }));
}

TEST_F(AudioMixerTest, ChangeByAnotherProgramRaisesOnControlChange)
{
    TAudioMixer mixer;
    ASSERT_TRUE(mixer.DevicePresent());
    mixer.SetMasterVolume(200);
    int changes = 0;
    int reportedMixer = -2;
    mixer.OnControlChange = [&](int mixerH, int) {
        ++changes;
        reportedMixer = mixerH;
    };
    // Our own change comes back as an event too; let it pass first.
    RunEventsUntil([] { return false; }, 300);
    changes = 0;

    PulseTestServer::pactl({ QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("32768") });
    ASSERT_TRUE(RunEventsUntil([&] { return changes > 0; }, 5000));
    EXPECT_EQ(reportedMixer, 0);
    EXPECT_EQ(mixer.MasterVolume(), 128);
}

TEST_F(AudioMixerTest, MixerIdSelectsOrClosesTheDevice)
{
    TAudioMixer mixer;
    mixer.SetMasterVolume(100);
    mixer.SetMixerID(7);
    EXPECT_EQ(mixer.MixerID(), 0);
    EXPECT_EQ(mixer.MasterVolume(), 100);

    mixer.SetMixerID(-1);
    EXPECT_EQ(mixer.MixerID(), -1);
    EXPECT_FALSE(mixer.DevicePresent());
    EXPECT_EQ(mixer.MasterVolume(), 0);
    mixer.SetMasterVolume(200);
    EXPECT_NEAR(PulseTestServer::sinkVolumes().at(0) / 65536.0, 100 * 256 / 65536.0, 0.01);

    mixer.SetMixerID(0);
    EXPECT_TRUE(mixer.DevicePresent());
    EXPECT_EQ(mixer.MasterVolume(), 100);
}

// A sound server that goes away takes the device with it; the mixer must not
// keep polling a dead descriptor (which would spin the event loop) nor use the
// freed element.
TEST_F(AudioMixerTest, VanishedServerLeavesNoDevice)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = QStringLiteral(VORLEN_PULSE_SERVER_SCRIPT);
    ASSERT_TRUE(RunTool(script, { QStringLiteral("start"), dir.path() }));
    const QByteArray oldServer = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + dir.filePath(QStringLiteral("native")).toUtf8());
    TAudioMixer mixer;
    qputenv("PULSE_SERVER", oldServer);
    ASSERT_TRUE(mixer.DevicePresent());
    mixer.SetMasterVolume(150);

    ASSERT_TRUE(RunTool(script, { QStringLiteral("stop"), dir.path() }));
    EXPECT_TRUE(RunEventsUntil([&] { return !mixer.DevicePresent(); }, 5000));
    EXPECT_EQ(mixer.MixerID(), -1);
    EXPECT_EQ(mixer.MasterVolume(), 0);
    mixer.SetMasterVolume(100);
    RunEventsUntil([] { return false; }, 200);
}

} // namespace
