#include "ui/forms/colorPanel.h"

#include "platform/raiseEvent.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TcolorPanel::TcolorPanel(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TcolorPanel::SetColor(const QColor &value)
{
    if (value == m_color)
        return;
    m_color = value;
    update();
}

QSize TcolorPanel::sizeHint() const
{
    const int line = fontMetrics().height();
    return { line * 4, line + 2 * frameWidth() + 4 };
}

void TcolorPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_color);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = contentsRect().adjusted(2, 2, -2, -2);
            focus.backgroundColor = m_color;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
    QFrame::paintEvent(event);
}

void TcolorPanel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void TcolorPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QFrame::mouseReleaseEvent(event);
    if (clicked)
        click();
}

void TcolorPanel::keyPressEvent(QKeyEvent *event)
{
    // Return is left to the dialog, whose default button it presses.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QFrame::keyPressEvent(event);
}

void TcolorPanel::click()
{
    RaiseEvent(OnClick);
}
