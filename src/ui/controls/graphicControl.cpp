#include "ui/controls/graphicControl.h"

#include "platform/raiseEvent.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

TgraphicControl::TgraphicControl(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

QMenu *TgraphicControl::PopupMenu() const
{
    return m_popupMenu;
}

void TgraphicControl::SetPopupMenu(QMenu *value)
{
    m_popupMenu = value;
}

bool TgraphicControl::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !m_showHint) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void TgraphicControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_clicked = true;
    RaiseEvent(OnMouseDown, this, event);
}

void TgraphicControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_clicked) {
        m_clicked = false;
        if (rect().contains(event->position().toPoint()))
            RaiseEvent(OnClick, this);
    }
    RaiseEvent(OnMouseUp, this, event);
}

// The second press of a double click is no click of its own: its release
// reports only the mouse-up.
void TgraphicControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        RaiseEvent(OnDblClick, this);
    RaiseEvent(OnMouseDown, this, event);
}

void TgraphicControl::mouseMoveEvent(QMouseEvent *event)
{
    RaiseEvent(OnMouseMove, this, event);
}

void TgraphicControl::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    m_popupMenu->popup(event->globalPos());
}

QColor TgraphicControl::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TgraphicControl::SetFontColor(const QColor &value)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, value);
    setPalette(colours);
}

void TgraphicControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        FontChanged();
        update();
    }
    QWidget::changeEvent(event);
}
