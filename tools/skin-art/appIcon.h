#pragma once

#include <QImage>

// The program's icon as the desktop shows it in menus, docks and task bars: a
// jukebox cabinet under a glowing arch with a record behind its glass. Drawn
// in colour (unlike the skin, it is never tinted) on a transparent ground, with
// less detail the smaller it gets so that it stays crisp at 16 pixels.
QImage DrawAppIcon(int size);
