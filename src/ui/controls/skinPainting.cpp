#include "ui/controls/skinPainting.h"

#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <vector>

namespace {

QColor Lighten(const QColor &color, int percent)
{
    const auto channel = [percent](int x) { return x + int(RoundDiv(qint64(255 - x) * percent, 100)); };
    return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

QColor Darken(const QColor &color, int percent)
{
    const auto channel = [percent](int x) { return x - int(RoundDiv(qint64(x) * percent, 100)); };
    return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

// A horizontal or vertical line from (x0, y0) towards (x1, y1) without its end
// point, in either direction, as the screen's line drawing does it.
void DrawLine(QPainter &painter, int x0, int y0, int x1, int y1, const QColor &color)
{
    if (x0 == x1) {
        if (y1 > y0)
            painter.fillRect(QRect(x0, y0, 1, y1 - y0), color);
        else if (y1 < y0)
            painter.fillRect(QRect(x0, y1 + 1, 1, y0 - y1), color);
    } else if (y0 == y1) {
        if (x1 > x0)
            painter.fillRect(QRect(x0, y0, x1 - x0, 1), color);
        else
            painter.fillRect(QRect(x1 + 1, y0, x0 - x1, 1), color);
    }
}

// The tint of every grey level with one colour, as packed 24-bit pixels.
using TintTable = std::array<std::array<uchar, 3>, 256>;

TintTable MakeTintTable(const QColor &color)
{
    const QRgb rgb = ResolveColor(color).rgb();
    TintTable table;
    for (int level = 0; level < 256; ++level)
        table[level] = { uchar(TintChannel(level, qRed(rgb))), uchar(TintChannel(level, qGreen(rgb))),
            uchar(TintChannel(level, qBlue(rgb))) };
    return table;
}

} // namespace

bool IsEmptyBitmap(const QImage &bitmap)
{
    return bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0;
}

QImage ToControlBitmap(const QImage &bitmap)
{
    if (IsEmptyBitmap(bitmap))
        return QImage();
    return bitmap.convertToFormat(QImage::Format_RGB32);
}

void DrawBevel(QPainter &painter, const QRect &rect, const QColor &face, bool sunken, int width)
{
    const QColor f = ResolveColor(face);
    const int left = rect.left();
    const int top = rect.top();
    const int w = rect.width();
    const int h = rect.height();
    const int n = width;
    for (int ring = 1; ring <= n; ++ring) {
        const QColor first = sunken ? Darken(f, int(RoundDiv(90 * ring, n))) : Lighten(f, int(RoundDiv(50 * ring, n)));
        const QColor second = sunken ? Darken(Lighten(f, 30), int(RoundDiv(50 * ring, n)))
                                     : Darken(f, int(RoundDiv(90 * (n + 1 - ring), n)));
        DrawLine(painter, left + ring - 1, top + h - ring, left + ring - 1, top + ring - 2, first);
        DrawLine(painter, left + ring - 1, top + ring - 1, left + w - ring + 1, top + ring - 1, first);
        DrawLine(painter, left + w - ring, top + ring - 1, left + w - ring, top + h - ring + 1, second);
        DrawLine(painter, left + w - ring, top + h - ring, left + ring - 1, top + h - ring, second);
    }
    const int faceWidth = w - 2 * qMax(n, 0);
    const int faceHeight = h - 2 * qMax(n, 0);
    if (faceWidth > 0 && faceHeight > 0)
        painter.fillRect(QRect(left + qMax(n, 0), top + qMax(n, 0), faceWidth, faceHeight), f);
}

void EmbossGlyph(const QImage &source, QImage &target)
{
    if (IsEmptyBitmap(source) || IsEmptyBitmap(target))
        return;
    const QImage relief = source.convertToFormat(QImage::Format_RGB888);
    if (target.format() != QImage::Format_RGB888)
        target = target.convertToFormat(QImage::Format_RGB888);
    const int width = qMin(relief.width(), target.width());
    const int height = qMin(relief.height(), target.height());
    for (int y = 0; y < height; ++y) {
        const uchar *from = relief.constScanLine(y);
        uchar *to = target.scanLine(y);
        for (int x = 0; x < width; ++x, from += 3, to += 3) {
            const int level = from[0];
            if (from[1] != level || from[2] != level) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            } else if (level < 127) {
                for (int c = 0; c < 3; ++c)
                    to[c] = uchar(to[c] - RoundDiv(qint64(to[c]) * (127 - level), 127));
            } else if (level > 127) {
                for (int c = 0; c < 3; ++c)
                    to[c] = uchar(
                        qBound(qint64(0), to[c] + RoundDiv(qint64(255 - to[c]) * (level - 127), 128), qint64(255)));
            }
        }
    }
}

int TintChannel(int level, int channel)
{
    if (level < 128)
        return channel - int(RoundDiv(qint64(channel) * (128 - level), 128));
    if (level > 128)
        return channel + int(RoundDiv(qint64(255 - channel) * (level - 128), 127));
    return channel;
}

QColor TintColor(int level, const QColor &color)
{
    const QColor c = ResolveColor(color);
    return QColor(TintChannel(level, c.red()), TintChannel(level, c.green()), TintChannel(level, c.blue()));
}

void TintSkinBitmap(
    QImage &bitmap, int frameCount, const QColor &color, const QList<QColor> &maskColors, const QColor &otherColor)
{
    if (IsEmptyBitmap(bitmap) || frameCount <= 0)
        return;
    const int frameWidth = bitmap.width() / frameCount;
    if (frameWidth == 0)
        return;
    QImage work = bitmap.convertToFormat(QImage::Format_RGB888);
    const int columns = frameCount == 1 ? work.width() : frameWidth * (frameCount - 1);
    const int maskLeft = frameWidth * (frameCount - 1);
    const TintTable colorTable = MakeTintTable(color);
    const TintTable otherTable = frameCount == 1 ? colorTable : MakeTintTable(otherColor);
    std::vector<QRgb> maskRgb;
    for (const QColor &mask : maskColors)
        maskRgb.push_back(ResolveColor(mask).rgb());
    // Per row: whether each mask column selects the colour.
    std::vector<char> selectsColor(frameCount == 1 ? 0 : frameWidth);
    for (int y = 0; y < work.height(); ++y) {
        uchar *line = work.scanLine(y);
        if (frameCount > 1) {
            const uchar *mask = line + maskLeft * 3;
            for (int x = 0; x < frameWidth; ++x, mask += 3) {
                const QRgb rgb = qRgb(mask[0], mask[1], mask[2]);
                selectsColor[x] = std::find(maskRgb.begin(), maskRgb.end(), rgb) != maskRgb.end();
            }
        }
        uchar *pixel = line;
        for (int x = 0, frameX = 0; x < columns; ++x, pixel += 3) {
            const int level = pixel[0];
            if (pixel[1] == level && pixel[2] == level) {
                const TintTable &table = frameCount == 1 || selectsColor[frameX] ? colorTable : otherTable;
                pixel[0] = table[level][0];
                pixel[1] = table[level][1];
                pixel[2] = table[level][2];
            }
            if (++frameX == frameWidth)
                frameX = 0;
        }
    }
    bitmap = work;
}
