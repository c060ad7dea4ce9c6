// The built jukebox on a private X server, playing into the private PulseAudio
// server, driven by the keys a remote control sends.
#include "audioFixtures.h"
#include "jukeboxProcess.h"
#include "programTestLimits.h"
#include "pulseTestServer.h"
#include "sinkListener.h"

#include "library/taggerList.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The library: one steady tone per track, long enough that none ends or
// cross-fades into the next while a test listens.
const std::vector<int> kTones { 440, 620, 830 };
// Their titles begin with different letters, the first tone's first.
const QStringList kTitles { QStringLiteral("Amber Sine"), QStringLiteral("Blue Sine"), QStringLiteral("Copper Sine") };
constexpr double kTrackSeconds = 25;

// The sections of an INI file and their keys, read plainly: what any other
// program would find in the file.
using IniSections = QMap<QString, QMap<QString, QString>>;

IniSections ReadIni(const QString &path)
{
    IniSections sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return sections;
    QString section;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            sections[section];
        } else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals > 0 && !section.isEmpty()) {
            sections[section][line.left(equals)] = line.mid(equals + 1);
        }
    }
    return sections;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(PulseTestServer::UsePulseTestServer()) << "the test PulseAudio server does not answer";
        PulseTestServer::pactl(
            { QStringLiteral("set-sink-volume"), PulseTestServer::sinkName(), QStringLiteral("65536") });
        PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0") });
        writeLibrary();
    }

    QString folder() const { return m_folder.path(); }

    // Tagged tone files, one album, and the library cache the jukebox loads
    // at start, written by the library's own track list.
    void writeLibrary()
    {
        const QString music = folder() + QStringLiteral("/music");
        ASSERT_TRUE(QDir().mkpath(music));
        ASSERT_TRUE(QDir().mkpath(folder() + QStringLiteral("/Data")));
        TtaggerList list;
        list.SetReadFrameHeaders(true);
        for (std::size_t track = 0; track < kTones.size(); ++track) {
            const int tone = kTones[track];
            ToneSpec spec;
            spec.seconds = kTrackSeconds;
            spec.frequency = tone;
            spec.bitRate = QStringLiteral("64k");
            spec.metadata = { { QStringLiteral("title"), kTitles[qsizetype(track)] },
                { QStringLiteral("artist"), QStringLiteral("Test Signals") },
                { QStringLiteral("album"), QStringLiteral("Pure Tones") },
                { QStringLiteral("track"), QString::number(track + 1) } };
            const QString file = music + QStringLiteral("/sine%1.mp3").arg(tone);
            QString error;
            ASSERT_TRUE(MakeToneFile(file, spec, &error)) << error.toStdString();
            ASSERT_TRUE(list.AddFile(file)) << file.toStdString();
        }
        ASSERT_TRUE(list.SaveListFile(folder() + QStringLiteral("/Data/jukebox.dat")));
    }

    // Settings as a user who has run the jukebox before would have them: no
    // tip at start, the master volume at kMasterVolume; extra lines follow.
    void writeSettings(const QString &extra = QString())
    {
        QFile ini(folder() + QStringLiteral("/vorlen.ini"));
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

    // Ctrl+X, and the program ends by itself, without an error.
    void exitByKey()
    {
        // The jukebox closes once the keys are up: were their releases sent
        // to a window already gone, xdotool would fail and the X server would
        // keep Ctrl and X held for the next test.
        EXPECT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+x"))) << "the keys' release found no window";
        ASSERT_TRUE(m_jukebox.WaitForExit(kStartTimeoutMs)) << "Ctrl+X left the jukebox running";
        EXPECT_EQ(m_jukebox.ExitStatus(), QProcess::NormalExit) << m_jukebox.Output().toStdString();
        EXPECT_EQ(m_jukebox.ExitCode(), 0) << m_jukebox.Output().toStdString();
    }

    QTemporaryDir m_folder;
    JukeboxProcess m_jukebox { m_folder.path() };
};

TEST_F(ProgramTest, KeysPlayMoveOnFallSilentAndSetTheVolume)
{
    writeSettings();
    SinkListener listener(kTones);
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    // The only window the remote control's search finds is the jukebox.
    EXPECT_EQ(m_jukebox.WindowIds().size(), 1);
    std::vector<int> volumes;
    EXPECT_TRUE(WaitForSinkVolume(kMasterVolume * 256, kTimeoutMs, &volumes))
        << "the master volume of the settings did not reach the sink: " << Text(volumes);

    // Ctrl+P plays a track of the library. The window ignores keys while it
    // starts up, and Play while playing changes nothing, so the key is sent
    // again until the jukebox is heard.
    ToneLevels heard;
    bool playing = false;
    for (int attempt = 0; attempt < 4 && !playing; ++attempt) {
        ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+p")));
        playing = listener.WaitFor(
            [](const ToneLevels &l) { return SoundingTone(l, kAudible) != 0; }, kTimeoutMs / 4, &heard);
    }
    ASSERT_TRUE(playing) << "Ctrl+P played nothing: " << Describe(heard) << m_jukebox.Output().toStdString();
    const int first = SoundingTone(heard, kAudible);

    // Ctrl+N moves on to another track of the library; the first falls silent.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+n")));
    EXPECT_TRUE(listener.WaitFor(
        [first](const ToneLevels &l) {
            const int now = SoundingTone(l, kAudible);
            return now != 0 && now != first && l.at(first) < kSilent;
        },
        kTimeoutMs, &heard))
        << "after Ctrl+N with " << first << " Hz playing: " << Describe(heard);

    // F10 lowers the master volume by 10 steps, F9 raises it by as many.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("F10")));
    EXPECT_TRUE(WaitForSinkVolume((kMasterVolume - 10) * 256, kTimeoutMs, &volumes)) << "after F10: " << Text(volumes);
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("F9")));
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("F9")));
    EXPECT_TRUE(WaitForSinkVolume((kMasterVolume + 10) * 256, kTimeoutMs, &volumes))
        << "after F9 twice: " << Text(volumes);

    // Ctrl+S stops: the sink falls silent and stays so.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+s")));
    EXPECT_TRUE(listener.WaitFor([](const ToneLevels &l) { return l.at(0) < kSilent; }, kTimeoutMs, &heard))
        << "after Ctrl+S: " << Describe(heard);
    EXPECT_FALSE(listener.WaitFor([](const ToneLevels &l) { return l.at(0) >= kSilent; }, 1500, &heard))
        << "sound came back after Ctrl+S: " << Describe(heard);

    exitByKey();
}

TEST_F(ProgramTest, TheTreeTakesKeysFromTheStartAndF6QueuesItsTrack)
{
    // The all-tracks view, kept from an earlier run, lists the tracks by
    // title under their letters: the first letter, <A>, holds the first
    // tone's.
    writeSettings(QStringLiteral("[JukeBoxGeneral]\nShowTrackList=1\n"));
    SinkListener listener(kTones);
    ASSERT_TRUE(listener.Start());
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    // Home picks <A>, Right opens it, Down picks its track, F6 queues that,
    // Ctrl+P plays the queue.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("Home Right Down F6 ctrl+p")));
    ToneLevels heard;
    EXPECT_TRUE(
        listener.WaitFor([](const ToneLevels &l) { return SoundingTone(l, kAudible) != 0; }, kTimeoutMs, &heard))
        << "nothing played";
    EXPECT_EQ(SoundingTone(heard, kAudible), kTones.front()) << Describe(heard);
    exitByKey();
}

TEST_F(ProgramTest, VisLookFullScreenAndExitByKeysAreKept)
{
    // A window placed and sized by an earlier run.
    const QRect bounds(40, 30, 900, 640);
    writeSettings(QStringLiteral("[JukeBoxGeometry]\nLeft=%1\nTop=%2\nWidth=%3\nHeight=%4\nFullScreen=0\n")
                      .arg(bounds.x())
                      .arg(bounds.y())
                      .arg(bounds.width())
                      .arg(bounds.height()));
    ASSERT_NO_FATAL_FAILURE(startJukebox());
    EXPECT_EQ(m_jukebox.WindowGeometry(), bounds);

    // The visualisation runs from the start, as the settings have it, and
    // Ctrl+V switches it to its next look, which its plug-in keeps in the
    // program folder.
    const QString lookFile = folder() + QStringLiteral("/plugins/tinyvis.cfg");
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+v")));
    QDeadlineTimer lookDeadline(kTimeoutMs);
    while (!QFile::exists(lookFile) && !lookDeadline.hasExpired())
        QThread::msleep(100);
    QFile look(lookFile);
    ASSERT_TRUE(look.open(QIODevice::ReadOnly)) << "Ctrl+V kept no look in " << lookFile.toStdString();
    EXPECT_TRUE(look.readAll().startsWith("look=")) << lookFile.toStdString();

    // Ctrl+Alt+F: the window covers the screen, even with no window manager
    // to do it.
    const QRect screen = m_jukebox.ScreenGeometry();
    ASSERT_FALSE(screen.isEmpty());
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+alt+f")));
    QDeadlineTimer deadline(kTimeoutMs);
    while (m_jukebox.WindowGeometry() != screen && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_EQ(m_jukebox.WindowGeometry(), screen);
    EXPECT_TRUE(m_jukebox.WaitForFocus(kTimeoutMs)) << "full screen took the keyboard focus away";

    ASSERT_NO_FATAL_FAILURE(exitByKey());

    // The window's sections, with the normal window's bounds although it
    // ended in full screen.
    const IniSections ini = ReadIni(folder() + QStringLiteral("/vorlen.ini"));
    for (const char *section : { "JukeBoxGeneral", "JukeBoxColors", "JukeBoxSplitter", "JukeBoxGeometry" }) {
        ASSERT_TRUE(ini.contains(QLatin1String(section))) << section << " missing";
        EXPECT_FALSE(ini[QLatin1String(section)].isEmpty()) << section;
    }
    const QMap<QString, QString> geometry = ini[QStringLiteral("JukeBoxGeometry")];
    EXPECT_EQ(geometry[QStringLiteral("Left")].toInt(), bounds.x());
    EXPECT_EQ(geometry[QStringLiteral("Top")].toInt(), bounds.y());
    EXPECT_EQ(geometry[QStringLiteral("Width")].toInt(), bounds.width());
    EXPECT_EQ(geometry[QStringLiteral("Height")].toInt(), bounds.height());
    EXPECT_EQ(geometry[QStringLiteral("FullScreen")], QStringLiteral("1"));
    // The core's own sections are kept beside the window's.
    EXPECT_EQ(ini[QStringLiteral("VolumeSettings")][QStringLiteral("MasterVolume")].toInt(), kMasterVolume);
    EXPECT_EQ(ini[QStringLiteral("General")][QStringLiteral("ShowTips")], QStringLiteral("0"));
}

} // namespace
