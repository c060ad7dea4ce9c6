#pragma once

// Lets pending events run, so that a window keeps painting while it waits or
// follows a long operation. For the windows only: the core, the library and
// playback never call it, as the guests' server, D-Bus and the folder watch
// share the GUI thread's loop and would re-enter an operation half done.
void ProcessPendingEvents();
