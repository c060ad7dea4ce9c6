#pragma once

#include <QObject>
#include <functional>

class QMouseEvent;
class QWidget;

// The event slots of the skinned controls. The first argument is always the
// control that raises the event; an empty slot is skipped. Coordinates are
// in the control's own pixels.
using TwidgetEvent = std::function<void(QObject *sender)>;
using TMouseEvent
    = std::function<void(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QObject *sender, Qt::KeyboardModifiers shift, int x, int y)>;

// The mouse events of a control that raises them as they come: OnMouseDown
// and OnMouseUp for every button, OnClick for a left-button release inside
// the control after a left press on it (before OnMouseUp), OnDblClick for a
// left double click (before the second press's OnMouseDown). The control
// calls RaiseMouseEventsOf once, from its constructor: from then on one
// event filter raises the events from the control's mouse events, which the
// control then takes as handled.
class TmouseEvents {
public:
    TmouseEvents() = default;
    TmouseEvents(const TmouseEvents &) = delete;
    TmouseEvents &operator=(const TmouseEvents &) = delete;

    TwidgetEvent OnClick;
    TwidgetEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void RaiseMouseEventsOf(QWidget *control);

private:
    class Filter;
    void raiseMouseDown(QWidget *control, QMouseEvent *event);
    void raiseMouseUp(QWidget *control, QMouseEvent *event);
    void raiseDoubleClick(QWidget *control, QMouseEvent *event);
    void raiseMouseMove(QWidget *control, QMouseEvent *event);

    bool m_leftPressed = false;
};
