#include "core/alarmClock.h"

#include <gtest/gtest.h>

namespace {

struct Counts {
    int on = 0;
    int off = 0;
};

void hookUp(TalarmClock &clock, Counts &counts)
{
    clock.OnTimeOn = [&counts] { ++counts.on; };
    clock.OnTimeOff = [&counts] { ++counts.off; };
}

// Checks once a second from `from` for `seconds` seconds, wrapping at midnight.
void walk(TalarmClock &clock, QTime from, int seconds)
{
    for (int i = 0; i < seconds; ++i)
        clock.Check(from.addSecs(i));
}

} // namespace

TEST(AlarmClock, FiresOnceOnTheFirstCheckAfterItsTimeEveryDay)
{
    TalarmClock clock;
    Counts counts;
    hookUp(clock, counts);
    clock.SetUseTimeOn(true);
    clock.SetTimeOn(QTime(7, 0));
    clock.Check(QTime(6, 59, 59));
    clock.Check(QTime(7, 0, 0));
    EXPECT_EQ(counts.on, 0) << "the comparison is strict";
    clock.Check(QTime(7, 0, 1));
    EXPECT_EQ(counts.on, 1);
    // The rest of the day, the next day up to and past 07:00.
    walk(clock, QTime(7, 0, 2), 24 * 3600);
    EXPECT_EQ(counts.on, 2);
    EXPECT_EQ(counts.off, 0);
}

TEST(AlarmClock, DisarmedAlarmsNeverFire)
{
    TalarmClock clock;
    Counts counts;
    hookUp(clock, counts);
    clock.SetTimeOn(QTime(1, 0));
    clock.SetTimeOff(QTime(2, 0));
    walk(clock, QTime(0, 0), 24 * 3600);
    EXPECT_EQ(counts.on, 0);
    EXPECT_EQ(counts.off, 0);
    EXPECT_EQ(TalarmClock().TimeOn(), QTime(0, 0));
    EXPECT_FALSE(TalarmClock().UseTimeOff());
}

TEST(AlarmClock, SettingATimeInThePastFiresAtTheNextCheck)
{
    TalarmClock clock;
    Counts counts;
    hookUp(clock, counts);
    clock.SetUseTimeOn(true);
    clock.SetTimeOn(QTime(9, 0));
    clock.Check(QTime(10, 0));
    EXPECT_EQ(counts.on, 1);
    clock.Check(QTime(10, 0, 1));
    EXPECT_EQ(counts.on, 1);
    // Pressing OK again sets the time and clears the fired flag.
    clock.SetTimeOn(QTime(9, 55));
    clock.Check(QTime(10, 0, 2));
    EXPECT_EQ(counts.on, 2);
}

TEST(AlarmClock, BothAlarmsAtTheSameTimeStartThenStopInOneCheck)
{
    TalarmClock clock;
    QStringList order;
    clock.OnTimeOn = [&order] { order << QStringLiteral("on"); };
    clock.OnTimeOff = [&order] { order << QStringLiteral("off"); };
    clock.SetUseTimeOn(true);
    clock.SetUseTimeOff(true);
    clock.SetTimeOn(QTime(22, 30));
    clock.SetTimeOff(QTime(22, 30));
    clock.Check(QTime(22, 30, 1));
    EXPECT_EQ(order, (QStringList{QStringLiteral("on"), QStringLiteral("off")}));
}

// Three days of checks once a second, from just before midnight: an armed
// alarm fires once a day, at the first check after its time, whatever its
// time, midnight included.
class AlarmEveryDay : public ::testing::TestWithParam<QTime> { };

TEST_P(AlarmEveryDay, FiresOnceADayAtTheFirstCheckAfterItsTime)
{
    const QTime alarm = GetParam();
    TalarmClock clock;
    QList<QTime> firedAt;
    QTime now(23, 59, 50);
    clock.OnTimeOn = [&] { firedAt << now; };
    clock.SetUseTimeOn(true);
    clock.SetTimeOn(alarm);
    // The day the alarm is set ends first: it fires then only when it was
    // set for 23:59:50 or earlier, which the test's times are not.
    clock.Check(now);
    EXPECT_TRUE(firedAt.isEmpty() || alarm < QTime(23, 59, 50));
    firedAt.clear();
    for (int second = 1; second <= 3 * 24 * 3600; ++second) {
        now = now.addSecs(1);
        clock.Check(now);
    }
    EXPECT_EQ(firedAt, QList<QTime>(3, alarm.addSecs(1))) << alarm.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Times, AlarmEveryDay,
    ::testing::Values(QTime(0, 0), QTime(0, 0, 30), QTime(0, 1), QTime(7, 0), QTime(12, 0), QTime(23, 59)),
    [](const ::testing::TestParamInfo<QTime> &info) { return info.param.toString(u"HHmmss").toStdString(); });

TEST(AlarmClock, AnAlarmMissedWhileTheComputerSleptOverMidnightFiresOnWaking)
{
    TalarmClock clock;
    int fired = 0;
    clock.OnTimeOn = [&fired] { ++fired; };
    clock.SetUseTimeOn(true);
    clock.SetTimeOn(QTime(0, 0));
    clock.Check(QTime(22, 0));
    EXPECT_EQ(fired, 1) << "set in the evening: 00:00 has passed today";
    clock.Check(QTime(23, 0));
    // Asleep from 23:00 until 08:00 the next day.
    clock.Check(QTime(8, 0));
    EXPECT_EQ(fired, 2);
    clock.Check(QTime(8, 0, 1));
    EXPECT_EQ(fired, 2);
}

TEST(AlarmClock, AClockPutBackAnHourIsNoNewDay)
{
    TalarmClock clock;
    int fired = 0;
    clock.OnTimeOn = [&fired] { ++fired; };
    clock.SetUseTimeOn(true);
    clock.SetTimeOn(QTime(0, 0));
    walk(clock, QTime(0, 0), 3 * 3600);
    EXPECT_EQ(fired, 1);
    // 03:00 becomes 02:00 at the end of daylight saving time.
    walk(clock, QTime(2, 0), 3600);
    EXPECT_EQ(fired, 1);
}
