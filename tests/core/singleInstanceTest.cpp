#include "core/singleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString uniqueName()
{
    return QStringLiteral("Vorlen Mp3 Jukebox test ") + QUuid::createUuid().toString(QUuid::WithoutBraces);
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
