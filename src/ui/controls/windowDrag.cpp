#include "ui/controls/windowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

TwindowDrag::TwindowDrag(QWidget &handle)
    : QObject(&handle)
    , m_handle(handle)
{
    handle.installEventFilter(this);
}

bool TwindowDrag::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_state = State::Pressed;
            m_pressed = mouse->globalPosition().toPoint();
            m_windowAtPress = m_handle.window()->pos();
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint moved = mouse->globalPosition().toPoint() - m_pressed;
        if (m_state == State::Pressed && (mouse->buttons() & Qt::LeftButton)
            && moved.manhattanLength() >= QGuiApplication::styleHints()->startDragDistance()) {
            m_state = State::Dragging;
            if (CanMove && !CanMove())
                break;
            QWindow *window = m_handle.window()->windowHandle();
            if (!window || !window->startSystemMove())
                m_state = State::Following;
        }
        if (m_state == State::Following)
            m_handle.window()->move(m_windowAtPress + moved);
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool click = m_state == State::Pressed && m_handle.rect().contains(mouse->position().toPoint());
        m_state = State::Idle;
        if (click && OnClick)
            OnClick();
        break;
    }
    default:
        break;
    }
    return false;
}
