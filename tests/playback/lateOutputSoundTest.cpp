// A player made before there is any sound output: it leaves the queue alone,
// opens the output of a sound server started after it, and then plays there.
#include "eventWait.h"
#include "playbackFixtures.h"
#include "pulseTestServer.h"
#include "toneLevel.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kWindow = kRate / 5;
constexpr double kAudible = 0.01;
// The server's start is over before the wait begins: two attempts of the
// player and a machine busy with other work.
constexpr int kOpenTimeoutMs = 2 * TcrossPlayer::kEngineRetryMs + 10000;
constexpr int kHeardTimeoutMs = 15000;

// Sets PULSE_SERVER for the test's lifetime.
class ServerVariable {
public:
    explicit ServerVariable(const QByteArray &address)
        : m_old(qgetenv("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", address);
    }
    ~ServerVariable() { qputenv("PULSE_SERVER", m_old); }
    ServerVariable(const ServerVariable &) = delete;
    ServerVariable &operator=(const ServerVariable &) = delete;

private:
    QByteArray m_old;
};

TEST(LateSoundOutput, ThePlayerOpensAServerStartedAfterItAndPlaysThere)
{
    // SDL's pulseaudio driver and the shared server's sink name.
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    PlaybackFiles files;
    const TtaggerRef track(new TcustomTagger);
    track->SetFilename(files.Tone(QStringLiteral("a440.mp3"), 440, 20));

    LatePulseServer server;
    const ServerVariable variable(server.address());
    TcrossPlayer player;
    ASSERT_FALSE(player.EngineOpen()) << "a sound output was there before its server";
    EXPECT_FALSE(player.EngineError().isEmpty());
    int requests = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &out) {
        ++requests;
        out = track;
    };
    int opened = 0;
    player.OnEngineOpen = [&](TcrossPlayer *) { ++opened; };
    player.Play();
    player.Tick();
    EXPECT_EQ(requests, 0) << "tracks were taken with nowhere to play them";
    EXPECT_EQ(player.GetState(), ssStopped);

    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    ASSERT_TRUE(RunEventsUntil([&] { return player.EngineOpen(); }, kOpenTimeoutMs))
        << "the output was not opened: " << player.EngineError().toStdString();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(player.EngineError().isEmpty());

    PulseRecorder recorder(server.environment());
    ASSERT_TRUE(recorder.start());
    player.Play();
    std::vector<qint16> heard;
    double level = 0;
    const bool sounded = RunEventsUntil(
        [&] {
            const std::vector<qint16> taken = recorder.takeSamples();
            heard.insert(heard.end(), taken.begin(), taken.end());
            const std::size_t frames = heard.size() / 2;
            level = frames < kWindow ? 0 : ToneAmplitude(heard, frames - kWindow, kWindow, 440);
            return level > kAudible;
        },
        kHeardTimeoutMs);
    player.StopAll();
    recorder.stop();
    EXPECT_TRUE(sounded) << "the track was not heard at the late server's sink; last level " << level;
    EXPECT_EQ(requests, 1);
    // Nothing more happens once it is open.
    RunEventsUntil([] { return false; }, TcrossPlayer::kEngineRetryMs + 500);
    EXPECT_EQ(opened, 1);
}

} // namespace
