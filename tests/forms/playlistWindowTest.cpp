#include "playlistFormsFixture.h"

#include "core/playlistEditor.h"
#include "library/tagPlaylist.h"
#include "ui/forms/frmPlaylist.h"

#include <QLabel>
#include <QListWidget>

namespace {

QStringList rows(const TfrmPlaylist &window)
{
    QStringList out;
    const auto *list = window.findChild<QListWidget *>(QStringLiteral("lbPlaylist"));
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QString panel(const TfrmPlaylist &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1StringView(name))->text();
}

} // namespace

TEST_F(PlaylistForms, ThePlaylistWindowShowsThePlaylistInUseEachTimeItComesOnScreen)
{
    TfrmPlaylist window(*core);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Playlist"));
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.minimumSize(), QSize(100, 100));

    const QString party = writeM3u(QStringLiteral("party.m3u"), {s_tracks[3], s_tracks[0], s_tracks[1]});
    ASSERT_TRUE(core->ApplyPlaylistRule(prM3uFile, party, false, {}));
    window.ShowPlaylist();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(rows(window), (QStringList{"Cafe - Song 3", "Band A - Song 0", "Band B - Song 1"}));
    EXPECT_EQ(panel(window, "stCount"), QStringLiteral("Count : 3"));
    EXPECT_EQ(panel(window, "stArtistCount"), QStringLiteral("Artist Count : 3"));
    EXPECT_EQ(panel(window, "stPlayTime"), PlaylistStatusTexts(loaded())[1]);

    // Not refilled while it stays open.
    ASSERT_TRUE(core->ApplyPlaylistRule(prNone, {}, false, {}));
    window.ShowPlaylist();
    EXPECT_EQ(rows(window).size(), 3);

    // An active preloaded playlist is the one in use.
    ASSERT_NE(core->AddPreloadedPlaylist(QStringLiteral("Mellow"),
                                         writeM3u(QStringLiteral("mellow.m3u"), {s_tracks[1]}), false, true),
              nullptr);
    core->ActivatePlaylist(QStringLiteral("Mellow"));
    window.hide();
    window.ShowPlaylist();
    EXPECT_EQ(rows(window), QStringList{"Band B - Song 1"});
    EXPECT_EQ(panel(window, "stCount"), QStringLiteral("Count : 1"));

    core->DeactivatePlaylists();
    window.hide();
    window.ShowPlaylist();
    EXPECT_TRUE(rows(window).isEmpty());
    EXPECT_EQ(panel(window, "stPlayTime"), QStringLiteral("Play Time : 0:00:00"));
}
