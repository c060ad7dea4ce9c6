#include "playback/threadedTimer.h"
#include "ui/controls/digitalClock2.h"
#include "widgetPixels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

QString Shown(int hour, int minute, TclockStyle style)
{
    return ClockDisplayText(ClockTimeText(QTime(hour, minute)), style);
}

// A clock whose own timer is stopped, so only the test's ticks reach it.
struct StoppedClock {
    TdigitalClock2 clock;

    StoppedClock() { clock.Timer().SetEnabled(false); }
};

} // namespace

TEST(DigitalClock, TwelveAndTwentyFourHourTexts)
{
    EXPECT_EQ(Shown(0, 0, cs12hr), "12:00a");
    EXPECT_EQ(Shown(12, 0, cs12hr), "12:00p");
    EXPECT_EQ(Shown(23, 59, cs12hr), "11:59p");
    EXPECT_EQ(Shown(0, 10, cs12hr), "12:10a");
    EXPECT_EQ(Shown(9, 5, cs12hr), " 9:05a");
    EXPECT_EQ(Shown(13, 30, cs12hr), " 1:30p");
    EXPECT_EQ(Shown(11, 59, cs12hr), "11:59a");
    EXPECT_EQ(Shown(0, 0, cs24hr), "00:00");
    EXPECT_EQ(Shown(12, 0, cs24hr), "12:00");
    EXPECT_EQ(Shown(23, 59, cs24hr), "23:59");
}

TEST(DigitalClock, StartsAsDesignedAndFollowsTheMinuteAndTheStyle)
{
    StoppedClock fixture;
    TdigitalClock2 &clock = fixture.clock;
    EXPECT_EQ(clock.size(), QSize(50, 15));
    EXPECT_EQ(clock.ClockStyle(), cs12hr);
    EXPECT_EQ(clock.BackgroundColor(), QColor(Qt::black));
    EXPECT_EQ(clock.FontColor(), QColor(0, 255, 0));
    EXPECT_EQ(clock.DisplayText(), "12:00p");
    EXPECT_EQ(clock.Timer().Interval(), 1000);

    clock.Tick(QTime(23, 59, 1));
    EXPECT_EQ(clock.DisplayText(), "11:59p");
    clock.SetClockStyle(cs24hr);
    EXPECT_EQ(clock.DisplayText(), "23:59");
    clock.Tick(QTime(0, 0, 0));
    EXPECT_EQ(clock.DisplayText(), "00:00");
}

TEST(DigitalClock, RepaintsAtOnceOnlyWhenTheMinuteChanges)
{
    StoppedClock fixture;
    TdigitalClock2 &clock = fixture.clock;
    clock.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clock));
    QApplication::processEvents();
    PaintCounter paints(clock);
    clock.Tick(QTime(8, 15, 0));
    EXPECT_EQ(paints.count, 1) << "painted before the tick returned";
    clock.Tick(QTime(8, 15, 30));
    EXPECT_EQ(paints.count, 1);
    clock.Tick(QTime(8, 16, 0));
    EXPECT_EQ(paints.count, 2);
}

TEST(DigitalClock, PaintsEveryCharacterCentredInFixedCells)
{
    StoppedClock fixture;
    TdigitalClock2 &clock = fixture.clock;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    clock.setFont(font);
    clock.SetFontColor(QColor(60, 166, 230));
    clock.SetBackgroundColor(QColor(10, 20, 30));
    clock.resize(61, 17);
    for (const QTime time : { QTime(0, 0), QTime(12, 0), QTime(23, 59), QTime(9, 5) }) {
        for (const TclockStyle style : { cs12hr, cs24hr }) {
            clock.SetClockStyle(style);
            clock.Tick(time);
            SCOPED_TRACE(clock.DisplayText().toStdString());
            EXPECT_EQ(Grab(clock),
                CellTextPicture(clock.size(), font, QColor(60, 166, 230), QColor(10, 20, 30), clock.DisplayText()));
        }
    }
}

TEST(DigitalClock, ItsTimerTicksOnTheGuiThreadWithTheTimeOfDay)
{
    TdigitalClock2 clock;
    // What it shows before its first tick, unless the time is 12:00 p.m.
    const QString unticked = clock.DisplayText();
    const QString before = ClockDisplayText(ClockTimeText(QTime::currentTime()), cs12hr);
    if (before == unticked)
        GTEST_SKIP() << "the time of day is what the clock shows untouched";
    QElapsedTimer waited;
    waited.start();
    while (clock.DisplayText() == unticked && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const QString after = ClockDisplayText(ClockTimeText(QTime::currentTime()), cs12hr);
    EXPECT_TRUE(clock.DisplayText() == before || clock.DisplayText() == after) << clock.DisplayText().toStdString();
}
