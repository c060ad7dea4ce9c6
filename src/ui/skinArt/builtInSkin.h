#pragma once

#include <QAnyStringView>
#include <QImage>

// The built-in skin: the pictures the main window is drawn with when no skin
// file is chosen, compiled into the program. They are grey art for the two
// skin colours to tint (sizes and levels in builtInSkinLayout.h).

// The picture of one piece of a control's skin, by the control's name and
// the key its skin file section gives the piece: "SkinBitmap" for a button,
// "Skin" for the four-part button, "bmTopLeftButton", "bmBottomRightButton",
// "bmScroller" and "bmBackground" for a scroll bar, "bmTopLeft" ...
// "bmMiddle" for a panel, "bmTopLeft" and "bmBottomRight" for a splitter.
// A null image when the control has no such piece; 32-bit without alpha.
QImage BuiltInSkinBitmap(QAnyStringView control, QAnyStringView piece = u"SkinBitmap");

// The tree's image of the given index (0 ... 8, 16 x 16, transparent around
// the drawing); a null image for any other index.
QImage BuiltInTreeImage(int index);

// The 40 x 40 grey relief of the tip dialog, to be embossed over the dialog's
// colour (127 is its neutral level).
QImage BuiltInTipPicture();
