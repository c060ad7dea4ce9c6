#include "greyArt.h"

#include <QPainter>
#include <cmath>

QColor Grey(int level)
{
    return QColor(level, level, level);
}

QImage GreyImage(QSize size, int level)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Grey(level));
    return image;
}

QFont ArtFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void DrawLabel(QPainter &painter, const QString &text, const QRectF &box, int level)
{
    painter.save();
    painter.setFont(ArtFont(11, true));
    painter.setPen(Grey(level));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}

namespace {

// Glyphs are drawn in a 16 x 16 design square scaled to the box.
constexpr double kDesign = 16.0;

QPen Stroke(int level, double width)
{
    QPen pen(Grey(level), width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void Lines(QPainter &painter, std::initializer_list<QLineF> lines)
{
    for (const QLineF &line : lines)
        painter.drawLine(line);
}

void DrawGear(QPainter &painter, int level)
{
    QPainterPath gear;
    const QPointF centre(8, 8);
    constexpr int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double angle = M_PI * i / teeth;
        const double outer = i % 2 == 0 ? 7.0 : 5.4;
        for (const double spread : { -0.17, 0.17 }) {
            const QPointF point = centre + QPointF(std::cos(angle + spread) * outer, std::sin(angle + spread) * outer);
            if (gear.elementCount() == 0)
                gear.moveTo(point);
            else
                gear.lineTo(point);
        }
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 2.3, 2.3);
    painter.fillPath(gear.subtracted(hole), Grey(level));
}

} // namespace

void DrawGlyph(QPainter &painter, Glyph glyph, const QRectF &box, int level)
{
    if (glyph == Glyph::None)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / kDesign, box.height() / kDesign);
    const double thin = 1.6;
    const double bold = 2.2;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Stroke(level, thin));
    const QColor ink = Grey(level);
    switch (glyph) {
    case Glyph::None:
        break;
    case Glyph::Close:
        painter.setPen(Stroke(level, bold - 0.4));
        Lines(painter, { { 4, 4, 12, 12 }, { 12, 4, 4, 12 } });
        break;
    case Glyph::Minimize:
        painter.setPen(Stroke(level, bold - 0.4));
        Lines(painter, { { 4, 11.5, 12, 11.5 } });
        break;
    case Glyph::Maximize:
        painter.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.2, 1.2);
        Lines(painter, { { 3.5, 5, 12.5, 5 } });
        break;
    case Glyph::Restore:
        painter.drawRoundedRect(QRectF(3, 6, 7, 7), 1, 1);
        painter.drawPolyline(QPolygonF({ { 6, 4 }, { 6, 3 }, { 13, 3 }, { 13, 10 }, { 12, 10 } }));
        break;
    case Glyph::Help: {
        painter.setPen(Stroke(level, bold - 0.3));
        QPainterPath question;
        question.moveTo(5, 5.8);
        question.cubicTo(5, 2.6, 11, 2.6, 11, 5.8);
        question.cubicTo(11, 8, 8, 8, 8, 10.2);
        painter.drawPath(question);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(8, 13.2), 1.25, 1.25);
        break;
    }
    case Glyph::Menu:
        painter.setPen(Stroke(level, bold - 0.4));
        Lines(painter, { { 3.5, 4.5, 12.5, 4.5 }, { 3.5, 8, 12.5, 8 }, { 3.5, 11.5, 12.5, 11.5 } });
        break;
    case Glyph::Titles:
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        for (const double y : { 3.0, 7.0, 11.0 })
            painter.drawEllipse(QPointF(3.2, y + 1), 1.3, 1.3);
        painter.setPen(Stroke(level, thin));
        Lines(painter, { { 6.5, 4, 13.5, 4 }, { 6.5, 8, 13.5, 8 }, { 6.5, 12, 11.5, 12 } });
        break;
    case Glyph::PlayAlbum: {
        QPainterPath disc;
        disc.addEllipse(QPointF(8, 8), 6.5, 6.5);
        QPainterPath hole;
        hole.addEllipse(QPointF(8, 8), 1.3, 1.3);
        painter.setPen(Stroke(level, thin - 0.2));
        painter.drawPath(disc.subtracted(hole));
        painter.fillPath(Polygon({ { 6.3, 4.9 }, { 11.4, 8 }, { 6.3, 11.1 } }), ink);
        break;
    }
    case Glyph::Search:
        painter.setPen(Stroke(level, bold - 0.2));
        painter.drawEllipse(QPointF(7, 7), 4.3, 4.3);
        Lines(painter, { { 10.3, 10.3, 13.5, 13.5 } });
        break;
    case Glyph::AddAll:
        painter.setPen(Stroke(level, thin));
        Lines(painter, { { 2.5, 4, 8.5, 4 }, { 2.5, 8, 8.5, 8 }, { 2.5, 12, 6.5, 12 } });
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 12, 7.5, 12, 14 }, { 8.75, 10.75, 15.25, 10.75 } });
        break;
    case Glyph::AddSelected:
        painter.setPen(Stroke(level, thin));
        painter.drawRoundedRect(QRectF(2, 2.5, 8, 8), 1.5, 1.5);
        Lines(painter, { { 4, 6.5, 5.6, 8.2 }, { 5.6, 8.2, 8.2, 4.6 } });
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 12, 8, 12, 14.5 }, { 8.75, 11.25, 15.25, 11.25 } });
        break;
    case Glyph::Power:
        painter.setPen(Stroke(level, bold - 0.3));
        painter.drawArc(QRectF(2.5, 3, 11, 11), 60 * 16, -300 * 16);
        Lines(painter, { { 8, 1.8, 8, 8 } });
        break;
    case Glyph::Gear:
        DrawGear(painter, level);
        break;
    case Glyph::MoveUp:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 8, 13, 8, 3.5 } });
        painter.drawPolyline(QPolygonF({ { 4, 7.5 }, { 8, 3.5 }, { 12, 7.5 } }));
        break;
    case Glyph::MoveDown:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 8, 3, 8, 12.5 } });
        painter.drawPolyline(QPolygonF({ { 4, 8.5 }, { 8, 12.5 }, { 12, 8.5 } }));
        break;
    case Glyph::MoveTo:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 2.5, 8, 10.5, 8 }, { 13.5, 3, 13.5, 13 } });
        painter.drawPolyline(QPolygonF({ { 7, 4.5 }, { 10.5, 8 }, { 7, 11.5 } }));
        break;
    case Glyph::Delete:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 3.5, 8, 12.5, 8 } });
        painter.setPen(Stroke(level, thin));
        painter.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
        break;
    case Glyph::Clear:
        painter.setPen(Stroke(level, thin));
        painter.drawPolyline(QPolygonF({ { 2.5, 5 }, { 13.5, 5 } }));
        painter.drawPolyline(QPolygonF({ { 4, 5 }, { 5, 14 }, { 11, 14 }, { 12, 5 } }));
        Lines(painter, { { 6.5, 3, 9.5, 3 }, { 6.8, 7.5, 7.2, 11.5 }, { 9.2, 7.5, 8.8, 11.5 } });
        break;
    case Glyph::Play:
        painter.setPen(Stroke(level, 1.2));
        painter.setBrush(ink);
        painter.drawPath(Polygon({ { 5, 3 }, { 13, 8 }, { 5, 13 } }));
        break;
    case Glyph::Next:
        painter.setPen(Stroke(level, 1.2));
        painter.setBrush(ink);
        painter.drawPath(Polygon({ { 3, 3.5 }, { 10, 8 }, { 3, 12.5 } }));
        painter.drawRoundedRect(QRectF(11, 3.5, 2, 9), 0.6, 0.6);
        break;
    case Glyph::Pause:
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(4, 3, 3, 10), 0.8, 0.8);
        painter.drawRoundedRect(QRectF(9, 3, 3, 10), 0.8, 0.8);
        break;
    case Glyph::Stop:
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.3, 1.3);
        break;
    case Glyph::ChevronUp:
        painter.setPen(Stroke(level, bold));
        painter.drawPolyline(QPolygonF({ { 4.5, 10 }, { 8, 6.5 }, { 11.5, 10 } }));
        break;
    case Glyph::ChevronDown:
        painter.setPen(Stroke(level, bold));
        painter.drawPolyline(QPolygonF({ { 4.5, 6.5 }, { 8, 10 }, { 11.5, 6.5 } }));
        break;
    case Glyph::ChevronLeft:
        painter.setPen(Stroke(level, bold));
        painter.drawPolyline(QPolygonF({ { 10, 4.5 }, { 6.5, 8 }, { 10, 11.5 } }));
        break;
    case Glyph::ChevronRight:
        painter.setPen(Stroke(level, bold));
        painter.drawPolyline(QPolygonF({ { 6.5, 4.5 }, { 10, 8 }, { 6.5, 11.5 } }));
        break;
    case Glyph::Plus:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 8, 4.5, 8, 11.5 }, { 4.5, 8, 11.5, 8 } });
        break;
    case Glyph::Minus:
        painter.setPen(Stroke(level, bold));
        Lines(painter, { { 4.5, 8, 11.5, 8 } });
        break;
    }
    painter.restore();
}

QImage ButtonStrip(QSize frame, const std::vector<FrameState> &states, int surround, const QPainterPath &face,
    const std::function<void(QPainter &, FrameState)> &drawFrame)
{
    const int frames = int(states.size()) + 1;
    QImage strip = GreyImage(QSize(frame.width() * frames, frame.height()), surround);
    QPainter painter(&strip);
    for (int i = 0; i < int(states.size()); ++i) {
        painter.save();
        painter.setClipRect(QRect(QPoint(i * frame.width(), 0), frame));
        painter.translate(i * frame.width(), 0);
        painter.setRenderHint(QPainter::Antialiasing);
        drawFrame(painter, states[std::size_t(i)]);
        painter.restore();
    }
    painter.drawImage((frames - 1) * frame.width(), 0, CoveredPixels(frame, face));
    return strip;
}

QImage CoveredPixels(QSize size, const QPainterPath &shape)
{
    QImage coverage(size, QImage::Format_Grayscale8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(shape, Qt::white);
    }
    QImage covered(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const uchar *in = coverage.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(covered.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = in[x] == 255 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return covered;
}

std::map<QString, QImage> NinePieces(const QImage &model, int piece)
{
    const auto cut = [&](int column, int row) { return model.copy(column * piece, row * piece, piece, piece); };
    return {
        { QStringLiteral("bmTopLeft"), cut(0, 0) },
        { QStringLiteral("bmTopCenter"), cut(1, 0) },
        { QStringLiteral("bmTopRight"), cut(2, 0) },
        { QStringLiteral("bmLeftCenter"), cut(0, 1) },
        { QStringLiteral("bmMiddle"), cut(1, 1) },
        { QStringLiteral("bmRightCenter"), cut(2, 1) },
        { QStringLiteral("bmBottomLeft"), cut(0, 2) },
        { QStringLiteral("bmBottomCenter"), cut(1, 2) },
        { QStringLiteral("bmBottomRight"), cut(2, 2) },
    };
}
