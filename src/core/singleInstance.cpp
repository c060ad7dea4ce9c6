#include "core/singleInstance.h"

#include "platform/raiseEvent.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kRaiseRequest = "raise\n";

// Asks a running instance to raise its window; false when none answers.
bool askRunningInstance(const QString &name)
{
    QLocalSocket probe;
    probe.connectToServer(name);
    if (!probe.waitForConnected(kConnectTimeoutMs))
        return false;
    probe.write(kRaiseRequest);
    probe.waitForBytesWritten(kConnectTimeoutMs);
    probe.disconnectFromServer();
    return true;
}

// A folder of this user's that no one else may enter, and not a link to one.
bool privateFolder(const QString &folder)
{
    struct stat info {};
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode)
           && info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString socketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (privateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/vorlen-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), S_IRWXU);
    return privateFolder(own) ? own : QString();
}

} // namespace

QString SingleInstanceName(const QString &programFolder)
{
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray folderHash = QCryptographicHash::hash((canonical.isEmpty() ? programFolder : canonical).toUtf8(),
                                                           QCryptographicHash::Sha1)
                                      .toHex()
                                      .left(12);
    const QString name = QStringLiteral("vorlen-") + QString::fromLatin1(folderHash);
    const QString folder = socketFolder();
    if (!folder.isEmpty())
        return folder + u'/' + name;
    return QDir::tempPath() + QStringLiteral("/vorlen-%1-").arg(::getuid()) + QString::fromLatin1(folderHash);
}

TsingleInstanceGuard::TsingleInstanceGuard(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

TsingleInstanceGuard::~TsingleInstanceGuard() = default;

bool TsingleInstanceGuard::Claim()
{
    if (askRunningInstance(m_name))
        return false;
    // Nobody answered: a socket file left by a crashed instance must not keep
    // the jukebox from starting.
    QLocalServer::removeServer(m_name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        m_server.reset();
        // Another start may have won the race between the probe and listen.
        // Any other failure to serve the name runs this instance unguarded
        // rather than refusing to start the jukebox at all.
        return !askRunningInstance(m_name);
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &TsingleInstanceGuard::serveConnection);
    return true;
}

void TsingleInstanceGuard::serveConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kRaiseRequest.trimmed()))
                RaiseEvent(OnRaiseRequested);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
