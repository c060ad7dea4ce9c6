#include "platform/cdDrives.h"

#include "audioFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CdDrives, ParsesOpticalMountsInDeviceOrder)
{
    const QByteArray table =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "40 22 11:10 / /media/user/Disc\\040Ten ro,nosuid shared:30 - iso9660 /dev/sr10 ro\n"
        "41 22 11:1 / /media/user/SECOND ro,nosuid shared:31 - udf /dev/sr1 ro\n"
        "42 22 11:0 / /media/cdrom0 ro shared:32 - iso9660 /dev/sr0 ro\n"
        "43 22 7:0 / /mnt/image ro shared:33 - iso9660 /dev/loop0 ro\n"
        "44 22 0:5 / /proc rw - proc proc rw\n"
        "garbage line\n";
    const QList<CdDrive> drives = ParseOpticalMounts(table);
    const QList<CdDrive> expected{
        {QStringLiteral("/mnt/image"), QStringLiteral("/dev/loop0")},
        {QStringLiteral("/media/cdrom0"), QStringLiteral("/dev/sr0")},
        {QStringLiteral("/media/user/SECOND"), QStringLiteral("/dev/sr1")},
        {QStringLiteral("/media/user/Disc Ten"), QStringLiteral("/dev/sr10")},
    };
    EXPECT_EQ(drives, expected);
}

TEST(CdDrives, SerialIsTheLaneSumOfThePrimaryVolumeDescriptor)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("fake.iso"));
    QByteArray bytes(17 * 2048, '\0');
    bytes[16 * 2048] = 1;
    bytes.replace(16 * 2048 + 1, 5, "CD001");
    QFile f(image);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    // lanes: 0x01+'0', 'C'+'1', 'D', '0' -> 0x30447431
    EXPECT_EQ(VolumeSerialText(image), QStringLiteral("30447431"));
}

TEST(CdDrives, SerialOfRealImagesAndNonDiscs)
{
    QTemporaryDir dir;
    QFile track(dir.filePath(QStringLiteral("track.txt")));
    ASSERT_TRUE(track.open(QIODevice::WriteOnly));
    track.write("music");
    track.close();
    const QString a = dir.filePath(QStringLiteral("a.iso"));
    const QString b = dir.filePath(QStringLiteral("b.iso"));
    QString error;
    ASSERT_TRUE(RunTool(QStringLiteral("genisoimage"), {QStringLiteral("-quiet"), QStringLiteral("-V"), QStringLiteral("DISC_A"),
                                                        QStringLiteral("-o"), a, track.fileName()}, &error))
        << error.toStdString();
    ASSERT_TRUE(RunTool(QStringLiteral("genisoimage"), {QStringLiteral("-quiet"), QStringLiteral("-V"), QStringLiteral("DISC_B"),
                                                        QStringLiteral("-o"), b, track.fileName()}, &error))
        << error.toStdString();
    const QString serialA = VolumeSerialText(a);
    EXPECT_EQ(serialA.size(), 8);
    EXPECT_EQ(serialA, serialA.toUpper());
    EXPECT_EQ(VolumeSerialText(a), serialA);
    EXPECT_NE(VolumeSerialText(b), serialA);
    EXPECT_EQ(VolumeSerialText(track.fileName()), QString());
    EXPECT_EQ(VolumeSerialText(dir.filePath(QStringLiteral("missing.iso"))), QString());
}
