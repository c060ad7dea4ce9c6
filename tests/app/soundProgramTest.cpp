// The built jukebox playing files that test how it sounds and how it copes,
// listened to at the private PulseAudio server's null sink.
#include "audioFixtures.h"
#include "jukeboxProcess.h"
#include "pulseTestServer.h"
#include "sinkListener.h"

#include "library/taggerList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
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

} // namespace
