#pragma once

#include "ui/controls/controlEvents.h"

#include <QColor>
#include <QImage>
#include <QWidget>

enum TdravoBitmapAlignment { dbaCenter, dbaLeftTop, dbaRightBottom };
enum TdravoBitmapStyle { dbsMaintainAspect, dbsStretch, dbsTile };

// A picture (an album cover) over a background colour: scaled to fit with
// its aspect kept and placed centred, at the left or top, or at the right or
// bottom; stretched over the whole control; or tiled unscaled from the top
// left. Without a picture, or with no room for one, only the background
// shows. It may hold child controls.
//
// GUI thread only.
class TdravoBitmap : public QWidget, public TmouseEvents {
public:
    explicit TdravoBitmap(QWidget *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void SetPicture(const QImage &value);
    const QColor &Color() const { return m_color; }
    void SetColor(const QColor &value);
    TdravoBitmapAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TdravoBitmapAlignment value);
    TdravoBitmapStyle Style() const { return m_style; }
    void SetStyle(TdravoBitmapStyle value);

    void Paint(QPainter &painter);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Render();

    QImage m_picture;
    QColor m_color = Qt::black;
    TdravoBitmapAlignment m_alignment = dbaCenter;
    TdravoBitmapStyle m_style = dbsMaintainAspect;
    // The control's look, rebuilt on every change of size, picture, colour,
    // alignment or style.
    QImage m_buffer;
};
