#include "ui/forms/visDisplay.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>

TvisDisplay::TvisDisplay(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.ParentHandle = this;
}

void TvisDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_surface.Pixels()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // The module's pixels are shown as they are; the image only wraps them.
    const QImage picture(reinterpret_cast<const uchar *>(m_surface.Pixels()), m_surface.Width(), m_surface.Height(),
                         QImage::Format_RGB32);
    painter.drawImage(0, 0, picture);
}

void TvisDisplay::resizeEvent(QResizeEvent *)
{
    m_surface.Resize(width(), height());
}

void TvisDisplay::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_popup)
        m_popup->popup(event->globalPos());
}
