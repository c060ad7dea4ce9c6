#include "platform/fileExists.h"
#include "platform/fileTime.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

TEST(FileTime, ConvertsPosixTimeToWindowsFileTime)
{
    EXPECT_EQ(WinFileTimeFromUnix(0, 0).value(), 116444736000000000ULL);
    // 2001-09-09 01:46:40 UTC plus 1.5 us: 100 ns units keep the sub-second part.
    const WinFileTime t = WinFileTimeFromUnix(1000000000, 1500);
    EXPECT_EQ(t.value(), 116444736000000000ULL + 10000000000000000ULL + 15ULL);
    EXPECT_EQ(t.high, quint32(t.value() >> 32));
    EXPECT_EQ(t.low, quint32(t.value()));
}

TEST(FileTime, ReadsTheLastWriteTimeOrZero)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("x.mp3"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct utimbuf times {1000000000, 1000000000};
    ASSERT_EQ(::utime(QFile::encodeName(name).constData(), &times), 0);
    EXPECT_EQ(FileLastWriteTime(name), WinFileTimeFromUnix(1000000000, 0));
    EXPECT_EQ(FileLastWriteTime(dir.filePath(QStringLiteral("gone.mp3"))), WinFileTime{});
}

TEST(FileExists, AnswersQuietlyForFilesFoldersAndNothing)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("a b.ogg"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(QuietFileExists(name));
    EXPECT_FALSE(QuietFileExists(dir.path()));
    EXPECT_TRUE(QuietFolderExists(dir.path()));
    EXPECT_FALSE(QuietFolderExists(name));
    EXPECT_FALSE(QuietFileExists(dir.filePath(QStringLiteral("A B.ogg"))));
    EXPECT_FALSE(QuietFileExists(QString()));
    EXPECT_FALSE(QuietFileExists(QStringLiteral("/media/no-disc-here/track.mp3")));
}
