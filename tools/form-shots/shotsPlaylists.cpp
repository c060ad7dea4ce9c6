// The playlist windows and the tip of the day in the dialog gallery.
#include "formShots.h"

#include "core/dmMain.h"
#include "core/tipOfTheDay.h"
#include "library/tagPlaylist.h"
#include "ui/forms/frmEditPlaylists.h"
#include "ui/forms/frmPlayListrules.h"
#include "ui/forms/frmPlaylist.h"
#include "ui/forms/frmPlaylistEditor.h"
#include "ui/forms/frmTipOfTheDay.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace {

QWidget *playlistOptions(TdmMain &core)
{
    core.SetGenres({QStringLiteral("Trip-Hop"), QStringLiteral("Ambient"), QStringLiteral("Electronic")});
    auto *window = new TfrmPlayListrules(core);
    window->show();
    window->findChild<QRadioButton *>(QStringLiteral("rbGenre"))->click();
    window->findChild<QLineEdit *>(QStringLiteral("edFilename"))->setText(QStringLiteral("/home/user/Music/party.m3u"));
    return window;
}

QWidget *editPlaylists(TdmMain &core)
{
    auto *window = new TfrmEditPlaylists(core);
    window->show();
    window->findChild<QListWidget *>(QStringLiteral("lbPlaylists"))->setCurrentRow(1);
    return window;
}

QWidget *playlistEditor(TdmMain &core)
{
    core.jblMain().MasterList().SaveListFile(core.DataFolder() + QStringLiteral("/jukebox.dat"));
    auto *window = new TfrmPlaylistEditor(core);
    window->show();
    TtreeNodes &nodes = window->Nodes();
    const TtreeNode album =
        nodes.Find({QStringLiteral("<A>"), QStringLiteral("Aphex Twin"), QStringLiteral("Album 1")});
    nodes.Expand(album);
    nodes.Select(album);
    nodes.Expand(nodes.Find({QStringLiteral("<B>"), QStringLiteral("Boards of Canada")}));
    const TtreeNode other = nodes.Find({QStringLiteral("<M>"), QStringLiteral("Moby"), QStringLiteral("Album 2")});
    if (const auto *list = std::get_if<TcustomTaggerList *>(&nodes.Object(other)))
        window->Editor().AddTracks((*list)->Records());
    auto *songs = window->findChild<QListWidget *>(QStringLiteral("lbSongs"));
    songs->item(2)->setSelected(true);
    songs->item(3)->setSelected(true);
    return window;
}

QWidget *playlist(TdmMain &core)
{
    TtaggerList tracks;
    const TtaggerList &library = core.jblMain().MasterList();
    for (int i = 0; i < library.Count(); i += 5)
        tracks.AddCopy(library.Items(i));
    core.CopyToJukebox(tracks);
    auto *window = new TfrmPlaylist(core);
    window->ShowPlaylist();
    return window;
}

QWidget *tipOfTheDay(TdmMain &)
{
    static TtipDialogState state(JukeboxTips(), 5, true);
    state.Show();
    return new TTipDialogForm(state);
}

QWidget *noTips(TdmMain &)
{
    static TtipDialogState state({}, 0, false);
    state.Show();
    return new TTipDialogForm(state);
}

const TformShotRegistration shots[] = {
    TformShotRegistration({QStringLiteral("playlist-options"), playlistOptions}),
    TformShotRegistration({QStringLiteral("edit-playlists"), editPlaylists}),
    TformShotRegistration({QStringLiteral("playlist-editor"), playlistEditor}),
    TformShotRegistration({QStringLiteral("playlist"), playlist}),
    TformShotRegistration({QStringLiteral("tip-of-the-day"), tipOfTheDay}),
    TformShotRegistration({QStringLiteral("tip-of-the-day-empty"), noTips}),
};

} // namespace
