#include "metadata/mpegFlagsIni.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(MpegFlagsIni, ReadsCaptionsUnderTheKeyPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.ini"));
    const TmpegFlagsIni flags(path);
    EXPECT_EQ(flags.ReadFlagName(3), QStringLiteral("<empty>"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Software]\nQuendle\\MpegFlags\\Flag0=Live\nQuendle\\MpegFlags\\Flag15=Demo version\n"
               "Quendle\\Other\\Flag3=Wrong\n");
    file.close();
    EXPECT_EQ(flags.ReadFlagName(0), QStringLiteral("Live"));
    EXPECT_EQ(flags.ReadFlagName(15), QStringLiteral("Demo version"));
    EXPECT_EQ(flags.ReadFlagName(3), QStringLiteral("<empty>"));
    EXPECT_TRUE(TmpegFlagsIni::DefaultFile().endsWith(QStringLiteral("/vorlen/registry.ini")));
}
