#include "playback/threadedTimer.h"
#include "ui/controls/scrollBanner2.h"
#include "widgetPixels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

QFont BannerFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(19);
    font.setBold(true);
    return font;
}

// A banner as the main window sets it up, in colours the pictures can tell
// apart.
struct Banner {
    TScrollBanner2 banner;

    Banner(int width, const QString &text)
    {
        banner.setFont(BannerFont());
        banner.SetFontColor(QColor(60, 166, 230));
        banner.SetColor_Off(QColor(0, 0, 0));
        banner.SetColor_Background(QColor(0, 0, 0));
        banner.SetScrollInc(15);
        banner.SetNumSpaces(10);
        banner.SetSmoothScrolling(true);
        banner.resize(width, 30);
        banner.SetText(text);
    }
};

// The banner's picture must be the strip repeated endlessly, shifted by the
// offset: column x shows strip column (x - offset) mod strip width.
void ExpectWrappedStrip(TScrollBanner2 &banner)
{
    const QImage strip = banner.Strip().convertToFormat(QImage::Format_RGB32);
    const QImage shown = Grab(banner);
    const int width = strip.width();
    for (int x = 0; x < shown.width(); ++x) {
        const int column = ((x - banner.ScrollOffset()) % width + width) % width;
        for (int y = 0; y < shown.height(); ++y) {
            if (shown.pixel(x, y) != strip.pixel(column, y)) {
                ADD_FAILURE() << "offset " << banner.ScrollOffset() << ": column " << x << " is not strip column "
                              << column;
                return;
            }
        }
    }
}

int InkColumns(const QImage &picture, int from, int to, QRgb background)
{
    int columns = 0;
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < picture.height(); ++y) {
            if (picture.pixel(x, y) != background) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

} // namespace

TEST(ScrollBanner, StartsAsDesigned)
{
    TScrollBanner2 banner;
    EXPECT_EQ(banner.Color_Off(), QColor(0x00, 0x88, 0x00));
    EXPECT_EQ(banner.GridSize(), 2);
    EXPECT_EQ(banner.ScrollInc(), 10);
    EXPECT_FALSE(banner.ScrollEnabled());
    EXPECT_EQ(banner.ScrollOffset(), 0);
    EXPECT_FALSE(banner.Timer().Running());
    banner.SetGridSize(1);
    EXPECT_EQ(banner.GridSize(), 2);
    banner.SetScrollInc(500);
    EXPECT_EQ(banner.ScrollInc(), 100);
}

TEST(ScrollBanner, AShortTextGetsAStripAsWideAsTheBanner)
{
    Banner fixture(601, QStringLiteral("Hi"));
    const QImage &strip = fixture.banner.Strip();
    EXPECT_EQ(strip.size(), QSize(601, 30));
    // The text starts at the left of the strip, on the banner's background.
    const QRgb off = qRgb(0, 0, 0);
    EXPECT_GT(InkColumns(strip, 0, 30, off), 0);
    EXPECT_EQ(InkColumns(strip, 30, 601, off), 0);
}

TEST(ScrollBanner, ALongTextGetsAStripAsWideAsTheTextAndItsSpaces)
{
    const QString text = QStringLiteral("Massive Attack - Teardrop (Mad Professor remix, extended)");
    Banner fixture(300, text);
    const QFontMetrics metrics(BannerFont());
    EXPECT_EQ(fixture.banner.Strip().width(), metrics.horizontalAdvance(text + QString(10, QLatin1Char(' '))));
    fixture.banner.SetNumSpaces(0);
    EXPECT_EQ(fixture.banner.Strip().width(), metrics.horizontalAdvance(text));
    fixture.banner.resize(2000, 30);
    EXPECT_EQ(fixture.banner.Strip().width(), 2000) << "rebuilt for the new size";
}

TEST(ScrollBanner, ANewFontOrColourRebuildsTheStrip)
{
    Banner fixture(200, QStringLiteral("Lamb - Gorecki"));
    TScrollBanner2 &banner = fixture.banner;
    const QImage blue = banner.Strip();
    banner.SetFontColor(QColor(255, 125, 70));
    const QImage orange = banner.Strip();
    ASSERT_EQ(orange.size(), blue.size());
    int orangePixels = 0;
    for (int y = 0; y < orange.height(); ++y)
        for (int x = 0; x < 60; ++x)
            orangePixels += orange.pixel(x, y) == qRgb(255, 125, 70);
    EXPECT_GT(orangePixels, 0);
    QFont bigger = BannerFont();
    bigger.setPixelSize(25);
    banner.setFont(bigger);
    const int textWidth = QFontMetrics(bigger).horizontalAdvance(QStringLiteral("Lamb - Gorecki") + QString(10, ' '));
    EXPECT_EQ(banner.Strip().width(), std::max(textWidth, 200)) << "laid out in the new font";
    EXPECT_NE(banner.Strip(), orange);
}

TEST(ScrollBanner, AnEndlessTitleIsCutToAStripThePainterCanDraw)
{
    Banner fixture(300, QString(20000, QLatin1Char('M')));
    const QImage &strip = fixture.banner.Strip();
    EXPECT_FALSE(strip.isNull());
    EXPECT_EQ(strip.width(), 32767);
    fixture.banner.Step();
    EXPECT_EQ(fixture.banner.ScrollOffset(), -15);
}

TEST(ScrollBanner, TheTextLeavesOnTheLeftAndComesBackFromTheRight)
{
    Banner fixture(601, QStringLiteral("Portishead - Roads"));
    TScrollBanner2 &banner = fixture.banner;
    const QImage atStart = Grab(banner);
    const int stripWidth = banner.Strip().width();
    ASSERT_EQ(stripWidth, 601);
    for (int step = 1; step <= 40; ++step) {
        banner.Step();
        EXPECT_EQ(banner.ScrollOffset(), -15 * step);
        if (step % 7 == 0)
            ExpectWrappedStrip(banner);
    }
    // -600 is not past the strip's width yet; the next step is, and the strip
    // starts over from the right edge, which shows as the start.
    banner.Step();
    EXPECT_EQ(banner.ScrollOffset(), 601);
    EXPECT_EQ(Grab(banner), atStart);
    banner.Step();
    EXPECT_EQ(banner.ScrollOffset(), 586);
    ExpectWrappedStrip(banner);
}

TEST(ScrollBanner, AStepIsDrawnAtOnce)
{
    Banner fixture(200, QStringLiteral("Air - La femme d'argent"));
    fixture.banner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fixture.banner));
    QApplication::processEvents();
    PaintCounter paints(fixture.banner);
    fixture.banner.Step();
    EXPECT_EQ(paints.count, 1);
}

TEST(ScrollBanner, CellModeLaysCharactersOutInCellsAndStepsACell)
{
    Banner fixture(601, QStringLiteral("WIDE"));
    TScrollBanner2 &banner = fixture.banner;
    banner.SetSmoothScrolling(false);
    const QImage strip = banner.Strip();
    const QFontMetrics metrics(BannerFont());
    int widest = metrics.horizontalAdvance(QLatin1Char(' '));
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(letter)));
    const int cell = int(std::lrint(widest * 0.8));
    EXPECT_EQ(banner.CellWidth(), cell);
    EXPECT_EQ(banner.width(), 601 / cell * cell) << "a whole number of cells";
    EXPECT_EQ(strip.width(), banner.width());
    // Each of the four letters is inked inside its own cell, around its middle.
    const QRgb off = qRgb(0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        const int left = i * cell;
        EXPECT_GT(InkColumns(strip, left + cell / 2 - 1, left + cell / 2 + 1, off), 0) << "cell " << i;
    }
    EXPECT_EQ(InkColumns(strip, 4 * cell + 2, strip.width(), off), 0);
    banner.Step();
    EXPECT_EQ(banner.ScrollOffset(), -cell);
    banner.Step();
    EXPECT_EQ(banner.ScrollOffset(), -2 * cell);
    ExpectWrappedStrip(banner);
}

TEST(ScrollBanner, TextScrollSwitchAndModeSwitchStartTheTextOver)
{
    Banner fixture(300, QStringLiteral("Boards of Canada - Roygbiv"));
    TScrollBanner2 &banner = fixture.banner;
    const auto scrolled = [&] {
        banner.Step();
        banner.Step();
        return banner.ScrollOffset() != 0;
    };
    ASSERT_TRUE(scrolled());
    banner.SetText(QStringLiteral("Aphex Twin - Xtal"));
    EXPECT_EQ(banner.ScrollOffset(), 0);

    ASSERT_TRUE(scrolled());
    banner.SetSmoothScrolling(false);
    EXPECT_EQ(banner.ScrollOffset(), 0);
    banner.SetSmoothScrolling(true);

    banner.SetScrollEnabled(true);
    ASSERT_TRUE(scrolled());
    banner.SetScrollEnabled(false);
    EXPECT_EQ(banner.ScrollOffset(), 0) << "switching scrolling off shows the text from its start";
    EXPECT_EQ(banner.Text(), "Aphex Twin - Xtal");
    EXPECT_FALSE(banner.Timer().Running());

    ASSERT_TRUE(scrolled());
    banner.SetScrollDelay(0);
    EXPECT_EQ(banner.ScrollOffset(), 0);
}

TEST(ScrollBanner, ScrollingRunsOnItsTimerWithTheDelay)
{
    Banner fixture(300, QStringLiteral("Moby - Porcelain"));
    TScrollBanner2 &banner = fixture.banner;
    banner.SetScrollDelay(40);
    EXPECT_FALSE(banner.Timer().Running()) << "not before scrolling is switched on";
    banner.SetScrollEnabled(true);
    EXPECT_TRUE(banner.Timer().Running());
    EXPECT_EQ(banner.Timer().Interval(), 40);
    banner.SetScrollDelay(70);
    EXPECT_EQ(banner.Timer().Interval(), 70);
    EXPECT_TRUE(banner.Timer().Running());
    QElapsedTimer waited;
    waited.start();
    while (banner.ScrollOffset() > -45 && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_LE(banner.ScrollOffset(), -45) << "three steps of 15 pixels";
    banner.SetScrollEnabled(false);
    const int stopped = banner.ScrollOffset();
    QTest::qWait(250);
    EXPECT_EQ(banner.ScrollOffset(), stopped);
}

TEST(ScrollBanner, GridLinesShowOnlyInAColourOfTheirOwn)
{
    Banner fixture(100, QStringLiteral("W"));
    TScrollBanner2 &banner = fixture.banner;
    banner.SetColor_Off(QColor(0, 0x88, 0));
    banner.SetColor_Background(QColor(0, 0x88, 0));
    QImage shown = Grab(banner);
    EXPECT_EQ(shown.pixel(90, 0), qRgb(0, 0x88, 0));
    EXPECT_EQ(shown.pixel(91, 1), qRgb(0, 0x88, 0));

    banner.SetColor_Background(QColor(0, 0x30, 0));
    banner.SetGridSize(3);
    shown = Grab(banner);
    for (int y = 0; y < 30; ++y) {
        for (int x = 50; x < 100; ++x) {
            const bool line = y % 3 == 0 || x % 3 == 0;
            ASSERT_EQ(shown.pixel(x, y), line ? qRgb(0, 0x30, 0) : qRgb(0, 0x88, 0)) << x << "," << y;
        }
    }
}
