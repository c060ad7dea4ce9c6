#include "platform/atomicFile.h"

#include "unprivileged.h"

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

// Whoever reports a failure names the file; the reason says only why, so a
// notice reads "x: why" and not "x: ... x ...".
TEST(AtomicFile, TheReasonDoesNotNameTheFileAgain)
{
    VORLEN_RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("vorlen.ini"));
    ASSERT_TRUE(WriteFileAtomically(name, "keep me"));
    for (const bool folderLocked : {false, true}) {
        SCOPED_TRACE(folderLocked ? "folder read-only" : "file read-only");
        const QString locked = folderLocked ? dir.path() : name;
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0500), 0);
        QString error;
        EXPECT_FALSE(WriteFileAtomically(name, "lost", &error));
        ::chmod(QFile::encodeName(locked).constData(), folderLocked ? 0700 : 0600);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(error.contains(QStringLiteral("vorlen.ini"))) << error.toStdString();
        EXPECT_EQ(readAll(name), QByteArray("keep me"));
    }
}
