#include "appIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QLinearGradient>
#include <QRadialGradient>

namespace {

// Drawn in a 256 x 256 design square scaled to the icon.
constexpr double kDesign = 256.0;
// The arch's centre and the cabinet's sides.
constexpr QPointF kArchCentre(128, 112);
constexpr double kLeft = 36;
constexpr double kRight = 220;
constexpr double kBottom = 240;

// A shape with a round top: a half circle of radius about centre, then
// straight sides down to bottom.
QPainterPath ArchShape(double radius, double bottom, double cornerRadius)
{
    const double left = kArchCentre.x() - radius;
    const double right = kArchCentre.x() + radius;
    QPainterPath path;
    path.moveTo(left, kArchCentre.y());
    path.arcTo(QRectF(left, kArchCentre.y() - radius, 2 * radius, 2 * radius), 180, -180);
    path.lineTo(right, bottom - cornerRadius);
    path.quadTo(right, bottom, right - cornerRadius, bottom);
    path.lineTo(left + cornerRadius, bottom);
    path.quadTo(left, bottom, left, bottom - cornerRadius);
    path.closeSubpath();
    return path;
}

// The neon tube: the arch's outline without its floor.
QPainterPath ArchLine(double radius, double bottom)
{
    const double left = kArchCentre.x() - radius;
    QPainterPath path;
    path.moveTo(left, bottom);
    path.lineTo(left, kArchCentre.y());
    path.arcTo(QRectF(left, kArchCentre.y() - radius, 2 * radius, 2 * radius), 180, -180);
    path.lineTo(kArchCentre.x() + radius, bottom);
    return path;
}

void DrawCabinet(QPainter &painter)
{
    const QPainterPath cabinet = ArchShape((kRight - kLeft) / 2, kBottom, 14);
    QLinearGradient wood(kLeft, 0, kRight, 0);
    wood.setColorAt(0.0, QColor(0x4a, 0x1e, 0x12));
    wood.setColorAt(0.22, QColor(0x9a, 0x45, 0x22));
    wood.setColorAt(0.5, QColor(0xb8, 0x5a, 0x2c));
    wood.setColorAt(0.78, QColor(0x9a, 0x45, 0x22));
    wood.setColorAt(1.0, QColor(0x4a, 0x1e, 0x12));
    painter.fillPath(cabinet, wood);
    painter.setPen(QPen(QColor(0x2a, 0x0f, 0x08), 5));
    painter.drawPath(cabinet);
}

void DrawNeon(QPainter &painter, double width, bool glow)
{
    const QPainterPath tube = ArchLine(72, 206);
    QLinearGradient light(0, 40, 0, 206);
    light.setColorAt(0.0, QColor(0xff, 0x4f, 0x9a));
    light.setColorAt(0.45, QColor(0xff, 0x9a, 0x2e));
    light.setColorAt(1.0, QColor(0xff, 0xe0, 0x5a));
    if (glow) {
        QColor halo(0xff, 0xb0, 0x60, 70);
        painter.strokePath(tube, QPen(halo, width * 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.strokePath(tube, QPen(QBrush(light), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (glow) {
        QPen core(QColor(255, 250, 225, 200), width * 0.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(tube, core);
    }
}

// The glass under the arch with the record behind it. Small, the record is
// told from the dark glass by its rim and its label.
void DrawWindow(QPainter &painter, bool grooves, bool small)
{
    const QPainterPath glass = ArchShape(56, 168, 6);
    QLinearGradient dark(0, 56, 0, 168);
    dark.setColorAt(0.0, QColor(0x1c, 0x22, 0x3a));
    dark.setColorAt(1.0, QColor(0x0a, 0x0c, 0x16));
    painter.fillPath(glass, dark);

    painter.save();
    painter.setClipPath(glass);
    const QPointF centre(128, 120);
    constexpr double kRecord = 46;
    QRadialGradient vinyl(centre, kRecord);
    vinyl.setColorAt(0.0, QColor(0x30, 0x30, 0x36));
    vinyl.setColorAt(1.0, QColor(0x08, 0x08, 0x0a));
    painter.setPen(Qt::NoPen);
    painter.setBrush(vinyl);
    painter.drawEllipse(centre, kRecord, kRecord);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x70, 0x70, 0x80), small ? 9 : 3));
    painter.drawEllipse(centre, kRecord - (small ? 4.5 : 1.5), kRecord - (small ? 4.5 : 1.5));
    if (grooves) {
        for (double radius : { 40.0, 34.0, 28.0, 22.0 }) {
            painter.setPen(QPen(QColor(0x5a, 0x5a, 0x66), 1.6));
            painter.drawEllipse(centre, radius, radius);
        }
        // Light caught by the grooves.
        painter.setPen(QPen(QColor(255, 255, 255, 110), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(centre.x() - 36, centre.y() - 36, 72, 72), 100 * 16, 50 * 16);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0x3a, 0x4a));
    const double label = small ? 20 : 16;
    painter.drawEllipse(centre, label, label);
    painter.setBrush(QColor(0xff, 0xd8, 0x6a));
    painter.drawEllipse(centre, 4.5, 4.5);
    // The glass's sheen.
    QLinearGradient sheen(72, 56, 150, 150);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    painter.fillPath(glass, sheen);
    painter.restore();
    painter.setPen(QPen(QColor(0xd8, 0xd8, 0xe4), 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(glass);
}

void DrawGrille(QPainter &painter, int bars)
{
    const QRectF grille(82, 180, 92, 44);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2a, 0x10, 0x0a));
    painter.drawRoundedRect(grille, 6, 6);
    const double pitch = grille.height() / bars;
    for (int bar = 0; bar < bars; ++bar) {
        const QRectF slot(grille.left() + 6, grille.top() + pitch * bar + pitch * 0.3, grille.width() - 12, pitch * 0.45);
        QLinearGradient chrome(0, slot.top(), 0, slot.bottom());
        chrome.setColorAt(0.0, QColor(0xf4, 0xf4, 0xfa));
        chrome.setColorAt(1.0, QColor(0x9a, 0x9a, 0xaa));
        painter.setBrush(chrome);
        painter.drawRoundedRect(slot, slot.height() / 2, slot.height() / 2);
    }
}

} // namespace

QImage DrawAppIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kDesign, size / kDesign);

    // Below 32 pixels a groove or a grille bar would be a smudge: the shapes
    // that carry the picture grow instead.
    const bool small = size < 32;
    DrawCabinet(painter);
    DrawNeon(painter, small ? 22 : 14, !small);
    DrawWindow(painter, size >= 48, small);
    if (!small)
        DrawGrille(painter, size >= 64 ? 4 : 2);
    painter.end();
    return icon;
}
