#include "skinFixtures.h"
#include "ui/controls/vorlenPanel.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kPanel(1, 2, 3);

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.SetPanelColor(kPanel);
        panel.SetIsSkinned(true);
    }

    QRgb At(int x, int y) { return Rgb(Grab(panel), x, y); }

    TvorlenPanel panel;
};

// Pieces of distinct colours, named by their piece.
QColor PieceColor(TpanelPiece piece)
{
    return QColor(20 + 20 * int(piece), 200 - 15 * int(piece), 90);
}

void SetNine(TvorlenPanel &panel)
{
    const QSize sizes[kPanelPieceCount] = {
        { 10, 10 }, // top left
        { 9, 11 }, // bottom left
        { 12, 9 }, // top right
        { 6, 13 }, // bottom right
        { 5, 6 }, // top centre
        { 4, 7 }, // bottom centre
        { 7, 5 }, // left centre
        { 8, 4 }, // right centre
        { 3, 3 }, // middle
    };
    for (int piece = 0; piece < kPanelPieceCount; ++piece)
        panel.SetPiece(TpanelPiece(piece),
            SolidImage(sizes[piece].width(), sizes[piece].height(), PieceColor(TpanelPiece(piece))));
}

} // namespace

// 100 x 80: the top edge runs from 10 to 88; the middle band starts at the
// top-right piece's height (9) and ends above the bottom-left piece (69) or,
// for the right column, above the bottom-right piece (67); the bottom row
// starts at 80 - 13 = 67.
TEST_F(PanelTest, NinePiecesStretched)
{
    panel.resize(100, 80);
    panel.SetStretchDraw(true);
    SetNine(panel);
    const QImage shown = Grab(panel);
    const auto expect = [&shown](int x, int y, TpanelPiece piece) {
        EXPECT_EQ(Rgb(shown, x, y), Rgb(PieceColor(piece))) << x << "," << y << " piece " << int(piece);
    };
    expect(0, 0, ppTopLeft);
    expect(9, 8, ppTopLeft);
    expect(9, 9, ppMiddle);
    expect(10, 0, ppTopCenter);
    expect(87, 5, ppTopCenter);
    expect(88, 0, ppTopRight);
    expect(99, 8, ppTopRight);
    expect(0, 10, ppLeftCenter);
    expect(6, 66, ppLeftCenter);
    expect(7, 9, ppMiddle);
    expect(91, 66, ppMiddle);
    expect(92, 9, ppRightCenter);
    expect(99, 66, ppRightCenter);
    expect(0, 67, ppBottomLeft);
    expect(8, 77, ppBottomLeft);
    expect(9, 67, ppBottomCenter);
    expect(93, 79, ppBottomCenter);
    expect(94, 67, ppBottomRight);
    expect(99, 79, ppBottomRight);
    EXPECT_EQ(Rgb(shown, 3, 78), Rgb(kPanel)) << "below the bottom-left piece the panel colour shows";
    EXPECT_EQ(Rgb(shown, 50, 7), Rgb(kPanel)) << "between the top edge and the middle band";
}

// Tiled, the middle band runs in rows as high as the right centre piece
// (4); each row draws the middle piece (6 rows high here) from its top, so
// every row shows only the middle piece's first four lines.
TEST_F(PanelTest, NinePiecesTiledRowByRow)
{
    panel.resize(60, 60);
    panel.SetStretchDraw(false);
    SetNine(panel);
    QImage middle(5, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 5; ++x)
            middle.setPixelColor(x, y, QColor(10 * y, x == 0 ? 250 : 100, 7));
    }
    panel.SetBitmapMiddle(middle);
    const QImage shown = Grab(panel);
    const int y0 = 9;
    for (int y = y0; y < 60 - 13; ++y) {
        const int line = (y - y0) % 4;
        EXPECT_EQ(Rgb(shown, 7, y), Rgb(QColor(10 * line, 250, 7))) << "row " << y;
        EXPECT_EQ(Rgb(shown, 8, y), Rgb(QColor(10 * line, 100, 7))) << "row " << y;
    }
    EXPECT_EQ(Rgb(shown, 12, y0), Rgb(QColor(0, 250, 7))) << "tiles start every 5 pixels from 7";
    // The top edge tiles its 5-wide piece from 10; the right piece covers
    // the last tile's overrun.
    EXPECT_EQ(Rgb(shown, 47, 0), Rgb(PieceColor(ppTopCenter)));
    EXPECT_EQ(Rgb(shown, 48, 0), Rgb(PieceColor(ppTopRight)));
}

// Bands of matching heights cover the whole panel, stretched or tiled, at
// any size.
TEST_F(PanelTest, MatchingBandsCoverEveryPixel)
{
    const QSize sizes[kPanelPieceCount]
        = { { 10, 6 }, { 9, 5 }, { 12, 6 }, { 6, 5 }, { 5, 6 }, { 4, 5 }, { 7, 4 }, { 8, 4 }, { 3, 4 } };
    QList<QRgb> colors;
    for (int piece = 0; piece < kPanelPieceCount; ++piece) {
        panel.SetPiece(TpanelPiece(piece),
            SolidImage(sizes[piece].width(), sizes[piece].height(), PieceColor(TpanelPiece(piece))));
        colors << Rgb(PieceColor(TpanelPiece(piece)));
    }
    for (const bool stretch : { false, true }) {
        panel.SetStretchDraw(stretch);
        for (const QSize size : { QSize(100, 80), QSize(13, 7), QSize(31, 23) }) {
            panel.resize(size);
            const QImage shown = Grab(panel);
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x)
                    ASSERT_TRUE(colors.contains(Rgb(shown, x, y))) << x << "," << y << " of " << size.width() << "x"
                                                                   << size.height() << (stretch ? " stretched" : "");
            }
        }
    }
}

// Only the top-left and top-centre pieces: the top centre repeats from the
// left piece's right edge to the panel's edge, the last copy cut off.
TEST_F(PanelTest, TopLeftAndTiledTopCentre)
{
    panel.resize(40, 20);
    panel.SetStretchDraw(false);
    panel.SetBitmapTopLeft(SolidImage(10, 8, Qt::red));
    QImage centre = SolidImage(7, 8, Qt::blue);
    for (int y = 0; y < 8; ++y)
        centre.setPixelColor(0, y, Qt::green);
    panel.SetBitmapTopCenter(centre);
    const QImage shown = Grab(panel);
    EXPECT_EQ(Rgb(shown, 9, 0), Rgb(QColor(Qt::red)));
    for (int x = 10; x < 40; ++x)
        EXPECT_EQ(Rgb(shown, x, 3), Rgb(QColor((x - 10) % 7 == 0 ? Qt::green : Qt::blue))) << x;
    EXPECT_EQ(Rgb(shown, 20, 8), Rgb(kPanel));

    FitPanelToSkin(panel);
    EXPECT_EQ(panel.size(), QSize(40, 8)) << "a top strip without left column takes the left piece's height";
}

TEST_F(PanelTest, FirstCompleteSetOfPiecesWins)
{
    panel.resize(50, 50);
    panel.SetStretchDraw(true);
    for (TpanelPiece piece : { ppTopLeft, ppTopCenter, ppTopRight, ppLeftCenter, ppBottomLeft })
        panel.SetPiece(piece, SolidImage(5, 5, PieceColor(piece)));
    const QImage shown = Grab(panel);
    EXPECT_EQ(Rgb(shown, 20, 2), Rgb(PieceColor(ppTopCenter)));
    EXPECT_EQ(Rgb(shown, 2, 20), Rgb(kPanel)) << "the top strip comes before the left column";

    TvorlenPanel column;
    column.resize(30, 40);
    column.SetIsSkinned(true);
    column.SetStretchDraw(false);
    column.SetBitmapTopLeft(SolidImage(6, 4, Qt::red));
    column.SetBitmapLeftCenter(SolidImage(6, 3, Qt::green));
    column.SetBitmapBottomLeft(SolidImage(6, 5, Qt::blue));
    const QImage left = Grab(column);
    EXPECT_EQ(Rgb(left, 0, 3), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(left, 0, 4), Rgb(QColor(Qt::green)));
    EXPECT_EQ(Rgb(left, 0, 34), Rgb(QColor(Qt::green)));
    EXPECT_EQ(Rgb(left, 0, 35), Rgb(QColor(Qt::blue)));
    FitPanelToSkin(column);
    EXPECT_EQ(column.size(), QSize(6, 40));
}

TEST_F(PanelTest, NoCompleteSetPaintsUnskinned)
{
    panel.resize(20, 10);
    panel.SetBevelOuter(bvNone);
    panel.SetBitmapBottomRight(SolidImage(5, 5, Qt::red));
    const QImage shown = Grab(panel);
    EXPECT_FALSE(panel.IsSkinned());
    EXPECT_EQ(Rgb(shown, 19, 9), Rgb(kPanel));
}

// Unskinned: a lowered outer bevel and the grey picture embossed in the
// middle at (round(8.5), round(3.5)) = (8, 4).
TEST_F(PanelTest, UnskinnedBevelAndEmbossedPicture)
{
    panel.SetIsSkinned(false);
    panel.resize(20, 10);
    panel.SetPanelColor(QColor(100, 150, 200));
    panel.SetBevelOuter(bvLowered);
    panel.SetBevelWidth(1);
    QImage picture = SolidImage(3, 3, QColor(127, 127, 127));
    picture.setPixelColor(0, 0, QColor(0, 0, 0));
    picture.setPixelColor(2, 2, QColor(255, 255, 255));
    panel.SetBitmap(picture);
    const QImage shown = Grab(panel);
    // The lowered ring darkens by 90 %.
    EXPECT_EQ(Rgb(shown, 0, 0), qRgb(10, 15, 20) & 0xFFFFFF);
    EXPECT_EQ(Rgb(shown, 8, 4), 0u);
    EXPECT_EQ(Rgb(shown, 9, 5), qRgb(100, 150, 200) & 0xFFFFFF);
    EXPECT_EQ(Rgb(shown, 10, 6), 0xFFFFFFu);
    EXPECT_EQ(panel.contentsRect(), QRect(1, 1, 18, 8)) << "children dock inside the bevel";
}

TEST(FitPanelToSkin, SizesFromTheLeftOrTopPiece)
{
    TvorlenPanel panel;
    panel.resize(50, 50);
    panel.SetBitmapLeftCenter(SolidImage(7, 3, Qt::red));
    FitPanelToSkin(panel);
    EXPECT_EQ(panel.size(), QSize(7, 50));

    TvorlenPanel top;
    top.resize(50, 50);
    top.SetBitmapTopCenter(SolidImage(7, 3, Qt::red));
    FitPanelToSkin(top);
    EXPECT_EQ(top.size(), QSize(50, 3));

    TvorlenPanel all;
    all.resize(50, 50);
    SetNine(all);
    FitPanelToSkin(all);
    EXPECT_EQ(all.size(), QSize(50, 50));
}

TEST(PanelSkinColors, TintsEveryPieceWithThePanelColour)
{
    TvorlenPanel panel;
    panel.resize(10, 10);
    panel.SetIsSkinned(true);
    panel.SetBitmapTopLeft(SolidImage(10, 10, QColor(128, 128, 128)));
    panel.SetBitmapMiddle(SolidImage(2, 2, QColor(0, 0, 0)));
    panel.ApplySkinColors(QColor(30, 60, 90));
    EXPECT_EQ(panel.BitmapTopLeft().pixelColor(3, 3), QColor(30, 60, 90));
    EXPECT_EQ(panel.BitmapMiddle().pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(Rgb(Grab(panel), 5, 5), qRgb(30, 60, 90) & 0xFFFFFF);
}
