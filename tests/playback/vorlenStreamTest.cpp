#include "playbackFixtures.h"

#include "metadata/customTagger.h"
#include "playback/vorlenStream.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TEST(FadeVolume, RisesAndFallsWithHalvesRoundedToEven)
{
    const auto fade = [](qint64 position) { return TvorlenStream::FadeVolume(position, 200000, 5000, 5000, 120, 30); };
    EXPECT_EQ(fade(0), 120);
    EXPECT_EQ(fade(2500), 188); // 187.5
    EXPECT_EQ(fade(5000), 255);
    EXPECT_EQ(fade(100000), 255);
    EXPECT_EQ(fade(195000), 255);
    EXPECT_EQ(fade(197500), 142); // 142.5
    EXPECT_EQ(fade(200000), 30);
    // Played past the length the engine reported: the fall stops at silence.
    EXPECT_EQ(fade(202000), 0);
    // Inside a fade-in that overlaps the fade-out, the rise wins.
    EXPECT_EQ(TvorlenStream::FadeVolume(1000, 3000, 2000, 3000, 0, 0), 128); // 127.5
}

TEST(FadeVolume, AFadeTimeOfZeroTakesTheEndValueAtOnce)
{
    EXPECT_EQ(TvorlenStream::FadeVolume(0, 200000, 0, 5000, 120, 30), 255);
    EXPECT_EQ(TvorlenStream::FadeVolume(1, 200000, 0, 5000, 120, 30), 255);
    EXPECT_EQ(TvorlenStream::FadeVolume(200000, 200000, 5000, 0, 120, 30), 30);
    EXPECT_EQ(TvorlenStream::FadeVolume(199999, 200000, 5000, 0, 120, 30), 255);
    EXPECT_EQ(TvorlenStream::FadeVolume(0, 0, 0, 0, 7, 9), 255);
}

class StreamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        files = new PlaybackFiles;
        level = files->Wave(QStringLiteral("level.wav"), QStringLiteral("0.5"), 2);
    }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    void SetUp() override
    {
        AudioEngineOptions options;
        options.manualPump = true;
        ASSERT_TRUE(engine.init(options));
        track->SetFilename(level);
    }

    static inline PlaybackFiles *files = nullptr;
    static inline QString level;
    AudioEngine engine;
    TtaggerRef track{new TcustomTagger};
};

TEST_F(StreamTest, LoadsPlaysPausesAndCloses)
{
    TvorlenStream stream(engine);
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_EQ(stream.Channel(), -1);
    stream.Play();
    EXPECT_EQ(stream.State(), ssStopped);

    stream.Load(track.get());
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_NE(stream.Handle(), 0u);
    EXPECT_EQ(stream.Channel(), -1);
    EXPECT_EQ(stream.LengthMs(), 2000);
    EXPECT_EQ(stream.Track(), track.get());
    EXPECT_EQ(stream.GetPosition(), 0);

    stream.Play();
    ASSERT_EQ(stream.State(), ssPlaying);
    const int channel = stream.Channel();
    EXPECT_EQ(engine.volume(channel), 0);
    // Play on a playing stream does nothing.
    stream.Play();
    EXPECT_EQ(stream.Channel(), channel);

    engine.pump(FramesForMs(400));
    EXPECT_EQ(stream.GetPosition(), 400);
    stream.TogglePause();
    EXPECT_EQ(stream.State(), ssPaused);
    engine.pump(FramesForMs(400));
    EXPECT_EQ(stream.GetPosition(), 400);
    stream.TogglePause();
    EXPECT_EQ(stream.State(), ssPlaying);

    stream.Seek(999999);
    EXPECT_EQ(stream.GetPosition(), 1900);
    stream.Seek(700);
    EXPECT_EQ(stream.GetPosition(), 700);

    stream.Close();
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_EQ(stream.Handle(), 0u);
    EXPECT_EQ(stream.Track(), nullptr);
    EXPECT_EQ(stream.LengthMs(), 0);
    EXPECT_FALSE(engine.isPlaying(channel));
    stream.TogglePause();
    EXPECT_EQ(stream.State(), ssStopped);
}

TEST_F(StreamTest, FlacAndOpusFilesPlayTheirToneForTheirLength)
{
    for (const char *name : { "tone.flac", "tone.opus" }) {
        SCOPED_TRACE(name);
        ToneSpec spec;
        spec.seconds = 2;
        spec.frequency = 1000;
        spec.sampleRate = 48000;
        const QString path = files->Tone(QString::fromLatin1(name), spec);
        const TtaggerRef record(CreateTaggerForFile(path).release());
        ASSERT_TRUE(record);
        record->LoadFromFile(path);
        EXPECT_EQ(record->Duration(), 2000.0);

        TvorlenStream stream(engine);
        stream.Load(record.get());
        ASSERT_NE(stream.Handle(), 0u);
        // The decoder's length may count the few milliseconds Opus drops at the start.
        EXPECT_NEAR(stream.LengthMs(), 2000, 10);
        stream.Play();
        ASSERT_EQ(stream.State(), ssPlaying);
        const int channel = stream.Channel();
        engine.setVolume(channel, 255);
        engine.pump(FramesForMs(500));

        // One second from the middle: a 1 kHz tone crosses zero 2,000 times.
        std::vector<qint16> mix(2 * 44100);
        engine.pump(44100, mix.data());
        int crossings = 0;
        int loudest = 0;
        for (size_t i = 2; i < mix.size(); i += 2) {
            crossings += (mix[i - 2] < 0) != (mix[i] < 0);
            loudest = std::max(loudest, std::abs(int(mix[i])));
        }
        EXPECT_NEAR(crossings, 2000, 4);
        EXPECT_GT(loudest, 1000);
        EXPECT_EQ(stream.GetPosition(), 1500);

        engine.pump(FramesForMs(600));
        EXPECT_FALSE(engine.isPlaying(channel)) << "the sound ends with the file";
    }
}

TEST_F(StreamTest, SetVolumeSkipsTheEngineWhenTheValueIsUnchanged)
{
    TvorlenStream stream(engine);
    stream.Load(track.get());
    stream.Play();
    stream.SetVolume(100);
    EXPECT_EQ(engine.volume(stream.Channel()), 100);
    engine.setVolume(stream.Channel(), 50);
    stream.SetVolume(100);
    EXPECT_EQ(engine.volume(stream.Channel()), 50);
    stream.SetVolume(101);
    EXPECT_EQ(engine.volume(stream.Channel()), 101);
}

TEST_F(StreamTest, ApplyFadeShapesTheVolumeOnlyWhilePlaying)
{
    TvorlenStream stream(engine);
    stream.SetFadeInTime(1000);
    stream.SetFadeOutTime(1000);
    stream.SetFadeInFromVolume(120);
    stream.SetFadeOutToVolume(30);
    stream.Load(track.get());
    stream.ApplyFade();
    EXPECT_EQ(stream.Volume(), 0);
    stream.Play();
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 120);
    engine.pump(FramesForMs(500));
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 188);
    engine.pump(FramesForMs(1000));
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 142);
    stream.TogglePause();
    engine.setVolume(stream.Channel(), 7);
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 7);
}

TEST_F(StreamTest, ZeroFadeTimesGiveFullAndEndVolumesWithoutFailing)
{
    TvorlenStream stream(engine);
    stream.SetFadeInTime(0);
    stream.SetFadeOutTime(0);
    stream.SetFadeInFromVolume(120);
    stream.SetFadeOutToVolume(30);
    stream.Load(track.get());
    stream.Play();
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 255);
    engine.pump(FramesForMs(2000));
    stream.ApplyFade();
    EXPECT_EQ(engine.volume(stream.Channel()), 30);
}

TEST_F(StreamTest, MissingAndUnreadableFilesLeaveTheStreamWithoutAHandle)
{
    TvorlenStream stream(engine);
    const TtaggerRef gone(new TcustomTagger);
    gone->SetFilename(files->Path(QStringLiteral("gone.mp3")));
    stream.Load(gone.get());
    EXPECT_EQ(stream.State(), ssLoading);
    EXPECT_EQ(stream.Handle(), 0u);
    EXPECT_EQ(stream.Track(), gone.get());
    stream.Play();
    EXPECT_EQ(stream.State(), ssLoading);

    const QString junkPath = files->Path(QStringLiteral("junk.mp3"));
    QFile junk(junkPath);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4000, 'x'));
    junk.close();
    const TtaggerRef unreadable(new TcustomTagger);
    unreadable->SetFilename(junkPath);
    stream.Load(unreadable.get());
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_EQ(stream.Handle(), 0u);
    stream.Play();
    EXPECT_EQ(stream.State(), ssStopped);

    stream.Load(nullptr);
    EXPECT_EQ(stream.State(), ssLoading);
}

TEST_F(StreamTest, LoadingOverAnOpenFileKeepsTheNewRecord)
{
    TvorlenStream stream(engine);
    const TtaggerRef other(new TcustomTagger);
    other->SetFilename(level);
    stream.Load(track.get());
    stream.Play();
    stream.Load(other.get());
    EXPECT_EQ(stream.Track(), other.get());
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_NE(stream.Handle(), 0u);
}

TEST_F(StreamTest, StopEndsBeforeAPendingEventStartsAnotherStream)
{
    // A pending event that starts another stream runs after the stop, not in
    // its middle: the channel is silent when Stop returns, and only then taken
    // over by the other stream.
    TvorlenStream stream(engine);
    stream.Load(track.get());
    stream.Play();
    const int channel = stream.Channel();
    const EngineStream intruder = engine.streamOpen(level);
    QMetaObject::invokeMethod(
        qApp, [&] { engine.streamPlay(intruder); }, Qt::QueuedConnection);
    stream.Stop();
    EXPECT_EQ(stream.State(), ssStopped);
    EXPECT_EQ(stream.Handle(), 0u);
    EXPECT_FALSE(engine.isPlaying(channel));
    QCoreApplication::processEvents();
    EXPECT_TRUE(engine.isPlaying(channel));
}

TEST_F(StreamTest, DestroyingAPlayingStreamFreesItsChannel)
{
    auto stream = std::make_unique<TvorlenStream>(engine);
    stream->Load(track.get());
    stream->Play();
    const int channel = stream->Channel();
    ASSERT_TRUE(engine.isPlaying(channel));
    stream.reset();
    EXPECT_FALSE(engine.isPlaying(channel));
}

} // namespace
