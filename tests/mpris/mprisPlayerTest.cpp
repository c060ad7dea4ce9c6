// The media-control side of the jukebox over the real window and core,
// playing into the test sound server.
#include "coreFakes.h"
#include "coreTestFolder.h"
#include "eventWait.h"
#include "pulseTestServer.h"

#include "core/dmMain.h"
#include "metadata/id3Tagger.h"
#include "mpris/mprisPlayer.h"
#include "playback/crossPlayer.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/frmJukebox.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

TEST(MprisPlayer, AJumpOfThePositionBarIsASeekAndPlainPlayingIsNone)
{
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    TcoreTestFolder folder;
    const QString track = folder.addTrack(QStringLiteral("a.mp3"), QStringLiteral("Tone"), QStringLiteral("Artist"),
        QStringLiteral("Album"), 1, 440, 30.0);
    TscriptedUi ui;
    TfrmJukebox window;
    TdmMain core(ui, folder.options(false));
    ASSERT_TRUE(core.SoundOutputOpen()) << core.SoundOutputError().toStdString();
    window.SetCore(&core);
    core.LoadSettings();
    TmprisPlayer player(core);
    QList<qint64> seeks;
    player.OnSeeked = [&seeks](qint64 positionUs) { seeks.append(positionUs); };

    core.QueueFile(track);
    player.Play();
    ASSERT_TRUE(RunEventsUntil([&] { return player.Position() > 2000000; }, 20000)) << player.Position();
    EXPECT_TRUE(seeks.isEmpty()) << seeks.first();

    // Ahead, then back.
    window.PositionBar().SetValue(20000);
    ASSERT_TRUE(RunEventsUntil([&] { return !seeks.isEmpty(); }, 20000));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_NEAR(seeks.first() / 1e6, 20.0, 1.0);
    window.PositionBar().SetValue(5000);
    ASSERT_TRUE(RunEventsUntil([&] { return seeks.size() >= 2; }, 20000));
    ASSERT_EQ(seeks.size(), 2);
    EXPECT_NEAR(seeks.last() / 1e6, 5.0, 1.0);

    // Pausing and resuming a while later is no jump either.
    player.Pause();
    ASSERT_TRUE(RunEventsUntil([&] { return player.PlaybackStatus() == QLatin1String("Paused"); }, 20000));
    RunEventsUntil([] { return false; }, 3000);
    const qint64 resumedAt = player.Position();
    player.Play();
    EXPECT_TRUE(RunEventsUntil([&] { return player.Position() > resumedAt + 2000000; }, 20000));
    EXPECT_EQ(seeks.size(), 2);
    window.SetCore(nullptr);
}

// The media controls are a face of the core of their own: with no window at
// all they hear what plays, its cover, the play state and the volume, and
// the window hears what they change.
TEST(MprisPlayer, TheMediaControlsAndTheWindowAreEachTheCoresFace)
{
    TcoreTestFolder folder;
    const QString track = folder.addTrack(QStringLiteral("Hits/a.mp3"), QStringLiteral("Tone"),
        QStringLiteral("Nordwave"), QStringLiteral("Hits"), 1, 440, 20.0);
    {
        QFile cover(QFileInfo(track).path() + QStringLiteral("/Nordwave - Hits.jpg"));
        ASSERT_TRUE(cover.open(QIODevice::WriteOnly));
    }
    TrecordedCore run(folder.options());
    TdmMain &core = run.core;
    auto player = std::make_unique<TmprisPlayer>(core);
    QList<QVariantMap> changes;
    player->OnPropertiesChanged = [&changes](const QVariantMap &changed) { changes.append(changed); };

    QString whyNot;
    EXPECT_FALSE(player->OpenUri(QStringLiteral("file:///nowhere/x.mp3"), &whyNot));
    EXPECT_TRUE(whyNot.contains(QStringLiteral("/nowhere/x.mp3"))) << whyNot.toStdString();
    ASSERT_TRUE(player->OpenUri(QUrl::fromLocalFile(track).toString(), &whyNot)) << whyNot.toStdString();
    DrivenPlayer(core).Tick();
    ASSERT_EQ(player->PlaybackStatus(), QStringLiteral("Playing"));
    const QVariantMap metadata = player->Metadata();
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Tone"));
    EXPECT_EQ(QUrl(metadata.value(QStringLiteral("mpris:artUrl")).toString()).toLocalFile(),
        QFileInfo(track).path() + QStringLiteral("/Nordwave - Hits.jpg"));
    auto announced = [&changes](const char *name) {
        return std::count_if(changes.begin(), changes.end(),
            [name](const QVariantMap &change) { return change.contains(QLatin1String(name)); });
    };
    EXPECT_GE(announced("Metadata"), 1);
    EXPECT_GE(announced("PlaybackStatus"), 1);

    // A volume set by the media controls reaches every other face at once.
    player->SetVolume(0.5);
    EXPECT_EQ(run.face.count(QStringLiteral("VolumeChanged")), 1);
    // The desktop's Quit asks the core, which asks every face.
    player->Quit();
    ASSERT_TRUE(RunEventsUntil([&] { return run.face.count(QStringLiteral("QuitRequested")) == 1; }, 5000));

    // Gone, the media controls hear nothing more; the others still do.
    player.reset();
    core.Stop();
    DrivenPlayer(core).Tick();
    EXPECT_EQ(run.face.tracks.constLast(), QString()) << "the stop ends the track shown";
}

TEST(MprisPlayer, MetadataNamesAnUntaggedTrackByItsFileAndLeavesOutWhatIsUnknown)
{
    TcoreTestFolder folder;
    const QString file = folder.music() + QStringLiteral("/untagged tone.mp3");
    ToneSpec spec;
    spec.id3v2Version = 0;
    ASSERT_TRUE(MakeToneFile(file, spec));
    Tid3Tagger untagged;
    untagged.LoadFromFile(file);
    ASSERT_FALSE(untagged.ValidTag());

    const QVariantMap metadata = MprisMetadata(untagged, QStringLiteral("/org/vorlen/track/5"), 1000, QString());
    EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString().toStdString(), "untagged tone.mp3");
    EXPECT_EQ(
        QUrl(metadata.value(QStringLiteral("xesam:url")).toString()).toLocalFile().toStdString(), file.toStdString());
    EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 1000000);
    for (const char *unknown : { "xesam:artist", "xesam:album", "xesam:genre", "xesam:trackNumber", "mpris:artUrl" })
        EXPECT_FALSE(metadata.contains(QLatin1String(unknown))) << unknown;
}
