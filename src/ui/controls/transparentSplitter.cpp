#include "ui/controls/transparentSplitter.h"

#include "platform/raiseEvent.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/skinPainting.h"
#include "ui/controls/vorlenPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

bool IsVertical(TAlign align)
{
    return align == alLeft || align == alRight;
}

} // namespace

TtransparentSplitter::TtransparentSplitter(QWidget *parent)
    : QWidget(parent)
    , m_color(SystemColor(clBtnFace))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(3, 100);
}

void TtransparentSplitter::SetTopLeftBitmap(const QImage &value)
{
    m_topLeftBitmap = ToControlBitmap(value);
    update();
}

void TtransparentSplitter::SetBottomRightBitmap(const QImage &value)
{
    m_bottomRightBitmap = ToControlBitmap(value);
    update();
}

void TtransparentSplitter::SetMinSize(int value)
{
    m_minSize = qMax(value, 1);
}

QColor TtransparentSplitter::Color() const
{
    if (!m_parentColor || !parentWidget())
        return m_color;
    if (const auto *panel = dynamic_cast<const TvorlenPanel *>(parentWidget()))
        return panel->PanelColor();
    return parentWidget()->palette().color(parentWidget()->backgroundRole());
}

void TtransparentSplitter::SetColor(const QColor &value)
{
    m_color = value;
    m_parentColor = false;
    update();
}

void TtransparentSplitter::SetParentColor(bool value)
{
    m_parentColor = value;
    update();
}

void TtransparentSplitter::ApplySkinColors(const QColor &panelColor)
{
    for (QImage *bitmap : { &m_topLeftBitmap, &m_bottomRightBitmap }) {
        if (IsEmptyBitmap(*bitmap))
            continue;
        TintSkinBitmap(*bitmap, 1, panelColor);
        *bitmap = ToControlBitmap(*bitmap);
    }
    const QColor current = ResolveColor(Color());
    m_parentColor = false;
    m_color = current;
    if (current.red() == current.green() && current.green() == current.blue())
        m_color = TintColor(current.red(), panelColor);
    update();
    repaint();
}

void TtransparentSplitter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TtransparentSplitter::Paint(QPainter &painter)
{
    painter.fillRect(rect(), ResolveColor(Color()));
    if (!IsEmptyBitmap(m_topLeftBitmap))
        painter.drawImage(QPoint(0, 0), m_topLeftBitmap);
    if (!IsEmptyBitmap(m_bottomRightBitmap))
        painter.drawImage(QPoint(width() - m_bottomRightBitmap.width(), height() - m_bottomRightBitmap.height()),
            m_bottomRightBitmap);
}

QWidget *TtransparentSplitter::FindResizedControl() const
{
    const TAlign align = ControlAlign(this);
    if (align == alNone || align == alClient || !parentWidget())
        return nullptr;
    for (QObject *object : parentWidget()->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control == this || control->isHidden() || control->isWindow() || ControlAlign(control) != align)
            continue;
        const QRect bounds = control->geometry();
        const bool touches = (align == alLeft && bounds.x() + bounds.width() == x())
            || (align == alRight && bounds.x() == x() + width())
            || (align == alTop && bounds.y() + bounds.height() == y())
            || (align == alBottom && bounds.y() == y() + height());
        if (touches)
            return control;
    }
    return nullptr;
}

void TtransparentSplitter::UpdateCursor()
{
    const TAlign align = ControlAlign(this);
    if (IsVertical(align))
        setCursor(Qt::SplitHCursor);
    else if (align == alTop || align == alBottom)
        setCursor(Qt::SplitVCursor);
    else
        unsetCursor();
}

bool TtransparentSplitter::event(QEvent *event)
{
    if (event->type() == QEvent::Enter)
        UpdateCursor();
    return QWidget::event(event);
}

void TtransparentSplitter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_resized = FindResizedControl();
    if (!m_resized)
        return;
    const bool vertical = IsVertical(ControlAlign(this));
    m_pressGlobal = event->globalPosition().toPoint();
    m_startSize = vertical ? m_resized->width() : m_resized->height();
    // What the other docked controls leave, less MinSize for the rest.
    m_maxSize
        = (vertical ? parentWidget()->contentsRect().width() : parentWidget()->contentsRect().height()) - m_minSize;
    for (QObject *object : parentWidget()->children()) {
        auto *control = qobject_cast<QWidget *>(object);
        if (!control || control->isHidden() || control->isWindow())
            continue;
        const TAlign align = ControlAlign(control);
        if (vertical && (align == alLeft || align == alRight))
            m_maxSize -= control->width();
        else if (!vertical && (align == alTop || align == alBottom))
            m_maxSize -= control->height();
    }
    m_maxSize += m_startSize;
}

void TtransparentSplitter::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_resized || !(event->buttons() & Qt::LeftButton))
        return;
    const TAlign align = ControlAlign(this);
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    int size = m_startSize;
    switch (align) {
    case alLeft:
        size += delta.x();
        break;
    case alRight:
        size -= delta.x();
        break;
    case alTop:
        size += delta.y();
        break;
    case alBottom:
        size -= delta.y();
        break;
    default:
        return;
    }
    if (size < m_minSize)
        size = m_minSize;
    else if (size > m_maxSize)
        size = m_maxSize;
    if (IsVertical(align))
        m_resized->resize(size, m_resized->height());
    else
        m_resized->resize(m_resized->width(), size);
}

void TtransparentSplitter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_resized)
        return;
    m_resized = nullptr;
    RaiseEvent(OnMoved, this);
}
