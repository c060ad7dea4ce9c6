#include "ui/forms/jukeboxActions.h"

#include <array>

namespace {

constexpr std::array<TjukeboxActionSpec, jcCommandCount> kActions { {
    { jcPlay, "actnPlay", "&Play", "Ctrl+P", "" },
    { jcPause, "actnPause", "P&ause", "Ctrl+A", "" },
    { jcSkip, "actnSkip", "&Next", "Ctrl+N", "" },
    { jcStop, "actnStop", "&Stop", "Ctrl+S", "" },
    { jcVolumeUp, "actnVolumeUp", "Volume &Up", "F10", "Increase the volume." },
    { jcVolumeDown, "actnVolumeDown", "Volume &Down", "F9", "Decrease the Volume." },
    { jcAddSelectedSongs, "actnAddSelectedSongs", "Add &Selected Track(s)", "F6", "Add selected tracks to the queue." },
    { jcAddAllSongs, "actnAddAllSongs", "Add &All Tracks", "F7", "Add all displayed tracks to the queue." },
    { jcQueueCD, "actnQueueCD", "&Queue Album", "F8", "" },
    { jcQueueMoveUp, "actnQueueMoveUp", "Move &Up", "Ctrl+U", "Move the selected track up the queue." },
    { jcQueueMoveDown, "actnQueueMoveDown", "Move Do&wn", "Ctrl+W", "Move the selected track down the queue." },
    { jcQueueMoveTo, "actnQueueMoveTo", "Move &To", "Ctrl+T", "Move the selected track to the specified position." },
    { jcQueueDelete, "actnQueueDelete", "&Delete", "Ctrl+D", "Remove the selected track from the queue." },
    { jcQueueClear, "actnQueueClear", "&Clear", "Ctrl+C", "Clear all tracks from the queue." },
    { jcQueueFile, "actnQueueFile", "&Queue File...", "Ctrl+Q", "" },
    { jcRefreshCDs, "actnRefreshCDs", "&Refresh/Scan CDs", "F5", "" },
    { jcScanFolders, "actnScanFolders", "&Scan Folders", "Ctrl+Shift+F5", "" },
    { jcExit, "actnExit", "E&xit", "Ctrl+X", "Close Vorlen Mp3" },
    { jcMinimize, "actnMinimize", "Minimize", "", "Minimize Vorlen Jukebox" },
    { jcFullScreen, "actnFullScreen", "Toggle &Full Screen/Normal Modes", "Ctrl+Alt+F",
        "Change between Full Screen and normal view modes." },
    { jcToggleList, "actnToggleList", "Toggle &Artists/All View", "Ctrl+Alt+A",
        "Change between Artists/All Tracks modes." },
    { jcToggleMenu, "actnToggleMenu", "Show/Hide &Main Menu Panel", "Ctrl+Alt+M", "Show/Hide the menu." },
    { jcShowHideSongScroller, "actnShowHideSongScroller", "Show/Hide Song &Title Panel", "Ctrl+Alt+T",
        "Show/Hide the song title panel." },
    { jcShowHideStacker, "actnShowHideStacker", "Show/Hide &Stacker Panel", "Ctrl+Alt+S",
        "Show/Hide the stacker panel." },
    { jcQueueControlToggle, "actnQueueControlToggle", "Show/Hide &Queue Control Panel", "Ctrl+Alt+Q",
        "Show/Hide the queue control panel." },
    { jcToggleQueueDetails, "actnToggleQueueDetails", "Show/Hide List &Details", "Ctrl+Alt+D",
        "Show/Hide the List Details." },
    { jcStackerPower, "actnStackerPower", "Enable/Disable the &Stacker", "Ctrl+Alt+K", "Turn the stacker on or off." },
    { jcStackerConfig, "actnStackerConfig", "&Configure the Stacker", "Ctrl+K", "Configure the stacker." },
    { jcToggleVis, "actnToggleVis", "Enable/Disable &Visualizations", "Ctrl+Alt+V",
        "Enable/Disable the Visualizations." },
    { jcConfigureVis, "actnConfigureVis", "&Configure Visualization", "Ctrl+V", "Configure the Tiny Visualization." },
    { jcSongSearch, "actnSongSearch", "&Search for a Track", "Ctrl+F", "Search for a track." },
    { jcEditMusicFolders, "actnEditMusicFolders", "&Music Folders", "", "" },
    { jcEditCrossFader, "actnEditCrossFader", "Cross &Fader Settings", "", "Edit the cross fader settings." },
    { jcEditGeneral, "actnEditGenereal", "&General Settings", "", "Edit general settings." },
    { jcSetAlarms, "actnSetAlarms", "&Alarm Clock Settings", "", "Configure the alarm clock settings." },
    { jcSkins, "actnSkins", "&Skins", "", "Apply/Modify Skin Settings." },
    { jcShowPlaylist, "actnShowPlaylist", "Show &Playlist", "", "" },
    { jcShowPlaylistEditor, "actnShowPlaylistEditor", "Show Playlist &Editor", "", "Show the playlist editor." },
    { jcSetPlaylists, "actnSetPlaylists", "&Set Preloaded Playlists", "", "" },
    { jcPlaylistRules, "actnPlaylistRules", "Playlist &Options", "", "Show the playlist options window." },
    { jcDeactivatePlaylists, "actnDeactivatePlaylists", "&Deactivate Playlists", "",
        "Deactivate/Reset all Playlists." },
    { jcShowTips, "actnShowTips", "&Show &Tips", "F2", "Show the Tips dialog." },
    { jcHelp, "actnHelp", "&Help", "Ctrl+H; F1", "Open Vorlen Mp3 help." },
    { jcAbout, "actnAbout", "&About/Contact", "", "Show the about window." },
    { jcPartyMode, "actnPartyMode", "&Party Mode...", "Ctrl+Alt+P", "Let guests request songs from their phones." },
    { jcPartyWindow, "actnPartyWindow", "Party &Window", "", "Show the party's address, QR code and requests." },
} };

// The table is indexed by command: a row out of place would give a key to
// the wrong command.
constexpr bool inCommandOrder()
{
    for (size_t i = 0; i < kActions.size(); ++i) {
        if (kActions[i].command != TjukeboxCommand(i))
            return false;
    }
    return true;
}
static_assert(inCommandOrder(), "every command's row sits at its command's place");

constexpr std::array<TtoggleCaptionSpec, 8> kToggleCaptions { {
    { jcFullScreen, "&Normal Window Mode", "&Full Screen Mode" },
    { jcToggleList, "&Artist List View", "&All Tracks List View" },
    { jcToggleMenu, "Hide Main &Menu Panel", "Show Main &Menu Panel" },
    { jcShowHideSongScroller, "Hide Song &Title Panel", "Show Song &Title Panel" },
    { jcShowHideStacker, "Hide &Stacker Panel", "Show &Stacker Panel" },
    { jcQueueControlToggle, "Hide &Queue Control Panel", "Show &Queue Control Panel" },
    { jcToggleQueueDetails, "Hide List &Details", "Show List &Details" },
    { jcToggleVis, "Disable &Visualizations", "Enable &Visualizations" },
} };

} // namespace

std::span<const TjukeboxActionSpec> JukeboxActions()
{
    return kActions;
}

const TjukeboxActionSpec &JukeboxAction(TjukeboxCommand command)
{
    return kActions[size_t(command)];
}

std::span<const TtoggleCaptionSpec> JukeboxToggleCaptions()
{
    return kToggleCaptions;
}

const TtoggleCaptionSpec *JukeboxToggleCaption(TjukeboxCommand command)
{
    for (const TtoggleCaptionSpec &spec : kToggleCaptions) {
        if (spec.command == command)
            return &spec;
    }
    return nullptr;
}
