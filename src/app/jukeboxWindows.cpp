#include "app/jukeboxWindows.h"

#include "app/appUserInterface.h"
#include "core/dmMain.h"
#include "ui/forms/frmAbout.h"
#include "ui/forms/frmAlarmSettings.h"
#include "ui/forms/frmChooseCD.h"
#include "ui/forms/frmEditPlaylists.h"
#include "ui/forms/frmGetPlaylistAlbumName.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/frmJukeboxSkin.h"
#include "ui/forms/frmMusicSearch.h"
#include "ui/forms/frmParty.h"
#include "ui/forms/frmPartyMode.h"
#include "ui/forms/frmPlayListrules.h"
#include "ui/forms/frmPlaylist.h"
#include "ui/forms/frmPlaylistEditor.h"
#include "ui/forms/frmPreferences.h"
#include "ui/forms/frmProgress.h"
#include "ui/forms/frmQueueMoveTo.h"
#include "ui/forms/frmStackerList.h"

struct TjukeboxWindowsPrivate {
    TjukeboxWindowsPrivate(TfrmJukebox &window, TdmMain &core)
        : moveTo(&window)
        , chooseCD(core, &window)
        , albumName(&window)
        , progress(&window)
        , progressFollower(progress, core)
        , stacker(core, chooseCD, albumName, &window)
        , preferences(core, &window)
        , musicSearch(core, &window)
        , playlistEditor(core, &window)
        , skins(window, core, &window)
        , about(&window)
        , playlist(core, &window)
        , editPlaylists(core, &window)
        , alarmSettings(&window)
        , playlistRules(core, &window)
        , partyMode(core, &window)
        , party(core)
    {
    }

    TfrmQueueMoveTo moveTo;
    TfrmChooseCD chooseCD;
    TfrmGetPlaylistAlbumName albumName;
    TfrmProgress progress;
    TprogressFollower progressFollower;
    TfrmStackerList stacker;
    TfrmPreferences preferences;
    TfrmMusicSearch musicSearch;
    TfrmPlaylistEditor playlistEditor;
    TfrmJukeboxSkin skins;
    TfrmAbout about;
    TfrmPlaylist playlist;
    TfrmEditPlaylists editPlaylists;
    TfrmAlarmSettings alarmSettings;
    TfrmPlayListrules playlistRules;
    TfrmPartyMode partyMode;
    // A window of its own, for a second screen: it stays up when the
    // jukebox window is minimised.
    TfrmParty party;
};

TjukeboxWindows::TjukeboxWindows(TfrmJukebox &window, TdmMain &core, TappUserInterface &ui)
    : d(std::make_unique<TjukeboxWindowsPrivate>(window, core))
{
    TjukeboxWindowsPrivate &w = *d;
    ui.AlbumChooser = [&w] { return w.chooseCD.Execute(); };
    ui.SetWindowOpener(TcoreWindow::Stacker, [&w] { w.stacker.Execute(); });
    ui.SetWindowOpener(TcoreWindow::PreferencesMusicFolders, [&w] { w.preferences.Execute(ppMusicFolders); });
    ui.SetWindowOpener(TcoreWindow::PreferencesCrossFade, [&w] { w.preferences.Execute(ppCrossFader); });
    ui.SetWindowOpener(TcoreWindow::PreferencesGeneral, [&w] { w.preferences.Execute(ppGeneral); });
    ui.SetWindowOpener(TcoreWindow::MusicSearch, [&w] { w.musicSearch.Execute(); });
    ui.SetWindowOpener(TcoreWindow::PlaylistOptions, [&w] { w.playlistRules.Execute(); });
    ui.SetWindowOpener(TcoreWindow::PlaylistListEditor, [&w] { w.editPlaylists.Execute(); });
    ui.SetWindowOpener(TcoreWindow::PlaylistEditor, [&w] { w.playlistEditor.Execute(); });
    ui.SetWindowOpener(TcoreWindow::Playlist, [&w] { w.playlist.ShowPlaylist(); });
    ui.SetWindowOpener(TcoreWindow::TipOfTheDay, [&core] { core.ShowTips(); });
    ui.SetWindowOpener(TcoreWindow::About, [&w] { w.about.Execute(); });
    ui.SetWindowOpener(TcoreWindow::PartyMode, [&w] { w.partyMode.Execute(); });
    // The core opens it as the party begins: beside the jukebox window,
    // which keeps the keyboard.
    ui.SetWindowOpener(TcoreWindow::PartyWindow, [&w] { w.party.ShowParty(false); });
    w.partyMode.OnShowPartyWindow = [&w] { w.party.ShowParty(true); };
    w.party.OnShowSettings = [&w] { w.partyMode.Execute(); };

    TjukeboxDialogs &dialogs = window.Dialogs();
    dialogs.MoveTo = [&w](int count, int currentRow, QPoint topLeft, int *position) {
        return w.moveTo.Execute(count, currentRow, topLeft, position);
    };
    dialogs.AlarmSettings = [&w, &core] {
        TalarmClock alarms = core.Alarms();
        if (w.alarmSettings.Execute(alarms))
            core.SetAlarms(alarms);
    };
    dialogs.Skins = [&w] { w.skins.Execute(); };
    dialogs.PartyWindow = [&w] { w.party.ShowParty(true); };
    dialogs.OpenWindow = [&ui](TcoreWindow shown) { ui.ShowWindow(shown); };
    w.preferences.OnRunScan = [&w] { w.musicSearch.Execute(); };
}

TjukeboxWindows::~TjukeboxWindows() = default;
