#include "ui/skinArt/builtInSkin.h"
#include "ui/skinArt/builtInSkinLayout.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace builtInSkin;

namespace {

QImage Frame(const QImage &strip, int frames, int index)
{
    const int width = strip.width() / frames;
    return strip.copy(index * width, 0, width, strip.height());
}

bool IsGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

// Every pixel grey, so that tinting reaches all of it; the name of the
// picture and the first pixel that is not, otherwise.
::testing::AssertionResult AllGrey(const QImage &image, const std::string &what)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!IsGrey(image.pixel(x, y)))
                return ::testing::AssertionFailure() << what << ": pixel " << x << "," << y << " is not grey";
        }
    }
    return ::testing::AssertionSuccess();
}

QSet<QRgb> Colours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

int Level(const QImage &image, int x, int y)
{
    return qRed(image.pixel(x, y));
}

// The level of the middle row of a bar's strip: what stands on the bar sits
// on this level.
int BarLevel(const char *panel)
{
    const QImage bar = BuiltInSkinBitmap(panel, u"bmTopCenter");
    return Level(bar, 0, bar.height() / 2);
}

const ButtonArt &ButtonNamed(const char *name)
{
    for (const ButtonArt &art : kButtons) {
        if (qstrcmp(art.name, name) == 0)
            return art;
    }
    throw std::logic_error(name);
}

} // namespace

TEST(BuiltInSkin, ButtonStripsHaveTheirFramesAndATwoColouredMask)
{
    for (const ButtonArt &art : kButtons) {
        SCOPED_TRACE(art.name);
        const int frames = art.check ? 5 : 3;
        const QImage strip = BuiltInSkinBitmap(art.name);
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.format(), QImage::Format_RGB32);
        EXPECT_EQ(strip.size(), QSize(art.frame.width() * frames, art.frame.height()));
        const QImage mask = Frame(strip, frames, frames - 1);
        EXPECT_EQ(Colours(mask), (QSet<QRgb> { 0xFFFFFF, 0x000000 }));
        // The face is most of the button: a press near its middle hits it.
        EXPECT_EQ(mask.pixel(mask.width() / 2, mask.height() / 2) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_EQ(mask.pixel(0, 0) & 0xFFFFFF, 0u) << "the rounded corner is outside";
        for (int f = 0; f < frames - 1; ++f)
            EXPECT_TRUE(AllGrey(Frame(strip, frames, f), "frame " + std::to_string(f)));
        // Every state looks different from the others.
        for (int f = 1; f < frames - 1; ++f)
            EXPECT_NE(Frame(strip, frames, f), Frame(strip, frames, f - 1)) << "frame " << f;
    }
}

// The bar buttons' compact strips: the same frames, narrower, with the glyph
// of the ordinary strip and no label, on a bar too narrow for labels.
TEST(BuiltInSkin, BarButtonsHaveCompactStripsOfTheirGlyphAlone)
{
    for (const char *name : kCompactButtons) {
        SCOPED_TRACE(name);
        const QImage compact = BuiltInSkinBitmap(name, u"CompactSkinBitmap");
        ASSERT_FALSE(compact.isNull());
        EXPECT_EQ(compact.size(), QSize(kCompactBarButton.width() * 3, kCompactBarButton.height()));
        const QImage mask = Frame(compact, 3, 2);
        EXPECT_EQ(mask.pixel(mask.width() / 2, mask.height() / 2) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_TRUE(AllGrey(Frame(compact, 3, 0), "up"));
        EXPECT_NE(Frame(compact, 3, 0), Frame(compact, 3, 1)) << "pressed looks pressed";
        EXPECT_LT(compact.width(), BuiltInSkinBitmap(name).width());
    }
    EXPECT_TRUE(BuiltInSkinBitmap("btnClose", u"CompactSkinBitmap").isNull()) << "only the bars' buttons";
}

TEST(BuiltInSkin, ButtonsBlendIntoTheBarsTheyStandOn)
{
    const auto surround = [](const char *button) { return Level(BuiltInSkinBitmap(button), 0, 0); };
    for (const char *button : { "btnMenu", "btnHelp", "btnMinimize", "btnMaximize", "btnClose" })
        EXPECT_EQ(surround(button), BarLevel("pnlTop")) << button;
    for (const char *button : { "btnShowTitlesAll", "btnPlayCD", "btnSongSearch" })
        EXPECT_EQ(surround(button), BarLevel("pnlTreeButtons")) << button;
    for (const char *button : { "btnAddAll", "btnAddSelected" })
        EXPECT_EQ(surround(button), BarLevel("pnlSongButtons")) << button;
    for (const char *button : { "btnStackerPower", "btnStackerConfig" })
        EXPECT_EQ(surround(button), BarLevel("pnlStacker")) << button;
    // The queue buttons stand on the window itself, which is the panel colour.
    for (const char *button :
        { "btnQueueMoveUp", "btnQueueMoveDown", "btnQueueMoveTo", "btnQueueDelete", "btnQueueClear" })
        EXPECT_EQ(surround(button), kNeutral) << button;
    EXPECT_EQ(Level(BuiltInSkinBitmap(kControlsName, u"Skin"), 0, 0), BarLevel("pnlDisplay"));
    EXPECT_EQ(ButtonNamed("btnMaximize").frame, ButtonNamed("btnClose").frame);
}

TEST(BuiltInSkin, TheFourPartButtonMapsItsPartsInTheirColours)
{
    const QImage strip = BuiltInSkinBitmap(kControlsName, u"Skin");
    ASSERT_EQ(strip.size(), QSize(kControls.width() * 4, kControls.height()));
    const QImage map = Frame(strip, 4, 3);
    QSet<QRgb> expected { 0x000000 };
    for (const unsigned colour : kControlPartColours)
        expected.insert(colour);
    EXPECT_EQ(Colours(map), expected) << "only the part colours and black, never white";
    // Play and next above, pause and stop below.
    const int quarter = kControls.width() / 4;
    EXPECT_EQ(map.pixel(quarter, quarter) & 0xFFFFFF, kControlPartColours[0]);
    EXPECT_EQ(map.pixel(3 * quarter, quarter) & 0xFFFFFF, kControlPartColours[1]);
    EXPECT_EQ(map.pixel(quarter, 3 * quarter) & 0xFFFFFF, kControlPartColours[2]);
    EXPECT_EQ(map.pixel(3 * quarter, 3 * quarter) & 0xFFFFFF, kControlPartColours[3]);
    for (int f = 0; f < 3; ++f) {
        const QImage frame = Frame(strip, 4, f);
        EXPECT_TRUE(AllGrey(frame, "frame " + std::to_string(f)));
        // Overlays treat pure black as see-through: no part may hold it.
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const bool inPart = (map.pixel(x, y) & 0xFFFFFF) != 0;
                ASSERT_FALSE(inPart && (frame.pixel(x, y) & 0xFFFFFF) == 0) << "frame " << f << " at " << x << "," << y;
            }
        }
    }
}

TEST(BuiltInSkin, ScrollBarsHaveArrowsAThumbAndATileOfTheirThickness)
{
    for (const ScrollBarArt &art : kScrollBars) {
        SCOPED_TRACE(art.name);
        const ScrollBarSizes &sizes = art.sizes;
        const auto along = [&](int length) {
            return sizes.vertical ? QSize(sizes.thickness, length) : QSize(length, sizes.thickness);
        };
        const auto strip = [&](int length) {
            const QSize frame = along(length);
            return QSize(frame.width() * 3, frame.height());
        };
        const QImage up = BuiltInSkinBitmap(art.name, u"bmTopLeftButton");
        const QImage down = BuiltInSkinBitmap(art.name, u"bmBottomRightButton");
        const QImage thumb = BuiltInSkinBitmap(art.name, u"bmScroller");
        const QImage back = BuiltInSkinBitmap(art.name, u"bmBackground");
        EXPECT_EQ(up.size(), strip(sizes.arrowLength));
        EXPECT_EQ(down.size(), strip(sizes.arrowLength));
        EXPECT_EQ(thumb.size(), strip(sizes.thumbLength));
        EXPECT_EQ(back.size(), along(sizes.tileLength));
        EXPECT_TRUE(AllGrey(back, "background"));
        for (const QImage &button : { up, down, thumb }) {
            EXPECT_EQ(Colours(Frame(button, 3, 2)), (QSet<QRgb> { 0xFFFFFF, 0x000000 }));
            EXPECT_TRUE(AllGrey(Frame(button, 3, 0), "up frame"));
            // Around their faces the buttons are the track they move on.
            EXPECT_EQ(Level(button, 0, 0), Level(back, 0, 0));
        }
    }
}

TEST(BuiltInSkin, PanelsHaveThePiecesTheirStyleNeeds)
{
    const char *nine[] = { "bmTopLeft", "bmTopCenter", "bmTopRight", "bmLeftCenter", "bmMiddle", "bmRightCenter",
        "bmBottomLeft", "bmBottomCenter", "bmBottomRight" };
    for (const PanelArt &art : kPanels) {
        SCOPED_TRACE(art.name);
        switch (art.style) {
        case PanelStyle::Bar: {
            const QImage bar = BuiltInSkinBitmap(art.name, u"bmTopCenter");
            ASSERT_FALSE(bar.isNull());
            EXPECT_EQ(bar.height(), art.height) << "a panel painted from its top strip alone takes its height";
            EXPECT_TRUE(BuiltInSkinBitmap(art.name, u"bmTopLeft").isNull());
            EXPECT_TRUE(BuiltInSkinBitmap(art.name, u"bmLeftCenter").isNull());
            EXPECT_EQ(Level(bar, 0, bar.height() / 2), art.level);
            EXPECT_TRUE(AllGrey(bar, "bar"));
            break;
        }
        case PanelStyle::Logo: {
            const QImage logo = BuiltInSkinBitmap(art.name, u"bmTopLeft");
            EXPECT_EQ(logo.size(), kLogo);
            EXPECT_TRUE(BuiltInSkinBitmap(art.name, u"bmTopCenter").isNull());
            EXPECT_TRUE(AllGrey(logo, "logo"));
            // Its edges are the title bar's, so it sits seamlessly on it.
            const QImage top = BuiltInSkinBitmap("pnlTop", u"bmTopCenter");
            for (int y = 0; y < kLogo.height(); ++y)
                EXPECT_EQ(Level(logo, kLogo.width() - 1, y), Level(top, 0, y)) << "row " << y;
            break;
        }
        case PanelStyle::Screen:
        case PanelStyle::Card:
            for (const char *piece : nine) {
                const QImage image = BuiltInSkinBitmap(art.name, piece);
                ASSERT_EQ(image.size(), QSize(kPanelPiece, kPanelPiece)) << piece;
                EXPECT_TRUE(AllGrey(image, piece));
            }
            // Outside the rounded corner is the surface around the panel, the
            // middle is the black screen.
            EXPECT_EQ(Level(BuiltInSkinBitmap(art.name, u"bmTopLeft"), 0, 0), art.level);
            EXPECT_EQ(Colours(BuiltInSkinBitmap(art.name, u"bmMiddle")), QSet<QRgb> { 0x000000 });
            break;
        }
    }
}

TEST(BuiltInSkin, PanelEdgesStretchAndTileWithoutSeams)
{
    for (const PanelArt &art : kPanels) {
        SCOPED_TRACE(art.name);
        // Strips stretched or tiled along their length must look the same at
        // every place: every column of a horizontal edge alike, every row of
        // a vertical one.
        for (const char16_t *piece : { u"bmTopCenter", u"bmBottomCenter", u"bmMiddle" }) {
            const QImage image = BuiltInSkinBitmap(art.name, piece);
            for (int x = 1; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    ASSERT_EQ(image.pixel(x, y), image.pixel(0, y)) << x << "," << y;
        }
        for (const char16_t *piece : { u"bmLeftCenter", u"bmRightCenter" }) {
            const QImage image = BuiltInSkinBitmap(art.name, piece);
            for (int y = 1; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ASSERT_EQ(image.pixel(x, y), image.pixel(x, 0)) << x << "," << y;
        }
    }
}

TEST(BuiltInSkin, SplitterGripsLieOnThePanelColour)
{
    for (const SplitterArt &art : kSplitters) {
        SCOPED_TRACE(art.name);
        for (const char16_t *piece : { u"bmTopLeft", u"bmBottomRight" }) {
            const QImage grip = BuiltInSkinBitmap(art.name, piece);
            EXPECT_EQ(grip.size(),
                art.vertical ? QSize(kSplitterThickness, kSplitterGripLength)
                             : QSize(kSplitterGripLength, kSplitterThickness));
            EXPECT_TRUE(AllGrey(grip, "grip"));
            // A grey splitter takes the panel colour exactly; the grip's
            // ground must too, at its ends and edges.
            EXPECT_EQ(Level(grip, 0, 0), kNeutral);
            EXPECT_EQ(Level(grip, grip.width() - 1, grip.height() - 1), kNeutral);
            EXPECT_GT(Colours(grip).size(), 1) << "something to grip";
        }
    }
}

TEST(BuiltInSkin, TreeImagesAndTheTipPicture)
{
    for (int index = 0; index < 9; ++index) {
        const QImage image = BuiltInTreeImage(index);
        SCOPED_TRACE(index);
        ASSERT_EQ(image.size(), QSize(kTreeImageSide, kTreeImageSide));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the tree shows through around the drawing";
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_GT(opaque, 10);
        for (int other = 0; other < index; ++other)
            EXPECT_NE(image, BuiltInTreeImage(other)) << "like image " << other;
    }
    EXPECT_TRUE(BuiltInTreeImage(9).isNull());
    EXPECT_TRUE(BuiltInTreeImage(-1).isNull());

    const QImage tip = BuiltInTipPicture();
    ASSERT_EQ(tip.size(), kTipPicture);
    EXPECT_TRUE(AllGrey(tip, "tip"));
    // Embossing leaves level 127 as the background it is laid on.
    for (int i = 0; i < kTipPicture.width(); ++i) {
        EXPECT_EQ(Level(tip, i, 0), 127);
        EXPECT_EQ(Level(tip, 0, i), 127);
    }
    const QSet<QRgb> levels = Colours(tip);
    EXPECT_TRUE(std::any_of(levels.begin(), levels.end(), [](QRgb c) { return qRed(c) < 64; }));
    EXPECT_TRUE(std::any_of(levels.begin(), levels.end(), [](QRgb c) { return qRed(c) > 192; }));
}

TEST(BuiltInSkin, UnknownPiecesHaveNoPicture)
{
    EXPECT_TRUE(BuiltInSkinBitmap("btnNothing").isNull());
    EXPECT_TRUE(BuiltInSkinBitmap("btnClose", u"bmMiddle").isNull());
    EXPECT_TRUE(BuiltInSkinBitmap("../tip").isNull());
}
