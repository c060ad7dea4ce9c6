#pragma once

#include "ui/controls/fixedCellText.h"
#include "ui/controls/graphicControl.h"

#include <QTime>
#include <memory>

class TThreadedTimer;

enum TclockStyle { cs12hr, cs24hr };

// The "hh:mm" text of a time of day.
QString ClockTimeText(QTime time);
// What the clock shows for an "hh:mm" text: itself in 24-hour style; in 12-hour
// style the hour right-aligned in two places, the minutes, then "a" or "p":
// "00:10" shows "12:10a", "09:05" " 9:05a" and "13:30" " 1:30p".
QString ClockDisplayText(const QString &hhmm, TclockStyle style);

// A clock in the style of a hardware display: once a second it shows the time
// of day. (The jukebox's alarms are the core's.)
//
// Its one-second TThreadedTimer delivers every tick on the GUI thread; the
// clock is used on the GUI thread only. The font colour is the palette's
// window text (see TgraphicControl).
class TdigitalClock2 : public TgraphicControl {
public:
    explicit TdigitalClock2(QWidget *parent = nullptr);
    ~TdigitalClock2() override;

    TclockStyle ClockStyle() const { return m_style; }
    void SetClockStyle(TclockStyle value);
    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor &value);

    // The text on the display now ("12:00p" until the first tick).
    const QString &DisplayText() const { return m_shown; }

    // One tick at time of day now: the display follows the minute (repainted
    // at once when it changed). The clock's timer calls it with the current
    // time.
    void Tick(QTime now);

    // The clock's one-second timer, running from creation to destruction.
    TThreadedTimer &Timer() { return *m_timer; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void FontChanged() override;

private:
    void UpdateShownText();

    TclockStyle m_style = cs12hr;
    QColor m_backgroundColor = Qt::black;
    QString m_text = QStringLiteral("12:00");
    QString m_shown;
    TfixedCellText m_cells;
    std::unique_ptr<TThreadedTimer> m_timer;
};
