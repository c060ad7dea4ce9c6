#pragma once

#include <span>

// One command of the jukebox window: its action name, the caption and hint
// it is designed with, and its key ("" for a command reached only through
// menus and buttons; alternatives are separated by "; ", as QKeySequence
// reads them: help comes by Ctrl+H and by the help key F1). The keys are the
// jukebox's remote-control interface:
// remote-control programs send them to the window, so they never change.
struct TjukeboxActionSpec {
    const char *name;
    const char *caption;
    const char *key;
    const char *hint;
};

// Every command of the jukebox window, in the order of its action list.
std::span<const TjukeboxActionSpec> JukeboxActions();

// The spec of the action of that name; null for any other name.
const TjukeboxActionSpec *FindJukeboxAction(const char *name);

// A command whose caption says what it will do next: the caption while the
// thing it switches is shown or on, and the caption otherwise.
struct TtoggleCaptionSpec {
    const char *name;
    const char *captionWhenOn;
    const char *captionWhenOff;
};

std::span<const TtoggleCaptionSpec> JukeboxToggleCaptions();
