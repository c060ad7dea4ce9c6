#pragma once

#include <QImage>
#include <QObject>

class QFont;
class QWidget;

// What a widget paints, as an opaque 32-bit picture.
QImage Grab(QWidget &widget);

// How a display text must look: the area filled with background and every
// character drawn on its own, centred in a cell as wide as the font's "0",
// the row centred in the area (halves round to even).
QImage CellTextPicture(QSize size, const QFont &font, const QColor &ink, const QColor &background, const QString &text);

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget &widget);
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
