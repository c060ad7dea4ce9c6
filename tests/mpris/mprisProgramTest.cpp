// The built jukebox on a session bus of the test's own, under the test X
// server, playing into the test PulseAudio server; driven with playerctl as
// the desktop's media keys drive it. What the sink plays shows that the sound
// follows.
#include "audioFixtures.h"
#include "eventWait.h"
#include "jukeboxProcess.h"
#include "mprisSignals.h"
#include "programTestLimits.h"
#include "pulseTestServer.h"
#include "sessionBus.h"
#include "sinkListener.h"

#include "library/taggerList.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.vorlen");
const QString kArtist = QStringLiteral("Test Artist");
const QString kAlbum = QStringLiteral("Test Album");
const QString kGenre = QStringLiteral("Ambient");
constexpr double kSeconds = 45.0;
// The library's tones and the one opened from outside it.
const std::vector<int> kLibraryTones { 440, 660, 990 };
const QStringList kTitles { QStringLiteral("Low Tone"), QStringLiteral("Middle Tone"), QStringLiteral("High Tone") };
constexpr int kOpenedTone = 1320;

// No tip of the day, and fades short enough not to blur what is heard.
const QByteArray kSettings = "[General]\nShowTips=0\n"
                             "[VolumeSettings]\nMasterVolume=200\n"
                             "[CrossFader]\nFadeInTime=200\nFadeOutTime=1000\nFadeInFromVolume=255\n"
                             "FadeOutToVolume=0\n";

// Whether expected appears in seen in this order, other values in between.
bool InOrder(const QVariantList &seen, const QStringList &expected)
{
    qsizetype next = 0;
    for (const QVariant &value : seen) {
        if (next < expected.size() && value.toString() == expected[next])
            ++next;
    }
    return next == expected.size();
}

struct ToneTrack {
    QString file;
    QString title;
    int tone = 0;
};

class MprisProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(PulseTestServer::UsePulseTestServer()) << "the test PulseAudio server does not answer";
        PulseTestServer::pactl({ QStringLiteral("set-sink-mute"), PulseTestServer::sinkName(), QStringLiteral("0") });
        QString error;
        ASSERT_TRUE(m_bus.Start(&error)) << error.toStdString();
        m_client = QDBusConnection::connectToBus(m_bus.Address(), QStringLiteral("mpris-test"));
        ASSERT_TRUE(m_client.isConnected());
        ASSERT_TRUE(m_announced.Listen(m_client));
        ASSERT_TRUE(QDir().mkpath(music()));
        ASSERT_TRUE(QDir().mkpath(m_folder.filePath(QStringLiteral("Data"))));
        QFile settings(settingsFile());
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(kSettings);
        ASSERT_TRUE(m_listener.Start());
    }

    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("mpris-test")); }

    QString music() const { return m_folder.filePath(QStringLiteral("music")); }
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("vorlen.ini")); }

    ToneTrack addTrack(
        const QString &title, int number, int tone, const QString &album = kAlbum, const QString &cover = {})
    {
        ToneTrack track { music() + QStringLiteral("/%1.mp3").arg(title), title, tone };
        ToneSpec spec;
        spec.seconds = kSeconds;
        spec.frequency = tone;
        spec.bitRate = QStringLiteral("64k");
        spec.metadata = { { QStringLiteral("title"), title }, { QStringLiteral("artist"), kArtist },
            { QStringLiteral("album"), album }, { QStringLiteral("genre"), kGenre },
            { QStringLiteral("track"), QString::number(number) } };
        spec.coverImage = cover;
        QString error;
        EXPECT_TRUE(MakeToneFile(track.file, spec, &error)) << error.toStdString();
        return track;
    }

    // Three tone tracks of one album in the library the jukebox loads at
    // start, with the album's cover beside them, named as the jukebox looks
    // covers up.
    void writeLibrary()
    {
        TtaggerList list;
        for (qsizetype i = 0; i < kTitles.size(); ++i) {
            m_tracks.append(addTrack(kTitles[i], int(i) + 1, kLibraryTones[std::size_t(i)]));
            ASSERT_TRUE(list.AddFile(m_tracks.last().file)) << m_tracks.last().file.toStdString();
        }
        ASSERT_TRUE(list.SaveListFile(m_folder.filePath(QStringLiteral("Data/jukebox.dat"))));
        m_cover = music() + QStringLiteral("/%1 - %2.jpg").arg(kArtist, kAlbum);
        QString error;
        ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("color=c=teal:s=64x64"),
                QStringLiteral("-frames:v"), QStringLiteral("1"), m_cover },
            &error))
            << error.toStdString();
    }

    // Starts the jukebox on the test's bus; its window is up and its player
    // on the bus.
    void startOnBus()
    {
        m_jukebox.UseSessionBus(m_bus.Address());
        QString error;
        ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
        ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();
        ASSERT_TRUE(RunEventsUntil([this] { return playerctl({ QStringLiteral("status") }).has_value(); }, kTimeoutMs))
            << "the player did not appear on the bus: " << m_jukebox.Output().toStdString();
    }

    // playerctl on the jukebox's player; its output, trimmed, or nothing
    // when it failed.
    std::optional<QString> playerctl(const QStringList &arguments) const
    {
        QByteArray output;
        if (!RunChild(QStringLiteral("playerctl"), QStringList { QStringLiteral("--player=vorlen") } + arguments,
                { QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_bus.Address() }, &output, kTimeoutMs))
            return std::nullopt;
        return QString::fromUtf8(output).trimmed();
    }
    bool command(const QString &name) { return playerctl({ name }).has_value(); }

    std::string status() const { return playerctl({ QStringLiteral("status") }).value_or(QString()).toStdString(); }
    bool waitForStatus(const char *expected)
    {
        return RunEventsUntil([&] { return status() == expected; }, kTimeoutMs);
    }
    double number(const QString &name) const { return playerctl({ name }).value_or(QStringLiteral("-1")).toDouble(); }
    QVariantMap metadata() const { return MprisProperty(m_client, QStringLiteral("Metadata")).toMap(); }
    QString trackId() const
    {
        return metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    }

    // The track the player names now, once it names one of ours.
    std::optional<ToneTrack> namedTrack() const
    {
        std::optional<ToneTrack> named;
        RunEventsUntil(
            [&] {
                const QString title = metadata().value(QStringLiteral("xesam:title")).toString();
                for (const ToneTrack &track : m_tracks) {
                    if (track.title == title)
                        named = track;
                }
                return named.has_value();
            },
            kTimeoutMs);
        return named;
    }

    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(kBusName, QStringLiteral("/org/mpris/MediaPlayer2"), interface, method);
        message.setArguments(arguments);
        return m_client.call(message, QDBus::Block, kTimeoutMs);
    }

    // Waits until the track's tone alone sounds.
    void expectHearing(const ToneTrack &track)
    {
        ToneLevels heard;
        EXPECT_TRUE(m_listener.WaitFor(
            [&](const ToneLevels &l) { return SoundingTone(l, kAudible) == track.tone; }, kTimeoutMs, &heard))
            << "playing " << track.title.toStdString() << ": " << Describe(heard);
    }

    // Waits for silence, which must then last.
    void expectSilence()
    {
        ToneLevels heard;
        EXPECT_TRUE(m_listener.WaitFor([](const ToneLevels &l) { return l.at(0) < kSilent; }, kTimeoutMs, &heard))
            << Describe(heard);
        EXPECT_FALSE(m_listener.WaitFor([](const ToneLevels &l) { return l.at(0) >= kSilent; }, 1500, &heard))
            << "sound came back: " << Describe(heard);
    }

    QTemporaryDir m_folder;
    SessionBus m_bus;
    QDBusConnection m_client { QString() };
    TmprisSignals m_announced;
    JukeboxProcess m_jukebox { m_folder.path() };
    SinkListener m_listener { { 440, 660, 990, kOpenedTone } };
    QList<ToneTrack> m_tracks;
    QString m_cover;
};

TEST_F(MprisProgram, PlayPauseNextSeekAndStopAreHeardAndAnnounced)
{
    ASSERT_NO_FATAL_FAILURE(writeLibrary());
    ASSERT_NO_FATAL_FAILURE(startOnBus());
    EXPECT_EQ(status(), "Stopped");
    EXPECT_TRUE(metadata().isEmpty());

    // Play: a library track starts; the player names it with its tags.
    ASSERT_TRUE(command(QStringLiteral("play")));
    ASSERT_TRUE(waitForStatus("Playing"));
    const std::optional<ToneTrack> first = namedTrack();
    ASSERT_TRUE(first) << "the player names no library track";
    expectHearing(*first);
    const QVariantMap tags = metadata();
    EXPECT_EQ(tags.value(QStringLiteral("mpris:trackid")).metaType(), QMetaType::fromType<QDBusObjectPath>());
    EXPECT_NEAR(tags.value(QStringLiteral("mpris:length")).toLongLong() / 1e6, kSeconds, 0.2);
    EXPECT_EQ(tags.value(QStringLiteral("xesam:artist")).toStringList(), QStringList { kArtist });
    EXPECT_EQ(tags.value(QStringLiteral("xesam:album")).toString(), kAlbum);
    EXPECT_EQ(tags.value(QStringLiteral("xesam:genre")).toStringList(), QStringList { kGenre });
    EXPECT_EQ(tags.value(QStringLiteral("xesam:trackNumber")).toInt(), kTitles.indexOf(first->title) + 1);
    EXPECT_EQ(QUrl(tags.value(QStringLiteral("xesam:url")).toString()).toLocalFile(), first->file);
    EXPECT_EQ(QUrl(tags.value(QStringLiteral("mpris:artUrl")).toString()).toLocalFile(), m_cover);

    // The position runs; a jump to a place and a step back are seeks, and
    // plain playing afterwards is none.
    const double started = number(QStringLiteral("position"));
    EXPECT_TRUE(RunEventsUntil([&] { return number(QStringLiteral("position")) > started + 0.5; }, kTimeoutMs));
    ASSERT_TRUE(playerctl({ QStringLiteral("position"), QStringLiteral("20") }));
    ASSERT_TRUE(RunEventsUntil([this] { return m_announced.Seeks().contains(20000000); }, kTimeoutMs));
    EXPECT_NEAR(number(QStringLiteral("position")), 20.0, 3.0);
    ASSERT_TRUE(playerctl({ QStringLiteral("position"), QStringLiteral("5-") }));
    ASSERT_TRUE(RunEventsUntil([this] { return m_announced.Seeks().size() == 2; }, kTimeoutMs));
    EXPECT_NEAR(m_announced.Seeks().last() / 1e6, 15.0, 3.0);
    EXPECT_FALSE(RunEventsUntil([this] { return m_announced.Seeks().size() > 2; }, 2500));
    // A client that has not heard of a track change asks for a place in the
    // track before: nothing moves.
    EXPECT_EQ(call(kRoot + QStringLiteral(".Player"), QStringLiteral("SetPosition"),
                  { QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/vorlen/track/0"))), qlonglong(2000000) })
                  .type(),
        QDBusMessage::ReplyMessage);
    EXPECT_GT(number(QStringLiteral("position")), 10.0);

    // Pause, and pause again: it stays paused and silent, where the window's
    // own key would resume. Play-pause resumes the same track.
    ASSERT_TRUE(command(QStringLiteral("pause")));
    ASSERT_TRUE(waitForStatus("Paused"));
    const double pausedAt = number(QStringLiteral("position"));
    ASSERT_TRUE(command(QStringLiteral("pause")));
    expectSilence();
    EXPECT_EQ(status(), "Paused");
    EXPECT_NEAR(number(QStringLiteral("position")), pausedAt, 0.1);
    ASSERT_TRUE(command(QStringLiteral("play-pause")));
    ASSERT_TRUE(waitForStatus("Playing"));
    EXPECT_EQ(namedTrack()->title, first->title);
    expectHearing(*first);

    // Next, and a seek past the end, which means next: each starts a track
    // (a new id every time), and what plays is what the player names.
    for (const QString &way : { QStringLiteral("next"), QStringLiteral("seek") }) {
        const QString before = trackId();
        if (way == QLatin1String("next"))
            ASSERT_TRUE(command(way));
        else
            EXPECT_EQ(call(kRoot + QStringLiteral(".Player"), QStringLiteral("Seek"), { qlonglong(600) * 1000000 }).type(),
                QDBusMessage::ReplyMessage);
        ASSERT_TRUE(RunEventsUntil([&] { return !trackId().isEmpty() && trackId() != before; }, kTimeoutMs))
            << way.toStdString();
        const std::optional<ToneTrack> next = namedTrack();
        ASSERT_TRUE(next) << way.toStdString();
        expectHearing(*next);
    }

    // Stop: silence, no track.
    ASSERT_TRUE(command(QStringLiteral("stop")));
    ASSERT_TRUE(waitForStatus("Stopped"));
    expectSilence();
    EXPECT_TRUE(metadata().isEmpty());

    // Every change was announced as it came.
    const QStringList statuses { QStringLiteral("Playing"), QStringLiteral("Paused"), QStringLiteral("Playing"),
        QStringLiteral("Stopped") };
    EXPECT_TRUE(RunEventsUntil([&] { return InOrder(m_announced.Values(QStringLiteral("PlaybackStatus")), statuses); },
        kTimeoutMs));
    QStringList ids;
    for (const QVariant &announcedTags : m_announced.Values(QStringLiteral("Metadata")))
        ids << announcedTags.toMap().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
    ASSERT_FALSE(ids.isEmpty());
    EXPECT_EQ(ids.last(), QString()) << "the stop";
    // Each of the three tracks once, under an id of its own.
    ids.removeAll(QString());
    EXPECT_EQ(ids.size(), 3) << ids.join(QLatin1Char(' ')).toStdString();
    ids.removeDuplicates();
    EXPECT_EQ(ids.size(), 3);
}

TEST_F(MprisProgram, OpenUriVolumeAndQuitActAsTheJukeboxsOwnCommands)
{
    ASSERT_NO_FATAL_FAILURE(writeLibrary());
    const ToneTrack opened
        = addTrack(QStringLiteral("Opened Tone"), 7, kOpenedTone, QStringLiteral("Elsewhere"), m_cover);
    ASSERT_NO_FATAL_FAILURE(startOnBus());
    EXPECT_EQ(MprisProperty(m_client, QStringLiteral("Identity"), kRoot).toString(), QStringLiteral("Vorlen Mp3 Jukebox"));
    EXPECT_EQ(MprisProperty(m_client, QStringLiteral("DesktopEntry"), kRoot).toString(), QStringLiteral("vorlen"));
    for (const char *can : { "CanQuit", "CanRaise" })
        EXPECT_TRUE(MprisProperty(m_client, QLatin1String(can), kRoot).toBool()) << can;
    EXPECT_FALSE(MprisProperty(m_client, QStringLiteral("HasTrackList"), kRoot).toBool());
    EXPECT_NEAR(number(QStringLiteral("volume")), kMasterVolume / 255.0, 1e-6) << "the master volume of the settings";

    // Opening a file while stopped queues it and plays it; its album has no
    // cover file, so the picture stored in the track is offered as one.
    ASSERT_TRUE(playerctl({ QStringLiteral("open"), QUrl::fromLocalFile(opened.file).toString() }));
    ASSERT_TRUE(RunEventsUntil(
        [&] { return metadata().value(QStringLiteral("xesam:title")).toString() == opened.title; }, kTimeoutMs));
    EXPECT_EQ(status(), "Playing");
    const QString art = QUrl(metadata().value(QStringLiteral("mpris:artUrl")).toString()).toLocalFile();
    EXPECT_TRUE(art.startsWith(m_folder.filePath(QStringLiteral("Data/covers/")))) << art.toStdString();
    EXPECT_EQ(QImage(art).size(), QSize(64, 64));
    expectHearing(opened);
    // Its level once faded in: the loudest over a while.
    double loud = 0;
    ToneLevels heard;
    m_listener.WaitFor(
        [&](const ToneLevels &l) {
            loud = std::max(loud, l.at(kOpenedTone));
            return false;
        },
        1500, &heard);
    // What is no local music file is refused and queues nothing.
    const QString notes = m_folder.filePath(QStringLiteral("notes.txt"));
    QFile(notes).open(QIODevice::WriteOnly);
    for (const QString &uri : { QStringLiteral("https://example.com/tone.mp3"), QUrl::fromLocalFile(notes).toString() })
        EXPECT_EQ(call(kRoot + QStringLiteral(".Player"), QStringLiteral("OpenUri"), { uri }).type(),
            QDBusMessage::ErrorMessage)
            << uri.toStdString();

    // The volume is the master volume: the sink's level follows, and so does
    // what is heard.
    ASSERT_TRUE(playerctl({ QStringLiteral("volume"), QStringLiteral("0.4") }));
    ASSERT_TRUE(RunEventsUntil([this] { return !m_announced.Values(QStringLiteral("Volume")).isEmpty(); }, kTimeoutMs));
    EXPECT_NEAR(m_announced.Values(QStringLiteral("Volume")).last().toDouble(), 102 / 255.0, 1e-9);
    EXPECT_NEAR(number(QStringLiteral("volume")), 102 / 255.0, 1e-6);
    std::vector<int> volumes;
    EXPECT_TRUE(WaitForSinkVolume(102 * 256, kTimeoutMs, &volumes)) << Text(volumes);
    EXPECT_TRUE(m_listener.WaitFor(
        [&](const ToneLevels &l) { return l.at(kOpenedTone) > kAudible / 10 && l.at(kOpenedTone) < loud / 2; },
        kTimeoutMs, &heard))
        << "at full volume " << loud << "; now " << Describe(heard);
    // The window's volume key (F10 lowers the master volume by 10) is
    // announced too.
    ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("F10")));
    EXPECT_TRUE(RunEventsUntil(
        [this] {
            const QVariantList announced = m_announced.Values(QStringLiteral("Volume"));
            return !announced.isEmpty() && qAbs(announced.last().toDouble() - 92 / 255.0) < 1e-9;
        },
        kTimeoutMs));

    // Quit closes the window as Exit does: the settings are saved.
    EXPECT_EQ(call(kRoot, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(m_jukebox.WaitForExit(kStartTimeoutMs)) << "Quit left the jukebox running";
    EXPECT_EQ(m_jukebox.ExitStatus(), QProcess::NormalExit) << m_jukebox.Output().toStdString();
    EXPECT_EQ(m_jukebox.ExitCode(), 0) << m_jukebox.Output().toStdString();
    QFile settings(settingsFile());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("MasterVolume=92"));
}

TEST_F(MprisProgram, WithoutASessionBusTheJukeboxRunsAndSaysNothing)
{
    ASSERT_NO_FATAL_FAILURE(writeLibrary());
    QString error;
    ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
    ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();
    // The window takes no keys while it starts up, and Play while playing
    // changes nothing, so the key goes again until the jukebox is heard.
    ToneLevels heard;
    bool playing = false;
    for (int attempt = 0; attempt < 4 && !playing; ++attempt) {
        ASSERT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+p")));
        playing = m_listener.WaitFor(
            [](const ToneLevels &l) { return SoundingTone(l, kAudible) != 0; }, kTimeoutMs / 4, &heard);
    }
    EXPECT_TRUE(playing) << Describe(heard);
    EXPECT_TRUE(m_jukebox.SendKeys(QStringLiteral("ctrl+x")));
    ASSERT_TRUE(m_jukebox.WaitForExit(kStartTimeoutMs)) << "Ctrl+X left the jukebox running";
    EXPECT_EQ(m_jukebox.ExitCode(), 0);
    EXPECT_EQ(m_jukebox.Output().toStdString(), std::string());
}

} // namespace
