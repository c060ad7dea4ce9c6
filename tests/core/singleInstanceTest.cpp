#include "core/singleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString uniqueName()
{
    return QStringLiteral("Vorlen Mp3 Jukebox test ") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Sets an environment variable for as long as it lives.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_wasSet;
};

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

TEST(SingleInstance, SecondStartRaisesTheFirstAndEnds)
{
    const QString name = uniqueName();
    TsingleInstanceGuard first(name);
    int raised = 0;
    first.OnRaiseRequested = [&raised] { ++raised; };
    ASSERT_TRUE(first.Claim());

    TsingleInstanceGuard second(name);
    EXPECT_FALSE(second.Claim());
    QDeadlineTimer deadline(5000);
    while (raised == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(raised, 1);
}

TEST(SingleInstance, SocketLeftByACrashedInstanceDoesNotBlockTheStart)
{
    const QString name = uniqueName();
    // A socket file bound and abandoned without listening, as a crashed
    // instance leaves it.
    const QByteArray path = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(std::size_t(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
    TsingleInstanceGuard guard(name);
    EXPECT_TRUE(guard.Claim());
    TsingleInstanceGuard later(name);
    EXPECT_FALSE(later.Claim());
}

TEST(SingleInstance, TheSocketIsTheUsersAndAStrangerOnTheOldSharedNameIsNotAsked)
{
    QTemporaryDir runtime;
    QTemporaryDir shared;
    QTemporaryDir home;
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    ScopedVariable runtimeFolder("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ScopedVariable temporaryFolder("TMPDIR", QFile::encodeName(shared.path()));
    // Someone answers on the name the jukebox once had in the shared folder.
    QLocalServer stranger;
    ASSERT_TRUE(stranger.listen(QStringLiteral("Vorlen Mp3 Jukebox")));

    const QString name = SingleInstanceName(home.path());
    EXPECT_EQ(QFileInfo(name).path(), runtime.path());
    TsingleInstanceGuard guard(name);
    EXPECT_TRUE(guard.Claim());
    EXPECT_TRUE(QFileInfo(name).exists());
    EXPECT_FALSE(stranger.hasPendingConnections());
}

TEST(SingleInstance, EachProgramFolderRunsOnceAndTwoRunSideBySide)
{
    QTemporaryDir first;
    QTemporaryDir second;
    QTemporaryDir shared;
    // Wherever the run's environment would put the sockets, they go here.
    ScopedVariable temporaryFolder("TMPDIR", QFile::encodeName(shared.path()));
    ScopedVariable runtimeFolder("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_NE(SingleInstanceName(first.path()), SingleInstanceName(second.path()));
    EXPECT_EQ(SingleInstanceName(first.path()), SingleInstanceName(first.path() + QStringLiteral("/.")));
    TsingleInstanceGuard one(SingleInstanceName(first.path()));
    TsingleInstanceGuard two(SingleInstanceName(second.path()));
    EXPECT_TRUE(one.Claim());
    EXPECT_TRUE(two.Claim());
    TsingleInstanceGuard again(SingleInstanceName(first.path()));
    EXPECT_FALSE(again.Claim());
}

TEST(SingleInstance, WithoutARuntimeFolderTheUserGetsAPrivateOneAndNeverAStrangers)
{
    QTemporaryDir shared;
    QTemporaryDir home;
    ScopedVariable runtimeFolder("XDG_RUNTIME_DIR", QByteArray());
    ScopedVariable temporaryFolder("TMPDIR", QFile::encodeName(shared.path()));
    const QString own = shared.path() + QStringLiteral("/vorlen-%1").arg(::getuid());
    const QString name = SingleInstanceName(home.path());
    EXPECT_EQ(QFileInfo(name).path(), own);
    EXPECT_EQ(modeOf(own) & 0777, mode_t(0700));
    TsingleInstanceGuard guard(name);
    EXPECT_TRUE(guard.Claim());

    // A folder of that name that others may enter is not used.
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    const QString fallback = SingleInstanceName(home.path());
    EXPECT_EQ(QFileInfo(fallback).path(), shared.path());
    EXPECT_TRUE(QFileInfo(fallback).fileName().startsWith(QStringLiteral("vorlen-%1-").arg(::getuid())));
}
