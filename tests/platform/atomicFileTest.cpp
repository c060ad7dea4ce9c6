#include "platform/atomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(AtomicFile, ReplacesContentAndLeavesNoTemporaryFiles)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("cache.dat"));
    ASSERT_TRUE(WriteFileAtomically(name, "old"));
    ASSERT_TRUE(WriteFileAtomically(name, "new contents"));
    EXPECT_EQ(readAll(name), QByteArray("new contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cache.dat")});
}

TEST(AtomicFile, FailureKeepsTheOldFileAndReportsWhy)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("vorlen.ini"));
    ASSERT_TRUE(WriteFileAtomically(name, "keep me"));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    QString error;
    EXPECT_FALSE(WriteFileAtomically(name, "lost", &error));
    EXPECT_FALSE(error.isEmpty());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(readAll(name), QByteArray("keep me"));
}

TEST(AtomicFile, MissingFolderFailsWithoutCreatingAnything)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath(QStringLiteral("no/such/folder/x.dat")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}
