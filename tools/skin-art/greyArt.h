#pragma once

#include <QImage>
#include <QPainterPath>
#include <QString>
#include <functional>
#include <map>

class QPainter;

// Drawing helpers of the skin art generator. Everything is drawn in greys
// (red, green and blue equal) so that tinting can recolour every pixel;
// anti-aliased edges between two greys stay grey.

QColor Grey(int level);
QImage GreyImage(QSize size, int level);

enum class Glyph {
    None,
    Close,
    Minimize,
    Maximize,
    Restore,
    Help,
    Menu,
    Titles,
    PlayAlbum,
    Search,
    AddAll,
    AddSelected,
    Power,
    Gear,
    MoveUp,
    MoveDown,
    MoveTo,
    Delete,
    Clear,
    Play,
    Next,
    Pause,
    Stop,
    ChevronUp,
    ChevronDown,
    ChevronLeft,
    ChevronRight,
    Plus,
    Minus,
};

// Draws a glyph filling a square box, in one grey.
void DrawGlyph(QPainter &painter, Glyph glyph, const QRectF &box, int level);
// Draws a short label in the art's bold face, vertically centred in box and
// starting at its left.
void DrawLabel(QPainter &painter, const QString &text, const QRectF &box, int level);
QFont ArtFont(int pixels, bool bold);

// How one visible frame of a button strip looks.
enum class FrameState { Up, Pressed, Checked, CheckedPressed };

// The pixels a shape covers completely, white on black. Used for masks and
// maps: a pixel on the shape's anti-aliased edge is outside, so it takes a
// shade of the colour around the face, darker than the surround where the
// face is darker: a soft edge instead of a fringe of two colours.
QImage CoveredPixels(QSize size, const QPainterPath &shape);

// A button strip: the visible frames drawn by drawFrame (each on a frame filled
// with the surround level and translated to the frame's origin), then the mask
// frame: the pixels the face covers completely white, the rest black.
QImage ButtonStrip(QSize frame, const std::vector<FrameState> &states, int surround, const QPainterPath &face,
    const std::function<void(QPainter &, FrameState)> &drawFrame);

// Cuts a picture drawn as three rows and three columns of equal pieces into
// the nine pieces of a panel, keyed by their skin file names ("bmTopLeft" ...).
std::map<QString, QImage> NinePieces(const QImage &model, int piece);
