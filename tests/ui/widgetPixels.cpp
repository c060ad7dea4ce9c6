#include "widgetPixels.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cmath>

QImage Grab(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage CellTextPicture(QSize size, const QFont &font, const QColor &ink, const QColor &background, const QString &text)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(ink);
    const QFontMetrics metrics(font);
    const int cell = metrics.horizontalAdvance(QLatin1Char('0'));
    const int left = int(std::lrint(size.width() / 2.0 - text.size() * cell / 2.0));
    const int top = int(std::lrint(size.height() / 2.0 - metrics.height() / 2.0));
    for (int i = 0; i < text.size(); ++i) {
        const int own = metrics.horizontalAdvance(text[i]);
        const int x = left + i * cell + int(std::lrint(cell / 2.0 - own / 2.0));
        painter.drawText(QPoint(x, top + metrics.ascent()), QString(text[i]));
    }
    return picture;
}

PaintCounter::PaintCounter(QWidget &widget)
{
    widget.installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++count;
    return false;
}
