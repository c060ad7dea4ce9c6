#pragma once

#include "library/treeNodes.h"

#include <QBrush>
#include <QCache>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPen>

// Draws the rows of the jukebox's library tree, every pixel its own: the
// dotted lines joining a node to its parent and siblings, the box with a
// minus or plus of a node with children, the node's picture, its text and
// the counts after it (treeNodeLook.h).
//
// A row is drawn into one off-screen row picture the size of the row and
// then copied onto the tree, so it never flickers. The picture is made anew
// only when the row size changes; the texts of the nodes drawn lately are
// kept laid out, so drawing a row drawn before allocates nothing.
//
// Row geometry, with the indent of 19 pixels and a node's level L (0 for the
// letter nodes): x0 = (L - 1) * 19; the node's centre is (x0 + 9, row height
// / 2). The letter nodes' lines and boxes therefore lie left of the tree, as
// in a tree that draws no lines at its root. Dotted lines light every pixel
// at an even position of the row picture; rows are an even number of pixels
// high, so the lines of consecutive rows join up.
//
// GUI thread only.
class TtreeRowPainter {
public:
    static constexpr int kIndent = 19;
    static constexpr int kBoxSize = 9;

    explicit TtreeRowPainter(const TtreeNodes &nodes);

    const QFont &TreeFont() const { return m_treeFont; }
    const QColor &TreeFontColor() const { return m_treeColor; }
    void SetTreeFont(const QFont &font, const QColor &color);
    const QFont &DetailFont() const { return m_detailFont; }
    const QColor &DetailFontColor() const { return m_detailColor; }
    void SetDetailFont(const QFont &font, const QColor &color);
    // The nine node pictures, by TreeNodeImageIndex.
    void SetImages(const QList<QImage> &images);
    const QImage &Image(int index) const;
    const QColor &Color() const { return m_background; }
    void SetColors(const QColor &background, const QColor &highlight, const QColor &highlightText);
    // Letter nodes count tracks rather than artists.
    void SetByTitle(bool value);
    // The nodes' texts or counts changed (a refill).
    void ForgetTexts();

    int RowHeight() const { return m_rowHeight; }
    // Left edge of the node's picture and of its text, in row coordinates.
    int ImageLeft(TtreeNode node) const;
    int TextLeft(TtreeNode node) const;

    // Draws the node's row onto target at row (the whole row, from the
    // tree's left edge).
    void PaintRow(QPainter &target, const QRect &row, TtreeNode node);

private:
    struct Texts {
        QList<QGlyphRun> text;
        int textWidth = 0;
        QList<QGlyphRun> note;
        // How far below its origin each laid-out text puts its baseline.
        qreal textAscent = 0;
        qreal noteAscent = 0;
    };

    const Texts &TextsOf(TtreeNode node);
    void UpdateRowHeight();
    void MakeRowPicture(const QSize &size);
    void DrawNode(TtreeNode node);
    void DottedHorizontal(int y, int fromX, int toX);
    void DottedVertical(int x, int fromY, int toY);

    const TtreeNodes &m_nodes;
    QFont m_treeFont;
    QColor m_treeColor;
    QFont m_detailFont;
    QColor m_detailColor;
    QList<QImage> m_images;
    QImage m_noImage;
    QColor m_background;
    QColor m_highlight;
    QColor m_highlightText;
    bool m_byTitle = false;

    // Pens and brushes made once: making them while drawing would allocate.
    QPen m_treePen;
    // The tree's ink for what is out of reach (see OutOfReach).
    QPen m_greyedPen;
    QPen m_detailPen;
    QPen m_highlightTextPen;
    QBrush m_backgroundBrush;
    QBrush m_highlightBrush;
    QBrush m_treeInkBrush;
    QRgb m_lineRgb = 0;
    int m_rowHeight = 0;
    int m_treeHeight = 0;

    QCache<qint32, Texts> m_texts;
    // The painter stays open on the row picture between rows (opening one
    // allocates); it is declared after the picture so it ends first.
    QImage m_row;
    QPainter m_rowPainter;
};
