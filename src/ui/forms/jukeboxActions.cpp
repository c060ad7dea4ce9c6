#include "ui/forms/jukeboxActions.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<TjukeboxActionSpec, 44> kActions{{
    {"actnPlay", "&Play", "Ctrl+P", ""},
    {"actnPause", "P&ause", "Ctrl+A", ""},
    {"actnSkip", "&Next", "Ctrl+N", ""},
    {"actnStop", "&Stop", "Ctrl+S", ""},
    {"actnVolumeUp", "Volume &Up", "F10", "Increase the volume."},
    {"actnVolumeDown", "Volume &Down", "F9", "Decrease the Volume."},
    {"actnAddSelectedSongs", "Add &Selected Track(s)", "F6", "Add all displayed tracks to the queue."},
    {"actnAddAllSongs", "Add &All Tracks", "F7", "Add selected tracks to the queue."},
    {"actnQueueCD", "&Queue Album", "F8", ""},
    {"actnQueueMoveUp", "Move &Up", "Ctrl+U", "Move the selected track up the queue."},
    {"actnQueueMoveDown", "Move Do&wn", "Ctrl+W", "Move the selected track down the queue."},
    {"actnQueueMoveTo", "Move &To", "Ctrl+T", "Move the selected track to the specified position."},
    {"actnQueueDelete", "&Delete", "Ctrl+D", "Remove the selected track from the queue."},
    {"actnQueueClear", "&Clear", "Ctrl+C", "Clear all tracks from the queue."},
    {"actnQueueFile", "&Queue File...", "Ctrl+Q", ""},
    {"actnRefreshCDs", "&Refresh/Scan CDs", "F5", ""},
    {"actnScanFolders", "&Scan Folders", "Ctrl+Shift+F5", ""},
    {"actnExit", "E&xit", "Ctrl+X", "Close Vorlen Mp3"},
    {"actnMinimize", "Minimize", "", "Minimize Vorlen Jukebox"},
    {"actnFullScreen", "Toggle &Full Screen/Normal Modes", "Ctrl+Alt+F",
     "Change between Full Screen and normal view modes."},
    {"actnToggleList", "Toggle &Artists/All View", "Ctrl+Alt+A", "Change between Artists/All Tracks modes."},
    {"actnToggleMenu", "Show/Hide &Main Menu Panel", "Ctrl+Alt+M", "Show/Hide the menu."},
    {"actnShowHideSongScroller", "Show/Hide Song &Title Panel", "Ctrl+Alt+T", "Show/Hide the song title panel."},
    {"actnShowHideStacker", "Show/Hide &Stacker Panel", "Ctrl+Alt+S", "Show/Hide the stacker panel."},
    {"actnQueueControlToggle", "Show/Hide &Queue Control Panel", "Ctrl+Alt+Q", "Show/Hide the queue control panel."},
    {"actnToggleQueueDetails", "Show/Hide List &Details", "Ctrl+Alt+D", "Show/Hide the List Details."},
    {"actnStackerPower", "Enable/Disable the &Stacker", "Ctrl+Alt+K", "Turn the stacker on or off."},
    {"actnStackerConfig", "&Configure the Stacker", "Ctrl+K", "Configure the stacker."},
    {"actnToggleVis", "Enable/Disable &Visualizations", "Ctrl+Alt+V", "Enable/Disable the Visualizations."},
    {"actnConfigureVis", "&Configure Visualization", "Ctrl+V", "Configure the Tiny Visualization."},
    {"actnSongSearch", "&Search for a Track", "", "Search for a track."},
    {"actnEditMusicFolders", "&Music Folders", "", ""},
    {"actnEditCrossFader", "Cross &Fader Settings", "", "Edit the cross fader settings."},
    {"actnEditGenereal", "&General Settings", "", "Edit general settings."},
    {"actnSetAlarms", "&Alarm Clock Settings", "", "Configure the alarm clock settings."},
    {"actnSkins", "&Skins", "", "Apply/Modify Skin Settings."},
    {"actnShowPlaylist", "Show &Playlist", "", ""},
    {"actnShowPlaylistEditor", "Show Playlist &Editor", "", "Show the playlist editor."},
    {"actnSetPlaylists", "&Set Preloaded Playlists", "", ""},
    {"actnPlaylistRules", "Playlist &Options", "", "Show the playlist options window."},
    {"actnDeactivatePlaylists", "&Deactivate Playlists", "", "Deactivate/Reset all Playlists."},
    {"actnShowTips", "&Show &Tips", "F2", "Show the Tips dialog."},
    {"actnHelp", "&Help", "Ctrl+H; F1", "Open Vorlen Mp3 help."},
    {"actnAbout", "&About/Contact", "", "Show the about window."},
}};

constexpr std::array<TtoggleCaptionSpec, 8> kToggleCaptions{{
    {"actnFullScreen", "&Normal Window Mode", "&Full Screen Mode"},
    {"actnToggleList", "&Artist List View", "&All Tracks List View"},
    {"actnToggleMenu", "Hide Main &Menu Panel", "Show Main &Menu Panel"},
    {"actnShowHideSongScroller", "Hide Song &Title Panel", "Show Song &Title Panel"},
    {"actnShowHideStacker", "Hide &Stacker Panel", "Show &Stacker Panel"},
    {"actnQueueControlToggle", "Hide &Queue Control Panel", "Show &Queue Control Panel"},
    {"actnToggleQueueDetails", "Hide List &Details", "Show List &Details"},
    {"actnToggleVis", "Disable &Visualizations", "Enable &Visualizations"},
}};

} // namespace

std::span<const TjukeboxActionSpec> JukeboxActions()
{
    return kActions;
}

const TjukeboxActionSpec *FindJukeboxAction(const char *name)
{
    for (const TjukeboxActionSpec &action : kActions) {
        if (std::strcmp(action.name, name) == 0)
            return &action;
    }
    return nullptr;
}

std::span<const TtoggleCaptionSpec> JukeboxToggleCaptions()
{
    return kToggleCaptions;
}
