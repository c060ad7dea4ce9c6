#include "playbackFixtures.h"

#include "playback/streamSource.h"

#include <QElapsedTimer>
#include <QThread>
#include <array>
#include <gtest/gtest.h>

namespace {

constexpr std::size_t kRingFrames = 2 * 44100;

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
        while (source->pull(kRingFrames).frames < kRingFrames && clock.elapsed() < 5000)
            QThread::msleep(5);
        ASSERT_EQ(source->pull(kRingFrames).frames, kRingFrames);

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
