#include "ui/controls/dravoBitmap.h"

#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"

#include <QPainter>

TdravoBitmap::TdravoBitmap(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    RaiseMouseEventsOf(this);
    Render();
}

void TdravoBitmap::SetPicture(const QImage &value)
{
    m_picture = IsEmptyBitmap(value) ? QImage() : value.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Render();
}

void TdravoBitmap::SetColor(const QColor &value)
{
    m_color = value;
    Render();
}

void TdravoBitmap::SetAlignment(TdravoBitmapAlignment value)
{
    m_alignment = value;
    Render();
}

void TdravoBitmap::SetStyle(TdravoBitmapStyle value)
{
    m_style = value;
    Render();
}

void TdravoBitmap::Render()
{
    const int w = width();
    const int h = height();
    update();
    if (w <= 0 || h <= 0) {
        m_buffer = QImage();
        return;
    }
    if (m_buffer.size() != size())
        m_buffer = QImage(size(), QImage::Format_RGB32);
    m_buffer.fill(ResolveColor(m_color));
    if (m_picture.isNull())
        return;
    const int pw = m_picture.width();
    const int ph = m_picture.height();
    QPainter painter(&m_buffer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    switch (m_style) {
    case dbsMaintainAspect: {
        // Picture aspect pw/ph against control aspect w/h, compared and
        // scaled in integers so that halves round to even exactly.
        int fittedWidth = w;
        int fittedHeight = h;
        if (qint64(pw) * h >= qint64(w) * ph)
            fittedHeight = int(RoundDiv(qint64(w) * ph, pw));
        else
            fittedWidth = int(RoundDiv(qint64(pw) * h, ph));
        QPoint at(0, 0);
        if (m_alignment == dbaCenter)
            at = QPoint(int(RoundDiv(w - fittedWidth, 2)), int(RoundDiv(h - fittedHeight, 2)));
        else if (m_alignment == dbaRightBottom)
            at = QPoint(w - fittedWidth, h - fittedHeight);
        if (fittedWidth > 0 && fittedHeight > 0)
            painter.drawImage(QRect(at, QSize(fittedWidth, fittedHeight)), m_picture);
        break;
    }
    case dbsStretch:
        painter.drawImage(m_buffer.rect(), m_picture);
        break;
    case dbsTile:
        painter.fillRect(m_buffer.rect(), QBrush(m_picture));
        break;
    }
}

void TdravoBitmap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TdravoBitmap::Paint(QPainter &painter)
{
    // A hidden control hears of its size only when it is shown.
    if (m_buffer.size() != size())
        Render();
    if (!m_buffer.isNull())
        painter.drawImage(QPoint(0, 0), m_buffer);
}

void TdravoBitmap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Render();
}
