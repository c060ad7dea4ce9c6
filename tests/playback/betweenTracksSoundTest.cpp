// How tracks meet, listened to at the private PulseAudio server's null sink:
// the player with the planner, on a real device, in real time.
#include "childProcess.h"
#include "playbackFixtures.h"
#include "pulseTestServer.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"
#include "playback/loudnessAnalyser.h"
#include "playback/soundPlanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>

namespace {

constexpr int kRate = 44100;

// A player on the real device, planned by the planner, playing the tracks
// given one after the other; what the sink heard.
class BetweenTracksSound : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }

    TcustomTagger *AddTrack(const QString &path, const QString &album, quint32 number)
    {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(path);
        tracks.back()->SetAlbum(album);
        tracks.back()->SetArtist(QStringLiteral("Test Signals"));
        tracks.back()->SetTrack(number);
        return tracks.back().get();
    }

    void Measure(const QString &path)
    {
        const std::atomic<bool> stop { false };
        const TloudnessEntry entry = MeasureFile(path, FileStampOf(path), stop);
        ASSERT_TRUE(entry.measured) << path.toStdString();
        store.Put(path, entry);
    }

    std::vector<qint16> PlayAll(int fadeIn, int fadeOut, int timeoutMs)
    {
        EXPECT_TRUE(PulseTestServer::UsePulseTestServer());
        // The sink as it comes, whatever volume a test before left it at.
        PulseTestServer::pactl(
            {QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("65536")});
        PulseTestServer::pactl({QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0")});
        PulseRecorder recorder;
        EXPECT_TRUE(recorder.start());
        TcrossPlayer player;
        EXPECT_TRUE(player.EngineOpen()) << player.EngineError().toStdString();
        player.SetFadeInTime(fadeIn);
        player.SetFadeOutTime(fadeOut);
        player.SetFadeInFromVolume(fadeIn == 0 ? 255 : 125);
        player.SetFadeOutToVolume(fadeOut == 0 ? 255 : 40);
        TsoundPlanner planner(store);
        std::size_t supplied = 0;
        player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
            if (supplied < tracks.size())
                track = tracks[supplied++];
        };
        player.OnPlanTrack = [&](TcrossPlayer *, TcustomTagger *track, const TcustomTagger *previous) {
            return planner.Plan(*track, previous);
        };
        player.OnTrackStart = [&](TcrossPlayer *, TvorlenStream *stream) { started.push_back(stream->Track()); };
        QThread::msleep(300);
        player.Play();
        QElapsedTimer clock;
        clock.start();
        while ((supplied < tracks.size() || player.GetState() == ssPlaying || player.OutgoingStream())
            && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QThread::msleep(300);
        underruns = player.Engine().mixStats().underruns;
        player.StopAll();
        return recorder.stop();
    }

    static inline PlaybackFiles *files = nullptr;
    TloudnessStore store;
    std::vector<TtaggerRef> tracks;
    std::vector<TcustomTagger *> started;
    qint64 underruns = 0;
};

struct Codec {
    const char *extension;
    int sampleRate;
};

class GaplessSound : public BetweenTracksSound, public ::testing::WithParamInterface<Codec> { };

// A 30 s sine at 1 kHz cut at two points inside codec frames into three
// files of one album (lame MP3 with its LAME header, Opus, FLAC): at the
// sink, all of the sine, and at the joins no gap of a millisecond and no
// step larger than twice the sine's own largest.
TEST_P(GaplessSound, AnAlbumSplitInsideItsFramesSoundsAsOneSine)
{
    const Codec &c = GetParam();
    constexpr double kSeconds = 30;
    constexpr double kAmplitude = 0.5;
    constexpr int kFrequency = 1000;
    const QString sine = QStringLiteral("%1*sin(2*PI*%2*t)").arg(kAmplitude).arg(kFrequency);
    const QString whole = files->FloatFile(QStringLiteral("sine-%1.wav").arg(QLatin1String(c.extension)), sine, sine,
        kSeconds, QStringLiteral("pcm_s16le"), QStringLiteral("s16"), c.sampleRate);
    const qint64 cuts[]
        = { 0, qint64(9.3 * c.sampleRate) + 11, qint64(21.7 * c.sampleRate) + 5, qint64(kSeconds * c.sampleRate) };
    for (int part = 0; part < 3; ++part) {
        const QString piece = files->Path(QStringLiteral("piece%1-%2.wav").arg(part).arg(QLatin1String(c.extension)));
        const QString target = files->Path(QStringLiteral("part%1.%2").arg(part).arg(QLatin1String(c.extension)));
        QString error;
        ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-i"), whole, QStringLiteral("-af"),
                QStringLiteral("atrim=start_sample=%1:end_sample=%2").arg(cuts[part]).arg(cuts[part + 1]),
                QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), piece },
            &error))
            << error.toStdString();
        const bool lame = QLatin1String(c.extension) == QLatin1String("mp3");
        ASSERT_TRUE(RunTool(lame ? QStringLiteral("lame") : QStringLiteral("ffmpeg"),
            lame ? QStringList { QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("256"), piece, target }
                 : QStringList { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                     QStringLiteral("-y"), QStringLiteral("-i"), piece, QStringLiteral("-b:a"), QStringLiteral("192k"),
                     target },
            &error))
            << error.toStdString();
        AddTrack(target, QStringLiteral("One Sine"), quint32(part + 1));
    }
    const std::vector<qint16> recording = PlayAll(0, 0, 60000);
    ASSERT_EQ(started.size(), 3u);
    EXPECT_EQ(underruns, 0);

    std::vector<int> left;
    for (std::size_t i = 0; i < recording.size(); i += 2)
        left.push_back(recording[i]);
    const auto loud = [](int v) { return std::abs(v) > 1000; };
    const auto first = std::find_if(left.begin(), left.end(), loud);
    const auto last = std::find_if(left.rbegin(), left.rend(), loud).base();
    ASSERT_LT(first, last) << "nothing was heard";
    // All of the sine and no more, from the player's first tick on (the
    // first track takes its volume there, up to a second after it starts).
    const double seconds = double(last - first) / kRate;
    EXPECT_GT(seconds, kSeconds - double(TcrossPlayer::kIdleInterval) / 1000.0 - 0.05);
    EXPECT_LT(seconds, kSeconds + 0.05);
    // Around each join, placed back from the end of the sine (a busy
    // machine now and then lets the sink itself run dry for a few ms
    // elsewhere, which says nothing of the joins): no gap of a millisecond,
    // no step larger than twice the sine's own largest.
    const double largestStep = kAmplitude * 32767 * 2 * std::numbers::pi * kFrequency / kRate;
    for (const double join : { 9.3, 21.7 }) {
        SCOPED_TRACE(join);
        const auto at = last - std::ptrdiff_t((kSeconds - join) * kRate);
        const std::vector<int> heard(at - kRate / 2, at + kRate / 2);
        int worst = 0;
        std::size_t worstAt = 0;
        int quiet = 0;
        int longestQuiet = 0;
        for (std::size_t i = 1; i < heard.size(); ++i) {
            const int step = std::abs(heard[i] - heard[i - 1]);
            if (step > worst) {
                worst = step;
                worstAt = i;
            }
            quiet = std::abs(heard[i]) < 200 ? quiet + 1 : 0;
            longestQuiet = std::max(longestQuiet, quiet);
        }
        EXPECT_LE(worst, 2 * largestStep)
            << "a step of " << worst << " at " << (double(worstAt) / kRate - 0.5) << " s from the join";
        EXPECT_LT(longestQuiet, kRate / 1000) << "a gap of " << longestQuiet << " samples";
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, GaplessSound,
    ::testing::Values(Codec { "mp3", 44100 }, Codec { "opus", 48000 }, Codec { "flac", 44100 }),
    [](const auto &info) { return std::string(info.param.extension); });

// Tracks of two seconds of silence, five of music and five of silence,
// cross-faded: at the sink, under 100 ms of silence between them.
TEST_F(BetweenTracksSound, TracksEndingInSilenceAreCrossFadedWithoutAGap)
{
    for (int i = 0; i < 3; ++i) {
        const QString path = files->Wave(QStringLiteral("silent-ends%1.wav").arg(i),
            QStringLiteral("if(between(t\\,2\\,7)\\,0.25*sin(2*PI*%1*t)\\,0)").arg(440 + 220 * i), 12);
        ASSERT_NO_FATAL_FAILURE(Measure(path));
        AddTrack(path, QStringLiteral("Single %1").arg(i), 1);
    }
    const std::vector<qint16> recording = PlayAll(1000, 3000, 60000);
    ASSERT_EQ(started.size(), 3u);
    // 10 ms windows: heard when the loudest sample is above 1/300 of full scale.
    constexpr std::size_t kWindow = kRate / 100;
    std::vector<bool> heard;
    for (std::size_t frame = 0; frame + kWindow <= recording.size() / 2; frame += kWindow) {
        int peak = 0;
        for (std::size_t i = 0; i < kWindow; ++i)
            peak = std::max(peak, std::abs(int(recording[(frame + i) * 2])));
        heard.push_back(peak > 110);
    }
    const auto first = std::find(heard.begin(), heard.end(), true);
    const auto last = std::find(heard.rbegin(), heard.rend(), true).base();
    ASSERT_LT(first, last) << "nothing was heard";
    int longest = 0;
    int run = 0;
    for (auto it = first; it < last; ++it) {
        run = *it ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_LT(longest * 10, 100) << "silent for " << longest * 10 << " ms";
    // Three times five seconds of music, less two overlaps.
    EXPECT_GT((last - first) * 10, 10000);
}

} // namespace
