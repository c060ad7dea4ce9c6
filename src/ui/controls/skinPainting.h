#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

class QPainter;

// True for a bitmap with no pixels.
bool IsEmptyBitmap(const QImage &bitmap);

// The copy a control keeps of an assigned bitmap: 32-bit RGB, the format the
// screen paints fastest. Empty stays empty.
QImage ToControlBitmap(const QImage &bitmap);

// A gradient bevel of width rings around rect, lighter at the top left when
// raised, darker when sunken, and the face inside it filled with face. A
// width of 0 fills the face only.
void DrawBevel(QPainter &painter, const QRect &rect, const QColor &face, bool sunken, int width);

// Shades target with the grey relief picture source, pixel by pixel over
// their common size: grey 127 keeps the target pixel, darker greys darken it
// (0 gives black), lighter greys lighten it (255 gives white); pixels of
// source that are not grey are copied. target becomes 24-bit.
void EmbossGlyph(const QImage &source, QImage &target);

// One channel of grey level `level` tinted with `channel`: 128 gives the
// channel itself, 0 black and 255 white.
int TintChannel(int level, int channel);
// The colour of grey level `level` tinted with color.
QColor TintColor(int level, const QColor &color);

// Recolours the grey pixels of a skin strip of frameCount equal frames in
// place (the bitmap becomes 24-bit): with one frame every grey pixel takes
// shades of color; otherwise the last frame is a mask that is left alone,
// and each grey pixel takes shades of color where its mask pixel has one of
// maskColors and of otherColor elsewhere. Pixels that are not grey keep
// their colour, so a tinted strip tints no further. A strip narrower than
// its frame count stays as it is.
void TintSkinBitmap(QImage &bitmap, int frameCount, const QColor &color, const QList<QColor> &maskColors = {},
    const QColor &otherColor = QColor());
