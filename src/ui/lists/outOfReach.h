#pragma once

#include "library/stringList.h"
#include "library/treeNodes.h"

#include <QColor>

// Whether a row of a list or of the tree stands for music out of reach for
// now: a track whose file is unavailable (its drive is away, its share
// dropped), or an album or artist all of whose tracks are. Such rows are
// drawn greyed; the player passes their tracks by.
bool OutOfReach(const TlistObject &object);
// Whether a node of the tree stands for music out of reach: its object is
// (above), or, for a letter node, which stands for no object of its own,
// every node under it is. A letter with nothing under it is not greyed.
bool OutOfReach(const TtreeNodes &nodes, TtreeNode node);

// The ink of a greyed row: halfway between the row's ink and its background.
QColor GreyedInk(const QColor &ink, const QColor &background);
