#include "ui/controls/vorlenPanel.h"

#include "platform/raiseEvent.h"
#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"

#include <QPainter>

namespace {

// The smallest side of the picture a piece is tiled from: repeating a small
// piece from a larger picture of its copies gives the same pixels at a
// fraction of the cost per pixel.
constexpr int kMinTileSide = 128;

QBrush TileBrush(const QImage &piece)
{
    if (IsEmptyBitmap(piece))
        return QBrush();
    const int columns = (kMinTileSide + piece.width() - 1) / piece.width();
    const int rows = (kMinTileSide + piece.height() - 1) / piece.height();
    if (columns == 1 && rows == 1)
        return QBrush(piece);
    QImage tile(piece.width() * columns, piece.height() * rows, piece.format());
    QPainter painter(&tile);
    painter.fillRect(tile.rect(), QBrush(piece));
    painter.end();
    return QBrush(tile);
}

// Draws pieces as the composition needs them: placed unscaled, stretched
// into a rectangle (right and bottom exclusive), or repeated from a start
// until a limit, the last copy running past the limit.
class TpieceCanvas {
public:
    TpieceCanvas(QPainter &painter, const QImage *pieces, const QBrush *tiles)
        : m_painter(painter)
        , m_pieces(pieces)
        , m_tiles(tiles)
    {
    }

    void Draw(TpanelPiece piece, int x, int y) { m_painter.drawImage(QPoint(x, y), m_pieces[piece]); }

    void Stretch(TpanelPiece piece, int left, int top, int right, int bottom)
    {
        if (right > left && bottom > top)
            m_painter.drawImage(QRect(left, top, right - left, bottom - top), m_pieces[piece]);
    }

    // The piece at (x, y) for x = x0, x0 + width ... while x < x1, and the
    // same for every y = y0, y0 + height ... while y < y1.
    void Tile(TpanelPiece piece, int x0, int x1, int y0, int y1)
    {
        if (x1 <= x0 || y1 <= y0)
            return;
        const QImage &image = m_pieces[piece];
        const int columns = (x1 - x0 + image.width() - 1) / image.width();
        const int rows = (y1 - y0 + image.height() - 1) / image.height();
        m_painter.setBrushOrigin(x0, y0);
        m_painter.fillRect(QRect(x0, y0, columns * image.width(), rows * image.height()), m_tiles[piece]);
    }

    void TileRow(TpanelPiece piece, int y, int x0, int x1) { Tile(piece, x0, x1, y, y + 1); }
    void TileColumn(TpanelPiece piece, int x, int y0, int y1) { Tile(piece, x, x + 1, y0, y1); }

private:
    QPainter &m_painter;
    const QImage *m_pieces;
    const QBrush *m_tiles;
};

} // namespace

TvorlenPanel::TvorlenPanel(QWidget *parent)
    : QWidget(parent)
    , m_color(SystemColor(clBtnFace))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    RaiseMouseEventsOf(this);
    UpdateMargins();
}

void TvorlenPanel::SetBitmap(const QImage &value)
{
    m_bitmap = ToControlBitmap(value);
    BuildPictureCopy();
    update();
}

void TvorlenPanel::SetPiece(TpanelPiece piece, const QImage &value)
{
    m_pieces[piece] = ToControlBitmap(value);
    m_tiles[piece] = TileBrush(m_pieces[piece]);
    update();
    repaint();
}

void TvorlenPanel::SetIsSkinned(bool value)
{
    m_isSkinned = value;
    update();
    repaint();
}

void TvorlenPanel::SetStretchDraw(bool value)
{
    m_stretchDraw = value;
    update();
    repaint();
}

void TvorlenPanel::SetPanelColor(const QColor &value)
{
    m_color = value;
    BuildPictureCopy();
    update();
}

void TvorlenPanel::SetBevelInner(TBevelCut value)
{
    m_bevelInner = value;
    UpdateMargins();
    update();
}

void TvorlenPanel::SetBevelOuter(TBevelCut value)
{
    m_bevelOuter = value;
    UpdateMargins();
    update();
}

void TvorlenPanel::SetBevelWidth(int value)
{
    m_bevelWidth = qMax(value, 0);
    UpdateMargins();
    update();
}

void TvorlenPanel::SetBorderWidth(int value)
{
    m_borderWidth = qMax(value, 0);
    UpdateMargins();
    update();
}

void TvorlenPanel::UpdateMargins()
{
    int margin = m_borderWidth;
    if (m_bevelOuter != bvNone)
        margin += m_bevelWidth;
    if (m_bevelInner != bvNone)
        margin += m_bevelWidth;
    setContentsMargins(margin, margin, margin, margin);
}

void TvorlenPanel::ApplySkinColors(const QColor &panelColor)
{
    for (int index = 0; index < kPanelPieceCount; ++index) {
        QImage &piece = m_pieces[index];
        if (IsEmptyBitmap(piece))
            continue;
        TintSkinBitmap(piece, 1, panelColor);
        piece = ToControlBitmap(piece);
        m_tiles[index] = TileBrush(piece);
    }
    update();
    repaint();
}

void TvorlenPanel::BuildPictureCopy()
{
    m_pictureCopyBuilt = true;
    m_pictureCopy = QImage();
    if (IsEmptyBitmap(m_bitmap))
        return;
    QImage copy(m_bitmap.size(), QImage::Format_RGB888);
    copy.fill(ResolveColor(m_color));
    EmbossGlyph(m_bitmap, copy);
    m_pictureCopy = ToControlBitmap(copy);
}

void TvorlenPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TvorlenPanel::Paint(QPainter &painter)
{
    if (m_isSkinned) {
        if (PaintSkinned(painter))
            return;
        m_isSkinned = false;
        update();
    }
    PaintUnskinned(painter);
}

bool TvorlenPanel::PaintSkinned(QPainter &painter)
{
    const auto has = [this](std::initializer_list<TpanelPiece> pieces) {
        for (const TpanelPiece piece : pieces) {
            if (IsEmptyBitmap(m_pieces[piece]))
                return false;
        }
        return true;
    };
    const QImage &tl = m_pieces[ppTopLeft];
    const QImage &tc = m_pieces[ppTopCenter];
    const QImage &tr = m_pieces[ppTopRight];
    const QImage &lc = m_pieces[ppLeftCenter];
    const QImage &m = m_pieces[ppMiddle];
    const QImage &rc = m_pieces[ppRightCenter];
    const QImage &bl = m_pieces[ppBottomLeft];
    const QImage &bc = m_pieces[ppBottomCenter];
    const QImage &br = m_pieces[ppBottomRight];
    const int w = width();
    const int h = height();
    const bool stretch = m_stretchDraw;
    TpieceCanvas canvas(painter, m_pieces, m_tiles);

    const auto topEdge = [&] {
        canvas.Draw(ppTopLeft, 0, 0);
        if (stretch)
            canvas.Stretch(ppTopCenter, tl.width(), 0, w - tr.width(), tc.height());
        else
            canvas.TileRow(ppTopCenter, 0, tl.width(), w - tr.width());
        canvas.Draw(ppTopRight, w - tr.width(), 0);
    };

    const bool all = has({ ppTopLeft, ppBottomLeft, ppTopRight, ppBottomRight, ppTopCenter, ppBottomCenter,
        ppLeftCenter, ppRightCenter, ppMiddle });
    const bool topStrip = has({ ppTopLeft, ppTopCenter, ppTopRight });
    const bool leftColumn = has({ ppTopLeft, ppLeftCenter, ppBottomLeft });
    const bool band = has({ ppTopCenter, ppMiddle, ppBottomCenter });
    if (!all && !topStrip && !leftColumn && !band && !has({ ppTopLeft }) && !has({ ppTopCenter })
        && !has({ ppLeftCenter }))
        return false;

    // With bands of matching heights the nine pieces cover every pixel, and
    // the panel colour under them would only cost a full-size fill.
    const bool covered = all && tl.height() == tc.height() && tc.height() == tr.height() && bl.height() == bc.height()
        && bc.height() == br.height() && (stretch || (lc.height() >= rc.height() && m.height() >= rc.height()));
    if (!covered)
        painter.fillRect(rect(), ResolveColor(m_color));
    if (all) {
        topEdge();
        const int y0 = tr.height();
        if (stretch) {
            canvas.Stretch(ppLeftCenter, 0, y0, lc.width(), h - bl.height());
            canvas.Stretch(ppMiddle, lc.width(), y0, w - rc.width(), h - bl.height());
            canvas.Stretch(ppRightCenter, w - rc.width(), y0, w, h - br.height());
        } else if (m.height() == rc.height()) {
            // Rows as high as the middle piece: one fill gives the same
            // picture as a middle row per row, at a fraction of the cost.
            canvas.Tile(ppMiddle, lc.width(), w - rc.width(), y0, h - br.height());
            for (int y = y0; y < h - br.height(); y += rc.height()) {
                canvas.Draw(ppLeftCenter, 0, y);
                canvas.Draw(ppRightCenter, w - rc.width(), y);
            }
        } else {
            for (int y = y0; y < h - br.height(); y += rc.height()) {
                canvas.Draw(ppLeftCenter, 0, y);
                canvas.TileRow(ppMiddle, y, lc.width(), w - rc.width());
                canvas.Draw(ppRightCenter, w - rc.width(), y);
            }
        }
        const int y1 = h - br.height();
        canvas.Draw(ppBottomLeft, 0, y1);
        if (stretch)
            canvas.Stretch(ppBottomCenter, bl.width(), y1, w - br.width(), h);
        else
            canvas.TileRow(ppBottomCenter, y1, bl.width(), w - br.width());
        canvas.Draw(ppBottomRight, w - br.width(), y1);
    } else if (topStrip) {
        topEdge();
    } else if (leftColumn) {
        canvas.Draw(ppTopLeft, 0, 0);
        if (stretch)
            canvas.Stretch(ppLeftCenter, 0, tl.height(), lc.width(), h - bl.height());
        else
            canvas.TileColumn(ppLeftCenter, 0, tl.height(), h - bl.height());
        canvas.Draw(ppBottomLeft, 0, h - bl.height());
    } else if (band) {
        if (stretch) {
            canvas.Stretch(ppTopCenter, 0, 0, w, tc.height());
            canvas.Stretch(ppMiddle, 0, tc.height(), w, h - bc.height());
            canvas.Stretch(ppBottomCenter, 0, h - bc.height(), w, h);
        } else {
            canvas.TileRow(ppTopCenter, 0, 0, w);
            canvas.Tile(ppMiddle, 0, w, tc.height(), h - bc.height());
            canvas.TileRow(ppBottomCenter, h - bc.height(), 0, w);
        }
    } else if (has({ ppTopLeft, ppTopCenter })) {
        canvas.Draw(ppTopLeft, 0, 0);
        if (stretch)
            canvas.Stretch(ppTopCenter, tl.width(), 0, w, tc.height());
        else
            canvas.TileRow(ppTopCenter, 0, tl.width(), w);
    } else if (has({ ppTopLeft })) {
        canvas.Draw(ppTopLeft, 0, 0);
    } else if (has({ ppTopCenter })) {
        if (stretch)
            canvas.Stretch(ppTopCenter, 0, 0, w, tc.height());
        else
            canvas.TileRow(ppTopCenter, 0, 0, w);
    } else {
        if (stretch)
            canvas.Stretch(ppLeftCenter, 0, 0, lc.width(), h);
        else
            canvas.TileColumn(ppLeftCenter, 0, 0, h);
    }
    return true;
}

void TvorlenPanel::PaintUnskinned(QPainter &painter)
{
    if (!m_pictureCopyBuilt)
        BuildPictureCopy();
    const QColor face = ResolveColor(m_color);
    const QRect client = rect();
    painter.fillRect(client, face);
    if (m_bevelOuter == bvLowered || m_bevelOuter == bvRaised)
        DrawBevel(painter, client, face, m_bevelOuter == bvLowered, m_bevelWidth);
    if (m_bevelInner == bvLowered || m_bevelInner == bvRaised) {
        const QRect inner = client.adjusted(m_bevelWidth, m_bevelWidth, -m_bevelWidth, -m_bevelWidth);
        DrawBevel(painter, inner, face, m_bevelInner == bvLowered, m_bevelWidth);
    }
    if (!m_pictureCopy.isNull()) {
        painter.drawImage(QPoint(int(RoundDiv(width() - m_pictureCopy.width(), 2)),
                              int(RoundDiv(height() - m_pictureCopy.height(), 2))),
            m_pictureCopy);
    }
}

void TvorlenPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RaiseEvent(OnResize, this);
}

void FitPanelToSkin(TvorlenPanel &panel)
{
    const bool topLeft = !IsEmptyBitmap(panel.BitmapTopLeft());
    const bool topCenter = !IsEmptyBitmap(panel.BitmapTopCenter());
    const bool leftCenter = !IsEmptyBitmap(panel.BitmapLeftCenter());
    if (topLeft && topCenter && !leftCenter)
        panel.resize(panel.width(), panel.BitmapTopLeft().height());
    else if (topLeft && leftCenter && !topCenter)
        panel.resize(panel.BitmapLeftCenter().width(), panel.height());
    else if (!topLeft && leftCenter)
        panel.resize(panel.BitmapLeftCenter().width(), panel.height());
    else if (!topLeft && topCenter)
        panel.resize(panel.width(), panel.BitmapTopCenter().height());
}
