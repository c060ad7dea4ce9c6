#include "ui/controls/digitalDisplay.h"
#include "widgetPixels.h"

#include <QApplication>
#include <QtTest/QTest>
#include <climits>
#include <gtest/gtest.h>

TEST(DigitalDisplay, CounterTexts)
{
    EXPECT_EQ(DigitalDisplayText(0), "  0:00");
    EXPECT_EQ(DigitalDisplayText(59), "  0:59");
    EXPECT_EQ(DigitalDisplayText(-1), "- 0:01");
    EXPECT_EQ(DigitalDisplayText(6000), " 100:00");
    EXPECT_EQ(DigitalDisplayText(75), "  1:15");
    EXPECT_EQ(DigitalDisplayText(-75), "- 1:15");
    EXPECT_EQ(DigitalDisplayText(3600), " 60:00");
    EXPECT_EQ(DigitalDisplayText(-600), "-10:00");
    EXPECT_EQ(DigitalDisplayText(INT_MIN), "-35791394:08");
}

TEST(DigitalDisplay, StartsAsDesignedAndShowsANewCountAtOnce)
{
    TdigitalDisplay display;
    EXPECT_EQ(display.size(), QSize(40, 20));
    EXPECT_EQ(display.DisplayText(), "  0:00");
    EXPECT_EQ(display.BackColor(), QColor(Qt::black));
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    QApplication::processEvents();
    PaintCounter paints(display);
    display.SetSeconds(-10);
    EXPECT_EQ(display.Seconds(), -10);
    EXPECT_EQ(display.DisplayText(), "- 0:10");
    EXPECT_EQ(paints.count, 1) << "painted before the setter returned";
}

TEST(DigitalDisplay, PaintsTheCountInFixedCellsOnItsBackColour)
{
    TdigitalDisplay display;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(35);
    font.setBold(true);
    display.setFont(font);
    display.SetFontColor(QColor(60, 166, 230));
    display.SetBackColor(QColor(0, 0, 40));
    display.resize(170, 45);
    for (const int seconds : { 0, 59, -1, 6000, 754 }) {
        display.SetSeconds(seconds);
        SCOPED_TRACE(seconds);
        EXPECT_EQ(Grab(display),
            CellTextPicture(display.size(), font, QColor(60, 166, 230), QColor(0, 0, 40), display.DisplayText()));
    }
    // A text wider than the control is cut at both sides, still centred.
    display.resize(60, 45);
    display.SetSeconds(6000);
    EXPECT_EQ(Grab(display),
        CellTextPicture(display.size(), font, QColor(60, 166, 230), QColor(0, 0, 40), display.DisplayText()));
}
