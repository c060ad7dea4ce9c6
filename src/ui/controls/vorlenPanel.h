#pragma once

#include "ui/controls/controlEvents.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QWidget>

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// The nine pieces of a skinned panel, in the order the panel lists them.
enum TpanelPiece {
    ppTopLeft,
    ppBottomLeft,
    ppTopRight,
    ppBottomRight,
    ppTopCenter,
    ppBottomCenter,
    ppLeftCenter,
    ppRightCenter,
    ppMiddle,
};
constexpr int kPanelPieceCount = 9;

// A container panel. Skinned, it composes up to nine pieces (corners, edges,
// middle) over its colour, stretching or tiling the edges and the middle;
// the first of these sets of pieces that is complete decides the layout:
// all nine, the top strip (top left, top centre, top right), the left column
// (top left, left centre, bottom left), a full-width band (top centre,
// middle, bottom centre), top left with top centre, top left alone, top
// centre alone, left centre alone. With none of them complete the panel
// turns IsSkinned off and paints unskinned: its colour with bevels and a
// grey relief picture embossed in the middle. The caption is never painted.
//
// Children aligned with SetControlAlign dock inside the bevels and border.
//
// GUI thread only.
class TvorlenPanel : public QWidget, public TmouseEvents {
public:
    explicit TvorlenPanel(QWidget *parent = nullptr);

    // Unskinned look: the grey relief picture shaded with PanelColor.
    const QImage &Bitmap() const { return m_bitmap; }
    void SetBitmap(const QImage &value);

    const QImage &Piece(TpanelPiece piece) const { return m_pieces[piece]; }
    void SetPiece(TpanelPiece piece, const QImage &value);
    const QImage &BitmapTopLeft() const { return m_pieces[ppTopLeft]; }
    void SetBitmapTopLeft(const QImage &value) { SetPiece(ppTopLeft, value); }
    const QImage &BitmapBottomLeft() const { return m_pieces[ppBottomLeft]; }
    void SetBitmapBottomLeft(const QImage &value) { SetPiece(ppBottomLeft, value); }
    const QImage &BitmapTopRight() const { return m_pieces[ppTopRight]; }
    void SetBitmapTopRight(const QImage &value) { SetPiece(ppTopRight, value); }
    const QImage &BitmapBottomRight() const { return m_pieces[ppBottomRight]; }
    void SetBitmapBottomRight(const QImage &value) { SetPiece(ppBottomRight, value); }
    const QImage &BitmapTopCenter() const { return m_pieces[ppTopCenter]; }
    void SetBitmapTopCenter(const QImage &value) { SetPiece(ppTopCenter, value); }
    const QImage &BitmapBottomCenter() const { return m_pieces[ppBottomCenter]; }
    void SetBitmapBottomCenter(const QImage &value) { SetPiece(ppBottomCenter, value); }
    const QImage &BitmapLeftCenter() const { return m_pieces[ppLeftCenter]; }
    void SetBitmapLeftCenter(const QImage &value) { SetPiece(ppLeftCenter, value); }
    const QImage &BitmapRightCenter() const { return m_pieces[ppRightCenter]; }
    void SetBitmapRightCenter(const QImage &value) { SetPiece(ppRightCenter, value); }
    const QImage &BitmapMiddle() const { return m_pieces[ppMiddle]; }
    void SetBitmapMiddle(const QImage &value) { SetPiece(ppMiddle, value); }

    // Setting a piece, IsSkinned or StretchDraw repaints at once.
    bool IsSkinned() const { return m_isSkinned; }
    void SetIsSkinned(bool value);
    bool StretchDraw() const { return m_stretchDraw; }
    void SetStretchDraw(bool value);
    const QColor &PanelColor() const { return m_color; }
    void SetPanelColor(const QColor &value);
    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &value) { SetPanelColor(value); }

    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);

    // Tints every non-empty piece with panelColor and repaints.
    void ApplySkinColors(const QColor &panelColor);
    void Paint(QPainter &painter);

    TwidgetEvent OnResize;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool PaintSkinned(QPainter &painter);
    void PaintUnskinned(QPainter &painter);
    void BuildPictureCopy();
    void UpdateMargins();

    QImage m_bitmap;
    QImage m_pieces[kPanelPieceCount];
    // Each piece's texture for tiling, made once per change of the piece.
    QBrush m_tiles[kPanelPieceCount];
    bool m_isSkinned = false;
    bool m_stretchDraw = false;
    QColor m_color;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;

    // Bitmap shaded with the panel colour; rebuilt on a change of either.
    QImage m_pictureCopy;
    bool m_pictureCopyBuilt = false;
};

// Sizes a skinned panel to its pieces: a top strip without a left column
// takes the top-left piece's height, a left column without a top strip the
// left centre piece's width; without a top-left piece the panel takes the
// left centre piece's width, or else the top centre piece's height.
void FitPanelToSkin(TvorlenPanel &panel);
