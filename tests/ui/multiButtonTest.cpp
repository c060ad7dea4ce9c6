#include "skinFixtures.h"
#include "ui/controls/skinColors.h"
#include "ui/controls/vorlenMultiButton.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kNormal(40, 40, 40);
const QColor kPressed(90, 90, 90);
const QColor kChecked(160, 160, 160);

// Four 20 x 10 frames; the map's quadrants are parts 1 (fuchsia, top left),
// 2 (blue, top right), 3 (lime, bottom left) and 4 (red, bottom right), with
// a black line between the top and bottom halves' left columns.
QImage FourPartSkin()
{
    QImage skin(80, 10, QImage::Format_RGB32);
    QPainter painter(&skin);
    painter.fillRect(0, 0, 20, 10, kNormal);
    painter.fillRect(20, 0, 20, 10, kPressed);
    painter.fillRect(40, 0, 20, 10, kChecked);
    painter.fillRect(60, 0, 10, 5, QColor(255, 0, 255));
    painter.fillRect(70, 0, 10, 5, QColor(0, 0, 255));
    painter.fillRect(60, 5, 10, 5, QColor(0, 255, 0));
    painter.fillRect(70, 5, 10, 5, QColor(255, 0, 0));
    painter.fillRect(60, 0, 1, 10, Qt::black);
    return skin;
}

class MultiButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        button.SetSkinBitmap(FourPartSkin());
        button.resize(20, 10);
        button.OnButton1Click = [this](QObject *) { clicks << 1; };
        button.OnButton2Click = [this](QObject *) { clicks << 2; };
        button.OnButton3Click = [this](QObject *) { clicks << 3; };
        button.OnButton4Click = [this](QObject *) { clicks << 4; };
    }

    TtestHost host;
    TvorlenMultiButton button { &host };
    QList<int> clicks;
};

} // namespace

TEST_F(MultiButtonTest, PartsComeFromTheColourMap)
{
    EXPECT_EQ(button.PartAt(3, 2), 1);
    EXPECT_EQ(button.PartAt(15, 2), 2);
    EXPECT_EQ(button.PartAt(3, 7), 3);
    EXPECT_EQ(button.PartAt(15, 7), 4);
    EXPECT_EQ(button.PartAt(0, 2), 0);
    EXPECT_EQ(button.PartAt(25, 2), 0);
}

TEST_F(MultiButtonTest, ReleaseOnAnotherPartDoesNotClick)
{
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(15, 2));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 7));
    EXPECT_TRUE(clicks.isEmpty());
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(15, 2));
    EXPECT_EQ(clicks, QList<int>({ 2 }));
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(15, 2));
    EXPECT_EQ(clicks, QList<int>({ 2 }));
    EXPECT_EQ(button.ButtonChecked(), 0) << "a click does not check its part";
}

TEST_F(MultiButtonTest, PressedAndCheckedPartsShowTogether)
{
    button.SetButtonChecked(4);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 2));
    const QImage shown = Grab(button);
    EXPECT_EQ(Rgb(shown, 3, 2), Rgb(kPressed));
    EXPECT_EQ(Rgb(shown, 15, 7), Rgb(kChecked));
    EXPECT_EQ(Rgb(shown, 15, 2), Rgb(kNormal));
    EXPECT_EQ(Rgb(shown, 3, 7), Rgb(kNormal));
    EXPECT_EQ(Rgb(shown, 0, 2), Rgb(kNormal)) << "map pixels of no part stay normal";
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 2));

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(15, 7));
    EXPECT_EQ(Rgb(Grab(button), 15, 7), Rgb(kPressed)) << "the pressed look wins over the checked one";
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(15, 7));
    EXPECT_EQ(Rgb(Grab(button), 15, 7), Rgb(kChecked));
}

TEST_F(MultiButtonTest, CheckButtonTogglesOrMoves)
{
    button.CheckButton(3, false);
    EXPECT_EQ(button.ButtonChecked(), 3);
    EXPECT_EQ(Rgb(Grab(button), 3, 7), Rgb(kChecked));
    button.CheckButton(3, false);
    EXPECT_EQ(button.ButtonChecked(), 3);
    button.CheckButton(3, true);
    EXPECT_EQ(button.ButtonChecked(), 0);
    button.CheckButton(1, true);
    EXPECT_EQ(button.ButtonChecked(), 1);
}

TEST_F(MultiButtonTest, PartColoursCanBeChanged)
{
    button.SetButtonColor(1, QColor(0, 255, 0));
    button.SetButtonColor(3, QColor(255, 0, 255));
    EXPECT_EQ(button.PartAt(3, 7), 1);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 7));
    const QImage shown = Grab(button);
    EXPECT_EQ(Rgb(shown, 3, 7), Rgb(kPressed));
    EXPECT_EQ(Rgb(shown, 3, 2), Rgb(kNormal));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 7));
    EXPECT_EQ(clicks, QList<int>({ 1 }));
}

TEST_F(MultiButtonTest, BlackOverlayPixelsLetTheNormalFrameShow)
{
    QImage skin = FourPartSkin();
    skin.setPixelColor(20 + 5, 2, Qt::black);
    button.SetSkinBitmap(skin);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 2));
    const QImage shown = Grab(button);
    EXPECT_EQ(Rgb(shown, 5, 2), Rgb(kNormal));
    EXPECT_EQ(Rgb(shown, 6, 2), Rgb(kPressed));
}

TEST_F(MultiButtonTest, TintingUsesTheStandardPartColours)
{
    QImage skin = FourPartSkin();
    skin.setPixelColor(0, 0, QColor(128, 128, 128));
    skin.setPixelColor(60 + 0, 0, QColor(10, 10, 10));
    skin.setPixelColor(1, 0, QColor(128, 128, 128));
    button.SetSkinBitmap(skin);
    button.SetButtonColor(2, QColor(1, 1, 1));
    button.ApplySkinColors(QColor(200, 100, 0), QColor(0, 100, 200));
    EXPECT_EQ(button.SkinBitmap().pixelColor(0, 0), QColor(0, 100, 200));
    EXPECT_EQ(button.SkinBitmap().pixelColor(1, 0), QColor(200, 100, 0));
    EXPECT_EQ(button.SkinBitmap().pixelColor(60 + 12, 2), QColor(0, 0, 255)) << "the map stays";
}

TEST(MultiButtonWithoutSkin, QuadrantsAndDividingLines)
{
    TtestHost host;
    host.ShowActive();
    TvorlenMultiButton button(&host);
    button.resize(40, 20);
    button.show();
    int clicked = 0;
    button.OnButton4Click = [&clicked](QObject *) { ++clicked; };
    EXPECT_EQ(button.PartAt(5, 5), 1);
    EXPECT_EQ(button.PartAt(25, 5), 2);
    EXPECT_EQ(button.PartAt(5, 15), 3);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(30, 15));
    EXPECT_EQ(clicked, 1);
    const QImage shown = Grab(button);
    EXPECT_EQ(Rgb(shown, 5, 10), 0u);
    EXPECT_EQ(Rgb(shown, 20, 3), 0u);
    EXPECT_EQ(Rgb(shown, 5, 5), Rgb(SystemColor(clBtnFace)));
}
