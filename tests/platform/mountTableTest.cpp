#include "platform/mountTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// fstab names the drives a system knows; mountinfo says which are there now.
// A drive named but not mounted has left its mount point behind.
TEST(MountTable, MountPointsNamedInFstabWithNothingMountedOnThem)
{
    QTemporaryDir dir;
    const QString fstab = dir.filePath(QStringLiteral("fstab"));
    const QString mountInfo = dir.filePath(QStringLiteral("mountinfo"));
    ASSERT_TRUE(writeFile(fstab,
        "# <file system> <mount point> <type> <options> <dump> <pass>\n"
        "UUID=0a1b / ext4 errors=remount-ro 0 1\n"
        "UUID=2c3d\t/media/Music\\040Drive/  ext4\tdefaults,nofail 0 2\n"
        "LABEL=Share /mnt/share cifs noauto 0 0\n"
        "/dev/sdc1 /mnt/plugged ext4 defaults 0 2\n"
        "/dev/sda5 none swap sw 0 0\n"
        "/swapfile swap swap defaults 0 0\n"
        "relative/path mnt ext4 defaults 0 0\n"
        "too-short\n"));
    ASSERT_TRUE(writeFile(mountInfo,
        "25 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "61 25 8:33 / /mnt/plugged rw,relatime shared:40 - ext4 /dev/sdc1 rw\n"));

    const TunmountedMountPoints unmounted = TunmountedMountPoints::Read(fstab, mountInfo);
    for (const char *path : {"/media/Music Drive", "/media/Music Drive/", "/mnt/share"})
        EXPECT_TRUE(unmounted.Contains(path)) << path;
    for (const char *path : {"/", "/mnt/plugged", "/media", "/media/Music", "/mnt/share/sub", "none", "swap", "mnt"})
        EXPECT_FALSE(unmounted.Contains(path)) << path;

    // The share is mounted now; tables that cannot be read name nothing.
    ASSERT_TRUE(writeFile(mountInfo, "70 25 0:50 / /mnt/share rw - cifs //host/share rw\n"));
    EXPECT_FALSE(TunmountedMountPoints::Read(fstab, mountInfo).Contains("/mnt/share"));
    EXPECT_TRUE(TunmountedMountPoints::Read(dir.filePath(QStringLiteral("none")), mountInfo).Empty());
}
