// The core's alarms: the turn-on alarm plays, the turn-off alarm stops.
#include "core/dmMain.h"

void TdmMain::startAlarmClock()
{
    m_alarms.OnTimeOn = [this] { Play(); };
    m_alarms.OnTimeOff = [this] { Stop(); };
    m_alarmClock.setInterval(1000);
    QObject::connect(&m_alarmClock, &QTimer::timeout, &m_alarmClock, [this] { CheckAlarms(QTime::currentTime()); });
    m_alarmClock.start();
}

void TdmMain::SetAlarms(const TalarmClock &alarms)
{
    m_alarms.SetUseTimeOn(alarms.UseTimeOn());
    m_alarms.SetTimeOn(alarms.TimeOn());
    m_alarms.SetUseTimeOff(alarms.UseTimeOff());
    m_alarms.SetTimeOff(alarms.TimeOff());
}

void TdmMain::CheckAlarms(QTime now)
{
    m_alarms.Check(now);
}
