#include "ui/controls/vorlenButton.h"
#include "skinFixtures.h"
#include "ui/controls/roundHalfEven.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kUp(200, 0, 0);
const QColor kDown(0, 200, 0);
const QColor kChecked(0, 0, 200);
const QColor kCheckedDown(200, 200, 0);

// Records the button's events in order.
struct TeventLog {
    QStringList entries;
    void Attach(TvorlenButton &button)
    {
        button.OnMouseDown = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            entries << QStringLiteral("down %1,%2").arg(x).arg(y);
        };
        button.OnMouseUp
            = [this](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { entries << QStringLiteral("up"); };
        button.OnClick = [this](QObject *) { entries << QStringLiteral("click"); };
    }
};

class VorlenButtonTest : public ::testing::Test {
protected:
    void SetUp() override { host.ShowActive(); }

    QRgb Shown(int x = 14, int y = 14) { return Rgb(Grab(button), x, y); }

    TtestHost host;
    TvorlenButton button { &host };
    TeventLog log;
};

} // namespace

// An 87 x 29 strip has three 29-pixel frames; the mask's face is the square
// 5 ... 23.
TEST_F(VorlenButtonTest, PressOnTheFaceShowsPressedFrameAndClicksOnRelease)
{
    button.SetSkinBitmap(ButtonStrip(29, 29, { kUp, kDown }, QRect(5, 5, 19, 19)));
    button.SetIsSkinned(true);
    button.resize(29, 29);
    log.Attach(button);
    EXPECT_EQ(Shown(), Rgb(kUp));

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(Shown(), Rgb(kDown));
    EXPECT_TRUE(button.hasFocus());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(Shown(), Rgb(kUp));
    EXPECT_EQ(
        log.entries, QStringList({ QStringLiteral("down 10,12"), QStringLiteral("click"), QStringLiteral("up") }));
}

TEST_F(VorlenButtonTest, PressOutsideTheFaceDoesNothing)
{
    button.SetSkinBitmap(ButtonStrip(29, 29, { kUp, kDown }, QRect(5, 5, 19, 19)));
    button.SetIsSkinned(true);
    button.resize(29, 29);
    log.Attach(button);
    QLineEdit edit(&host);
    edit.move(100, 100);
    edit.show();
    edit.setFocus();
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(Shown(), Rgb(kUp));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(log.entries.isEmpty()) << log.entries.join(u';').toStdString();
    EXPECT_TRUE(edit.hasFocus()) << "only a press on the face takes the focus";
}

// Stretched to twice its frame, the button still tests the mask at the
// unscaled mouse position: (30, 30) lies beyond the mask frame.
TEST_F(VorlenButtonTest, HitTestUsesTheUnscaledPosition)
{
    button.SetSkinBitmap(ButtonStrip(29, 29, { kUp, kDown }, QRect(5, 5, 19, 19)));
    button.SetIsSkinned(true);
    button.resize(58, 58);
    log.Attach(button);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_TRUE(log.entries.isEmpty());
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(log.entries.size(), 3);
}

TEST_F(VorlenButtonTest, ReleaseOutsideRaisesMouseUpButNoClick)
{
    button.SetSkinBitmap(ButtonStrip(29, 29, { kUp, kDown }, QRect(0, 0, 29, 29)));
    button.SetIsSkinned(true);
    button.resize(29, 29);
    button.SetChecked(true);
    log.Attach(button);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_EQ(log.entries, QStringList({ QStringLiteral("down 5,5"), QStringLiteral("up") }));
    EXPECT_TRUE(button.Checked()) << "only a click clears an ordinary button's Checked";
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button.Checked());
}

TEST_F(VorlenButtonTest, CheckButtonWalksItsFiveFrames)
{
    button.SetIsCheckButton(true);
    button.SetSkinBitmap(ButtonStrip(20, 20, { kUp, kDown, kChecked, kCheckedDown }, QRect(0, 0, 20, 20)));
    button.SetIsSkinned(true);
    button.resize(20, 20);
    const QPoint at(8, 8);
    EXPECT_EQ(Shown(8, 8), Rgb(kUp));
    QTest::mousePress(&button, Qt::LeftButton, {}, at);
    EXPECT_EQ(Shown(8, 8), Rgb(kDown));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
    EXPECT_TRUE(button.Checked());
    EXPECT_EQ(Shown(8, 8), Rgb(kChecked));
    QTest::mousePress(&button, Qt::LeftButton, {}, at);
    EXPECT_EQ(Shown(8, 8), Rgb(kCheckedDown));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, at);
    EXPECT_FALSE(button.Checked());
    EXPECT_EQ(Shown(8, 8), Rgb(kUp));
    button.SetChecked(true);
    EXPECT_EQ(Shown(8, 8), Rgb(kChecked));
}

TEST_F(VorlenButtonTest, EnterAndSpacePressAndClickFromTheKeyboard)
{
    button.SetSkinBitmap(ButtonStrip(20, 20, { kUp, kDown }, QRect(0, 0, 20, 20)));
    button.SetIsSkinned(true);
    button.resize(20, 20);
    button.setFocus();
    log.Attach(button);
    for (const Qt::Key key : { Qt::Key_Space, Qt::Key_Return }) {
        QTest::keyPress(&button, key);
        EXPECT_EQ(Shown(5, 5), Rgb(kDown));
        QTest::keyRelease(&button, key);
        EXPECT_EQ(Shown(5, 5), Rgb(kUp));
    }
    EXPECT_EQ(log.entries, QStringList({ QStringLiteral("click"), QStringLiteral("click") }));
    QTest::keyRelease(&button, Qt::Key_Space);
    EXPECT_EQ(log.entries.size(), 2) << "a release without a press clicks nothing";
}

TEST_F(VorlenButtonTest, ClickRunsTheActionWhenOnClickIsEmpty)
{
    QAction action(QStringLiteral("Go"));
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&triggered] { ++triggered; });
    button.SetAction(&action);
    EXPECT_EQ(button.Caption(), QStringLiteral("Go"));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(triggered, 1);
    action.setEnabled(false);
    EXPECT_FALSE(button.isEnabled());
    button.OnClick = [](QObject *) {};
    action.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(triggered, 1);
}

TEST_F(VorlenButtonTest, TooNarrowSkinTurnsSkinningOff)
{
    for (const QImage &skin : { SolidImage(4, 10, kUp), QImage() }) {
        button.SetSkinBitmap(skin);
        button.SetIsSkinned(true);
        button.SetColor(QColor(100, 100, 100));
        button.SetCaption(QStringLiteral("OK"));
        const QImage shown = Grab(button);
        EXPECT_FALSE(button.IsSkinned());
        // The raised bevel's outer ring: 100 lightened by round(50/3) = 17 %.
        EXPECT_EQ(Rgb(shown, 0, 0), qRgb(126, 126, 126) & 0xFFFFFF);
        EXPECT_FALSE(button.ShowFocusRect()) << "setting IsSkinned turns the focus rectangle off";
    }
}

// Unskinned glyphs: a 16 x 16 glyph whose bottom-left colour (green) is
// see-through around a red square.
class GlyphTest : public VorlenButtonTest {
protected:
    void SetUp() override
    {
        VorlenButtonTest::SetUp();
        button.resize(75, 25);
        button.SetColor(QColor(100, 100, 100));
        button.SetBevelWidth(0);
        button.SetGlyphPadding(4);
    }

    static QImage Glyph(const QColor &left, const QColor &right, int width)
    {
        QImage glyph = SolidImage(width, 16, QColor(0, 255, 0));
        for (int x = 0; x < width; ++x) {
            for (int y = 4; y < 12; ++y) {
                if (x % 16 >= 4 && x % 16 < 12)
                    glyph.setPixelColor(x, y, x < 16 ? left : right);
            }
        }
        return glyph;
    }

    // The left edge of the red square, found on the row through its middle.
    int RedLeft(const QColor &color = Qt::red)
    {
        const QImage shown = Grab(button);
        for (int x = 0; x < shown.width(); ++x) {
            if (Rgb(shown, x, 12) == Rgb(color))
                return x;
        }
        return -1;
    }
};

TEST_F(GlyphTest, GlyphPositions)
{
    button.SetGlyphs(Glyph(Qt::red, Qt::red, 16));
    // The glyph's top is round(25 / 2 - 8) = round(4.5) = 4; its square
    // starts 4 further down and across.
    EXPECT_EQ(Rgb(Grab(button), 4 + 4, 4 + 4), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(Grab(button), 4 + 4, 4 + 3), qRgb(100, 100, 100) & 0xFFFFFF) << "green is see-through";
    EXPECT_EQ(RedLeft(), 4 + 4);
    button.SetGlyphPos(gpRight);
    EXPECT_EQ(RedLeft(), 75 - 4 - 16 + 4);
    button.SetGlyphPos(gpCenter);
    EXPECT_EQ(RedLeft(), 30 + 4) << "round(29.5) = 30";
    button.SetCaption(QStringLiteral("&Play"));
    const int captionWidth = button.fontMetrics().horizontalAdvance(QStringLiteral("Play"));
    const int beside = int(RoundDiv(captionWidth, 2)) + 4 + 8;
    button.SetGlyphPos(gpCenterLeft);
    EXPECT_EQ(RedLeft(), 30 - beside + 4);
    button.SetGlyphPos(gpCenterRight);
    EXPECT_EQ(RedLeft(), 30 + beside + 4);
}

TEST_F(GlyphTest, PressedGlyphShiftsByHalfTheBevel)
{
    button.SetGlyphs(Glyph(Qt::red, Qt::red, 16));
    button.SetBevelWidth(5);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 12));
    // round(5 / 2) = 2.
    EXPECT_EQ(RedLeft(), 4 + 4 + 2);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(RedLeft(), 4 + 4);
}

TEST_F(GlyphTest, CheckButtonShowsTheHalfOfItsState)
{
    button.SetIsCheckButton(true);
    button.SetGlyphs(Glyph(Qt::red, Qt::blue, 32));
    EXPECT_EQ(RedLeft(Qt::red), 8);
    EXPECT_EQ(RedLeft(Qt::blue), -1);
    button.SetChecked(true);
    EXPECT_EQ(RedLeft(Qt::blue), 8);
    EXPECT_EQ(RedLeft(Qt::red), -1);
}

TEST_F(GlyphTest, GreyGlyphIsEmbossedOnTheButtonColour)
{
    QImage glyph = SolidImage(16, 16, QColor(0, 255, 0));
    glyph.setPixelColor(8, 8, QColor(0, 0, 0));
    glyph.setPixelColor(9, 8, QColor(255, 255, 255));
    button.SetGlyphs(glyph);
    const QImage shown = Grab(button);
    EXPECT_EQ(Rgb(shown, 4 + 8, 4 + 8), 0u);
    EXPECT_EQ(Rgb(shown, 4 + 9, 4 + 8), 0xFFFFFFu);
    button.SetColor(QColor(10, 20, 30));
    EXPECT_EQ(Rgb(Grab(button), 4 + 10, 4 + 10), qRgb(10, 20, 30) & 0xFFFFFF);
}
