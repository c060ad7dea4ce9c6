#pragma once

#include "core/alarmClock.h"
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

// A clock in the style of a hardware display that also holds the jukebox's
// two alarms: once a second it shows the time of day and checks the alarms,
// which fire OnTimeOn and OnTimeOff (the alarm logic is TalarmClock's).
//
// Its one-second TThreadedTimer delivers every tick on the GUI thread, so the
// alarm events run there too; the clock is used on the GUI thread only. The
// font colour is the palette's window text (see TgraphicControl).
class TdigitalClock2 : public TgraphicControl {
public:
    explicit TdigitalClock2(QWidget *parent = nullptr);
    ~TdigitalClock2() override;

    TclockStyle ClockStyle() const { return m_style; }
    void SetClockStyle(TclockStyle value);
    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor &value);

    // Setting an alarm's time keeps its time of day only and re-arms it, so a
    // time already past today fires at the next tick when the alarm is used.
    bool UseTimeOn() const { return m_alarms.UseTimeOn(); }
    void SetUseTimeOn(bool value) { m_alarms.SetUseTimeOn(value); }
    QTime TimeOn() const { return m_alarms.TimeOn(); }
    void SetTimeOn(QTime value) { m_alarms.SetTimeOn(value); }
    bool UseTimeOff() const { return m_alarms.UseTimeOff(); }
    void SetUseTimeOff(bool value) { m_alarms.SetUseTimeOff(value); }
    QTime TimeOff() const { return m_alarms.TimeOff(); }
    void SetTimeOff(QTime value) { m_alarms.SetTimeOff(value); }

    TNotifyEvent OnTimeOn;
    TNotifyEvent OnTimeOff;
    // Both alarms at once, for the alarm settings dialog.
    TalarmClock &Alarms() { return m_alarms; }

    // The text on the display now ("12:00p" until the first tick).
    const QString &DisplayText() const { return m_shown; }

    // One tick at time of day now: the display follows the minute (repainted
    // at once when it changed), then the turn-on and the turn-off alarm are
    // checked. The clock's timer calls it with the current time.
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
    TalarmClock m_alarms;
    TfixedCellText m_cells;
    std::unique_ptr<TThreadedTimer> m_timer;
};
