#include "ui/controls/digitalClock2.h"

#include "platform/raiseEvent.h"
#include "playback/threadedTimer.h"

#include <QPainter>

QString ClockTimeText(QTime time)
{
    return time.toString(QStringLiteral("hh:mm"));
}

QString ClockDisplayText(const QString &hhmm, TclockStyle style)
{
    if (style == cs24hr)
        return hhmm;
    int hour = hhmm.left(2).toInt();
    QChar suffix = QLatin1Char('a');
    if (hour >= 13) {
        hour -= 12;
        suffix = QLatin1Char('p');
    } else if (hour == 12) {
        suffix = QLatin1Char('p');
    } else if (hour == 0) {
        hour = 12;
    }
    return QStringLiteral("%1").arg(hour, 2) + hhmm.mid(2) + suffix;
}

TdigitalClock2::TdigitalClock2(QWidget *parent)
    : TgraphicControl(parent)
    , m_cells(font())
    , m_timer(std::make_unique<TThreadedTimer>())
{
    resize(50, 15);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetFontColor(QColor(0x00, 0xFF, 0x00));
    UpdateShownText();
    m_timer->SetInterval(1000);
    m_timer->SetOnTimer([this](QObject *) { Tick(QTime::currentTime()); });
}

TdigitalClock2::~TdigitalClock2() = default;

void TdigitalClock2::SetClockStyle(TclockStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    UpdateShownText();
    update();
}

void TdigitalClock2::SetBackgroundColor(const QColor &value)
{
    m_backgroundColor = value;
    update();
}

void TdigitalClock2::Tick(QTime now)
{
    const QString text = ClockTimeText(now);
    if (text != m_text) {
        m_text = text;
        UpdateShownText();
        repaint();
    }
}

void TdigitalClock2::UpdateShownText()
{
    m_shown = ClockDisplayText(m_text, m_style);
}

void TdigitalClock2::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
    m_cells.Draw(painter, rect(), m_shown);
}

void TdigitalClock2::FontChanged()
{
    m_cells.SetFont(font());
}
