#pragma once

#include <span>

// The commands of the jukebox window, in the order of its action list.
enum TjukeboxCommand {
    jcPlay,
    jcPause,
    jcSkip,
    jcStop,
    jcVolumeUp,
    jcVolumeDown,
    jcAddSelectedSongs,
    jcAddAllSongs,
    jcQueueCD,
    jcQueueMoveUp,
    jcQueueMoveDown,
    jcQueueMoveTo,
    jcQueueDelete,
    jcQueueClear,
    jcQueueFile,
    jcRefreshCDs,
    jcScanFolders,
    jcExit,
    jcMinimize,
    jcFullScreen,
    jcToggleList,
    jcToggleMenu,
    jcShowHideSongScroller,
    jcShowHideStacker,
    jcQueueControlToggle,
    jcToggleQueueDetails,
    jcStackerPower,
    jcStackerConfig,
    jcToggleVis,
    jcConfigureVis,
    jcSongSearch,
    jcEditMusicFolders,
    jcEditCrossFader,
    jcEditGeneral,
    jcSetAlarms,
    jcSkins,
    jcShowPlaylist,
    jcShowPlaylistEditor,
    jcSetPlaylists,
    jcPlaylistRules,
    jcDeactivatePlaylists,
    jcShowTips,
    jcHelp,
    jcAbout,
    jcCommandCount
};

// One command of the jukebox window: its action name, the caption and hint
// it is designed with, and its key ("" for a command reached only through
// menus and buttons; alternatives are separated by "; ", as QKeySequence
// reads them: help comes by Ctrl+H and by the help key F1). The keys are the
// jukebox's remote-control interface: remote-control programs send them to
// the window, so they never change.
struct TjukeboxActionSpec {
    TjukeboxCommand command;
    const char *name;
    const char *caption;
    const char *key;
    const char *hint;
};

// Every command of the jukebox window, in the order of its action list (the
// order of TjukeboxCommand).
std::span<const TjukeboxActionSpec> JukeboxActions();
const TjukeboxActionSpec &JukeboxAction(TjukeboxCommand command);

// A command whose caption says what it will do next: the caption while the
// thing it switches is shown or on, and the caption otherwise.
struct TtoggleCaptionSpec {
    TjukeboxCommand command;
    const char *captionWhenOn;
    const char *captionWhenOff;
};

std::span<const TtoggleCaptionSpec> JukeboxToggleCaptions();
// The toggle caption spec of a command; null for a command that is no toggle.
const TtoggleCaptionSpec *JukeboxToggleCaption(TjukeboxCommand command);
