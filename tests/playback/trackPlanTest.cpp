// The player with plans for its tracks, in manual-pump mode, listened to
// sample by sample: a gain on a track's sound, album tracks that follow one
// another without a gap, fades that skip the silence around the music and
// follow how it ends.
#include "childProcess.h"
#include "playbackFixtures.h"

#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"
#include "playback/loudnessAnalyser.h"
#include "playback/loudnessStore.h"
#include "playback/soundPlanner.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

class PlannedPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }

    void SetUp() override
    {
        AudioEngineOptions options;
        options.manualPump = true;
        player = std::make_unique<TcrossPlayer>(options);
        ASSERT_TRUE(player->EngineOpen());
        player->Timer().SetEnabled(false);
        player->OnNeedTrack = [this](TcrossPlayer *, TtaggerRef &track) {
            if (supplied < tracks.size())
                track = tracks[supplied++];
        };
        player->OnTrackStart = [this](TcrossPlayer *, TvorlenStream *stream) {
            started.push_back(stream->Track());
            startFrames.push_back(output.size() / 2);
            const TvorlenStream *outgoing = player->OutgoingStream();
            switchPositions.push_back(outgoing ? outgoing->GetPosition() : -1);
        };
    }

    TcustomTagger *AddTrack(const QString &path, const QString &album = QString(), quint32 number = 0)
    {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(path);
        tracks.back()->SetAlbum(album);
        tracks.back()->SetArtist(QStringLiteral("Artist"));
        tracks.back()->SetTrack(number);
        return tracks.back().get();
    }

    void Step(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            const std::size_t at = output.size();
            output.resize(at + std::size_t(FramesForMs(250)) * 2);
            player->Engine().pump(FramesForMs(250), output.data() + at);
            player->Tick();
        }
    }

    // Until the player falls idle with every track supplied and played.
    void PlayAll(int mostTicks = 400)
    {
        player->Play();
        for (int tick = 0; tick < mostTicks; ++tick) {
            Step();
            if (supplied == tracks.size() && player->GetState() != ssPlaying && !player->OutgoingStream())
                return;
        }
        ADD_FAILURE() << "the player did not finish";
    }

    // The left channel from the first to the last sample above silence.
    std::vector<int> Heard() const
    {
        std::vector<int> left;
        for (std::size_t i = 0; i < output.size(); i += 2)
            left.push_back(output[i]);
        const auto loud = [](int v) { return std::abs(v) > 30; };
        const auto first = std::find_if(left.begin(), left.end(), loud);
        const auto last = std::find_if(left.rbegin(), left.rend(), loud).base();
        return first < last ? std::vector<int>(first, last) : std::vector<int>();
    }

    // The longest run of silence in what was mixed between the first and the
    // last sound, in ms (10 ms windows whose loudest sample is below 1/300
    // of full scale).
    int LongestSilenceMs() const
    {
        const std::vector<int> heard = Heard();
        constexpr std::size_t kWindow = std::size_t(FramesForMs(10));
        int longest = 0;
        int run = 0;
        for (std::size_t at = 0; at + kWindow <= heard.size(); at += kWindow) {
            const auto [low, high]
                = std::minmax_element(heard.begin() + std::ptrdiff_t(at), heard.begin() + std::ptrdiff_t(at + kWindow));
            run = std::max(-*low, *high) > 100 ? 0 : run + 1;
            longest = std::max(longest, run);
        }
        return longest * 10;
    }

    static inline PlaybackFiles *files = nullptr;
    std::unique_ptr<TcrossPlayer> player;
    std::vector<TtaggerRef> tracks;
    std::size_t supplied = 0;
    std::vector<TcustomTagger *> started;
    std::vector<std::size_t> startFrames;
    std::vector<qint64> switchPositions;
    std::vector<qint16> output;
};

class GainTest : public PlannedPlayerTest, public ::testing::WithParamInterface<float> { };

// A level of 0.2 throughout, at full volume at once: what comes out is the
// level times the plan's gain.
TEST_P(GainTest, TheGainScalesTheTracksSound)
{
    AddTrack(files->Wave(QStringLiteral("level.wav"), QStringLiteral("0.2"), 4));
    player->SetFadeInTime(0);
    player->SetFadeOutTime(500);
    const float gain = GetParam();
    player->OnPlanTrack = [gain](TcrossPlayer *, TcustomTagger *, const TcustomTagger *) {
        TtrackPlan plan;
        plan.gain = gain;
        return plan;
    };
    player->Play();
    Step(2);
    ASSERT_EQ(started.size(), 1u);
    const double expected = 0.2 * gain * 32768;
    for (std::size_t frame = std::size_t(FramesForMs(300)); frame < std::size_t(FramesForMs(450)); frame += 997)
        ASSERT_NEAR(output[frame * 2], expected, 2.0) << "at frame " << frame;
}

INSTANTIATE_TEST_SUITE_P(Gains, GainTest, ::testing::Values(1.0f, 0.5f, 0.125f, 2.5f));

// A sine cut into three files at points that are no frame boundaries, made
// by lame (with its LAME header), by ffmpeg's FLAC and Opus encoders, or
// left as PCM, and played as consecutive tracks of one album.
struct SplitCase {
    const char *extension;
    int sampleRate;
};

class GaplessTest : public PlannedPlayerTest, public ::testing::WithParamInterface<SplitCase> {
protected:
    static constexpr double kSeconds = 6.0;
    static constexpr double kAmplitude = 0.5;

    QString Sine(int frequency) const { return QStringLiteral("%1*sin(2*PI*%2*t)").arg(kAmplitude).arg(frequency); }

    QStringList Split(int frequency)
    {
        const SplitCase &c = GetParam();
        const QString name = QStringLiteral("%1-%2").arg(frequency).arg(c.sampleRate);
        const QString whole = files->FloatFile(QStringLiteral("sine%1.wav").arg(name), Sine(frequency), Sine(frequency),
            kSeconds, QStringLiteral("pcm_s16le"), QStringLiteral("s16"), c.sampleRate);
        // Cut at 1.7 s and 3.9 s plus a few samples: inside frames of every codec.
        const qint64 cuts[]
            = { 0, qint64(1.7 * c.sampleRate) + 7, qint64(3.9 * c.sampleRate) + 13, qint64(kSeconds * c.sampleRate) };
        QStringList parts;
        for (int part = 0; part < 3; ++part) {
            const QString piece = files->Path(QStringLiteral("piece%1-%2.wav").arg(part).arg(name));
            QString error;
            EXPECT_TRUE(RunTool(QStringLiteral("ffmpeg"),
                { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                    QStringLiteral("-y"), QStringLiteral("-i"), whole, QStringLiteral("-af"),
                    QStringLiteral("atrim=start_sample=%1:end_sample=%2").arg(cuts[part]).arg(cuts[part + 1]),
                    QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), piece },
                &error))
                << error.toStdString();
            const QString target
                = files->Path(QStringLiteral("part%1-%2.%3").arg(part).arg(name).arg(QLatin1String(c.extension)));
            if (QLatin1String(c.extension) == QLatin1String("wav")) {
                parts << piece;
                continue;
            }
            const bool lame = QLatin1String(c.extension) == QLatin1String("mp3");
            const QStringList arguments = lame
                ? QStringList { QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("320"), piece, target }
                : QStringList { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                      QStringLiteral("-y"), QStringLiteral("-i"), piece, QStringLiteral("-b:a"), QStringLiteral("256k"),
                      target };
            EXPECT_TRUE(RunTool(lame ? QStringLiteral("lame") : QStringLiteral("ffmpeg"), arguments, &error))
                << error.toStdString();
            parts << target;
        }
        return parts;
    }

    // The parts as one album, each following the one before without a gap.
    void PlayAlbum(const QStringList &parts)
    {
        for (int i = 0; i < parts.size(); ++i)
            AddTrack(parts[i], QStringLiteral("One Sine"), quint32(i + 1));
        player->SetFadeInTime(0);
        player->SetFadeOutTime(1000);
        player->OnPlanTrack = [](TcrossPlayer *, TcustomTagger *, const TcustomTagger *previous) {
            TtrackPlan plan;
            plan.gapless = previous != nullptr;
            return plan;
        };
        PlayAll();
        ASSERT_EQ(started.size(), 3u);
        EXPECT_EQ(started[2], tracks[2].get());
        EXPECT_EQ(player->Engine().mixStats().underruns, 0);
    }

    // What FFmpeg's own decoder makes of the parts, laid end to end, brought
    // to the mix rate as one signal: the left channel, 16-bit.
    std::vector<int> DecodedEndToEnd(const QStringList &parts)
    {
        QByteArray decoded;
        for (const QString &part : parts) {
            QByteArray raw;
            EXPECT_TRUE(RunChild(QStringLiteral("ffmpeg"),
                { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                    QStringLiteral("-i"), part, QStringLiteral("-f"), QStringLiteral("f32le"), QStringLiteral("-ac"),
                    QStringLiteral("2"), QStringLiteral("-") },
                {}, &raw, 60000));
            decoded += raw;
        }
        const QString joined = files->Path(QStringLiteral("joined.raw"));
        QFile file(joined);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(decoded) == decoded.size());
        file.close();
        QByteArray pcm;
        EXPECT_TRUE(RunChild(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-f"), QStringLiteral("f32le"), QStringLiteral("-ar"),
                QString::number(GetParam().sampleRate), QStringLiteral("-ac"), QStringLiteral("2"),
                QStringLiteral("-i"), joined, QStringLiteral("-af"),
                QStringLiteral("aresample=44100:resampler=soxr:precision=16"), QStringLiteral("-f"),
                QStringLiteral("s16le"), QStringLiteral("-") },
            {}, &pcm, 60000));
        std::vector<int> left;
        for (qsizetype i = 0; i + 3 < pcm.size(); i += 4)
            left.push_back(qint16(quint16(uchar(pcm[i])) | quint16(uchar(pcm[i + 1]) << 8)));
        return left;
    }
};

// Sample for sample what the decoder makes of the files laid end to end: the
// player adds no gap and no overlap and moves nothing. (A lossy codec's
// band limit rings at a cut into the sine, in the files themselves: a 440 Hz
// sine cut near its peak steps by up to 2.1 of its own largest step there,
// and does so here exactly as in FFmpeg's decoding.)
TEST_P(GaplessTest, TheJoinsAreTheDecodersOwnSamples)
{
    const QStringList parts = Split(440);
    const std::vector<int> reference = DecodedEndToEnd(parts);
    ASSERT_NO_FATAL_FAILURE(PlayAlbum(parts));
    ASSERT_GE(output.size() / 2, reference.size());
    // From the end of the first track's rise to its volume, to where the
    // last track begins to fade out (a tick before its last second).
    const std::size_t from = std::size_t(FramesForMs(TcrossPlayer::kPlayingInterval)) + 1024;
    const std::size_t to = reference.size() - std::size_t(FramesForMs(1000 + TcrossPlayer::kPlayingInterval));
    int worst = 0;
    std::size_t worstAt = from;
    int quiet = 0;
    int longestQuiet = 0;
    int largestStep = 0;
    for (std::size_t i = from; i < to; ++i) {
        const int difference = std::abs(output[i * 2] - reference[i]);
        if (difference > worst) {
            worst = difference;
            worstAt = i;
        }
        quiet = std::abs(output[i * 2]) < 30 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
        largestStep = std::max(largestStep, std::abs(output[i * 2] - output[i * 2 - 2]));
    }
    EXPECT_LE(worst, 2) << "at " << double(worstAt) / kRate << " s";
    // No gap of a millisecond anywhere in the sine.
    EXPECT_LT(longestQuiet, kRate / 1000) << "a gap of " << longestQuiet << " samples";
    // A lossless album has no step at its joins beyond twice the sine's own.
    const QLatin1String extension(GetParam().extension);
    if (extension == QLatin1String("wav") || extension == QLatin1String("flac")) {
        EXPECT_LE(largestStep, 2 * kAmplitude * 32767 * 2 * std::numbers::pi * 440 / kRate);
    }
    // And nothing after the last sample of the last file.
    for (std::size_t i = reference.size() + 64; i < output.size() / 2; i += 101)
        ASSERT_EQ(output[i * 2], 0) << "at " << double(i) / kRate << " s";
}

INSTANTIATE_TEST_SUITE_P(Codecs, GaplessTest,
    ::testing::Values(SplitCase { "wav", 44100 }, SplitCase { "mp3", 44100 }, SplitCase { "flac", 44100 },
        SplitCase { "opus", 48000 }, SplitCase { "flac", 48000 }),
    [](const auto &info) { return std::string(info.param.extension) + std::to_string(info.param.sampleRate); });

// Tracks measured by the analysis and planned by the planner from what it
// found: the silence around the music is passed over.
class MeetTheMusicTest : public PlannedPlayerTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        PlannedPlayerTest::SetUp();
        planner = std::make_unique<TsoundPlanner>(store);
        planner->Settings().FadesMeetMusic = GetParam();
        player->OnPlanTrack = [this](TcrossPlayer *, TcustomTagger *track, const TcustomTagger *previous) {
            return planner->Plan(*track, previous);
        };
    }
    void Measure(const QString &path)
    {
        const std::atomic<bool> stop { false };
        const TloudnessEntry entry = MeasureFile(path, FileStampOf(path), stop);
        ASSERT_TRUE(entry.measured) << path.toStdString();
        store.Put(path, entry);
    }

    TloudnessStore store;
    std::unique_ptr<TsoundPlanner> planner;
};

// Tracks that end in five seconds of silence (and begin with two): with the
// fades meeting the music, under 100 ms of silence is heard between them;
// without, the fades fall in the silence, as they always did.
TEST_P(MeetTheMusicTest, SilenceAroundTheMusicIsPassedOver)
{
    const QString tone = QStringLiteral("if(between(t\\,2\\,8)\\,0.3*sin(2*PI*%1*t)\\,0)");
    for (int i = 0; i < 3; ++i) {
        const QString path = files->Wave(QStringLiteral("quiet-ends%1.wav").arg(i), tone.arg(440 + 110 * i), 13);
        Measure(path);
        AddTrack(path);
    }
    player->SetFadeInTime(1000);
    player->SetFadeOutTime(3000);
    PlayAll();
    ASSERT_EQ(started.size(), 3u);
    if (GetParam())
        EXPECT_LT(LongestSilenceMs(), 100);
    else
        EXPECT_GT(LongestSilenceMs(), 3000) << "the fades no longer fall in the silence";
}

// A track that stops dead is cross-faded over a short fade-out, one that
// fades out slowly over the player's whole fade-out: the switch comes at
// that distance before the music's end.
TEST_P(MeetTheMusicTest, TheFadeOutFollowsHowTheMusicEnds)
{
    const QString hard = files->Wave(QStringLiteral("hard.wav"), QStringLiteral("0.3*sin(2*PI*440*t)"), 10);
    const QString slow = files->Wave(
        QStringLiteral("slow.wav"), QStringLiteral("0.3*sin(2*PI*550*t)*if(lt(t\\,4)\\,1\\,max(0\\,1-(t-4)/6))"), 12);
    const QString next = files->Wave(QStringLiteral("next.wav"), QStringLiteral("0.3*sin(2*PI*660*t)"), 10);
    for (const QString &path : { hard, slow, next }) {
        Measure(path);
        AddTrack(path);
    }
    constexpr int kFadeOut = 4000;
    player->SetFadeOutTime(kFadeOut);
    PlayAll();
    ASSERT_EQ(switchPositions.size(), 3u);
    const qint64 hardEnd = store.FindCurrent(hard)->musicEndMs;
    const qint64 slowEnd = store.FindCurrent(slow)->musicEndMs;
    const qint64 tick = TcrossPlayer::kPlayingInterval;
    if (GetParam()) {
        EXPECT_NEAR(double(switchPositions[1]), double(hardEnd - TvorlenStream::kShortestFadeOutMs), double(tick));
        EXPECT_NEAR(double(switchPositions[2]), double(slowEnd - kFadeOut), double(tick));
    } else {
        EXPECT_NEAR(double(switchPositions[1]), 10000.0 - kFadeOut, double(tick));
        EXPECT_NEAR(double(switchPositions[2]), 12000.0 - kFadeOut, double(tick));
    }
}

INSTANTIATE_TEST_SUITE_P(Switch, MeetTheMusicTest, ::testing::Values(true, false),
    [](const auto &info) { return info.param ? "On" : "Off"; });

} // namespace
