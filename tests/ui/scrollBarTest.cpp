#include "skinFixtures.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenScrollBar.h"

#include <QDeadlineTimer>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 28 x 28 three-frame strip whose mask is all face.
QImage ArrowSkin(const QColor &color)
{
    return ButtonStrip(28, 28, { color, color.darker() }, QRect(0, 0, 28, 28));
}

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        bar.resize(28, 105);
        bar.SetUpButtonSkin(ArrowSkin(Qt::red));
        bar.SetDownButtonSkin(ArrowSkin(Qt::green));
        bar.SetScrollButtonSkin(ArrowSkin(Qt::blue));
        bar.SetMax(10);
        bar.PositionChanged = [this](QObject *, int value) { changes << value; };
    }

    int ThumbTop() const { return bar.ScrollButton()->y(); }

    TtestHost host;
    TvorlenScrollBar bar { &host };
    QList<int> changes;
};

// Waits until condition holds, letting the timer's ticks in.
template <typename Condition> bool WaitFor(Condition condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(10);
    return condition();
}

} // namespace

// 105 high with 28-pixel arrows and thumb leaves the thumb 21 pixels of
// travel from 28: value 5 gives 28 + round(10.5) = 38.
TEST_F(ScrollBarTest, ThumbPositionFollowsTheValue)
{
    EXPECT_EQ(bar.UpButton()->geometry(), QRect(0, 0, 28, 28));
    EXPECT_EQ(bar.DownButton()->geometry(), QRect(0, 77, 28, 28));
    EXPECT_TRUE(bar.ScrollButton()->IsSkinned());
    EXPECT_EQ(ThumbTop(), 28);
    bar.SetValue(10);
    EXPECT_EQ(ThumbTop(), 49);
    bar.SetValue(5);
    EXPECT_EQ(ThumbTop(), 38);
    bar.SetValue(99);
    EXPECT_EQ(bar.Value(), 10);
    EXPECT_EQ(changes, QList<int>({ 10, 5, 10 }));
}

TEST_F(ScrollBarTest, DraggingPastTheEndStopsAtMax)
{
    bar.SetNoChangeWhileMoving(true);
    TvorlenButton *thumb = bar.ScrollButton();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(bar.ThumbHeld());
    QTest::mouseMove(thumb, QPoint(10, 60));
    QTest::mouseMove(thumb, QPoint(10, 210));
    EXPECT_EQ(ThumbTop(), 49);
    EXPECT_EQ(bar.Value(), 10);
    EXPECT_TRUE(changes.isEmpty()) << "no change is reported while the thumb moves";
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(10, 210));
    EXPECT_FALSE(bar.ThumbHeld());
    EXPECT_EQ(changes, QList<int>({ 10 }));
}

TEST_F(ScrollBarTest, DraggingReportsEveryMoveByDefault)
{
    TvorlenButton *thumb = bar.ScrollButton();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    // 10 pixels of 21 give round(10 * 10 / 21) = 5.
    QTest::mouseMove(thumb, QPoint(10, 20));
    EXPECT_EQ(ThumbTop(), 38);
    EXPECT_EQ(bar.Value(), 5);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(10, 20));
    EXPECT_EQ(changes, QList<int>({ 5, 5 }));
}

TEST_F(ScrollBarTest, QuietValuesWaitForTheThumbToBeReleased)
{
    TvorlenButton *thumb = bar.ScrollButton();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    bar.SetValueQuietly(7);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(ThumbTop(), 28);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    changes.clear();
    bar.SetValueQuietly(7);
    EXPECT_EQ(bar.Value(), 7);
    EXPECT_EQ(ThumbTop(), 28 + 15) << "round(7 * 21 / 10) = 15";
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ScrollBarTest, HeldThumbIsNotMovedByValueChanges)
{
    TvorlenButton *thumb = bar.ScrollButton();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    bar.SetValue(10);
    EXPECT_EQ(ThumbTop(), 28);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(ThumbTop(), 49);
}

TEST_F(ScrollBarTest, RangeChangesAreCheckedAndQuiet)
{
    bar.SetValue(4);
    changes.clear();
    bar.SetMax(0);
    bar.SetMin(-1);
    bar.SetMin(10);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 10);
    bar.SetMax(20);
    EXPECT_EQ(bar.Max(), 20);
    EXPECT_EQ(bar.Value(), 4);
    EXPECT_EQ(ThumbTop(), 28 + 4) << "round(4 * 21 / 20) = 4";
    bar.SetMin(8);
    EXPECT_EQ(bar.Value(), 4) << "the caller sets the value again";
    EXPECT_EQ(ThumbTop(), 28) << "the thumb stays on the track";
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(ScrollBarTest, HoldingTheTrackPagesUntilTheEnd)
{
    bar.SetMax(50);
    bar.SetLargeStep(10);
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(10, 70));
    EXPECT_TRUE(changes.isEmpty()) << "the first step comes with the first tick";
    ASSERT_TRUE(WaitFor([this] { return bar.Value() == 50; }));
    QTest::qWait(350);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(10, 70));
    EXPECT_EQ(changes, QList<int>({ 10, 20, 30, 40, 50 }));

    changes.clear();
    QTest::mousePress(bar.UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(WaitFor([this] { return !changes.isEmpty(); }));
    QTest::mouseRelease(bar.UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
    const int released = bar.Value();
    QTest::qWait(350);
    EXPECT_EQ(bar.Value(), released) << "the release stops the repeat";
    EXPECT_EQ(changes.first(), 49);
}

TEST_F(ScrollBarTest, TrackBeforeTheThumbPagesBack)
{
    bar.SetValue(10);
    changes.clear();
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(10, 40));
    ASSERT_TRUE(WaitFor([this] { return !changes.isEmpty(); }));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(10, 40));
    EXPECT_EQ(changes.first(), 0);
}

TEST_F(ScrollBarTest, ScrollComponentFollowsVerticalBars)
{
    QListWidget list(&host);
    for (int i = 0; i < 200; ++i)
        list.addItem(QString::number(i));
    list.resize(100, 100);
    list.show();
    QTest::qWait(20);
    bar.SetMax(100);
    bar.SetScrollComponent(&list);
    bar.SetValue(30);
    EXPECT_EQ(list.verticalScrollBar()->value(), 30);
    bar.SetValueQuietly(40);
    EXPECT_EQ(list.verticalScrollBar()->value(), 30);
}

TEST(ScrollBarLayout, UnskinnedHorizontalBar)
{
    TtestHost host;
    host.ShowActive();
    TvorlenScrollBar bar(&host);
    bar.show();
    bar.SetStyle(vsbHorizontal);
    bar.resize(140, 20);
    EXPECT_EQ(bar.DownButton()->geometry(), QRect(120, 0, 20, 20));
    EXPECT_EQ(bar.ScrollButton()->size(), QSize(40, 20));
    bar.SetMax(4);
    bar.SetValue(3);
    // 140 - 20 - 20 - 40 = 60 of travel: 20 + round(3 * 60 / 4) = 65.
    EXPECT_EQ(bar.ScrollButton()->x(), 65);

    bar.SetBackColor(QColor(9, 8, 7));
    EXPECT_EQ(Rgb(Grab(bar), 110, 10), qRgb(9, 8, 7) & 0xFFFFFF);
    QImage tile = SolidImage(3, 20, Qt::yellow);
    tile.setPixelColor(0, 5, Qt::cyan);
    bar.SetBackBitmap(tile);
    const QImage shown = Grab(bar);
    EXPECT_EQ(Rgb(shown, 111, 5), Rgb(QColor(Qt::cyan)));
    EXPECT_EQ(Rgb(shown, 112, 5), Rgb(QColor(Qt::yellow)));
}

TEST(ScrollBarLayout, AlignedBarsDockToTheirEdge)
{
    TtestHost parent(200, 100);
    parent.ShowActive();
    TvorlenScrollBar bar(&parent);
    bar.show();
    bar.SetIsAligned(true);
    EXPECT_EQ(bar.geometry(), QRect(180, 0, 20, 100));
    bar.SetLeftTopAligned(true);
    EXPECT_EQ(bar.geometry(), QRect(0, 0, 20, 100));
    bar.SetStyle(vsbHorizontal);
    bar.resize(bar.width(), 20);
    EXPECT_EQ(bar.geometry(), QRect(0, 0, 200, 20));
    bar.SetLeftTopAligned(false);
    EXPECT_EQ(bar.geometry(), QRect(0, 80, 200, 20));
    bar.SetIsAligned(false);
    EXPECT_EQ(ControlAlign(&bar), alNone);
}

TEST(ScrollBarSkinColors, ButtonsAndBackgroundAreTinted)
{
    TvorlenScrollBar bar;
    const QColor grey(128, 128, 128);
    bar.SetUpButtonSkin(ButtonStrip(10, 10, { grey, grey }, QRect(0, 0, 5, 10)));
    bar.SetBackBitmap(SolidImage(4, 4, grey));
    bar.ApplySkinColors(QColor(200, 0, 0), QColor(0, 0, 200));
    EXPECT_EQ(bar.UpButtonSkin().pixelColor(2, 2), QColor(200, 0, 0)) << "face pixels take the button colour";
    EXPECT_EQ(bar.UpButtonSkin().pixelColor(7, 2), QColor(0, 0, 200)) << "the rest takes the panel colour";
    EXPECT_EQ(bar.BackBitmap().pixelColor(1, 1), QColor(0, 0, 200));
}
