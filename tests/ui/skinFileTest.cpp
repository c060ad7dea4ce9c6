#include "platform/iniFile.h"
#include "platform/vorlenError.h"
#include "skinFixtures.h"
#include "ui/controls/controlSkins.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/skinBitmapFile.h"
#include "ui/controls/skinKeys.h"
#include "ui/controls/transparentSplitter.h"
#include "ui/controls/vorlenButton.h"
#include "ui/controls/vorlenMultiButton.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/controls/vorlenScrollBar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A picture whose every pixel differs from its neighbours, so that any
// misplaced row or column shows.
QImage Pattern(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor((x * 37 + seed) % 256, (y * 53 + seed) % 256, (x * y + seed) % 256));
    }
    return image;
}

// One of each skinned control, named as a window names them, each with
// bitmaps of its own.
struct TskinnedControls {
    TskinnedControls(QWidget *host, int seed)
        : panel(host)
        , button(host)
        , splitter(host)
        , bar(host)
        , multi(host)
    {
        panel.setObjectName(QStringLiteral("pnlTop"));
        button.setObjectName(QStringLiteral("btnClose"));
        splitter.setObjectName(QStringLiteral("spltQueue"));
        bar.setObjectName(QStringLiteral("sbVolume"));
        multi.setObjectName(QStringLiteral("btnControls"));
        panel.SetIsSkinned(true);
        panel.resize(120, 30);
        button.SetIsSkinned(true);
        bar.resize(18, 100);
        for (QWidget *control : std::initializer_list<QWidget *> { &panel, &button, &splitter, &bar, &multi })
            control->show();
        if (seed < 0)
            return;
        for (TpanelPiece piece : { ppTopLeft, ppTopCenter, ppTopRight })
            panel.SetPiece(piece, Pattern(9 + int(piece), 30, seed + int(piece)));
        panel.SetStretchDraw(false);
        button.SetSkinBitmap(Pattern(3 * 21, 17, seed + 20));
        button.resize(21, 17);
        splitter.SetTopLeftBitmap(Pattern(3, 5, seed + 30));
        splitter.SetBottomRightBitmap(Pattern(3, 6, seed + 31));
        bar.SetUpButtonSkin(Pattern(3 * 18, 16, seed + 40));
        bar.SetDownButtonSkin(Pattern(3 * 18, 15, seed + 41));
        bar.SetScrollButtonSkin(Pattern(3 * 18, 30, seed + 42));
        bar.SetBackBitmap(Pattern(18, 7, seed + 43));
        multi.SetSkinBitmap(Pattern(4 * 25, 12, seed + 50));
        multi.resize(25, 12);
    }

    // Placeholder bitmaps, as the built-in skin gives every control.
    void GiveBuiltInSkin()
    {
        for (TpanelPiece piece : { ppTopLeft, ppTopCenter, ppTopRight })
            panel.SetPiece(piece, SolidImage(4, 4, Qt::gray));
        button.SetSkinBitmap(SolidImage(30, 10, Qt::gray));
    }

    TvorlenPanel panel;
    TvorlenButton button;
    TtransparentSplitter splitter;
    TvorlenScrollBar bar;
    TvorlenMultiButton multi;
};

void ExpectSameLook(QWidget &expected, QWidget &actual)
{
    EXPECT_EQ(actual.size(), expected.size()) << expected.objectName().toStdString();
    EXPECT_EQ(Grab(actual), Grab(expected)) << expected.objectName().toStdString();
}

} // namespace

TEST(SkinFile, BitmapPathFollowsTheSkinFileAndControl)
{
    EXPECT_EQ(SkinBitmapPath(QStringLiteral("/skins/Blue.vsk"), QStringLiteral("btnClose"), QStringLiteral("Skin.bmp")),
        QStringLiteral("/skins/BluebtnCloseSkin.bmp"));
}

// Saved into one folder, moved, and loaded into fresh controls, the skin
// gives back the same pictures and sizes.
TEST(SkinFile, RoundTripThroughAMovedFolder)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString first = temp.filePath(QStringLiteral("first"));
    ASSERT_TRUE(QDir().mkpath(first));
    TtestHost host;
    host.ShowActive();
    TskinnedControls saved(&host, 7);
    {
        TiniFile skin(first + QStringLiteral("/Blue.vsk"));
        SavePanelSkin(saved.panel, skin);
        SaveButtonSkin(saved.button, skin);
        SaveSplitterSkin(saved.splitter, skin);
        SaveScrollBarSkin(saved.bar, skin);
        SaveMultiButtonSkin(saved.multi, skin);
        ASSERT_TRUE(skin.UpdateFile());
        EXPECT_EQ(skin.ReadString(QStringLiteral("btnClose"), QStringLiteral("SkinBitmap"), QString()),
            first + QStringLiteral("/BluebtnCloseSkin.bmp"));
        EXPECT_FALSE(skin.ValueExists(QStringLiteral("pnlTop"), QStringLiteral("bmMiddle")))
            << "empty pieces are not written";
    }
    const QString moved = temp.filePath(QStringLiteral("moved"));
    ASSERT_TRUE(QDir().rename(first, moved));

    TskinnedControls loaded(&host, -1);
    loaded.GiveBuiltInSkin();
    const TiniFile skin(moved + QStringLiteral("/Blue.vsk"));
    LoadPanelSkin(loaded.panel, skin);
    LoadButtonSkin(loaded.button, skin);
    LoadSplitterSkin(loaded.splitter, skin);
    LoadScrollBarSkin(loaded.bar, skin);
    LoadMultiButtonSkin(loaded.multi, skin);
    loaded.button.resize(loaded.button.width(), saved.button.height());
    loaded.panel.resize(saved.panel.width(), loaded.panel.height());

    EXPECT_FALSE(loaded.panel.StretchDraw());
    ExpectSameLook(saved.panel, loaded.panel);
    ExpectSameLook(saved.button, loaded.button);
    EXPECT_EQ(loaded.splitter.TopLeftBitmap(), saved.splitter.TopLeftBitmap());
    EXPECT_EQ(loaded.splitter.BottomRightBitmap(), saved.splitter.BottomRightBitmap());
    ExpectSameLook(saved.bar, loaded.bar);
    EXPECT_EQ(loaded.bar.UpButton()->size(), QSize(18, 16));
    EXPECT_EQ(loaded.bar.width(), 18) << "a vertical bar takes its background's width";
    ExpectSameLook(saved.multi, loaded.multi);
    EXPECT_EQ(loaded.multi.size(), QSize(25, 12));
}

TEST(SkinFile, LoadingReplacesOnlyWhatTheControlHas)
{
    QTemporaryDir temp;
    const QString file = temp.filePath(QStringLiteral("skin.vsk"));
    TtestHost host;
    TskinnedControls saved(&host, 3);
    saved.panel.SetPiece(ppMiddle, Pattern(5, 5, 1));
    TiniFile skin(file);
    SavePanelSkin(saved.panel, skin);
    SaveButtonSkin(saved.button, skin);

    TskinnedControls fresh(&host, -1);
    fresh.panel.SetPiece(ppTopLeft, SolidImage(4, 4, Qt::gray));
    LoadPanelSkin(fresh.panel, skin);
    LoadButtonSkin(fresh.button, skin);
    EXPECT_EQ(fresh.panel.BitmapTopLeft(), saved.panel.BitmapTopLeft());
    EXPECT_TRUE(fresh.panel.BitmapMiddle().isNull()) << "a skin file never adds a piece";
    EXPECT_TRUE(fresh.button.SkinBitmap().isNull()) << "a button without a skin stays without";

    TvorlenButton unskinned;
    unskinned.setObjectName(QStringLiteral("btnClose"));
    unskinned.SetSkinBitmap(SolidImage(30, 10, Qt::gray));
    LoadButtonSkin(unskinned, skin);
    EXPECT_EQ(unskinned.SkinBitmap().pixelColor(0, 0), QColor(Qt::gray));
}

TEST(SkinFile, MissingFilesKeepTheCurrentBitmaps)
{
    QTemporaryDir temp;
    TiniFile skin(temp.filePath(QStringLiteral("skin.vsk")));
    skin.WriteString(
        QStringLiteral("sbVolume"), QStringLiteral("bmBackground"), temp.filePath(QStringLiteral("gone.bmp")));
    skin.WriteString(QStringLiteral("sbVolume"), QStringLiteral("bmScroller"), QString());
    TvorlenScrollBar bar;
    bar.setObjectName(QStringLiteral("sbVolume"));
    bar.SetBackBitmap(SolidImage(5, 5, Qt::red));
    LoadScrollBarSkin(bar, skin);
    EXPECT_EQ(bar.BackBitmap().pixelColor(0, 0), QColor(Qt::red));

    // Empty bitmaps write an empty key and no file.
    TiniFile saved(temp.filePath(QStringLiteral("other.vsk")));
    TvorlenScrollBar empty;
    empty.setObjectName(QStringLiteral("sbEmpty"));
    SaveScrollBarSkin(empty, saved);
    EXPECT_TRUE(saved.ValueExists(QStringLiteral("sbEmpty"), QStringLiteral("bmBackground")));
    EXPECT_TRUE(
        saved.ReadString(QStringLiteral("sbEmpty"), QStringLiteral("bmBackground"), QStringLiteral("x")).isEmpty());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files), QStringList());
}

TEST(SkinFile, WindowsPathsAreFoundBesideTheSkinFile)
{
    QTemporaryDir temp;
    WriteSkinBitmap(SolidImage(6, 2, Qt::green), temp.filePath(QStringLiteral("BluebtnCloseSkin.bmp")));
    TiniFile skin(temp.filePath(QStringLiteral("Blue.vsk")));
    skin.WriteString(
        QStringLiteral("btnClose"), QStringLiteral("SkinBitmap"), QStringLiteral("C:\\Skins\\\\BluebtnCloseSkin.bmp"));
    TvorlenButton button;
    button.setObjectName(QStringLiteral("btnClose"));
    button.SetIsSkinned(true);
    button.SetSkinBitmap(SolidImage(30, 10, Qt::gray));
    LoadButtonSkin(button, skin);
    EXPECT_EQ(button.SkinBitmap().pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(button.width(), 2);
}

TEST(SkinFile, BadBitmapFilesAreErrors)
{
    QTemporaryDir temp;
    const QString text = temp.filePath(QStringLiteral("text.bmp"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();
    EXPECT_THROW(ReadSkinBitmap(text), VorlenError);

    const QString wide = temp.filePath(QStringLiteral("wide.bmp"));
    WriteSkinBitmap(SolidImage(kMaxSkinBitmapSide + 1, 1, Qt::red), wide);
    EXPECT_THROW(ReadSkinBitmap(wide), VorlenError);
    const QString largest = temp.filePath(QStringLiteral("largest.bmp"));
    WriteSkinBitmap(SolidImage(kMaxSkinBitmapSide, 1, Qt::red), largest);
    EXPECT_EQ(ReadSkinBitmap(largest).width(), kMaxSkinBitmapSide);

    TiniFile skin(temp.filePath(QStringLiteral("skin.vsk")));
    skin.WriteString(QStringLiteral("btnControls"), QStringLiteral("Skin"), text);
    TvorlenMultiButton multi;
    multi.setObjectName(QStringLiteral("btnControls"));
    EXPECT_THROW(LoadMultiButtonSkin(multi, skin), VorlenError);

    EXPECT_THROW(
        WriteSkinBitmap(SolidImage(2, 2, Qt::red), temp.filePath(QStringLiteral("no/such/folder.bmp"))), VorlenError);
}

TEST(SkinFile, CopyRoutinesGiveTheSourcesLook)
{
    TtestHost host;
    host.ShowActive();
    TskinnedControls source(&host, 11);
    TskinnedControls target(&host, -1);
    CopyPanelSkin(source.panel, target.panel);
    CopyButtonSkin(source.button, target.button);
    CopySplitterSkin(source.splitter, target.splitter);
    CopyScrollBarSkin(source.bar, target.bar);
    CopyMultiButtonSkin(source.multi, target.multi);
    target.panel.SetStretchDraw(false);
    target.panel.resize(source.panel.width(), target.panel.height());
    ExpectSameLook(source.panel, target.panel);
    ExpectSameLook(source.button, target.button);
    ExpectSameLook(source.bar, target.bar);
    ExpectSameLook(source.multi, target.multi);
    EXPECT_EQ(target.splitter.TopLeftBitmap(), source.splitter.TopLeftBitmap());
}

TEST(SkinKeys, FontKeysRoundTripAndDefault)
{
    TiniFile skin;
    TskinFont font { QFont(QStringLiteral("DejaVu Serif"), 13), QColor(10, 20, 30) };
    font.font.setBold(true);
    font.font.setUnderline(true);
    SaveFontKeys(font, skin, QStringLiteral("Fonts"), QStringLiteral("Clock"));
    EXPECT_EQ(skin.ReadSection(QStringLiteral("Fonts")),
        QStringList({ QStringLiteral("ClockColor"), QStringLiteral("ClockSize"), QStringLiteral("ClockName"),
            QStringLiteral("ClockBold"), QStringLiteral("ClockItalic") }));
    EXPECT_EQ(
        skin.ReadString(QStringLiteral("Fonts"), QStringLiteral("ClockColor"), QString()), QStringLiteral("#0A141E"));

    TskinFont target { QFont(QStringLiteral("DejaVu Sans"), 8), Qt::red };
    target.font.setStrikeOut(true);
    const TskinFont defaults { QFont(QStringLiteral("DejaVu Sans Mono"), 9), Qt::green };
    LoadFontKeys(target, skin, QStringLiteral("Fonts"), defaults, QStringLiteral("Clock"));
    EXPECT_EQ(target.font.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(target.font.pointSize(), 13);
    EXPECT_TRUE(target.font.bold());
    EXPECT_FALSE(target.font.italic());
    EXPECT_TRUE(target.font.strikeOut()) << "styles the keys do not name stay";
    EXPECT_EQ(target.color, QColor(10, 20, 30));

    skin.WriteString(QStringLiteral("Fonts"), QStringLiteral("ClockColor"), QStringLiteral("#12345"));
    skin.WriteString(QStringLiteral("Fonts"), QStringLiteral("ClockSize"), QStringLiteral("100000"));
    skin.WriteBool(QStringLiteral("Fonts"), QStringLiteral("ClockBold"), false);
    LoadFontKeys(target, skin, QStringLiteral("Fonts"), defaults, QStringLiteral("Clock"));
    EXPECT_EQ(target.color, QColor(Qt::green));
    EXPECT_EQ(target.font.pointSize(), 9);
    EXPECT_FALSE(target.font.bold());

    LoadFontKeys(target, skin, QStringLiteral("Fonts"), defaults, QStringLiteral("Missing"));
    EXPECT_EQ(target.font.family(), QStringLiteral("DejaVu Sans Mono"));
}

TEST(SkinKeys, LabelKeysRoundTrip)
{
    TdravoLabel label;
    label.setObjectName(QStringLiteral("lblTrack"));
    label.SetCaption(QStringLiteral("Track"));
    label.move(12, 34);
    SetControlSkinFont(label, TskinFont { QFont(QStringLiteral("DejaVu Sans"), 11), QColor(1, 2, 250) });
    TiniFile skin;
    SaveLabelKeys(label, skin);
    EXPECT_EQ(skin.ReadSection(QStringLiteral("Labels")).mid(5),
        QStringList(
            { QStringLiteral("lblTrackLeft"), QStringLiteral("lblTrackTop"), QStringLiteral("lblTrackCaption") }));

    TdravoLabel other;
    other.setObjectName(QStringLiteral("lblTrack"));
    LoadLabelKeys(other, skin);
    EXPECT_EQ(other.Caption(), QStringLiteral("Track"));
    EXPECT_EQ(other.pos(), QPoint(12, 34));
    EXPECT_EQ(other.font().pointSize(), 11);
    EXPECT_EQ(ControlSkinFont(other).color, QColor(1, 2, 250));

    TdravoLabel unnamed;
    unnamed.setObjectName(QStringLiteral("lblOther"));
    unnamed.SetCaption(QStringLiteral("Keep"));
    unnamed.move(5, 6);
    LoadLabelKeys(unnamed, skin);
    EXPECT_EQ(unnamed.Caption(), QStringLiteral("Keep"));
    EXPECT_EQ(unnamed.pos(), QPoint(5, 6));
}
