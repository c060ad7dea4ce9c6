#pragma once

#include <QString>

// The desktop's music folder: the one `xdg-user-dir MUSIC` names, else
// ~/Music; empty when that is no folder. xdg-user-dir names the home folder
// itself when the desktop has no music folder: that is not taken for one.
QString DesktopMusicFolder();
