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
