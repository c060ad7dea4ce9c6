#include "ui/controls/controlEvents.h"

#include "platform/raiseEvent.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

// The control's own child: it ends with the control, and with it the
// TmouseEvents it raises for (the control's base).
class TmouseEvents::Filter : public QObject {
public:
    Filter(QWidget *control, TmouseEvents &events)
        : QObject(control)
        , m_control(control)
        , m_events(events)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_control)
            return false;
        // The event is a mouse event only for the types below.
        const auto mouse = [event] { return static_cast<QMouseEvent *>(event); };
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_events.raiseMouseDown(m_control, mouse());
            return true;
        case QEvent::MouseButtonRelease:
            m_events.raiseMouseUp(m_control, mouse());
            return true;
        case QEvent::MouseButtonDblClick:
            m_events.raiseDoubleClick(m_control, mouse());
            return true;
        case QEvent::MouseMove:
            m_events.raiseMouseMove(m_control, mouse());
            return true;
        default:
            return false;
        }
    }

private:
    QWidget *m_control;
    TmouseEvents &m_events;
};

void TmouseEvents::RaiseMouseEventsOf(QWidget *control)
{
    control->installEventFilter(new Filter(control, *this));
}

void TmouseEvents::raiseMouseDown(QWidget *control, QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    const QPoint position = event->position().toPoint();
    RaiseEvent(OnMouseDown, control, event->button(), event->modifiers(), position.x(), position.y());
}

void TmouseEvents::raiseMouseUp(QWidget *control, QMouseEvent *event)
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
    RaiseEvent(OnMouseUp, control, event->button(), event->modifiers(), position.x(), position.y());
}

void TmouseEvents::raiseDoubleClick(QWidget *control, QMouseEvent *event)
{
    const QPointer<QWidget> alive(control);
    if (event->button() == Qt::LeftButton && OnDblClick) {
        OnDblClick(control);
        if (!alive)
            return;
    }
    raiseMouseDown(control, event);
}

void TmouseEvents::raiseMouseMove(QWidget *control, QMouseEvent *event)
{
    if (OnMouseMove) {
        const QPoint position = event->position().toPoint();
        OnMouseMove(control, event->modifiers(), position.x(), position.y());
    }
}
