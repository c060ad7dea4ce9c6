#pragma once

#include <memory>

class TappUserInterface;
class TdmMain;
class TfrmJukebox;
struct TjukeboxWindowsPrivate;

// Every window of the jukebox besides the main one, made once when the core
// exists, in the order the program has always made them, and hooked to the
// core's requests and the main window's commands. They live until the
// program ends; destroyed before the core.
//
// GUI thread only.
class TjukeboxWindows {
public:
    TjukeboxWindows(TfrmJukebox &mainWindow, TdmMain &core, TappUserInterface &ui);
    ~TjukeboxWindows();
    TjukeboxWindows(const TjukeboxWindows &) = delete;
    TjukeboxWindows &operator=(const TjukeboxWindows &) = delete;

private:
    std::unique_ptr<TjukeboxWindowsPrivate> d;
};
