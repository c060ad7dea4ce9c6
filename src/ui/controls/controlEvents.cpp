#include "ui/controls/controlEvents.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

void TmouseEvents::RaiseMouseDown(QWidget *control, QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    const QPoint position = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(control, event->button(), event->modifiers(), position.x(), position.y());
}

void TmouseEvents::RaiseMouseUp(QWidget *control, QMouseEvent *event)
{
    const QPointer<QWidget> alive(control);
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool clicked = m_leftPressed && control->rect().contains(position);
        m_leftPressed = false;
        if (clicked && OnClick) {
            OnClick(control);
            if (!alive)
                return;
        }
    }
    if (OnMouseUp)
        OnMouseUp(control, event->button(), event->modifiers(), position.x(), position.y());
}

void TmouseEvents::RaiseDoubleClick(QWidget *control, QMouseEvent *event)
{
    const QPointer<QWidget> alive(control);
    if (event->button() == Qt::LeftButton && OnDblClick) {
        OnDblClick(control);
        if (!alive)
            return;
    }
    RaiseMouseDown(control, event);
}

void TmouseEvents::RaiseMouseMove(QWidget *control, QMouseEvent *event)
{
    if (OnMouseMove) {
        const QPoint position = event->position().toPoint();
        OnMouseMove(control, event->modifiers(), position.x(), position.y());
    }
}
