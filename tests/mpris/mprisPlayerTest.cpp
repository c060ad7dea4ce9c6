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
#include <QUrl>
#include <gtest/gtest.h>

TEST(MprisPlayer, AJumpOfThePositionBarIsASeekAndPlainPlayingIsNone)
{
    ASSERT_TRUE(PulseTestServer::UsePulseTestServer());
    TcoreTestFolder folder;
    const QString track = folder.addTrack(QStringLiteral("a.mp3"), QStringLiteral("Tone"), QStringLiteral("Artist"),
        QStringLiteral("Album"), 1, 440, 30.0);
    TscriptedUi ui;
    TfrmJukebox window;
    TdmMain core(window, ui, folder.options(false));
    ASSERT_TRUE(core.SoundOutputOpen()) << core.SoundOutputError().toStdString();
    window.SetCore(&core);
    TmprisPlayer player(core, window);
    QList<qint64> seeks;
    player.OnSeeked = [&seeks](qint64 positionUs) { seeks.append(positionUs); };
    TplayerListeners &listeners = window.PlayerListeners();
    listeners.PositionChanged = [&player](TvorlenStream *stream) { player.PositionChanged(stream); };
    listeners.PlayStateChanged = [&player](int state) { player.PlayStateChanged(state); };
    listeners.TrackChanged = [&player](TvorlenStream *stream) { player.TrackChanged(stream); };

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
