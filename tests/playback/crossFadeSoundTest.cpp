#include "playbackFixtures.h"
#include "pulseTestServer.h"
#include "toneLevel.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kWindowMs = 50;
constexpr int kWindow = kRate * kWindowMs / 1000;
// Well below the quietest either track gets (volume 30 of 255 at amplitude 1/8).
constexpr double kAudible = 0.004;
constexpr int kFadeOutMs = 3000;

TEST(CrossFadeSound, TheOutgoingTrackFallsWhileTheNextRises)
{
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    PlaybackFiles files;
    const TtaggerRef first(new TcustomTagger);
    first->SetFilename(files.Tone(QStringLiteral("a440.mp3"), 440, 8));
    const TtaggerRef second(new TcustomTagger);
    second->SetFilename(files.Tone(QStringLiteral("b880.mp3"), 880, 8));

    PulseRecorder recorder;
    ASSERT_TRUE(recorder.start());
    TcrossPlayer player;
    ASSERT_TRUE(player.EngineOpen()) << player.EngineError().toStdString();
    player.SetFadeOutTime(kFadeOutMs);
    int requests = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        ++requests;
        if (requests == 1)
            track = first;
        else if (requests == 2)
            track = second;
    };
    qint64 switchPosition = -1;
    qint64 firstLength = 0;
    player.OnTrackStart = [&](TcrossPlayer *sender, TvorlenStream *stream) {
        if (stream->Track() == second.get() && sender->OutgoingStream()) {
            switchPosition = sender->OutgoingStream()->GetPosition();
            firstLength = sender->OutgoingStream()->LengthMs();
        }
    };
    QThread::msleep(300);
    player.Play();
    // Until the first track has played out and been closed after the switch.
    QElapsedTimer clock;
    clock.start();
    while ((switchPosition < 0 || player.OutgoingStream()) && clock.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QThread::msleep(500);
    player.StopAll();
    QThread::msleep(300);
    const std::vector<qint16> recording = recorder.stop();
    EXPECT_EQ(player.Engine().mixStats().underruns, 0);

    ASSERT_GT(switchPosition, 0) << "the second track never started";
    // The switch comes at the first tick with less than the fade-out left.
    EXPECT_GE(switchPosition, firstLength - kFadeOutMs);
    // The upper bound allows for a GUI thread kept busy by other programs.
    EXPECT_LE(switchPosition, firstLength - kFadeOutMs + TcrossPlayer::kPlayingInterval + 400);

    std::vector<double> rawA;
    std::vector<double> rawB;
    for (std::size_t frame = 0; frame + kWindow <= recording.size() / 2; frame += kWindow) {
        rawA.push_back(ToneAmplitude(recording, frame, kWindow, 440));
        rawB.push_back(ToneAmplitude(recording, frame, kWindow, 880));
    }
    // On a busy machine the sink now and then runs dry for a few ms; a median
    // over five windows keeps such dips from reading as changes of volume.
    const auto median5 = [](const std::vector<double> &v) {
        std::vector<double> out(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::array<double, 5> around{};
            std::size_t n = 0;
            for (std::size_t j = i >= 2 ? i - 2 : 0; j <= i + 2 && j < v.size(); ++j)
                around[n++] = v[j];
            std::nth_element(around.begin(), around.begin() + n / 2, around.begin() + n);
            out[i] = around[n / 2];
        }
        return out;
    };
    const std::vector<double> a = median5(rawA);
    const std::vector<double> b = median5(rawB);
    const auto first_if = [](const std::vector<double> &v) {
        for (std::size_t i = 0; i < v.size(); ++i)
            if (v[i] > kAudible)
                return int(i);
        return -1;
    };
    const auto last_if = [](const std::vector<double> &v) {
        for (std::size_t i = v.size(); i-- > 0;)
            if (v[i] > kAudible)
                return int(i);
        return -1;
    };
    const int aStart = first_if(a);
    const int bStart = first_if(b);
    const int aEnd = last_if(a);
    ASSERT_GE(aStart, 0) << "nothing of the first track was recorded";
    ASSERT_GT(bStart, aStart) << "the second track was not heard after the first";
    ASSERT_GT(aEnd, bStart) << "the tracks never sounded together";

    // Before the overlap only the first track sounds, during it both, after it
    // only the second. A dip longer than the median's reach (the sink starved
    // for more than 100 ms on a busy machine) may hide a window here and there.
    ASSERT_GT(int(b.size()), aEnd + 5) << "the recording ended with the first track";
    int missing = 0;
    for (int w = aStart; w < bStart; ++w)
        missing += a[w] <= kAudible;
    for (int w = bStart; w < aEnd + 5; ++w)
        missing += b[w] <= kAudible;
    EXPECT_LE(missing, (aEnd + 5 - aStart) / 20);

    // The second track starts at volume 0 and is heard from the tick after
    // its start; the first plays to its end. So the overlap heard is what was
    // left of the first track at the switch, less one tick. Positions count
    // what the mixer handed to the sound server, which buffers a varying
    // amount, so the overlap is placed to within a tick.
    const int overlapMs = (aEnd - bStart + 1) * kWindowMs;
    const qint64 expectedOverlapMs = firstLength - switchPosition - TcrossPlayer::kPlayingInterval;
    EXPECT_NEAR(double(overlapMs), double(expectedOverlapMs), double(TcrossPlayer::kPlayingInterval + kWindowMs));

    // Over the overlap the first track falls and the second rises.
    const auto mean = [](const std::vector<double> &v, int from, int count) {
        double sum = 0;
        for (int i = from; i < from + count; ++i)
            sum += v[i];
        return sum / count;
    };
    const int span = 8;
    EXPECT_GT(mean(a, bStart, span), 2 * mean(a, aEnd - span + 1, span));
    EXPECT_LT(mean(b, bStart, span), 0.75 * mean(b, aEnd - span + 1, span));
    int wrongWay = 0;
    for (int w = bStart + 1; w <= aEnd; ++w) {
        wrongWay += a[w] > a[w - 1] * 1.1 + 0.001;
        wrongWay += b[w] < b[w - 1] * 0.9 - 0.001;
    }
    EXPECT_LE(wrongWay, (aEnd - bStart) / 10);
}

// A party's worth of tracks with the files a library collects over the years
// among them: bytes that are no audio, an Ogg file cut inside its headers, a
// VBR MP3 cut to a third of what its header counts, a file that vanished.
// The damaged ones are skipped or end where their sound ends; the sound never
// stops for a second.
TEST(CrossFadeSound, DamagedFilesAmongGoodOnesLeaveNoSilence)
{
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    PlaybackFiles files;
    std::vector<TtaggerRef> tracks;
    std::vector<TcustomTagger *> playable;
    const auto add = [&tracks, &playable](const QString &path, bool plays) {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(path);
        if (plays)
            playable.push_back(tracks.back().get());
    };
    ToneSpec vbr;
    vbr.seconds = 3;
    vbr.frequency = 770;
    vbr.vbrQuality = 4;
    const QString wholeVbr = files.Tone(QStringLiteral("whole.mp3"), vbr);
    const QString wholeOgg = files.Tone(QStringLiteral("whole.ogg"), 440, 2);
    add(files.Tone(QStringLiteral("g1.mp3"), 440, 3), true);
    add(files.RandomBytes(QStringLiteral("random.mp3"), 64 * 1024, 11), false);
    add(files.Tone(QStringLiteral("g2.mp3"), 550, 3), true);
    add(files.CutCopy(QStringLiteral("cut.ogg"), wholeOgg, 2000), false);
    add(files.Tone(QStringLiteral("g3.ogg"), 660, 3), true);
    add(files.CutCopy(QStringLiteral("cut.mp3"), wholeVbr, QFileInfo(wholeVbr).size() / 3), true);
    add(files.Tone(QStringLiteral("g4.mp3"), 880, 3), true);
    add(files.Path(QStringLiteral("vanished.mp3")), false);
    add(files.RandomBytes(QStringLiteral("random2.mp3"), 64 * 1024, 12), false);
    add(files.Tone(QStringLiteral("g5.mp3"), 990, 3), true);

    PulseRecorder recorder;
    ASSERT_TRUE(recorder.start());
    TcrossPlayer player;
    ASSERT_TRUE(player.EngineOpen()) << player.EngineError().toStdString();
    player.SetFadeInTime(500);
    player.SetFadeOutTime(1000);
    std::size_t supplied = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        if (supplied < tracks.size())
            track = tracks[supplied++];
    };
    std::vector<TcustomTagger *> started;
    player.OnTrackStart = [&](TcrossPlayer *, TvorlenStream *stream) {
        EXPECT_EQ(stream->State(), ssPlaying) << "a start announced for a stream that did not start";
        started.push_back(stream->Track());
    };
    std::vector<int> states;
    player.OnStateChange = [&](TcrossPlayer *sender) { states.push_back(sender->GetState()); };
    QThread::msleep(300);
    player.Play();
    QElapsedTimer clock;
    clock.start();
    while ((states.empty() || states.back() != ssStopped || player.OutgoingStream()) && clock.elapsed() < 40000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QThread::msleep(300);
    player.StopAll();
    const std::vector<qint16> recording = recorder.stop();

    EXPECT_EQ(supplied, tracks.size());
    EXPECT_EQ(started, playable);
    EXPECT_EQ(states, (std::vector<int> { ssPlaying, ssStopped })) << "the player stalled on the way";

    // 50 ms windows: heard when the loudest sample of the left channel is
    // above a quarter of the quietest fade (volume 30 of 255 at 1/8).
    std::vector<bool> heard;
    for (std::size_t frame = 0; frame + kWindow <= recording.size() / 2; frame += kWindow) {
        int peak = 0;
        for (int i = 0; i < kWindow; ++i)
            peak = std::max(peak, std::abs(int(recording[(frame + std::size_t(i)) * 2])));
        heard.push_back(peak > 120);
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
    EXPECT_LT(longest * kWindowMs, 1000) << "silent for " << longest * kWindowMs << " ms";
    // Five tracks of three seconds, less the overlaps, and a second of the cut one.
    EXPECT_GT((last - first) * kWindowMs, 10000);
}

} // namespace
