#pragma once

// The built jukebox on a session bus of the test's own, playing into the test
// PulseAudio server, with a library of three tone tracks; driven with
// playerctl as the desktop's media keys drive it. What the sink plays shows
// that the sound follows.
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
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

inline const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.vorlen");
inline const QString kArtist = QStringLiteral("Test Artist");
inline const QString kAlbum = QStringLiteral("Test Album");
inline const QString kGenre = QStringLiteral("Ambient");
inline constexpr double kSeconds = 45.0;
// The library's tones and the one opened from outside it.
inline const std::vector<int> kLibraryTones { 440, 660, 990 };
inline const QStringList kTitles { QStringLiteral("Low Tone"), QStringLiteral("Middle Tone"),
    QStringLiteral("High Tone") };
inline constexpr int kOpenedTone = 1320;

// No tip of the day, and fades short enough not to blur what is heard.
inline const QByteArray kSettings = "[General]\nShowTips=0\n"
                                    "[VolumeSettings]\nMasterVolume=200\n"
                                    "[CrossFader]\nFadeInTime=200\nFadeOutTime=1000\nFadeInFromVolume=255\n"
                                    "FadeOutToVolume=0\n";

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
            { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("color=c=teal:s=64x64"), QStringLiteral("-frames:v"), QStringLiteral("1"), m_cover },
            &error))
            << error.toStdString();
    }

    // Starts the jukebox on the test's bus; its window is up on the X server
    // and its player on the bus.
    void startOnBus()
    {
        m_jukebox.UseSessionBus(m_bus.Address());
        QString error;
        ASSERT_TRUE(m_jukebox.Start(&error)) << error.toStdString();
        ASSERT_TRUE(m_jukebox.WaitForWindow(kStartTimeoutMs, &error)) << error.toStdString();
        ASSERT_NO_FATAL_FAILURE(waitForPlayer());
    }

    // Waits until the jukebox's player is on the bus; the jukebox fails the
    // test should it end first.
    void waitForPlayer()
    {
        ASSERT_TRUE(RunEventsUntil(
            [this] { return m_jukebox.HasEnded() || playerctl({ QStringLiteral("status") }).has_value(); },
            kStartTimeoutMs))
            << "the player did not appear on the bus: " << m_jukebox.Output().toStdString();
        ASSERT_FALSE(m_jukebox.HasEnded()) << "the jukebox ended: " << m_jukebox.Output().toStdString();
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
