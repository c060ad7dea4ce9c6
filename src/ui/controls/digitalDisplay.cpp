#include "ui/controls/digitalDisplay.h"

#include <QPainter>
#include <cstdlib>

QString DigitalDisplayText(int seconds)
{
    if (seconds == 0)
        return QStringLiteral("  0:00");
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char(' ');
    // Division truncates towards zero, so both parts of a countdown are
    // negative; their magnitudes are shown.
    const int minutes = std::abs(seconds / 60);
    const int rest = std::abs(seconds % 60);
    return sign + QStringLiteral("%1:%2").arg(minutes, 2).arg(rest, 2, 10, QLatin1Char('0'));
}

TdigitalDisplay::TdigitalDisplay(QWidget *parent)
    : TgraphicControl(parent)
    , m_cells(font())
{
    resize(40, 20);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TdigitalDisplay::SetSeconds(int value)
{
    m_seconds = value;
    m_text = DigitalDisplayText(value);
    repaint();
}

void TdigitalDisplay::SetBackColor(const QColor &value)
{
    m_backColor = value;
    update();
}

void TdigitalDisplay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    m_cells.Draw(painter, rect(), m_text);
}

void TdigitalDisplay::FontChanged()
{
    m_cells.SetFont(font());
}
