#pragma once

#include "widgetPixels.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

// Pictures and probes for the skinned control tests.

QImage SolidImage(int width, int height, const QColor &color);

// A button strip of frames `frameWidth` x `height`: one solid frame per
// colour, then a black mask frame whose `face` rectangle is white.
QImage ButtonStrip(int frameWidth, int height, const QList<QColor> &frames, const QRect &face);

// The RGB value of a pixel, without alpha, for comparisons.
QRgb Rgb(const QImage &image, int x, int y);
inline QRgb Rgb(const QColor &color)
{
    return color.rgb() & 0xFFFFFF;
}

// A shown top-level window on the offscreen platform that holds the
// controls under test; activated so that focus works.
class TtestHost : public QWidget {
public:
    explicit TtestHost(int width = 400, int height = 300);
    void ShowActive();
};
