#include "playbackFixtures.h"
#include "toneAmplitudes.h"

#include "playback/streamSource.h"

#include <QElapsedTimer>
#include <QThread>
#include <sys/resource.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr std::size_t kRingFrames = 2 * 44100;
constexpr int kMixRate = 44100;

// Waits (up to 5 s) for a decoder thread to fill the ring.
bool WaitForFullRing(StreamSource &source)
{
    QElapsedTimer clock;
    clock.start();
    while (source.pull(kRingFrames).frames < kRingFrames && clock.elapsed() < 5000)
        QThread::msleep(5);
    return source.pull(kRingFrames).frames == kRingFrames;
}

// Appends the frames pulled, interleaved, and consumes them.
void Take(StreamSource &source, std::size_t frames, std::vector<float> &into)
{
    const StreamSource::PullResult pulled = source.pull(frames);
    into.insert(into.end(), pulled.runs.first, pulled.runs.first + pulled.runs.firstFrames * 2);
    into.insert(into.end(), pulled.runs.second, pulled.runs.second + pulled.runs.secondFrames * 2);
    source.release(pulled.frames);
}

// Every frame from the play position to the end, as the mixer reads them
// (manual mode: decoded on this thread).
std::vector<float> ReadToEnd(StreamSource &source)
{
    std::vector<float> frames;
    for (int pass = 0; pass < 10000 && !source.playedOut(); ++pass) {
        source.fill(4096);
        Take(source, 4096, frames);
    }
    return frames;
}

// The first frame whose left sample reaches level; the frame count when none does.
std::size_t FirstFrameAbove(const std::vector<float> &frames, float level)
{
    std::size_t frame = 0;
    while (frame < frames.size() / 2 && std::abs(frames[frame * 2]) < level)
        ++frame;
    return frame;
}

} // namespace

// A decoder thread runs ahead until the ring is full and parks the rest of
// the frame it was on; every frame still arrives once, in order and on its
// side. Sawtooths of 1000 and 500 frames, in planar and packed float files
// (which go into the ring without the resampler).
TEST(StreamSource, ADecoderThatFillsTheRingLosesNoFrame)
{
    PlaybackFiles files;
    for (const auto &[name, codec, format] : {std::array<const char *, 3>{"saw.wv", "wavpack", "fltp"},
                                             std::array<const char *, 3>{"saw.wav", "pcm_f32le", "flt"}}) {
        SCOPED_TRACE(name);
        const QString path = files.FloatFile(QString::fromLatin1(name), QStringLiteral("n/1000-floor(n/1000)"),
                                             QStringLiteral("-(n/500-floor(n/500))/2"), 3, QString::fromLatin1(codec),
                                             QString::fromLatin1(format));
        const std::unique_ptr<StreamSource> source = StreamSource::open(path, 44100, true);
        ASSERT_TRUE(source);
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(WaitForFullRing(*source));

        int frame = 0;
        const auto check = [&frame](const float *frames, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i, ++frame) {
                ASSERT_NEAR(frames[i * 2], (frame % 1000) / 1000.0, 1e-6) << "frame " << frame;
                ASSERT_NEAR(frames[i * 2 + 1], -(frame % 500) / 1000.0, 1e-6) << "frame " << frame;
            }
        };
        while (!source->playedOut() && clock.elapsed() < 10000) {
            const StreamSource::PullResult pulled = source->pull(1000);
            check(pulled.runs.first, pulled.runs.firstFrames);
            check(pulled.runs.second, pulled.runs.secondFrames);
            ASSERT_FALSE(HasFatalFailure());
            source->release(pulled.frames);
            if (pulled.frames == 0)
                QThread::msleep(1);
        }
        EXPECT_EQ(frame, 3 * 44100);
    }
}

// A 48 kHz file plays at the mix rate with its tone intact (frequency and
// level, and nothing else in the audible band within 90 dB of it) and on
// time: a tone that begins at 1 s begins 44100 frames in, and 22050 frames
// after a seek to 500 ms.
TEST(StreamSource, AFileAtAnotherRatePlaysItsToneIntactAndOnTime)
{
    PlaybackFiles files;
    const QString tone = QStringLiteral("0.5*sin(2*PI*1000*t)*gte(t\\,1)");
    const QString path = files.FloatFile(
        QStringLiteral("late1k.wav"), tone, tone, 3, QStringLiteral("pcm_f32le"), QStringLiteral("flt"), 48000);
    const std::unique_ptr<StreamSource> source = StreamSource::open(path, kMixRate, false);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->lengthMs(), 3000);

    const std::vector<float> frames = ReadToEnd(*source);
    ASSERT_NEAR(double(frames.size() / 2), 3 * kMixRate, 2);
    // The sine reaches a quarter 83 microseconds (3.7 frames) after it begins.
    EXPECT_NEAR(double(FirstFrameAbove(frames, 0.25f)), kMixRate + 4, 2);
    std::vector<float> second(kMixRate);
    for (std::size_t i = 0; i < second.size(); ++i)
        second[i] = frames[(std::size_t(kMixRate) * 3 / 2 + i) * 2];
    const std::vector<double> spectrum = AmplitudeSpectrum(second);
    EXPECT_EQ(LoudestBin(spectrum, 20, 20000).hz, 1000);
    EXPECT_NEAR(Decibels(spectrum[1000]), Decibels(0.5), 0.05);
    const SpectrumPeak other = LoudestBin(spectrum, 20, 20000, { 1000 });
    EXPECT_LT(Decibels(other.amplitude), Decibels(0.5) - 90) << "at " << other.hz << " Hz";

    source->requestSeek(500);
    const std::vector<float> afterSeek = ReadToEnd(*source);
    EXPECT_NEAR(double(afterSeek.size() / 2), 2.5 * kMixRate, 2);
    EXPECT_NEAR(double(FirstFrameAbove(afterSeek, 0.25f)), kMixRate / 2 + 4, 2);
}

// Resampled frames go straight into the ring while it has room in one piece,
// and through the pending buffer when it is full or about to wrap: a 48 kHz
// file decoded by a thread that runs ahead until the ring is full still
// arrives whole and in place, every frame within a small fraction of the
// signal's own value (a frame lost or doubled would put it 7e-3 off).
TEST(StreamSource, AResampledDecoderThatFillsTheRingLosesNoFrame)
{
    PlaybackFiles files;
    const QString path = files.FloatFile(QStringLiteral("sines48.wav"), QStringLiteral("0.5*sin(2*PI*100*t)"),
                                         QStringLiteral("-0.25*sin(2*PI*250*t)"), 4, QStringLiteral("pcm_f32le"),
                                         QStringLiteral("flt"), 48000);
    const std::unique_ptr<StreamSource> source = StreamSource::open(path, kMixRate, true);
    ASSERT_TRUE(source);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitForFullRing(*source));

    std::vector<float> frames;
    while (!source->playedOut() && clock.elapsed() < 15000) {
        const std::size_t before = frames.size();
        Take(*source, 1000, frames);
        if (frames.size() == before)
            QThread::msleep(1);
    }
    ASSERT_NEAR(double(frames.size() / 2), 4 * kMixRate, 2);
    // The filter rings for a moment where the file begins and ends.
    for (std::size_t frame = 100; frame + 100 < frames.size() / 2; ++frame) {
        const double t = double(frame) / kMixRate;
        ASSERT_NEAR(frames[frame * 2], 0.5 * std::sin(2 * std::numbers::pi * 100 * t), 2e-3) << "frame " << frame;
        ASSERT_NEAR(frames[frame * 2 + 1], -0.25 * std::sin(2 * std::numbers::pi * 250 * t), 2e-3) << "frame " << frame;
    }
}

// A decoder whose ring is full rests instead of polling it: over a second in
// which nothing is taken, the process hardly switches (a decoder that looked
// every 10 ms would switch a hundred times; a thread sanitizer's own thread
// wakes some ten times a second).
TEST(StreamSource, ADecoderWithAFullRingRests)
{
    PlaybackFiles files;
    const QString path = files.Wave(QStringLiteral("long.wav"), QStringLiteral("0.25"), 10);
    const std::unique_ptr<StreamSource> source = StreamSource::open(path, kMixRate, true);
    ASSERT_TRUE(source);
    ASSERT_TRUE(WaitForFullRing(*source));
    // Let the decoder find the ring full and lie down.
    QThread::msleep(50);

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QThread::msleep(1000);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_nvcsw - before.ru_nvcsw, 40);
}

// A stream is often played the moment it is opened: its first device buffer
// is there when open returns, whether its decoder thread has run yet or not,
// also for a file that goes through the resampler.
TEST(StreamSource, AThreadedSourceHoldsItsFirstDeviceBufferWhenOpen)
{
    PlaybackFiles files;
    const QString tone = QStringLiteral("0.5*sin(2*PI*1000*t)");
    for (const int rate : {44100, 48000}) {
        SCOPED_TRACE(rate);
        const QString path = files.FloatFile(QStringLiteral("prime%1.wav").arg(rate), tone, tone, 3,
                                             QStringLiteral("pcm_s16le"), QStringLiteral("s16"), rate);
        const std::unique_ptr<StreamSource> source = StreamSource::open(path, kMixRate, true, 4096);
        ASSERT_TRUE(source);
        // The file opens on the source's own thread: ready means primed.
        QElapsedTimer clock;
        clock.start();
        while (source->openState() == StreamSource::OpenState::Opening && clock.elapsed() < 10000)
            QThread::msleep(1);
        ASSERT_EQ(source->openState(), StreamSource::OpenState::Ready);
        EXPECT_GE(source->pull(4096).frames, 4096u);
    }
}
