#include "core/coreSettings.h"
#include "platform/iniFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CoreSettings, MissingFileGivesTheDefaults)
{
    const TiniFile ini;
    const TcoreSettings s = ReadCoreSettings(ini, QStringLiteral("/opt/vorlen"));
    EXPECT_TRUE(s.DirList.isEmpty());
    EXPECT_EQ(s.MasterVolume, 200);
    EXPECT_TRUE(s.ShowTips);
    EXPECT_EQ(s.TipNo, 0);
    EXPECT_FALSE(s.NoTrackNumbers);
    EXPECT_FALSE(s.StackerEnabled);
    EXPECT_EQ(s.MusicFolder, QStringLiteral("/opt/vorlen"));
    EXPECT_EQ(s.CoverArtFolder, QStringLiteral("/opt/vorlen"));
    EXPECT_EQ(s.PlaylistFolder, QStringLiteral("/opt/vorlen"));
    EXPECT_EQ(s.CartridgeFolder, QString());
    EXPECT_TRUE(s.Genres.isEmpty());
    EXPECT_EQ(s.FadeInTime, 5000);
    EXPECT_EQ(s.FadeOutTime, 5000);
    EXPECT_EQ(s.FadeInFromVolume, 125);
    EXPECT_EQ(s.FadeOutToVolume, 40);
    EXPECT_TRUE(s.WatchFolders);
    EXPECT_FALSE(s.MusicFolderOffered);
}

TEST(CoreSettings, FolderDefaultsFollowTheFirstMusicFolder)
{
    TiniFile ini;
    ini.SetText("[Dirs]\nDirList=/music/a,\"/music/b c\"\n");
    const TcoreSettings s = ReadCoreSettings(ini, QStringLiteral("/opt/vorlen"));
    EXPECT_EQ(s.DirList, (QStringList{QStringLiteral("/music/a"), QStringLiteral("/music/b c")}));
    EXPECT_EQ(s.MusicFolder, QStringLiteral("/music/a"));
    EXPECT_EQ(s.CoverArtFolder, QStringLiteral("/music/a"));
    EXPECT_EQ(s.PlaylistFolder, QStringLiteral("/opt/vorlen"));
}

TEST(CoreSettings, EveryKeyRoundTripsAndForeignKeysStay)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("vorlen.ini"));
    TcoreSettings s;
    s.DirList = {QStringLiteral("/home/u/Music"), QStringLiteral("/mnt/My Music"), QStringLiteral("/x/\"quoted\",odd")};
    s.MasterVolume = 17;
    s.ShowTips = false;
    s.TipNo = 12;
    s.NoTrackNumbers = true;
    s.StackerEnabled = true;
    s.MusicFolder = QStringLiteral("/home/u/Music");
    s.CoverArtFolder = QStringLiteral("/home/u/Covers");
    s.PlaylistFolder = QStringLiteral("/home/u/Lists");
    s.CartridgeFolder = QStringLiteral("/home/u/Carts");
    s.Genres = {QStringLiteral("Rock"), QStringLiteral("Pop"), QStringLiteral("Hard Rock")};
    s.FadeInTime = 1500;
    s.FadeOutTime = 7000;
    s.FadeInFromVolume = 3;
    s.FadeOutToVolume = 255;
    s.WatchFolders = false;
    s.MusicFolderOffered = true;
    {
        TiniFile ini(fileName);
        ini.SetText("[JukeBoxGeneral]\nSkin=dark.vsk\n[General]\nMyOwnKey=kept\n");
        WriteCoreSettings(ini, s);
        ASSERT_TRUE(ini.UpdateFile());
    }
    const TiniFile ini(fileName);
    const TcoreSettings r = ReadCoreSettings(ini, QStringLiteral("/elsewhere"));
    EXPECT_EQ(r.DirList, s.DirList);
    EXPECT_EQ(r.MasterVolume, 17);
    EXPECT_FALSE(r.ShowTips);
    EXPECT_EQ(r.TipNo, 12);
    EXPECT_TRUE(r.NoTrackNumbers);
    EXPECT_TRUE(r.StackerEnabled);
    EXPECT_EQ(r.MusicFolder, s.MusicFolder);
    EXPECT_EQ(r.CoverArtFolder, s.CoverArtFolder);
    EXPECT_EQ(r.PlaylistFolder, s.PlaylistFolder);
    EXPECT_EQ(r.CartridgeFolder, s.CartridgeFolder);
    EXPECT_EQ(r.Genres, s.Genres);
    EXPECT_EQ(r.FadeInTime, 1500);
    EXPECT_EQ(r.FadeOutTime, 7000);
    EXPECT_EQ(r.FadeInFromVolume, 3);
    EXPECT_EQ(r.FadeOutToVolume, 255);
    EXPECT_FALSE(r.WatchFolders);
    EXPECT_TRUE(r.MusicFolderOffered);
    EXPECT_EQ(ini.ReadString(QStringLiteral("jukeboxgeneral"), QStringLiteral("skin"), QString()), QStringLiteral("dark.vsk"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("MyOwnKey"), QString()), QStringLiteral("kept"));
    // Booleans are written as 1 and 0.
    EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("ShowTips"), QString()), QStringLiteral("0"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("General"), QStringLiteral("StackerEnabled"), QString()), QStringLiteral("1"));
}

TEST(CoreSettings, ByteValuesWrapAndBadNumbersTakeDefaults)
{
    TiniFile ini;
    ini.SetText("[VolumeSettings]\nMasterVolume=300\n[CrossFader]\nFadeInFromVolume=-1\nFadeOutToVolume=256\n"
                "FadeInTime=soon\n[General]\nShowTips=7\n");
    const TcoreSettings s = ReadCoreSettings(ini, QString());
    EXPECT_EQ(s.MasterVolume, 44);
    EXPECT_EQ(s.FadeInFromVolume, 255);
    EXPECT_EQ(s.FadeOutToVolume, 0);
    EXPECT_EQ(s.FadeInTime, 5000);
    EXPECT_TRUE(s.ShowTips);
}
