#include "skinFixtures.h"

#include <QPainter>
#include <QTest>

QImage SolidImage(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QImage ButtonStrip(int frameWidth, int height, const QList<QColor> &frames, const QRect &face)
{
    QImage strip(frameWidth * int(frames.size() + 1), height, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int i = 0; i < frames.size(); ++i)
        painter.fillRect(QRect(i * frameWidth, 0, frameWidth, height), frames[i]);
    const int maskLeft = frameWidth * int(frames.size());
    painter.fillRect(QRect(maskLeft, 0, frameWidth, height), Qt::black);
    painter.fillRect(face.translated(maskLeft, 0), Qt::white);
    return strip;
}

QRgb Rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

TtestHost::TtestHost(int width, int height)
{
    resize(width, height);
}

void TtestHost::ShowActive()
{
    show();
    activateWindow();
    (void)QTest::qWaitForWindowActive(this);
}
