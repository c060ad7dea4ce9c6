// The built jukebox playing files that test how it sounds and how it copes,
// listened to at the private PulseAudio server's null sink.
#include "audioFixtures.h"
#include "childProcess.h"
#include "ffmpegLoudness.h"
#include "jukeboxProcess.h"
#include "pulseTestServer.h"
#include "sinkListener.h"
#include "toneLevel.h"

#include "library/taggerList.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 60000;
constexpr int kMasterVolume = 200;
constexpr double kAudible = 0.005;
constexpr double kSilent = 0.001;
// What the issue asks of the window: it answers a key within this time.
constexpr qint64 kKeyAnswerMs = 200;

// The peak resident memory of a process in kB (/proc/PID/status).
qint64 PeakMemoryKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

class SoundProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(PulseTestServer::UsePulseTestServer()) << "the test PulseAudio server does not answer";
        PulseTestServer::pactl(
            { QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("65536") });
        PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0") });
        ASSERT_TRUE(QDir().mkpath(music()));
        ASSERT_TRUE(QDir().mkpath(m_folder.filePath(QStringLiteral("Data"))));
    }

    QString music() const { return m_folder.filePath(QStringLiteral("music")); }

    // The library cache the jukebox loads at start, written by the library's
    // own track list; files without tags are kept.
    void writeLibrary(const QStringList &files)
    {
        TtaggerList list;
        list.SetReadFrameHeaders(true);
        list.SetKeepUntagged(true);
        for (const QString &file : files)
            ASSERT_TRUE(list.AddFile(file)) << file.toStdString();
        ASSERT_TRUE(list.SaveListFile(m_folder.filePath(QStringLiteral("Data/jukebox.dat"))));
    }

    // Settings as a user who has run the jukebox before would have them;
    // extra lines follow.
    void writeSettings(const QString &extra = QString())
    {
        QFile ini(m_folder.filePath(QStringLiteral("vorlen.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[General]\nShowTips=0\n[VolumeSettings]\nMasterVolume=%1\n%2")
                      .arg(kMasterVolume)
                      .arg(extra)
                      .toUtf8());
    }

    void startJukebox()
    {
        QString error;
        ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
        ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();
    }

    void exitByKey()
    {
        EXPECT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+x"))) << "the keys' release found no window";
        ASSERT_TRUE(m_jukebox.WaitForExit(kStartTimeoutMs)) << "Ctrl+X left the jukebox running";
        EXPECT_EQ(m_jukebox.ExitCode(), 0) << m_jukebox.Output().toStdString();
    }

    // Ctrl+P until something is heard (the window ignores keys while it
    // starts up); the levels last heard.
    bool playUntilHeard(SinkListener &listener, ToneLevels *heard)
    {
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (!m_jukebox.SendKeys(QStringLiteral("ctrl+p")))
                return false;
            if (listener.WaitFor([](const ToneLevels &l) { return SoundingTone(l, kAudible) != 0; }, 5000, heard))
                return true;
        }
        return false;
    }

    // Sends a volume key and waits for the sink to follow: how long the
    // window took to answer, or -1 when it did not within 10 s.
    qint64 volumeKeyAnswerMs(const char *key, int expected)
    {
        if (!m_jukebox.SendKeys(QLatin1String(key)))
            return -1;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            const std::vector<int> volumes = PulseTestServer::sinkVolumes();
            if (volumes.size() == 2 && std::abs(volumes[0] - expected) < 256)
                return clock.elapsed();
            QThread::msleep(2);
        }
        return -1;
    }

    // A sparse file of four gigabytes of zeros: an unfinished download.
    QString zeroFile(const QString &name)
    {
        const QString path = music() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        EXPECT_EQ(::truncate(QFile::encodeName(path).constData(), qint64(4) << 30), 0);
        return path;
    }

    QString tone(const QString &name, int frequency, double seconds)
    {
        ToneSpec spec;
        spec.seconds = seconds;
        spec.frequency = frequency;
        spec.bitRate = QStringLiteral("64k");
        spec.metadata
            = { { QStringLiteral("title"), name }, { QStringLiteral("artist"), QStringLiteral("Test Signals") } };
        const QString path = music() + QLatin1Char('/') + name + QStringLiteral(".mp3");
        QString error;
        EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
        return path;
    }

    QTemporaryDir m_folder;
    JukeboxProcess m_jukebox { m_folder.path() };
};

// A library of nothing but unfinished downloads: Ctrl+P tries them one after
// the other, again and again, and the window answers every key at once
// meanwhile, in little memory and without a sound.
TEST_F(SoundProgramTest, FilesOfZerosNeitherFreezeTheWindowNorFillTheMemory)
{
    writeLibrary({ zeroFile(QStringLiteral("download1.mp3")), zeroFile(QStringLiteral("download2.mp3")) });
    writeSettings();
    SinkListener listener({ 440 });
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    std::vector<int> volumes;
    ASSERT_TRUE(WaitForSinkVolume(kMasterVolume * 256, 20000, &volumes)) << Text(volumes);
    // Keys are ignored until the start-up is over: the volume follows F10
    // once the window takes keys.
    ASSERT_GE(volumeKeyAnswerMs("F10", (kMasterVolume - 10) * 256), 0) << "the window never took F10";

    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+p")));
    const qint64 peakBefore = PeakMemoryKb(m_jukebox.ProcessId());
    qint64 slowest = 0;
    for (int round = 0; round < 5; ++round) {
        const qint64 down = volumeKeyAnswerMs("F9", kMasterVolume * 256);
        const qint64 up = volumeKeyAnswerMs("F10", (kMasterVolume - 10) * 256);
        ASSERT_GE(down, 0) << "F9 was not answered";
        ASSERT_GE(up, 0) << "F10 was not answered";
        slowest = std::max({ slowest, down, up });
        QThread::msleep(300);
    }
    EXPECT_LT(slowest, kKeyAnswerMs) << "the window was frozen while the files were tried";
    const qint64 peakAfter = PeakMemoryKb(m_jukebox.ProcessId());
    EXPECT_LT(peakAfter - peakBefore, 100 * 1024)
        << "peak memory grew from " << peakBefore << " kB to " << peakAfter << " kB";
    ToneLevels heard;
    EXPECT_TRUE(listener.WaitFor([](const ToneLevels &l) { return l.at(0) < kSilent; }, 2000, &heard))
        << Describe(heard);
    exitByKey();
}

// Among real tracks, a file of zeros is passed over as any damaged file is,
// and the next track plays.
TEST_F(SoundProgramTest, TheJukeboxMovesOnFromAFileOfZeros)
{
    writeLibrary({ zeroFile(QStringLiteral("download1.mp3")), zeroFile(QStringLiteral("download2.mp3")),
        tone(QStringLiteral("Steady"), 440, 30) });
    writeSettings();
    SinkListener listener({ 440 });
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    ToneLevels heard;
    ASSERT_TRUE(playUntilHeard(listener, &heard))
        << "nothing played: " << Describe(heard) << m_jukebox.Output().toStdString();
    EXPECT_EQ(SoundingTone(heard, kAudible), 440) << Describe(heard);
    exitByKey();
}

// Started before the sound server: the window comes up and says once that
// there is no sound output; the server started, Ctrl+P plays there. The
// master volume of the settings, never set on a mixer, is saved as it was.
TEST_F(SoundProgramTest, TheJukeboxWaitsForASoundServerStartedAfterIt)
{
    const QString noticeTitle = QStringLiteral("No Sound Output");
    writeLibrary({ tone(QStringLiteral("Late"), 440, 30) });
    writeSettings();
    LatePulseServer server;
    m_jukebox.SetVariable(QStringLiteral("PULSE_SERVER"), QString::fromUtf8(server.address()));
    QString error;
    ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
    const QDeadlineTimer shown(kStartTimeoutMs);
    while (m_jukebox.VisibleWindows(noticeTitle).isEmpty() && !m_jukebox.HasEnded() && !shown.hasExpired())
        QThread::msleep(100);
    ASSERT_FALSE(m_jukebox.HasEnded()) << "it ended: " << m_jukebox.Output().toStdString();
    ASSERT_FALSE(m_jukebox.VisibleWindows(noticeTitle).isEmpty())
        << "no notice of the missing output: " << m_jukebox.Output().toStdString();
    ASSERT_TRUE(m_jukebox.SendKeysTo(noticeTitle, QStringLiteral("Return")));
    ASSERT_TRUE(m_jukebox.FocusWindow());
    ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();

    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    SinkListener listener({ 440 }, server.environment());
    ASSERT_TRUE(listener.Start());
    ToneLevels heard;
    ASSERT_TRUE(playUntilHeard(listener, &heard))
        << "nothing played at the late server: " << Describe(heard) << m_jukebox.Output().toStdString();
    EXPECT_EQ(SoundingTone(heard, kAudible), 440) << Describe(heard);
    EXPECT_TRUE(m_jukebox.VisibleWindows(noticeTitle).isEmpty());
    exitByKey();
    EXPECT_EQ(m_jukebox.Output().count(noticeTitle), 1) << m_jukebox.Output().toStdString();
    QFile ini(m_folder.filePath(QStringLiteral("vorlen.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains(QByteArray("MasterVolume=") + QByteArray::number(kMasterVolume)));
}

// A corpus as a library collects it over decades: twenty tracks of pink
// noise with a tone of their own, made at -32 to -6 LUFS (the loud ones
// through a limiter, as loud masters are), some fading out, some ending in
// silence.
class LoudnessCorpusTest : public SoundProgramTest {
protected:
    static constexpr int kTracks = 20;
    static constexpr double kSeconds = 6.0;
    static constexpr int kTarget = -18;

    static int ToneOf(int track) { return 310 + 97 * track; }

    // The track made at gain dB before its limiter.
    QString makeTrack(int track, double gainDb)
    {
        QString filters = QStringLiteral("[1]volume=0.3[t];[0][t]amix=inputs=2:normalize=0,volume=%1dB,"
                                         "alimiter=limit=0.95:attack=1:release=5:level=false")
                              .arg(gainDb);
        if (track % 4 == 1 || track % 4 == 3)
            filters += QStringLiteral(",afade=t=out:st=%1:d=3").arg(kSeconds - 3);
        if (track % 4 >= 2)
            filters += QStringLiteral(",apad=pad_dur=2");
        const QString path = music() + QStringLiteral("/corpus%1.mp3").arg(track, 2, 10, QLatin1Char('0'));
        QString error;
        EXPECT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("anoisesrc=color=pink:amplitude=0.25:seed=%1:duration=%2").arg(track + 1).arg(kSeconds),
                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(ToneOf(track)).arg(kSeconds),
                QStringLiteral("-filter_complex"), filters, QStringLiteral("-ac"), QStringLiteral("2"),
                QStringLiteral("-ar"), QStringLiteral("44100"), QStringLiteral("-b:a"), QStringLiteral("192k"), path },
            &error))
            << error.toStdString();
        return path;
    }

    static constexpr std::size_t kWindow = 4410;
    // A track heard alone this many windows (100 ms) was heard whole: its
    // music less its first tick (a track takes its volume at the player's
    // first tick after it starts) and a margin.
    static constexpr std::size_t kShortestSpan = 45;

    // Where a track was heard alone longest: each 100 ms window belongs to
    // the one track whose tone stands far above every other's.
    struct Span {
        std::size_t start = 0;
        std::size_t length = 0;
    };
    static std::vector<int> windowOwners(const std::vector<qint16> &recording)
    {
        const std::size_t windows = recording.size() / 2 / kWindow;
        std::vector<int> owner(windows, -1);
        for (std::size_t w = 0; w < windows; ++w) {
            std::vector<double> levels;
            for (int track = 0; track < kTracks; ++track)
                levels.push_back(ToneAmplitude(recording, w * kWindow, kWindow, ToneOf(track)));
            std::vector<double> sorted = levels;
            std::sort(sorted.rbegin(), sorted.rend());
            if (sorted[0] > 0.003 && sorted[0] > 4 * sorted[1])
                owner[w] = int(std::max_element(levels.begin(), levels.end()) - levels.begin());
        }
        return owner;
    }
    static std::vector<Span> soloSpans(const std::vector<qint16> &recording)
    {
        std::vector<int> owner = windowOwners(recording);
        const std::size_t windows = owner.size();
        // One window inside a track's run where no tone stands out stays the
        // track's: the pink noise's low end now and then reaches a quarter of
        // the track's tone at the lowest tone (310 Hz), with no step in the
        // sound.
        for (std::size_t w = 1; w + 1 < windows; ++w) {
            if (owner[w] < 0 && owner[w - 1] >= 0 && owner[w - 1] == owner[w + 1])
                owner[w] = owner[w - 1];
        }
        std::vector<Span> spans(kTracks);
        for (std::size_t w = 0; w < windows;) {
            std::size_t end = w;
            while (end < windows && owner[end] == owner[w])
                ++end;
            if (owner[w] >= 0 && end - w > spans[std::size_t(owner[w])].length)
                spans[std::size_t(owner[w])] = { w, end - w };
            w = end;
        }
        return spans;
    }

    // Made again with a corrected gain until it stands near its level (the
    // limiter holds the loud ones back).
    QString makeCorpusTrack(int track, double *loudness)
    {
        const double wanted = -32.0 + 26.0 * track / (kTracks - 1);
        double gain = wanted + 24.0;
        QString path;
        for (int attempt = 0; attempt < 6; ++attempt) {
            path = makeTrack(track, gain);
            const std::optional<FfmpegLoudness> measured = MeasureWithFfmpeg(path);
            if (!measured)
                return QString();
            *loudness = measured->loudness;
            if (std::abs(*loudness - wanted) < 0.5)
                break;
            gain += wanted - *loudness;
        }
        return path;
    }
};

// Played back to back in the auto mode, every track sounds at the target
// at the sink, within one loudness unit (FFmpeg's ebur128 on what was
// recorded of it), and no sample clips.
TEST_F(LoudnessCorpusTest, EveryTrackSoundsAtTheTargetLoudness)
{
    QStringList files;
    std::vector<double> made;
    for (int track = 0; track < kTracks; ++track) {
        double loudness = 0;
        files << makeCorpusTrack(track, &loudness);
        ASSERT_FALSE(files.back().isEmpty());
        made.push_back(loudness);
    }
    const auto [quietest, loudest] = std::minmax_element(made.begin(), made.end());
    ASSERT_GT(*loudest - *quietest, 24.0) << "the corpus spans " << *quietest << " to " << *loudest << " LUFS";
    writeLibrary(files);
    // Back to back without cross-fades: every track is heard alone, whole,
    // and its loudness at the sink is that of all of it.
    writeSettings(QStringLiteral("[CrossFader]\nFadeInTime=0\nFadeInFromVolume=255\nFadeOutTime=0\n"
                                 "FadeOutToVolume=255\nGainMode=3\nTargetLoudness=%1\n")
                      .arg(kTarget));
    // At full master volume the sink passes the mix on as it is.
    QFile ini(m_folder.filePath(QStringLiteral("vorlen.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray text = ini.readAll();
    ini.close();
    text.replace("MasterVolume=200", "MasterVolume=255");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(text);
    ini.close();

    ASSERT_NO_FATAL_FAILURE(startJukebox());
    // The library is measured in the background a few seconds after the start.
    const QString store = m_folder.filePath(QStringLiteral("Data/loudness.dat"));
    QElapsedTimer clock;
    clock.start();
    int measured = 0;
    while (measured < kTracks && clock.elapsed() < 60000) {
        QThread::msleep(250);
        QFile file(store);
        measured = file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) - 1 : 0;
    }
    ASSERT_EQ(measured, kTracks) << "the library was not measured";

    PulseRecorder recorder;
    ASSERT_TRUE(recorder.start());
    std::vector<qint16> recording;
    for (int attempt = 0; attempt < 4 && recording.size() < 44100; ++attempt) {
        ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+p")));
        QThread::msleep(3000);
        const std::vector<qint16> taken = recorder.takeSamples();
        const auto loud = std::find_if(taken.begin(), taken.end(), [](qint16 s) { return std::abs(s) > 300; });
        if (loud != taken.end())
            recording.insert(recording.end(), taken.begin(), taken.end());
    }
    ASSERT_FALSE(recording.empty()) << "nothing played";
    // The library's random order plays every track once in a round; a round
    // may begin part of the way through, so the recording goes on until
    // every track was heard alone, or for four minutes at most.
    QElapsedTimer playing;
    playing.start();
    std::vector<Span> spans;
    for (;;) {
        QThread::msleep(10000);
        const std::vector<qint16> taken = recorder.takeSamples();
        recording.insert(recording.end(), taken.begin(), taken.end());
        spans = soloSpans(recording);
        const bool all
            = std::all_of(spans.begin(), spans.end(), [](const Span &span) { return span.length >= kShortestSpan; });
        if (all || playing.elapsed() > 240000)
            break;
    }
    recorder.stop();
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+s")));

    EXPECT_LT(*std::max_element(recording.begin(), recording.end()), 32767) << "a sample clipped";
    EXPECT_GT(*std::min_element(recording.begin(), recording.end()), -32768) << "a sample clipped";

    int checked = 0;
    for (int track = 0; track < kTracks; ++track) {
        const std::size_t bestStart = spans[std::size_t(track)].start;
        const std::size_t bestLength = spans[std::size_t(track)].length;
        // Less a window at either end, which the tracks either side may share.
        if (bestLength < kShortestSpan) {
            const std::vector<int> owner = windowOwners(recording);
            std::string around;
            const std::size_t last = std::min(owner.size(), bestStart + bestLength + 8);
            for (std::size_t w = bestStart >= 3 ? bestStart - 3 : 0; w < last; ++w)
                around += std::to_string(owner[w]) + ' ';
            ADD_FAILURE() << "track " << track << " was heard alone for " << bestLength / 10.0
                          << " s only; the windows' tracks around it: " << around;
            continue;
        }
        const std::size_t from = (bestStart + 1) * kWindow * 2;
        const std::size_t to = (bestStart + bestLength - 1) * kWindow * 2;
        const QString raw = m_folder.filePath(QStringLiteral("heard%1.raw").arg(track));
        QFile file(raw);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char *>(recording.data() + from), qint64((to - from) * sizeof(qint16)));
        file.close();
        const QString wave = raw + QStringLiteral(".wav");
        QString error;
        ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"),
                QStringLiteral("44100"), QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-i"), raw, wave },
            &error))
            << error.toStdString();
        const std::optional<FfmpegLoudness> heard = MeasureWithFfmpeg(wave);
        ASSERT_TRUE(heard);
        EXPECT_NEAR(heard->loudness, kTarget, 1.0) << "track " << track << ", made at " << made[std::size_t(track)]
                                                   << " LUFS, heard for " << bestLength / 10.0 << " s";
        ++checked;
    }
    EXPECT_EQ(checked, kTracks);
    exitByKey();
}

} // namespace
