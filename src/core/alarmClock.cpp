#include "core/alarmClock.h"

bool TalarmClock::Alarm::check(QTime now, const std::function<void()> &event)
{
    bool fire = false;
    if (now > time && !fired && armed) {
        fired = true;
        fire = true;
    }
    if (now < time)
        fired = false;
    if (fire && event)
        event();
    return fire;
}

void TalarmClock::Check(QTime now)
{
    constexpr int kHalfDayMs = 12 * 3600 * 1000;
    if (m_lastCheck.isValid() && now.msecsTo(m_lastCheck) > kHalfDayMs) {
        m_on.fired = false;
        m_off.fired = false;
    }
    m_lastCheck = now;
    m_on.check(now, OnTimeOn);
    m_off.check(now, OnTimeOff);
}
