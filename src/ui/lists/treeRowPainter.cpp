#include "ui/lists/treeRowPainter.h"

#include "ui/lists/outOfReach.h"
#include "ui/lists/treeNodeLook.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <cmath>

namespace {

// Enough laid-out rows for several screens of the tallest window.
constexpr int kKeptTexts = 2048;
constexpr int kNodeImages = 9;
constexpr int kImageGap = 4;
constexpr int kTextGap = 3;

struct LaidOut {
    QList<QGlyphRun> runs;
    qreal width = 0;
    qreal ascent = 0;
};

LaidOut LayOut(const QString &text, const QFont &font)
{
    LaidOut result;
    result.ascent = QFontMetricsF(font).ascent();
    if (text.isEmpty())
        return result;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    result.runs = layout.glyphRuns();
    result.width = line.naturalTextWidth();
    result.ascent = line.ascent();
    return result;
}

} // namespace

TtreeRowPainter::TtreeRowPainter(const TtreeNodes &nodes)
    : m_nodes(nodes)
    , m_texts(kKeptTexts)
{
    m_noImage = QImage(16, 16, QImage::Format_ARGB32_Premultiplied);
    m_noImage.fill(Qt::transparent);
    UpdateRowHeight();
}

void TtreeRowPainter::SetTreeFont(const QFont &font, const QColor &color)
{
    m_treeFont = font;
    m_treeColor = color;
    m_treePen = QPen(color);
    m_greyedPen = QPen(GreyedInk(color, m_background));
    m_treeInkBrush = QBrush(color);
    ForgetTexts();
    UpdateRowHeight();
}

void TtreeRowPainter::SetDetailFont(const QFont &font, const QColor &color)
{
    m_detailFont = font;
    m_detailColor = color;
    m_detailPen = QPen(color);
    ForgetTexts();
}

void TtreeRowPainter::SetImages(const QList<QImage> &images)
{
    m_images.clear();
    for (const QImage &image : images)
        m_images.append(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    UpdateRowHeight();
}

const QImage &TtreeRowPainter::Image(int index) const
{
    if (index < 0 || index >= m_images.size() || m_images[index].isNull())
        return m_noImage;
    return m_images[index];
}

void TtreeRowPainter::SetColors(const QColor &background, const QColor &highlight, const QColor &highlightText)
{
    m_background = background;
    m_highlight = highlight;
    m_highlightText = highlightText;
    m_backgroundBrush = QBrush(background);
    m_greyedPen = QPen(GreyedInk(m_treeColor, background));
    m_highlightBrush = QBrush(highlight);
    m_highlightTextPen = QPen(highlightText);
    m_lineRgb = highlight.rgb();
}

void TtreeRowPainter::SetByTitle(bool value)
{
    if (m_byTitle == value)
        return;
    m_byTitle = value;
    ForgetTexts();
}

void TtreeRowPainter::ForgetTexts()
{
    m_texts.clear();
}

void TtreeRowPainter::UpdateRowHeight()
{
    const QFontMetrics metrics(m_treeFont);
    m_treeHeight = metrics.height();
    int imageHeight = 0;
    for (int i = 0; i < kNodeImages; ++i)
        imageHeight = std::max(imageHeight, Image(i).height());
    const int height = std::max(m_treeHeight, imageHeight) + 2;
    m_rowHeight = height + (height & 1);
}

int TtreeRowPainter::ImageLeft(TtreeNode node) const
{
    const int x0 = (m_nodes.Level(node) - 1) * kIndent;
    return x0 + kIndent + kImageGap;
}

int TtreeRowPainter::TextLeft(TtreeNode node) const
{
    return ImageLeft(node) + Image(TreeNodeImageIndex(m_nodes, node)).width() + kTextGap;
}

const TtreeRowPainter::Texts &TtreeRowPainter::TextsOf(TtreeNode node)
{
    if (const Texts *texts = m_texts.object(node.Index()))
        return *texts;
    auto *texts = new Texts;
    const LaidOut text = LayOut(m_nodes.Text(node), m_treeFont);
    texts->text = text.runs;
    texts->textWidth = int(std::ceil(text.width));
    texts->textAscent = text.ascent;
    const LaidOut note = LayOut(TreeNodeAnnotation(m_nodes, node, m_byTitle), m_detailFont);
    texts->note = note.runs;
    texts->noteAscent = note.ascent;
    m_texts.insert(node.Index(), texts);
    return *texts;
}

void TtreeRowPainter::PaintRow(QPainter &target, const QRect &row, TtreeNode node)
{
    if (m_row.size() != row.size())
        MakeRowPicture(row.size());
    if (m_row.isNull())
        return;
    DrawNode(node);
    target.drawImage(row.topLeft(), m_row);
}

void TtreeRowPainter::MakeRowPicture(const QSize &size)
{
    if (m_rowPainter.isActive())
        m_rowPainter.end();
    m_row = QImage();
    if (size.isEmpty())
        return;
    m_row = QImage(size, QImage::Format_RGB32);
    m_rowPainter.begin(&m_row);
}

void TtreeRowPainter::DrawNode(TtreeNode node)
{
    const int height = m_row.height();
    const bool selected = m_nodes.Selected() == node;
    m_rowPainter.fillRect(m_row.rect(), m_backgroundBrush);

    const int x0 = (m_nodes.Level(node) - 1) * kIndent;
    const int centreX = x0 + kIndent / 2;
    const int centreY = height / 2;
    const bool hasChildren = m_nodes.HasChildren(node);
    const TtreeNode parent = m_nodes.Parent(node);
    if (parent.IsValid())
        DottedHorizontal(centreY, hasChildren ? centreX + 4 : centreX, x0 + kIndent);
    DottedVertical(centreX, -1, centreY);
    if (m_nodes.HasNextSibling(node))
        DottedVertical(centreX, centreY, height + 1);
    int ancestorX = centreX - kIndent;
    for (TtreeNode ancestor = parent; ancestor.IsValid(); ancestor = m_nodes.Parent(ancestor)) {
        if (m_nodes.HasNextSibling(ancestor))
            DottedVertical(ancestorX, -1, height + 1);
        ancestorX -= kIndent;
    }

    if (hasChildren) {
        const int half = kBoxSize / 2;
        m_rowPainter.fillRect(QRect(centreX - half, centreY - half, kBoxSize, kBoxSize), m_highlightBrush);
        m_rowPainter.fillRect(QRect(centreX - 2, centreY, 5, 1), m_treeInkBrush);
        if (!m_nodes.Expanded(node))
            m_rowPainter.fillRect(QRect(centreX, centreY - 2, 1, 5), m_treeInkBrush);
    }

    const QImage &image = Image(TreeNodeImageIndex(m_nodes, node));
    const int imageLeft = x0 + kIndent + kImageGap;
    m_rowPainter.drawImage(QPoint(imageLeft, (height - image.height()) / 2), image);

    const Texts &texts = TextsOf(node);
    const int textLeft = imageLeft + image.width() + kTextGap;
    if (selected)
        m_rowPainter.fillRect(QRect(textLeft, 0, texts.textWidth, m_treeHeight), m_highlightBrush);
    // The text hangs from the row's top; the counts stand on its baseline,
    // the foot of a "W" in the tree font. The baseline is a whole pixel, so
    // both texts sit on the same row of pixels.
    const int baseline = int(std::lround(texts.textAscent));
    m_rowPainter.setPen(selected ? m_highlightTextPen : OutOfReach(m_nodes, node) ? m_greyedPen : m_treePen);
    for (const QGlyphRun &run : texts.text)
        m_rowPainter.drawGlyphRun(QPointF(textLeft, baseline - texts.textAscent), run);
    m_rowPainter.setPen(m_detailPen);
    const QPointF noteOrigin(textLeft + texts.textWidth, baseline - texts.noteAscent);
    for (const QGlyphRun &run : texts.note)
        m_rowPainter.drawGlyphRun(noteOrigin, run);
}

void TtreeRowPainter::DottedHorizontal(int y, int fromX, int toX)
{
    if (y < 0 || y >= m_row.height())
        return;
    auto *line = reinterpret_cast<QRgb *>(m_row.scanLine(y));
    for (int x = std::max(fromX + (fromX & 1), 0); x < std::min(toX, m_row.width()); x += 2)
        line[x] = m_lineRgb;
}

void TtreeRowPainter::DottedVertical(int x, int fromY, int toY)
{
    if (x < 0 || x >= m_row.width())
        return;
    for (int y = std::max(fromY + (fromY & 1), 0); y < std::min(toY, m_row.height()); y += 2)
        reinterpret_cast<QRgb *>(m_row.scanLine(y))[x] = m_lineRgb;
}
