// Files that promise sound and hold none where it should be: a file of zeros
// as an unfinished or pre-allocated download leaves it (sparse and gigabytes
// long), and a track whose sound stops after a second of the file. Opening
// one gives up early and in little memory; the player passes it over.
#include "eventWait.h"
#include "playbackFixtures.h"

#include "metadata/customTagger.h"
#include "playback/audioEngine.h"
#include "playback/boundedInput.h"
#include "playback/crossPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr qint64 kFourGigabytes = qint64(4) << 30;
// What giving up on one file may read and keep: a few tens of megabytes,
// where reading the whole file costs gigabytes.
constexpr qint64 kMostBytesRead = 64 << 20;
constexpr qint64 kMostMemoryKb = 100 * 1024;

// The process's bytes read so far (/proc/self/io), and its peak resident
// memory since the last reset (/proc/self/status, reset by clear_refs).
qint64 BytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

void ResetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(clear.open(QIODevice::WriteOnly));
    clear.write("5");
}

qint64 PeakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

qint64 ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

// A sparse file of size bytes, zeros throughout, or the first bytes of
// another file followed by zeros.
QString ZeroFile(const PlaybackFiles &files, const QString &name, qint64 size, const QString &start = QString())
{
    const QString path = files.Path(name);
    if (!start.isEmpty()) {
        EXPECT_TRUE(QFile::copy(start, path));
    } else {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(::truncate(QFile::encodeName(path).constData(), size), 0);
    return path;
}

// How much opening (and giving up on) a file cost the process.
struct Cost {
    qint64 bytesRead = 0;
    qint64 memoryKb = 0;
};

class Costs {
public:
    Costs()
    {
        ResetPeakMemory();
        m_read = BytesRead();
        m_resident = ResidentKb();
    }
    Cost Now() const { return { BytesRead() - m_read, PeakMemoryKb() - m_resident }; }

private:
    qint64 m_read = 0;
    qint64 m_resident = 0;
};

// Every format the jukebox plays, as a file of zeros.
class ZeroFileTest : public ::testing::TestWithParam<const char *> {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    QString Zeros() const
    {
        return ZeroFile(*files, QStringLiteral("zeros.") + QLatin1String(GetParam()), kFourGigabytes);
    }

    static inline PlaybackFiles *files = nullptr;
};

TEST_P(ZeroFileTest, IsRefusedAtOnceInManualPumpMode)
{
    const QString path = Zeros();
    AudioEngineOptions options;
    options.manualPump = true;
    AudioEngine engine;
    ASSERT_TRUE(engine.init(options));
    const Costs costs;
    EXPECT_EQ(engine.streamOpen(path), 0u);
    const Cost cost = costs.Now();
    EXPECT_LT(cost.bytesRead, kMostBytesRead);
    EXPECT_LT(cost.memoryKb, kMostMemoryKb);
}

TEST_P(ZeroFileTest, FailsOnTheStreamsOwnThreadWithADevice)
{
    const QString path = Zeros();
    qputenv("SDL_AUDIODRIVER", "dummy");
    AudioEngine engine;
    QString error;
    ASSERT_TRUE(engine.init({}, &error)) << error.toStdString();
    const Costs costs;
    const EngineStream stream = engine.streamOpen(path);
    ASSERT_NE(stream, 0u) << "the file is opened on the stream's thread, not here";
    const int channel = engine.streamPlay(stream);
    ASSERT_TRUE(RunEventsUntil([&] { return engine.streamState(stream) != EngineStreamState::Opening; }, 30000));
    EXPECT_EQ(engine.streamState(stream), EngineStreamState::Failed);
    EXPECT_TRUE(engine.streamEnded(stream));
    EXPECT_FALSE(engine.isPlaying(channel));
    EXPECT_EQ(engine.streamLengthMs(stream), 0);
    const Cost cost = costs.Now();
    EXPECT_LT(cost.bytesRead, kMostBytesRead);
    EXPECT_LT(cost.memoryKb, kMostMemoryKb);
    EXPECT_EQ(engine.mixStats().underruns, 0) << "a stream that never opened ran dry";
}

INSTANTIATE_TEST_SUITE_P(Formats, ZeroFileTest, ::testing::Values("mp3", "mp2", "ogg", "opus", "flac", "wma"),
    [](const auto &info) { return std::string(info.param); });

class DamagedSoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new PlaybackFiles; }
    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }
    static inline PlaybackFiles *files = nullptr;
};

// A second of sound, then gigabytes of zeros: the sound plays, and the track
// ends soon after it, without the rest of the file being read.
TEST_F(DamagedSoundTest, SoundFollowedByZerosEndsWhereTheSoundEnds)
{
    const QString tone = files->Tone(QStringLiteral("tone.mp3"), 440, 1);
    const QString path = ZeroFile(*files, QStringLiteral("cut.mp3"), kFourGigabytes, tone);
    AudioEngineOptions options;
    options.manualPump = true;
    AudioEngine engine;
    ASSERT_TRUE(engine.init(options));
    const Costs costs;
    const EngineStream stream = engine.streamOpen(path);
    ASSERT_NE(stream, 0u);
    engine.streamPlay(stream);
    int pumpedMs = 0;
    while (!engine.streamEnded(stream) && pumpedMs < 5000) {
        engine.pump(FramesForMs(100));
        pumpedMs += 100;
    }
    EXPECT_TRUE(engine.streamEnded(stream));
    EXPECT_GE(engine.streamTimeMs(stream), 950);
    EXPECT_LE(engine.streamTimeMs(stream), 1100);
    const Cost cost = costs.Now();
    EXPECT_LT(cost.bytesRead, kMostBytesRead);
    EXPECT_LT(cost.memoryKb, kMostMemoryKb);
}

// Covers larger than the bound on bytes without sound are read with the
// headers: such a file still plays.
TEST_F(DamagedSoundTest, AFileWithALargeCoverStillPlays)
{
    const QString picture = files->Path(QStringLiteral("noise.png"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
        { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("nullsrc=s=2000x2000,geq=random(1)*255:random(1)*255:random(1)*255"),
            QStringLiteral("-frames:v"), QStringLiteral("1"), picture },
        &error))
        << error.toStdString();
    ASSERT_GT(QFileInfo(picture).size(), 2 * BoundedFileInput::kBytesWithoutSound);
    for (const char *name : { "covered.mp3", "covered.flac" }) {
        SCOPED_TRACE(name);
        ToneSpec spec;
        spec.seconds = 1;
        spec.coverImage = picture;
        const QString path = files->Tone(QLatin1String(name), spec);
        ASSERT_GT(QFileInfo(path).size(), 2 * BoundedFileInput::kBytesWithoutSound);
        AudioEngineOptions options;
        options.manualPump = true;
        AudioEngine engine;
        ASSERT_TRUE(engine.init(options));
        const EngineStream stream = engine.streamOpen(path);
        ASSERT_NE(stream, 0u);
        EXPECT_NEAR(engine.streamLengthMs(stream), 1000, 60);
        engine.streamPlay(stream);
        std::vector<qint16> out(std::size_t(FramesForMs(500)) * 2);
        engine.pump(FramesForMs(500), out.data());
        EXPECT_GT(*std::max_element(out.begin(), out.end()), 2000) << "no sound came of it";
    }
}

// The player with a real (dummy) device: a file of zeros among the tracks is
// tried on its stream's thread, never announced, and the next track plays.
TEST_F(DamagedSoundTest, ThePlayerPassesOverAFileOfZeros)
{
    const QString zeros = ZeroFile(*files, QStringLiteral("player-zeros.mp3"), kFourGigabytes);
    const QString tone = files->Tone(QStringLiteral("player-tone.mp3"), 660, 3);
    qputenv("SDL_AUDIODRIVER", "dummy");
    TcrossPlayer player;
    ASSERT_TRUE(player.EngineOpen()) << player.EngineError().toStdString();
    // Short fades: the tone is not switched away from while the test listens.
    player.SetFadeInTime(100);
    player.SetFadeOutTime(100);
    std::vector<TtaggerRef> tracks;
    for (const QString &path : { zeros, zeros, tone }) {
        tracks.emplace_back(new TcustomTagger);
        tracks.back()->SetFilename(path);
    }
    std::size_t supplied = 0;
    player.OnNeedTrack = [&](TcrossPlayer *, TtaggerRef &track) {
        if (supplied < tracks.size())
            track = tracks[supplied++];
    };
    std::vector<TcustomTagger *> started;
    player.OnTrackStart = [&](TcrossPlayer *, TvorlenStream *stream) { started.push_back(stream->Track()); };
    player.Play();
    ASSERT_TRUE(RunEventsUntil([&] { return !started.empty(); }, 30000)) << "nothing was announced";
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started.front(), tracks.back().get()) << "a file of zeros was announced as playing";
    EXPECT_EQ(supplied, tracks.size());
    EXPECT_EQ(player.GetState(), ssPlaying);
    EXPECT_FALSE(player.CurrentStream()->Opening());
    EXPECT_NEAR(player.CurrentStream()->LengthMs(), 3000, 60);
    ASSERT_TRUE(RunEventsUntil([&] { return player.CurrentStream()->GetPosition() > 300; }, 10000));
}

} // namespace
