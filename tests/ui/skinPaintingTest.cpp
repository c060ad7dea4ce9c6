#include "ui/controls/skinPainting.h"
#include "skinFixtures.h"
#include "ui/controls/captionText.h"
#include "ui/controls/roundHalfEven.h"
#include "ui/controls/skinColors.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage Row(const QList<QColor> &pixels)
{
    QImage image(int(pixels.size()), 1, QImage::Format_RGB888);
    for (int x = 0; x < pixels.size(); ++x)
        image.setPixelColor(x, 0, pixels[x]);
    return image;
}

QColor Grey(int level)
{
    return QColor(level, level, level);
}

QImage Bevel(int width, bool sunken)
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawBevel(painter, image.rect(), QColor(100, 150, 200), sunken, width);
    return image;
}

} // namespace

TEST(RoundDiv, RoundsHalvesToEvenInBothDirections)
{
    EXPECT_EQ(RoundDiv(5, 2), 2);
    EXPECT_EQ(RoundDiv(7, 2), 4);
    EXPECT_EQ(RoundDiv(-5, 2), -2);
    EXPECT_EQ(RoundDiv(-7, 2), -4);
    EXPECT_EQ(RoundDiv(135, 2), 68);
    EXPECT_EQ(RoundDiv(10, -4), -2);
    EXPECT_EQ(RoundDiv(2, 3), 1);
    EXPECT_EQ(RoundDiv(-2, 3), -1);
}

// A 10 x 10 bevel of width 2 on face RGB(100, 150, 200). Raised: the outer
// ring lightens by 25 % and darkens by 90 %, the inner one lightens by 50 %
// and darkens by 45 % (77.5 rounds to 78, 52.5 to 52, 67.5 to 68).
TEST(DrawBevel, RaisedRingsLightenTopLeftAndDarkenBottomRight)
{
    const QImage image = Bevel(2, false);
    const QRgb outerLight = qRgb(139, 176, 214) & 0xFFFFFF;
    const QRgb outerDark = qRgb(10, 15, 20) & 0xFFFFFF;
    const QRgb innerLight = qRgb(178, 202, 228) & 0xFFFFFF;
    const QRgb innerDark = qRgb(55, 82, 110) & 0xFFFFFF;
    EXPECT_EQ(Rgb(image, 0, 0), outerLight);
    EXPECT_EQ(Rgb(image, 0, 9), outerLight) << "the bottom edge stops short of the left edge";
    EXPECT_EQ(Rgb(image, 9, 0), outerDark) << "the right edge overdraws the top edge's last pixel";
    EXPECT_EQ(Rgb(image, 5, 9), outerDark);
    EXPECT_EQ(Rgb(image, 9, 9), outerDark);
    EXPECT_EQ(Rgb(image, 1, 1), innerLight);
    EXPECT_EQ(Rgb(image, 1, 8), innerLight);
    EXPECT_EQ(Rgb(image, 8, 1), innerDark);
    EXPECT_EQ(Rgb(image, 4, 8), innerDark);
    for (int y = 2; y < 8; ++y) {
        for (int x = 2; x < 8; ++x)
            ASSERT_EQ(Rgb(image, x, y), qRgb(100, 150, 200) & 0xFFFFFF) << x << "," << y;
    }
}

// Sunken: the outer ring's first colour darkens by 45 %, its second colour
// is the face lightened by 30 % (146, 182, 216) and darkened by 25 %.
TEST(DrawBevel, SunkenRingsAndZeroWidth)
{
    const QImage sunken = Bevel(2, true);
    EXPECT_EQ(Rgb(sunken, 0, 0), qRgb(55, 82, 110) & 0xFFFFFF);
    EXPECT_EQ(Rgb(sunken, 9, 9), qRgb(110, 136, 162) & 0xFFFFFF);

    const QImage flat = Bevel(0, false);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(Rgb(flat, x, y), qRgb(100, 150, 200) & 0xFFFFFF);
    }
}

// Over background (100, 150, 200): 127 keeps it, 0 blackens, 255 whitens,
// a colour is copied; 64 darkens by 63/127, 192 lightens by 65/128.
TEST(EmbossGlyph, GreyLevelsShadeTheBackground)
{
    const QImage source = Row({ Grey(127), Grey(0), Grey(255), QColor(255, 0, 0), Grey(64), Grey(192) });
    QImage target(source.size(), QImage::Format_RGB32);
    target.fill(QColor(100, 150, 200));
    EmbossGlyph(source, target);
    EXPECT_EQ(Rgb(target, 0, 0), qRgb(100, 150, 200) & 0xFFFFFF);
    EXPECT_EQ(Rgb(target, 1, 0), 0u);
    EXPECT_EQ(Rgb(target, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(target, 3, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(target, 4, 0), qRgb(50, 76, 101) & 0xFFFFFF);
    EXPECT_EQ(Rgb(target, 5, 0), qRgb(179, 203, 228) & 0xFFFFFF);
}

// Grey 128 over 191 adds 0.5 (rounds to 0), over 63 adds 1.5 (rounds to 2).
TEST(EmbossGlyph, HalvesRoundToEven)
{
    QImage target = Row({ QColor(191, 63, 0) });
    EmbossGlyph(Row({ Grey(128) }), target);
    EXPECT_EQ(Rgb(target, 0, 0), qRgb(191, 65, 2) & 0xFFFFFF);
}

TEST(TintSkinBitmap, OneFrameTintsEveryGreyPixel)
{
    QImage strip = Row({ Grey(128), Grey(0), Grey(255), QColor(255, 0, 0), Grey(64), Grey(200) });
    TintSkinBitmap(strip, 1, QColor(11, 100, 200));
    EXPECT_EQ(Rgb(strip, 0, 0), qRgb(11, 100, 200) & 0xFFFFFF);
    EXPECT_EQ(Rgb(strip, 1, 0), 0u);
    EXPECT_EQ(Rgb(strip, 2, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(strip, 3, 0), 0xFF0000u) << "a coloured pixel keeps its colour";
    // 64 halves each channel: 5.5 rounds to 6, so 11 gives 5.
    EXPECT_EQ(Rgb(strip, 4, 0), qRgb(5, 50, 100) & 0xFFFFFF);
    // 200 adds 72/127 of the way to white: 138.3, 87.9, 31.2.
    EXPECT_EQ(Rgb(strip, 5, 0), qRgb(149, 188, 231) & 0xFFFFFF);
    EXPECT_EQ(strip.format(), QImage::Format_RGB888);
}

TEST(TintSkinBitmap, MaskFrameChoosesTheColourAndStaysUntouched)
{
    // Three frames of two columns; the mask's first column is white.
    QImage strip = Row({ Grey(128), Grey(128), Grey(128), Grey(128), Qt::white, Qt::black });
    TintSkinBitmap(strip, 3, QColor(10, 20, 30), { QColor(Qt::white) }, QColor(40, 50, 60));
    const QRgb face = qRgb(10, 20, 30) & 0xFFFFFF;
    const QRgb other = qRgb(40, 50, 60) & 0xFFFFFF;
    EXPECT_EQ(Rgb(strip, 0, 0), face);
    EXPECT_EQ(Rgb(strip, 1, 0), other);
    EXPECT_EQ(Rgb(strip, 2, 0), face);
    EXPECT_EQ(Rgb(strip, 3, 0), other);
    EXPECT_EQ(Rgb(strip, 4, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(strip, 5, 0), 0u);
}

TEST(TintSkinBitmap, TintedPixelsDoNotTintAgainAndNarrowStripsStay)
{
    QImage strip = Row({ Grey(128), Grey(90) });
    TintSkinBitmap(strip, 1, QColor(200, 10, 10));
    const QImage once = strip;
    TintSkinBitmap(strip, 1, QColor(10, 200, 10));
    EXPECT_EQ(strip, once);

    QImage narrow = Row({ Grey(128), Grey(128) });
    const QImage before = narrow;
    TintSkinBitmap(narrow, 3, Qt::red, { QColor(Qt::white) }, Qt::blue);
    EXPECT_EQ(narrow, before);
}

TEST(SkinColors, ColourTexts)
{
    EXPECT_EQ(ColorToSkinText(Qt::red), QStringLiteral("#FF0000"));
    EXPECT_EQ(ColorToSkinText(QColor(0x0a, 0xbc, 0x3f)), QStringLiteral("#0ABC3F"));
    EXPECT_EQ(SkinTextToColor(QStringLiteral("#00ff80"), Qt::red), QColor(0, 255, 128));
    EXPECT_EQ(SkinTextToColor(ColorToSkinText(QColor(1, 2, 3)), Qt::red), QColor(1, 2, 3));
    for (const char *bad : { "00FF80", "#00FF8", "#00FG80", "#00FF800", "", " #00FF80" }) {
        EXPECT_FALSE(IsSkinColorText(QString::fromLatin1(bad))) << bad;
        EXPECT_EQ(SkinTextToColor(QString::fromLatin1(bad), QColor(7, 8, 9)), QColor(7, 8, 9)) << bad;
    }
    EXPECT_TRUE(IsSkinColorText(QStringLiteral("#aBcDeF")));
}

TEST(SkinColors, ColourNumbersStoreBlueInTheHighByte)
{
    EXPECT_EQ(ColorToNumber(Qt::red), 255);
    EXPECT_EQ(ColorToNumber(Qt::blue), 0xFF0000);
    EXPECT_EQ(NumberToColor(0x804020), QColor(0x20, 0x40, 0x80));
    EXPECT_EQ(ResolveColor(QColor(10, 20, 30, 40)), QColor(10, 20, 30));
}

TEST(CaptionText, StripAmpersandRemovesTheFirstSingleMarker)
{
    EXPECT_EQ(StripAmpersand(QStringLiteral("E&xit")), QStringLiteral("Exit"));
    EXPECT_EQ(StripAmpersand(QStringLiteral("&&a&b")), QStringLiteral("&&ab"));
    EXPECT_EQ(StripAmpersand(QStringLiteral("a&b&c")), QStringLiteral("ab&c"));
    for (const char *same : { "Rock && Roll", "abc&", "a&&", "&", "", "plain" })
        EXPECT_EQ(StripAmpersand(QString::fromLatin1(same)), QString::fromLatin1(same)) << same;
}

TEST(CaptionText, DisplayTextLeavesOutEveryMarker)
{
    EXPECT_EQ(CaptionDisplayText(QStringLiteral("&Apply")), QStringLiteral("Apply"));
    EXPECT_EQ(CaptionDisplayText(QStringLiteral("Rock && &Roll&")), QStringLiteral("Rock & Roll"));
    EXPECT_EQ(CaptionDisplayText(QStringLiteral("&&&")), QStringLiteral("&"));
}
