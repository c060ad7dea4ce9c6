#include "skinFixtures.h"
#include "ui/controls/controlAlign.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenPanel.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// A 300-wide parent with a 100-wide panel docked left, the splitter right
// of it and a panel filling the rest.
class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        left.resize(100, 10);
        SetControlAlign(&left, alLeft);
        splitter.resize(3, 10);
        splitter.move(100, 0);
        SetControlAlign(&splitter, alLeft);
        SetControlAlign(&rest, alClient);
        splitter.OnMoved = [this](QObject *) { ++moved; };
    }

    void Drag(int dx)
    {
        QTest::mousePress(&splitter, Qt::LeftButton, {}, QPoint(1, 5));
        QTest::mouseMove(&splitter, QPoint(1 + dx, 5));
        QTest::mouseRelease(&splitter, Qt::LeftButton, {}, QPoint(1 + dx, 5));
    }

    TtestHost host { 300, 50 };
    TvorlenPanel left { &host };
    TtransparentSplitter splitter { &host };
    TvorlenPanel rest { &host };
    int moved = 0;
};

} // namespace

TEST_F(SplitterTest, DraggingResizesTheDockedNeighbour)
{
    EXPECT_EQ(splitter.geometry(), QRect(100, 0, 3, 50));
    EXPECT_EQ(rest.geometry(), QRect(103, 0, 197, 50));
    Drag(50);
    EXPECT_EQ(left.width(), 150);
    EXPECT_EQ(splitter.x(), 150);
    EXPECT_EQ(rest.geometry(), QRect(153, 0, 147, 50));
    EXPECT_EQ(moved, 1);
}

TEST_F(SplitterTest, DragsAreLimitedByMinSizeOnBothSides)
{
    splitter.SetMinSize(40);
    Drag(-200);
    EXPECT_EQ(left.width(), 40);
    Drag(1000);
    // 300 less the splitter and 40 for the rest.
    EXPECT_EQ(left.width(), 257);
    EXPECT_EQ(rest.width(), 40);
}

TEST(TransparentSplitter, PaintsItsColourAndCornerPictures)
{
    TtransparentSplitter splitter;
    splitter.resize(6, 20);
    splitter.SetColor(QColor(9, 9, 9));
    splitter.SetTopLeftBitmap(SolidImage(2, 2, Qt::red));
    splitter.SetBottomRightBitmap(SolidImage(3, 4, Qt::green));
    const QImage shown = Grab(splitter);
    EXPECT_EQ(Rgb(shown, 1, 1), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(shown, 2, 2), qRgb(9, 9, 9) & 0xFFFFFF);
    EXPECT_EQ(Rgb(shown, 3, 16), Rgb(QColor(Qt::green)));
    EXPECT_EQ(Rgb(shown, 2, 16), qRgb(9, 9, 9) & 0xFFFFFF);
    EXPECT_EQ(Rgb(shown, 5, 19), Rgb(QColor(Qt::green)));
}

TEST(TransparentSplitter, SkinColoursTintGreyToThePanelColour)
{
    TvorlenPanel parent;
    parent.SetPanelColor(QColor(128, 128, 128));
    TtransparentSplitter splitter(&parent);
    EXPECT_TRUE(splitter.ParentColor());
    EXPECT_EQ(splitter.Color(), QColor(128, 128, 128));
    splitter.SetTopLeftBitmap(SolidImage(2, 2, QColor(0, 0, 0)));
    splitter.ApplySkinColors(QColor(10, 100, 200));
    EXPECT_FALSE(splitter.ParentColor());
    EXPECT_EQ(splitter.Color(), QColor(10, 100, 200));
    parent.SetPanelColor(Qt::white);
    EXPECT_EQ(splitter.Color(), QColor(10, 100, 200)) << "it no longer follows its parent";

    TtransparentSplitter coloured;
    coloured.SetColor(QColor(10, 20, 30));
    coloured.ApplySkinColors(Qt::red);
    EXPECT_EQ(coloured.Color(), QColor(10, 20, 30)) << "only a grey is tinted";
}
