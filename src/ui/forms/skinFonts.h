#pragma once

#include "ui/controls/skinKeys.h"

class TrecordListView;
struct TtreeFont;

// Skin fonts of the jukebox's lists, whose text colours are not the
// palette's (see ControlSkinFont for the other controls).

// The core keeps the tree's two fonts as plain values (typeface, points,
// bold, colour). A tree font has no italic: it is lost on the way in.
TskinFont SkinFontOfTreeFont(const TtreeFont &font);
TtreeFont TreeFontOfSkinFont(const TskinFont &font);

// A list box's font with the colour its rows are written in.
TskinFont ListSkinFont(const TrecordListView &list);
void SetListSkinFont(TrecordListView &list, const TskinFont &font);
