#pragma once

#include "library/stringList.h"

#include <QColor>

// Whether a row of a list or of the tree stands for music out of reach for
// now: a track whose file is unavailable (its drive is away, its share
// dropped), or an album or artist all of whose tracks are. Such rows are
// drawn greyed; the player passes their tracks by.
bool OutOfReach(const TlistObject &object);

// The ink of a greyed row: halfway between the row's ink and its background.
QColor GreyedInk(const QColor &ink, const QColor &background);
