#include "skinFixtures.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/vorlenPanel.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kBack(200, 30, 30);

// A label on a panel of a colour with no black in it, in a font without
// smoothing so that every text pixel is exactly the text colour.
class LabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.ShowActive();
        panel.resize(300, 60);
        panel.SetPanelColor(kBack);
        panel.SetBevelOuter(bvNone);
        panel.show();
        QFont font(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
        font.setStyleStrategy(QFont::NoAntialias);
        label.setFont(font);
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label.setPalette(palette);
        label.move(10, 10);
        label.SetCaption(QStringLiteral("Vorlen 42"));
        label.show();
    }

    // The panel as shown, with the label's area and a margin around it.
    QImage Shown() { return Grab(panel); }

    TtestHost host;
    TvorlenPanel panel { &host };
    TdravoLabel label { &panel };
};

bool IsWhite(const QImage &image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && Rgb(image, x, y) == 0xFFFFFF;
}

} // namespace

TEST_F(LabelTest, BorderStyleOutlinesEveryGlyphInBlack)
{
    label.SetLabelStyle(lsBorder);
    // Room for the outline, which the label's own size does not include.
    label.SetAutoSize(false);
    label.resize(label.size() + QSize(3, 3));
    const QImage shown = Shown();
    int white = 0;
    int black = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (IsWhite(shown, x, y)) {
                ++white;
                continue;
            }
            bool besideText = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    besideText = besideText || IsWhite(shown, x + dx, y + dy);
            }
            const QRgb expected = besideText ? 0u : Rgb(kBack);
            black += besideText;
            ASSERT_EQ(Rgb(shown, x, y), expected) << x << "," << y;
        }
    }
    EXPECT_GT(white, 50);
    EXPECT_GT(black, white / 2);
}

TEST_F(LabelTest, ShadowStyleDrawsBlackOnePixelDownRight)
{
    const QImage plain = Shown();
    const QSize plainSize = label.size();
    label.SetLabelStyle(lsShadow);
    EXPECT_EQ(label.size(), plainSize + QSize(2, 2));
    const QImage shadowed = Shown();
    for (int y = 0; y < shadowed.height(); ++y) {
        for (int x = 0; x < shadowed.width(); ++x) {
            QRgb expected = Rgb(kBack);
            if (IsWhite(plain, x, y))
                expected = 0xFFFFFF;
            else if (IsWhite(plain, x - 1, y - 1))
                expected = 0;
            ASSERT_EQ(Rgb(shadowed, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(LabelTest, KeyColouredTextIsSeeThrough)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor(1, 1, 1));
    label.setPalette(palette);
    const QImage shown = Shown();
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_EQ(Rgb(shown, x, y), Rgb(kBack)) << x << "," << y;
    }
}

TEST_F(LabelTest, TextOutsideTheParentShowsOnceTheParentGrows)
{
    const QImage whole = Shown();
    panel.resize(30, 60);
    (void)Shown();
    panel.resize(300, 60);
    EXPECT_EQ(Shown(), whole);
}

// 200 x 100 in 135 x 135 keeping the aspect: 135 x round(67.5) = 135 x 68.
TEST(DravoBitmap, MaintainedAspectIsPlacedByAlignment)
{
    TdravoBitmap picture;
    picture.resize(135, 135);
    picture.SetColor(Qt::blue);
    picture.SetPicture(SolidImage(200, 100, Qt::red));
    picture.SetAlignment(dbaRightBottom);
    QImage shown = Grab(picture);
    EXPECT_EQ(Rgb(shown, 0, 66), Rgb(QColor(Qt::blue)));
    EXPECT_EQ(Rgb(shown, 0, 67), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(shown, 134, 134), Rgb(QColor(Qt::red)));

    picture.SetAlignment(dbaCenter);
    shown = Grab(picture);
    // (135 - 68) / 2 = 33.5 rounds to 34.
    EXPECT_EQ(Rgb(shown, 60, 33), Rgb(QColor(Qt::blue)));
    EXPECT_EQ(Rgb(shown, 60, 34), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(shown, 60, 101), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(shown, 60, 102), Rgb(QColor(Qt::blue)));

    picture.SetAlignment(dbaLeftTop);
    picture.SetPicture(SolidImage(50, 100, Qt::red));
    shown = Grab(picture);
    // Taller than the control: round(0.5 * 135) = 68 wide at the left.
    EXPECT_EQ(Rgb(shown, 67, 134), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(shown, 68, 0), Rgb(QColor(Qt::blue)));
}

TEST(DravoBitmap, StretchAndTile)
{
    TdravoBitmap picture;
    picture.resize(5, 5);
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixelColor(0, 0, Qt::red);
    tile.setPixelColor(1, 0, Qt::green);
    tile.setPixelColor(0, 1, Qt::blue);
    tile.setPixelColor(1, 1, Qt::yellow);
    picture.SetPicture(tile);
    picture.SetStyle(dbsTile);
    const QImage tiled = Grab(picture);
    EXPECT_EQ(Rgb(tiled, 4, 4), Rgb(QColor(Qt::red)));
    EXPECT_EQ(Rgb(tiled, 3, 2), Rgb(QColor(Qt::green)));
    EXPECT_EQ(Rgb(tiled, 2, 3), Rgb(QColor(Qt::blue)));

    picture.SetPicture(SolidImage(1, 1, Qt::green));
    picture.SetStyle(dbsStretch);
    const QImage stretched = Grab(picture);
    EXPECT_EQ(Rgb(stretched, 0, 0), Rgb(QColor(Qt::green)));
    EXPECT_EQ(Rgb(stretched, 4, 4), Rgb(QColor(Qt::green)));
}

TEST(DravoBitmap, NoPictureOrNoRoomShowsTheBackground)
{
    TdravoBitmap picture;
    picture.resize(10, 10);
    picture.SetColor(QColor(1, 2, 3));
    picture.SetPicture(QImage());
    EXPECT_EQ(Rgb(Grab(picture), 5, 5), qRgb(1, 2, 3) & 0xFFFFFF);
    picture.SetPicture(SolidImage(300, 1, Qt::red));
    // round(10 / 300) = 0 rows high: nothing to draw.
    EXPECT_EQ(Rgb(Grab(picture), 5, 5), qRgb(1, 2, 3) & 0xFFFFFF);
    picture.resize(10, 0);
    picture.resize(0, 0);
    EXPECT_TRUE(Grab(picture).isNull() || Grab(picture).size().isEmpty());
}
