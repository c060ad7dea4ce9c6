#pragma once

#include <QTime>
#include <functional>

// The two alarms of the main window's clock: a turn-on alarm that starts
// playback and a turn-off alarm that stops it, each firing once a day on the
// first check after its time of day.
//
// Not saved: the alarms last until the program ends (both disarmed, 00:00 at
// start). The clock widget holds one and calls Check once a second.
class TalarmClock {
public:
    bool UseTimeOn() const { return m_on.armed; }
    void SetUseTimeOn(bool value) { m_on.armed = value; }
    QTime TimeOn() const { return m_on.time; }
    // Setting a time clears that alarm's fired flag, so an alarm set a few
    // minutes into the past fires at the next check.
    void SetTimeOn(QTime value) { m_on.setTime(value); }
    bool UseTimeOff() const { return m_off.armed; }
    void SetUseTimeOff(bool value) { m_off.armed = value; }
    QTime TimeOff() const { return m_off.time; }
    void SetTimeOff(QTime value) { m_off.setTime(value); }

    std::function<void()> OnTimeOn;
    std::function<void()> OnTimeOff;

    // One check at time of day now: an armed alarm fires when now is strictly
    // past its time and it has not fired yet; it is re-armed once now falls
    // strictly below its time again (after midnight, or when moved later),
    // and when a new day begins: a check that comes more than half a day of
    // clock time before the one before it is the next day's (midnight passed
    // between them). So an alarm at 00:00, which no time of day lies below,
    // fires every day too, and so does one whose time passed while the
    // computer slept over midnight. A clock put back by an hour (the end of
    // daylight saving time) is no new day.
    void Check(QTime now);

private:
    struct Alarm {
        QTime time{0, 0};
        bool armed = false;
        bool fired = false;

        void setTime(QTime value)
        {
            // Only the time of day counts; milliseconds never reach the pickers.
            time = QTime(value.hour(), value.minute(), value.second());
            fired = false;
        }
        bool check(QTime now, const std::function<void()> &event);
    };

    Alarm m_on;
    Alarm m_off;
    QTime m_lastCheck;
};
