#include "playbackFixtures.h"

#include "playback/audioEngine.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int kBlock = 1024;
constexpr double kFullScale = 32767.0;

class ManualEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        AudioEngineOptions options;
        options.manualPump = true;
        ASSERT_TRUE(engine.init(options));
    }

    std::vector<qint16> Pump(int frames)
    {
        std::vector<qint16> out(std::size_t(frames) * 2);
        engine.pump(frames, out.data());
        return out;
    }

    static PlaybackFiles &Files()
    {
        static PlaybackFiles files;
        return files;
    }
    static QString HalfLevel() { return FileOnce("half.wav", "0.5", 2); }
    // The value at time t is t/4, so a sample tells where in the file it came from.
    static QString Slope() { return FileOnce("slope.wav", "t/4", 2); }

    static QString FileOnce(const char *name, const char *expression, double seconds)
    {
        const QString path = Files().Path(QString::fromLatin1(name));
        if (!QFileInfo::exists(path))
            Files().Wave(QString::fromLatin1(name), QString::fromLatin1(expression), seconds);
        return path;
    }

    AudioEngine engine;
};

TEST_F(ManualEngine, PlaysAtFullVolumeAndCountsConsumedFrames)
{
    const EngineStream stream = engine.streamOpen(HalfLevel());
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(engine.streamLengthMs(stream), 2000);
    const int channel = engine.streamPlay(stream);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(engine.isPlaying(channel));
    EXPECT_EQ(engine.streamTimeMs(stream), 0);

    const std::vector<qint16> out = Pump(FramesForMs(500));
    EXPECT_NEAR(out[0], 0.5 * kFullScale, 2);
    EXPECT_NEAR(out.back(), 0.5 * kFullScale, 2);
    EXPECT_EQ(engine.streamTimeMs(stream), 500);
}

TEST_F(ManualEngine, DeliversEveryFrameInOrderAcrossTheRingWrap)
{
    // Two seconds fill the ring exactly once; blocks of 1024 frames straddle its end.
    const EngineStream stream = engine.streamOpen(Slope());
    engine.streamPlay(stream);
    const int frames = FramesForMs(1990);
    const std::vector<qint16> out = Pump(frames);
    for (int i = 0; i < frames; ++i)
        ASSERT_NEAR(out[std::size_t(i) * 2], double(i) / 44100 / 4 * kFullScale, 2) << "frame " << i;
}

// Float files at the mix rate (packed and planar) go into the ring without
// the resampler: every frame on its side and in its place, across the ring's
// wrap and after a seek. Sawtooths of 1000 and 500 frames: a frame out of
// place is off by 32 steps.
TEST_F(ManualEngine, FloatFilesAtTheMixRateDeliverEveryFrameInPlace)
{
    const auto left = [](int frame) { return (frame % 1000) / 1000.0 * kFullScale; };
    const auto right = [](int frame) { return -(frame % 500) / 1000.0 * kFullScale; };
    for (const auto &[name, codec, format] : {std::array<const char *, 3>{"saw.wv", "wavpack", "fltp"},
                                             std::array<const char *, 3>{"saw.wav", "pcm_f32le", "flt"}}) {
        SCOPED_TRACE(name);
        const QString path = Files().FloatFile(QString::fromLatin1(name), QStringLiteral("n/1000-floor(n/1000)"),
                                               QStringLiteral("-(n/500-floor(n/500))/2"), 3,
                                               QString::fromLatin1(codec), QString::fromLatin1(format));
        const EngineStream stream = engine.streamOpen(path);
        ASSERT_NE(engine.streamPlay(stream), -1);
        const int frames = FramesForMs(2500);
        std::vector<qint16> out = Pump(frames);
        for (int i = 0; i < frames; ++i) {
            ASSERT_NEAR(out[std::size_t(i) * 2], left(i), 1) << "frame " << i;
            ASSERT_NEAR(out[std::size_t(i) * 2 + 1], right(i), 1) << "frame " << i;
        }
        // 1234 ms is frame 54419.4, inside a WavPack block.
        engine.streamSetTimeMs(stream, 1234);
        out = Pump(kBlock);
        for (int i = 0; i < kBlock; ++i) {
            ASSERT_NEAR(out[std::size_t(i) * 2], left(54419 + i), 1) << "frame " << i << " after the seek";
            ASSERT_NEAR(out[std::size_t(i) * 2 + 1], right(54419 + i), 1) << "frame " << i << " after the seek";
        }
        engine.streamClose(stream);
    }
}

TEST_F(ManualEngine, VolumeChangesRampLinearlyOverOneBlock)
{
    const EngineStream stream = engine.streamOpen(HalfLevel());
    const int channel = engine.streamPlay(stream, 0);
    EXPECT_EQ(engine.volume(channel), 0);
    std::vector<qint16> out = Pump(kBlock);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](qint16 s) { return s == 0; }));

    ASSERT_TRUE(engine.setVolume(channel, 255));
    out = Pump(2 * kBlock);
    for (int i = 0; i < kBlock; ++i) {
        const double expected = 0.5 * kFullScale * (i + 1) / kBlock;
        ASSERT_NEAR(out[i * 2], expected, 2) << "frame " << i;
        ASSERT_EQ(out[i * 2], out[i * 2 + 1]);
    }
    for (int i = kBlock; i < 2 * kBlock; ++i)
        ASSERT_NEAR(out[i * 2], 0.5 * kFullScale, 2);

    ASSERT_TRUE(engine.setVolume(channel, 51));
    out = Pump(kBlock);
    EXPECT_NEAR(out[(kBlock / 2 - 1) * 2], 0.5 * kFullScale * 0.6, 3);
    EXPECT_NEAR(out.back(), 0.5 * kFullScale * 0.2, 2);
}

TEST_F(ManualEngine, PauseHoldsPositionAndSilencesTheChannel)
{
    const EngineStream stream = engine.streamOpen(HalfLevel());
    const int channel = engine.streamPlay(stream);
    Pump(FramesForMs(100));
    ASSERT_TRUE(engine.setPaused(channel, true));
    EXPECT_TRUE(engine.paused(channel));
    EXPECT_TRUE(engine.isPlaying(channel));
    std::vector<qint16> out = Pump(FramesForMs(300));
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](qint16 s) { return s == 0; }));
    EXPECT_EQ(engine.streamTimeMs(stream), 100);
    engine.setPaused(channel, false);
    out = Pump(FramesForMs(100));
    EXPECT_NEAR(out[0], 0.5 * kFullScale, 2);
    EXPECT_EQ(engine.streamTimeMs(stream), 200);
}

TEST_F(ManualEngine, SeekMovesThePositionAtOnceAndDropsBufferedAudio)
{
    const EngineStream stream = engine.streamOpen(Slope());
    engine.streamPlay(stream);
    Pump(FramesForMs(200));
    ASSERT_TRUE(engine.streamSetTimeMs(stream, 1000));
    EXPECT_EQ(engine.streamTimeMs(stream), 1000);

    std::vector<qint16> out = Pump(FramesForMs(100));
    EXPECT_NEAR(out[0], 0.25 * kFullScale, 8);
    EXPECT_EQ(engine.streamTimeMs(stream), 1100);

    // Seeking back before the buffered audio, twice without mixing in between.
    engine.streamSetTimeMs(stream, 1800);
    engine.streamSetTimeMs(stream, 400);
    EXPECT_EQ(engine.streamTimeMs(stream), 400);
    out = Pump(kBlock);
    EXPECT_NEAR(out[0], 0.1 * kFullScale, 8);

    // A target past the end is held at the length.
    engine.streamSetTimeMs(stream, 99999);
    EXPECT_EQ(engine.streamTimeMs(stream), 2000);
}

TEST_F(ManualEngine, AStreamThatPlaysOutStopsItsChannel)
{
    const QString path = Files().Wave(QStringLiteral("short.wav"), QStringLiteral("0.5"), 0.3);
    const EngineStream stream = engine.streamOpen(path);
    const int channel = engine.streamPlay(stream);
    Pump(FramesForMs(250));
    EXPECT_TRUE(engine.isPlaying(channel));
    EXPECT_FALSE(engine.streamEnded(stream));
    const std::vector<qint16> out = Pump(FramesForMs(250));
    EXPECT_FALSE(engine.isPlaying(channel));
    EXPECT_TRUE(engine.streamEnded(stream));
    EXPECT_EQ(engine.streamTimeMs(stream), 300);
    EXPECT_NEAR(out[(FramesForMs(50) - 1) * 2], 0.5 * kFullScale, 2);
    EXPECT_EQ(out[FramesForMs(50) * 2], 0);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(engine.mixStats().underruns, 0);

    // Seeking back makes it sound again.
    engine.streamSetTimeMs(stream, 0);
    EXPECT_TRUE(engine.isPlaying(channel));
    EXPECT_FALSE(engine.streamEnded(stream));
    Pump(kBlock);
    EXPECT_TRUE(engine.isPlaying(channel));
}

// A track that ends inside a block, mixed with one that goes on, in either
// channel order: up to its last frame the block holds their sum, after it the
// other track alone (never what the block held before).
TEST_F(ManualEngine, ATrackEndingInsideABlockLeavesTheOtherAlone)
{
    const QString shortPath = FileOnce("short03.wav", "0.3", 0.3);
    const QString longPath = FileOnce("long02.wav", "0.2", 1);
    const int end = FramesForMs(300);
    for (const bool shortFirst : {true, false}) {
        SCOPED_TRACE(shortFirst ? "the ending track on the first channel" : "the ending track on the second channel");
        const EngineStream first = engine.streamOpen(shortFirst ? shortPath : longPath);
        const EngineStream second = engine.streamOpen(shortFirst ? longPath : shortPath);
        const int firstChannel = engine.streamPlay(first);
        ASSERT_LT(firstChannel, engine.streamPlay(second));
        const std::vector<qint16> out = Pump(FramesForMs(500));
        for (const int frame : {0, end - 1})
            EXPECT_NEAR(out[std::size_t(frame) * 2], 0.5 * kFullScale, 2) << "frame " << frame;
        for (const int frame : {end, end + 1, int(out.size() / 2) - 1})
            EXPECT_NEAR(out[std::size_t(frame) * 2], 0.2 * kFullScale, 2) << "frame " << frame;
        engine.streamClose(first);
        engine.streamClose(second);
    }
}

TEST_F(ManualEngine, MixesThirtyTwoChannelsAtOnce)
{
    const QString path = Files().Wave(QStringLiteral("quiet.wav"), QStringLiteral("0.01"), 1);
    std::vector<EngineStream> streams;
    std::vector<int> channels;
    for (int i = 0; i < 32; ++i) {
        streams.push_back(engine.streamOpen(path));
        ASSERT_NE(streams.back(), 0u);
        channels.push_back(engine.streamPlay(streams.back()));
        ASSERT_GE(channels.back(), 0);
    }
    std::sort(channels.begin(), channels.end());
    EXPECT_EQ(std::unique(channels.begin(), channels.end()), channels.end());
    const EngineStream extra = engine.streamOpen(path);
    EXPECT_EQ(engine.streamPlay(extra), -1);

    const std::vector<qint16> out = Pump(FramesForMs(200));
    EXPECT_NEAR(out[FramesForMs(100) * 2], 32 * 0.01 * kFullScale, 12);
    for (EngineStream stream : streams)
        EXPECT_EQ(engine.streamTimeMs(stream), 200);

    // A freed channel is taken by the next stream.
    engine.streamStop(streams[5]);
    EXPECT_GE(engine.streamPlay(extra), 0);
}

struct DspRecorder {
    std::vector<int> *calls;
    int id;
    qint16 firstOriginal = 0;
    qint16 firstPassed = 0;
    bool silence = false;
};

void *RecordingUnit(void *originalBuffer, void *newBuffer, int length, void *userData)
{
    auto *recorder = static_cast<DspRecorder *>(userData);
    recorder->calls->push_back(recorder->id);
    recorder->firstOriginal = static_cast<qint16 *>(originalBuffer)[0];
    recorder->firstPassed = static_cast<qint16 *>(newBuffer)[0];
    if (recorder->silence)
        std::fill_n(static_cast<qint16 *>(newBuffer), length * 2, qint16(0));
    return newBuffer;
}

TEST_F(ManualEngine, DspUnitsRunInPriorityOrderOnTheMixedBlock)
{
    const EngineStream stream = engine.streamOpen(HalfLevel());
    engine.streamPlay(stream);
    std::vector<int> calls;
    DspRecorder late{&calls, 3};
    DspRecorder early{&calls, 1};
    DspRecorder middle{&calls, 2};
    middle.silence = true;
    const EngineDsp lateUnit = engine.dspCreate(&RecordingUnit, 950, &late);
    const EngineDsp earlyUnit = engine.dspCreate(&RecordingUnit, 10, &early);
    const EngineDsp middleUnit = engine.dspCreate(&RecordingUnit, 500, &middle);
    ASSERT_TRUE(lateUnit && earlyUnit && middleUnit);
    EXPECT_EQ(engine.dspBufferLength(), kBlock);
    EXPECT_EQ(engine.dspBufferLengthTotal(), 4 * kBlock);

    // Created units are inactive.
    Pump(kBlock);
    EXPECT_TRUE(calls.empty());

    for (EngineDsp unit : {lateUnit, earlyUnit, middleUnit})
        engine.dspSetActive(unit, true);
    std::vector<qint16> out = Pump(kBlock);
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    const qint16 level = qint16(std::lrint(0.5 * kFullScale));
    EXPECT_NEAR(early.firstPassed, level, 2);
    // A unit's change reaches the units after it and the output, not the original mix.
    EXPECT_EQ(late.firstPassed, 0);
    EXPECT_NEAR(late.firstOriginal, level, 2);
    EXPECT_EQ(out[0], 0);

    calls.clear();
    engine.dspFree(middleUnit);
    engine.dspSetActive(earlyUnit, false);
    out = Pump(kBlock);
    EXPECT_EQ(calls, (std::vector<int>{3}));
    EXPECT_NEAR(out[0], level, 2);
    // The freed handle is dead, also after its slot is reused.
    EXPECT_FALSE(engine.dspSetActive(middleUnit, true));
    const EngineDsp reused = engine.dspCreate(&RecordingUnit, 1, &middle);
    EXPECT_NE(reused, middleUnit);
    EXPECT_FALSE(engine.dspSetActive(middleUnit, true));
}

TEST_F(ManualEngine, SpectrumOfAThousandHertzSinePeaksInItsBin)
{
    const QString path = Files().Tone(QStringLiteral("sine1k.wav"), 1000, 1);
    engine.streamPlay(engine.streamOpen(path));
    const EngineDsp fft = engine.fftUnit();
    ASSERT_NE(fft, 0u);

    Pump(4 * kBlock);
    std::array<float, AudioEngine::kSpectrumSize> values = engine.spectrum();
    EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](float v) { return v == 0; }));

    engine.dspSetActive(fft, true);
    Pump(4 * kBlock);
    values = engine.spectrum();
    const auto peak = std::max_element(values.begin(), values.end());
    // 1000 Hz in bins of 44100 / 1024 Hz.
    EXPECT_EQ(peak - values.begin(), 23);
    // ffmpeg's sine source has amplitude 1/8; a Hann window spreads it over neighbouring bins.
    EXPECT_GT(*peak, 0.06f);
    EXPECT_LE(*peak, 0.13f);
    EXPECT_LT(values[100], 0.01f);
    EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](float v) { return v >= 0 && v <= 1; }));

    // The built-in unit cannot be freed.
    engine.dspFree(fft);
    EXPECT_EQ(engine.fftUnit(), fft);
}

// Every value against the transform worked out directly: the Hann-windowed
// mean of both channels over the latest 1024 mixed frames (which here span
// two blocks), scaled so that a full-scale sine reads 1 in its bin.
TEST_F(ManualEngine, SpectrumIsTheWindowedTransformOfTheLatestMix)
{
    const QString path = Files().FloatFile(QStringLiteral("tones.wav"), QStringLiteral("0.5*sin(2*PI*1000*t)+0.05"),
                                           QStringLiteral("0.25*sin(2*PI*5000*t+1)"), 1, QStringLiteral("pcm_f32le"),
                                           QStringLiteral("flt"));
    engine.streamPlay(engine.streamOpen(path));
    engine.dspSetActive(engine.fftUnit(), true);
    const int frames = 3 * kBlock + 101;
    const std::vector<qint16> out = Pump(frames);
    const std::array<float, AudioEngine::kSpectrumSize> values = engine.spectrum();

    constexpr int size = 2 * AudioEngine::kSpectrumSize;
    std::vector<double> windowed(size);
    double windowSum = 0;
    for (int i = 0; i < size; ++i) {
        const std::size_t at = std::size_t(frames - size + i) * 2;
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * i / size);
        windowed[std::size_t(i)] = (out[at] + out[at + 1]) / 65536.0 * window;
        windowSum += window;
    }
    for (int bin = 0; bin < AudioEngine::kSpectrumSize; ++bin) {
        double real = 0;
        double imaginary = 0;
        for (int i = 0; i < size; ++i) {
            real += windowed[std::size_t(i)] * std::cos(2 * M_PI * bin * i / size);
            imaginary -= windowed[std::size_t(i)] * std::sin(2 * M_PI * bin * i / size);
        }
        const double expected = std::min(std::hypot(real, imaginary) * 2 / windowSum, 1.0);
        ASSERT_NEAR(values[std::size_t(bin)], expected, 2e-5) << "bin " << bin;
    }
    EXPECT_GT(values[23], 0.2f);
}

TEST_F(ManualEngine, EveryEntryIsSafeWithClosedOrUnknownHandles)
{
    const EngineStream stream = engine.streamOpen(HalfLevel());
    const int channel = engine.streamPlay(stream);
    ASSERT_TRUE(engine.streamClose(stream));
    for (EngineStream dead : {EngineStream(0), stream, EngineStream(12345)}) {
        EXPECT_EQ(engine.streamLengthMs(dead), 0);
        EXPECT_EQ(engine.streamPlay(dead), -1);
        EXPECT_EQ(engine.streamTimeMs(dead), 0);
        EXPECT_FALSE(engine.streamEnded(dead));
        EXPECT_FALSE(engine.streamSetTimeMs(dead, 10));
        EXPECT_FALSE(engine.streamStop(dead));
        EXPECT_FALSE(engine.streamClose(dead));
    }
    for (int dead : {-1, channel, 32, 1000}) {
        EXPECT_FALSE(engine.isPlaying(dead));
        EXPECT_FALSE(engine.setVolume(dead, 10));
        EXPECT_EQ(engine.volume(dead), 0);
        EXPECT_FALSE(engine.setPaused(dead, true));
        EXPECT_FALSE(engine.paused(dead));
    }
    EXPECT_FALSE(engine.dspSetActive(0, true));
    EXPECT_FALSE(engine.dspSetActive(77, true));
    engine.dspFree(77);
    EXPECT_EQ(engine.dspCreate(nullptr, 1, nullptr), 0u);
    EXPECT_EQ(engine.streamOpen(Files().Path(QStringLiteral("missing.mp3"))), 0u);
    Pump(kBlock);

    engine.close();
    engine.close();
    EXPECT_FALSE(engine.isOpen());
    EXPECT_EQ(engine.streamOpen(HalfLevel()), 0u);
    EXPECT_EQ(engine.fftUnit(), 0u);
    EXPECT_EQ(engine.dspBufferLength(), 0);
    engine.pump(kBlock);
}

TEST_F(ManualEngine, FilesThatAreNoAudioAreRefused)
{
    const QString path = Files().Path(QStringLiteral("garbage.mp3"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray junk(8192, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 251);
    file.write(junk);
    file.close();
    EXPECT_EQ(engine.streamOpen(path), 0u);
    EXPECT_EQ(engine.streamOpen(Files().Path(QString())), 0u);
}

// The real-time path: SDL's dummy driver calls the mixer on its own thread
// while decoders run on theirs.
TEST(DeviceEngine, PlaysSeeksAndClosesWhileTheCallbackRuns)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    AudioEngine engine;
    QString error;
    ASSERT_TRUE(engine.init({}, &error)) << error.toStdString();
    PlaybackFiles files;
    const QString path = files.Wave(QStringLiteral("level.wav"), QStringLiteral("0.3"), 3);
    const EngineStream first = engine.streamOpen(path);
    const EngineStream second = engine.streamOpen(path);
    const int channel = engine.streamPlay(first);
    engine.streamPlay(second, 100);
    engine.dspSetActive(engine.fftUnit(), true);

    QElapsedTimer clock;
    clock.start();
    while (engine.streamTimeMs(first) < 200 && clock.elapsed() < 5000)
        QThread::msleep(10);
    EXPECT_GE(engine.streamTimeMs(first), 200);
    const std::array<float, AudioEngine::kSpectrumSize> values = engine.spectrum();
    EXPECT_GT(*std::max_element(values.begin(), values.end()), 0.0f);

    engine.streamSetTimeMs(first, 2500);
    while (engine.streamTimeMs(first) <= 2500 && clock.elapsed() < 5000)
        QThread::msleep(10);
    EXPECT_GT(engine.streamTimeMs(first), 2500);
    while (engine.isPlaying(channel) && clock.elapsed() < 8000)
        QThread::msleep(10);
    EXPECT_FALSE(engine.isPlaying(channel));
    EXPECT_TRUE(engine.streamClose(second));
    EXPECT_TRUE(engine.streamClose(first));
    engine.close();
    qunsetenv("SDL_AUDIODRIVER");
}

} // namespace
