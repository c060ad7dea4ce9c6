#include "skinTint.h"

#include <algorithm>
#include <cmath>

namespace {

int Shade(int channel, int grey)
{
    if (grey < 128)
        return channel - int(std::lrint(channel * (128 - grey) / 128.0));
    return channel + int(std::lrint((255 - channel) * (grey - 128) / 127.0));
}

} // namespace

QImage TintSkin(
    const QImage &source, int frames, const QColor &colour, const std::vector<QRgb> &maskColours, const QColor &other)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int frameWidth = image.width() / frames;
    if (frameWidth == 0)
        return image;
    const int processed = frames == 1 ? image.width() : frameWidth * (frames - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < processed; ++x) {
            const QRgb pixel = line[x];
            const int grey = qRed(pixel);
            if (qGreen(pixel) != grey || qBlue(pixel) != grey)
                continue;
            QColor target = colour;
            if (frames > 1) {
                const QRgb mask = line[x % frameWidth + frameWidth * (frames - 1)] & 0xFFFFFF;
                const bool inside = std::any_of(maskColours.begin(), maskColours.end(),
                    [mask](QRgb listed) { return (listed & 0xFFFFFF) == mask; });
                target = inside ? colour : other;
            }
            line[x] = qRgb(Shade(target.red(), grey), Shade(target.green(), grey), Shade(target.blue(), grey));
        }
    }
    return image;
}
