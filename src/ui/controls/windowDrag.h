#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

// Makes a control the handle of its borderless window: a left click (press
// and release without moving past the platform's drag distance) raises
// OnClick, a drag past that distance moves the window and raises nothing.
// The window system moves the window where it offers to (the compositor
// under Wayland, the window manager under X11); where nothing does (an X
// server without a window manager), the window follows the mouse.
//
// A child of the control it serves; GUI thread only.
class TwindowDrag : public QObject {
public:
    explicit TwindowDrag(QWidget &handle);

    // Asked when a drag begins: false leaves the window where it is (the
    // drag is then neither a move nor a click).
    std::function<bool()> CanMove;
    std::function<void()> OnClick;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { Idle, Pressed, Dragging, Following };

    QWidget &m_handle;
    State m_state = State::Idle;
    QPoint m_pressed;
    QPoint m_windowAtPress;
};
