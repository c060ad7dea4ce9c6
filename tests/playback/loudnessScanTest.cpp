// The loudness measurement of whole files against FFmpeg's own EBU R 128
// filter, and where it finds the music between silences and how the music
// ends.
#include "ffmpegLoudness.h"
#include "playbackFixtures.h"

#include "playback/loudnessScan.h"

#include <gtest/gtest.h>

namespace {

QString Encode(PlaybackFiles &files, const QString &name, const QString &source, int channels = 2)
{
    const QString path = files.Path(name);
    QString error;
    EXPECT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source, QStringLiteral("-ac"),
            QString::number(channels), path },
        &error))
        << error.toStdString();
    return path;
}

struct LevelCase {
    const char *name;
    // aevalsrc or anoisesrc expression of the sound.
    const char *source;
    int channels;
};

class LoudnessLevelTest : public ::testing::TestWithParam<LevelCase> {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    static inline PlaybackFiles *files = nullptr;
};

TEST_P(LoudnessLevelTest, AgreesWithFfmpegsOwnMeter)
{
    const QString path = Encode(
        *files, QString::fromLatin1(GetParam().name), QString::fromLatin1(GetParam().source), GetParam().channels);
    const std::optional<FfmpegLoudness> reference = MeasureWithFfmpeg(path, GetParam().channels == 1);
    ASSERT_TRUE(reference);
    const std::atomic<bool> stop { false };
    const TloudnessScan scan = ScanLoudness(path, stop);
    ASSERT_TRUE(scan.ok);
    EXPECT_NEAR(scan.loudness, reference->loudness, 0.3);
    EXPECT_NEAR(20 * std::log10(scan.truePeak), reference->truePeakDb, 0.6);
    EXPECT_NEAR(scan.lengthMs, 6000, 60);
}

INSTANTIATE_TEST_SUITE_P(Files, LoudnessLevelTest,
    ::testing::Values(LevelCase { "pink.mp3", "anoisesrc=color=pink:amplitude=0.3:duration=6", 2 },
        LevelCase { "loud.flac", "anoisesrc=color=pink:amplitude=0.9:duration=6:seed=7", 2 },
        LevelCase { "quiet.ogg", "anoisesrc=color=brown:amplitude=0.02:duration=6", 2 },
        LevelCase { "tones.opus", "aevalsrc=0.2*sin(2*PI*330*t)+0.1*sin(2*PI*2500*t):d=6", 2 },
        LevelCase { "voice.wma", "anoisesrc=color=pink:amplitude=0.1:duration=6:seed=3", 2 },
        // One channel plays on both speakers: it counts twice.
        LevelCase { "mono.wav", "aevalsrc=0.25*sin(2*PI*1000*t):d=6", 1 }),
    [](const auto &info) {
        return std::string(info.param.name).replace(std::string(info.param.name).find('.'), 1, "_");
    });

class MusicBoundsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    static TloudnessScan Scan(const QString &path)
    {
        const std::atomic<bool> stop { false };
        return ScanLoudness(path, stop);
    }
    static inline PlaybackFiles *files = nullptr;
};

// Silence, three seconds of loud music that stops dead, a hiss far below the
// threshold, then silence again.
TEST_F(MusicBoundsTest, TheMusicLiesBetweenTheSilencesAndAHardEndingIsShort)
{
    const QString path = files->Wave(QStringLiteral("hard.wav"),
        QStringLiteral("if(between(t\\,2\\,5)\\,0.5*sin(2*PI*440*t)\\,0)+if(gt(t\\,5)\\,0.0005*sin(2*PI*3000*t)\\,0)"),
        9);
    const TloudnessScan scan = Scan(path);
    ASSERT_TRUE(scan.ok);
    EXPECT_NEAR(scan.lengthMs, 9000, 5);
    EXPECT_NEAR(scan.musicStartMs, 2000, 10);
    EXPECT_NEAR(scan.musicEndMs, 5000, 10);
    EXPECT_LT(scan.endingMs, 500);
}

// Four seconds at full level, then a six-second fade to nothing.
TEST_F(MusicBoundsTest, ASlowFadeOutIsALongEnding)
{
    const QString path = files->Wave(
        QStringLiteral("fade.wav"), QStringLiteral("0.5*sin(2*PI*440*t)*if(lt(t\\,4)\\,1\\,max(0\\,1-(t-4)/6))"), 12);
    const TloudnessScan scan = Scan(path);
    ASSERT_TRUE(scan.ok);
    EXPECT_EQ(scan.musicStartMs, 0);
    // The fade falls below -50 dBFS (1/300 of its start) just before its end.
    EXPECT_NEAR(scan.musicEndMs, 9950, 60);
    // Most of the fade: it is 1.5 LU down a sixth of the way into it.
    EXPECT_GT(scan.endingMs, 4000);
    EXPECT_LT(scan.endingMs, 6000);
}

TEST_F(MusicBoundsTest, SilenceHasNoMusicAndNoLoudness)
{
    const TloudnessScan scan = Scan(files->Wave(QStringLiteral("silence.wav"), QStringLiteral("0"), 3));
    ASSERT_TRUE(scan.ok);
    EXPECT_LT(scan.loudness, kSilentLufs);
    EXPECT_EQ(scan.musicStartMs, 0);
    EXPECT_EQ(scan.musicEndMs, 0);
    EXPECT_NEAR(scan.lengthMs, 3000, 5);
}

TEST_F(MusicBoundsTest, AStoppedScanAndAFileWithoutSoundGiveNothing)
{
    const QString path = files->Tone(QStringLiteral("tone.mp3"), 440, 3);
    const std::atomic<bool> stop { true };
    EXPECT_FALSE(ScanLoudness(path, stop).ok);
    EXPECT_FALSE(Scan(files->RandomBytes(QStringLiteral("noise.mp3"), 20000, 3)).ok);
    EXPECT_FALSE(Scan(files->Path(QStringLiteral("missing.mp3"))).ok);
}

} // namespace
